#pragma once

#include "GeneralData.h"
#include "PlotSink.h"

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
    LevelMode mode = LevelMode::Scan;
};

ContourLevels FamilyLevels(const GeneralData& data, Family family);

// Level n, exactly as the contouring defines it.
inline double Level(const ContourLevels& levels, int n)
{
    return static_cast<double>(n) * levels.step;
}

// For finite field values f[0 .. count-1] and Indexed levels: lowest[j] is
// the first n whose level is not below f[j] and highest[j] the last n whose
// level is not above it, as whole numbers in doubles; either may lie outside
// first .. last. A level can be a corner hit or a strict crossing of a cell
// only if its n lies between the smallest lowest and the largest highest of
// the cell's corners, and every n there is such a level. For Zero levels the
// same with the single value 0 taken as level 0.
void LevelBounds(const ContourLevels& levels, const double* f, int count, double* lowest,
                 double* highest);

// For the cells between two columns of grid points, rows 0 .. cells-1 with
// corners at rows j and j + 1, given the LevelBounds of both columns' grid
// points: sets first[j] .. last[j] to the levels (within the family's) that
// can meet cell j, as whole numbers in doubles, writes the rows of the cells
// that at least one level meets to rows in increasing order, and returns
// their number. For Zero levels first and last are 0 where the cell meets
// the value 0.
int CellsWithLevels(const ContourLevels& levels, const double* lowestLeft,
                    const double* highestLeft, const double* lowestRight,
                    const double* highestRight, int cells, double* first, double* last,
                    int* rows);

} // namespace brelloc
