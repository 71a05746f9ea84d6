#include "FieldTables.h"

#include "VectorKernel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace brelloc {

void FillTables(const GeneralData& data, FieldTables& t)
{
    const double divisions = static_cast<double>(data.Divisions);
    t.halfNk = data.NK * 0.5;
    for (int i = 0; i < kGridColumns; ++i) {
        // The same xi, sin and cos as the field functions compute.
        const double xi = static_cast<double>(i) / divisions;
        t.sinXi[i] = std::sin(data.Pi * xi);
        t.cosXi[i] = std::cos(data.Pi * xi);
        t.halfNkSin[i] = t.halfNk * t.sinXi[i];
        t.nkSin[i] = data.NK * t.sinXi[i];
        t.nkCos[i] = data.NK * t.cosXi[i];
        t.hlXi[i] = data.HL * xi;
    }
    for (int j = 0; j < kGridRows; ++j) {
        // exp(-(pi eta)) is the decay of the field functions and the first
        // term of CoshFromExp and SinhFromExp alike.
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

namespace {

// An upper bound of |x| and |y| over the grid. With c = cos and s = sin
// (at most 1 in size), x = (c (cosh - NK sinh) + 1) / 2 - HL eta and
// y = s (NK cosh - sinh) / 2 + HL xi; the terms added cover the rounding of
// the grid values many times over. Not a number or infinite where the values
// are: then no cell counts as beyond.
double Magnitude(const GeneralData& data, const FieldTables& t)
{
    double hlXi = 0.0;
    bool notANumber = false;
    for (int i = 0; i < kGridColumns; ++i) {
        hlXi = std::max(hlXi, std::fabs(t.hlXi[i]));
        notANumber |= std::isnan(t.hlXi[i]);
    }
    const double nk = data.NK;
    double most = 0.0;
    for (int j = 0; j < kGridRows; ++j) {
        const double ch = t.cosh[j];
        const double sh = t.sinh[j];
        const double hlEta = std::fabs(t.hlEta[j]);
        const double rounding = 1e-15 * (std::fabs(ch) + std::fabs(nk * sh) + 1.0 + hlEta + hlXi);
        const double x = (std::fabs(ch - nk * sh) + 1.0) * 0.5 + hlEta + rounding;
        const double y = std::fabs(nk * ch - sh) * 0.5 + hlXi + rounding;
        notANumber |= std::isnan(x) || std::isnan(y);
        most = std::max(most, std::max(x, y));
    }
    return notANumber ? std::nan("") : most * (1.0 + 1e-9);
}

// The smallest and largest x and y of each pair of neighbouring grid points
// of a column.
struct Extremes {
    double lowX[kGridCellRows];
    double highX[kGridCellRows];
    double lowY[kGridCellRows];
    double highY[kGridCellRows];
};

BRELLOC_VECTOR_KERNEL
void PairExtremes(const double* __restrict x, const double* __restrict y, Extremes& e)
{
    for (int j = 0; j < kGridCellRows; ++j) {
        e.lowX[j] = std::min(x[j], x[j + 1]);
        e.highX[j] = std::max(x[j], x[j + 1]);
        e.lowY[j] = std::min(y[j], y[j + 1]);
        e.highY[j] = std::max(y[j], y[j + 1]);
    }
}

// Nonzero for a cell all of whose corners lie beyond limit on one side.
BRELLOC_VECTOR_KERNEL
void Beyond(const Extremes& left, const Extremes& right, double limit,
            std::uint8_t* __restrict beyond)
{
    for (int j = 0; j < kGridCellRows; ++j) {
        // Without branches: each test as 0 or 1, or-ed.
        beyond[j] = static_cast<std::uint8_t>(
            static_cast<int>(std::min(left.lowX[j], right.lowX[j]) > limit) |
            static_cast<int>(std::max(left.highX[j], right.highX[j]) < -limit) |
            static_cast<int>(std::min(left.lowY[j], right.lowY[j]) > limit) |
            static_cast<int>(std::max(left.highY[j], right.highY[j]) < -limit));
    }
}

BRELLOC_VECTOR_KERNEL
void FillGrid(const FieldTables& t, double* __restrict xs, double* __restrict ys)
{
    for (int i = 0; i < kGridColumns; ++i) {
        const double cosXi = t.cosXi[i], nkCos = t.nkCos[i];
        const double sinXi = t.sinXi[i], nkSin = t.nkSin[i], hlXi = t.hlXi[i];
        double* x = xs + i * kGridRows;
        double* y = ys + i * kGridRows;
        for (int j = 0; j < kGridRows; ++j)
            x[j] = ((cosXi * t.cosh[j] + 1.0) - nkCos * t.sinh[j]) * 0.5 - t.hlEta[j];
        for (int j = 0; j < kGridRows; ++j)
            y[j] = (nkSin * t.cosh[j] - sinXi * t.sinh[j]) * 0.5 + hlXi;
    }
}

} // namespace

void FillGeometry(const GeneralData& data, const FieldTables& t, GridGeometry& g)
{
    FillGrid(t, g.x, g.y);
    // A point interpolated between two corners lies between them to within
    // a few units in the last place of the larger, far less than 1e-12 of
    // the largest coordinate: beyond limit + margin on one side at all four
    // corners, a cell's candidates all fail the window there.
    const double magnitude = Magnitude(data, t);
    const double limit = data.XmaxL + 1e-12 * magnitude;
    if (magnitude <= limit) {
        // The window holds the whole grid: no cell is beyond.
        std::memset(g.beyond, 0, sizeof g.beyond);
        for (int i = 0; i < kGridDivisions; ++i)
            g.cellRows[i] = kGridCellRows;
    } else {
        Extremes extremes[2];
        PairExtremes(ColumnX(g, 0), ColumnY(g, 0), extremes[0]);
        for (int i = 0; i < kGridDivisions; ++i) {
            const Extremes& left = extremes[i & 1];
            Extremes& right = extremes[(i + 1) & 1];
            PairExtremes(ColumnX(g, i + 1), ColumnY(g, i + 1), right);
            const std::uint8_t* beyond = g.beyond[i];
            Beyond(left, right, limit, g.beyond[i]);
            int rows = kGridCellRows;
            while (rows > 0 && beyond[rows - 1] != 0)
                --rows;
            g.cellRows[i] = rows;
        }
    }
    for (int i = 0; i < kGridColumns; ++i) {
        const int cells = std::max(i > 0 ? g.cellRows[i - 1] : 0,
                                   i < kGridDivisions ? g.cellRows[i] : 0);
        g.pointRows[i] = cells > 0 ? cells + 1 : 0;
    }
}

BRELLOC_VECTOR_KERNEL
void FillField(const FieldTables& t, Family family, int i, int rows, double* f)
{
    if (family == Family::Potential) {
        const double halfNkSin = t.halfNkSin[i], hlXi = t.hlXi[i];
        for (int j = 0; j < rows; ++j)
            f[j] = t.decay[j] * halfNkSin + hlXi;
    } else {
        const double cosXi = t.cosXi[i], halfNk = t.halfNk;
        for (int j = 0; j < rows; ++j)
            f[j] = t.hlEta[j] - (t.decay[j] * cosXi + 1.0) * halfNk;
    }
}

} // namespace brelloc
