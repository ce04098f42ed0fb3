#include "shell/message_box.h"

#include "core/messages.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace qvt {

namespace {

// Room left and right of the message. Each line is measured 20 pixels wider
// than its text; a little of that stays with the text, whose laid-out width
// may exceed its measured one by a fraction of a pixel.
constexpr int kTextMargin = 8;

QPushButton* makeButton(const QString& caption, const char* name, int left, QWidget* panel)
{
    auto* button = new QPushButton(caption, panel);
    button->setObjectName(name);
    button->setGeometry(left, 8, TFuyari::kButtonWidth, TFuyari::kButtonHeight);
    button->setAutoDefault(true);
    return button;
}

} // namespace

TFuyari::TFuyari(Kind kind, const QString& title, const QString& message, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("TFuyari");
    setWindowTitle(title);
    resize(kDesignWidth, kDesignHeight);

    lblBosluk = new QLabel(this);
    lblBosluk->setObjectName("lblBosluk");

    // The message looks like a label but is read-only text: it can be
    // selected and copied (a path, an error to report), and it wraps where a
    // label cannot, inside a word wider than the box.
    lblMesaj = new QTextEdit(this);
    lblMesaj->setObjectName("lblMesaj");
    lblMesaj->setReadOnly(true);
    lblMesaj->setAcceptRichText(false);
    lblMesaj->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblMesaj->setFocusPolicy(Qt::ClickFocus);  // the buttons keep the tab order
    lblMesaj->setFrameShape(QFrame::NoFrame);
    lblMesaj->viewport()->setAutoFillBackground(false);
    lblMesaj->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lblMesaj->setLineWrapMode(QTextEdit::WidgetWidth);
    lblMesaj->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    lblMesaj->document()->setDocumentMargin(0);

    pnlButon = new QFrame(this);
    pnlButon->setObjectName("pnlButon");
    pnlButon->setFrameStyle(QFrame::Box | QFrame::Sunken);

    btnEvet = makeButton(tr("&Yes"), "btnEvet", 8, pnlButon);
    btnHayir = makeButton(tr("&No"), "btnHayir", 88, pnlButon);
    btnVazgec = makeButton(tr("&Cancel"), "btnVazgec", 168, pnlButon);
    connect(btnEvet, &QPushButton::clicked, this, [this] { done(AnswerYes); });
    connect(btnHayir, &QPushButton::clicked, this, [this] { done(AnswerNo); });
    connect(btnVazgec, &QPushButton::clicked, this, [this] { done(AnswerCancel); });
    setTabOrder(btnVazgec, btnEvet);
    setTabOrder(btnEvet, btnHayir);

    int panelWidth = kPanelWidth;
    switch (kind) {
    case Kind::YesNo:
        btnVazgec->hide();
        panelWidth = kYesNoPanelWidth;
        break;
    case Kind::YesNoCancel:
        break;
    case Kind::Info:
        btnEvet->setText(tr("&OK"));
        btnEvet->move(0, 8);
        btnHayir->hide();
        btnVazgec->hide();
        pnlButon->setFrameStyle(QFrame::NoFrame);
        break;
    }
    pnlButon->resize(panelWidth, kPanelHeight);

    message_ = message;
    message_.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    message_.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    layOut(normalizeMessage(message));

    // The first shown button of the tab order has the focus, so Enter right
    // after the box opens answers Cancel where Cancel is offered.
    for (QPushButton* button : {btnVazgec, btnEvet, btnHayir}) {
        if (!button->isHidden()) {
            button->setFocus();
            break;
        }
    }
}

QString TFuyari::normalizeMessage(QString message)
{
    if (!message.contains(QLatin1Char('\r')))
        message.prepend(QLatin1Char('\r'));
    message.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    message.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return message;
}

void TFuyari::layOut(const QString& normalized)
{
    const QRect screenArea = screen()->geometry();
    const QFontMetrics metrics(lblMesaj->font());
    const QStringList lines = normalized.split(QLatin1Char('\r'));

    int widest = 0;
    for (const QString& line : lines)
        if (!line.isEmpty())
            widest = std::max(widest, metrics.horizontalAdvance(line) + 20);
    const int lineHeight = metrics.height();

    const int width = std::max(kDesignWidth, std::min(widest, screenArea.width() - 30));

    QString shown = normalized;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Messages carry names and values typed by the user; they are never markup.
    lblMesaj->setPlainText(shown);
    QTextCursor all(lblMesaj->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);

    // A line cut down to the screen width wraps onto further rows; the box
    // grows for them so that no part of the message is hidden (a message
    // taller than the screen scrolls). The view lays its text out only once
    // it is shown, so the rows are counted on a copy laid out at its width.
    QTextDocument measured;
    measured.setDefaultFont(lblMesaj->font());
    measured.setDocumentMargin(lblMesaj->document()->documentMargin());
    measured.setDefaultTextOption(lblMesaj->document()->defaultTextOption());
    measured.setPlainText(shown);
    measured.setTextWidth(width - 2 * kTextMargin);
    int textHeight = lineHeight * std::max<int>(int(lines.size()), 2);
    textHeight = std::max(textHeight, int(std::ceil(measured.size().height())));
    const int messageHeight = std::min(textHeight + 10, screenArea.height() - 90);

    lblBosluk->setGeometry(0, 0, width, kTopStrip);
    // A wrapped line keeps the margin an unwrapped one gets from the box width.
    lblMesaj->setGeometry(kTextMargin, kTopStrip, width - 2 * kTextMargin, messageHeight);

    const int panelTop = kTopStrip + messageHeight + 6;
    if (btnEvet->x() == 0) {
        // One button: the panel spans the box and the button sits in the middle.
        pnlButon->setGeometry(0, panelTop, width - 4, kPanelHeight);
        btnEvet->move((width - kButtonWidth) / 2, btnEvet->y());
    } else {
        pnlButon->setGeometry(width - pnlButon->width() - 14, panelTop, pnlButon->width(), kPanelHeight);
    }

    const int height = panelTop + kPanelHeight + 6;
    setFixedSize(width, height);
    move(screenArea.x() + (screenArea.width() - width) / 2, screenArea.y() + (screenArea.height() - height) / 2);
}

QString TFuyari::shownText() const
{
    return lblMesaj->toPlainText();
}

void TFuyari::reject()
{
    // Closing the box with its close box.
    done(AnswerCancel);
}

void TFuyari::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        done(btnVazgec->isHidden() ? AnswerNo : AnswerCancel);
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        const QTextCursor cursor = lblMesaj->textCursor();
        QGuiApplication::clipboard()->setText(cursor.hasSelection() ? cursor.selection().toPlainText() : message_);
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace qvt
