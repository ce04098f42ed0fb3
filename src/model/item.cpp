#include "model/item.h"

#include "model/item_fields.h"
#include "model/item_record.h"
#include "core/messages.h"

#include <algorithm>

namespace qvt {

bool IsItemKind(std::int32_t kind)
{
    return std::find(kItemKinds.begin(), kItemKinds.end(), kind) != kItemKinds.end();
}

std::string_view ToolCaption(std::int32_t kind)
{
    switch (kind) {
    case KindInput: return "Input";
    case KindReadKey: return "ReadKey";
    case KindGetSequence: return "GetSeq";
    case KindSecOfCentury: return "Now";
    case KindWriteToFlash: return "w2Flash";
    case KindStrCopy: return "StrCpy";
    case KindStrCat: return "StrCat";
    case KindStrLen: return "StrLen";
    case KindStrPos: return "StrPos";
    case KindStrCmp: return "StrCmp";
    case KindProcess: return "Process";
    case KindNumCmp: return "NumCmp";
    case KindSync: return "Sync";
    case KindTmrReturn: return "Return";
    case KindGetDate: return "GetDate";
    case KindGetTime: return "GetTime";
    case KindWdt: return "Wdt";
    }
    return {};
}

std::string TitcItem::Title() const
{
    return std::string(ToolCaption(KindNumber()));
}

void TitcItem::SetBottomExits(std::initializer_list<FixedExit> exits)
{
    int slot = 0;
    for (const FixedExit& e : exits)
        bottomExits[slot++] = TBag{e.label, e.first, e.last};
    bottomExitCount = slot;
}

namespace {
// Calls f on every target field of the item.
template <typename F>
void ForEachTarget(TitcItem& item, F&& f)
{
    for (const ItemField& field : ItemFields(item))
        if (field.type == FieldType::ExitTarget)
            f(*std::get<std::int32_t*>(FieldOf(item, field)));
}
} // namespace

void TitcItem::SetConnection(std::string_view label, std::int32_t value, Messages& messages)
{
    const auto fields = ItemFields(*this);
    const auto hasExits = [](const ItemField& f) { return f.type == FieldType::ExitTarget; };
    if (std::none_of(fields.begin(), fields.end(), hasExits))
        return;
    // Labels are matched in slot order, bottom exits first; the exit's label
    // then names its target field.
    auto match = [&](const TBagListesi& exits, int count) {
        for (int i = 0; i < count && i < kExitSlots; ++i) {
            if (exits[i].label != label)
                continue;
            if (const ItemField* field = ExitField(fields, label)) {
                *std::get<std::int32_t*>(FieldOf(*this, *field)) = value;
                return true;
            }
        }
        return false;
    };
    if (match(bottomExits, bottomExitCount) || match(rightExits, rightExitCount))
        return;
    messages.ShowError("Connection (" + std::string(label) + ") is incorrect");
}

void TitcItem::ClearConnectionsTo(std::int32_t target)
{
    ForEachTarget(*this, [&](std::int32_t& t) {
        if (t == target)
            t = 0;
    });
}

void TitcItem::SwapEntryReferences(std::int32_t target)
{
    ForEachTarget(*this, [&](std::int32_t& t) {
        if (t == target)
            t = 1;
        else if (t == 1)
            t = target;
    });
}

std::vector<std::int32_t> TitcItem::ExitTargets() const
{
    std::vector<std::int32_t> out;
    const auto fields = ItemFields(*this);
    auto add = [&](const TBagListesi& exits, int count) {
        for (int i = 0; i < count && i < kExitSlots; ++i)
            if (const ItemField* field = ExitField(fields, exits[i].label))
                out.push_back(*std::get<const std::int32_t*>(FieldOf(*this, *field)));
    };
    add(bottomExits, bottomExitCount);
    add(rightExits, rightExitCount);
    return out;
}

std::string TitcItem::WriteRecord() const
{
    std::string out = "#1#id=" + std::to_string(id) + "\\#sat=" + std::to_string(row) +
                      "\\#sut=" + std::to_string(column) + "\\#tip=" + std::to_string(kind) + "\\#2";
    RecordWriter writer(out);
    WriteKindSection(*this, writer);
    out += "\\#3";
    return out;
}

bool TitcItem::ReadRecord(std::string_view record)
{
    const RecordSections sections = SplitRecord(record);
    if (!sections.tail.empty())
        return false;
    const BaseFields base = ReadBaseSection(sections.base);
    id = base.id;
    row = base.row;
    column = base.column;
    kind = base.kind;
    ReadKindSection(*this, RecordPairs(sections.kind));
    return true;
}

} // namespace qvt
