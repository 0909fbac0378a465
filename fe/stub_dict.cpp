// TEMPORARY: empty bodies so that the interpreter links while this module
// is being written; removed when the module lands.
#include "fe/dict.h"
#include "fe/stack.h"

#include <cstddef>
#include <cstdint>

int feMakeDict(feObject*, int32_t) { return 0; }
void feDictRelease(feObject*) {}
void feDictAddRef(const feObject*) {}
int feDictGet(const feObject*, const feObject*, feObject*) { return 0; }
int feDictPut(const feObject*, const feObject*, const feObject*) { return 0; }
int feDictDefName(const feObject*, const char*, const feObject*) { return 0; }
int feDictGetName(const feObject*, const char*, feObject*) { return 0; }
int feDictGetNameIdx(const feObject*, uint16_t, feObject*) { return 0; }
int feDictGetIntKey(const feObject*, int32_t, feObject*) { return 0; }
int32_t feDictFind(const feObject*, const feObject*) { return 0; }
int feDictMaxLength(const feObject*, int32_t*) { return 0; }
int32_t feDictLength(const feObject*) { return 0; }
int feDictEntryAt(const feObject*, int32_t, feObject**, feObject**) { return 0; }
int feDictEq(const feObject*, const feObject*) { return 0; }
uint32_t feDictHash(const feObject*) { return 0; }
int feDictPrint(const feObject*, int) { return 0; }
int feDictCopy(const feObject*, const feObject*, feObject*) { return 0; }
int feDictDef(const feObject*, const feObject*) { return 0; }
int feLoad(const feObject*, feObject*) { return 0; }
int feStore(const feObject*, const feObject*) { return 0; }
int feWhereDict(const feObject*, feObject*) { return 0; }
int feDictBegin(const feObject*) { return 0; }
int feDictEnd() { return 0; }
void feLookupCounts(uint32_t*, uint32_t*) {}
int feOpDef() { return 0; }
int feOpLoad() { return 0; }
int feOpStore() { return 0; }
int feOpWhere() { return 0; }
int feOpCurrentDict() { return 0; }
int feOpCountDictStack() { return 0; }
int feOpDictStack() { return 0; }
int feOpBegin() { return 0; }
int feOpEnd() { return 0; }
int feOpDict() { return 0; }
int feOpAdict() { return 0; }
int feOpDictEnd() { return 0; }
