// TEMPORARY: empty bodies so that the interpreter links while this module
// is being written; removed when the module lands.
#include "fe/stack.h"
#include "fe/stack.h"

#include <cstddef>
#include <cstdint>

int feStackNew(feStack**, int32_t) { return 0; }
void feStackFree(feStack**) {}
void feStackInit() {}
int fePush(feStack**, const feObject*) { return 0; }
int fePushDup(feStack**, const feObject*) { return 0; }
feObject* fePushSlot(feStack**) { return nullptr; }
void fePop(feStack*, feObject*) {}
int32_t feStackCount(const feStack*) { return 0; }
feObject* feStackIndex(const feStack*, int32_t) { return nullptr; }
int fePushIndex(feStack**, int32_t) { return 0; }
void feStackPopN(feStack*, int32_t) {}
void feStackClear(feStack*) {}
int feStackRoll(feStack*, int32_t, int32_t) { return 0; }
int feCountToMark(const feStack*, int, int32_t*) { return 0; }
int feArrayFromStack(feStack*, int32_t, feObject*) { return 0; }
feStack** feOperandStack() { return nullptr; }
feStack** feExecStack() { return nullptr; }
feStack** feDictStack() { return nullptr; }
feStack** feFrameStack() { return nullptr; }
feObject* feExecTop() { return nullptr; }
void feExecPop() {}
int feExecStackPush(feStack**) { return 0; }
void feExecStackRestore(feStack*) {}
int feCurrentFrame(feObject*) { return 0; }
int feOpDup() { return 0; }
int feOpPop() { return 0; }
int feOpExch() { return 0; }
