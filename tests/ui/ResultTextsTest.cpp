// The texts of the results block and of the probe reading.
#include "ResultTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace brelloc {
namespace {

struct NumberCase {
    double value;
    const char* text;
};

TEST(ResultNumberTest, ThreeDecimalsOrExponentForm)
{
    const NumberCase cases[] = {
        {0.2, "0.200"},
        {-0.17344834559801825, "-0.173"},
        {0.0005, "0.001"},           // 0.0005 is stored a hair above
        {-0.0004, "0.000"},          // no minus sign on a zero
        {-0.0, "0.000"},
        {12.3456, "12.346"},
        {9999.9994, "9999.999"},
        {-9999.9994, "-9999.999"},
        {9999.9996, "1.00e+04"},     // five whole digits once rounded
        {10000.0, "1.00e+04"},
        {-123456.7, "-1.23e+05"},
        {392306382617.52545, "3.92e+11"},
        {-2.5e-7, "0.000"},
        {-9.994e99, "-9.99e+99"},
        {-1.7e200, "-2e+200"},        // one digit beside a three-digit exponent
        {1e100, "1e+100"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::nan(""), "nan"},
    };
    for (const NumberCase& c : cases)
        EXPECT_EQ(ResultNumber(c.value), c.text) << c.value;
}

TEST(ResultRowsTest, PointsValuesAndWordsForMissingOnes)
{
    FlowResults results;
    results.waterTableTop = {0.3726760455264837, 0.35815037389042254};
    results.stagnationAt = ParameterPoint{1.0, 0.2};
    results.stagnationPoint = ModelPoint{-0.17344834559801825, 0.2};
    results.divide = ModelPoint{0.19851299028753205, 0.34064375522119805};
    results.infiltrationToLeftDrain = 0.09925649514376603;
    results.infiltrationToRightDrain = 0.400743504856234;

    auto rows = ResultRows(results);
    EXPECT_STREQ(rows[0].label, "Divide x/L, y/L");
    EXPECT_EQ(rows[0].first, "0.199");
    EXPECT_EQ(rows[0].second, "0.341");
    EXPECT_STREQ(rows[1].label, "Stagnation x/L, y/L");
    EXPECT_EQ(rows[1].first, "-0.173");
    EXPECT_EQ(rows[1].second, "0.200");
    EXPECT_STREQ(rows[2].label, "Water-table top x/L, y/L");
    EXPECT_EQ(rows[2].first, "0.373");
    EXPECT_EQ(rows[2].second, "0.358");
    EXPECT_STREQ(rows[3].label, "Infiltration left, right");
    EXPECT_EQ(rows[3].first, "0.099");
    EXPECT_EQ(rows[3].second, "0.401");

    // No divide and no stagnation point at all.
    results.divide.reset();
    results.stagnationPoint.reset();
    results.stagnationAt.reset();
    rows = ResultRows(results);
    EXPECT_EQ(rows[0].first, kNoneText);
    EXPECT_EQ(rows[0].second, "");
    EXPECT_EQ(rows[1].first, kNoneText);
    EXPECT_EQ(rows[1].second, "");

    // A stagnation point that exists but lies beyond the range of a double.
    results.stagnationAt = ParameterPoint{1.0, 300.0};
    rows = ResultRows(results);
    EXPECT_EQ(rows[1].first, kOffScaleText);
    EXPECT_EQ(rows[1].second, "");
}

TEST(ProbeReadingTest, ValuesOrOutside)
{
    ProbeValues values;
    values.point = {0.5124, -0.2311};
    values.head = 0.1664;
    values.pressureHead = 0.3974;
    values.streamFunction = -0.1861;
    values.specificDischarge = {0.123, -0.164}; // magnitude 0.205
    EXPECT_EQ(ProbeReading(values.point, values),
              "x/L 0.512  y/L -0.231  h/L 0.166  (h-y)/L 0.397  psi/kL -0.186  q/k 0.205");
    EXPECT_EQ(ProbeReading({0.5124, 0.9}, std::nullopt), "x/L 0.512  y/L 0.900  outside the flow region");
}

} // namespace
} // namespace brelloc
