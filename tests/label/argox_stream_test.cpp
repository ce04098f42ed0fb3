#include "label/argox_stream.h"

#include <gtest/gtest.h>

using namespace qvt;
using namespace std::string_literals;

namespace {

const std::string kSetup = "\x02" "e\r\x02O0220\r\x02" "f275\r\x02KI7"s + '\0' + "\r\x02V0\r\x02L\rH09\rPC\rD11\r";
const std::string kClosing = "^01\rQ0001\r:0001\rE\r";

} // namespace

TEST(ArgoxStream, EmptyLabelIsSetupAndClosingBlocks)
{
    TArgox argox;
    argox.BeginLabel(SizeCodeOf("Et40x20"), 1, 2);
    const std::string& stream = argox.FinishLabel(1);
    EXPECT_EQ(kSetup.size(), kArgoxSetupBytes);
    EXPECT_EQ(kClosing.size(), kArgoxClosingBytes);
    EXPECT_EQ(stream, kSetup + kClosing);
    EXPECT_EQ(stream.size(), 58u);

    // A new label discards the previous stream.
    argox.AddText(3, 1, 1, "x");
    argox.BeginLabel(0, 0, 1);
    EXPECT_EQ(argox.Stream, kSetup);
    EXPECT_EQ(argox.FinishLabel(12), kSetup + "^01\rQ0012\r:0001\rE\r");
}

TEST(ArgoxStream, SizeTable)
{
    struct Row { const char* name; int code; int dimA; int dimB; };
    const Row rows[] = {
        {"Et30x60", 0, 110, 220},   {"Et60x60", 2, 220, 220},    {"Et50x50", 3, 180, 180},
        {"Et60x100", 4, 220, 365},  {"Et60x140", 5, 220, 510},   {"Et45x85", 6, 165, 310},
        {"Et50x35", 7, 175, 120},   {"Et80x100", 8, 292, 365},   {"Et125x100", 9, 455, 365},
        {"Et100x125", 10, 365, 455}, {"Et85x120", 11, 310, 435}, {"Et40x20", 12, 140, 70},
        // Unknown names, a different case included, fall back to the 30 x 60 label.
        {"", 0, 110, 220},          {"et40x20", 0, 110, 220},    {"Et40x21", 0, 110, 220},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(SizeCodeOf(r.name), r.code);
        TArgox argox;
        argox.BeginLabel(SizeCodeOf(r.name), 0, 1);
        EXPECT_EQ(argox.DimA, r.dimA);
        EXPECT_EQ(argox.DimB, r.dimB);
    }
}

TEST(ArgoxStream, FontCodesFollowTheRule)
{
    struct Row { int font; const char* code; };
    const Row rows[] = {
        {0, "911102"},   {1, "912103"},   {2, "923103"},   {3, "911101"},   {4, "912101"},   {5, "922101"},
        {11, "911301"},  {12, "921301"},  {13, "912301"},  {14, "922301"},  {16, "911501"},  {17, "921501"},
        {18, "912501"},  {19, "922501"},  {81, "911308"},  {111, "911311"}, {245, ""},       {384, "922338"},
        {388, "912538"}, {391, "911411"},
        // Gaps of the table: units 0 and 5, tens 9, 10, 19, 20, 29, 30 and above 38.
        {6, ""},         {10, ""},        {15, ""},        {20, ""},        {91, ""},        {101, ""},
        {191, ""},       {201, ""},       {291, ""},       {301, ""},       {390, ""},       {392, ""},
        {399, ""},       {400, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.font);
        bool known = false;
        EXPECT_EQ(FontCodeOf(r.font, &known), r.code);
        EXPECT_TRUE(known);
    }
    for (int outside : {-1, 401, 100000}) {
        bool known = true;
        EXPECT_EQ(FontCodeOf(outside, &known), "");
        EXPECT_FALSE(known) << outside;
    }
}

TEST(ArgoxStream, NumberFields)
{
    struct Row { int64_t value; int width; const char* text; };
    const Row rows[] = {
        {0, 4, "0000"},    {60, 4, "0060"},     {1234, 4, "1234"}, {12345, 4, "12345"},
        {-5, 4, "00-5"},   {-123, 4, "-123"},   {-1234, 4, "-1234"}, {5, 3, "005"},
        {41, 3, "041"},    {120, 3, "120"},     {1000, 3, "1000"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(numberField(r.value, r.width), r.text) << r.value;
}

TEST(ArgoxStream, RecordLines)
{
    struct Row {
        const char* what;
        int rotation;
        int kind;  // 0 text, 1 barcode, 2 line
        int64_t a, b, c, d;
        std::string text;
        std::string line;
    };
    // Et40x20: DimB is 70.
    const Row rows[] = {
        {"text turned", 2, 0, 3, 111, 10, 0, "", "2911101" "0060" "0111\r"},
        {"text upright", 1, 0, 4, 81, 10, 0, "ABC", "1912101" "0081" "0010" "ABC\r"},
        {"text without font code", 1, 0, 6, 5, 7, 0, "t", "1" "0005" "0007" "t\r"},
        {"text above the top edge", 1, 0, 3, -5, 10, 0, "", "1911101" "00-5" "0010\r"},
        {"column past the turn", 2, 0, 3, 11, 80, 0, "", "2911101" "0-10" "0011\r"},
        {"bars turned", 2, 1, 23, 10, 41, 0, "", "2d00041" "0060" "0023\r"},
        {"bars upright", 1, 1, 23, 10, 5, 0, "123", "1d00005" "0023" "0010" "123\r"},
        {"line turned", 2, 2, 71, 5, 60, 2, "", "2X11000" "0005" "0071" "L002060\r"},
        {"line upright", 1, 2, 71, 5, 60, 2, "", "1X11000" "0071" "0005" "L060002\r"},
        {"negative height", 1, 2, 10, 5, 60, -3, "", "1X11000" "0010" "0005" "L0600-3\r"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TArgox argox;
        argox.BeginLabel(SizeCodeOf("Et40x20"), 1, r.rotation);
        if (r.kind == 0)
            EXPECT_TRUE(argox.AddText(int(r.a), r.b, r.c, r.text));
        else if (r.kind == 1)
            argox.AddBarcode(r.a, r.b, r.text, r.c);
        else
            argox.AddLine(r.a, r.b, r.c, r.d);
        EXPECT_EQ(argox.Stream.substr(kArgoxSetupBytes), r.line);
        EXPECT_EQ(argox.Stream.back(), '\r');
    }
}

TEST(ArgoxStream, FontOutsideTheTableAddsNothing)
{
    TArgox argox;
    argox.BeginLabel(0, 0, 1);
    EXPECT_FALSE(argox.AddText(401, 1, 1, "x"));
    EXPECT_FALSE(argox.AddText(-1, 1, 1, "x"));
    EXPECT_EQ(argox.Stream, kSetup);
}

TEST(ArgoxStream, EachBarcodeKeepsTheTypeAndItsOwnHeight)
{
    struct Row { int flag; const char* type; };
    for (Row r : {Row{1, "d00"}, Row{0, "a00"}}) {
        TArgox argox;
        argox.BeginLabel(0, r.flag, 1);
        EXPECT_EQ(argox.BarcodeSpec, r.flag ? "d00049" : "a00048");
        // A height of four digits must not eat into the type of the next barcode.
        argox.AddBarcode(1, 2, "", 1500);
        argox.AddBarcode(3, 4, "", 7);
        argox.AddBarcode(5, 6, "", 41);
        EXPECT_EQ(argox.Stream.substr(kArgoxSetupBytes),
                  "1"s + r.type + "1500" "0001" "0002\r" "1" + r.type + "007" "0003" "0004\r" "1" + r.type +
                      "041" "0005" "0006\r");
        EXPECT_EQ(argox.BarcodeSpec, r.type + "041"s);
    }
}
