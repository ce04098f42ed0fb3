#include "label/label_commands.h"
#include "label/label_compiler.h"
#include "label/label_text.h"
#include "label_samples.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

struct RecordingOutput : PrinterOutput {
    std::vector<std::string> targets;
    bool Send(std::string_view target, std::string_view, std::string&) override
    {
        targets.emplace_back(target);
        return true;
    }
};

} // namespace

TEST(LabelCommands, SaveKeepsTheLabelWhenNoLabelTextCouldBeBuilt)
{
    ProjectState project;
    project.newProject();
    const std::string previous = BuildLabelText(workedExampleDesign(), project.variables);
    project.labelText = previous;
    std::string saved = previous;
    ScriptedMessages messages;

    EXPECT_FALSE(SaveLabel(project, std::nullopt, saved, messages));
    EXPECT_EQ(project.labelText, previous);
    EXPECT_EQ(saved, previous);
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"Label File save error."});

    const std::string next = BuildLabelText(sampleProjectDesign(), project.variables);
    EXPECT_TRUE(SaveLabel(project, next, saved, messages));
    EXPECT_EQ(project.labelText, next);
    EXPECT_EQ(saved, next);
    std::string data;
    ASSERT_TRUE(CompileLabel(next, project.variables, LabelMode::Image, data));
    EXPECT_EQ(project.labelData, data);
    EXPECT_EQ(messages.shown.size(), 1u);  // Save says nothing on success

    ASSERT_TRUE(TryBuildLabelText(sampleProjectDesign(), project.variables));
    EXPECT_EQ(*TryBuildLabelText(sampleProjectDesign(), project.variables), next);
}

TEST(LabelCommands, CompileReportsWhyAndEmptiesTheData)
{
    ProjectState project;
    project.newProject();
    ScriptedMessages messages;
    project.labelData = "stale";
    project.labelText = "#1#cnt=0\\";  // no end marker
    EXPECT_FALSE(CompileSavedLabel(project, messages, true));
    EXPECT_TRUE(project.labelData.empty());
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"Not Compiled..!"});

    project.labelText = BuildLabelText(workedExampleDesign(), project.variables);
    EXPECT_TRUE(CompileSavedLabel(project, messages, true));
    EXPECT_EQ(messages.shown.back().title, "Compiled...");
    EXPECT_EQ(messages.shown.back().message, "Label Data Completed...");
}

TEST(LabelCommands, TestPrintToAMissingPrinterSaysWhichAndWhy)
{
    TempDir dir;
    VariableTable vars = resetTable();
    ScriptedMessages messages;
    PrinterPortMap ports;
    ports.lpt1 = dir.path("no-such-device");
    ports.com1 = "cups:";
    SystemPrinterOutput system;
    const std::string text = BuildLabelText(workedExampleDesign(), vars);

    EXPECT_FALSE(TestPrint(text, vars, PrinterPort::LPT1, ports, system, messages));
    ASSERT_EQ(messages.errors().size(), 1u);
    EXPECT_EQ(messages.errors()[0].rfind("LPT1: portuna eri\xFEimde hata olu\xFEtu.\r" + ports.lpt1 + ": ", 0), 0u)
        << messages.errors()[0];
    EXPECT_FALSE(TestPrint(text, vars, PrinterPort::COM1, ports, system, messages));
    EXPECT_EQ(messages.errors()[1], "COM1: portuna eri\xFEimde hata olu\xFEtu.\rno printer queue named");

    // A label that does not compile in print mode is not sent.
    RecordingOutput recording;
    LabelDesign badFont = workedExampleDesign();
    lettered(*badFont.Elements[1])->FontNo = 999;
    EXPECT_FALSE(TestPrint(BuildLabelText(badFont, vars), vars, PrinterPort::LPT1, ports, recording, messages));
    EXPECT_EQ(messages.errors().back(), "Label file load error.");
    EXPECT_TRUE(recording.targets.empty());
    EXPECT_TRUE(TestPrint(text, vars, PrinterPort::COM1, ports, recording, messages));
    EXPECT_EQ(recording.targets, std::vector<std::string>{"cups:"});
}
