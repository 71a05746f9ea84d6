// Prints what the number formatter writes for a large table of values, so the
// native build and the WebAssembly build can be compared line by line. The
// values come from integer arithmetic only, the same on every platform.
//
//   number-format-table          one digest line per block of 1000 values
//   number-format-table --all    every value and its texts

#include "NumberFormat.h"

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

std::uint64_t state = 0x6272656c6c6f63ULL;

std::uint64_t Next()
{
    // splitmix64
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

double FromBits(std::uint64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint64_t Bits(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A double in [0, 1) from 53 random bits: exact on every platform.
double Unit()
{
    return static_cast<double>(Next() >> 11) * 0x1p-53;
}

std::vector<double> Table()
{
    std::vector<double> values = {0.0, -0.0, 0.05, -0.05, 0.25, 0.35, 0.0005, 0.0015, 0.2004,
                                  299.95, -299.95, 300.0, -300.0, 1e14, -1e14, 99999999999999.95,
                                  1e300, -1e300, 1e-300, std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::lowest(),
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity()};
    // Every power of two, where the shortest form needs care.
    for (int exponent = -1074; exponent <= 1023; ++exponent)
        values.push_back(std::ldexp(1.0, exponent));
    // Around every tie of one and of three decimals in the PicTeX and grid
    // ranges, a few units in the last place either side.
    for (int twentieth = -6100; twentieth <= 6100; ++twentieth) {
        double v = twentieth / 20.0;
        for (int step = 0; step < 2; ++step)
            v = std::nextafter(v, -1e300);
        for (int step = 0; step < 5; ++step, v = std::nextafter(v, 1e300))
            values.push_back(v);
    }
    for (int halfThousandth = 0; halfThousandth <= 40000; halfThousandth += 7) {
        double v = halfThousandth / 2000.0;
        values.push_back(std::nextafter(v, -1.0));
        values.push_back(v);
        values.push_back(std::nextafter(v, 1e300));
    }
    for (int n = 0; n < 150000; ++n)
        values.push_back(Unit() * 600.0 - 300.0);
    for (int n = 0; n < 30000; ++n) { // every magnitude from 1e-22 to 1e22
        const int exponent = static_cast<int>(Next() % 45) - 22;
        double power = 1.0; // exact up to 1e22
        for (int k = 0; k < (exponent < 0 ? -exponent : exponent); ++k)
            power *= 10.0;
        const double v = Unit() * 2.0 - 1.0;
        values.push_back(exponent < 0 ? v / power : v * power);
    }
    for (int n = 0; n < 20000; ++n) { // any bit pattern that is a number
        const double v = FromBits(Next());
        if (!std::isnan(v))
            values.push_back(v);
    }
    return values;
}

std::string Line(double value)
{
    static const int formats[][2] = {{6, 1}, {12, 3}, {5, 3}, {6, 3}, {0, 1}};
    char bits[32];
    std::snprintf(bits, sizeof bits, "%016" PRIx64, Bits(value));
    std::string line = bits;
    for (const auto& format : formats) {
        line += " |";
        line += brelloc::FormatFixed(value, format[0], format[1]);
    }
    line += " |";
    line += std::isfinite(value) ? brelloc::FormatShortest(value) : std::string("-");
    line += " |";
    line += brelloc::FormatInt(static_cast<long>(Bits(value) % 2000001) - 1000000, 6);
    return line;
}

// FNV-1a, 64 bits.
std::uint64_t Digest(std::uint64_t hash, const std::string& text)
{
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

} // namespace

int main(int argc, char** argv)
{
    const bool all = argc > 1 && std::strcmp(argv[1], "--all") == 0;
    const std::vector<double> values = Table();
    std::printf("values %zu\n", values.size());
    constexpr std::size_t kBlock = 1000;
    for (std::size_t start = 0; start < values.size(); start += kBlock) {
        std::uint64_t hash = 0xcbf29ce484222325ULL;
        std::string first;
        for (std::size_t i = start; i < values.size() && i < start + kBlock; ++i) {
            const std::string line = Line(values[i]);
            if (all)
                std::printf("%s\n", line.c_str());
            if (i == start)
                first = line;
            hash = Digest(hash, line + '\n');
        }
        if (!all)
            std::printf("block %zu %016" PRIx64 " %s\n", start / kBlock, hash, first.c_str());
    }
    return 0;
}
