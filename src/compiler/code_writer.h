#pragma once

#include "compiler/compile_errors.h"
#include "compiler/image_layout.h"
#include "compiler/operand.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string_view>

namespace qvt {

using Area = std::array<std::uint8_t, kAreaSize>;

// The state of one machine's compile that its items write into: where the
// next instruction byte goes, the jump table position, the base that turns
// item ids into table indexes, the screens and state numbers used so far,
// and the errors reported. Base and code position carry over from a main
// machine to its timer machine; the rest is reset per machine.
//
// Every write checks its limit and throws CompileFailure: a value that does
// not fit its field, an instruction past the end of the code area, more
// screens than the screen area holds.
class CodeWriter {
public:
    Area* code = nullptr;
    Area* screens = nullptr;
    int codePosition = kCodeStart;
    int tablePosition = kJumpTableOffset;
    int base = 0;
    int screenCount = 0;
    std::bitset<256> usedStateNumbers;
    ErrorList* errors = nullptr;
    int itemId = 0;              // the item being compiled
    bool itemHasErrors = false;  // it has reported an error
    bool timerMachine = false;   // the machine is a timer machine

    // Starts the code of the item with this id.
    void BeginItem(int id)
    {
        itemId = id;
        itemHasErrors = false;
    }
    // Records an error of the current item.
    void AddError(int code)
    {
        errors->AddError(itemId, code);
        itemHasErrors = true;
    }

    // `what` names the field in the failure's text.
    void Byte(int value, std::string_view what);
    void Word(int value);
    // The operand of a variable index (with the item's constant for index 0).
    // An index outside 0..115 names no variable: accepted (as type 0, value 0)
    // only from an item that reported an error, which keeps its image from
    // being written; otherwise the compile fails.
    Operand OperandOf(int variableIndex, int constant = 0);
    void OperandBytes(const Operand& operand);
    // The operand's value byte alone, for fields that take one variable type.
    void VariableNumber(int variableIndex);
    // Jump to the table index base + target - 1. An unconnected target gives
    // base - 1 (only written together with an error of the item).
    void Jump(int target);
    // As Jump, but an unconnected target keeps the state where it is.
    void JumpWithFallback(int target);
    // Jump by id alone, without base, with the same fallback.
    void LocalJump(int target);
    // The first 20 bytes of a text, padded with zero bytes.
    void Text(std::string_view text);
    // A 32-bit number: single precision for a real target, else the value
    // rounded to the nearest integer, ties to even.
    void Number(double value, bool real);

    // Declares a state number for the current item: false when an earlier
    // item of the machine declared it already. Throws outside 0..255.
    bool ClaimStateNumber(int stateNumber);
    // State-number table entry: which table index runs state `stateNumber`.
    void SetStateEntry(int stateNumber, int tableIndex);
    // Stores the encoded screen as the machine's next one; returns its number.
    int AddScreen(std::string_view screenText);

    // Records the jump table entry of the next id (the offset its code starts
    // at) when it lies inside the table.
    void TableEntry();

private:
    // Throws when a connected target's table index lies past the jump table.
    void CheckTableIndex(int target) const;
    void Put(std::uint8_t byte);
};

} // namespace qvt
