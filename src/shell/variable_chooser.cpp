#include "shell/variable_chooser.h"

#include "core/cp1254.h"
#include "core/messages.h"
#include "shell/value_prompt.h"

#include <QCollator>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace qvt {

TFTusSecim::TFTusSecim(const VariableTable& variables, int maxLength, Messages& messages, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , variables_(variables)
    , maxLength_(maxLength)
    , messages_(messages)
{
    setObjectName("TFTusSecim");
    setWindowTitle(tr("Select a variable"));
    setFixedSize(220, 129);

    auto* sourceLabel = new QLabel(tr("Source"), this);
    sourceLabel->setGeometry(8, 6, 204, 16);
    eSource = new QComboBox(this);
    eSource->setObjectName("eSource");
    eSource->setGeometry(8, 22, 204, 24);
    sourceLabel->setBuddy(eSource);

    // The string, integer and float variables, in alphabetical order as a
    // reader of the user's language expects it: "amount" next to "Amount",
    // "Çay" among the C's rather than after "zeta". Of names equal but for
    // case the capitalised one comes first.
    QStringList names;
    for (int i = kFirstString; i <= kLastFloat; ++i)
        names << fromCp1254(variables[i].name);
    QCollator caseBlind{QLocale()};
    caseBlind.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const int folded = caseBlind.compare(a, b);
        return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    eSource->addItems(names);
    eSource->setCurrentIndex(-1);

    auto* lengthLabel = new QLabel(tr("Length"), this);
    lengthLabel->setGeometry(8, 50, 204, 16);
    eLength = new QLineEdit(this);
    eLength->setObjectName("eLength");
    eLength->setGeometry(8, 66, 204, 24);
    lengthLabel->setBuddy(eLength);

    btnOK = new QPushButton(tr("&OK"), this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(55, 98, 75, 25);
    btnVazgec = new QPushButton(tr("&Cancel"), this);
    btnVazgec->setObjectName("btnVazgec");
    btnVazgec->setGeometry(137, 98, 75, 25);
    btnVazgec->setFocusPolicy(Qt::ClickFocus);  // not reachable with Tab
    connect(btnOK, &QPushButton::clicked, this, &TFTusSecim::accept);
    connect(btnVazgec, &QPushButton::clicked, this, &TFTusSecim::reject);

    setTabOrder(eSource, eLength);
    setTabOrder(eLength, btnOK);
    for (QWidget* control : {static_cast<QWidget*>(eSource), static_cast<QWidget*>(eLength),
                             static_cast<QWidget*>(btnOK), static_cast<QWidget*>(btnVazgec)})
        control->installEventFilter(this);
    eSource->setFocus();

    const QRect area = screen()->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void TFTusSecim::accept()
{
    if (eSource->currentIndex() < 0) {
        messages_.ShowError(kMsgSelectSource);
        return;
    }
    // Lowest index first, so of two variables with the same name the first wins.
    const std::string chosen = toCp1254(eSource->currentText());
    int index = 0;
    for (int i = kFirstString; i <= kLastFloat && index == 0; ++i)
        if (variables_[i].name == chosen)
            index = i;
    if (index == 0) {
        messages_.ShowError(kMsgSelectSource);
        return;
    }

    int length = maxLength_;
    if (!eLength->text().isEmpty()) {
        std::optional<int> entered = parseWholeNumber(eLength->text().trimmed());
        if (!entered || *entered < 2 || *entered > maxLength_) {
            messages_.ShowError(kMsgValueOutOfRange);
            return;
        }
        length = *entered;
    }
    variableIndex_ = index;
    length_ = length;
    QDialog::accept();
}

bool TFTusSecim::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qvt
