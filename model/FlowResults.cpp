#include "FlowResults.h"

#include "FlowField.h"

#include <algorithm>
#include <cmath>

namespace brelloc {

namespace {

// The field's two parameters meet in one ratio, r = 2 H/L / (pi N/k): the
// discharge on the left drain vanishes where e^(-pi*eta) = r, and the water
// table's slope where cos(pi*xi) = -r. Its logarithm is formed from the
// logarithms so that it stays finite where r itself would under- or overflow.
struct Ratio {
    double r = 0.0;     // may be 0 or infinite
    double logR = 0.0;  // valid when both HL and NK are positive
};

Ratio RatioOf(const GeneralData& data)
{
    Ratio ratio;
    if (data.NK == 0.0) {
        ratio.r = INFINITY; // no infiltration: the water table is straight
    } else {
        ratio.r = (2.0 * data.HL) / (data.Pi * data.NK);
        if (data.HL > 0.0)
            ratio.logR = std::log(2.0 / data.Pi) + std::log(data.HL) - std::log(data.NK);
    }
    return ratio;
}

// 1 - r + r ln r, which is 2x for the x of the divide. Near r = 1 its terms
// cancel; there the series in e = 1 - r, sum of e^n / (n (n - 1)) from n = 2,
// keeps full precision.
double DivideTwiceX(double r, double logR)
{
    const double e = 1.0 - r;
    if (e < 0.125) {
        double sum = 0.0;
        double power = e;
        for (int n = 2; n < 40; ++n) {
            power *= e;
            sum += power / (double(n) * (n - 1));
        }
        return sum;
    }
    return r == 0.0 ? 1.0 : (1.0 - r) + r * logR;
}

// The point of the free water table with the given x (0 <= x <= 1): with
// x = (1 + cos(pi*xi))/2 = cos^2(pi*xi/2), sin(pi*xi) = 2 sqrt(x (1 - x)).
ModelPoint WaterTablePointAtX(const GeneralData& data, double x, double& xi)
{
    xi = 2.0 / data.Pi * std::acos(std::sqrt(x));
    return {x, data.HL * xi + data.NK * std::sqrt(x * (1.0 - x))};
}

} // namespace

FlowResults ComputeResults(const GeneralData& data)
{
    FlowResults results;
    const Ratio ratio = RatioOf(data);
    const bool hasStagnation = data.HL > 0.0 && data.NK > 0.0 && ratio.logR < 0.0;

    // The water table rises while HL + (pi/2) NK cos(pi*xi) > 0.
    double topXi = 1.0;
    if (ratio.r < 1.0)
        results.waterTableTop = WaterTablePointAtX(data, (1.0 - ratio.r) * 0.5, topXi);
    else
        results.waterTableTop = {0.0, data.HL};
    results.waterTableTopAt = {topXi, 0.0};

    if (hasStagnation) {
        // e^(-pi*eta) = r on xi = 1; there cosh = (1/r + r)/2, sinh = (1/r - r)/2.
        const double u = -ratio.logR;
        const double eta = u / data.Pi;
        results.stagnationAt = ParameterPoint{1.0, eta};
        const double inverseR = (data.Pi * 0.5) * (data.NK / data.HL);
        const double x = 0.5 + ((data.NK - 1.0) * inverseR - (1.0 + data.NK) * ratio.r) * 0.25 -
                         data.HL * eta;
        if (std::isfinite(x))
            results.stagnationPoint = ModelPoint{x, data.HL};
    }

    // The dividing stream line carries the stream function of the stagnation
    // point, HL*eta - (NK/2)(1 - r) there; on the water table that is -NK*x.
    if (data.NK > 0.0 && (data.HL == 0.0 || hasStagnation)) {
        const double twiceX = data.HL == 0.0 ? 1.0 : DivideTwiceX(ratio.r, ratio.logR);
        const double x = twiceX * 0.5;
        double xi = 0.0;
        results.divide = WaterTablePointAtX(data, x, xi);
        results.divideAt = ParameterPoint{xi, 0.0};
        results.dividingStreamFunction = -data.NK * x;
        results.infiltrationToLeftDrain = data.NK * x;
        results.infiltrationToRightDrain = data.NK * (1.0 - x);
    } else {
        results.infiltrationToRightDrain = data.NK;
    }
    return results;
}

std::vector<ModelPoint> DividingStreamLine(const GeneralData& data, int samples)
{
    std::vector<ModelPoint> line;
    const FlowResults results = ComputeResults(data);
    if (!results.divide)
        return line;
    samples = std::clamp(samples, 1, kMostStreamLineSamples);
    const double end = results.stagnationAt ? results.stagnationAt->eta : kCoveredDepth;
    const Ratio ratio = RatioOf(data);
    const double r = data.HL == 0.0 ? 0.0 : ratio.r;
    const double twiceXMinusOne = 2.0 * results.divide->x - 1.0;
    line.reserve(std::size_t(samples) + 1);
    for (int k = 0; k <= samples; ++k) {
        // On the line HL*eta - (NK/2)(1 + e^(-pi*eta) cos(pi*xi)) = -NK*x of the
        // divide, so cos(pi*xi) = e^(pi*eta) (2x - 1 + pi*r*eta).
        const double eta = k == samples ? end : end * k / samples;
        double c = std::exp(data.Pi * eta) * (twiceXMinusOne + data.Pi * r * eta);
        if (k == 0)
            c = twiceXMinusOne;
        const double xi = (results.stagnationAt && k == samples)
                              ? 1.0
                              : std::acos(std::fmin(1.0, std::fmax(-1.0, c))) / data.Pi;
        const ModelPoint p{MapX(data, xi, eta), MapY(data, xi, eta)};
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            break;
        line.push_back(p);
    }
    return line;
}

} // namespace brelloc
