#pragma once

#include "GeneralData.h"
#include "PlotSink.h"

namespace brelloc {

// Passes unless |x| or |y| exceeds XmaxL; a coordinate equal to XmaxL passes.
// A coordinate that is not finite fails, so no sink ever receives one.
bool WindowTest(const GeneralData& data, double x, double y);
inline bool WindowTest(const GeneralData& data, ModelPoint p)
{
    return WindowTest(data, p.x, p.y);
}

// Last sample index of the drain boundaries (180) and the number of rows of
// contour cells (181: the last row reaches eta 1.81). Both come from the
// product Divisions * DepthLimit formed with a 64-bit mantissa, which lies
// just above 180.
int LastDrainSample(const GeneralData& data);
int CellRows(const GeneralData& data);

// First and last contour level index of a family: 0 .. 10*Squares-1 for the
// potential, -10*Squares .. 10*Squares-1 for the stream function.
int FirstLevel(const GeneralData& data, Family family);
int LastLevel(const GeneralData& data, Family family);

// Whether a trace of these parameters takes the fast path: the program's
// grid (100 divisions, 181 rows of cells, drain samples up to 180), whose
// grid values come from per-column and per-row tables. Any other grid is
// traced straight from the field functions, far more slowly.
bool UsesGridTables(const GeneralData& data);

// Traces the flow net of the given parameters into the sink: the free water
// table, the right and the left drain boundary, then the potential segments
// and the stream segments, cell by cell across xi, row by row along eta.
// A cell whose four corner values all equal a level has no line of that
// level through it and emits nothing for it. The trace allocates nothing;
// it keeps its grid and working arrays (under 400 KB) on the stack.
class FlowNetTracer {
public:
    static void Trace(const GeneralData& data, PlotSink& sink);
};

} // namespace brelloc
