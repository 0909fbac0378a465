// Redraw: the draw-flags word, drawing one object when it is visible, the
// redraw callbacks and the selection blink. (Changed objects are marked and
// queued for redrawing by the update list; aDrawDeferList draws the queue.)
#ifndef PLUMET_VIEWS_REDRAW_H
#define PLUMET_VIEWS_REDRAW_H

#include <windows.h>

#include <cstdint>

struct gobjRec;
struct glist;
struct modelRec;
struct feArgs;

enum : uint32_t {
  vwDrawDeferred = 0x2,    // queued objects are drawn
  vwDrawNoMarkers = 0x8,   // marker bitmaps are not drawn
  vwDrawQuery = 0x8000,    // vwDrawMode only answers the flags
};

// Sets the draw-flags word (unless vwDrawQuery is set) and answers the old.
uint32_t vwDrawMode(uint32_t flags);
// The draw-flags word (what the drawing layer reads through its view hooks).
uint32_t vwGetDrawFlags();
// Draws the object with message 302 unless it is hidden, belongs to another
// view than the current one, or is queued while vwDrawDeferred is clear.
// While clump-element layer hiding is on, an object on a hidden layer is
// drawn only in erase mode.
void objDrawIfVisible(gobjRec* object);
// The same as a sieve or group callback (answers 0).
int objDrawIfVisibleCb(gobjRec* object, void* context);

typedef void (*vwRedrawHook)(void* argument);
// Adds the pair once; the arrays grow by 5 entries ("realloc redraw arrays,
// %d\n" with the old capacity to the debug log).
void vwAddRedrawHook(vwRedrawHook hook, void* argument);
// Calls every hook with its argument in the order added.
void vwRunRedrawHooks();

// One step of the selection blink; reset 1 restarts it.
void vwBufferRedraw(int reset);
// The blink's mask of the selected objects (null when there is none) and,
// when box is given, its place on the window.
HBITMAP vwBlinkMask(RECT* box);

// ---- The pending updates --------------------------------------------------

// Each model has its own pending list (a group, null when empty); the update
// queue of objects/update.h appends to the current model's. The slot of a
// model's list (null for no model).
glist** vwPendingSlot(modelRec* model);
// Takes the model's pending list (the caller frees it); the model's list is
// empty afterwards.
glist* vwPendingTake(modelRec* model);
// Frees the model's pending list and forgets the model (a model being freed:
// its number may be given to a new model).
void vwRedrawForgetModel(modelRec* model);

// Draws all pending updates (aDrawDeferList): after the damage of the
// command, every model of the current document with a pending list has it
// taken, its dirty objects reported changed (message 320) and its queued
// objects drawn in every view that shows the model. The current view and
// model are the same afterwards.
void vwDrawDeferList();
// aDrawDeferList ("!").
int vwOpDrawDeferList(feArgs* args);

// The tracking feedback is hidden (show 0) before pending updates are drawn
// and shown again (1) after; null: no feedback to look after.
typedef void (*vwFeedbackHook)(int show);
void vwSetFeedbackHook(vwFeedbackHook hook);

// The selection mode word, whose bit 0 (select-by-blink) lets the blink run;
// null (no selection module yet): the blink stays off.
typedef uint32_t (*vwSelModeSource)();
void vwSetSelModeSource(vwSelModeSource source);
enum : uint32_t { vwSelectByBlink = 0x1 };

// Installs the redraw module's hooks: the update list source of
// objects/update.h and the handler of aDrawDeferList.
void vwRedrawInstall();
// Back to the start: pending lists freed, draw flags and symbol flag 0, no
// redraw hooks, no blink mask, no feedback hook or selection source.
void vwRedrawReset();

#endif
