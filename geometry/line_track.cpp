// The line class's tracking step (message 401): the rubber-band line of the
// line tool, with the tangent and perpendicular adjustment of its start.
#include "geometry/line_internal.h"
#include "geometry/trackstep.h"

#include "core/vec.h"
#include "geometry/lastpt.h"
#include "geometry/marker.h"
#include "objects/objmsg.h"
#include "views/wplane.h"

#include <cstring>

namespace {

enum { trackMarker = 9 };

bool tangentCode(uint8_t code) { return code == 't' || code == 'p' || code == 'T' || code == 'P'; }
uint8_t lower(uint8_t code) { return code >= 'A' && code <= 'Z' ? uint8_t(code + 32) : code; }
uint8_t upper(uint8_t code) { return code >= 'a' && code <= 'z' ? uint8_t(code - 32) : code; }

bool samePoint(const double a[3], const double b[3]) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

bool moreThanPixelApart(const double a[3], const double b[3]) {
  int32_t pa[2], pb[2];
  vwWorldToPixel(a, pa);
  vwWorldToPixel(b, pb);
  const double dx = double(pa[0]) - pb[0], dy = double(pa[1]) - pb[1];
  return dx * dx + dy * dy > 1.0;
}

// The snap letter's feedback label beside the point, XORed (drawn twice it
// is gone).
void toggleLabel(const trkStepHooks& hooks, uint8_t code, const double point[3]) {
  if (!hooks.drawLabel || !hooks.codesForKey) return;
  const char* text = hooks.codesForKey(lower(code));
  if (!text) return;
  int32_t pixel[2];
  vwWorldToPixel(point, pixel);
  hooks.drawLabel(pixel[0], pixel[1], text, int(std::strlen(text)), 0);
}

// Moves point 0 on its object so that the segment to point 1 becomes
// tangent ('t') or perpendicular ('p') to it. The code of point 0 becomes
// the lower-case letter on success and the upper-case one on failure.
void adjustStart(ieToolPoint& start, ieToolPoint& end, void* context) {
  const trkStepHooks& hooks = *trkStepGetHooks();
  const uint8_t oldCode = start.code;
  const uint8_t code = lower(oldCode);
  double oldPosition[3];
  vecCopy3(start.point, oldPosition);
  bool found = false;
  if (hooks.nearestOnObject && start.object && start.object != end.object &&
      moreThanPixelApart(start.point, end.point)) {
    found = hooks.nearestOnObject(code, start.object, start.point, end.point) == 0;
    // A point 1 that is itself tangent or perpendicular to its object moves
    // toward point 0 in turn; a few rounds settle most pairs of curves.
    const uint8_t endCode = end.code;
    for (int round = 0; !found && round < 3 && end.object && (endCode == 'p' || endCode == 't'); ++round) {
      hooks.nearestOnObject(endCode, end.object, end.point, start.point);
      found = hooks.nearestOnObject(code, start.object, start.point, end.point) == 0;
    }
  }
  start.code = found ? code : upper(code);
  if (oldCode != code) toggleLabel(hooks, oldCode, oldPosition);
  if (start.code != code) toggleLabel(hooks, start.code, start.point);
  if (hooks.setSingleEntered && context) hooks.setSingleEntered(context, start.point);
}

void drawLine(gobjRec* line) {
  if (line) linemod::draw(reinterpret_cast<lineRec*>(line));
}

}  // namespace

int lineTrackStep(int phase, trkStepRec* step, gobjRec** slot) {
  if (phase < 0 || phase > 2 || !step || !step->buffer || step->count == 0) return 0;
  ieToolPoint* points = step->buffer;
  if (phase == 2) {
    markDrawCur(points[0].point, trackMarker);
    return 0;
  }
  if (step->count == 1) {
    if (step->previous) markDrawCur(step->previous->point, trackMarker);
    markDrawCur(points[0].point, trackMarker);
  } else {
    if (step->previous && samePoint(step->previous->point, points[1].point)) return 0;
    if (!slot || (*slot && (*slot)->classId != lineClassId())) return -1;
    if (tangentCode(points[0].code)) adjustStart(points[0], points[1], step->context);
    drawLine(*slot);
    if (lineSet(slot, points[0].point, points[1].point, nullptr) != 0) return -1;
    drawLine(*slot);
    lastPtFromSegment(points[0].point, points[1].point);
  }
  lastPtSet(points[step->count - 1].point);
  return 0;
}
