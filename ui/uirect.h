// Rectangle arithmetic of the interface layer: copying, moving, and turning
// dialog units into pixels and back by the system's dialog base units.
#ifndef PLUMET_UI_UIRECT_H
#define PLUMET_UI_UIRECT_H

#include <windows.h>

#include <cstdint>

void uiCopyRect(const RECT* from, RECT* to);

// In place: x values times the horizontal dialog base unit / 4, y values
// times the vertical base unit / 8 (integer division, toward zero). A result
// beyond the 32-bit range is held at its limit.
void uiDluToPixels(RECT* rect);
// The inverse, in place: x times 4 / horizontal base unit, y times 8 /
// vertical base unit (integer division, toward zero).
void uiPixelsToDlu(RECT* rect);

// Moves the rectangle by (dx, dy); a coordinate beyond the 32-bit range is
// held at its limit.
void uiRectOffset(RECT* rect, int32_t dx, int32_t dy);

#endif
