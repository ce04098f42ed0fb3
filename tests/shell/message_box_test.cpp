#include "shell/message_box.h"
#include "shell/qt_messages.h"

#include "modal_driver.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

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
    return QFontMetrics(box.messageView()->font()).height();
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
    EXPECT_EQ(box.shownText(), c.shown);

    // Two lines at the least; nothing here is wide enough to wrap.
    const int messageHeight = lineHeight(box) * std::max(c.lines, 2) + 10;
    // Across the box, 8 pixels in from either side.
    EXPECT_EQ(box.messageView()->geometry(), QRect(8, 12, box.width() - 16, messageHeight));
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
    const int wanted = QFontMetrics(box.messageView()->font()).horizontalAdvance(line) + 20;
    ASSERT_LT(wanted, screenArea().width() - 30) << "the line must fit the screen for this case";
    ASSERT_GT(wanted, TFuyari::kDesignWidth);
    EXPECT_EQ(box.width(), wanted);
    EXPECT_EQ(box.messageView()->height(), lineHeight(box) * 2 + 10) << "the line fits on one row";
}

TEST(MessageBoxLayout, LineWiderThanTheScreenIsLimitedAndWraps)
{
    const QString line = QString("overlong ").repeated(200).trimmed();
    TFuyari box(TFuyari::Kind::Info, "Info", line);
    EXPECT_EQ(box.width(), screenArea().width() - 30);
    // The wrapped rows get room: the message is as tall as its wrapped text needs.
    const QTextEdit* view = box.messageView();
    EXPECT_GT(view->height(), lineHeight(box) * 2 + 10);
    EXPECT_GE(view->height(), std::min(int(view->document()->size().height()), screenArea().height() - 90 - 10));
}

namespace {

// A path wider than any screen with no place where a line may break between
// words: no spaces, and no slashes, after which text may break.
QString longPath()
{
    QString path = QStringLiteral("C:\\Projects\\");
    for (int i = 0; i < 40; ++i)
        path += QStringLiteral("stock_count_%1_").arg(i);
    return path + QStringLiteral("final.zmk");
}

} // namespace

TEST(MessageBoxLayout, LongPathWithoutSpacesWrapsAndShowsBothEnds)
{
    const QString message = longPath() + QStringLiteral(" already exists.\r\nDo you want to replace it?");
    TFuyari box(TFuyari::Kind::YesNo, "Confirm", message);
    box.show();
    QApplication::processEvents();
    const QTextEdit* view = box.messageView();
    EXPECT_EQ(box.width(), screenArea().width() - 30);
    EXPECT_EQ(box.shownText(), longPath() + " already exists.\nDo you want to replace it?");

    // The path breaks between characters: no row runs past the box, and the
    // box is tall enough for every row.
    const QTextDocument* document = view->document();
    EXPECT_LE(document->idealWidth(), view->viewport()->width());
    EXPECT_GT(document->firstBlock().layout()->lineCount(), 1);
    EXPECT_LE(document->size().height(), view->viewport()->height());
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());

    // Its last characters are on the last row of the path, inside the box.
    QTextCursor end(document->firstBlock());
    end.setPosition(int(longPath().size()));
    const QRect lastCharacter = view->cursorRect(end);
    EXPECT_TRUE(view->viewport()->rect().contains(lastCharacter.center())) << lastCharacter.x() << "," << lastCharacter.y();
}

TEST(MessageBoxLayout, MessageCanBeSelectedAndCopied)
{
    const QString message = longPath() + QStringLiteral("\r\ncannot be read.");
    TFuyari box(TFuyari::Kind::Info, "Error", message);
    box.show();
    QApplication::processEvents();
    QTextEdit* view = box.messageView();
    EXPECT_TRUE(view->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_TRUE(view->isReadOnly());
    EXPECT_FALSE(view->focusPolicy() & Qt::TabFocus) << "Tab stays among the buttons";

    // Nothing selected: Copy takes the whole message, as given.
    QApplication::clipboard()->clear();
    QTest::keySequence(box.focusWidget(), QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), longPath() + "\ncannot be read.");

    // A selection: Copy takes just that, the wrapped path whole.
    QTextCursor cursor(view->document());
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
    QApplication::clipboard()->clear();
    QTest::keySequence(box.focusWidget(), QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), longPath());
    view->setFocus();
    view->selectAll();
    QTest::keySequence(view, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), longPath() + "\ncannot be read.");
}

TEST(MessageBoxLayout, TallMessageIsLimitedToTheScreenHeight)
{
    TFuyari box(TFuyari::Kind::Info, "Info", QString("line\r\n").repeated(500));
    EXPECT_EQ(box.messageView()->height(), screenArea().height() - 90);
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
    EXPECT_EQ(box.shownText(), "\n<b>name</b> & <i>value</i>");
    EXPECT_FALSE(box.messageView()->document()->toHtml().contains("<b>name"));
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
        text = static_cast<TFuyari*>(box)->shownText();
        QTest::keyClick(box->focusWidget(), Qt::Key_Return);
    });
    // 0xDE and 0xFE are the Turkish S and s with cedilla in the designer's code page.
    messages.ShowError("Variable '\xDE\xFE' is used.");
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(text, QString::fromUtf8("\nVariable 'Şş' is used."));
}
