#include "shell/screen_editor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

namespace qvt {

namespace {

constexpr int kLines = 8;
constexpr int kColumns = 20;
constexpr int kDocumentMargin = 2;

QFont ScreenFont()
{
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(11);
    return font;
}

} // namespace

ScreenTextEdit::ScreenTextEdit(QWidget* parent)
    : QPlainTextEdit(parent), leftNumbers_(new QWidget(this)), rightNumbers_(new QWidget(this))
{
    setObjectName("screenText");
    setFont(ScreenFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    document()->setDocumentMargin(kDocumentMargin);
    leftNumbers_->setObjectName("leftLineNumbers");
    rightNumbers_->setObjectName("rightLineNumbers");
    for (QWidget* area : {leftNumbers_, rightNumbers_}) {
        area->setFont(font());
        area->installEventFilter(this);
    }
    setViewportMargins(numberWidth(), 0, numberWidth(), 0);

    const QFontMetrics metrics(font());
    const int frame = 2 * frameWidth();
    setFixedSize(2 * numberWidth() + kColumns * metrics.horizontalAdvance(QLatin1Char('0')) + 2 * kDocumentMargin
                     + frame + cursorWidth() + 2,
                 kLines * metrics.lineSpacing() + 2 * kDocumentMargin + frame + 2);

    connect(this, &QPlainTextEdit::updateRequest, this, [this] {
        leftNumbers_->update();
        rightNumbers_->update();
    });
}

int ScreenTextEdit::numberWidth() const
{
    return QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')) + 6;
}

void ScreenTextEdit::SetFieldRanges(const std::vector<std::pair<int, int>>& ranges)
{
    fieldRanges_ = ranges;
    QList<QTextEdit::ExtraSelection> selections;
    const int end = document()->characterCount() - 1;
    for (const auto& [position, length] : ranges) {
        if (position < 0 || position >= end)
            continue;
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(document());
        selection.cursor.setPosition(position);
        selection.cursor.setPosition(std::min(position + length, end), QTextCursor::KeepAnchor);
        selection.format.setForeground(Qt::red);
        selections.append(selection);
    }
    setExtraSelections(selections);
}

void ScreenTextEdit::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    PlaceNumberAreas();
}

void ScreenTextEdit::PlaceNumberAreas()
{
    const QRect view = viewport()->geometry();
    leftNumbers_->setGeometry(view.left() - numberWidth(), view.top(), numberWidth(), view.height());
    rightNumbers_->setGeometry(view.right() + 1, view.top(), numberWidth(), view.height());
}

bool ScreenTextEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && (watched == leftNumbers_ || watched == rightNumbers_)) {
        PaintNumbers(static_cast<QWidget*>(watched));
        return true;
    }
    return QPlainTextEdit::eventFilter(watched, event);
}

void ScreenTextEdit::PaintNumbers(QWidget* area)
{
    QPainter painter(area);
    painter.fillRect(area->rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Mid));
    // Lines are all as high as the font; the numbers follow the scrolling.
    const QTextBlock first = firstVisibleBlock();
    if (!first.isValid())
        return;
    const int lineHeight = QFontMetrics(font()).lineSpacing();
    const qreal top = blockBoundingGeometry(first).translated(contentOffset()).top();
    const int firstNumber = first.blockNumber();
    for (int line = 0; line < kLines; ++line) {
        const int y = int(top) + (line - firstNumber) * lineHeight;
        if (y + lineHeight < 0 || y > area->height())
            continue;
        painter.drawText(QRect(0, y, area->width(), lineHeight), Qt::AlignCenter, QString::number(line + 1));
    }
}

ScreenEditor::ScreenEditor(QWidget* parent) : QWidget(parent)
{
    setObjectName("screenEditor");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    edit_ = new ScreenTextEdit(this);
    ruler_ = new QLabel(QStringLiteral("....+....+....+....+"), this);
    ruler_->setObjectName("ruler");
    ruler_->setFont(edit_->font());
    // The ruler's first mark stands over the first column of the text.
    ruler_->setContentsMargins(edit_->numberWidth() + edit_->frameWidth() + kDocumentMargin, 0, 0, 0);
    layout->addWidget(ruler_);
    layout->addWidget(edit_);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    insertButton_ = new QPushButton(tr("Insert Variable"), this);
    insertButton_->setObjectName("insertVariable");
    insertButton_->setToolTip(tr("Insert a variable at the cursor position"));
    copyButton_ = new QPushButton(tr("Copy with variable"), this);
    copyButton_->setObjectName("copyWithVariable");
    copyButton_->setToolTip(tr("Copy to clipboard including the variables"));
    for (QPushButton* button : {insertButton_, copyButton_}) {
        button->setFocusPolicy(Qt::TabFocus);
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
}

} // namespace qvt
