// Objects as records of a drawing file, attribute writes and deletion with
// the lock and selection rules, and the damaged region redrawn at the end of
// a command.
#ifndef PLUMET_OBJECTS_OBJRECORD_H
#define PLUMET_OBJECTS_OBJRECORD_H

#include "objects/gobject.h"
#include "objects/ioctx.h"

#include <cstdint>

struct feObject;
struct feArgs;

// Writes the object as one framed record (type index, length, bytes) and
// answers the bytes written; 0 when the class has no type index.
int objWrite(gobjRec* object, ioCtx* ctx);
// Reads the next record into *out (null at the end mark or when the record
// could not be read). Answers message 312's answer, or -1 with *status -1 at
// the end mark. The stream always ends at the end of the record, whatever
// the class read.
int objRead(ioCtx* ctx, int* status, gobjRec** out);

// Sets an attribute with the lock rule: a locked object refuses every key
// but "locked" with -4126. A key ending in ".x", ".y" or ".z" that the class
// does not take changes that coordinate of the point attribute.
int objPutAttr(gobjRec* object, const feObject* key, const feObject* value);

// Sets one coordinate of a point attribute: key names the point with ".x",
// ".y" or ".z" appended; the point is read (message 107), the coordinate
// replaced by value (a number) and the point set again (message 108). 281
// for a key without such an ending; otherwise the answer of the get or set.
int objSetPointCoord(gobjRec* object, const feObject* key, const feObject* value);

// Deletes an object from its document (message 345); a locked object
// answers -4126. With damage set its box joins the damaged region.
int objDelete(gobjRec* object, int damage);
// The same as an enumeration callback (context: the damage flag).
int objDeleteCb(gobjRec* object, void* context);
// Called by the deletion (message 345) for an object with flag 0x0008, while
// the deletion still holds the object: the point-input layer takes it out
// of its chain of recent objects. Installed at start-up; answers the
// previous hook (null: none).
typedef int (*objDetachFn)(gobjRec* object);
objDetachFn objSetDetachHook(objDetachFn hook);

// The damaged region: a compact box that collects what changed during a
// command, redrawn in every view at its end.
void objDamage(gobjRec* object);
void objDamageRect(const double* a, const double* b);
void objDamageLine(const double* a, const double* b);
// The current damaged region (six compact words; empty between commands).
const int16_t* objDamagedRegion();
// The redraw at the end of a command: empties the damaged region.
void objRedrawPending(int argument);

// The operator aObjErase ("!Q"): the object's box joins the damaged region
// under objDamage's rules.
int objEraseOp(feArgs* args);

// Rectangles of four 32-bit values (left, top, right, bottom), inclusive:
// 0 and out = a and b's intersection when they meet; else out = 0 0 0 0 and -1.
int rectIntersect(const int32_t* a, const int32_t* b, int32_t* out);

// Read statistics: records read and read errors (errors limit the alerts).
uint32_t objReadCount();
uint32_t objReadErrors();

#endif
