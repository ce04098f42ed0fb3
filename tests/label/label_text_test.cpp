#include "label/label_text.h"
#include "label_samples.h"
#include "scripted_messages.h"

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

// Kind, font, text and the four coordinates of every element, one line each.
std::string describe(const LabelDesign& d)
{
    std::string out = d.LabelType + " " + d.Direction + " " + d.BarcodeType + " " + std::to_string(d.SurfaceWidth) +
                      "x" + std::to_string(d.SurfaceHeight) + "\n";
    for (const auto& e : d.Elements) {
        out += std::string(kindName(e->kind()));
        if (const TLettered* l = lettered(*e))
            out += " " + std::to_string(l->FontNo) + " [" + l->Text + "]";
        out += " " + std::to_string(e->X) + "," + std::to_string(e->Y) + "," + std::to_string(e->X1) + "," +
               std::to_string(e->Y1) + "\n";
    }
    return out;
}

} // namespace

TEST(LabelText, WorkedExample)
{
    LabelDesign d;
    d.LabelType = "Et40x20";
    d.SurfaceWidth = 76;
    d.SurfaceHeight = 151;
    addElement(d, ElementKind::Text, 10, 70, 40, 55, "ABC", 4);
    EXPECT_EQ(BuildLabelText(d, resetTable()),
              "#1#cnt=1\\#DegiskenCnt=0\\#EtiketTipi=Et40x20\\#EtiketYon=Horizontal\\#BarkodTipi=ITF25\\"
              "#width=76\\#height=151\\#Tip=Yazi\\#yazi=ABC\\#font=4\\#x=10\\#y=70\\#x1=40\\#y1=55\\#2");
}

TEST(LabelText, EveryKindWithVariablesByDefaultName)
{
    VariableTable vars = resetTable();
    vars[1].name = "item";
    vars[32].name = "qty";
    LabelDesign d;
    d.Direction = "Vertical";
    d.BarcodeType = "CODE39";
    addElement(d, ElementKind::Field, 1, -2, 3, -4, "item", 5);
    addElement(d, ElementKind::Line, 5, 6, 7, 8);
    addElement(d, ElementKind::Barcode, 9, 10, 11, 12, "qty", 3);
    addElement(d, ElementKind::Field, 0, 0, 0, 0, "nobody", 3);
    const std::string text = BuildLabelText(d, vars);
    EXPECT_EQ(text, "#1#cnt=4\\#DegiskenCnt=4\\#EtiketTipi=Et40x20\\#EtiketYon=Vertical\\#BarkodTipi=CODE39\\"
                    "#width=0\\#height=0\\"
                    "#Tip=Alan\\#alan=str01\\#font=5\\#x=1\\#y=-2\\#x1=3\\#y1=-4\\"
                    "#Tip=Cizgi\\#x=5\\#y=6\\#x1=7\\#y1=8\\"
                    "#Tip=Barkod\\#alan=int02\\#font=3\\#x=9\\#y=10\\#x1=11\\#y1=12\\"
                    "#Tip=Alan\\#alan=nobody\\#font=3\\#x=0\\#y=0\\#x1=0\\#y1=0\\#2");

    // Renamed since: fields come back under the new names.
    vars[1].name = "article";
    LabelDesign back;
    ScriptedMessages messages;
    ASSERT_TRUE(LoadLabelText(text, back, vars, messages));
    EXPECT_EQ(describe(back), "Et40x20 Vertical CODE39 0x0\n"
                              "Alan 5 [article] 1,-2,3,-4\n"
                              "Cizgi 5,6,7,8\n"
                              "Barkod 3 [qty] 9,10,11,12\n"
                              "Alan 3 [nobody] 0,0,0,0\n");
    EXPECT_EQ(back.VariableSlots(), 4);
}

TEST(LabelText, TextsSurviveTheRoundTrip)
{
    const std::string texts[] = {
        "back\\slash", "line\nfeed", "carriage\rreturn\r\n", "Box #2 of 3", "#1#cnt=9\\#2", "#font=7",
        "=\\=", "", std::string("\0\x01\x7f\x80\xfe", 5), "\xDE\xF0\xFD\xD0",  // Turkish letters in 1254
    };
    VariableTable vars = resetTable();
    for (const std::string& t : texts) {
        SCOPED_TRACE(t);
        LabelDesign d = workedExampleDesign();
        static_cast<TYazi&>(*d.Elements[1]).Text = t;
        const std::string text = BuildLabelText(d, vars);
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
        LabelDesign back;
        ScriptedMessages messages;
        ASSERT_TRUE(LoadLabelText(text, back, vars, messages));
        EXPECT_EQ(describe(back), describe(d));
        EXPECT_EQ(BuildLabelText(back, vars), text);
    }
}

TEST(LabelText, ValueEncoding)
{
    EXPECT_EQ(encodeLabelValue("a\nb\rc\\d"), "a\xF8" "b\xF9" "c\xFF" "d");
    EXPECT_EQ(decodeLabelValue("a\xF8" "b\xF9" "c\xFF" "d"), "a\nb\rc\\d");
}

TEST(LabelText, FieldReading)
{
    struct Row {
        const char* what;
        std::string text;
        // cnt, then the text field "t", then the number "n"
        int cnt;
        std::string t;
        int n;
    };
    const Row rows[] = {
        {"all present", "#1#cnt=2\\#t=ab\\#n=-7\\#2", 2, "ab", -7},
        {"missing field reads empty, consumes nothing", "#1#cnt=2\\#n=5\\#2", 2, "", 5},
        {"bad number consumes nothing", "#1#cnt=x\\#t=ab\\#n=5\\#2", 0, "", 0},
        {"empty number", "#1#cnt=\\#t=ab\\#n=5\\#2", 0, "", 0},
        {"plus sign", "#1#cnt=+3\\#t=ab\\#n=+-5\\#2", 3, "ab", 0},
        {"out of 32 bits", "#1#cnt=2147483648\\#t=ab\\#2", 0, "", 0},
        {"key after the next backslash is not read", "#1#cnt=1\\#x=1\\#t=ab\\#n=4\\#2", 1, "", 0},
        {"no end marker", "#1#cnt=2\\#t=ab\\#n=5\\", 0, "", 0},
        {"end marker first", "#2#1#cnt=2\\#t=ab\\#n=5\\", 0, "", 0},
        {"no start marker: looked for from the second byte", "X#cnt=2\\#t=ab\\#2", 2, "ab", 0},
        {"no start marker, first byte lost", "#cnt=2\\#t=ab\\#2", 0, "", 0},
        {"text after the end marker ignored", "#1#cnt=2\\#2#t=ab\\", 2, "", 0},
        {"a text holding #2 does not end the label", "#1#cnt=2\\#t=x#2y\\#n=3\\#2", 2, "x#2y", 3},
        {"value with = and #", "#1#cnt=1\\#t=a=#b\\#n=1\\#2", 1, "a=#b", 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        LabelFieldReader reader(r.text);
        EXPECT_EQ(reader.number("cnt"), r.cnt);
        EXPECT_EQ(reader.text("t"), r.t);
        EXPECT_EQ(reader.number("n"), r.n);
    }
}

TEST(LabelText, EmptyTextLoadsAnEmptyDesignQuietly)
{
    LabelDesign d = workedExampleDesign();
    d.LabelType = "Et60x60";
    ScriptedMessages messages;
    EXPECT_TRUE(LoadLabelText("", d, resetTable(), messages));
    EXPECT_TRUE(d.Elements.empty());
    EXPECT_EQ(d.LabelType, "Et60x60");  // nothing read, nothing changed
    EXPECT_EQ(messages.transcript(), "");
}

TEST(LabelText, UnknownPropertiesKeepTheCurrentOnes)
{
    LabelDesign d;
    ScriptedMessages messages;
    ASSERT_TRUE(LoadLabelText("#1#cnt=0\\#DegiskenCnt=0\\#EtiketTipi=Et99x99\\#EtiketYon=Diagonal\\"
                              "#BarkodTipi=EAN13\\#width=1\\#height=2\\#2",
                              d, resetTable(), messages));
    EXPECT_EQ(describe(d), "Et40x20 Horizontal ITF25 1x2\n");
}

TEST(LabelText, ReadingStopsAtABadElement)
{
    const std::string prefix = "#1#cnt=3\\#DegiskenCnt=0\\#EtiketTipi=Et50x50\\#EtiketYon=Vertical\\"
                               "#BarkodTipi=CODE39\\#width=189\\#height=189\\"
                               "#Tip=Cizgi\\#x=1\\#y=2\\#x1=3\\#y1=4\\";
    struct Row { const char* what; std::string rest; };
    const Row rows[] = {
        {"unknown kind", "#Tip=Kutu\\#x=1\\#y=2\\#x1=3\\#y1=4\\#2"},
        {"missing kind", "#x=1\\#y=2\\#x1=3\\#y1=4\\#2"},
        {"fewer elements than counted", "#2"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        LabelDesign d;
        ScriptedMessages messages;
        EXPECT_FALSE(LoadLabelText(prefix + r.rest, d, resetTable(), messages));
        EXPECT_EQ(messages.errors(), std::vector<std::string>{"Label File open error."});
        EXPECT_EQ(describe(d), "Et50x50 Vertical CODE39 189x189\nCizgi 1,2,3,4\n");
    }
}

TEST(LabelText, LimitsOfTheDesignHoldWhenReading)
{
    VariableTable vars = resetTable();
    const std::string field = "#Tip=Alan\\#alan=str01\\#font=3\\#x=0\\#y=0\\#x1=0\\#y1=0\\";
    const std::string line = "#Tip=Cizgi\\#x=0\\#y=0\\#x1=0\\#y1=0\\";
    struct Row { const char* what; int fields; int lines; size_t kept; };
    const Row rows[] = {
        {"30 slots", 30, 0, 30},
        {"31st slot", 31, 0, 30},
        {"100 elements", 0, 100, 100},
        {"101st element", 0, 101, 100},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::string text = "#1#cnt=" + std::to_string(r.fields + r.lines) + "\\";
        for (int i = 0; i < r.fields; ++i)
            text += field;
        for (int i = 0; i < r.lines; ++i)
            text += line;
        text += "#2";
        LabelDesign d;
        ScriptedMessages messages;
        bool fits = size_t(r.fields + r.lines) == r.kept;
        EXPECT_EQ(LoadLabelText(text, d, vars, messages), fits);
        EXPECT_EQ(d.Elements.size(), r.kept);
        EXPECT_EQ(messages.errors().size(), fits ? 0u : 1u);
    }
}

TEST(LabelText, SampleProjectLabel)
{
    // The label the sample project carries, as it stands in its last line.
    EXPECT_EQ(BuildLabelText(sampleProjectDesign(), resetTable()),
              "#1#cnt=4\\#DegiskenCnt=3\\#EtiketTipi=Et40x20\\#EtiketYon=Horizontal\\#BarkodTipi=CODE39\\"
              "#width=76\\#height=151\\"
              "#Tip=Yazi\\#yazi=STOCK\\#font=4\\#x=8\\#y=34\\#x1=58\\#y1=18\\"
              "#Tip=Alan\\#alan=int01\\#font=3\\#x=8\\#y=56\\#x1=38\\#y1=44\\"
              "#Tip=Cizgi\\#x=4\\#y=64\\#x1=64\\#y1=62\\"
              "#Tip=Barkod\\#alan=str01\\#font=3\\#x=8\\#y=140\\#x1=68\\#y1=80\\#2");
}
