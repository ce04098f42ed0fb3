// Operands and screens: the two encodings every instruction is made of.
#include "compiler/compile_failure.h"
#include "compiler/operand.h"
#include "compiler/screen_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace qvt {
namespace {

struct OperandCase {
    int index;
    int constant;
    Operand expected;
};

class EncodeOperandTest : public testing::TestWithParam<OperandCase> {};

TEST_P(EncodeOperandTest, GivesTypeAndValue)
{
    const OperandCase& c = GetParam();
    EXPECT_EQ(EncodeOperand(c.index, c.constant), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Groups, EncodeOperandTest,
                         testing::Values(OperandCase{0, 7, {1, 7}},      // the constant carries the value
                                         OperandCase{0, 0, {1, 0}},      //
                                         OperandCase{0, 255, {1, 255}},  //
                                         OperandCase{1, 9, {2, 0}},      // a variable ignores the constant
                                         OperandCase{30, 0, {2, 29}},    //
                                         OperandCase{31, 0, {3, 0}},     //
                                         OperandCase{80, 0, {3, 49}},    //
                                         OperandCase{81, 0, {4, 0}},     //
                                         OperandCase{100, 0, {4, 19}},   //
                                         OperandCase{101, 0, {5, 0}},    // special variables: type only
                                         OperandCase{115, 0, {19, 0}},   //
                                         OperandCase{116, 0, {0, 0}},    // no variable
                                         OperandCase{-1, 0, {0, 0}}));

TEST(EncodeOperand, ConstantMustFitOneByte)
{
    EXPECT_THROW(EncodeOperand(0, 256), CompileFailure);
    EXPECT_THROW(EncodeOperand(0, -1), CompileFailure);
}

TEST(EncodeOperand, StartAndEndAdjustments)
{
    EXPECT_EQ(StartAdjusted(1), 0);
    EXPECT_EQ(StartAdjusted(5), 4);
    EXPECT_EQ(StartAdjusted(0), 0);
    EXPECT_EQ(EndAdjusted(0), 200);
    EXPECT_EQ(EndAdjusted(7), 7);
}

std::string Spaces(size_t n)
{
    return std::string(n, ' ');
}

std::string AsText(const ScreenBytes& screen)
{
    return std::string(screen.begin(), screen.end());
}

struct ScreenCase {
    const char* name;
    std::string text;
    std::string expected;  // 160 bytes
};

class EncodeScreenTest : public testing::TestWithParam<ScreenCase> {};

TEST_P(EncodeScreenTest, GivesEightLinesOfTwenty)
{
    const ScreenCase& c = GetParam();
    ASSERT_EQ(c.expected.size(), 160u);
    EXPECT_EQ(AsText(EncodeScreen(c.text)), c.expected);
}

std::string NumberedLines(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += (i > 1 ? "\r\n" : "") + std::string("L") + char('0' + i);
    return text;
}

std::string NumberedScreen(int count)
{
    std::string screen;
    for (int i = 1; i <= count; ++i)
        screen += std::string("L") + char('0' + i) + Spaces(18);
    return screen + Spaces(size_t(160 - 20 * count));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EncodeScreenTest,
    testing::Values(
        ScreenCase{"Empty", "", Spaces(160)},
        ScreenCase{"OneShortLine", "AB", "AB" + Spaces(158)},
        ScreenCase{"LinesAfterTheEighthIgnored", NumberedLines(9), NumberedScreen(8)},
        ScreenCase{"ThreeLines", NumberedLines(3), NumberedScreen(3)},
        ScreenCase{"LongLineCut", "ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\nX",
                   "ABCDEFGHIJKLMNOPQRST" + std::string("X") + Spaces(139)},
        // A lone CR or LF is no line break; it stays a character of the line.
        ScreenCase{"LoneLineFeedKept", "A\nB", "A\nB" + Spaces(157)},
        ScreenCase{"TrailingBreakGivesEmptyLine", "A\r\n", "A" + Spaces(159)},
        ScreenCase{"EmptyLinesBetween", "A\r\n\r\nB", "A" + Spaces(39) + "B" + Spaces(119)},
        // Marker and letter c (index 34, int04) become type 3, value 3.
        ScreenCase{"IntegerVariable", "\xB2" "c", std::string("\x03\x03", 2) + Spaces(158)},
        ScreenCase{"VariableInsideText", "N:\xB2" "B###", "N:" + std::string("\x02\x00", 2) + "###" + Spaces(153)},
        ScreenCase{"ConstantVariable", "\xB2" "A", std::string("\x01\x00", 2) + Spaces(158)},
        ScreenCase{"SpecialVariable", "\xB2" "\xB4", std::string("\x13\x00", 2) + Spaces(158)},  // index 115
        // A marker whose letter names no variable is an ordinary character.
        ScreenCase{"MarkerBeforeSpace", "x\xB2 y", "x\xB2 y" + Spaces(156)},
        ScreenCase{"MarkerBeyondTable", "\xB2\xB5", "\xB2\xB5" + Spaces(158)},
        // In the twentieth column the letter would come from the padding.
        ScreenCase{"MarkerInLastColumn", Spaces(19) + "\xB2", Spaces(19) + "\xB2" + Spaces(140)}),
    [](const testing::TestParamInfo<ScreenCase>& info) { return info.param.name; });

TEST(EncodeScreen, VariableInLastColumnWithItsLetterBeyondFails)
{
    // The variable takes 2 bytes where one column is left: the screen would
    // be 161 bytes and every later byte one column off.
    EXPECT_THROW(EncodeScreen(Spaces(19) + "\xB2" "DZ"), CompileFailure);
    EXPECT_THROW(EncodeScreen("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n" + Spaces(19) + "\xB2" "B"), CompileFailure);
    // In column 19 it fits.
    EXPECT_NO_THROW(EncodeScreen(Spaces(18) + "\xB2" "DZ"));
}

} // namespace
} // namespace qvt
