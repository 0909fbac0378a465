// Drawing an object's extents: the outline of a compact box in the current
// view, its twelve edges as world moves and draws.
#ifndef PLUMET_OBJECTS_BBOXDRAW_H
#define PLUMET_OBJECTS_BBOXDRAW_H

#include <cstdint>

void bboxDraw(const int16_t* box);

#endif
