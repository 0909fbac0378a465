// Models: the drawing spaces of a document. A model owns the sieve that
// holds its drawing objects, its work planes with the current one among
// them, its settings block (the sheet record of objects/docvar_sheet.h:
// the current-object group and the variable section kept per model) and
// the display-list notes of objects removed and inserted since its display
// lists were built. Every model has a model number, its slot in the
// program-wide model table.
//
// A model's use count is held by its document's list (modelLink) and by
// the views that show it; it is freed (message 100) when the count falls
// to 0.
#ifndef PLUMET_VIEWS_MODEL_H
#define PLUMET_VIEWS_MODEL_H

#include "views/owned.h"

#include <cstdint>

struct feArgs;
struct docRec;
struct sheetRec;
struct viewRec;
struct wplaneRec;
struct sieveRec;
struct gobjRec;
struct dbSheetRec;

// An owned array of object pointers (no references held).
struct modelNoteList {
  gobjRec** items;
  uint32_t capacity;
  uint32_t count;
};

struct modelRec {
  vwOwnedHead head;         // class id, use count, the model list descriptor
  docRec* owner;            // null while unlinked
  char* title;              // allocator block
  sieveRec* sieve;          // made when the model is first linked
  modelRec* next;
  dbSheetRec* settings;     // the model's settings block
  wplaneRec* curPlane;
  wplaneRec* firstPlane;
  modelNoteList removed;    // display-list notes
  modelNoteList inserted;
  void* readList;           // objects read from a file and not yet placed
  uint32_t number;          // slot in the model table
  uint32_t dlCounters[4];
};

// Registers class "model" under viewobj with its check list; answers its id.
uint16_t modelClassInit(uint16_t viewobjClass);
uint16_t modelClassId();
// 1 when object is a model record.
int modelIs(const void* object);
const vwListDesc* modelListDesc();

// A new unlinked model: a model number, an empty title, the locked "World"
// plane as its only and current plane, a settings block. Answers 0.
int modelCreate(modelRec** out);
// Links a model at the head of the document's list, renaming it "Model n"
// when its title is empty or taken (a taken title gives the trace alert
// "TModel '^0' already exists"), raises its use count and makes its sieve
// (box -300..300) when it has none. A model already linked is left alone.
void modelLink(modelRec* model, docRec* doc);
// 1 when some sheet of the model's document has an active view of it.
int modelIsShown(const modelRec* model);
// -213 when the model is shown; otherwise unlinks it, deletes the views
// that show it, and drops the document's reference. An unlink error is
// answered (the model stays).
int modelRemove(modelRec* model);
// Removes every model of the document, shown or not.
void docRemoveModels(docRec* doc);
// Message 100: deletes the model's objects, frees its settings block, sieve,
// planes, notes, title and record, and gives its model number back.
void modelFree(modelRec* model);
// Makes the model current (null: none): its settings block, its sieve and,
// unless the document keeps the current plane (alignplane), its current
// plane.
void modelSetCurrent(modelRec* model);
// A new unlinked model with the source's title and copies of its planes;
// -232 for a null source.
int modelCopy(const modelRec* source, modelRec** out);
// The document's model titled title (length bytes), natural order without
// case; null when none.
modelRec* modelFind(const docRec* doc, const char* title, uint32_t length);
// callback for every model of the document in list order (the callback may
// remove the model it is given).
void docForEachModel(docRec* doc, void (*callback)(modelRec* model, void* argument), void* argument);
sieveRec* modelGetList(const modelRec* model);
// The model with that number, or null.
modelRec* dlistOfModel(uint32_t number);

// Display-list notes: the object goes on the model's removed or inserted
// list. -1 when display lists are off or being rebuilt, or no model has
// that number; 270 when a full list already holds more than 100 objects
// (lists grow by 32 entries).
int dlistNoteRemove(uint32_t modelNumber, gobjRec* object);
int dlistNoteInsert(gobjRec* object, uint32_t modelNumber);
// Where the notes learn whether display lists take notes: the source
// answers non-zero while they are on and not being rebuilt. Without a
// source (null) display lists count as off.
typedef int (*dlistStateFn)();
void dlistSetStateSource(dlistStateFn source);
// The four display-list counters: all can be read, the first (0) and the
// third (2) raised by one.
uint32_t modelDlCounter(const modelRec* model, int index);
void modelDlCounterRaise(modelRec* model, int index);

// Sets the model's current work plane (the "workplane" attribute): a plane
// of this model or null, else -214. Clears the document's alignplane
// first, signals 0x1050003 with the old plane and 0x1050004 with the new
// one, and makes the plane the program's current plane when the model is
// the current model. Answers 0.
int modelSetWorkPlane(modelRec* model, wplaneRec* plane);

// Draws the view from its model: the view's window becomes the drawing
// target and its port is set up, vwEvViewDrawn is signalled, and unless
// Shift was held (the modifier code read at the start) every object of the
// model's sieve over the view's box goes through objDrawIfVisible; the
// drawing state and the current view are restored.
void vwDrawViewOfModel(viewRec* view);
// For every view of every sheet of the document that has a window: the
// view is made current, the draw mode set, and the view's model searched
// over the view's box with callback. The current view and the drawing
// state are restored.
void vwSieveAllViews(docRec* doc, int drawMode, int (*callback)(gobjRec* object, void* argument), void* argument);
// Brings the sheet's views up to date with the display-list notes of their
// models: for each view, the model's removed objects (fewer than 100) make
// every view of the sheet showing the model repaint its box, and its
// inserted objects (fewer than 100, none of them removed since) are drawn
// on top in those views; 100 or more in either list make those views drop
// their display lists (they are repainted whole). Both lists are emptied;
// when anything was done the sheet is redrawn. The current view stays.
void dlistFlush(sheetRec* sheet);

int vwOpCurModelX(feArgs* args);
int vwOpModelCopy(feArgs* args);
int vwOpModelWithName(feArgs* args);

#endif
