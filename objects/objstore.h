// The operator aStore ("Q"): sends message 344 (insert into the current
// document) to the object and answers its result.
#ifndef PLUMET_OBJECTS_OBJSTORE_H
#define PLUMET_OBJECTS_OBJSTORE_H

struct feArgs;

int objStoreOp(feArgs* args);

#endif
