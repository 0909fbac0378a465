// The snap letters: what each proposes, and the test and record of a
// proposed point.
#include "tools/snap_internal.h"

#include "tools/snapround.h"
#include "tools/track.h"

#include "core/classes.h"
#include "core/proginfo.h"
#include "draw/xforms.h"
#include "geometry/crossings.h"
#include "geometry/curve.h"
#include "geometry/isect.h"
#include "geometry/line.h"
#include "geometry/plane.h"
#include "objects/gobject.h"
#include "objects/grpedit.h"
#include "objects/nearcurve.h"
#include "objects/objsend.h"
#include "views/wplane.h"

#include <cmath>
#include <cstring>

namespace snapint {
namespace {

bool isCurve(const gobjRec* object) { return object && objInClass(object, "curve") == 1; }

void setObject(Run* run, int index, double param) {
  run->objectCount = index >= 0 ? 1 : 0;
  run->objectIndex[0] = index;
  run->objectIndex[1] = -1;
  run->params[0] = param;
  run->params[1] = 0;
}

// e, m, c: points on each candidate at fixed parameters.
void atParams(Run* run, int code, int index, const double* params, int count) {
  gobjRec* object = run->set.cands[index].object;
  for (int i = 0; i < count; ++i) {
    double point[3];
    if (crvPoint(object, params[i], point) == 0) offer(run, point, code, index, params[i]);
  }
}

void ends(Run* run) {
  static const double params[2] = {0.0, 1.0};
  for (int k = 0; k < run->set.count; ++k)
    if (!onTemp(run->set.cands[k].object)) atParams(run, 'e', k, params, 2);
}

void middles(Run* run) {
  static const double text[4] = {1.5, 4.5, 7.5, 10.5};
  static const double half[1] = {0.5};
  for (int k = 0; k < run->set.count; ++k) {
    gobjRec* object = run->set.cands[k].object;
    if (onTemp(object) || onConstruction(run, object) || crvIsClosed(object) == 1) continue;
    if (objInClass(object, "textEd") == 1)
      atParams(run, 'm', k, text, 4);
    else
      atParams(run, 'm', k, half, 1);
  }
}

void centres(Run* run) {
  int count = 0;
  const trackMarker* markers = trackMarkers(&count);
  for (int i = 0; markers && i < count; ++i)
    if (markers[i].kind == trackMarkerCenter) offer(run, markers[i].point, 'c', -1, 0);
  static const double centre[1] = {-0.5};
  for (int k = 0; k < run->set.count; ++k) {
    gobjRec* object = run->set.cands[k].object;
    if (!onTemp(object) && objInClass(object, "textEd") == 1) atParams(run, 'c', k, centre, 1);
  }
}

// i: the crossings of candidate pairs not tested yet during this snap.
bool crossings(Run* run) {
  const int total = run->set.count;
  for (int k = 1; k < total; ++k) {
    for (int j = 0; j < k; ++j) {
      if (k < run->iTested) continue;
      gobjRec* a = run->set.cands[j].object;
      gobjRec* b = run->set.cands[k].object;
      if (!isCurve(a) || !isCurve(b)) continue;
      crvCrossRec rec{};
      rec.curveA = a;
      rec.curveB = b;
      rec.tol = 0.1 / (run->scale > 0 ? run->scale : 1.0);
      int count = crvCrossCount(&rec);
      for (int i = 0; i < count; ++i) {
        double point[3] = {0, 0, 0};
        rec.pointAt(&rec, i, point);
        if (!offer(run, point, 'i', j, 0)) continue;
        run->objectCount = 2;
        run->objectIndex[1] = k;
        run->params[0] = run->params[1] = 0;
        if (rec.paramsAt) rec.paramsAt(&rec, i, &run->params[0], &run->params[1]);
      }
      rec.release(&rec);
      if (!timeCheck(run)) {
        run->iTested = total;
        return false;
      }
    }
  }
  run->iTested = total;
  return true;
}

// B, f: crossings as the view shows them, of curves that pass one behind
// the other. B takes the point on one curve, f on the other, by their
// depths; true crossings (equal depths) are left to i.
bool apparent(Run* run, int letter) {
  const uint32_t deadline = uTicks() + 30;
  const int total = run->set.count;
  for (int k = 1; k < total; ++k) {
    for (int j = 0; j < k; ++j) {
      if (k < run->apparentTested) continue;
      if (run->set.cands[j].kind != 0) continue;
      gobjRec* a = run->set.cands[j].object;
      gobjRec* b = run->set.cands[k].object;
      if (!isCurve(a) || !isCurve(b)) continue;
      crvIsectList list{};
      crvIntersectList(a, 0, b, 0, &list, deadline);
      for (uint32_t i = 0; i < list.count; ++i) {
        const crvIsectEntry& onJ = list.entriesA[i];
        const crvIsectEntry& onK = list.entriesB[i];
        double screenJ[3], screenK[3];
        vwWorldToScreen(onJ.point, screenJ);
        vwWorldToScreen(onK.point, screenK);
        const double depth = screenJ[2] - screenK[2];
        if (std::fabs(depth) < 1e-10) continue;
        double screen[3], d;
        if (!snapAccept(&run->best, onJ.point, screen, &d)) continue;
        const bool takeK = letter == 'B' ? depth >= 0 : depth < 0;
        const crvIsectEntry& chosen = takeK ? onK : onJ;
        const crvIsectEntry& other = takeK ? onJ : onK;
        double point[3];
        if (crvPoint(takeK ? b : a, chosen.t, point) != 0) continue;
        snapRecord(&run->best, point, takeK ? screenK : screenJ, d, letter);
        run->objectCount = 2;
        run->objectIndex[0] = takeK ? k : j;
        run->objectIndex[1] = takeK ? j : k;
        run->params[0] = chosen.t;
        run->params[1] = other.t;
      }
      crvIsectListFree(&list);
      if (!timeCheck(run)) {
        run->apparentTested = total;
        return false;
      }
    }
  }
  run->apparentTested = total;
  return true;
}

// o: the nearest point of each candidate (of the filter class).
void nearest(Run* run, const char* filter) {
  for (int k = 0; k < run->set.count; ++k) {
    gobjRec* object = run->set.cands[k].object;
    if (filter[0] && objInClass(object, filter) != 1) continue;
    double squared = -1, param = 0;
    if (crvNearest(object, run->best.cursorScreen, 0.1, &squared, &param, 4) < 0 || squared < 0) continue;
    if (squared > run->accept2) continue;
    double point[3];
    if (crvPoint(object, param, point) != 0) continue;
    if (run->best.planeConstrained && !snapOnPlane(run->best.plane, point)) continue;
    double screen[3];
    vwWorldToScreen(point, screen);
    double dx = screen[0] - run->best.cursorScreen[0], dy = screen[1] - run->best.cursorScreen[1];
    double d = dx * dx + dy * dy;
    // Construction geometry gives way to drawn objects at the same place.
    if (onConstruction(run, object)) d += 0.5;
    if (!(d < run->best.bestDistance)) continue;
    snapRecord(&run->best, point, screen, d, 'o');
    setObject(run, k, param);
    // A later letter at the very same place wins over the bare curve.
    run->best.bestDistance -= 0.01;
  }
}

// v: the vertices of each candidate through the vertex messages.
int vertexTest(void* vertex, void* context, int) {
  auto* run = static_cast<Run*>(context);
  const double* point = static_cast<const double*>(vertex);
  if (point == nullptr) return 0;
  double screen[3], d;
  if (!snapAccept(&run->best, point, screen, &d)) return 0;
  // An arc's centre is one of its vertices while its control points are
  // hidden; it is not a point on the drawing to snap to. (Arcs answer
  // their centre once they exist; nothing to skip before.)
  snapRecord(&run->best, point, screen, d, run->best.currentCode);
  setObject(run, run->best.currentIndex, -1.0);
  return 0;
}

void vertices(Run* run) {
  run->best.currentCode = 'v';
  for (int k = 0; k < run->set.count; ++k) {
    gobjRec* object = run->set.cands[k].object;
    if (object == nullptr || onTemp(object)) continue;
    run->best.currentObject = object;
    run->best.currentIndex = k;
    if (object->flags & gobjControlPts)
      objEnumPoints(object, vertexTest, run, 0);
    else
      objSend356(object, reinterpret_cast<intptr_t>(&vertexTest), reinterpret_cast<intptr_t>(run), 1);
  }
  run->best.currentObject = nullptr;
  run->best.currentIndex = -1;
}

// p, t: from the last entered point, and along the context's direction.
void fromLastPoint(Run* run, int letter) {
  trackContext* context = run->context;
  double* cursorWorld = run->best.cursorWorld;
  if (context->enteredCount > 0 && context->entered != nullptr) {
    const double* last = context->entered[context->enteredCount - 1];
    double screen[3];
    vwWorldToScreen(last, screen);
    const double dx = screen[0] - run->best.cursorScreen[0], dy = screen[1] - run->best.cursorScreen[1];
    if (dx * dx + dy * dy >= 25) {
      for (int k = 0; k < run->set.count; ++k) {
        if (run->set.cands[k].kind != 0) continue;
        gobjRec* object = run->set.cands[k].object;
        double param = 0, point[3] = {0, 0, 0};
        const int answer = letter == 'p'
                               ? objHitTest(object, cursorWorld, last, &param, point, 0)
                               : objTangentPick(object, reinterpret_cast<intptr_t>(cursorWorld),
                                                reinterpret_cast<intptr_t>(last), reinterpret_cast<intptr_t>(&param),
                                                reinterpret_cast<intptr_t>(point), 0);
        if (answer == 1) offer(run, point, letter, k, param);
      }
    }
  }
  const double* dir = context->direction;
  if (dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2] <= 1e-30) return;
  double along[3] = {dir[0], dir[1], dir[2]};
  if (letter == 'p') {
    double n[3];
    wpGetAxis(2, n);
    along[0] = dir[1] * n[2] - dir[2] * n[1];
    along[1] = dir[2] * n[0] - dir[0] * n[2];
    along[2] = dir[0] * n[1] - dir[1] * n[0];
  }
  for (int k = 0; k < run->set.count; ++k) {
    if (run->set.cands[k].kind != 0) continue;
    double buffer[3] = {along[0], along[1], along[2]};
    double param = 0;
    const intptr_t bufferWord = reinterpret_cast<intptr_t>(buffer);
    if (objSend350(run->set.cands[k].object, bufferWord, reinterpret_cast<intptr_t>(cursorWorld),
                   reinterpret_cast<intptr_t>(&param), bufferWord, 0) >= 0)
      offer(run, buffer, letter, k, param);
  }
}

// r, R: the cursor's world point rounded within its pixel.
void round(Run* run, int letter) {
  const trackContext* context = run->context;
  const int32_t x = run->best.cursor[0], y = run->best.cursor[1];
  const int32_t a[2] = {x - 1, y - 1}, b[2] = {x + 1, y + 1};
  double lo[3], hi[3];
  vwPixelToWorld(a, lo);
  vwPixelToWorld(b, hi);
  planeRec plane = context->plane;
  if (!context->planeConstrained) {
    double equation[4];
    wpGetEquation(equation);
    plane = planeRec{{equation[0], equation[1], equation[2]}, equation[3]};
  }
  // The view direction in world terms: between two screen depths of the
  // cursor pixel.
  const double near0[3] = {double(x), double(y), 0}, near1[3] = {double(x), double(y), 1};
  double w0[3], w1[3];
  vwScreenToWorld(near0, w0);
  vwScreenToWorld(near1, w1);
  const double view[3] = {w1[0] - w0[0], w1[1] - w0[1], w1[2] - w0[2]};
  double onA[3], onB[3];
  if (planeLineHit(view, lo, &plane, onA) == 0) std::memcpy(lo, onA, sizeof onA);
  if (planeLineHit(view, hi, &plane, onB) == 0) std::memcpy(hi, onB, sizeof onB);
  for (int i = 0; i < 3; ++i)
    if (lo[i] > hi[i]) std::swap(lo[i], hi[i]);
  double* point = run->best.cursorWorld;
  snapRoundPoint(letter, lo, hi, point);
  double projected[3];
  if (planeProjectPt(point, &plane, projected) == 0) std::memcpy(point, projected, sizeof projected);
}

// b: construction lines through the last entered point along the
// directions of the curves near it.
void nearLines(Run* run) {
  trackContext* context = run->context;
  if (context->enteredCount <= 0 || context->entered == nullptr) return;
  const double* anchor = context->entered[context->enteredCount - 1];
  double anchorScreen[3];
  vwWorldToScreen(anchor, anchorScreen);
  const double vx = run->best.cursorScreen[0] - anchorScreen[0], vy = run->best.cursorScreen[1] - anchorScreen[1];
  for (uint32_t i = 0; i < context->nearDirs.count && run->set.count < snapCandMax; ++i) {
    const double* direction = context->nearDirs.vectors[i];
    const double tip[3] = {anchor[0] + direction[0], anchor[1] + direction[1], anchor[2] + direction[2]};
    double tipScreen[3];
    vwWorldToScreen(tip, tipScreen);
    const double dx = tipScreen[0] - anchorScreen[0], dy = tipScreen[1] - anchorScreen[1];
    const double length2 = dx * dx + dy * dy;
    if (length2 < 1e-30) continue;
    const double t = (vx * dx + vy * dy) / length2;
    const double ox = vx - t * dx, oy = vy - t * dy;
    if (!(ox * ox + oy * oy < run->accept2)) continue;
    const double end[3] = {anchor[0] + 2 * t * direction[0], anchor[1] + 2 * t * direction[1],
                           anchor[2] + 2 * t * direction[2]};
    gobjRec* line = lineMake(anchor, end);
    if (line == nullptr) continue;
    // A new line is held by no one: the candidate's count is its only one.
    if (snapCandAdd(&run->set, line, (i % 2) == 0 ? 't' : 'p', anchor, direction, "") < 0) objFree(line);
  }
}

}  // namespace

bool onTemp(const gobjRec* object) { return object && objOnScratchLayer(object); }

bool onConstruction(const Run* run, const gobjRec* object) {
  return object && run->constructionLayer >= 0 && object->layer == run->constructionLayer;
}

bool offer(Run* run, const double point[3], int code, int index, double param) {
  double screen[3], d;
  if (!snapAccept(&run->best, point, screen, &d)) return false;
  snapRecord(&run->best, point, screen, d, code);
  setObject(run, index, param);
  return true;
}

bool propose(Run* run, const snapToken& token) {
  const int letter = token.letter;
  if (!snapLetterEnabled(letter, run->mask)) return true;
  switch (letter) {
    case 'e': ends(run); break;
    case 'm': middles(run); break;
    case 'c': centres(run); break;
    case 'i': crossings(run); break;
    case 'o': nearest(run, token.filter); break;
    case 'z': {
      double origin[3];
      wpGetAxis(3, origin);
      offer(run, origin, 'z', -1, 0);
      break;
    }
    case 'r':
    case 'R': round(run, letter); break;
    case 'b': nearLines(run); break;
    case 'v': vertices(run); break;
    case 'B':
    case 'f': apparent(run, letter); break;
    case 'p':
    case 't': fromLastPoint(run, letter); break;
    case 'H':
      if (token.radius == -1)
        run->acceptRadius /= 2;
      else if (token.radius >= 0)
        run->acceptRadius = token.radius;
      run->accept2 = run->acceptRadius * run->acceptRadius;
      break;
    case 'n':
      std::memcpy(run->best.bestWorld, run->best.cursorWorld, sizeof run->best.bestWorld);
      run->best.bestCode = 'n';
      setObject(run, -1, 0);
      return false;
    default:
      // a, A, g, %: the snap assistant's proposals; q: the classes' snap
      // parameters. Not proposed yet.
      break;
  }
  return !run->abandoned;
}

}  // namespace snapint
