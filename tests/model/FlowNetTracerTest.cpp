#include "FlowField.h"
#include "FlowNetTracer.h"
#include "GeneralData.h"

#include "RecordingSink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace brelloc {
namespace {

using test::RecordingSink;
using test::SinkCall;

GeneralData Defaults()
{
    GeneralData data;
    InitDefaults(data);
    return data;
}

GeneralData Committed(std::string hl, std::string nk, std::string xmax, std::string squares)
{
    GeneralData data = Defaults();
    CommitRow(data, RowHL, hl);
    CommitRow(data, RowNK, nk);
    CommitRow(data, RowXmaxL, xmax);
    CommitRow(data, RowSquares, squares);
    UpdateDerived(data);
    return data;
}

RecordingSink Trace(const GeneralData& data)
{
    RecordingSink sink;
    FlowNetTracer::Trace(data, sink);
    return sink;
}

std::vector<int> Range(int first, int last)
{
    std::vector<int> values(static_cast<std::size_t>(last - first + 1));
    std::iota(values.begin(), values.end(), first);
    return values;
}

ModelPoint Mapped(const GeneralData& data, double xi, double eta)
{
    return {MapX(data, xi, eta), MapY(data, xi, eta)};
}

// The call sequence: three curves (BeginCurve, CurvePoint*, EndCurve), then
// BeginFamily(potential) and segments, then BeginFamily(stream) and segments.
TEST(FlowNetTracer, CallsTheSinkInItsFixedOrder)
{
    const GeneralData data = Defaults();
    const RecordingSink sink = Trace(data);
    const std::vector<SinkCall>& calls = sink.calls;

    std::string shape;
    for (const SinkCall& call : calls) {
        const char letter = "BCEFS"[call.kind];
        if (shape.empty() || shape.back() != letter || letter == 'B' || letter == 'E' ||
            letter == 'F')
            shape += letter;
    }
    EXPECT_EQ(shape, "BCEBCEBCEFSFS");

    ASSERT_EQ(calls.front().kind, SinkCall::BeginCurve);
    const std::vector<ModelPoint> starts = {{1.0, 0.0}, {1.0, 0.0}, Mapped(data, 1, 0)};
    std::vector<ModelPoint> seen;
    std::vector<Family> families;
    for (const SinkCall& call : calls) {
        if (call.kind == SinkCall::BeginCurve)
            seen.push_back(call.p);
        if (call.kind == SinkCall::BeginFamily)
            families.push_back(call.family);
    }
    EXPECT_EQ(seen, starts);
    EXPECT_EQ(families, (std::vector<Family>{Family::Potential, Family::Stream}));
}

TEST(FlowNetTracer, BoundarySamplesWithTheDefaults)
{
    const GeneralData data = Defaults();
    const RecordingSink sink = Trace(data);
    const std::vector<std::vector<int>> samples = sink.CurveSamples();
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0], Range(0, 100)); // 101 points of the free water table
    EXPECT_EQ(samples[1], Range(0, 97));  // 98 of the right drain
    EXPECT_EQ(samples[2], Range(0, 103)); // 104 of the left drain

    // Every point is the mapped sample of its edge of the strip.
    int curve = -1;
    for (const SinkCall& call : sink.calls) {
        if (call.kind == SinkCall::BeginCurve)
            ++curve;
        if (call.kind != SinkCall::CurvePoint)
            continue;
        const double t = call.k / 100.0;
        const ModelPoint expected = curve == 0   ? Mapped(data, t, 0)
                                    : curve == 1 ? Mapped(data, 0, t)
                                                 : Mapped(data, 1, t);
        EXPECT_EQ(call.p, expected) << Describe(call);
    }
}

std::vector<SinkCall> AlongTheRightDrain(const std::vector<SinkCall>& segments)
{
    std::vector<SinkCall> found;
    for (const SinkCall& s : segments)
        if (s.p.y == 0.0 && s.q.y == 0.0)
            found.push_back(s);
    return found;
}

// Level 0 runs along the right drain: every cell of column 0 inside the
// window gives the segment from its corner 1 to its corner 4. With XmaxL 40
// all 181 rows do, the last one reaching eta 1.81.
TEST(FlowNetTracer, LevelZeroRunsAlongTheRightDrainThroughEveryRow)
{
    for (const auto& [xmax, rows] : {std::pair{"3", 97}, std::pair{"40", 181}}) {
        const GeneralData data = Committed("0.2", "0.5", xmax, "10");
        const RecordingSink sink = Trace(data);
        std::vector<SinkCall> expected;
        for (int j = 0; j < rows; ++j) {
            SinkCall call;
            call.kind = SinkCall::Segment;
            call.p = Mapped(data, 0, j / 100.0);
            call.q = Mapped(data, 0, (j + 1) / 100.0);
            expected.push_back(call);
        }
        const std::vector<SinkCall> found = AlongTheRightDrain(sink.Segments(Family::Potential));
        ASSERT_EQ(found.size(), expected.size()) << "XmaxL " << xmax;
        for (std::size_t j = 0; j < found.size(); ++j)
            EXPECT_EQ(found[j], expected[j]) << "row " << j << ": " << Describe(found[j]);
        if (rows == 181) {
            EXPECT_EQ(found.back().q, Mapped(data, 0, 1.81));
        }
    }
}

// The first cell of the potential family, rebuilt from the field functions:
// corner hits before edge crossings, crossings interpolated linearly in the
// field value, levels in increasing order.
TEST(FlowNetTracer, FirstCellMatchesItsContouring)
{
    // N/k 5 makes the first cell span several potential levels.
    const GeneralData data = Committed("0.2", "5", "3", "10");
    const double xi[4] = {0.0, 0.01, 0.01, 0.0};
    const double eta[4] = {0.0, 0.0, 0.01, 0.01};
    double f[4], x[4], y[4];
    for (int m = 0; m < 4; ++m) {
        f[m] = Potential(data, xi[m], eta[m]);
        x[m] = MapX(data, xi[m], eta[m]);
        y[m] = MapY(data, xi[m], eta[m]);
    }
    std::vector<std::pair<ModelPoint, ModelPoint>> expected;
    for (int n = 0; n < 100; ++n) {
        const double level = n * data.PotentialStep;
        std::vector<ModelPoint> found;
        for (int m = 0; m < 4; ++m)
            if (f[m] == level)
                found.push_back({x[m], y[m]});
        for (int a = 0; a < 4; ++a) {
            const int b = (a + 1) % 4;
            if ((f[a] < level && level < f[b]) || (f[a] > level && level > f[b]))
                found.push_back({x[a] + (level - f[a]) * (x[b] - x[a]) / (f[b] - f[a]),
                                 y[a] + (level - f[a]) * (y[b] - y[a]) / (f[b] - f[a])});
        }
        if (found.size() >= 2)
            expected.push_back({found[0], found[1]});
    }
    ASSERT_GE(expected.size(), 3u) << "the first cell should hold level 0 and more";

    const std::vector<SinkCall> segments = Trace(data).Segments(Family::Potential);
    ASSERT_GE(segments.size(), expected.size());
    for (std::size_t s = 0; s < expected.size(); ++s) {
        EXPECT_EQ(segments[s].p, expected[s].first) << s;
        EXPECT_EQ(segments[s].q, expected[s].second) << s;
    }
}

// Stream level -25 is exactly -N/k = F1 of cell (0, 0): a single corner hit
// and no crossing, so nothing is drawn from the inner end of the right drain.
TEST(FlowNetTracer, LevelTouchingOnlyACornerEmitsNothing)
{
    const GeneralData data = Defaults();
    ASSERT_EQ(StreamFunction(data, 0, 0), -25 * data.PotentialStep);
    const ModelPoint innerEnd{1.0, 0.0};
    ASSERT_EQ(Mapped(data, 0, 0), innerEnd);
    for (const SinkCall& s : Trace(data).Segments(Family::Stream)) {
        EXPECT_FALSE(s.p == innerEnd) << Describe(s);
        EXPECT_FALSE(s.q == innerEnd) << Describe(s);
    }
}

// With H/L 0 every level is 0, so each level-0 segment comes once per level:
// 10 * Squares times running in the potential family, 20 * Squares in the
// stream family. (The stream function is 0 only at the corner (1, 0), so with
// H/L 0 the stream family draws nothing.)
TEST(FlowNetTracer, ZeroHeightRepeatsTheLevelZeroSegments)
{
    for (const char* squares : {"10", "2"}) {
        const GeneralData data = Committed("0", "0.5", "3", squares);
        ASSERT_EQ(data.PotentialStep, 0.0);
        const RecordingSink sink = Trace(data);
        for (const auto& [family, run] : {std::pair{Family::Potential, 10 * data.Squares},
                                          std::pair{Family::Stream, 20 * data.Squares}}) {
            const std::vector<SinkCall> segments = sink.Segments(family);
            if (family == Family::Potential) {
                // Only the cells along the right drain hold potential 0.
                std::size_t inside = 0;
                while (WindowTest(data, Mapped(data, 0, (inside + 1) / 100.0)))
                    ++inside;
                ASSERT_GT(inside, 90u);
                ASSERT_EQ(segments.size(), inside * run);
                EXPECT_EQ(segments.back().q, Mapped(data, 0, inside / 100.0));
            }
            ASSERT_EQ(segments.size() % static_cast<std::size_t>(run), 0u);
            for (std::size_t s = 0; s < segments.size(); ++s)
                EXPECT_EQ(segments[s], segments[s - s % run]) << "segment " << s;
            // Consecutive runs come from different cells.
            for (std::size_t s = run; s < segments.size(); s += run)
                EXPECT_FALSE(segments[s] == segments[s - run]) << "segment " << s;
        }
    }
}

// A segment whose end lies exactly on the window's edge is kept; moving the
// edge inward by the smallest step drops it whole (segments are not clipped).
// A boundary sample exactly on the edge is kept the same way.
TEST(FlowNetTracer, EndOnTheWindowEdgeIsInside)
{
    GeneralData data = Defaults();
    const ModelPoint from = Mapped(data, 0, 0.50);
    const ModelPoint to = Mapped(data, 0, 0.51);
    ASSERT_GT(to.x, from.x);
    ASSERT_GT(to.x, 1.0);

    auto kept = [&](double xmax) {
        data.XmaxL = xmax;
        const RecordingSink sink = Trace(data);
        bool segment = false;
        for (const SinkCall& s : sink.Segments(Family::Potential))
            segment = segment || (s.p == from && s.q == to);
        const std::vector<int> drain = sink.CurveSamples()[1];
        return std::pair{segment, drain.back()};
    };
    EXPECT_EQ(kept(to.x), std::pair(true, 51));
    EXPECT_EQ(kept(std::nextafter(to.x, 0.0)), std::pair(false, 50));
}

// The whole traced region lies within 40 L of the origin: nothing is dropped.
TEST(FlowNetTracer, WindowOf40KeepsEverything)
{
    const GeneralData data = Committed("0.2", "0.5", "40", "10");
    const RecordingSink sink = Trace(data);
    const std::vector<std::vector<int>> samples = sink.CurveSamples();
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0], Range(0, 100));
    EXPECT_EQ(samples[1], Range(0, 180));
    EXPECT_EQ(samples[2], Range(0, 180));

    GeneralData unbounded = data;
    unbounded.XmaxL = 1e9;
    const RecordingSink all = Trace(unbounded);
    EXPECT_EQ(sink.calls.size(), all.calls.size());
    EXPECT_TRUE(sink.calls == all.calls);
}

bool Finite(ModelPoint p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Very large values may overflow inside the interpolation; no infinity or NaN
// may reach a sink.
TEST(FlowNetTracer, HugeInputsGiveOnlyFiniteCoordinates)
{
    const char* big = "1e300";
    const GeneralData cases[] = {
        Committed(big, "0.5", "3", "10"),  Committed("0.2", big, "3", "10"),
        Committed("0.2", "0.5", big, "10"), Committed(big, big, big, "20"),
        Committed(big, big, big, "2"),      Committed(big, "0", big, "10"),
    };
    for (const GeneralData& data : cases) {
        const RecordingSink sink = Trace(data);
        std::size_t checked = 0;
        for (const SinkCall& call : sink.calls) {
            if (call.kind == SinkCall::BeginCurve || call.kind == SinkCall::CurvePoint) {
                EXPECT_TRUE(Finite(call.p)) << Describe(call);
            }
            if (call.kind == SinkCall::Segment) {
                EXPECT_TRUE(Finite(call.p) && Finite(call.q)) << Describe(call);
            }
            ++checked;
        }
        EXPECT_GT(checked, 6u);
    }
}

TEST(FlowNetTracer, WindowTestBoundsAndNonFinitePoints)
{
    GeneralData data = Defaults();
    EXPECT_TRUE(WindowTest(data, 3.0, -3.0));
    EXPECT_TRUE(WindowTest(data, -3.0, 3.0));
    EXPECT_FALSE(WindowTest(data, std::nextafter(3.0, 4.0), 0.0));
    EXPECT_FALSE(WindowTest(data, 0.0, -std::nextafter(3.0, 4.0)));
    EXPECT_FALSE(WindowTest(data, NAN, 0.0));
    EXPECT_FALSE(WindowTest(data, 0.0, NAN));
    data.XmaxL = 1e308;
    EXPECT_FALSE(WindowTest(data, INFINITY, 0.0));
    EXPECT_FALSE(WindowTest(data, 0.0, -INFINITY));
    EXPECT_TRUE(WindowTest(data, -1e308, 1e308));
}

} // namespace
} // namespace brelloc
