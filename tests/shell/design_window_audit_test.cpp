#include "shell/design_window.h"

#include "editor/machine_picture.h"
#include "model/item_kinds.h"
#include "shell/design_canvas.h"
#include "shell/property_panel.h"

#include "design_window_driver.h"
#include "scripted_messages.h"

#include <QAction>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

using namespace qvt;
using namespace qvt::test;

namespace {

class DesignWindowAuditTest : public DesignWindowFixture {
protected:
    std::pair<int, int> Selected() const
    {
        return {window->document().selectedRow(), window->document().selectedColumn()};
    }
    // Whether the Select button of each of the three item pages shows pressed.
    std::vector<bool> SelectButtonsPressed() const
    {
        std::vector<bool> out;
        for (int page = 0; page < 3; ++page)
            for (QAction* action : window->toolPages().widget(page)->actions())
                if (action->objectName() == "Select")
                    out.push_back(action->isChecked());
        return out;
    }
};

TEST_F(DesignWindowAuditTest, EveryPagesSelectButtonShowsPressedWhileSelectIsTheTool)
{
    TFTasarim& w = Open();
    const std::vector<bool> allPressed{true, true, true};
    EXPECT_EQ(SelectButtonsPressed(), allPressed);

    // A tool of the first page releases that page's Select only.
    w.toolButton(KindInput)->click();
    EXPECT_EQ(w.currentTool(), KindInput);
    EXPECT_TRUE(w.toolButton(KindInput)->isChecked());
    EXPECT_EQ(SelectButtonsPressed(), (std::vector<bool>{false, true, true}));

    // Another page puts Select back on every page.
    w.toolPages().setCurrentIndex(1);
    EXPECT_EQ(w.currentTool(), -1);
    EXPECT_FALSE(w.toolButton(KindInput)->isChecked());
    EXPECT_EQ(SelectButtonsPressed(), allPressed);

    // So does placing an item.
    w.toolButton(KindStrCopy)->click();
    Click(Cell(0, 1));
    EXPECT_EQ(w.currentTool(), -1);
    EXPECT_FALSE(w.toolButton(KindStrCopy)->isChecked());
    EXPECT_EQ(SelectButtonsPressed(), allPressed);
}

// Zoomed out, the picture covers only part of the view. What lies beside it
// is no cell: a press there must not select a cell beyond the grid, which
// the arrow keys and Delete Column would then act on.
TEST_F(DesignWindowAuditTest, PressesBesideThePictureSelectNothing)
{
    project.gridRows = 5;
    TFTasarim& w = Open();
    Place(KindInput, 0, 7);
    w.canvas().SetZoom(0.25);
    w.canvas().horizontalScrollBar()->setValue(0);
    w.canvas().verticalScrollBar()->setValue(0);
    Click(Cell(1, 2));
    ASSERT_EQ(Selected(), std::pair(1, 2));

    const QPoint beside(8 * kCellWidth + 110, 110); // right of the last column
    const QPoint below(110, 5 * kCellHeight + 110); // below the last row
    for (QPoint p : {beside, below}) {
        SCOPED_TRACE(p.x());
        ASSERT_LT(At(p).x(), Viewport()->width());
        ASSERT_LT(At(p).y(), Viewport()->height());
        QTest::mouseMove(Viewport(), At(p));
        EXPECT_EQ(w.mouseZone(), 0);
        Click(p);
        EXPECT_EQ(Selected(), std::pair(1, 2));
        QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, At(p));
        EXPECT_FALSE(w.panel().isVisible());
    }

    // With a placing tool nothing is placed there either.
    w.ChooseTool(KindProcess);
    Click(beside);
    EXPECT_EQ(w.document().items().Count(), 1);
    EXPECT_EQ(project.gridColumns, 8);
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

// A click shows the selected cell in a visible panel; a click in a channel
// leaves no cell selected, so the panel no longer offers the item that was.
TEST_F(DesignWindowAuditTest, ClickInAChannelEmptiesTheVisiblePanel)
{
    TFTasarim& w = Open();
    Place(KindInput, 1, 1);
    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, At(Cell(1, 1)));
    ASSERT_TRUE(w.panel().isVisible());
    ASSERT_EQ(w.panel().shownItemId(), 1);

    Click(QPoint(kCellWidth + 20, kCellHeight + 110)); // the channel left of the item
    EXPECT_EQ(Selected().first, -1);
    EXPECT_EQ(w.panel().shownItemId(), -1);

    Click(Cell(1, 1));
    EXPECT_EQ(w.panel().shownItemId(), 1);
}

// The keys of the picture (Delete, arrows) belong to the picture; a control
// that has the focus keeps them.
TEST_F(DesignWindowAuditTest, KeysReachTheSelectionOnlyFromThePicture)
{
    TFTasarim& w = Open();
    EXPECT_EQ(w.focusWidget(), &w.canvas()) << "the picture has the focus when the window opens";
    QTest::keyClick(w.focusWidget(), Qt::Key_Down);
    EXPECT_EQ(Selected(), std::pair(1, 0));

    Place(KindInput, 1, 0);
    w.SaveCommand();
    w.CompileCommand(); // an Input without target: the error list shows
    ASSERT_TRUE(w.errorList().isVisible());

    struct Case {
        const char* name;
        QWidget* control;
        Qt::Key key;
    };
    const Case cases[] = {
        {"Delete in the error list", &w.errorList(), Qt::Key_Delete},
        {"Down on the tool pages' tabs", w.toolPages().tabBar(), Qt::Key_Down},
        {"Up on the tool pages' tabs", w.toolPages().tabBar(), Qt::Key_Up},
        {"Escape in the error list (the window stays)", &w.errorList(), Qt::Key_Escape},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.control->setFocus();
        QTest::keyClick(c.control, c.key);
        EXPECT_EQ(Selected(), std::pair(1, 0));
        EXPECT_EQ(w.document().items().Count(), 1);
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(w.document().isModified());
        EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    }

    // Back on the picture, Delete asks again.
    w.canvas().setFocus();
    messages.answers = {AnswerNo};
    QTest::keyClick(&w.canvas(), Qt::Key_Delete);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].message, "Delete the item?");
}

// A command the user confirmed, or one the grid refused, counts as an edit
// even when the machine comes out the same, as the Delete key and a drag
// from an item's body onto another item do.
TEST_F(DesignWindowAuditTest, ConfirmedOrRefusedCommandsCountAsEdits)
{
    struct Case {
        const char* name;
        std::function<void(TFTasarim&)> command;
        std::deque<int> answers;
        bool modified;
    };
    const QPoint okLabel(36 + 20, 192); // "OK" of the item in row 0, column 0
    const Case cases[] = {
        {"Delete Row refused: the row holds an item", [](TFTasarim& w) { w.DeleteRowOrColumnCommand(true); }, {}, true},
        {"Delete Column refused", [](TFTasarim& w) { w.DeleteRowOrColumnCommand(false); }, {}, true},
        {"Delete Connection of an unconnected exit, Yes",
         [&](TFTasarim& w) {
             Click(okLabel);
             ASSERT_EQ(w.document().selectedExit(), "OK");
             w.DeleteConnectionCommand();
         },
         {AnswerYes},
         true},
        {"Delete Connection, No",
         [&](TFTasarim& w) {
             Click(okLabel);
             w.DeleteConnectionCommand();
         },
         {AnswerNo},
         false},
        {"Delete Item, No", [](TFTasarim& w) { w.DeleteItemCommand(); }, {AnswerNo}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        project.newProject();
        messages.shown.clear();
        TFTasarim& w = Open();
        Place(KindInput, 0, 0);
        w.SaveCommand();
        ASSERT_FALSE(w.document().isModified());
        Click(Cell(0, 0));
        messages.answers = c.answers;
        c.command(w);
        EXPECT_EQ(w.document().isModified(), c.modified);
        EXPECT_EQ(w.document().items().Count(), 1);
        EXPECT_EQ(project.gridRows, 25);
        EXPECT_EQ(project.gridColumns, 8);
        EXPECT_TRUE(messages.answers.empty());
        // Closing asks to save exactly when the design counts as modified.
        if (c.modified)
            messages.answers = {AnswerNo};
        window->close();
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(messages.answers.empty());
    }
}

// Inserting a row above the last row or a column left of the last column
// moves the selection into the row or column the picture only has from now
// on; it must still scroll fully into view.
TEST_F(DesignWindowAuditTest, SelectionMovedByAnInsertScrollsIntoTheGrownPicture)
{
    TFTasarim& w = Open();
    w.SelectCellAt(QPoint(7 * kCellWidth + 100, 24 * kCellHeight + 100));
    ASSERT_EQ(Selected(), std::pair(24, 7));
    QScrollBar& v = *w.canvas().verticalScrollBar();
    QScrollBar& h = *w.canvas().horizontalScrollBar();

    w.InsertRowOrColumnCommand(true, true); // Insert Row To Up
    ASSERT_EQ(Selected(), std::pair(25, 7));
    EXPECT_GE(v.value() + Viewport()->height(), 26 * kCellHeight);

    w.InsertRowOrColumnCommand(true, false); // Insert Column To Left
    ASSERT_EQ(Selected(), std::pair(25, 8));
    EXPECT_GE(h.value() + Viewport()->width(), 9 * kCellWidth);
}

} // namespace
