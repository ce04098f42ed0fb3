// The string operations: copy and join slices, length, search, compare.
#include "compiler/code_writer.h"
#include "compiler/compile_errors.h"
#include "compiler/emit_kinds.h"
#include "model/item_kinds.h"

namespace qvt {

namespace {

// Sources a slice may be taken from: the constant, strings, integers, reals,
// serial and PS2 data, the digital inputs and the label.
bool IsSliceSource(int index)
{
    return InRange(index, 0, 102) || InRange(index, 108, 112) || index == 115;
}

} // namespace

void EmitStrCopyOrCat(const TItcStrCopyOrCat& item, CodeWriter& w)
{
    const bool copy = item.KindNumber() == KindStrCopy;
    // StrCpy may write into any variable and the serial output; StrCat only
    // appends to a string.
    if (copy ? !InRange(item.target, 1, 101) : !IsStringVariable(item.target))
        w.AddError(ErrTargetNotSelected);
    if (!IsSliceSource(item.source))
        w.AddError(ErrSourceNotSelected);
    if (item.nextTarget == 0)
        w.AddError(ErrNextNotConnected);

    const Operand source = w.OperandOf(item.source);
    // StrCpy sends the start position within a real as it was entered.
    const bool adjustStart = !copy || source.type != kOperandReal;
    const int startConstant = item.start == 0 && adjustStart ? StartAdjusted(item.constStart) : item.constStart;
    const int endConstant = item.end == 0 ? EndAdjusted(item.constEnd) : item.constEnd;

    w.Byte(item.KindNumber(), "opcode");
    w.OperandBytes(w.OperandOf(item.target));
    w.OperandBytes(source);
    w.OperandBytes(w.OperandOf(item.start, item.start == 0 ? startConstant : 0));
    w.OperandBytes(w.OperandOf(item.end, item.end == 0 ? endConstant : 0));
    if (source.type == kOperandConstant)
        w.Text(item.constText);
    w.Jump(item.nextTarget);
}

void EmitStrLen(const TItcStrLen& item, CodeWriter& w)
{
    if (!IsIntegerVariable(item.target))
        w.AddError(ErrTargetNotSelected);
    if (!IsStringVariable(item.source))
        w.AddError(ErrSourceNotSelected);
    if (item.nextTarget == 0)
        w.AddError(ErrNextNotConnected);

    w.Byte(KindStrLen, "opcode");
    w.VariableNumber(item.target);
    w.VariableNumber(item.source);
    w.Jump(item.nextTarget);
}

void EmitStrPos(const TItcStrPos& item, CodeWriter& w)
{
    if (!IsIntegerVariable(item.target))
        w.AddError(ErrTargetNotSelected);
    if (!IsStringVariable(item.source) && !InRange(item.source, 101, 102))
        w.AddError(ErrSourceNotSelected);
    if (item.constText.empty())
        w.AddError(ErrConstantStringMissing);
    if (item.nextTarget == 0)
        w.AddError(ErrNextNotConnected);

    w.Byte(KindStrPos, "opcode");
    w.VariableNumber(item.target);
    w.OperandBytes(w.OperandOf(item.source));
    w.Byte(item.occurrence != 0 ? item.occurrence : 1, "occurrence");
    w.Text(item.constText);
    w.Jump(item.nextTarget);
}

void EmitStrCmp(const TItcStrCmp& item, CodeWriter& w)
{
    if (!IsStringVariable(item.target))
        w.AddError(ErrTargetNotSelected);
    if (!InRange(item.source, 0, 30))
        w.AddError(ErrSourceNotSelected);
    if (item.equalTarget == 0)
        w.AddError(ErrEqualNotConnected);
    if (item.notEqualTarget == 0)
        w.AddError(ErrNotEqualNotConnected);

    const Operand source = w.OperandOf(item.source);
    w.Byte(KindStrCmp, "opcode");
    w.VariableNumber(item.target);
    w.OperandBytes(source);
    if (source.type == kOperandConstant)
        w.Text(item.constText);
    w.JumpWithFallback(item.equalTarget);
    w.JumpWithFallback(item.notEqualTarget);
}

} // namespace qvt
