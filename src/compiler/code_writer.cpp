#include "compiler/code_writer.h"

#include "compiler/compile_failure.h"
#include "compiler/screen_encoding.h"
#include "model/item.h"
#include "core/project_state.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

namespace qvt {

void CodeWriter::Put(std::uint8_t byte)
{
    if (codePosition >= kAreaSize)
        throw CompileFailure("code does not fit in the code area (" + std::to_string(kAreaSize - kCodeStart)
                             + " bytes for a machine and its timer machine)");
    (*code)[size_t(codePosition++)] = byte;
}

void CodeWriter::Byte(int value, std::string_view what)
{
    if (value < 0 || value > 255)
        throw CompileFailure(std::string(what) + " " + std::to_string(value) + " does not fit in one byte (0..255)");
    Put(std::uint8_t(value));
}

void CodeWriter::Word(int value)
{
    // Jumps of unconnected exits may be -1; they go out as 0xFFFF.
    const auto word = static_cast<std::uint16_t>(value);
    Put(std::uint8_t(word & 0xFF));
    Put(std::uint8_t(word >> 8));
}

Operand CodeWriter::OperandOf(int variableIndex, int constant)
{
    if ((variableIndex < 0 || variableIndex >= kVariableCount) && !itemHasErrors)
        throw CompileFailure("variable index " + std::to_string(variableIndex) + " names no variable (0.."
                             + std::to_string(kVariableCount - 1) + ")");
    return EncodeOperand(variableIndex, constant);
}

void CodeWriter::OperandBytes(const Operand& operand)
{
    Put(operand.type);
    Put(operand.value);
}

void CodeWriter::VariableNumber(int variableIndex)
{
    Put(OperandOf(variableIndex).value);
}

namespace {

// A connection read from a hand-edited text may name any number; one outside
// the machine's ids would make the terminal read past the jump table.
void CheckTarget(int target)
{
    if (target < 0 || target > kMaxItemId)
        throw CompileFailure("connection to item " + std::to_string(target) + ", which is outside 1.."
                             + std::to_string(kMaxItemId));
}

} // namespace

void CodeWriter::Jump(int target)
{
    CheckTarget(target);
    CheckTableIndex(target);
    Word(base + target - 1);
}

void CodeWriter::JumpWithFallback(int target)
{
    CheckTarget(target);
    CheckTableIndex(target);
    Word(base + (target != 0 ? target : itemId) - 1);
}

void CodeWriter::CheckTableIndex(int target) const
{
    // A timer machine's states follow the main machine's in the one jump
    // table; past its last entry the terminal would take the next table's
    // bytes as the code offset. Only a jump from a state that can run at all
    // matters.
    const int index = base + target - 1;
    if (target != 0 && index >= kJumpTableEntries && base + itemId - 1 < kJumpTableEntries)
        throw CompileFailure("connection to item " + std::to_string(target) + " leads to table index "
                             + std::to_string(index) + ", past the " + std::to_string(kJumpTableEntries)
                             + "-entry jump table (the main machine's highest id is " + std::to_string(base) + ")");
}

void CodeWriter::LocalJump(int target)
{
    CheckTarget(target);
    Word((target != 0 ? target : itemId) - 1);
}

void CodeWriter::Text(std::string_view text)
{
    for (size_t i = 0; i < 20; ++i)
        Put(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

void CodeWriter::Number(double value, bool real)
{
    std::uint32_t bits = 0;
    if (real) {
        if (!std::isfinite(value) || std::fabs(value) > FLT_MAX)
            throw CompileFailure("constant " + std::to_string(value) + " does not fit a single-precision number");
        const float single = static_cast<float>(value);
        std::memcpy(&bits, &single, sizeof bits);
    } else {
        // nearbyint rounds in the default mode: to nearest, ties to even.
        const double rounded = std::nearbyint(value);
        if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
            throw CompileFailure("constant " + std::to_string(value) + " does not fit a 32-bit integer");
        bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(rounded));
    }
    for (int shift = 0; shift < 32; shift += 8)
        Put(std::uint8_t(bits >> shift));
}

bool CodeWriter::ClaimStateNumber(int stateNumber)
{
    if (stateNumber < 0 || stateNumber > 255)
        throw CompileFailure("state number " + std::to_string(stateNumber) + " is outside 0..255");
    if (usedStateNumbers.test(size_t(stateNumber)))
        return false;
    usedStateNumbers.set(size_t(stateNumber));
    return true;
}

void CodeWriter::SetStateEntry(int stateNumber, int tableIndex)
{
    const size_t at = size_t(kStateTableOffset) + 2 * size_t(stateNumber);
    (*code)[at] = std::uint8_t(tableIndex & 0xFF);
    (*code)[at + 1] = std::uint8_t((tableIndex >> 8) & 0xFF);
}

int CodeWriter::AddScreen(std::string_view screenText)
{
    // The screen number is one byte, and 256 screens fill the screen area.
    if (screenCount > 255)
        throw CompileFailure("more than 256 screens in one machine");
    const ScreenBytes screen = EncodeScreen(screenText);
    std::copy(screen.begin(), screen.end(), screens->begin() + ptrdiff_t(kScreenSize * screenCount));
    return screenCount++;
}

void CodeWriter::TableEntry()
{
    if (tablePosition < kJumpTableOffset + kJumpTableSize) {
        const int offset = codePosition - kCodeStart;
        (*code)[size_t(tablePosition)] = std::uint8_t(offset & 0xFF);
        (*code)[size_t(tablePosition) + 1] = std::uint8_t((offset >> 8) & 0xFF);
    }
    tablePosition += 2;
}

} // namespace qvt
