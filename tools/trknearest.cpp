// The nearest-point search of tangent and perpendicular tracking: a point
// on an object moved so that the segment from a reference point meets the
// object as a tangent or a perpendicular.
#include "tools/trkpoint.h"

#include "draw/xforms.h"
#include "objects/nearcurve.h"
#include "objects/objsend.h"

#include <cstdint>

namespace {

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }

double screenDistance2(const double* a, const double* b) {
  double sa[3], sb[3];
  vwWorldToScreen(a, sa);
  vwWorldToScreen(b, sb);
  const double dx = sa[0] - sb[0], dy = sa[1] - sb[1];
  return dx * dx + dy * dy;
}

}  // namespace

int trkNearestOnObject(int code, gobjRec* object, double point[3], const double reference[3]) {
  if (!object || !point || !reference) return -1;
  double parameter = 0;
  double offered[3] = {0, 0, 0};
  const int answer = code == 'p'
                         ? objHitTest(object, point, reference, &parameter, offered, 0)
                         : objTangentPick(object, word(point), word(reference), word(&parameter), word(offered), 0);
  if (answer == 1) {
    for (int k = 0; k < 3; ++k) point[k] = offered[k];
    return 0;
  }
  if (answer == 0) {
    // No such point: the nearer end on screen (the far end wins a tie).
    double start[3], end[3];
    crvPoint(object, 0.0, start);
    crvPoint(object, 1.0, end);
    const double* nearer = screenDistance2(point, start) < screenDistance2(point, end) ? start : end;
    for (int k = 0; k < 3; ++k) point[k] = nearer[k];
  }
  return answer > 1 ? 0 : -1;
}
