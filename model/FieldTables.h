#pragma once

#include "GeneralData.h"
#include "PlotSink.h"

#include <cstdint>

namespace brelloc {

// The grid the tracer always walks: 100 columns of cells across xi and 181
// rows along eta (the last reaching eta 1.81), hence 101 x 182 grid points.
constexpr int kGridDivisions = 100;
constexpr int kGridCellRows = 181;
constexpr int kGridColumns = kGridDivisions + 1;
constexpr int kGridRows = kGridCellRows + 1;

// The field is separable: sin and cos depend on xi only, the exponentials on
// eta only. The tables hold those factors for the grid's columns (xi = i/100)
// and rows (eta = j/100); every grid value is then combined from them with
// exactly the operations of the field functions, in their order, so it comes
// out bit for bit as Potential, StreamFunction, MapX and MapY return it (the
// model is built without fused multiply-adds, which keeps it that way).
struct FieldTables {
    double halfNk;                  // NK * 0.5
    double sinXi[kGridColumns];     // sin(pi xi)
    double cosXi[kGridColumns];     // cos(pi xi)
    double halfNkSin[kGridColumns]; // (NK * 0.5) * sin
    double nkSin[kGridColumns];     // NK * sin
    double nkCos[kGridColumns];     // NK * cos
    double hlXi[kGridColumns];      // HL * xi
    double decay[kGridRows];        // exp(-pi eta)
    double cosh[kGridRows];         // (exp(-u) + exp(u)) / 2, u = pi eta
    double sinh[kGridRows];         // (exp(u) - exp(-u)) / 2
    double hlEta[kGridRows];        // HL * eta
};

// Only for data.Divisions == kGridDivisions.
void FillTables(const GeneralData& data, FieldTables& t);

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

// The mapped point of every grid point, formed once per trace for both
// families, and which cells lie wholly beyond one side of the window (the net
// grows fast with eta, so with a small window that is most of the strip).
// About 310 KB: the trace keeps it on its stack.
struct GridGeometry {
    // Column i of the grid points from index i * kGridRows on, row j at +j.
    double x[kGridColumns * kGridRows];
    double y[kGridColumns * kGridRows];
    // Cell (i, j) between columns i and i+1: nonzero where no point
    // interpolated between its corners can pass the window.
    std::uint8_t beyond[kGridDivisions][kGridCellRows];
    // Cells j >= cellRows[i] of column i are all beyond; pointRows[i] grid
    // points of column i are corners of the others.
    int cellRows[kGridDivisions];
    int pointRows[kGridColumns];
};

inline const double* ColumnX(const GridGeometry& g, int i)
{
    return g.x + i * kGridRows;
}

inline const double* ColumnY(const GridGeometry& g, int i)
{
    return g.y + i * kGridRows;
}

void FillGeometry(const GeneralData& data, const FieldTables& t, GridGeometry& g);

// One column of a family's field values, as far up as cells need them.
void FillField(const FieldTables& t, Family family, int i, int rows, double* f);

} // namespace brelloc
