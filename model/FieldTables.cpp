#include "FieldTables.h"

#include <cmath>

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

void FillColumn(const FieldTables& t, Family family, int i, GridColumn& column)
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
}

} // namespace brelloc
