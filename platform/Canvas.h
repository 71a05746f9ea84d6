#pragma once

#include <cstdint>
#include <string>

namespace brelloc {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;
constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kAqua = 0x00FFFF;
constexpr Rgb kLime = 0x00FF00;
constexpr Rgb kYellow = 0xFFFF00;

// A font by face, point size and weight; the canvas scales the point size to
// its device's resolution.
struct FontSpec {
    std::string family;
    double pointSize = 8.0;
    bool bold = false;
};

// The drawing operations the outputs are written in: integer device pixels,
// x to the right and y downward, a current pen position, texts drawn with
// their top-left corner at the given point on a cell filled with the brush.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void SetPenColor(Rgb color) = 0;
    virtual void SetBrushColor(Rgb color) = 0;
    virtual void SetFont(const FontSpec& font) = 0;

    virtual void MoveTo(int x, int y) = 0;
    // Draws from the current position to (x, y), which becomes current.
    virtual void LineTo(int x, int y) = 0;
    // Fills the rectangle with the brush and outlines it with the pen; the
    // right and bottom edges are exclusive, as (x1, y1, x2, y2) name them.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    // A filled disc of the given radius around (x, y) in the pen colour.
    virtual void Dot(int x, int y, int radius) = 0;

    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;
};

} // namespace brelloc
