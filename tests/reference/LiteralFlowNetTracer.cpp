#include "LiteralFlowNetTracer.h"

#include "FlowField.h"

#include <cmath>

namespace brelloc::test {

namespace {

// |x| first, then |y|; a coordinate equal to XmaxL passes. A coordinate that
// is not finite fails, as in the program.
bool Inside(const GeneralData& data, double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return false;
    if (std::fabs(x) > data.XmaxL)
        return false;
    if (std::fabs(y) > data.XmaxL)
        return false;
    return true;
}

void Boundary(const GeneralData& data, PlotSink& sink, double p0Xi, long double lastSample,
              bool alongXi, double fixedXi)
{
    sink.BeginCurve({MapX(data, p0Xi, 0.0), MapY(data, p0Xi, 0.0)});
    for (int k = 0; static_cast<long double>(k) <= lastSample; ++k) {
        const double t = static_cast<double>(k) / static_cast<double>(data.Divisions);
        const double xi = alongXi ? t : fixedXi;
        const double eta = alongXi ? 0.0 : t;
        const double x = MapX(data, xi, eta);
        const double y = MapY(data, xi, eta);
        if (Inside(data, x, y))
            sink.CurvePoint(k, {x, y});
    }
    sink.EndCurve();
}

double Field(const GeneralData& data, Family family, double xi, double eta)
{
    return family == Family::Potential ? Potential(data, xi, eta) : StreamFunction(data, xi, eta);
}

void Contours(const GeneralData& data, PlotSink& sink, Family family, FlatCells flat)
{
    // Divisions * DepthLimit with a 64-bit mantissa: just above 180.
    const long double depthBound =
        static_cast<long double>(data.Divisions) * static_cast<long double>(data.DepthLimit);
    const double divisions = static_cast<double>(data.Divisions);
    const int firstLevel = family == Family::Potential ? 0 : -10 * data.Squares;
    const int lastLevel = 10 * data.Squares - 1;

    for (int i = 0; i < data.Divisions; ++i) {
        for (int j = 0; static_cast<long double>(j) < depthBound; ++j) {
            const double xi1 = static_cast<double>(i) / divisions;
            const double xi2 = static_cast<double>(i + 1) / divisions;
            const double eta1 = static_cast<double>(j) / divisions;
            const double eta4 = static_cast<double>(j + 1) / divisions;

            const double F1 = Field(data, family, xi1, eta1);
            const double F2 = Field(data, family, xi2, eta1);
            const double F3 = Field(data, family, xi2, eta4);
            const double F4 = Field(data, family, xi1, eta4);
            const double X1 = MapX(data, xi1, eta1);
            const double X2 = MapX(data, xi2, eta1);
            const double X3 = MapX(data, xi2, eta4);
            const double X4 = MapX(data, xi1, eta4);
            const double Y1 = MapY(data, xi1, eta1);
            const double Y2 = MapY(data, xi2, eta1);
            const double Y3 = MapY(data, xi2, eta4);
            const double Y4 = MapY(data, xi1, eta4);
            const double F[5] = {0.0, F1, F2, F3, F4};
            const double X[5] = {0.0, X1, X2, X3, X4};
            const double Y[5] = {0.0, Y1, Y2, Y3, Y4};

            for (int n = firstLevel; n <= lastLevel; ++n) {
                const double level = static_cast<double>(n) * data.PotentialStep;
                if (flat == FlatCells::Skip && F1 == level && F2 == level && F3 == level &&
                    F4 == level)
                    continue;
                int count = 0;
                ModelPoint candidate[2];

                for (int m = 1; m <= 4; ++m) {
                    if (F[m] == level && count < 2) {
                        candidate[count] = {X[m], Y[m]};
                        count = count + 1;
                    }
                }
                const int edgeA[4] = {1, 2, 3, 4};
                const int edgeB[4] = {2, 3, 4, 1};
                for (int e = 0; e < 4; ++e) {
                    const int a = edgeA[e];
                    const int b = edgeB[e];
                    const bool crosses = (F[a] < level && level < F[b]) ||
                                         (F[a] > level && level > F[b]);
                    if (crosses && count < 2) {
                        const double x = X[a] + (level - F[a]) * (X[b] - X[a]) / (F[b] - F[a]);
                        const double y = Y[a] + (level - F[a]) * (Y[b] - Y[a]) / (F[b] - F[a]);
                        candidate[count] = {x, y};
                        count = count + 1;
                    }
                }
                if (count == 2 && Inside(data, candidate[0].x, candidate[0].y) &&
                    Inside(data, candidate[1].x, candidate[1].y))
                    sink.Segment(candidate[0], candidate[1]);
            }
        }
    }
}

} // namespace

void LiteralFlowNetTracer::Trace(const GeneralData& data, PlotSink& sink, FlatCells flat)
{
    const long double lastDrainSample =
        static_cast<long double>(data.Divisions) * static_cast<long double>(data.DepthLimit);
    Boundary(data, sink, 0.0, static_cast<long double>(data.Divisions), true, 0.0);
    Boundary(data, sink, 0.0, lastDrainSample, false, 0.0);
    Boundary(data, sink, 1.0, lastDrainSample, false, 1.0);
    sink.BeginFamily(Family::Potential);
    Contours(data, sink, Family::Potential, flat);
    sink.BeginFamily(Family::Stream);
    Contours(data, sink, Family::Stream, flat);
}

} // namespace brelloc::test
