// Work-plane records: making and copying planes, rebuilding their frames
// and matrices, and their use counts.
#include "views/wplane.h"
#include "views/wplane_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/matrix.h"
#include "core/text.h"
#include "core/vec.h"
#include "draw/xforms.h"
#include "fe/value.h"
#include "objects/objmsg.h"
#include "views/current.h"
#include "views/vwinit.h"

#include <cstring>

namespace {

constexpr double kOffsetMin = 1e-8;  // an origin farther than this is away from the world origin

wplaneRec* allocPlane() {
  wplaneRec* plane = nullptr;
  uAlloc(&plane, nullptr, 1, sizeof(wplaneRec));
  std::memset(plane, 0, sizeof *plane);
  plane->head.object.classId = wplaneClassId();
  plane->head.desc = wplaneListDesc();
  plane->title = uStrDup("", 0, nullptr);
  ++vwLive().planes;
  return plane;
}

void setDefaultFrame(wplaneRec* plane) {
  vecSet3(plane->origin, 0, 0, 0);
  vecSet3(plane->right, 1, 0, 0);
  vecSet3(plane->up, 0, 1, 0);
  plane->equation[0] = plane->equation[1] = plane->equation[3] = 0;
  plane->equation[2] = 1;
  aMatrix(4, plane->worldToPlane);
  aMatrix(4, plane->planeToWorld);
}

void copyFrame(const wplaneRec* from, wplaneRec* to) {
  std::memcpy(to->equation, from->equation, sizeof to->equation);
  vecCopy3(from->right, to->right);
  vecCopy3(from->up, to->up);
  vecCopy3(from->origin, to->origin);
  std::memcpy(to->worldToPlane, from->worldToPlane, sizeof to->worldToPlane);
  std::memcpy(to->planeToWorld, from->planeToWorld, sizeof to->planeToWorld);
}

}  // namespace

int wpNew(wplaneRec** out) {
  wplaneRec* plane = allocPlane();
  if (wplaneRec* current = wpint::activePlane()) copyFrame(current, plane);
  else setDefaultFrame(plane);
  *out = plane;
  return 0;
}

int wpCopy(const wplaneRec* source, wplaneRec** out) {
  if (!source) {
    wpNew(out);
    setDefaultFrame(*out);
    return 0;
  }
  wpint::refresh(const_cast<wplaneRec*>(source));
  wplaneRec* plane = allocPlane();
  copyFrame(source, plane);
  plane->flags = source->flags;
  uStrDup(source->title, uint32_t(std::strlen(source->title)), &plane->title);
  *out = plane;
  return 0;
}

wplaneRec* wpCreate(const char* title, uint16_t flags, const double origin[3], const double right[3],
                    const double up[3]) {
  wplaneRec* plane = nullptr;
  wpNew(&plane);
  plane->flags |= flags;
  vecCopy3(origin, plane->origin);
  vecCopy3(right, plane->right);
  vecCopy3(up, plane->up);
  if (title) uStrDup(title, uint32_t(std::strlen(title)), &plane->title);
  wpint::setOffsetFlag(plane);
  wpUpdate(plane);
  return plane;
}

int wpUpdate(wplaneRec* plane) {
  if (!wplaneIs(plane)) return 269;
  double normal[3], up[3];
  vecCross3(plane->right, plane->up, normal);
  if (vecLen3(normal) == 0) return vwErrBadWP;
  vecNormalize3(normal, normal);
  vecCross3(normal, plane->right, up);
  vecNormalize3(up, up);
  vecCopy3(normal, plane->equation);
  plane->equation[3] = -vecDot3(normal, plane->origin);
  vecCopy3(up, plane->up);
  if (wpBuildMatrices(plane) != 0) return vwErrBadWP;
  plane->flags &= uint16_t(~wpStale);
  return 0;
}

// A look-at rotation from a point behind the plane towards its origin (so
// that the normal becomes z and up y), after moving the origin to the world
// origin. Its inverse is written out: the transposed rotation, then the
// translation back to the origin.
int wpBuildMatrices(wplaneRec* plane) {
  const double* normal = plane->equation;
  double eye[3], toPlane[16];
  vecSub3(plane->origin, normal, eye);
  if (vwLookAt(eye, plane->origin, plane->up, toPlane) != 0) return -1;
  std::memcpy(plane->worldToPlane, toPlane, sizeof toPlane);
  double* back = plane->planeToWorld;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) back[4 * row + column] = toPlane[4 * column + row];
    back[4 * row + 3] = plane->origin[row];
  }
  back[12] = back[13] = back[14] = 0;
  back[15] = 1;
  return 0;
}

namespace wpint {

void freePlane(wplaneRec* plane) {
  uFreeIfSet(&plane->title);
  uFree(&plane);
  --vwLive().planes;
}

void release(wplaneRec* plane) { feObjRefRelease(plane); }

void dropUnheld(wplaneRec* plane) {
  if (plane && plane->head.object.refCount == 0) objMeth(plane->head.object.classId, msgFree, plane);
}

void setOffsetFlag(wplaneRec* plane) {
  if (vecLen3(plane->origin) > kOffsetMin) plane->flags |= wpOffset;
  else plane->flags &= uint16_t(~wpOffset);
}

void refresh(wplaneRec* plane) {
  if (plane && (plane->flags & wpStale)) wpUpdate(plane);
}

}  // namespace wpint
