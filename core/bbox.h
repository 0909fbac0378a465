// Integer boxes: an object's extents as six compact 16-bit floats (see
// sfloat.h), minimum x, y, z then maximum x, y, z, compared as signed
// integers. A valid box has each minimum at or below its maximum and every
// value within -32000..32000; the empty box has every minimum at the code of
// +1e30 and every maximum at the code of -1e30, so that any union grows it.
#ifndef PLUMET_CORE_BBOX_H
#define PLUMET_CORE_BBOX_H

#include <cstdint>

typedef int16_t bbox[6];

enum { bboxLimit = 32000 };

// 1 when the boxes meet on all three axes (bounds inclusive), else 0.
int bboxOverlap(const int16_t* a, const int16_t* b);
// 1 when inner lies within outer on all three axes (inclusive), else 0.
int bboxContains(const int16_t* outer, const int16_t* inner);
// Widens into to take box; answers how many of into's bounds moved.
int bboxUnion(const int16_t* box, int16_t* into);
// Sets the empty box.
void bboxEmpty(int16_t* box);
// 0 for a valid box. -1 when a minimum exceeds its maximum (logged as
// "%d: %ux %ux %ux, %ux %ux %ux\n" with the axis and the six values; the box
// is left as it is). Otherwise values at or above 32000 are clamped to 32000
// (-2) and values below -31999 to -32000 (-3), the last clamp deciding the
// answer.
int bboxValidate(int16_t* box);
// The box of two corners: per axis the smaller coordinate packed rounding
// down and the larger rounding up, then validated; a box that needed
// validating is logged ("bbox check:" with the corners, then each axis with
// both values and the words of their doubles). Answers box.
int16_t* bboxFromCorners(const double* a, const double* b, int16_t* box);

#endif
