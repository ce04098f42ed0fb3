#include "label/label_design_file.h"
#include "label/label_document.h"
#include "label/label_text.h"
#include "fixed_metrics.h"
#include "label_samples.h"
#include "scripted_messages.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qvt;
using namespace qvt::test;

namespace {

using Tool = LabelDocument::Tool;
using Press = LabelDocument::Press;
using Editor = LabelDocument::Editor;

constexpr double kScreen96 = 96.0 / 25.4;

class LabelDocumentTest : public ::testing::Test {
protected:
    VariableTable vars = resetTable();
    FixedMetrics metrics;
    LabelDocument doc{vars, metrics, kScreen96};
    ScriptedMessages messages;
    LabelDocument::Placement placement{3, "str01", "Talvek"};

    Press click(Tool tool, int x, int y)
    {
        Press p = doc.MousePress(tool, x, y, placement);
        doc.MouseRelease();
        return p;
    }
    void drag(int fromX, int fromY, int toX, int toY)
    {
        doc.MousePress(Tool::Select, fromX, fromY, placement);
        doc.MouseDrag(toX, toY);
        doc.MouseRelease();
    }
    const Tbase& element(int i) const { return *doc.design().Elements.at(size_t(i)); }
    std::array<int, 4> box(int i) const { return {element(i).X, element(i).Y, element(i).X1, element(i).Y1}; }
    void edit(Editor source, const std::function<void(LabelDocument::EditorValues&)>& change)
    {
        LabelDocument::EditorValues v = doc.EditorValuesOf(*doc.selectedElement());
        change(v);
        doc.EditProperty(source, v);
    }
};

} // namespace

TEST(LabelSurfaceSize, FollowsLabelTypeAndDirection)
{
    // Width from the second number and height from the first, in millimetres
    // at the screen's pixels per millimetre; "Vertical" exchanges them.
    struct Case {
        const char* type;
        const char* direction;
        int width;
        int height;
    };
    const Case cases[] = {
        {"Et40x20", "Horizontal", 76, 151},   {"Et40x20", "Vertical", 151, 76},
        {"Et30x60", "Vertical", 113, 227},    {"Et125x100", "Horizontal", 378, 472},
        {"Et60x140", "Horizontal", 529, 227},
    };
    VariableTable vars = resetTable();
    FixedMetrics metrics;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.direction);
        LabelDocument doc(vars, metrics, kScreen96);
        doc.SetLabelProperties(c.type, c.direction, "ITF25");
        EXPECT_EQ(doc.design().SurfaceWidth, c.width);
        EXPECT_EQ(doc.design().SurfaceHeight, c.height);
    }
}

TEST(LabelSurfacePicture, ElementsHandlesAndHatch)
{
    VariableTable vars = resetTable();
    FixedMetrics metrics;
    LabelSurface surface(metrics, kScreen96);
    LabelDesign d = workedExampleDesign();
    d.Elements[2]->Selected = true;  // the line 5,80 .. 65,78
    DisplayList list;
    surface.Build(d, list);
    EXPECT_EQ(list.width, 76);
    EXPECT_EQ(list.height, 151);

    // 8 points are 11 pixels at 96 dots per inch; the text stands on Y.
    EXPECT_EQ(surface.PixelSize(3), 11);
    EXPECT_EQ(surface.PixelSize(4), 13);
    EXPECT_EQ(surface.PixelSize(5), 16);
    std::vector<const Primitive*> texts;
    std::vector<PixelRect> filled;
    for (const Primitive& p : list.Primitives()) {
        if (p.kind == Primitive::Kind::Text)
            texts.push_back(&p);
        else if (p.kind == Primitive::Kind::Rect && p.filled)
            filled.push_back(p.rect);
    }
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(list.TextOf(*texts[1]), "ABC");
    EXPECT_EQ(texts[1]->at, (PixelPoint{10, 70 - 15}));
    EXPECT_EQ(texts[1]->text.pixelSize, 13);

    // The selected line: four handles just outside its corners, then the
    // line itself; then the barcode's hatch from under its caption to Y1.
    ASSERT_GE(filled.size(), 5u);
    EXPECT_EQ(filled[0], (PixelRect{2, 75, 5, 78}));
    EXPECT_EQ(filled[1], (PixelRect{2, 80, 5, 83}));
    EXPECT_EQ(filled[2], (PixelRect{65, 75, 68, 78}));
    EXPECT_EQ(filled[3], (PixelRect{65, 80, 68, 83}));
    EXPECT_EQ(filled[4], (PixelRect{5, 78, 65, 80}));
    const std::vector<PixelRect> hatch(filled.begin() + 5, filled.end());
    ASSERT_EQ(hatch.size(), size_t((50 - 10 + kHatchSpacing - 1) / kHatchSpacing));
    EXPECT_EQ(hatch.front(), (PixelRect{10, 87, 11, 140 - 13}));

    // An element's bounds cover what it paints, handles included.
    const PixelRect bounds = surface.BoundsOf(*d.Elements[2]);
    EXPECT_EQ(bounds, (PixelRect{5 - 4, 75 - 1, 65 + 4, 83 + 1}));
}

TEST_F(LabelDocumentTest, PlacingEachKind)
{
    // A line from the click 10 right and 10 up, selected and caught.
    EXPECT_EQ(doc.MousePress(Tool::Line, 50, 50, placement), Press::Caught);
    EXPECT_TRUE(doc.dragging());
    doc.MouseRelease();
    EXPECT_EQ(box(0), (std::array<int, 4>{50, 50, 60, 40}));
    EXPECT_EQ(doc.selectedIndex(), 0);

    // Texts are as wide and high as they are drawn; a barcode has 40 more below.
    EXPECT_EQ(click(Tool::Text, 10, 30), Press::Caught);
    EXPECT_EQ(box(1), (std::array<int, 4>{10, 30, 10 + 6 * 6, 30 - 13}));
    EXPECT_EQ(lettered(element(1))->Text, "Talvek");
    placement.fontNo = 5;
    EXPECT_EQ(click(Tool::Field, 10, 60), Press::Caught);
    EXPECT_EQ(box(2), (std::array<int, 4>{10, 60, 10 + 5 * 9, 60 - 18}));
    EXPECT_EQ(click(Tool::Barcode, 10, 140), Press::Caught);
    EXPECT_EQ(box(3), (std::array<int, 4>{10, 140, 10 + 5 * 9, 140 - 18 - 40}));
    EXPECT_EQ(doc.design().VariableSlots(), 3);
    EXPECT_EQ(doc.selectedIndex(), 3);
    EXPECT_EQ(lettered(element(3))->FontNo, 5);
}

TEST_F(LabelDocumentTest, SlotAndElementLimits)
{
    for (int i = 0; i < 14; ++i)
        ASSERT_EQ(click(Tool::Barcode, 10, 60), Press::Caught);
    // 28 slots: a barcode still fits, then neither a barcode nor a field.
    EXPECT_EQ(click(Tool::Barcode, 10, 60), Press::Caught);
    EXPECT_EQ(click(Tool::Field, 10, 60), Press::SlotLimit);
    EXPECT_EQ(click(Tool::Barcode, 10, 60), Press::SlotLimit);
    EXPECT_EQ(doc.design().Elements.size(), 15u);

    // Deleting a barcode frees two slots, so a field fits again.
    ASSERT_TRUE(doc.DeleteSelected());
    EXPECT_EQ(doc.design().VariableSlots(), 28);
    EXPECT_EQ(click(Tool::Field, 10, 60), Press::Caught);
    // 29 slots: a barcode is refused, a field accepted.
    EXPECT_EQ(click(Tool::Barcode, 10, 60), Press::SlotLimit);
    EXPECT_EQ(click(Tool::Field, 10, 60), Press::Caught);

    while (doc.design().Elements.size() < size_t(kMaxLabelElements))
        ASSERT_EQ(click(Tool::Line, 5, 5), Press::Caught);
    EXPECT_EQ(click(Tool::Line, 5, 5), Press::ElementLimit);
    EXPECT_EQ(click(Tool::Text, 5, 5), Press::ElementLimit);
    EXPECT_EQ(doc.design().Elements.size(), size_t(kMaxLabelElements));
}

TEST_F(LabelDocumentTest, SelectingAndDragging)
{
    click(Tool::Line, 50, 50);      // 50..60 x 40..50
    click(Tool::Line, 55, 45);      // overlaps the first: 55..65 x 35..45
    // A click where both lie takes the one drawn last.
    EXPECT_EQ(click(Tool::Select, 57, 43), Press::Caught);
    EXPECT_EQ(doc.selectedIndex(), 1);
    EXPECT_EQ(click(Tool::Select, 51, 49), Press::Caught);
    EXPECT_EQ(doc.selectedIndex(), 0);

    drag(51, 49, 61, 69);
    EXPECT_EQ(box(0), (std::array<int, 4>{60, 70, 70, 60}));

    // A click on empty surface deselects; the drag after it moves nothing.
    EXPECT_EQ(click(Tool::Select, 150, 5), Press::Missed);
    EXPECT_EQ(doc.selectedIndex(), -1);
    EXPECT_EQ(doc.selectedElement(), nullptr);
    doc.MousePress(Tool::Select, 150, 5, placement);
    doc.MouseDrag(160, 15);
    doc.MouseRelease();
    EXPECT_EQ(box(0), (std::array<int, 4>{60, 70, 70, 60}));
    EXPECT_EQ(box(1), (std::array<int, 4>{55, 45, 65, 35}));
    EXPECT_FALSE(doc.DeleteSelected());
}

TEST_F(LabelDocumentTest, LineEditorsMoveOrResize)
{
    click(Tool::Line, 50, 50);
    // A new Left moves the whole line, a new Length moves only its right end,
    // a new Height only its top.
    edit(Editor::X, [](auto& v) { v.x = 20; });
    EXPECT_EQ(box(0), (std::array<int, 4>{20, 50, 30, 40}));
    edit(Editor::X1, [](auto& v) { v.x1 = 45; });
    EXPECT_EQ(box(0), (std::array<int, 4>{20, 50, 65, 40}));
    edit(Editor::Y1, [](auto& v) { v.y1 = 2; });
    EXPECT_EQ(box(0), (std::array<int, 4>{20, 50, 65, 48}));
    edit(Editor::Y, [](auto& v) { v.y = 70; });
    EXPECT_EQ(box(0), (std::array<int, 4>{20, 70, 65, 68}));
    EXPECT_EQ(doc.EditorValuesOf(element(0)).x1, 45);
    EXPECT_EQ(doc.EditorValuesOf(element(0)).y1, 2);
}

TEST_F(LabelDocumentTest, LetteredEditorsFollowTheText)
{
    click(Tool::Text, 10, 30);
    edit(Editor::Text, [](auto& v) { v.text = "AB"; });
    EXPECT_EQ(box(0), (std::array<int, 4>{10, 30, 10 + 2 * 6, 30 - 13}));
    edit(Editor::Font, [](auto& v) { v.fontNo = 4; });
    EXPECT_EQ(box(0), (std::array<int, 4>{10, 30, 10 + 2 * 7, 30 - 15}));

    // A barcode: its Height sets the bars below the caption; X and Y move it.
    click(Tool::Barcode, 10, 140);
    EXPECT_EQ(doc.EditorValuesOf(element(1)).y1, 40);
    edit(Editor::Y1, [](auto& v) { v.y1 = 60; });
    EXPECT_EQ(box(1), (std::array<int, 4>{10, 140, 10 + 5 * 6, 140 - 13 - 60}));
    edit(Editor::Variable, [](auto& v) { v.variable = "int01"; });
    EXPECT_EQ(lettered(element(1))->Text, "int01");
    edit(Editor::X, [](auto& v) { v.x = 20; });
    EXPECT_EQ(box(1), (std::array<int, 4>{20, 140, 20 + 5 * 6, 140 - 13 - 60}));
    // No variable chosen: the barcode keeps its own.
    edit(Editor::Font, [](auto& v) { v.variable.reset(); });
    EXPECT_EQ(lettered(element(1))->Text, "int01");
}

TEST_F(LabelDocumentTest, DeleteAndClear)
{
    click(Tool::Line, 10, 20);
    click(Tool::Line, 30, 20);
    click(Tool::Line, 50, 20);
    // Deleting the middle one selects the one before it.
    click(Tool::Select, 31, 19);
    ASSERT_TRUE(doc.DeleteSelected());
    EXPECT_EQ(doc.design().Elements.size(), 2u);
    EXPECT_EQ(doc.selectedIndex(), 0);
    ASSERT_TRUE(doc.DeleteSelected());
    // Deleting the first (index 0) selects the new first.
    EXPECT_EQ(doc.selectedIndex(), 0);
    EXPECT_EQ(element(0).X, 50);
    ASSERT_TRUE(doc.DeleteSelected());
    EXPECT_TRUE(doc.design().Elements.empty());
    EXPECT_EQ(doc.currentIndex(), 0);
    EXPECT_EQ(doc.selectedIndex(), -1);

    click(Tool::Barcode, 10, 60);
    click(Tool::Field, 10, 90);
    doc.Clear();
    EXPECT_TRUE(doc.design().Elements.empty());
    EXPECT_EQ(doc.design().VariableSlots(), 0);
    doc.undoStack().undo();
    EXPECT_EQ(doc.design().Elements.size(), 2u);
}

TEST_F(LabelDocumentTest, EveryChangeIsOneUndoStep)
{
    TempDir dir;
    const std::string file = dir.path("other.ini");
    LabelDesign other = sampleProjectDesign();
    ASSERT_TRUE(ExportDesign(other, file, vars, messages));

    struct Case {
        const char* name;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"place and drag", [&] {
             doc.MousePress(Tool::Line, 50, 50, placement);
             doc.MouseDrag(60, 60);
             doc.MouseDrag(70, 70);
             doc.MouseRelease();
         }},
        {"move", [&] { drag(11, 19, 31, 29); }},
        {"typing in one editor", [&] {
             click(Tool::Select, 11, 19);
             for (int x : {1, 12, 123})
                 edit(Editor::X, [x](auto& v) { v.x = x; });
         }},
        {"label properties", [&] { doc.SetLabelProperties("Et60x60", "Vertical", "CODE39"); }},
        {"delete", [&] {
             click(Tool::Select, 11, 19);
             doc.DeleteSelected();
         }},
        {"clear", [&] { doc.Clear(); }},
        {"import", [&] { doc.Import(file, messages); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LabelDesign start;
        addElement(start, ElementKind::Line, 10, 20, 20, 10);
        addElement(start, ElementKind::Text, 40, 60, 60, 47, "X", 3);
        doc.Reset(start);
        const std::string before = doc.LabelText();
        c.change();
        const std::string after = doc.LabelText();
        ASSERT_NE(after, before);
        EXPECT_EQ(doc.undoStack().count(), 1);
        doc.undoStack().undo();
        EXPECT_EQ(doc.LabelText(), before);
        doc.undoStack().redo();
        EXPECT_EQ(doc.LabelText(), after);
    }
    // Selecting alone changes nothing to undo.
    doc.Reset(LabelDesign());
    click(Tool::Line, 50, 50);
    click(Tool::Select, 5, 5);
    click(Tool::Select, 51, 49);
    EXPECT_EQ(doc.undoStack().count(), 1);
}

TEST_F(LabelDocumentTest, ImportReplacesTheDrawingEvenWhenItFailsHalfWay)
{
    TempDir dir;
    const std::string file = dir.path("cut.ini");
    // Three elements announced, the second has no kind: the first comes in.
    writeFile(file, "[CNT]\r\nCnt=3\r\n[ETIKET]\r\nEtiketTipi=Et60x60\r\n"
                    "[0]\r\nx=5\r\ny=30\r\nx1=40\r\ny1=20\r\nTip=Yazi\r\nyazi=Kept\r\n[1]\r\nx=1\r\n");
    click(Tool::Line, 50, 50);
    click(Tool::Barcode, 10, 100);
    EXPECT_FALSE(doc.Import(file, messages));
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"Label File open error."});
    ASSERT_EQ(doc.design().Elements.size(), 1u);
    EXPECT_EQ(lettered(element(0))->Text, "Kept");
    EXPECT_EQ(doc.design().LabelType, "Et60x60");
    EXPECT_EQ(doc.design().SurfaceWidth, 227);
    EXPECT_EQ(doc.selectedIndex(), -1);
    doc.undoStack().undo();
    EXPECT_EQ(doc.design().Elements.size(), 2u);
    EXPECT_EQ(doc.design().LabelType, "Et40x20");
}

TEST_F(LabelDocumentTest, LoadingKeepsTheSurfaceOfTheScreen)
{
    // The stored surface size is the one of the screen that saved it; the
    // window's surface follows the label type on this screen.
    LabelDesign stored = workedExampleDesign();
    stored.SurfaceWidth = 999;
    ASSERT_TRUE(doc.LoadLabelText(BuildLabelText(stored, vars), messages));
    EXPECT_EQ(doc.design().SurfaceWidth, 76);
    EXPECT_EQ(doc.design().SurfaceHeight, 151);
    EXPECT_EQ(doc.design().Elements.size(), 4u);
    EXPECT_EQ(doc.undoStack().count(), 0);

    EXPECT_FALSE(doc.LoadLabelText("#1#cnt=2\\#DegiskenCnt=0\\#Tip=Nope\\#2", messages));
    EXPECT_EQ(messages.errors(), std::vector<std::string>{"Label File open error."});
}
