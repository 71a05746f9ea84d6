#include "FlowNetTracer.h"

#include "ContourLevels.h"
#include "FieldTables.h"
#include "FlowField.h"

#include <algorithm>
#include <cmath>

namespace brelloc {

namespace {

// Divisions * DepthLimit exactly, as hi + lo: hi is the rounded product and
// lo what rounding dropped (fma forms it without rounding). With the
// defaults the product is 180.0000000000000044: "k <= product" admits sample
// 180 and "j < product" admits row 180. A 64-bit-mantissa product says the
// same, but long double has that mantissa on few platforms.
struct DepthProduct {
    double hi;
    double lo;
};

DepthProduct DepthBound(const GeneralData& data)
{
    const double divisions = static_cast<double>(data.Divisions);
    const double hi = divisions * data.DepthLimit;
    return {hi, std::fma(divisions, data.DepthLimit, -hi)};
}

// A whole number of samples or rows as an int; nothing for a product that is
// negative or not a number, and no overflow for an absurd one.
int ClampedCount(double whole, int adjust)
{
    if (!(whole >= -1.0))
        return -1;
    if (whole > 1e9)
        return 1000000000;
    return static_cast<int>(whole) + adjust;
}

constexpr int kLastDrainSample = 180;

// A column of grid points with the level bounds of its field values, the
// bounds filled in only as far up as cells need them.
struct TracedColumn {
    GridColumn grid;
    double lowest[kGridRows];
    double highest[kGridRows];
    int boundedRows; // grid rows 0 .. boundedRows-1 have their bounds
};

void FillTracedColumn(const FieldTables& t, Family family, int i, TracedColumn& column)
{
    FillColumn(t, family, i, column.grid);
    column.boundedRows = 0;
}

void BoundRows(const ContourLevels& levels, int rows, TracedColumn& column)
{
    if (rows <= column.boundedRows)
        return;
    const int from = column.boundedRows;
    LevelBounds(levels, column.grid.f + from, rows - from, column.lowest + from,
                column.highest + from);
    column.boundedRows = rows;
}

// Whether four coordinates all exceed limit by more than the rounding of a
// point interpolated between two of them (a few units in the last place of
// the larger): then every candidate of the cell fails the window on this side.
inline bool AllBeyond(double a, double b, double c, double d, double limit)
{
    const double smallest = std::min(std::min(a, b), std::min(c, d));
    const double largest = std::max(std::max(std::fabs(a), std::fabs(b)),
                                    std::max(std::fabs(c), std::fabs(d)));
    return smallest - 1e-12 * largest > limit;
}

inline bool CellOutsideWindow(const GridColumn& left, const GridColumn& right, int j,
                              double xmaxL)
{
    const double x1 = left.x[j], x2 = right.x[j], x3 = right.x[j + 1], x4 = left.x[j + 1];
    const double y1 = left.y[j], y2 = right.y[j], y3 = right.y[j + 1], y4 = left.y[j + 1];
    return AllBeyond(x1, x2, x3, x4, xmaxL) || AllBeyond(-x1, -x2, -x3, -x4, xmaxL) ||
           AllBeyond(y1, y2, y3, y4, xmaxL) || AllBeyond(-y1, -y2, -y3, -y4, xmaxL);
}

// The rows of cells between two columns worth tracing: those above lie wholly
// beyond one side of the window (the net grows fast with eta, so with a small
// window that is a good part of the strip) and cannot emit a segment.
int RowsNearWindow(const GridColumn& left, const GridColumn& right, double xmaxL)
{
    int rows = kGridCellRows;
    while (rows > 0 && CellOutsideWindow(left, right, rows - 1, xmaxL))
        --rows;
    return rows;
}

// The twelve corner values of a cell, corners counter-clockwise from
// (i, j): 1 (i, j), 2 (i+1, j), 3 (i+1, j+1), 4 (i, j+1).
struct Cell {
    double f[4];
    double x[4];
    double y[4];
};

// Where level crosses edge (a, a+1) of the cell: interpolated between the
// corners' mapped points, linearly in the field value.
inline ModelPoint EdgeCrossing(const Cell& cell, double level, int a)
{
    const int b = (a + 1) & 3;
    const double fa = cell.f[a];
    const double fb = cell.f[b];
    return {cell.x[a] + (level - fa) * (cell.x[b] - cell.x[a]) / (fb - fa),
            cell.y[a] + (level - fa) * (cell.y[b] - cell.y[a]) / (fb - fa)};
}

// The exact tests for one level: corner hits 1 to 4, then crossings of the
// edges (1, 2), (2, 3), (3, 4), (4, 1), keeping the first two candidates; a
// segment only if both lie inside the window.
inline bool LevelSegment(const GeneralData& data, const Cell& cell, double level, ModelPoint& p,
                         ModelPoint& q)
{
    const double* f = cell.f;
    ModelPoint candidate[2];
    int count = 0;
    for (int m = 0; m < 4 && count < 2; ++m) {
        if (f[m] == level)
            candidate[count++] = {cell.x[m], cell.y[m]};
    }
    for (int a = 0; a < 4 && count < 2; ++a) {
        const int b = (a + 1) & 3;
        if ((f[a] < level && level < f[b]) || (f[a] > level && level > f[b]))
            candidate[count++] = EdgeCrossing(cell, level, a);
    }
    if (count < 2 || !WindowTest(data, candidate[0]) || !WindowTest(data, candidate[1]))
        return false;
    p = candidate[0];
    q = candidate[1];
    return true;
}

// The same for a cell whose four field values are finite, the common case,
// written for speed: which edges a level crosses follows the field, so they
// are found without branches.
inline bool FiniteLevelSegment(const GeneralData& data, const Cell& cell, double level,
                               ModelPoint& p, ModelPoint& q)
{
    const double* f = cell.f;
    if ((f[0] == level) | (f[1] == level) | (f[2] == level) | (f[3] == level))
        return LevelSegment(data, cell, level, p, q); // a corner hit: rare
    // With no corner on the level and every value finite, an edge is crossed
    // exactly where one end lies below the level and the other does not.
    const unsigned below = static_cast<unsigned>(f[0] < level) |
                           static_cast<unsigned>(f[1] < level) << 1 |
                           static_cast<unsigned>(f[2] < level) << 2 |
                           static_cast<unsigned>(f[3] < level) << 3;
    const unsigned crossed = below ^ ((below >> 1) | ((below & 1u) << 3));
    const unsigned rest = crossed & (crossed - 1);
    if (rest == 0)
        return false; // fewer than two crossings
    // The first two crossed edges in edge order: the lowest set bits.
    static constexpr int kLowestBit[16] = {0, 0, 1, 0, 2, 0, 1, 0, 3, 0, 1, 0, 2, 0, 1, 0};
    const ModelPoint first = EdgeCrossing(cell, level, kLowestBit[crossed]);
    const ModelPoint second = EdgeCrossing(cell, level, kLowestBit[rest]);
    if (!WindowTest(data, first) || !WindowTest(data, second))
        return false;
    p = first;
    q = second;
    return true;
}

// Emits the segments of levels from .. to in increasing order.
void TraceLevels(const GeneralData& data, PlotSink& sink, const Cell& cell,
                 const ContourLevels& levels, int from, int to)
{
    ModelPoint p, q;
    for (int n = from; n <= to; ++n) {
        if (LevelSegment(data, cell, Level(levels, n), p, q))
            sink.Segment(p, q);
    }
}

void TraceFiniteLevels(const GeneralData& data, PlotSink& sink, const Cell& cell,
                       const ContourLevels& levels, int from, int to)
{
    ModelPoint p, q;
    for (int n = from; n <= to; ++n) {
        if (FiniteLevelSegment(data, cell, Level(levels, n), p, q))
            sink.Segment(p, q);
    }
}

// A cell whose levels cannot be bounded, or an interval of 0.
void TraceCellAllLevels(const GeneralData& data, PlotSink& sink, const Cell& cell,
                        const ContourLevels& levels)
{
    if (levels.mode == LevelMode::Zero) {
        // Every level is 0 (or -0, which compares and subtracts alike): the
        // level-0 segment repeats once per level.
        ModelPoint p, q;
        if (LevelSegment(data, cell, 0.0, p, q)) {
            for (int n = levels.first; n <= levels.last; ++n)
                sink.Segment(p, q);
        }
        return;
    }
    TraceLevels(data, sink, cell, levels, levels.first, levels.last);
}

void TraceBoundariesFromTables(const GeneralData& data, const FieldTables& t, PlotSink& sink)
{
    // Free water table: eta 0, xi from 0 to 1.
    sink.BeginCurve({GridX(t, 0, 0), GridY(t, 0, 0)});
    for (int k = 0; k <= kGridDivisions; ++k) {
        const double x = GridX(t, k, 0);
        const double y = GridY(t, k, 0);
        if (WindowTest(data, x, y))
            sink.CurvePoint(k, {x, y});
    }
    sink.EndCurve();
    // Right drain (xi 0), then left drain (xi 1), eta from 0 to 1.8.
    for (const int column : {0, kGridDivisions}) {
        sink.BeginCurve({GridX(t, column, 0), GridY(t, column, 0)});
        for (int k = 0; k <= kLastDrainSample; ++k) {
            const double x = GridX(t, column, k);
            const double y = GridY(t, column, k);
            if (WindowTest(data, x, y))
                sink.CurvePoint(k, {x, y});
        }
        sink.EndCurve();
    }
}

inline Cell CellAt(const GridColumn& left, const GridColumn& right, int j)
{
    return {{left.f[j], right.f[j], right.f[j + 1], left.f[j + 1]},
            {left.x[j], right.x[j], right.x[j + 1], left.x[j + 1]},
            {left.y[j], right.y[j], right.y[j + 1], left.y[j + 1]}};
}

void TraceFamilyFromTables(const GeneralData& data, const FieldTables& t, PlotSink& sink,
                           Family family)
{
    const ContourLevels levels = FamilyLevels(data, family);
    if (levels.first > levels.last)
        return;
    TracedColumn columns[2];
    double first[kGridCellRows];
    double last[kGridCellRows];
    int met[kGridCellRows];
    FillTracedColumn(t, family, 0, columns[0]);
    for (int i = 0; i < kGridDivisions; ++i) {
        TracedColumn& left = columns[i & 1];
        TracedColumn& right = columns[(i + 1) & 1];
        FillTracedColumn(t, family, i + 1, right);
        const int rows = RowsNearWindow(left.grid, right.grid, data.XmaxL);
        if (levels.mode != LevelMode::Scan && left.grid.finite && right.grid.finite) {
            BoundRows(levels, rows + 1, left);
            BoundRows(levels, rows + 1, right);
            const int count = CellsWithLevels(levels, left.lowest, left.highest, right.lowest,
                                              right.highest, rows, first, last, met);
            for (int c = 0; c < count; ++c) {
                const int j = met[c];
                const Cell cell = CellAt(left.grid, right.grid, j);
                if (levels.mode == LevelMode::Zero)
                    TraceCellAllLevels(data, sink, cell, levels);
                else
                    TraceFiniteLevels(data, sink, cell, levels, static_cast<int>(first[j]),
                                      static_cast<int>(last[j]));
            }
        } else {
            for (int j = 0; j < rows; ++j)
                TraceCellAllLevels(data, sink, CellAt(left.grid, right.grid, j), levels);
        }
    }
}

// Any other grid size: the corner values straight from the field functions.
void TraceBoundaryDirect(const GeneralData& data, PlotSink& sink, bool alongXi, double fixedXi,
                         int lastSample)
{
    const double divisions = static_cast<double>(data.Divisions);
    sink.BeginCurve({MapX(data, fixedXi, 0.0), MapY(data, fixedXi, 0.0)});
    for (int k = 0; k <= lastSample; ++k) {
        const double t = static_cast<double>(k) / divisions;
        const double xi = alongXi ? t : fixedXi;
        const double eta = alongXi ? 0.0 : t;
        const double x = MapX(data, xi, eta);
        const double y = MapY(data, xi, eta);
        if (WindowTest(data, x, y))
            sink.CurvePoint(k, {x, y});
    }
    sink.EndCurve();
}

double FieldValue(const GeneralData& data, Family family, double xi, double eta)
{
    return family == Family::Potential ? Potential(data, xi, eta) : StreamFunction(data, xi, eta);
}

void TraceFamilyDirect(const GeneralData& data, PlotSink& sink, Family family)
{
    const double divisions = static_cast<double>(data.Divisions);
    const int rows = CellRows(data);
    const ContourLevels levels = FamilyLevels(data, family);
    if (levels.first > levels.last)
        return;
    for (int i = 0; i < data.Divisions; ++i) {
        for (int j = 0; j < rows; ++j) {
            const double xiLeft = static_cast<double>(i) / divisions;
            const double xiRight = static_cast<double>(i + 1) / divisions;
            const double etaLow = static_cast<double>(j) / divisions;
            const double etaHigh = static_cast<double>(j + 1) / divisions;
            const double cornerXi[4] = {xiLeft, xiRight, xiRight, xiLeft};
            const double cornerEta[4] = {etaLow, etaLow, etaHigh, etaHigh};
            Cell cell;
            bool finite = true;
            for (int m = 0; m < 4; ++m) {
                cell.f[m] = FieldValue(data, family, cornerXi[m], cornerEta[m]);
                cell.x[m] = MapX(data, cornerXi[m], cornerEta[m]);
                cell.y[m] = MapY(data, cornerXi[m], cornerEta[m]);
                finite &= std::isfinite(cell.f[m]);
            }
            if (levels.mode == LevelMode::Scan || !finite) {
                TraceCellAllLevels(data, sink, cell, levels);
                continue;
            }
            double lowest[4], highest[4];
            LevelBounds(levels, cell.f, 4, lowest, highest);
            // Corners 1 and 4 lie on the left column, 2 and 3 on the right.
            const double lowestLeft[2] = {lowest[0], lowest[3]};
            const double highestLeft[2] = {highest[0], highest[3]};
            const double lowestRight[2] = {lowest[1], lowest[2]};
            const double highestRight[2] = {highest[1], highest[2]};
            double first = 0.0, last = 0.0;
            int row = 0;
            if (CellsWithLevels(levels, lowestLeft, highestLeft, lowestRight, highestRight, 1,
                                &first, &last, &row) == 0)
                continue;
            if (levels.mode == LevelMode::Zero)
                TraceCellAllLevels(data, sink, cell, levels);
            else
                TraceFiniteLevels(data, sink, cell, levels, static_cast<int>(first),
                                  static_cast<int>(last));
        }
    }
}

bool IsStandardGrid(const GeneralData& data)
{
    return data.Divisions == kGridDivisions && LastDrainSample(data) == kLastDrainSample &&
           CellRows(data) == kGridCellRows;
}

} // namespace

bool WindowTest(const GeneralData& data, double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return false;
    return !(std::fabs(x) > data.XmaxL) && !(std::fabs(y) > data.XmaxL);
}

int LastDrainSample(const GeneralData& data)
{
    // The largest k with k <= hi + lo.
    const DepthProduct bound = DepthBound(data);
    const double whole = std::floor(bound.hi);
    return ClampedCount(whole, whole == bound.hi && bound.lo < 0.0 ? -1 : 0);
}

int CellRows(const GeneralData& data)
{
    // The rows j >= 0 with j < hi + lo: the smallest whole number not below it.
    const DepthProduct bound = DepthBound(data);
    const double whole = std::ceil(bound.hi);
    return ClampedCount(whole, whole == bound.hi && bound.lo > 0.0 ? 1 : 0);
}

int FirstLevel(const GeneralData& data, Family family)
{
    return family == Family::Potential ? 0 : -10 * data.Squares;
}

int LastLevel(const GeneralData& data, Family family)
{
    (void)family;
    return 10 * data.Squares - 1;
}

void FlowNetTracer::Trace(const GeneralData& data, PlotSink& sink)
{
    if (IsStandardGrid(data)) {
        FieldTables tables;
        FillTables(data, tables);
        TraceBoundariesFromTables(data, tables, sink);
        sink.BeginFamily(Family::Potential);
        TraceFamilyFromTables(data, tables, sink, Family::Potential);
        sink.BeginFamily(Family::Stream);
        TraceFamilyFromTables(data, tables, sink, Family::Stream);
        return;
    }
    TraceBoundaryDirect(data, sink, true, 0.0, data.Divisions);
    TraceBoundaryDirect(data, sink, false, 0.0, LastDrainSample(data));
    TraceBoundaryDirect(data, sink, false, 1.0, LastDrainSample(data));
    sink.BeginFamily(Family::Potential);
    TraceFamilyDirect(data, sink, Family::Potential);
    sink.BeginFamily(Family::Stream);
    TraceFamilyDirect(data, sink, Family::Stream);
}

} // namespace brelloc
