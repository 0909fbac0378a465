// The curve family's set-up: the class "curve", the drawing classes under
// it, and the operator aUpdateStyles.
#include "geometry/curve.h"

#include "fe/operator.h"
#include "geometry/line.h"
#include "geometry/point.h"
#include "objects/group.h"

// In curve.cpp: registers "curve" alone and keeps its id.
uint16_t crvRegisterBase(uint16_t parentClassId);

namespace {

// "Q[group]": every object of the group is rebuilt in place over its whole
// range (message 310 with the group's own slot of the object), which
// recomputes what a curve derives from its style. Answers 0, also for an
// empty group.
int aUpdateStylesOp(feArgs* args) {
  for (glist* block = static_cast<glist*>(args->in[0].record); block; block = block->next)
    for (gobjRec** slot = block->members; *slot; ++slot) objReParam(*slot, 0.0, 1.0, slot);
  return 0;
}

}  // namespace

int crvInit(uint16_t parentClassId) {
  const uint16_t curve = crvRegisterBase(parentClassId);
  if (!curve) return -1;
  // Class ids follow registration order: line, then the arcs (with their
  // own steps), point, ellipse, chain and the splines' classes as they come.
  lineInit(curve);
  pointInit(curve);
  return feRegisterOp("aUpdateStyles", aUpdateStylesOp, "Q[group]", 0, 0);
}

void crvExit() {
  pointExit();
  lineExit();
}
