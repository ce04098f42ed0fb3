#pragma once

#include "core/display_list.h"
#include "core/display_painter.h"
#include "core/file_dialogs.h"
#include "core/messages.h"
#include "core/project_state.h"
#include "editor/machine_document.h"

#include <QColor>
#include <QDialog>

#include <memory>
#include <vector>

class QAction;
class QTabWidget;
class QTableWidget;
class QToolBar;
class QToolButton;

namespace qvt {

class ConnectionRouter;
class DesignCanvas;
class PropertyPanel;
class TextMeasurer;

// The window titles of the four machines.
QString DesignWindowTitle(MachineId machine);

// Whether the machine may hold items of `kind` (the tools it shows).
bool MachineAllowsKind(MachineId machine, std::int32_t kind);

// The design window of one machine: the tool pages, the picture, the property
// panel and the error list. It edits the machine through its document and
// writes it back into the project only on Save or on Yes to the save
// question. Shown modally by the main window.
class TFTasarim : public QDialog {
    Q_OBJECT

public:
    // Null after a message when the machine's text cannot be read.
    static std::unique_ptr<TFTasarim> Create(ProjectState& project, MachineId machine, Messages& messages,
                                             FileDialogs& dialogs, const ErrorList& errors = {},
                                             QWidget* parent = nullptr);
    ~TFTasarim() override;

    MachineDocument& document() { return *document_; }
    DesignCanvas& canvas() { return *canvas_; }
    PropertyPanel& panel() { return *panel_; }
    QTabWidget& toolPages() { return *toolPages_; }
    QTableWidget& errorList() { return *errorList_; }
    const DisplayList& picture() const { return picture_; }
    std::int32_t currentTool() const { return currentTool_; }
    int mouseZone() const { return mouseZone_; }

    // The tool button of `kind` (-1: the Select button of the first page),
    // null when the window has none.
    QToolButton* toolButton(std::int32_t kind) const;
    QAction* undoAction() const { return undoAction_; }
    QAction* redoAction() const { return redoAction_; }

    // Commands.
    void SaveCommand();
    void ExportCommand();
    void ImportCommand();
    void CompileCommand();
    void LocateError(int row);
    void ChooseTool(std::int32_t kind);

    // Edits of the pop-up menu, on the selected cell.
    void DeleteItemCommand();
    void DeleteConnectionCommand();
    void MarkEntryPointCommand();
    void InsertRowOrColumnCommand(bool before, bool isRow);
    void DeleteRowOrColumnCommand(bool isRow);

    // Selects the cell under the picture point, scrolls it into view and
    // shows it in the panel. True when the view did not have to scroll.
    bool SelectCellAt(QPoint picturePoint);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    TFTasarim(ProjectState& project, MachineId machine, Messages& messages, FileDialogs& dialogs,
              std::unique_ptr<MachineDocument> document, std::unique_ptr<PainterFontMetrics> metrics,
              std::unique_ptr<TextMeasurer> measurer, QWidget* parent);

    void BuildLayout();
    QToolBar* BuildToolPage(const QString& title, const std::vector<std::pair<const char*, std::int32_t>>& tools);
    void AddCommandButtons(QToolBar* bar);
    void FillErrorList(const ErrorList& errors);
    void RebuildPicture();
    // Edits made while a Batch lives rebuild the picture once, at its end.
    class Batch {
    public:
        explicit Batch(TFTasarim& window);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        TFTasarim& window_;
    };
    void PictureChanged();
    // The answer to the save question; false when the window must stay.
    bool SaveQuestion();

    void OnMouseMoved(QPoint p);
    void OnMousePressed(QPoint p, Qt::MouseButton button);
    void HandlePress(QPoint p);
    void OnMouseReleased(QPoint p, Qt::MouseButton button);
    void HandleRelease(QPoint p);
    void OnDoubleClicked(QPoint p);
    void ShowContextMenu(QPoint picturePoint);
    void UpdateTitle();

    ProjectState& project_;
    MachineId machine_;
    Messages& messages_;
    FileDialogs& dialogs_;
    std::unique_ptr<PainterFontMetrics> metrics_;
    std::unique_ptr<TextMeasurer> measurer_;
    std::unique_ptr<MachineDocument> document_;
    std::unique_ptr<ConnectionRouter> router_;
    DisplayList picture_;

    QTabWidget* toolPages_ = nullptr;
    DesignCanvas* canvas_ = nullptr;
    PropertyPanel* panel_ = nullptr;
    QTableWidget* errorList_ = nullptr;
    std::vector<std::pair<std::int32_t, QToolButton*>> toolButtons_;
    std::vector<QToolButton*> selectButtons_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    ErrorList errors_;

    std::int32_t currentTool_ = -1;
    int mouseZone_ = 0;
    QColor pixelUnderMouse_; // of the picture, at the last mouse movement
    bool dragArmed_ = false;
    QPoint mousePoint_;
    int batchDepth_ = 0;
    bool pictureStale_ = false;
};

} // namespace qvt
