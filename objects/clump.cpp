// The clump module's set-up, its member chain and its statistics.
#include "objects/clump.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "objects/clump_internal.h"
#include "objects/contain.h"
#include "objects/ddict.h"

#include <cstring>

namespace clumpint {

int32_t liveClumps;
int32_t keyedClumps;
int32_t textsWritten;
uint32_t textBytes;

namespace {

uint16_t classId;
uint16_t superId;
bool ready;

const feOpSpec kOps[] = {
    {"aClump", opClump, "Q[group]O#Q/group attrs # clump/"},
    {"pkiExClumpCreate", opCreate, "!O#B"},
    {"aExClumpCreate", opCreate, "!O#B"},
    {"pkiExClumpAddMember", opAddMember, "!Q[clump]Q[gobject]S#B"},
    {"aExClumpAddMember", opAddMember, "!Q[clump]Q[gobject]S#B"},
    {"pkiExClumpDelMember", opDelMember, "!Q[clump]S#B"},
    {"aExClumpDelMember", opDelMember, "!Q[clump]S#B"},
    {"pkiExClumpGetAllMemName", opGetAllMemName, "!Q[clump]#B"},
    {"aExClumpGetAllMemName", opGetAllMemName, "!Q[clump]#B"},
    {"pkiExClumpChangeMemName", opChangeMemName, "!Q[clump]SS#B"},
    {"aExClumpChangeMemName", opChangeMemName, "!Q[clump]SS#B"},
    {"pkiExClumpSetAttribute", opSetAttribute, "!Q[clump]SS#B"},
    {"aExClumpSetAttribute", opSetAttribute, "!Q[clump]SS#B"},
    {"pkiExClumpGetAttribute", opGetAttribute, "!Q[clump]S#B"},
    {"aExClumpGetAttribute", opGetAttribute, "!Q[clump]S#B"},
    {"pkiExClumpGetDuplicate", opGetDuplicate, "!Q[clump]S#B"},
    {"aExClumpGetDuplicate", opGetDuplicate, "!Q[clump]S#B"},
    {"pkiExClumpFindByMemName", opFindByMemName, "!Q[group]S#B"},
    {"aExClumpFindByMemName", opFindByMemName, "!Q[group]S#B"},
    {"pkiExClumpFindByAttribute", opFindByAttribute, "!Q[group]S#B"},
    {"aExClumpFindByAttribute", opFindByAttribute, "!Q[group]S#B"},
};

gobjRec* last(const clumpRec* clump) {
  gobjRec* member = clump->first;
  while (member && member->nextInCell) member = member->nextInCell;
  return member;
}

}  // namespace

uint16_t superclass() { return superId; }

void append(clumpRec* clump, gobjRec* member) {
  objRetain(member);
  member->nextInCell = nullptr;
  member->flags = uint16_t((member->flags & ~(gobjControlPts | gobjHidden | gobjSelected)) |
                           (clump->head.flags & gobjSelected));
  if (gobjRec* tail = last(clump)) tail->nextInCell = member;
  else clump->first = member;
}

bool unlink(clumpRec* clump, gobjRec* member) {
  for (gobjRec** link = &clump->first; *link; link = &(*link)->nextInCell) {
    if (*link != member) continue;
    *link = member->nextInCell;
    member->nextInCell = nullptr;
    return true;
  }
  return false;
}

void releaseAll(clumpRec* clump) {
  gobjRec* member = clump->first;
  clump->first = nullptr;
  while (member) {
    gobjRec* next = member->nextInCell;
    member->nextInCell = nullptr;
    objRelease(&member);
    member = next;
  }
}

bool isExtended(const gobjRec* object) {
  static const char kKey[] = "ExClumpKey", kValue[] = "ExClump";
  if (!clumpIsClump(object)) return false;
  const char* value = nullptr;
  uint32_t length = 0;
  int found = 0;
  ddLookup(&object->attrs, kKey, sizeof kKey - 1, &value, &length, &found);
  return found && length == sizeof kValue - 1 && std::memcmp(value, kValue, length) == 0;
}

void recountKey(clumpRec* clump) {
  const bool keyed = isExtended(&clump->head);
  if (keyed == (clump->keyCounted != 0)) return;
  keyedClumps += keyed ? 1 : -1;
  clump->keyCounted = keyed;
}

}  // namespace clumpint

using namespace clumpint;

void clumpInit() {
  if (ready) return;
  ready = true;
  // The containers' class gives the messages a clump leaves to it; while
  // it is not set up the clump stands under "gobject" directly.
  superId = containClassId();
  if (!superId) superId = gobjClassId();
  classId = objClassRegister("clump", superId, handler);
  allocInfoRegister("clump", &liveClumps, uint32_t(sizeof(clumpRec)));
  allocInfoRegister("clump-attr", &keyedClumps, 4);
  allocInfoRegisterP("clump-str", &textsWritten, &textBytes);
  feOpSpecRegisterAll(kOps);
}

uint16_t clumpClassId() { return classId; }

bool clumpIsClump(const void* object) {
  return object && classId && static_cast<const gobjRec*>(object)->classId == classId;
}

gobjRec* clumpFirst(const clumpRec* clump) { return clump ? clump->first : nullptr; }
gobjRec* clumpNext(const gobjRec* member) { return member ? member->nextInCell : nullptr; }

int32_t clumpCount(const clumpRec* clump) {
  int32_t n = 0;
  for (gobjRec* m = clumpFirst(clump); m; m = m->nextInCell) ++n;
  return n;
}

const feOpSpec* clumpOpSpec(const char* name) { return feOpSpecFind(kOps, name); }
