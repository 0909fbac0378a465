// What the drawing layer's state modules share among themselves.
#ifndef PLUMET_DRAW_GX_INTERNAL_H
#define PLUMET_DRAW_GX_INTERNAL_H

#include "draw/gx.h"

// Applies the raster operation, background mode, pen and fill to the
// current device context (after it changed).
void gxApplyToDevice();
// Deletes every cached pen and the pattern table's and text cache's
// device objects.
void gxAttrTerm();
// Empties the clip and state stacks.
void gxStackTerm();
// Frees the recorded mouse positions.
void gxMouseTerm();
// Pops every window frame, makes window 0 current and frees the stack.
void gxWindowTerm();

#endif
