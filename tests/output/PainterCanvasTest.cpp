#include "PainterCanvas.h"

#include "PrintedReport.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace brelloc {
namespace {

constexpr QRgb kWhitePixel = 0xFFFFFFFF;
constexpr QRgb kBlackPixel = 0xFF000000;
constexpr QRgb kAquaPixel = 0xFF00FFFF;

QImage WhiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void Paint(QImage& image, const std::function<void(PainterCanvas&)>& draw)
{
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    draw(canvas);
}

struct Pixel {
    int x, y;
    QRgb colour;
};

TEST(PainterCanvasTest, LinesLightTheGivenPixelsUpToTheEndPoint)
{
    QImage image = WhiteImage(40, 40);
    Paint(image, [](PainterCanvas& c) {
        c.MoveTo(2, 3);
        c.LineTo(10, 3); // 8 pixels: 2..9
        c.MoveTo(20, 2);
        c.LineTo(20, 12); // 10 pixels: rows 2..11
        c.MoveTo(5, 20);
        c.LineTo(15, 20); // 10 pixels, then 10 more down: the corner once
        c.LineTo(15, 30);
        c.MoveTo(30, 30);
        c.LineTo(30, 30); // no length: nothing
    });
    const Pixel pixels[] = {
        {2, 3, kBlackPixel},   {9, 3, kBlackPixel},   {10, 3, kWhitePixel},
        {1, 3, kWhitePixel},   {20, 2, kBlackPixel},  {20, 11, kBlackPixel},
        {20, 12, kWhitePixel}, {15, 20, kBlackPixel}, {15, 29, kBlackPixel},
        {15, 30, kWhitePixel}, {5, 21, kWhitePixel},  {30, 30, kWhitePixel},
    };
    for (const Pixel& p : pixels)
        EXPECT_EQ(image.pixel(p.x, p.y), p.colour) << p.x << "," << p.y;

    // One pixel wide and aliased: only black and white, and exactly the
    // pixels counted above.
    int black = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            ASSERT_TRUE(pixel == kBlackPixel || pixel == kWhitePixel) << x << "," << y;
            black += pixel == kBlackPixel;
        }
    EXPECT_EQ(black, 8 + 10 + 20);
}

TEST(PainterCanvasTest, PenColourApplies)
{
    QImage image = WhiteImage(20, 20);
    Paint(image, [](PainterCanvas& c) {
        c.SetPenColor(0xFF0000);
        c.MoveTo(0, 5);
        c.LineTo(10, 5);
    });
    EXPECT_EQ(image.pixel(4, 5), 0xFFFF0000);
}

TEST(PainterCanvasTest, DotIsADiscInThePenColourThatLeavesThePenAndBrushAlone)
{
    QImage image = WhiteImage(40, 40);
    Paint(image, [](PainterCanvas& c) {
        c.SetPenColor(0xFF0000);
        c.Dot(10, 10, 4);
        c.Dot(30, 30, 0); // no radius: nothing
        c.MoveTo(20, 2);
        c.LineTo(30, 2); // still the red pen
        c.SetPenColor(kBlack);
        c.SetBrushColor(kAqua);
        c.Rectangle(20, 10, 30, 20); // the brush is still the one set
    });
    constexpr QRgb red = 0xFFFF0000;
    const Pixel pixels[] = {
        {10, 10, red},         {7, 10, red},          {13, 10, red},         {10, 7, red},
        {10, 13, red},         {8, 8, red},           {12, 12, red},         {4, 10, kWhitePixel},
        {16, 10, kWhitePixel}, {10, 4, kWhitePixel},  {10, 16, kWhitePixel}, {5, 5, kWhitePixel},
        {30, 30, kWhitePixel}, {20, 2, red},          {29, 2, red},          {25, 15, kAquaPixel},
        {20, 10, kBlackPixel},
    };
    for (const Pixel& p : pixels)
        EXPECT_EQ(image.pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
    // Filled and aliased: only red and white around the dot, a disc about
    // 2 r + 1 pixels across (the rasteriser may place its edge half a pixel
    // either way), so about pi (r + 1/2)^2 pixels.
    int reds = 0, left = 40, right = -1, top = 40, bottom = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const QRgb pixel = image.pixel(x, y);
            ASSERT_TRUE(pixel == red || pixel == kWhitePixel) << x << "," << y;
            if (pixel != red)
                continue;
            ++reds;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    EXPECT_GE(right - left + 1, 8);
    EXPECT_LE(right - left + 1, 10);
    EXPECT_GE(bottom - top + 1, 8);
    EXPECT_LE(bottom - top + 1, 10);
    EXPECT_GE(reds, 45);
    EXPECT_LE(reds, 85);
}

TEST(PainterCanvasTest, RectangleIsFilledAndOutlinedWithinItsExclusiveCorner)
{
    QImage image = WhiteImage(20, 20);
    Paint(image, [](PainterCanvas& c) {
        c.SetBrushColor(kAqua);
        c.Rectangle(2, 3, 10, 9); // covers columns 2..9, rows 3..8
    });
    const Pixel pixels[] = {
        {2, 3, kBlackPixel},  {9, 3, kBlackPixel},  {2, 8, kBlackPixel},  {9, 8, kBlackPixel},
        {5, 3, kBlackPixel},  {5, 8, kBlackPixel},  {2, 6, kBlackPixel},  {9, 6, kBlackPixel},
        {3, 4, kAquaPixel},   {8, 7, kAquaPixel},   {5, 5, kAquaPixel},   {10, 3, kWhitePixel},
        {2, 9, kWhitePixel},  {10, 9, kWhitePixel}, {1, 2, kWhitePixel},
    };
    for (const Pixel& p : pixels)
        EXPECT_EQ(image.pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(PainterCanvasTest, TextCellIsFilledWithTheBrush)
{
    QImage image = WhiteImage(200, 80);
    int width = 0, height = 0;
    Paint(image, [&](PainterCanvas& c) {
        c.SetFont(FontDialog2);
        c.SetBrushColor(kAqua);
        width = c.TextWidth("Wy");
        height = c.TextHeight("Wy");
        c.TextOut(30, 20, "Wy");
    });
    ASSERT_GT(width, 4);
    ASSERT_GT(height, 4);
    int aqua = 0, ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const bool inCell = x >= 30 && x < 30 + width && y >= 20 && y < 20 + height;
            if (!inCell) {
                ASSERT_EQ(pixel, kWhitePixel) << "outside the cell at " << x << "," << y;
            } else if (pixel == kAquaPixel) {
                ++aqua;
            } else {
                ASSERT_NE(pixel, kWhitePixel) << "unfilled at " << x << "," << y;
                ++ink;
            }
        }
    EXPECT_GT(aqua, width * height / 2);
    EXPECT_GT(ink, 10);
    // The cell's corners are background, the glyphs lie inside.
    EXPECT_EQ(image.pixel(30, 20), kAquaPixel);
    EXPECT_EQ(image.pixel(30 + width - 1, 20 + height - 1), kAquaPixel);
}

int HeadingHeightAt(int dpi)
{
    QImage image(8, 8, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    int height = 0;
    Paint(image, [&](PainterCanvas& c) {
        c.SetFont(FontDialog1);
        height = c.TextHeight("W");
    });
    return height;
}

TEST(PainterCanvasTest, FontsAreSizedInPointsForTheDevice)
{
    const int screen = HeadingHeightAt(96);
    const int printer = HeadingHeightAt(1200);
    // 10 pt at 96 dpi is about 13 pixels plus leading.
    EXPECT_GE(screen, 12);
    EXPECT_LE(screen, 20);
    EXPECT_NEAR(printer, screen * 12.5, screen * 1.5);
}

TEST(PainterCanvasTest, MissingFaceFallsBackToSansSerif)
{
    const QFont font = PainterCanvas::FontFor(FontDialog1);
    EXPECT_EQ(font.styleHint(), QFont::SansSerif);
    EXPECT_TRUE(font.bold());
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 10.0);
    const QFontInfo resolved(font);
    EXPECT_FALSE(resolved.family().isEmpty());
    EXPECT_TRUE(resolved.bold());
}

} // namespace
} // namespace brelloc
