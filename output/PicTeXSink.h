#pragma once

#include "PlotSink.h"
#include "TextStream.h"

#include <cstddef>
#include <string_view>

namespace brelloc {

// The PlotSink of the PicTeX file: each boundary curve becomes one \plot
// entry with at most five points a line, each segment one \plot line, every
// coordinate scaled by texScale and written as "%6.1f". Everything is
// written the moment it arrives, except a curve's first point, which waits
// for the second: PicTeX's \plot stops LaTeX with an error when given fewer
// than two points, so a curve with none or one inside the window is written
// as a comment ("  %\plot  /") that LaTeX skips.
class PicTeXSink : public PlotSink {
public:
    PicTeXSink(TextStream& out, double texScale) : out_(out), texScale_(texScale) {}

    static constexpr std::size_t kGroupCapacity = 720;

    void BeginCurve(ModelPoint p0) override;
    void CurvePoint(int k, ModelPoint p) override;
    void EndCurve() override;
    void BeginFamily(Family family) override;
    void Segment(ModelPoint p, ModelPoint q) override;

private:
    TextStream& out_;
    double texScale_;
    void WritePoint(std::string_view group);

    int points_ = 0;       // points of the current curve so far
    int pointsOnLine_ = 0; // 0 to 4 between points
    char first_[kGroupCapacity] = {}; // the first point's text until the second comes
    std::size_t firstLength_ = 0;
};

} // namespace brelloc
