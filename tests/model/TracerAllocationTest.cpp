// The trace allocates nothing: every table it keeps lives on its stack. This
// program replaces the global operator new to count allocations while a trace
// runs.
#include "FlowNetTracer.h"
#include "GeneralData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <vector>

namespace {

bool counting = false;
long allocations = 0;

void* Allocate(std::size_t size)
{
    if (counting)
        ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace brelloc {
namespace {

// Counts the segments and allocates nothing itself.
class CountingSink : public PlotSink {
public:
    void BeginCurve(ModelPoint) override {}
    void CurvePoint(int, ModelPoint) override {}
    void EndCurve() override {}
    void BeginFamily(Family) override {}
    void Segment(ModelPoint, ModelPoint) override { ++segments; }
    long segments = 0;
};

template <class Work>
long AllocationsDuring(Work work)
{
    allocations = 0;
    counting = true;
    work();
    counting = false;
    return allocations;
}

TEST(TracerAllocationTest, CountingSeesAnAllocation)
{
    // Without this the test below could pass with the counter never hooked in.
    const long seen = AllocationsDuring([] { std::make_unique<std::vector<int>>(100)->at(0) = 1; });
    EXPECT_GE(seen, 2);
}

struct Case {
    double hl;
    double xmaxL;
    int squares;
    int divisions;
};

class TracerAllocationCaseTest : public ::testing::TestWithParam<Case> {};

TEST_P(TracerAllocationCaseTest, TraceAllocatesNothing)
{
    GeneralData data;
    InitDefaults(data);
    data.HL = GetParam().hl;
    data.XmaxL = GetParam().xmaxL;
    data.Squares = GetParam().squares;
    data.Divisions = GetParam().divisions;
    UpdateDerived(data);
    CountingSink sink;
    EXPECT_EQ(AllocationsDuring([&] { FlowNetTracer::Trace(data, sink); }), 0);
    EXPECT_GT(sink.segments, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, TracerAllocationCaseTest,
    ::testing::Values(Case{0.2, 3.0, 10, 100},   // defaults
                      Case{0.2, 40.0, 20, 100},  // every cell in the window
                      Case{0.0, 3.0, 10, 100},   // zero interval
                      Case{-0.3, 3.0, 10, 100},  // every level tested
                      Case{0.2, 3.0, 10, 20}));  // another grid

} // namespace
} // namespace brelloc
