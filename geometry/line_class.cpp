// The class "line": registration, the construction functions and the
// handler's geometric messages.
#include "geometry/line_internal.h"

#include "core/bbox.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/matrix.h"
#include "core/vec.h"
#include "draw/xforms.h"
#include "geometry/clip.h"
#include "geometry/curve.h"
#include "geometry/ngeom.h"
#include "geometry/trackstep.h"
#include "objects/layer.h"
#include "objects/lnfont.h"
#include "objects/lnstyle.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"
#include "objects/update.h"
#include "views/wplane.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

uint16_t classId;

int super(lineRec* line, int message, intptr_t a = 0, intptr_t b = 0, intptr_t c = 0) {
  return objMeth(objSuperClass(classId), message, line, a, b, c);
}

template <typename T>
T* ptr(intptr_t word) {
  return reinterpret_cast<T*>(word);
}

uint16_t* styleWord(gobjRec* object) {
  return object && object->classId == classId ? &reinterpret_cast<lineRec*>(object)->arrows : nullptr;
}

// 300: the record after the superclass filled the head.
int newRecord(intptr_t slotWord) {
  auto** slot = ptr<gobjRec*>(slotWord);
  const bool fresh = slot && !*slot;
  const int answer = gobjNewAs(classId, sizeof(lineRec), slotWord);
  if (answer != 0 || !fresh || !*slot) return answer;
  auto* line = reinterpret_cast<lineRec*>(*slot);
  vertexSetOrigin(&line->p0);
  vertexSetOrigin(&line->p1);
  line->fontStart = 0;
  line->fontEnd = 16;
  line->phaseScale = 1.0f;
  linemod::endsChanged(line);
  return 0;
}

// 100: the attribute block, the vertices, then the record.
int freeRecord(lineRec* line) {
  vertexClear(&line->p0);
  vertexClear(&line->p1);
  return super(line, msgFree);
}

// 313: the superclass copies the head into the slot's line.
int copy(lineRec* line, gobjRec** slot) {
  if (!slot) return -1;
  if (!*slot && objMeth(classId, msgNew, nullptr, reinterpret_cast<intptr_t>(slot)) != 0) return -1;
  const int answer = super(line, msgCopy, reinterpret_cast<intptr_t>(slot));
  if (answer != 0 || !*slot || (*slot)->classId != classId) return answer;
  auto* to = reinterpret_cast<lineRec*>(*slot);
  vertexAssign(line->p0, &to->p0);
  vertexAssign(line->p1, &to->p1);
  to->ptSel = line->ptSel;
  to->arrows = line->arrows;
  to->phaseScale = line->phaseScale;
  to->fontStart = line->fontStart;
  to->fontEnd = line->fontEnd;
  linemod::endsChanged(to);
  return 0;
}

int boxRange(const lineRec* line, double t0, double t1, double* box) {
  double a[3], b[3];
  linemod::pointAt(line, t0, a);
  linemod::pointAt(line, t1, b);
  for (int i = 0; i < 3; ++i) {
    box[i] = std::min(a[i], b[i]);
    box[3 + i] = std::max(a[i], b[i]);
  }
  return 0;
}

int evalAt(const lineRec* line, crvEvalRec* rec) {
  if (!rec || !rec->out) return 0;
  if (rec->mode == 0) linemod::pointAt(line, rec->t, rec->out);
  else if (rec->mode == 1) vecSub3(linemod::pt1(line), linemod::pt0(line), rec->out);
  else vecSet3(rec->out, 0, 0, 0);
  return 0;
}

int footPoint(const lineRec* line, const crvFootRec* rec) {
  if (!rec || !rec->point) return 0;
  return geomLinePtDist(3, linemod::pt0(line), linemod::pt1(line), rec->point, rec->flags, rec->outParam,
                        rec->outSquared, rec->outFoot);
}

// 310: the piece between t0 and t1 into the slot's line (a duplicate when
// the slot holds another object).
int subCurve(lineRec* line, double t0, double t1, gobjRec** slot) {
  if (!slot) return -1;
  double a[3], b[3];
  linemod::pointAt(line, t0, a);
  linemod::pointAt(line, t1, b);
  if (*slot != &line->head) {
    *slot = nullptr;
    if (objCopyInto(&line->head, slot) != 0 || !*slot) return -1;
  }
  return lineSet(slot, a, b, nullptr);
}

int nearest(const lineRec* line, const crvNearRec* rec) {
  if (!rec || !rec->point) return 0;
  double a[3], b[3];
  vwWorldToScreen(linemod::pt0(line), a);
  vwWorldToScreen(linemod::pt1(line), b);
  geomLinePtDist(2, a, b, rec->point, 0, rec->outParam, rec->outSquared, nullptr);
  return 0;
}

// 319: -1 when the start lies in the clip rectangle, else the draw-to test
// of the segment.
int clipCheck(const lineRec* line) {
  if (clipMoveTo(linemod::pt0(line)) == -1) return -1;
  return clipLineTo(linemod::pt1(line));
}

// 321: both ends through the matrix, into the slot's line.
int transform(lineRec* line, const double* m, gobjRec** slot) {
  if (!m) return -1;
  double a[3], b[3];
  aPtTransform(3, linemod::pt0(line), m, a);
  aPtTransform(3, linemod::pt1(line), m, b);
  gobjRec* self = &line->head;
  if (!slot) slot = &self;
  *slot = &line->head;
  return lineSet(slot, a, b, nullptr);
}

int enumVertices(lineRec* line, objVertexFn callback, void* context, int first, bool selectedOnly) {
  if (callback) {
    if (!selectedOnly || (line->ptSel & 1)) callback(line->p0, context, first);
    if (!selectedOnly || (line->ptSel & 2)) callback(line->p1, context, first + 1);
  }
  return first + 2;
}

// 329 with a pixel box (left, top, right, bottom): 1 when both ends, in
// pixels of the current view, lie inside it, edges included.
int boxTest(const lineRec* line, const int32_t* box) {
  if (!box) {
    dbgPanic("scrbox is NULL");
    return 0;
  }
  for (const double* p : {linemod::pt0(line), linemod::pt1(line)}) {
    int32_t pixel[2];
    vwWorldToPixel(p, pixel);
    if (pixel[0] < box[0] || pixel[1] < box[1] || pixel[0] > box[2] || pixel[1] > box[3]) return 0;
  }
  return 1;
}

// 332 and 333: the point-selected ends moved by a displacement or a matrix.
int moveSelected(lineRec* line, const double* arg, bool matrix) {
  if (!line->ptSel || !arg) return 0;
  double ends[2][3];
  vecCopy3(linemod::pt0(line), ends[0]);
  vecCopy3(linemod::pt1(line), ends[1]);
  for (int i = 0; i < 2; ++i) {
    if (!(line->ptSel & (1 << i))) continue;
    if (matrix) aPtTransform(3, ends[i], arg, ends[i]);
    else vecAdd3(ends[i], arg, ends[i]);
  }
  gobjRec* slot = &line->head;
  return lineSet(&slot, (line->ptSel & 1) ? ends[0] : nullptr, (line->ptSel & 2) ? ends[1] : nullptr, nullptr);
}

// 337, packed (tolerance, 0, start, next, context).
int enumOutline(const lineRec* line, const intptr_t* block) {
  if (!block) return -1;
  auto start = reinterpret_cast<objPointFn>(block[2]);
  auto next = reinterpret_cast<objPointFn>(block[3]);
  void* context = reinterpret_cast<void*>(block[4]);
  if (start) start(linemod::pt0(line), context);
  if (next) next(linemod::pt1(line), context);
  return 0;
}

// 349, packed (0, point, out t, out foot, flags).
int hitTest(const lineRec* line, const intptr_t* block) {
  if (!block || !block[1]) return 0;
  return geomLinePtDist(3, linemod::pt0(line), linemod::pt1(line), reinterpret_cast<const double*>(block[1]),
                        uint32_t(block[4]), reinterpret_cast<double*>(block[2]), nullptr,
                        reinterpret_cast<double*>(block[3]));
}

// 703: 0 when the other line has the same ends, in either order, over the
// first n coordinates.
int sameAs(const lineRec* line, const gobjRec* other, intptr_t n) {
  if (!other || other->classId != line->head.classId) return -1;
  const auto* b = reinterpret_cast<const lineRec*>(other);
  const int count = int(std::clamp<intptr_t>(n, 0, 3));
  auto equal = [count](const double* p, const double* q) {
    for (int i = 0; i < count; ++i)
      if (p[i] != q[i]) return false;
    return true;
  };
  if (equal(linemod::pt0(line), linemod::pt0(b)) && equal(linemod::pt1(line), linemod::pt1(b))) return 0;
  if (equal(linemod::pt0(line), linemod::pt1(b)) && equal(linemod::pt1(line), linemod::pt0(b))) return 0;
  return -1;
}

int lineHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* line = static_cast<lineRec*>(object);
  switch (message) {
    case msgNew: return newRecord(a);
    case msgFree: return freeRecord(line);
    case msgGetAttr: return linemod::getAttr(line, ptr<const feObject>(a), ptr<feObject>(b));
    case msgSetAttr: return linemod::setAttr(line, ptr<const feObject>(a), ptr<const feObject>(b));
    case msgDraw: return linemod::draw(line);
    case msgBoxRange:
      if (!a || !b || !c) return 0;
      return boxRange(line, *ptr<const double>(a), *ptr<const double>(b), ptr<double>(c));
    case msgExtents: return linemod::extents(line, ptr<double>(a));
    case msgPointAtT:
      if (a && b) linemod::pointAt(line, *ptr<const double>(a), ptr<double>(b));
      return 0;
    case msgEvalAt: return evalAt(line, ptr<crvEvalRec>(a));
    case msgFootPoint: return footPoint(line, ptr<const crvFootRec>(a));
    case msgSubCurve:
      if (!a || !b) return -1;
      return subCurve(line, *ptr<const double>(a), *ptr<const double>(b), ptr<gobjRec*>(c));
    case msgCrossings: return linemod::crossings(line, ptr<void>(a));
    case msgIO: return linemod::recordIO(line, ptr<ioCtx>(a), ptr<gobjRec*>(b));
    case msgCopy: return copy(line, ptr<gobjRec*>(a));
    case msgArcLength: {
      auto* rec = ptr<crvLenRec>(a);
      if (!rec) return 0;
      double p[3], q[3];
      linemod::pointAt(line, rec->t0, p);
      linemod::pointAt(line, rec->t1, q);
      if (rec->out) *rec->out = vecDist3(p, q);
      return 0;
    }
    case msgSetLength:
      if (!a) return -1;
      if (auto** slot = ptr<gobjRec*>(b)) *slot = &line->head;
      linemod::setLength(line, *ptr<const double>(a));
      return 0;
    case msgReverse:
      std::swap(line->p0, line->p1);
      linemod::endsChanged(line);
      return 0;
    case msgNearest: return nearest(line, ptr<const crvNearRec>(a));
    case msgCheck319: return clipCheck(line);
    case msgXform: return transform(line, ptr<const double>(a), ptr<gobjRec*>(b));
    case msgEnumVertices: return enumVertices(line, reinterpret_cast<objVertexFn>(a), ptr<void>(b), int(c), false);
    case msgRelink: {
      const int moved = vertexFollow(&line->p0) | vertexFollow(&line->p1);
      if (moved) linemod::endsChanged(line);
      return 0;
    }
    case msgBoxTest: return boxTest(line, ptr<const int32_t>(b));
    case msgPtSelSet: return linemod::selectPoint(line, ptr<const double>(a), b, c);
    case msgPtSelXform: return moveSelected(line, ptr<const double>(a), false);
    case msgXformInPlace: return moveSelected(line, ptr<const double>(a), true);
    case msgPtSelEnum: return enumVertices(line, reinterpret_cast<objVertexFn>(a), ptr<void>(b), int(c), true);
    case msgEnum: return enumOutline(line, ptr<const intptr_t>(a));
    case msgPropPanel: return linemod::propPanel(line, ptr<void>(a));
    case msgHitTest: return hitTest(line, ptr<const intptr_t>(a));
    case msgIsFlat: return 1;
    case msgToSpline:
      // The straight spline waits for the spline classes: the slot is
      // emptied and the request refused as having no method.
      if (b) *ptr<gobjRec*>(b) = nullptr;
      return crvNoMethod;
    case msgCreate: return linemod::makeKeyed(ptr<const feObject>(a), ptr<gobjRec*>(b));
    case msgPostLoad:
      linemod::fitPhase(line);
      return 0;
    case msgSignature: return a ? linemod::signature(line, ptr<int32_t>(a)) : -1;
    case msgIsectRange:
      if (a) *ptr<double>(a) = -9.0;
      if (b) *ptr<double>(b) = 10.0;
      return 0;
    case msgEnumKeys: return linemod::enumKeys(line, a, b);
    case msgCleanUpMerge: return linemod::merge(line, ptr<gobjRec>(a), ptr<gobjRec*>(b));
    case msgCleanUpKey: return a ? linemod::cleanUpKey(line, ptr<int32_t>(a)) : -1;
    case msgSameAs: return sameAs(line, ptr<const gobjRec>(a), b);
    case msgTrackStep: return lineTrackStep(int(a), ptr<trkStepRec>(b), ptr<gobjRec*>(c));
    default: break;
  }
  return super(line, message, a, b, c);
}

}  // namespace

namespace linemod {

void pointAt(const lineRec* line, double t, double* out) {
  if (t == 0.0) vecCopy3(pt0(line), out);
  else if (t == 1.0) vecCopy3(pt1(line), out);
  else {
    const double* a = pt0(line);
    const double* b = pt1(line);
    for (int i = 0; i < 3; ++i) out[i] = a[i] + t * (b[i] - a[i]);
  }
}

void fitPhase(lineRec* line) {
  if (!patterned(line)) return;
  double scale = 1.0;
  lnfontFitScale(line->head.style & 31, vecDist3(pt0(line), pt1(line)), line->fontStart, line->fontEnd, &scale);
  line->phaseScale = float(scale);
}

void endsChanged(lineRec* line) {
  if (line->head.flags & gobjInSieve) {
    line->head.flags |= gobjChanged;
    return;
  }
  double box[6];
  for (int i = 0; i < 3; ++i) {
    box[i] = std::min(pt0(line)[i], pt1(line)[i]);
    box[3 + i] = std::max(pt0(line)[i], pt1(line)[i]);
  }
  bboxFromCorners(box, box + 3, line->head.box);
}

void setLength(lineRec* line, double length) {
  double d[3];
  vecSub3(pt1(line), pt0(line), d);
  double old = vecLen3(d);
  if (old < 1e-30) {
    vecSet3(d, 1, 0, 0);
    old = 1;
  }
  double end[3];
  vecAxpy3(length / old, pt0(line), d, end);
  gobjRec* slot = &line->head;
  lineSet(&slot, nullptr, end, nullptr);
}

void rotateTo(lineRec* line, double turns) {
  double x[3], y[3], c, s, end[3];
  wpGetAxis(0, x);
  wpGetAxis(1, y);
  const double length = vecDist3(pt0(line), pt1(line));
  angSinCos(turns, &c, &s);
  for (int i = 0; i < 3; ++i) end[i] = pt0(line)[i] + length * c * x[i] + length * s * y[i];
  gobjRec* slot = &line->head;
  lineSet(&slot, nullptr, end, nullptr);
}

}  // namespace linemod

uint16_t lineInit(uint16_t curveClassId) {
  classId = objClassRegister("line", curveClassId, lineHandler);
  if (!classId) return 0;
  lnstyleSetWordSource(styleWord);
  linemod::registerOps();
  // The default arrowhead entry: kind 0, size 0.25 in the current plane.
  double normal[3];
  wpGetAxis(2, normal);
  lnstyleFind(0, 0.25, normal);
  return classId;
}

void lineExit() {
  if (lnstyleSetWordSource(nullptr) != styleWord) lnstyleSetWordSource(nullptr);
}

uint16_t lineClassId() { return classId; }

int lineSet(gobjRec** slot, const double* p0, const double* p1, const gobjRec* templ) {
  if (!slot || !classId) return -1;
  if (!*slot) {
    if (objMeth(classId, msgNew, nullptr, reinterpret_cast<intptr_t>(slot)) != 0 || !*slot) return -1;
    if (templ) {
      gobjRec* head = *slot;
      head->style = templ->style;
      head->flags = uint16_t((head->flags & ~0x0060) | (templ->flags & 0x0060));
      head->color = templ->color;
      layerSet(head, templ->layer, 0);
    }
    // Font 4 starts and ends on a dash at arc centres; no class of this
    // program has centres yet, so the codes keep their defaults (0, 16).
  }
  auto* line = reinterpret_cast<lineRec*>(*slot);
  if (p0) vertexSet(p0, &line->p0);
  if (p1) vertexSet(p1, &line->p1);
  linemod::fitPhase(line);
  linemod::endsChanged(line);
  return 0;
}

gobjRec* lineMake(const double* p0, const double* p1) {
  gobjRec* slot = nullptr;
  return lineSet(&slot, p0, p1, nullptr) == 0 ? slot : nullptr;
}

int lineEndPoints(const gobjRec* object, double* p0, double* p1) {
  if (!object || !classId || object->classId != classId) return -1;
  const auto* line = reinterpret_cast<const lineRec*>(object);
  if (p0) vecCopy3(linemod::pt0(line), p0);
  if (p1) vecCopy3(linemod::pt1(line), p1);
  return 0;
}

double lineWpAngle(const double* p0, const double* p1) {
  double x[3], y[3], d[3];
  wpGetAxis(0, x);
  wpGetAxis(1, y);
  vecSub3(p1, p0, d);
  const double dx = vecDot3(d, x), dy = vecDot3(d, y);
  if (dx == 0.0 && dy == 0.0) return 0.0;
  double turns = 0.0;
  angAtan2(dy, dx, &turns);
  // The half turn belongs to the upper end of the range.
  if (turns <= -0.5) turns += 1.0;
  return turns;
}

const double* lineWpAngleRef(const double* p0, const double* p1) {
  static double angle;
  angle = lineWpAngle(p0, p1);
  return &angle;
}
