#include "label/label_compiler.h"
#include "label/label_preview.h"
#include "label/label_text.h"
#include "core/display_painter.h"
#include "fixed_metrics.h"
#include "label_samples.h"
#include "test_files.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace qvt;
using namespace qvt::test;
using namespace std::string_literals;

namespace {

const std::string kSetup = "\x02" "e\r\x02O0220\r\x02" "f275\r\x02KI7"s + '\0' + "\r\x02V0\r\x02L\rH09\rPC\rD11\r";
const std::string kClosing = "^01\rQ0001\r:0001\rE\r";

// A text, a field of int01, a line and a barcode, on a label of the given
// size and direction; the barcode prints str01 as Code 39 and int01 as
// Interleaved 2 of 5.
LabelDesign previewDesign(const std::string& type, const std::string& direction, const std::string& barcode,
                          int surfaceHeight)
{
    LabelDesign d;
    d.LabelType = type;
    d.Direction = direction;
    d.BarcodeType = barcode;
    d.SurfaceHeight = surfaceHeight;
    addElement(d, ElementKind::Text, 10, 70, 40, 58, "ABC", 3);
    addElement(d, ElementKind::Field, 10, 40, 40, 28, "int01", 3);
    addElement(d, ElementKind::Line, 5, 80, 65, 78);
    addElement(d, ElementKind::Barcode, 10, 140, 50, 87, barcode == "CODE39" ? "str01" : "int01", 3);
    return d;
}

VariableTable previewVariables()
{
    VariableTable vars = resetTable();
    vars[kFirstString].initialValue = "QVT42";     // str01
    vars[kFirstInteger].initialValue = "123456";   // int01
    return vars;
}

std::vector<const Primitive*> texts(const DisplayList& list)
{
    std::vector<const Primitive*> out;
    for (const Primitive& p : list.Primitives())
        if (p.kind == Primitive::Kind::Text)
            out.push_back(&p);
    return out;
}

const Primitive* textWith(const DisplayList& list, std::string_view bytes)
{
    for (const Primitive* p : texts(list))
        if (list.TextOf(*p) == bytes)
            return p;
    return nullptr;
}

// The filled black rectangles, bars and lines alike.
std::vector<PixelRect> inkRects(const DisplayList& list)
{
    std::vector<PixelRect> out;
    for (const Primitive& p : list.Primitives())
        if (p.kind == Primitive::Kind::Rect && p.filled && p.fill == Rgb{0, 0, 0})
            out.push_back(p.rect);
    return out;
}

PixelRect unionOf(const std::vector<PixelRect>& rects)
{
    PixelRect u = rects.front();
    for (const PixelRect& r : rects)
        u = {std::min(u.left, r.left), std::min(u.top, r.top), std::max(u.right, r.right),
             std::max(u.bottom, r.bottom)};
    return u;
}

} // namespace

TEST(ArgoxStreamReading, WorkedExampleRecords)
{
    VariableTable vars = resetTable();
    vars[kFirstInteger + 1].initialValue = "42";  // int02
    std::string stream;
    ASSERT_TRUE(CompileLabel(BuildLabelText(workedExampleDesign(), vars), vars, LabelMode::Print, stream));
    const ArgoxLabel label = ParseArgoxStream(stream);
    EXPECT_FALSE(label.metric);
    EXPECT_TRUE(label.ended);
    EXPECT_EQ(label.quantity, 1);
    EXPECT_EQ(label.unreadableRecords, 0);
    ASSERT_EQ(label.records.size(), 5u);

    const ArgoxRecord& abc = label.records[1];
    EXPECT_EQ(abc.kind, ArgoxRecord::Kind::Text);
    EXPECT_EQ(abc.rotation, 2);
    EXPECT_EQ(abc.type, '9');
    EXPECT_EQ(abc.widthFactor, 1);
    EXPECT_EQ(abc.heightFactor, 2);
    EXPECT_EQ(abc.size, "101");
    EXPECT_EQ(abc.row, 60);
    EXPECT_EQ(abc.column, 81);
    EXPECT_EQ(abc.data, "ABC");

    const ArgoxRecord& line = label.records[2];
    EXPECT_EQ(line.kind, ArgoxRecord::Kind::Box);
    EXPECT_EQ(line.row, 5);
    EXPECT_EQ(line.column, 71);
    EXPECT_EQ(line.length, 2);
    EXPECT_EQ(line.height, 60);

    const ArgoxRecord& bars = label.records[4];
    EXPECT_EQ(bars.kind, ArgoxRecord::Kind::Barcode);
    EXPECT_EQ(bars.type, 'd');
    EXPECT_EQ(bars.barHeight, 41);
    EXPECT_EQ(bars.row, 60);
    EXPECT_EQ(bars.column, 23);
    EXPECT_EQ(bars.data, "42");
}

TEST(ArgoxStreamReading, OddStreams)
{
    struct Case {
        const char* name;
        std::string stream;
        size_t records;
        int unreadable;
    };
    const Case cases[] = {
        {"empty", "", 0, 0},
        {"setup and closing only", kSetup + kClosing, 0, 0},
        {"records before the format opens are not printed", "1911101" "0010" "0010" "X\r" + kSetup + kClosing, 0, 0},
        {"records after the end are not printed", kSetup + kClosing + "1911101" "0010" "0010" "X\r", 0, 0},
        {"a row that is no number", kSetup + "1911101" "00A0" "0010" "X\r" + kClosing, 0, 1},
        {"a record cut short", kSetup + "1911101" "0010\r" + kClosing, 0, 1},
        {"a line without its sizes", kSetup + "1X11000" "0010" "0010" "L00\r" + kClosing, 0, 1},
        {"no CR at the end", kSetup + "1911101" "0010" "0010" "tail", 1, 0},
        {"CR LF line ends", "\x02L\r\n1911101" "0010" "0010" "X\r\nE\r\n", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ArgoxLabel label = ParseArgoxStream(c.stream);
        EXPECT_EQ(label.records.size(), c.records);
        EXPECT_EQ(label.unreadableRecords, c.unreadable);
    }
}

TEST(ArgoxStreamReading, NegativeFieldsAndEveryByteOfData)
{
    // The writer keeps the minus sign behind the zeros: "00-5".
    const ArgoxLabel negative = ParseArgoxStream(kSetup + "1911101" "00-5" "0-12" "A\r" + kClosing);
    ASSERT_EQ(negative.records.size(), 1u);
    EXPECT_EQ(negative.records[0].row, -5);
    EXPECT_EQ(negative.records[0].column, -12);

    // Every byte but CR stays in the text as it was sent.
    std::string data;
    for (int b = 0; b < 256; ++b)
        if (b != '\r')
            data += char(b);
    const ArgoxLabel all = ParseArgoxStream(kSetup + "1911101" "0010" "0010" + data + "\r" + kClosing);
    ASSERT_EQ(all.records.size(), 1u);
    // A leading line feed belongs to the line end before it; here it is data.
    EXPECT_EQ(all.records[0].data, data);

    // Random bytes read without failing.
    std::mt19937 random(7);
    std::string noise(20000, '\0');
    for (char& c : noise)
        c = char(random() % 256);
    (void)ParseArgoxStream(noise);
    (void)ParseArgoxStream(kSetup + noise);
}

TEST(LabelPreview, HorizontalLabelIsTheDesignTurnedAQuarterClockwise)
{
    // Et40x20 horizontal: 151 pixels high on the screen, 140 by 70 units on
    // the printer. A design point (x, y) prints at picture (151 - y, x).
    for (const std::string barcode : {"CODE39", "ITF25"}) {
        SCOPED_TRACE(barcode);
        const VariableTable vars = previewVariables();
        FixedMetrics metrics;
        LabelPreviewer previewer(metrics);
        DisplayList list;
        std::string stream;
        ASSERT_TRUE(previewer.BuildFromLabelText(BuildLabelText(previewDesign("Et40x20", "Horizontal", barcode, 151), vars),
                                                 vars, kPrinterDotsPerInch, list, &stream));
        EXPECT_EQ(list.width, 140);
        EXPECT_EQ(list.height, 70);

        // Font 3 is drawn 10 pixels, its cell 12 high; turned, the cell lies
        // to the right of the anchor and the text runs down.
        const Primitive* abc = textWith(list, "ABC");
        ASSERT_NE(abc, nullptr);
        EXPECT_EQ(abc->text.rotation, 90);
        EXPECT_EQ(abc->text.pixelSize, 10);
        EXPECT_EQ(abc->at, (PixelPoint{151 - 70 + 12, 10}));
        EXPECT_EQ(abc->rect, (PixelRect{81, 10, 93, 10 + 18}));

        // The field prints the variable's initial value; so does the caption.
        const std::string value = barcode == "CODE39" ? "QVT42" : "123456";
        const Primitive* field = textWith(list, "123456");
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->at, (PixelPoint{151 - 40 + 12, 10}));
        const auto captions = texts(list);
        ASSERT_EQ(captions.size(), 3u);
        EXPECT_EQ(list.TextOf(*captions[2]), value);
        EXPECT_EQ(captions[2]->at, (PixelPoint{151 - 140 + 12, 10}));

        // The line x 5..65, y 78..80 turns into x 71..73, y 5..65.
        std::vector<PixelRect> ink = inkRects(list);
        ASSERT_FALSE(ink.empty());
        EXPECT_EQ(ink.front(), (PixelRect{71, 5, 73, 65}));

        // The bars start 12 units above the caption, 41 high, one unit per module.
        ink.erase(ink.begin());
        ASSERT_FALSE(ink.empty());
        const int modules = barcode == "CODE39" ? 90 : 63;
        EXPECT_EQ(unionOf(ink), (PixelRect{23, 10, 23 + 41, 10 + modules}));
        for (const PixelRect& bar : ink)
            EXPECT_EQ(bar.Width(), 41);
    }
}

TEST(LabelPreview, VerticalLabelIsUpright)
{
    // Et60x100 vertical: 378 pixels high on the screen, 220 by 365 units on
    // the printer; rows count from the bottom, so a design point (x, y) prints
    // at picture (x, y - 13).
    const VariableTable vars = previewVariables();
    FixedMetrics metrics;
    LabelPreviewer previewer(metrics);
    DisplayList list;
    ASSERT_TRUE(previewer.BuildFromLabelText(BuildLabelText(previewDesign("Et60x100", "Vertical", "ITF25", 378), vars),
                                             vars, kPrinterDotsPerInch, list));
    EXPECT_EQ(list.width, 220);
    EXPECT_EQ(list.height, 365);

    const Primitive* abc = textWith(list, "ABC");
    ASSERT_NE(abc, nullptr);
    EXPECT_EQ(abc->text.rotation, 0);
    EXPECT_EQ(abc->at, (PixelPoint{10, 70 - 13 - 12}));
    EXPECT_EQ(abc->rect, (PixelRect{10, 45, 10 + 18, 57}));

    std::vector<PixelRect> ink = inkRects(list);
    ASSERT_GT(ink.size(), 1u);
    EXPECT_EQ(ink.front(), (PixelRect{5, 78 - 13, 65, 80 - 13}));
    ink.erase(ink.begin());
    EXPECT_EQ(unionOf(ink), (PixelRect{10, 127 - 12 - 41, 10 + 63, 127 - 12}));
    for (const PixelRect& bar : ink)
        EXPECT_EQ(bar.Height(), 41);
}

TEST(LabelPreview, ResolutionScalesEverything)
{
    const VariableTable vars = previewVariables();
    FixedMetrics metrics;
    LabelPreviewer previewer(metrics);
    DisplayList list;
    ASSERT_TRUE(previewer.BuildFromLabelText(BuildLabelText(previewDesign("Et40x20", "Horizontal", "ITF25", 151), vars),
                                             vars, 200, list));
    EXPECT_EQ(list.width, 280);
    EXPECT_EQ(list.height, 140);
    const Primitive* abc = textWith(list, "ABC");
    ASSERT_NE(abc, nullptr);
    EXPECT_EQ(abc->text.pixelSize, 20);
    std::vector<PixelRect> ink = inkRects(list);
    EXPECT_EQ(ink.front(), (PixelRect{142, 10, 146, 130}));
    ink.erase(ink.begin());
    EXPECT_EQ(unionOf(ink), (PixelRect{46, 20, 46 + 82, 20 + 2 * 63}));
}

TEST(LabelPreview, BarcodesWithoutBarsAreMarked)
{
    // Letters cannot be Interleaved 2 of 5, and an empty value has no bars.
    for (const std::string value : {"AB12", ""}) {
        SCOPED_TRACE(value);
        VariableTable vars = previewVariables();
        vars[kFirstInteger].initialValue = value;
        FixedMetrics metrics;
        LabelPreviewer previewer(metrics);
        DisplayList list;
        ASSERT_TRUE(previewer.BuildFromLabelText(
            BuildLabelText(previewDesign("Et40x20", "Horizontal", "ITF25", 151), vars), vars, 100, list));
        EXPECT_EQ(inkRects(list).size(), 1u);  // the line alone
        const auto flagged = std::count_if(list.Primitives().begin(), list.Primitives().end(), [](const Primitive& p) {
            return p.kind == Primitive::Kind::Rect && !p.filled && p.pen.style == PenStyle::Dotted;
        });
        EXPECT_EQ(flagged, 1);
    }
}

TEST(LabelPreview, LabelsThatDoNotCompileHaveNoPicture)
{
    const VariableTable vars = resetTable();
    FixedMetrics metrics;
    LabelPreviewer previewer(metrics);
    DisplayList list;
    list.width = 5;
    EXPECT_FALSE(previewer.BuildFromLabelText("#1#cnt=0\\ without its end marker", vars, 100, list));
    EXPECT_EQ(list.width, 0);
    EXPECT_TRUE(list.Primitives().empty());
    // No label at all prints nothing.
    EXPECT_TRUE(previewer.BuildFromLabelText("", vars, 100, list));
    EXPECT_EQ(list.width, 0);
}

// A reader that did not draw the bars must read them back as the value.
TEST(LabelPreview, BarcodeReaderReadsThePngBack)
{
    const QString zbarimg = QStandardPaths::findExecutable("zbarimg");
    ASSERT_FALSE(zbarimg.isEmpty()) << "zbarimg (zbar-tools) is missing; scripts/setup installs it";
    TempDir dir;
    for (const std::string barcode : {"CODE39", "ITF25"}) {
        SCOPED_TRACE(barcode);
        const VariableTable vars = previewVariables();
        PainterFontMetrics metrics;
        LabelPreviewer previewer(metrics);
        DisplayList list;
        // A label long enough for the bars (on the 40 mm label they run off
        // its edge, as they would on paper).
        ASSERT_TRUE(previewer.BuildFromLabelText(
            BuildLabelText(previewDesign("Et60x100", "Horizontal", barcode, 227), vars), vars, kPrinterDotsPerInch,
            list));
        const std::string png = dir.path(barcode + ".png");
        QString error;
        ASSERT_TRUE(WritePng(list, QString::fromStdString(png), &error)) << error.toStdString();

        QProcess reader;
        reader.start(zbarimg, {"--quiet", "--raw", QString::fromStdString(png)});
        ASSERT_TRUE(reader.waitForFinished(20000));
        EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
        const std::string read = reader.readAllStandardOutput().trimmed().toStdString();
        EXPECT_EQ(read, barcode == "CODE39" ? "QVT42" : "123456");
    }
}
