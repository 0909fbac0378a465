// Work planes: named coordinate frames of a model. Points are entered and
// grids drawn on the current work plane; scripts convert between plane and
// world coordinates. Every model has the locked plane "World".
#ifndef PLUMET_VIEWS_WPLANE_H
#define PLUMET_VIEWS_WPLANE_H

#include "core/matrix.h"
#include "views/owned.h"

#include <cstdint>

struct feArgs;
struct modelRec;
struct viewRec;

enum wplaneFlag : uint16_t {
  wpOffset = 0x01,     // the origin is away from the world origin
  wpLocked = 0x02,     // locked by the user
  wpWorld = 0x04,      // the "World" plane, locked for good
  wpStale = 0x08,      // matrices out of date
  wpFacing = 0x10,     // made facing a view
};

struct wplaneRec {
  vwOwnedHead head;
  uint16_t flags;         // wplaneFlag
  char* title;
  double equation[4];     // unit normal a, b, c and d = -(normal . origin)
  double right[3];
  double up[3];
  double origin[3];
  wplaneRec* next;
  xform4 worldToPlane;
  xform4 planeToWorld;
  modelRec* owner;
};

uint16_t wplaneClassInit(uint16_t viewobjClass);
uint16_t wplaneClassId();
int wplaneIs(const void* object);
const vwListDesc* wplaneListDesc();

int wpNew(wplaneRec** out);
int wpCopy(const wplaneRec* source, wplaneRec** out);
wplaneRec* wpCreate(const char* title, uint16_t flags, const double origin[3], const double right[3],
                    const double up[3]);
int wpUpdate(wplaneRec* plane);
int wpAddToModel(modelRec* model, wplaneRec* plane);
wplaneRec* wpFind(const modelRec* model, const char* title, uint32_t length);
wplaneRec* wpSetCurrent(wplaneRec* plane);
wplaneRec* wpCurrent();
wplaneRec* wpTemp(modelRec* model, const double origin[3], const double right[3], const double up[3]);
void wpFromView(viewRec* view);
void wpCopyPlanes(const modelRec* source, modelRec* target);
int wpConvert(int kind, const double in[3], intptr_t plane, double out[3]);
void wpGetEquation(double out[4]);
void wpGetOrigin(double out[4]);
void wpGetAxis(int index, double out[3]);
void wpGetMatrices(double worldToPlane[16], double planeToWorld[16]);
void vwWorldToPixel(const double point[3], int32_t pixel[2]);
void vwPixelToWorld(const int32_t pixel[2], double point[3]);

int vwOpWPlaneNames(feArgs* args);
int vwOpWPlaneFind(feArgs* args);
int vwOpSetWPlane(feArgs* args);
int vwOpPlaneConvert(feArgs* args);     // aPlaneToWorld(V), aWorldToPlane(V): the kind is the int default
int vwOpCurWPlane(feArgs* args);
int vwOpWPlaneTrack(feArgs* args);

#endif
