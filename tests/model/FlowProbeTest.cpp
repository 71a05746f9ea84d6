#include "BruteForceFlow.h"
#include "ComplexField.h"
#include "FlowField.h"
#include "FlowProbe.h"
#include "FlowResults.h"
#include "GeneralData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

namespace brelloc {
namespace {

ModelPoint Mapped(const GeneralData& data, double xi, double eta)
{
    return {MapX(data, xi, eta), MapY(data, xi, eta)};
}

// Parameter sets whose net covers each point once (N/k below 1).
const Case kCases[] = {
    {0.2, 0.5}, {0.05, 0.5}, {0.7, 0.5}, {1.0, 0.5}, {0.0, 0.5},
    {0.2, 0.0}, {0.0, 0.0},  {0.3, 0.9}, {5.0, 0.1},
};

class FlowProbeCase : public ::testing::TestWithParam<Case> {};

TEST_P(FlowProbeCase, MapsEveryPointOfTheNetBack)
{
    const GeneralData data = With(GetParam());
    const FlowProbe probe(data);
    int points = 0;
    for (double xi = 0.013; xi < 1; xi += 0.0611)
        for (double eta = 0.004; eta < kCoveredDepth; eta += 0.0487) {
            const ModelPoint p = Mapped(data, xi, eta);
            const std::optional<ParameterPoint> at = probe.Invert(p);
            ASSERT_TRUE(at) << xi << ", " << eta;
            ++points;
            const Complex back = MapPoint(data, {at->xi, at->eta});
            const double scale = 1 + std::abs(Complex(p.x, p.y));
            EXPECT_NEAR(back.real(), p.x, 64 * std::numeric_limits<double>::epsilon() * scale);
            EXPECT_NEAR(back.imag(), p.y, 64 * std::numeric_limits<double>::epsilon() * scale);
            EXPECT_NEAR(at->xi, xi, 1e-9);
            EXPECT_NEAR(at->eta, eta, 1e-9);
        }
    EXPECT_EQ(points, 17 * 38);
}

TEST_P(FlowProbeCase, HeadEqualsElevationOnTheWaterTable)
{
    const GeneralData data = With(GetParam());
    const FlowProbe probe(data);
    for (double xi = 0.02; xi < 1; xi += 0.04) {
        const ModelPoint p = Mapped(data, xi, 0.0);
        const std::optional<ProbeValues> values = probe.At(p);
        ASSERT_TRUE(values) << xi;
        EXPECT_NEAR(values->head, p.y, 1e-12);
        EXPECT_NEAR(values->pressureHead, 0.0, 1e-12);
        EXPECT_NEAR(values->streamFunction, -data.NK * p.x, 1e-12);
        EXPECT_EQ(values->point, p);
        // Just below the table the water is under pressure.
        const std::optional<ProbeValues> below = probe.At({p.x, p.y - 1e-4});
        ASSERT_TRUE(below) << xi;
        EXPECT_GT(below->pressureHead, 0.0);
    }
}

// The specific discharge is minus the gradient of the probed head, taken by
// differences in the physical plane, and agrees with the discharge found from
// the differences of the field functions.
TEST_P(FlowProbeCase, DischargeIsMinusTheHeadGradient)
{
    const GeneralData data = With(GetParam());
    const FlowProbe probe(data);
    for (double xi : {0.1, 0.35, 0.6, 0.85})
        for (double eta : {0.05, 0.3, 0.8, 1.4}) {
            const ModelPoint p = Mapped(data, xi, eta);
            const std::optional<ProbeValues> values = probe.At(p);
            ASSERT_TRUE(values);
            const double d = 1e-6 * (1 + std::hypot(p.x, p.y));
            const auto head = [&](double x, double y) {
                const std::optional<ProbeValues> v = probe.At({x, y});
                EXPECT_TRUE(v);
                return v ? v->head : NAN;
            };
            const double gx = (head(p.x + d, p.y) - head(p.x - d, p.y)) / (2 * d);
            const double gy = (head(p.x, p.y + d) - head(p.x, p.y - d)) / (2 * d);
            const double size = 1e-6 * (1 + std::hypot(gx, gy));
            EXPECT_NEAR(values->specificDischarge.x, -gx, size) << xi << ", " << eta;
            EXPECT_NEAR(values->specificDischarge.y, -gy, size) << xi << ", " << eta;
            const ModelPoint q = DischargeByDifferences(data, xi, eta);
            EXPECT_NEAR(values->specificDischarge.x, q.x, size);
            EXPECT_NEAR(values->specificDischarge.y, q.y, size);
        }
}

TEST_P(FlowProbeCase, OutsideTheFlowRegion)
{
    const GeneralData data = With(GetParam());
    const FlowProbe probe(data);
    // Above the free water table.
    for (double xi = 0.05; xi < 1; xi += 0.1) {
        const ModelPoint p = Mapped(data, xi, 0.0);
        EXPECT_FALSE(probe.At({p.x, p.y + 1e-3})) << xi;
        EXPECT_FALSE(probe.At({p.x, p.y + 10})) << xi;
    }
    // Above the drains.
    for (double x : {1.5, 3.0, 20.0})
        EXPECT_FALSE(probe.At({x, 1e-3})) << x;
    for (double x : {-1.0, -3.0, -20.0})
        EXPECT_FALSE(probe.At({x, data.HL + 1e-3})) << x;
    // Beyond the part of the strip the net covers, and just within it.
    for (double xi : {0.1, 0.5, 0.9}) {
        EXPECT_FALSE(probe.At(Mapped(data, xi, kCoveredDepth + 0.02))) << xi;
        EXPECT_TRUE(probe.At(Mapped(data, xi, kCoveredDepth - 0.02))) << xi;
    }
    EXPECT_FALSE(probe.At({NAN, 0.0}));
    EXPECT_FALSE(probe.At({0.5, INFINITY}));
    EXPECT_FALSE(probe.At({1e300, -1e300}));
}

INSTANTIATE_TEST_SUITE_P(Table, FlowProbeCase, ::testing::ValuesIn(kCases));

TEST(FlowProbe, NoDischargeAtTheStagnationPoint)
{
    for (const Case& c : {Case{0.2, 0.5}, Case{0.05, 0.5}, Case{0.5, 0.6}}) {
        const GeneralData data = With(c);
        const FlowResults results = ComputeResults(data);
        ASSERT_TRUE(results.stagnationPoint) << c;
        const std::optional<ProbeValues> values = ProbeAt(data, *results.stagnationPoint);
        ASSERT_TRUE(values) << c;
        EXPECT_NEAR(values->specificDischarge.x, 0.0, 1e-9) << c;
        EXPECT_NEAR(values->specificDischarge.y, 0.0, 1e-9) << c;
        EXPECT_NEAR(values->head, data.HL, 1e-12);
        // A little along the drain either way the water moves.
        const ModelPoint s = *results.stagnationPoint;
        const std::optional<ProbeValues> near = ProbeAt(data, {s.x - 0.05, s.y - 1e-9});
        ASSERT_TRUE(near);
        EXPECT_GT(std::hypot(near->specificDischarge.x, near->specificDischarge.y), 1e-4);
    }
}

// Infiltrated water flows down from the table, toward the drains.
TEST(FlowProbe, WaterFlowsFromHighHeadToLow)
{
    const GeneralData data = With({0.2, 0.5});
    const FlowResults results = ComputeResults(data);
    // Under the divide the water goes straight down; right of it, toward the
    // right drain.
    const std::optional<ProbeValues> underDivide =
        ProbeAt(data, {results.divide->x, results.divide->y - 0.01});
    ASSERT_TRUE(underDivide);
    EXPECT_LT(underDivide->specificDischarge.y, 0.0);
    const std::optional<ProbeValues> right = ProbeAt(data, {0.8, 0.1});
    ASSERT_TRUE(right);
    EXPECT_GT(right->specificDischarge.x, 0.0);
    // Deep below, the water from the left drain passes to the right drain.
    const std::optional<ProbeValues> deep = ProbeAt(data, {0.5, -2.0});
    ASSERT_TRUE(deep);
    EXPECT_GT(deep->specificDischarge.x, 0.0);
    EXPECT_GT(deep->head, 0.0);
    EXPECT_LT(deep->head, data.HL);
}

// Where the net folds over itself (N/k above 1) a point has two parameter
// points; the probe declines it rather than pick one. It never gives the
// values of a parameter point other than the one the point came from unless
// that one maps to the same point.
TEST(FlowProbe, DeclinesPointsTheNetCoversTwice)
{
    const GeneralData data = With({0.2, 3.0});
    const FlowProbe probe(data);
    int declined = 0;
    int confirmed = 0;
    for (double xi = 0.013; xi < 1; xi += 0.0611)
        for (double eta = 0.004; eta < kCoveredDepth; eta += 0.0487) {
            const ModelPoint p = Mapped(data, xi, eta);
            const std::optional<ParameterPoint> at = probe.Invert(p);
            if (at) {
                EXPECT_NEAR(at->xi, xi, 1e-9);
                EXPECT_NEAR(at->eta, eta, 1e-9);
                continue;
            }
            ++declined;
            if (confirmed >= 5)
                continue;
            // Brute force: another part of the strip maps within a few of its
            // own sample spacings of p.
            constexpr double h = 0.005;
            bool other = false;
            for (double a = h / 2; a < 1 && !other; a += h)
                for (double b = h / 2; b < kCoveredDepth && !other; b += h) {
                    if (std::hypot(a - xi, b - eta) < 0.05)
                        continue;
                    const MapJacobian j = JacobianByDifferences(data, a, b);
                    const double reach = 2 * h * std::hypot(j.xXi, j.yXi);
                    const ModelPoint q = Mapped(data, a, b);
                    other = std::hypot(q.x - p.x, q.y - p.y) < reach;
                }
            EXPECT_TRUE(other) << xi << ", " << eta;
            ++confirmed;
        }
    EXPECT_GT(declined, 0);
}

TEST(FlowProbe, ExtremeValuesGiveFiniteNumbersOrNone)
{
    for (double hl : {0.0, 1e-300, 1.0, 1e300})
        for (double nk : {0.0, 1e-300, 0.5, 1e300}) {
            const GeneralData data = With({hl, nk});
            SCOPED_TRACE(::testing::Message() << "H/L " << hl << ", N/k " << nk);
            const FlowProbe probe(data);
            int found = 0;
            for (double xi : {0.0, 0.1, 0.5, 0.9, 1.0})
                for (double eta : {0.0, 0.2, 1.0, 1.8}) {
                    const ModelPoint p = Mapped(data, xi, eta);
                    const std::optional<ProbeValues> values = probe.At(p);
                    if (!values)
                        continue;
                    ++found;
                    for (double v : {values->head, values->pressureHead, values->streamFunction,
                                     values->specificDischarge.x, values->specificDischarge.y,
                                     values->at.xi, values->at.eta})
                        EXPECT_TRUE(std::isfinite(v));
                    const Complex back = MapPoint(data, {values->at.xi, values->at.eta});
                    const double scale = 1 + std::abs(Complex(p.x, p.y)) + hl + nk;
                    EXPECT_NEAR(back.real(), p.x, 1e-13 * scale);
                    EXPECT_NEAR(back.imag(), p.y, 1e-13 * scale);
                }
            // Below N/k 1 the net covers each point once: the interior comes back.
            if (nk < 1) {
                EXPECT_GE(found, 12);
            }
            for (ModelPoint p : {ModelPoint{0.5, 0.1}, ModelPoint{-1e300, -1e300},
                                 ModelPoint{1e300, 1e300}, ModelPoint{0, -1e-300}})
                if (const std::optional<ProbeValues> values = probe.At(p)) {
                    EXPECT_TRUE(std::isfinite(values->head) &&
                                std::isfinite(values->specificDischarge.x) &&
                                std::isfinite(values->specificDischarge.y));
                }
        }
}

} // namespace
} // namespace brelloc
