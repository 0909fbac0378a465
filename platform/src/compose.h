// The image a top-level window shows: its client buffer with the buffers of
// its visible children (and theirs) laid over it at their places, in
// z-order, each clipped to its parent's client area. Headless windows have
// no frame, so the image is the size of the window's rectangle.
#ifndef PLUMET_PLATFORM_COMPOSE_H
#define PLUMET_PLATFORM_COMPOSE_H

#include "gdi.h"

namespace pl {

// Composes window's image into out (resized to fit; 0x00RRGGBB pixels, top
// row first). Answers false for an unknown window.
bool composeWindow(HWND window, gdi::Surface& out);

}  // namespace pl

#endif
