#pragma once

#include "GeneralData.h"
#include "PlotSink.h"

namespace brelloc::test {

// Whether a cell whose four corner values all equal a level emits its
// segment for that level (as the literal loops do: the corners 1 and 2 once
// per level) or nothing (as the program does). Only a cell of constant value
// can be flat, as all cells are when there is no flow at all; this is the
// program's one departure from the loops.
enum class FlatCells { Emit, Skip };

// The trace written as plain nested loops: every cell evaluates its twelve
// corner values through the field functions and tests every contour level.
// It is slow and obviously right; with FlatCells::Skip the production tracer
// must make exactly the same sink calls with bit-identical points.
class LiteralFlowNetTracer {
public:
    static void Trace(const GeneralData& data, PlotSink& sink, FlatCells flat);
};

} // namespace brelloc::test
