// The default-object operators.
#include "objects/defobj.h"

#include "core/errors.h"
#include "fe/control.h"
#include "objects/clump.h"
#include "objects/ddict.h"
#include "objects/docstate.h"
#include "objects/group.h"
#include "objects/layer.h"
#include "objects/selcolor.h"

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
  // The group points into the record: the record outlives its document
  // while the script may hold the group (objects/doclive.h).
  doc->defaultHeld = 1;
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
  // A group or a drawing object: any other record has no style to take.
  if (!grpIsGroup(object) && !gobjIs(object)) return feErrTypeCheck;
  const gobjRec* from = defaultObject(doc);
  if (grpIsGroup(object)) grpForEach(reinterpret_cast<const glist*>(object), takeStyle, const_cast<gobjRec*>(from));
  else takeStyle(object, const_cast<gobjRec*>(from));
  return layerSet(object, from->layer, 1);
}

// The flag bit number of the attribute-flag operators: 0-7 (a byte of bits).
int flagMask(int32_t bit, uint8_t* mask) {
  if (bit < 0 || bit > 7) return feErrRangeCheck;
  *mask = uint8_t(1u << bit);
  return 0;
}

// "Q[gobject]SiB": sets or clears flag bit i of a dictionary entry.
int opSetObjAttrAttr(feArgs* args) {
  auto* object = static_cast<gobjRec*>(args->in[0].record);
  if (!object) return feErrTypeCheck;
  uint8_t mask = 0;
  if (const int rc = flagMask(args->in[2].i, &mask)) return rc;
  const feArgText& key = args->in[1].text;
  return ddSetFlags(&object->attrs, key.text, uint32_t(key.length), mask, args->in[3].i != 0);
}

// "Q[gobject]Si#B": whether flag bit i of a dictionary entry is set.
int opGetObjAttrAttr(feArgs* args) {
  auto* object = static_cast<gobjRec*>(args->in[0].record);
  if (!object) return feErrTypeCheck;
  uint8_t mask = 0;
  if (const int rc = flagMask(args->in[2].i, &mask)) return rc;
  const feArgText& key = args->in[1].text;
  int set = 0;
  if (const int rc = ddGetFlags(&object->attrs, key.text, uint32_t(key.length), mask, &set)) return rc;
  *static_cast<int32_t*>(args->out[0]) = set;
  return 0;
}

const feOpSpec kOps[] = {
    {"aDefaultObject", opDefaultObject, "!#Q"},
    {"aObjectDefault", opDefaultObject, "!#Q"},
    {"aSetDefaultStyle", opSetDefaultStyle, "Q"},
    {"aSetSelectColor", selColorSetOp, "S"},
    {"aGetSelectColor", selColorGetOp, "#S"},
    {"aSetObjAttrAttr", opSetObjAttrAttr, "Q[gobject]SiB"},
    {"aGetObjAttrAttr", opGetObjAttrAttr, "Q[gobject]Si#B"},
    {"aGetSelectGobj", clumpOpGetSelectGobj, "!Q[clump]A{3R}#R"},
};

}  // namespace

void gobjOpsInit() { feOpSpecRegisterAll(kOps); }
