#include "editor/canvas_measurer.h"

namespace qvt {

int CanvasMeasurer::TextWidth(std::string_view text) const
{
    return metrics_.TextWidth(FontRole::Canvas, 0, text);
}

int CanvasMeasurer::TextHeight(std::string_view) const { return metrics_.TextHeight(FontRole::Canvas, 0); }

} // namespace qvt
