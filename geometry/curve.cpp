// The curve base class "curve": the defaults of the curve messages and the
// functions that send them.
#include "geometry/curve.h"

#include "core/classes.h"
#include "core/debug.h"
#include "geometry/ngeom.h"
#include "objects/objmsg.h"
#include "objects/pen.h"
#include "views/view.h"

namespace {

uint16_t curveClass = 0;

int passOn(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  return objMeth(objSuperClass(curveClass), message, object, a, b, c);
}

// 306: the box the subclass filled grows by the pen margin on every side,
// so that a curve's box covers its drawn width.
int widenExtents(double* box) {
  if (!box) return 0;
  const double margin = crvPenMargin();
  for (int i = 0; i < 3; ++i) {
    box[i] -= margin;
    box[3 + i] += margin;
  }
  return 0;
}

int lengthDefault(gobjRec* object, const crvLenRec* rec) {
  if (!rec) return -1;
  double length = 0.0;
  const int answer = geomCurveLength(object, rec->t0, rec->t1, rec->tolerance, &length);
  if (rec->out) *rec->out = length;
  return answer;
}

int crvHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* object = static_cast<gobjRec*>(record);
  switch (message) {
    case msgBoxRange:
    case msgEvalAt:
    case msgFootPoint:
    case msgCurve315:
    case msgSetLength:
    case msgReverse:
    case msgIsClosed:
    case msgIsFlat:
      return 0;
    case msgExtents: return widenExtents(reinterpret_cast<double*>(a));
    case msgPointAtT: {
      const auto* t = reinterpret_cast<const double*>(a);
      if (!t || !object) return -1;
      crvEvalRec rec{*t, 0, 0, reinterpret_cast<double*>(b)};
      return objMeth(object->classId, msgEvalAt, object, reinterpret_cast<intptr_t>(&rec));
    }
    case msgCrossings: return crvCrossDefault(object, reinterpret_cast<crvCrossRec*>(a));
    case msgArcLength: return lengthDefault(object, reinterpret_cast<const crvLenRec*>(a));
    case msgNearest: return -1;
    case msgCheck319: return 1;
    default: break;
  }
  return passOn(record, message, a, b, c);
}

int lineDrawFlagWord = 0;

}  // namespace

uint16_t crvClassId() { return curveClass; }

// Registers "curve" alone; crvInit (curve_init.cpp) adds the classes under it.
uint16_t crvRegisterBase(uint16_t parentClassId) {
  curveClass = objClassRegister("curve", parentClassId, crvHandler);
  return curveClass;
}

double crvPenMargin() {
  double scale = 1.0;
  if (vwGetViewScale(4, &scale) != 0 || !(scale != 0.0)) scale = 1.0;
  return penLargestWidth() / scale;
}

int crvPointAt(gobjRec* object, double t, int32_t mode, uint32_t extra, double* out) {
  if (out) out[0] = out[1] = out[2] = 0.0;
  if (!object) return -1;
  crvEvalRec rec{t, mode, extra, out};
  return objMeth(object->classId, msgEvalAt, object, reinterpret_cast<intptr_t>(&rec));
}

int crvLength(gobjRec* object, double t0, double t1, double tolerance, double* out) {
  if (!object) return -1;
  crvLenRec rec{t0, t1, tolerance, out};
  const int answer = objMeth(object->classId, msgArcLength, object, reinterpret_cast<intptr_t>(&rec));
  if (answer != crvNoMethod) return answer;
  return objMeth(object->classId, msgCurve315, object, reinterpret_cast<intptr_t>(&t0),
                 reinterpret_cast<intptr_t>(&t1), reinterpret_cast<intptr_t>(out));
}

int crvSetLength(gobjRec* object, double length, gobjRec** slot) {
  if (slot) *slot = object;
  if (!object) return -1;
  return objMeth(object->classId, msgSetLength, object, reinterpret_cast<intptr_t>(&length),
                 reinterpret_cast<intptr_t>(slot));
}

int crvFootPoint(gobjRec* object, const double* point, uint32_t spare, uint32_t flags, double* outParam,
                 double* outSquared, double* outFoot) {
  if (!object) return -1;
  crvFootRec rec{point, spare, flags, outParam, outSquared, outFoot};
  return objMeth(object->classId, msgFootPoint, object, reinterpret_cast<intptr_t>(&rec));
}

int crvClipTest(gobjRec* object) { return object ? objMeth(object->classId, msgCheck319, object) : -1; }

int objReParam(gobjRec* object, double t0, double t1, gobjRec** slot) {
  if (!object) return -1;
  if (slot && *slot && *slot != object) dbgPanic("bad rtnObj in objReParam");
  return objMeth(object->classId, msgSubCurve, object, reinterpret_cast<intptr_t>(&t0),
                 reinterpret_cast<intptr_t>(&t1), reinterpret_cast<intptr_t>(slot));
}

int crvIsClosed(gobjRec* object) { return object ? objMeth(object->classId, msgIsClosed, object) : -1; }

int crvReverse(gobjRec* object) { return object ? objMeth(object->classId, msgReverse, object) : -1; }

int crvExtents(gobjRec* object, double* box) {
  return object ? objMeth(object->classId, msgExtents, object, reinterpret_cast<intptr_t>(box)) : -1;
}

int lineSetDrawFlag(int value) {
  lineDrawFlagWord = value;
  return value;
}

int lineDrawFlag() { return lineDrawFlagWord; }
