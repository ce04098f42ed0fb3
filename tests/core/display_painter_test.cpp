#include "core/display_painter.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace qvt {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kFill{244, 244, 244};

// `clipped`: through a painter with a clip, as a widget's paint event has,
// instead of straight into the image's pixels.
QImage Paint(const DisplayList& list, QRect exposed = {}, bool clipped = false)
{
    QImage image(list.width, list.height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    if (clipped)
        painter.setClipRect(image.rect());
    PaintDisplayList(painter, list, exposed.isNull() ? QRect(0, 0, list.width, list.height) : exposed);
    return image;
}

Rgb At(const QImage& image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return {static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
            static_cast<std::uint8_t>(qBlue(c))};
}

// Every pixel of `color`, as (x, y) pairs.
std::set<std::pair<int, int>> PixelsOf(const QImage& image, Rgb color)
{
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (At(image, x, y) == color)
                out.insert({x, y});
    return out;
}

DisplayList Blank(int w = 40, int h = 30)
{
    DisplayList list;
    list.width = w;
    list.height = h;
    list.background = kWhite;
    return list;
}

TEST(DisplayPainter, SolidOutlineLiesOnTheEdgePixelsAndTheFillStopsBeforeRightAndBottom)
{
    DisplayList list = Blank();
    list.AddRect({5, 4, 12, 10}, Pen{PenStyle::Solid, kBlue, 1}, true, kFill);
    for (const bool clipped : {false, true}) {
    const QImage image = Paint(list, {}, clipped);

    std::set<std::pair<int, int>> edge;
    for (int x = 5; x <= 11; ++x) {
        edge.insert({x, 4});
        edge.insert({x, 9});
    }
    for (int y = 4; y <= 9; ++y) {
        edge.insert({5, y});
        edge.insert({11, y});
    }
    EXPECT_EQ(PixelsOf(image, kBlue), edge);
    EXPECT_EQ(PixelsOf(image, kFill).size(), 5u * 4u); // x 6..10, y 5..8
    EXPECT_EQ(At(image, 12, 6), kWhite);
    EXPECT_EQ(At(image, 8, 10), kWhite);
    }
}

TEST(DisplayPainter, DottedOutlineAlternatesPixelsFromTheTopLeftCorner)
{
    DisplayList list = Blank();
    list.AddRect({3, 2, 12, 9}, Pen{PenStyle::Dotted, kBlue, 1}, true, kFill); // x 3..11, y 2..8
    const QImage image = Paint(list);

    for (int x = 3; x <= 11; ++x) {
        const Rgb expected = (x - 3) % 2 == 0 ? kBlue : kFill;
        EXPECT_EQ(At(image, x, 2), expected) << "top, x " << x;
        EXPECT_EQ(At(image, x, 8), expected) << "bottom, x " << x; // height 7: same parity
    }
    for (int y = 2; y <= 8; ++y) {
        const Rgb expected = (y - 2) % 2 == 0 ? kBlue : kFill;
        EXPECT_EQ(At(image, 3, y), expected) << "left, y " << y;
        EXPECT_EQ(At(image, 11, y), expected) << "right, y " << y;
    }
    for (const auto& [x, y] : PixelsOf(image, kBlue))
        EXPECT_TRUE(x == 3 || x == 11 || y == 2 || y == 8) << x << "," << y;
    EXPECT_EQ(At(image, 12, 5), kWhite);
    EXPECT_EQ(At(image, 7, 9), kWhite);
}

TEST(DisplayPainter, LinesLightTheirEndPointsAndNothingBeyond)
{
    struct Case {
        const char* name;
        std::vector<PixelPoint> points;
        Pen pen;
        std::set<std::pair<int, int>> lit;
    };
    const std::vector<Case> cases = {
        {"vertical", {{7, 3}, {7, 8}}, {PenStyle::Solid, kRed, 1},
         {{7, 3}, {7, 4}, {7, 5}, {7, 6}, {7, 7}, {7, 8}}},
        {"horizontal, drawn right to left", {{9, 5}, {4, 5}}, {PenStyle::Solid, kRed, 1},
         {{4, 5}, {5, 5}, {6, 5}, {7, 5}, {8, 5}, {9, 5}}},
        {"dotted", {{2, 6}, {8, 6}}, {PenStyle::Dotted, kRed, 1}, {{2, 6}, {4, 6}, {6, 6}, {8, 6}}},
        {"dotted, odd start", {{3, 1}, {3, 6}}, {PenStyle::Dotted, kRed, 1}, {{3, 1}, {3, 3}, {3, 5}}},
        {"corner", {{2, 2}, {2, 4}, {5, 4}}, {PenStyle::Solid, kRed, 1},
         {{2, 2}, {2, 3}, {2, 4}, {3, 4}, {4, 4}, {5, 4}}},
        {"width 2: one more pixel above and to the left",
         {{4, 6}, {6, 6}},
         {PenStyle::Solid, kRed, 2},
         {{3, 5}, {4, 5}, {5, 5}, {6, 5}, {3, 6}, {4, 6}, {5, 6}, {6, 6}}},
    };
    for (const Case& c : cases) {
        DisplayList list = Blank(16, 12);
        list.AddPolyline(c.points, c.pen);
        EXPECT_EQ(PixelsOf(Paint(list), kRed), c.lit) << c.name;
        EXPECT_EQ(PixelsOf(Paint(list, {}, true), kRed), c.lit) << c.name << ", clipped";
    }

    // A dotted run longer than the painter copies in one piece keeps its step.
    DisplayList list = Blank(4200, 3);
    list.AddLine({1, 1}, {4190, 1}, Pen{PenStyle::Dotted, kRed, 1});
    std::set<std::pair<int, int>> lit;
    for (int x = 1; x <= 4190; x += 2)
        lit.insert({x, 1});
    EXPECT_EQ(PixelsOf(Paint(list), kRed), lit);
}

TEST(DisplayPainter, OpaqueTextFillsItsCellFromTheTopLeftCorner)
{
    PainterFontMetrics metrics;
    const std::string text = "Input";
    const int w = metrics.TextWidth(FontRole::Canvas, 0, text);
    const int h = metrics.TextHeight(FontRole::Canvas, 0);
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);

    DisplayList list = Blank(80, 40);
    const Rgb back{208, 208, 208};
    TextStyle style;
    style.opaque = true;
    style.background = back;
    list.AddText({10, 7}, text, style, TextCell({10, 7}, w, h, 0));
    const QImage image = Paint(list);

    int minX = 1000, minY = 1000, maxX = -1, maxY = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (At(image, x, y) != kWhite) {
                minX = std::min(minX, x);
                minY = std::min(minY, y);
                maxX = std::max(maxX, x);
                maxY = std::max(maxY, y);
            }
    EXPECT_EQ(minX, 10);
    EXPECT_EQ(minY, 7);
    EXPECT_EQ(maxX, 10 + w - 1);
    EXPECT_EQ(maxY, 7 + h - 1);
    EXPECT_EQ(At(image, 10, 7), back); // the cell's corner is background, not glyph
}

TEST(DisplayPainter, RotatedTextStaysInsideItsTurnedCell)
{
    PainterFontMetrics metrics;
    const std::string text = "QVT 123";
    const int w = metrics.TextWidth(FontRole::Printer, 16, text);
    const int h = metrics.TextHeight(FontRole::Printer, 16);
    const PixelPoint at{60, 60};
    for (const int rotation : {0, 90, 180, 270}) {
        DisplayList list = Blank(120, 120);
        TextStyle style;
        style.font = FontRole::Printer;
        style.pixelSize = 16;
        style.rotation = rotation;
        const PixelRect cell = TextCell(at, w, h, rotation);
        list.AddText(at, text, style, cell);
        const QImage image = Paint(list);
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (At(image, x, y) != kWhite) {
                    ++inked;
                    // Antialiased edges may reach one pixel beyond the cell.
                    EXPECT_TRUE(x >= cell.left - 1 && x <= cell.right && y >= cell.top - 1 && y <= cell.bottom)
                        << "rotation " << rotation << " pixel " << x << "," << y;
                }
        EXPECT_GT(inked, 20) << "rotation " << rotation;
    }
}

TEST(DisplayPainter, PrimitivesOutsideTheExposedRectangleAreSkipped)
{
    DisplayList list = Blank(60, 40);
    list.AddRect({2, 2, 10, 10}, Pen{}, true, kRed);   // inside the exposed part
    list.AddRect({40, 20, 50, 30}, Pen{}, true, kBlue); // outside it
    const QImage image = Paint(list, QRect(0, 0, 20, 20));
    EXPECT_EQ(At(image, 5, 5), kRed);
    EXPECT_EQ(At(image, 45, 25), (Rgb{0, 0, 0})); // left as it was
    EXPECT_EQ(At(image, 30, 10), (Rgb{0, 0, 0})); // the background is laid on the exposed part only
    EXPECT_EQ(At(image, 15, 15), kWhite);
}

TEST(DisplayPainter, PaintsTheExposedPartThroughATranslatedPainter)
{
    // A widget scrolled to (100, 50) paints picture pixels at window offsets.
    DisplayList list = Blank(200, 120);
    list.AddRect({101, 51, 111, 61}, Pen{PenStyle::Dotted, kBlue, 1}, true, kFill);
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.translate(-100, -50);
    PaintDisplayList(painter, list, QRect(100, 50, 40, 30));
    painter.end();
    EXPECT_EQ(At(image, 1, 1), kBlue);
    EXPECT_EQ(At(image, 2, 1), kFill);
    EXPECT_EQ(At(image, 3, 1), kBlue);
    EXPECT_EQ(At(image, 1, 2), kFill);
    EXPECT_EQ(At(image, 0, 0), kWhite);
}

TEST(DisplayPainter, WritesPngAndSvgOfTheWholePicture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    DisplayList list = Blank(50, 30);
    list.AddRect({0, 0, 50, 30}, Pen{PenStyle::Dotted, kBlue, 1}, true, kFill);
    list.AddLine({5, 5}, {40, 5}, Pen{PenStyle::Solid, kRed, 2});
    list.AddText({5, 10}, "Start", TextStyle{}, {5, 10, 45, 24});

    QString error;
    const QString png = dir.filePath("picture.png");
    ASSERT_TRUE(WritePng(list, png, &error)) << error.toStdString();
    QImage read(png);
    ASSERT_EQ(read.size(), QSize(50, 30));
    EXPECT_EQ(At(read, 0, 0), kBlue);
    EXPECT_EQ(At(read, 1, 0), kFill);
    EXPECT_EQ(At(read, 20, 5), kRed);

    const QString big = dir.filePath("big.png");
    ASSERT_TRUE(WritePng(list, big, &error, 2.0)) << error.toStdString();
    const QImage bigImage(big);
    EXPECT_EQ(bigImage.size(), QSize(100, 60));
    // Scaled, every picture pixel is two by two: the dots too.
    EXPECT_EQ(At(bigImage, 0, 0), kBlue);
    EXPECT_EQ(At(bigImage, 1, 1), kBlue);
    EXPECT_EQ(At(bigImage, 2, 0), kFill);
    EXPECT_EQ(At(bigImage, 3, 1), kFill);
    EXPECT_EQ(At(bigImage, 4, 0), kBlue);

    const QString svg = dir.filePath("picture.svg");
    ASSERT_TRUE(WriteSvg(list, svg, &error)) << error.toStdString();
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("<svg"));
    EXPECT_TRUE(content.contains("Start"));

    error.clear();
    EXPECT_FALSE(WritePng(list, dir.filePath("missing/picture.png"), &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(WriteSvg(list, dir.filePath("missing/picture.svg"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(DisplayPainter, FontsAreTheInstalledMetricTwinsAtFixedPixelSizes)
{
    EXPECT_EQ(QFontInfo(FontFor(FontRole::Canvas)).family(), "Liberation Mono");
    EXPECT_EQ(QFontInfo(FontFor(FontRole::Canvas)).pixelSize(), 11);
    EXPECT_EQ(QFontInfo(FontFor(FontRole::Small)).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(FontFor(FontRole::Small)).pixelSize(), 9);
    EXPECT_EQ(QFontInfo(FontFor(FontRole::Printer, 20)).pixelSize(), 20);

    PainterFontMetrics metrics;
    // Fixed pitch: the width of a text is its length times one character.
    const int one = metrics.TextWidth(FontRole::Canvas, 0, "W");
    EXPECT_EQ(metrics.TextWidth(FontRole::Canvas, 0, "ReadKey (255) Start"), 19 * one);
    EXPECT_EQ(metrics.TextWidth(FontRole::Canvas, 0, ""), 0);
    // Code page bytes are measured as their characters (byte 185 is a glyph).
    EXPECT_EQ(metrics.TextWidth(FontRole::Canvas, 0, "\xB9"), one);
    EXPECT_LT(metrics.TextWidth(FontRole::Small, 0, "iiii"), metrics.TextWidth(FontRole::Small, 0, "WWWW"));
}

} // namespace
} // namespace qvt
