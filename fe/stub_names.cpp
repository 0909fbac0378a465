// TEMPORARY: empty bodies so that the interpreter links while this module
// is being written; removed when the module lands.
#include "fe/names.h"
#include "fe/stack.h"

#include <cstddef>
#include <cstdint>

uint32_t feNameHash(const char*, size_t) { return 0; }
int feNameIntern(const char*, size_t, uint16_t*) { return 0; }
int feMakeName(feObject*, const char*, size_t) { return 0; }
int feMakeNameS(feObject*, const char*, int32_t) { return 0; }
int feNameExec(const char*, feObject*) { return 0; }
int feSetName(feObject*, uint16_t) { return 0; }
uint16_t feNameIndex(const feObject*) { return 0; }
void feNameText(const feObject*, const char**, size_t*) {}
void feNameTextOf(uint16_t, const char**, size_t*) {}
uint32_t feNameCount() { return 0; }
void feNameCacheClear(uint16_t) {}
void feNameCacheRead(uint16_t, uint16_t*, uint16_t*, bool*) {}
void feNameCacheSet(uint16_t, uint16_t, uint16_t) {}
void feNameCacheMarkLocal(const feObject*) {}
int feCvn(const feObject*, feObject*) { return 0; }
