// Work planes in the drawing file: a plane's stored record and a model's
// work-plane block.
#include "views/wplane.h"
#include "views/wplane_internal.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/text.h"
#include "core/vec.h"
#include "objects/gobject.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objrecord.h"
#include "views/model.h"

#include <vector>

namespace {

gobjRec* asObject(wplaneRec* plane) { return reinterpret_cast<gobjRec*>(plane); }

int writeBlock(modelRec* model, ioCtx* ctx) {
  int32_t count = 0, currentAt = -1;
  for (wplaneRec* plane = model->firstPlane; plane; plane = plane->next, ++count) {
    wpint::refresh(plane);
    if (plane == model->curPlane) currentAt = count;
  }
  if (ioFormat(ctx, "ii", &count, &currentAt) < 0) return -1;
  for (wplaneRec* plane = model->firstPlane; plane; plane = plane->next)
    if (objWrite(asObject(plane), ctx) <= 0) return -1;
  return 0;
}

int readBlock(modelRec* model, ioCtx* ctx) {
  int32_t count = 0, currentAt = -1;
  if (ioFormat(ctx, "ii", &count, &currentAt) < 0) return ioErrBadData;
  if (count < 0) count = 0;
  // Where each stored plane ended up in the model (null: not added).
  std::vector<wplaneRec*> placed;
  bool warned = false;
  for (int32_t i = 0; i < count; ++i) {
    int status = 0;
    gobjRec* object = nullptr;
    objRead(ctx, &status, &object);
    if (!wplaneIs(object)) {
      if (object && object->refCount == 0) objFree(object);
      ioFail(ctx, ioErrBadData, "SBad data in file", nullptr);
      return ioErrBadData;
    }
    auto* plane = reinterpret_cast<wplaneRec*>(object);
    if (plane->flags & wpWorld) {
      // The model keeps its own "World" plane, moved to where the stored
      // one stood.
      wpint::dropUnheld(plane);
      placed.push_back(wpint::worldToEnd(model));
    } else if (wpAddToModel(model, plane)) {
      placed.push_back(plane);
    } else {
      wpint::dropUnheld(plane);
      placed.push_back(nullptr);
      if (!warned) uAlert(0, "WOne (or more) Work Planes Removed!", nullptr);
      warned = true;
    }
  }
  if (currentAt < 0) return 0;
  if (currentAt < count && placed[size_t(currentAt)]) {
    model->curPlane = placed[size_t(currentAt)];
    return 0;
  }
  // The stored current plane is gone: back to the model's "World" plane.
  wplaneRec* world = model->firstPlane;
  while (world && !(world->flags & wpWorld)) world = world->next;
  model->curPlane = world ? world : model->firstPlane;
  uAlert(0, "WWork Plane reset to World!", nullptr);
  return 0;
}

}  // namespace

int wpModelPlanesIO(modelRec* model, ioCtx* ctx, int write) {
  if (!model || !ctx) return -1;
  return write ? writeBlock(model, ctx) : readBlock(model, ctx);
}

namespace wpint {

// The title, then "s 4d 3d 3d": flags, equation, origin and up axis. The
// right axis is not stored: reading rebuilds it as up x normal and leaves
// the matrices to be rebuilt before use.
int recordIO(wplaneRec* plane, ioCtx* ctx) {
  if (ioFormat(ctx, "S", &plane->title) < 0) return -1;
  if (!plane->title) plane->title = uStrDup("", 0, nullptr);
  if (ioFormat(ctx, "s4d3d3d", &plane->flags, plane->equation, plane->origin, plane->up) < 0) return -1;
  if (ctx->mode == 'r') {
    vecCross3(plane->up, plane->equation, plane->right);
    plane->flags |= wpStale;
  }
  return 0;
}

}  // namespace wpint
