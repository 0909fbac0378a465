// Clumps: one drawing object made of copies of other objects. The clump is
// entered in its document's sieve; its members are not. It is drawn,
// transformed, selected, picked, copied and stored as a whole, and its type
// name is "group".
//
// The members are chained through the nextInCell word of their own heads
// (the word the sieve uses for objects of a document), in order; each holds
// one reference for the clump and none is ever in a sieve.
//
// A new clump has colour 254, so that its members draw in their own
// colours; a clump made by aClump whose members share one colour takes that
// colour.
//
// Extended clumps carry the attribute "ExClumpKey" = "ExClump". Each member
// of one carries "ExClumpID" (its number, decimal), "ExClumpMemName" (its
// name) and may carry "ExClumpAttribute" (a free text); names and texts are
// compared byte for byte with equal length. An extended clump holds at most
// 64 members. The extension operators are registered twice under one
// handler, with the prefixes "pki" and "a"; each reports through its boolean
// result alone: false with nothing else pushed when a check fails, true
// after its other results.
//
// Operators, in registration order: aClump "Q[group]O#Q" (a clump of copies
// of the group's members with the attributes of a dictionary, answered as a
// one-member group), then for each of ExClumpCreate "!O#B",
// ExClumpAddMember "!Q[clump]Q[gobject]S#B", ExClumpDelMember
// "!Q[clump]S#B", ExClumpGetAllMemName "!Q[clump]#B", ExClumpChangeMemName
// "!Q[clump]SS#B", ExClumpSetAttribute "!Q[clump]SS#B",
// ExClumpGetAttribute "!Q[clump]S#B", ExClumpGetDuplicate "!Q[clump]S#B",
// ExClumpFindByMemName "!Q[group]S#B" and ExClumpFindByAttribute
// "!Q[group]S#B" the "pki" name, then the "a" name.
//
// Allocation statistics: "clump" (live clumps), "clump-attr" (live clumps
// that carry the extension key, 4 bytes each) and "clump-str" (the member
// names and attribute texts the extension operators have written during
// the run, with their bytes).
#ifndef PLUMET_OBJECTS_CLUMP_H
#define PLUMET_OBJECTS_CLUMP_H

#include "fe/control.h"
#include "objects/gobject.h"

#include <cstdint>

struct feArgs;
struct feObject;
struct glist;

// The export plug-in reads this layout in memory.
struct clumpRec {
  gobjRec head;
  gobjRec* first;      // the first member, or null
  uint8_t keyCounted;  // counted among the clumps that carry the extension key
};

enum : int {
  clumpMaxExtended = 64,   // members of an extended clump
  clumpErrEmpty = -4153,   // no member to make a clump of
};

// Registers the class "clump" (under "contain", or under "gobject" while no
// class "contain" is registered), its statistics and its operators. Later
// calls do nothing.
void clumpInit();
// The id of "clump" (0 before clumpInit).
uint16_t clumpClassId();
// True for a record of the class "clump".
bool clumpIsClump(const void* object);

// The members in chain order: the first member and the one after a member
// (null at the end).
gobjRec* clumpFirst(const clumpRec* clump);
gobjRec* clumpNext(const gobjRec* member);
// The number of members.
int32_t clumpCount(const clumpRec* clump);

// aClump's work: a new clump (count 0) of copies of the group's members,
// members on the layer ".temp" skipped, with the attributes of a script
// dictionary (null: none) set first. Its colour is the members' common
// colour, or 254 when they differ. Answers 0 with the clump in *out, else
// the failure with nothing made: -4153 for a null group or one without a
// member to copy, 277 when interrupted, an attribute's failure.
int clumpMake(glist* group, const feObject* attrs, clumpRec** out);

// aGetSelectGobj "!Q[clump]A{3R}#R": among the curve members of the clump
// (members of nested clumps included), the one nearest to the world point
// by the hit test (message 349); the first of equal distances wins. Answers
// that member's "angle" when it is a line, else 0.0 (also for null and for
// a clump without such a member). Registered with the graphic object's
// operators (objects/defobj.h).
int clumpOpGetSelectGobj(feArgs* args);

// The operator registrations above, by name (null for another name), for
// tests that register them in a fresh interpreter.
const feOpSpec* clumpOpSpec(const char* name);

#endif
