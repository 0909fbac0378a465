#include "app/ferun/standins.h"

#include "core/bbox.h"
#include "core/classes.h"
#include "core/errors.h"
#include "core/matrix.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/value.h"
#include "views/xforms.h"
#include "objects/gobject.h"
#include "objects/ioformat.h"
#include "objects/objmsg.h"

#include <algorithm>
#include <cstring>

namespace {

struct tsegRec {
  gobjRec head;
  double pt[2][3];
};

uint16_t tsegClass;

int pointIndex(const feObject* key) {
  if (feType(key) != feTName) return -1;
  const char* text;
  size_t length;
  feNameText(key, &text, &length);
  if (length != 3 || text[0] != 'p' || text[1] != 't' || (text[2] != '0' && text[2] != '1')) return -1;
  return text[2] - '0';
}

void updateBox(tsegRec* seg) { bboxFromCorners(seg->pt[0], seg->pt[1], seg->head.box); }

int getPoint(const tsegRec* seg, int which, feObject* out) {
  feObject xyz[3];
  for (int i = 0; i < 3; ++i) feMakeReal(&xyz[i], seg->pt[which][i]);
  feFree(out);
  return feMakeArray(out, xyz, 3);
}

int setPoint(tsegRec* seg, int which, const feObject* value) {
  if (feType(value) != feTArray || feArrayLength(value) != 3) return feErrTypeCheck;
  double p[3];
  for (int i = 0; i < 3; ++i) {
    const feObject* v = feArrayElem(value, i);
    if (feType(v) != feTInt && feType(v) != feTReal) return feErrTypeCheck;
    p[i] = feGetNumber(v, nullptr);
  }
  std::memcpy(seg->pt[which], p, sizeof p);
  updateBox(seg);
  return 0;
}

// Makes a tseg from alternating keys and values; every key goes through
// message 108, so "locked" may stand anywhere in the list.
int create(const feObject* list, gobjRec** slot) {
  if (feType(list) != feTArray) return feErrTypeCheck;
  gobjRec* object = objNew(tsegClass);
  if (!object) return -1;
  const int32_t n = feArrayLength(list);
  for (int32_t i = 0; i + 1 < n; i += 2) {
    const feObject* key = feArrayElem(list, i);
    if (feNameIs(key, "type")) continue;
    int answer = objMeth(tsegClass, msgSetAttr, object, reinterpret_cast<intptr_t>(key),
                         reinterpret_cast<intptr_t>(feArrayElem(list, i + 1)));
    if (answer != 0) {
      objFree(object);
      return answer;
    }
  }
  *slot = object;
  return 0;
}

int tsegHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* seg = static_cast<tsegRec*>(object);
  const uint16_t super = objSuperClass(tsegClass);
  switch (message) {
    case msgNew:
      return gobjNewAs(tsegClass, sizeof(tsegRec), a);
    case msgGetAttr: {
      int which = pointIndex(reinterpret_cast<const feObject*>(a));
      if (which < 0) break;
      return getPoint(seg, which, reinterpret_cast<feObject*>(b));
    }
    case msgSetAttr: {
      int which = pointIndex(reinterpret_cast<const feObject*>(a));
      if (which < 0) break;
      return setPoint(seg, which, reinterpret_cast<const feObject*>(b));
    }
    case msgDraw: {
      // The object's colour and pen first, then the segment in world
      // coordinates.
      const int answer = objMeth(super, message, object, a, b, c);
      vwMoveToW(seg->pt[0]);
      vwLineToW(seg->pt[1]);
      return answer;
    }
    case msgExtents: {
      auto* corners = reinterpret_cast<double*>(a);
      for (int i = 0; i < 3; ++i) {
        corners[i] = std::min(seg->pt[0][i], seg->pt[1][i]);
        corners[3 + i] = std::max(seg->pt[0][i], seg->pt[1][i]);
      }
      return 0;
    }
    case msgIO: {
      int answer = objMeth(super, message, object, a, b, c);
      if (answer < 0) return answer;
      auto* ctx = reinterpret_cast<ioCtx*>(a);
      if (ioFormat(ctx, "6d", &seg->pt[0][0]) < 0) return -1;
      if (ctx->mode == 'r') updateBox(seg);
      return 0;
    }
    case msgCopy: {
      int answer = objMeth(super, message, object, a, b, c);
      auto** out = reinterpret_cast<gobjRec**>(a);
      if (answer == 0 && *out) std::memcpy(reinterpret_cast<tsegRec*>(*out)->pt, seg->pt, sizeof seg->pt);
      return answer;
    }
    case msgXform: {
      const double* m = reinterpret_cast<const double*>(a);
      for (auto& p : seg->pt) aPtTransform(3, p, m, p);
      updateBox(seg);
      if (b) *reinterpret_cast<gobjRec**>(b) = &seg->head;
      return 0;
    }
    case msgEnumVertices: {
      auto callback = reinterpret_cast<int (*)(double*, void*, int)>(a);
      int number = int(c);
      for (auto& p : seg->pt) callback(p, reinterpret_cast<void*>(b), number++);
      return number;
    }
    case msgEnumKeys: {
      int answer = objMeth(super, message, object, a, b, c);
      auto callback = reinterpret_cast<objKeyCallback>(a);
      for (const char* name : {"pt0", "pt1"}) {
        if (answer != 0) break;
        feObject key;
        feMakeName(&key, name, 3);
        answer = callback(&key, reinterpret_cast<void*>(b));
      }
      return answer;
    }
    case msgCreate:
      return create(reinterpret_cast<const feObject*>(a), reinterpret_cast<gobjRec**>(b));
    default:
      break;
  }
  return objMeth(super, message, object, a, b, c);
}

}  // namespace

void standinsInit() {
  if (tsegClass) return;
  tsegClass = objClassRegister("tseg", gobjClassId(), tsegHandler);
}

uint16_t tsegClassId() { return tsegClass; }
