// Picking a clump (message 318): the nearest of its members to a screen
// point, asked only of the members whose boxes meet the pick box.
#include "objects/clump_internal.h"

#include "core/bbox.h"
#include "core/classes.h"
#include "draw/xforms.h"
#include "objects/docstate.h"
#include "objects/hitrad.h"
#include "objects/nearcurve.h"
#include "objects/objmsg.h"

namespace clumpint {

namespace {

enum { kNoDocTolerance = 8 };
constexpr double kDepth = 1e30;

// The pick tolerance in screen units: twice the document's hit radius.
double tolerance() {
  if (!dbCurrentDoc()) return kNoDocTolerance;
  int32_t radius = 0;
  aHitRad(&radius);
  return 2.0 * radius;
}

// The world box of the screen box around the point, through every depth;
// false when the view's transform cannot be inverted.
bool pickBox(const double* point, int16_t* box) {
  const double d = tolerance();
  const double lo[3] = {point[0] - d, point[1] - d, -kDepth}, hi[3] = {point[0] + d, point[1] + d, kDepth};
  double worldLo[3], worldHi[3];
  if (vwScreenBoxToWorld(lo, hi, worldLo, worldHi) != 0) return false;
  bboxFromCorners(worldLo, worldHi, box);
  return true;
}

}  // namespace

int nearest(clumpRec* clump, intptr_t recordWord) {
  auto* rec = reinterpret_cast<crvNearRec*>(recordWord);
  if (!rec || !rec->point) return -1;
  int16_t box[6];
  // Without a box every member is asked.
  const bool filtered = pickBox(rec->point, box);
  bool found = false;
  double bestSquared = -1.0, bestParam = -1.0;
  for (gobjRec* m = clump->first; m; m = m->nextInCell) {
    // A member larger than the pick box (a long line through the point)
    // meets it without lying inside it.
    if (filtered && !bboxOverlap(m->box, box)) continue;
    double squared = -1.0, param = -1.0;
    crvNearRec ask{rec->point, rec->tolerance, &squared, &param, rec->mode};
    if (objMeth(m->classId, msgNearest, m, reinterpret_cast<intptr_t>(&ask)) < 0) continue;
    if (found && squared >= bestSquared) continue;
    found = true;
    bestSquared = squared;
    bestParam = param;
  }
  if (!found) {
    if (rec->outParam) *rec->outParam = -1.0;
    return -1;
  }
  if (rec->outSquared) *rec->outSquared = bestSquared;
  if (rec->outParam) *rec->outParam = bestParam;
  return 0;
}

}  // namespace clumpint
