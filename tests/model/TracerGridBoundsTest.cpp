#include "FlowNetTracer.h"
#include "GeneralData.h"

#include <gtest/gtest.h>

namespace brelloc {
namespace {

// The sample and row counts follow the exact product Divisions * DepthLimit,
// whatever precision long double has on the platform.
struct BoundsCase {
    int divisions;
    double depthLimit;
    int lastDrainSample;
    int cellRows;
};

class TracerGridBoundsTest : public ::testing::TestWithParam<BoundsCase> {};

TEST_P(TracerGridBoundsTest, CountsFollowTheExactProduct)
{
    GeneralData data;
    InitDefaults(data);
    data.Divisions = GetParam().divisions;
    data.DepthLimit = GetParam().depthLimit;
    EXPECT_EQ(LastDrainSample(data), GetParam().lastDrainSample);
    EXPECT_EQ(CellRows(data), GetParam().cellRows);
    // Only the program's own grid has tables; any other goes the slow way.
    EXPECT_EQ(UsesGridTables(data), GetParam().divisions == 100 &&
                                         GetParam().lastDrainSample == 180 &&
                                         GetParam().cellRows == 181);
}

// The program's grid takes the fast path: a grid size that sent every trace
// down the slow one would still draw the same net, only far more slowly.
TEST(TracerGridTables, TheProgramsGridUsesThem)
{
    GeneralData data;
    InitDefaults(data);
    EXPECT_TRUE(UsesGridTables(data));
    for (const double hl : {0.0, 0.2, 2.0}) {
        data.HL = hl;
        UpdateDerived(data);
        EXPECT_TRUE(UsesGridTables(data)) << "H/L " << hl;
    }
    data.Divisions = 101;
    EXPECT_FALSE(UsesGridTables(data));
}

INSTANTIATE_TEST_SUITE_P(
    Products, TracerGridBoundsTest,
    ::testing::Values(
        // 1.8 is stored a little above 1.8: the product lies just above 180,
        // so sample 180 is drawn and a 181st row of cells is traced.
        BoundsCase{100, 1.8, 180, 181}, BoundsCase{10, 1.8, 18, 19},
        // 1.75 is exact: the product is a whole number, not exceeded.
        BoundsCase{100, 1.75, 175, 175},
        // 1.7 is stored a little below 1.7: the product stays under 170.
        BoundsCase{100, 1.7, 169, 170}, BoundsCase{100, 0.5, 50, 50}));

} // namespace
} // namespace brelloc
