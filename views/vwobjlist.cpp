// Group extents and layer re-mapping.
#include "views/vwobjlist.h"

#include "objects/group.h"
#include "objects/objsend.h"
#include "objects/sieve.h"

#include <algorithm>
#include <cstring>

namespace {

struct Extents {
  double box[6];
  bool any;
};

int addExtents(gobjRec* member, void* context) {
  auto* e = static_cast<Extents*>(context);
  double corners[6];
  if (grpIsGroup(member) || objGetExtents(member, corners) != 0) return 0;
  for (int k = 0; k < 3; ++k) {
    e->box[k] = e->any ? std::min(e->box[k], corners[k]) : corners[k];
    e->box[3 + k] = e->any ? std::max(e->box[3 + k], corners[3 + k]) : corners[3 + k];
  }
  e->any = true;
  return 0;
}

}  // namespace

void objListExtents(const glist* group, double box[6]) {
  Extents e{{0, 0, 0, 0, 0, 0}, false};
  grpForEach(group, addExtents, &e);
  std::memcpy(box, e.box, sizeof e.box);
}

void objRemapLayer(gobjRec* object, const uint8_t* table, uint32_t entries) {
  if (!object || !table || object->layer >= entries) return;
  object->layer = table[4u * object->layer];
}

void objRemapLayerSieve(gobjRec* object, const uint8_t* table, uint32_t entries) {
  if (!object || !table || object->layer >= entries) return;
  auto* sieve = (object->flags & gobjInSieve) ? static_cast<sieveRec*>(object->sieve) : nullptr;
  if (!sieve) {
    objRemapLayer(object, table, entries);
    return;
  }
  objRetain(object);
  if (sieveRemove(sieve, object) == 0) {
    objRemapLayer(object, table, entries);
    sieveInsert(sieve, object);
  }
  gobjRec* held = object;
  objRelease(&held);
}
