#pragma once

#include "core/display_list.h"
#include "model/text_measurer.h"

namespace qvt {

// Measures texts in the design canvas's font for the items (ReadKey sizes its
// exits with it), through whatever FontMetrics draws the picture.
class CanvasMeasurer final : public TextMeasurer {
public:
    explicit CanvasMeasurer(const FontMetrics& metrics) : metrics_(metrics) {}

    int TextWidth(std::string_view text) const override;
    int TextHeight(std::string_view text) const override;

private:
    const FontMetrics& metrics_;
};

} // namespace qvt
