#include "compiler/operand.h"

#include "compiler/compile_failure.h"

#include <string>

namespace qvt {

Operand EncodeOperand(int variableIndex, int constant)
{
    if (variableIndex == 0) {
        if (constant < 0 || constant > 255)
            throw CompileFailure("constant " + std::to_string(constant) + " does not fit in one byte (0..255)");
        return {kOperandConstant, std::uint8_t(constant)};
    }
    if (variableIndex >= 1 && variableIndex <= 30)
        return {kOperandString, std::uint8_t(variableIndex - 1)};
    if (variableIndex >= 31 && variableIndex <= 80)
        return {kOperandInteger, std::uint8_t(variableIndex - 31)};
    if (variableIndex >= 81 && variableIndex <= 100)
        return {kOperandReal, std::uint8_t(variableIndex - 81)};
    if (variableIndex >= 101 && variableIndex <= 115)
        return {std::uint8_t(variableIndex - 96), 0};
    return {};
}

int StartAdjusted(int constant)
{
    return constant > 0 ? constant - 1 : constant;
}

int EndAdjusted(int constant)
{
    return constant == 0 ? 200 : constant;
}

} // namespace qvt
