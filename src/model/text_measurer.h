#pragma once

#include <string_view>

namespace qvt {

// Measures exit labels in the design canvas's font, so that new ReadKey items
// get exit spans that fit their labels. The design window supplies one while it
// is open; items created without one (for a compile) get spans nobody draws.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;

    // Pixel width and height of `text` (8-bit bytes as stored).
    virtual int TextWidth(std::string_view text) const = 0;
    virtual int TextHeight(std::string_view text) const = 0;
};

} // namespace qvt
