#include "label/label_surface.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace qvt {

namespace {

const Rgb kBlack{0, 0, 0};

// An upright rectangle from two opposite corners, right and bottom excluded.
PixelRect between(int x0, int y0, int x1, int y1)
{
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

PixelRect united(const PixelRect& a, const PixelRect& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// The frame around the surface: a rectangle whose corners are quarter circles
// of radius 5 (a rounding of 10 pixels across).
void addRoundedFrame(DisplayList& out, int width, int height)
{
    if (width < 2 || height < 2)
        return;
    const int r = std::min({5, (width - 1) / 2, (height - 1) / 2});
    const int right = width - 1;
    const int bottom = height - 1;
    std::vector<PixelPoint> points;
    auto corner = [&](int cx, int cy, double from) {
        for (int step = 0; step <= 3; ++step) {
            const double a = (from + 30.0 * step) * M_PI / 180.0;
            points.push_back({cx + int(std::lround(r * std::cos(a))), cy + int(std::lround(r * std::sin(a)))});
        }
    };
    corner(r, r, 180);
    corner(right - r, r, 270);
    corner(right - r, bottom - r, 0);
    corner(r, bottom - r, 90);
    points.push_back(points.front());
    out.AddPolyline(points, Pen{PenStyle::Solid, kBlack, 1});
}

} // namespace

int ScreenPointSize(int fontNo)
{
    switch (fontNo) {
    case 4: return 10;
    case 5: return 12;
    default: return 8;
    }
}

int LabelSurface::PixelSize(int fontNo) const
{
    // Points are 1/72 inch.
    return std::max(1, int(std::lround(ScreenPointSize(fontNo) * pixelsPerMm_ * 25.4 / 72.0)));
}

int LabelSurface::TextWidth(int fontNo, std::string_view text) const
{
    return metrics_.TextWidth(FontRole::Printer, PixelSize(fontNo), text);
}

int LabelSurface::TextHeight(int fontNo) const
{
    return metrics_.TextHeight(FontRole::Printer, PixelSize(fontNo));
}

PixelRect LabelSurface::BoundsOf(const Tbase& element) const
{
    PixelRect box = between(element.X, element.Y, element.X1, element.Y1);
    if (const TLettered* l = lettered(element)) {
        const int h = TextHeight(l->FontNo);
        box = united(box, {element.X, element.Y - h, element.X + TextWidth(l->FontNo, l->Text), element.Y});
    }
    if (element.Selected)
        box = united(box, {element.X - kHandleSize, element.Y1 - kHandleSize, element.X1 + kHandleSize,
                           element.Y + kHandleSize});
    // One more pixel each way: a box ends on its last pixel, not after it.
    return {box.left - 1, box.top - 1, box.right + 1, box.bottom + 1};
}

int LabelSurface::HitTest(const LabelDesign& design, int x, int y)
{
    for (int i = int(design.Elements.size()) - 1; i >= 0; --i) {
        const Tbase& e = *design.Elements[size_t(i)];
        if (e.X <= x && x <= e.X1 && e.Y1 <= y && y <= e.Y)
            return i;
    }
    return -1;
}

void LabelSurface::Draw(const Tbase& element, DisplayList& out) const
{
    const Pen noPen{};
    if (element.Selected) {
        const int X = element.X, Y = element.Y, X1 = element.X1, Y1 = element.Y1, s = kHandleSize;
        for (const PixelRect& handle : std::array<PixelRect, 4>{PixelRect{X - s, Y1 - s, X, Y1},
                                                                PixelRect{X - s, Y, X, Y + s},
                                                                PixelRect{X1, Y1 - s, X1 + s, Y1},
                                                                PixelRect{X1, Y, X1 + s, Y + s}})
            out.AddRect(handle, noPen, true, kBlack);
    }
    if (element.kind() == ElementKind::Line) {
        out.AddRect(between(element.X, element.Y, element.X1, element.Y1), noPen, true, kBlack);
        return;
    }
    const TLettered& l = *lettered(element);
    TextStyle style;
    style.font = FontRole::Printer;
    style.color = kBlack;
    style.pixelSize = PixelSize(l.FontNo);
    const int h = TextHeight(l.FontNo);
    const int w = TextWidth(l.FontNo, l.Text);
    if (!l.Text.empty())
        out.AddText({element.X, element.Y - h}, l.Text, style, {element.X, element.Y - h, element.X + w, element.Y});
    if (element.kind() == ElementKind::Barcode) {
        // The bars' area under a hatch of vertical lines; the print preview
        // draws the real bars.
        const PixelRect area = between(element.X, element.Y - h, element.X1, element.Y1);
        for (int x = area.left; x < area.right; x += kHatchSpacing)
            out.AddRect({x, area.top, x + 1, area.bottom}, noPen, true, kBlack);
    }
}

void LabelSurface::Build(const LabelDesign& design, DisplayList& out) const
{
    out.Clear();
    out.width = design.SurfaceWidth;
    out.height = design.SurfaceHeight;
    out.background = {255, 255, 255};
    addRoundedFrame(out, design.SurfaceWidth, design.SurfaceHeight);
    for (const auto& element : design.Elements)
        Draw(*element, out);
}

} // namespace qvt
