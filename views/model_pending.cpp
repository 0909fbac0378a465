// Placeholders for the routines of views/model.h not written yet; each goes when its
// real definition lands, and the file with the last of them.
#include "views/model.h"
#include "fe/opcall.h"
#include "views/owned.h"

uint16_t modelClassInit(uint16_t /*viewobjClass*/) { return 0; }
uint16_t modelClassId() { return 0; }
int modelIs(const void* /*object*/) { return 0; }
const vwListDesc* modelListDesc() { return nullptr; }
int modelCreate(modelRec** /*out*/) { return 0; }
void modelLink(modelRec* /*model*/, docRec* /*doc*/) {  }
int modelIsShown(const modelRec* /*model*/) { return 0; }
int modelRemove(modelRec* /*model*/) { return 0; }
void docRemoveModels(docRec* /*doc*/) {  }
void modelFree(modelRec* /*model*/) {  }
void modelSetCurrent(modelRec* /*model*/) {  }
int modelCopy(const modelRec* /*source*/, modelRec** /*out*/) { return 0; }
modelRec* modelFind(const docRec* /*doc*/, const char* /*title*/, uint32_t /*length*/) { return nullptr; }
void docForEachModel(docRec* /*doc*/, void (* /*callback*/)(modelRec*, void*), void* /*argument*/) {  }
sieveRec* modelGetList(const modelRec* /*model*/) { return nullptr; }
modelRec* dlistOfModel(uint32_t /*number*/) { return nullptr; }
int dlistNoteRemove(uint32_t /*modelNumber*/, gobjRec* /*object*/) { return 0; }
int dlistNoteInsert(gobjRec* /*object*/, uint32_t /*modelNumber*/) { return 0; }
int vwOpCurModelX(feArgs* /*args*/) { return 275; }
int vwOpModelCopy(feArgs* /*args*/) { return 275; }
int vwOpModelWithName(feArgs* /*args*/) { return 275; }
