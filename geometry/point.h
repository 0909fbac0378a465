// The point class "point": a marker at one 3-D position. A subclass of
// "curve", it answers the curve messages that make sense for a single
// position (the point whatever the parameter, its box) and passes the rest
// on.
//
// The head's style bits 0-4 (the line font of other classes) hold the
// marker kind; flag 0x0040 is the point-selected state. The position is one
// shared vertex, set only through vertexSet, so points at equal positions
// share one interned vertex.
#ifndef PLUMET_GEOMETRY_POINT_H
#define PLUMET_GEOMETRY_POINT_H

#include "objects/gobject.h"
#include "objects/vertex.h"

#include <cstdint>

struct pointRec {
  gobjRec head;
  vertexRec* vertex;  // the position; one reference held
};

// Registers "point" under the curve class, builds its check list ("loc"
// 3D, "ptsel" I) and registers the operator aPointMake. Answers the id.
uint16_t pointInit(uint16_t curveClassId);
// Frees the check list.
void pointExit();
// The id of "point" (0 before pointInit).
uint16_t pointClassId();

// A bare point for tracking feedback: a zeroed record with only the class
// id and the vertex of xyz; no message 300, so none of the head defaults.
// Freed like any point (objFree).
pointRec* pointNew(const double* xyz);

// The marker style (of the marker drawing) that a point of this marker kind
// (style bits 0-4) is drawn with.
int pointMarkerStyle(int kind);

// Erases a point mark of the given style at a 3-D point: the marker drawn
// in erase mode, which also damages what lay under it. Answers 0.
int markErase(const double* point, int style);

#endif
