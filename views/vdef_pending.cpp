// Placeholders for views/vdef.h until its module lands.
#include "views/vdef.h"

uint16_t vdefClassInit(uint16_t) { return 0; }
uint16_t vdefClassId() { return 0; }
int vdefIs(const void*) { return 0; }
const vwListDesc* vdefListDesc() { return nullptr; }
vdefRec* vdefNew() { return nullptr; }
int vdefAdd(docRec*, vdefRec*) { return 0; }
int vdefMake(docRec*, const double*, const double*, const double*, const char*) { return 0; }
int vdefRemove(vdefRec*) { return 0; }
void docRemoveVdefs(docRec*) {}
void vdefFree(vdefRec*) {}
vdefRec* vdefFind(const docRec*, const char*, uint32_t) { return nullptr; }
int vdefCopy(const vdefRec*, vdefRec**) { return 0; }
void vdefCopyAll(docRec*, const vdefRec*) {}
const char* vdefNameOfDirection(const docRec*, const double*, const double*) { return ""; }
void vdefStandardSet(docRec*) {}
int vdefRecordIO(ioCtx*, vdefRec**, int) { return 0; }
int vdefListIO(ioCtx*, docRec*, int, int) { return 0; }
int vwOpVDefToView(feArgs*) { return 275; }
int vwOpViewDirFind(feArgs*) { return 275; }
