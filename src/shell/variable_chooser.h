#pragma once

#include "core/project_state.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qvt {

class Messages;

inline constexpr std::string_view kMsgSelectSource = "Source variable must be selected...";
inline constexpr std::string_view kMsgValueOutOfRange = "Value is invalid or out of range.";

// "Select a variable": a string, integer or float variable and a length from
// 2 to the maximum. OK checks the choice and reports a problem through
// `messages`, keeping the window open; any other way out closes it.
class TFTusSecim : public QDialog {
    Q_OBJECT
public:
    TFTusSecim(const VariableTable& variables, int maxLength, Messages& messages, QWidget* parent = nullptr);

    QComboBox* sourceBox() const { return eSource; }
    QLineEdit* lengthEdit() const { return eLength; }
    QPushButton* okButton() const { return btnOK; }
    QPushButton* cancelButton() const { return btnVazgec; }

    // Valid after the window was confirmed.
    int variableIndex() const { return variableIndex_; }
    int length() const { return length_; }

    void accept() override;

protected:
    // Enter in any control moves on to the next control, as Tab does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const VariableTable& variables_;
    int maxLength_;
    Messages& messages_;
    int variableIndex_ = 0;
    int length_ = 0;

    QComboBox* eSource;
    QLineEdit* eLength;
    QPushButton* btnOK;
    QPushButton* btnVazgec;
};

} // namespace qvt
