#pragma once

#include "GeneralData.h"
#include "PlotSink.h"

#include <cstdint>

namespace brelloc {

// How the tracer finds, for a contour family, the few levels that can meet a
// cell: instead of testing every level n (level = n * PotentialStep) in every
// cell, it bounds the levels by the field values at the cell's corners.
enum class LevelMode {
    Zero,    // the interval is 0: every level is 0
    Indexed, // a positive finite interval: levels grow with n
    Scan,    // anything else (the grid never admits it): test every level
};

struct ContourLevels {
    int first = 0;
    int last = -1;
    double step = 0.0;
    double inverse = 0.0; // 1 / step, or 0 where that is not finite: divide then
    double slack = 0.0;   // how far a bound may err, in levels (tiny)
    LevelMode mode = LevelMode::Scan;
};

ContourLevels FamilyLevels(const GeneralData& data, Family family);

// Level n, exactly as the contouring defines it.
inline double Level(const ContourLevels& levels, int n)
{
    return static_cast<double>(n) * levels.step;
}

// For Indexed or Zero levels and a column of field values f[0 .. points-1]
// (at most a column of the grid, 182):
// per pair of neighbouring grid points (j, j+1), lower[j] is at most the
// first n whose level is not below the smaller value and upper[j] at least
// the last n whose level is not above the larger one, as whole numbers in
// doubles; either may lie outside first .. last. Every level that is a
// corner hit or a strict crossing of a cell with corners on two such columns
// lies between the smaller lower and the larger upper of its two pairs, and
// the bounds are off by at most one level only where a value lies within a
// hair of a level. For Zero levels the same with the single value 0 as level
// 0. Returns whether every value is finite; the bounds mean nothing if not.
bool ColumnLevelBounds(const ContourLevels& levels, const double* f, int points, double* lower,
                       double* upper);

// For cells 0 .. cells-1 between two columns with the bounds above: sets
// first[j] .. last[j] to the levels (within the family's) to test in cell j,
// as whole numbers in doubles, writes the rows of the cells with at least one
// such level that are not beyond the window (beyond[j] == 0) to rows in
// increasing order, and returns their number. For Zero levels first and last
// are 0 where the cell meets the value 0.
int CellsToTrace(const ContourLevels& levels, const double* lowerLeft, const double* upperLeft,
                 const double* lowerRight, const double* upperRight, const std::uint8_t* beyond,
                 int cells, double* first, double* last, int* rows);

} // namespace brelloc
