#include "shell/main_form.h"
#include "shell/variable_list.h"

#include "core/cp1254.h"
#include "project/project_file.h"

#include "modal_driver.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <QAction>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <map>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

std::vector<std::string> errorTexts(const ScriptedMessages& messages)
{
    return messages.errors();
}

std::string duplicateMessage(const std::string& name)
{
    return "Variable name '" + name + "' is used for more than one variable.\r\nProgram can work wrong.";
}

std::string initialValueMessage(const std::string& name)
{
    return "Initial value of variable '" + name + "' is incorrect.\r\nAssumed 0 (zero).";
}

class VariableListTest : public ::testing::Test {
protected:
    void SetUp() override { project.newProject(); }

    std::unique_ptr<TFDegisken> open()
    {
        auto window = std::make_unique<TFDegisken>(project, messages);
        window->show();
        return window;
    }

    // Types into a cell the way the grid does: the cell's editor, then the model.
    static void edit(TFDegisken& window, int variable, int column, const QString& text)
    {
        QTreeView* grid = window.cxGrid1;
        const auto* proxy = static_cast<const QAbstractProxyModel*>(grid->model());
        const QModelIndex cell = proxy->mapFromSource(window.model().indexOf(variable, column));
        ASSERT_TRUE(cell.isValid()) << "variable " << variable << " is not shown";
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        editor->insert(text);
        // insert() is not a user edit; the grid commits on what the user types.
        emit editor->textEdited(editor->text());
        window.cxGrid1->finishEditing();
    }

    ProjectState project;
    ScriptedMessages messages;
};

TEST_F(VariableListTest, ShowsTheGroupsInTheirOrderWithTheIndexHidden)
{
    auto window = open();
    EXPECT_EQ(window->windowTitle(), "Variable List");
    EXPECT_EQ(window->size(), QSize(491, 587));
    const QAbstractItemModel* grid = window->cxGrid1->model();

    struct Group {
        std::string type;
        int first, last;
    };
    const Group groups[] = {{"string", 1, 30}, {"special", 101, 115}, {"integer", 31, 80}, {"float", 81, 100}};
    ASSERT_EQ(grid->rowCount(), 4);
    for (int g = 0; g < 4; ++g) {
        const QModelIndex group = grid->index(g, 0);
        EXPECT_TRUE(window->cxGrid1->isExpanded(group)) << groups[g].type;
        ASSERT_EQ(grid->rowCount(group), groups[g].last - groups[g].first + 1) << groups[g].type;
        for (int row = 0; row < grid->rowCount(group); ++row) {
            const int variable = groups[g].first + row;
            EXPECT_EQ(grid->index(row, VariableListModel::ColIndex, group).data().toInt(), variable);
            EXPECT_EQ(grid->index(row, VariableListModel::ColType, group).data().toString().toStdString(),
                      groups[g].type);
            EXPECT_EQ(grid->index(row, VariableListModel::ColVariable, group).data().toString().toStdString(),
                      project.variables[size_t(variable)].defaultName);
        }
    }

    const QStringList captions = {"Variable", "Name", "Type", "Initial Value", "Index"};
    for (int c = 0; c < captions.size(); ++c)
        EXPECT_EQ(grid->headerData(c, Qt::Horizontal).toString(), captions[c]);
    EXPECT_TRUE(window->cxGrid1->isColumnHidden(VariableListModel::ColIndex));
    EXPECT_FALSE(window->cxGrid1->header()->sectionsMovable());

    // Only Name and Initial Value take edits; a group row takes none.
    const QModelIndex firstRow = grid->index(0, 0, grid->index(0, 0));
    for (int c = 0; c < VariableListModel::ColumnCount; ++c) {
        const bool editable = grid->flags(firstRow.siblingAtColumn(c)) & Qt::ItemIsEditable;
        EXPECT_EQ(editable, c == VariableListModel::ColName || c == VariableListModel::ColInitialValue) << c;
    }
    EXPECT_FALSE(grid->flags(grid->index(0, VariableListModel::ColName)) & Qt::ItemIsEditable);
}

TEST_F(VariableListTest, SaveReportsEveryFindingInIndexOrder)
{
    struct Edit {
        int variable;
        std::string name;
        std::string value;
    };
    struct Case {
        const char* what;
        std::vector<Edit> edits;
        std::vector<std::string> errors;
        std::vector<std::pair<int, std::string>> storedValues;
    };
    const Case cases[] = {
        {"two integers with one name", {{31, "count", "1"}, {32, "count", "2"}}, {duplicateMessage("count")}, {}},
        {"three strings with one name: once per later namesake",
         {{1, "x", ""}, {2, "x", ""}, {3, "x", ""}},
         {duplicateMessage("x"), duplicateMessage("x"), duplicateMessage("x")},
         {}},
        {"the constant's name", {{5, "Constant", ""}}, {duplicateMessage("Constant")}, {}},
        {"an integer that is not a number keeps its text",
         {{40, "qty", "12a"}},
         {initialValueMessage("qty")},
         {{40, "12a"}}},
        {"an empty integer becomes 0", {{41, "n", ""}}, {}, {{41, "0"}}},
        {"integers with blanks and signs", {{42, "a", " -7 "}, {43, "b", "+3"}}, {}, {{42, " -7 "}, {43, "+3"}}},
        {"reals with either separator", {{81, "r1", "1,5"}, {82, "r2", "-2.25e3"}}, {}, {}},
        {"reals that are no numbers",
         {{83, "r3", "1,234.5"}, {84, "r4", "inf"}, {85, "r5", "1e999"}},
         {initialValueMessage("r3"), initialValueMessage("r4"), initialValueMessage("r5")},
         {}},
        {"special variables lose their initial value", {{101, "Serial Data", "5"}, {115, "Label", "x"}}, {},
         {{101, ""}, {115, ""}}},
        {"an unnamed variable is not checked at all", {{50, "", "abc"}}, {}, {{50, "abc"}}},
        {"findings come in index order",
         {{90, "late", "?"}, {35, "early", "?"}, {2, "early", ""}},
         {duplicateMessage("early"), initialValueMessage("early"), initialValueMessage("late")},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        project.newProject();
        messages.shown.clear();
        VariableListModel model(project.variables);
        for (const Edit& e : c.edits) {
            ASSERT_TRUE(model.setData(model.indexOf(e.variable, VariableListModel::ColName), fromCp1254(e.name)));
            ASSERT_TRUE(
                model.setData(model.indexOf(e.variable, VariableListModel::ColInitialValue), fromCp1254(e.value)));
        }
        SaveVariableList(model, project, messages);
        EXPECT_EQ(errorTexts(messages), c.errors);
        EXPECT_EQ(messages.shown.size(), c.errors.size()) << messages.transcript();
        for (const Edit& e : c.edits)
            EXPECT_EQ(project.variables[size_t(e.variable)].name, e.name);
        for (const auto& [variable, value] : c.storedValues)
            EXPECT_EQ(project.variables[size_t(variable)].initialValue, value) << variable;
        EXPECT_TRUE(project.modified);
    }
}

TEST_F(VariableListTest, SaveWithoutChangesStillMarksTheProject)
{
    auto window = open();
    window->aSakla->trigger();
    EXPECT_TRUE(project.modified);
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

TEST_F(VariableListTest, ExitAsksOnlyWhenTheGridDiffers)
{
    struct Case {
        const char* what;
        bool change;
        std::optional<int> answer;
        bool closes;
        bool saved;
    };
    const Case cases[] = {
        {"nothing changed", false, std::nullopt, true, false},
        {"Yes saves and closes", true, AnswerYes, true, true},
        {"No closes without saving", true, AnswerNo, true, false},
        {"Cancel keeps the window open", true, AnswerCancel, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        project.newProject();
        messages.shown.clear();
        auto window = open();
        if (c.change)
            edit(*window, 7, VariableListModel::ColName, "barcode");
        if (c.answer)
            messages.answers.push_back(*c.answer);
        window->aCik->trigger();
        ASSERT_EQ(messages.shown.size(), c.answer ? 1u : 0u) << messages.transcript();
        if (c.answer) {
            EXPECT_EQ(messages.shown[0].kind, "yesnocancel");
            EXPECT_EQ(messages.shown[0].title, "Confirm");
            EXPECT_EQ(messages.shown[0].message, "Would you like to save changes?");
        }
        EXPECT_EQ(window->isVisible(), !c.closes);
        EXPECT_EQ(project.variables[7].name, c.saved ? "barcode" : "str07");
        EXPECT_EQ(project.modified, c.saved);
    }
}

TEST_F(VariableListTest, AnEmptyIntegerSavedAsZeroStillDiffersFromTheGrid)
{
    auto window = open();
    edit(*window, 31, VariableListModel::ColInitialValue, "");
    window->aSakla->trigger();
    EXPECT_EQ(project.variables[31].initialValue, "0");
    // The grid is not reloaded: it still shows the empty cell.
    EXPECT_EQ(window->model().initialValue(31), "");
    messages.answers.push_back(AnswerNo);
    window->aCik->trigger();
    EXPECT_EQ(messages.shown.size(), 1u) << messages.transcript();
}

TEST_F(VariableListTest, TheCloseBoxAndEscape)
{
    {
        auto window = open();
        edit(*window, 3, VariableListModel::ColName, "lost");
        window->close();
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
        EXPECT_EQ(project.variables[3].name, "str03");
    }
    {
        // Esc is Exit: the question comes before typed names are dropped.
        auto window = open();
        edit(*window, 3, VariableListModel::ColName, "kept");
        messages.answers.push_back(AnswerYes);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(messages.shown.size(), 1u) << messages.transcript();
        EXPECT_EQ(project.variables[3].name, "kept");
    }
}

TEST_F(VariableListTest, EscapeInACellGivesItsTextBack)
{
    auto window = open();
    QTreeView* grid = window->cxGrid1;
    const auto* proxy = static_cast<const QAbstractProxyModel*>(grid->model());
    const QModelIndex cell = proxy->mapFromSource(window->model().indexOf(4, VariableListModel::ColName));
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, "abc");
    EXPECT_EQ(window->model().name(4), "str04abc");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(window->model().name(4), "str04");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(VariableListTest, ALineBreakNeverReachesTheTable)
{
    struct Case {
        QString typed;
        std::string kept;
    };
    const Case cases[] = {
        {"weight\r\nkg", "weight"}, {"weight\nkg", "weight"}, {"\nall", ""}, {"a\rb", "a\rb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        project.newProject();
        auto window = open();
        edit(*window, 31, VariableListModel::ColName, c.typed);
        edit(*window, 32, VariableListModel::ColInitialValue, c.typed);
        EXPECT_EQ(window->model().name(31), c.kept);
        EXPECT_EQ(window->model().initialValue(32), c.kept);

        // Even a caller that bypasses the editor cannot store one.
        VariableListModel& model = window->model();
        model.setData(model.indexOf(33, VariableListModel::ColName), c.typed);
        EXPECT_EQ(model.name(33), c.kept);

        messages.shown.clear();
        window->aSakla->trigger();
        const std::string bytes = ProjectFileBytes(project);
        // 11 header lines, 2 per variable, 1 per machine line (none), the label line.
        size_t lineFeeds = size_t(std::count(bytes.begin(), bytes.end(), '\n'));
        EXPECT_EQ(lineFeeds, 11u + 230u + 1u);
    }
}

TEST_F(VariableListTest, CharactersOutsideTheCodePageAreRefusedNotStoredAsQuestionMarks)
{
    auto window = open();
    VariableListModel& model = window->model();
    const QString turkish = QStringLiteral(u"Ağırlık €");
    edit(*window, 8, VariableListModel::ColName, turkish);
    EXPECT_EQ(model.name(8), toCp1254(turkish));
    EXPECT_EQ(fromCp1254(model.name(8)), turkish);

    // Typed into a cell: the edit is taken back whole.
    QTreeView* grid = window->cxGrid1;
    const auto* proxy = static_cast<const QAbstractProxyModel*>(grid->model());
    const QModelIndex cell = proxy->mapFromSource(model.indexOf(9, VariableListModel::ColName));
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
    ASSERT_NE(editor, nullptr);
    editor->end(false);
    editor->insert(QStringLiteral(u"重量"));
    emit editor->textEdited(editor->text());
    EXPECT_EQ(editor->text(), "str09");
    EXPECT_EQ(model.name(9), "str09");

    EXPECT_FALSE(model.setData(model.indexOf(10, VariableListModel::ColInitialValue), QStringLiteral(u"5 ✓")));
    EXPECT_EQ(model.initialValue(10), "");
}

TEST_F(VariableListTest, EveryByteButTheLineFeedSurvivesGridSaveAndFile)
{
    // Names and values made of every byte 0..255 except 10, spread over the
    // string, integer and float slots.
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\n')
            all.push_back(char(b));
    std::map<int, std::string> texts;
    int variable = 1;
    for (size_t at = 0; at < all.size(); at += 20, ++variable)
        texts[variable] = all.substr(at, 20);
    texts[60] = all;  // the whole run in one cell

    auto window = open();
    for (const auto& [v, text] : texts) {
        edit(*window, v, VariableListModel::ColName, fromCp1254(text));
        edit(*window, v, VariableListModel::ColInitialValue, fromCp1254(text));
        ASSERT_EQ(window->model().name(v), text) << v;
    }
    window->aSakla->trigger();

    TempDir dir;
    const std::string path = dir.path("bytes.zmk");
    ASSERT_TRUE(WriteProjectFile(path, project));
    ProjectState reopened;
    ScriptedMessages quiet;
    ASSERT_EQ(LoadProjectFile(path, reopened, quiet), LoadResult::Opened) << quiet.transcript();
    for (const auto& [v, text] : texts) {
        EXPECT_EQ(reopened.variables[size_t(v)].name, text) << v;
        // Integer and real values that are not numbers keep their text.
        EXPECT_EQ(reopened.variables[size_t(v)].initialValue, text) << v;
    }
}

TEST_F(VariableListTest, ANameUsedTwiceIsMarkedBeforeSave)
{
    auto window = open();
    VariableListModel& model = window->model();
    const auto marked = [&](int v) { return model.indexOf(v, VariableListModel::ColName)
                                                .data(VariableListModel::DuplicateNameRole).toBool(); };
    EXPECT_FALSE(marked(31));
    edit(*window, 32, VariableListModel::ColName, "int01");
    EXPECT_TRUE(marked(31));
    EXPECT_TRUE(marked(32));
    EXPECT_FALSE(marked(33));
    EXPECT_FALSE(model.indexOf(32, VariableListModel::ColInitialValue)
                     .data(VariableListModel::DuplicateNameRole).toBool());
    EXPECT_TRUE(model.indexOf(32, VariableListModel::ColName).data(Qt::ToolTipRole).toString().contains("int01"));

    edit(*window, 5, VariableListModel::ColName, "Constant");
    EXPECT_TRUE(marked(5));
    // Unnamed variables share the empty name without a warning.
    edit(*window, 6, VariableListModel::ColName, "");
    edit(*window, 7, VariableListModel::ColName, "");
    EXPECT_FALSE(marked(6));

    edit(*window, 32, VariableListModel::ColName, "weight");
    EXPECT_FALSE(marked(31));
    EXPECT_FALSE(marked(32));
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
}

TEST_F(VariableListTest, TheFilterKeepsMatchingRowsInTheirGroups)
{
    auto window = open();
    edit(*window, 35, VariableListModel::ColName, "Weight");
    edit(*window, 2, VariableListModel::ColName, "weight label");
    const QAbstractItemModel* grid = window->cxGrid1->model();

    struct Case {
        QString filter;
        int visible;
        QStringList groups;
    };
    const Case cases[] = {
        {"WEIGH", 2, {"Type: string (30)", "Type: integer (50)"}},
        {"int0", 9, {"Type: integer (50)"}},   // by slot name: int01..int09
        {"Counter", 5, {"Type: special (15)"}},
        {"no such variable", 0, {}},
        {"", 115, {"Type: string (30)", "Type: special (15)", "Type: integer (50)", "Type: float (20)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter.toStdString());
        QLineEdit* box = window->eFilter;
        box->clear();
        QTest::keyClicks(box, c.filter);
        EXPECT_EQ(window->visibleVariableCount(), c.visible);
        QStringList groups;
        for (int g = 0; g < grid->rowCount(); ++g) {
            groups << grid->index(g, 0).data().toString();
            EXPECT_TRUE(window->cxGrid1->isExpanded(grid->index(g, 0)));
        }
        EXPECT_EQ(groups, c.groups);
    }

    // A filtered row is edited like any other.
    QTest::keyClicks(window->eFilter, "weight");
    edit(*window, 35, VariableListModel::ColName, "Weight kg");
    EXPECT_EQ(window->model().name(35), "Weight kg");
}

TEST_F(VariableListTest, OpensFromTheMainWindowAndPaintsAtOnce)
{
    TempDir dir;
    ScriptedFileDialogs dialogs;
    TMainForm main(project, messages, dialogs, QString::fromStdString(dir.path("recent.ini")));
    main.aYeniExecute();

    // Time from the command to the first frame painted in the list.
    struct PaintProbe : QObject {
        QElapsedTimer clock;
        qint64 firstPaint = -1;
        bool eventFilter(QObject* watched, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && firstPaint < 0 && watched->isWidgetType()
                && static_cast<QWidget*>(watched)->window()->objectName() == "TFDegisken")
                firstPaint = clock.elapsed();
            return false;
        }
    } probe;
    onNextModal([&](QWidget* modal) {
        EXPECT_EQ(modal->objectName(), "TFDegisken");
        EXPECT_EQ(modal->windowTitle(), "Variable List");
        auto* window = static_cast<TFDegisken*>(modal);
        auto* poll = new QTimer(window);
        QObject::connect(poll, &QTimer::timeout, window, [&probe, window] {
            if (probe.firstPaint >= 0)
                window->aCik->trigger();
        });
        poll->start(1);
    });
    qApp->installEventFilter(&probe);
    probe.clock.start();
    main.aVariable->trigger();
    qApp->removeEventFilter(&probe);
    EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
    ASSERT_GE(probe.firstPaint, 0) << "the window was never painted";
    std::printf("variable list: first frame %lld ms after the command\n", static_cast<long long>(probe.firstPaint));
    // A generous bound: only a window that stalls on opening fails here.
    EXPECT_LT(probe.firstPaint, 1000);
}

} // namespace
