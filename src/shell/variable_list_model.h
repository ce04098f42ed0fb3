#pragma once

#include "core/messages.h"
#include "core/project_state.h"

#include <QAbstractItemModel>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace qvt {

inline constexpr std::string_view kVariableListCaption = "Variable List";
inline constexpr std::string_view kDuplicateNameMessage
    = "Variable name '%s' is used for more than one variable.\r\nProgram can work wrong.";
inline constexpr std::string_view kIncorrectInitialValueMessage
    = "Initial value of variable '%s' is incorrect.\r\nAssumed 0 (zero).";

// A cell of the variable list holds one line of the project file. Everything
// from the first line feed on is dropped (with a carriage return right before
// it), as the value prompt does: a stored line break would split the line and
// the project would no longer open.
QString withoutLineBreak(const QString& text);

// True when the compiler reads `text` as the number it spells; otherwise it
// starts the variable at 0. Blanks around the number are allowed.
bool IsWholeNumberText(std::string_view text);
// Either "." or "," as the decimal separator (one of them), an optional sign
// and exponent, within the range of a 32-bit real.
bool IsRealNumberText(std::string_view text);

// The checks after Save, over entries 0..115 in index order: duplicate names
// (entry 0 "Constant" included), integer and real initial values that are not
// numbers (an empty one becomes "0"), initial values of the special variables
// (cleared). Unnamed entries are skipped. Every finding is an Error box; none
// stops the save.
void CheckVariableTable(VariableTable& table, Messages& messages);

// The variable list's working copy of the table: variables 1..115 grouped by
// type word ("string", "special", "integer", "float": descending), each group
// in index order. Only the Name and Initial Value columns are editable; texts
// are the project's 8-bit bytes, shown through the code page.
class VariableListModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { ColVariable, ColName, ColType, ColInitialValue, ColIndex, ColumnCount };
    enum Role {
        // bool: the Name cell holds a name another variable also has.
        DuplicateNameRole = Qt::UserRole + 1,
        // int: the variable's index on a variable row, 0 on a group row.
        VariableIndexRole,
    };

    explicit VariableListModel(const VariableTable& table, QObject* parent = nullptr);

    // Fills the working copy from `table` (the window's Load).
    void load(const VariableTable& table);

    // The changed test of Exit: any Name or Initial Value cell of 1..115
    // differs as text from the table.
    bool differsFrom(const VariableTable& table) const;
    // Save's step 3: names and initial values of 1..115 into `table`.
    void writeTo(VariableTable& table) const;

    const std::string& name(int variable) const { return names_[size_t(variable)]; }
    const std::string& initialValue(int variable) const { return values_[size_t(variable)]; }
    // Other variables (0..115) whose name equals that of `variable`; empty for
    // an unnamed variable.
    std::vector<int> namesakes(int variable) const;

    // The cell of `variable` (1..115) in `column`.
    QModelIndex indexOf(int variable, int column) const;
    int groupCount() const { return int(groups_.size()); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Group {
        std::string typeWord;
        std::vector<int> variables;
    };
    int variableAt(const QModelIndex& index) const;
    void recountNames();

    VariableTable table_;  // the slots (default names, type words) and entry 0
    std::array<std::string, kVariableCount> names_;
    std::array<std::string, kVariableCount> values_;
    std::vector<Group> groups_;
    std::array<int, kVariableCount> groupOf_{};
    std::array<int, kVariableCount> rowOf_{};
    std::array<bool, kVariableCount> duplicate_{};
};

// Save of the variable list: marks the project modified (whether or not
// anything changed), writes the working copy into the table and runs
// CheckVariableTable. The working copy is left as the user typed it.
void SaveVariableList(const VariableListModel& model, ProjectState& project, Messages& messages);

} // namespace qvt
