#include "label/label_design_file.h"
#include "label/label_text.h"
#include "label_samples.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

std::string describe(const LabelDesign& d)
{
    std::string out = d.LabelType + " " + d.Direction + " " + d.BarcodeType + "\n";
    for (const auto& e : d.Elements) {
        out += std::string(kindName(e->kind()));
        if (const TLettered* l = lettered(*e))
            out += " " + std::to_string(l->FontNo) + " [" + l->Text + "]";
        out += " " + std::to_string(e->X) + "," + std::to_string(e->Y) + "," + std::to_string(e->X1) + "," +
               std::to_string(e->Y1) + "\n";
    }
    return out;
}

std::string crlf(std::string_view lines)
{
    std::string out;
    for (char c : lines) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace

TEST(IniFile, ReadsAsInitializationFilesDo)
{
    const IniFile file(std::string_view("Stray=1\r\n"
                                        "[Main]\r\n"
                                        "  Key = spaced value  \r\n"
                                        "key=second\r\n"
                                        "; comment=no\r\n"
                                        "Number= -42 \r\n"
                                        "Bad=4x\r\n"
                                        "Quoted=\"q\"\n"
                                        "Empty=\r\n"
                                        "[ main ]\r\n"
                                        "Other=later section\r\n"
                                        "[Bytes]\r\n"
                                        "v=\x80\xFF\xF8=\x01\r\n"));
    struct Row { const char* section; const char* key; std::optional<std::string> value; };
    const Row rows[] = {
        {"main", "KEY", " spaced value  "},  // the value's bytes are kept as written
        {"MAIN", "number", " -42 "},
        {"Main", "Quoted", "\"q\""},
        {"Main", "Empty", ""},
        {"Main", "Other", std::nullopt},     // the first section of a name counts
        {"Main", "; comment", std::nullopt},
        {"Main", "Stray", std::nullopt},
        {"Bytes", "v", std::string("\x80\xFF\xF8=\x01")},
        {"None", "v", std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.section) + "/" + r.key);
        EXPECT_EQ(file.value(r.section, r.key), r.value);
    }
    EXPECT_EQ(file.integer("Main", "Number", 7), -42);
    EXPECT_EQ(file.integer("Main", "Bad", 7), 7);
    EXPECT_EQ(file.integer("Main", "Empty", 7), 7);
    EXPECT_EQ(file.integer("Main", "Missing", 7), 7);
    EXPECT_EQ(file.text("Main", "Missing", "fallback"), "fallback");
}

TEST(IniFile, SettingKeepsEverythingElse)
{
    IniFile file(std::string_view("; made by hand\r\n"
                                  "[a]\r\n"
                                  "X=1\r\n"
                                  "keep=this\r\n"
                                  "\r\n"
                                  "[b]\r\n"
                                  "y=2\r\n"));
    file.set("A", "x", "10");      // replaced in place
    file.set("a", "new", "n");     // added at the end of its section, before the blank line
    file.set("c", "z", "3");       // a new section at the end
    file.set("b", "y", "");
    EXPECT_EQ(file.bytes(), crlf("; made by hand\n"
                                 "[a]\n"
                                 "x=10\n"
                                 "keep=this\n"
                                 "new=n\n"
                                 "\n"
                                 "[b]\n"
                                 "y=\n"
                                 "[c]\n"
                                 "z=3\n"));
}

TEST(LabelDesignFile, ExportWritesEveryKeyInOrder)
{
    TempDir dir;
    VariableTable vars = resetTable();
    vars[32].name = "count";
    LabelDesign d = workedExampleDesign();
    static_cast<TBarKod&>(*d.Elements[3]).Text = "count";
    ScriptedMessages messages;
    ASSERT_TRUE(ExportDesign(d, dir.path("label.ini"), vars, messages));
    EXPECT_EQ(readFile(dir.path("label.ini")),
              crlf("[CNT]\nCnt=4\n[DEGISKENCNT]\nDegiskenCnt=3\n"
                   "[ETIKET]\nEtiketTipi=Et40x20\nEtiketYon=Horizontal\nBarkodTipi=ITF25\n"
                   "[EBAT]\nwidth=76\nheight=151\n"
                   "[0]\nx=10\ny=40\nx1=40\ny1=30\nTip=Alan\nalan=str01\nfont=3\n"
                   "[1]\nx=10\ny=70\nx1=40\ny1=55\nTip=Yazi\nyazi=ABC\nfont=4\n"
                   "[2]\nx=5\ny=80\nx1=65\ny1=78\nTip=Cizgi\n"
                   "[3]\nx=10\ny=140\nx1=50\ny1=87\nTip=Barkod\nalan=int02\nfont=3\n"));
    EXPECT_EQ(messages.transcript(), "");
}

TEST(LabelDesignFile, RoundTripFollowsRenamedVariables)
{
    TempDir dir;
    VariableTable vars = resetTable();
    vars[1].name = "item";
    LabelDesign d = workedExampleDesign();
    d.LabelType = "Et85x120";
    d.Direction = "Vertical";
    d.BarcodeType = "CODE39";
    static_cast<TAlan&>(*d.Elements[0]).Text = "item";
    auto& text = static_cast<TYazi&>(*d.Elements[1]);
    text.Text = std::string(" \"quoted\" = ;x \x80\xDE\xFF\\ ");  // every byte kept, blanks included
    addElement(d, ElementKind::Field, 1, 2, 3, 4, "nobody", 5);
    ScriptedMessages messages;
    ASSERT_TRUE(ExportDesign(d, dir.path("d.ini"), vars, messages));

    LabelDesign back;
    ASSERT_TRUE(ImportDesign(back, dir.path("d.ini"), vars, messages));
    EXPECT_EQ(describe(back), describe(d));
    EXPECT_EQ(back.VariableSlots(), d.VariableSlots());

    vars[1].name = "article";
    ASSERT_TRUE(ImportDesign(back, dir.path("d.ini"), vars, messages));
    EXPECT_EQ(static_cast<TAlan&>(*back.Elements[0]).Text, "article");
    EXPECT_EQ(static_cast<TAlan&>(*back.Elements[4]).Text, "nobody");
    EXPECT_EQ(messages.transcript(), "");
}

TEST(LabelDesignFile, LineBreaksCannotSplitTheFile)
{
    TempDir dir;
    VariableTable vars = resetTable();
    LabelDesign d;
    addElement(d, ElementKind::Text, 1, 2, 3, 4, "A\r\n[CNT]\r\nCnt=99\nB", 3);
    ScriptedMessages messages;
    ASSERT_TRUE(ExportDesign(d, dir.path("d.ini"), vars, messages));
    LabelDesign back;
    ASSERT_TRUE(ImportDesign(back, dir.path("d.ini"), vars, messages));
    ASSERT_EQ(back.Elements.size(), 1u);
    EXPECT_EQ(describe(back), describe(d));
    // Stored as in the label text, so the project gets the same label either way.
    EXPECT_EQ(BuildLabelText(back, vars), BuildLabelText(d, vars));
}

TEST(LabelDesignFile, EmptyDesign)
{
    TempDir dir;
    VariableTable vars = resetTable();
    LabelDesign d;
    d.LabelType = "Et50x35";
    d.BarcodeType = "CODE39";
    ScriptedMessages messages;
    ASSERT_TRUE(ExportDesign(d, dir.path("e.ini"), vars, messages));
    EXPECT_EQ(readFile(dir.path("e.ini")),
              crlf("[CNT]\nCnt=0\n[DEGISKENCNT]\nDegiskenCnt=0\n"
                   "[ETIKET]\nEtiketTipi=Et50x35\nEtiketYon=Horizontal\nBarkodTipi=CODE39\n"
                   "[EBAT]\nwidth=0\nheight=0\n"));
    LabelDesign back = workedExampleDesign();
    ASSERT_TRUE(ImportDesign(back, dir.path("e.ini"), vars, messages));
    EXPECT_EQ(describe(back), "Et50x35 Horizontal CODE39\n");
}

TEST(LabelDesignFile, MissingKeysTakeTheirDefaults)
{
    TempDir dir;
    VariableTable vars = resetTable();
    vars[31].name = "first int";
    // Written by hand, in other letter cases, with keys left out.
    writeFile(dir.path("h.ini"), crlf("[cnt]\ncNT=5\n"
                                      "[etiket]\nEtiketYon=Sideways\n"
                                      "[0]\ntip=Yazi\nX=7\nY=8\n"
                                      "[1]\nTip=Alan\n"
                                      "[2]\nTip=Barkod\nalan=flt02\nfont=5\nx1=-1\n"
                                      "[3]\nTip=Cizgi\nfont=9\n"
                                      "[4]\nTip=Yazi\nyazi=\n"));
    LabelDesign back;
    ScriptedMessages messages;
    ASSERT_TRUE(ImportDesign(back, dir.path("h.ini"), vars, messages));
    EXPECT_EQ(describe(back), "Et30x60 Horizontal ITF25\n"
                              "Yazi 3 [Talvek] 7,8,10,10\n"
                              "Alan 3 [first int] 0,0,10,10\n"
                              "Barkod 5 [flt02] 0,0,-1,10\n"
                              "Cizgi 0,0,10,10\n"
                              "Yazi 3 [] 0,0,10,10\n");
}

TEST(LabelDesignFile, HandEditedBlanksAroundNames)
{
    TempDir dir;
    VariableTable vars = resetTable();
    vars[5].name = "lot";
    writeFile(dir.path("b.ini"), crlf("[CNT]\nCnt = 4\n"
                                      "[ETIKET]\nEtiketTipi = Et60x60\nEtiketYon =\tVertical \nBarkodTipi= CODE39\n"
                                      "[0]\nTip = Alan\nalan = str05\n"
                                      "[1]\nTip =Barkod \nalan= not a name \n"
                                      "[2]\nTip = Yazi\nyazi =  two blanks  \n"
                                      "[3]\nTip = Cizgi\n"));
    LabelDesign back;
    ScriptedMessages messages;
    ASSERT_TRUE(ImportDesign(back, dir.path("b.ini"), vars, messages));
    // Names find what they name; texts keep every byte, blanks included.
    EXPECT_EQ(describe(back), "Et60x60 Vertical CODE39\n"
                              "Alan 3 [lot] 0,0,10,10\n"
                              "Barkod 3 [ not a name ] 0,0,10,10\n"
                              "Yazi 3 [  two blanks  ] 0,0,10,10\n"
                              "Cizgi 0,0,10,10\n");
}

TEST(LabelDesignFile, ShorterDesignLeavesOlderSections)
{
    TempDir dir;
    VariableTable vars = resetTable();
    ScriptedMessages messages;
    const std::string path = dir.path("s.ini");
    writeFile(path, crlf("; shared between projects\n[Notes]\nby=hand\n"));
    ASSERT_TRUE(ExportDesign(workedExampleDesign(), path, vars, messages));
    LabelDesign shorter;
    addElement(shorter, ElementKind::Line, 1, 1, 2, 2);
    ASSERT_TRUE(ExportDesign(shorter, path, vars, messages));

    const std::string bytes = readFile(path);
    const std::string kept = crlf("; shared between projects\n[Notes]\nby=hand\n");
    EXPECT_EQ(bytes.substr(0, kept.size()), kept);
    EXPECT_NE(bytes.find(crlf("[3]\nx=10\ny=140\n")), std::string::npos);
    // Section 0 keeps the keys of the old field that a line does not write.
    EXPECT_NE(bytes.find(crlf("[0]\nx=1\ny=1\nx1=2\ny1=2\nTip=Cizgi\nalan=str01\nfont=3\n")), std::string::npos);

    LabelDesign back;
    ASSERT_TRUE(ImportDesign(back, path, vars, messages));
    EXPECT_EQ(describe(back), "Et40x20 Horizontal ITF25\nCizgi 1,1,2,2\n");
}

TEST(LabelDesignFile, ImportFailures)
{
    TempDir dir;
    VariableTable vars = resetTable();
    std::string barcodes = "[CNT]\nCnt=16\n";
    for (int i = 0; i < 16; ++i)
        barcodes += "[" + std::to_string(i) + "]\nTip=Barkod\n";
    struct Row { const char* what; std::optional<std::string> file; size_t kept; };
    const Row rows[] = {
        {"no such file", std::nullopt, 0},
        {"unknown kind", "[CNT]\nCnt=3\n[0]\nTip=Cizgi\n[1]\nTip=Daire\n[2]\nTip=Cizgi\n", 1},
        {"missing kind", "[CNT]\nCnt=2\n[0]\nTip=Cizgi\n", 1},
        {"more than 100 elements", "[CNT]\nCnt=101\n[0]\nTip=Cizgi\n", 0},
        {"more than 30 variable slots", barcodes, 15},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const std::string path = dir.path(std::string(r.what) + ".ini");
        if (r.file)
            writeFile(path, crlf(*r.file));
        LabelDesign d = workedExampleDesign();
        ScriptedMessages messages;
        EXPECT_FALSE(ImportDesign(d, path, vars, messages));
        EXPECT_EQ(messages.errors(), std::vector<std::string>{"Label File open error."});
        EXPECT_EQ(d.Elements.size(), r.kept);
    }

    // A negative count reads no element at all.
    writeFile(dir.path("neg.ini"), crlf("[CNT]\nCnt=-3\n"));
    LabelDesign d;
    ScriptedMessages messages;
    EXPECT_TRUE(ImportDesign(d, dir.path("neg.ini"), vars, messages));
    EXPECT_TRUE(d.Elements.empty());
}

TEST(LabelDesignFile, ExportFailureLeavesNoHalfFile)
{
    TempDir dir;
    VariableTable vars = resetTable();
    ScriptedMessages messages;
    EXPECT_FALSE(ExportDesign(workedExampleDesign(), dir.path("missing/folder/x.ini"), vars, messages));
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"Label File save error."});

    // A directory where the file should be: not replaced, not touched.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.path("taken.ini"))));
    ScriptedMessages again;
    EXPECT_FALSE(ExportDesign(workedExampleDesign(), dir.path("taken.ini"), vars, again));
    EXPECT_EQ(again.errors(), std::vector<std::string>{"Label File save error."});
    EXPECT_TRUE(QFileInfo(QString::fromStdString(dir.path("taken.ini"))).isDir());
}
