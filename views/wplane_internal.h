// What the work-plane files share among themselves: the record's life,
// deletion and the stored record.
#ifndef PLUMET_VIEWS_WPLANE_INTERNAL_H
#define PLUMET_VIEWS_WPLANE_INTERNAL_H

#include "views/wplane.h"

#include <cstdint>

struct ioCtx;
struct modelRec;

namespace wpint {

// Message 100: frees the title and the record.
void freePlane(wplaneRec* plane);
// Drops a reference; the plane is freed at 0.
void release(wplaneRec* plane);
// Frees a plane nobody holds (use count 0); held planes are left alone.
void dropUnheld(wplaneRec* plane);
// Sets or clears the offset flag from the origin's length.
void setOffsetFlag(wplaneRec* plane);
// Brings the plane up to date when it is flagged out of date.
void refresh(wplaneRec* plane);
// Message 345: -224 for the model's or the program's current plane, -223
// for a locked plane, an unlink error; else unlinked, 0x1050002 signalled,
// the owner cleared and the list's reference dropped.
int deletePlane(wplaneRec* plane);
// Moves the model's "World" plane to the end of its list; answers it (null
// when the model has none).
wplaneRec* worldToEnd(modelRec* model);
// Message 312: the stored record.
int recordIO(wplaneRec* plane, ioCtx* ctx);
// The current plane when there is a current model (brought up to date),
// else null.
wplaneRec* activePlane();
// The conversion of points for scripts (fe/signature.h): flag 1 plane to
// world as a point, 2 as a direction, 257 world to plane as a point, 258 as
// a direction, through the current plane.
void convertForScripts(double* point, int flag);

}  // namespace wpint

#endif
