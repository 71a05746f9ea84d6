#include "EdgeCrossings.h"

#include "VectorKernel.h"

#include <cfloat>
#include <cmath>

namespace brelloc {

BRELLOC_VECTOR_KERNEL
void FormCrossings(CrossingBatch& b, int count, double limit)
{
    for (int k = 0; k < count; ++k) {
        const double level = b.level[k];
        const double toP = level - b.fa[0][k];
        const double spanP = b.fb[0][k] - b.fa[0][k];
        const double px = b.xa[0][k] + toP * (b.xb[0][k] - b.xa[0][k]) / spanP;
        const double py = b.ya[0][k] + toP * (b.yb[0][k] - b.ya[0][k]) / spanP;
        const double toQ = level - b.fa[1][k];
        const double spanQ = b.fb[1][k] - b.fa[1][k];
        const double qx = b.xa[1][k] + toQ * (b.xb[1][k] - b.xa[1][k]) / spanQ;
        const double qy = b.ya[1][k] + toQ * (b.yb[1][k] - b.ya[1][k]) / spanQ;
        b.px[k] = px;
        b.py[k] = py;
        b.qx[k] = qx;
        b.qy[k] = qy;
        // A coordinate passes unless it exceeds the limit or is not finite.
        const double apx = std::fabs(px), aqx = std::fabs(qx);
        const double apy = std::fabs(py), aqy = std::fabs(qy);
        const bool finite = (apx <= DBL_MAX) & (aqx <= DBL_MAX) & (apy <= DBL_MAX) & (aqy <= DBL_MAX);
        const bool within = !(apx > limit) & !(aqx > limit) & !(apy > limit) & !(aqy > limit);
        b.inside[k] = (finite & within) ? 1.0 : 0.0;
    }
}

} // namespace brelloc
