// The unfold frame and aSetCurViewIndex.
#include "views/vwunfold.h"

#include "core/classes.h"
#include "fe/opcall.h"
#include "objects/gobject.h"
#include "views/view.h"

#include <cstring>

namespace {

double frame[3][3] = {};

}  // namespace

void vwGetUnfoldFrame(double origin[3], double direction[3], double normal[3]) {
  std::memcpy(origin, frame[0], sizeof frame[0]);
  std::memcpy(direction, frame[1], sizeof frame[1]);
  std::memcpy(normal, frame[2], sizeof frame[2]);
}

void vwSetUnfoldFrame(const double origin[3], const double direction[3], const double normal[3]) {
  std::memcpy(frame[0], origin, sizeof frame[0]);
  std::memcpy(frame[1], direction, sizeof frame[1]);
  std::memcpy(frame[2], normal, sizeof frame[2]);
}

int vwOpGetUnfoldInfo(feArgs* args) {
  vwGetUnfoldFrame(static_cast<double*>(args->out[0]), static_cast<double*>(args->out[1]),
                   static_cast<double*>(args->out[2]));
  return 0;
}

int vwOpSetCurViewIndex(feArgs* args) {
  auto* object = static_cast<gobjRec*>(args->in[0].record);
  if (!object || objInClass(object, "gobject") != 1) return 0;
  object->owner = uint8_t(vwCurViewIndex());
  return 0;
}
