#include "ResultsJson.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

namespace brelloc {
namespace {

// Every finite double reads back exactly and is never longer than the
// 17 significant digits that always suffice.
TEST(ResultsJson, NumbersAreShortestRoundTrip)
{
    std::mt19937_64 random(20261211);
    std::uniform_int_distribution<std::uint64_t> bits;
    int checked = 0;
    for (int k = 0; k < 20000; ++k) {
        double value = 0;
        const std::uint64_t b = bits(random);
        std::memcpy(&value, &b, sizeof value);
        if (!std::isfinite(value))
            continue;
        ++checked;
        const std::string text = JsonNumber(value);
        double back = 0;
        const std::from_chars_result read =
            std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(read.ptr, text.data() + text.size()) << text;
        EXPECT_EQ(back, value) << text;
        char longest[40];
        std::snprintf(longest, sizeof longest, "%.17g", value);
        EXPECT_LE(text.size(), std::strlen(longest)) << text;
    }
    EXPECT_GT(checked, 19000);
    EXPECT_EQ(JsonNumber(0.2), "0.2");
    EXPECT_EQ(JsonNumber(-0.0), "0");
    EXPECT_EQ(JsonNumber(1e300), "1e+300");
    EXPECT_EQ(JsonNumber(NAN), "null");
    EXPECT_EQ(JsonNumber(-INFINITY), "null");
}

TEST(ResultsJson, KeysInOrderAndNullWhereAQuantityIsMissing)
{
    GeneralData data;
    InitDefaults(data);
    FlowResults results;
    results.waterTableTop = {0.25, 0.5};
    results.divide = ModelPoint{0.125, 0.75};
    results.infiltrationToLeftDrain = 1.5;
    results.infiltrationToRightDrain = -2;
    EXPECT_EQ(ResultsJson(data, results),
              "{\"hl\": 0.2, \"nk\": 0.5,\n"
              " \"water_table_top\": {\"x\": 0.25, \"y\": 0.5},\n"
              " \"stagnation_point\": null,\n"
              " \"divide\": {\"x\": 0.125, \"y\": 0.75},\n"
              " \"infiltration_to_left_drain\": 1.5,\n"
              " \"infiltration_to_right_drain\": -2}\n");

    ProbeValues inside;
    inside.point = {1, -2};
    inside.head = 0.5;
    inside.pressureHead = 2.5;
    inside.streamFunction = -0.25;
    inside.specificDischarge = {0.125, -4};
    const std::vector<std::optional<ProbeValues>> probes = {inside, std::nullopt};
    const std::string json = ResultsJson(data, results, &probes);
    EXPECT_NE(json.find(",\n \"probes\": [\n"
                        "  {\"x\": 1, \"y\": -2, \"head\": 0.5, \"stream_function\": -0.25, "
                        "\"pressure_head\": 2.5, \"specific_discharge\": {\"x\": 0.125, \"y\": -4}},\n"
                        "  null\n ]}\n"),
              std::string::npos)
        << json;

    const std::vector<std::optional<ProbeValues>> none;
    const std::string empty = ResultsJson(data, results, &none);
    EXPECT_NE(empty.find("\"probes\": []}\n"), std::string::npos) << empty;
}

// The computing form gives the same text as the results and probes it finds.
TEST(ResultsJson, ComputesTheResultsAndProbesOfTheData)
{
    GeneralData data;
    InitDefaults(data);
    const std::vector<ModelPoint> points = {{0.5, -1}, {0.5, 5}};
    const FlowProbe probe(data);
    const std::vector<std::optional<ProbeValues>> probes = {probe.At(points[0]),
                                                            probe.At(points[1])};
    ASSERT_TRUE(probes[0]);
    ASSERT_FALSE(probes[1]);
    EXPECT_EQ(ResultsJson(data, points), ResultsJson(data, ComputeResults(data), &probes));
    EXPECT_EQ(ResultsJson(data), ResultsJson(data, ComputeResults(data)));
}

} // namespace
} // namespace brelloc
