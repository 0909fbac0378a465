// The operations every value supports, dispatched on its type, and the access
// operators built on them. Program-object references are served by sending
// numbered messages to the object's class.
#ifndef PLUMET_FE_GENERIC_H
#define PLUMET_FE_GENERIC_H

#include "fe/value.h"

#include <cstdint>

// Messages the generic operations send to program objects, with their
// arguments (pointers are passed as intptr_t). A class chain that does not
// handle a message (-303) makes the operation answer 275 (unimplemented);
// any other answer of the class is passed on.
//   100 free: none (the count reached 0)
//   101 read a character: int* out          102 unread: the character
//   103 hash: uint32_t* out (unhandled: the hash is 0)
//   107 get attribute, 108 set attribute: the arguments of 109 and 110
//   109 get: const feObject* key, feObject* out (a value holding its reference)
//   110 put: const feObject* key, const feObject* value (the class keeps its own copy)
//   112 length, 113 maxlength: int32_t* out
// get, put, aget and aput send 109 or 110 first. Many classes (graphic
// objects, documents, sheets, attribute dictionaries) answer keyed
// attributes only, on 107 and 108: when the class chain does not handle 109
// or 110 (it answers -303, or -1 as some classes answer every message they
// do not know), the same key and value go to it as 107 or 108. When neither
// message is handled the answer is the one to 109 or 110 (-303 read as 275).
enum {
  feMsgFree = 100,
  feMsgReadChar = 101,
  feMsgUnreadChar = 102,
  feMsgHash = 103,
  feMsgGetAttr = 107,
  feMsgPutAttr = 108,
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
// aget and aput: a program object gets the whole path as the key of 109 or
// 110; when it does not handle them, a path that is not an array is an
// attribute key (107, 108), and an array path starts at the attribute of its
// first element and is walked from there as for any other value.
int feOpAget();
int feOpAput();
int feOpAXGet();
int feOpAXPut();
// bind: the procedure on top, its executable names whose value is an
// operator replaced by the operator, nested procedures bound the same way.
int feOpBind();
int feOpType();
// cvs: any string -> the text of any at the string's front (its prefix).
int feOpCvs();
// LOAD and DUPLOAD, the member syntax "object:member" and "object::member":
// get the member; an executable result replaces the operator on the execution
// stack, anything else is pushed. DUPLOAD leaves the object on the operand
// stack below the result.
int feOpLOAD();
int feOpDUPLOAD();

#endif
