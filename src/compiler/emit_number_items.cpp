// Arithmetic on numbers and the numeric comparison.
#include "compiler/code_writer.h"
#include "compiler/compile_errors.h"
#include "compiler/emit_kinds.h"
#include "model/item_kinds.h"

namespace qvt {

namespace {

// The constant (0), numbers, counters and digital inputs.
bool IsNumberSource(int index)
{
    return index == 0 || IsNumberVariable(index) || InRange(index, 103, 112);
}

} // namespace

void EmitProcess(const TItcProcess& item, CodeWriter& w)
{
    // Numbers, counters and digital outputs can be written.
    if (!IsNumberVariable(item.target) && !InRange(item.target, 103, 107) && !InRange(item.target, 113, 114))
        w.AddError(ErrTargetNotSelected);
    if (!IsNumberSource(item.source))
        w.AddError(ErrSourceNotSelected);
    if (item.nextTarget == 0)
        w.AddError(ErrNextNotConnected);

    const Operand target = w.OperandOf(item.target);
    const Operand source = w.OperandOf(item.source);
    w.Byte(KindProcess, "opcode");
    w.OperandBytes(target);
    w.OperandBytes(source);
    w.Byte(item.operation, "operation");
    // The constant takes the form of the variable it is combined into.
    if (source.type == kOperandConstant)
        w.Number(item.constValue, target.type == kOperandReal);
    w.Jump(item.nextTarget);
}

void EmitNumCmp(const TItcNumCmp& item, CodeWriter& w)
{
    if (!IsNumberVariable(item.target))
        w.AddError(ErrTargetNotSelected);
    if (!IsNumberSource(item.source))
        w.AddError(ErrSourceNotSelected);
    if (item.equalTarget == 0)
        w.AddError(ErrEqualNotConnected);
    if (item.lessTarget == 0)
        w.AddError(ErrLessNotConnected);
    if (item.greaterTarget == 0)
        w.AddError(ErrGreaterNotConnected);

    const Operand target = w.OperandOf(item.target);
    const Operand source = w.OperandOf(item.source);
    w.Byte(KindNumCmp, "opcode");
    w.OperandBytes(target);
    w.OperandBytes(source);
    if (source.type == kOperandConstant)
        w.Number(item.constValue, target.type == kOperandReal);
    // Equal first, although the exits are drawn Less, Equal, Greater.
    w.JumpWithFallback(item.equalTarget);
    w.JumpWithFallback(item.lessTarget);
    w.JumpWithFallback(item.greaterTarget);
}

} // namespace qvt
