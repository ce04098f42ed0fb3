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
// What is wrong with an entry is said in the prompt itself: the field is
// coloured and a line under it explains.
class TFParamIntegerSor : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Integer, Text };

    TFParamIntegerSor(Mode mode, const QString& title, const QString& value, QWidget* parent = nullptr);

    QLabel* valueLabel() const { return lblValue; }
    QLineEdit* valueEdit() const { return eValue; }
    QPushButton* okButton() const { return btnOK; }
    QPushButton* cancelButton() const { return btnVazgec; }
    // The explanation under the field; hidden while there is nothing to say.
    QLabel* hintLabel() const { return lblHint; }
    // True while the field is marked as holding something that is not taken.
    bool showsProblem() const;

    QString value() const;
    // The close check for OK: in integer mode only a whole number may be
    // confirmed; in text mode only a text the code page can hold.
    bool canConfirm() const;

    void accept() override;

    static QString integerHint();
    static QString refusedCharactersHint(const QString& refused);

protected:
    // Enter in any control answers OK.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTextEdited(const QString& text);
    void showProblem(const QString& hint);
    void clearProblem();
    void placeControls();

    Mode mode_;
    // The entry as last accepted in text mode, restored when an edit brings
    // in characters the project cannot store.
    QString lastGood_;
    QLabel* lblValue;
    QLineEdit* eValue;
    QLabel* lblHint;
    QPushButton* btnOK;
    QPushButton* btnVazgec;
};

} // namespace qvt
