#pragma once

#include "PlotSink.h"

#include <string>
#include <vector>

namespace brelloc::test {

// One PlotSink call, as a test sees it.
struct SinkCall {
    enum Kind { BeginCurve, CurvePoint, EndCurve, BeginFamily, Segment };
    Kind kind = BeginCurve;
    int k = 0;                          // CurvePoint
    Family family = Family::Potential;  // BeginFamily
    ModelPoint p;                       // BeginCurve, CurvePoint, Segment
    ModelPoint q;                       // Segment

    bool operator==(const SinkCall& other) const;
};

std::string Describe(const SinkCall& call);

// Keeps every call in order.
class RecordingSink : public PlotSink {
public:
    void BeginCurve(ModelPoint p0) override;
    void CurvePoint(int k, ModelPoint p) override;
    void EndCurve() override;
    void BeginFamily(Family family) override;
    void Segment(ModelPoint p, ModelPoint q) override;

    std::vector<SinkCall> calls;

    // The boundary curves' CurvePoint sample indices, curve by curve.
    std::vector<std::vector<int>> CurveSamples() const;
    // The segments of one family, in order.
    std::vector<SinkCall> Segments(Family family) const;
};

} // namespace brelloc::test
