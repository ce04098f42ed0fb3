#pragma once

#include <cstdint>

namespace qvt {

// A variable as the terminal addresses it: a type byte naming the group and a
// value byte with the position in the group (or the constant itself).
struct Operand {
    std::uint8_t type = 0;
    std::uint8_t value = 0;

    friend bool operator==(const Operand&, const Operand&) = default;
};

// Operand types.
inline constexpr std::uint8_t kOperandConstant = 1;
inline constexpr std::uint8_t kOperandString = 2;
inline constexpr std::uint8_t kOperandInteger = 3;
inline constexpr std::uint8_t kOperandReal = 4;

// Index 0 is the constant, whose value the item supplies; it must fit a byte
// (CompileFailure otherwise). Special variables 101..115 are types 5..19 with
// value 0. An index outside 0..115 has no operand: only an item that already
// reported an error can ask for one, and it gets type 0, value 0.
Operand EncodeOperand(int variableIndex, int constant = 0);

// Positions the user counts from 1 are sent counted from 0; an end of 0
// means "to the end of the string", which the terminal takes as 200.
int StartAdjusted(int constant);
int EndAdjusted(int constant);

// Variable sets the item checks accept.
constexpr bool IsStringVariable(int index) { return index >= 1 && index <= 30; }
constexpr bool IsIntegerVariable(int index) { return index >= 31 && index <= 80; }
constexpr bool IsNumberVariable(int index) { return index >= 31 && index <= 100; }
constexpr bool IsAnyVariable(int index) { return index >= 1 && index <= 100; }
constexpr bool InRange(int index, int first, int last) { return index >= first && index <= last; }

} // namespace qvt
