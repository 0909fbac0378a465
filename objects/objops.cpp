// The general object operators, registered in their fixed order. aCreate makes an object of the class named
// by the "type" entry of a keyed list, through the class's own creation from
// keyed attributes (message 402).
#include "objects/objops.h"

#include "core/classes.h"
#include "core/errors.h"
#include "fe/control.h"
#include "fe/value.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"
#include "objects/objstore.h"
#include "ui/achk.h"

namespace {

enum { kCodeType = 1, kUnknownClass = -2 };

const uiAChklEntry* createList() {
  static uiAChklEntry* list;
  if (!list) uiDefAChkl(&list, kCodeType, "type", "C", 0);
  return list;
}

// "O#Q": keyed list -> object.
int opCreate(feArgs* args) {
  return objCreate(args->in[0].value, reinterpret_cast<gobjRec**>(args->out[0]));
}

const feOpSpec kOps[] = {
    {"aCreate", opCreate, "O#Q"},
    {"aStore", objStoreOp, "Q"},
    {"aObjErase", objEraseOp, "!Q"},
};

}  // namespace

void objOpsInit() { feOpSpecRegisterAll(kOps); }

int objCreate(const feObject* keyedList, gobjRec** out) {
  if (!keyedList || feType(keyedList) != feTArray) return feErrTypeCheck;
  uiAChkData data;
  if (uiAChkGet(createList(), keyedList, kCodeType, &data) == 0) return data.status;
  const uint16_t id = objClassByName(static_cast<const char*>(data.data));
  if (!id) return kUnknownClass;
  return objMeth(id, msgCreate, nullptr, reinterpret_cast<intptr_t>(keyedList), reinterpret_cast<intptr_t>(out));
}
