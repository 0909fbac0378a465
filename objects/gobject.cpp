// Placeholder bodies until the graphic object base lands.
#include "objects/gobject.h"

uint16_t gobjInit(int) { return 0; }
uint16_t gobjClassId() { return 0; }
int gobjHandler(void*, int, intptr_t, intptr_t, intptr_t) { return -303; }
gobjRec* objNew(uint16_t) { return nullptr; }
void objRelease(gobjRec** slot) { if (slot) *slot = nullptr; }
void objRetain(gobjRec*) {}
void objFree(gobjRec*) {}
void gobjCopyAttrs(const gobjRec*, gobjRec*) {}
uint32_t gobjStyleHash(const gobjRec* o) { return o->style * 47u + o->color * 23u; }
uint32_t gobjIdReserve(uint32_t) { return 0; }
gobjRec* gobjAllocRecord(uint32_t) { return nullptr; }
void gobjFreeRecord(gobjRec*) {}
