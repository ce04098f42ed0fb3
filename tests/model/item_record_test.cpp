#include "item_fields.h"
#include "model/item_kinds.h"
#include "model/item_record.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

using namespace qvt;
using qvt::test::FieldsOf;
using qvt::test::FillKindFields;

namespace {

// Keys of the kind section in written order.
std::vector<std::string> KindKeys(const std::string& record)
{
    std::vector<std::string> keys;
    const auto start = record.find("\\#2") + 3;
    const auto end = record.rfind("\\#3");
    std::string_view kind(record);
    kind = kind.substr(start, end - start);
    for (std::size_t at = kind.find('#'); at != std::string_view::npos; at = kind.find('#', at + 1))
        keys.emplace_back(kind.substr(at + 1, kind.find('=', at) - at - 1));
    return keys;
}

} // namespace

TEST(ItemRecord, WorkedRecordsComeOutByteForByte)
{
    TItcStrLen len;
    len.id = 3;
    len.row = 0;
    len.column = 2;
    len.target = 31;
    len.source = 1;
    len.nextTarget = 4;
    EXPECT_EQ(len.WriteRecord(), "#1#id=3\\#sat=0\\#sut=2\\#tip=194\\#2#hedef=31\\#kaynak=1\\#sonraki=4\\#3");

    TItcTmrReturn ret;
    ret.id = 2;
    ret.row = 1;
    EXPECT_EQ(ret.WriteRecord(), "#1#id=2\\#sat=1\\#sut=0\\#tip=254\\#2\\#3");
    TItcTmrReturn back;
    ASSERT_TRUE(back.ReadRecord(ret.WriteRecord()));
    EXPECT_EQ(FieldsOf(back), FieldsOf(ret));

    TItcInputMenu input;
    input.id = 1;
    input.screenText = "A\r\nB\\C";
    input.inputFormat = 64;
    input.inputSize = 20;
    input.showInitial = true;
    input.inputRow = -1;
    EXPECT_EQ(input.WriteRecord(),
              "#1#id=1\\#sat=0\\#sut=0\\#tip=57\\#2#drmmtr=0\\#ekran=A\xF9\xF8"
              "B\xFF"
              "C\\#hedef=0\\#tip=16404\\#dogru=0\\#yanlis=0\\#iptal=0\\#sat=-1\\#sut=0\\#maxuz=0\\#ilkdeger=1\\#3");
    TItcInputMenu read;
    ASSERT_TRUE(read.ReadRecord(input.WriteRecord()));
    EXPECT_EQ(read.screenText, "A\r\nB\\C");
    EXPECT_EQ(FieldsOf(read), FieldsOf(input));
}

TEST(ItemRecord, EveryKindWritesItsKeysInOrder)
{
    const std::map<std::int32_t, std::vector<std::string>> keys = {
        {KindInput, {"drmmtr", "ekran", "hedef", "tip", "dogru", "yanlis", "iptal", "sat", "sut", "maxuz", "ilkdeger"}},
        {KindReadKey, {"drmmtr", "ekran", "f1", "f2", "f3", "f4", "f5", "n1", "n2", "n3", "n4", "n5", "n6", "n7",
                       "n8", "n9", "n0", "giris", "bosluk", "sil", "iptal", "yukari", "asagi", "sol", "sag"}},
        {KindGetSequence, {"hedef", "sonraki"}},
        {KindSecOfCentury, {"hedef", "sonraki"}},
        {KindWriteToFlash, {"sabit", "kaynak1", "kaynak2", "ok", "hata"}},
        {KindStrCopy, {"hedef", "kaynak", "bas", "son", "sabit", "sabitb", "sabits", "sonraki"}},
        {KindStrCat, {"hedef", "kaynak", "bas", "son", "sabit", "sabitb", "sabits", "sonraki"}},
        {KindStrLen, {"hedef", "kaynak", "sonraki"}},
        {KindStrPos, {"hedef", "kaynak", "sabit", "kacinci", "sonraki"}},
        {KindStrCmp, {"hedef", "kaynak", "sabit", "esit", "esitdegil"}},
        {KindProcess, {"hedef", "kaynak", "islem", "sabit", "sonraki"}},
        {KindNumCmp, {"hedef", "kaynak", "sabit", "kucuk", "esit", "buyuk"}},
        {KindSync, {"drmmtr", "kaynak"}},
        {KindTmrReturn, {}},
        {KindGetDate, {"hedef", "sonraki"}},
        {KindGetTime, {"hedef", "sonraki"}},
        {KindWdt, {"starttime", "tinc", "flag", "sonraki"}},
    };
    ASSERT_EQ(keys.size(), kItemKinds.size());
    for (std::int32_t kind : kItemKinds) {
        SCOPED_TRACE(kind);
        const std::string record = CreateItem(kind)->WriteRecord();
        const std::string baseSection = "#1#id=0\\#sat=0\\#sut=0\\#tip=" + std::to_string(kind) + "\\#2";
        EXPECT_EQ(record.substr(0, baseSection.size()), baseSection);
        EXPECT_EQ(record.substr(record.size() - 3), "\\#3");
        EXPECT_EQ(KindKeys(record), keys.at(kind));
    }
}

TEST(ItemRecord, EveryKindReadsBackWhatItWrote)
{
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    struct Base { std::int32_t id, row, column; };
    const Base bases[] = {{1, 0, 0}, {1000, kMax, kMax}, {kMin, kMin, -1}};
    for (std::int32_t kind : kItemKinds) {
        for (int seed = 0; seed < 8; ++seed) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " seed " << seed);
            auto item = CreateItem(kind);
            const Base& b = bases[seed % std::size(bases)];
            item->id = b.id;
            item->row = b.row;
            item->column = b.column;
            FillKindFields(*item, seed);
            const std::string record = item->WriteRecord();

            auto back = CreateItem(kind);
            ASSERT_TRUE(back->ReadRecord(record)) << record;
            EXPECT_EQ(FieldsOf(*back), FieldsOf(*item));
            EXPECT_EQ(back->WriteRecord(), record);
        }
    }
}

TEST(ItemRecord, ConstantsAreStoredInThousandthsRoundedHalfToEven)
{
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    struct Row { double value; std::int32_t written; double readBack; };
    const Row rows[] = {
        {12.5, 12500, 12.5},
        {0.0004, 0, 0.0},
        {-0.0004, 0, 0.0},
        {0.0005, 0, 0.0},      // exactly half a thousandth below 1: to even (0)
        {0.0015, 2, 0.002},    // 1.5 thousandths: to even (2)
        {0.0025, 2, 0.002},    // 2.5 thousandths: to even (2)
        {-0.0015, -2, -0.002},
        {1.0006, 1001, 1.001},
        {-7.25, -7250, -7.25},
        {2147483.647, kMax, 2147483.647},
        {-2147483.648, kMin, -2147483.648},
        // Too large for 32 bits: stored as the nearest value that reads back.
        {2147483.648, kMax, 2147483.647},
        {1e12, kMax, 2147483.647},
        {-1e12, kMin, -2147483.648},
        {std::numeric_limits<double>::infinity(), kMax, 2147483.647},
        {std::numeric_limits<double>::quiet_NaN(), 0, 0.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.value);
        EXPECT_EQ(ThousandthsOf(r.value), r.written);
        TItcProcess process;
        process.constValue = r.value;
        EXPECT_NE(process.WriteRecord().find("\\#sabit=" + std::to_string(r.written) + "\\"), std::string::npos);
        TItcNumCmp cmp;
        cmp.constValue = r.value;
        TItcNumCmp back;
        ASSERT_TRUE(back.ReadRecord(cmp.WriteRecord()));
        EXPECT_DOUBLE_EQ(back.constValue, r.readBack);
    }
    EXPECT_TRUE(ConstantFitsRecord(-2147483.648));
    EXPECT_TRUE(ConstantFitsRecord(2147483.647));
    EXPECT_FALSE(ConstantFitsRecord(2147483.648));
    EXPECT_FALSE(ConstantFitsRecord(std::numeric_limits<double>::quiet_NaN()));
}

// Reading quirks the terminal's other tools have and stored files rely on.
TEST(ItemRecord, ReadingQuirks)
{
    struct Row {
        const char* what;
        std::int32_t kind;
        std::string record;
        bool accepted;
        std::map<std::string, std::string> expect;  // fields checked after reading
    };
    const std::string base = "#1#id=3\\#sat=0\\#sut=2\\#tip=194\\#2";
    std::string fortyPairs;
    for (int i = 0; i < 40; ++i)
        fortyPairs += "#x" + std::to_string(i) + "=1\\";
    const Row rows[] = {
        {"kind keys in any order, a missing key reads 0", KindStrLen,
         base + "#sonraki=4\\#hedef=31\\#3", true, {{"nextTarget", "4"}, {"target", "31"}, {"source", "0"}}},
        {"a bad repetition stops the scan", KindStrLen, base + "#hedef=x\\#hedef=31\\#3", true, {{"target", "0"}}},
        {"a later good repetition wins", KindStrLen, base + "#hedef=31\\#hedef=x\\#3", true, {{"target", "31"}}},
        {"the last of several good repetitions wins", KindStrLen, base + "#hedef=1\\#hedef=2\\#hedef=3\\#3", true,
         {{"target", "3"}}},
        {"base keys only in written order", KindStrLen, "#1#id=7\\#sut=2\\#tip=57\\#2\\#3", true,
         {{"id", "7"}, {"row", "0"}, {"column", "2"}, {"kind", "57"}}},
        {"base keys out of order are not found", KindStrLen, "#1#sat=1\\#id=3\\#sut=2\\#tip=194\\#2\\#3", true,
         {{"id", "0"}, {"row", "1"}, {"column", "0"}, {"kind", "0"}}},  // the unread id pair hides sut and tip
        {"a bad base value hides the keys after it", KindStrLen,
         "#1#id=3\\#sat=x\\#sut=2\\#tip=194\\#2#hedef=31\\#3", true,
         {{"id", "3"}, {"row", "0"}, {"column", "0"}, {"kind", "0"}, {"target", "31"}}},
        {"a missing #1 starts the base at the second character", KindStrLen,
         "X#id=3\\#sat=1\\#sut=2\\#tip=194\\#2#hedef=31\\#3", true,
         {{"id", "3"}, {"row", "1"}, {"column", "2"}, {"target", "31"}}},
        {"without #1 the first character is never read", KindStrLen,
         "#id=3\\#sat=1\\#sut=2\\#tip=194\\#2#hedef=31\\#3", true,
         {{"id", "0"}, {"row", "0"}, {"column", "0"}, {"kind", "0"}, {"target", "31"}}},
        {"an end mark before #2 leaves a tail", KindStrLen, "#1#id=3\\#3\\#2#hedef=31\\", false, {}},
        {"no #2: zero base, pairs from the second character", KindStrLen,
         "#1#id=3\\#sat=1\\#sut=2\\#tip=194\\#hedef=31\\#3", true,
         {{"id", "0"}, {"row", "0"}, {"column", "0"}, {"kind", "0"}, {"target", "31"}}},
        {"no #3: empty kind section", KindStrLen, base + "#hedef=31\\#sonraki=4\\", true,
         {{"id", "3"}, {"column", "2"}, {"target", "0"}, {"nextTarget", "0"}}},
        {"text after the end mark is refused", KindStrLen, base + "#hedef=31\\#3 ", false, {}},
        {"an end mark inside a text leaves a tail", KindStrPos, base + "#sabit=a#3b\\#3", false, {}},
        {"at most 40 pairs", KindStrLen, base + fortyPairs + "#hedef=31\\#3", true, {{"target", "0"}}},
        {"the 40th pair is still read", KindStrLen, base + fortyPairs.substr(fortyPairs.find("#x1=")) + "#hedef=31\\#3",
         true, {{"target", "31"}}},
        {"an = before the # stops the pairs", KindStrLen, base + "x=1#hedef=31\\#3", true, {{"target", "0"}}},
        {"text before the # of a pair is skipped", KindStrLen, base + "junk#hedef=31\\#3", true, {{"target", "31"}}},
        {"a pair without its backslash is not read", KindStrLen, base + "#hedef=31#3", true, {{"target", "0"}}},
        {"a \\ before the = stops the pairs", KindStrLen, base + "#hed\\ef=1\\#hedef=31\\#3", true,
         {{"target", "0"}}},
        {"values may hold # and =", KindStrPos, base + "#sabit=a#b=c\\#kacinci=2\\#3", true,
         {{"constText", "a#b=c"}, {"occurrence", "2"}}},
        {"unknown keys are ignored", KindStrLen, base + "#foo=1\\#hedef=31\\#HEDEF=5\\#3", true, {{"target", "31"}}},
        {"texts repeat: the last wins, unescaped", KindStrPos, base + "#sabit=a\\#sabit=b\xFF\xF8\\#3", true,
         {{"constText", "b\\\n"}}},
        {"an empty value is not a number", KindStrLen, base + "#hedef=\\#3", true, {{"target", "0"}}},
        {"a signed value", KindStrLen, base + "#hedef=-5\\#kaynak=+7\\#3", true, {{"target", "-5"}, {"source", "7"}}},
        {"spaces are not part of a number", KindStrLen, base + "#hedef= 5\\#kaynak=5 \\#3", true,
         {{"target", "0"}, {"source", "0"}}},
        {"32-bit limits", KindStrLen, base + "#hedef=2147483647\\#kaynak=-2147483648\\#sonraki=2147483648\\#3", true,
         {{"target", "2147483647"}, {"source", "-2147483648"}, {"nextTarget", "0"}}},
        {"input type splits truncating toward zero", KindInput, base + "#tip=16404\\#3", true,
         {{"inputFormat", "64"}, {"inputSize", "20"}}},
        {"a negative input type keeps its sign in both parts", KindInput, base + "#tip=-300\\#3", true,
         {{"inputFormat", "-1"}, {"inputSize", "-44"}}},
        {"the base tip does not clash with Input's", KindInput, "#1#id=1\\#sat=4\\#sut=5\\#tip=57\\#2#sat=2\\#sut=3\\#3",
         true, {{"row", "4"}, {"column", "5"}, {"kind", "57"}, {"inputRow", "2"}, {"inputColumn", "3"}, {"inputFormat", "0"}}},
        {"initial flag is any non-zero number", KindInput, base + "#ilkdeger=5\\#3", true, {{"showInitial", "true"}}},
        {"initial flag that is not a number", KindInput, base + "#ilkdeger=yes\\#3", true, {{"showInitial", "false"}}},
        {"a constant beyond 32 bits reads 0", KindProcess, base + "#sabit=2147483648\\#3", true,
         {{"constValue", "0.000"}}},
        {"a constant in thousandths", KindNumCmp, base + "#sabit=-12500\\#3", true, {{"constValue", "-12.500"}}},
        {"an empty record", KindStrLen, "", true, {{"id", "0"}, {"target", "0"}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        auto item = CreateItem(r.kind);
        // Start from values that reading must overwrite (or, when refused, keep).
        item->id = 99;
        item->row = 98;
        item->column = 97;
        qvt::test::FillKindFields(*item, 3);
        const auto before = FieldsOf(*item);
        EXPECT_EQ(item->ReadRecord(r.record), r.accepted) << r.record;
        const auto after = FieldsOf(*item);
        if (!r.accepted) {
            EXPECT_EQ(after, before);
        }
        for (const auto& [name, value] : r.expect)
            EXPECT_EQ(after.at(name), value) << name;
    }
}

TEST(ItemRecord, KindOfRecordReadsTheBaseSectionsNumber)
{
    struct Row { std::string line; std::optional<std::int32_t> kind; };
    const Row rows[] = {
        {"#1#id=3\\#sat=0\\#sut=2\\#tip=194\\#2#hedef=31\\#3", 194},
        {"#1#id=1\\#sat=0\\#sut=0\\#tip=57\\#2#drmmtr=0\\#tip=16404\\#3", 57},
        {"#1#id=1\\#tip=5\\#2\\#3", 5},
        {"#1#id=1\\#tip=-3\\#2\\#3", -3},
        {"    ", std::nullopt},
        {"", std::nullopt},
        {"#1#id=1\\#2\\#3", std::nullopt},                 // no tip at all
        {"#1#id=1\\#sat=0\\#sut=0\\#tip=57\\#3", std::nullopt},  // no \#2
        {"#1#id=1\\#2#tip=57\\#3", std::nullopt},           // tip only after \#2
        {"#1#id=1\\#tip=x\\#2\\#3", std::nullopt},
        {"#1#id=1\\#tip=\\#2\\#3", std::nullopt},
        {"#tip=\\#2", std::nullopt},
        {"#tip=5 \\#2", std::nullopt},
    };
    for (const Row& r : rows)
        EXPECT_EQ(KindOfRecord(r.line), r.kind) << r.line;
}

TEST(ItemRecord, TextsThatRecordsCannotCarryAreNamed)
{
    EXPECT_EQ(RecordTextProblem("Price: ###3"), "The text cannot contain \"#3\".");
    EXPECT_EQ(RecordTextProblem("#3"), "The text cannot contain \"#3\".");
    EXPECT_EQ(RecordTextProblem("a\xF8"), "The text cannot contain the characters \xF8, \xF9 or \xFF.");
    EXPECT_EQ(RecordTextProblem("\xFF"), "The text cannot contain the characters \xF8, \xF9 or \xFF.");
    for (std::string_view fine : {"", "# 3", "3#", "##", "A\r\nB\\C=#2#1", "\xFE\xFD\xDE"})
        EXPECT_EQ(RecordTextProblem(fine), std::nullopt) << fine;
}

TEST(ItemRecord, InputTypePackingWrapsInsteadOfOverflowing)
{
    // Out-of-range parts never come from the editor; they must still write
    // without undefined arithmetic, as 32-bit values.
    struct Row { std::int32_t format, size; const char* tip; };
    const Row rows[] = {
        {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(), "#tip=2147483391\\"},
        {std::numeric_limits<std::int32_t>::min(), -1, "#tip=-1\\"},
        {0x83, 3, "#tip=33539\\"},
        {-1, 0, "#tip=-256\\"},
    };
    for (const Row& r : rows) {
        TItcInputMenu input;
        input.inputFormat = r.format;
        input.inputSize = r.size;
        EXPECT_NE(input.WriteRecord().find(r.tip), std::string::npos) << r.tip;
    }
}
