#include "project/compile_step.h"

#include "model/item_kinds.h"

#include "scripted_messages.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

struct NullView : ProjectView {
    void refreshTitle() override {}
    void setProjectCommandsEnabled(bool) override {}
};

// A StrLen with neither target nor source nor exit: three errors.
std::string brokenRecord(int id)
{
    auto item = CreateItem(KindStrLen, nullptr);
    item->id = id;
    return item->WriteRecord();
}

class CompileStepTest : public ::testing::Test {
protected:
    TempDir dir;
    ProjectState project;
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    NullView view;
    ProjectSession session{project, messages, dialogs, view};
    std::vector<std::pair<MachineId, int>> shownErrors;  // machine, error count

    ShowMachineErrors recordErrors()
    {
        return [this](MachineId m, const ErrorList& errors) { shownErrors.emplace_back(m, errors.count()); };
    }

    void SetUp() override { project.newProject(); }
};

} // namespace

TEST_F(CompileStepTest, NeverSavedProjectCompilesToNonameWithoutAsking)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path(""))));
    std::string image;
    const bool compiled = CompileStep(session, recordErrors(), &image);
    QDir::setCurrent(previous);

    EXPECT_TRUE(compiled);
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    EXPECT_EQ(image, "noname.ITF");
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(dir.path("noname.ITF"))));
}

TEST_F(CompileStepTest, SaveQuestionAnswers)
{
    struct Case {
        const char* name;
        int answer;
        bool named;                               // the project already has a file name
        std::optional<std::string> saveDialog;    // the save dialog's answer, when it opens
        bool compiled;
        bool modifiedAfter;
    };
    const Case cases[] = {
        {"No compiles the unsaved state", AnswerNo, true, {}, true, true},
        {"Yes saves, then compiles", AnswerYes, true, {}, true, false},
        {"closing the box compiles nothing", AnswerCancel, true, {}, false, true},
        {"Yes with the save dialog cancelled", AnswerYes, false, std::nullopt, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        project.newProject();
        project.projectFileName = c.named ? dir.path("p.zmk") : "";
        project.modified = true;
        messages.shown.clear();
        messages.answers = {c.answer};
        if (!c.named)
            dialogs.paths = {c.saveDialog};

        EXPECT_EQ(CompileStep(session, recordErrors()), c.compiled);
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown[0].kind, "yesno");
        EXPECT_EQ(messages.shown[0].title, kConfirmTitle);
        EXPECT_EQ(project.modified, c.modifiedAfter);
        EXPECT_EQ(QFileInfo::exists(QString::fromStdString(dir.path("p.ITF"))), c.compiled);
        QFile::remove(QString::fromStdString(dir.path("p.ITF")));
    }
}

TEST_F(CompileStepTest, FirstMachineWithErrorsIsShownAndNothingIsWritten)
{
    project.projectFileName = dir.path("p.zmk");
    project.machineText(MachineId::OnlineTimer) = {brokenRecord(1)};
    project.machineText(MachineId::Offline) = {brokenRecord(1)};

    EXPECT_FALSE(CompileStep(session, recordErrors()));
    ASSERT_EQ(shownErrors.size(), 1u);
    EXPECT_EQ(shownErrors[0].first, MachineId::OnlineTimer);
    EXPECT_GT(shownErrors[0].second, 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.path("p.ITF"))));
}

// A compile that stops at a limit says why in one error box; one that could
// not create its file shows only the compiler's own box.
TEST_F(CompileStepTest, FailuresAreReportedOnce)
{
    project.projectFileName = dir.path("p.zmk");
    project.labelData.assign(6000, 'x'); // more than the image holds
    EXPECT_FALSE(CompileStep(session, recordErrors()));
    ASSERT_EQ(messages.errors().size(), 1u) << messages.transcript();
    EXPECT_NE(messages.errors()[0].find("compiled label data is 6000 bytes"), std::string::npos) << messages.errors()[0];

    messages.shown.clear();
    project.labelData.clear();
    project.projectFileName = dir.path("missing/folder/p.zmk");
    EXPECT_FALSE(CompileStep(session, recordErrors()));
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"Could not create the file..."}) << messages.transcript();
}

TEST(CompileStepText, ErrorLinesNameMachineItemAndText)
{
    ErrorList errors;
    errors.AddError(7, ErrTargetNotSelected);
    errors.AddError(12, ErrNextNotConnected);
    EXPECT_EQ(DescribeMachineErrors(MachineId::OfflineTimer, errors),
              "Offline/Timer: item 7: Target must be selected\r\n"
              "Offline/Timer: item 12: [Next] Connection must be defined");
}
