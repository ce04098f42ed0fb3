#include "editor/machine_document.h"

#include "core/messages.h"
#include "model/item_kinds.h"
#include "model/item_record.h"

#include <QUndoCommand>

#include <algorithm>

namespace qvt {

// The items whose records an edit changed, before and after. The edit itself
// has been carried out by the items list (with its own refusals and messages)
// before the step is pushed, so the first redo does nothing.
class ItemsStep : public QUndoCommand {
public:
    ItemsStep(MachineDocument& document, const QString& name, int mergeKey, std::int32_t itemId,
              std::vector<MachineDocument::ItemRecord> before, std::vector<MachineDocument::ItemRecord> after)
        : QUndoCommand(name), document_(document), mergeKey_(mergeKey), itemId_(itemId), before_(std::move(before)),
          after_(std::move(after))
    {
    }

    void undo() override { document_.PutRecords(before_); }
    void redo() override
    {
        if (first_) {
            first_ = false;
            return;
        }
        document_.PutRecords(after_);
    }
    int id() const override { return mergeKey_ >= 0 ? 1 : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* step = static_cast<const ItemsStep*>(other);
        if (step->mergeKey_ != mergeKey_ || step->itemId_ != itemId_)
            return false;
        after_ = step->after_;
        return true;
    }

private:
    MachineDocument& document_;
    int mergeKey_;
    std::int32_t itemId_;
    std::vector<MachineDocument::ItemRecord> before_;
    std::vector<MachineDocument::ItemRecord> after_;
    bool first_ = true;
};

// An edit that touches the whole grid (rows and columns, the entry point, an
// import): the machine text and the grid size before and after.
class MachineStep : public QUndoCommand {
public:
    struct State {
        MachineText text;
        int gridColumns = 0;
        int gridRows = 0;
    };
    MachineStep(MachineDocument& document, const QString& name, State before, State after)
        : QUndoCommand(name), document_(document), before_(std::move(before)), after_(std::move(after))
    {
    }

    void undo() override { document_.ReplaceItems(before_.text, before_.gridColumns, before_.gridRows); }
    void redo() override
    {
        if (first_) {
            first_ = false;
            return;
        }
        document_.ReplaceItems(after_.text, after_.gridColumns, after_.gridRows);
    }

private:
    MachineDocument& document_;
    State before_;
    State after_;
    bool first_ = true;
};

std::unique_ptr<MachineDocument> MachineDocument::Open(ProjectState& project, MachineId machine, Messages& messages,
                                                       const TextMeasurer* measurer)
{
    try {
        TitcItemsList items(project.machineText(machine), messages, measurer);
        return std::unique_ptr<MachineDocument>(
            new MachineDocument(project, machine, messages, measurer, std::move(items)));
    } catch (const MachineTextError& error) {
        messages.ShowError(std::string("The ") + machineName(machine) + " machine cannot be read: line "
                           + std::to_string(error.lineIndex + 1) + " holds an item with the id "
                           + std::to_string(error.id) + ", outside 1..1000.");
        return nullptr;
    }
}

MachineDocument::MachineDocument(ProjectState& project, MachineId machine, Messages& messages,
                                 const TextMeasurer* measurer, TitcItemsList items)
    : project_(project), machine_(machine), messages_(messages), measurer_(measurer),
      items_(std::make_unique<TitcItemsList>(std::move(items)))
{
    connect(&undoStack_, &QUndoStack::cleanChanged, this, [this] { EmitModified(); });
    connect(&undoStack_, &QUndoStack::indexChanged, this, [this] {
        // After an undo or redo the selected cell may hold another item.
        const std::int32_t id = selectedRow_ < 0 ? -1 : items_->IdAt(selectedRow_, selectedColumn_);
        if (id != selectedItemId_) {
            selectedItemId_ = id;
            selectedExit_.clear();
        }
        if (selectedRow_ >= project_.gridRows || selectedColumn_ >= project_.gridColumns)
            Deselect();
        EmitModified();
        emit changed();
    });
}

MachineDocument::~MachineDocument()
{
    // The stack empties itself when destroyed and says so; nobody must hear
    // that from a document half gone.
    undoStack_.disconnect(this);
    blockSignals(true);
}

void MachineDocument::SelectCell(int row, int column)
{
    selectedRow_ = row;
    selectedColumn_ = column;
    selectedItemId_ = row < 0 ? -1 : items_->IdAt(row, column);
    selectedExit_.clear();
    emit changed();
}

void MachineDocument::Deselect()
{
    selectedRow_ = -1;
    selectedColumn_ = -1;
    selectedItemId_ = -1;
    selectedExit_.clear();
    emit changed();
}

void MachineDocument::SetSelectedExit(std::string label)
{
    selectedExit_ = std::move(label);
    emit changed();
}

void MachineDocument::MarkModified()
{
    forcedModified_ = true;
    EmitModified();
}

void MachineDocument::EmitModified()
{
    const bool now = isModified();
    if (now != lastModified_) {
        lastModified_ = now;
        emit modifiedChanged(now);
    }
}

std::vector<MachineDocument::ItemRecord> MachineDocument::RecordsOf(const std::vector<std::int32_t>& ids) const
{
    std::vector<ItemRecord> records;
    records.reserve(ids.size());
    for (std::int32_t id : ids) {
        const TitcItem* item = items_->ItemById(id);
        records.push_back({id, item ? std::optional<std::string>(item->WriteRecord()) : std::nullopt});
    }
    return records;
}

void MachineDocument::PutRecords(const std::vector<ItemRecord>& records)
{
    for (const ItemRecord& r : records) {
        items_->TakeItem(r.id);
        if (!r.record)
            continue;
        const std::optional<std::int32_t> kind = KindOfRecord(*r.record);
        std::unique_ptr<TitcItem> item = kind ? CreateItem(*kind, measurer_) : nullptr;
        if (!item)
            continue;
        item->ReadRecord(*r.record);
        item->kind = item->KindNumber();
        items_->PutItem(std::move(item));
    }
}

void MachineDocument::ReplaceItems(const MachineText& text, int gridColumns, int gridRows)
{
    *items_ = TitcItemsList(text, messages_, measurer_);
    project_.gridColumns = gridColumns;
    project_.gridRows = gridRows;
}

MachineText MachineDocument::CurrentText() const
{
    MachineText text;
    items_->ForEachItem([&](const TitcItem& item) { text.push_back(item.WriteRecord()); });
    return text;
}

bool MachineDocument::RecordItemsEdit(const QString& name, const std::vector<std::int32_t>& ids, int mergeKey,
                                      const std::function<bool()>& edit)
{
    std::vector<ItemRecord> before = RecordsOf(ids);
    if (!edit())
        return false;
    std::vector<ItemRecord> after = RecordsOf(ids);
    const bool same = std::equal(before.begin(), before.end(), after.begin(), after.end(),
                                 [](const ItemRecord& a, const ItemRecord& b) { return a.record == b.record; });
    if (same) {
        emit changed();
        return true;
    }
    const std::int32_t itemId = ids.empty() ? 0 : ids.front();
    undoStack_.push(new ItemsStep(*this, name, mergeKey, itemId, std::move(before), std::move(after)));
    return true;
}

void MachineDocument::RecordMachineEdit(const QString& name, const std::function<void()>& edit)
{
    MachineStep::State before{CurrentText(), project_.gridColumns, project_.gridRows};
    edit();
    MachineStep::State after{CurrentText(), project_.gridColumns, project_.gridRows};
    undoStack_.push(new MachineStep(*this, name, std::move(before), std::move(after)));
}

bool MachineDocument::PlaceItem(std::int32_t kind, int row, int column)
{
    const std::int32_t id = items_->FirstFreeId();
    const std::vector<std::int32_t> ids = id > 0 ? std::vector<std::int32_t>{id} : std::vector<std::int32_t>{};
    return RecordItemsEdit(tr("Place Item"), ids, -1, [&] {
        return items_->AddItem(kind, column * kCellWidth + kCellWidth / 2, row * kCellHeight + kCellHeight / 2);
    });
}

bool MachineDocument::MoveItem(std::int32_t id, int row, int column)
{
    TitcItem* item = items_->ItemById(id);
    if (!item || row < 0 || column < 0 || row >= project_.gridRows || column >= project_.gridColumns
        || items_->IdAt(row, column) != -1)
        return false;
    return RecordItemsEdit(tr("Move Item"), {id}, -1, [&] {
        item->row = row;
        item->column = column;
        return true;
    });
}

void MachineDocument::SetConnection(std::int32_t id, const std::string& exitLabel, std::int32_t target)
{
    TitcItem* item = items_->ItemById(id);
    if (!item)
        return;
    RecordItemsEdit(target == 0 ? tr("Delete Connection") : tr("Connect"), {id}, -1, [&] {
        item->SetConnection(exitLabel, target, messages_);
        return true;
    });
}

void MachineDocument::DeleteItem(std::int32_t id)
{
    if (!items_->ItemById(id))
        return;
    // The item and every item whose connections lead to it.
    std::vector<std::int32_t> ids{id};
    items_->ForEachItem([&](const TitcItem& item) {
        if (item.id == id)
            return;
        const std::vector<std::int32_t> targets = item.ExitTargets();
        if (std::find(targets.begin(), targets.end(), id) != targets.end())
            ids.push_back(item.id);
    });
    RecordItemsEdit(tr("Delete Item"), ids, -1, [&] {
        items_->DeleteItem(id);
        return true;
    });
}

void MachineDocument::MakeEntryPoint(std::int32_t id)
{
    if (id == 1 || !items_->ItemById(id))
        return;
    RecordMachineEdit(tr("Mark Entry Point"), [&] { items_->MakeEntryPoint(id); });
}

void MachineDocument::InsertRowOrColumn(int row, int column, bool before, bool isRow)
{
    RecordMachineEdit(isRow ? tr("Insert Row") : tr("Insert Column"), [&] {
        items_->InsertRowOrColumn(row, column, before, isRow);
        if (isRow)
            ++project_.gridRows;
        else
            ++project_.gridColumns;
    });
}

bool MachineDocument::DeleteRowOrColumn(int row, int column, bool isRow)
{
    // A row or column beyond the grid (selected there by locating an item
    // that lies beyond it) is no part of the grid to delete.
    const int count = isRow ? project_.gridRows : project_.gridColumns;
    const int index = isRow ? row : column;
    if (index < 0 || index >= count)
        return false;
    // A refused delete changes nothing and leaves no step.
    const bool occupied = [&] {
        bool found = false;
        items_->ForEachItem([&](const TitcItem& item) {
            if (isRow ? item.row == row : item.column == column)
                found = true;
        });
        return found;
    }();
    if (occupied) {
        items_->DeleteRowOrColumn(row, column, isRow); // shows the refusal
        return false;
    }
    // The grid is the project's: without a row or a column no cell of any
    // machine could be selected to insert one again.
    if (count <= 1) {
        messages_.ShowError(isRow ? "The last row cannot be deleted." : "The last column cannot be deleted.");
        return false;
    }
    bool done = false;
    RecordMachineEdit(isRow ? tr("Delete Row") : tr("Delete Column"), [&] {
        done = items_->DeleteRowOrColumn(row, column, isRow);
        if (done) {
            if (isRow)
                --project_.gridRows;
            else
                --project_.gridColumns;
        }
    });
    return done;
}

void MachineDocument::EditItem(std::int32_t id, const QString& stepName, int mergeKey,
                               const std::function<void(TitcItem&)>& edit)
{
    TitcItem* item = items_->ItemById(id);
    if (!item)
        return;
    RecordItemsEdit(stepName, {id}, mergeKey, [&] {
        edit(*item);
        return true;
    });
}

bool MachineDocument::Save()
{
    project_.modified = true;
    const bool saved = items_->SaveToMachineText(project_.machineText(machine_));
    if (saved) {
        forcedModified_ = false;
        undoStack_.setClean();
    } else {
        forcedModified_ = true;
    }
    EmitModified();
    return saved;
}

bool MachineDocument::Export(const std::string& path)
{
    return items_->ExportToFile(path);
}

void MachineDocument::Import(const std::string& path)
{
    RecordMachineEdit(tr("Import"), [&] {
        try {
            items_->ImportFromFile(path);
        } catch (const DesignFileError& error) {
            messages_.ShowError(error.what());
        } catch (const MachineTextError& error) {
            messages_.ShowError(error.what());
        }
    });
    Deselect();
}

CheckResult MachineDocument::Check() const
{
    return CheckMachine(machine_, *items_);
}

} // namespace qvt
