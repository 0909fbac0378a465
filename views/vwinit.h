// The view module's set-up and the current world-to-screen transform.
//
// vwInit registers, once and in a fixed order, the document and view
// operators (their names and order are part of compiled images), the names
// of the module's error codes, the classes viewobj, view, sheet, model,
// document, wplane, vdefs and file with the list descriptors of the owned
// lists, the allocation statistics, the object source "docAll" and the
// operators aDocAll, aGetHLG and aInvertDisplay.
#ifndef PLUMET_VIEWS_VWINIT_H
#define PLUMET_VIEWS_VWINIT_H

#include <cstddef>
#include <cstdint>

struct feArgs;
struct feOpSpec;
struct objViewHooks;

// The module's error codes.
enum vwError {
  vwErrViewNotFound = -202,
  vwErrWPlaneNotFound = -205,
  vwErrNoCurSheet = -206,
  vwErrNoCurView = -207,
  vwErrNoModDraftView = -208,
  vwErrBadKey = -209,
  vwErrNoCurDoc = -212,
  vwErrNoCurModel = -213,
  vwErrBadObject = -214,
  vwErrBadViewLimits = -217,
  vwErrBadValue = -218,
  vwErrNoCurPlane = -219,
  vwErrTitleTooLong = -220,
  vwErrTitleNotUnique = -221,
  vwErrBadTitle = -222,
  vwErrLocked = -223,
  vwErrCannotDeleteWP = -224,
  vwErrBadScale = -225,
  // -226 NoOwner and -227 NotInList: views/owned.h
  vwErrAlreadyOwned = -229,
  vwErrTooFarOut = -230,
  vwErrBadWP = -231,
  vwErrBadArg = -232,
  vwErrOutOfRange = -233,
  vwErrScaleTooBig = -234,
  vwErrScaleTooSmall = -235,
};

void vwInit();
// Installs what the current-object switches, the world and screen
// transforms and the display-list notes read of documents, sheets and
// views (vwInit does; again after something replaced them).
void vwInstallHooks();

// The classes viewobj and file (0 before vwInit).
uint16_t viewobjClassId();
uint16_t fileClassId();
// The handler of viewobj: frees the record on message 100, -1 otherwise.
int viewobjHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c);

// The records of each kind alive (for the allocation statistics); each
// module counts its own.
struct vwLiveCounts {
  int32_t docs, models, sheets, views, vdirs, planes;
};
vwLiveCounts& vwLive();

// The operator table vwInit registers first, in its order (93 entries).
const feOpSpec* vwOpTable(size_t* count);

// The current world-to-screen matrix (16 doubles), null while no view is
// the drawing target.
const double* vwCurXform();
void vwSetCurXform(const double* matrix);
// The length of the first row's first three elements of the current matrix
// (0 without one).
double vwCurScale();
// A world point to integer pixels through the current matrix (rounded);
// with the screen-space flag set the point is already in pixels.
void vwPointToPixel(const double point[3], int32_t pixel[2]);

// aDocAll, aGetHLG.
int vwOpDocAll(feArgs* args);
int vwOpGetHLG(feArgs* args);

// Fills what the documents and views answer the object model
// (objects/uphooks.h); start-up installs it.
void vwFillObjectHooks(objViewHooks* hooks);

#endif
