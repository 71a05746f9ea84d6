#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace brelloc {
namespace {

// What printf writes, in the C locale (the test program never changes it).
std::string Printf(double value, const char* format)
{
    char buffer[512];
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string Formatted(double value, int width, int precision)
{
    char buffer[512];
    const std::size_t length = FormatFixedTo(buffer, sizeof buffer, value, width, precision);
    return std::string(buffer, length);
}

// Values at and a few units in the last place around every "x.x5" of the
// PicTeX range, where rounding to one decimal is decided.
std::vector<double> RoundingBoundaries()
{
    std::vector<double> values;
    for (int twentieth = -6100; twentieth <= 6100; ++twentieth) {
        double v = twentieth / 20.0;
        for (int step = 0; step < 3; ++step)
            v = std::nextafter(v, -1e300);
        for (int step = 0; step < 7; ++step) {
            values.push_back(v);
            v = std::nextafter(v, 1e300);
        }
    }
    return values;
}

TEST(NumberFormatPrintfTest, PicTeXNumbersMatchPrintfByteForByte)
{
    std::vector<double> values = {-0.05, 0.05, 0.25, -0.25, 0.35, -0.0, 0.0, 299.95, -299.95,
                                  0.15, 2.5, 1e-300, -1e-300, 300.0, -300.0, 99999.95,
                                  std::numeric_limits<double>::denorm_min(), 1234567.85,
                                  4.5e14, -4.5e14, 9.007199254740993e15, 1e20, -1e300,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity()};
    const std::vector<double> boundaries = RoundingBoundaries();
    values.insert(values.end(), boundaries.begin(), boundaries.end());
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> pictexRange(-300.0, 300.0);
    for (int n = 0; n < 200000; ++n)
        values.push_back(pictexRange(random));
    std::uniform_real_distribution<double> wide(-1e16, 1e16);
    for (int n = 0; n < 20000; ++n)
        values.push_back(wide(random));

    int failures = 0;
    for (double value : values) {
        const std::string expected = Printf(value, "%6.1f");
        const std::string actual = Formatted(value, 6, 1);
        if (actual != expected && ++failures <= 10) {
            ADD_FAILURE() << "value " << Printf(value, "%.17g") << ": printf \"" << expected
                          << "\", FormatFixedTo \"" << actual << "\"";
        }
    }
    EXPECT_EQ(failures, 0) << "of " << values.size() << " values";
}

// The other formats the program writes keep printf's text as well.
TEST(NumberFormatPrintfTest, OtherWidthsAndPrecisionsMatchPrintf)
{
    struct Format {
        int width;
        int precision;
        const char* printf;
    };
    const Format formats[] = {{12, 3, "%12.3f"}, {5, 3, "%5.3f"}, {8, 1, "%8.1f"}, {1, 1, "%1.1f"}};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> range(-1000.0, 1000.0);
    for (const Format& format : formats) {
        for (int n = 0; n < 20000; ++n) {
            const double value = range(random);
            ASSERT_EQ(Formatted(value, format.width, format.precision), Printf(value, format.printf))
                << format.printf << " of " << Printf(value, "%.17g");
        }
    }
}

TEST(NumberFormatPrintfTest, TooSmallABufferWritesNothing)
{
    char buffer[5];
    EXPECT_EQ(FormatFixedTo(buffer, sizeof buffer, 123.45, 6, 1), 0u);
    EXPECT_EQ(FormatFixedTo(buffer, sizeof buffer, -1234.5, 1, 1), 0u);
    EXPECT_EQ(FormatFixedTo(buffer, sizeof buffer, 1.25, 1, 1), 3u);
}

} // namespace
} // namespace brelloc
