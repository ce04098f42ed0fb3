#include "editor/machine_document.h"
#include "model/item_kinds.h"
#include "scripted_messages.h"

#include <gtest/gtest.h>

using namespace qvt;
using qvt::test::ScriptedMessages;

namespace {

// The grid belongs to the whole project: deleting its last row or column
// would leave no cell in any machine from which to insert one again, and a
// row or column beyond the grid is none of the grid's.
TEST(MachineDocumentGrid, DeleteRowOrColumnKeepsAGridToEditOn)
{
    struct Case {
        const char* name;
        int columns, rows;
        int row, column;
        bool isRow;
        bool deleted;
        const char* message; // empty: none
        bool item = false;   // a Process in row 0, column 5
    };
    const Case cases[] = {
        {"an empty row", 8, 25, 3, 0, true, true, "", true},
        {"the only row", 8, 1, 0, 0, true, false, "The last row cannot be deleted."},
        {"the only column", 1, 25, 0, 0, false, false, "The last column cannot be deleted."},
        {"a row beyond the grid", 8, 25, 30, 0, true, false, "", true},
        {"a column beyond the grid", 8, 25, 0, 9, false, false, ""},
        {"the only row, holding an item", 8, 1, 0, 5, true, false, "The row should be empty.", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectState project;
        project.newProject();
        project.gridColumns = c.columns;
        project.gridRows = c.rows;
        ScriptedMessages messages;
        std::unique_ptr<MachineDocument> document =
            MachineDocument::Open(project, MachineId::Online, messages, nullptr);
        ASSERT_TRUE(document);
        if (c.item) {
            ASSERT_TRUE(document->PlaceItem(KindProcess, 0, 5));
        }
        const MachineText before = document->CurrentText();
        const int steps = document->undoStack().count();

        EXPECT_EQ(document->DeleteRowOrColumn(c.row, c.column, c.isRow), c.deleted);
        const int shrink = c.deleted ? 1 : 0;
        EXPECT_EQ(project.gridRows, c.rows - (c.isRow ? shrink : 0));
        EXPECT_EQ(project.gridColumns, c.columns - (c.isRow ? 0 : shrink));
        EXPECT_EQ(document->undoStack().count(), steps + shrink);
        if (!c.deleted) {
            EXPECT_EQ(document->CurrentText(), before);
        }
        EXPECT_EQ(messages.errors(), *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    }
}

} // namespace
