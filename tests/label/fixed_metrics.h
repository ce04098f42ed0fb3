#pragma once

#include "core/display_list.h"

namespace qvt::test {

// Text sizes without fonts: each byte 0.6 of the pixel size wide (rounded
// down), the cell two pixels taller than the pixel size.
class FixedMetrics : public FontMetrics {
public:
    int TextWidth(FontRole, int pixelSize, std::string_view text) const override
    {
        return int(text.size()) * (pixelSize * 6 / 10);
    }
    int TextHeight(FontRole, int pixelSize) const override { return pixelSize + 2; }
};

} // namespace qvt::test
