// Private to the class "gobject": the parts of its handler kept in files of
// their own (attribute keys, the head record).
#ifndef PLUMET_OBJECTS_GOBJECT_INTERNAL_H
#define PLUMET_OBJECTS_GOBJECT_INTERNAL_H

#include "objects/gobject.h"
#include "objects/ioctx.h"

// Messages 107, 108, 119 and 406 (gobject_attr.cpp).
int gobjGetAttr(gobjRec* object, const feObject* key, feObject* out);
int gobjSetAttr(gobjRec* object, const feObject* key, const feObject* value);
int gobjForAll(gobjRec* object, const feObject* procedure);
int gobjEnumKeys(gobjRec* object, objKeyCallback callback, void* context);
// Makes the loop continuation of message 119 (once).
void gobjLoopInit();

// Message 312: the head's record (gobject_io.cpp).
int gobjHeadIO(gobjRec* object, ioCtx* ctx);

#endif
