#include "label/label_document.h"

#include "label/label_design_file.h"
#include "label/label_text.h"

#include <QUndoCommand>

namespace qvt {

namespace {

bool sameElement(const Tbase& a, const Tbase& b)
{
    if (a.kind() != b.kind() || a.X != b.X || a.Y != b.Y || a.X1 != b.X1 || a.Y1 != b.Y1)
        return false;
    const TLettered* la = lettered(a);
    const TLettered* lb = lettered(b);
    return !la || (la->FontNo == lb->FontNo && la->Text == lb->Text);
}

// Equal drawings; which element is selected does not count.
bool sameDrawing(const LabelDesign& a, const LabelDesign& b)
{
    if (a.LabelType != b.LabelType || a.Direction != b.Direction || a.BarcodeType != b.BarcodeType
        || a.SurfaceWidth != b.SurfaceWidth || a.SurfaceHeight != b.SurfaceHeight
        || a.Elements.size() != b.Elements.size())
        return false;
    for (size_t i = 0; i < a.Elements.size(); ++i)
        if (!sameElement(*a.Elements[i], *b.Elements[i]))
            return false;
    return true;
}

QString kindCaption(ElementKind kind)
{
    switch (kind) {
    case ElementKind::Field: return QStringLiteral("Variable");
    case ElementKind::Text: return QStringLiteral("Text");
    case ElementKind::Line: return QStringLiteral("Line");
    case ElementKind::Barcode: return QStringLiteral("BarCode");
    }
    return {};
}

} // namespace

// The drawing before and after one change. The change has been made before
// the step is pushed, so its first redo does nothing.
class LabelStep : public QUndoCommand {
public:
    LabelStep(LabelDocument& document, const QString& name, int mergeKey, LabelDocument::State before,
              LabelDocument::State after)
        : QUndoCommand(name), document_(document), mergeKey_(mergeKey), before_(std::move(before)),
          after_(std::move(after))
    {
    }

    void undo() override { document_.Restore(before_); }
    void redo() override
    {
        if (first_) {
            first_ = false;
            return;
        }
        document_.Restore(after_);
    }
    int id() const override { return mergeKey_ >= 0 ? 1 : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* step = static_cast<const LabelStep*>(other);
        if (step->mergeKey_ != mergeKey_)
            return false;
        after_ = step->after_;
        return true;
    }

private:
    LabelDocument& document_;
    int mergeKey_;
    LabelDocument::State before_;
    LabelDocument::State after_;
    bool first_ = true;
};

LabelDocument::LabelDocument(const VariableTable& variables, const FontMetrics& metrics, double pixelsPerMm)
    : variables_(variables), surface_(metrics, pixelsPerMm)
{
    FitSurface(design_);
}

int LabelDocument::selectedIndex() const
{
    if (currentIndex_ < 0 || currentIndex_ >= int(design_.Elements.size()))
        return -1;
    return design_.Elements[size_t(currentIndex_)]->Selected ? currentIndex_ : -1;
}

const Tbase* LabelDocument::selectedElement() const
{
    const int i = selectedIndex();
    return i < 0 ? nullptr : design_.Elements[size_t(i)].get();
}

void LabelDocument::FitSurface(LabelDesign& design) const
{
    if (auto size = surfaceSizeOf(design.LabelType, design.Direction, surface_.pixelsPerMm())) {
        design.SurfaceWidth = size->first;
        design.SurfaceHeight = size->second;
    }
}

void LabelDocument::Reset(LabelDesign design)
{
    gestureBefore_.reset();
    dragging_ = false;
    for (auto& e : design.Elements)
        e->Selected = false;
    FitSurface(design);
    design_ = std::move(design);
    currentIndex_ = 0;
    undoStack_.clear();
    emit changed();
}

bool LabelDocument::LoadLabelText(std::string_view labelText, Messages& messages)
{
    LabelDesign design;
    const bool ok = qvt::LoadLabelText(labelText, design, variables_, messages);
    Reset(std::move(design));
    return ok;
}

std::string LabelDocument::LabelText() const
{
    return BuildLabelText(design_, variables_);
}

void LabelDocument::Restore(const State& state)
{
    gestureBefore_.reset();
    dragging_ = false;
    design_ = state.design;
    currentIndex_ = state.currentIndex;
    emit changed();
}

void LabelDocument::Record(const QString& name, State before, int mergeKey)
{
    if (sameDrawing(before.design, design_))
        return;
    undoStack_.push(new LabelStep(*this, name, mergeKey, std::move(before), Snapshot()));
}

void LabelDocument::Select(int index)
{
    for (auto& e : design_.Elements)
        e->Selected = false;
    if (index >= 0 && index < int(design_.Elements.size())) {
        design_.Elements[size_t(index)]->Selected = true;
        currentIndex_ = index;
    }
}

LabelDocument::Press LabelDocument::MousePress(Tool tool, int x, int y, const Placement& placement)
{
    State before = Snapshot();
    QString name;
    if (tool != Tool::Select) {
        const int used = design_.VariableSlots();
        if ((tool == Tool::Field && used >= kMaxVariableSlots)
            || (tool == Tool::Barcode && used > kMaxVariableSlots - 2))
            return Press::SlotLimit;
        if (int(design_.Elements.size()) >= kMaxLabelElements)
            return Press::ElementLimit;
        const int font = placement.fontNo;
        switch (tool) {
        case Tool::Field:
            addElement(design_, ElementKind::Field, x, y, x + surface_.TextWidth(font, placement.variable),
                       y - surface_.TextHeight(font), placement.variable, font);
            break;
        case Tool::Text:
            addElement(design_, ElementKind::Text, x, y, x + surface_.TextWidth(font, placement.text),
                       y - surface_.TextHeight(font), placement.text, font);
            break;
        case Tool::Line:
            addElement(design_, ElementKind::Line, x, y, x + 10, y - 10);
            break;
        case Tool::Barcode:
            addElement(design_, ElementKind::Barcode, x, y, x + surface_.TextWidth(font, placement.variable),
                       y - surface_.TextHeight(font) - 40, placement.variable, font);
            break;
        case Tool::Select:
            break;
        }
        name = QStringLiteral("Place ") + kindCaption(design_.Elements.back()->kind());
    }

    const int hit = LabelSurface::HitTest(design_, x, y);
    Select(hit);
    dragging_ = hit >= 0;
    if (dragging_) {
        const Tbase& e = *design_.Elements[size_t(hit)];
        dragX_ = x;
        dragY_ = y;
        dragFrom_[0] = e.X;
        dragFrom_[1] = e.Y;
        dragFrom_[2] = e.X1;
        dragFrom_[3] = e.Y1;
    }
    gestureBefore_ = std::move(before);
    gestureName_ = name.isEmpty() ? QStringLiteral("Move") : name;
    emit changed();
    return dragging_ ? Press::Caught : Press::Missed;
}

void LabelDocument::MouseDrag(int x, int y)
{
    if (!dragging_ || !gestureBefore_ || currentIndex_ >= int(design_.Elements.size()))
        return;
    Tbase& e = *design_.Elements[size_t(currentIndex_)];
    const int dx = x - dragX_;
    const int dy = y - dragY_;
    if (e.X == dragFrom_[0] + dx && e.Y == dragFrom_[1] + dy)
        return;
    e.X = dragFrom_[0] + dx;
    e.Y = dragFrom_[1] + dy;
    e.X1 = dragFrom_[2] + dx;
    e.Y1 = dragFrom_[3] + dy;
    emit changed();
}

void LabelDocument::MouseRelease()
{
    dragging_ = false;
    if (!gestureBefore_)
        return;
    State before = std::move(*gestureBefore_);
    gestureBefore_.reset();
    Record(gestureName_, std::move(before));
}

LabelDocument::EditorValues LabelDocument::EditorValuesOf(const Tbase& element) const
{
    EditorValues v;
    v.x = element.X;
    v.y = element.Y;
    v.x1 = element.X1 - element.X;
    v.y1 = element.Y - element.Y1;
    if (const TLettered* l = lettered(element)) {
        v.fontNo = l->FontNo;
        if (element.kind() == ElementKind::Text)
            v.text = l->Text;
        else
            v.variable = l->Text;
        if (element.kind() == ElementKind::Barcode)
            v.y1 = element.Y - surface_.TextHeight(l->FontNo) - element.Y1;
    }
    return v;
}

void LabelDocument::EditProperty(Editor source, const EditorValues& v)
{
    const int index = selectedIndex();
    if (index < 0)
        return;
    State before = Snapshot();
    Tbase& e = *design_.Elements[size_t(index)];
    // Moves the element to the editors' X and Y without changing its size.
    auto move = [&] {
        e.X1 = e.X1 - e.X + v.x;
        e.Y1 = e.Y1 - e.Y + v.y;
        e.X = v.x;
        e.Y = v.y;
    };
    const int width = [&] {
        const TLettered* l = lettered(e);
        if (!l)
            return 0;
        const std::string& text = e.kind() == ElementKind::Text ? v.text : v.variable.value_or(l->Text);
        return surface_.TextWidth(v.fontNo, text);
    }();
    const int height = surface_.TextHeight(v.fontNo);

    switch (e.kind()) {
    case ElementKind::Field:
    case ElementKind::Text: {
        TLettered& l = *lettered(e);
        if (e.kind() == ElementKind::Text)
            l.Text = v.text;
        else if (v.variable)
            l.Text = *v.variable;
        e.X1 = v.x + width;
        e.Y1 = v.y - height;
        e.X = v.x;
        e.Y = v.y;
        l.FontNo = v.fontNo;
        break;
    }
    case ElementKind::Line:
        if (source == Editor::X1 || source == Editor::Y1) {
            e.X1 = e.X + v.x1;
            e.Y1 = e.Y - v.y1;
        } else {
            move();
        }
        break;
    case ElementKind::Barcode: {
        TLettered& l = *lettered(e);
        if (v.variable)
            l.Text = *v.variable;
        if (source == Editor::Y1 || source == Editor::Font || source == Editor::Variable) {
            e.X1 = v.x + width;
            e.Y1 = e.Y - height - v.y1;
        } else {
            move();
        }
        l.FontNo = v.fontNo;
        break;
    }
    }
    emit changed();
    static const char* const names[] = {"X", "Y", "X1", "Y1", "Font", "Variable", "Text"};
    Record(QStringLiteral("Edit %1").arg(QLatin1String(names[int(source)])), std::move(before),
           int(source) * (kMaxLabelElements + 1) + index);
}

void LabelDocument::SetLabelProperties(const std::string& labelType, const std::string& direction,
                                       const std::string& barcodeType)
{
    State before = Snapshot();
    if (isLabelType(labelType))
        design_.LabelType = labelType;
    if (isDirection(direction))
        design_.Direction = direction;
    if (isBarcodeType(barcodeType))
        design_.BarcodeType = barcodeType;
    FitSurface(design_);
    if (sameDrawing(before.design, design_))
        return;
    emit changed();
    Record(QStringLiteral("Label Property"), std::move(before));
}

bool LabelDocument::DeleteSelected()
{
    const int index = selectedIndex();
    if (index < 0)
        return false;
    State before = Snapshot();
    design_.Elements.erase(design_.Elements.begin() + index);
    if (currentIndex_ > 0)
        --currentIndex_;
    if (design_.Elements.empty())
        currentIndex_ = 0;
    else
        Select(currentIndex_);
    emit changed();
    Record(QStringLiteral("Delete"), std::move(before));
    return true;
}

void LabelDocument::Clear()
{
    State before = Snapshot();
    design_.clearElements();
    currentIndex_ = 0;
    dragging_ = false;
    emit changed();
    Record(QStringLiteral("Clear"), std::move(before));
}

bool LabelDocument::Import(const std::string& path, Messages& messages)
{
    State before = Snapshot();
    gestureBefore_.reset();
    dragging_ = false;
    design_.clearElements();
    currentIndex_ = 0;
    const bool ok = ImportDesign(design_, path, variables_, messages);
    for (auto& e : design_.Elements)
        e->Selected = false;
    FitSurface(design_);
    emit changed();
    Record(QStringLiteral("Import"), std::move(before));
    return ok;
}

} // namespace qvt
