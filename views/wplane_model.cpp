// The planes of a model: adding, finding and deleting planes, copying a
// model's planes, and the temporary plane.
#include "views/wplane.h"
#include "views/wplane_internal.h"

#include "core/debug.h"
#include "core/text.h"
#include "core/vec.h"
#include "core/xlate.h"
#include "objects/event.h"
#include "views/current.h"
#include "views/model.h"
#include "views/uniquename.h"
#include "views/vwinit.h"

#include <cstring>
#include <string>

namespace {

int planeTaken(void* context, const char* name, uint32_t length) {
  return wpFind(static_cast<const modelRec*>(context), name, length) != nullptr;
}

bool sameFrame(const wplaneRec* a, const wplaneRec* b) {
  for (int i = 0; i < 3; ++i)
    if (a->origin[i] != b->origin[i] || a->right[i] != b->right[i] || a->up[i] != b->up[i]) return false;
  return true;
}

const char* translated(const char* text) {
  const char* out = text;
  xlateStr(0, text, &out);
  return out ? out : text;
}

void signal(uint32_t code, const void* plane) { evtSignal(code, reinterpret_cast<intptr_t>(plane)); }

}  // namespace

int wpAddToModel(modelRec* model, wplaneRec* plane) {
  if (!model) model = vwCurModel();
  if (!model || !wplaneIs(plane) || plane->owner) return 0;
  if (!plane->title || !*plane->title) {
    uniqueName(&plane->title, "Plane ^0", planeTaken, model);
  } else if (const wplaneRec* holder = wpFind(model, plane->title, uint32_t(std::strlen(plane->title)))) {
    uAlert(0, "WPlane named '^0' already exists.", holder->title);
    if (sameFrame(holder, plane)) return 0;
    uniqueName(&plane->title, "Plane ^0", planeTaken, model);
  }
  feObjRefRetain(plane);
  plane->owner = model;
  ownedInsert(plane, ownedAppend);
  signal(vwEvPlaneCreated, plane);
  return 1;
}

wplaneRec* wpFind(const modelRec* model, const char* title, uint32_t length) {
  if (!model || !title) return nullptr;
  const std::string wanted(title, length);
  for (wplaneRec* plane = model->firstPlane; plane; plane = plane->next)
    if (uStrNatCmpAll(plane->title, wanted.c_str()) == 0) return plane;
  return nullptr;
}

wplaneRec* wpTemp(modelRec* model, const double origin[3], const double right[3], const double up[3]) {
  if (!model) model = vwCurModel();
  if (!model) return nullptr;
  const char* title = translated("TempPlane");
  wplaneRec* plane = wpFind(model, title, uint32_t(std::strlen(title)));
  if (plane) {
    vecCopy3(origin, plane->origin);
    vecCopy3(right, plane->right);
    vecCopy3(up, plane->up);
    wpint::setOffsetFlag(plane);
  } else {
    plane = wpCreate(title, 0, origin, right, up);
    if (!wpAddToModel(model, plane)) {
      wpint::dropUnheld(plane);
      return nullptr;
    }
  }
  plane->flags = uint16_t((plane->flags & ~wpFacing) | wpStale);
  return plane;
}

void wpCopyPlanes(const modelRec* source, modelRec* target) {
  if (!target) return;
  if (!source) {
    static const struct {
      const char* title;
      double right[3], up[3];
    } kStandard[] = {
        {"Top", {1, 0, 0}, {0, 1, 0}},
        {"Right", {0, 1, 0}, {0, 0, 1}},
        {"Front", {1, 0, 0}, {0, 0, 1}},
    };
    const double origin[3] = {0, 0, 0};
    for (const auto& s : kStandard) {
      wplaneRec* plane = wpCreate(s.title, wpLocked, origin, s.right, s.up);
      if (!wpAddToModel(target, plane)) wpint::dropUnheld(plane);
    }
    return;
  }
  for (const wplaneRec* from = source->firstPlane; from; from = from->next) {
    wplaneRec* placed = nullptr;
    if (from->flags & wpWorld) {
      placed = wpint::worldToEnd(target);
    } else {
      wplaneRec* copy = nullptr;
      wpCopy(from, &copy);
      if (wpAddToModel(target, copy)) {
        placed = copy;
      } else {
        // An identical plane of that title is there already: it stands in.
        placed = wpFind(target, copy->title, uint32_t(std::strlen(copy->title)));
        wpint::dropUnheld(copy);
      }
    }
    if (from == source->curPlane && placed) target->curPlane = placed;
  }
}

namespace wpint {

int deletePlane(wplaneRec* plane) {
  const modelRec* model = plane->owner;
  if ((model && model->curPlane == plane) || wpCurrent() == plane) return vwErrCannotDeleteWP;
  if (plane->flags & (wpLocked | wpWorld)) return vwErrLocked;
  // A plane that cannot be unlinked stays where it is, and the caller
  // learns why.
  if (const int answer = ownedUnlink(plane)) return answer;
  signal(vwEvPlaneFreed, plane);
  plane->owner = nullptr;
  release(plane);
  return 0;
}

}  // namespace wpint

void wpDeleteAll(modelRec* model) {
  model->curPlane = nullptr;
  if (wplaneRec* current = wpCurrent(); current && current->owner == model) wpSetCurrent(nullptr);
  while (wplaneRec* plane = model->firstPlane) {
    plane->flags &= uint16_t(~(wpLocked | wpWorld));
    if (wpint::deletePlane(plane) != 0) {
      dbgPanic("plane of a model being freed stays");
      model->firstPlane = plane->next;
    }
  }
}

namespace wpint {

wplaneRec* worldToEnd(modelRec* model) {
  wplaneRec* world = model->firstPlane;
  while (world && !(world->flags & wpWorld)) world = world->next;
  if (world && world->next && ownedUnlink(world) == 0) ownedInsert(world, ownedAppend);
  return world;
}

}  // namespace wpint
