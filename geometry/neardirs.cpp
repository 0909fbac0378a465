// The directions of the curves near a point.
#include "geometry/neardirs.h"

#include "core/alloc.h"
#include "core/vec.h"
#include "geometry/curve.h"
#include "objects/nearprobe.h"
#include "views/wplane.h"

namespace {

struct Collect {
  double vectors[crvNearDirsMax][3];
  uint32_t count;
  double normal[3];
};

int collect(gobjRec* curve, void* argument, double t) {
  auto* c = static_cast<Collect*>(argument);
  if (c->count >= crvNearDirsMax - 1) return 0;
  double tangent[3];
  crvPointAt(curve, t, 1, 0, tangent);
  vecNormalize3(tangent, c->vectors[c->count]);
  vecCross3(c->vectors[c->count], c->normal, c->vectors[c->count + 1]);
  c->count += 2;
  return 0;
}

}  // namespace

int crvNearDirs(const double* point, crvDirList* list, double distance) {
  if (!point || !list) return 0;
  Collect c{};
  wpGetAxis(2, c.normal);
  sieveNear(point, distance, collect, &c);
  if (list->capacity < c.count) {
    uint32_t n = list->capacity;
    uAlloc(&list->vectors, &n, c.count + 2, sizeof list->vectors[0]);
    list->capacity = c.count + 2;
  }
  for (uint32_t i = 0; i < c.count; ++i) vecCopy3(c.vectors[i], list->vectors[i]);
  list->count = c.count;
  return 0;
}

void crvNearDirsFree(crvDirList* list) {
  if (!list) return;
  uFreeIfSet(&list->vectors);
  list->vectors = nullptr;
  list->count = 0;
  list->capacity = 0;
}
