#include "project/project_file.h"

#include "scripted_messages.h"
#include "test_files.h"

#include <QDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

using namespace qvt;
using namespace qvt::test;

namespace {

struct RecordingView : ProjectView {
    int titleRefreshes = 0;
    std::optional<bool> commandsEnabled;
    void refreshTitle() override { ++titleRefreshes; }
    void setProjectCommandsEnabled(bool enabled) override { commandsEnabled = enabled; }
};

// The lines of a valid file for the given counts, with recognisable values.
std::string fileWith(int n, std::vector<int> machineCounts, std::string_view label = "")
{
    std::string out = "V101\r\nV9\r\n10\r\n30\r\n500\r\n600\r\n" + std::to_string(n) + "\r\n";
    for (int m : machineCounts)
        out += std::to_string(m) + "\r\n";
    for (int i = 1; i <= n; ++i)
        out += "name" + std::to_string(i) + "\r\nvalue" + std::to_string(i) + "\r\n";
    for (size_t m = 0; m < machineCounts.size(); ++m)
        for (int i = 0; i < machineCounts[m]; ++i)
            out += "m" + std::to_string(m) + "line" + std::to_string(i) + "\r\n";
    out += std::string(label) + "\r\n";
    return out;
}

class ProjectFileTest : public ::testing::Test {
protected:
    TempDir dir;
    ProjectState project;
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    RecordingView view;
    ProjectSession session{project, messages, dialogs, view};

    std::string put(std::string_view name, std::string_view bytes)
    {
        std::string path = dir.path(name);
        writeFile(path, bytes);
        return path;
    }
};

} // namespace

TEST_F(ProjectFileTest, NewProjectSavesAs242Lines)
{
    project.newProject();
    std::string bytes = ProjectFileBytes(project);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = bytes.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(bytes.substr(start, at - start));
    EXPECT_EQ(start, bytes.size()) << "every line ends with CR LF";
    ASSERT_EQ(lines.size(), 242u);
    EXPECT_EQ(lines[0], "V101");
    EXPECT_EQ(lines[1], "V1");
    EXPECT_EQ(lines[2], "8");
    EXPECT_EQ(lines[3], "25");
    EXPECT_EQ(lines[4], "1000");
    EXPECT_EQ(lines[5], "1000");
    EXPECT_EQ(lines[6], "115");
    for (int i = 7; i <= 10; ++i)
        EXPECT_EQ(lines[i], "0");
    EXPECT_EQ(lines[11], "str01");
    EXPECT_EQ(lines[12], "");
    EXPECT_EQ(lines[11 + 2 * 30], "int01");
    EXPECT_EQ(lines[12 + 2 * 30], "0");
    EXPECT_EQ(lines[11 + 2 * 114], "Label");
    EXPECT_EQ(lines[241], "");
}

TEST_F(ProjectFileTest, EveryByteSurvivesOpenThenSave)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\n' && b != '\r')
            all.push_back(char(b));
    project.newProject();
    project.versionText = all;
    project.variables[1].name = all;
    project.variables[115].initialValue = all;
    project.machineText(MachineId::Offline) = {all, "second" + all};
    project.machineText(MachineId::OnlineTimer) = {"x"};
    const std::string original = ProjectFileBytes(project);
    const std::string path = put("bytes.zmk", original);

    ProjectState reopened;
    // The label compiler refuses an empty-but-garbage label; keep the label empty here.
    ASSERT_EQ(LoadProjectFile(path, reopened, messages), LoadResult::Opened) << messages.transcript();
    EXPECT_EQ(ProjectFileBytes(reopened), original);
    EXPECT_EQ(reopened.machineText(MachineId::Offline)[0], all);
    EXPECT_EQ(reopened.machineText(MachineId::OnlineTimer)[0], "x");
}

TEST_F(ProjectFileTest, BareLineFeedsStillOpen)
{
    std::string crlf = fileWith(115, {1, 0, 2, 0});
    std::string lf;
    for (char c : crlf)
        if (c != '\r')
            lf.push_back(c);
    ASSERT_EQ(LoadProjectFile(put("lf.zmk", lf), project, messages), LoadResult::Opened) << messages.transcript();
    EXPECT_EQ(project.variables[7].name, "name7");
    EXPECT_EQ(project.machineText(MachineId::Offline)[1], "m2line1");
    EXPECT_EQ(ProjectFileBytes(project), crlf);
}

TEST_F(ProjectFileTest, LabelThatDoesNotCompileIsReportedAndTheProjectStillOpens)
{
    const std::string label = "#1#not a label";
    ASSERT_EQ(LoadProjectFile(put("label.zmk", fileWith(115, {1, 0, 0, 0}, label)), project, messages),
              LoadResult::Opened);
    EXPECT_EQ(project.labelText, label);
    EXPECT_EQ(project.labelData.rfind("Label File open error.", 0), 0u) << project.labelData;
    EXPECT_EQ(messages.errors(), std::vector<std::string>{project.labelData});
    EXPECT_EQ(project.machineText(MachineId::Online).size(), 1u);
    EXPECT_FALSE(project.modified);
}

TEST_F(ProjectFileTest, SmallerVariableCountKeepsTheRestReset)
{
    ASSERT_EQ(LoadProjectFile(put("n10.zmk", fileWith(10, {0, 0, 0, 0})), project, messages), LoadResult::Opened);
    EXPECT_EQ(project.variables[10].name, "name10");
    EXPECT_EQ(project.variables[10].initialValue, "value10");
    EXPECT_EQ(project.variables[11].name, "str11");
    EXPECT_EQ(project.variables[31].initialValue, "0");
    EXPECT_EQ(project.versionText, "V9");
    EXPECT_EQ(project.gridColumns, 10);
    EXPECT_EQ(project.gridRows, 30);
    EXPECT_EQ(project.onlineTimerInterval, 500);
    EXPECT_EQ(project.offlineTimerInterval, 600);
    EXPECT_FALSE(project.modified);
}

// Each malformed file: the message, whether a project stays open, and the
// header values taken over before the failure.
struct BadFile {
    const char* name;
    std::string bytes;
    std::string_view message;
    LoadResult result;
    std::string versionAfter;
    int columnsAfter;
    int offlineTimerAfter;
};

class ProjectFileFailures : public ProjectFileTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(ProjectFileFailures, MessageAndState)
{
    const BadFile& c = GetParam();
    project.newProject();
    project.projectFileName = dir.path("previous.zmk");
    project.labelText = "keep";
    project.labelData = "keep-data";
    project.machineText(MachineId::Online) = {"old"};
    project.modified = true;
    const std::string path = put("bad.zmk", c.bytes);

    EXPECT_EQ(LoadProjectFile(path, project, messages), c.result);
    EXPECT_EQ(messages.errors(), std::vector<std::string>{std::string(c.message)});
    EXPECT_EQ(project.versionText, c.versionAfter);
    EXPECT_EQ(project.gridColumns, c.columnsAfter);
    EXPECT_EQ(project.offlineTimerInterval, c.offlineTimerAfter);
    if (c.result == LoadResult::FormatError) {
        ASSERT_TRUE(project.isOpen());
        for (const auto& text : *project.machineTexts)
            EXPECT_TRUE(text.empty());
        // The refused file's name is not kept: nothing may be saved over it
        // without the save dialog.
        EXPECT_EQ(project.projectFileName, "");
        EXPECT_EQ(project.labelText, "keep");
        EXPECT_EQ(project.labelData, "keep-data");
        // Nothing of the user's is in the empty project: no save question may
        // offer to write it over the file that failed to open.
        EXPECT_FALSE(project.modified);
    } else {
        EXPECT_FALSE(project.isOpen());
        EXPECT_TRUE(project.projectFileName.empty());
        EXPECT_FALSE(project.modified);
    }
    EXPECT_EQ(project.variables[1].name, "str01");
}

std::string withLine(std::string file, int index, std::string_view replacement)
{
    size_t start = 0;
    for (int i = 0; i < index; ++i)
        start = file.find("\r\n", start) + 2;
    size_t end = file.find("\r\n", start);
    return file.replace(start, end - start, replacement);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProjectFileFailures,
    ::testing::Values(
        BadFile{"empty", "", kMsgIncorrectVersion, LoadResult::FormatError, "V1", 8, 1000},
        BadFile{"short", "V101\r\nV2\r\n", kMsgIncorrectVersion, LoadResult::FormatError, "V1", 8, 1000},
        BadFile{"olderDesignFile", withLine(fileWith(115, {0, 0, 0, 0}), 0, "V100"), kMsgIncorrectVersion,
                LoadResult::FormatError, "V1", 8, 1000},
        BadFile{"lowerCaseVersion", withLine(fileWith(115, {0, 0, 0, 0}), 0, "v101"), kMsgIncorrectVersion,
                LoadResult::FormatError, "V1", 8, 1000},
        BadFile{"badTimer", withLine(fileWith(115, {0, 0, 0, 0}), 5, "6x"), kMsgIncorrectFormat,
                LoadResult::FormatError, "V9", 10, 1000},
        BadFile{"badColumns", withLine(fileWith(115, {0, 0, 0, 0}), 2, ""), kMsgIncorrectFormat,
                LoadResult::FormatError, "V9", 8, 1000},
        BadFile{"badMachineCount", withLine(fileWith(115, {0, 0, 0, 0}), 9, " 1"), kMsgIncorrectFormat,
                LoadResult::FormatError, "V9", 10, 600},
        BadFile{"hugeCount", withLine(fileWith(115, {0, 0, 0, 0}), 7, "99999999999"), kMsgIncorrectFormat,
                LoadResult::FormatError, "V9", 10, 600},
        BadFile{"extraTrailingLine", fileWith(115, {1, 0, 0, 0}) + "\r\n", kMsgIncorrectFormat,
                LoadResult::FormatError, "V9", 10, 600},
        BadFile{"missingLine", fileWith(115, {1, 0, 0, 0}).substr(0, fileWith(115, {1, 0, 0, 0}).size() - 2 - 2),
                kMsgIncorrectFormat, LoadResult::FormatError, "V9", 10, 600},
        // -1 variables and two machine lines add up to the line count, yet
        // would read the header back as machine lines.
        BadFile{"negativeCount", withLine(withLine(fileWith(0, {0, 0, 0, 0}), 6, "-1"), 7, "2"),
                kMsgIncorrectFormat, LoadResult::FormatError, "V9", 10, 600},
        BadFile{"tooManyVariables", fileWith(116, {0, 0, 0, 0}), kMsgLoadError, LoadResult::LoadError, "V9", 10, 600}),
    [](const auto& info) { return std::string(info.param.name); });

// Header integers: an optional sign and decimal digits that fit 32 bits,
// nothing around them.
TEST_F(ProjectFileTest, HeaderIntegerSpellings)
{
    struct Case {
        const char* text;
        std::optional<int> columns;  // nullopt: "Incorrect file format."
    };
    const Case cases[] = {
        {"12", 12},          {"+12", 12},          {"-7", -7},           {"007", 7},
        {"-2147483648", -2147483647 - 1},          {"2147483647", 2147483647},
        {"+-5", std::nullopt}, {"-+5", std::nullopt}, {"--5", std::nullopt}, {"++5", std::nullopt},
        {"+", std::nullopt},   {"-", std::nullopt},   {" 5", std::nullopt},  {"5 ", std::nullopt},
        {"0x10", std::nullopt}, {"1e3", std::nullopt}, {"2147483648", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ProjectState opened;
        ScriptedMessages shown;
        const std::string path = put("spelling.zmk", withLine(fileWith(115, {0, 0, 0, 0}), 2, c.text));
        const LoadResult result = LoadProjectFile(path, opened, shown);
        if (c.columns) {
            EXPECT_EQ(result, LoadResult::Opened) << shown.transcript();
            EXPECT_EQ(opened.gridColumns, *c.columns);
        } else {
            EXPECT_EQ(result, LoadResult::FormatError);
            EXPECT_EQ(shown.errors(), std::vector<std::string>{std::string(kMsgIncorrectFormat)});
            EXPECT_EQ(opened.gridColumns, 8);
        }
    }
}

TEST_F(ProjectFileTest, UnreadableFileClosesTheProject)
{
    project.newProject();
    EXPECT_EQ(LoadProjectFile(dir.path("missing.zmk"), project, messages), LoadResult::LoadError);
    EXPECT_EQ(messages.errors(), std::vector<std::string>{std::string(kMsgLoadError)});
    EXPECT_FALSE(project.isOpen());
}

TEST_F(ProjectFileTest, SaveWithNameWritesWithoutDialog)
{
    project.newProject();
    project.projectFileName = dir.path("a.zmk");
    project.modified = true;
    EXPECT_TRUE(SaveProject(session, false));
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(readFile(project.projectFileName), ProjectFileBytes(project));
}

TEST_F(ProjectFileTest, SaveAsAlwaysShowsTheDialog)
{
    project.newProject();
    project.projectFileName = dir.path("a.zmk");
    dialogs.paths = {dir.path("b.zmk")};
    EXPECT_TRUE(SaveProject(session, true));
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const auto& r = dialogs.requests[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.title, kSaveProjectTitle);
    EXPECT_EQ(r.filter, kProjectFileFilter);
    EXPECT_EQ(r.defaultExtension, "zmk");
    EXPECT_EQ(r.initialName, dir.path("a.zmk"));
    EXPECT_EQ(project.projectFileName, dir.path("b.zmk"));
    EXPECT_GE(view.titleRefreshes, 1);
    // The designer asks its own question before replacing a file, so the
    // dialog is not asked to ask a second one.
    EXPECT_FALSE(r.confirmOverwrite);
}

TEST_F(ProjectFileTest, OpenThatIsRefusedLeavesNoNameToSaveOver)
{
    const std::string refused = "V100\r\nfrom a newer designer\r\n";
    dialogs.paths = {put("ok.zmk", fileWith(115, {0, 0, 0, 0})), put("refused.zmk", refused)};
    OpenProject(session);
    OpenProject(session);
    ASSERT_EQ(messages.errors(), std::vector<std::string>{std::string(kMsgIncorrectVersion)});
    EXPECT_EQ(project.versionText, "V9") << "values already taken over stay";

    // Save behaves as for a project never saved: it asks for a name.
    dialogs.paths = {std::nullopt};
    EXPECT_FALSE(SaveProject(session, false));
    ASSERT_EQ(dialogs.requests.size(), 3u);
    EXPECT_TRUE(dialogs.requests.back().save);
    EXPECT_EQ(dialogs.requests.back().initialName, "");
    EXPECT_EQ(readFile(dir.path("refused.zmk")), refused);
}

// Every save through the dialog asks before it replaces an existing file, and
// No leaves the file as it was.
TEST_F(ProjectFileTest, ChosenFileThatExistsIsReplacedOnlyAfterYes)
{
    enum class Start { SaveUnnamed, SaveAs, YesToSaveQuestion };
    struct Case {
        const char* name;
        Start start;
        std::vector<int> answers;                        // to the replace question
        std::vector<std::optional<std::string>> chosen;  // names picked in the dialog, in turn
        bool saved;
        std::string writtenTo;  // empty: nothing written
    };
    const Case cases[] = {
        {"SaveNoThenCancel", Start::SaveUnnamed, {AnswerNo}, {"old.zmk", std::nullopt}, false, ""},
        {"SaveYes", Start::SaveUnnamed, {AnswerYes}, {"old.zmk"}, true, "old.zmk"},
        {"SaveNoThenAnotherName", Start::SaveUnnamed, {AnswerNo}, {"old.zmk", "new.zmk"}, true, "new.zmk"},
        {"SaveClosedBox", Start::SaveUnnamed, {AnswerCancel}, {"old.zmk", std::nullopt}, false, ""},
        {"SaveAsNoThenCancel", Start::SaveAs, {AnswerNo}, {"old.zmk", std::nullopt}, false, ""},
        {"SaveAsYes", Start::SaveAs, {AnswerYes}, {"old.zmk"}, true, "old.zmk"},
        {"SaveQuestionNoThenCancel", Start::YesToSaveQuestion, {AnswerNo}, {"old.zmk", std::nullopt}, false, ""},
        {"SaveQuestionYes", Start::YesToSaveQuestion, {AnswerYes}, {"old.zmk"}, true, "old.zmk"},
        {"NewFileIsNotAskedAbout", Start::SaveUnnamed, {}, {"new.zmk"}, true, "new.zmk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        const std::string old = folder.path("old.zmk");
        writeFile(old, "keep me\r\n");
        project.newProject();
        project.variables[4].name = "mine";
        project.modified = true;
        if (c.start == Start::SaveAs)
            project.projectFileName = folder.path("current.zmk");
        messages = ScriptedMessages{};
        dialogs = ScriptedFileDialogs{};
        if (c.start == Start::YesToSaveQuestion)
            messages.answers.push_back(AnswerYes);
        for (int answer : c.answers)
            messages.answers.push_back(answer);
        for (const auto& name : c.chosen)
            dialogs.paths.push_back(name ? std::optional(folder.path(*name)) : std::nullopt);

        const bool saved = c.start == Start::YesToSaveQuestion ? ConfirmDiscardChanges(session)
                                                               : SaveProject(session, c.start == Start::SaveAs);
        EXPECT_EQ(saved, c.saved);
        EXPECT_TRUE(dialogs.paths.empty()) << "every scripted dialog was shown";
        EXPECT_TRUE(messages.answers.empty()) << messages.transcript();
        if (!c.answers.empty() && messages.shown.empty()) {
            ADD_FAILURE() << "no question before replacing the file";
        } else if (!c.answers.empty()) {
            const auto& question = messages.shown.back();
            EXPECT_EQ(question.kind, "yesno");
            EXPECT_EQ(question.title, "Confirm");
            EXPECT_EQ(question.message, old + " already exists.\r\nDo you want to replace it?");
            // After No the dialog comes back on the name that was refused.
            if (c.chosen.size() > 1 && dialogs.requests.size() > 1) {
                EXPECT_EQ(dialogs.requests[1].initialName, old);
            }
        }
        EXPECT_EQ(readFile(old) == "keep me\r\n", c.writtenTo != "old.zmk");
        if (!c.writtenTo.empty()) {
            EXPECT_EQ(project.projectFileName, folder.path(c.writtenTo));
            EXPECT_EQ(readFile(folder.path(c.writtenTo)), ProjectFileBytes(project));
            EXPECT_FALSE(project.modified);
        } else {
            EXPECT_TRUE(project.modified);
        }
    }
}

TEST_F(ProjectFileTest, SaveThatFailsPartWayKeepsTheOldFileWhole)
{
    project.newProject();
    project.machineText(MachineId::Online).assign(50, std::string(200, 'x'));
    const std::string previous = "previous contents\r\n";
    project.projectFileName = put("keep.zmk", previous);
    project.modified = true;

    // Let the process write no more than 4 KiB into any file: the write stops
    // part-way through the project, as on a full disk (root is not exempt).
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveProject(session, false);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(messages.errors(), std::vector<std::string>{std::string(kMsgSaveError)});
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(readFile(project.projectFileName), previous);
    // No temporary file is left behind beside it.
    EXPECT_EQ(QDir(QString::fromStdString(dir.path(""))).entryList(QDir::Files).size(), 1);
}

TEST_F(ProjectFileTest, SaveIntoMissingFolderFailsAndKeepsModified)
{
    project.newProject();
    project.projectFileName = dir.path("no/such/folder/p.zmk");
    project.modified = true;
    EXPECT_FALSE(SaveProject(session, false));
    EXPECT_EQ(messages.errors(), std::vector<std::string>{std::string(kMsgSaveError)});
    EXPECT_TRUE(project.modified);
}

TEST_F(ProjectFileTest, OpenAsksFirstAndCancelKeepsEverything)
{
    project.newProject();
    project.projectFileName = "/old.zmk";
    project.modified = true;

    messages.answers = {AnswerCancel};
    OpenProject(session);
    EXPECT_TRUE(dialogs.requests.empty());

    messages.answers = {AnswerNo};
    dialogs.paths = {std::nullopt};
    OpenProject(session);
    EXPECT_EQ(project.projectFileName, "/old.zmk");
    EXPECT_TRUE(project.modified);
    EXPECT_FALSE(view.commandsEnabled.has_value());
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, kOpenProjectTitle);
}

TEST_F(ProjectFileTest, OpenReportsOutcomeToTheView)
{
    dialogs.paths = {put("ok.zmk", fileWith(115, {0, 0, 0, 0})), put("bad.zmk", "V100\r\n"),
                     put("worse.zmk", fileWith(116, {0, 0, 0, 0}))};
    OpenProject(session);
    EXPECT_EQ(view.commandsEnabled, true);
    OpenProject(session);
    EXPECT_EQ(view.commandsEnabled, true);  // a format failure leaves the commands as they were
    EXPECT_EQ(view.titleRefreshes, 1);
    OpenProject(session);
    EXPECT_EQ(view.commandsEnabled, false);
}
