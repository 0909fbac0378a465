// The class "wplane": its message handler and the attribute keys scripts
// read and set.
#include "views/wplane.h"
#include "views/wplane_internal.h"

#include "core/classes.h"
#include "core/text.h"
#include "core/vec.h"
#include "fe/arrays.h"
#include "fe/names.h"
#include "fe/signature.h"
#include "objects/event.h"
#include "objects/objmsg.h"
#include "ui/achk.h"
#include "views/current.h"
#include "views/model.h"
#include "views/vwinit.h"

#include <cstddef>
#include <cstring>

namespace {

enum {
  kTitle = 6,
  kUpdate = 25,
  kRight = 30,
  kUp = 31,
  kNormal = 32,
  kActive = 36,
  kOrigin = 37,
  kLock = 38,
  kOrder = 105,
};

// Answer of a set that has no effect (keys outside the list, read-only keys).
constexpr int kIgnored = 1;
constexpr double kAxisMinSquared = 0.5;

uint16_t planeClass = 0;

const uiAChklEntry* checkList() {
  static uiAChklEntry* list;
  if (!list)
    uiDefAChkl(&list, kTitle, "title", "S", kOrder, "order", "I", kNormal, "normal", "3V", kRight, "right", "3V", kUp,
               "up", "3V", kOrigin, "origin", "3W", kUpdate, "update", "B", kLock, "lock", "B", kActive, "active", "B",
               0);
  return list;
}

int getAttr(wplaneRec* plane, const feObject* key, feObject* out) {
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  wpint::refresh(plane);
  switch (code) {
    case kTitle:
      data.data = plane->title;
      data.count = int32_t(std::strlen(plane->title));
      break;
    case kOrder:
    case kUpdate: return 0;  // nothing to read
    case kNormal: data.data = plane->equation; break;
    case kRight: data.data = plane->right; break;
    case kUp: data.data = plane->up; break;
    case kOrigin: data.data = plane->origin; break;
    case kLock: data.count = (plane->flags & (wpLocked | wpWorld)) ? 1 : 0; break;
    case kActive: data.count = (plane->owner && plane->owner->curPlane == plane) ? 1 : 0; break;
    default: return vwErrBadKey;
  }
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

bool titleTakenByOther(const wplaneRec* plane, const char* text, uint32_t length) {
  const wplaneRec* holder = wpFind(plane->owner, text, length);
  return holder && holder != plane;
}

int setTitle(wplaneRec* plane, const uiAChkData& data) {
  const auto* text = static_cast<const char*>(data.data);
  const uint32_t length = uint32_t(data.count);
  if (titleTakenByOther(plane, text, length)) return vwErrTitleNotUnique;
  uStrDup(text, length, &plane->title);
  evtSignal(vwEvPlaneChanged, reinterpret_cast<intptr_t>(plane));
  return 0;
}

int setOrder(wplaneRec* plane, int32_t position) {
  if (!plane->owner) return vwErrNoCurDoc;
  if (const int answer = ownedUnlink(plane)) return answer;
  // A negative position, read as a large unsigned number, appends.
  if (const int answer = ownedInsert(plane, uint32_t(position))) return answer;
  evtSignal(vwEvPlaneChanged, reinterpret_cast<intptr_t>(plane));
  return 0;
}

int setAxis(double axis[3], const double* value, uint16_t* flags) {
  double unit[3];
  vecNormalize3(value, unit);
  if (vecDot3(unit, unit) < kAxisMinSquared) return vwErrBadWP;
  vecCopy3(unit, axis);
  *flags |= wpStale;
  return 0;
}

int setAttr(wplaneRec* plane, const feObject* key, const feObject* value) {
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  if (code == 0) return kIgnored;
  if ((plane->flags & (wpLocked | wpWorld)) && code != kLock && code != kOrder) return vwErrLocked;
  if (code == kNormal || code == kActive) return kIgnored;
  if (uiAChkl(checkList(), key, value, &data) == 0) return data.status;
  switch (code) {
    case kTitle: return setTitle(plane, data);
    case kOrder: return setOrder(plane, data.count);
    case kRight: return setAxis(plane->right, static_cast<const double*>(data.data), &plane->flags);
    case kUp: return setAxis(plane->up, static_cast<const double*>(data.data), &plane->flags);
    case kOrigin:
      vecCopy3(static_cast<const double*>(data.data), plane->origin);
      wpint::setOffsetFlag(plane);
      plane->flags |= wpStale;
      return 0;
    case kUpdate: return wpUpdate(plane);
    case kLock:
      if (data.count) {
        plane->flags |= wpLocked;
      } else {
        if (plane->flags & wpWorld) return vwErrLocked;
        plane->flags &= uint16_t(~wpLocked);
      }
      return 0;
    default: return kIgnored;
  }
}

// Message 402: a new plane with the keyed attributes of the list set on it.
int create(const feObject* list, wplaneRec** out) {
  if (!list || feType(list) != feTArray) return 269;
  wplaneRec* plane = nullptr;
  wpNew(&plane);
  const int32_t n = feArrayLength(list);
  for (int32_t i = 0; i + 1 < n; i += 2) {
    const feObject* key = feArrayElem(list, i);
    if (feNameIs(key, "type")) continue;
    const int answer = setAttr(plane, key, feArrayElem(list, i + 1));
    if (answer != 0 && answer != kIgnored) {
      wpint::dropUnheld(plane);
      return answer;
    }
  }
  if (out) *out = plane;
  else wpint::dropUnheld(plane);
  return 0;
}

int planeHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* plane = static_cast<wplaneRec*>(object);
  switch (message) {
    case msgFree: wpint::freePlane(plane); return 0;
    case msgGetAttr: return getAttr(plane, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr: return setAttr(plane, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgNew: {
      auto** slot = reinterpret_cast<wplaneRec**>(a);
      if (!slot) return -1;
      return *slot ? 0 : wpNew(slot);
    }
    case msgIO: return wpint::recordIO(plane, reinterpret_cast<ioCtx*>(a));
    case msgAttach:
      if (!vwCurModel()) return vwErrNoCurModel;
      wpAddToModel(vwCurModel(), plane);
      return 0;
    case msgDetach: return wpint::deletePlane(plane);
    case msgCreate: return create(reinterpret_cast<const feObject*>(a), reinterpret_cast<wplaneRec**>(b));
    default: return objMeth(objSuperClass(planeClass), message, object, a, b, c);
  }
}

}  // namespace

uint16_t wplaneClassInit(uint16_t viewobjClass) {
  planeClass = objClassRegister("wplane", viewobjClass, planeHandler);
  checkList();
  feSetPointConverter(wpint::convertForScripts);
  return planeClass;
}

uint16_t wplaneClassId() { return planeClass; }

int wplaneIs(const void* object) {
  return object && planeClass && static_cast<const feObjRecord*>(object)->classId == planeClass;
}

const vwListDesc* wplaneListDesc() {
  static const vwListDesc desc = {offsetof(wplaneRec, next), offsetof(wplaneRec, owner),
                                  offsetof(modelRec, firstPlane)};
  return &desc;
}
