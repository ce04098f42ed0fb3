#include "editor/machine_document.h"
#include "model/item_kinds.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qvt;
using qvt::test::ScriptedMessages;

namespace {

struct Snapshot {
    MachineText text;
    int columns = 0;
    int rows = 0;
    bool operator==(const Snapshot&) const = default;
};

class MachineDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        project.newProject();
        document = MachineDocument::Open(project, MachineId::Online, messages, nullptr);
        ASSERT_TRUE(document);
    }
    Snapshot Now() const { return {document->CurrentText(), project.gridColumns, project.gridRows}; }

    ProjectState project;
    ScriptedMessages messages;
    test::TempDir temp;
    std::unique_ptr<MachineDocument> document;
};

// Every kind of edit, one after another; each is then undone and redone, and
// the machine must read exactly as it did before and after that edit.
TEST_F(MachineDocumentTest, EveryEditUndoesAndRedoesToTheSameMachine)
{
    MachineDocument& doc = *document;
    const std::string importPath = temp.path("undo.zmkexp");

    struct Step {
        const char* name;
        std::function<void()> edit;
    };
    const std::vector<Step> steps = {
        {"Place Item", [&] { ASSERT_TRUE(doc.PlaceItem(KindInput, 0, 0)); }},
        {"Place Item", [&] { ASSERT_TRUE(doc.PlaceItem(KindProcess, 1, 2)); }},
        {"Place Item", [&] { ASSERT_TRUE(doc.PlaceItem(KindNumCmp, 3, 1)); }},
        {"Connect", [&] { doc.SetConnection(1, "OK", 2); }},
        {"Connect", [&] { doc.SetConnection(2, "Next", 3); }},
        {"Move Item", [&] { ASSERT_TRUE(doc.MoveItem(2, 2, 4)); }},
        {"Edit", [&] {
             doc.EditItem(2, "Edit", -1, [](TitcItem& item) { static_cast<TItcProcess&>(item).operation = 1; });
         }},
        {"Delete Connection", [&] { doc.SetConnection(2, "Next", 0); }},
        {"Mark Entry Point", [&] { doc.MakeEntryPoint(3); }},
        {"Insert Row", [&] { doc.InsertRowOrColumn(1, 0, true, true); }},
        {"Insert Column", [&] { doc.InsertRowOrColumn(0, 0, false, false); }},
        {"Delete Row", [&] { ASSERT_TRUE(doc.DeleteRowOrColumn(1, 0, true)); }},
        {"Delete Column", [&] { ASSERT_TRUE(doc.DeleteRowOrColumn(0, 3, false)); }},
        {"Delete Item", [&] { doc.DeleteItem(2); }},
        {"Import", [&] {
             // The design file holds one item; importing replaces the machine.
             test::writeFile(importPath, "V100\r\n" + doc.items().ItemById(1)->WriteRecord() + "\r\n");
             doc.Import(importPath);
         }},
    };

    std::vector<Snapshot> states{Now()};
    for (const Step& step : steps) {
        const int before = doc.undoStack().count();
        step.edit();
        ASSERT_EQ(doc.undoStack().count(), before + 1) << step.name;
        states.push_back(Now());
        ASSERT_NE(states.back(), states[states.size() - 2]) << step.name;
    }
    for (std::size_t i = steps.size(); i-- > 0;) {
        doc.undoStack().undo();
        EXPECT_EQ(Now(), states[i]) << "undo " << steps[i].name;
        doc.undoStack().redo();
        EXPECT_EQ(Now(), states[i + 1]) << "redo " << steps[i].name;
        doc.undoStack().undo();
    }
    EXPECT_EQ(Now(), states.front());
    EXPECT_TRUE(messages.errors().empty()) << messages.transcript();
}

TEST_F(MachineDocumentTest, UndoBackToTheSavedStateLeavesNothingModified)
{
    EXPECT_FALSE(document->isModified());
    document->PlaceItem(KindInput, 0, 0);
    EXPECT_TRUE(document->isModified());
    ASSERT_TRUE(document->Save());
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(project.machineText(MachineId::Online).size(), 1u);

    document->PlaceItem(KindInput, 0, 1);
    EXPECT_TRUE(document->isModified());
    document->undoStack().undo();
    EXPECT_FALSE(document->isModified());
    document->undoStack().undo();
    EXPECT_TRUE(document->isModified());
}

TEST_F(MachineDocumentTest, RefusedEditsLeaveNoStep)
{
    document->PlaceItem(KindInput, 0, 0);
    const int steps = document->undoStack().count();

    messages.answers.clear();
    EXPECT_FALSE(document->PlaceItem(KindInput, 0, 0)); // cell is full
    EXPECT_FALSE(document->MoveItem(1, 0, 0));          // onto itself
    EXPECT_FALSE(document->MoveItem(1, 99, 0));         // outside the grid
    EXPECT_FALSE(document->DeleteRowOrColumn(0, 0, true));
    EXPECT_EQ(document->undoStack().count(), steps);
    EXPECT_EQ(project.gridRows, 25);
    EXPECT_EQ(messages.errors().size(), 2u) << messages.transcript();
}

TEST_F(MachineDocumentTest, TypingInOneBoxMergesIntoOneStep)
{
    document->PlaceItem(KindProcess, 0, 0);
    const MachineText placed = document->CurrentText();
    for (int op = 1; op <= 3; ++op)
        document->EditItem(1, "Operation", 7, [op](TitcItem& item) { static_cast<TItcProcess&>(item).operation = op; });
    EXPECT_EQ(document->undoStack().count(), 2);
    document->undoStack().undo();
    EXPECT_EQ(document->CurrentText(), placed);
}

TEST_F(MachineDocumentTest, ImportOfAWrongFileCanBeUndone)
{
    document->PlaceItem(KindInput, 0, 0);
    document->PlaceItem(KindProcess, 0, 1);
    const MachineText before = document->CurrentText();
    const std::string path = temp.path("wrong.zmkexp");
    test::writeFile(path, "not a design file\r\n");

    document->Import(path);
    EXPECT_EQ(document->items().Count(), 0);
    EXPECT_TRUE(document->isModified());
    EXPECT_FALSE(messages.errors().empty());

    document->undoStack().undo();
    EXPECT_EQ(document->CurrentText(), before);
}

TEST_F(MachineDocumentTest, UnreadableMachineTextDoesNotOpen)
{
    project.machineText(MachineId::Offline) = {"#1#id=1001\\#sat=0\\#sut=0\\#tip=194\\#2\\#3"};
    EXPECT_EQ(MachineDocument::Open(project, MachineId::Offline, messages, nullptr), nullptr);
    EXPECT_EQ(messages.errors().size(), 1u);
}

} // namespace
