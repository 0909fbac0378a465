// The point class's tracking step (message 401): the markers of the point
// tool's feedback.
#include "geometry/trackstep.h"

#include "geometry/lastpt.h"
#include "geometry/marker.h"

namespace {

enum { trackMarker = 9 };

}  // namespace

int pointTrackStep(int phase, const trkStepRec* step) {
  if (!step || !step->buffer || step->count == 0) return 0;
  const ieToolPoint* points = step->buffer;
  const ieToolPoint& last = points[step->count - 1];
  if (phase == 0 || phase == 1) {
    if (step->previous) markDrawCur(step->previous->point, trackMarker);
    markDrawCur(last.point, trackMarker);
    lastPtSet(last.point);
  } else if (phase == 2) {
    for (uint32_t i = 0; i < step->count; ++i) markDrawCur(points[i].point, trackMarker);
  }
  return 0;
}
