#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

namespace brelloc::test {

// A canvas that draws nothing and keeps every operation, so tests can assert
// exact pixel coordinates without a display. Text metrics are made up but
// depend on the font, like real ones: each character is pointSize pixels
// wide (one more when bold) and a line is 2 * pointSize pixels high.
class RecordingCanvas : public Canvas {
public:
    struct Op {
        enum Kind { Pen, Brush, Font, MoveTo, LineTo, Rectangle, Text, Dot };
        Kind kind = Pen;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        Rgb color = 0;
        FontSpec font;
        std::string text;
    };

    void SetPenColor(Rgb color) override;
    void SetBrushColor(Rgb color) override;
    void SetFont(const FontSpec& font) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void TextOut(int x, int y, const std::string& text) override;
    // Kept as a Dot op: centre in (x1, y1), radius in x2.
    void Dot(int x, int y, int radius) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;

    std::vector<Op> ops;
    FontSpec font{"Test Sans", 8.0, false};

    // Each stroke as (x1, y1) -> (x2, y2), from the current pen position.
    struct Line {
        int x1, y1, x2, y2;
        bool operator==(const Line& o) const
        {
            return x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2;
        }
    };
    std::vector<Line> Lines() const;
    // The texts drawn, with their top-left corners and fonts.
    std::vector<Op> Texts() const;

};

} // namespace brelloc::test
