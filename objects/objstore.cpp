// aStore: an object, or a group with all its members, goes into the current
// document.
#include "objects/objstore.h"

#include "core/classes.h"
#include "fe/opcall.h"
#include "fe/value.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"

int objStoreOp(feArgs* args) {
  auto* head = static_cast<feObjRecord*>(args->in[0].record);
  if (!head) return objInsert(nullptr);
  return objMeth(head->classId, msgAttach, head);
}
