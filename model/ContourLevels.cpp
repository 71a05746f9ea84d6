#include "ContourLevels.h"

#include "FlowNetTracer.h"

#include <algorithm>
#include <cmath>

namespace brelloc {

namespace {

// Adding and subtracting 1.5 * 2^52 rounds a double of magnitude below 2^51
// to a whole number.
constexpr double kRoundingShift = 6755399441055744.0;

// With Q = f / step exactly, q is Q to within three units in the last place
// (two roundings), and the rounding of n * step moves a level by less than a
// unit in the last place of it. While |Q| and |n| stay far below 2^50, every
// n <= q - 1 therefore has a level below f and every n >= q + 1 one above
// it, which puts both answers in g .. g + 2 for g = floor(q). Counting over
// the four levels g - 1 .. g + 2 finds them exactly with an index to spare
// on either side. Far outside the levels q is clamped, which keeps the
// answers on the right side of first .. last and every number small. Whole
// numbers below 2^51 are exact in a double, so (g + k) * step is bit for bit
// Level(g + k).
//
// Branch-free so that the compiler runs it on vector registers.
inline void Bounds(double f, double q, double step, double qLow, double qHigh, double& lowest,
                   double& highest)
{
    q = std::min(q, qHigh);
    q = std::max(q, qLow);
    const double nearest = (q + kRoundingShift) - kRoundingShift;
    const double base = nearest - static_cast<double>(nearest > q) - 1.0;
    const double l0 = base * step;
    const double l1 = (base + 1.0) * step;
    const double l2 = (base + 2.0) * step;
    const double l3 = (base + 3.0) * step;
    lowest = base + static_cast<double>(l0 < f) + static_cast<double>(l1 < f) +
             static_cast<double>(l2 < f) + static_cast<double>(l3 < f);
    // Levels grow strictly with n, so f can equal only the first level not
    // below it.
    highest = lowest - 1.0 + static_cast<double>(lowest * step == f);
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
    if (levels.step == 0.0)
        levels.mode = LevelMode::Zero;
    else if (levels.step > 0.0 && std::isfinite(levels.step))
        levels.mode = LevelMode::Indexed;
    return levels;
}

void LevelBounds(const ContourLevels& levels, const double* __restrict f, int count,
                 double* __restrict lowest, double* __restrict highest)
{
    if (levels.mode == LevelMode::Zero) {
        // The one value every level has: 0 is "level 0" for the bounds.
        for (int j = 0; j < count; ++j) {
            lowest[j] = static_cast<double>(0.0 < f[j]);
            highest[j] = static_cast<double>(0.0 <= f[j]) - 1.0;
        }
        return;
    }
    const double step = levels.step;
    const double inverse = levels.inverse;
    const double qHigh = static_cast<double>(levels.last) + 8.0;
    const double qLow = static_cast<double>(levels.first) - 8.0;
    if (inverse != 0.0) {
        for (int j = 0; j < count; ++j)
            Bounds(f[j], f[j] * inverse, step, qLow, qHigh, lowest[j], highest[j]);
    } else {
        // An interval so small that its inverse overflows.
        for (int j = 0; j < count; ++j)
            Bounds(f[j], f[j] / step, step, qLow, qHigh, lowest[j], highest[j]);
    }
}

int CellsWithLevels(const ContourLevels& levels, const double* __restrict lowestLeft,
                    const double* __restrict highestLeft, const double* __restrict lowestRight,
                    const double* __restrict highestRight, int cells, double* __restrict first,
                    double* __restrict last, int* __restrict rows)
{
    const bool zero = levels.mode == LevelMode::Zero;
    const double firstLevel = zero ? 0.0 : static_cast<double>(levels.first);
    const double lastLevel = zero ? 0.0 : static_cast<double>(levels.last);
    // The cell's smallest lowest and largest highest, within the family's
    // levels: a vector loop.
    for (int j = 0; j < cells; ++j) {
        first[j] = std::max(std::min(std::min(lowestLeft[j], lowestRight[j]),
                                     std::min(lowestRight[j + 1], lowestLeft[j + 1])),
                            firstLevel);
        last[j] = std::min(std::max(std::max(highestLeft[j], highestRight[j]),
                                    std::max(highestRight[j + 1], highestLeft[j + 1])),
                           lastLevel);
    }
    // Whether a cell is met follows the field, which no branch predictor
    // guesses well: every row is written, the count only advances past those
    // that some level meets.
    int count = 0;
    for (int j = 0; j < cells; ++j) {
        rows[count] = j;
        count += static_cast<int>(first[j] <= last[j]);
    }
    return count;
}

} // namespace brelloc
