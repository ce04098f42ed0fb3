// Every kind's instruction bytes, checks and error codes.
#include "compile_fixture.h"

#include "compiler/compile_driver.h"
#include "compiler/compile_failure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace qvt::test {
namespace {

// Item 5 of an Online machine; its instruction is the machine's whole code.
constexpr int kId = 5;

Bytes TextBytes(std::string_view text)
{
    Bytes bytes(text.begin(), text.end());
    bytes.resize(20, 0);
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes FloatBytes(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return {std::uint8_t(bits), std::uint8_t(bits >> 8), std::uint8_t(bits >> 16), std::uint8_t(bits >> 24)};
}

struct InstructionCase {
    const char* name;
    std::function<void(Machine&)> build;
    Bytes expected;
    std::vector<int> errorCodes = {};
};

void PrintTo(const InstructionCase& c, std::ostream* out)
{
    *out << c.name;
}

class InstructionTest : public testing::TestWithParam<InstructionCase> {};

TEST_P(InstructionTest, EncodesItem)
{
    const InstructionCase& c = GetParam();
    Machine m;
    c.build(m);
    TIT builder("x.zmk", "V1");
    ErrorList errors;
    builder.CompileMachine(MachineId::Online, m.list, errors);
    EXPECT_EQ(CodeOf(builder.onlineCode), c.expected);
    std::vector<int> codes;
    for (const ErrorRecord& e : errors.records())
        codes.push_back(e.code);
    EXPECT_EQ(codes, c.errorCodes);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, InstructionTest,
    testing::Values(
        InstructionCase{"InputDefaults",
                        [](Machine& m) {
                            auto& i = m.add<TItcInputMenu>(kId);
                            i.stateNumber = 2;
                            i.target = 33;
                            i.okTarget = 6;
                        },
                        {57, 2, 0, 0x1F, 20, 3, 2, 8, 8, 20, 0, 5, 0, 4, 0, 4, 0}},
        InstructionCase{"InputEveryField",
                        [](Machine& m) {
                            auto& i = m.add<TItcInputMenu>(kId);
                            i.stateNumber = 7;
                            i.target = 1;
                            i.inputFormat = 0x62;  // signed real, 2 integer digits
                            i.inputSize = 3;
                            i.inputColumn = 20;
                            i.inputRow = 8;
                            i.maxLength = 10;
                            i.showInitial = true;
                            i.okTarget = 6;
                            i.errorTarget = 7;
                            i.cancelTarget = 1000;
                        },
                        {57, 7, 0, 0x62, 3, 2, 0, 20, 8, 10, 1, 5, 0, 6, 0, 0xE7, 0x03}},
        InstructionCase{"InputStringFormat",
                        [](Machine& m) {
                            auto& i = m.add<TItcInputMenu>(kId);
                            i.target = 100;
                            i.inputFormat = 128;
                            i.okTarget = 1;
                        },
                        {57, 0, 0, 0x9F, 20, 4, 19, 8, 8, 20, 0, 0, 0, 4, 0, 4, 0}},
        InstructionCase{"ReadKeyEnterOnly",
                        [](Machine& m) { m.add<TItcReadKeyMenu>(kId).enterTarget = 3; },
                        {129, 0, 0, 0x00, 0x04, 0x00, 2, 0}},
        InstructionCase{"ReadKeyJumpsInKeyOrderNotBitOrder",
                        [](Machine& m) {
                            auto& r = m.add<TItcReadKeyMenu>(kId);
                            r.stateNumber = 9;
                            r.rightTarget = 7;   // bit 6, last jump
                            r.digit8Target = 8;  // bit 8
                            r.f2Target = 9;      // bit 1, first jump
                        },
                        {129, 9, 0, 0x42, 0x01, 0x00, 8, 0, 7, 0, 6, 0}},
        InstructionCase{"ReadKeyEveryKey",
                        [](Machine& m) {
                            auto& r = m.add<TItcReadKeyMenu>(kId);
                            std::int32_t* targets[] = {
                                &r.f1Target,     &r.f2Target,     &r.f3Target,     &r.f4Target,
                                &r.f5Target,     &r.enterTarget,  &r.spaceTarget,  &r.deleteTarget,
                                &r.cancelTarget, &r.digit0Target, &r.digit1Target, &r.digit2Target,
                                &r.digit3Target, &r.digit4Target, &r.digit5Target, &r.digit6Target,
                                &r.digit7Target, &r.digit8Target, &r.digit9Target, &r.upTarget,
                                &r.downTarget,   &r.leftTarget,   &r.rightTarget};
                            int target = 11;
                            for (std::int32_t* t : targets)
                                *t = target++;
                        },
                        [] {
                            // Every bit but 5; jumps 10..32 in the order of the keys.
                            Bytes b{129, 0, 0, 0xDF, 0xFF, 0xFF};
                            for (int j = 10; j <= 32; ++j)
                                AppendWord(b, j);
                            return b;
                        }()},
        InstructionCase{"Sync", [](Machine& m) {
                            auto& s = m.add<TItcSync>(kId);
                            s.stateNumber = 3;
                            s.source = 81;
                        },
                        {13, 3, 4, 0}},
        InstructionCase{"GetSeq", [](Machine& m) {
                            auto& g = m.add<TItcGetSequence>(kId);
                            g.target = 1;
                            g.nextTarget = 6;
                        },
                        {7, 0, 5, 0}},
        InstructionCase{"Now", [](Machine& m) {
                            auto& g = m.add<TitcSecOfCentury>(kId);
                            g.target = 32;
                            g.nextTarget = 6;
                        },
                        {101, 1, 5, 0}},
        InstructionCase{"GetDate", [](Machine& m) {
                            auto& g = m.add<TItcGetDate>(kId);
                            g.target = 2;
                            g.nextTarget = 1;
                        },
                        {197, 1, 0, 0}},
        InstructionCase{"GetTime", [](Machine& m) {
                            auto& g = m.add<TItcGetTime>(kId);
                            g.target = 30;
                            g.nextTarget = 6;
                        },
                        {198, 29, 5, 0}},
        InstructionCase{"WriteToFlash", [](Machine& m) {
                            auto& w = m.add<TItcWriteToFlash>(kId);
                            w.tag = 255;
                            w.source1 = 81;
                            w.source2 = 103;
                            w.okTarget = 6;
                            w.errorTarget = 7;
                        },
                        {20, 255, 4, 0, 7, 0, 5, 0, 6, 0}},
        InstructionCase{"StrCpyConstantText",
                        [](Machine& m) {
                            auto& s = m.add<TItcStrCopy>(kId);
                            s.target = 1;
                            s.constText = "ABC";
                            s.constStart = 1;
                            s.nextTarget = 6;
                        },
                        Concat({{192, 2, 0, 1, 0, 1, 0, 1, 200}, TextBytes("ABC"), {5, 0}})},
        InstructionCase{"StrCpyConstantTextCutAt20",
                        [](Machine& m) {
                            auto& s = m.add<TItcStrCopy>(kId);
                            s.target = 101;
                            s.constText = "0123456789ABCDEFGHIJKL";
                            s.constStart = 3;
                            s.constEnd = 9;
                            s.nextTarget = 6;
                        },
                        Concat({{192, 5, 0, 1, 0, 1, 2, 1, 9}, TextBytes("0123456789ABCDEFGHIJ"), {5, 0}})},
        InstructionCase{"StrCpyOfRealKeepsStart",
                        [](Machine& m) {
                            auto& s = m.add<TItcStrCopy>(kId);
                            s.target = 1;
                            s.source = 81;
                            s.constStart = 1;
                            s.nextTarget = 6;
                        },
                        {192, 2, 0, 4, 0, 1, 1, 1, 200, 5, 0}},
        InstructionCase{"StrCpyVariablePositions",
                        [](Machine& m) {
                            auto& s = m.add<TItcStrCopy>(kId);
                            s.target = 1;
                            s.source = 2;
                            s.start = 31;
                            s.end = 32;
                            s.constStart = 77;  // unused: the positions are variables
                            s.constEnd = 0;
                            s.nextTarget = 6;
                        },
                        {192, 2, 0, 2, 1, 3, 0, 3, 1, 5, 0}},
        InstructionCase{"StrCatOfRealAdjustsStart",
                        [](Machine& m) {
                            auto& s = m.add<TItcStrCat>(kId);
                            s.target = 1;
                            s.source = 81;
                            s.constStart = 1;
                            s.nextTarget = 6;
                        },
                        {193, 2, 0, 4, 0, 1, 0, 1, 200, 5, 0}},
        InstructionCase{"StrCatConstantText",
                        [](Machine& m) {
                            auto& s = m.add<TItcStrCat>(kId);
                            s.target = 30;
                            s.constText = "Z";
                            s.constStart = 2;
                            s.constEnd = 4;
                            s.nextTarget = 6;
                        },
                        Concat({{193, 2, 29, 1, 0, 1, 1, 1, 4}, TextBytes("Z"), {5, 0}})},
        InstructionCase{"StrLen", [](Machine& m) {
                            auto& s = m.add<TItcStrLen>(kId);
                            s.target = 31;
                            s.source = 1;
                            s.nextTarget = 6;
                        },
                        {194, 0, 0, 5, 0}},
        InstructionCase{"StrPosOccurrenceZeroSendsOne",
                        [](Machine& m) {
                            auto& s = m.add<TItcStrPos>(kId);
                            s.target = 40;
                            s.source = 3;
                            s.constText = "AB";
                            s.nextTarget = 6;
                        },
                        Concat({{195, 9, 2, 2, 1}, TextBytes("AB"), {5, 0}})},
        InstructionCase{"StrPosInSerialData",
                        [](Machine& m) {
                            auto& s = m.add<TItcStrPos>(kId);
                            s.target = 31;
                            s.source = 101;
                            s.constText = "\\";
                            s.occurrence = 3;
                            s.nextTarget = 6;
                        },
                        Concat({{195, 0, 5, 0, 3}, TextBytes("\\"), {5, 0}})},
        InstructionCase{"StrCmpConstantFallsBackToItself",
                        [](Machine& m) {
                            auto& s = m.add<TItcStrCmp>(kId);
                            s.target = 1;
                            s.constText = "XY";
                            s.equalTarget = 6;
                            s.notEqualTarget = 0;
                        },
                        Concat({{196, 0, 1, 0}, TextBytes("XY"), {5, 0, 4, 0}}),
                        {ErrNotEqualNotConnected}},
        InstructionCase{"StrCmpVariable",
                        [](Machine& m) {
                            auto& s = m.add<TItcStrCmp>(kId);
                            s.target = 1;
                            s.source = 2;
                            s.constText = "ignored";
                            s.equalTarget = 6;
                            s.notEqualTarget = 7;
                        },
                        {196, 0, 2, 1, 5, 0, 6, 0}},
        InstructionCase{"ProcessIntegerConstantTiesToEven",
                        [](Machine& m) {
                            auto& p = m.add<TItcProcess>(kId);
                            p.target = 31;
                            p.operation = OpAdd;
                            p.constValue = 2.5;
                            p.nextTarget = 6;
                        },
                        {200, 3, 0, 1, 0, 1, 2, 0, 0, 0, 5, 0}},
        InstructionCase{"ProcessNegativeConstant",
                        [](Machine& m) {
                            auto& p = m.add<TItcProcess>(kId);
                            p.target = 103;  // a counter takes integers
                            p.operation = OpSubstract;
                            p.constValue = -3.5;
                            p.nextTarget = 6;
                        },
                        {200, 7, 0, 1, 0, 2, 0xFC, 0xFF, 0xFF, 0xFF, 5, 0}},
        InstructionCase{"ProcessRealConstant",
                        [](Machine& m) {
                            auto& p = m.add<TItcProcess>(kId);
                            p.target = 81;
                            p.operation = OpMultiply;
                            p.constValue = 2.5;
                            p.nextTarget = 6;
                        },
                        Concat({{200, 4, 0, 1, 0, 3}, FloatBytes(2.5f), {5, 0}})},
        InstructionCase{"ProcessVariableSource",
                        [](Machine& m) {
                            auto& p = m.add<TItcProcess>(kId);
                            p.target = 114;
                            p.source = 112;
                            p.operation = OpOr;
                            p.constValue = 9;
                            p.nextTarget = 6;
                        },
                        {200, 18, 0, 16, 0, 7, 5, 0}},
        InstructionCase{"NumCmpJumpsEqualLessGreater",
                        [](Machine& m) {
                            auto& n = m.add<TItcNumCmp>(kId);
                            n.target = 81;
                            n.constValue = 1.5;
                            n.lessTarget = 6;
                            n.equalTarget = 7;
                            n.greaterTarget = 8;
                        },
                        Concat({{201, 4, 0, 1, 0}, FloatBytes(1.5f), {6, 0, 5, 0, 7, 0}})},
        InstructionCase{"NumCmpFallsBackToItself",
                        [](Machine& m) {
                            auto& n = m.add<TItcNumCmp>(kId);
                            n.target = 31;
                            n.constValue = -0.5;  // ties to even: 0
                            n.greaterTarget = 8;
                        },
                        {201, 3, 0, 1, 0, 0, 0, 0, 0, 4, 0, 4, 0, 7, 0},
                        {ErrEqualNotConnected, ErrLessNotConnected}},
        InstructionCase{"NumCmpVariableSource",
                        [](Machine& m) {
                            auto& n = m.add<TItcNumCmp>(kId);
                            n.target = 31;
                            n.source = 100;
                            n.lessTarget = 6;
                            n.equalTarget = 7;
                            n.greaterTarget = 8;
                        },
                        {201, 3, 0, 4, 19, 6, 0, 5, 0, 7, 0}},
        InstructionCase{"Wdt", [](Machine& m) {
                            auto& w = m.add<TItcWdt>(kId);
                            w.startTime = 31;
                            w.increment = 32;
                            w.flag = 80;
                            w.nextTarget = 6;
                        },
                        {100, 0, 1, 49, 5, 0}},
        InstructionCase{"Return", [](Machine& m) { m.add<TItcTmrReturn>(kId); }, {254}}),
    [](const testing::TestParamInfo<InstructionCase>& info) { return info.param.name; });

TEST(Instruction, InputAndReadKeyFillStateTableAndScreens)
{
    Machine m;
    auto& input = m.add<TItcInputMenu>(5);
    input.stateNumber = 2;
    input.target = 33;
    input.okTarget = 6;
    input.screenText = "HELLO";
    auto& key = m.add<TItcReadKeyMenu>(6);
    key.stateNumber = 255;
    key.screenText = "\r\nKEY";
    key.f1Target = 5;
    auto& sync = m.add<TItcSync>(7);
    sync.stateNumber = 0;
    sync.source = 1;
    TIT builder("x.zmk", "V1");
    ErrorList errors;
    builder.CompileMachine(MachineId::Online, m.list, errors);
    ASSERT_TRUE(errors.empty());
    EXPECT_EQ(StateEntry(builder.onlineCode, 2), 4);
    EXPECT_EQ(StateEntry(builder.onlineCode, 255), 5);
    EXPECT_EQ(StateEntry(builder.onlineCode, 0), 6);
    EXPECT_EQ(StateEntry(builder.onlineCode, 1), 0);
    EXPECT_EQ(builder.onlineScreenCount, 2);
    // The ReadKey's screen number is 1.
    EXPECT_EQ(builder.onlineCode[kCodeStart + 17 + 2], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&builder.onlineScreens[0]), 20), "HELLO" + std::string(15, ' '));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&builder.onlineScreens[160]), 40),
              std::string(20, ' ') + "KEY" + std::string(17, ' '));
}

// Each check of each kind, in the order the checks run.
struct ErrorCase {
    const char* name;
    std::function<void(Machine&)> build;
    std::vector<ErrorRecord> expected;
};

void PrintTo(const ErrorCase& c, std::ostream* out)
{
    *out << c.name;
}

class ItemErrorsTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(ItemErrorsTest, RecordsErrors)
{
    const ErrorCase& c = GetParam();
    Machine m;
    c.build(m);
    const CheckResult result = CheckMachine(MachineId::Online, m.list);
    EXPECT_FALSE(result.failure) << *result.failure;
    EXPECT_EQ(result.errors.records(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ItemErrorsTest,
    testing::Values(
        ErrorCase{"InputEveryCheck",
                  [](Machine& m) {
                      auto& i = m.add<TItcInputMenu>(2);
                      i.inputColumn = 21;
                      i.inputRow = 9;
                  },
                  {{2, ErrTargetNotSelected}, {2, ErrOkNotConnected}, {2, ErrColumnOutOfRange}, {2, ErrRowOutOfRange}}},
        ErrorCase{"InputLimitsAccepted",
                  [](Machine& m) {
                      auto& i = m.add<TItcInputMenu>(2);
                      i.target = 100;
                      i.okTarget = 2;
                      i.inputColumn = 20;
                      i.inputRow = 8;
                  },
                  {}},
        ErrorCase{"StateNumberUsedTwice",
                  [](Machine& m) {
                      auto& i = m.add<TItcInputMenu>(1);
                      i.target = 1;
                      i.okTarget = 1;
                      i.stateNumber = 4;
                      auto& r = m.add<TItcReadKeyMenu>(2);
                      r.stateNumber = 4;
                      r.f1Target = 1;
                      auto& s = m.add<TItcSync>(3);
                      s.stateNumber = 4;
                      auto& other = m.add<TItcSync>(4);
                      other.stateNumber = 5;
                      other.source = 1;
                  },
                  {{2, ErrStateNumberNotUnique}, {3, ErrStateNumberNotUnique}, {3, ErrSourceNotSelected}}},
        ErrorCase{"ReadKeyWithoutKeys", [](Machine& m) { m.add<TItcReadKeyMenu>(3); }, {{3, ErrNoKeyConnected}}},
        ErrorCase{"GetSeqNeedsString",
                  [](Machine& m) { m.add<TItcGetSequence>(1).target = 31; },
                  {{1, ErrTargetNotSelected}, {1, ErrNextNotConnected}}},
        ErrorCase{"NowNeedsInteger",
                  [](Machine& m) {
                      auto& n = m.add<TitcSecOfCentury>(1);
                      n.target = 81;
                      n.nextTarget = 1;
                  },
                  {{1, ErrTargetNotSelected}}},
        ErrorCase{"GetDateNeedsString",
                  [](Machine& m) {
                      auto& n = m.add<TItcGetDate>(1);
                      n.target = 101;
                      n.nextTarget = 1;
                  },
                  {{1, ErrTargetNotSelected}}},
        ErrorCase{"GetTimeNeedsNext",
                  [](Machine& m) { m.add<TItcGetTime>(1).target = 30; },
                  {{1, ErrNextNotConnected}}},
        ErrorCase{"WriteToFlashEveryCheck",
                  [](Machine& m) {
                      auto& w = m.add<TItcWriteToFlash>(1);
                      w.source2 = 81;
                  },
                  {{1, ErrSourceNotSelected}, {1, ErrSourceNotSelected}, {1, ErrOkNotConnected}, {1, ErrErrNotConnected}}},
        ErrorCase{"WriteToFlashSecondSourceSpecials",
                  [](Machine& m) {
                      auto& a = m.add<TItcWriteToFlash>(1);
                      a.source1 = 100;
                      a.source2 = 112;
                      a.okTarget = a.errorTarget = 1;
                      auto& b = m.add<TItcWriteToFlash>(2);
                      b.source1 = 1;
                      b.source2 = 113;
                      b.okTarget = b.errorTarget = 1;
                  },
                  {{2, ErrSourceNotSelected}}},
        ErrorCase{"StrCpyEveryCheck",
                  [](Machine& m) {
                      auto& s = m.add<TItcStrCopy>(1);
                      s.target = 102;
                      s.source = 103;
                  },
                  {{1, ErrTargetNotSelected}, {1, ErrSourceNotSelected}, {1, ErrNextNotConnected}}},
        ErrorCase{"StrCpySourcesAccepted",
                  [](Machine& m) {
                      int id = 1;
                      for (int source : {0, 102, 108, 112, 115}) {
                          auto& s = m.add<TItcStrCopy>(id++);
                          s.target = 101;
                          s.source = source;
                          s.nextTarget = 1;
                      }
                      auto& bad = m.add<TItcStrCopy>(id);
                      bad.target = 1;
                      bad.source = 113;
                      bad.nextTarget = 1;
                  },
                  {{6, ErrSourceNotSelected}}},
        ErrorCase{"StrCatNeedsStringTarget",
                  [](Machine& m) {
                      auto& s = m.add<TItcStrCat>(1);
                      s.target = 31;
                      s.nextTarget = 1;
                  },
                  {{1, ErrTargetNotSelected}}},
        ErrorCase{"StrLenEveryCheck",
                  [](Machine& m) {
                      auto& s = m.add<TItcStrLen>(1);
                      s.target = 1;
                      s.source = 31;
                  },
                  {{1, ErrTargetNotSelected}, {1, ErrSourceNotSelected}, {1, ErrNextNotConnected}}},
        ErrorCase{"StrPosEveryCheck",
                  [](Machine& m) {
                      auto& s = m.add<TItcStrPos>(1);
                      s.target = 1;
                      s.source = 103;
                  },
                  {{1, ErrTargetNotSelected},
                   {1, ErrSourceNotSelected},
                   {1, ErrConstantStringMissing},
                   {1, ErrNextNotConnected}}},
        ErrorCase{"StrPosIntegerTargetAccepted",
                  [](Machine& m) {
                      auto& s = m.add<TItcStrPos>(1);
                      s.target = 40;
                      s.source = 102;
                      s.constText = "x";
                      s.nextTarget = 1;
                  },
                  {}},
        ErrorCase{"StrCmpEveryCheck",
                  [](Machine& m) {
                      auto& s = m.add<TItcStrCmp>(1);
                      s.target = 31;
                      s.source = 31;
                  },
                  {{1, ErrTargetNotSelected},
                   {1, ErrSourceNotSelected},
                   {1, ErrEqualNotConnected},
                   {1, ErrNotEqualNotConnected}}},
        ErrorCase{"ProcessEveryCheck",
                  [](Machine& m) {
                      auto& p = m.add<TItcProcess>(1);
                      p.target = 108;  // a digital input cannot be written
                      p.source = 113;  // nor a digital output read
                  },
                  {{1, ErrTargetNotSelected}, {1, ErrSourceNotSelected}, {1, ErrNextNotConnected}}},
        ErrorCase{"ProcessSpecialsAccepted",
                  [](Machine& m) {
                      auto& a = m.add<TItcProcess>(1);
                      a.target = 107;
                      a.source = 108;
                      a.nextTarget = 1;
                      auto& b = m.add<TItcProcess>(2);
                      b.target = 113;
                      b.source = 0;
                      b.nextTarget = 1;
                  },
                  {}},
        ErrorCase{"NumCmpEveryCheck",
                  [](Machine& m) {
                      auto& n = m.add<TItcNumCmp>(1);
                      n.target = 103;
                      n.source = 101;
                  },
                  {{1, ErrTargetNotSelected},
                   {1, ErrSourceNotSelected},
                   {1, ErrEqualNotConnected},
                   {1, ErrLessNotConnected},
                   {1, ErrGreaterNotConnected}}},
        ErrorCase{"WdtEveryCheck",
                  [](Machine& m) {
                      auto& w = m.add<TItcWdt>(1);
                      w.startTime = 1;
                      w.increment = 81;
                  },
                  {{1, ErrStartTimeNotSelected},
                   {1, ErrIncrementNotSelected},
                   {1, ErrFlagNotSelected},
                   {1, ErrNextNotConnected}}},
        ErrorCase{"ReturnNeverFails", [](Machine& m) { m.add<TItcTmrReturn>(1); }, {}}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

TEST(ItemErrors, EveryCodeHasItsText)
{
    EXPECT_EQ(ErrorText(ErrTargetNotSelected), "Target must be selected");
    EXPECT_EQ(ErrorText(ErrStateNumberNotUnique), "State number mast be unique");
    EXPECT_EQ(ErrorText(ErrNotEqualNotConnected), "[Not Equal] Connection must be defined");
    EXPECT_EQ(ErrorText(ErrFlagNotSelected), "Flag must be selected");
    EXPECT_EQ(ErrorText(0), "");
    EXPECT_EQ(ErrorText(18), "");
}

TEST(ItemErrors, ListKeepsTheFirst99)
{
    Machine m;
    for (int id = 1; id <= 120; ++id)
        m.add<TitcSecOfCentury>(id).target = 31;  // Next not connected
    const CheckResult result = CheckMachine(MachineId::Online, m.list);
    ASSERT_EQ(result.errors.count(), 99);
    EXPECT_EQ(result.errors[0], (ErrorRecord{1, ErrNextNotConnected}));
    EXPECT_EQ(result.errors[98], (ErrorRecord{99, ErrNextNotConnected}));
}

TEST(ItemErrors, InstructionIsWrittenDespiteErrors)
{
    // Item 1's Next is unconnected: its jump is base - 1, and item 2 is still
    // compiled right after it.
    Machine m;
    m.add<TItcGetSequence>(1).target = 1;
    auto& date = m.add<TItcGetDate>(2);
    date.target = 2;
    date.nextTarget = 1;
    TIT builder("x.zmk", "V1");
    ErrorList errors;
    builder.CompileMachine(MachineId::Online, m.list, errors);
    EXPECT_EQ(errors.records(), (std::vector<ErrorRecord>{{1, ErrNextNotConnected}}));
    EXPECT_EQ(CodeOf(builder.onlineCode), (Bytes{7, 0, 0xFF, 0xFF, 197, 1, 0, 0}));
}

TEST(ItemErrors, SameStateNumberInAnotherMachineIsFine)
{
    Machine online;
    auto& a = online.add<TItcSync>(1);
    a.stateNumber = 9;
    a.source = 1;
    Machine offline;
    auto& b = offline.add<TItcSync>(1);
    b.stateNumber = 9;
    b.source = 1;
    TIT builder("x.zmk", "V1");
    ErrorList errors;
    builder.CompileMachine(MachineId::Online, online.list, errors);
    EXPECT_TRUE(errors.empty());
    builder.CompileMachine(MachineId::Offline, offline.list, errors);
    EXPECT_TRUE(errors.empty());
}

// Values that do not fit their field abandon the compile and say where.
struct FailureCase {
    const char* name;
    std::function<void(Machine&)> build;
    const char* expected;  // the failure's description
};

void PrintTo(const FailureCase& c, std::ostream* out)
{
    *out << c.name;
}

class LimitTest : public testing::TestWithParam<FailureCase> {};

TEST_P(LimitTest, FailsTheCompile)
{
    const FailureCase& c = GetParam();
    Machine m;
    c.build(m);
    const CheckResult result = CheckMachine(MachineId::Online, m.list);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(*result.failure, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, LimitTest,
    testing::Values(
        FailureCase{"StateNumberAbove255",
                    [](Machine& m) { m.add<TItcSync>(3).stateNumber = 256; },
                    "Online: item 3: state number 256 is outside 0..255"},
        FailureCase{"NegativeStateNumber",
                    [](Machine& m) { m.add<TItcReadKeyMenu>(3).stateNumber = -1; },
                    "Online: item 3: state number -1 is outside 0..255"},
        FailureCase{"InputColumnBeyondByte",
                    [](Machine& m) { m.add<TItcInputMenu>(2).inputColumn = 256; },
                    "Online: item 2: input column 256 does not fit in one byte (0..255)"},
        FailureCase{"InputFormatBeyondByte",
                    [](Machine& m) { m.add<TItcInputMenu>(2).inputFormat = 0x121; },
                    "Online: item 2: input format 289 does not fit in one byte (0..255)"},
        FailureCase{"Tag",
                    [](Machine& m) { m.add<TItcWriteToFlash>(1).tag = 256; },
                    "Online: item 1: tag 256 does not fit in one byte (0..255)"},
        FailureCase{"Operation",
                    [](Machine& m) { m.add<TItcProcess>(1).operation = -1; },
                    "Online: item 1: operation -1 does not fit in one byte (0..255)"},
        FailureCase{"Occurrence",
                    [](Machine& m) { m.add<TItcStrPos>(1).occurrence = 256; },
                    "Online: item 1: occurrence 256 does not fit in one byte (0..255)"},
        FailureCase{"ConstantStart",
                    [](Machine& m) { m.add<TItcStrCopy>(1).constStart = 257; },
                    "Online: item 1: constant 256 does not fit in one byte (0..255)"},
        FailureCase{"ConstantEnd",
                    [](Machine& m) { m.add<TItcStrCat>(1).constEnd = -4; },
                    "Online: item 1: constant -4 does not fit in one byte (0..255)"},
        FailureCase{"IntegerConstantBeyond32Bits",
                    [](Machine& m) {
                        auto& p = m.add<TItcProcess>(1);
                        p.target = 31;
                        p.constValue = 2147483648.0;
                    },
                    "Online: item 1: constant 2147483648.000000 does not fit a 32-bit integer"},
        FailureCase{"ConnectionBeyondIds",
                    [](Machine& m) { m.add<TItcGetSequence>(4).nextTarget = 1001; },
                    "Online: item 4: connection to item 1001, which is outside 1..1000"},
        FailureCase{"NegativeLocalConnection",
                    [](Machine& m) { m.add<TItcInputMenu>(4).cancelTarget = -2; },
                    "Online: item 4: connection to item -2, which is outside 1..1000"},
        FailureCase{"UncheckedVariableIndex",
                    [](Machine& m) {
                        auto& s = m.add<TItcStrCopy>(1);
                        s.target = 1;
                        s.source = 2;
                        s.end = 116;
                        s.nextTarget = 1;
                    },
                    "Online: item 1: variable index 116 names no variable (0..115)"},
        FailureCase{"ScreenTooLong",
                    [](Machine& m) { m.add<TItcInputMenu>(1).screenText = std::string(19, ' ') + "\xB2" "BC"; },
                    "Online: item 1: screen text does not fit in 160 bytes"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(Limits, VariableIndexOutsideTableOnlyReportedWhenChecked)
{
    // A checked field out of range is the item's error, not a failure.
    Machine m;
    auto& s = m.add<TItcStrCopy>(1);
    s.target = 500;
    s.nextTarget = 1;
    const CheckResult result = CheckMachine(MachineId::Online, m.list);
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(result.errors.records(), (std::vector<ErrorRecord>{{1, ErrTargetNotSelected}}));
}

TEST(Limits, MoreThan256ScreensFail)
{
    Machine m;
    for (int id = 1; id <= 257; ++id) {
        auto& r = m.add<TItcReadKeyMenu>(id);
        r.stateNumber = (id - 1) % 256;
        r.f1Target = 1;
    }
    const CheckResult result = CheckMachine(MachineId::Online, m.list);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(*result.failure, "Online: item 257: more than 256 screens in one machine");
}

TEST(Limits, CodeAreaOfMachineAndTimerMachine)
{
    // 1000 StrCpy of a constant take 31000 bytes; the timer machine's code
    // follows in the same 37460 bytes, and its 209th item no longer fits.
    Machine online, timer;
    for (int id = 1; id <= 1000; ++id) {
        auto& s = online.add<TItcStrCopy>(id);
        s.target = 1;
        s.nextTarget = 1;
    }
    for (int id = 1; id <= 300; ++id) {
        auto& s = timer.add<TItcStrCopy>(id);
        s.target = 1;
        s.nextTarget = 1;
    }
    TIT builder("x.zmk", "V1");
    ErrorList errors;
    builder.CompileMachine(MachineId::Online, online.list, errors);
    try {
        builder.CompileMachine(MachineId::OnlineTimer, timer.list, errors);
        FAIL() << "compiled past the end of the code area";
    } catch (const CompileFailure& failure) {
        EXPECT_EQ(failure.describe(),
                  "Online/Timer: item 209: code does not fit in the code area (37460 bytes for a machine and its "
                  "timer machine)");
    }
}

} // namespace
} // namespace qvt::test
