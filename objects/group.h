// Groups: the program's lists of object references, and the registry of
// named object sources ("selected", "all" ...).
//
// A group is a chain of glist blocks. Each block holds up to 25 object
// pointers followed by a null; a block made for building has 26 slots, a
// one-member group 2, the empty group 1. grpAdd and grpAddTo put new
// blocks at the front, so members are visited block by block from the
// newest block to the oldest, and within a block in the order they were
// added (member 26 and on come before members 1-25). A null group pointer
// stands for the empty group wherever a group is read.
//
// Each member holds a reference on its object (raised unless 255); freeing a
// group releases every member. The first block carries the class "group"
// and the group's own reference count, so a group is a program object that
// scripts hold like any other.
//
// Every walk takes the next member before calling back, so a callback may
// delete (or release) the object it was given.
//
// Drawing a group (grpDraw, grpDrawSaved) comes with the drawing layer.
#ifndef PLUMET_OBJECTS_GROUP_H
#define PLUMET_OBJECTS_GROUP_H

#include "objects/gobject.h"
#include "objects/objsend.h"

#include <cstdint>

enum { grpBlockMembers = 25, grpBlockSlots = 26 };

// One block of a group. The export plug-in reads this layout in memory.
struct glist {
  uint16_t classId;       // "group" in the first block; 0xFFFF in further blocks made by grpAdd
  uint8_t refCount;       // as in gobjRec (255: permanent)
  uint8_t memberCount;    // kept by grpAddTo; 0 in blocks made by grpAdd
  glist* next;            // the next (older) block, or null
  gobjRec* members[grpBlockSlots];  // null-terminated; a block holds 1, 2 or 26 slots
};

// The class "group" (0 before the module is set up).
uint16_t grpClassId();
// True for a non-null record of the class "group".
bool grpIsGroup(const void* object);

// The builder. Builds nest: grpBegin pushes the state of the build in
// progress and starts an empty one.
void grpBegin();
// Appends object (taking a reference) and answers its new reference count;
// a null object only makes sure a block exists.
int grpAdd(gobjRec* object);
// grpAdd as an enumeration callback (the context is not used); answers 0.
int grpAddCb(gobjRec* object, void* context);
// The finished group (reference count 0): an empty one-slot block when
// nothing was added. Pops the builder state; without a matching grpBegin
// it panics "unbalanced grpBegin/grpEnd".
glist* grpEnd();

// Appends to the chain held in *slot, keeping per-block member counts; a
// new block of the class "group" goes in front when the slot is empty or the
// first block holds 25 members.
void grpAddTo(gobjRec* object, glist** slot);
// A new one-member group (the object may be null).
glist* grpOfOne(gobjRec* object);
// a with b linked behind its last block; b when a is null; a new one-member
// group of null when both are null.
glist* grpConcat(glist* a, glist* b);
// A new group with the same members, or with copies of them (message 313)
// when copy is set. A non-group panics "expected group" and gives an empty
// group.
glist* grpFlatten(glist* group, int copy);
// 0 and the number of members in *out; 269 when the record is not a group.
int grpCount(const glist* group, int32_t* out);
// 0 when both list the same objects block by block and slot by slot (null
// equals an empty chain), else -1.
int grpCompare(const glist* a, const glist* b);
// Removes the hidden members (flag 0x0200) in place, releasing them; when
// any were removed the warning "WInvisible objects ignored.".
void grpRmInvisible(glist* group);
// Removes the locked members (flag 0x2000) in place, releasing them;
// answers how many were removed.
int grpRmLocked(glist* group);

// Calls callback(member, context) for each member in visiting order until
// one answers non-zero, which is the answer; else 0.
int grpForEach(const glist* group, objMemberFn callback, void* context);
// The first member, or null.
gobjRec* grpFirst(const glist* group);
// Adds every member's box to the damaged region.
void grpDamage(const glist* group);

// Reference counting of whole groups (the count of the first block).
void grpRetain(glist* group);
// Lowers the count held in *slot and frees the group at 0 (a group whose
// count is already 0 is freed as well); clears the slot.
void grpRelease(glist** slot);
// Releases every member and frees the blocks. Null does nothing.
void grpFree(glist* group);

// Object sources. An enumerator calls callback once per object (stopping
// when it answers non-zero) and answers that answer or 0.
typedef int (*grpEnumerator)(objMemberFn callback, void* context, intptr_t data);
// Registers a source under name (8 significant characters); a newer entry
// of the same name shadows the older. The first call sets the module up:
// the registry, the class "group", the format letter G and the operators.
void grpDefine(const char* name, grpEnumerator enumerator, intptr_t data);
// Runs the source's enumerator with (callback, context, data) and answers
// its answer; an unknown name logs "[grpEnum] No entry for group '%.*s'"
// and answers -1.
int grpEnum(const char* name, int length, objMemberFn callback, void* context);
// A new group (count 0) of the source's objects.
glist* grpOfSource(const char* name);

// Sets the module up (what the first grpDefine does); later calls do nothing.
void grpInit();

#endif
