#pragma once

#include "core/project_state.h"
#include "model/item.h"
#include "shell/design_canvas.h"
#include "shell/design_window.h"

#include "scripted_messages.h"
#include "test_files.h"

#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace qvt::test {

// A design window on a new project, driven with the mouse in picture pixels
// whatever the view's zoom and scroll.
class DesignWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { project.newProject(); }

    TFTasarim& Open(MachineId machine = MachineId::Online, const ErrorList& errors = {})
    {
        window = TFTasarim::Create(project, machine, messages, dialogs, errors);
        EXPECT_TRUE(window);
        window->resize(1300, 900);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    QWidget* Viewport() { return window->canvas().viewport(); }
    // A picture point in the viewport.
    QPoint At(QPoint picturePoint) { return window->canvas().ToViewport(picturePoint); }
    // The middle of the box of a cell.
    static QPoint Cell(int row, int column) { return {column * kCellWidth + 110, row * kCellHeight + 110}; }
    void Press(QPoint picturePoint, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseMove(Viewport(), At(picturePoint));
        QTest::mousePress(Viewport(), button, {}, At(picturePoint));
    }
    void Release(QPoint picturePoint)
    {
        QTest::mouseMove(Viewport(), At(picturePoint));
        QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, At(picturePoint));
    }
    void Click(QPoint picturePoint)
    {
        Press(picturePoint);
        Release(picturePoint);
    }
    void Place(std::int32_t kind, int row, int column)
    {
        window->ChooseTool(kind);
        Click(Cell(row, column));
    }

    ProjectState project;
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    TempDir dir;
    std::unique_ptr<TFTasarim> window;
};

} // namespace qvt::test
