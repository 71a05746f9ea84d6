#include "FlowNetTracer.h"

#include "ContourLevels.h"
#include "EdgeCrossings.h"
#include "FieldTables.h"
#include "FlowField.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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
    // A cell of constant value on the level (no flow at all: the field is 0
    // everywhere) has no line through it to draw.
    if (f[0] == level && f[1] == level && f[2] == level && f[3] == level)
        return false;
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

void TraceBoundariesFromGrid(const GeneralData& data, const GridGeometry& g, PlotSink& sink)
{
    // Free water table: eta 0, xi from 0 to 1.
    sink.BeginCurve({ColumnX(g, 0)[0], ColumnY(g, 0)[0]});
    for (int k = 0; k <= kGridDivisions; ++k) {
        const double x = ColumnX(g, k)[0];
        const double y = ColumnY(g, k)[0];
        if (WindowTest(data, x, y))
            sink.CurvePoint(k, {x, y});
    }
    sink.EndCurve();
    // Right drain (xi 0), then left drain (xi 1), eta from 0 to 1.8.
    for (const int column : {0, kGridDivisions}) {
        const double* xs = ColumnX(g, column);
        const double* ys = ColumnY(g, column);
        sink.BeginCurve({xs[0], ys[0]});
        for (int k = 0; k <= kLastDrainSample; ++k) {
            if (WindowTest(data, xs[k], ys[k]))
                sink.CurvePoint(k, {xs[k], ys[k]});
        }
        sink.EndCurve();
    }
}

// The grid points of the cells between two columns.
struct ColumnPair {
    const double* fLeft;
    const double* fRight;
    const double* xLeft;
    const double* xRight;
    const double* yLeft;
    const double* yRight;
};

inline Cell CellAt(const ColumnPair& c, int j)
{
    return {{c.fLeft[j], c.fRight[j], c.fRight[j + 1], c.fLeft[j + 1]},
            {c.xLeft[j], c.xRight[j], c.xRight[j + 1], c.xLeft[j + 1]},
            {c.yLeft[j], c.yRight[j], c.yRight[j + 1], c.yLeft[j + 1]}};
}

// The (cell, level) pairs of a column pair to test, collected first and
// then tested and emitted in batches: the crossings of many segments are
// formed side by side, without the branches of the cell and level loops,
// and the sink calls come last.
class SegmentBatch {
public:
    SegmentBatch(const GeneralData& data, const ContourLevels& levels, PlotSink& sink)
        : data_(data), levels_(levels), sink_(sink)
    {
    }

    // The cells between two columns whose grid points lie at fs + fLeft + j
    // and fs + fRight + j (field values), xs + xLeft + j and so on (mapped
    // points), with pair the same as pointers.
    void Start(const double* fs, int fLeft, int fRight, const double* xs, const double* ys,
               int xyLeft, int xyRight, const ColumnPair& pair)
    {
        fs_ = fs;
        xs_ = xs;
        ys_ = ys;
        fCorner_[0] = fLeft;
        fCorner_[1] = fRight;
        fCorner_[2] = fRight + 1;
        fCorner_[3] = fLeft + 1;
        xyCorner_[0] = xyLeft;
        xyCorner_[1] = xyRight;
        xyCorner_[2] = xyRight + 1;
        xyCorner_[3] = xyLeft + 1;
        pair_ = pair;
    }

    // The levels from .. to of cell (row) in increasing order.
    void AddCell(int row, int from, int to)
    {
        const double* f = fs_ + row;
        const double f0 = f[fCorner_[0]], f1 = f[fCorner_[1]];
        const double f2 = f[fCorner_[2]], f3 = f[fCorner_[3]];
        const double fv[4] = {f0, f1, f2, f3};
        double xv[4], yv[4];
        for (int m = 0; m < 4; ++m) {
            xv[m] = xs_[xyCorner_[m] + row];
            yv[m] = ys_[xyCorner_[m] + row];
        }
        for (int n = from; n <= to; ++n) {
            const double level = Level(levels_, n);
            const unsigned hit =
                static_cast<unsigned>(f0 == level) | static_cast<unsigned>(f1 == level) |
                static_cast<unsigned>(f2 == level) | static_cast<unsigned>(f3 == level);
            // With no corner on the level and every value finite, an edge is
            // crossed exactly where one end lies below the level and the
            // other does not; the first two crossed edges are the lowest set
            // bits.
            const unsigned below = static_cast<unsigned>(f0 < level) |
                                   static_cast<unsigned>(f1 < level) << 1 |
                                   static_cast<unsigned>(f2 < level) << 2 |
                                   static_cast<unsigned>(f3 < level) << 3;
            const unsigned crossed = below ^ ((below >> 1) | ((below & 1u) << 3));
            const unsigned rest = crossed & (crossed - 1);
            static constexpr int kLowestBit[16] = {0, 0, 1, 0, 2, 0, 1, 0,
                                                   3, 0, 1, 0, 2, 0, 1, 0};
            rows_[size_] = row;
            batch_.level[size_] = level;
            Operands(0, fv, xv, yv, kLowestBit[crossed]);
            Operands(1, fv, xv, yv, kLowestBit[rest]);
            unusual_[unusualCount_] = size_;
            unusualCount_ += static_cast<int>(hit | static_cast<unsigned>(rest == 0));
            if (++size_ == kCrossingBatch)
                Flush();
        }
    }

    void Flush()
    {
        const int unusual = unusualCount_;
        FormCrossings(batch_, size_, data_.XmaxL);
        // Corner hits, and levels that miss the cell by a hair: the exact
        // tests, one by one.
        for (int u = 0; u < unusual; ++u) {
            const int k = unusual_[u];
            ModelPoint p, q;
            const bool segment =
                LevelSegment(data_, CellAt(pair_, rows_[k]), batch_.level[k], p, q);
            batch_.px[k] = p.x;
            batch_.py[k] = p.y;
            batch_.qx[k] = q.x;
            batch_.qy[k] = q.y;
            batch_.inside[k] = segment ? 1.0 : 0.0;
        }
        int found = 0;
        for (int k = 0; k < size_; ++k) {
            order_[found] = k;
            found += static_cast<int>(batch_.inside[k] != 0.0);
        }
        size_ = 0;
        unusualCount_ = 0;
        for (int m = 0; m < found; ++m) {
            const int k = order_[m];
            sink_.Segment({batch_.px[k], batch_.py[k]}, {batch_.qx[k], batch_.qy[k]});
        }
    }

private:
    // The operands of the entry being added for its c-th crossed edge, a to
    // a + 1, from the cell's corner values.
    void Operands(int c, const double* fv, const double* xv, const double* yv, int a)
    {
        const int b = (a + 1) & 3;
        batch_.fa[c][size_] = fv[a];
        batch_.fb[c][size_] = fv[b];
        batch_.xa[c][size_] = xv[a];
        batch_.xb[c][size_] = xv[b];
        batch_.ya[c][size_] = yv[a];
        batch_.yb[c][size_] = yv[b];
    }

    const GeneralData& data_;
    const ContourLevels& levels_;
    PlotSink& sink_;
    const double* fs_ = nullptr;
    const double* xs_ = nullptr;
    const double* ys_ = nullptr;
    int fCorner_[4] = {};
    int xyCorner_[4] = {};
    ColumnPair pair_{};
    int size_ = 0;
    int unusualCount_ = 0;
    int rows_[kCrossingBatch];
    int unusual_[kCrossingBatch];
    int order_[kCrossingBatch];
    CrossingBatch batch_;
};

// Two neighbouring columns of one family's field values, one after the
// other, with the level bounds of their pairs of neighbouring grid points.
struct FamilyColumns {
    double f[2 * kGridRows];
    double lower[2][kGridCellRows];
    double upper[2][kGridCellRows];
    bool bounded[2]; // every value finite and the bounds filled in
};

// Column i of the grid into slot i % 2.
void FillFamilyColumn(const FieldTables& t, const GridGeometry& g, const ContourLevels& levels,
                      Family family, int i, FamilyColumns& columns)
{
    const int slot = i & 1;
    const int points = g.pointRows[i];
    double* f = columns.f + slot * kGridRows;
    FillField(t, family, i, points, f);
    columns.bounded[slot] =
        levels.mode != LevelMode::Scan &&
        ColumnLevelBounds(levels, f, points, columns.lower[slot], columns.upper[slot]);
}

void TraceFamilyFromGrid(const GeneralData& data, const FieldTables& t, const GridGeometry& g,
                         PlotSink& sink, Family family)
{
    const ContourLevels levels = FamilyLevels(data, family);
    if (levels.first > levels.last)
        return;
    FamilyColumns columns;
    double first[kGridCellRows];
    double last[kGridCellRows];
    int met[kGridCellRows];
    SegmentBatch batch(data, levels, sink);
    FillFamilyColumn(t, g, levels, family, 0, columns);
    for (int i = 0; i < kGridDivisions; ++i) {
        FillFamilyColumn(t, g, levels, family, i + 1, columns);
        const int left = i & 1;
        const int right = (i + 1) & 1;
        const int rows = g.cellRows[i];
        const ColumnPair pair{columns.f + left * kGridRows, columns.f + right * kGridRows,
                              ColumnX(g, i),  ColumnX(g, i + 1),
                              ColumnY(g, i),  ColumnY(g, i + 1)};
        const std::uint8_t* beyond = g.beyond[i];
        if (!columns.bounded[left] || !columns.bounded[right]) {
            for (int j = 0; j < rows; ++j) {
                if (beyond[j] == 0)
                    TraceCellAllLevels(data, sink, CellAt(pair, j), levels);
            }
            continue;
        }
        const int count =
            CellsToTrace(levels, columns.lower[left], columns.upper[left], columns.lower[right],
                         columns.upper[right], beyond, rows, first, last, met);
        if (levels.mode == LevelMode::Zero) {
            for (int c = 0; c < count; ++c)
                TraceCellAllLevels(data, sink, CellAt(pair, met[c]), levels);
            continue;
        }
        batch.Start(columns.f, left * kGridRows, right * kGridRows, g.x, g.y, i * kGridRows,
                    (i + 1) * kGridRows, pair);
        for (int c = 0; c < count; ++c) {
            const int j = met[c];
            batch.AddCell(j, static_cast<int>(first[j]), static_cast<int>(last[j]));
        }
        batch.Flush();
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
            // Corners 1 and 4 lie on the left column, 2 and 3 on the right.
            const double left[2] = {cell.f[0], cell.f[3]};
            const double right[2] = {cell.f[1], cell.f[2]};
            double lowerLeft = 0.0, upperLeft = 0.0, lowerRight = 0.0, upperRight = 0.0;
            ColumnLevelBounds(levels, left, 2, &lowerLeft, &upperLeft);
            ColumnLevelBounds(levels, right, 2, &lowerRight, &upperRight);
            const std::uint8_t inWindow = 0;
            double first = 0.0, last = 0.0;
            int row = 0;
            if (CellsToTrace(levels, &lowerLeft, &upperLeft, &lowerRight, &upperRight, &inWindow,
                             1, &first, &last, &row) == 0)
                continue;
            if (levels.mode == LevelMode::Zero)
                TraceCellAllLevels(data, sink, cell, levels);
            else
                TraceFiniteLevels(data, sink, cell, levels, static_cast<int>(first),
                                  static_cast<int>(last));
        }
    }
}

} // namespace

bool UsesGridTables(const GeneralData& data)
{
    return data.Divisions == kGridDivisions && LastDrainSample(data) == kLastDrainSample &&
           CellRows(data) == kGridCellRows;
}

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
    if (UsesGridTables(data)) {
        FieldTables tables;
        FillTables(data, tables);
        GridGeometry geometry;
        FillGeometry(data, tables, geometry);
        TraceBoundariesFromGrid(data, geometry, sink);
        sink.BeginFamily(Family::Potential);
        TraceFamilyFromGrid(data, tables, geometry, sink, Family::Potential);
        sink.BeginFamily(Family::Stream);
        TraceFamilyFromGrid(data, tables, geometry, sink, Family::Stream);
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
