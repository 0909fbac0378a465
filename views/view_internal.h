// Shared between the view module's files; not for other modules.
#ifndef PLUMET_VIEWS_VIEW_INTERNAL_H
#define PLUMET_VIEWS_VIEW_INTERNAL_H

#include "fe/value.h"

#include <windows.h>

#include <cstdint>

struct viewRec;
struct sheetRec;

namespace viewint {

// Messages 107 and 108 (view_attr.cpp).
int getAttr(viewRec* view, const feObject* key, feObject* out);
int setAttr(viewRec* view, const feObject* key, const feObject* value);

// Reports the panic "ExpectedView" for a record that is not a view and
// answers false.
bool expectView(const void* object);
// The sheet lays out more than one page (its draft view keeps the standard
// orientation then).
bool manyPages(const sheetRec* sheet);
// After a change of the view's state: the view is marked changed and its
// matrices rebuilt; a current view is installed again, so that the
// transform in use is its new one.
void applyChange(viewRec* view);
// The rectangle of the window the sheet's views are drawn in: the window's
// view rectangle, the graphics box without a window.
RECT sheetPixelBox(const sheetRec* sheet);
// The view's box in its window: its screen box within the window's view
// rectangle (left, top, right, bottom); false when that is empty.
bool windowBox(const viewRec* view, int32_t out[4]);
// Fills the view's screen box with the background in its sheet's window
// (nothing without one), without invalidating it.
void clearScreenBox(const viewRec* view);

// The sieve's mapping of a pixel rectangle of the current view to world
// space (installed by viewClassInit).
void installSieveMap();

}  // namespace viewint

#endif
