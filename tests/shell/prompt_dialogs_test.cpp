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

TEST(IntegerPrompt, RefusesOkUntilTheEntryIsAWholeNumber)
{
    ProjectState project;
    QtMessages messages(project);
    std::vector<bool> stillOpen;
    onNextModal([&](QWidget* prompt) {
        typeAndPress(prompt, "", Qt::Key_Return);
        stillOpen.push_back(prompt->isVisible());
        typeAndPress(prompt, "12a", Qt::Key_Return);
        stillOpen.push_back(prompt->isVisible());
        // The OK button runs the same check as Enter.
        static_cast<TFParamIntegerSor*>(prompt)->okButton()->click();
        stillOpen.push_back(prompt->isVisible());
        typeAndPress(prompt, "-250", Qt::Key_Return);
    });
    int value = 1000;
    EXPECT_TRUE(messages.AskInteger(value, "Offline Timer Interval"));
    EXPECT_EQ(value, -250);
    EXPECT_EQ(stillOpen, (std::vector<bool>{true, true, true}));
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
                text = static_cast<TFuyari*>(box)->messageLabel()->text();
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
