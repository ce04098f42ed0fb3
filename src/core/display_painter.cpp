#include "core/display_painter.h"

#include "core/cp1254.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStaticText>
#include <QSvgGenerator>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace qvt {

namespace {

// The designer's fonts were sized in points on a 96 dpi screen. They are set
// here in pixels so the picture does not change with the screen's dpi:
// 8 points = 10.67 pixels, rounded to 11 as the screen font mapper does;
// 7 points = 9.33, rounded to 9.
constexpr int kCanvasPixels = 11;
constexpr int kSmallPixels = 9;
constexpr int kPrinterPixels = 11;

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

int RolePixels(FontRole role, int pixelSize)
{
    if (pixelSize > 0)
        return pixelSize;
    switch (role) {
    case FontRole::Canvas: return kCanvasPixels;
    case FontRole::Small: return kSmallPixels;
    case FontRole::Printer: return kPrinterPixels;
    }
    return kCanvasPixels;
}

// Per-font measurements: the advance of every byte of the code page, so a
// text is measured by adding up its bytes (kerning is off in these fonts, so
// the sum is the width the text is drawn with).
struct FontEntry {
    QFont font;
    std::array<double, 256> advance{};
    int ascent = 0;
    int height = 0;
};

const FontEntry& EntryFor(FontRole role, int pixelSize)
{
    // One table for the process; the painter runs on the GUI thread only.
    static std::map<std::pair<int, int>, std::unique_ptr<FontEntry>> cache;
    const int pixels = RolePixels(role, pixelSize);
    auto& slot = cache[{static_cast<int>(role), pixels}];
    if (!slot) {
        slot = std::make_unique<FontEntry>();
        slot->font = FontFor(role, pixels);
        const QFontMetricsF fm(slot->font);
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString s = fromCp1254(std::string_view(&byte, 1));
            slot->advance[b] = s.isEmpty() ? 0.0 : fm.horizontalAdvance(s);
        }
        const QFontMetrics im(slot->font);
        slot->ascent = im.ascent();
        slot->height = im.height();
    }
    return *slot;
}

int Measure(const FontEntry& e, std::string_view text)
{
    double w = 0;
    for (const char c : text)
        w += e.advance[static_cast<unsigned char>(c)];
    return static_cast<int>(std::lround(w));
}

// Whether the painter can be driven pixel by pixel: an image (or widget)
// without scaling. Anything else (SVG, a scaled PNG) gets the same shapes as
// vector strokes.
bool PixelExact(QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    return engine && engine->type() == QPaintEngine::Raster
           && painter.worldTransform().type() <= QTransform::TxTranslate;
}

// Dotted runs are copied from a strip of alternating lit and clear pixels,
// one strip per colour and direction; blitting is far cheaper than filling
// through a pattern brush. Strips are an even number of pixels long so that
// long runs continue the pattern from one piece to the next.
constexpr int kDotStrip = 2048;

const QImage& DotStrip(QColor color, bool vertical)
{
    static std::map<std::pair<QRgb, bool>, QImage> strips;
    QImage& strip = strips[{color.rgb(), vertical}];
    if (strip.isNull()) {
        strip = QImage(vertical ? 1 : kDotStrip + 1, vertical ? kDotStrip + 1 : 1,
                       QImage::Format_ARGB32_Premultiplied);
        for (int i = 0; i <= kDotStrip; ++i) {
            const QRgb pixel = i % 2 == 0 ? color.rgb() : 0u;
            strip.setPixel(vertical ? 0 : i, vertical ? i : 0, pixel);
        }
    }
    return strip;
}

class Painter {
public:
    Painter(QPainter& p, const DisplayList& list) : p_(p), list_(list), exact_(PixelExact(p))
    {
        // Painting into an unshared 32-bit image without a clip, solid runs
        // are written straight into its pixels: a connection line crossing
        // the whole view costs a store per row instead of a fill call per row.
        if (!exact_ || p.hasClipping() || !p.device() || p.device()->devType() != QInternal::Image)
            return;
        auto* image = static_cast<QImage*>(p.device());
        const QImage::Format f = image->format();
        if ((f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied)
            && image->devicePixelRatio() == 1.0 && image->isDetached()) {
            direct_ = image;
            dx_ = static_cast<int>(p.worldTransform().dx());
            dy_ = static_cast<int>(p.worldTransform().dy());
        }
    }

    void Background(const PixelRect& r, Rgb color)
    {
        SolidPixels(r.left, r.top, r.right - 1, r.bottom - 1, ToQColor(color));
    }

    void Draw(const Primitive& prim)
    {
        switch (prim.kind) {
        case Primitive::Kind::Rect: DrawRect(prim); break;
        case Primitive::Kind::Polyline: DrawPolyline(prim); break;
        case Primitive::Kind::Text: DrawText(prim); break;
        }
    }

private:
    // Pixels x0..x1, y0..y1 (inclusive) in a solid colour.
    void SolidPixels(int x0, int y0, int x1, int y1, QColor c)
    {
        if (x1 < x0 || y1 < y0)
            return;
        if (direct_) {
            const int left = std::max(x0 + dx_, 0), right = std::min(x1 + dx_, direct_->width() - 1);
            const int top = std::max(y0 + dy_, 0), bottom = std::min(y1 + dy_, direct_->height() - 1);
            if (left > right || top > bottom)
                return;
            // Opaque: the same word in all three formats.
            const QRgb word = c.rgb() | 0xff000000u;
            uchar* bits = direct_->bits();
            const qsizetype stride = direct_->bytesPerLine();
            for (int y = top; y <= bottom; ++y)
                std::fill_n(reinterpret_cast<QRgb*>(bits + y * stride) + left, right - left + 1, word);
        } else if (exact_) {
            p_.fillRect(QRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1), c);
        } else {
            p_.fillRect(QRectF(x0, y0, x1 - x0 + 1, y1 - y0 + 1), c);
        }
    }

    // A dotted horizontal or vertical run of pixels from (x0, y0) to (x1, y1)
    // lighting every other pixel: those whose x + y has the parity of the
    // pixel (litX, litY). Runs that share that pixel share one checkerboard,
    // so the sides of a box meet on an unbroken pattern.
    void DottedRun(int x0, int y0, int x1, int y1, int litX, int litY, QColor c)
    {
        if (x1 < x0)
            std::swap(x0, x1);
        if (y1 < y0)
            std::swap(y0, y1);
        const int phase = (x0 + y0 - litX - litY) & 1;
        if (exact_) {
            const bool vertical = x0 == x1 && y0 != y1;
            const QImage& strip = DotStrip(c, vertical);
            int remaining = vertical ? y1 - y0 + 1 : x1 - x0 + 1;
            int x = x0, y = y0;
            while (remaining > 0) {
                const int n = std::min(remaining, kDotStrip);
                if (vertical)
                    p_.drawImage(QRect(x, y, 1, n), strip, QRect(0, phase, 1, n));
                else
                    p_.drawImage(QRect(x, y, n, 1), strip, QRect(phase, 0, n, 1));
                (vertical ? y : x) += n;
                remaining -= n;
            }
            return;
        }
        QPen pen(c, 1, Qt::CustomDashLine, Qt::FlatCap);
        pen.setDashPattern({1.0, 1.0});
        if (phase != 0)
            pen.setDashOffset(1.0);
        p_.setPen(pen);
        if (y0 == y1)
            p_.drawLine(QLineF(x0, y0 + 0.5, x1 + 1, y0 + 0.5));
        else
            p_.drawLine(QLineF(x0 + 0.5, y0, x0 + 0.5, y1 + 1));
        p_.setPen(Qt::NoPen);
    }

    // The outline of a rectangle on its own edge pixels, starting lit at the
    // top-left corner when dotted.
    void Outline(const PixelRect& r, const Pen& pen)
    {
        if (pen.style == PenStyle::None || r.right <= r.left || r.bottom <= r.top)
            return;
        const QColor c = ToQColor(pen.color);
        const int w = std::max(1, pen.width);
        const int l = r.left, t = r.top, rr = r.right - 1, b = r.bottom - 1;
        if (pen.style == PenStyle::Solid || w > 1) {
            SolidPixels(l, t, rr, std::min(b, t + w - 1), c);
            SolidPixels(l, std::max(t, b - w + 1), rr, b, c);
            SolidPixels(l, t, std::min(rr, l + w - 1), b, c);
            SolidPixels(std::max(l, rr - w + 1), t, rr, b, c);
            return;
        }
        DottedRun(l, t, rr, t, l, t, c);
        DottedRun(l, b, rr, b, l, t, c);
        if (b - t > 1) {
            DottedRun(l, t + 1, l, b - 1, l, t, c);
            DottedRun(rr, t + 1, rr, b - 1, l, t, c);
        }
    }

    void DrawRect(const Primitive& prim)
    {
        const PixelRect& r = prim.rect;
        if (prim.filled && r.right > r.left && r.bottom > r.top)
            SolidPixels(r.left, r.top, r.right - 1, r.bottom - 1, ToQColor(prim.fill));
        Outline(r, prim.pen);
    }

    // One straight piece of a polyline, both end points included. Horizontal
    // and vertical pieces are laid pixel by pixel; a pen of width w covers w
    // pixels across the line, the extra one of an even width above or left of
    // it, and as far beyond each end point, so pieces join squarely.
    void Segment(PixelPoint a, PixelPoint b, const Pen& pen)
    {
        const QColor c = ToQColor(pen.color);
        const int w = std::max(1, pen.width);
        const int lo = -(w / 2), hi = lo + w - 1;
        if (a.x == b.x || a.y == b.y) {
            const int x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
            const int y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
            if (pen.style == PenStyle::Dotted && w == 1)
                DottedRun(a.x, a.y, b.x, b.y, a.x, a.y, c);
            else
                SolidPixels(x0 + lo, y0 + lo, x1 + hi, y1 + hi, c);
            return;
        }
        QPen qpen(c, w, pen.style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine, Qt::SquareCap);
        if (w == 1)
            qpen.setCosmetic(true);
        p_.setPen(qpen);
        p_.drawLine(QPointF(a.x + 0.5, a.y + 0.5), QPointF(b.x + 0.5, b.y + 0.5));
        p_.setPen(Qt::NoPen);
    }

    void DrawPolyline(const Primitive& prim)
    {
        if (prim.pen.style == PenStyle::None)
            return;
        const auto points = list_.PointsOf(prim);
        if (points.size() == 1) {
            Segment(points[0], points[0], prim.pen);
            return;
        }
        for (std::size_t i = 1; i < points.size(); ++i)
            Segment(points[i - 1], points[i], prim.pen);
    }

    void DrawText(const Primitive& prim)
    {
        const std::string_view bytes = list_.TextOf(prim);
        const FontEntry& e = EntryFor(prim.text.font, prim.text.pixelSize);
        const int rotation = ((prim.text.rotation % 360) + 360) % 360;
        const bool turned = rotation != 0;
        if (turned) {
            p_.save();
            p_.translate(prim.at.x, prim.at.y);
            p_.rotate(rotation);
        } else if (!exact_) {
            p_.save();
        }
        const int ox = turned ? 0 : prim.at.x;
        const int oy = turned ? 0 : prim.at.y;
        if (prim.text.opaque) {
            const int w = Measure(e, bytes);
            if (w > 0)
                p_.fillRect(QRect(ox, oy, w, e.height), ToQColor(prim.text.background));
        }
        if (!bytes.empty()) {
            p_.setFont(e.font);
            p_.setPen(ToQColor(prim.text.color));
            if (exact_ && !turned)
                p_.drawStaticText(QPoint(ox, oy), LaidOut(bytes, prim.text.font, e));
            else
                p_.drawText(QPoint(ox, oy + e.ascent), fromCp1254(bytes));
            p_.setPen(Qt::NoPen);
        }
        if (turned || !exact_)
            p_.restore();
    }

    // Texts keep their layout from one paint to the next: a view scrolled or
    // repainted draws the same labels and titles again. The cache is dropped
    // whole when it grows large.
    static const QStaticText& LaidOut(std::string_view bytes, FontRole role, const FontEntry& e)
    {
        static std::unordered_map<std::string, QStaticText> cache;
        std::string key;
        key.reserve(bytes.size() + 8);
        key.append(bytes);
        key.push_back('\0');
        key.push_back(static_cast<char>(role));
        // One entry per font and size: its address tells them apart.
        const auto font = reinterpret_cast<std::uintptr_t>(&e);
        key.append(reinterpret_cast<const char*>(&font), sizeof font);
        auto it = cache.find(key);
        if (it != cache.end())
            return it->second;
        if (cache.size() >= 8192)
            cache.clear();
        QStaticText text(fromCp1254(bytes));
        text.setTextFormat(Qt::PlainText);
        text.setPerformanceHint(QStaticText::AggressiveCaching);
        text.prepare(QTransform(), e.font);
        return cache.emplace(std::move(key), std::move(text)).first->second;
    }

    QPainter& p_;
    const DisplayList& list_;
    bool exact_ = false;
    QImage* direct_ = nullptr;
    int dx_ = 0;
    int dy_ = 0;
};

PixelRect WholePicture(const DisplayList& list) { return {0, 0, list.width, list.height}; }

void PaintAll(QPainter& painter, const DisplayList& list)
{
    PaintDisplayList(painter, list, QRect(0, 0, list.width, list.height));
}

} // namespace

QFont FontFor(FontRole role, int pixelSize)
{
    QFont font;
    switch (role) {
    case FontRole::Canvas:
        // Metric twin of the terminal tools' fixed-pitch screen font.
        font.setFamily(QStringLiteral("Liberation Mono"));
        font.setStyleHint(QFont::TypeWriter);
        break;
    case FontRole::Small:
        font.setFamily(QStringLiteral("Liberation Sans"));
        font.setStyleHint(QFont::SansSerif);
        break;
    case FontRole::Printer:
        font.setFamily(QStringLiteral("Liberation Mono"));
        font.setStyleHint(QFont::TypeWriter);
        break;
    }
    font.setPixelSize(RolePixels(role, pixelSize));
    font.setKerning(false);
    // Whole-pixel advances, as the screen fonts of the terminal's tools had:
    // every character of the canvas font is 7 pixels wide.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

int PainterFontMetrics::TextWidth(FontRole font, int pixelSize, std::string_view text) const
{
    return Measure(EntryFor(font, pixelSize), text);
}

int PainterFontMetrics::TextHeight(FontRole font, int pixelSize) const
{
    return EntryFor(font, pixelSize).height;
}

void PaintDisplayList(QPainter& painter, const DisplayList& list, const QRect& exposed)
{
    const PixelRect area{exposed.left(), exposed.top(), exposed.left() + exposed.width(),
                         exposed.top() + exposed.height()};
    const PixelRect picture = WholePicture(list);
    if (!area.Intersects(picture))
        return;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(Qt::NoPen);

    const PixelRect bg{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, list.width),
                       std::min(area.bottom, list.height)};
    Painter draw(painter, list);
    draw.Background(bg, list.background);
    for (const Primitive& prim : list.Primitives()) {
        if (!prim.rect.Intersects(area))
            continue;
        draw.Draw(prim);
    }
    painter.restore();
}

bool WritePng(const DisplayList& list, const QString& path, QString* error, double scale)
{
    if (!(scale > 0)) {
        if (error)
            *error = QStringLiteral("Scale must be above 0.");
        return false;
    }
    const int w = static_cast<int>(std::ceil(list.width * scale));
    const int h = static_cast<int>(std::ceil(list.height * scale));
    if (w <= 0 || h <= 0) {
        if (error)
            *error = QStringLiteral("The picture is empty.");
        return false;
    }
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("The picture is too large.");
        return false;
    }
    image.fill(ToQColor(list.background));
    {
        QPainter painter(&image);
        if (scale != 1.0)
            painter.scale(scale, scale);
        PaintAll(painter, list);
    }
    if (!image.save(path, "PNG")) {
        if (error)
            *error = QStringLiteral("Cannot write ") + path;
        return false;
    }
    return true;
}

bool WriteSvg(const DisplayList& list, const QString& path, QString* error)
{
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(QSize(list.width, list.height));
    generator.setViewBox(QRect(0, 0, list.width, list.height));
    generator.setResolution(96);
    QPainter painter;
    if (!painter.begin(&generator)) {
        if (error)
            *error = QStringLiteral("Cannot write ") + path;
        return false;
    }
    PaintAll(painter, list);
    if (!painter.end()) {
        if (error)
            *error = QStringLiteral("Cannot write ") + path;
        return false;
    }
    return true;
}

} // namespace qvt
