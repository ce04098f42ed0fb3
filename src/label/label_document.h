#pragma once

#include "core/messages.h"
#include "label/label_design.h"
#include "label/label_surface.h"

#include <QObject>
#include <QUndoStack>

#include <optional>
#include <string>

namespace qvt {

// The label open in the label window: the design, the current element and
// every change to the drawing as a step on the document's undo stack
// (placing, moving, property edits, label properties, Delete, Clear, Import).
// The window turns mouse and editor events into calls here and draws what
// `changed()` says is new; it never changes the design itself.
class LabelDocument : public QObject {
    Q_OBJECT

public:
    // The tool that decides what a press on the surface does.
    enum class Tool { Select, Field, Text, Barcode, Line };
    // What a press did.
    enum class Press {
        Caught,        // an element is selected and follows the mouse (a new one included)
        Missed,        // nothing under the mouse: nothing is selected
        SlotLimit,     // a field or barcode would need more than 30 variable slots
        ElementLimit,  // the design already has 100 elements
    };
    // What a new element is made of: the font, variable and text chosen in
    // the window's editors.
    struct Placement {
        int fontNo = 3;
        std::string variable;
        std::string text;
    };
    // The property editors: which one the user changed.
    enum class Editor { X, Y, X1, Y1, Font, Variable, Text };
    // The values of the property editors. `variable` is empty when no
    // variable is chosen; the element then keeps its own.
    struct EditorValues {
        int x = 0;
        int y = 0;
        int x1 = 0;
        int y1 = 0;
        int fontNo = 3;
        std::optional<std::string> variable;
        std::string text;
    };

    LabelDocument(const VariableTable& variables, const FontMetrics& metrics, double pixelsPerMm);

    const LabelDesign& design() const { return design_; }
    const LabelSurface& surface() const { return surface_; }
    const VariableTable& variables() const { return variables_; }
    QUndoStack& undoStack() { return undoStack_; }

    // The element Delete and the editors act on; -1 when nothing is selected.
    int selectedIndex() const;
    const Tbase* selectedElement() const;
    int currentIndex() const { return currentIndex_; }

    // Replaces the whole design without an undo step (opening the window) and
    // empties the undo stack. The surface follows the label type and
    // direction at the screen's pixels per millimetre.
    void Reset(LabelDesign design);
    // Loads a label text; false (with the elements read so far) after
    // "Label File open error.".
    bool LoadLabelText(std::string_view labelText, Messages& messages);
    // The label text Save would store now.
    std::string LabelText() const;

    // Mouse on the surface: a press places an element with the tool (unless it
    // is Select) and then catches the last-drawn element under the mouse;
    // moves drag the caught element; the release records the whole gesture
    // (placing and dragging) as one undo step.
    Press MousePress(Tool tool, int x, int y, const Placement& placement);
    void MouseDrag(int x, int y);
    void MouseRelease();
    bool dragging() const { return dragging_; }

    // A change in one property editor, applied to the selected element: one
    // undo step, merged with the next changes in the same editor.
    void EditProperty(Editor source, const EditorValues& values);
    // The editors' values for an element: X, Y, length (X1 - X) and height
    // (Y - Y1; for a barcode the bars' height below its caption).
    EditorValues EditorValuesOf(const Tbase& element) const;

    // Label type, direction and barcode type (values outside the lists are
    // ignored); one undo step.
    void SetLabelProperties(const std::string& labelType, const std::string& direction,
                            const std::string& barcodeType);

    // Delete: removes the selected element and selects its predecessor (or
    // the new first one). False when nothing is selected.
    bool DeleteSelected();
    // Clear: removes every element.
    void Clear();
    // Empties the drawing and reads a label design file into it; one step,
    // also when the file fails half-way ("Label File open error." shown).
    bool Import(const std::string& path, Messages& messages);

signals:
    // The design or the selection changed: draw again.
    void changed();

private:
    friend class LabelStep;
    struct State {
        LabelDesign design;
        int currentIndex = 0;
    };
    State Snapshot() const { return {design_, currentIndex_}; }
    void Restore(const State& state);
    void Record(const QString& name, State before, int mergeKey = -1);
    void Select(int index);
    void FitSurface(LabelDesign& design) const;

    const VariableTable& variables_;
    LabelSurface surface_;
    LabelDesign design_;
    int currentIndex_ = 0;
    QUndoStack undoStack_;

    // The gesture under way: the state before its press and where it caught
    // its element.
    std::optional<State> gestureBefore_;
    QString gestureName_;
    bool dragging_ = false;
    int dragX_ = 0;
    int dragY_ = 0;
    int dragFrom_[4] = {0, 0, 0, 0};
};

} // namespace qvt
