#pragma once

#include "GeneralData.h"
#include "PlotSink.h"

namespace brelloc::test {

// The trace written as plain nested loops: every cell evaluates its twelve
// corner values through the field functions and tests every contour level.
// It is slow and obviously right; the production tracer must make exactly the
// same sink calls with bit-identical points.
class LiteralFlowNetTracer {
public:
    static void Trace(const GeneralData& data, PlotSink& sink);
};

} // namespace brelloc::test
