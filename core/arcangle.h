// The angle of a point about a centre, the basic measure of arc geometry.
#ifndef PLUMET_CORE_ARCANGLE_H
#define PLUMET_CORE_ARCANGLE_H

// The direction of point - centre in the x-y plane, in turns: atan2 of the
// difference divided by a full turn, 1.0 added when negative, so in [0, 1).
// With flip set the y difference is negated first (for y-down pixel
// coordinates). Coincident points answer 0.
double arcAngleOf(const double centre[3], const double point[3], int flip);

#endif
