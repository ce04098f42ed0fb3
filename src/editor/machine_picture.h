#pragma once

#include "core/display_list.h"
#include "core/project_state.h"
#include "editor/connection_routing.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qvt {

class TitcItem;
class TitcItemsList;

// The picture of one state machine: a grid of 195 x 200 pixel cells, each
// with a box left and above of which run the 35-pixel channels that carry the
// connections. Built from the items as a display list; nothing here paints.

inline constexpr int kChannelWidth = 35;

// Picture size for a grid: the cells plus the channels beyond the last column
// and below the last row (8 x 25 cells: 1595 x 5035).
int PictureWidth(int gridColumns);
int PictureHeight(int gridRows);

// The cell under a picture pixel and the pixel's place inside it. A pixel
// left of or above the picture lies in column or row -1 (and below).
struct CellPoint {
    int row = 0;
    int column = 0;
    int xr = 0; // 0..194
    int yr = 0; // 0..199
    bool operator==(const CellPoint&) const = default;
};
CellPoint CellAt(int x, int y);

// Regions of the cell in row `row`, column `column`, in picture pixels
// (right and bottom excluded).
PixelRect CellBox(int row, int column);
PixelRect BottomExitStrip(int row, int column);
PixelRect RightExitStrip(int row, int column);

// What the design window has selected. `row` is -1 when no cell is selected;
// `itemId` is the id of the item in the selected cell (-1: empty cell or no
// selection) and `exit` the label of its selected exit (empty: none).
struct MachineSelection {
    int row = -1;
    int column = -1;
    std::int32_t itemId = -1;
    std::string exit;
};

// The texts drawn in an item's box: the title (" Start" added for the entry
// item, cut to 20 characters) and the body lines as drawn (at most 8; a
// description in the small font cut to 32 characters, a screen preview of
// Input and ReadKey in the canvas font cut to 20). Variable names are the
// current ones of `variables`. Bytes are Windows-1254 as stored.
struct ItemText {
    std::string title;
    std::vector<std::string> body;
    FontRole bodyFont = FontRole::Small;
};
ItemText ItemTexts(const TitcItem& item, const VariableTable& variables);

// The whole description of an item before it is cut into body lines (empty
// for Input, ReadKey and Return, and for GetSeq and Now without a target).
std::string ItemDescription(const TitcItem& item, const VariableTable& variables);
// A screen text with each variable field shown as byte 185, the variable's
// name and '#' padding, keeping the field's width.
std::string ScreenPreview(std::string_view screenText, const VariableTable& variables);
// A Process or NumCmp constant as the pattern "#,###.###" writes it: thousands
// separated by ",", at most three decimals, nothing for zero.
std::string FormatConstant(double value);

// The label of the exit of `item` at (xr, yr) inside its cell, empty when
// there is none there. In the bottom strip (yr >= 186) it is the first bottom
// exit whose last pixel lies beyond xr - 35, so a press on the separator after
// an exit picks the next one; above it, the first right exit whose running
// bottom reaches yr - 35. Right exits are as high as the canvas font.
std::string ExitAt(const TitcItem& item, int xr, int yr, const FontMetrics& metrics);

// Scrolling a view so a cell shows: the view's top-left corner moves right
// (down) by whole cells while the cell's far edge lies beyond the view, then
// back to the cell's near edge when that lies before it. The caller clips the
// result to its scroll range; an unchanged result means nothing had to scroll.
struct ScrollPosition {
    int x = 0;
    int y = 0;
    bool operator==(const ScrollPosition&) const = default;
};
ScrollPosition ScrollToCell(ScrollPosition position, int viewWidth, int viewHeight, int row, int column);

// Pens of the connection lines by highlight: 0 red, width 1; 1 (the selected
// item's connections) navy, width 2; 2 (the selected connection) green, width 2.
Pen ConnectionPen(int highlight);

// Builds the whole picture into `out` (emptied first): the empty cells, every
// item (box, exit strips and labels, title, body), the selected exit's label
// on its darker grey, the channels cleared to white, the connection lines as
// routed, and the blue frame of the selected cell.
void BuildMachinePicture(DisplayList& out, const TitcItemsList& items, const VariableTable& variables,
                         int gridColumns, int gridRows, const MachineSelection& selection,
                         const FontMetrics& metrics, std::span<const RoutedLine> connections);

} // namespace qvt
