#pragma once

// One encoder per item kind; EmitCode picks the one for the item's class.
namespace qvt {

class CodeWriter;
class TItcInputMenu;
class TItcReadKeyMenu;
class TItcSync;
class TItcGetSequence;
class TitcSecOfCentury;
class TItcGetDate;
class TItcGetTime;
class TItcWriteToFlash;
class TItcWdt;
class TItcTmrReturn;
class TItcStrCopyOrCat;
class TItcStrLen;
class TItcStrPos;
class TItcStrCmp;
class TItcProcess;
class TItcNumCmp;

void EmitInput(const TItcInputMenu& item, CodeWriter& w);
void EmitReadKey(const TItcReadKeyMenu& item, CodeWriter& w);
void EmitSync(const TItcSync& item, CodeWriter& w);

void EmitGetSequence(const TItcGetSequence& item, CodeWriter& w);
void EmitSecOfCentury(const TitcSecOfCentury& item, CodeWriter& w);
void EmitGetDate(const TItcGetDate& item, CodeWriter& w);
void EmitGetTime(const TItcGetTime& item, CodeWriter& w);
void EmitWriteToFlash(const TItcWriteToFlash& item, CodeWriter& w);
void EmitWdt(const TItcWdt& item, CodeWriter& w);
void EmitTmrReturn(const TItcTmrReturn& item, CodeWriter& w);

void EmitStrCopyOrCat(const TItcStrCopyOrCat& item, CodeWriter& w);
void EmitStrLen(const TItcStrLen& item, CodeWriter& w);
void EmitStrPos(const TItcStrPos& item, CodeWriter& w);
void EmitStrCmp(const TItcStrCmp& item, CodeWriter& w);

void EmitProcess(const TItcProcess& item, CodeWriter& w);
void EmitNumCmp(const TItcNumCmp& item, CodeWriter& w);

} // namespace qvt
