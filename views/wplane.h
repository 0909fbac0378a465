// Work planes: named coordinate frames of a model. Points are entered and
// grids drawn on the current work plane; scripts convert between plane and
// world coordinates. Every model has the locked plane "World".
//
// A plane's frame is its origin, its right (x) and up (y) axes and its
// normal, right x up; the equation is the unit normal and d = -(normal .
// origin). The world-to-plane matrix maps a world point to (x, y, height
// above the plane); the plane-to-world matrix is its inverse, whose columns
// are right, up, normal and origin. A plane flagged out of date has its
// normal, up axis and matrices rebuilt (wpUpdate) before any use.
//
// Use counts: a model's list holds one reference to each of its planes and
// the program's current plane one more.
#ifndef PLUMET_VIEWS_WPLANE_H
#define PLUMET_VIEWS_WPLANE_H

#include "core/matrix.h"
#include "views/owned.h"

#include <cstdint>

struct feArgs;
struct ioCtx;
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

// Registers class "wplane" under viewobj with its check list, and installs
// the plane conversion of points for scripts (fe/signature.h); answers the
// class id.
uint16_t wplaneClassInit(uint16_t viewobjClass);
uint16_t wplaneClassId();
// 1 when object is a work-plane record.
int wplaneIs(const void* object);
const vwListDesc* wplaneListDesc();

// Message 300: a new plane (use count 0, flags 0, empty title) with the
// frame of the current plane when there is a current model and plane,
// otherwise the world's (origin 0, right x, up y, identity matrices).
int wpNew(wplaneRec** out);
// A new plane with the source's frame, matrices, flags and title (the
// source is brought up to date first); the default plane for null.
int wpCopy(const wplaneRec* source, wplaneRec** out);
// wpNew with the flags ORed in, the origin and axes given, the title set
// and the frame brought up to date.
wplaneRec* wpCreate(const char* title, uint16_t flags, const double origin[3], const double right[3],
                    const double up[3]);
// Rebuilds the normal (right x up), the equation, the up axis (normal x
// right) and the matrices, and clears the out-of-date flag. Answers 0; 269
// for a null or non-plane record; -231 when right and up are parallel or
// zero (the plane stays out of date, its matrices as they were).
int wpUpdate(wplaneRec* plane);
// The two matrices from the normal, the up axis and the origin: 0, or -1
// when the normal is zero or parallel to up (matrices untouched).
int wpBuildMatrices(wplaneRec* plane);
// Appends the plane to the model (null: the current model): 1 when added,
// 0 when not. An untitled plane is named "Plane n"; a taken title gives
// the warning "WPlane named '^0' already exists." and a fresh "Plane n",
// except that a plane with the same origin and axes as the one holding the
// title is not added. Signals 0x1050001. A plane owned already is not added.
int wpAddToModel(modelRec* model, wplaneRec* plane);
// The model's plane titled title (length bytes), natural order without
// case; null when none.
wplaneRec* wpFind(const modelRec* model, const char* title, uint32_t length);
// Makes the plane the program's current plane (brought up to date first)
// and raises the change serial; answers the previous one. The current plane
// holds a reference; the previous plane's is given back unless that would
// leave it without holders (a count of 1). Null clears the current plane.
wplaneRec* wpSetCurrent(wplaneRec* plane);
wplaneRec* wpCurrent();
// The current plane when there is a current model (brought up to date),
// else null: what plug-ins get as the current work plane.
wplaneRec* aCurWPlane();
// The 15-bit change serial, raised whenever a plane is made current.
uint16_t wpSerial();
// The model's "TempPlane" (the translated title) with the origin and axes
// given, made and added when the model has none; flagged out of date and
// no longer facing a view. Null without a model (null: the current model).
wplaneRec* wpTemp(modelRec* model, const double origin[3], const double right[3], const double up[3]);
// With a current model and plane: the temporary plane through the current
// plane's origin facing the view (normal towards the eye, up from the
// view's up vector), flagged as facing a view, made current.
void wpFromView(viewRec* view);
// Copies the source's planes into the target in list order; the source's
// "World" plane moves the target's own "World" to the end of the list
// instead, and the copy of the source's current plane becomes the target's.
// With a null source the locked planes "Top", "Right" and "Front" are made.
void wpCopyPlanes(const modelRec* source, modelRec* target);
// Deletes every plane of the model, the locked and the current ones
// included (for a model being freed).
void wpDeleteAll(modelRec* model);
// The model's work-plane block of a drawing file: "ii" (the number of
// planes, the position of the current plane or -1), then each plane as an
// object record. Reading adds the planes (a stored "World" plane moves the
// model's own to the end of the list instead), warns "WOne (or more) Work
// Planes Removed!" once for planes not added, and sets the current plane
// ("WWork Plane reset to World!" when it was not added). A record that is
// not a work plane fails the read with -4139 and "SBad data in file".
// Answers 0 or a negative code.
int wpModelPlanesIO(modelRec* model, ioCtx* ctx, int write);

// Converts a vector through the plane (0: the current plane; without a
// current model or plane the vector is copied): kind 0 a point from plane
// to world, 1 a direction from plane to world, 2 a point from world to
// plane, 3 a direction from world to plane. Answers 0; -1 for another kind
// or a handle that is not a plane (the vector copied).
int wpConvert(int kind, const double in[3], intptr_t plane, double out[3]);
// The current plane's equation, zeros without one.
void wpGetEquation(double out[4]);
// The same (the current plane as a plane record of four doubles).
void wpGetOrigin(double out[4]);
// Column index (0 right, 1 up, 2 normal, 3 origin) of the current plane's
// plane-to-world matrix; the world's axes and origin without a current
// model or plane.
void wpGetAxis(int index, double out[3]);
// The current plane's matrices (16 doubles each), identities without one.
void wpGetMatrices(double worldToPlane[16], double planeToWorld[16]);
// A world point to pixels through the current world-to-screen transform,
// rounded; the point itself (rounded) without one.
void vwWorldToPixel(const double point[3], int32_t pixel[2]);
// A pixel to the world: where the eye ray through the pixel meets the
// current plane (the plane z = 0 without one; the ray's point at screen
// depth 0 when it runs along the plane).
void vwPixelToWorld(const int32_t pixel[2], double point[3]);

// The plane that aWPlaneTrack makes from its points: origin points[0]; the
// axes of the current plane when mode is non-zero (one point needed),
// otherwise points[1] - points[0] and points[2] - points[0] (three points).
// The "TempPlane" gets that frame and becomes the current model's work
// plane. 1 when made; 0 without enough points or a current model; -231
// when an axis or their normal is too short (zero or parallel axes).
int wpTrackMake(const double points[][3], int count, int mode);

int vwOpWPlaneNames(feArgs* args);
int vwOpWPlaneFind(feArgs* args);
int vwOpSetWPlane(feArgs* args);
int vwOpPlaneConvert(feArgs* args);     // aPlaneToWorld(V), aWorldToPlane(V): the kind is the int default
int vwOpCurWPlane(feArgs* args);
int vwOpWPlaneTrack(feArgs* args);

#endif
