// The two curve queries that picking asks of every curve class: the nearest
// point to a screen position (message 318) and the point at a parameter
// (message 308), with the argument records the classes read. The curve
// classes answer them; a class that does not leaves the outputs as preset.
#ifndef PLUMET_OBJECTS_NEARCURVE_H
#define PLUMET_OBJECTS_NEARCURVE_H

#include "objects/gobject.h"

#include <cstdint>

// Message 318's argument a. The class writes the squared screen distance
// (pixels squared) from the point to its nearest point and the curve
// parameter there, through each out pointer that is not null.
struct crvNearRec {
  const double* point;     // the position in screen (view) coordinates, 2 doubles
  double tolerance;        // the pick tolerance in pixels
  double* outSquared;      // out: the squared screen distance
  double* outParam;        // out: the parameter of the nearest point
  uint32_t mode;
};

// Message 308's argument a: the point (mode 0) or the n-th derivative
// (mode n > 0) at parameter t, in world coordinates.
struct crvEvalRec {
  double t;
  int32_t mode;
  uint32_t extra;          // passed through
  double* out;             // 3 doubles
};

// Presets each given output to -1.0 and sends 318; the class's answer
// (negative when the object cannot be measured).
int crvNearest(gobjRec* object, const double* screenPoint, double tolerance, double* outSquared, double* outParam,
               uint32_t mode);
// Sets the point to (0, 0, 0) and sends 308 with mode 0; the class's answer.
int crvPoint(gobjRec* object, double t, double* out);

#endif
