#pragma once

#include "compiler/compile_driver.h"
#include "core/project_state.h"
#include "model/items_list.h"

#include <QObject>
#include <QUndoStack>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qvt {

class Messages;
class TextMeasurer;

// One machine open for editing: its items list, the selection, and every edit
// as a step on the document's undo stack. Windows never change the items list
// themselves; they call the document, which carries out the edit, records it
// and says `changed()` so that the picture is built again.
//
// The design counts as modified while the undo stack is away from its clean
// state (the last save), or after an edit that changed nothing but counts as
// one (a drag from an item's body onto another item, an answered Delete key).
class MachineDocument : public QObject {
    Q_OBJECT

public:
    // Reads the machine's text from the project. Returns null after showing
    // why when the text cannot be read (an id outside 1..1000); opening such a
    // machine would offer to save a truncated copy over it.
    static std::unique_ptr<MachineDocument> Open(ProjectState& project, MachineId machine, Messages& messages,
                                                 const TextMeasurer* measurer);
    ~MachineDocument() override;

    MachineId machine() const { return machine_; }
    ProjectState& project() { return project_; }
    const ProjectState& project() const { return project_; }
    int gridColumns() const { return project_.gridColumns; }
    int gridRows() const { return project_.gridRows; }
    TitcItemsList& items() { return *items_; }
    const TitcItemsList& items() const { return *items_; }
    Messages& messages() { return messages_; }
    QUndoStack& undoStack() { return undoStack_; }

    // Selection. The selected cell (row -1: none), the id of the item in it
    // (-1: empty or none) and the selected exit of that item (empty: none).
    int selectedRow() const { return selectedRow_; }
    int selectedColumn() const { return selectedColumn_; }
    std::int32_t selectedItemId() const { return selectedItemId_; }
    const std::string& selectedExit() const { return selectedExit_; }
    void SelectCell(int row, int column);
    void Deselect();
    void SetSelectedExit(std::string label);

    bool isModified() const { return forcedModified_ || !undoStack_.isClean(); }
    // Counts the design as modified without an edit to undo.
    void MarkModified();

    // Edits. Each one that changes the machine is one undo step named after
    // it ("Place Item", "Move Item", ...). Refusals come from the items list
    // with its own messages and leave no step.
    bool PlaceItem(std::int32_t kind, int row, int column);
    bool MoveItem(std::int32_t id, int row, int column);
    // `target` 0 deletes the connection.
    void SetConnection(std::int32_t id, const std::string& exitLabel, std::int32_t target);
    void DeleteItem(std::int32_t id);
    void MakeEntryPoint(std::int32_t id);
    void InsertRowOrColumn(int row, int column, bool before, bool isRow);
    // Refuses, changing nothing, a row or column that holds an item (the
    // items list's message), the grid's last row or column (a message), and
    // one beyond the grid (silently).
    bool DeleteRowOrColumn(int row, int column, bool isRow);
    // Changes fields of item `id` through `edit`. Successive changes with the
    // same non-negative `mergeKey` on the same item merge into one step, so
    // typing in one box of the property panel undoes as one.
    void EditItem(std::int32_t id, const QString& stepName, int mergeKey, const std::function<void(TitcItem&)>& edit);

    // Window commands.
    // Writes the items into the project's machine text and marks the project
    // modified. False (design still modified) when the items cannot be stored.
    bool Save();
    bool Export(const std::string& path);
    // Empties the design and reads a design file into it (one undo step, also
    // when the file turns out not to be a design file and the design stays
    // empty).
    void Import(const std::string& path);
    // Checks the design on the screen as this machine alone.
    CheckResult Check() const;

    // The machine text of the items as they are now (no messages).
    MachineText CurrentText() const;

signals:
    // The items, the grid or the selection changed: build the picture again.
    void changed();
    void modifiedChanged(bool modified);

private:
    MachineDocument(ProjectState& project, MachineId machine, Messages& messages, const TextMeasurer* measurer,
                    TitcItemsList items);

    friend class ItemsStep;
    friend class MachineStep;

    struct ItemRecord {
        std::int32_t id = 0;
        std::optional<std::string> record;
    };
    std::vector<ItemRecord> RecordsOf(const std::vector<std::int32_t>& ids) const;
    void PutRecords(const std::vector<ItemRecord>& records);
    void ReplaceItems(const MachineText& text, int gridColumns, int gridRows);
    // Records the change of `ids` made by `edit` as one step; no step when
    // nothing changed.
    bool RecordItemsEdit(const QString& name, const std::vector<std::int32_t>& ids, int mergeKey,
                         const std::function<bool()>& edit);
    void RecordMachineEdit(const QString& name, const std::function<void()>& edit);
    void EmitModified();

    ProjectState& project_;
    MachineId machine_;
    Messages& messages_;
    const TextMeasurer* measurer_;
    std::unique_ptr<TitcItemsList> items_;
    QUndoStack undoStack_;

    int selectedRow_ = -1;
    int selectedColumn_ = -1;
    std::int32_t selectedItemId_ = -1;
    std::string selectedExit_;
    bool forcedModified_ = false;
    bool lastModified_ = false;
};

} // namespace qvt
