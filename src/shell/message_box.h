#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

namespace qvt {

// The program's own message box: confirmations, information and errors.
// Created for one question, shown modally, destroyed. exec() returns the
// answer code of messages.h (Yes 6, No 7, Cancel 2).
class TFuyari : public QDialog {
    Q_OBJECT
public:
    enum class Kind { YesNo, YesNoCancel, Info };

    // Design sizes of the box and its buttons, in pixels of client area.
    static constexpr int kDesignWidth = 288;
    static constexpr int kDesignHeight = 147;
    static constexpr int kTopStrip = 12;
    static constexpr int kButtonWidth = 75;
    static constexpr int kButtonHeight = 25;
    static constexpr int kPanelWidth = 251;
    static constexpr int kYesNoPanelWidth = 169;
    static constexpr int kPanelHeight = 41;

    // `message` may hold CR, LF or CR LF line breaks.
    TFuyari(Kind kind, const QString& title, const QString& message, QWidget* parent = nullptr);

    // The message as it is laid out: a message without CR gets one in front
    // (so a one-line message shows under an empty first line), then every
    // CR LF and every remaining LF becomes CR.
    static QString normalizeMessage(QString message);

    // The message: read-only text that can be selected and copied. A line
    // too wide for the box breaks between words, and a word (a long path)
    // too wide for a line breaks between any two characters.
    QTextEdit* messageView() const { return lblMesaj; }
    // The message as it is shown, line breaks as LF.
    QString shownText() const;
    QFrame* buttonPanel() const { return pnlButon; }
    QPushButton* yesButton() const { return btnEvet; }
    QPushButton* noButton() const { return btnHayir; }
    QPushButton* cancelButton() const { return btnVazgec; }

    void reject() override;

protected:
    // The box sees keys before its controls: Escape answers Cancel when the
    // Cancel button is shown and No otherwise. Copy (Ctrl+C) copies the
    // selected part of the message, or all of it when nothing is selected.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layOut(const QString& normalized);

    // The message as given, line breaks as LF, for copying.
    QString message_;
    QLabel* lblBosluk;
    QTextEdit* lblMesaj;
    QFrame* pnlButon;
    QPushButton* btnEvet;
    QPushButton* btnHayir;
    QPushButton* btnVazgec;
};

} // namespace qvt
