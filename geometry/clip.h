// The clip test: whether a path touches a pick rectangle of screen pixels.
// A pick sets the rectangle around the cursor, clears the hit flag and asks
// a curve (message 319); the curve runs its outline through clipMoveTo and
// clipLineTo, which record whether it touches the rectangle instead of
// drawing it.
//
// The rectangle is inclusive: left, top, right, bottom in whole pixels. A
// point's outcode tells on which sides it lies beyond the rectangle: 1 left
// of it, 2 above, 4 right of it, 8 below, ORed; 0 inside.
//
// The rectangle, the hit flag and the current point are module state.
#ifndef PLUMET_GEOMETRY_CLIP_H
#define PLUMET_GEOMETRY_CLIP_H

#include <cstdint>

enum : uint16_t { clipLeft = 1, clipTop = 2, clipRight = 4, clipBottom = 8 };

// Copies four integers (left, top, right, bottom) into the rectangle.
void clipRectSet(const int32_t* rect);
// Copies the rectangle out.
void clipRectGet(int32_t* rect);
// Answers the hit flag and clears it.
uint32_t clipHitTake();
// The outcode of an integer point against the rectangle.
uint16_t clipOutcode(int32_t x, int32_t y);

// Takes the 3-D point through the current world-to-screen transform (the
// coordinate-system stack's) to whole pixels and makes it the current
// point. Inside the rectangle: sets the hit flag and answers -1; else 0.
int clipMoveTo(const double* point);
// The segment from the current point to this one, which then becomes
// current. An end inside: flag set, -1. Both ends beyond the same side: 0,
// flag untouched. Otherwise the segment is halved up to 16 times, keeping
// the half that may still cross: a midpoint inside sets the flag and
// answers -1, a half beyond one side of the rectangle with the far end
// answers 0; a segment still undecided after 16 halvings counts as a hit
// (flag set, answer 1).
int clipLineTo(const double* point);
// A closed polygon of n points (3 doubles each, already screen
// coordinates): 1 when the rectangle's top-left corner lies strictly on the
// same side of every edge (inside a convex polygon: the polygon covers the
// corner although no edge may touch the rectangle); otherwise the edges are
// run through clipMoveTo and clipLineTo under an identity transform, from
// the last point round to it again, and the answer is the hit flag (set
// when an edge touched, left set). Fewer than one point: 0.
int clipPolyTest(int n, const double* points);

#endif
