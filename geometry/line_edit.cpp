// The line's clean-up messages (merge 410, key 411), its signature (404)
// and its making from a keyed list (402, aLineMake).
#include "geometry/line_internal.h"

#include "core/classes.h"
#include "core/errors.h"
#include "core/vec.h"
#include "fe/arrays.h"
#include "fe/value.h"
#include "geometry/ngeom.h"
#include "objects/objmsg.h"
#include "objects/update.h"

#include <cmath>

namespace {

// trunc(x) modulo 2^32: the wrap-around of 32-bit arithmetic without an
// undefined conversion for values beyond the integers' range.
uint32_t wrapTrunc(double x) {
  if (!std::isfinite(x)) return 0;
  double m = std::fmod(std::trunc(x), 4294967296.0);
  if (m < 0) m += 4294967296.0;
  return uint32_t(m);
}

}  // namespace

namespace linemod {

int merge(lineRec* line, gobjRec* other, gobjRec** slot) {
  if (!other || other->classId != line->head.classId) return feErrTypeCheck;
  const auto* b = reinterpret_cast<const lineRec*>(other);
  if (other->color != line->head.color || other->style != line->head.style) return -10;
  double dA[3], dB[3], cross[3];
  vecSub3(pt1(line), pt0(line), dA);
  vecSub3(pt1(b), pt0(b), dB);
  vecCross3(dA, dB, cross);
  if (vecLen3(cross) > 1e-12 * vecLen3(dA) * vecLen3(dB)) return -1;
  double s0 = 0, s1 = 0, distSq = 0;
  geomLinePtDist(3, pt0(line), pt1(line), pt0(b), 1, &s0, &distSq, nullptr);
  if (std::sqrt(distSq) > 1e-12) return -1;
  geomLinePtDist(3, pt0(line), pt1(line), pt1(b), 1, &s1, nullptr, nullptr);
  if (s1 < s0) std::swap(s0, s1);
  if (s1 < 0 || s0 > 1) return -3;
  s0 = std::min(s0, 0.0);
  s1 = std::max(s1, 1.0);
  objUpdate(&line->head, 0);
  gobjRec* self = &line->head;
  if (!slot) slot = &self;
  *slot = &line->head;
  double a[3], e[3];
  pointAt(line, s0, a);
  pointAt(line, s1, e);
  return lineSet(slot, a, e, nullptr);
}

int cleanUpKey(const lineRec* line, int32_t* out) {
  double d[3];
  vecSub3(pt1(line), pt0(line), d);
  const double length = vecLen3(d);
  double scaled[3] = {0, 0, 0};
  if (length > 0) vecScale3(1024.0 / length, d, scaled);
  uint32_t h = 0;
  for (double v : scaled) h = h * 1023u + wrapTrunc(std::fabs(v));
  // The foot of the origin on the carrier line; the start for a line of
  // no length.
  double t = 0;
  const double origin[3] = {0, 0, 0};
  geomProjParam(3, origin, pt0(line), d, &t);
  double foot[3];
  vecAxpy3(t, pt0(line), d, foot);
  *out = int32_t(h - 999u * wrapTrunc(-1000.0 * vecLen3(foot)));
  return 0;
}

int signature(const lineRec* line, int32_t* out) {
  const uint32_t sum = uint32_t(line->arrows) + gobjStyleHash(&line->head) + 43u * vertexHash(line->p0) +
                       97u * vertexHash(line->p1) + 5u * line->fontStart + 7u * line->fontEnd;
  *out = int32_t(sum);
  return 0;
}

int makeKeyed(const feObject* list, gobjRec** slot) {
  if (!list || feType(list) != feTArray) return feErrTypeCheck;
  const int32_t n = feArrayLength(list);
  if (n % 2) return feErrLengthCheck;
  gobjRec* line = nullptr;
  if (objMeth(lineClassId(), msgNew, nullptr, reinterpret_cast<intptr_t>(&line)) != 0 || !line) return -1;
  for (int32_t i = 0; i + 1 < n; i += 2) {
    const int answer = objMeth(line->classId, msgSetAttr, line, reinterpret_cast<intptr_t>(feArrayElem(list, i)),
                               reinterpret_cast<intptr_t>(feArrayElem(list, i + 1)));
    if (answer != 0) {
      objFree(line);
      return answer;
    }
  }
  if (slot) *slot = line;
  else objFree(line);
  return 0;
}

}  // namespace linemod
