// TEMPORARY: empty bodies so that the interpreter links while this module
// is being written; removed when the module lands.
#include "fe/strings.h"
#include "fe/stack.h"

#include <cstddef>
#include <cstdint>

int feMakeString(feObject*, const char*, size_t) { return 0; }
void feStringData(const feObject*, uint8_t**, uint16_t*) {}
void feStringRelease(feObject*) {}
void feStringAddRef(const feObject*) {}
int feStringReadChar(feObject*, int*) { return 0; }
int feStringUnreadChar(feObject*, int) { return 0; }
int feStringGet(const feObject*, const feObject*, feObject*) { return 0; }
int feStringPut(feObject*, const feObject*, const feObject*) { return 0; }
int feStringGetInterval(const feObject*, const feObject*, const feObject*, feObject*) { return 0; }
int feStringPutInterval(feObject*, const feObject*, const feObject*) { return 0; }
int feStringCopy(const feObject*, const feObject*, feObject*) { return 0; }
int feStringEq(const feObject*, const feObject*) { return 0; }
uint32_t feStringHash(const feObject*) { return 0; }
int feStringPrint(const feObject*, int) { return 0; }
