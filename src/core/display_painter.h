#pragma once

#include "core/display_list.h"

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace qvt {

// Draws a display list with QPainter: the one painter behind the windows,
// PNG and SVG. Texts are Windows-1254 bytes and become QString here.
// Needs a QGuiApplication (any platform, offscreen included).

// The real font behind a role at the given pixel size (0: the role's own),
// sized in pixels so that pictures do not change with the screen's dpi:
//   Canvas   Liberation Mono, 11 px (the canvas's 8-point fixed-pitch font at
//            96 dpi; every character 7 pixels wide)
//   Small    Liberation Sans, 9 px (the 7-point description font)
//   Printer  Liberation Mono, TextStyle::pixelSize (11 px when 0)
// Kerning is off and advances are whole pixels, so a text is as wide as the
// sum of its characters.
QFont FontFor(FontRole role, int pixelSize = 0);

// Metrics of the painter's fonts, for the picture builders. Widths are summed
// from a table of the 256 bytes per font, so measuring is cheap.
class PainterFontMetrics : public FontMetrics {
public:
    int TextWidth(FontRole font, int pixelSize, std::string_view text) const override;
    int TextHeight(FontRole font, int pixelSize) const override;
};

// Paints the primitives whose bounds meet `exposed` (picture coordinates),
// over the list's background laid on the exposed part of the picture. Lines
// light both end points; rectangles leave out their right and bottom edges.
// The caller clips (a paint event's painter already does).
void PaintDisplayList(QPainter& painter, const DisplayList& list, const QRect& exposed);
// The whole picture, `scale` times its size. False, with `error` set, when
// the file cannot be written.
bool WritePng(const DisplayList& list, const QString& path, QString* error, double scale = 1.0);
bool WriteSvg(const DisplayList& list, const QString& path, QString* error);

} // namespace qvt
