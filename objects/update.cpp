// The update marks and the update queue.
#include "objects/update.h"

#include "core/debug.h"
#include "objects/group.h"

namespace {

objUpdateListSource listSource = nullptr;

// Groups are lists of objects, not objects: marking one would set bits in
// its block header.
bool refuseGroup(const gobjRec* object) {
  if (!grpIsGroup(object)) return false;
  dbgPanic("glist in objUpdate");
  return true;
}

// Anything but a group is walked as one; a record of another kind would be
// read as blocks of object pointers.
bool isList(const glist* list) {
  if (!list) return false;
  if (grpIsGroup(list)) return true;
  dbgPanic("expected group");
  return false;
}

void queue(gobjRec* object, uint16_t marks) {
  glist** slot = objUpdateCurList();
  if (!slot) return;
  grpAddTo(object, slot);
  object->flags |= marks;
}

}  // namespace

void objUpdateSetListSource(objUpdateListSource source) { listSource = source; }

glist** objUpdateCurList() { return listSource ? listSource() : nullptr; }

void objUpdate(gobjRec* object, int) {
  if (!object || refuseGroup(object)) return;
  if (object->flags & updQueued) {
    object->flags |= updDirty;
    return;
  }
  queue(object, updDirty | updQueued);
}

void objUpdateList(glist* list, int flag) {
  if (!isList(list)) return;
  grpForEach(list, [](gobjRec* member, void* context) {
    objUpdate(member, *static_cast<int*>(context));
    return 0;
  }, &flag);
}

void objUpdateQueue(gobjRec* object) {
  if (!object || refuseGroup(object)) return;
  if (object->flags & updQueued) return;
  queue(object, updQueued);
}

void objUpdateQueueList(glist* list) {
  if (!isList(list)) return;
  grpForEach(list, [](gobjRec* member, void*) {
    objUpdateQueue(member);
    return 0;
  }, nullptr);
}

void objUpdateDequeue(gobjRec* object) {
  if (!object || refuseGroup(object)) return;
  object->flags &= uint16_t(~updQueued);
}
