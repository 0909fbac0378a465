// The default-object operators.
#include "objects/defobj.h"

#include "fe/control.h"
#include "objects/docstate.h"
#include "objects/group.h"
#include "objects/layer.h"

namespace {

// The default object lives inside the document record: it is made permanent
// so that the groups and script values that hold it never free it.
gobjRec* defaultObject(dbDocRec* doc) {
  gobjRec* object = &doc->defaultObject;
  if (!object->classId) object->classId = gobjClassId();
  object->refCount = gobjPermanent;
  return object;
}

int opDefaultObject(feArgs* args) {
  dbDocRec* doc = dbCurrentDoc();
  if (!doc) return layerErrNoDoc;
  *static_cast<glist**>(args->out[0]) = grpOfOne(defaultObject(doc));
  return 0;
}

int takeStyle(gobjRec* member, void* context) {
  const gobjRec* from = static_cast<const gobjRec*>(context);
  member->style = from->style;
  member->color = from->color;
  return 0;
}

int opSetDefaultStyle(feArgs* args) {
  dbDocRec* doc = dbCurrentDoc();
  if (!doc) return layerErrNoDoc;
  auto* object = static_cast<gobjRec*>(args->in[0].record);
  if (!object) return 0;
  const gobjRec* from = defaultObject(doc);
  if (grpIsGroup(object)) grpForEach(reinterpret_cast<const glist*>(object), takeStyle, const_cast<gobjRec*>(from));
  else takeStyle(object, const_cast<gobjRec*>(from));
  return layerSet(object, from->layer, 1);
}

const feOpSpec kOps[] = {
    {"aDefaultObject", opDefaultObject, "!#Q"},
    {"aObjectDefault", opDefaultObject, "!#Q"},
    {"aSetDefaultStyle", opSetDefaultStyle, "Q"},
};

}  // namespace

void gobjOpsInit() { feOpSpecRegisterAll(kOps); }
