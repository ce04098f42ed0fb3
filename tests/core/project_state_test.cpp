#include "core/project_state.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace qvt;

TEST(VariableTable, ResetNamesEverySlot)
{
    VariableTable t;
    ResetVariables(t);
    struct Row { int index; const char* name; const char* type; const char* initial; };
    const Row rows[] = {
        {0, "Constant", "special", ""},     {1, "str01", "string", ""},   {9, "str09", "string", ""},
        {10, "str10", "string", ""},        {30, "str30", "string", ""},  {31, "int01", "integer", "0"},
        {80, "int50", "integer", "0"},      {81, "flt01", "float", "0"},  {100, "flt20", "float", "0"},
        {101, "Serial Data", "special", ""}, {102, "PS2 Data", "special", ""}, {103, "Counter 1", "special", ""},
        {107, "Counter 5", "special", ""},  {108, "Digital In 1", "special", ""}, {112, "Digital In 5", "special", ""},
        {113, "Digital Out 1", "special", ""}, {114, "Digital Out 2", "special", ""}, {115, "Label", "special", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.index);
        EXPECT_EQ(t[r.index].defaultName, r.name);
        EXPECT_EQ(t[r.index].name, r.name);
        EXPECT_EQ(t[r.index].typeWord, r.type);
        EXPECT_EQ(t[r.index].initialValue, r.initial);
    }
}

TEST(VariableTable, FindVariableRules)
{
    VariableTable t;
    ResetVariables(t);
    EXPECT_EQ(FindVariable(t, "Constant"), 0);
    EXPECT_EQ(FindVariable(t, "nothing"), 0);
    EXPECT_EQ(FindVariable(t, "STR01"), 0);  // case-sensitive
    EXPECT_EQ(FindVariable(t, "int01"), 31);
    EXPECT_EQ(FindVariable(t, "Label"), 115);

    t[40].name = "count";
    t[12].name = "count";
    EXPECT_EQ(FindVariable(t, "count"), 12);  // the lower index wins

    t[50].name.clear();
    EXPECT_EQ(FindVariable(t, ""), 50);
}

TEST(ProjectState, LifecycleKeepsMainWindowValues)
{
    ProjectState p;
    EXPECT_FALSE(p.isOpen());
    p.modified = true;
    EXPECT_FALSE(p.HasUnsavedChanges());  // nothing open

    p.newProject();
    EXPECT_TRUE(p.isOpen());
    p.machineText(MachineId::OfflineTimer).push_back("x");
    EXPECT_EQ((*p.machineTexts)[3].size(), 1u);
    p.versionText = "V7";
    p.gridColumns = 12;
    p.onlineTimerInterval = 5;
    p.labelText = "#1#2";
    p.labelData = "data";
    p.modified = true;
    EXPECT_TRUE(p.HasUnsavedChanges());

    p.closeProject();
    EXPECT_FALSE(p.HasUnsavedChanges());
    EXPECT_EQ(p.labelText, "#1#2");  // Close keeps the label

    p.newProject();
    EXPECT_EQ(p.versionText, "V7");
    EXPECT_EQ(p.gridColumns, 12);
    EXPECT_EQ(p.onlineTimerInterval, 5);
    EXPECT_TRUE(p.labelText.empty());
    EXPECT_TRUE(p.labelData.empty());
}

TEST(ProjectState, StorageOrder)
{
    EXPECT_EQ(storagePosition(MachineId::Online), 0);
    EXPECT_EQ(storagePosition(MachineId::OnlineTimer), 1);
    EXPECT_EQ(storagePosition(MachineId::Offline), 2);
    EXPECT_EQ(storagePosition(MachineId::OfflineTimer), 3);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(storagePosition(machineAtStoragePosition(i)), i);
}

TEST(ProjectState, DefaultFolderIsAFixedAbsolutePath)
{
    const ProjectState a, b;
    const QString folder = QFile::decodeName(a.defaultFolder.c_str());
    EXPECT_FALSE(folder.isEmpty());
    EXPECT_TRUE(QDir::isAbsolutePath(folder)) << a.defaultFolder;
    EXPECT_EQ(a.defaultFolder, b.defaultFolder);
}
