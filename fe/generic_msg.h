// Private to the generic value operations: sending an interpreter message to
// the program object that a type-6 value refers to.
#ifndef PLUMET_FE_GENERIC_MSG_H
#define PLUMET_FE_GENERIC_MSG_H

#include "fe/value.h"

#include <cstdint>

// The record behind a program-object value (null for a value without one).
inline feObjRecord* feObjRecordOf(const feObject* value) {
  return static_cast<feObjRecord*>(value->w0.obj);
}

// Sends message to the value's object through its class. A class chain that
// does not handle the message (-303), or a value without a record, answers
// 275 (unimplemented); every other answer of the class is passed on.
int feObjSend(const feObject* value, int message, intptr_t a = 0, intptr_t b = 0);

// The element messages 109 and 110 without the attribute fallback: the
// class's answer as it is (-303 for a value without a record).
int feObjSendIndexed(const feObject* value, int message, const feObject* key, intptr_t b);

// true when an answer to 109 or 110 says that the class chain does not
// handle the message: -303 from the root, -1 from classes that answer so to
// every message they do not know.
bool feObjIndexedNotHandled(int answer);

// The attribute fallback of get and put: message (107 or 108) with key and
// b, after 109 or 110 answered indexedAnswer (not handled). When the class
// chain does not handle the attribute message either, the answer is
// indexedAnswer with -303 read as 275 (unimplemented), as it was without the
// fallback.
int feObjSendAttr(const feObject* value, int message, const feObject* key, intptr_t b, int indexedAnswer);

#endif
