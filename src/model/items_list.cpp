#include "model/items_list.h"

#include "model/item_kinds.h"
#include "core/messages.h"

#include <limits>
#include <utility>

namespace qvt {

namespace {
bool InRange(std::int32_t id) { return id >= 1 && id <= kMaxItemId; }
} // namespace

MachineTextError::MachineTextError(int lineIndex_, std::int32_t id_, bool recordRefused_)
    : std::runtime_error(recordRefused_
                             ? "Line " + std::to_string(lineIndex_ + 1) + " holds text after its end mark; reading stopped."
                             : "Line " + std::to_string(lineIndex_ + 1) + " holds item id " + std::to_string(id_) +
                                   ", outside 1 to 1000; reading stopped."),
      lineIndex(lineIndex_), id(id_), recordRefused(recordRefused_)
{
}

DesignFileError::DesignFileError(const std::string& path_)
    : std::runtime_error("Cannot read " + path_), path(path_)
{
}

TitcItemsList::TitcItemsList(Messages& messages, const TextMeasurer* measurer)
    : messages_(&messages), measurer_(measurer)
{
}

TitcItemsList::TitcItemsList(const MachineText& lines, Messages& messages, const TextMeasurer* measurer)
    : TitcItemsList(messages, measurer)
{
    ReadLines(lines, 0);
}

TitcItemsList::~TitcItemsList() = default;
TitcItemsList::TitcItemsList(TitcItemsList&&) noexcept = default;
TitcItemsList& TitcItemsList::operator=(TitcItemsList&&) noexcept = default;

void TitcItemsList::Refresh()
{
    if (!view_)
        return;
    ForEachItem([&](const TitcItem& item) { view_->DrawItem(item); });
    view_->RedrawConnections();
}

void TitcItemsList::RedrawConnections()
{
    if (view_)
        view_->RedrawConnections();
}

void TitcItemsList::DrawEmptyCells()
{
    if (view_)
        view_->DrawEmptyCells();
}

void TitcItemsList::DrawEmptyCells(int column, int row)
{
    if (view_)
        view_->DrawEmptyCell(column, row);
}

bool TitcItemsList::AddItem(std::int32_t kind, int x, int y)
{
    const int row = y / kCellHeight;
    const int column = x / kCellWidth;
    if (IdAt(row, column) != -1) {
        messages_->ShowError("Cell is full...  Can not insert...");
        return false;
    }
    const std::int32_t id = FirstFreeId();
    if (id == -1) {
        messages_->ShowError("Component limit is exceeded.  Could not add item.");
        return false;
    }
    std::unique_ptr<TitcItem> item = CreateItem(kind, measurer_);
    if (!item) {
        messages_->ShowError("Unknown item");
        return false;
    }
    item->id = id;
    item->row = row;
    item->column = column;
    item->kind = kind;
    TitcItem& stored = *(items_[id - 1] = std::move(item));
    if (view_)
        view_->DrawItem(stored);
    return true;
}

void TitcItemsList::DeleteItem(std::int32_t id)
{
    if (!InRange(id))
        return;
    ForEachItem([&](TitcItem& item) { item.ClearConnectionsTo(id); });
    items_[id - 1].reset();
    RedrawConnections();
}

void TitcItemsList::InsertRowOrColumn(int row, int column, bool before, bool isRow)
{
    // Cells read from stored text can be anything; an item already in the
    // last representable row or column stays there instead of overflowing.
    const std::int64_t threshold = std::int64_t{isRow ? row : column} + (before ? 0 : 1);
    ForEachItem([&](TitcItem& item) {
        std::int32_t& cell = isRow ? item.row : item.column;
        if (cell >= threshold && cell < std::numeric_limits<std::int32_t>::max())
            ++cell;
    });
}

bool TitcItemsList::DeleteRowOrColumn(int row, int column, bool isRow)
{
    bool occupied = false;
    ForEachItem([&](const TitcItem& item) {
        if (isRow ? item.row == row : item.column == column)
            occupied = true;
    });
    if (occupied) {
        messages_->ShowError(isRow ? "The row should be empty." : "The column should be empty.");
        return false;
    }
    ForEachItem([&](TitcItem& item) {
        if (isRow && item.row > row)
            --item.row;
        else if (!isRow && item.column > column)
            --item.column;
    });
    DrawEmptyCells();
    Refresh();
    return true;
}

void TitcItemsList::MakeEntryPoint(std::int32_t id)
{
    if (id == 1 || !InRange(id) || !items_[id - 1])
        return;
    // With no entry item the exchange is one-sided: the chosen item becomes
    // the entry point and its old id is left free.
    std::swap(items_[0], items_[id - 1]);
    items_[0]->id = 1;
    if (items_[id - 1])
        items_[id - 1]->id = id;
    ForEachItem([&](TitcItem& item) { item.SwapEntryReferences(id); });
    Refresh();
}

std::int32_t TitcItemsList::FirstFreeId() const
{
    for (std::int32_t i = 0; i < kMaxItemId; ++i)
        if (!items_[i])
            return i + 1;
    return -1;
}

std::int32_t TitcItemsList::IdAt(int row, int column) const
{
    for (std::int32_t i = 0; i < kMaxItemId; ++i)
        if (items_[i] && items_[i]->row == row && items_[i]->column == column)
            return i + 1;
    return -1;
}

TitcItem* TitcItemsList::ItemAt(int row, int column) { return ItemById(IdAt(row, column)); }
const TitcItem* TitcItemsList::ItemAt(int row, int column) const { return ItemById(IdAt(row, column)); }

TitcItem* TitcItemsList::ItemById(std::int32_t id) { return InRange(id) ? items_[id - 1].get() : nullptr; }
const TitcItem* TitcItemsList::ItemById(std::int32_t id) const
{
    return InRange(id) ? items_[id - 1].get() : nullptr;
}

int TitcItemsList::Count() const
{
    int n = 0;
    for (const auto& slot : items_)
        n += slot ? 1 : 0;
    return n;
}

void TitcItemsList::Clear()
{
    for (auto& slot : items_)
        slot.reset();
}

bool TitcItemsList::PutItem(std::unique_ptr<TitcItem> item)
{
    if (!item || !InRange(item->id))
        return false;
    items_[item->id - 1] = std::move(item);
    return true;
}

std::unique_ptr<TitcItem> TitcItemsList::TakeItem(std::int32_t id)
{
    if (!InRange(id))
        return nullptr;
    return std::move(items_[id - 1]);
}

} // namespace qvt
