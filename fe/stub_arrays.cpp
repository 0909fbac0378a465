// TEMPORARY: empty bodies so that the interpreter links while this module
// is being written; removed when the module lands.
#include "fe/arrays.h"
#include "fe/stack.h"

#include <cstddef>
#include <cstdint>

int feMakeArray(feObject*, feObject*, uint32_t) { return 0; }
void feArrayRelease(feObject*) {}
void feArrayAddRef(const feObject*) {}
void feArrayPut(feObject*, int32_t, feObject*) {}
feObject* feArrayElem(const feObject*, int32_t) { return nullptr; }
int32_t feArrayLength(const feObject*) { return 0; }
feObject* feArrayNext(feObject*) { return nullptr; }
int feArrayGet(const feObject*, const feObject*, feObject*) { return 0; }
int feArraySet(feObject*, const feObject*, const feObject*) { return 0; }
int feArrayGetInterval(const feObject*, const feObject*, const feObject*, feObject*) { return 0; }
int feArrayPutInterval(feObject*, const feObject*, const feObject*) { return 0; }
int feArrayCopy(const feObject*, const feObject*, feObject*) { return 0; }
int feArrayEq(const feObject*, const feObject*) { return 0; }
uint32_t feArrayHash(const feObject*) { return 0; }
int feArrayPrint(const feObject*, int) { return 0; }
int feArrayFromStackCopy(feStack*, const feObject*, feObject*) { return 0; }
int feOpAload() { return 0; }
int feOpAstore() { return 0; }
int feOpArray() { return 0; }
int feOpArrayEnd() { return 0; }
