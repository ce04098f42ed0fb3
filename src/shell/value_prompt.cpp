#include "shell/value_prompt.h"

#include "core/cp1254.h"
#include "core/decimal.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace qvt {

std::optional<int> parseWholeNumber(QStringView text)
{
    // Characters outside Latin-1 become '?', which no number contains.
    const QByteArray latin = text.toLatin1();
    return ParseDecimal(std::string_view(latin.constData(), size_t(latin.size())));
}

namespace {

constexpr int kPromptWidth = 173;
constexpr int kPromptHeight = 101;
constexpr int kButtonTop = 64;
constexpr int kHintTop = 52;

} // namespace

TFParamIntegerSor::TFParamIntegerSor(Mode mode, const QString& title, const QString& value, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , mode_(mode)
    , lastGood_(value)
{
    setObjectName("TFParamIntegerSor");
    setWindowTitle(title);

    lblValue = new QLabel(QStringLiteral(u"Değer"), this);
    lblValue->setObjectName("lblValue");
    lblValue->setGeometry(8, 6, 157, 16);

    eValue = new QLineEdit(value, this);
    eValue->setObjectName("eValue");
    eValue->setGeometry(8, 24, 157, 24);
    eValue->selectAll();
    lblValue->setBuddy(eValue);
    connect(eValue, &QLineEdit::textEdited, this, &TFParamIntegerSor::onTextEdited);

    lblHint = new QLabel(this);
    lblHint->setObjectName("lblHint");
    lblHint->setTextFormat(Qt::PlainText);
    lblHint->setWordWrap(true);
    QPalette hintColours = lblHint->palette();
    hintColours.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x20));
    lblHint->setPalette(hintColours);
    lblHint->hide();

    btnOK = new QPushButton(tr("&OK"), this);
    btnOK->setObjectName("btnOK");
    btnVazgec = new QPushButton(tr("&Cancel"), this);
    btnVazgec->setObjectName("btnVazgec");
    btnVazgec->setFocusPolicy(Qt::ClickFocus);  // not reachable with Tab
    connect(btnOK, &QPushButton::clicked, this, &TFParamIntegerSor::accept);
    connect(btnVazgec, &QPushButton::clicked, this, &TFParamIntegerSor::reject);
    placeControls();

    for (QWidget* control : {static_cast<QWidget*>(eValue), static_cast<QWidget*>(btnOK),
                             static_cast<QWidget*>(btnVazgec)})
        control->installEventFilter(this);
    eValue->setFocus();

    const QRect area = screen()->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

QString TFParamIntegerSor::integerHint()
{
    return tr("Enter a whole number from %1 to %2.")
        .arg(std::numeric_limits<int>::min())
        .arg(std::numeric_limits<int>::max());
}

QString TFParamIntegerSor::refusedCharactersHint(const QString& refused)
{
    return tr("\"%1\" cannot be stored in the project (Windows-1254) and was not taken.").arg(refused);
}

void TFParamIntegerSor::onTextEdited(const QString& text)
{
    // The value is one line of the project file: a line feed in it (pasted
    // text keeps them) would split it in two and the file would no longer
    // open. Like a single-line edit box, keep what comes before the break.
    QString entry = text;
    qsizetype cut = entry.indexOf(QLatin1Char('\n'));
    if (cut >= 0) {
        if (cut > 0 && entry[cut - 1] == QLatin1Char('\r'))
            --cut;
        entry.truncate(cut);
    }

    if (mode_ == Mode::Integer) {
        if (entry != text)
            eValue->setText(entry);
        // A new entry is judged again on OK.
        clearProblem();
        return;
    }

    // A text is stored as code page bytes; a character the code page lacks
    // would become '?' in the file. Such an edit is refused as a whole and
    // the entry goes back to what it was.
    if (!FitsCp1254(entry)) {
        const int grown = int(text.size() - lastGood_.size());
        const int cursor = std::clamp(eValue->cursorPosition() - std::max(grown, 0), 0, int(lastGood_.size()));
        eValue->setText(lastGood_);
        eValue->setCursorPosition(cursor);
        showProblem(refusedCharactersHint(CharactersOutsideCp1254(entry)));
        return;
    }
    if (entry != text)
        eValue->setText(entry);
    lastGood_ = entry;
    clearProblem();
}

void TFParamIntegerSor::showProblem(const QString& hint)
{
    QPalette colours = eValue->palette();
    colours.setColor(QPalette::Base, QColor(0xFF, 0xDD, 0xDD));
    colours.setColor(QPalette::Text, Qt::black);
    eValue->setPalette(colours);
    lblHint->setText(hint);
    lblHint->show();
    placeControls();
}

void TFParamIntegerSor::clearProblem()
{
    if (lblHint->isHidden())
        return;
    eValue->setPalette(QPalette());
    lblHint->hide();
    placeControls();
}

void TFParamIntegerSor::placeControls()
{
    // The buttons sit under the explanation while one is shown; the prompt
    // grows by its height and keeps its width.
    int shift = 0;
    if (!lblHint->isHidden()) {
        const int hintHeight = lblHint->heightForWidth(157);
        lblHint->setGeometry(8, kHintTop, 157, hintHeight);
        shift = hintHeight;
    }
    btnOK->setGeometry(8, kButtonTop + shift, 75, 25);
    btnVazgec->setGeometry(90, kButtonTop + shift, 75, 25);
    setFixedSize(kPromptWidth, kPromptHeight + shift);
}

bool TFParamIntegerSor::showsProblem() const
{
    return !lblHint->isHidden();
}

QString TFParamIntegerSor::value() const
{
    return eValue->text();
}

bool TFParamIntegerSor::canConfirm() const
{
    if (mode_ == Mode::Text)
        return FitsCp1254(eValue->text());
    return parseWholeNumber(eValue->text()).has_value();
}

void TFParamIntegerSor::accept()
{
    // The prompt stays open on an entry it cannot take, and says why.
    if (canConfirm()) {
        QDialog::accept();
        return;
    }
    if (mode_ == Mode::Integer)
        showProblem(integerHint());
    else
        showProblem(refusedCharactersHint(CharactersOutsideCp1254(eValue->text())));
    eValue->setFocus();
}

bool TFParamIntegerSor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qvt
