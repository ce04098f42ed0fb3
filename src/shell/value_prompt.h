#pragma once

#include <QDialog>
#include <QString>

#include <optional>
#include <string_view>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qvt {

// An optionally signed decimal whole number that fits an int, nothing around
// it; nullopt otherwise.
std::optional<int> parseWholeNumber(QStringView text);

// The value prompt: one integer or one text, edited in place. OK closes only
// when the entry is acceptable for the mode; Cancel and Escape always close.
class TFParamIntegerSor : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Integer, Text };

    TFParamIntegerSor(Mode mode, const QString& title, const QString& value, QWidget* parent = nullptr);

    QLabel* valueLabel() const { return lblValue; }
    QLineEdit* valueEdit() const { return eValue; }
    QPushButton* okButton() const { return btnOK; }
    QPushButton* cancelButton() const { return btnVazgec; }

    QString value() const;
    // The close check for OK: in integer mode only a whole number may be confirmed.
    bool canConfirm() const;

    void accept() override;

protected:
    // Enter in any control answers OK.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Mode mode_;
    QLabel* lblValue;
    QLineEdit* eValue;
    QPushButton* btnOK;
    QPushButton* btnVazgec;
};

} // namespace qvt
