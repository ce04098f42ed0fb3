#pragma once

#include <QPlainTextEdit>
#include <QWidget>

#include <utility>
#include <vector>

class QLabel;
class QPushButton;

namespace qvt {

// The text box of the screen editor: a fixed-pitch box sized for the
// terminal's 8 lines of 20 characters, no word wrap and no length limit, with
// the screen's line numbers 1 to 8 painted at both sides.
class ScreenTextEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit ScreenTextEdit(QWidget* parent = nullptr);

    // Colours the ranges [position, position + length) of the document red.
    void SetFieldRanges(const std::vector<std::pair<int, int>>& ranges);
    const std::vector<std::pair<int, int>>& fieldRanges() const { return fieldRanges_; }
    // Width of each line number column.
    int numberWidth() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PaintNumbers(QWidget* area);
    void PlaceNumberAreas();

    QWidget* leftNumbers_;
    QWidget* rightNumbers_;
    std::vector<std::pair<int, int>> fieldRanges_;
};

// The screen row of the property panel: the column ruler, the text box with
// its line numbers, and the buttons "Insert Variable" and "Copy with variable".
class ScreenEditor : public QWidget {
    Q_OBJECT

public:
    explicit ScreenEditor(QWidget* parent = nullptr);

    ScreenTextEdit* textEdit() const { return edit_; }
    QLabel* ruler() const { return ruler_; }
    QPushButton* insertVariableButton() const { return insertButton_; }
    QPushButton* copyButton() const { return copyButton_; }

private:
    QLabel* ruler_;
    ScreenTextEdit* edit_;
    QPushButton* insertButton_;
    QPushButton* copyButton_;
};

} // namespace qvt
