#include "BruteForceFlow.h"

#include "FlowField.h"

namespace brelloc {

namespace {
constexpr double kStep = 1e-6;
}

MapJacobian JacobianByDifferences(const GeneralData& data, double xi, double eta)
{
    const double h = kStep;
    MapJacobian j;
    j.xXi = (MapX(data, xi + h, eta) - MapX(data, xi - h, eta)) / (2 * h);
    j.yXi = (MapY(data, xi + h, eta) - MapY(data, xi - h, eta)) / (2 * h);
    j.xEta = (MapX(data, xi, eta + h) - MapX(data, xi, eta - h)) / (2 * h);
    j.yEta = (MapY(data, xi, eta + h) - MapY(data, xi, eta - h)) / (2 * h);
    return j;
}

ModelPoint DischargeByDifferences(const GeneralData& data, double xi, double eta)
{
    const double h = kStep;
    const MapJacobian j = JacobianByDifferences(data, xi, eta);
    const double hXi = (Potential(data, xi + h, eta) - Potential(data, xi - h, eta)) / (2 * h);
    const double hEta = (Potential(data, xi, eta + h) - Potential(data, xi, eta - h)) / (2 * h);
    // (hXi, hEta) = (hx, hy) J with J = [[xXi, xEta], [yXi, yEta]].
    const double det = j.xXi * j.yEta - j.xEta * j.yXi;
    const double hx = (hXi * j.yEta - hEta * j.yXi) / det;
    const double hy = (j.xXi * hEta - j.xEta * hXi) / det;
    return {-hx, -hy};
}

// The map keeps orientation: the outward normal of the edge xi = 1 is the
// image of the +xi direction, and the element of length is |dz/dxi| deta,
// so the outflow per unit eta is q . (dx/dxi, dy/dxi).
double OutflowOnLeftDrainEdge(const GeneralData& data, double eta)
{
    const ModelPoint q = DischargeByDifferences(data, 1.0, eta);
    const MapJacobian j = JacobianByDifferences(data, 1.0, eta);
    return q.x * j.xXi + q.y * j.yXi;
}

double OutflowOnRightDrainEdge(const GeneralData& data, double eta)
{
    const ModelPoint q = DischargeByDifferences(data, 0.0, eta);
    const MapJacobian j = JacobianByDifferences(data, 0.0, eta);
    return -(q.x * j.xXi + q.y * j.yXi);
}

// On eta = 0 the outward normal is the image of -eta.
double OutflowOnWaterTable(const GeneralData& data, double xi)
{
    const ModelPoint q = DischargeByDifferences(data, xi, 0.0);
    const MapJacobian j = JacobianByDifferences(data, xi, 0.0);
    return -(q.x * j.xEta + q.y * j.yEta);
}

} // namespace brelloc
