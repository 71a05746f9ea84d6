#pragma once

namespace brelloc {

constexpr int kCrossingBatch = 128;

// A batch of contour segments to form: for each, the level and the two cell
// edges (a, b) it crosses, one array per operand, so that the divisions of
// many segments run side by side.
struct CrossingBatch {
    double level[kCrossingBatch];
    double fa[2][kCrossingBatch]; // field value at the edge's first corner
    double fb[2][kCrossingBatch]; // and at its second
    double xa[2][kCrossingBatch];
    double xb[2][kCrossingBatch];
    double ya[2][kCrossingBatch];
    double yb[2][kCrossingBatch];
    // Results: the crossing of the first edge, of the second, and 1 where
    // both pass the window |x|, |y| <= limit (finite), else 0.
    double px[kCrossingBatch];
    double py[kCrossingBatch];
    double qx[kCrossingBatch];
    double qy[kCrossingBatch];
    double inside[kCrossingBatch];
};

// Entries 0 .. count-1: each point xa + (level - fa) * (xb - xa) / (fb - fa),
// and likewise y, with the contouring's operations in its order.
void FormCrossings(CrossingBatch& batch, int count, double limit);

} // namespace brelloc
