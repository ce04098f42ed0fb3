#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qvt {

// A picture as a list of drawing primitives, built by code that knows no
// widget (the design picture of a machine, the label, the label preview) and
// drawn by one painter (display_painter.h) on the screen, into PNG and SVG.
// Tests read the list itself.
//
// Coordinates are whole pixels of the picture. Primitives are drawn in list
// order, later ones over earlier ones.

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// Right and bottom excluded: {35, 35, 196, 201} covers x 35..195, y 35..200.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Intersects(const PixelRect& o) const
    {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool operator==(const PixelRect&) const = default;
};

enum class PenStyle : std::uint8_t { None, Solid, Dotted };

struct Pen {
    PenStyle style = PenStyle::None;
    Rgb color{};
    int width = 1;
    bool operator==(const Pen&) const = default;
};

// The fonts a picture names by their use; the painter maps each role to a
// real font (display_painter.h says which).
enum class FontRole : std::uint8_t {
    Canvas, // the design canvas: titles, screen previews, exit labels
    Small,  // item descriptions
    Printer // label texts and the print preview; sized by TextStyle::pixelSize
};

struct TextStyle {
    FontRole font = FontRole::Canvas;
    Rgb color{};
    bool opaque = false; // fill the text's cell with `background` first
    Rgb background{};
    int pixelSize = 0;   // 0: the role's own size
    int rotation = 0;    // degrees clockwise about `at`: 0, 90, 180 or 270
    bool operator==(const TextStyle&) const = default;
};

// Sizes of texts in the fonts the painter will use. The picture builders need
// them to place texts (exit labels are centred in their span); the painter's
// own implementation measures with the real fonts, tests may use fixed sizes.
class FontMetrics {
public:
    virtual ~FontMetrics() = default;
    // `text` is 8-bit bytes as stored (Windows-1254).
    virtual int TextWidth(FontRole font, int pixelSize, std::string_view text) const = 0;
    virtual int TextHeight(FontRole font, int pixelSize) const = 0;
};

// The cell a text of `width` x `height` pixels covers when its top-left
// corner is at `at` and it is turned `rotation` degrees clockwise about that
// corner (0, 90, 180 or 270): the bounds to pass to AddText.
inline PixelRect TextCell(PixelPoint at, int width, int height, int rotation)
{
    switch (((rotation % 360) + 360) % 360) {
    case 90: return {at.x - height, at.y, at.x, at.y + width};
    case 180: return {at.x - width, at.y - height, at.x, at.y};
    case 270: return {at.x, at.y - width, at.x + height, at.y};
    default: return {at.x, at.y, at.x + width, at.y + height};
    }
}

struct Primitive {
    enum class Kind : std::uint8_t { Rect, Polyline, Text };
    Kind kind = Kind::Rect;
    Pen pen{};           // Rect outline, Polyline pen
    bool filled = false; // Rect only
    Rgb fill{};          // Rect only
    PixelRect rect{};    // Rect: the rectangle; Polyline and Text: bounds, for clipping
    PixelPoint at{};     // Text: top-left corner of the text's cell (not the baseline)
    TextStyle text{};    // Text only
    std::uint32_t first = 0; // Polyline: first point in Points(); Text: first byte in the text pool
    std::uint32_t count = 0; // Polyline: number of points; Text: number of bytes
};

class DisplayList {
public:
    int width = 0;
    int height = 0;
    Rgb background{255, 255, 255};

    // Empties the list but keeps its storage, so a picture rebuilt after every
    // edit does not allocate again.
    void Clear();

    // A rectangle with an optional outline (drawn on the rectangle's edge
    // pixels, inside it) and an optional fill.
    void AddRect(const PixelRect& rect, const Pen& outline, bool filled, Rgb fill = {});
    void AddLine(PixelPoint from, PixelPoint to, const Pen& pen);
    void AddPolyline(std::span<const PixelPoint> points, const Pen& pen);
    // `bounds` is where the text may paint (its cell), for clipping and hit
    // tests; pass the measured cell.
    void AddText(PixelPoint at, std::string_view bytes, const TextStyle& style, const PixelRect& bounds);

    const std::vector<Primitive>& Primitives() const { return primitives_; }
    std::span<const PixelPoint> PointsOf(const Primitive& p) const
    {
        return {points_.data() + p.first, p.count};
    }
    std::string_view TextOf(const Primitive& p) const { return {textPool_.data() + p.first, p.count}; }

private:
    std::vector<Primitive> primitives_;
    std::vector<PixelPoint> points_;
    std::string textPool_;
};

} // namespace qvt
