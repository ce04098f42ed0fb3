// Items that read one value of the terminal into a variable, the flash
// record, the watchdog and the timer return.
#include "compiler/code_writer.h"
#include "compiler/compile_errors.h"
#include "compiler/emit_kinds.h"
#include "model/item_kinds.h"

namespace qvt {

namespace {

// opcode; variable number of the target; jump of Next.
void EmitReadIntoVariable(int opcode, bool targetOk, int target, int nextTarget, CodeWriter& w)
{
    if (!targetOk)
        w.AddError(ErrTargetNotSelected);
    if (nextTarget == 0)
        w.AddError(ErrNextNotConnected);
    w.Byte(opcode, "opcode");
    w.VariableNumber(target);
    w.Jump(nextTarget);
}

} // namespace

void EmitGetSequence(const TItcGetSequence& item, CodeWriter& w)
{
    EmitReadIntoVariable(KindGetSequence, IsStringVariable(item.target), item.target, item.nextTarget, w);
}

void EmitSecOfCentury(const TitcSecOfCentury& item, CodeWriter& w)
{
    EmitReadIntoVariable(KindSecOfCentury, IsIntegerVariable(item.target), item.target, item.nextTarget, w);
}

void EmitGetDate(const TItcGetDate& item, CodeWriter& w)
{
    EmitReadIntoVariable(KindGetDate, IsStringVariable(item.target), item.target, item.nextTarget, w);
}

void EmitGetTime(const TItcGetTime& item, CodeWriter& w)
{
    EmitReadIntoVariable(KindGetTime, IsStringVariable(item.target), item.target, item.nextTarget, w);
}

void EmitWriteToFlash(const TItcWriteToFlash& item, CodeWriter& w)
{
    if (!IsAnyVariable(item.source1))
        w.AddError(ErrSourceNotSelected);
    // The second field is a number: an integer, a counter or a digital input.
    if (!IsIntegerVariable(item.source2) && !InRange(item.source2, 103, 112))
        w.AddError(ErrSourceNotSelected);
    if (item.okTarget == 0)
        w.AddError(ErrOkNotConnected);
    if (item.errorTarget == 0)
        w.AddError(ErrErrNotConnected);

    w.Byte(KindWriteToFlash, "opcode");
    w.Byte(item.tag, "tag");
    w.OperandBytes(w.OperandOf(item.source1));
    w.OperandBytes(w.OperandOf(item.source2));
    w.Jump(item.okTarget);
    w.Jump(item.errorTarget);
}

void EmitWdt(const TItcWdt& item, CodeWriter& w)
{
    if (!IsIntegerVariable(item.startTime))
        w.AddError(ErrStartTimeNotSelected);
    if (!IsIntegerVariable(item.increment))
        w.AddError(ErrIncrementNotSelected);
    if (!IsIntegerVariable(item.flag))
        w.AddError(ErrFlagNotSelected);
    if (item.nextTarget == 0)
        w.AddError(ErrNextNotConnected);

    w.Byte(KindWdt, "opcode");
    w.VariableNumber(item.startTime);
    w.VariableNumber(item.increment);
    w.VariableNumber(item.flag);
    w.Jump(item.nextTarget);
}

void EmitTmrReturn(const TItcTmrReturn&, CodeWriter& w)
{
    w.Byte(KindTmrReturn, "opcode");
}

} // namespace qvt
