// The line's drawing, extents and point selection (302, 306, 330), and its
// analytic crossings with other lines (311).
#include "geometry/line_internal.h"

#include "core/classes.h"
#include "core/vec.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "geometry/crossings.h"
#include "geometry/curve.h"
#include "geometry/marker.h"
#include "geometry/ngeom.h"
#include "objects/arrow.h"
#include "objects/docstate.h"
#include "objects/lnfont.h"
#include "objects/lnstyle.h"
#include "objects/objmsg.h"

#include <algorithm>
#include <cmath>

namespace {

// Marker style of a point-selected end.
constexpr int kSelMarker = 1;

void drawSelectedEnds(const lineRec* line) {
  if ((line->head.flags & gobjSelected) || !(line->head.flags & gobjPointSel)) return;
  if (const dbDocRec* doc = dbCurrentDoc()) gxSetColor(doc->selectColor);
  if (line->ptSel & 1) markDraw(linemod::pt0(line), kSelMarker, -1);
  if (line->ptSel & 2) markDraw(linemod::pt1(line), kSelMarker, -1);
}

// Crossing accessors of the analytic form.
void analyticPoint(crvCrossRec* rec, int i, double* out) {
  if (i >= 0 && i < 2) vecCopy3(rec->result.analytic.points[i], out);
}
void analyticParams(crvCrossRec* rec, int i, double* tA, double* tB) {
  if (i < 0 || i >= 2) return;
  if (tA) *tA = rec->result.analytic.tA[i];
  if (tB) *tB = rec->result.analytic.tB[i];
}
void analyticRelease(crvCrossRec*) {}

}  // namespace

namespace linemod {

bool arrowEntry(const lineRec* line, int* kind, double* size, double* up) {
  if (!(line->arrows & (lineArrowStart | lineArrowEnd))) return false;
  return lnstyleGet(line->arrows & lineArrowIndex, kind, size, up) == 1;
}

bool arrowPlacement(const lineRec* line, int end, int* kind, double* size, double* side) {
  if (!(line->arrows & (end == 0 ? lineArrowStart : lineArrowEnd))) return false;
  double up[3];
  if (!arrowEntry(line, kind, size, up) || !(*size > 0)) return false;
  const double* tip = end == 0 ? pt0(line) : pt1(line);
  const double* shaft = end == 0 ? pt1(line) : pt0(line);
  double d[3];
  vecSub3(shaft, tip, d);
  const double length = vecLen3(d);
  if (length > 0) vecScale3(1.0 / length, d, d);
  vecCross3(up, d, side);
  if (vecLen3(side) < 1e-5) vecSet3(side, 0, 1, 0);
  return true;
}

int draw(lineRec* line) {
  objMeth(objSuperClass(line->head.classId), msgDraw, line);
  vwMoveToW(pt0(line));
  if (patterned(line)) {
    lnfontResetPhase(line->fontStart);
    double previous = 1.0, ignored = 1.0;
    lnfontScale(line->phaseScale, &previous);
    if (!lineGetPhaseScaling()) lnfontScale(previous, &ignored);
  }
  vwLineToW(pt1(line));
  for (int end = 0; end < 2; ++end) {
    int kind = 0;
    double size = 0, side[3];
    if (!arrowPlacement(line, end, &kind, &size, side)) continue;
    if (end == 0) arrowDraw(kind, pt0(line), pt1(line), size, side);
    else arrowDraw(kind, pt1(line), pt0(line), size, side);
  }
  drawSelectedEnds(line);
  return 0;
}

int extents(lineRec* line, double* box) {
  if (!box) return -1;
  for (int i = 0; i < 3; ++i) {
    box[i] = std::min(pt0(line)[i], pt1(line)[i]);
    box[3 + i] = std::max(pt0(line)[i], pt1(line)[i]);
  }
  for (int end = 0; end < 2; ++end) {
    int kind = 0;
    double size = 0, side[3];
    if (!arrowPlacement(line, end, &kind, &size, side)) continue;
    double outline[arrowMaxPoints * 3];
    const int n = end == 0 ? arrowPoints(kind, pt0(line), pt1(line), size, side, outline)
                           : arrowPoints(kind, pt1(line), pt0(line), size, side, outline);
    for (int k = 0; k < n; ++k)
      for (int i = 0; i < 3; ++i) {
        box[i] = std::min(box[i], outline[3 * k + i]);
        box[3 + i] = std::max(box[3 + i], outline[3 * k + i]);
      }
  }
  return objMeth(objSuperClass(line->head.classId), msgExtents, line, reinterpret_cast<intptr_t>(box));
}

int selectPoint(lineRec* line, const double* point, intptr_t mode, intptr_t end) {
  if (end < 0 || end > 1) return 0;
  const uint16_t bit = uint16_t(1 << end);
  const bool set = (line->ptSel & bit) != 0;
  if ((mode == 1 && set) || (mode == 0 && !set)) return 0;
  line->ptSel ^= bit;
  if (line->ptSel) line->head.flags |= gobjPointSel;
  else line->head.flags &= uint16_t(~gobjPointSel);
  // The mark is erased when the end left the selection, drawn when it
  // joined it.
  if (point) markDraw(point, kSelMarker, (line->ptSel & bit) ? 0 : 1);
  return 0;
}

int crossings(lineRec* line, void* record) {
  auto* rec = static_cast<crvCrossRec*>(record);
  if (!rec) return 0;
  gobjRec* other = rec->curveB;
  if (!other || other->classId != line->head.classId)
    return objMeth(objSuperClass(line->head.classId), msgCrossings, line, reinterpret_cast<intptr_t>(rec));
  // Arcs answer their line crossings once the arc class exists; lines
  // here.
  rec->curveA = &line->head;
  rec->pointAt = analyticPoint;
  rec->paramsAt = analyticParams;
  rec->release = analyticRelease;
  const auto* b = reinterpret_cast<const lineRec*>(other);
  double dA[3], dB[3], s = 0, t = 0, pA[3], pB[3];
  vecSub3(pt1(line), pt0(line), dA);
  vecSub3(pt1(b), pt0(b), dB);
  if (geomLineIntersect(pt0(line), dA, pt0(b), dB, rec->tol * 0.0625, rec->flags, &s, pA, &t, pB) != 1) return 0;
  rec->result.analytic.tA[0] = s;
  rec->result.analytic.tB[0] = t;
  vecCopy3(pA, rec->result.analytic.points[0]);
  return 1;
}

}  // namespace linemod
