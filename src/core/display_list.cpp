#include "core/display_list.h"

#include <algorithm>

namespace qvt {

void DisplayList::Clear()
{
    primitives_.clear();
    points_.clear();
    textPool_.clear();
}

void DisplayList::AddRect(const PixelRect& rect, const Pen& outline, bool filled, Rgb fill)
{
    Primitive p;
    p.kind = Primitive::Kind::Rect;
    p.pen = outline;
    p.filled = filled;
    p.fill = fill;
    p.rect = rect;
    primitives_.push_back(p);
}

void DisplayList::AddLine(PixelPoint from, PixelPoint to, const Pen& pen)
{
    const PixelPoint points[2] = {from, to};
    AddPolyline(points, pen);
}

void DisplayList::AddPolyline(std::span<const PixelPoint> points, const Pen& pen)
{
    if (points.empty())
        return;
    Primitive p;
    p.kind = Primitive::Kind::Polyline;
    p.pen = pen;
    p.first = static_cast<std::uint32_t>(points_.size());
    p.count = static_cast<std::uint32_t>(points.size());
    int left = points[0].x, right = points[0].x, top = points[0].y, bottom = points[0].y;
    for (const PixelPoint& q : points) {
        left = std::min(left, q.x);
        right = std::max(right, q.x);
        top = std::min(top, q.y);
        bottom = std::max(bottom, q.y);
    }
    // Bounds grown by the pen, so a clip test never drops a line it touches.
    const int grow = std::max(1, pen.width);
    p.rect = {left - grow, top - grow, right + 1 + grow, bottom + 1 + grow};
    points_.insert(points_.end(), points.begin(), points.end());
    primitives_.push_back(p);
}

void DisplayList::AddText(PixelPoint at, std::string_view bytes, const TextStyle& style, const PixelRect& bounds)
{
    Primitive p;
    p.kind = Primitive::Kind::Text;
    p.at = at;
    p.text = style;
    p.rect = bounds;
    p.first = static_cast<std::uint32_t>(textPool_.size());
    p.count = static_cast<std::uint32_t>(bytes.size());
    textPool_.append(bytes);
    primitives_.push_back(p);
}

} // namespace qvt
