// The class "model": its message handler, the attribute keys scripts read
// and set, and the model's current work plane.
#include "views/model.h"

#include "core/classes.h"
#include "core/text.h"
#include "fe/arrays.h"
#include "fe/names.h"
#include "objects/event.h"
#include "objects/objmsg.h"
#include "objects/sieve.h"
#include "ui/achk.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/vwinit.h"
#include "views/wplane.h"

#include <cstddef>
#include <cstring>

namespace {

enum { kTitle = 6, kPlanes = 19, kDraft = 23, kWorkPlane = 106, kObjects = 108 };

uint16_t modelClass = 0;

const uiAChklEntry* checkList() {
  static uiAChklEntry* list;
  if (!list)
    uiDefAChkl(&list, kTitle, "title", "S", kDraft, "draft", "B", kPlanes, "planes", "O", kWorkPlane, "workplane", "Q",
               kObjects, "nobjects", "I", 0);
  return list;
}

void signal(uint32_t code, const void* object) { evtSignal(code, reinterpret_cast<intptr_t>(object)); }

// The document's "alignplane" goes off through its own attribute, so that
// the document does what a script's change would make it do.
void clearAlignPlane(docRec* doc) {
  feObject key, off;
  feMakeName(&key, "alignplane", std::strlen("alignplane"));
  feMakeBool(&off, 0);
  const int answer = objMeth(doc->object.classId, msgSetAttr, doc, reinterpret_cast<intptr_t>(&key),
                             reinterpret_cast<intptr_t>(&off));
  if (answer != 0) doc->flags &= ~uint32_t(docAlignPlane);
}

int getAttr(modelRec* model, const feObject* key, feObject* out) {
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  switch (code) {
    case kTitle:
      data.data = model->title;
      data.count = int32_t(std::strlen(model->title));
      break;
    case kPlanes: return ownedToArray(model->firstPlane, out);
    case kDraft: data.count = modelIsShown(model); break;
    case kWorkPlane: data.data = model->curPlane; break;
    case kObjects: data.count = model->sieve ? int32_t(model->sieve->objectCount) : 0; break;
    default: return vwErrBadKey;
  }
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

int setTitle(modelRec* model, const uiAChkData& data) {
  const auto* text = static_cast<const char*>(data.data);
  const uint32_t length = uint32_t(data.count);
  const modelRec* holder = modelFind(model->owner, text, length);
  if (holder && holder != model) return vwErrTitleNotUnique;
  uStrDup(text, length, &model->title);
  return 0;
}

int setAttr(modelRec* model, const feObject* key, const feObject* value) {
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  if (code == kWorkPlane) {
    // Anything but a plane of this model (or null) is refused alike.
    void* record = nullptr;
    if (feGetObjRef(value, nullptr, &record) != 0) return vwErrBadObject;
    return modelSetWorkPlane(model, static_cast<wplaneRec*>(record));
  }
  if (code != kTitle) return vwErrBadKey;
  if (uiAChkl(checkList(), key, value, &data) == 0) return data.status;
  return setTitle(model, data);
}

// Message 402: a new model with copies of the current model's planes (the
// standard planes when there is none) and the keyed attributes of the list.
int create(const feObject* list, modelRec** out) {
  if (!list || feType(list) != feTArray) return 269;
  modelRec* model = nullptr;
  modelCreate(&model);
  wpCopyPlanes(vwCurModel(), model);
  const int32_t n = feArrayLength(list);
  for (int32_t i = 0; i + 1 < n; i += 2) {
    const feObject* key = feArrayElem(list, i);
    if (feNameIs(key, "type")) continue;
    if (const int answer = setAttr(model, key, feArrayElem(list, i + 1))) {
      modelFree(model);
      return answer;
    }
  }
  if (out) *out = model;
  else modelFree(model);
  return 0;
}

int modelHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* model = static_cast<modelRec*>(object);
  switch (message) {
    case msgFree: modelFree(model); return 0;
    case msgGetAttr: return getAttr(model, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr: return setAttr(model, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgAttach:
      if (!vwCurDoc()) return vwErrNoCurDoc;
      if (model->owner) return vwErrAlreadyOwned;
      modelLink(model, vwCurDoc());
      return 0;
    case msgDetach: return modelRemove(model);
    case msgCreate: return create(reinterpret_cast<const feObject*>(a), reinterpret_cast<modelRec**>(b));
    default: return objMeth(objSuperClass(modelClass), message, object, a, b, c);
  }
}

}  // namespace

int modelSetWorkPlane(modelRec* model, wplaneRec* plane) {
  if (!model) return vwErrBadArg;
  if (plane && (!wplaneIs(plane) || plane->owner != model)) return vwErrBadObject;
  if (model->owner && (model->owner->flags & docAlignPlane)) clearAlignPlane(model->owner);
  // The planes' display on the document's views follows these events once
  // the grid drawing exists.
  if (model->curPlane) signal(vwEvPlaneNotCurrent, model->curPlane);
  model->curPlane = plane;
  if (vwCurModel() == model) wpSetCurrent(plane);
  signal(vwEvPlaneCurrent, plane);
  return 0;
}

uint16_t modelClassInit(uint16_t viewobjClass) {
  modelClass = objClassRegister("model", viewobjClass, modelHandler);
  checkList();
  return modelClass;
}

uint16_t modelClassId() { return modelClass; }

int modelIs(const void* object) {
  return object && modelClass && static_cast<const feObjRecord*>(object)->classId == modelClass;
}

const vwListDesc* modelListDesc() {
  static const vwListDesc desc = {offsetof(modelRec, next), offsetof(modelRec, owner), offsetof(docRec, firstModel)};
  return &desc;
}
