#pragma once

#include "GeneralData.h"
#include "PlotSink.h"

#include <optional>
#include <vector>

namespace brelloc {

// A point of the parameter strip: 0 <= xi <= 1 along the water table (xi 0 at
// the right drain, 1 at the left one), eta >= 0 downward into the aquifer.
struct ParameterPoint {
    double xi = 0.0;
    double eta = 0.0;
};

// The engineering numbers of one parameter set, all dimensionless: lengths in
// units of L, the stream function and the discharges in units of k*L (per
// unit length of drain), the specific discharge in units of k.
struct FlowResults {
    // Highest point of the free water table. Where the table rises all the
    // way to the left drain (H/L >= (pi/2) N/k, and whenever N/k is 0) it is
    // that end, (0, H/L).
    ModelPoint waterTableTop;
    ParameterPoint waterTableTopAt; // eta is 0

    // Where the specific discharge vanishes on the left drain (y = H/L).
    // Between the drain's inner end and this point the drain takes in
    // infiltrated water; beyond it the drain feeds the aquifer. It exists
    // only for 0 < H/L < (pi/2) N/k. stagnationAt is set whenever it exists;
    // stagnationPoint is left out in addition where its x is beyond the range
    // of a double (only for extreme parameter sets, N/k^2 / (H/L) above ~1e308).
    std::optional<ModelPoint> stagnationPoint;
    std::optional<ParameterPoint> stagnationAt; // xi is 1

    // The point of the free water table where the dividing stream line starts:
    // infiltration left of it goes to the left drain, right of it to the right
    // drain. With H/L 0 it is the middle, x = 0.5 (the dividing stream line
    // goes down for ever); without a stagnation point and with H/L > 0 there is
    // none (all infiltration goes to the right drain); with N/k 0 there is
    // nothing to divide and none either.
    std::optional<ModelPoint> divide;
    std::optional<ParameterPoint> divideAt; // eta is 0
    // The stream function on the dividing stream line, -N/k times the x of the
    // divide; set together with divide.
    std::optional<double> dividingStreamFunction;

    // The left and the right drain's share of the infiltration N over the
    // water table, per unit length of drain, in units of k*L. They add up to
    // N/k (to rounding); both are 0 with N/k 0.
    double infiltrationToLeftDrain = 0.0;
    double infiltrationToRightDrain = 0.0;
};

FlowResults ComputeResults(const GeneralData& data);

// Depth of the parameter strip that the flow net covers: its last row of
// cells reaches this eta. The probe's flow region and a dividing stream line
// without a stagnation point end here.
constexpr double kCoveredDepth = 1.81;

// The dividing stream line as a polyline of model points, from the divide to
// the stagnation point (or, with H/L 0, down to the covered depth): samples+1
// points at equal steps of eta, samples taken between 1 and
// kMostStreamLineSamples. Empty where there is no divide. A line whose far end
// lies beyond the range of a double stops at its last finite point.
constexpr int kMostStreamLineSamples = 100000;
std::vector<ModelPoint> DividingStreamLine(const GeneralData& data, int samples = 200);

} // namespace brelloc
