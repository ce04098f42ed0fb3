#include "shell/design_window.h"

#include "design_window_driver.h"

#include "editor/machine_picture.h"
#include "model/item_kinds.h"
#include "shell/design_canvas.h"
#include "shell/property_panel.h"

#include "scripted_messages.h"
#include "test_files.h"

#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

class DesignWindowTest : public DesignWindowFixture {
protected:
    // Whether the picture holds a text primitive with these bytes.
    bool PictureShows(std::string_view text) const
    {
        const DisplayList& picture = window->picture();
        for (const Primitive& p : picture.Primitives())
            if (p.kind == Primitive::Kind::Text && picture.TextOf(p) == text)
                return true;
        return false;
    }
};

TEST_F(DesignWindowTest, OpensWithTitleToolsAndSelection)
{
    struct Row {
        MachineId machine;
        const char* title;
        std::vector<std::int32_t> hidden;
    };
    const Row rows[] = {
        {MachineId::Online, "Online State Machine", {KindTmrReturn}},
        {MachineId::Offline, "Offline State Machine", {KindSync, KindTmrReturn}},
        {MachineId::OnlineTimer, "Online/Timer State Machine", {KindInput, KindReadKey, KindSync}},
        {MachineId::OfflineTimer, "Offline/Timer State Machine", {KindInput, KindReadKey, KindSync}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        TFTasarim& w = Open(row.machine);
        EXPECT_EQ(w.windowTitle().toStdString(), row.title);
        for (std::int32_t kind : kItemKinds) {
            const bool hidden = std::find(row.hidden.begin(), row.hidden.end(), kind) != row.hidden.end();
            QToolButton* button = w.toolButton(kind);
            ASSERT_TRUE(button) << kind;
            EXPECT_EQ(button->defaultAction()->isVisible(), !hidden) << kind;
        }
        EXPECT_EQ(w.toolPages().currentIndex(), 0);
        EXPECT_EQ(w.toolPages().count(), 4);
        EXPECT_EQ(w.toolPages().tabText(3), "Exp/Imp");
        EXPECT_FALSE(w.errorList().isVisible());
        EXPECT_FALSE(w.panel().isVisible());
        EXPECT_EQ(w.document().selectedRow(), 0);
        EXPECT_EQ(w.document().selectedColumn(), 0);
        EXPECT_EQ(w.picture().width, 1595);
        EXPECT_EQ(w.picture().height, 5035);
        window->close();
    }
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

TEST_F(DesignWindowTest, PlacingWithAToolOnlyInAnEmptyCell)
{
    TFTasarim& w = Open(MachineId::Online);
    w.ChooseTool(KindInput);
    Click(QPoint(20, 300)); // a channel
    EXPECT_EQ(w.document().items().Count(), 0);
    EXPECT_EQ(w.currentTool(), KindInput);

    Click(Cell(1, 1));
    ASSERT_EQ(w.document().items().Count(), 1);
    EXPECT_EQ(w.document().items().IdAt(1, 1), 1);
    EXPECT_EQ(w.currentTool(), -1);
    EXPECT_EQ(w.document().selectedItemId(), 1);
    EXPECT_TRUE(PictureShows("Input (0) Start"));

    // On an item, a placing tool does nothing.
    w.ChooseTool(KindProcess);
    Click(Cell(1, 1));
    EXPECT_EQ(w.document().items().Count(), 1);
    EXPECT_EQ(w.currentTool(), KindProcess);
}

TEST_F(DesignWindowTest, DraggingMovesAndConnects)
{
    TFTasarim& w = Open(MachineId::Online);
    Place(KindInput, 0, 0);
    Place(KindProcess, 2, 3);
    const MachineText placed = w.document().CurrentText();

    // Onto its own cell, a channel or outside the grid: nothing changes.
    Press(Cell(0, 0));
    Release(Cell(0, 0) + QPoint(20, 20));
    Press(Cell(0, 0));
    Release(QPoint(10, 10));
    EXPECT_EQ(w.document().CurrentText(), placed);

    // The body onto an empty cell moves the item.
    Press(Cell(0, 0));
    Release(Cell(1, 2));
    EXPECT_EQ(w.document().items().IdAt(1, 2), 1);
    EXPECT_EQ(w.document().selectedRow(), 1);

    // The "OK" label onto another item connects it (OK spans 1..53 of the bottom strip).
    const QPoint ok(2 * kCellWidth + 36 + 20, 1 * kCellHeight + 192);
    Press(ok);
    EXPECT_EQ(w.document().selectedExit(), "OK");
    Release(Cell(2, 3));
    const auto& input = static_cast<const TItcInputMenu&>(*w.document().items().ItemById(1));
    EXPECT_EQ(input.okTarget, 2);
    EXPECT_TRUE(w.document().isModified());

    // Undo names the last step, on every tool page.
    EXPECT_EQ(w.undoAction()->text(), "Undo Connect");
    for (int page = 0; page < w.toolPages().count(); ++page)
        EXPECT_TRUE(w.toolPages().widget(page)->actions().contains(w.undoAction())) << page;
    w.undoAction()->trigger();
    EXPECT_EQ(w.undoAction()->text(), "Undo Move Item");
    EXPECT_EQ(w.redoAction()->text(), "Redo Connect");

    // Every step undoes back to the placed machine.
    while (w.document().undoStack().canUndo() && w.document().undoStack().index() > 2)
        w.document().undoStack().undo();
    EXPECT_EQ(w.document().CurrentText(), placed);
}

TEST_F(DesignWindowTest, DeleteKeyAndTheEntryItem)
{
    TFTasarim& w = Open(MachineId::Online);
    Place(KindInput, 0, 0);
    Place(KindProcess, 0, 1);

    Click(Cell(0, 0));
    QTest::keyClick(&w.canvas(), Qt::Key_Delete);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "UYARI");
    EXPECT_EQ(w.document().items().Count(), 2);

    Click(Cell(0, 1));
    messages.answers = {AnswerNo, AnswerYes};
    QTest::keyClick(&w.canvas(), Qt::Key_Delete);
    EXPECT_EQ(w.document().items().Count(), 2);
    QTest::keyClick(&w.canvas(), Qt::Key_Delete);
    EXPECT_EQ(w.document().items().Count(), 1);
    EXPECT_EQ(messages.shown.back().message, "Delete the item?");
}

TEST_F(DesignWindowTest, ArrowKeysMoveTheSelectionWithinTheGrid)
{
    TFTasarim& w = Open(MachineId::Online);
    w.document().Deselect();
    QTest::keyClick(&w.canvas(), Qt::Key_Right);
    EXPECT_EQ(std::pair(w.document().selectedRow(), w.document().selectedColumn()), std::pair(0, 0));
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(&w.canvas(), Qt::Key_Right);
    EXPECT_EQ(w.document().selectedColumn(), 7);
    QTest::keyClick(&w.canvas(), Qt::Key_Down);
    QTest::keyClick(&w.canvas(), Qt::Key_Left);
    EXPECT_EQ(std::pair(w.document().selectedRow(), w.document().selectedColumn()), std::pair(1, 6));
    QTest::keyClick(&w.canvas(), Qt::Key_Up);
    QTest::keyClick(&w.canvas(), Qt::Key_Up);
    EXPECT_EQ(w.document().selectedRow(), 0);
}

TEST_F(DesignWindowTest, RowsAndColumns)
{
    TFTasarim& w = Open(MachineId::Online);
    Place(KindInput, 3, 1);
    Click(Cell(3, 1));
    w.InsertRowOrColumnCommand(true, true); // Insert Row To Up
    EXPECT_EQ(project.gridRows, 26);
    EXPECT_EQ(w.document().items().IdAt(4, 1), 1);
    EXPECT_EQ(w.document().selectedRow(), 4);
    EXPECT_EQ(w.picture().height, 26 * 200 + 35);

    w.DeleteRowOrColumnCommand(true); // the row holds the item
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"The row should be empty."});
    EXPECT_EQ(project.gridRows, 26);

    w.document().undoStack().undo();
    EXPECT_EQ(project.gridRows, 25);
    EXPECT_EQ(w.document().items().IdAt(3, 1), 1);
}

TEST_F(DesignWindowTest, ClosingAsksOnlyAfterAnEdit)
{
    // No edit: nothing asked.
    Open(MachineId::Online).close();
    EXPECT_TRUE(messages.shown.empty());

    // Cancel keeps the window with the edit; No discards it.
    TFTasarim& w = Open(MachineId::Online);
    Place(KindInput, 0, 0);
    messages.answers = {AnswerCancel};
    w.close();
    EXPECT_TRUE(w.isVisible());
    messages.answers = {AnswerNo};
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(project.machineText(MachineId::Online).empty());
    EXPECT_FALSE(project.modified);

    // Yes saves into the project.
    TFTasarim& again = Open(MachineId::Online);
    Place(KindInput, 0, 0);
    messages.answers = {AnswerYes};
    again.close();
    EXPECT_EQ(project.machineText(MachineId::Online).size(), 1u);
    EXPECT_TRUE(project.modified);

    // Save, then close: nothing asked.
    messages.shown.clear();
    TFTasarim& third = Open(MachineId::Online);
    Place(KindProcess, 0, 1);
    third.SaveCommand();
    third.close();
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    EXPECT_EQ(project.machineText(MachineId::Online).size(), 2u);

    // Undoing back to the saved state leaves nothing to ask.
    TFTasarim& fourth = Open(MachineId::Online);
    Place(KindProcess, 0, 2);
    fourth.document().undoStack().undo();
    fourth.close();
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

TEST_F(DesignWindowTest, CompileListsAndLocatesErrors)
{
    TFTasarim& w = Open(MachineId::Online);
    Place(KindInput, 0, 0);
    Place(KindInput, 20, 6);
    w.CompileCommand();
    ASSERT_TRUE(w.errorList().isVisible());
    int targetRow = -1;
    for (int r = 0; r < w.errorList().rowCount(); ++r) {
        EXPECT_EQ(w.errorList().item(r, 0)->text(), QString::number(r + 1));
        if (w.errorList().item(r, 1)->text() == "Target must be selected" && targetRow < 0)
            targetRow = r;
    }
    ASSERT_GE(targetRow, 0);
    // The last "Target" error is item 2's, far down the picture.
    for (int r = w.errorList().rowCount() - 1; r >= 0; --r)
        if (w.errorList().item(r, 1)->text() == "Target must be selected") {
            targetRow = r;
            break;
        }
    w.errorList().scrollToItem(w.errorList().item(targetRow, 0));
    w.LocateError(targetRow);
    EXPECT_EQ(w.document().selectedItemId(), 2);
    EXPECT_GT(w.canvas().verticalScrollBar()->value(), 0);

    // A correct machine hides the list.
    w.document().DeleteItem(2);
    w.document().DeleteItem(1);
    w.CompileCommand();
    EXPECT_FALSE(w.errorList().isVisible());
}

TEST_F(DesignWindowTest, ErrorsOfTheMainWindowsCompileShowOnOpening)
{
    ErrorList errors;
    errors.AddError(1, ErrTargetNotSelected);
    TFTasarim& w = Open(MachineId::OnlineTimer, errors);
    EXPECT_TRUE(w.errorList().isVisible());
    EXPECT_EQ(w.errorList().rowCount(), 1);
}

TEST_F(DesignWindowTest, ExportAndImport)
{
    TFTasarim& w = Open(MachineId::Online);
    Place(KindInput, 0, 0);
    Place(KindProcess, 1, 1);
    const MachineText placed = w.document().CurrentText();
    const std::string path = dir.path("machine.zmkexp");
    dialogs.paths = {path};
    w.ExportCommand();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, "Design FileName");
    EXPECT_EQ(dialogs.requests[0].defaultExtension, "zmkexp");
    EXPECT_EQ(readFile(path).substr(0, 6), "V100\r\n");

    // Import asks to save first; No goes on; the file replaces the design.
    w.document().DeleteItem(2);
    messages.answers = {AnswerNo};
    dialogs.paths = {path};
    w.ImportCommand();
    EXPECT_EQ(dialogs.requests.back().title, "Select the design file...");
    EXPECT_EQ(w.document().CurrentText(), placed);
    EXPECT_TRUE(w.document().isModified());

    // A file of another format empties the design; undo gives it back.
    const std::string wrong = dir.path("wrong.zmkexp");
    writeFile(wrong, "V999\r\n");
    messages.answers = {AnswerNo};
    dialogs.paths = {wrong};
    w.ImportCommand();
    EXPECT_EQ(w.document().items().Count(), 0);
    EXPECT_EQ(messages.errors().back(), "Incorrect version or file format.");
    w.undoAction()->trigger();
    EXPECT_EQ(w.document().CurrentText(), placed);
}

TEST_F(DesignWindowTest, ZoomKeepsHitTestingRight)
{
    TFTasarim& w = Open(MachineId::Online);
    for (double zoom : {0.25, 0.5, 2.0, 4.0}) {
        SCOPED_TRACE(zoom);
        w.canvas().SetZoom(zoom);
        w.canvas().ScrollToCell(2, 3);
        Click(Cell(2, 3));
        EXPECT_EQ(std::pair(w.document().selectedRow(), w.document().selectedColumn()), std::pair(2, 3));
    }
    w.canvas().SetZoom(1.0);
    EXPECT_EQ(w.picture().width, 1595); // the picture itself does not scale
    QTest::keyClick(&w, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(w.canvas().zoom(), 1.25);
    QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(w.canvas().zoom(), 1.0);
}

} // namespace
