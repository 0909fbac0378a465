// What the primitives' source files share among themselves.
#ifndef PLUMET_DRAW_GXDRAW_INTERNAL_H
#define PLUMET_DRAW_GXDRAW_INTERNAL_H

#include <windows.h>

// Sets one pixel of the current device in the colour; in exclusive-or mode
// the pixel is XORed with it instead.
void gxdPutPixel(int x, int y, COLORREF rgb);
// The target of blits: the blit DC when one is set, else the current DC.
HDC gxdBlitTarget();
// Blits a monochrome bitmap (0 bits ink) at (x, y) in a marker mode (0-3,
// or the current draw mode for any other value).
void gxdBlitMono(HBITMAP bitmap, int x, int y, int width, int height, int mode);

#endif
