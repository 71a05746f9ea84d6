#include "BruteForceFlow.h"
#include "FlowField.h"
#include "FlowProbe.h"
#include "FlowResults.h"
#include "GeneralData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>

namespace brelloc {
namespace {

// Stagnation points from near the water table to deep down, none where the
// head difference dominates, the two zero cases, and N/k above 1.
const Case kCases[] = {
    {0.2, 0.5}, {0.05, 0.5}, {0.1, 0.2}, {0.3, 0.25}, {0.7, 0.5}, {0.78, 0.5},
    {0.01, 0.8}, {1.0, 0.5},  {0.5, 0.3}, {0.0, 0.5},  {0.0, 2.0}, {0.2, 0.0},
    {0.0, 0.0},  {0.2, 3.0},  {2.0, 1.0},
};

class FlowResultsCase : public ::testing::TestWithParam<Case> {};

TEST_P(FlowResultsCase, WaterTableTopIsTheHighestSample)
{
    const GeneralData data = With(GetParam());
    const FlowResults results = ComputeResults(data);
    constexpr int kSamples = 200000;
    int best = 0;
    double bestY = -INFINITY;
    for (int k = 0; k <= kSamples; ++k) {
        const double y = MapY(data, double(k) / kSamples, 0.0);
        if (y > bestY) {
            bestY = y;
            best = k;
        }
    }
    const double xi = double(best) / kSamples;
    EXPECT_NEAR(results.waterTableTop.y, bestY, 1e-9 * (1 + bestY));
    EXPECT_GE(results.waterTableTop.y, bestY - 1e-15);
    if (data.HL == 0 && data.NK == 0)
        return; // a level table: every point is highest
    EXPECT_NEAR(results.waterTableTopAt.xi, xi, 2e-5);
    EXPECT_NEAR(results.waterTableTop.x, MapX(data, xi, 0.0), 1e-4);
    EXPECT_EQ(results.waterTableTopAt.eta, 0.0);
}

// The stream function along the left drain falls while the drain takes in
// water and rises where it feeds the aquifer: its interior minimum is the
// stagnation point, and its value is that of the dividing stream line.
TEST_P(FlowResultsCase, StagnationPointIsTheMinimumOfTheStreamFunctionOnTheLeftDrain)
{
    const GeneralData data = With(GetParam());
    const FlowResults results = ComputeResults(data);
    constexpr double kStep = 1e-5;
    constexpr int kSamples = 400000; // eta up to 4
    int best = 0;
    double bestPsi = INFINITY;
    for (int k = 0; k <= kSamples; ++k) {
        const double psi = StreamFunction(data, 1.0, k * kStep);
        if (psi < bestPsi) {
            bestPsi = psi;
            best = k;
        }
    }
    const bool interior = best > 0 && best < kSamples && bestPsi < StreamFunction(data, 1.0, 0) - 1e-13;
    ASSERT_EQ(results.stagnationAt.has_value(), interior) << "sampled minimum at eta " << best * kStep;
    ASSERT_EQ(results.stagnationPoint.has_value(), interior);
    if (!interior)
        return;
    const double eta = best * kStep;
    EXPECT_NEAR(results.stagnationAt->eta, eta, 2 * kStep);
    EXPECT_EQ(results.stagnationAt->xi, 1.0);
    ASSERT_TRUE(results.dividingStreamFunction);
    EXPECT_NEAR(*results.dividingStreamFunction, bestPsi, 1e-9);
    const double slope = std::fabs(JacobianByDifferences(data, 1.0, eta).xEta);
    EXPECT_NEAR(results.stagnationPoint->x, MapX(data, 1.0, eta), 2 * kStep * (slope + 1));
    EXPECT_DOUBLE_EQ(results.stagnationPoint->y, data.HL);
    // The discharge vanishes there.
    const ModelPoint q =
        DischargeByDifferences(data, results.stagnationAt->xi, results.stagnationAt->eta);
    EXPECT_NEAR(std::hypot(q.x, q.y), 0.0, 1e-7);
}

// Integrating the normal flux through the free water table: all of N/k enters,
// the part left of the divide is the left drain's share. The left drain's
// intake, integrated along it, is the same share.
TEST_P(FlowResultsCase, SharesAgreeWithTheIntegratedFlux)
{
    const GeneralData data = With(GetParam());
    const FlowResults results = ComputeResults(data);
    EXPECT_NEAR(results.infiltrationToLeftDrain + results.infiltrationToRightDrain, data.NK,
                1e-15 * data.NK);
    EXPECT_GE(results.infiltrationToLeftDrain, 0.0);
    EXPECT_GE(results.infiltrationToRightDrain, 0.0);

    auto integrate = [](auto f, double from, double to, int n) {
        double sum = 0;
        const double h = (to - from) / n;
        for (int k = 0; k < n; ++k)
            sum += f(from + (k + 0.5) * h);
        return sum * h;
    };
    if (data.NK == 0) {
        EXPECT_EQ(results.infiltrationToLeftDrain, 0.0);
        EXPECT_EQ(results.infiltrationToRightDrain, 0.0);
        return; // with H/L 0 too nothing flows: no direction to integrate
    }
    auto inflow = [&](double xi) { return -OutflowOnWaterTable(data, xi); };
    const double tolerance = 1e-6 * (1 + data.NK + data.HL);
    EXPECT_NEAR(integrate(inflow, 0, 1, 20000), data.NK, tolerance);

    const double divideXi = results.divideAt ? results.divideAt->xi : 1.0;
    EXPECT_NEAR(integrate(inflow, divideXi, 1, 20000), results.infiltrationToLeftDrain, tolerance);
    EXPECT_NEAR(integrate(inflow, 0, divideXi, 20000), results.infiltrationToRightDrain, tolerance);

    // Intake of the left drain: where its outflow is positive. With H/L 0 it
    // goes on down the whole drain, so integrate deep.
    auto intake = [&](double eta) { return std::max(0.0, OutflowOnLeftDrainEdge(data, eta)); };
    const double deep = results.stagnationAt ? results.stagnationAt->eta : 8.0;
    EXPECT_NEAR(integrate(intake, 0, deep, 40000), results.infiltrationToLeftDrain, tolerance);
    if (results.stagnationAt) { // beyond it the drain only feeds
        EXPECT_NEAR(integrate(intake, deep, deep + 3, 20000), 0.0, tolerance);
    }
}

// Walk along the discharge (fourth-order Runge-Kutta in the parameter plane,
// at unit speed there) and return how close the walk comes to a target. The
// dividing stream line ends at the stagnation point; a walk along it, with
// its rounding, passes within a hair of that point and then turns along the
// drain one way or the other.
double ClosestApproach(const GeneralData& data, double xi, double eta, double targetEta)
{
    auto direction = [&data](double a, double b, double& da, double& db) {
        const ModelPoint q = DischargeByDifferences(data, a, b);
        const MapJacobian j = JacobianByDifferences(data, a, b);
        // J (da, db) = q
        const double det = j.xXi * j.yEta - j.xEta * j.yXi;
        da = (q.x * j.yEta - q.y * j.xEta) / det;
        db = (j.xXi * q.y - j.yXi * q.x) / det;
        const double length = std::hypot(da, db);
        da /= length;
        db /= length;
    };
    constexpr double h = 5e-4;
    double closest = std::hypot(1 - xi, targetEta - eta);
    for (int step = 0; step < 40000; ++step) {
        double k1a, k1b, k2a, k2b, k3a, k3b, k4a, k4b;
        direction(xi, eta, k1a, k1b);
        direction(xi + h / 2 * k1a, eta + h / 2 * k1b, k2a, k2b);
        direction(xi + h / 2 * k2a, eta + h / 2 * k2b, k3a, k3b);
        direction(xi + h * k3a, eta + h * k3b, k4a, k4b);
        xi += h / 6 * (k1a + 2 * k2a + 2 * k3a + k4a);
        eta += h / 6 * (k1b + 2 * k2b + 2 * k3b + k4b);
        if (!(xi > 0 && xi < 1 && eta < targetEta + 2))
            break;
        closest = std::min(closest, std::hypot(1 - xi, targetEta - eta));
    }
    return closest;
}

TEST_P(FlowResultsCase, DividingStreamLineRunsFromTheDivideToTheStagnationPoint)
{
    const GeneralData data = With(GetParam());
    const FlowResults results = ComputeResults(data);
    ASSERT_EQ(results.divide.has_value(), results.divideAt.has_value());
    if (!results.stagnationAt) {
        if (data.HL == 0 && data.NK > 0) {
            ASSERT_TRUE(results.divide);
            EXPECT_DOUBLE_EQ(results.divide->x, 0.5);
            EXPECT_DOUBLE_EQ(results.infiltrationToLeftDrain, data.NK / 2);
            EXPECT_DOUBLE_EQ(results.infiltrationToRightDrain, data.NK / 2);
        } else {
            EXPECT_FALSE(results.divide);
            EXPECT_EQ(results.infiltrationToLeftDrain, 0.0);
            EXPECT_EQ(results.infiltrationToRightDrain, data.NK);
        }
        return;
    }
    ASSERT_TRUE(results.divide);
    // The divide lies on the water table.
    EXPECT_NEAR(results.divide->x, MapX(data, results.divideAt->xi, 0), 1e-14);
    EXPECT_NEAR(results.divide->y, MapY(data, results.divideAt->xi, 0), 1e-14 * (1 + data.NK));
    const double etaS = results.stagnationAt->eta;
    // Start just inside the region (the discharge at the table points inward).
    EXPECT_LT(ClosestApproach(data, results.divideAt->xi, 1e-9, etaS), 1e-3);
    // Starting 0.02 of the table to either side misses it.
    EXPECT_GT(ClosestApproach(data, results.divideAt->xi - 0.02, 1e-9, etaS), 0.01);
    EXPECT_GT(ClosestApproach(data, results.divideAt->xi + 0.02, 1e-9, etaS), 0.01);

    // The polyline runs the same way.
    const std::vector<ModelPoint> line = DividingStreamLine(data, 400);
    ASSERT_EQ(line.size(), 401u);
    EXPECT_NEAR(line.front().x, results.divide->x, 1e-12);
    EXPECT_NEAR(line.front().y, results.divide->y, 1e-12 * (1 + data.NK));
    EXPECT_NEAR(line.back().x, results.stagnationPoint->x, 1e-9 * (1 + std::fabs(line.back().x)));
    EXPECT_NEAR(line.back().y, results.stagnationPoint->y, 1e-9 * (1 + data.HL));
}

// Every point of the polyline lies on the dividing stream line: the probe's
// stream function there is the divide's.
TEST_P(FlowResultsCase, DividingStreamLineKeepsItsStreamFunction)
{
    const GeneralData data = With(GetParam());
    const FlowResults results = ComputeResults(data);
    const std::vector<ModelPoint> line = DividingStreamLine(data);
    if (!results.divide) {
        EXPECT_TRUE(line.empty());
        return;
    }
    ASSERT_EQ(line.size(), 201u);
    // Out-of-range sample counts are brought into range, ends kept.
    for (int samples : {0, -5, kMostStreamLineSamples + 1, std::numeric_limits<int>::max()}) {
        const std::vector<ModelPoint> other = DividingStreamLine(data, samples);
        ASSERT_EQ(other.size(), samples > 0 ? kMostStreamLineSamples + 1u : 2u) << samples;
        EXPECT_EQ(other.front(), line.front());
        EXPECT_EQ(other.back(), line.back());
    }
    if (!results.stagnationAt) { // H/L 0: down to the covered depth, at x = 0.5
        for (const ModelPoint& p : line)
            EXPECT_NEAR(p.x, 0.5, 1e-12);
        EXPECT_NEAR(line.back().y, MapY(data, 0.5, kCoveredDepth), 1e-9 * std::fabs(line.back().y));
    }
    if (data.NK >= 1)
        return; // the net overlaps itself: the probe declines such points
    const FlowProbe probe(data);
    int probed = 0;
    for (std::size_t k = 1; k + 1 < line.size(); k += 10) {
        const std::optional<ProbeValues> values = probe.At(line[k]);
        if (!values)
            continue; // beyond the covered depth
        ++probed;
        EXPECT_NEAR(values->streamFunction, *results.dividingStreamFunction, 1e-9) << k;
    }
    EXPECT_GT(probed, 5);
}

INSTANTIATE_TEST_SUITE_P(Table, FlowResultsCase, ::testing::ValuesIn(kCases));

// Near H/L = (pi/2) N/k the stagnation point and the divide come to the inner
// end of the left drain, where the closed form's terms cancel. The divide's
// x is the stream function's minimum on the left drain over -N/k, found here
// by golden-section search.
TEST(FlowResults, DivideNearTheLeftDrainKeepsItsPrecision)
{
    double previous = 0.5;
    for (double r : {0.5, 0.9, 0.99, 0.999, 1 - 1e-4, 1 - 1e-6}) {
        const GeneralData data = With({r * M_PI / 4, 0.5});
        const FlowResults results = ComputeResults(data);
        ASSERT_TRUE(results.divide) << r;
        double a = 0, b = 1;
        const double g = (std::sqrt(5.0) - 1) / 2;
        for (int n = 0; n < 200; ++n) {
            const double c = b - g * (b - a), d = a + g * (b - a);
            if (StreamFunction(data, 1, c) < StreamFunction(data, 1, d))
                b = d;
            else
                a = c;
        }
        const double x = -StreamFunction(data, 1, (a + b) / 2) / data.NK;
        EXPECT_NEAR(results.divide->x, x, 1e-15 + 1e-9 * x) << r;
        EXPECT_LT(results.divide->x, previous);
        EXPECT_GT(results.divide->x, 0.0);
        previous = results.divide->x;
    }
    EXPECT_FALSE(ComputeResults(With({M_PI / 4 * 1.000001, 0.5})).divide);
}

// Every number is finite, and each quantity keeps its meaning, for the
// admitted extremes.
TEST(FlowResults, ExtremeValuesStayFinite)
{
    for (double hl : {0.0, 1e-300, 1e-5, 1.0, 1e5, 1e300})
        for (double nk : {0.0, 1e-300, 1e-5, 1.0, 1e5, 1e300}) {
            const GeneralData data = With({hl, nk});
            const FlowResults results = ComputeResults(data);
            SCOPED_TRACE(::testing::Message() << "H/L " << hl << ", N/k " << nk);
            EXPECT_TRUE(std::isfinite(results.waterTableTop.x));
            EXPECT_TRUE(std::isfinite(results.waterTableTop.y));
            EXPECT_GE(results.waterTableTop.y, std::max(hl, nk / 2) * (1 - 1e-15));
            EXPECT_TRUE(std::isfinite(results.infiltrationToLeftDrain));
            EXPECT_TRUE(std::isfinite(results.infiltrationToRightDrain));
            EXPECT_NEAR(results.infiltrationToLeftDrain + results.infiltrationToRightDrain, nk,
                        1e-15 * nk);
            const bool stagnation = hl > 0 && nk > 0 && 2 * hl < M_PI * nk;
            EXPECT_EQ(results.stagnationAt.has_value(), stagnation);
            if (results.stagnationAt) {
                EXPECT_TRUE(std::isfinite(results.stagnationAt->eta));
            }
            if (results.stagnationPoint) {
                EXPECT_TRUE(std::isfinite(results.stagnationPoint->x));
                EXPECT_EQ(results.stagnationPoint->y, hl);
            }
            EXPECT_EQ(results.divide.has_value(), nk > 0 && (hl == 0 || stagnation));
            if (results.divide) {
                EXPECT_TRUE(std::isfinite(results.divide->x));
                EXPECT_TRUE(std::isfinite(results.divide->y));
                EXPECT_GE(results.divide->x, 0.0);
                EXPECT_LE(results.divide->x, 0.5);
            }
            for (const ModelPoint& p : DividingStreamLine(data)) {
                ASSERT_TRUE(std::isfinite(p.x));
                ASSERT_TRUE(std::isfinite(p.y));
            }
        }
}

} // namespace
} // namespace brelloc
