#include "model/item_kinds.h"

#include "model/item_record.h"
#include "model/text_measurer.h"

#include <cstdint>

namespace qvt {

namespace {
// Spans shared by the kinds with fixed exits. The three-exit kinds let the
// second exit start on the pixel where the first ends.
constexpr std::int32_t kOneExitLast = 159;

std::string Numbered(std::string_view caption, std::int32_t number)
{
    return std::string(caption) + " (" + std::to_string(number) + ")";
}

// inputFormat * 256 + inputSize, wrapping like the 32-bit arithmetic of the
// stored files' writers instead of overflowing.
std::int32_t PackInputType(std::int32_t format, std::int32_t size)
{
    const std::uint32_t packed = static_cast<std::uint32_t>(format) * 256u + static_cast<std::uint32_t>(size);
    return static_cast<std::int32_t>(packed);
}
} // namespace

// ---- Input

TItcInputMenu::TItcInputMenu()
{
    kind = KindInput;
    SetBottomExits({{"OK", 1, 53}, {"Error", 53, 106}, {"Cancel", 106, 159}});
}

std::string TItcInputMenu::Title() const { return Numbered("Input", stateNumber); }

std::vector<std::int32_t*> TItcInputMenu::TargetFields() { return {&okTarget, &errorTarget, &cancelTarget}; }

void TItcInputMenu::WriteKindFields(RecordWriter& out) const
{
    out.Int("drmmtr", stateNumber);
    out.Text("ekran", screenText);
    out.Int("hedef", target);
    out.Int("tip", PackInputType(inputFormat, inputSize));
    out.Int("dogru", okTarget);
    out.Int("yanlis", errorTarget);
    out.Int("iptal", cancelTarget);
    out.Int("sat", inputRow);
    out.Int("sut", inputColumn);
    out.Int("maxuz", maxLength);
    out.Bool("ilkdeger", showInitial);
}

void TItcInputMenu::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("drmmtr", stateNumber);
    in.ReadText("ekran", screenText);
    in.ReadInt("hedef", target);
    std::int32_t type = 0;
    in.ReadInt("tip", type);
    // Division truncates toward zero and the remainder keeps the sign of the
    // value, as the stored files expect.
    inputFormat = type / 256;
    inputSize = type % 256;
    in.ReadInt("dogru", okTarget);
    in.ReadInt("yanlis", errorTarget);
    in.ReadInt("iptal", cancelTarget);
    in.ReadInt("sat", inputRow);
    in.ReadInt("sut", inputColumn);
    in.ReadInt("maxuz", maxLength);
    in.ReadBool("ilkdeger", showInitial);
}

// ---- ReadKey

TItcReadKeyMenu::TItcReadKeyMenu(const TextMeasurer* measurer)
{
    kind = KindReadKey;
    static constexpr const char* kBottom[] = {"F1", "F2", "F3", "F4", "F5", "C", "E", "S", "D", "^", "v", "<", ">"};
    static constexpr const char* kRight[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"};

    // The key exits from "C" on get one pixel more than their labels need; the
    // terminal's other tools lay them out the same way. Without a measurer
    // (a machine loaded for compiling) the label steps are skipped altogether,
    // leaving the spans 1..-1, then k-4..k-5 from slot 5, and 1..0 on the right;
    // nothing uses them then.
    std::int32_t a = 1;
    for (int i = 0; i < 13; ++i) {
        bottomExits[i].label = kBottom[i];
        bottomExits[i].first = a;
        if (measurer)
            a += measurer->TextWidth(kBottom[i]) + 2;
        if (i >= 5)
            a += 1;
        bottomExits[i].last = a - 2;
    }
    bottomExitCount = 13;

    std::int32_t b = 1;
    for (int j = 0; j < 10; ++j) {
        rightExits[j].label = kRight[j];
        rightExits[j].first = b;
        if (measurer)
            b += measurer->TextHeight(kRight[j]) + 1;
        rightExits[j].last = b - 1;
    }
    rightExitCount = 10;
}

std::string TItcReadKeyMenu::Title() const { return Numbered("ReadKey", stateNumber); }

std::vector<std::int32_t*> TItcReadKeyMenu::TargetFields()
{
    // Slot order: F1..F5, C, E, S, D, ^, v, <, > along the bottom, then 1..9, 0.
    return {&f1Target,     &f2Target,     &f3Target,     &f4Target,     &f5Target,     &cancelTarget,
            &enterTarget,  &spaceTarget,  &deleteTarget, &upTarget,     &downTarget,   &leftTarget,
            &rightTarget,  &digit1Target, &digit2Target, &digit3Target, &digit4Target, &digit5Target,
            &digit6Target, &digit7Target, &digit8Target, &digit9Target, &digit0Target};
}

void TItcReadKeyMenu::WriteKindFields(RecordWriter& out) const
{
    out.Int("drmmtr", stateNumber);
    out.Text("ekran", screenText);
    out.Int("f1", f1Target);
    out.Int("f2", f2Target);
    out.Int("f3", f3Target);
    out.Int("f4", f4Target);
    out.Int("f5", f5Target);
    out.Int("n1", digit1Target);
    out.Int("n2", digit2Target);
    out.Int("n3", digit3Target);
    out.Int("n4", digit4Target);
    out.Int("n5", digit5Target);
    out.Int("n6", digit6Target);
    out.Int("n7", digit7Target);
    out.Int("n8", digit8Target);
    out.Int("n9", digit9Target);
    out.Int("n0", digit0Target);
    out.Int("giris", enterTarget);
    out.Int("bosluk", spaceTarget);
    out.Int("sil", deleteTarget);
    out.Int("iptal", cancelTarget);
    out.Int("yukari", upTarget);
    out.Int("asagi", downTarget);
    out.Int("sol", leftTarget);
    out.Int("sag", rightTarget);
}

void TItcReadKeyMenu::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("drmmtr", stateNumber);
    in.ReadText("ekran", screenText);
    in.ReadInt("f1", f1Target);
    in.ReadInt("f2", f2Target);
    in.ReadInt("f3", f3Target);
    in.ReadInt("f4", f4Target);
    in.ReadInt("f5", f5Target);
    in.ReadInt("n1", digit1Target);
    in.ReadInt("n2", digit2Target);
    in.ReadInt("n3", digit3Target);
    in.ReadInt("n4", digit4Target);
    in.ReadInt("n5", digit5Target);
    in.ReadInt("n6", digit6Target);
    in.ReadInt("n7", digit7Target);
    in.ReadInt("n8", digit8Target);
    in.ReadInt("n9", digit9Target);
    in.ReadInt("n0", digit0Target);
    in.ReadInt("giris", enterTarget);
    in.ReadInt("bosluk", spaceTarget);
    in.ReadInt("sil", deleteTarget);
    in.ReadInt("iptal", cancelTarget);
    in.ReadInt("yukari", upTarget);
    in.ReadInt("asagi", downTarget);
    in.ReadInt("sol", leftTarget);
    in.ReadInt("sag", rightTarget);
}

// ---- Kinds with a target variable and one "Next" exit

TItcGetSequence::TItcGetSequence()
{
    kind = KindGetSequence;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}
std::vector<std::int32_t*> TItcGetSequence::TargetFields() { return {&nextTarget}; }
void TItcGetSequence::WriteKindFields(RecordWriter& out) const
{
    out.Int("hedef", target);
    out.Int("sonraki", nextTarget);
}
void TItcGetSequence::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("hedef", target);
    in.ReadInt("sonraki", nextTarget);
}

TitcSecOfCentury::TitcSecOfCentury()
{
    kind = KindSecOfCentury;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}
std::vector<std::int32_t*> TitcSecOfCentury::TargetFields() { return {&nextTarget}; }
void TitcSecOfCentury::WriteKindFields(RecordWriter& out) const
{
    out.Int("hedef", target);
    out.Int("sonraki", nextTarget);
}
void TitcSecOfCentury::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("hedef", target);
    in.ReadInt("sonraki", nextTarget);
}

TItcGetDate::TItcGetDate()
{
    kind = KindGetDate;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}
std::vector<std::int32_t*> TItcGetDate::TargetFields() { return {&nextTarget}; }
void TItcGetDate::WriteKindFields(RecordWriter& out) const
{
    out.Int("hedef", target);
    out.Int("sonraki", nextTarget);
}
void TItcGetDate::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("hedef", target);
    in.ReadInt("sonraki", nextTarget);
}

TItcGetTime::TItcGetTime()
{
    kind = KindGetTime;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}
std::vector<std::int32_t*> TItcGetTime::TargetFields() { return {&nextTarget}; }
void TItcGetTime::WriteKindFields(RecordWriter& out) const
{
    out.Int("hedef", target);
    out.Int("sonraki", nextTarget);
}
void TItcGetTime::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("hedef", target);
    in.ReadInt("sonraki", nextTarget);
}

// ---- w2Flash

TItcWriteToFlash::TItcWriteToFlash()
{
    kind = KindWriteToFlash;
    SetBottomExits({{"OK", 1, 79}, {"Error", 80, 159}});
}
std::vector<std::int32_t*> TItcWriteToFlash::TargetFields() { return {&okTarget, &errorTarget}; }
void TItcWriteToFlash::WriteKindFields(RecordWriter& out) const
{
    out.Int("sabit", tag);
    out.Int("kaynak1", source1);
    out.Int("kaynak2", source2);
    out.Int("ok", okTarget);
    out.Int("hata", errorTarget);
}
void TItcWriteToFlash::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("sabit", tag);
    in.ReadInt("kaynak1", source1);
    in.ReadInt("kaynak2", source2);
    in.ReadInt("ok", okTarget);
    in.ReadInt("hata", errorTarget);
}

// ---- StrCpy, StrCat

TItcStrCopyOrCat::TItcStrCopyOrCat() { SetBottomExits({{"Next", 1, kOneExitLast}}); }
std::vector<std::int32_t*> TItcStrCopyOrCat::TargetFields() { return {&nextTarget}; }
void TItcStrCopyOrCat::WriteKindFields(RecordWriter& out) const
{
    out.Int("hedef", target);
    out.Int("kaynak", source);
    out.Int("bas", start);
    out.Int("son", end);
    out.Text("sabit", constText);
    out.Int("sabitb", constStart);
    out.Int("sabits", constEnd);
    out.Int("sonraki", nextTarget);
}
void TItcStrCopyOrCat::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("hedef", target);
    in.ReadInt("kaynak", source);
    in.ReadInt("bas", start);
    in.ReadInt("son", end);
    in.ReadText("sabit", constText);
    in.ReadInt("sabitb", constStart);
    in.ReadInt("sabits", constEnd);
    in.ReadInt("sonraki", nextTarget);
}

TItcStrCopy::TItcStrCopy() { kind = KindStrCopy; }
TItcStrCat::TItcStrCat() { kind = KindStrCat; }

// ---- StrLen, StrPos, StrCmp

TItcStrLen::TItcStrLen()
{
    kind = KindStrLen;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}
std::vector<std::int32_t*> TItcStrLen::TargetFields() { return {&nextTarget}; }
void TItcStrLen::WriteKindFields(RecordWriter& out) const
{
    out.Int("hedef", target);
    out.Int("kaynak", source);
    out.Int("sonraki", nextTarget);
}
void TItcStrLen::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("hedef", target);
    in.ReadInt("kaynak", source);
    in.ReadInt("sonraki", nextTarget);
}

TItcStrPos::TItcStrPos()
{
    kind = KindStrPos;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}
std::vector<std::int32_t*> TItcStrPos::TargetFields() { return {&nextTarget}; }
void TItcStrPos::WriteKindFields(RecordWriter& out) const
{
    out.Int("hedef", target);
    out.Int("kaynak", source);
    out.Text("sabit", constText);
    out.Int("kacinci", occurrence);
    out.Int("sonraki", nextTarget);
}
void TItcStrPos::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("hedef", target);
    in.ReadInt("kaynak", source);
    in.ReadText("sabit", constText);
    in.ReadInt("kacinci", occurrence);
    in.ReadInt("sonraki", nextTarget);
}

TItcStrCmp::TItcStrCmp()
{
    kind = KindStrCmp;
    SetBottomExits({{"Equal", 1, 79}, {"Not Equal", 80, 159}});
}
std::vector<std::int32_t*> TItcStrCmp::TargetFields() { return {&equalTarget, &notEqualTarget}; }
void TItcStrCmp::WriteKindFields(RecordWriter& out) const
{
    out.Int("hedef", target);
    out.Int("kaynak", source);
    out.Text("sabit", constText);
    out.Int("esit", equalTarget);
    out.Int("esitdegil", notEqualTarget);
}
void TItcStrCmp::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("hedef", target);
    in.ReadInt("kaynak", source);
    in.ReadText("sabit", constText);
    in.ReadInt("esit", equalTarget);
    in.ReadInt("esitdegil", notEqualTarget);
}

// ---- Process, NumCmp

TItcProcess::TItcProcess()
{
    kind = KindProcess;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}
std::vector<std::int32_t*> TItcProcess::TargetFields() { return {&nextTarget}; }
void TItcProcess::WriteKindFields(RecordWriter& out) const
{
    out.Int("hedef", target);
    out.Int("kaynak", source);
    out.Int("islem", operation);
    out.Thousandths("sabit", constValue);
    out.Int("sonraki", nextTarget);
}
void TItcProcess::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("hedef", target);
    in.ReadInt("kaynak", source);
    in.ReadInt("islem", operation);
    in.ReadThousandths("sabit", constValue);
    in.ReadInt("sonraki", nextTarget);
}

TItcNumCmp::TItcNumCmp()
{
    kind = KindNumCmp;
    SetBottomExits({{"Less", 1, 53}, {"Equal", 53, 106}, {"Greater", 106, 159}});
}
std::vector<std::int32_t*> TItcNumCmp::TargetFields() { return {&lessTarget, &equalTarget, &greaterTarget}; }
void TItcNumCmp::WriteKindFields(RecordWriter& out) const
{
    out.Int("hedef", target);
    out.Int("kaynak", source);
    out.Thousandths("sabit", constValue);
    out.Int("kucuk", lessTarget);
    out.Int("esit", equalTarget);
    out.Int("buyuk", greaterTarget);
}
void TItcNumCmp::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("hedef", target);
    in.ReadInt("kaynak", source);
    in.ReadThousandths("sabit", constValue);
    in.ReadInt("kucuk", lessTarget);
    in.ReadInt("esit", equalTarget);
    in.ReadInt("buyuk", greaterTarget);
}

// ---- Sync, Return

TItcSync::TItcSync() { kind = KindSync; }
std::string TItcSync::Title() const { return Numbered("Sync", stateNumber); }
void TItcSync::WriteKindFields(RecordWriter& out) const
{
    out.Int("drmmtr", stateNumber);
    out.Int("kaynak", source);
}
void TItcSync::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("drmmtr", stateNumber);
    in.ReadInt("kaynak", source);
}

TItcTmrReturn::TItcTmrReturn() { kind = KindTmrReturn; }

// ---- Wdt

TItcWdt::TItcWdt()
{
    kind = KindWdt;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}
std::vector<std::int32_t*> TItcWdt::TargetFields() { return {&nextTarget}; }
void TItcWdt::WriteKindFields(RecordWriter& out) const
{
    out.Int("starttime", startTime);
    out.Int("tinc", increment);
    out.Int("flag", flag);
    out.Int("sonraki", nextTarget);
}
void TItcWdt::ReadKindFields(const RecordPairs& in)
{
    in.ReadInt("starttime", startTime);
    in.ReadInt("tinc", increment);
    in.ReadInt("flag", flag);
    in.ReadInt("sonraki", nextTarget);
}

// ---- Factory

std::unique_ptr<TitcItem> CreateItem(std::int32_t kind, const TextMeasurer* measurer)
{
    switch (kind) {
    case KindInput: return std::make_unique<TItcInputMenu>();
    case KindReadKey: return std::make_unique<TItcReadKeyMenu>(measurer);
    case KindGetSequence: return std::make_unique<TItcGetSequence>();
    case KindSecOfCentury: return std::make_unique<TitcSecOfCentury>();
    case KindWriteToFlash: return std::make_unique<TItcWriteToFlash>();
    case KindStrCopy: return std::make_unique<TItcStrCopy>();
    case KindStrCat: return std::make_unique<TItcStrCat>();
    case KindStrLen: return std::make_unique<TItcStrLen>();
    case KindStrPos: return std::make_unique<TItcStrPos>();
    case KindStrCmp: return std::make_unique<TItcStrCmp>();
    case KindProcess: return std::make_unique<TItcProcess>();
    case KindNumCmp: return std::make_unique<TItcNumCmp>();
    case KindSync: return std::make_unique<TItcSync>();
    case KindTmrReturn: return std::make_unique<TItcTmrReturn>();
    case KindGetDate: return std::make_unique<TItcGetDate>();
    case KindGetTime: return std::make_unique<TItcGetTime>();
    case KindWdt: return std::make_unique<TItcWdt>();
    }
    return nullptr;
}

} // namespace qvt
