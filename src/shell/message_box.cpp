#include "shell/message_box.h"

#include "core/messages.h"

#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace qvt {

namespace {

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

    lblMesaj = new QLabel(this);
    lblMesaj->setObjectName("lblMesaj");
    // Messages carry names and values typed by the user; they are never markup.
    lblMesaj->setTextFormat(Qt::PlainText);
    lblMesaj->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblMesaj->setWordWrap(true);

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
    lblMesaj->setText(shown);

    // A line cut down to the screen width wraps onto further rows; the box
    // grows for them so that no part of the message is hidden.
    int textHeight = lineHeight * std::max<int>(int(lines.size()), 2);
    textHeight = std::max(textHeight, lblMesaj->heightForWidth(width));
    const int messageHeight = std::min(textHeight + 10, screenArea.height() - 90);

    lblBosluk->setGeometry(0, 0, width, kTopStrip);
    lblMesaj->setGeometry(0, kTopStrip, width, messageHeight);

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
    QDialog::keyPressEvent(event);
}

} // namespace qvt
