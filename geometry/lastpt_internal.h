// The registers themselves, shared by lastpt.cpp and the operators that
// read and write them by address.
#ifndef PLUMET_GEOMETRY_LASTPT_INTERNAL_H
#define PLUMET_GEOMETRY_LASTPT_INTERNAL_H

namespace lastpt {

extern double point[3];    // last point
extern double delta[3];    // last segment's delta
extern double length;      // last segment's length
extern double angle;       // last segment's angle, turns
extern double general[3];  // general last point, set by scripts

}  // namespace lastpt

#endif
