// The draw-flags word and the drawing of one object when it is visible.
#include "views/redraw.h"
#include "views/redraw_internal.h"

#include "core/classes.h"
#include "draw/gx.h"
#include "objects/gobject.h"
#include "objects/layer.h"
#include "objects/objmsg.h"
#include "objects/symb.h"
#include "objects/update.h"
#include "views/view.h"

namespace {

uint32_t drawFlags = 0;

// While clump-element layer hiding is on, an object may sit on a hidden
// layer without carrying the hidden flag itself: such an object may only be
// erased.
bool layerHides(const gobjRec* object) {
  if (!layerClumpHideOn()) return false;
  int shown = 1;
  if (layerIsVisible(object, &shown) != 0 || shown) return false;
  int32_t mode = 0;
  gxGetAttr(2, &mode);
  return mode != gxModeErase;
}

}  // namespace

uint32_t vwDrawMode(uint32_t flags) {
  const uint32_t previous = drawFlags;
  if (!(flags & vwDrawQuery)) drawFlags = flags;
  return previous;
}

uint32_t vwGetDrawFlags() { return drawFlags; }

void objDrawIfVisible(gobjRec* object) {
  if (!object || (object->flags & gobjHidden)) return;
  // An object bound to a view (owner: that view's number) shows only there.
  if (object->owner != 0 && object->owner != vwCurViewIndex()) return;
  // A queued object waits for the drawing of the queue.
  if ((object->flags & updQueued) && !(drawFlags & vwDrawDeferred)) return;
  if (layerHides(object)) return;
  objMeth(object->classId, msgDraw, object);
}

int objDrawIfVisibleCb(gobjRec* object, void*) {
  objDrawIfVisible(object);
  return 0;
}

namespace redrawint {

void resetFlags() {
  drawFlags = 0;
  vwSetSymbolFlag(0);
}

}  // namespace redrawint
