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

#endif
