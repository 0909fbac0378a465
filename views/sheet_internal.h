// Shared between the sheet module's files; not for other modules.
#ifndef PLUMET_VIEWS_SHEET_INTERNAL_H
#define PLUMET_VIEWS_SHEET_INTERNAL_H

#include "fe/value.h"

#include <cstdint>

struct sheetRec;

// Messages 107 and 108 (sheet_attr.cpp).
int sheetGetAttr(sheetRec* sheet, const feObject* key, feObject* out);
int sheetSetAttr(sheetRec* sheet, const feObject* key, const feObject* value);
// Message 220 (sheet_event.cpp): nonzero when the event was handled.
int sheetWindowMessage(sheetRec* sheet, uint32_t message, uintptr_t wParam, intptr_t lParam);
// The window and graphics boxes read again from the sheet's window
// (nothing without one) (sheet_link.cpp).
void sheetReadWindowBoxes(sheetRec* sheet);
// Scales about a point of the sheet shown at a screen position with the
// zoom state pushed first and popped back on failure, then repaints
// (sheet_zoom.cpp).
int sheetZoomAbout(sheetRec* sheet, double scale, int relative, const int32_t screen[2], const double centre[2]);
// The centre of the graphics box (the window's client area).
void sheetClientCentre(const sheetRec* sheet, int32_t out[2]);
// The extents of the draft view's model on the sheet (x1, y1, x2, y2);
// false when the model has no objects.
bool sheetModelExtents(const sheetRec* sheet, double area[4]);
// -235 at or below 1e-30 (a NaN too), -234 at or above 1e30, else 0.
int sheetCheckScale(double scale);
// A screen point to the sheet through the sheet-to-world matrix.
void sheetScreenToSheet(const sheetRec* sheet, double x, double y, double out[2]);

#endif
