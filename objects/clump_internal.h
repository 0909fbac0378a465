// What the clump module's files share: the member chain, the statistics
// counters, the message handler's parts and the extension operators.
#ifndef PLUMET_OBJECTS_CLUMP_INTERNAL_H
#define PLUMET_OBJECTS_CLUMP_INTERNAL_H

#include "objects/clump.h"
#include "objects/ioctx.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct feArgs;

namespace clumpint {

// The statistics counters.
extern int32_t liveClumps;
extern int32_t keyedClumps;
extern int32_t textsWritten;
extern uint32_t textBytes;

// Appends a member at the end of the chain, taking one reference for the
// clump; flags 0x0020 and 0x0200 are cleared and the selected bit follows
// the clump's.
void append(clumpRec* clump, gobjRec* member);
// Takes a member out of the chain without releasing it (its link is
// cleared); false when it is not a member.
bool unlink(clumpRec* clump, gobjRec* member);
// Releases every member; the chain becomes empty.
void releaseAll(clumpRec* clump);
// Recounts the clump among the keyed clumps after its attributes may have
// changed (made, copied, read).
void recountKey(clumpRec* clump);
// True when the clump carries "ExClumpKey" = "ExClump".
bool isExtended(const gobjRec* object);

// clumpMake's work over objects in the order given: a new clump of copies
// of those not on ".temp", with the attributes set first.
int build(const std::vector<gobjRec*>& objects, const feObject* attrs, clumpRec** out);

// The message handler and its parts in other files.
int handler(void* object, int message, intptr_t a, intptr_t b, intptr_t c);
int draw(clumpRec* clump);                       // 302
int nearest(clumpRec* clump, intptr_t record);   // 318
int recordIO(clumpRec* clump, ioCtx* ctx);       // 312, after the head

// The superclass (set by clumpInit).
uint16_t superclass();

// The operators.
int opClump(feArgs* args);
int opCreate(feArgs* args);
int opAddMember(feArgs* args);
int opDelMember(feArgs* args);
int opGetAllMemName(feArgs* args);
int opChangeMemName(feArgs* args);
int opSetAttribute(feArgs* args);
int opGetAttribute(feArgs* args);
int opGetDuplicate(feArgs* args);
int opFindByMemName(feArgs* args);
int opFindByAttribute(feArgs* args);

}  // namespace clumpint

#endif
