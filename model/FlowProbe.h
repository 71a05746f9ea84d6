#pragma once

#include "FlowResults.h"
#include "GeneralData.h"
#include "PlotSink.h"

#include <optional>
#include <vector>

namespace brelloc {

// The flow at one point of the flow region, all dimensionless.
struct ProbeValues {
    ModelPoint point;           // the point probed, in units of L
    ParameterPoint at;          // its parameter point in the strip
    double head = 0.0;          // h/L: the potential, 0 at the right drain, H/L at the left
    double pressureHead = 0.0;  // (h - y)/L: 0 on the free water table, positive below it
    double streamFunction = 0.0; // in units of k*L: -N/k * x on the water table
    // q/k = -grad(h): the specific discharge over the permeability, x to the
    // right, y upward; water flows from high head to low.
    ModelPoint specificDischarge;
};

// The values at a point of the strip (no inversion; any finite xi, eta).
// Empty where a value is not finite (at the inner end of a drain the
// discharge is unbounded).
std::optional<ProbeValues> ValuesAt(const GeneralData& data, ParameterPoint at);

// Probes the flow region: the image of the strip 0 <= xi <= 1,
// 0 <= eta <= kCoveredDepth, which lies below the free water table and the
// drains. The point is mapped back to the strip by Newton's method from the
// nearest node of a table of mapped points; points on the boundary count as
// inside to rounding. Empty for a point outside the region, a non-finite
// point, a point where the iteration does not converge, a point the net
// covers twice (the net folds over itself for N/k above 1) and a point where
// a value is not finite.
class FlowProbe {
public:
    explicit FlowProbe(const GeneralData& data);

    std::optional<ProbeValues> At(ModelPoint point) const;
    // Only the parameter point, with the same rules.
    std::optional<ParameterPoint> Invert(ModelPoint point) const;

private:
    std::optional<ParameterPoint> NewtonFrom(ParameterPoint start, ModelPoint target) const;

    GeneralData data_;
    std::vector<ModelPoint> nodes_; // mapped nodes, column by column
};

// One probe; a FlowProbe keeps its table for many.
std::optional<ProbeValues> ProbeAt(const GeneralData& data, ModelPoint point);

} // namespace brelloc
