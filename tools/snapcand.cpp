#include "tools/snapcand.h"

#include "draw/xforms.h"
#include "geometry/plane.h"
#include "objects/gobject.h"
#include "objects/layer.h"

#include <cmath>
#include <cstring>

namespace {

void copy3(double* to, const double* from) {
  for (int i = 0; i < 3; ++i) to[i] = from ? from[i] : 0.0;
}

}  // namespace

void snapCandSetInit(snapCandSet* set, const int32_t pickBox[4]) {
  std::memcpy(set->pickBox, pickBox, sizeof set->pickBox);
  set->depth = 0;
  set->count = 0;
}

int snapCandAdd(snapCandSet* set, gobjRec* object, int kind, const double* point, const double* direction,
                const char* label) {
  if (set->count >= snapCandMax) return -1;
  snapCand& cand = set->cands[set->count];
  cand.kind = static_cast<int16_t>(kind);
  cand.flags = 0;
  cand.object = object;
  copy3(cand.point, point);
  copy3(cand.direction, direction);
  cand.label = label ? label : "";
  if (object != nullptr) {
    if (object->refCount < gobjPermanent) objRetain(object);
    // Construction geometry is scratch: on ".temp" the point tools and the
    // copying operations pass it over. Drawing objects stay where they are.
    if (kind != 0) layerSetByName(object, ".temp", 5, 0);
  }
  return set->count++;
}

void snapCandRelease(snapCandSet* set) {
  for (int i = 0; i < set->count; ++i) objRelease(&set->cands[i].object);
  set->count = 0;
  set->depth = 0;
}

void snapBestInit(snapBest* best, const int32_t cursor[2], const double cursorWorld[3], double radius) {
  std::memset(best, 0, sizeof *best);
  best->cursor[0] = cursor[0];
  best->cursor[1] = cursor[1];
  best->cursorScreen[0] = cursor[0];
  best->cursorScreen[1] = cursor[1];
  copy3(best->cursorWorld, cursorWorld);
  best->bestDistance = 2.0 * radius * radius;
  best->bestIndex[0] = best->bestIndex[1] = -1;
  best->currentIndex = -1;
}

bool snapOnPlane(const planeRec* plane, const double point[3]) {
  if (plane == nullptr) return true;
  double length = std::sqrt(plane->n[0] * plane->n[0] + plane->n[1] * plane->n[1] + plane->n[2] * plane->n[2]);
  if (length == 0.0) return true;
  double distance = (plane->n[0] * point[0] + plane->n[1] * point[1] + plane->n[2] * point[2] + plane->d) / length;
  return std::fabs(distance) <= 0.001;
}

bool snapAcceptScreen(const snapBest* best, const double screen[3], double* distance) {
  double dx = screen[0] - best->cursorScreen[0];
  double dy = screen[1] - best->cursorScreen[1];
  double d = dx * dx + dy * dy;
  *distance = d;
  if (!(d - 0.1 < best->bestDistance)) return false;
  return d + 0.1 < best->bestDistance || best->bestCode == 0 || screen[2] < best->bestScreen[2];
}

bool snapAccept(const snapBest* best, const double point[3], double screen[3], double* distance) {
  if (best->planeConstrained && !snapOnPlane(best->plane, point)) return false;
  vwWorldToScreen(point, screen);
  return snapAcceptScreen(best, screen, distance);
}

void snapRecord(snapBest* best, const double point[3], const double screen[3], double distance, int code) {
  best->bestDistance = distance;
  copy3(best->bestWorld, point);
  copy3(best->bestScreen, screen);
  best->bestCode = code;
}
