// Placeholders for views/redraw.h until its module lands.
#include "views/redraw.h"

uint32_t vwDrawMode(uint32_t) { return 0; }
void objDrawIfVisible(gobjRec*) {}
int objDrawIfVisibleCb(gobjRec*, void*) { return 0; }
void vwSetSymbolFlag(uint32_t) {}
uint32_t vwGetSymbolFlag() { return 0; }
void vwAddRedrawHook(vwRedrawHook, void*) {}
void vwRunRedrawHooks() {}
void vwBufferRedraw(int) {}
