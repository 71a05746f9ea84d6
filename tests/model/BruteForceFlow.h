#pragma once

#include "GeneralData.h"
#include "PlotSink.h"

#include <ostream>

namespace brelloc {

// A parameter set of the results' tables: H/L and N/k, the rest at their
// start-up values.
struct Case {
    double hl;
    double nk;
};

inline std::ostream& operator<<(std::ostream& out, const Case& c)
{
    return out << "H/L " << c.hl << ", N/k " << c.nk;
}

inline GeneralData With(const Case& c)
{
    GeneralData data;
    InitDefaults(data);
    data.HL = c.hl;
    data.NK = c.nk;
    UpdateDerived(data);
    return data;
}

// Brute-force counterparts of the closed forms, built only from the four real
// field functions by central differences, for checking the results and the
// probe against something that shares no formula with them.

// Derivatives of the map at a parameter point: (dx/dxi, dy/dxi, dx/deta, dy/deta).
struct MapJacobian {
    double xXi = 0, yXi = 0, xEta = 0, yEta = 0;
};
MapJacobian JacobianByDifferences(const GeneralData& data, double xi, double eta);

// q/k = -grad h in the physical plane, from the differences of Potential and
// of the map.
ModelPoint DischargeByDifferences(const GeneralData& data, double xi, double eta);

// The rate of flow out of the region through a piece of its boundary, per
// unit of the parameter along it: the edge xi = 1 or xi = 0 (per unit eta)
// or the water table eta = 0 (per unit xi); positive out of the region.
double OutflowOnLeftDrainEdge(const GeneralData& data, double eta);
double OutflowOnRightDrainEdge(const GeneralData& data, double eta);
double OutflowOnWaterTable(const GeneralData& data, double xi);

} // namespace brelloc
