#include "model/item_kinds.h"

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
} // namespace

// ---- Input

TItcInputMenu::TItcInputMenu()
{
    kind = KindInput;
    SetBottomExits({{"OK", 1, 53}, {"Error", 53, 106}, {"Cancel", 106, 159}});
}

std::string TItcInputMenu::Title() const { return Numbered("Input", stateNumber); }

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

// ---- Kinds with a target variable and one "Next" exit

TItcGetSequence::TItcGetSequence()
{
    kind = KindGetSequence;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}

TitcSecOfCentury::TitcSecOfCentury()
{
    kind = KindSecOfCentury;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}

TItcGetDate::TItcGetDate()
{
    kind = KindGetDate;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}

TItcGetTime::TItcGetTime()
{
    kind = KindGetTime;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}

// ---- w2Flash

TItcWriteToFlash::TItcWriteToFlash()
{
    kind = KindWriteToFlash;
    SetBottomExits({{"OK", 1, 79}, {"Error", 80, 159}});
}

// ---- StrCpy, StrCat

TItcStrCopyOrCat::TItcStrCopyOrCat() { SetBottomExits({{"Next", 1, kOneExitLast}}); }
TItcStrCopy::TItcStrCopy() { kind = KindStrCopy; }
TItcStrCat::TItcStrCat() { kind = KindStrCat; }

// ---- StrLen, StrPos, StrCmp

TItcStrLen::TItcStrLen()
{
    kind = KindStrLen;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}

TItcStrPos::TItcStrPos()
{
    kind = KindStrPos;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}

TItcStrCmp::TItcStrCmp()
{
    kind = KindStrCmp;
    SetBottomExits({{"Equal", 1, 79}, {"Not Equal", 80, 159}});
}

// ---- Process, NumCmp

TItcProcess::TItcProcess()
{
    kind = KindProcess;
    SetBottomExits({{"Next", 1, kOneExitLast}});
}

TItcNumCmp::TItcNumCmp()
{
    kind = KindNumCmp;
    SetBottomExits({{"Less", 1, 53}, {"Equal", 53, 106}, {"Greater", 106, 159}});
}

// ---- Sync, Return

TItcSync::TItcSync() { kind = KindSync; }
std::string TItcSync::Title() const { return Numbered("Sync", stateNumber); }

TItcTmrReturn::TItcTmrReturn() { kind = KindTmrReturn; }

// ---- Wdt

TItcWdt::TItcWdt()
{
    kind = KindWdt;
    SetBottomExits({{"Next", 1, kOneExitLast}});
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
