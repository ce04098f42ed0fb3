#pragma once

#include "core/messages.h"
#include "core/project_state.h"
#include "shell/variable_list_model.h"

#include <QDialog>
#include <QTreeView>

class QAction;
class QLineEdit;
class QSortFilterProxyModel;
class QToolBar;

namespace qvt {

// The grid of the variable list: a tree of type groups whose editable cells
// commit every keystroke, so the working copy is always what the user sees.
class VariableGrid : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;
    // Commits and closes the cell being edited, if any.
    void finishEditing();
};

// "Variable List": names and initial values of variables 1..115, edited in a
// working copy and written into the project only on Save (or Yes on Exit).
// The filter box above the grid shows the variables whose name or slot name
// contains its text, in their groups. A name that another variable also has
// is marked in its cell before anything is saved.
class TFDegisken : public QDialog {
    Q_OBJECT
public:
    TFDegisken(ProjectState& project, Messages& messages, QWidget* parent = nullptr);

    VariableListModel& model() { return model_; }
    // Rows (variables) the grid shows under the current filter.
    int visibleVariableCount() const;
    void setFilterText(const QString& text);

    void aSaklaExecute();
    void aCikExecute();

    QToolBar* ToolBar2 = nullptr;
    QAction* aSakla = nullptr;
    QAction* aCik = nullptr;
    QLineEdit* eFilter = nullptr;
    VariableGrid* cxGrid1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    ProjectState& project_;
    Messages& messages_;
    VariableListModel model_;
    QSortFilterProxyModel* filter_ = nullptr;
};

// Opens the variable list modally on `project` and returns when it closes.
void ShowVariableList(ProjectState& project, Messages& messages, QWidget* parent);

} // namespace qvt
