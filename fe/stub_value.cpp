// TEMPORARY: empty bodies so that the interpreter links while this module
// is being written; removed when the module lands.
#include "fe/value.h"
#include "fe/stack.h"

#include <cstddef>
#include <cstdint>

int feMakeInt(feObject*, int32_t) { return 0; }
int feMakeReal(feObject*, double) { return 0; }
int feMakeBool(feObject*, int32_t) { return 0; }
int feMakeNull(feObject*) { return 0; }
int feMakeMark(feObject*) { return 0; }
int feMakeObjRef(feObject*, void*) { return 0; }
int feGetObjRef(const feObject*, const char*, void**) { return 0; }
int32_t feGetInt(const feObject*) { return 0; }
void feSetIntValue(feObject*, int32_t) {}
int32_t feGetBool(const feObject*) { return 0; }
double* feGetRealPtr(const feObject*) { return nullptr; }
double feGetNumber(const feObject*, uint32_t*) { return 0; }
double* feGetNumberPtr(const feObject*, uint32_t*) { return nullptr; }
const feObject* feTrue() { return nullptr; }
const feObject* feFalse() { return nullptr; }
uint32_t feSerialNext() { return 0; }
uint32_t feSerialPeek() { return 0; }
void feSerialAtLeast(uint32_t) {}
void feSerialSet(uint32_t) {}
