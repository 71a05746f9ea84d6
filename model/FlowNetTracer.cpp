#include "FlowNetTracer.h"

#include "FlowField.h"

#include <cmath>

namespace brelloc {

namespace {

// Divisions * DepthLimit with a 64-bit mantissa: 180.0000000000000044, so
// "k <= bound" admits sample 180 and "j < bound" admits row 180.
long double DepthBound(const GeneralData& data)
{
    return static_cast<long double>(data.Divisions) * static_cast<long double>(data.DepthLimit);
}

enum class Edge { WaterTable, RightDrain, LeftDrain };

void TraceBoundary(const GeneralData& data, PlotSink& sink, Edge edge)
{
    const double fixedXi = edge == Edge::LeftDrain ? 1.0 : 0.0;
    const int lastSample = edge == Edge::WaterTable ? data.Divisions : LastDrainSample(data);
    const double divisions = static_cast<double>(data.Divisions);

    sink.BeginCurve({MapX(data, fixedXi, 0.0), MapY(data, fixedXi, 0.0)});
    for (int k = 0; k <= lastSample; ++k) {
        const double t = static_cast<double>(k) / divisions;
        const double xi = edge == Edge::WaterTable ? t : fixedXi;
        const double eta = edge == Edge::WaterTable ? 0.0 : t;
        const double x = MapX(data, xi, eta);
        const double y = MapY(data, xi, eta);
        if (WindowTest(data, x, y))
            sink.CurvePoint(k, {x, y});
    }
    sink.EndCurve();
}

double FieldValue(const GeneralData& data, Family family, double xi, double eta)
{
    return family == Family::Potential ? Potential(data, xi, eta) : StreamFunction(data, xi, eta);
}

void TraceFamily(const GeneralData& data, PlotSink& sink, Family family)
{
    const double divisions = static_cast<double>(data.Divisions);
    const int rows = CellRows(data);
    const int firstLevel = FirstLevel(data, family);
    const int lastLevel = LastLevel(data, family);

    for (int i = 0; i < data.Divisions; ++i) {
        for (int j = 0; j < rows; ++j) {
            // Corners counter-clockwise: 1 (i, j), 2 (i+1, j), 3 (i+1, j+1), 4 (i, j+1).
            const double xiLeft = static_cast<double>(i) / divisions;
            const double xiRight = static_cast<double>(i + 1) / divisions;
            const double etaLow = static_cast<double>(j) / divisions;
            const double etaHigh = static_cast<double>(j + 1) / divisions;
            const double cornerXi[4] = {xiLeft, xiRight, xiRight, xiLeft};
            const double cornerEta[4] = {etaLow, etaLow, etaHigh, etaHigh};

            double f[4], x[4], y[4];
            for (int m = 0; m < 4; ++m)
                f[m] = FieldValue(data, family, cornerXi[m], cornerEta[m]);
            for (int m = 0; m < 4; ++m)
                x[m] = MapX(data, cornerXi[m], cornerEta[m]);
            for (int m = 0; m < 4; ++m)
                y[m] = MapY(data, cornerXi[m], cornerEta[m]);

            for (int n = firstLevel; n <= lastLevel; ++n) {
                const double level = static_cast<double>(n) * data.PotentialStep;
                ModelPoint candidate[2];
                int count = 0;
                for (int m = 0; m < 4 && count < 2; ++m) {
                    if (f[m] == level)
                        candidate[count++] = {x[m], y[m]};
                }
                for (int a = 0; a < 4 && count < 2; ++a) {
                    const int b = (a + 1) % 4;
                    if ((f[a] < level && level < f[b]) || (f[a] > level && level > f[b])) {
                        const double df = f[b] - f[a];
                        candidate[count++] = {x[a] + (level - f[a]) * (x[b] - x[a]) / df,
                                              y[a] + (level - f[a]) * (y[b] - y[a]) / df};
                    }
                }
                if (count == 2 && WindowTest(data, candidate[0]) && WindowTest(data, candidate[1]))
                    sink.Segment(candidate[0], candidate[1]);
            }
        }
    }
}

} // namespace

bool WindowTest(const GeneralData& data, double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return false;
    return !(std::fabs(x) > data.XmaxL) && !(std::fabs(y) > data.XmaxL);
}

int LastDrainSample(const GeneralData& data)
{
    return static_cast<int>(std::floor(DepthBound(data)));
}

int CellRows(const GeneralData& data)
{
    // Rows j with j < bound: one more than the largest integer below it.
    const long double bound = DepthBound(data);
    const long double whole = std::floor(bound);
    return static_cast<int>(whole) + (whole < bound ? 1 : 0);
}

int FirstLevel(const GeneralData& data, Family family)
{
    return family == Family::Potential ? 0 : -10 * data.Squares;
}

int LastLevel(const GeneralData& data, Family family)
{
    (void)family;
    return 10 * data.Squares - 1;
}

void FlowNetTracer::Trace(const GeneralData& data, PlotSink& sink)
{
    TraceBoundary(data, sink, Edge::WaterTable);
    TraceBoundary(data, sink, Edge::RightDrain);
    TraceBoundary(data, sink, Edge::LeftDrain);
    sink.BeginFamily(Family::Potential);
    TraceFamily(data, sink, Family::Potential);
    sink.BeginFamily(Family::Stream);
    TraceFamily(data, sink, Family::Stream);
}

} // namespace brelloc
