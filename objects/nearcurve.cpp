// The curve queries of picking: messages 318 and 308.
#include "objects/nearcurve.h"

#include "core/classes.h"
#include "objects/objmsg.h"

int crvNearest(gobjRec* object, const double* screenPoint, double tolerance, double* outSquared, double* outParam,
               uint32_t mode) {
  if (outSquared) *outSquared = -1.0;
  if (outParam) *outParam = -1.0;
  if (!object) return -1;
  crvNearRec rec{screenPoint, tolerance, outSquared, outParam, mode};
  return objMeth(object->classId, msgNearest, object, reinterpret_cast<intptr_t>(&rec));
}

int crvPoint(gobjRec* object, double t, double* out) {
  out[0] = out[1] = out[2] = 0.0;
  if (!object) return -1;
  crvEvalRec rec{t, 0, 0, out};
  return objMeth(object->classId, msgEvalAt, object, reinterpret_cast<intptr_t>(&rec));
}
