#include "stockcount_project.h"

#include "compiler/compile_driver.h"
#include "project/project_file.h"

#include "scripted_messages.h"
#include "test_files.h"

#include <gtest/gtest.h>

using namespace qvt;

// The sample in the tree is exactly what the builder writes: regenerate it
// with `make-stockcount examples/stockcount.zmk` after changing the builder.
TEST(StockCountSample, FileInTreeIsWhatTheBuilderWrites)
{
    ProjectState project;
    test::ScriptedMessages messages;
    ASSERT_TRUE(examples::BuildStockCountProject(project, messages)) << messages.transcript();
    EXPECT_EQ(ProjectFileBytes(project), test::readFile(test::sourcePath("examples/stockcount.zmk")));
}

TEST(StockCountSample, OpensAndCompilesCleanly)
{
    ProjectState project;
    test::ScriptedMessages messages;
    ASSERT_EQ(LoadProjectFile(test::sourcePath("examples/stockcount.zmk"), project, messages), LoadResult::Opened)
        << messages.transcript();
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    for (int m = 0; m < 4; ++m)
        EXPECT_FALSE((*project.machineTexts)[m].empty());
    EXPECT_FALSE(project.labelData.empty());

    const CompileResult result = CompileProjectImage(project, CompileSettings::ForProject(project), messages);
    EXPECT_EQ(result.outcome, CompileOutcome::ImageWritten) << result.reason;
    for (const auto& e : result.errors.records())
        ADD_FAILURE() << "item " << e.id << ": error " << e.code;
    EXPECT_FALSE(result.image.empty());
}
