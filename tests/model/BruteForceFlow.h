#pragma once

#include "GeneralData.h"
#include "PlotSink.h"

namespace brelloc {

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
