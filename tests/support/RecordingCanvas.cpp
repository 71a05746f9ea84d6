#include "RecordingCanvas.h"

namespace brelloc::test {

void RecordingCanvas::SetPenColor(Rgb color)
{
    Op op;
    op.kind = Op::Pen;
    op.color = color;
    ops.push_back(op);
}

void RecordingCanvas::SetBrushColor(Rgb color)
{
    Op op;
    op.kind = Op::Brush;
    op.color = color;
    ops.push_back(op);
}

void RecordingCanvas::SetFont(const FontSpec& newFont)
{
    font = newFont;
    Op op;
    op.kind = Op::Font;
    op.font = newFont;
    ops.push_back(op);
}

void RecordingCanvas::MoveTo(int x, int y)
{
    Op op;
    op.kind = Op::MoveTo;
    op.x1 = x;
    op.y1 = y;
    ops.push_back(op);
}

void RecordingCanvas::LineTo(int x, int y)
{
    Op op;
    op.kind = Op::LineTo;
    op.x1 = x;
    op.y1 = y;
    ops.push_back(op);
}

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Op op;
    op.kind = Op::Rectangle;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    ops.push_back(op);
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text)
{
    Op op;
    op.kind = Op::Text;
    op.x1 = x;
    op.y1 = y;
    op.text = text;
    op.font = font;
    ops.push_back(op);
}

void RecordingCanvas::Dot(int x, int y, int radius)
{
    Op op;
    op.kind = Op::Dot;
    op.x1 = x;
    op.y1 = y;
    op.x2 = radius;
    ops.push_back(op);
}

int RecordingCanvas::TextWidth(const std::string& text)
{
    const int perChar = static_cast<int>(font.pointSize) + (font.bold ? 1 : 0);
    return static_cast<int>(text.size()) * perChar;
}

int RecordingCanvas::TextHeight(const std::string&)
{
    return static_cast<int>(2 * font.pointSize);
}

std::vector<RecordingCanvas::Line> RecordingCanvas::Lines() const
{
    std::vector<Line> lines;
    int x = 0, y = 0;
    for (const Op& op : ops) {
        if (op.kind == Op::MoveTo) {
            x = op.x1;
            y = op.y1;
        } else if (op.kind == Op::LineTo) {
            lines.push_back({x, y, op.x1, op.y1});
            x = op.x1;
            y = op.y1;
        }
    }
    return lines;
}

std::vector<RecordingCanvas::Op> RecordingCanvas::Texts() const
{
    std::vector<Op> texts;
    for (const Op& op : ops)
        if (op.kind == Op::Text)
            texts.push_back(op);
    return texts;
}

} // namespace brelloc::test
