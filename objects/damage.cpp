// The damaged region: one compact box that collects what changed during a
// command, and its redraw at the end of the command.
#include "objects/objrecord.h"

#include "core/bbox.h"
#include "core/classes.h"
#include "fe/operator.h"

namespace {

struct Region {
  int16_t box[6];
  Region() { bboxEmpty(box); }
};

Region region;

bool isPoint(const int16_t* box) { return box[0] == box[3] && box[1] == box[4] && box[2] == box[5]; }

}  // namespace

void objDamage(gobjRec* object) {
  if (!object) return;
  if (!(object->flags & gobjHidden) && !isPoint(object->box)) bboxUnion(object->box, region.box);
  object->flags &= uint16_t(~gobjDamageDeferred);
}

void objDamageRect(const double* a, const double* b) {
  int16_t box[6];
  bboxFromCorners(a, b, box);
  bboxUnion(box, region.box);
}

void objDamageLine(const double* a, const double* b) {
  // The immediate invalidation of the pixels between the two points joins
  // this when views exist; until then the region alone records the change.
  objDamageRect(a, b);
}

const int16_t* objDamagedRegion() { return region.box; }

void objRedrawPending(int) {
  // No view shows a model yet, so there is nothing to invalidate: the
  // region is emptied as it is after every redraw.
  bboxEmpty(region.box);
}

int rectIntersect(const int32_t* a, const int32_t* b, int32_t* out) {
  int32_t left = a[0] > b[0] ? a[0] : b[0];
  int32_t top = a[1] > b[1] ? a[1] : b[1];
  int32_t right = a[2] < b[2] ? a[2] : b[2];
  int32_t bottom = a[3] < b[3] ? a[3] : b[3];
  if (left > right || top > bottom) {
    out[0] = out[1] = out[2] = out[3] = 0;
    return -1;
  }
  out[0] = left;
  out[1] = top;
  out[2] = right;
  out[3] = bottom;
  return 0;
}

int objEraseOp(feArgs* args) {
  // Only drawing objects have a box; any other program object is passed over.
  void* record = args->in[0].record;
  if (record && objInClass(record, "gobject") == 1) objDamage(static_cast<gobjRec*>(record));
  return 0;
}
