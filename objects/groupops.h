// The group operators: groups of the named sources (aLast, aSelected,
// aPtSelected, aAll), counts (aCount, aTypeCount, aTypeCountR), copies
// (aGList, aSetEmpty), the set operations (aGListNot, aSetNot, aSetUnion,
// aSetIntesect, aSetCompare), aSignature and aGListRmLocked. They are
// registered, in this order, when the group module is set up (grpInit).
//
// The set operations use the sieve mark (flag 0x0800) as scratch and leave
// it clear on every member they touch; they are not run inside a walk that
// uses the mark itself.
#ifndef PLUMET_OBJECTS_GROUPOPS_H
#define PLUMET_OBJECTS_GROUPOPS_H

#include "objects/group.h"

struct feOpSpec;

// The registration of a group operator by name, or null.
const feOpSpec* grpOpSpec(const char* name);

// The set operations on native groups: new groups (count 0).
// a's members not in b, in a's order.
glist* grpSetNot(const glist* a, const glist* b);
// b's members in b's order, then a's members not in b.
glist* grpSetUnion(const glist* a, const glist* b);
// a's members that are also in b, in a's order.
glist* grpSetIntersect(const glist* a, const glist* b);

#endif
