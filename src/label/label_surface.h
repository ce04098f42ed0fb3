#pragma once

#include "core/display_list.h"
#include "label/label_design.h"

#include <string_view>

namespace qvt {

// The label window's drawing surface as a picture: the white surface with its
// rounded frame, every element in list order and the corner handles of the
// selected one. Coordinates are surface pixels, which are printer units.

// Screen size of a printer font number: 10 points for font 4, 12 for font 5,
// 8 for any other.
int ScreenPointSize(int fontNo);

class LabelSurface {
public:
    // `pixelsPerMm` is the screen's; it turns the points of the screen fonts
    // into pixels.
    LabelSurface(const FontMetrics& metrics, double pixelsPerMm) : metrics_(metrics), pixelsPerMm_(pixelsPerMm) {}

    double pixelsPerMm() const { return pixelsPerMm_; }
    int PixelSize(int fontNo) const;
    int TextWidth(int fontNo, std::string_view text) const;
    int TextHeight(int fontNo) const;

    // The whole picture; `out` is cleared first.
    void Build(const LabelDesign& design, DisplayList& out) const;
    // The pixels an element paints, with its handles when it is selected.
    PixelRect BoundsOf(const Tbase& element) const;

    // The last-drawn element whose box (X <= x <= X1, Y1 <= y <= Y) holds the
    // point, or -1.
    static int HitTest(const LabelDesign& design, int x, int y);

private:
    void Draw(const Tbase& element, DisplayList& out) const;

    const FontMetrics& metrics_;
    double pixelsPerMm_;
};

inline constexpr int kHandleSize = 3;
// The spacing of the vertical lines that stand for a barcode's bars.
inline constexpr int kHatchSpacing = 3;

} // namespace qvt
