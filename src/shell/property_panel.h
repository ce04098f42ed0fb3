#pragma once

#include "editor/screen_fields.h"
#include "model/item_fields.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace qvt {

class MachineDocument;
class Messages;
class ScreenEditor;
class ScreenTextEdit;
class TitcItem;

// The column at the right of the design window in which the fields of the
// selected item are shown and edited. Every edit goes through the document as
// an undo step (typing in one box undoes as one step); the document then
// marks the window modified and the picture is drawn again.
//
// What a box does not accept never reaches the item: a line break typed or
// pasted into a one-line box is dropped, and a text the item's record cannot
// carry, a character outside the code page or a constant too large for the
// record is refused with a message, the box going back to its last good text.
class PropertyPanel : public QWidget {
    Q_OBJECT

public:
    PropertyPanel(MachineDocument& document, Messages& messages, QWidget* parent = nullptr);

    // Shows the item `id`; -1 shows an empty panel. The panel is filled again
    // when it shows another item, or when the item changed under it (undo).
    void ShowItem(std::int32_t id);
    std::int32_t shownItemId() const { return shownItemId_; }

    // The widgets, for the window and its tests.
    QLabel* title() const { return title_; }
    QWidget* rowWidget(PanelRow row) const;
    QLabel* caption(PanelRow row) const;
    // The list box of Target, Operation, Source, Source 2, Start, End or Input Type.
    QComboBox* listBox(PanelRow row) const;
    // The text box of State #, Cons.Start, Cons.End, Const.Integer,
    // Const.String or Position.
    QLineEdit* textBox(PanelRow row) const;
    // Input Length: 0 length (integer digits of a real), 1 decimals.
    QLineEdit* lengthBox(int which) const { return lengthBoxes_[which]; }
    // Input Pos.: 0 row, 1 column, 2 length.
    QLineEdit* positionBox(int which) const { return positionBoxes_[which]; }
    QCheckBox* initBox() const { return initBox_; }
    ScreenEditor* screenEditor() const { return screen_; }
    // The screen field table of the text in the screen editor.
    const std::vector<ScreenField>& screenFields() const { return screenFields_; }

protected:
    // Keys a box of the panel leaves alone stay in the panel: Delete or an
    // arrow key on a list box must not reach the window, which would delete
    // the item or move the selection.
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Row {
        QWidget* widget = nullptr;
        QLabel* caption = nullptr;
        QComboBox* list = nullptr;
        QLineEdit* text = nullptr;
    };

    void BuildRows();
    Row& AddRow(PanelRow row, const QString& caption, QWidget* box);
    QLineEdit* NewLineEdit(const char* name, int maxLength);
    void Fill();
    void FillVariableList(PanelRow row, std::int32_t value);
    void OnDocumentChanged();

    TitcItem* Item() const;
    // Writes into the shown item as one undo step named after the row.
    void Edit(PanelRow row, int box, const std::function<void(TitcItem&)>& edit);
    // The first field of the shown item's kind behind `row`.
    const ItemField* FieldFor(PanelRow row) const;
    std::int32_t& IntField(TitcItem& item, PanelRow row, int which = 0) const;

    // One-line boxes: drops a typed or pasted line break; true when the text
    // is the box's new good text.
    void TakeLineBreaks(QLineEdit* box);
    void Accept(QLineEdit* box);
    void Revert(QLineEdit* box);
    QString accepted(QLineEdit* box) const;

    void OnVariablePicked(PanelRow row);
    void OnOperationPicked();
    void OnWholeNumberEdited(PanelRow row);
    void OnConstIntegerEdited();
    void OnConstStringEdited();
    void OnInputTypeEdited();
    void OnInputPositionEdited();
    void UpdateConstantRows(PanelRow changed);
    // Reads an Input box: empty is 0, no whole number shows the conversion
    // error; a value beyond `limit` shows `message` and the box becomes "0".
    bool ReadInputBox(QLineEdit* box, const std::function<bool(int)>& tooLarge, std::string_view message,
                      int& value);

    // The screen editor.
    void LoadScreenEditor(const std::string& screenText);
    void OnScreenTextEdited();
    // The editor's text as bytes, lines joined by CR LF.
    QString EditorText() const;
    // Puts the editor form of `stored` into the editor and colours its fields;
    // the cursor goes to `cursor` (-1: the start).
    void ShowScreenText(const std::string& stored, int cursor);
    void RevertScreenText();
    void InsertVariable();
    void CopyWithVariable();

    MachineDocument& document_;
    Messages& messages_;
    std::int32_t shownItemId_ = -1;
    bool filled_ = false;
    bool filling_ = false;
    bool storing_ = false;
    bool updatingScreen_ = false;
    // The item's record when the panel was filled or last wrote it.
    std::string shownRecord_;
    // Successive fills; edits of one box merge within one fill only.
    int session_ = 0;

    QLabel* title_ = nullptr;
    std::map<PanelRow, Row> rows_;
    QLineEdit* lengthBoxes_[2] = {};
    QLineEdit* positionBoxes_[3] = {};
    QCheckBox* initBox_ = nullptr;
    ScreenEditor* screen_ = nullptr;
    std::vector<ScreenField> screenFields_;
    QString acceptedScreen_;
};

} // namespace qvt
