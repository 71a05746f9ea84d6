#include "FlowField.h"
#include "FlowNetTracer.h"
#include "GeneralData.h"
#include "LiteralFlowNetTracer.h"
#include "RecordingSink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace brelloc {
namespace {

using test::Describe;
using test::FlatCells;
using test::LiteralFlowNetTracer;
using test::RecordingSink;
using test::SinkCall;

std::uint64_t Bits(double v)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// Equal down to the last bit, so -0 differs from 0 and a NaN pattern counts.
bool SameBits(const SinkCall& a, const SinkCall& b)
{
    return a.kind == b.kind && a.k == b.k && a.family == b.family && Bits(a.p.x) == Bits(b.p.x) &&
           Bits(a.p.y) == Bits(b.p.y) && Bits(a.q.x) == Bits(b.q.x) &&
           Bits(a.q.y) == Bits(b.q.y);
}

struct ParameterSet {
    const char* name;
    double hl;
    double nk;
    double xmaxL;
    int squares;
    int divisions = 100;     // the program's grid unless a case says otherwise
    bool expectSegments = true; // the case is only worth its name if segments come out
    // The case has cells whose four corner values equal a level, so that the
    // program's one departure from the literal loops changes its call log.
    bool flatCells = false;
};

void PrintTo(const ParameterSet& set, std::ostream* out)
{
    *out << set.name;
}

GeneralData DataFor(const ParameterSet& set)
{
    GeneralData data;
    InitDefaults(data);
    data.HL = set.hl;
    data.NK = set.nk;
    data.XmaxL = set.xmaxL;
    data.Squares = set.squares;
    data.Divisions = set.divisions;
    UpdateDerived(data);
    return data;
}

std::size_t CountSegments(const std::vector<SinkCall>& calls)
{
    std::size_t count = 0;
    for (const SinkCall& call : calls)
        count += call.kind == SinkCall::Segment ? 1 : 0;
    return count;
}

class TracerEquivalenceTest : public ::testing::TestWithParam<ParameterSet> {};

TEST_P(TracerEquivalenceTest, SameCallsWithBitIdenticalPoints)
{
    const GeneralData data = DataFor(GetParam());
    RecordingSink literal;
    RecordingSink production;
    LiteralFlowNetTracer::Trace(data, literal, FlatCells::Skip);
    FlowNetTracer::Trace(data, production);

    if (GetParam().expectSegments) {
        ASSERT_GT(CountSegments(literal.calls), 0u) << "the case traces no segment at all";
    }

    const std::size_t common = std::min(literal.calls.size(), production.calls.size());
    for (std::size_t n = 0; n < common; ++n) {
        ASSERT_TRUE(SameBits(literal.calls[n], production.calls[n]))
            << "first difference at call " << n << " of " << literal.calls.size()
            << "\n  literal:    " << Describe(literal.calls[n])
            << "\n  production: " << Describe(production.calls[n]);
    }
    ASSERT_EQ(literal.calls.size(), production.calls.size())
        << "one log is a prefix of the other; next call: "
        << Describe(literal.calls.size() > common ? literal.calls[common]
                                                  : production.calls[common]);
}

// Takes the calls of one trace and matches them, in order, against the log
// of another: a call that is not the next expected one must be a segment,
// which the other trace left out.
class LeftOutSegments : public PlotSink {
public:
    explicit LeftOutSegments(const std::vector<SinkCall>& expected) : expected_(expected) {}

    void BeginCurve(ModelPoint p0) override
    {
        SinkCall call;
        call.kind = SinkCall::BeginCurve;
        call.p = p0;
        Take(call);
    }
    void CurvePoint(int k, ModelPoint p) override
    {
        SinkCall call;
        call.kind = SinkCall::CurvePoint;
        call.k = k;
        call.p = p;
        Take(call);
    }
    void EndCurve() override
    {
        SinkCall call;
        call.kind = SinkCall::EndCurve;
        Take(call);
    }
    void BeginFamily(Family family) override
    {
        SinkCall call;
        call.kind = SinkCall::BeginFamily;
        call.family = family;
        Take(call);
    }
    void Segment(ModelPoint p, ModelPoint q) override
    {
        SinkCall call;
        call.kind = SinkCall::Segment;
        call.p = p;
        call.q = q;
        Take(call);
    }

    std::size_t Matched() const { return next_; }
    long LeftOut() const { return leftOut_; }
    long Strays() const { return strays_; }
    const std::string& FirstStray() const { return firstStray_; }

private:
    void Take(const SinkCall& call)
    {
        if (next_ < expected_.size() && SameBits(call, expected_[next_])) {
            ++next_;
        } else if (call.kind == SinkCall::Segment) {
            ++leftOut_;
        } else {
            if (strays_++ == 0)
                firstStray_ = Describe(call) + " where the other log has call " +
                              std::to_string(next_);
        }
    }

    const std::vector<SinkCall>& expected_;
    std::size_t next_ = 0;
    long leftOut_ = 0;
    long strays_ = 0;
    std::string firstStray_;
};

// The literal loops with and without the rule for flat cells: the logs are
// the same call for call except in the cases with flat cells, where the rule
// only leaves segments out.
class FlatCellRuleTest : public ::testing::TestWithParam<ParameterSet> {};

TEST_P(FlatCellRuleTest, ChangesOnlyTheCasesWithFlatCells)
{
    const GeneralData data = DataFor(GetParam());
    RecordingSink withRule;
    LiteralFlowNetTracer::Trace(data, withRule, FlatCells::Skip);
    LeftOutSegments withoutRule(withRule.calls);
    LiteralFlowNetTracer::Trace(data, withoutRule, FlatCells::Emit);

    EXPECT_EQ(withoutRule.Strays(), 0) << "first: " << withoutRule.FirstStray();
    EXPECT_EQ(withoutRule.Matched(), withRule.calls.size());
    if (GetParam().flatCells)
        EXPECT_GT(withoutRule.LeftOut(), 0) << "the rule left nothing out";
    else
        EXPECT_EQ(withoutRule.LeftOut(), 0) << "the rule changed a case without flat cells";
}

// With no flow at all every cell is flat: the net is the three boundaries.
TEST(NoFlowTrace, DrawsOnlyTheBoundaries)
{
    for (const double xmaxL : {1.0, 3.0, 40.0}) {
        GeneralData data;
        InitDefaults(data);
        data.HL = 0.0;
        data.NK = 0.0;
        data.XmaxL = xmaxL;
        UpdateDerived(data);
        ASSERT_TRUE(HasNoFlow(data));
        RecordingSink production;
        FlowNetTracer::Trace(data, production);
        int curves = 0, families = 0;
        for (const SinkCall& call : production.calls) {
            curves += call.kind == SinkCall::EndCurve ? 1 : 0;
            families += call.kind == SinkCall::BeginFamily ? 1 : 0;
        }
        EXPECT_EQ(curves, 3) << "Xmax/L " << xmaxL;
        EXPECT_EQ(families, 2) << "Xmax/L " << xmaxL;
        EXPECT_EQ(CountSegments(production.calls), 0u) << "Xmax/L " << xmaxL;
        EXPECT_EQ(production.CurveSamples().at(0).size(), 101u) << "Xmax/L " << xmaxL;
    }
}

constexpr double kHuge = 1e300;

const ParameterSet kSets[] = {
    {"Defaults", 0.2, 0.5, 3.0, 10},
    {"NoHeadDifference", 0.0, 0.5, 3.0, 10},
    {"NoHeadDifferenceWideWindow", 0.0, 0.5, 40.0, 20},
    {"NoInfiltration", 0.2, 0.0, 3.0, 10},
    {"SmallestWindow", 0.2, 0.5, 1.0, 10},
    {"WholeRegionInWindow", 0.2, 0.5, 40.0, 10},
    {"TwoSquares", 0.2, 0.5, 3.0, 2},
    {"TwentySquares", 0.2, 0.5, 3.0, 20},
    {"WorstCase", 0.2, 0.5, 40.0, 20},
    {"SteepShallowSmall", 2.0, 0.5, 1.0, 10},
    {"Large", 50.0, 30.0, 100.0, 10},
    {"Extreme", kHuge, kHuge, kHuge, 10, 100, false},
    {"ExtremeHeadOnly", kHuge, 0.5, 3.0, 20, 100, false},
    {"ExtremeWindowOnly", 0.2, 0.5, kHuge, 10},
    {"Irregular", 0.137, 1.91, 2.3, 7},
    {"IrregularWide", 0.731, 0.0421, 17.5, 13},
    {"IrregularSteep", 3.3, 7.7, 9.1, 3},
    // Without infiltration the potential is HL * xi and the stream function
    // HL * eta: many levels n * HL / Squares meet grid corners exactly, some
    // run along whole cell edges, and cells see three or four candidates.
    {"CornerHitsHalves", 1.0, 0.0, 40.0, 10},
    {"CornerHitsPowerOfTwo", 2.0, 0.0, 40.0, 16},
    {"CornerHitsQuarter", 0.25, 0.0, 3.0, 5},
    {"CornerHitsFifths", 0.4, 0.0, 2.0, 20},
    // Values the grid never admits, which the tracer must still survive
    // without a single difference.
    {"NegativeHead", -0.3, 0.5, 3.0, 10},
    // A negative interval takes the path that tests every level, down to the
    // last one.
    {"NegativeHeadTwoSquares", -0.01, 0.5, 3.0, 2},
    {"SubnormalHead", 1e-310, 0.5, 3.0, 10},
    {"NotANumberHead", std::numeric_limits<double>::quiet_NaN(), 0.5, 3.0, 10, 100, false},
    // A grid other than the program's 100 divisions takes the general path.
    {"CoarseGrid", 0.2, 0.5, 3.0, 10, 20},
    {"CoarseGridNoHead", 0.0, 0.5, 40.0, 4, 7},
    // No flow at all: the field is 0 everywhere, every cell is flat on every
    // level, and only here does the rule for flat cells change the log.
    {"NoFlow", 0.0, 0.0, 3.0, 10, 100, false, true},
    {"NoFlowSmallWindowTwoSquares", 0.0, 0.0, 1.0, 2, 100, false, true},
    {"NoFlowFiveSquares", 0.0, 0.0, 10.0, 5, 100, false, true},
    {"NoFlowWorstCase", 0.0, 0.0, 40.0, 20, 100, false, true},
    {"NoFlowCoarseGrid", 0.0, 0.0, 3.0, 10, 20, false, true},
};

INSTANTIATE_TEST_SUITE_P(ParameterTable, TracerEquivalenceTest, ::testing::ValuesIn(kSets),
                         [](const ::testing::TestParamInfo<ParameterSet>& info) {
                             return std::string(info.param.name);
                         });
INSTANTIATE_TEST_SUITE_P(ParameterTable, FlatCellRuleTest, ::testing::ValuesIn(kSets),
                         [](const ::testing::TestParamInfo<ParameterSet>& info) {
                             return std::string(info.param.name);
                         });

// Parameter sets drawn at random (fixed seed) over many decades, so the level
// bounds and the window skipping meet values no one thought of listing.
// Drawn once: the names live as long as the program.
std::vector<ParameterSet> DrawRandomSets()
{
    constexpr int kCount = 40;
    static std::vector<std::string> names;
    std::vector<ParameterSet> sets;
    std::mt19937_64 random(1811);
    std::uniform_real_distribution<double> decade(-3.0, 2.0);
    std::uniform_real_distribution<double> windowDecade(0.0, 2.5);
    std::uniform_int_distribution<int> squares(2, 20);
    std::uniform_int_distribution<int> zero(0, 9);
    for (int n = 0; n < kCount; ++n)
        names.push_back("Random" + std::to_string(n));
    for (int n = 0; n < kCount; ++n) {
        ParameterSet set{names[static_cast<std::size_t>(n)].c_str(), 0.0, 0.0, 1.0, 10};
        set.hl = zero(random) == 0 ? 0.0 : std::pow(10.0, decade(random));
        set.nk = zero(random) == 0 ? 0.0 : std::pow(10.0, decade(random));
        set.xmaxL = std::pow(10.0, windowDecade(random));
        set.squares = squares(random);
        set.expectSegments = false;
        set.flatCells = set.hl == 0.0 && set.nk == 0.0;
        sets.push_back(set);
    }
    return sets;
}

const std::vector<ParameterSet>& RandomSets()
{
    static const std::vector<ParameterSet> sets = DrawRandomSets();
    return sets;
}

INSTANTIATE_TEST_SUITE_P(RandomSets, TracerEquivalenceTest, ::testing::ValuesIn(RandomSets()),
                         [](const ::testing::TestParamInfo<ParameterSet>& info) {
                             return std::string(info.param.name);
                         });
INSTANTIATE_TEST_SUITE_P(RandomSets, FlatCellRuleTest, ::testing::ValuesIn(RandomSets()),
                         [](const ::testing::TestParamInfo<ParameterSet>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace brelloc
