#include "compiler/emit_code.h"

#include "compiler/code_writer.h"
#include "compiler/compile_failure.h"
#include "compiler/emit_kinds.h"
#include "model/item_kinds.h"

#include <string>

namespace qvt {

void EmitCode(const TitcItem& item, CodeWriter& w)
{
    // The class decides the encoding; KindNumber() is fixed per class, so the
    // casts below are exact.
    switch (item.KindNumber()) {
    case KindInput: return EmitInput(static_cast<const TItcInputMenu&>(item), w);
    case KindReadKey: return EmitReadKey(static_cast<const TItcReadKeyMenu&>(item), w);
    case KindSync: return EmitSync(static_cast<const TItcSync&>(item), w);
    case KindGetSequence: return EmitGetSequence(static_cast<const TItcGetSequence&>(item), w);
    case KindSecOfCentury: return EmitSecOfCentury(static_cast<const TitcSecOfCentury&>(item), w);
    case KindGetDate: return EmitGetDate(static_cast<const TItcGetDate&>(item), w);
    case KindGetTime: return EmitGetTime(static_cast<const TItcGetTime&>(item), w);
    case KindWriteToFlash: return EmitWriteToFlash(static_cast<const TItcWriteToFlash&>(item), w);
    case KindWdt: return EmitWdt(static_cast<const TItcWdt&>(item), w);
    case KindTmrReturn: return EmitTmrReturn(static_cast<const TItcTmrReturn&>(item), w);
    case KindStrCopy:
    case KindStrCat: return EmitStrCopyOrCat(static_cast<const TItcStrCopyOrCat&>(item), w);
    case KindStrLen: return EmitStrLen(static_cast<const TItcStrLen&>(item), w);
    case KindStrPos: return EmitStrPos(static_cast<const TItcStrPos&>(item), w);
    case KindStrCmp: return EmitStrCmp(static_cast<const TItcStrCmp&>(item), w);
    case KindProcess: return EmitProcess(static_cast<const TItcProcess&>(item), w);
    case KindNumCmp: return EmitNumCmp(static_cast<const TItcNumCmp&>(item), w);
    }
    throw CompileFailure("unknown item kind " + std::to_string(item.KindNumber()));
}

} // namespace qvt
