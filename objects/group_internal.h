// Shared by the group module's files: the statistics counters, the class
// handler, the format letter and the operator registration.
#ifndef PLUMET_OBJECTS_GROUP_INTERNAL_H
#define PLUMET_OBJECTS_GROUP_INTERNAL_H

#include <cstdint>

// Groups and blocks in use (the counters of the allocation statistics).
const int32_t* grpStatGroups();
const int32_t* grpStatBlocks();

// The handler of the class "group".
int grpHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c);
// Makes the loop operator of message 119, once.
void grpLoopInit();
// The format letter G.
void grpFormatInit();
// Registers the group operators in their fixed order.
void grpOpsRegister();

#endif
