#pragma once

#include "PlotSink.h"

#include <cstdint>

namespace brelloc::bench {

// A sink that only counts, so a benchmark measures the tracer and not an
// output. Counting keeps every call observable to the optimiser.
class CountingSink final : public PlotSink {
public:
    void BeginCurve(ModelPoint) override {}
    void CurvePoint(int, ModelPoint) override { ++samples; }
    void EndCurve() override {}
    void BeginFamily(Family) override {}
    void Segment(ModelPoint, ModelPoint) override { ++segments; }

    std::int64_t samples = 0;
    std::int64_t segments = 0;
};

} // namespace brelloc::bench
