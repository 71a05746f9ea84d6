#pragma once

namespace brelloc {

// A point of the physical plane, in units of L, x to the right, y upward.
struct ModelPoint {
    double x = 0.0;
    double y = 0.0;
};

inline bool operator==(const ModelPoint& a, const ModelPoint& b)
{
    return a.x == b.x && a.y == b.y;
}

enum class Family { Potential, Stream };

// What the tracer drives: three boundary curves, then the potential segments,
// then the stream segments. Every output of the program is one of these.
class PlotSink {
public:
    virtual ~PlotSink() = default;

    // A boundary curve starts at p0. p0 is not window-tested and is the same
    // point as sample 0: pen sinks move there, point-listing sinks ignore it.
    virtual void BeginCurve(ModelPoint p0) = 0;
    // Continue the current curve to p; samples outside the window are left out
    // without ending the curve.
    virtual void CurvePoint(int k, ModelPoint p) = 0;
    virtual void EndCurve() = 0;
    virtual void BeginFamily(Family family) = 0;
    // One contour piece from the first candidate found in a cell to the second.
    virtual void Segment(ModelPoint p, ModelPoint q) = 0;
};

} // namespace brelloc
