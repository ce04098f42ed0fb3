#include "shell/value_prompt.h"

#include "core/decimal.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>


namespace qvt {

std::optional<int> parseWholeNumber(QStringView text)
{
    // Characters outside Latin-1 become '?', which no number contains.
    const QByteArray latin = text.toLatin1();
    return ParseDecimal(std::string_view(latin.constData(), size_t(latin.size())));
}

TFParamIntegerSor::TFParamIntegerSor(Mode mode, const QString& title, const QString& value, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , mode_(mode)
{
    setObjectName("TFParamIntegerSor");
    setWindowTitle(title);
    setFixedSize(173, 101);

    lblValue = new QLabel(QStringLiteral(u"Değer"), this);
    lblValue->setObjectName("lblValue");
    lblValue->setGeometry(8, 6, 157, 16);

    eValue = new QLineEdit(value, this);
    eValue->setObjectName("eValue");
    eValue->setGeometry(8, 24, 157, 24);
    eValue->selectAll();
    lblValue->setBuddy(eValue);
    // The value is one line of the project file: a line feed in it (pasted
    // text keeps them) would split it in two and the file would no longer
    // open. Like a single-line edit box, keep what comes before the break.
    connect(eValue, &QLineEdit::textEdited, this, [this](const QString& text) {
        qsizetype cut = text.indexOf(QLatin1Char('\n'));
        if (cut < 0)
            return;
        if (cut > 0 && text[cut - 1] == QLatin1Char('\r'))
            --cut;
        eValue->setText(text.left(cut));
    });

    btnOK = new QPushButton(tr("&OK"), this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(8, 64, 75, 25);
    btnVazgec = new QPushButton(tr("&Cancel"), this);
    btnVazgec->setObjectName("btnVazgec");
    btnVazgec->setGeometry(90, 64, 75, 25);
    btnVazgec->setFocusPolicy(Qt::ClickFocus);  // not reachable with Tab
    connect(btnOK, &QPushButton::clicked, this, &TFParamIntegerSor::accept);
    connect(btnVazgec, &QPushButton::clicked, this, &TFParamIntegerSor::reject);

    for (QWidget* control : {static_cast<QWidget*>(eValue), static_cast<QWidget*>(btnOK),
                             static_cast<QWidget*>(btnVazgec)})
        control->installEventFilter(this);
    eValue->setFocus();

    const QRect area = screen()->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

QString TFParamIntegerSor::value() const
{
    return eValue->text();
}

bool TFParamIntegerSor::canConfirm() const
{
    return mode_ == Mode::Text || parseWholeNumber(eValue->text()).has_value();
}

void TFParamIntegerSor::accept()
{
    // An entry that is not a whole number keeps the prompt open without a word.
    if (canConfirm())
        QDialog::accept();
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
