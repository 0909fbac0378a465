// Redraw: the draw-flags word, drawing one object when it is visible, the
// redraw callbacks and the selection blink. (Changed objects are marked and
// queued for redrawing by the update list; aDrawDeferList draws the queue.)
#ifndef PLUMET_VIEWS_REDRAW_H
#define PLUMET_VIEWS_REDRAW_H

#include <cstdint>

struct gobjRec;

enum : uint32_t {
  vwDrawDeferred = 0x2,    // queued objects are drawn
  vwDrawNoMarkers = 0x8,   // marker bitmaps are not drawn
  vwDrawQuery = 0x8000,    // vwDrawMode only answers the flags
};

// Sets the draw-flags word (unless vwDrawQuery is set) and answers the old.
uint32_t vwDrawMode(uint32_t flags);
// Draws the object with message 302 unless it is hidden, belongs to another
// view than the current one, or is queued while vwDrawDeferred is clear.
void objDrawIfVisible(gobjRec* object);
// The same as a sieve or group callback (answers 0).
int objDrawIfVisibleCb(gobjRec* object, void* context);

void vwSetSymbolFlag(uint32_t value);
uint32_t vwGetSymbolFlag();

typedef void (*vwRedrawHook)(void* argument);
void vwAddRedrawHook(vwRedrawHook hook, void* argument);
void vwRunRedrawHooks();

// One step of the selection blink; reset 1 restarts it.
void vwBufferRedraw(int reset);

#endif
