#include "FlowNetTracer.h"

#include "FlowField.h"

#include <cmath>
#include <cstdint>

namespace brelloc {

namespace {

// Divisions * DepthLimit with a 64-bit mantissa: 180.0000000000000044, so
// "k <= bound" admits sample 180 and "j < bound" admits row 180.
long double DepthBound(const GeneralData& data)
{
    return static_cast<long double>(data.Divisions) * static_cast<long double>(data.DepthLimit);
}

// The grid the program always traces: 100 columns of cells across xi and 181
// rows along eta, hence 101 x 182 grid points. Other sizes take the general
// path below.
constexpr int kDivisions = 100;
constexpr int kCellRows = 181;
constexpr int kGridColumns = kDivisions + 1;
constexpr int kGridRows = kCellRows + 1;
constexpr int kLastDrainSample = 180;

// The field is separable: sin and cos depend on xi only, the exponentials on
// eta only. The tables hold those factors; every grid value is then combined
// from them with exactly the operations of the field functions, in their
// order, so it comes out bit for bit as they would return it (the model is
// built without fused multiply-adds, which keeps it that way).
struct FieldTables {
    double halfNk;                 // NK * 0.5
    double sinXi[kGridColumns];    // sin(pi xi)
    double cosXi[kGridColumns];    // cos(pi xi)
    double halfNkSin[kGridColumns]; // (NK * 0.5) * sin
    double nkSin[kGridColumns];    // NK * sin
    double nkCos[kGridColumns];    // NK * cos
    double hlXi[kGridColumns];     // HL * xi
    double decay[kGridRows];       // exp(-pi eta)
    double cosh[kGridRows];        // (exp(-u) + exp(u)) / 2
    double sinh[kGridRows];        // (exp(u) - exp(-u)) / 2
    double hlEta[kGridRows];       // HL * eta
};

void FillTables(const GeneralData& data, FieldTables& t)
{
    const double divisions = static_cast<double>(data.Divisions);
    t.halfNk = data.NK * 0.5;
    for (int i = 0; i < kGridColumns; ++i) {
        const double xi = static_cast<double>(i) / divisions;
        t.sinXi[i] = std::sin(data.Pi * xi);
        t.cosXi[i] = std::cos(data.Pi * xi);
        t.halfNkSin[i] = t.halfNk * t.sinXi[i];
        t.nkSin[i] = data.NK * t.sinXi[i];
        t.nkCos[i] = data.NK * t.cosXi[i];
        t.hlXi[i] = data.HL * xi;
    }
    for (int j = 0; j < kGridRows; ++j) {
        const double eta = static_cast<double>(j) / divisions;
        const double u = data.Pi * eta;
        const double down = std::exp(-u);
        const double up = std::exp(u);
        t.decay[j] = down;
        t.cosh[j] = (down + up) / 2.0;
        t.sinh[j] = (up - down) / 2.0;
        t.hlEta[j] = data.HL * eta;
    }
}

// The field functions at grid point (i, j), term for term.
inline double GridPotential(const FieldTables& t, int i, int j)
{
    return t.decay[j] * t.halfNkSin[i] + t.hlXi[i];
}

inline double GridStream(const FieldTables& t, int i, int j)
{
    return t.hlEta[j] - (t.decay[j] * t.cosXi[i] + 1.0) * t.halfNk;
}

inline double GridX(const FieldTables& t, int i, int j)
{
    return ((t.cosXi[i] * t.cosh[j] + 1.0) - t.nkCos[i] * t.sinh[j]) * 0.5 - t.hlEta[j];
}

inline double GridY(const FieldTables& t, int i, int j)
{
    return (t.nkSin[i] * t.cosh[j] - t.sinXi[i] * t.sinh[j]) * 0.5 + t.hlXi[i];
}

// The contour levels of a family and how the tracer finds the few of them
// that can meet a cell.
enum class LevelMode {
    Zero,    // the interval is 0: every level is 0
    Indexed, // a positive finite interval: levels grow with n
    Scan,    // anything else (not admitted by the grid): test every level
};

struct Levels {
    int first = 0;
    int last = -1;
    double step = 0.0;
    double inverse = 0.0; // 1 / step, or 0 where that is not finite: divide then
    LevelMode mode = LevelMode::Scan;
};

Levels FamilyLevels(const GeneralData& data, Family family)
{
    Levels levels;
    levels.first = FirstLevel(data, family);
    levels.last = LastLevel(data, family);
    levels.step = data.PotentialStep;
    const double inverse = 1.0 / data.PotentialStep;
    levels.inverse = std::isfinite(inverse) ? inverse : 0.0;
    if (levels.step == 0.0)
        levels.mode = LevelMode::Zero;
    else if (levels.step > 0.0 && std::isfinite(levels.step))
        levels.mode = LevelMode::Indexed;
    return levels;
}

inline double Level(const Levels& levels, int n)
{
    return static_cast<double>(n) * levels.step;
}

// Largest integer not above v, for v well inside the int range.
inline int FloorToInt(double v)
{
    const int t = static_cast<int>(v);
    return static_cast<double>(t) > v ? t - 1 : t;
}

// For finite field values f and a positive interval: lowest is the first n
// whose level is not below f, highest the last n whose level is not above f
// (either may lie outside first .. last). The levels a cell can meet, by a
// corner hit or a strict crossing, are exactly those from the smallest
// lowest to the largest highest of its four corners.
//
// q = f / step is within a few units in the last place of the true quotient,
// which puts both answers in g .. g + 2 for g = floor(q); counting over the
// five levels g - 2 .. g + 2 finds them exactly with two indices to spare.
// Far outside the levels the quotient is clamped, which keeps the answers on
// the right side of first .. last. The loop is branch-free so that it runs
// on vector registers.
inline void BoundsFromQuotient(double v, double q, double step, double qLow, double qHigh,
                               int& lowest, int& highest)
{
    q = q < qHigh ? q : qHigh;
    q = q > qLow ? q : qLow;
    const int t = static_cast<int>(q);
    const int base = t - static_cast<int>(static_cast<double>(t) > q) - 2;
    const double l0 = static_cast<double>(base) * step;
    const double l1 = static_cast<double>(base + 1) * step;
    const double l2 = static_cast<double>(base + 2) * step;
    const double l3 = static_cast<double>(base + 3) * step;
    const double l4 = static_cast<double>(base + 4) * step;
    lowest = base + (l0 < v) + (l1 < v) + (l2 < v) + (l3 < v) + (l4 < v);
    highest = base - 1 + (l0 <= v) + (l1 <= v) + (l2 <= v) + (l3 <= v) + (l4 <= v);
}

void LevelBounds(const Levels& levels, const double* __restrict f, int count,
                 int* __restrict lowest, int* __restrict highest)
{
    const double step = levels.step;
    const double inverse = levels.inverse;
    const double qHigh = static_cast<double>(levels.last) + 8.0;
    const double qLow = static_cast<double>(levels.first) - 8.0;
    if (inverse != 0.0) {
        for (int j = 0; j < count; ++j)
            BoundsFromQuotient(f[j], f[j] * inverse, step, qLow, qHigh, lowest[j], highest[j]);
    } else {
        // An interval so small that its inverse overflows.
        for (int j = 0; j < count; ++j)
            BoundsFromQuotient(f[j], f[j] / step, step, qLow, qHigh, lowest[j], highest[j]);
    }
}

// One column of grid points with the family's value, the mapped point and
// the level bounds of the value.
struct GridColumn {
    double f[kGridRows];
    double x[kGridRows];
    double y[kGridRows];
    int lowest[kGridRows];
    int highest[kGridRows];
    bool finite; // every f is finite, so the bounds hold
};

void FillColumn(const FieldTables& t, Family family, const Levels& levels, int i,
                GridColumn& column)
{
    if (family == Family::Potential) {
        for (int j = 0; j < kGridRows; ++j)
            column.f[j] = GridPotential(t, i, j);
    } else {
        for (int j = 0; j < kGridRows; ++j)
            column.f[j] = GridStream(t, i, j);
    }
    for (int j = 0; j < kGridRows; ++j)
        column.x[j] = GridX(t, i, j);
    for (int j = 0; j < kGridRows; ++j)
        column.y[j] = GridY(t, i, j);
    bool finite = true;
    for (int j = 0; j < kGridRows; ++j)
        finite &= std::isfinite(column.f[j]);
    column.finite = finite;
    if (levels.mode == LevelMode::Indexed && finite)
        LevelBounds(levels, column.f, kGridRows, column.lowest, column.highest);
}

// The twelve corner values of a cell, corners counter-clockwise from
// (i, j): 1 (i, j), 2 (i+1, j), 3 (i+1, j+1), 4 (i, j+1).
struct Cell {
    double f[4];
    double x[4];
    double y[4];
};

// The exact tests for one level: corner hits 1 to 4, then crossings of the
// edges (1, 2), (2, 3), (3, 4), (4, 1), keeping the first two candidates; a
// segment only if both lie inside the window.
inline bool LevelSegment(const GeneralData& data, const Cell& cell, double level, ModelPoint& p,
                         ModelPoint& q)
{
    ModelPoint candidate[2];
    int count = 0;
    for (int m = 0; m < 4 && count < 2; ++m) {
        if (cell.f[m] == level)
            candidate[count++] = {cell.x[m], cell.y[m]};
    }
    for (int a = 0; a < 4 && count < 2; ++a) {
        const int b = (a + 1) & 3;
        const double fa = cell.f[a];
        const double fb = cell.f[b];
        if ((fa < level && level < fb) || (fa > level && level > fb)) {
            candidate[count++] = {
                cell.x[a] + (level - fa) * (cell.x[b] - cell.x[a]) / (fb - fa),
                cell.y[a] + (level - fa) * (cell.y[b] - cell.y[a]) / (fb - fa)};
        }
    }
    if (count < 2 || !WindowTest(data, candidate[0]) || !WindowTest(data, candidate[1]))
        return false;
    p = candidate[0];
    q = candidate[1];
    return true;
}

// Emits the segments of levels from .. to in increasing order.
void TraceLevels(const GeneralData& data, PlotSink& sink, const Cell& cell, const Levels& levels,
                 int from, int to)
{
    ModelPoint p, q;
    for (int n = from; n <= to; ++n) {
        if (LevelSegment(data, cell, Level(levels, n), p, q))
            sink.Segment(p, q);
    }
}

// A cell whose levels cannot be bounded, or an interval of 0.
void TraceCellAllLevels(const GeneralData& data, PlotSink& sink, const Cell& cell,
                        const Levels& levels)
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

inline int Min4(int a, int b, int c, int d)
{
    const int ab = a < b ? a : b;
    const int cd = c < d ? c : d;
    return ab < cd ? ab : cd;
}

inline int Max4(int a, int b, int c, int d)
{
    const int ab = a < b ? b : a;
    const int cd = c < d ? d : c;
    return ab < cd ? cd : ab;
}

void TraceBoundariesFromTables(const GeneralData& data, const FieldTables& t, PlotSink& sink)
{
    // Free water table: eta 0, xi from 0 to 1.
    sink.BeginCurve({GridX(t, 0, 0), GridY(t, 0, 0)});
    for (int k = 0; k <= kDivisions; ++k) {
        const double x = GridX(t, k, 0);
        const double y = GridY(t, k, 0);
        if (WindowTest(data, x, y))
            sink.CurvePoint(k, {x, y});
    }
    sink.EndCurve();
    // Right drain (xi 0), then left drain (xi 1), eta from 0 to 1.8.
    for (const int column : {0, kDivisions}) {
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

void TraceFamilyFromTables(const GeneralData& data, const FieldTables& t, PlotSink& sink,
                           Family family)
{
    const Levels levels = FamilyLevels(data, family);
    if (levels.first > levels.last)
        return;
    GridColumn columns[2];
    FillColumn(t, family, levels, 0, columns[0]);
    for (int i = 0; i < kDivisions; ++i) {
        const GridColumn& left = columns[i & 1];
        GridColumn& right = columns[(i + 1) & 1];
        FillColumn(t, family, levels, i + 1, right);
        const bool indexed = levels.mode == LevelMode::Indexed && left.finite && right.finite;
        for (int j = 0; j < kCellRows; ++j) {
            int from = levels.first;
            int to = levels.last;
            if (indexed) {
                const int lowest = Min4(left.lowest[j], right.lowest[j], right.lowest[j + 1],
                                        left.lowest[j + 1]);
                const int highest = Max4(left.highest[j], right.highest[j],
                                         right.highest[j + 1], left.highest[j + 1]);
                from = lowest > from ? lowest : from;
                to = highest < to ? highest : to;
                if (from > to)
                    continue;
            }
            const Cell cell = {{left.f[j], right.f[j], right.f[j + 1], left.f[j + 1]},
                               {left.x[j], right.x[j], right.x[j + 1], left.x[j + 1]},
                               {left.y[j], right.y[j], right.y[j + 1], left.y[j + 1]}};
            if (indexed)
                TraceLevels(data, sink, cell, levels, from, to);
            else
                TraceCellAllLevels(data, sink, cell, levels);
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
    const Levels levels = FamilyLevels(data, family);
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
            if (levels.mode != LevelMode::Indexed || !finite) {
                TraceCellAllLevels(data, sink, cell, levels);
                continue;
            }
            int lowest[4], highest[4];
            LevelBounds(levels, cell.f, 4, lowest, highest);
            const int from = Min4(lowest[0], lowest[1], lowest[2], lowest[3]);
            const int to = Max4(highest[0], highest[1], highest[2], highest[3]);
            TraceLevels(data, sink, cell, levels, from > levels.first ? from : levels.first,
                        to < levels.last ? to : levels.last);
        }
    }
}

bool IsStandardGrid(const GeneralData& data)
{
    return data.Divisions == kDivisions && LastDrainSample(data) == kLastDrainSample &&
           CellRows(data) == kCellRows;
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
    return static_cast<int>(std::floor(DepthBound(data)));
}

int CellRows(const GeneralData& data)
{
    // Rows j with j < bound: one more than the largest integer below it.
    const long double bound = DepthBound(data);
    const long double whole = std::floor(bound);
    return static_cast<int>(whole) + (whole < bound ? 1 : 0);
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
