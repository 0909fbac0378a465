// Changes to the layers of the current table: define, rename, hide and show,
// delete, and the objects of the current sieve that lie on a layer.
#include "objects/layer.h"
#include "objects/layer_internal.h"

#include "objects/docstate.h"
#include "objects/event.h"
#include "objects/group.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"
#include "objects/sieve.h"

namespace {

int onLayer(gobjRec* object, void* context) { return object->layer == *static_cast<const int32_t*>(context); }

int hideMember(gobjRec* member, void*) {
  member->flags |= gobjHidden;
  objSelect(member, 0);
  return 0;
}

int showMember(gobjRec* member, void*) {
  member->flags &= uint16_t(~gobjHidden);
  return 0;
}

int deleteMember(gobjRec* member, void*) {
  objDelete(member, 1);
  return 0;
}

// A name scripts may give a layer: not empty, not a system name.
bool isScriptName(const char* name, uint32_t length) { return name && length > 0 && name[0] != '.'; }

}  // namespace

glist* layerObjects(int32_t n) {
  grpBegin();
  sieveForAll(grpAddCb, nullptr, onLayer, &n);
  return grpEnd();
}

int layerHideNumber(int32_t n, int mode) {
  layerRec* rec = layerEntry(n);
  if (!rec) return tblErrNotFound;
  const bool hidden = rec->flags & layerHidden;
  if ((mode == 0 && !hidden) || (mode == 1 && hidden)) return 0;
  if (!hidden && n == layerWorkNumber()) return layerErrCannotHideWorkLayer;
  rec->flags ^= layerHidden;
  glist* group = layerObjects(n);
  grpRetain(group);
  if (!hidden) {
    // The objects are taken off the screen here, in every view of every
    // open sheet (clump elements followed while clump-element hiding is on),
    // once views exist.
    grpForEach(group, hideMember, nullptr);
  } else {
    grpForEach(group, showMember, nullptr);
    // The objects are drawn here in every view once views exist.
  }
  grpRelease(&group);
  evtSignal(layerEvtChanged, 0);
  return 0;
}

int layerRenameNumber(int32_t n, const char* name, uint32_t length) {
  if (!isScriptName(name, length)) return tblErrBadName;
  if (!layerEntry(n)) return tblErrNotFound;
  if (const int answer = tblRename(layerTblCurrent(), n, name, length, nullptr, nullptr)) return answer;
  evtSignal(layerEvtChanged, 0);
  return 0;
}

void layerRefreshDefault(int32_t n) {
  dbDocRec* doc = dbCurrentDoc();
  if (doc && doc->workLayer == n) layerSetWithAttrs(&doc->defaultObject, n);
}

int layerDefine(const char* name, uint32_t length) {
  if (!isScriptName(name, length)) return tblErrBadName;
  numTbl* table = layerTblCurrent();
  int32_t n;
  if (const int answer = tblAdd(table, name, length, &n)) return answer;
  const layerRec* work = layerEntry(layerWorkNumber());
  layerRec* rec = layerEntry(n);
  if (work && rec) layerAttrsCopy(work, rec);
  evtSignal(layerEvtDefined, 0);
  return work && rec ? 0 : -1;
}

int layerDeleteNumber(int32_t n) {
  if (!layerEntry(n)) return tblErrNotFound;
  if (n == layerWorkNumber()) return layerErrCannotDeleteWorkLayer;
  sieveForAll(deleteMember, nullptr, onLayer, &n);
  // Locked objects refuse deletion. They must not stay on the freed slot,
  // where the next layer defined would take them in: they go to
  // "unassigned" (or, when that is the layer being deleted, the layer stays).
  glist* survivors = layerObjects(n);
  grpRetain(survivors);
  int32_t count = 0;
  grpCount(survivors, &count);
  if (count > 0) {
    const int zombie = MakeZombieLayer(nullptr, layerTblCurrent());
    if (zombie < 0 || zombie == n) {
      grpRelease(&survivors);
      return layerErrLocked;
    }
    layerSet(reinterpret_cast<gobjRec*>(survivors), zombie, 1);
  }
  grpRelease(&survivors);
  const int answer = tblRename(layerTblCurrent(), n, "", 0, nullptr, nullptr);
  evtSignal(layerEvtDeleted, 0);
  return answer;
}
