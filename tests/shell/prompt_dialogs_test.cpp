#include "core/cp1254.h"
#include "shell/message_box.h"
#include "shell/qt_messages.h"
#include "shell/value_prompt.h"
#include "shell/variable_chooser.h"

#include "modal_driver.h"
#include "scripted_messages.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

// ---- Whole numbers as the integer prompt takes them.

namespace {
struct NumberCase {
    const char* text;
    std::optional<int> value;
};
class WholeNumberTest : public ::testing::TestWithParam<NumberCase> {};
} // namespace

TEST_P(WholeNumberTest, Parses)
{
    EXPECT_EQ(parseWholeNumber(QString::fromUtf8(GetParam().text)), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, WholeNumberTest,
    ::testing::Values(NumberCase{"12", 12}, NumberCase{"0", 0}, NumberCase{"-42", -42}, NumberCase{"+7", 7},
                      NumberCase{"007", 7}, NumberCase{"2147483647", 2147483647},
                      NumberCase{"-2147483648", -2147483647 - 1},
                      NumberCase{"", std::nullopt}, NumberCase{"12a", std::nullopt}, NumberCase{"a12", std::nullopt},
                      NumberCase{"1.5", std::nullopt}, NumberCase{" 12", std::nullopt},
                      NumberCase{"12 ", std::nullopt}, NumberCase{"-", std::nullopt}, NumberCase{"+", std::nullopt},
                      NumberCase{"+-3", std::nullopt}, NumberCase{"--3", std::nullopt},
                      NumberCase{"2147483648", std::nullopt}, NumberCase{"99999999999999999999", std::nullopt},
                      NumberCase{"\xef\xbc\x91\xef\xbc\x92", std::nullopt}));  // full-width digits

// ---- The integer and text prompts, run through QtMessages.

namespace {

QLineEdit* valueEdit(QWidget* prompt)
{
    return static_cast<TFParamIntegerSor*>(prompt)->valueEdit();
}

void typeAndPress(QWidget* prompt, const QString& text, Qt::Key key)
{
    QLineEdit* edit = valueEdit(prompt);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    edit->insert(text);  // QTest types ASCII only
    QTest::keyClick(edit, key);
}

} // namespace

TEST(IntegerPrompt, ShowsOnlyPositiveValuesAndItsCaptions)
{
    struct Case {
        int value;
        QString shown;
    };
    for (const Case& c : {Case{0, ""}, Case{-5, ""}, Case{1000, "1000"}}) {
        ProjectState project;
        QtMessages messages(project);
        QString shown, title, label, ok, cancel;
        onNextModal([&](QWidget* prompt) {
            auto* p = static_cast<TFParamIntegerSor*>(prompt);
            shown = p->valueEdit()->text();
            title = p->windowTitle();
            label = p->valueLabel()->text();
            ok = p->okButton()->text();
            cancel = p->cancelButton()->text();
            p->cancelButton()->click();
        });
        int value = c.value;
        EXPECT_FALSE(messages.AskInteger(value, "Online Timer Interval"));
        EXPECT_EQ(value, c.value) << "Cancel keeps the value";
        EXPECT_EQ(shown, c.shown) << c.value;
        EXPECT_EQ(title, "Online Timer Interval");
        EXPECT_EQ(label, QString::fromUtf8("Değer"));
        EXPECT_EQ(ok, "&OK");
        EXPECT_EQ(cancel, "&Cancel");
    }
}

TEST(IntegerPrompt, RefusesOkUntilTheEntryIsAWholeNumberAndSaysWhy)
{
    ProjectState project;
    QtMessages messages(project);
    struct Seen {
        bool open;
        bool problem;
        QString hint;
        QColor field;
        bool onlyThePrompt;  // no second box
    };
    std::vector<Seen> seen;
    QColor plainField;
    const auto look = [&](QWidget* prompt) {
        auto* p = static_cast<TFParamIntegerSor*>(prompt);
        seen.push_back({p->isVisible(), p->showsProblem(), p->hintLabel()->isVisible() ? p->hintLabel()->text() : "",
                        p->valueEdit()->palette().color(QPalette::Base),
                        QApplication::activeModalWidget() == prompt});
    };
    onNextModal([&](QWidget* prompt) {
        auto* p = static_cast<TFParamIntegerSor*>(prompt);
        plainField = p->valueEdit()->palette().color(QPalette::Base);
        typeAndPress(prompt, "", Qt::Key_Return);
        look(prompt);
        typeAndPress(prompt, "12a", Qt::Key_Return);
        look(prompt);
        // The OK button runs the same check as Enter.
        p->okButton()->click();
        look(prompt);
        // Editing the entry takes the mark away until the next OK.
        QTest::keyClick(p->valueEdit(), Qt::Key_Backspace);
        look(prompt);
        typeAndPress(prompt, "-250", Qt::Key_Return);
    });
    int value = 1000;
    EXPECT_TRUE(messages.AskInteger(value, "Offline Timer Interval"));
    EXPECT_EQ(value, -250);
    ASSERT_EQ(seen.size(), 4u);
    const QString range = "Enter a whole number from -2147483648 to 2147483647.";
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(seen[i].open);
        EXPECT_TRUE(seen[i].problem);
        EXPECT_EQ(seen[i].hint, range);
        EXPECT_NE(seen[i].field, plainField) << "the field is coloured";
        EXPECT_TRUE(seen[i].onlyThePrompt);
    }
    EXPECT_FALSE(seen[3].problem);
    EXPECT_EQ(seen[3].field, plainField);
}

TEST(IntegerPrompt, ExplanationFitsInsideThePrompt)
{
    TFParamIntegerSor prompt(TFParamIntegerSor::Mode::Integer, "Online Timer Interval", "");
    const QSize plain = prompt.size();
    prompt.okButton()->click();
    ASSERT_TRUE(prompt.showsProblem());
    const QRect hint = prompt.hintLabel()->geometry();
    EXPECT_GE(hint.height(), prompt.hintLabel()->heightForWidth(hint.width()));
    EXPECT_GT(prompt.okButton()->y(), hint.bottom()) << "the buttons move below the explanation";
    EXPECT_LE(prompt.okButton()->geometry().bottom(), prompt.height());
    EXPECT_EQ(prompt.width(), plain.width());
    EXPECT_GT(prompt.height(), plain.height());
}

TEST(IntegerPrompt, EscapeCancels)
{
    ProjectState project;
    QtMessages messages(project);
    onNextModal([](QWidget* prompt) { typeAndPress(prompt, "5", Qt::Key_Escape); });
    int value = 9;
    EXPECT_FALSE(messages.AskInteger(value, "Online Timer Interval"));
    EXPECT_EQ(value, 9);
}

TEST(IntegerPrompt, CancelIsNotReachedByTab)
{
    TFParamIntegerSor prompt(TFParamIntegerSor::Mode::Integer, "T", "");
    EXPECT_FALSE(prompt.cancelButton()->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(prompt.okButton()->focusPolicy() & Qt::TabFocus);
}

TEST(TextPrompt, AcceptsAnyTextAndKeepsProjectBytes)
{
    struct Case {
        std::string before;
        QString typed;  // empty optional-like: nothing typed keeps the shown text
        bool retype;
        std::string after;
    };
    const Case cases[] = {
        {"V1", "", true, ""},                   // the empty text is a valid version
        {"V1", "V2 beta", true, "V2 beta"},
        {"s\xFE\xE7", "", false, "s\xFE\xE7"},  // untouched Turkish bytes come back unchanged
        {"V1", QString::fromUtf8("Sürüm ğ"), true, "S\xFCr\xFCm \xF0"},
    };
    for (const Case& c : cases) {
        ProjectState project;
        QtMessages messages(project);
        QString shown;
        onNextModal([&](QWidget* prompt) {
            shown = valueEdit(prompt)->text();
            if (c.retype)
                typeAndPress(prompt, c.typed, Qt::Key_Enter);
            else
                QTest::keyClick(valueEdit(prompt), Qt::Key_Return);
        });
        std::string text = c.before;
        EXPECT_TRUE(messages.AskText(text, "Version"));
        EXPECT_EQ(text, c.after);
        EXPECT_FALSE(shown.isEmpty());
    }
}

TEST(TextPrompt, PastedTextEndsAtItsFirstLineBreak)
{
    // A line break in the version would split its line of the project file.
    struct Case {
        QString clipboard;
        std::string after;
    };
    const Case cases[] = {
        {"V2\r\nsecond line", "V2"},
        {"V3\nmore\nand more", "V3"},
        {"\nnothing before", ""},
        {"V4 whole", "V4 whole"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clipboard.toStdString());
        ProjectState project;
        QtMessages messages(project);
        QString shown;
        onNextModal([&](QWidget* prompt) {
            QApplication::clipboard()->setText(c.clipboard);
            valueEdit(prompt)->selectAll();
            valueEdit(prompt)->paste();
            shown = valueEdit(prompt)->text();
            QTest::keyClick(valueEdit(prompt), Qt::Key_Return);
        });
        std::string text = "V1";
        EXPECT_TRUE(messages.AskText(text, "Version"));
        EXPECT_EQ(text, c.after);
        EXPECT_EQ(shown.toStdString(), c.after) << "the box shows what will be kept";
    }
}

namespace {

// Types one character into the field as a key press with that text.
void typeCharacter(QLineEdit* edit, const QString& character)
{
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, character, Qt::NoModifier);
}

} // namespace

TEST(TextPrompt, CharactersOutsideTheCodePageAreRefusedWithAReason)
{
    // Ω and Ж have no byte in Windows-1254; they would be stored as '?'.
    ProjectState project;
    QtMessages messages(project);
    struct Step {
        QString shown;
        int cursor;
        bool problem;
        QString hint;
    };
    std::vector<Step> steps;
    const auto look = [&](TFParamIntegerSor* p) {
        steps.push_back({p->valueEdit()->text(), p->valueEdit()->cursorPosition(), p->showsProblem(),
                         p->showsProblem() ? p->hintLabel()->text() : QString()});
    };
    onNextModal([&](QWidget* prompt) {
        auto* p = static_cast<TFParamIntegerSor*>(prompt);
        QLineEdit* edit = p->valueEdit();
        edit->end(false);
        typeCharacter(edit, "2");
        look(p);
        typeCharacter(edit, QString::fromUtf8("Ω"));
        look(p);
        // A paste with one such character is refused as a whole.
        QApplication::clipboard()->setText(QString::fromUtf8(" beta Жx"));
        edit->paste();
        look(p);
        edit->setCursorPosition(1);
        typeCharacter(edit, QString::fromUtf8("ş"));
        look(p);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    std::string text = "V1";
    EXPECT_TRUE(messages.AskText(text, "Version"));
    EXPECT_EQ(text, "V\xFE" "12") << "the last good value is what OK takes";
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].shown, "V12");
    EXPECT_FALSE(steps[0].problem);
    EXPECT_EQ(steps[1].shown, "V12");
    EXPECT_EQ(steps[1].cursor, 3);
    EXPECT_TRUE(steps[1].problem);
    EXPECT_EQ(steps[1].hint, QString::fromUtf8("\"Ω\" cannot be stored in the project (Windows-1254) and was not taken."));
    EXPECT_EQ(steps[2].shown, "V12");
    EXPECT_EQ(steps[2].cursor, 3);
    EXPECT_EQ(steps[2].hint, QString::fromUtf8("\"Ж\" cannot be stored in the project (Windows-1254) and was not taken."));
    EXPECT_EQ(steps[3].shown, QString::fromUtf8("Vş12"));
    EXPECT_FALSE(steps[3].problem) << "a good edit takes the explanation away";
}

TEST(TextPrompt, EveryCharacterOfTheCodePageIsTaken)
{
    // All bytes but the line breaks, which end a one-line value.
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\n' && b != '\r')
            all.push_back(char(b));
    ProjectState project;
    QtMessages messages(project);
    bool problem = true;
    onNextModal([&](QWidget* prompt) {
        auto* p = static_cast<TFParamIntegerSor*>(prompt);
        p->valueEdit()->selectAll();
        p->valueEdit()->insert(fromCp1254(all));
        problem = p->showsProblem();
        p->okButton()->click();
    });
    std::string text = "V1";
    EXPECT_TRUE(messages.AskText(text, "Version"));
    EXPECT_FALSE(problem);
    EXPECT_EQ(text, all);
}

TEST(TextPrompt, CancelKeepsTheText)
{
    ProjectState project;
    QtMessages messages(project);
    onNextModal([](QWidget* prompt) {
        QTest::keyClicks(valueEdit(prompt), "changed");
        static_cast<TFParamIntegerSor*>(prompt)->cancelButton()->click();
    });
    std::string text = "V1";
    EXPECT_FALSE(messages.AskText(text, "Version"));
    EXPECT_EQ(text, "V1");
}

// ---- Select a variable.

TEST(SelectVariable, MaximumBelowTwoReturnsAtOnce)
{
    ProjectState project;
    QtMessages messages(project);
    int index = -1, length = -1;
    EXPECT_FALSE(messages.SelectVariable(1, index, length));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(length, -1);
}

TEST(SelectVariable, ListsStringIntegerAndFloatNamesSorted)
{
    ProjectState project;
    project.variables[5].name = "barcode";
    project.variables[40].name = "Amount";
    ScriptedMessages messages;
    TFTusSecim chooser(project.variables, 20, messages);
    EXPECT_EQ(chooser.windowTitle(), "Select a variable");
    QStringList names;
    for (int i = 0; i < chooser.sourceBox()->count(); ++i)
        names << chooser.sourceBox()->itemText(i);
    EXPECT_EQ(names.size(), 100);
    EXPECT_TRUE(names.contains("barcode"));
    EXPECT_TRUE(names.contains("Amount"));
    EXPECT_FALSE(names.contains("Constant"));
    EXPECT_FALSE(names.contains("Label"));
    QStringList sorted = names;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(names, sorted);
    EXPECT_EQ(chooser.sourceBox()->currentIndex(), -1) << "nothing is chosen at first";
}

TEST(SelectVariable, AlphabeticalOrderIgnoresCase)
{
    ProjectState project;
    project.variables[1].name = "zone";
    project.variables[2].name = "Zebra";
    project.variables[3].name = "apple";
    project.variables[4].name = "Banana";
    project.variables[5].name = "banana";
    ScriptedMessages messages;
    TFTusSecim chooser(project.variables, 20, messages);
    const QComboBox* box = chooser.sourceBox();
    const auto at = [box](const char* name) { return box->findText(QString::fromLatin1(name)); };
    EXPECT_LT(at("apple"), at("Banana"));
    EXPECT_EQ(at("Banana") + 1, at("banana"));
    EXPECT_LT(at("banana"), at("flt01"));
    EXPECT_LT(at("str30"), at("Zebra"));
    EXPECT_LT(at("Zebra"), at("zone"));
    EXPECT_EQ(at("zone"), box->count() - 1);
}

TEST(SelectVariable, OrderFollowsTheUsersLanguage)
{
    struct Case {
        const char* locale;
        std::vector<const char*> order;  // names as they must follow each other
    };
    const Case cases[] = {
        {"en_US", {"Cami", "\xC7" "ay", "Dal", "zeta"}},
        {"tr_TR", {"Cami", "\xC7" "ay", "Dal", "\xD6l\xE7\xFC", "Su", "\xDE" "eker", "zeta"}},
    };
    const QLocale before;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        ProjectState project;
        for (size_t i = 0; i < c.order.size(); ++i)
            project.variables[1 + i].name = c.order[c.order.size() - 1 - i];  // stored back to front
        ScriptedMessages messages;
        TFTusSecim chooser(project.variables, 20, messages);
        std::vector<int> positions;
        for (const char* name : c.order)
            positions.push_back(chooser.sourceBox()->findText(fromCp1254(name)));
        EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end())) << ::testing::PrintToString(positions);
        EXPECT_EQ(std::count(positions.begin(), positions.end(), -1), 0);
    }
    QLocale::setDefault(before);
}

namespace {

struct ChoiceCase {
    const char* name;
    const char* source;  // nullptr: nothing chosen
    const char* length;
    std::string_view error;  // empty: accepted
    int index;
    int chosenLength;
};

class SelectVariableChecksTest : public ::testing::TestWithParam<ChoiceCase> {};

} // namespace

TEST_P(SelectVariableChecksTest, ChecksTheChoiceOnOk)
{
    const ChoiceCase& c = GetParam();
    ProjectState project;
    project.variables[5].name = "qty";
    project.variables[33].name = "qty";  // the same name twice: the lower index wins
    ScriptedMessages messages;
    TFTusSecim chooser(project.variables, 20, messages);
    if (c.source)
        chooser.sourceBox()->setCurrentIndex(chooser.sourceBox()->findText(c.source));
    chooser.lengthEdit()->setText(QString::fromLatin1(c.length));
    chooser.show();
    chooser.okButton()->click();

    if (c.error.empty()) {
        EXPECT_TRUE(messages.shown.empty()) << messages.transcript();
        EXPECT_EQ(chooser.result(), QDialog::Accepted);
        EXPECT_EQ(chooser.variableIndex(), c.index);
        EXPECT_EQ(chooser.length(), c.chosenLength);
    } else {
        EXPECT_EQ(messages.errors(), std::vector<std::string>{std::string(c.error)});
        EXPECT_TRUE(chooser.isVisible()) << "the window stays open after a message";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, SelectVariableChecksTest,
    ::testing::Values(
        ChoiceCase{"NothingChosen", nullptr, "5", kMsgSelectSource, 0, 0},
        ChoiceCase{"EmptyLengthIsTheMaximum", "int01", "", {}, 31, 20},
        ChoiceCase{"LengthTwo", "str01", "2", {}, 1, 2},
        ChoiceCase{"LengthAtTheMaximum", "flt20", "20", {}, 100, 20},
        ChoiceCase{"SpacesAroundTheLength", "str30", "  7 ", {}, 30, 7},
        ChoiceCase{"LowerIndexOfADuplicateName", "qty", "", {}, 5, 20},
        ChoiceCase{"LengthOne", "int01", "1", kMsgValueOutOfRange, 0, 0},
        ChoiceCase{"LengthAboveTheMaximum", "int01", "21", kMsgValueOutOfRange, 0, 0},
        ChoiceCase{"LengthOfSpacesOnly", "int01", "   ", kMsgValueOutOfRange, 0, 0},
        ChoiceCase{"LengthNotANumber", "int01", "5x", kMsgValueOutOfRange, 0, 0},
        ChoiceCase{"NegativeLength", "int01", "-5", kMsgValueOutOfRange, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SelectVariable, NameNoLongerInTheTableIsNotAChoice)
{
    ProjectState project;
    ScriptedMessages messages;
    TFTusSecim chooser(project.variables, 20, messages);
    chooser.sourceBox()->setCurrentIndex(chooser.sourceBox()->findText("str07"));
    project.variables[7].name = "renamed";
    chooser.show();
    chooser.okButton()->click();
    EXPECT_EQ(messages.errors(), std::vector<std::string>{std::string(kMsgSelectSource)});
    EXPECT_TRUE(chooser.isVisible());
}

TEST(SelectVariable, EnterMovesToTheNextControlAndSkipsCancel)
{
    ProjectState project;
    ScriptedMessages messages;
    TFTusSecim chooser(project.variables, 20, messages);
    chooser.show();
    QApplication::setActiveWindow(&chooser);
    std::vector<std::string> path;
    for (int i = 0; i < 4; ++i) {
        QWidget* focus = chooser.focusWidget();
        path.push_back(focus ? focus->objectName().toStdString() : "");
        QTest::keyClick(focus, Qt::Key_Return);
    }
    EXPECT_EQ(path, (std::vector<std::string>{"eSource", "eLength", "btnOK", "eSource"}));
    EXPECT_TRUE(chooser.isVisible()) << "Enter on OK moves on instead of confirming";
    EXPECT_TRUE(messages.shown.empty());
}

TEST(SelectVariable, ConfirmedChoiceComesBackThroughQtMessages)
{
    ProjectState project;
    project.variables[12].name = "\xDC r\xFCn";  // "Ü rün" in the designer's code page
    QtMessages messages(project);
    onNextModal([](QWidget* window) {
        auto* chooser = static_cast<TFTusSecim*>(window);
        chooser->sourceBox()->setCurrentIndex(chooser->sourceBox()->findText(QString::fromUtf8("Ü rün")));
        chooser->lengthEdit()->setText("8");
        chooser->okButton()->click();
    });
    int index = 0, length = 0;
    EXPECT_TRUE(messages.SelectVariable(20, index, length));
    EXPECT_EQ(index, 12);
    EXPECT_EQ(length, 8);
}

TEST(SelectVariable, CancelReturnsFalse)
{
    ProjectState project;
    QtMessages messages(project);
    onNextModal([](QWidget* window) { static_cast<TFTusSecim*>(window)->cancelButton()->click(); });
    int index = 3, length = 4;
    EXPECT_FALSE(messages.SelectVariable(20, index, length));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(length, 4);
}

TEST(SelectVariable, CheckMessageOpensOverTheChooserAndKeepsItOpen)
{
    ProjectState project;
    QtMessages messages(project);
    QString title, text;
    QString owner;
    bool chooserOpenAfterwards = false;
    onNextModal([&](QWidget* window) {
        auto* chooser = static_cast<TFTusSecim*>(window);
        onNextModal(
            [&, chooser](QWidget* box) {
                title = box->windowTitle();
                text = static_cast<TFuyari*>(box)->shownText();
                owner = box->parentWidget() ? box->parentWidget()->objectName() : QString();
                QTest::keyClick(box->focusWidget(), Qt::Key_Escape);
                QTimer::singleShot(0, chooser, [&, chooser] {
                    chooserOpenAfterwards = chooser->isVisible();
                    chooser->cancelButton()->click();
                });
            },
            chooser);
        QMetaObject::invokeMethod(chooser->okButton(), "click", Qt::QueuedConnection);
    });
    int index = 0, length = 0;
    EXPECT_FALSE(messages.SelectVariable(20, index, length));
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(text, "\nSource variable must be selected...");
    EXPECT_EQ(owner, "TFTusSecim") << "the box belongs to the chooser";
    EXPECT_TRUE(chooserOpenAfterwards);
}
