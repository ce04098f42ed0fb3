#include "item_fields.h"
#include "model/item_kinds.h"
#include "model/item_record.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <set>

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

// One worked record per kind, every field set by hand to a value of its own:
// a key written for the wrong field, a field left out or a value stored the
// wrong way shows as a byte difference. Reading the record back and writing it
// again must give the same bytes.
TEST(ItemRecord, WorkedRecordOfEveryKind)
{
    struct Row {
        std::function<std::unique_ptr<TitcItem>()> make;
        std::string record;
    };
    const Row rows[] = {
        {[] {
             auto i = std::make_unique<TItcInputMenu>();
             i->id = 9, i->row = 1, i->column = 2;
             i->stateNumber = 7, i->screenText = "Qty?\r\n\xB2" "AF###", i->target = 12;
             i->inputFormat = 101, i->inputSize = 2;  // signed real, 5 digits and 2 decimals
             i->okTarget = 21, i->errorTarget = 22, i->cancelTarget = 23;
             i->inputRow = 5, i->inputColumn = 6, i->maxLength = 8, i->showInitial = true;
             return i;
         },
         "#1#id=9\\#sat=1\\#sut=2\\#tip=57\\#2#drmmtr=7\\#ekran=Qty?\xF9\xF8\xB2" "AF###\\#hedef=12\\#tip=25858"
         "\\#dogru=21\\#yanlis=22\\#iptal=23\\#sat=5\\#sut=6\\#maxuz=8\\#ilkdeger=1\\#3"},
        {[] {
             auto k = std::make_unique<TItcReadKeyMenu>();
             k->id = 2;
             k->stateNumber = 3, k->screenText = "Key?";
             k->f1Target = 11, k->f2Target = 12, k->f3Target = 13, k->f4Target = 14, k->f5Target = 15;
             k->digit1Target = 21, k->digit2Target = 22, k->digit3Target = 23, k->digit4Target = 24;
             k->digit5Target = 25, k->digit6Target = 26, k->digit7Target = 27, k->digit8Target = 28;
             k->digit9Target = 29, k->digit0Target = 20;
             k->enterTarget = 31, k->spaceTarget = 32, k->deleteTarget = 33, k->cancelTarget = 34;
             k->upTarget = 35, k->downTarget = 36, k->leftTarget = 37, k->rightTarget = 38;
             return k;
         },
         "#1#id=2\\#sat=0\\#sut=0\\#tip=129\\#2#drmmtr=3\\#ekran=Key?\\#f1=11\\#f2=12\\#f3=13\\#f4=14\\#f5=15"
         "\\#n1=21\\#n2=22\\#n3=23\\#n4=24\\#n5=25\\#n6=26\\#n7=27\\#n8=28\\#n9=29\\#n0=20\\#giris=31\\#bosluk=32"
         "\\#sil=33\\#iptal=34\\#yukari=35\\#asagi=36\\#sol=37\\#sag=38\\#3"},
        {[] {
             auto g = std::make_unique<TItcGetSequence>();
             g->id = 3, g->target = 5, g->nextTarget = 6;
             return g;
         },
         "#1#id=3\\#sat=0\\#sut=0\\#tip=7\\#2#hedef=5\\#sonraki=6\\#3"},
        {[] {
             auto n = std::make_unique<TitcSecOfCentury>();
             n->id = 4, n->target = 31, n->nextTarget = 7;
             return n;
         },
         "#1#id=4\\#sat=0\\#sut=0\\#tip=101\\#2#hedef=31\\#sonraki=7\\#3"},
        {[] {
             auto w = std::make_unique<TItcWriteToFlash>();
             w->id = 5, w->tag = 200, w->source1 = 31, w->source2 = 32, w->okTarget = 8, w->errorTarget = 9;
             return w;
         },
         "#1#id=5\\#sat=0\\#sut=0\\#tip=20\\#2#sabit=200\\#kaynak1=31\\#kaynak2=32\\#ok=8\\#hata=9\\#3"},
        {[] {
             auto c = std::make_unique<TItcStrCopy>();
             c->id = 6, c->target = 1, c->source = 0, c->start = 31, c->end = 32;
             c->constText = "a\\b", c->constStart = 2, c->constEnd = 5, c->nextTarget = 3;
             return c;
         },
         "#1#id=6\\#sat=0\\#sut=0\\#tip=192\\#2#hedef=1\\#kaynak=0\\#bas=31\\#son=32\\#sabit=a\xFF" "b\\#sabitb=2"
         "\\#sabits=5\\#sonraki=3\\#3"},
        {[] {
             auto c = std::make_unique<TItcStrCat>();
             c->id = 7, c->target = 2, c->source = 3, c->start = 33, c->end = 34;
             c->constStart = -1, c->constEnd = 7, c->nextTarget = 4;
             return c;
         },
         "#1#id=7\\#sat=0\\#sut=0\\#tip=193\\#2#hedef=2\\#kaynak=3\\#bas=33\\#son=34\\#sabit=\\#sabitb=-1"
         "\\#sabits=7\\#sonraki=4\\#3"},
        {[] {
             auto l = std::make_unique<TItcStrLen>();
             l->id = 3, l->column = 2, l->target = 31, l->source = 1, l->nextTarget = 4;
             return l;
         },
         "#1#id=3\\#sat=0\\#sut=2\\#tip=194\\#2#hedef=31\\#kaynak=1\\#sonraki=4\\#3"},
        {[] {
             auto p = std::make_unique<TItcStrPos>();
             p->id = 8, p->target = 33, p->source = 4, p->constText = "x#y=z", p->occurrence = 2, p->nextTarget = 5;
             return p;
         },
         "#1#id=8\\#sat=0\\#sut=0\\#tip=195\\#2#hedef=33\\#kaynak=4\\#sabit=x#y=z\\#kacinci=2\\#sonraki=5\\#3"},
        {[] {
             auto c = std::make_unique<TItcStrCmp>();
             c->id = 9, c->target = 6, c->source = 0, c->constText = "OK", c->equalTarget = 7, c->notEqualTarget = 8;
             return c;
         },
         "#1#id=9\\#sat=0\\#sut=0\\#tip=196\\#2#hedef=6\\#kaynak=0\\#sabit=OK\\#esit=7\\#esitdegil=8\\#3"},
        {[] {
             auto p = std::make_unique<TItcProcess>();
             p->id = 10, p->target = 40, p->source = 0, p->operation = OpMultiply, p->constValue = 12.5;
             p->nextTarget = 9;
             return p;
         },
         "#1#id=10\\#sat=0\\#sut=0\\#tip=200\\#2#hedef=40\\#kaynak=0\\#islem=3\\#sabit=12500\\#sonraki=9\\#3"},
        {[] {
             auto c = std::make_unique<TItcNumCmp>();
             c->id = 11, c->target = 41, c->source = 0, c->constValue = -0.25;
             c->equalTarget = 11, c->lessTarget = 10, c->greaterTarget = 12;
             return c;
         },
         "#1#id=11\\#sat=0\\#sut=0\\#tip=201\\#2#hedef=41\\#kaynak=0\\#sabit=-250\\#kucuk=10\\#esit=11\\#buyuk=12\\#3"},
        {[] {
             auto y = std::make_unique<TItcSync>();
             y->id = 12, y->stateNumber = 4, y->source = 31;
             return y;
         },
         "#1#id=12\\#sat=0\\#sut=0\\#tip=13\\#2#drmmtr=4\\#kaynak=31\\#3"},
        {[] {
             auto r = std::make_unique<TItcTmrReturn>();
             r->id = 2, r->row = 1;
             return r;
         },
         "#1#id=2\\#sat=1\\#sut=0\\#tip=254\\#2\\#3"},
        {[] {
             auto d = std::make_unique<TItcGetDate>();
             d->id = 13, d->target = 7, d->nextTarget = 13;
             return d;
         },
         "#1#id=13\\#sat=0\\#sut=0\\#tip=197\\#2#hedef=7\\#sonraki=13\\#3"},
        {[] {
             auto t = std::make_unique<TItcGetTime>();
             t->id = 14, t->target = 8, t->nextTarget = 14;
             return t;
         },
         "#1#id=14\\#sat=0\\#sut=0\\#tip=198\\#2#hedef=8\\#sonraki=14\\#3"},
        {[] {
             auto w = std::make_unique<TItcWdt>();
             w->id = 15, w->startTime = 31, w->increment = 32, w->flag = 33, w->nextTarget = 15;
             return w;
         },
         "#1#id=15\\#sat=0\\#sut=0\\#tip=100\\#2#starttime=31\\#tinc=32\\#flag=33\\#sonraki=15\\#3"},
    };
    std::set<std::int32_t> kinds;
    for (const Row& r : rows) {
        const auto item = r.make();
        SCOPED_TRACE(ToolCaption(item->KindNumber()));
        kinds.insert(item->KindNumber());
        EXPECT_EQ(item->WriteRecord(), r.record);

        auto back = CreateItem(item->KindNumber());
        ASSERT_TRUE(back->ReadRecord(r.record));
        EXPECT_EQ(back->WriteRecord(), r.record);
        if (const auto* input = dynamic_cast<const TItcInputMenu*>(back.get())) {
            EXPECT_EQ(input->inputFormat, 101);
            EXPECT_EQ(input->inputSize, 2);
        }
    }
    EXPECT_EQ(kinds.size(), kItemKinds.size());
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
