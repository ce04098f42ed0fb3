#include "label/argox_stream.h"
#include "label/label_compiler.h"
#include "label/label_text.h"
#include "label_samples.h"
#include "scripted_messages.h"
#include "project/project_file.h"
#include "test_files.h"

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;
using namespace std::string_literals;

namespace {

const std::string kSetup = "\x02" "e\r\x02O0220\r\x02" "f275\r\x02KI7"s + '\0' + "\r\x02V0\r\x02L\rH09\rPC\rD11\r";
const std::string kClosing = "^01\rQ0001\r:0001\rE\r";

std::string header(std::initializer_list<int> bytes)
{
    std::string h(kLabelHeaderBytes, '\0');
    size_t i = 0;
    for (int b : bytes)
        h[i++] = char(b);
    return h;
}

std::string compiled(const LabelDesign& design, LabelMode mode, const VariableTable& vars, bool* ok = nullptr)
{
    std::string out = "stale";
    bool result = CompileLabel(BuildLabelText(design, vars), vars, mode, out);
    if (ok)
        *ok = result;
    return out;
}

} // namespace

TEST(LabelCompiler, WorkedExampleInImageMode)
{
    VariableTable vars = resetTable();
    bool ok = false;
    std::string data = compiled(workedExampleDesign(), LabelMode::Image, vars, &ok);
    ASSERT_TRUE(ok);
    const std::string stream = kSetup +
                               "2911101" "0060" "0111\r"
                               "2912101" "0060" "0081" "ABC\r"
                               "2X11000" "0005" "0071" "L002060\r"
                               "2911101" "0060" "0011\r"
                               "2d00041" "0060" "0023\r" +
                               kClosing;
    ASSERT_EQ(stream.size(), 148u);
    EXPECT_EQ(data, header({3, 148, 0, 2, 0, 55, 0, 3, 1, 113, 0, 3, 1, 129, 0}) + stream);
    // Each entry points at the CR its value goes before.
    for (size_t offset : {55u, 113u, 129u})
        EXPECT_EQ(stream[offset], '\r');
}

TEST(LabelCompiler, PrintModeFillsInitialValues)
{
    VariableTable vars = resetTable();
    vars[1].initialValue = "A-17";
    vars[32].initialValue = "1234";
    vars[32].name = "code";  // the label text holds default names, so renaming changes nothing
    bool ok = false;
    std::string stream = compiled(workedExampleDesign(), LabelMode::Print, vars, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(stream, kSetup +
                          "2911101" "0060" "0111" "A-17\r"
                          "2912101" "0060" "0081" "ABC\r"
                          "2X11000" "0005" "0071" "L002060\r"
                          "2911101" "0060" "0011" "1234\r"
                          "2d00041" "0060" "0023" "1234\r" +
                          kClosing);
}

TEST(LabelCompiler, PrintModeShowsTheNameOfAnUnknownVariable)
{
    VariableTable vars = resetTable();
    std::string text = "#1#cnt=1\\#EtiketTipi=Et40x20\\#EtiketYon=Vertical\\#height=100\\"
                       "#Tip=Alan\\#alan=str99\\#font=3\\#x=1\\#y=40\\#x1=2\\#y1=3\\#2";
    std::string out;
    ASSERT_TRUE(CompileLabel(text, vars, LabelMode::Print, out));
    EXPECT_EQ(out, kSetup + "1911101" "0060" "0001" "str99\r" + kClosing);
    // The terminal has no string 99: the image cannot refer to it.
    EXPECT_FALSE(CompileLabel(text, vars, LabelMode::Image, out));
    EXPECT_EQ(out, "");
}

TEST(LabelCompiler, EmptyDesignAndEmptyText)
{
    VariableTable vars = resetTable();
    LabelDesign empty;
    EXPECT_EQ(compiled(empty, LabelMode::Image, vars), header({0, 58, 0}) + kSetup + kClosing);
    EXPECT_EQ(compiled(empty, LabelMode::Print, vars), kSetup + kClosing);

    ProjectState project;
    project.labelData = "old data";
    std::string out = "stale";
    EXPECT_TRUE(CompileLabel(project, LabelMode::Print, out));
    EXPECT_EQ(out, "");
    EXPECT_EQ(project.labelData, "");
}

TEST(LabelCompiler, InsertionEntries)
{
    struct Row { const char* variable; int kind; int number; };
    const Row rows[] = {{"str01", 2, 0}, {"str30", 2, 29}, {"int01", 3, 0}, {"int50", 3, 49},
                        {"flt01", 4, 0}, {"flt20", 4, 19},
                        // Only the fourth and fifth characters count, however many there are.
                        {"int5", 3, 4}, {"flt123", 4, 11}};
    VariableTable vars = resetTable();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.variable);
        LabelDesign d;
        d.Direction = "Vertical";
        d.SurfaceHeight = 100;
        addElement(d, ElementKind::Field, 0, 0, 0, 0, r.variable);
        std::string data = compiled(d, LabelMode::Image, vars);
        ASSERT_EQ(data.size(), kLabelHeaderBytes + 58 + 16);
        EXPECT_EQ(data.substr(0, 7), header({1, 74, 0, r.kind, r.number, 55, 0}).substr(0, 7));
    }
}

TEST(LabelCompiler, FailuresGiveAnEmptyOutput)
{
    VariableTable vars = resetTable();
    const std::string good = "#Tip=Alan\\#alan=str01\\#font=3\\#x=1\\#y=1\\#x1=1\\#y1=1\\";
    struct Row { const char* what; std::string text; };
    const Row rows[] = {
        {"no end marker", "#1#cnt=0\\"},
        {"end marker before start marker", "#2#1#cnt=0\\"},
        {"variable of no kind", "#1#cnt=1\\#Tip=Alan\\#alan=abc01\\#font=3\\#2"},
        {"upper-case kind letter", "#1#cnt=1\\#Tip=Barkod\\#alan=Str01\\#font=3\\#2"},
        {"non-numeric number", "#1#cnt=1\\#Tip=Alan\\#alan=strXY\\#font=3\\#2"},
        {"short name", "#1#cnt=1\\#Tip=Alan\\#alan=s1\\#font=3\\#2"},
        {"no variable name", "#1#cnt=1\\#Tip=Alan\\#alan=\\#font=3\\#2"},
        {"half a number", "#1#cnt=1\\#Tip=Alan\\#alan=int1x\\#font=3\\#2"},
        {"number zero", "#1#cnt=1\\#Tip=Alan\\#alan=int00\\#font=3\\#2"},
        {"beyond the integers", "#1#cnt=1\\#Tip=Alan\\#alan=int51\\#font=3\\#2"},
        {"beyond the floats", "#1#cnt=1\\#Tip=Barkod\\#alan=flt21\\#font=3\\#2"},
        {"font above the table", "#1#cnt=1\\#Tip=Yazi\\#yazi=A\\#font=401\\#2"},
        {"negative font", "#1#cnt=1\\#Tip=Alan\\#alan=str01\\#font=-1\\#2"},
        {"31st entry", "#1#cnt=31\\" + [&] { std::string s; for (int i = 0; i < 31; ++i) s += good; return s; }() + "#2"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::string out = "stale";
        EXPECT_FALSE(CompileLabel(r.text, vars, LabelMode::Image, out));
        EXPECT_EQ(out, "");
    }
}

TEST(LabelCompiler, FifteenBarcodesFillTheHeader)
{
    VariableTable vars = resetTable();
    LabelDesign d;
    for (int i = 0; i < 15; ++i)
        addElement(d, ElementKind::Barcode, 10, 100, 40, 50, "int01");
    EXPECT_EQ(d.VariableSlots(), 30);
    bool ok = false;
    std::string data = compiled(d, LabelMode::Image, vars, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(data[0], 30);
    EXPECT_NE(data[3 + 4 * 29], 0);  // the last entry is filled in

    addElement(d, ElementKind::Field, 10, 100, 40, 50, "int01");
    data = compiled(d, LabelMode::Image, vars, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(data, "");
}

TEST(LabelCompiler, BarcodeRowsAndHeights)
{
    // Font 4 lifts the bars 5 rows; the bars start 4 rows per font number
    // above the caption and reach up to the element's top.
    struct Row { int font; int y; int y1; const char* caption; const char* bars; };
    const Row rows[] = {
        {3, 140, 87, "1911101" "0011" "0010\r", "1d00041" "0023" "0010\r"},
        {4, 140, 87, "1912101" "0011" "0010\r", "1d00032" "0032" "0010\r"},
        {5, 140, 87, "1922101" "0011" "0010\r", "1d00033" "0031" "0010\r"},
        {3, 160, 150, "1911101" "00-9" "0010\r", "1d000-2" "0003" "0010\r"},
        {3, 140, 130, "1911101" "0011" "0010\r", "1d000-2" "0023" "0010\r"},
    };
    VariableTable vars = resetTable();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.font);
        LabelDesign d;
        d.Direction = "Vertical";
        d.SurfaceHeight = 151;
        addElement(d, ElementKind::Barcode, 10, r.y, 50, r.y1, "int02", r.font);
        std::string stream = compiled(d, LabelMode::Image, vars).substr(kLabelHeaderBytes);
        EXPECT_EQ(stream, kSetup + r.caption + r.bars + kClosing);
    }
}

TEST(LabelCompiler, OversizedLabelIsRefusedWhole)
{
    VariableTable vars = resetTable();
    LabelDesign d;
    d.Direction = "Vertical";
    d.SurfaceHeight = 200;
    // Each text line is 1 + 6 + 4 + 4 + 40 + 1 = 56 bytes.
    const std::string text(40, 'W');
    while (kLabelHeaderBytes + 58 + 56 * d.Elements.size() <= kMaxLabelDataBytes - 56)
        addElement(d, ElementKind::Text, 1, 100, 2, 90, text);
    bool ok = false;
    std::string data = compiled(d, LabelMode::Image, vars, &ok);
    ASSERT_TRUE(ok);
    EXPECT_LE(data.size(), kMaxLabelDataBytes);
    EXPECT_EQ(uint8_t(data[1]) | uint8_t(data[2]) << 8, int(data.size() - kLabelHeaderBytes));

    while (kLabelHeaderBytes + 58 + 56 * d.Elements.size() <= kMaxLabelDataBytes)
        addElement(d, ElementKind::Text, 1, 100, 2, 90, text);
    data = compiled(d, LabelMode::Image, vars, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(data, kLabelTooLarge);
    // The print stream has no such limit.
    EXPECT_EQ(compiled(d, LabelMode::Print, vars, &ok).size(), 58 + 56 * d.Elements.size());
    EXPECT_TRUE(ok);
}

TEST(LabelCompiler, ExactlyFiveKilobytesIsAccepted)
{
    VariableTable vars = resetTable();
    LabelDesign d;
    d.Direction = "Vertical";
    d.SurfaceHeight = 200;
    // 123 + 58 + n lines of 16 + text bytes = 5120 exactly.
    size_t room = kMaxLabelDataBytes - kLabelHeaderBytes - 58;
    while (room >= 16 + 100 + 16) {
        addElement(d, ElementKind::Text, 1, 100, 2, 90, std::string(100, 'x'));
        room -= 116;
    }
    addElement(d, ElementKind::Text, 1, 100, 2, 90, std::string(room - 16, 'y'));
    bool ok = false;
    std::string data = compiled(d, LabelMode::Image, vars, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(data.size(), kMaxLabelDataBytes);
}

TEST(LabelCompiler, FieldsThatFailToReadPrintAsZeroAndEmpty)
{
    VariableTable vars = resetTable();
    std::string out;
    // A missing kind prints nothing; an unreadable number stops every later read.
    std::string text = "#1#cnt=3\\#EtiketYon=Vertical\\#height=50\\"
                       "#x=1\\#y=2\\"
                       "#Tip=Yazi\\#yazi=A\\#font=3\\#x=one\\#y=2\\#x1=1\\#y1=1\\"
                       "#Tip=Cizgi\\#x=1\\#y=2\\#x1=3\\#y1=0\\#2";
    ASSERT_TRUE(CompileLabel(text, vars, LabelMode::Print, out));
    EXPECT_EQ(out, kSetup + "1911101" "0050" "0000" "A\r" + kClosing);
}

TEST(LabelCompiler, CoordinatesAtTheIntegerLimitsAreWrittenInFull)
{
    // Rows, lengths and bar heights are differences of two stored numbers: at
    // the limits of a stored number they must not wrap round to the other sign.
    VariableTable vars = resetTable();
    std::string out;
    const std::string text = "#1#cnt=2\\#EtiketYon=Vertical\\#height=2147483647\\"
                             "#Tip=Cizgi\\#x=-2147483648\\#y=-2147483648\\#x1=2147483647\\#y1=2147483647\\"
                             "#Tip=Barkod\\#alan=str01\\#font=3\\#x=0\\#y=-2147483648\\#x1=0\\#y1=2147483647\\#2";
    ASSERT_TRUE(CompileLabel(text, vars, LabelMode::Print, out));
    EXPECT_EQ(out, kSetup +
                       "1X11000" "4294967295" "-2147483648" "L" "4294967295" "-4294967295\r"
                       "1911101" "4294967295" "0000\r"
                       "1a00-4294967307" "4294967307" "0000\r" +
                       kClosing);
}

TEST(LabelCompiler, HugeCountWithoutElementsEndsAtOnce)
{
    VariableTable vars = resetTable();
    std::string out;
    ASSERT_TRUE(CompileLabel("#1#cnt=2147483647\\#2", vars, LabelMode::Image, out));
    EXPECT_EQ(out, header({0, 58, 0}) + kSetup + kClosing);
}

TEST(LabelCompiler, ProjectLabelKeepsTheErrorText)
{
    struct Row { std::string text; bool ok; std::string data; };
    std::string huge = "#1#cnt=200\\#EtiketYon=Vertical\\";
    for (int i = 0; i < 200; ++i)
        huge += "#Tip=Yazi\\#yazi=" + std::string(30, 'x') + "\\#font=3\\#x=1\\#y=1\\#x1=1\\#y1=1\\";
    huge += "#2";
    const Row rows[] = {
        {"", true, ""},
        {"#1#cnt=0\\#2", true, header({0, 58, 0}) + kSetup + kClosing},
        {"#1#cnt=0\\", false, "Label File open error."},
        {huge, false, "Label File open error.\rFile Size max: 5 Kbyte"},
    };
    for (const Row& r : rows) {
        ProjectState project;
        project.labelText = r.text;
        project.labelData = "old";
        EXPECT_EQ(CompileProjectLabel(project), r.ok);
        EXPECT_EQ(project.labelData, r.data);
    }
}

TEST(LabelCompiler, OpeningAProjectWithABrokenLabelStillOpensIt)
{
    TempDir dir;
    std::string bytes = readFile(sourcePath("examples/stockcount.zmk"));
    // Replace the last line, the label text, by one without its end marker.
    size_t lastLine = bytes.rfind("\r\n", bytes.size() - 3);
    ASSERT_NE(lastLine, std::string::npos);
    bytes = bytes.substr(0, lastLine + 2) + "#1#cnt=1\\#Tip=Yazi\\#yazi=A\\\r\n";
    writeFile(dir.path("broken.zmk"), bytes);

    ProjectState project;
    ScriptedMessages messages;
    EXPECT_EQ(LoadProjectFile(dir.path("broken.zmk"), project, messages), LoadResult::Opened);
    EXPECT_TRUE(project.isOpen());
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"Label File open error."});
    EXPECT_EQ(project.labelText, "#1#cnt=1\\#Tip=Yazi\\#yazi=A\\");
    EXPECT_EQ(project.labelData, "Label File open error.");
}

TEST(LabelCompiler, OpeningAProjectCompilesItsLabel)
{
    TempDir dir;
    std::string bytes = readFile(sourcePath("examples/stockcount.zmk"));
    size_t lastLine = bytes.rfind("\r\n", bytes.size() - 3);
    VariableTable vars = resetTable();
    const std::string text = BuildLabelText(workedExampleDesign(), vars);
    writeFile(dir.path("label.zmk"), bytes.substr(0, lastLine + 2) + text + "\r\n");

    ProjectState project;
    ScriptedMessages messages;
    EXPECT_EQ(LoadProjectFile(dir.path("label.zmk"), project, messages), LoadResult::Opened);
    EXPECT_EQ(messages.transcript(), "");
    std::string expected;
    ASSERT_TRUE(CompileLabel(text, vars, LabelMode::Image, expected));
    EXPECT_EQ(project.labelData, expected);
}

TEST(LabelCompiler, LabelPropertiesPickSizeBarcodeAndTurn)
{
    struct Row { const char* type; const char* direction; const char* barcode; std::string lines; };
    const Row rows[] = {
        {"Et40x20", "Horizontal", "ITF25", "2911101" "0060" "0011" "0\r" "2d00041" "0060" "0023" "0\r"},
        {"Et60x60", "Horizontal", "CODE39", "2911101" "0210" "0011" "0\r" "2a00041" "0210" "0023" "0\r"},
        {"Et1x1", "Horizontal", "itf25", "2911101" "0210" "0011" "0\r" "2a00041" "0210" "0023" "0\r"},
        {"Et40x20", "horizontal", "ITF25", "1911101" "0011" "0010" "0\r" "1d00041" "0023" "0010" "0\r"},
        {"Et40x20", "", "", "1911101" "0011" "0010" "0\r" "1a00041" "0023" "0010" "0\r"},
    };
    // Print mode: each line carries int02's initial value, 0.
    VariableTable vars = resetTable();
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.type) + " " + r.direction + " " + r.barcode);
        const std::string text = "#1#cnt=1\\#DegiskenCnt=2\\#EtiketTipi=" + std::string(r.type) +
                                 "\\#EtiketYon=" + r.direction + "\\#BarkodTipi=" + r.barcode +
                                 "\\#width=76\\#height=151\\"
                                 "#Tip=Barkod\\#alan=int02\\#font=3\\#x=10\\#y=140\\#x1=50\\#y1=87\\#2";
        std::string out;
        ASSERT_TRUE(CompileLabel(text, vars, LabelMode::Print, out));
        EXPECT_EQ(out, kSetup + r.lines + kClosing);
    }
}
