#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qvt {

class Messages;

// Kind numbers of the 17 item kinds. The number is stored under "tip" in every
// record and is also the first byte (opcode) of the item's instruction.
enum ItemKind : std::int32_t {
    KindInput = 57,
    KindReadKey = 129,
    KindGetSequence = 7,
    KindSecOfCentury = 101,
    KindWriteToFlash = 20,
    KindStrCopy = 192,
    KindStrCat = 193,
    KindStrLen = 194,
    KindStrPos = 195,
    KindStrCmp = 196,
    KindProcess = 200,
    KindNumCmp = 201,
    KindSync = 13,
    KindTmrReturn = 254,
    KindGetDate = 197,
    KindGetTime = 198,
    KindWdt = 100,
};

// The kinds in tool bar order.
inline constexpr std::array<std::int32_t, 17> kItemKinds = {
    KindInput,  KindReadKey, KindGetSequence, KindSecOfCentury, KindWriteToFlash, KindStrCopy,
    KindStrCat, KindStrLen,  KindStrPos,      KindStrCmp,       KindProcess,      KindNumCmp,
    KindSync,   KindTmrReturn, KindGetDate,   KindGetTime,      KindWdt,
};

bool IsItemKind(std::int32_t kind);
// Caption of the kind's tool ("Input", "ReadKey", "GetSeq", ...); empty for an unknown number.
std::string_view ToolCaption(std::int32_t kind);

// Items are 195 x 200 pixel cells on the design canvas.
inline constexpr int kCellWidth = 195;
inline constexpr int kCellHeight = 200;
// Ids run from 1 (the entry point) to 1000.
inline constexpr std::int32_t kMaxItemId = 1000;

// One exit slot: the label shown in the exit strip (and the exit's name for
// SetConnection) and its pixel span along the edge of the item's box.
struct TBag {
    std::string label;
    std::int32_t first = 0;
    std::int32_t last = 0;

    bool operator==(const TBag&) const = default;
};

inline constexpr int kExitSlots = 13;
using TBagListesi = std::array<TBag, kExitSlots>;

// One state of a machine. The exit slots carry labels and spans only; the id
// each exit leads to (0 = not connected) is a field of the kind, found by the
// exit's label in the kind's field table (model/item_fields.h).
//
// Items hold no drawing and no compiler code: the design editor draws them
// from their fields and the compiler encodes them by their kind.
class TitcItem {
public:
    virtual ~TitcItem() = default;

    std::int32_t id = 0;
    std::int32_t row = 0;
    std::int32_t column = 0;
    std::int32_t kind = 0;
    std::int32_t bottomExitCount = 0;
    std::int32_t rightExitCount = 0;
    TBagListesi bottomExits{};
    TBagListesi rightExits{};

    // Kind number of this item's class (the `kind` field is whatever was last
    // set or read).
    virtual std::int32_t KindNumber() const = 0;
    // First line of the item's box: "Input (7)", "GetSeq", ...
    virtual std::string Title() const;

    // Sets the target of the exit whose label equals `label` exactly (bottom
    // exits, then right exits). An unknown label shows
    // "Connection (<label>) is incorrect" and changes nothing. Items without
    // exits ignore the call. The value is stored unchecked.
    void SetConnection(std::string_view label, std::int32_t value, Messages& messages);
    // Every target equal to `target` becomes 0.
    void ClearConnectionsTo(std::int32_t target);
    // Every target equal to `target` becomes 1 and every target equal to 1
    // becomes `target`; used when `target` and the entry point exchange ids.
    void SwapEntryReferences(std::int32_t target);

    // Targets of the exits in slot order: the bottom exits, then the right ones.
    std::vector<std::int32_t> ExitTargets() const;

    // The item's one-line text record.
    std::string WriteRecord() const;
    // Fills the item from a record. False, with the item untouched, only when
    // text follows the end mark; missing or malformed keys read as 0 or empty.
    bool ReadRecord(std::string_view record);

protected:
    TitcItem() = default;
    TitcItem(const TitcItem&) = default;
    TitcItem& operator=(const TitcItem&) = default;

    // Sets the exit slots of a kind whose exits are bottom exits with fixed spans.
    struct FixedExit { const char* label; std::int32_t first; std::int32_t last; };
    void SetBottomExits(std::initializer_list<FixedExit> exits);
};

} // namespace qvt
