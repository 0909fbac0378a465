// Models: the drawing spaces of a document. A model owns the sieve that
// holds its drawing objects, its work planes with the current one among
// them, and the display-list notes of objects removed and inserted since
// its display lists were built. Every model has a model number, its slot in
// the program-wide model table.
#ifndef PLUMET_VIEWS_MODEL_H
#define PLUMET_VIEWS_MODEL_H

#include "views/owned.h"

#include <cstdint>

struct feArgs;
struct docRec;
struct sheetRec;
struct wplaneRec;
struct sieveRec;
struct gobjRec;

// An owned array of object pointers.
struct modelNoteList {
  gobjRec** items;
  uint32_t capacity;
  uint32_t count;
};

struct modelRec {
  vwOwnedHead head;         // class id, use count, the model list descriptor
  docRec* owner;            // null while unlinked
  char* title;              // allocator block
  sieveRec* sieve;          // shared by use count
  modelRec* next;
  void* settings;           // the model's settings block
  wplaneRec* curPlane;
  wplaneRec* firstPlane;
  modelNoteList removed;    // display-list notes
  modelNoteList inserted;
  void* readList;           // objects read from a file and not yet placed
  uint32_t number;          // slot in the model table
  uint32_t dlCounters[4];
};

uint16_t modelClassInit(uint16_t viewobjClass);
uint16_t modelClassId();
int modelIs(const void* object);
const vwListDesc* modelListDesc();

int modelCreate(modelRec** out);
void modelLink(modelRec* model, docRec* doc);
int modelIsShown(const modelRec* model);
int modelRemove(modelRec* model);
void docRemoveModels(docRec* doc);
void modelFree(modelRec* model);
void modelSetCurrent(modelRec* model);
int modelCopy(const modelRec* source, modelRec** out);
modelRec* modelFind(const docRec* doc, const char* title, uint32_t length);
void docForEachModel(docRec* doc, void (*callback)(modelRec* model, void* argument), void* argument);
sieveRec* modelGetList(const modelRec* model);
modelRec* dlistOfModel(uint32_t number);
int dlistNoteRemove(uint32_t modelNumber, gobjRec* object);
int dlistNoteInsert(gobjRec* object, uint32_t modelNumber);

int vwOpCurModelX(feArgs* args);
int vwOpModelCopy(feArgs* args);
int vwOpModelWithName(feArgs* args);

#endif
