#pragma once

#include "model/item.h"
#include "core/project_state.h"

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace qvt {

class Messages;
class TextMeasurer;

// Thrown while reading machine text or a design file when a line's item
// carries an id outside 1..1000 (also the case of a record that was refused
// because text follows its end mark: such an item keeps id 0). Reading stops
// at that line. Creating a list from machine text then yields no list;
// ImportFromFile keeps the items read before the line and does not refresh.
class MachineTextError : public std::runtime_error {
public:
    MachineTextError(int lineIndex, std::int32_t id, bool recordRefused);
    // Index of the offending line in the text given (design files: counted
    // from the "V100" line as 0).
    int lineIndex;
    std::int32_t id;
    bool recordRefused;
};

// Thrown by ImportFromFile when the file cannot be opened or read; the list is
// already empty by then.
class DesignFileError : public std::runtime_error {
public:
    explicit DesignFileError(const std::string& path);
    std::string path;
};

// What the design window draws when the list changes. The list calls these at
// the points where the picture must follow; without a view nothing is drawn.
class ItemsListView {
public:
    virtual ~ItemsListView() = default;
    virtual void DrawItem(const TitcItem& item) = 0;
    // Rebuild and draw every connection of the list.
    virtual void RedrawConnections() = 0;
    // Draw the empty-cell frame of one cell.
    virtual void DrawEmptyCell(int column, int row) = 0;
    // Draw the empty-cell frame of every cell of the grid.
    virtual void DrawEmptyCells() = 0;
};

// One state machine: up to 1000 items, each stored under its id (1 is the
// entry point) and placed in one grid cell. Whoever edits or compiles a machine
// owns its list and hands it to the code that needs it.
//
// Refusals are shown through the Messages given at construction and leave the
// list unchanged.
class TitcItemsList {
public:
    // An empty machine. `measurer` sizes the exits of ReadKey items created by
    // this list (may be null: zero-sized labels).
    explicit TitcItemsList(Messages& messages, const TextMeasurer* measurer = nullptr);
    // A machine read from its text, one record per line. Lines without a known
    // kind show "Incorrect data.  File is corrupted.  Data is ignored." and are
    // skipped; a later line with the same id replaces an earlier one.
    // Throws MachineTextError (see above). Nothing is drawn.
    TitcItemsList(const MachineText& lines, Messages& messages, const TextMeasurer* measurer = nullptr);
    ~TitcItemsList();

    TitcItemsList(TitcItemsList&&) noexcept;
    TitcItemsList& operator=(TitcItemsList&&) noexcept;
    TitcItemsList(const TitcItemsList&) = delete;
    TitcItemsList& operator=(const TitcItemsList&) = delete;

    void SetView(ItemsListView* view) { view_ = view; }
    void SetMeasurer(const TextMeasurer* measurer) { measurer_ = measurer; }

    // Machine text: the records of every item in ascending id order. Replaces
    // `lines` and returns true; on failure shows an error and leaves `lines`
    // as it was. An item whose text holds "#3" cannot be stored (its record
    // would not read back); it is refused with a message naming the item.
    bool SaveToMachineText(MachineText& lines);
    // Writes a design file ("V100", then the records, CR LF after each line)
    // through a temporary file renamed into place, so a failed export leaves an
    // existing file whole.
    // False after "Unexpected error while saving file." (or the "#3" refusal).
    bool ExportToFile(const std::string& path);
    // Empties the machine, then reads a design file. A missing or wrong first
    // line shows "Incorrect version or file format." and leaves it empty.
    // Throws DesignFileError or MachineTextError (see above).
    void ImportFromFile(const std::string& path);

    // Drawing, forwarded to the view.
    void Refresh();  // every item, then the connections
    void RedrawConnections();
    void DrawEmptyCells();
    void DrawEmptyCells(int column, int row);

    // Adds an item of `kind` with the lowest free id in the cell under pixel
    // (x, y). Refuses (message, false) a full cell, a full table and an
    // unknown kind, in that order. Draws the new item; connections are left
    // to the caller.
    bool AddItem(std::int32_t kind, int x, int y);
    // Clears every connection to `id`, destroys the item and redraws the
    // connections. The entry item is not protected here.
    void DeleteItem(std::int32_t id);
    // Moves every item at or beyond the threshold (row or column, plus one
    // unless `before`) one cell down or right.
    void InsertRowOrColumn(int row, int column, bool before, bool isRow);
    // Removes an empty row or column by moving the items beyond it back one
    // cell. Refuses with "The row should be empty." / "The column should be
    // empty." when an item lies in it.
    bool DeleteRowOrColumn(int row, int column, bool isRow);
    // Gives item `id` the id 1 and the former entry item the id `id`, and
    // rewrites every connection so that it still leads to the same item. With
    // no entry item the chosen item simply becomes id 1. Ignored for id 1, for
    // ids outside 1..1000 and for an empty entry.
    void MakeEntryPoint(std::int32_t id);

    // Lowest unused id, or -1 when all 1000 are used.
    std::int32_t FirstFreeId() const;
    // Lowest id whose item lies in that cell, or -1.
    std::int32_t IdAt(int row, int column) const;
    TitcItem* ItemAt(int row, int column);
    const TitcItem* ItemAt(int row, int column) const;
    // Null for an empty entry and for any id outside 1..1000.
    TitcItem* ItemById(std::int32_t id);
    const TitcItem* ItemById(std::int32_t id) const;

    // Number of items held.
    int Count() const;
    bool IsEmpty() const { return Count() == 0; }
    // Destroys every item.
    void Clear();
    // Stores `item` under its own id, replacing whatever was there. Ids
    // outside 1..1000 are refused (false, item dropped).
    bool PutItem(std::unique_ptr<TitcItem> item);
    // Removes item `id` from the list and hands it over, touching no
    // connection (undo puts items back exactly as they were). Null when there
    // is none.
    std::unique_ptr<TitcItem> TakeItem(std::int32_t id);

    // Calls f(item) for every item in ascending id order.
    template <typename F>
    void ForEachItem(F&& f) const
    {
        for (const auto& slot : items_)
            if (slot)
                f(static_cast<const TitcItem&>(*slot));
    }
    template <typename F>
    void ForEachItem(F&& f)
    {
        for (auto& slot : items_)
            if (slot)
                f(*slot);
    }

private:
    // Reads lines[from..] into the table; see MachineTextError.
    void ReadLines(const MachineText& lines, std::size_t from);
    // A message for the first item whose text cannot be stored, or empty.
    std::string UnstorableTextProblem() const;

    Messages* messages_;
    const TextMeasurer* measurer_;
    ItemsListView* view_ = nullptr;
    // Entry i holds the item with id i + 1.
    std::array<std::unique_ptr<TitcItem>, kMaxItemId> items_;
};

} // namespace qvt
