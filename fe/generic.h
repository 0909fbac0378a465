// The operations every value supports, dispatched on its type, and the access
// operators built on them. Program-object references are served by sending
// numbered messages to the object's class.
#ifndef PLUMET_FE_GENERIC_H
#define PLUMET_FE_GENERIC_H

#include "fe/value.h"

#include <cstdint>

// Messages the generic operations send to program objects.
enum {
  feMsgFree = 100,
  feMsgReadChar = 101,
  feMsgUnreadChar = 102,
  feMsgHash = 103,
  feMsgGet = 109,
  feMsgPut = 110,
  feMsgLength = 112,
  feMsgMaxLength = 113,
  feMsgForall = 119,
  feMsgImage = 122,
};

void feFree(feObject* value);                  // release
void feDup(const feObject* value);             // add a reference (the copy's)
// A copy: *out = *value and a reference added.
void feCopyValue(feObject* out, const feObject* value);
uint32_t feHash(const feObject* value);
// 0 when equal, 268 when not.
int feEq(const feObject* a, const feObject* b);
int feGet(const feObject* object, const feObject* key, feObject* out);
int fePut(const feObject* object, const feObject* key, const feObject* value);
int feLength(const feObject* value, int32_t* out);
int feMaxLength(const feObject* value, int32_t* out);
int feGetInterval(const feObject* value, const feObject* start, const feObject* count, feObject* out);
int fePutInterval(const feObject* value, const feObject* start, const feObject* source);
int feCopyInto(const feObject* source, const feObject* destination, feObject* out);
int feReadChar(feObject* value, int* ch);
int feUnreadChar(feObject* value, int ch);
// Mode 0 is the form of "=", mode 1 the form of "=="; other modes print
// nothing. Output goes to the interpreter output.
int fePrint(const feObject* value, int mode);
// cvs: the text of a value into destination (may be null: a new string).
int feCvs(const feObject* value, const feObject* destination, feObject* out);
// type: an executable name such as "integertype".
int feTypeName(const feObject* value, feObject* out);

// Operators on the operand stack.
int feOpGet();
int feOpPut();
int feOpAget();
int feOpAput();
int feOpAXGet();
int feOpAXPut();
int feOpBind();
int feOpType();
int feOpCvs();
// LOAD and DUPLOAD, the member syntax "object:member" and "object::member":
// get the member; an executable result replaces the operator on the execution
// stack, anything else is pushed. DUPLOAD leaves the object on the operand
// stack below the result.
int feOpLOAD();
int feOpDUPLOAD();

#endif
