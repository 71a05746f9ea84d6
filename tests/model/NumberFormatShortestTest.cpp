#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace brelloc {
namespace {

std::string ToChars(double value)
{
    char buffer[64];
    const std::to_chars_result end = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end.ptr);
}

double FromBits(std::uint64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The printf search stands in for to_chars where the standard library has
// none: it must give the very same text.
TEST(NumberFormatShortestTest, PrintfSearchGivesToCharsText)
{
    std::vector<double> values = {0.0, -0.0, 0.1, 0.2, 0.3, 1.0 / 3.0, 0.0001, 0.001, 1e-5,
                                  1e-7, 123456.0, 1e15, 1e16, 1e17, 1e21, 1e22, 1e23,
                                  123456789012345680000.0, 9007199254740993.0, 5e-324,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::min(), 0.19851299028753205,
                                  0.3726760455264837, -0.17344834559801825, 0.400743504856234};
    // Every power of two and of ten with its neighbours: where the interval
    // of values that read back is lopsided, and where the digit count steps.
    for (int exponent = -1074; exponent <= 1023; ++exponent) {
        const double power = std::ldexp(1.0, exponent);
        values.insert(values.end(), {power, std::nextafter(power, 0.0),
                                     std::nextafter(power, HUGE_VAL)});
    }
    for (int exponent = -323; exponent <= 308; ++exponent) {
        const double power = std::pow(10.0, exponent);
        values.insert(values.end(), {power, std::nextafter(power, 0.0),
                                     std::nextafter(power, HUGE_VAL)});
    }
    std::mt19937_64 random(1234567);
    for (int n = 0; n < 100000; ++n) {
        const double value = FromBits(random());
        if (std::isfinite(value))
            values.push_back(value);
    }
    std::uniform_real_distribution<double> unit(-3.0, 3.0);
    for (int n = 0; n < 100000; ++n)
        values.push_back(unit(random));
    for (int n = 0; n < 20000; ++n) // short decimals
        values.push_back(static_cast<double>(static_cast<int>(random() % 200001) - 100000) /
                         std::pow(10.0, static_cast<int>(random() % 12)));

    int failures = 0;
    for (double value : values) {
        const std::string expected = ToChars(value);
        if (FormatShortestByPrintf(value) != expected && ++failures <= 10)
            ADD_FAILURE() << "to_chars " << expected << ", printf search "
                          << FormatShortestByPrintf(value);
        if (FormatShortest(value) != expected && ++failures <= 10)
            ADD_FAILURE() << "FormatShortest differs for " << expected;
    }
    EXPECT_EQ(failures, 0) << "of " << values.size() << " values";
}

} // namespace
} // namespace brelloc
