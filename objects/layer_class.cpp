// The classes "layer" and "layrtbl". A layer object is a graphic-object head
// of the class "layer" whose layer byte names the layer; scripts read and
// change the layer through its keys. "layrtbl" has no behaviour of its own:
// its id is the type of the layer segment in drawing files.
#include "objects/layer.h"
#include "objects/layer_internal.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "objects/docstate.h"
#include "objects/objmsg.h"
#include "ui/achk.h"

#include <cstring>

namespace {

enum { kColor = 1, kWidth = 2, kFont = 3, kVisible = 4, kName = 5 };

uint16_t layerId = 0;
uint16_t layrtblId = 0;

const uiAChklEntry* checkList() {
  static uiAChklEntry* list;
  if (!list)
    uiDefAChkl(&list, kColor, "colorno", "I", kWidth, "linewidth", "I", kFont, "linefontno", "I", kVisible, "visible",
               "B", kName, "layer", "S", kName, "name", "S", 0);
  return list;
}

int getAttr(const gobjRec* object, const feObject* key, feObject* out) {
  if (!dbCurrentDoc()) return layerErrNoDoc;
  const layerRec* rec = layerEntry(object->layer);
  if (!rec) return -1;
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  switch (code) {
    case kColor: data.count = rec->color; break;
    case kWidth: data.count = rec->pen; break;
    case kFont: data.count = rec->font; break;
    case kVisible: data.count = (rec->flags & layerHidden) ? 0 : 1; break;
    case kName:
      data.data = rec->name;
      data.count = int32_t(std::strlen(rec->name));
      break;
    default: return feErrUnknownKey;
  }
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

// Unknown keys are refused (281) rather than ignored, so that a script
// learns that nothing was set; "visible" shows or hides the layer under the
// rules of aLayerHide.
int setAttr(const gobjRec* object, const feObject* key, const feObject* value) {
  if (!dbCurrentDoc()) return layerErrNoDoc;
  const int32_t n = object->layer;
  layerRec* rec = layerEntry(n);
  if (!rec) return -1;
  uiAChkData data;
  const int code = uiAChkl(checkList(), key, value, &data);
  if (code == 0) {
    if (data.status == feErrUndefined) {
      dbgPrintf("[layer.c] layerPut: bad key\n");
      return feErrUnknownKey;
    }
    return data.status;
  }
  switch (code) {
    case kColor: rec->color = uint8_t(data.count); break;
    case kWidth: rec->pen = uint8_t(data.count); break;
    case kFont: rec->font = uint8_t(data.count); break;
    case kVisible:
      if (const int answer = layerHideNumber(n, data.count ? 0 : 1)) return answer;
      break;
    case kName:
      if (const int answer = layerRenameNumber(n, static_cast<const char*>(data.data), uint32_t(data.count)))
        return answer;
      break;
    default: return feErrUnknownKey;
  }
  layerRefreshDefault(n);
  return 0;
}

int layerHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* object = static_cast<gobjRec*>(record);
  switch (message) {
    case msgFree:
      gobjFreeRecord(object);
      return 0;
    case msgGetAttr: return getAttr(object, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr:
      return setAttr(object, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    default: return objMeth(objSuperClass(layerId), message, record, a, b, c);
  }
}

int layrtblHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  return objMeth(objSuperClass(layrtblId), message, record, a, b, c);
}

}  // namespace

void layerClassesInit() {
  layerId = objClassRegister("layer", 0, layerHandler);
  layrtblId = objClassRegister("layrtbl", 0, layrtblHandler);
  checkList();
}

uint16_t layerClassId() { return layerId; }

uint16_t layrtblClassId() { return layrtblId; }

gobjRec* layerObjNew(int32_t number) {
  if (!layerId || number < 0 || number >= int32_t(layerMax)) return nullptr;
  gobjRec* object = gobjAllocRecord(sizeof(gobjRec));
  object->classId = layerId;
  object->layer = uint8_t(number);
  return object;
}
