// Shared by the files of the line module.
#ifndef PLUMET_GEOMETRY_LINE_INTERNAL_H
#define PLUMET_GEOMETRY_LINE_INTERNAL_H

#include "geometry/line.h"
#include "objects/vertex.h"

#include <cstdint>

struct feObject;
struct ioCtx;

namespace linemod {

inline const double* pt0(const lineRec* line) { return &line->p0->x; }
inline const double* pt1(const lineRec* line) { return &line->p1->x; }
// The point at t: the ends themselves at exactly 0 and 1.
void pointAt(const lineRec* line, double t, double* out);
// True for a line font drawn as a dash pattern (above 3).
inline bool patterned(const lineRec* line) { return (line->head.style & 31) > 3; }
// Recomputes phaseScale for a patterned font.
void fitPhase(lineRec* line);
// After the ends changed: a line in a document is marked for resorting
// (message 320 files it again by its new box); any other gets its box.
void endsChanged(lineRec* line);
// The arrowhead entry of the line: true and its kind, size and up vector
// when an arrowhead bit is set and the entry exists.
bool arrowEntry(const lineRec* line, int* kind, double* size, double* up);
// Whether the arrowhead at one end (0 start, 1 end) is drawn, and its tip,
// shaft point and side vector.
bool arrowPlacement(const lineRec* line, int end, int* kind, double* size, double* side);

// Message handlers in their own files.
int getAttr(lineRec* line, const feObject* key, feObject* out);
int setAttr(lineRec* line, const feObject* key, const feObject* value);
int enumKeys(lineRec* line, intptr_t callback, intptr_t context);
int propPanel(lineRec* line, void* context);
int recordIO(lineRec* line, ioCtx* ctx, gobjRec** slot);
int merge(lineRec* line, gobjRec* other, gobjRec** slot);
int cleanUpKey(const lineRec* line, int32_t* out);
int signature(const lineRec* line, int32_t* out);
int selectPoint(lineRec* line, const double* point, intptr_t mode, intptr_t end);
int crossings(lineRec* line, void* record);
int draw(lineRec* line);
int extents(lineRec* line, double* box);
// Rotates the line about p0 to the angle (turns) in the current work
// plane, keeping its length.
void rotateTo(lineRec* line, double turns);
// Sets the length from the start (message 316): a line shorter than 1e-30
// first points along +x with length 1.
void setLength(lineRec* line, double length);
// A new line into *slot with the keyed list (an array of keys and values)
// applied: 269 when it is no array, 280 for a key without a value, the
// first failing key's answer (the line freed); else 0.
int makeKeyed(const feObject* list, gobjRec** slot);

// Registers the line operators.
int registerOps();

}  // namespace linemod

#endif
