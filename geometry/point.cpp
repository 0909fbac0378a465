// The point class: record, messages and the operator aPointMake.
#include "geometry/point.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/operator.h"
#include "geometry/clip.h"
#include "geometry/curve.h"
#include "geometry/marker.h"
#include "geometry/trackstep.h"
#include "objects/attrnames.h"
#include "objects/ioctx.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"
#include "objects/update.h"
#include "ui/achk.h"
#include "views/wplane.h"

#include <cstring>

namespace {

uint16_t pointClass = 0;
uiAChklEntry* checkList = nullptr;

enum { keyLoc = 1, keyPtSel = 2 };
enum { kindMask = 0x1F };

// Marker kind (style bits 0-4) to marker style; kinds 11-31 draw as kind 0.
constexpr int kMarkerStyles[11] = {2, 5, 3, 4, 0, 1, 3, 6, 8, 11, 13};

pointRec* asPoint(void* object) { return static_cast<pointRec*>(object); }

void position(const pointRec* point, double* out) {
  if (point->vertex) {
    out[0] = point->vertex->x;
    out[1] = point->vertex->y;
    out[2] = point->vertex->z;
  } else {
    out[0] = out[1] = out[2] = 0.0;
  }
}

int passOn(void* object, int message, intptr_t a = 0, intptr_t b = 0, intptr_t c = 0) {
  return objMeth(objSuperClass(pointClass), message, object, a, b, c);
}

bool isPositionKey(int code) { return code == 114 || code == attrPt0 || code == attrPt1; }

int getAttr(pointRec* point, const feObject* key, feObject* out) {
  uiAChkData data;
  const int code = uiAChkKeyCode(attrNames(), key, &data);
  if (!isPositionKey(code)) return passOn(point, msgGetAttr, reinterpret_cast<intptr_t>(key),
                                          reinterpret_cast<intptr_t>(out));
  double xyz[3];
  position(point, xyz);
  data.data = xyz;
  data.count = 3;
  uiAChkMakeValue(attrNames(), code, out, &data);
  return data.status;
}

int setAttr(pointRec* point, const feObject* key, const feObject* value) {
  uiAChkData data;
  const int code = uiAChkKeyCode(attrNames(), key, &data);
  if (!isPositionKey(code)) return passOn(point, msgSetAttr, reinterpret_cast<intptr_t>(key),
                                          reinterpret_cast<intptr_t>(value));
  if (uiAChkl(attrNames(), key, value, &data) == 0) return data.status;
  vertexSet(static_cast<const double*>(data.data), &point->vertex);
  return 0;
}

int newPoint(intptr_t slotWord) {
  const int answer = gobjNewAs(pointClass, sizeof(pointRec), slotWord);
  if (answer != 0) return answer;
  auto* point = reinterpret_cast<pointRec*>(*reinterpret_cast<gobjRec**>(slotWord));
  if (!point) return -1;
  point->head.style = uint8_t(point->head.style & ~kindMask);
  vertexSetOrigin(&point->vertex);
  return 0;
}

int draw(pointRec* point) {
  passOn(point, msgDraw);
  double xyz[3];
  position(point, xyz);
  markDrawCur(xyz, pointMarkerStyle(point->head.style & kindMask));
  return 0;
}

// Both corners of a six-double box at the position.
int boxAt(const pointRec* point, double* box) {
  if (!box) return 0;
  position(point, box);
  position(point, box + 3);
  return 0;
}

int evalAt(const pointRec* point, const crvEvalRec* rec) {
  if (!rec || !rec->out) return -1;
  if (rec->mode != 0) {
    rec->out[0] = rec->out[1] = rec->out[2] = 0.0;
    return -1;
  }
  position(point, rec->out);
  return 0;
}

// The head, then (from format version 1 on) the vertex.
int recordIO(pointRec* point, ioCtx* ctx, intptr_t slotWord) {
  // The head answers 0 when it went well (a failure is negative): the
  // vertex follows it in every stream of format version 1 and up.
  const int head = passOn(point, msgIO, reinterpret_cast<intptr_t>(ctx), slotWord);
  if (head < 0 || !ctx || ctx->version == 0) return head;
  const int vertex = vertexIO(&point->vertex, ctx);
  return vertex < 0 ? vertex : head + vertex;
}

int copy(pointRec* point, intptr_t slotWord) {
  auto** slot = reinterpret_cast<gobjRec**>(slotWord);
  if (!slot) return -1;
  if (!*slot) {
    const int made = objMeth(pointClass, msgNew, nullptr, slotWord);
    if (made != 0 || !*slot) return made != 0 ? made : -1;
  }
  const int answer = passOn(point, msgCopy, slotWord);
  double xyz[3];
  position(point, xyz);
  vertexSet(xyz, &reinterpret_cast<pointRec*>(*slot)->vertex);
  return answer;
}

// 329: whether the position, in pixels, lies in the screen rectangle
// (left, top, right, bottom; edges included).
int boxTest(const pointRec* point, const int32_t* rect) {
  if (!rect) {
    dbgPanic("scrbox is NULL");
    return 0;
  }
  double xyz[3];
  position(point, xyz);
  int32_t pixel[2];
  vwWorldToPixel(xyz, pixel);
  return rect[0] <= pixel[0] && pixel[0] <= rect[2] && rect[1] <= pixel[1] && pixel[1] <= rect[3] ? 1 : 0;
}

int selectPoint(pointRec* point, const double* at, intptr_t on) {
  const bool selected = point->head.flags & gobjPointSel;
  if (selected == (on != 0)) return 0;
  point->head.flags = uint16_t(on ? point->head.flags | gobjPointSel : point->head.flags & ~gobjPointSel);
  double xyz[3];
  position(point, xyz);
  markDraw(at ? at : xyz, 1, on ? 0 : 1);
  return 0;
}

int moveSelected(pointRec* point, const double* delta) {
  if (!(point->head.flags & gobjPointSel) || !delta) return 0;
  double xyz[3];
  position(point, xyz);
  for (int i = 0; i < 3; ++i) xyz[i] += delta[i];
  vertexSet(xyz, &point->vertex);
  return 0;
}

int pointHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  pointRec* point = asPoint(object);
  switch (message) {
    case msgFree:
      vertexClear(&point->vertex);
      passOn(object, msgFree);
      return 0;
    case msgGetAttr: return getAttr(point, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr:
      return setAttr(point, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgNew: return newPoint(a);
    case msgDraw: return draw(point);
    case msgBoxRange: return boxAt(point, reinterpret_cast<double*>(c));
    case msgExtents: return boxAt(point, reinterpret_cast<double*>(a));
    case msgEvalAt: return evalAt(point, reinterpret_cast<const crvEvalRec*>(a));
    case msgIO: return recordIO(point, reinterpret_cast<ioCtx*>(a), b);
    case msgCopy: return copy(point, a);
    case msgCheck319: {
      double xyz[3];
      position(point, xyz);
      return clipMoveTo(xyz);
    }
    case msgEnumVertices:
      if (a) reinterpret_cast<objVertexFn>(a)(point->vertex, reinterpret_cast<void*>(b), int(c));
      return int(c) + 1;
    case msgRelink:
      vertexFollow(&point->vertex);
      return 0;
    case msgBoxTest: return boxTest(point, reinterpret_cast<const int32_t*>(b));
    case msgPtSelSet: return selectPoint(point, reinterpret_cast<const double*>(a), b);
    case msgPtSelXform: return moveSelected(point, reinterpret_cast<const double*>(a));
    case msgPtSelEnum:
      if ((point->head.flags & gobjPointSel) && a)
        reinterpret_cast<objVertexFn>(a)(point->vertex, reinterpret_cast<void*>(b), int(c));
      return int(c) + 1;
    case msgTrackStep: return pointTrackStep(int(a), reinterpret_cast<const trkStepRec*>(b));
    default: break;
  }
  return passOn(object, message, a, b, c);
}

// One key and value of aPointMake: the point's own keys first, any other
// through the object's attributes. 0 or the error.
int putKey(pointRec* point, const feObject* key, const feObject* value) {
  uiAChkData data;
  switch (uiAChkKeyCode(checkList, key, &data)) {
    case keyLoc:
      if (uiAChkl(checkList, key, value, &data) == 0) return data.status;
      vertexSet(static_cast<const double*>(data.data), &point->vertex);
      return 0;
    case keyPtSel:
      if (uiAChkl(checkList, key, value, &data) == 0) return data.status;
      point->head.flags =
          uint16_t(data.count ? point->head.flags | gobjPointSel : point->head.flags & ~gobjPointSel);
      return 0;
    default: return objPutAttr(&point->head, key, value);
  }
}

// "O#Q": an array of alternating keys and values -> a new point, not
// entered in any document. Not an array: 269; a last key without a value:
// 280, making nothing. A key that cannot be set drops the point and is
// the answer: a key passed on to the graphic object may already have queued
// it for update, and then the queue's reference frees it when the queue is
// drawn (it is taken off the queue first, so it is not drawn).
int aPointMakeOp(feArgs* args) {
  const feObject* list = args->in[0].value;
  if (!list || feType(list) != feTArray) return feErrTypeCheck;
  const int32_t n = feArrayLength(list);
  if (n % 2 != 0) return feErrLengthCheck;
  auto* point = reinterpret_cast<pointRec*>(objNew(pointClass));
  if (!point) return -1;
  for (int32_t i = 0; i < n; i += 2) {
    const int answer = putKey(point, feArrayElem(list, i), feArrayElem(list, i + 1));
    if (answer != 0) {
      objUpdateDequeue(&point->head);
      if (point->head.refCount == 0) objMeth(pointClass, msgFree, point);
      return answer;
    }
  }
  *static_cast<void**>(args->out[0]) = point;
  return 0;
}

}  // namespace

uint16_t pointInit(uint16_t curveClassId) {
  pointClass = objClassRegister("point", curveClassId, pointHandler);
  if (!checkList) uiDefAChkl(&checkList, keyLoc, "loc", "3D", keyPtSel, "ptsel", "I", 0);
  feRegisterOp("aPointMake", aPointMakeOp, "O#Q/attribute-array # point/", 0, 0);
  return pointClass;
}

void pointExit() {
  if (checkList) uFree(&checkList);
  checkList = nullptr;
}

uint16_t pointClassId() { return pointClass; }

pointRec* pointNew(const double* xyz) {
  auto* point = reinterpret_cast<pointRec*>(gobjAllocRecord(sizeof(pointRec)));
  point->head.classId = pointClass;
  point->vertex = vertexFind(xyz);
  return point;
}

int pointMarkerStyle(int kind) {
  return kind >= 0 && kind < int(sizeof kMarkerStyles / sizeof kMarkerStyles[0]) ? kMarkerStyles[kind]
                                                                                  : kMarkerStyles[0];
}

int markErase(const double* point, int style) {
  markDraw(point, style, 1);
  return 0;
}
