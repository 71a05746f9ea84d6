#include "PicTeXSink.h"

#include "NumberFormat.h"

#include <array>

namespace brelloc {

namespace {

// Room for " %6.1f %6.1f" of any two doubles, so a caller outside the window
// cannot overrun it.
using NumberBuffer = std::array<char, PicTeXSink::kGroupCapacity>;

// Appends " %6.1f" of value at out[used]; returns the new length.
std::size_t AppendNumber(NumberBuffer& out, std::size_t used, double value)
{
    out[used++] = ' ';
    return used + FormatFixedTo(out.data() + used, out.size() - used, value, 6, 1);
}

} // namespace

void PicTeXSink::BeginCurve(ModelPoint)
{
    // The start point is sample 0, which comes as a CurvePoint of its own.
    // "  \plot " is written with the second point, when the curve is sure
    // to be drawable.
    points_ = 0;
    pointsOnLine_ = 0;
    firstLength_ = 0;
}

void PicTeXSink::CurvePoint(int, ModelPoint p)
{
    NumberBuffer buffer;
    std::size_t used = AppendNumber(buffer, 0, texScale_ * p.x);
    used = AppendNumber(buffer, used, texScale_ * p.y);
    const std::string_view group(buffer.data(), used);
    ++points_;
    if (points_ == 1) {
        group.copy(first_, used);
        firstLength_ = used;
        return;
    }
    if (points_ == 2) {
        out_.Write("  \\plot ");
        WritePoint(std::string_view(first_, firstLength_));
    }
    WritePoint(group);
}

void PicTeXSink::WritePoint(std::string_view group)
{
    out_.Write(group);
    if (++pointsOnLine_ == 5) {
        out_.Write("\n        ");
        pointsOnLine_ = 0;
    }
}

void PicTeXSink::EndCurve()
{
    if (points_ < 2) {
        out_.Write("  %\\plot ");
        out_.Write(std::string_view(first_, points_ == 1 ? firstLength_ : 0));
    }
    out_.Write(" /\n");
}

void PicTeXSink::BeginFamily(Family family)
{
    out_.Write(family == Family::Potential ? "  \\setdots<2pt> \n" : "  \\setsolid \n");
}

void PicTeXSink::Segment(ModelPoint p, ModelPoint q)
{
    out_.Write("  \\plot");
    for (double value : {p.x, p.y, q.x, q.y}) {
        NumberBuffer buffer;
        const std::size_t used = AppendNumber(buffer, 0, texScale_ * value);
        out_.Write(std::string_view(buffer.data(), used));
    }
    out_.Write(" /\n");
}

} // namespace brelloc
