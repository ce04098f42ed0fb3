#include "editor/machine_picture.h"

#include "core/display_painter.h"
#include "core/headless_messages.h"
#include "editor/canvas_measurer.h"
#include "editor/connection_routing.h"
#include "model/item_kinds.h"
#include "model/items_list.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace qvt {
namespace {

// Every canvas character 7 x 12 pixels, every small one 5 x 10: the real
// fonts' canvas size, so positions read like the real picture's.
class FixedMetrics : public FontMetrics {
public:
    int TextWidth(FontRole font, int, std::string_view text) const override
    {
        return static_cast<int>(text.size()) * (font == FontRole::Small ? 5 : 7);
    }
    int TextHeight(FontRole font, int) const override { return font == FontRole::Small ? 10 : 12; }
};

constexpr Rgb kBlue{0, 0, 255};

VariableTable Variables()
{
    VariableTable table;
    ResetVariables(table);
    return table;
}

template <typename T>
std::unique_ptr<T> Make(std::int32_t id, int row = 0, int column = 0, const TextMeasurer* measurer = nullptr)
{
    std::unique_ptr<TitcItem> base = CreateItem(T().KindNumber(), measurer);
    std::unique_ptr<T> item(static_cast<T*>(base.release()));
    item->id = id;
    item->row = row;
    item->column = column;
    return item;
}

// The text primitives of a list, as (x, y, text, background).
struct DrawnText {
    PixelPoint at;
    std::string text;
    Rgb background;
    FontRole font;
};
std::vector<DrawnText> Texts(const DisplayList& list)
{
    std::vector<DrawnText> out;
    for (const Primitive& p : list.Primitives())
        if (p.kind == Primitive::Kind::Text)
            out.push_back({p.at, std::string(list.TextOf(p)), p.text.background, p.text.font});
    return out;
}

const DrawnText* FindText(const std::vector<DrawnText>& texts, std::string_view text)
{
    for (const DrawnText& t : texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

TEST(MachinePictureGeometry, PictureSizeCellsAndRegions)
{
    EXPECT_EQ(PictureWidth(8), 1595);
    EXPECT_EQ(PictureHeight(25), 5035);

    struct Case {
        int x, y;
        CellPoint expected;
    };
    const Case cases[] = {
        {229, 234, {1, 1, 34, 34}},  // inside both channels of cell (1, 1)
        {230, 235, {1, 1, 35, 35}},  // first pixel of that cell's box
        {195, 199, {0, 1, 0, 199}},
        {194, 200, {1, 0, 194, 0}},
        {0, 0, {0, 0, 0, 0}},
        {-1, -200, {-1, -1, 194, 0}}, // above and left of the picture
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellAt(c.x, c.y), c.expected) << c.x << "," << c.y;

    EXPECT_EQ(CellBox(1, 1), (PixelRect{230, 235, 391, 401}));
    EXPECT_EQ(BottomExitStrip(0, 0), (PixelRect{36, 186, 196, 201}));
    EXPECT_EQ(RightExitStrip(0, 0), (PixelRect{186, 36, 196, 201}));
}

TEST(MachinePictureGeometry, ScrollingMovesByWholeCellsUntilTheCellShows)
{
    struct Case {
        const char* name;
        ScrollPosition from;
        int viewWidth, viewHeight, row, column;
        ScrollPosition expected;
    };
    const Case cases[] = {
        // (7 + 1) x 195 = 1560 must show in 800 pixels: 4 steps of 195.
        {"last column of a wide grid", {0, 0}, 800, 600, 0, 7, {780, 0}},
        {"already visible", {195, 200}, 800, 600, 1, 2, {195, 200}},
        {"back to a cell on the left", {780, 0}, 800, 600, 0, 1, {195, 0}},
        {"down in steps of 200", {0, 0}, 800, 500, 5, 0, {0, 800}},
        {"view narrower than a cell", {0, 0}, 100, 100, 0, 2, {390, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollToCell(c.from, c.viewWidth, c.viewHeight, c.row, c.column), c.expected) << c.name;
}

TEST(MachinePictureTexts, TitlesGetStartOnTheEntryItemAndAreCutTo20)
{
    const VariableTable vars = Variables();
    auto input = Make<TItcInputMenu>(1);
    input->stateNumber = 5;
    EXPECT_EQ(ItemTexts(*input, vars).title, "Input (5) Start");

    auto readKey = Make<TItcReadKeyMenu>(1);
    readKey->stateNumber = 255;
    EXPECT_EQ(ItemTexts(*readKey, vars).title, "ReadKey (255) Start");
    readKey->stateNumber = 12345; // only through loaded text
    EXPECT_EQ(ItemTexts(*readKey, vars).title, "ReadKey (12345) Star");
    readKey->id = 2;
    EXPECT_EQ(ItemTexts(*readKey, vars).title, "ReadKey (12345)");

    auto sync = Make<TItcSync>(3);
    sync->stateNumber = 7;
    EXPECT_EQ(ItemTexts(*sync, vars).title, "Sync (7)");
    EXPECT_EQ(ItemTexts(*Make<TItcGetSequence>(1), vars).title, "GetSeq Start");
}

TEST(MachinePictureTexts, DescriptionsOfEveryKind)
{
    VariableTable vars = Variables();
    vars[2].name = "barcode"; // the current name is shown, not the slot's
    struct Case {
        const char* name;
        std::unique_ptr<TitcItem> item;
        std::string expected;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name, std::unique_ptr<TitcItem> item, std::string expected) {
        cases.push_back({name, std::move(item), std::move(expected)});
    };

    add("GetSeq without target", Make<TItcGetSequence>(2), "");
    {
        auto it = Make<TItcGetSequence>(2);
        it->target = 2;
        add("GetSeq", std::move(it), "\nbarcode <-- Sequence");
    }
    {
        auto it = Make<TitcSecOfCentury>(2);
        it->target = 31;
        add("Now", std::move(it), "\nint01 <--\nThe Second of This Centruy");
    }
    add("Now without target", Make<TitcSecOfCentury>(2), "");
    {
        auto it = Make<TItcWriteToFlash>(2);
        it->tag = 7;
        it->source1 = 1;
        add("w2Flash", std::move(it),
            "\nFlash <-- tag: 7\n +var1: str01\n +var2: (no variable)\n +Real Time\n +State\n +Counters"
            "\n +Last pressed Key");
    }
    {
        auto it = Make<TItcStrCopy>(2);
        it->target = 1;
        it->constText = "abc";
        add("StrCpy of a constant", std::move(it), "\nstr01 <--\n 'abc'");
    }
    {
        auto it = Make<TItcStrCopy>(2);
        it->source = 2;
        it->end = 32;
        add("StrCpy with a range", std::move(it),
            "\n(no variable) <--\n barcode\n from start position\n 0\n to end position\n int02");
    }
    {
        auto it = Make<TItcStrCat>(2);
        it->target = 1;
        it->source = 2;
        it->constStart = 3;
        add("StrCat", std::move(it),
            "\nstr01  <--\n str01 +\n barcode\n from start position\n 3\n to end position\n 0");
    }
    add("StrCat without variables", Make<TItcStrCat>(2), "\n(no variable)  <--\n (no variable) +\n ''");
    {
        auto it = Make<TItcStrLen>(2);
        it->target = 31;
        add("StrLen", std::move(it), "\nint01  <--\n length of\n (no variable)");
    }
    {
        auto it = Make<TItcStrPos>(2);
        it->target = 31;
        it->source = 1;
        it->occurrence = 2;
        it->constText = "-";
        add("StrPos", std::move(it), "\nint01  <--\n 2th occurence of\n '-'\n in\n str01");
    }
    {
        auto it = Make<TItcStrCmp>(2);
        it->target = 1;
        it->constText = "OK";
        add("StrCmp", std::move(it), "\ncompare\n str01\nwith\n 'OK'");
    }
    {
        auto it = Make<TItcProcess>(2);
        it->target = 81;
        it->constValue = 1234.5;
        add("Process Assign of a constant", std::move(it), "\nflt01  <--\n '1,234.5'");
    }
    {
        auto it = Make<TItcProcess>(2);
        it->target = 31;
        it->operation = OpSubstract;
        it->source = 32;
        add("Process Substract", std::move(it), "\nint01  <--\n int01\n Substract\n int02");
    }
    {
        auto it = Make<TItcProcess>(2);
        it->operation = 9; // only through loaded text
        add("Process with an unknown operation", std::move(it), "\n(no variable)  <--\n (no variable)\n 9\n ''");
    }
    {
        auto it = Make<TItcNumCmp>(2);
        it->target = 31;
        it->constValue = -0.25;
        add("NumCmp", std::move(it), "\ncompare\n int01\nwith\n '-.25'");
    }
    {
        auto it = Make<TItcWdt>(2);
        it->flag = 33;
        it->increment = 34;
        add("Wdt", std::move(it), "\nFlag <-- int03\nInitial Time <-- (no variable)\nIncrement <-- int04");
    }
    {
        auto it = Make<TItcSync>(2);
        it->source = 101;
        add("Sync", std::move(it), "\n Serial Data");
    }
    add("Sync without variable", Make<TItcSync>(2), "\n (no variable)");
    add("Return", Make<TItcTmrReturn>(2), "");
    {
        auto it = Make<TItcGetDate>(2);
        it->target = 3;
        add("GetDate", std::move(it), "\nstr03 <-- Date");
    }
    add("GetTime without target", Make<TItcGetTime>(2), "\n(no variable) <-- Time");
    {
        auto it = Make<TItcGetDate>(2);
        it->target = 500; // beyond the table: only through loaded text
        add("GetDate with a variable beyond the table", std::move(it), "\n(no variable) <-- Date");
    }

    for (const Case& c : cases)
        EXPECT_EQ(ItemDescription(*c.item, vars), c.expected) << c.name;
}

TEST(MachinePictureTexts, BodyLinesAreCutToEightLinesAndTheirWidth)
{
    const VariableTable vars = Variables();

    // Process Add: an empty first line, then four.
    auto process = Make<TItcProcess>(2);
    process->target = 31;
    process->source = 32;
    process->operation = OpAdd;
    const ItemText add = ItemTexts(*process, vars);
    EXPECT_EQ(add.body, (std::vector<std::string>{"", "int01  <--", " int01", " Add", " int02"}));
    EXPECT_EQ(add.bodyFont, FontRole::Small);

    // A constant of many lines and one over 32 characters.
    auto copy = Make<TItcStrCopy>(2);
    copy->constText = "123456789012345678901234567890XYZ\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh";
    const ItemText cut = ItemTexts(*copy, vars);
    ASSERT_EQ(cut.body.size(), 8u);
    EXPECT_EQ(cut.body[2], " '123456789012345678901234567890"); // 32 characters
    EXPECT_EQ(cut.body[7], "f");

    // Screen previews are cut to 20 and drawn in the canvas font.
    auto input = Make<TItcInputMenu>(2);
    input->screenText = "ENTER THE ITEM CODE NOW\r\n\r\nline 3";
    const ItemText screen = ItemTexts(*input, vars);
    EXPECT_EQ(screen.body, (std::vector<std::string>{"ENTER THE ITEM CODE ", "", "line 3"}));
    EXPECT_EQ(screen.bodyFont, FontRole::Canvas);
}

TEST(MachinePictureTexts, ScreenPreviewShowsFieldsByTheirVariableNames)
{
    VariableTable vars = Variables();
    vars[2].name = "x";
    const std::string marker = "\xB2";
    const std::string shown = "\xB9";
    struct Case {
        const char* name;
        std::string screen;
        std::string expected;
    };
    const Case cases[] = {
        {"width 6, str01", "Code:" + marker + "B####", "Code:" + shown + "str01"},
        {"width 6, x", marker + "C####!", shown + "x####!"},
        {"two fields", marker + "B#" + marker + "C#", shown + "st" + shown + "x#"},
        {"marker second to last", "ab" + marker + "B", "ab" + marker + "B"},
        {"marker third to last", marker + "B#", shown + "st"},
        {"letter beyond the table", marker + "\xB5##", marker + "\xB5##"},
        {"letter before A", marker + "@##", marker + "@##"},
        {"wider than the name and its padding", marker + "C" + std::string(25, '#'),
         shown + "x" + std::string(25, '#')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScreenPreview(c.screen, vars), c.expected) << c.name;
}

TEST(MachinePictureTexts, ConstantsUseThePatternOfOptionalDigits)
{
    const std::pair<double, const char*> cases[] = {
        {0, ""},      {1234.5, "1,234.5"},      {0.5, ".5"},     {-2, "-2"},
        {1234567.125, "1,234,567.125"},         {0.0004, ""},    {999.9996, "1,000"},
        {100, "100"}, {-1000.001, "-1,000.001"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(FormatConstant(value), expected) << value;
}

TEST(MachinePictureExits, ExitAtPicksBottomExitsBySpanAndRightExitsByRunningHeight)
{
    FixedMetrics metrics;
    auto input = Make<TItcInputMenu>(1);
    struct Case {
        int xr, yr;
        const char* expected;
    };
    const Case inputCases[] = {
        {87, 190, "OK"}, {88, 190, "Error"},
        {90, 190, "Error"},   // the separator after OK
        {140, 199, "Error"}, {141, 186, "Cancel"}, {193, 190, "Cancel"},
        {87, 185, ""},        // above the strip: no right exits
    };
    for (const Case& c : inputCases)
        EXPECT_EQ(ExitAt(*input, c.xr, c.yr, metrics), c.expected) << c.xr << "," << c.yr;

    CanvasMeasurer measurer(metrics);
    auto readKey = Make<TItcReadKeyMenu>(2, 0, 0, &measurer);
    // Each right exit is 12 + 1 pixels: "1" up to yr 49, "2" from 50.
    const Case keyCases[] = {{190, 36, "1"}, {190, 49, "1"}, {190, 50, "2"}, {190, 166, "0"}, {190, 167, ""}};
    for (const Case& c : keyCases)
        EXPECT_EQ(ExitAt(*readKey, c.xr, c.yr, metrics), c.expected) << c.xr << "," << c.yr;

    EXPECT_EQ(ExitAt(*Make<TItcSync>(3), 100, 190, metrics), "");
}

class MachinePictureBuild : public ::testing::Test {
protected:
    SilentMessages messages;
    FixedMetrics metrics;
    CanvasMeasurer measurer{metrics};
    TitcItemsList items{messages, &measurer};
    VariableTable vars = Variables();
    DisplayList list;

    void Build(const MachineSelection& selection = {}, std::span<const RoutedLine> lines = {})
    {
        BuildMachinePicture(list, items, vars, 8, 25, selection, metrics, lines);
    }
};

TEST_F(MachinePictureBuild, EmptyGridIsCellsChannelsAndTheSelectionFrame)
{
    MachineSelection selection;
    selection.row = 0;
    selection.column = 0;
    Build(selection);
    EXPECT_EQ(list.width, 1595);
    EXPECT_EQ(list.height, 5035);

    const auto& prims = list.Primitives();
    ASSERT_EQ(prims.size(), 8u * 25u + 26u + 9u + 1u); // cells, horizontal and vertical channels, frame
    const Primitive& cell = prims[8 + 1]; // row 1, column 1
    EXPECT_EQ(cell.rect, CellBox(1, 1));
    EXPECT_EQ(cell.pen, (Pen{PenStyle::Dotted, Rgb{128, 128, 128}, 1}));
    EXPECT_EQ(cell.fill, (Rgb{255, 254, 236}));

    const Primitive& firstChannel = prims[200];
    EXPECT_EQ(firstChannel.rect, (PixelRect{0, 1, 1595, 35}));
    EXPECT_EQ(firstChannel.fill, (Rgb{255, 255, 255}));
    EXPECT_EQ(prims[200 + 26].rect, (PixelRect{1, 0, 35, 5035}));
    EXPECT_EQ(prims[200 + 26 + 8].rect, (PixelRect{8 * 195 + 1, 0, 8 * 195 + 35, 5035}));

    const Primitive& frame = prims.back();
    EXPECT_EQ(frame.rect, CellBox(0, 0));
    EXPECT_EQ(frame.pen, (Pen{PenStyle::Solid, kBlue, 1}));
    EXPECT_FALSE(frame.filled);
}

TEST_F(MachinePictureBuild, InputItemBoxStripLabelsSeparatorsTitleAndBody)
{
    auto input = Make<TItcInputMenu>(1, 1, 2);
    input->stateNumber = 5;
    input->screenText = "Code:\r\n\xB2" "B####";
    items.PutItem(std::move(input));
    MachineSelection selection{1, 2, 1, "Error"};
    Build(selection);

    const int x0 = 2 * 195, y0 = 200;
    const auto& prims = list.Primitives();
    // The item's box replaces its cell's empty frame.
    int boxes = 0;
    for (const Primitive& p : prims)
        if (p.kind == Primitive::Kind::Rect && p.rect == CellBox(1, 2)) {
            ++boxes;
            if (p.filled) {
                EXPECT_EQ(p.pen, (Pen{PenStyle::Dotted, kBlue, 1}));
                EXPECT_EQ(p.fill, (Rgb{244, 244, 244}));
            }
        }
    EXPECT_EQ(boxes, 2); // the box and the selection frame

    bool strip = false;
    std::vector<PixelPoint> separators;
    for (const Primitive& p : prims) {
        if (p.kind == Primitive::Kind::Rect && p.rect == BottomExitStrip(1, 2)) {
            strip = true;
            EXPECT_EQ(p.fill, (Rgb{208, 208, 208}));
            EXPECT_EQ(p.pen.style, PenStyle::None);
        }
        if (p.kind == Primitive::Kind::Polyline && p.pen.style == PenStyle::Dotted) {
            const auto pts = list.PointsOf(p);
            ASSERT_EQ(pts.size(), 2u);
            EXPECT_EQ(pts[1].y, y0 + 200);
            separators.push_back(pts[0]);
        }
        EXPECT_FALSE(p.kind == Primitive::Kind::Rect && p.rect == RightExitStrip(1, 2));
    }
    EXPECT_TRUE(strip);
    // After OK (last 53) and Error (last 106), none after Cancel.
    EXPECT_EQ(separators, (std::vector<PixelPoint>{{x0 + 90, y0 + 186}, {x0 + 143, y0 + 186}}));

    const auto texts = Texts(list);
    struct Expected {
        const char* text;
        PixelPoint at;
        Rgb background;
    };
    const Expected expected[] = {
        // "OK" 14 wide in 52: (52 - 14) / 2 = 19 to the right of its first pixel.
        {"OK", {x0 + 36 + 1 + 19, y0 + 186}, {208, 208, 208}},
        // The selected exit on its darker grey.
        {"Error", {x0 + 36 + 53 + 9, y0 + 186}, {160, 160, 160}},
        {"Cancel", {x0 + 36 + 106 + 5, y0 + 186}, {208, 208, 208}},
        {"Input (5) Start", {x0 + 38, y0 + 37}, {244, 244, 244}},
        {"Code:", {x0 + 38, y0 + 54}, {244, 244, 244}},
        {"\xB9str01", {x0 + 38, y0 + 70}, {244, 244, 244}},
    };
    for (const Expected& e : expected) {
        const DrawnText* t = FindText(texts, e.text);
        ASSERT_NE(t, nullptr) << e.text;
        EXPECT_EQ(t->at, e.at) << e.text;
        EXPECT_EQ(t->background, e.background) << e.text;
    }
    EXPECT_EQ(FindText(texts, "Code:")->font, FontRole::Canvas);
}

TEST_F(MachinePictureBuild, ReadKeyRightExitsAreStackedWithUnderlines)
{
    items.PutItem(Make<TItcReadKeyMenu>(1, 0, 0, &measurer));
    Build(MachineSelection{0, 0, 1, "2"});
    const auto texts = Texts(list);
    for (int j = 0; j < 10; ++j) {
        const std::string label(1, "1234567890"[j]);
        const DrawnText* t = FindText(texts, label);
        ASSERT_NE(t, nullptr) << label;
        EXPECT_EQ(t->at, (PixelPoint{187, 36 + 13 * j})) << label;
        EXPECT_EQ(t->background, label == "2" ? (Rgb{160, 160, 160}) : (Rgb{208, 208, 208})) << label;
    }
    int underlines = 0;
    for (const Primitive& p : list.Primitives())
        if (p.kind == Primitive::Kind::Polyline && list.PointsOf(p)[0].x == 187) {
            EXPECT_EQ(list.PointsOf(p)[0].y, 36 + 13 * underlines + 12);
            EXPECT_EQ(list.PointsOf(p)[1], (PixelPoint{194, 36 + 13 * underlines + 12}));
            ++underlines;
        }
    EXPECT_EQ(underlines, 10);
    // Twelve separators between the thirteen key exits along the bottom.
    int separators = 0;
    for (const Primitive& p : list.Primitives())
        if (p.kind == Primitive::Kind::Polyline && list.PointsOf(p)[0].y == 186)
            ++separators;
    EXPECT_EQ(separators, 12);
}

TEST_F(MachinePictureBuild, ConnectionsAreDrawnAfterTheChannelsWithTheirHighlightPens)
{
    auto source = Make<TItcGetSequence>(1, 2, 1);
    source->nextTarget = 2;
    items.PutItem(std::move(source));
    auto cmp = Make<TItcStrCmp>(2, 3, 1);
    cmp->equalTarget = 1;
    cmp->notEqualTarget = 3;
    items.PutItem(std::move(cmp));
    items.PutItem(Make<TItcTmrReturn>(3, 3, 4));

    auto router = std::make_unique<ConnectionRouter>();
    const MachineSelection selection{3, 1, 2, "Not Equal"};
    router->Route(items, selection.itemId, selection.exit);
    Build(selection, router->Lines());

    std::vector<std::pair<std::vector<PixelPoint>, Pen>> lines;
    std::size_t firstLine = 0, lastChannel = 0;
    const auto& prims = list.Primitives();
    for (std::size_t i = 0; i < prims.size(); ++i) {
        const Primitive& p = prims[i];
        if (p.kind == Primitive::Kind::Rect && p.filled && p.fill == Rgb{255, 255, 255})
            lastChannel = i;
        if (p.kind == Primitive::Kind::Polyline && p.pen.style == PenStyle::Solid) {
            if (!firstLine)
                firstLine = i;
            const auto pts = list.PointsOf(p);
            lines.push_back({std::vector<PixelPoint>(pts.begin(), pts.end()), p.pen});
        }
    }
    // One drop stub, then a horizontal and a vertical segment for each exit
    // of the StrCmp.
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_GT(firstLine, lastChannel);
    // "Next" of row 2, column 1 (offset 78) into the item right below: a drop stub.
    EXPECT_EQ(lines[0].first, (std::vector<PixelPoint>{{312, 600}, {312, 634}}));
    const Pen red{PenStyle::Solid, Rgb{255, 0, 0}, 1};
    const Pen green{PenStyle::Solid, Rgb{0, 128, 0}, 2};
    EXPECT_EQ(lines[0].second, red);
    // The selected item's "Not Equal" is the selected connection; its "Equal"
    // is drawn like any other while another exit is selected.
    int greens = 0, reds = 0;
    for (const auto& line : lines) {
        greens += line.second == green;
        reds += line.second == red;
    }
    EXPECT_EQ(greens, 2);
    EXPECT_EQ(reds, 3);

    EXPECT_EQ(ConnectionPen(1), (Pen{PenStyle::Solid, Rgb{0, 0, 128}, 2}));
}

TEST_F(MachinePictureBuild, ItemsBeyondTheGridAreLeftOut)
{
    auto far = Make<TItcGetSequence>(1, 2147483647, 2147483647);
    items.PutItem(std::move(far));
    items.PutItem(Make<TItcGetSequence>(2, -1, 0));
    Build();
    EXPECT_TRUE(Texts(list).empty());
}

// With the real fonts: what the painter makes of the picture.
TEST(MachinePicturePainted, ColoursOfCellsItemsStripsSelectionAndChannels)
{
    SilentMessages messages;
    PainterFontMetrics metrics;
    CanvasMeasurer measurer(metrics);
    EXPECT_EQ(measurer.TextWidth("F1"), 14);
    EXPECT_EQ(measurer.TextHeight("1"), metrics.TextHeight(FontRole::Canvas, 0));

    TitcItemsList items(messages, &measurer);
    auto input = Make<TItcInputMenu>(1, 0, 1);
    input->stateNumber = 5;
    items.PutItem(std::move(input));
    const VariableTable vars = Variables();
    DisplayList list;
    BuildMachinePicture(list, items, vars, 2, 1, MachineSelection{0, 1, 1, "OK"}, metrics, {});
    ASSERT_EQ(list.width, 425);
    ASSERT_EQ(list.height, 235);

    QImage image(list.width, list.height, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        PaintDisplayList(painter, list, image.rect());
    }
    auto at = [&](int x, int y) {
        const QRgb c = image.pixel(x, y);
        return Rgb{static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
                   static_cast<std::uint8_t>(qBlue(c))};
    };
    const int x0 = 195;
    EXPECT_EQ(at(100, 100), (Rgb{255, 254, 236}));     // empty cell
    EXPECT_EQ(at(35, 35), (Rgb{128, 128, 128}));       // its dotted frame starts lit
    EXPECT_EQ(at(36, 35), (Rgb{255, 254, 236}));
    EXPECT_EQ(at(x0 + 100, 150), (Rgb{244, 244, 244})); // item box
    EXPECT_EQ(at(x0 + 100, 198), (Rgb{208, 208, 208})); // bottom strip below the labels
    EXPECT_EQ(at(x0 + 36 + 20, 186), (Rgb{160, 160, 160})); // top-left of the selected exit's cell
    EXPECT_EQ(at(x0 + 36, 35), kBlue);                 // selection frame, solid
    EXPECT_EQ(at(x0 + 37, 35), kBlue);
    EXPECT_EQ(at(x0 + 35, 200), kBlue);
    EXPECT_EQ(at(10, 10), (Rgb{255, 255, 255}));       // channels
    EXPECT_EQ(at(x0 + 20, 100), (Rgb{255, 255, 255}));
    EXPECT_EQ(at(0, 0), (Rgb{255, 255, 255}));         // the seams show the background
}

} // namespace
} // namespace qvt
