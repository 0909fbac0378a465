// Boxes of doubles widened by points: a box is its minimum corner and its
// maximum corner, three doubles each (x, y, z, then x, y, z). Offered to
// plug-ins, hence the C linkage.
#ifndef PLUMET_CORE_BOXPOINTS_H
#define PLUMET_CORE_BOXPOINTS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// For each of the n points (3 doubles each) and each coordinate: a value
// below the minimum replaces the minimum, otherwise a value above the
// maximum replaces the maximum. So a box should start as a point (min =
// max): from an inverted box (min above max) one value can only move the
// minimum. n of 0 or less changes nothing.
void boxExtendPoints(double box[6], const double* points, int32_t n);

#ifdef __cplusplus
}
#endif

#endif
