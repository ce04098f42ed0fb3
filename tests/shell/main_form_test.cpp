#include "shell/command_images.h"
#include "shell/main_form.h"
#include "shell/design_window.h"
#include "shell/label_window.h"

#include "modal_driver.h"

#include "scripted_messages.h"
#include "test_files.h"

#include <QAction>
#include <QApplication>
#include <QTableWidget>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include <set>

using namespace qvt;
using namespace qvt::test;

namespace {

const char* const kAllActions[] = {"aYeni",   "aYukle",  "aKaydet", "aFarkliKaydet", "aKapat",      "aDerle",
                                   "aQVTYukle", "aVariable", "aOnline", "aOffline", "aOnTmr", "aOffTmr",
                                   "aEtiket", "aSetOnTimer", "aSetOffTimer", "aSetVersion", "aCik"};
const std::set<std::string> kAlwaysEnabled = {"aYeni", "aYukle", "aCik", "aSetOnTimer", "aSetOffTimer",
                                              "aSetVersion"};

// A valid project file with recognisable header values.
std::string projectBytes(std::string_view version = "V9")
{
    std::string out = "V101\r\n" + std::string(version) + "\r\n10\r\n30\r\n500\r\n600\r\n115\r\n1\r\n0\r\n0\r\n0\r\n";
    for (int i = 1; i <= 115; ++i)
        out += "v" + std::to_string(i) + "\r\n\r\n";
    out += "#1#id=1\\#2\\#3\r\n";
    out += "\r\n";
    return out;
}

class MainFormTest : public ::testing::Test {
protected:
    TempDir dir;
    ProjectState project;
    ScriptedMessages messages;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<TMainForm> window;

    void SetUp() override { window = makeWindow(); }

    std::unique_ptr<TMainForm> makeWindow()
    {
        return std::make_unique<TMainForm>(project, messages, dialogs,
                                           QString::fromStdString(dir.path("recent.ini")));
    }

    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
    void trigger(const char* name) { action(name)->trigger(); }

    std::set<std::string> enabledActions()
    {
        std::set<std::string> out;
        for (const char* name : kAllActions)
            if (action(name)->isEnabled())
                out.insert(name);
        return out;
    }

    std::string put(std::string_view name, std::string_view bytes)
    {
        std::string path = dir.path(name);
        writeFile(path, bytes);
        return path;
    }

    void openFile(const std::string& path)
    {
        dialogs.paths.push_back(path);
        trigger("aYukle");
    }

    std::string title() { return window->windowTitle().toStdString(); }
};

std::set<std::string> allActions()
{
    return {std::begin(kAllActions), std::end(kAllActions)};
}

} // namespace

TEST_F(MainFormTest, CommandAvailabilityAndTitleFollowTheProject)
{
    EXPECT_EQ(enabledActions(), kAlwaysEnabled);
    EXPECT_EQ(title(), "Visual QVT Program Designer");
    EXPECT_EQ(project.versionText, "V1");
    EXPECT_EQ(project.onlineTimerInterval, 1000);
    EXPECT_EQ(project.offlineTimerInterval, 1000);

    trigger("aYeni");
    EXPECT_TRUE(project.isOpen());
    EXPECT_EQ(enabledActions(), allActions());
    EXPECT_EQ(title(), "Visual QVT Program Designer - 'noname'");

    const std::string path = dir.path("b.zmk");
    dialogs.paths.push_back(path);
    trigger("aFarkliKaydet");
    EXPECT_EQ(title(), "Visual QVT Program Designer - Design Version V1  '" + path + "'");

    trigger("aKapat");
    EXPECT_FALSE(project.isOpen());
    EXPECT_EQ(enabledActions(), kAlwaysEnabled);
    EXPECT_EQ(title(), "Visual QVT Program Designer");
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

TEST_F(MainFormTest, ActionsCarryTheirCaptionsHintsImagesAndShortcuts)
{
    struct Row {
        const char* name;
        const char* caption;
        const char* hint;  // empty: no hint of its own
        int image;         // -1: none
        const char* shortcut;
    };
    const Row rows[] = {
        {"aYeni", "New", "New Project", 3, "Ctrl+N"},
        {"aYukle", "Open", "Open project", 2, "Ctrl+O"},
        {"aKaydet", "Save", "", 1, "Ctrl+S"},
        {"aFarkliKaydet", "Save as..", "", -1, "Ctrl+Shift+S"},
        {"aKapat", "Close", "", -1, ""},
        {"aDerle", "Compile", "Compile program", 4, ""},
        {"aQVTYukle", "Upload", "Upload to QVT", 6, ""},
        {"aVariable", "Variables", "", 7, ""},
        {"aOnline", "Online", "", 8, ""},
        {"aOffline", "Offline", "", 9, ""},
        {"aOnTmr", "On-Tmr", "", 8, ""},
        {"aOffTmr", "Off-Tmr", "", 9, ""},
        {"aEtiket", "Label", "", 27, ""},
        {"aSetOnTimer", "Set Online Timer", "", 37, ""},
        {"aSetOffTimer", "Set Offline Timer", "", 37, ""},
        {"aSetVersion", "Set Version", "", 10, ""},
        {"aCik", "Exit", "", 0, "Ctrl+Q"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QAction* a = action(row.name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), row.caption);
        EXPECT_EQ(a->statusTip(), row.hint);
        if (*row.hint) {
            EXPECT_EQ(a->toolTip(), row.hint);
        }
        EXPECT_EQ(a->icon().isNull(), row.image < 0);
        if (row.image >= 0) {
            // The action shows the picture of its image number.
            const QImage shown = a->icon().pixmap(24, 24).toImage();
            const QImage expected = commandImage(row.image).pixmap(24, 24).toImage();
            EXPECT_EQ(shown, expected);
            EXPECT_FALSE(shown.isNull());
        }
        EXPECT_EQ(a->shortcut().toString().toStdString(), row.shortcut);
    }
}

TEST_F(MainFormTest, MenusAndToolBarAreLaidOutInOrder)
{
    auto names = [](const QList<QAction*>& actions) {
        std::vector<std::string> out;
        for (QAction* a : actions)
            out.push_back(a->isSeparator() ? "-" : a->menu() ? "menu:" + a->text().toStdString()
                                                             : a->objectName().toStdString());
        return out;
    };
    auto* file = window->findChild<QMenu*>("mnuFile");
    auto* edit = window->findChild<QMenu*>("mnuEdit");
    auto* program = window->findChild<QMenu*>("mnuProgram");
    ASSERT_TRUE(file && edit && program);
    EXPECT_EQ(names(window->menuBar()->actions()),
              (std::vector<std::string>{"menu:&File", "menu:&Edit", "menu:&Program"}));
    EXPECT_EQ(names(file->actions()),
              (std::vector<std::string>{"aYeni", "aYukle", "-", "aKaydet", "aFarkliKaydet", "-", "aKapat", "-",
                                        "aDerle", "aQVTYukle", "-", "menu:Recent Projects"}));
    EXPECT_EQ(names(edit->actions()),
              (std::vector<std::string>{"aVariable", "-", "aOnline", "aOffline", "-", "aOnTmr", "aOffTmr", "-",
                                        "aSetOnTimer", "aSetOffTimer", "aSetVersion"}));
    EXPECT_EQ(names(program->actions()), (std::vector<std::string>{"aCik"}));

    auto* tools = window->findChild<QToolBar*>("ToolBar1");
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(names(tools->actions()),
              (std::vector<std::string>{"aYeni", "aYukle", "aKaydet", "-", "aVariable", "aOnline", "aOffline",
                                        "aOnTmr", "aOffTmr", "aEtiket", "-", "aQVTYukle", "-", "aCik"}));
    EXPECT_EQ(tools->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
}

TEST_F(MainFormTest, BackgroundIsTheTiledPicture)
{
    window->resize(900, 700);
    window->show();
    QApplication::processEvents();
    QWidget* area = window->mdiArea()->viewport();
    ASSERT_GT(area->width(), 330);
    ASSERT_GT(area->height(), 250);
    const QImage tile = backgroundTile().toImage();
    EXPECT_EQ(tile.size(), QSize(320, 240));
    const QImage shown = area->grab().toImage();
    // The first copy starts at the top left corner; the next ones follow it.
    for (QPoint p : {QPoint(3, 3), QPoint(60, 60), QPoint(150, 100)}) {
        SCOPED_TRACE(p.x());
        const QRgb expected = tile.pixel(p);
        EXPECT_EQ(shown.pixel(p), expected);
        EXPECT_EQ(shown.pixel(p + QPoint(320, 0)), expected);
        EXPECT_EQ(shown.pixel(p + QPoint(0, 240)), expected);
    }
}

TEST_F(MainFormTest, MachineCommandsOpenTheirDesignWindow)
{
    trigger("aYeni");
    const std::pair<const char*, const char*> commands[] = {{"aOnline", "Online State Machine"},
                                                            {"aOffline", "Offline State Machine"},
                                                            {"aOnTmr", "Online/Timer State Machine"},
                                                            {"aOffTmr", "Offline/Timer State Machine"}};
    for (auto [name, title] : commands) {
        std::string shownTitle;
        test::onNextModal([&](QWidget* modal) {
            auto* design = qobject_cast<TFTasarim*>(modal);
            ASSERT_NE(design, nullptr) << name;
            shownTitle = design->windowTitle().toStdString();
            design->close();
        });
        trigger(name);
        EXPECT_EQ(shownTitle, title) << name;
    }
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

TEST_F(MainFormTest, LabelOpensTheLabelWindowOnTheProjectsLabel)
{
    openFile(put("p.zmk", test::readFile(test::sourcePath("examples/stockcount.zmk"))));
    project.defaultFolder = dir.path("labels");
    messages.shown.clear();
    bool opened = false;
    test::onNextModal([&](QWidget* modal) {
        auto* label = qobject_cast<TFEtiketDuzenle*>(modal);
        ASSERT_NE(label, nullptr);
        opened = true;
        EXPECT_EQ(label->savedLabelText(), project.labelText);
        EXPECT_EQ(label->document().design().Elements.size(), 4u);
        label->aCik->trigger();
    });
    trigger("aEtiket");
    EXPECT_TRUE(opened);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainFormTest, CompileWritesTheImageAndSaysCompiled)
{
    openFile(put("p.zmk", test::readFile(test::sourcePath("examples/stockcount.zmk"))));
    messages.shown.clear();
    trigger("aDerle");
    ASSERT_EQ(messages.shown.size(), 1u) << messages.transcript();
    EXPECT_EQ(messages.shown[0].kind, "info");
    EXPECT_EQ(messages.shown[0].title, "Info");
    EXPECT_EQ(messages.shown[0].message, "Compiled.");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.path("p.ITF"))));

    // A machine with errors opens in its design window with the error list,
    // and no "Compiled." follows.
    project.machineText(MachineId::Offline) = {"#1#id=1\\#sat=0\\#sut=0\\#tip=194\\#2\\#3"};
    messages.shown.clear();
    std::string shownTitle;
    int errorRows = 0;
    test::onNextModal([&](QWidget* modal) {
        auto* design = qobject_cast<TFTasarim*>(modal);
        ASSERT_NE(design, nullptr);
        shownTitle = design->windowTitle().toStdString();
        errorRows = design->errorList().rowCount();
        design->close();
    });
    trigger("aDerle");
    EXPECT_EQ(shownTitle, "Offline State Machine");
    EXPECT_GT(errorRows, 0);
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

TEST_F(MainFormTest, ExitAsksToSaveAndCancelKeepsRunning)
{
    struct Case {
        const char* name;
        std::vector<int> answers;
        std::optional<std::string> saveDialog;  // path chosen in the save dialog, if one opens
        bool closes;
    };
    const std::vector<Case> cases = {
        {"Cancel", {AnswerCancel}, std::nullopt, false},
        {"YesButSaveCancelled", {AnswerYes}, std::nullopt, false},
        {"No", {AnswerNo}, std::nullopt, true},
        {"YesAndSaved", {AnswerYes}, std::string("saved.zmk"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.shown.clear();
        project.modified = false;
        window = makeWindow();
        window->show();
        trigger("aYeni");
        project.modified = true;
        for (int a : c.answers)
            messages.answers.push_back(a);
        const bool dialogOpens = c.name == std::string("YesButSaveCancelled") || c.saveDialog;
        if (dialogOpens)
            dialogs.paths.push_back(c.saveDialog ? std::optional(dir.path(*c.saveDialog)) : std::nullopt);

        trigger("aCik");
        EXPECT_EQ(window->isVisible(), !c.closes);
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown[0].kind, "yesnocancel");
        EXPECT_EQ(messages.shown[0].title, "Confirm");
        EXPECT_EQ(messages.shown[0].message, "Would you like to save changes?");
        EXPECT_TRUE(dialogs.paths.empty());
        if (c.saveDialog) {
            EXPECT_EQ(readFile(dir.path(*c.saveDialog)).substr(0, 6), "V101\r\n");
        }
    }
}

TEST_F(MainFormTest, ExitWithoutChangesAsksNothing)
{
    window->show();
    trigger("aYeni");
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainFormTest, SaveQuestionGuardsNewOpenAndClose)
{
    for (const char* command : {"aYeni", "aYukle", "aKapat"}) {
        SCOPED_TRACE(command);
        project.newProject();
        window->setProjectCommandsEnabled(true);
        project.variables[3].name = "kept";
        project.modified = true;
        messages.shown.clear();
        messages.answers.push_back(AnswerCancel);
        trigger(command);
        EXPECT_EQ(messages.shown.size(), 1u);
        EXPECT_TRUE(project.isOpen());
        EXPECT_TRUE(project.modified);
        EXPECT_EQ(project.variables[3].name, "kept");
        EXPECT_TRUE(dialogs.requests.empty()) << "Cancel stops before any file dialog";
    }
}

TEST_F(MainFormTest, SetTimersAndVersionStoreTheAnswerWithoutMarkingChanges)
{
    trigger("aYeni");

    messages.integers = {0, std::nullopt, -15};
    trigger("aSetOnTimer");
    EXPECT_EQ(project.onlineTimerInterval, 0);
    trigger("aSetOffTimer");  // cancelled
    EXPECT_EQ(project.offlineTimerInterval, 1000);
    trigger("aSetOffTimer");
    EXPECT_EQ(project.offlineTimerInterval, -15);

    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].title, "Online Timer Interval");
    EXPECT_EQ(messages.shown[0].message, "1000") << "the prompt starts from the current interval";
    EXPECT_EQ(messages.shown[1].title, "Offline Timer Interval");

    messages.texts = {std::string("V7"), std::nullopt, std::string("")};
    trigger("aSetVersion");
    EXPECT_EQ(project.versionText, "V7");
    EXPECT_EQ(messages.shown.back().title, "Version");
    EXPECT_EQ(messages.shown.back().message, "V1");
    trigger("aSetVersion");  // cancelled
    EXPECT_EQ(project.versionText, "V7");
    trigger("aSetVersion");
    EXPECT_EQ(project.versionText, "");

    EXPECT_FALSE(project.modified);
}

TEST_F(MainFormTest, TitleShowsTheNewVersionAtOnceAndAfterSave)
{
    trigger("aYeni");
    const std::string path = dir.path("v.zmk");
    dialogs.paths.push_back(path);
    trigger("aFarkliKaydet");
    const std::string prefix = "Visual QVT Program Designer - Design Version ";
    EXPECT_EQ(title(), prefix + "V1  '" + path + "'");

    messages.texts = {std::string("V7 beta")};
    trigger("aSetVersion");
    EXPECT_EQ(title(), prefix + "V7 beta  '" + path + "'");

    trigger("aKaydet");
    EXPECT_EQ(title(), prefix + "V7 beta  '" + path + "'");
    EXPECT_EQ(readFile(path).substr(0, 15), "V101\r\nV7 beta\r\n");
    EXPECT_TRUE(messages.errors().empty()) << messages.transcript();
}

TEST_F(MainFormTest, SaveAfterARefusedOpenAsksForANameAndLeavesTheFileAlone)
{
    struct Case {
        const char* name;
        std::string refused;
        std::string_view message;
    };
    const Case cases[] = {
        {"OlderFormat", "V100\r\nsome design\r\n", kMsgIncorrectVersion},
        {"NewerVersion", "V102\r\n" + projectBytes().substr(6), kMsgIncorrectVersion},
        {"WrongCounts", projectBytes() + "one line too many\r\n", kMsgIncorrectFormat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window = makeWindow();
        messages = ScriptedMessages{};
        dialogs = ScriptedFileDialogs{};
        openFile(put("good.zmk", projectBytes("V5")));
        const std::string path = put(std::string(c.name) + ".zmk", c.refused);
        openFile(path);
        EXPECT_EQ(messages.errors(), std::vector<std::string>{std::string(c.message)});
        EXPECT_EQ(title(), "Visual QVT Program Designer - 'noname'");
        EXPECT_TRUE(action("aKaydet")->isEnabled());

        // Ctrl+S asks for a name; cancelling it writes nothing.
        dialogs.paths.push_back(std::nullopt);
        trigger("aKaydet");
        ASSERT_EQ(dialogs.requests.size(), 3u);
        EXPECT_TRUE(dialogs.requests[2].save);
        EXPECT_EQ(readFile(path), c.refused);
    }
}

TEST_F(MainFormTest, SavingOverAnExistingFileAnsweredNoLeavesItUntouched)
{
    const std::string existing = put("existing.zmk", "someone else's project\r\n");
    const std::string replaceQuestion = existing + " already exists.\r\nDo you want to replace it?";

    // Save of a project never saved.
    trigger("aYeni");
    dialogs.paths = {existing, std::nullopt};
    messages.answers = {AnswerNo};
    trigger("aKaydet");
    ASSERT_EQ(messages.shown.size(), 1u) << messages.transcript();
    EXPECT_EQ(messages.shown[0].kind, "yesno");
    EXPECT_EQ(messages.shown[0].message, replaceQuestion);
    EXPECT_EQ(readFile(existing), "someone else's project\r\n");
    EXPECT_EQ(title(), "Visual QVT Program Designer - 'noname'");

    // Yes to the save question before New: No to replacing abandons New.
    project.variables[3].name = "mine";
    project.modified = true;
    messages.shown.clear();
    messages.answers = {AnswerYes, AnswerNo};
    dialogs.paths = {existing, std::nullopt};
    trigger("aYeni");
    EXPECT_EQ(readFile(existing), "someone else's project\r\n");
    EXPECT_EQ(project.variables[3].name, "mine");
    EXPECT_TRUE(project.modified);
    ASSERT_EQ(messages.shown.size(), 2u) << messages.transcript();
    EXPECT_EQ(messages.shown[1].message, replaceQuestion);

    // Yes replaces it.
    messages.answers = {AnswerYes};
    dialogs.paths = {existing};
    trigger("aKaydet");
    EXPECT_EQ(readFile(existing), ProjectFileBytes(project));
    EXPECT_FALSE(project.modified);
}

TEST_F(MainFormTest, SetCommandsWorkWithoutAProject)
{
    messages.integers = {250};
    messages.texts = {std::string("V2")};
    trigger("aSetOnTimer");
    trigger("aSetVersion");
    EXPECT_EQ(project.onlineTimerInterval, 250);
    EXPECT_EQ(project.versionText, "V2");
    EXPECT_FALSE(project.isOpen());
}

TEST_F(MainFormTest, NewAfterAProjectWithALabelClearsTheLabel)
{
    trigger("aYeni");
    project.labelText = "#1#x=1\\";
    project.labelData = std::string("\x01\x02label", 7);
    project.variables[40].name = "count";
    project.machineText(MachineId::Online).push_back("#1#id=1\\#2\\#3");
    messages.answers.push_back(AnswerNo);
    project.modified = true;

    trigger("aYeni");
    EXPECT_EQ(project.labelText, "");
    EXPECT_EQ(project.labelData, "");
    EXPECT_EQ(project.variables[40].name, "int10");
    EXPECT_TRUE(project.machineText(MachineId::Online).empty());
    EXPECT_FALSE(project.modified);
}

TEST_F(MainFormTest, NewAfterOpenKeepsVersionTimersAndGrid)
{
    openFile(put("p.zmk", projectBytes()));
    ASSERT_TRUE(project.isOpen());
    EXPECT_EQ(project.versionText, "V9");

    trigger("aYeni");
    EXPECT_EQ(project.versionText, "V9");
    EXPECT_EQ(project.gridColumns, 10);
    EXPECT_EQ(project.gridRows, 30);
    EXPECT_EQ(project.onlineTimerInterval, 500);
    EXPECT_EQ(project.offlineTimerInterval, 600);
    EXPECT_EQ(project.projectFileName, "");
    EXPECT_EQ(project.variables[1].name, "str01");
    EXPECT_EQ(title(), "Visual QVT Program Designer - 'noname'");
}

TEST_F(MainFormTest, OpenOutcomesSetCommandsAndTitle)
{
    struct Case {
        const char* name;
        std::string bytes;
        bool projectBefore;
        bool open;
        bool commandsEnabled;
        bool titleHasFile;
    };
    const Case cases[] = {
        {"ValidFromNothing", projectBytes(), false, true, true, true},
        // A format error leaves an empty project without the refused file's
        // name, and the commands as they were.
        {"FormatErrorFromNothing", "V100\r\n", false, true, false, false},
        {"FormatErrorFromAProject", "V100\r\n", true, true, true, false},
        // N above 115 leaves no project at all.
        {"LoadErrorFromAProject", [] {
             std::string b = projectBytes();
             b.replace(b.find("\r\n115\r\n"), 7, "\r\n116\r\n");
             return b + "x\r\nx\r\n";
         }(), true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window = makeWindow();
        project.closeProject();
        if (c.projectBefore)
            trigger("aYeni");
        const std::string path = put(std::string(c.name) + ".zmk", c.bytes);
        openFile(path);
        EXPECT_EQ(project.isOpen(), c.open);
        EXPECT_EQ(action("aKaydet")->isEnabled(), c.commandsEnabled);
        EXPECT_EQ(action("aKapat")->isEnabled(), c.commandsEnabled);
        EXPECT_EQ(title().find(path) != std::string::npos, c.titleHasFile) << title();
    }
}

TEST_F(MainFormTest, ProjectFromTheCommandLineOpensWithoutQuestions)
{
    window->openProjectFile(sourcePath("examples/stockcount.zmk"), false);
    EXPECT_TRUE(project.isOpen());
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    EXPECT_EQ(enabledActions(), allActions());
    EXPECT_NE(title().find("stockcount.zmk'"), std::string::npos) << title();
}

TEST_F(MainFormTest, MissingProjectFileIsReportedAndNothingChanges)
{
    trigger("aYeni");
    project.variables[2].name = "kept";
    window->openProjectFile(dir.path("gone.zmk"), false);
    ASSERT_EQ(messages.errors().size(), 1u);
    EXPECT_NE(messages.errors()[0].find("gone.zmk"), std::string::npos);
    EXPECT_TRUE(project.isOpen());
    EXPECT_EQ(project.variables[2].name, "kept");
}

TEST_F(MainFormTest, RecentProjectsListNewestFirstAndSurvivesARestart)
{
    const std::string first = put("first.zmk", projectBytes());
    const std::string second = put("second.zmk", projectBytes());
    openFile(first);
    openFile(second);
    openFile(first);  // already listed: moves to the front
    trigger("aYeni");
    const std::string third = dir.path("third.zmk");
    dialogs.paths.push_back(third);
    trigger("aKaydet");  // a save of a new project asks for the name

    EXPECT_EQ(window->recentProjects().paths(), (std::vector<std::string>{third, first, second}));
    auto* menu = window->findChild<QMenu*>("mnuRecent");
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->actions()[1]->text().toStdString(), "&2 " + first);

    // A failed open is not remembered.
    openFile(put("bad.zmk", "V100\r\n"));
    EXPECT_EQ(window->recentProjects().paths().size(), 3u);

    // A second window on the same list file reads it back, and its entries open projects.
    trigger("aKapat");
    auto again = makeWindow();
    EXPECT_EQ(again->recentProjects().paths(), (std::vector<std::string>{third, first, second}));
    again->findChild<QMenu*>("mnuRecent")->actions()[2]->trigger();
    EXPECT_EQ(project.projectFileName, second);
    EXPECT_TRUE(project.isOpen());
}

TEST_F(MainFormTest, RecentEntryOfADeletedFileIsDropped)
{
    const std::string path = put("gone.zmk", projectBytes());
    openFile(path);
    trigger("aKapat");
    QFile::remove(QString::fromStdString(path));
    trigger("aYeni");
    project.variables[2].name = "kept";
    window->findChild<QMenu*>("mnuRecent")->actions()[0]->trigger();
    EXPECT_EQ(messages.errors().size(), 1u);
    EXPECT_EQ(project.variables[2].name, "kept");
    EXPECT_TRUE(window->recentProjects().paths().empty());
    EXPECT_FALSE(window->findChild<QMenu*>("mnuRecent")->isEnabled());
}

TEST(MainWindowTitle, ThreeForms)
{
    ProjectState project;
    EXPECT_EQ(MainWindowTitle(project), "Visual QVT Program Designer");
    project.newProject();
    EXPECT_EQ(MainWindowTitle(project), "Visual QVT Program Designer - 'noname'");
    project.projectFileName = "C:\\a\\b.zmk";
    project.versionText = "V1";
    EXPECT_EQ(MainWindowTitle(project), "Visual QVT Program Designer - Design Version V1  'C:\\a\\b.zmk'");
    project.versionText = "S\xFCr\xFCm";  // code page bytes show as their characters
    EXPECT_EQ(MainWindowTitle(project), QString::fromUtf8("Visual QVT Program Designer - Design Version Sürüm  'C:\\a\\b.zmk'"));
}

TEST(RecentProjectsList, KeepsTheNewestEightOnceEach)
{
    TempDir dir;
    const QString file = QString::fromStdString(dir.path("recent.ini"));
    {
        RecentProjects recent(file);
        for (int i = 1; i <= 10; ++i)
            recent.add("/p/" + std::to_string(i) + ".zmk");
        recent.add("/p/5.zmk");
        recent.add("");  // a project never saved has no name to remember
        EXPECT_EQ(recent.paths(), (std::vector<std::string>{"/p/5.zmk", "/p/10.zmk", "/p/9.zmk", "/p/8.zmk",
                                                             "/p/7.zmk", "/p/6.zmk", "/p/4.zmk", "/p/3.zmk"}));
        recent.remove("/p/9.zmk");
    }
    RecentProjects reread(file);
    EXPECT_EQ(reread.paths(), (std::vector<std::string>{"/p/5.zmk", "/p/10.zmk", "/p/8.zmk", "/p/7.zmk", "/p/6.zmk",
                                                         "/p/4.zmk", "/p/3.zmk"}));
    RecentProjects inMemory;
    inMemory.add("/p/1.zmk");
    EXPECT_EQ(inMemory.paths().size(), 1u);
}
