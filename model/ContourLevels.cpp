#include "ContourLevels.h"

#include "FieldTables.h"
#include "FlowNetTracer.h"
#include "VectorKernel.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace brelloc {

namespace {

// Adding and subtracting 1.5 * 2^52 rounds a double of magnitude below 2^51
// to the nearest whole number.
constexpr double kRoundingShift = 6755399441055744.0;

inline double Nearest(double v)
{
    return (v + kRoundingShift) - kRoundingShift;
}

} // namespace

ContourLevels FamilyLevels(const GeneralData& data, Family family)
{
    ContourLevels levels;
    levels.first = FirstLevel(data, family);
    levels.last = LastLevel(data, family);
    levels.step = data.PotentialStep;
    const double inverse = 1.0 / data.PotentialStep;
    levels.inverse = std::isfinite(inverse) ? inverse : 0.0;
    // q = f / step comes within a few units in the last place of the exact
    // quotient, and level n within one of n * step; far less than this.
    const double largest =
        static_cast<double>(std::max(std::abs(levels.first), std::abs(levels.last))) + 4.0;
    levels.slack = largest * 0x1p-30;
    if (levels.step == 0.0)
        levels.mode = LevelMode::Zero;
    else if (levels.step > 0.0 && std::isfinite(levels.step))
        levels.mode = LevelMode::Indexed;
    return levels;
}

BRELLOC_VECTOR_KERNEL
bool ColumnLevelBounds(const ContourLevels& levels, const double* __restrict f, int points,
                       double* __restrict lower, double* __restrict upper)
{
    // An infinite value or not a number has every exponent bit set: adding
    // one to the exponent then carries into the sign bit. Integer arithmetic,
    // which the compiler runs on vector registers.
    std::uint64_t carries = 0;
    for (int j = 0; j < points; ++j) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &f[j], sizeof bits);
        carries |= (bits & 0x7ff0000000000000u) + 0x0010000000000000u;
    }
    const bool finite = (carries >> 63) == 0;
    if (!finite || points < 2)
        return finite;

    // At most a column of grid points.
    points = std::min(points, kGridRows);
    double low[kGridRows];
    double high[kGridRows];
    if (levels.mode == LevelMode::Zero) {
        // The one value every level has: 0 is "level 0" for the bounds.
        for (int j = 0; j < points; ++j) {
            low[j] = static_cast<double>(0.0 < f[j]);
            high[j] = -static_cast<double>(f[j] < 0.0);
        }
    } else {
        // With q = f / step within the slack s of the exact quotient, the
        // first level not below f has an n above q - s, so at least
        // Nearest(q - s + 0.5); the last level not above f has an n below
        // q + s, so at most Nearest(q + s - 0.5). Far outside the levels q is
        // clamped, which keeps the answers on the right side of first .. last
        // and every number small.
        const double qHigh = static_cast<double>(levels.last) + 2.0;
        const double qLow = static_cast<double>(levels.first) - 2.0;
        const double half = 0.5 - levels.slack;
        if (levels.inverse != 0.0) {
            const double inverse = levels.inverse;
            for (int j = 0; j < points; ++j) {
                const double q = std::max(std::min(f[j] * inverse, qHigh), qLow);
                low[j] = Nearest(q + half);
                high[j] = Nearest(q - half);
            }
        } else {
            // An interval so small that its inverse overflows.
            const double step = levels.step;
            for (int j = 0; j < points; ++j) {
                const double q = std::max(std::min(f[j] / step, qHigh), qLow);
                low[j] = Nearest(q + half);
                high[j] = Nearest(q - half);
            }
        }
    }
    for (int j = 0; j + 1 < points; ++j) {
        lower[j] = std::min(low[j], low[j + 1]);
        upper[j] = std::max(high[j], high[j + 1]);
    }
    return true;
}

namespace {

// Per cell the levels to test, and a flag where there are any and the cell
// is not beyond the window.
BRELLOC_VECTOR_KERNEL
void CellLevels(const ContourLevels& levels, const double* __restrict lowerLeft,
                const double* __restrict upperLeft, const double* __restrict lowerRight,
                const double* __restrict upperRight, const std::uint8_t* __restrict beyond,
                int cells, double* __restrict first, double* __restrict last,
                std::uint8_t* __restrict flags)
{
    const bool zero = levels.mode == LevelMode::Zero;
    const double firstLevel = zero ? 0.0 : static_cast<double>(levels.first);
    const double lastLevel = zero ? 0.0 : static_cast<double>(levels.last);
    for (int j = 0; j < cells; ++j) {
        first[j] = std::max(std::min(lowerLeft[j], lowerRight[j]), firstLevel);
        last[j] = std::min(std::max(upperLeft[j], upperRight[j]), lastLevel);
        flags[j] = (first[j] <= last[j]) & (beyond[j] == 0);
    }
}

} // namespace

int CellsToTrace(const ContourLevels& levels, const double* lowerLeft, const double* upperLeft,
                 const double* lowerRight, const double* upperRight, const std::uint8_t* beyond,
                 int cells, double* first, double* last, int* rows)
{
    constexpr int kWord = 8;
    cells = std::min(cells, kGridCellRows);
    std::uint8_t flags[kGridCellRows + kWord] = {};
    CellLevels(levels, lowerLeft, upperLeft, lowerRight, upperRight, beyond, cells, first, last,
               flags);
    // Eight flags at a time: a word without any is passed over whole, and in
    // one with some each flag's lowest bit is found directly. Which cells are
    // met follows the field, which no branch predictor guesses well.
    int count = 0;
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (int base = 0; base < cells; base += kWord) {
        std::uint64_t word = 0;
        std::memcpy(&word, flags + base, sizeof word);
        while (word != 0) {
            rows[count++] = base + __builtin_ctzll(word) / 8;
            word &= word - 1;
        }
    }
#else
    for (int j = 0; j < cells; ++j) {
        rows[count] = j;
        count += flags[j];
    }
#endif
    return count;
}

} // namespace brelloc
