#include "shell/message_box.h"
#include "shell/qt_messages.h"

#include "modal_driver.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace qvt;
using namespace qvt::test;

namespace {

QRect screenArea()
{
    return QGuiApplication::primaryScreen()->geometry();
}

int lineHeight(const TFuyari& box)
{
    return QFontMetrics(box.messageLabel()->font()).height();
}

struct TextCase {
    const char* name;
    QString message;
    QString shown;  // the label's text, CR shown as a line break
    int lines;
};

class MessageTextTest : public ::testing::TestWithParam<TextCase> {};

} // namespace

TEST_P(MessageTextTest, NormalisesLineBreaksAndSizesTheMessage)
{
    const TextCase& c = GetParam();
    TFuyari box(TFuyari::Kind::Info, "Error", c.message);
    EXPECT_EQ(box.messageLabel()->text(), c.shown);

    // Two lines at the least; nothing here is wide enough to wrap.
    const int messageHeight = lineHeight(box) * std::max(c.lines, 2) + 10;
    EXPECT_EQ(box.messageLabel()->geometry(), QRect(0, 12, box.width(), messageHeight));
    EXPECT_EQ(box.buttonPanel()->y(), 12 + messageHeight + 6);
    EXPECT_EQ(box.height(), box.buttonPanel()->geometry().bottom() + 1 + 6);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MessageTextTest,
    ::testing::Values(
        // A one-line message shows under an empty first line.
        TextCase{"OneLine", "Compiled.", "\nCompiled.", 2},
        TextCase{"CrLf", "first\r\nsecond", "first\nsecond", 2},
        TextCase{"BareCr", "first\rsecond", "first\nsecond", 2},
        // Without any CR the empty first line comes before the LF is turned into a break.
        TextCase{"BareLf", "first\nsecond", "\nfirst\nsecond", 3},
        TextCase{"EmptyLinesCount", "a\r\n\r\n\r\nb", "a\n\n\nb", 4},
        TextCase{"CrLfAndLf", "a\r\nb\nc", "a\nb\nc", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBoxLayout, ShortMessageKeepsTheDesignWidth)
{
    TFuyari box(TFuyari::Kind::YesNoCancel, "Confirm", "Would you like to save changes?");
    EXPECT_EQ(box.width(), TFuyari::kDesignWidth);
}

TEST(MessageBoxLayout, WideLineWidensTheBoxToFitIt)
{
    const QString line = QString("wide ").repeated(20).trimmed();
    TFuyari box(TFuyari::Kind::Info, "Info", line);
    const int wanted = QFontMetrics(box.messageLabel()->font()).horizontalAdvance(line) + 20;
    ASSERT_LT(wanted, screenArea().width() - 30) << "the line must fit the screen for this case";
    ASSERT_GT(wanted, TFuyari::kDesignWidth);
    EXPECT_EQ(box.width(), wanted);
}

TEST(MessageBoxLayout, LineWiderThanTheScreenIsLimitedAndWraps)
{
    const QString line = QString("overlong ").repeated(200).trimmed();
    TFuyari box(TFuyari::Kind::Info, "Info", line);
    EXPECT_EQ(box.width(), screenArea().width() - 30);
    // The wrapped rows get room: the label is as tall as its wrapped text needs.
    const QLabel* label = box.messageLabel();
    EXPECT_GT(label->height(), lineHeight(box) * 2 + 10);
    EXPECT_GE(label->height(), std::min(label->heightForWidth(label->width()), screenArea().height() - 90 - 10));
}

TEST(MessageBoxLayout, TallMessageIsLimitedToTheScreenHeight)
{
    TFuyari box(TFuyari::Kind::Info, "Info", QString("line\r\n").repeated(500));
    EXPECT_EQ(box.messageLabel()->height(), screenArea().height() - 90);
}

TEST(MessageBoxLayout, ButtonLayoutsOfTheThreeKinds)
{
    {
        TFuyari box(TFuyari::Kind::YesNo, "Confirm", "Sure?");
        EXPECT_TRUE(box.cancelButton()->isHidden());
        EXPECT_FALSE(box.yesButton()->isHidden());
        EXPECT_FALSE(box.noButton()->isHidden());
        EXPECT_EQ(box.yesButton()->geometry(), QRect(8, 8, 75, 25));
        EXPECT_EQ(box.noButton()->geometry(), QRect(88, 8, 75, 25));
        EXPECT_EQ(box.buttonPanel()->width(), 169);
        EXPECT_EQ(box.buttonPanel()->x(), box.width() - 169 - 14);
        EXPECT_EQ(box.yesButton()->text(), "&Yes");
        EXPECT_EQ(box.noButton()->text(), "&No");
    }
    {
        TFuyari box(TFuyari::Kind::YesNoCancel, "Confirm", "Sure?");
        for (QPushButton* b : {box.yesButton(), box.noButton(), box.cancelButton()})
            EXPECT_FALSE(b->isHidden());
        EXPECT_EQ(box.yesButton()->x(), 8);
        EXPECT_EQ(box.noButton()->x(), 88);
        EXPECT_EQ(box.cancelButton()->geometry(), QRect(168, 8, 75, 25));
        EXPECT_EQ(box.cancelButton()->text(), "&Cancel");
        EXPECT_EQ(box.buttonPanel()->width(), 251);
        EXPECT_EQ(box.buttonPanel()->x(), box.width() - 251 - 14);
    }
    {
        // One button, centred in a panel that spans the box, without bevels.
        const QString wide = QString("centred ").repeated(12).trimmed();
        for (const QString& message : {QString("Compiled."), wide}) {
            TFuyari box(TFuyari::Kind::Info, "Info", message);
            EXPECT_TRUE(box.noButton()->isHidden());
            EXPECT_TRUE(box.cancelButton()->isHidden());
            EXPECT_EQ(box.yesButton()->text(), "&OK");
            EXPECT_EQ(box.buttonPanel()->geometry().x(), 0);
            EXPECT_EQ(box.buttonPanel()->width(), box.width() - 4);
            EXPECT_EQ(box.yesButton()->x(), (box.width() - 75) / 2);
            EXPECT_EQ(box.buttonPanel()->frameShape(), QFrame::NoFrame);
        }
    }
}

TEST(MessageBoxLayout, MessagesAreNeverMarkup)
{
    TFuyari box(TFuyari::Kind::Info, "Info", "<b>name</b> & <i>value</i>");
    EXPECT_EQ(box.messageLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(box.messageLabel()->text(), "\n<b>name</b> & <i>value</i>");
}

// ---- The boxes as QtMessages runs them: keys, focus, answers.

namespace {

enum class Way { Enter, Escape, TabThenEnter, CloseBox };

struct KeyCase {
    const char* name;
    TFuyari::Kind kind;
    Way way;
    const char* focused;  // object name of the button that has the focus on opening
    int answer;
};

class MessageBoxKeysTest : public ::testing::TestWithParam<KeyCase> {};

} // namespace

TEST_P(MessageBoxKeysTest, AnswersByKey)
{
    const KeyCase& c = GetParam();
    ProjectState project;
    QtMessages messages(project);
    std::string focused;
    onNextModal([&](QWidget* box) {
        QWidget* focus = box->focusWidget();
        focused = focus ? focus->objectName().toStdString() : "";
        QWidget* target = focus ? focus : box;
        switch (c.way) {
        case Way::Enter: QTest::keyClick(target, Qt::Key_Return); break;
        case Way::Escape: QTest::keyClick(target, Qt::Key_Escape); break;
        case Way::TabThenEnter:
            QTest::keyClick(target, Qt::Key_Tab);
            QTest::keyClick(box->focusWidget(), Qt::Key_Return);
            break;
        case Way::CloseBox: box->close(); break;
        }
    });
    int answer = -1;
    switch (c.kind) {
    case TFuyari::Kind::YesNo: answer = messages.AskYesNo("Confirm", "Sure?"); break;
    case TFuyari::Kind::YesNoCancel: answer = messages.AskYesNoCancel("Confirm", "Sure?"); break;
    case TFuyari::Kind::Info: messages.ShowInfo("Info", "Done."); answer = 0; break;
    }
    EXPECT_EQ(focused, c.focused);
    if (c.kind != TFuyari::Kind::Info) {
        EXPECT_EQ(answer, c.answer);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MessageBoxKeysTest,
    ::testing::Values(
        // Cancel has the focus where it is offered, so Enter answers Cancel.
        KeyCase{"YesNoCancelEnterIsCancel", TFuyari::Kind::YesNoCancel, Way::Enter, "btnVazgec", AnswerCancel},
        KeyCase{"YesNoCancelTabGoesToYes", TFuyari::Kind::YesNoCancel, Way::TabThenEnter, "btnVazgec", AnswerYes},
        KeyCase{"YesNoCancelEscapeIsCancel", TFuyari::Kind::YesNoCancel, Way::Escape, "btnVazgec", AnswerCancel},
        KeyCase{"YesNoCancelCloseBoxIsCancel", TFuyari::Kind::YesNoCancel, Way::CloseBox, "btnVazgec", AnswerCancel},
        KeyCase{"YesNoEnterIsYes", TFuyari::Kind::YesNo, Way::Enter, "btnEvet", AnswerYes},
        KeyCase{"YesNoTabGoesToNo", TFuyari::Kind::YesNo, Way::TabThenEnter, "btnEvet", AnswerNo},
        KeyCase{"YesNoEscapeIsNo", TFuyari::Kind::YesNo, Way::Escape, "btnEvet", AnswerNo},
        KeyCase{"YesNoCloseBoxIsCancel", TFuyari::Kind::YesNo, Way::CloseBox, "btnEvet", AnswerCancel},
        // Info boxes only need to close; the watchdog fails the case if one stays open.
        KeyCase{"InfoEscapeCloses", TFuyari::Kind::Info, Way::Escape, "btnEvet", 0},
        KeyCase{"InfoEnterCloses", TFuyari::Kind::Info, Way::Enter, "btnEvet", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtMessagesBoxes, ErrorBoxIsTitledErrorAndShowsProjectBytes)
{
    ProjectState project;
    QtMessages messages(project);
    QString title, text;
    onNextModal([&](QWidget* box) {
        title = box->windowTitle();
        text = static_cast<TFuyari*>(box)->messageLabel()->text();
        QTest::keyClick(box->focusWidget(), Qt::Key_Return);
    });
    // 0xDE and 0xFE are the Turkish S and s with cedilla in the designer's code page.
    messages.ShowError("Variable '\xDE\xFE' is used.");
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(text, QString::fromUtf8("\nVariable 'Şş' is used."));
}
