// Input, ReadKey and Sync: the items that declare a state number, and the
// two of them that show a screen.
#include "compiler/code_writer.h"
#include "compiler/compile_errors.h"
#include "compiler/compile_failure.h"
#include "compiler/emit_kinds.h"
#include "model/item_kinds.h"

#include <string>

namespace qvt {

namespace {

// Their jumps are local (no base) and their screens and state numbers belong
// to the main machine's tables, so in a timer machine they would lead to the
// main machine's states and overwrite its first screens. The editor does not
// offer them there; a machine text that holds one anyway is refused.
void RefuseInTimerMachine(const TitcItem& item, const CodeWriter& w)
{
    if (w.timerMachine)
        throw CompileFailure(std::string(ToolCaption(item.KindNumber())) + " items cannot run in a timer machine");
}

} // namespace

void EmitInput(const TItcInputMenu& item, CodeWriter& w)
{
    RefuseInTimerMachine(item, w);
    if (!IsAnyVariable(item.target))
        w.AddError(ErrTargetNotSelected);
    if (item.okTarget == 0)
        w.AddError(ErrOkNotConnected);
    if (item.inputColumn > 20)
        w.AddError(ErrColumnOutOfRange);
    if (item.inputRow > 8)
        w.AddError(ErrRowOutOfRange);
    if (!w.ClaimStateNumber(item.stateNumber))
        w.AddError(ErrStateNumberNotUnique);

    const int screen = w.AddScreen(item.screenText);
    // A format without integer digits or length bits means "as many as fit".
    int format = item.inputFormat;
    if ((format & 0x1F) == 0)
        format |= 0x1F;

    w.Byte(KindInput, "opcode");
    w.Byte(item.stateNumber, "state number");
    w.Byte(screen, "screen number");
    w.Byte(format, "input format");
    w.Byte(item.inputSize != 0 ? item.inputSize : 20, "input size");
    w.OperandBytes(w.OperandOf(item.target));
    w.Byte(item.inputColumn != 0 ? item.inputColumn : 8, "input column");
    w.Byte(item.inputRow != 0 ? item.inputRow : 8, "input row");
    w.Byte(item.maxLength != 0 ? item.maxLength : 20, "input length");
    w.Byte(item.showInitial ? 1 : 0, "initial display");
    w.LocalJump(item.okTarget);
    w.LocalJump(item.errorTarget);
    w.LocalJump(item.cancelTarget);
    w.SetStateEntry(item.stateNumber, item.id - 1);
}

void EmitReadKey(const TItcReadKeyMenu& item, CodeWriter& w)
{
    RefuseInTimerMachine(item, w);
    if (!w.ClaimStateNumber(item.stateNumber))
        w.AddError(ErrStateNumberNotUnique);

    // The terminal's key mask bits; the jumps follow this order, not the bits.
    const struct {
        std::int32_t target;
        int bit;
    } keys[] = {
        {item.f1Target, 0},      {item.f2Target, 1},      {item.f3Target, 2},      {item.f4Target, 3},
        {item.f5Target, 4},      {item.enterTarget, 10},  {item.spaceTarget, 11},  {item.deleteTarget, 12},
        {item.cancelTarget, 13}, {item.digit0Target, 16}, {item.digit1Target, 17}, {item.digit2Target, 18},
        {item.digit3Target, 19}, {item.digit4Target, 20}, {item.digit5Target, 21}, {item.digit6Target, 22},
        {item.digit7Target, 23}, {item.digit8Target, 8},  {item.digit9Target, 9},  {item.upTarget, 14},
        {item.downTarget, 15},   {item.leftTarget, 7},    {item.rightTarget, 6},
    };
    std::uint32_t mask = 0;
    for (const auto& key : keys)
        if (key.target != 0)
            mask |= 1u << key.bit;

    const int screen = w.AddScreen(item.screenText);
    w.Byte(KindReadKey, "opcode");
    w.Byte(item.stateNumber, "state number");
    w.Byte(screen, "screen number");
    w.Byte(int(mask & 0xFF), "key mask");
    w.Byte(int((mask >> 8) & 0xFF), "key mask");
    w.Byte(int((mask >> 16) & 0xFF), "key mask");
    for (const auto& key : keys)
        if (key.target != 0)
            w.LocalJump(key.target);
    if (mask == 0)
        w.AddError(ErrNoKeyConnected);
    w.SetStateEntry(item.stateNumber, item.id - 1);
}

void EmitSync(const TItcSync& item, CodeWriter& w)
{
    RefuseInTimerMachine(item, w);
    if (!w.ClaimStateNumber(item.stateNumber))
        w.AddError(ErrStateNumberNotUnique);
    if (!IsAnyVariable(item.source))
        w.AddError(ErrSourceNotSelected);

    w.Byte(KindSync, "opcode");
    w.Byte(item.stateNumber, "state number");
    w.OperandBytes(w.OperandOf(item.source));
    if (w.base == 0)
        w.SetStateEntry(item.stateNumber, item.id - 1);
}

} // namespace qvt
