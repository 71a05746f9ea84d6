#include "FlowProbe.h"

#include "ComplexField.h"
#include "FlowField.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace brelloc {

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();

// The table of mapped nodes the iteration starts from.
constexpr int kColumns = 50;  // intervals across xi
constexpr int kRows = 181;    // intervals down to the covered depth
constexpr double kRowStep = kCoveredDepth / kRows;

// A Newton step larger than this (in the parameter plane) is shortened: far
// from a root the plain step can leave the strip by whole periods.
constexpr double kLargestStep = 0.25;
constexpr int kMostIterations = 100;

ParameterPoint Node(int i, int j)
{
    return {double(i) / kColumns, j == kRows ? kCoveredDepth : j * kRowStep};
}

// The size of the terms that make up z(zeta) - target: the rounding error of
// the residual is a few units of the last place of this.
double MapTermSize(const GeneralData& data, Complex zeta, Complex target)
{
    const Complex pz = data.Pi * zeta;
    return 0.5 + 0.5 * std::abs(std::cos(pz)) + (data.NK * 0.5) * std::abs(std::sin(pz)) +
           data.HL * std::abs(zeta) + std::abs(target);
}

bool Finite(Complex value)
{
    return std::isfinite(value.real()) && std::isfinite(value.imag());
}

} // namespace

std::optional<ProbeValues> ValuesAt(const GeneralData& data, ParameterPoint at)
{
    ProbeValues values;
    values.at = at;
    values.point = {MapX(data, at.xi, at.eta), MapY(data, at.xi, at.eta)};
    values.head = Potential(data, at.xi, at.eta);
    values.pressureHead = values.head - values.point.y;
    values.streamFunction = StreamFunction(data, at.xi, at.eta);
    const Complex zeta(at.xi, at.eta);
    const Complex gradient =
        std::conj(ComplexPotentialDerivative(data, zeta) / MapDerivative(data, zeta));
    values.specificDischarge = {-gradient.real(), -gradient.imag()};
    for (double v : {values.point.x, values.point.y, values.head, values.pressureHead,
                     values.streamFunction, values.specificDischarge.x,
                     values.specificDischarge.y})
        if (!std::isfinite(v))
            return std::nullopt;
    return values;
}

FlowProbe::FlowProbe(const GeneralData& data) : data_(data)
{
    nodes_.reserve(std::size_t(kColumns + 1) * (kRows + 1));
    for (int i = 0; i <= kColumns; ++i)
        for (int j = 0; j <= kRows; ++j) {
            const ParameterPoint p = Node(i, j);
            nodes_.push_back({MapX(data_, p.xi, p.eta), MapY(data_, p.xi, p.eta)});
        }
}

std::optional<ParameterPoint> FlowProbe::NewtonFrom(ParameterPoint start, ModelPoint target) const
{
    const Complex goal(target.x, target.y);
    Complex zeta(start.xi, start.eta);
    double bestResidual = INFINITY;
    Complex best = zeta;
    int sinceBetter = 0;
    for (int n = 0; n < kMostIterations && sinceBetter < 8; ++n) {
        const Complex residual = MapPoint(data_, zeta) - goal;
        const Complex slope = MapDerivative(data_, zeta);
        if (!Finite(residual) || !Finite(slope))
            break;
        const double size = std::abs(residual);
        if (size < bestResidual) {
            bestResidual = size;
            best = zeta;
            sinceBetter = 0;
        } else {
            ++sinceBetter;
        }
        if (size == 0.0)
            break;
        Complex step = residual / slope;
        if (!Finite(step))
            break;
        const double length = std::abs(step);
        if (length > kLargestStep)
            step *= kLargestStep / length;
        zeta -= step;
        // Far outside the strip nothing of the region can be found.
        if (zeta.real() < -1.0 || zeta.real() > 2.0 || zeta.imag() < -1.0 ||
            zeta.imag() > kCoveredDepth + 1.0)
            break;
    }
    if (!std::isfinite(bestResidual))
        return std::nullopt;

    // Converged to rounding: the residual is within a few units of the last
    // place of the terms of the map.
    const double termSize = MapTermSize(data_, best, goal);
    const double tolerance = 64.0 * kEpsilon * termSize;
    if (!(bestResidual <= tolerance))
        return std::nullopt;

    // A point on the boundary may come back just outside the strip; allow
    // what that rounding moves in the parameter plane.
    const double slope = std::abs(MapDerivative(data_, best));
    const double slack = slope > 0.0 ? std::fmin(1e-6, tolerance / slope) : 0.0;
    const double xi = best.real();
    const double eta = best.imag();
    if (!(xi >= -slack && xi <= 1.0 + slack && eta >= -slack && eta <= kCoveredDepth + slack))
        return std::nullopt;
    return ParameterPoint{std::clamp(xi, 0.0, 1.0), std::clamp(eta, 0.0, kCoveredDepth)};
}

std::optional<ParameterPoint> FlowProbe::Invert(ModelPoint point) const
{
    if (!std::isfinite(point.x) || !std::isfinite(point.y))
        return std::nullopt;

    // Start from the nearest node (in the larger of the two coordinate
    // distances, which cannot overflow for finite tables).
    std::size_t nearest = 0;
    double nearestDistance = INFINITY;
    for (std::size_t k = 0; k < nodes_.size(); ++k) {
        const double d = std::fmax(std::fabs(nodes_[k].x - point.x), std::fabs(nodes_[k].y - point.y));
        if (d < nearestDistance) {
            nearestDistance = d;
            nearest = k;
        }
    }
    const int nearestColumn = int(nearest / (kRows + 1));
    const int nearestRow = int(nearest % (kRows + 1));
    std::optional<ParameterPoint> found =
        NewtonFrom(Node(nearestColumn, nearestRow), point);

    // Every cell whose mapped corners, with a margin, surround the point may
    // hold a preimage. Starting from each finds a preimage the nearest node
    // missed (near the inner end of a drain, where the map folds) and tells a
    // point the net covers twice.
    for (int i = 0; i < kColumns; ++i)
        for (int j = 0; j < kRows; ++j) {
            const ModelPoint& a = nodes_[std::size_t(i) * (kRows + 1) + j];
            const ModelPoint& b = nodes_[std::size_t(i + 1) * (kRows + 1) + j];
            const ModelPoint& c = nodes_[std::size_t(i + 1) * (kRows + 1) + j + 1];
            const ModelPoint& d = nodes_[std::size_t(i) * (kRows + 1) + j + 1];
            const double left = std::min({a.x, b.x, c.x, d.x});
            const double right = std::max({a.x, b.x, c.x, d.x});
            const double bottom = std::min({a.y, b.y, c.y, d.y});
            const double top = std::max({a.y, b.y, c.y, d.y});
            const double margin = 0.5 * std::fmax(right - left, top - bottom);
            if (point.x < left - margin || point.x > right + margin || point.y < bottom - margin ||
                point.y > top + margin)
                continue;
            const ParameterPoint centre{(i + 0.5) / kColumns, (j + 0.5) * kRowStep};
            const std::optional<ParameterPoint> other = NewtonFrom(centre, point);
            if (!other)
                continue;
            if (!found) {
                found = other;
            } else if (std::fabs(other->xi - found->xi) > 1e-6 ||
                       std::fabs(other->eta - found->eta) > 1e-6) {
                return std::nullopt; // two preimages: the net overlaps itself here
            }
        }
    return found;
}

std::optional<ProbeValues> FlowProbe::At(ModelPoint point) const
{
    const std::optional<ParameterPoint> at = Invert(point);
    if (!at)
        return std::nullopt;
    std::optional<ProbeValues> values = ValuesAt(data_, *at);
    if (values) {
        values->point = point;
        values->pressureHead = values->head - point.y;
    }
    return values;
}

std::optional<ProbeValues> ProbeAt(const GeneralData& data, ModelPoint point)
{
    return FlowProbe(data).At(point);
}

} // namespace brelloc
