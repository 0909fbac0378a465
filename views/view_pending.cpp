// Placeholders for the view routines not written yet; each goes when its
// real definition lands, and the file with the last of them.
#include "views/view.h"

void vwInvalidate(viewRec*, int) {}
void vwErase(viewRec*) {}
int vwRecompute(viewRec*, int) { return 0; }
int vwSetDirection(viewRec*, const double*, const double*, const double*, int) { return 0; }
void vwSetCorners(viewRec*, const double*, int) {}
void vwDrawView(viewRec*, int) {}
void vwInvalAll() {}
