// The class "vdefs": its message handler and the attribute keys scripts
// read and set. The up vector and the normal are given and answered in the
// current work plane's coordinates.
#include "views/vdef.h"

#include "core/classes.h"
#include "core/text.h"
#include "core/vec.h"
#include "fe/arrays.h"
#include "fe/names.h"
#include "objects/event.h"
#include "objects/iofile.h"
#include "objects/objmsg.h"
#include "ui/achk.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/view.h"
#include "views/vwinit.h"
#include "views/wplane.h"

#include <cstddef>
#include <cstring>

namespace {

enum {
  kEyePoint = 4,
  kCentre = 5,
  kTitle = 6,
  kUp = 31,
  kNormal = 32,
  kLock = 38,
  kOrder = 105,
};

// wpConvert kinds: a direction from the plane to the world, and back.
enum { kPlaneToWorldDirection = 1, kWorldToPlaneDirection = 3 };

uint16_t vdefClass = 0;

const uiAChklEntry* checkList() {
  static uiAChklEntry* list;
  if (!list)
    uiDefAChkl(&list, kCentre, "ctr", "3D", kEyePoint, "eyePt", "3D", kUp, "upVect", "3D", kUp, "up", "3D", kNormal,
               "normal", "3D", kTitle, "title", "S", kLock, "lock", "B", kOrder, "order", "I", 0);
  return list;
}

int getAttr(const vdefRec* record, const feObject* key, feObject* out) {
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  double vector[3];
  switch (code) {
    case kCentre: vecCopy3(record->centre, vector); break;
    case kEyePoint: vecCopy3(record->eye, vector); break;
    case kUp: wpConvert(kWorldToPlaneDirection, record->up, 0, vector); break;
    case kNormal: {
      double normal[3];
      vecSub3(record->eye, record->centre, normal);
      wpConvert(kWorldToPlaneDirection, normal, 0, vector);
      break;
    }
    case kTitle:
      data.data = record->title;
      data.count = int32_t(std::strlen(record->title));
      break;
    case kLock: data.count = (record->flags & vdefLocked) ? 1 : 0; break;
    case kOrder: return 0;  // nothing to read
    default: return vwErrBadKey;
  }
  if (code == kCentre || code == kEyePoint || code == kUp || code == kNormal) data.data = vector;
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

int setTitle(vdefRec* record, const uiAChkData& data) {
  const auto* text = static_cast<const char*>(data.data);
  const uint32_t length = uint32_t(data.count);
  if (length == 0) return vwErrBadTitle;
  const vdefRec* holder = vdefFind(record->owner, text, length);
  if (holder && holder != record) return vwErrTitleNotUnique;
  uStrDup(text, length, &record->title);
  return 0;
}

int setOrder(vdefRec* record, int32_t position) {
  if (const int answer = ownedUnlink(record)) return answer;
  // A negative position, read as a large unsigned number, appends.
  return ownedInsert(record, uint32_t(position));
}

// A direction given in plane coordinates, in the world and of unit length;
// false for a zero vector, which gives no direction.
bool worldUnit(const double* value, double out[3]) {
  double world[3];
  wpConvert(kPlaneToWorldDirection, value, 0, world);
  if (vecLen3(world) == 0) return false;
  vecNormalize3(world, out);
  return true;
}

// The new value of a key, before it is stored. A direction must keep an eye
// apart from its centre and an up vector: values that would leave it
// without one are refused.
int setValue(vdefRec* record, int code, const uiAChkData& data) {
  const auto* value = static_cast<const double*>(data.data);
  switch (code) {
    case kCentre:
      if (vecEq3(value, record->eye)) return vwErrBadValue;
      vecCopy3(value, record->centre);
      return 0;
    case kEyePoint:
      if (vecEq3(value, record->centre)) return vwErrBadValue;
      vecCopy3(value, record->eye);
      return 0;
    case kUp:
      return worldUnit(value, record->up) ? 0 : vwErrBadValue;
    case kNormal: {
      double normal[3];
      if (!worldUnit(value, normal)) return vwErrBadValue;
      vecAdd3(record->centre, normal, record->eye);
      return 0;
    }
    case kTitle: return setTitle(record, data);
    case kLock:
      if (data.count) record->flags |= vdefLocked;
      else record->flags &= ~uint32_t(vdefLocked);
      return 0;
    case kOrder: return setOrder(record, data.count);
    default: return vwErrBadKey;
  }
}

int setAttr(vdefRec* record, const feObject* key, const feObject* value) {
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  if (code == 0) return vwErrBadKey;
  if ((record->flags & vdefLocked) && code != kLock) return vwErrLocked;
  if (uiAChkl(checkList(), key, value, &data) == 0) return data.status;
  if (const int answer = setValue(record, code, data)) return answer;
  evtSignal(vwEvVdirApplied, reinterpret_cast<intptr_t>(record));
  return 0;
}

void dropUnheld(vdefRec* record) {
  if (record && record->head.object.refCount == 0) vdefFree(record);
}

// Message 402: a new direction set up like the current view (the defaults
// without one), with the keyed attributes of the list set on it.
int create(const feObject* list, vdefRec** out) {
  if (!list || feType(list) != feTArray) return 269;
  vdefRec* record = vdefNew();
  if (const viewRec* view = vwCurView()) {
    const viewState& state = view->states[0];
    vecCopy3(state.centre, record->centre);
    vecAdd3(state.centre, state.normal, record->eye);
    vecCopy3(state.up, record->up);
  }
  const int32_t n = feArrayLength(list);
  for (int32_t i = 0; i + 1 < n; i += 2) {
    const feObject* key = feArrayElem(list, i);
    if (feNameIs(key, "type")) continue;
    if (const int answer = setAttr(record, key, feArrayElem(list, i + 1))) {
      dropUnheld(record);
      return answer;
    }
  }
  if (out) *out = record;
  else dropUnheld(record);
  return 0;
}

int vdefHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* record = static_cast<vdefRec*>(object);
  switch (message) {
    case msgFree: vdefFree(record); return 0;
    case msgGetAttr: return getAttr(record, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr: return setAttr(record, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgAttach:
      if (!vwCurDoc()) return vwErrNoCurDoc;
      return vdefAdd(vwCurDoc(), record);
    case msgDetach: return vdefRemove(record);
    case msgCreate: return create(reinterpret_cast<const feObject*>(a), reinterpret_cast<vdefRec**>(b));
    default: return objMeth(objSuperClass(vdefClass), message, object, a, b, c);
  }
}

}  // namespace

uint16_t vdefClassInit(uint16_t viewobjClass) {
  vdefClass = objClassRegister("vdefs", viewobjClass, vdefHandler);
  checkList();
  ioSetSegmentHook(ioWordViewDirs, vdefSegmentHook);
  return vdefClass;
}

uint16_t vdefClassId() { return vdefClass; }

int vdefIs(const void* object) {
  return object && vdefClass && static_cast<const feObjRecord*>(object)->classId == vdefClass;
}

const vwListDesc* vdefListDesc() {
  static const vwListDesc desc = {offsetof(vdefRec, next), offsetof(vdefRec, owner), offsetof(docRec, firstVdir)};
  return &desc;
}
