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

// The real font behind a role at the given pixel size (0: the role's own).
QFont FontFor(FontRole role, int pixelSize = 0);

// Metrics of the painter's fonts, for the picture builders.
class PainterFontMetrics : public FontMetrics {
public:
    int TextWidth(FontRole font, int pixelSize, std::string_view text) const override;
    int TextHeight(FontRole font, int pixelSize) const override;
};

// Paints the primitives whose bounds meet `exposed` (picture coordinates).
void PaintDisplayList(QPainter& painter, const DisplayList& list, const QRect& exposed);
// The whole picture, `scale` times its size. False, with `error` set, when
// the file cannot be written.
bool WritePng(const DisplayList& list, const QString& path, QString* error, double scale = 1.0);
bool WriteSvg(const DisplayList& list, const QString& path, QString* error);

} // namespace qvt
