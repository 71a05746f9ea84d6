#include "FlowField.h"
#include "GeneralData.h"

#include <gtest/gtest.h>

#include <cmath>

namespace brelloc {
namespace {

GeneralData Defaults()
{
    GeneralData data;
    InitDefaults(data);
    return data;
}

GeneralData With(double hl, double nk)
{
    GeneralData data = Defaults();
    data.HL = hl;
    data.NK = nk;
    UpdateDerived(data);
    return data;
}

// No flow exactly when there is neither head difference nor infiltration,
// and then (only then) both fields are 0 all over the strip.
TEST(FlowField, NoFlowOnlyWithoutHeadDifferenceAndInfiltration)
{
    struct Case {
        double hl;
        double nk;
        bool noFlow;
    };
    const Case cases[] = {
        {0.0, 0.0, true},     {-0.0, 0.0, true},     {0.0, 0.5, false},
        {0.2, 0.0, false},    {0.2, 0.5, false},     {1e-300, 0.0, false},
        {0.0, 1e-300, false}, {1e100, 1e100, false},
    };
    for (const Case& c : cases) {
        const GeneralData data = With(c.hl, c.nk);
        EXPECT_EQ(HasNoFlow(data), c.noFlow) << "H/L " << c.hl << ", N/k " << c.nk;
        bool zeroEverywhere = true;
        for (const double xi : {0.0, 0.25, 0.5, 0.75, 1.0}) {
            for (const double eta : {0.0, 0.5, 1.8}) {
                zeroEverywhere &=
                    Potential(data, xi, eta) == 0.0 && StreamFunction(data, xi, eta) == 0.0;
            }
        }
        EXPECT_EQ(zeroEverywhere, c.noFlow) << "H/L " << c.hl << ", N/k " << c.nk;
    }
}

TEST(FlowField, InnerEndsOfTheDrains)
{
    const GeneralData data = Defaults();
    EXPECT_EQ(MapX(data, 0, 0), 1.0);
    EXPECT_EQ(MapY(data, 0, 0), 0.0);
    EXPECT_NEAR(MapX(data, 1, 0), 0.0, 1e-15);
    EXPECT_NEAR(MapY(data, 1, 0), 0.2, 1e-14);
}

TEST(FlowField, RightDrainHoldsZeroExactly)
{
    const GeneralData data = Defaults();
    for (double eta : {0.0, 0.01, 0.2, 0.97, 1.5, 1.81}) {
        EXPECT_EQ(Potential(data, 0, eta), 0.0) << eta;
        EXPECT_EQ(MapY(data, 0, eta), 0.0) << eta;
    }
}

TEST(FlowField, ValuesAtTheDefaults)
{
    const GeneralData data = Defaults();
    EXPECT_NEAR(Potential(data, 0.5, 0), 0.35, 1e-15);
    EXPECT_NEAR(MapX(data, 0.5, 0), 0.5, 1e-15);
    EXPECT_NEAR(MapY(data, 0.5, 0), 0.35, 1e-15);
    EXPECT_NEAR(StreamFunction(data, 0.5, 0), -0.25, 1e-15);
    EXPECT_EQ(StreamFunction(data, 0, 0), -0.5);
    EXPECT_NEAR(StreamFunction(data, 1, 0), 0.0, 1e-15);

    EXPECT_NEAR(MapX(data, 0, 1.8), 35.85, 0.01);
    EXPECT_NEAR(MapX(data, 1, 1.8), -35.57, 0.01);
    EXPECT_NEAR(MapY(data, 0.5, 1.8), -35.61, 0.01);
}

TEST(FlowField, RightDrainDipsThenLeavesTheWindowBetween097And098)
{
    const GeneralData data = Defaults();
    double lowest = MapX(data, 0, 0);
    double lowestEta = 0;
    for (int k = 0; k <= 50; ++k) {
        const double x = MapX(data, 0, k / 100.0);
        if (x < lowest) {
            lowest = x;
            lowestEta = k / 100.0;
        }
    }
    EXPECT_NEAR(lowest, 0.89, 0.01);
    EXPECT_NEAR(lowestEta, 0.2, 0.03);
    EXPECT_LT(MapX(data, 0, 0.97), 3.0);
    EXPECT_GT(MapX(data, 0, 0.98), 3.0);
    EXPECT_GT(MapX(data, 1, 1.03), -3.0);
    EXPECT_LT(MapX(data, 1, 1.04), -3.0);
}

TEST(FlowField, WithoutInfiltrationThePotentialIsLinear)
{
    const GeneralData data = With(0.3, 0.0);
    for (double xi : {0.0, 0.25, 0.5, 0.9, 1.0}) {
        EXPECT_DOUBLE_EQ(Potential(data, xi, 0.7), 0.3 * xi);
        EXPECT_DOUBLE_EQ(MapY(data, xi, 0.0), 0.3 * xi);
        EXPECT_NEAR(MapX(data, xi, 0.0), (1 + std::cos(data.Pi * xi)) / 2, 1e-15);
    }
}

TEST(FlowField, WithoutHeightBothDrainsLieOnTheAxis)
{
    const GeneralData data = With(0.0, 0.5);
    for (double eta : {0.0, 0.3, 1.2, 1.8}) {
        EXPECT_EQ(MapY(data, 0, eta), 0.0);
        EXPECT_NEAR(MapY(data, 1, eta), 0.0, 1e-12 * std::cosh(data.Pi * eta));
    }
}

class FlowFieldProperty : public ::testing::TestWithParam<std::pair<double, double>> {};

// On the free water table the head equals the elevation and the stream
// function equals -N/k times x; on the left drain the potential is H/L.
TEST_P(FlowFieldProperty, BoundaryIdentities)
{
    const GeneralData data = With(GetParam().first, GetParam().second);
    for (int k = 0; k <= 100; k += 5) {
        const double xi = k / 100.0;
        EXPECT_NEAR(Potential(data, xi, 0), MapY(data, xi, 0), 1e-14) << xi;
        EXPECT_NEAR(StreamFunction(data, xi, 0), -data.NK * MapX(data, xi, 0), 1e-14) << xi;
    }
    for (double eta : {0.0, 0.4, 1.1, 1.8}) {
        EXPECT_NEAR(Potential(data, 1, eta), data.HL, 1e-14) << eta;
        EXPECT_NEAR(MapY(data, 1, eta), data.HL, 1e-13 * std::cosh(data.Pi * eta)) << eta;
        EXPECT_DOUBLE_EQ(StreamFunction(data, 0, eta),
                         data.HL * eta - data.NK / 2 * (1 + std::exp(-data.Pi * eta)));
    }
}

// The potential and the stream function are the real and imaginary parts of
// one analytic function of z = x + iy: in the physical plane they satisfy the
// Cauchy-Riemann relations, so potential and stream lines cross at right
// angles. Derivatives by central differences in the parameter strip, carried
// to the physical plane through the inverse Jacobian of the mapping.
TEST_P(FlowFieldProperty, NetIsConformal)
{
    const GeneralData data = With(GetParam().first, GetParam().second);
    const double h = 1e-6;
    const double points[][2] = {{0.3, 0.2}, {0.5, 0.5}, {0.7, 1.0}, {0.2, 1.5}, {0.9, 0.05}};
    for (const auto& pt : points) {
        const double xi = pt[0], eta = pt[1];
        auto dXi = [&](double (*f)(const GeneralData&, double, double)) {
            return (f(data, xi + h, eta) - f(data, xi - h, eta)) / (2 * h);
        };
        auto dEta = [&](double (*f)(const GeneralData&, double, double)) {
            return (f(data, xi, eta + h) - f(data, xi, eta - h)) / (2 * h);
        };
        const double xXi = dXi(MapX), xEta = dEta(MapX);
        const double yXi = dXi(MapY), yEta = dEta(MapY);
        const double det = xXi * yEta - xEta * yXi;
        ASSERT_GT(std::fabs(det), 1e-6) << "mapping degenerate at " << xi << ", " << eta;
        // grad_z f = J^-T grad_zeta f, with J = [[xXi, xEta], [yXi, yEta]].
        auto gradient = [&](double fXi, double fEta, double& fx, double& fy) {
            fx = (yEta * fXi - yXi * fEta) / det;
            fy = (-xEta * fXi + xXi * fEta) / det;
        };
        double phiX, phiY, psiX, psiY;
        gradient(dXi(Potential), dEta(Potential), phiX, phiY);
        gradient(dXi(StreamFunction), dEta(StreamFunction), psiX, psiY);
        const double scale = std::hypot(phiX, phiY);
        ASSERT_GT(scale, 1e-6);
        EXPECT_NEAR(phiX, psiY, 1e-6 * scale) << xi << ", " << eta;
        EXPECT_NEAR(phiY, -psiX, 1e-6 * scale) << xi << ", " << eta;
        EXPECT_NEAR(phiX * psiX + phiY * psiY, 0.0, 1e-6 * scale * scale) << xi << ", " << eta;
    }
}

INSTANTIATE_TEST_SUITE_P(Parameters, FlowFieldProperty,
                         ::testing::Values(std::pair{0.2, 0.5}, std::pair{0.4, 1.2},
                                           std::pair{1.0, 0.1}, std::pair{0.05, 2.0}));

} // namespace
} // namespace brelloc
