// The general object operators: the creation of an object from a keyed list
// (aCreate) and the registration of the operators in their fixed order.
#ifndef PLUMET_OBJECTS_OBJOPS_H
#define PLUMET_OBJECTS_OBJOPS_H

#include "objects/gobject.h"

struct feObject;

// Registers the general object operators in their fixed order.
void objOpsInit();

// Makes an object from an array of alternating keys and values whose "type"
// names the class (message 402 to that class). 269 for a non-array, the
// reader's status for a missing "type", -2 for an unknown class.
int objCreate(const feObject* keyedList, gobjRec** out);

#endif
