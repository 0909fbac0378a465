// Drawing a clump (message 302): its members in their own colours, or all in
// the clump's colour when it has one; during drag feedback only the outline
// of its box.
#include "objects/clump_internal.h"

#include "core/classes.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "objects/layer.h"
#include "objects/lnfont.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"
#include "objects/selmode.h"

namespace clumpint {

namespace {

enum { kDragMode = 2 };  // the selection mode word while objects are dragged

// The box as two lines along x and two along y at its lowest z, dashed.
void drawOutline(clumpRec* clump) {
  double c[6];
  if (objGetExtents(&clump->head, c) < 0) return;
  const double z = c[2];
  const double p00[3] = {c[0], c[1], z}, p10[3] = {c[3], c[1], z};
  const double p01[3] = {c[0], c[4], z}, p11[3] = {c[3], c[4], z};
  lnfontSelect(1);
  vwMoveToW(p00);
  vwLineToW(p10);
  vwMoveToW(p01);
  vwLineToW(p11);
  vwMoveToW(p00);
  vwLineToW(p01);
  vwMoveToW(p10);
  vwLineToW(p11);
  lnfontSelect(0);
}

// A member is drawn unless it is hidden, or its layer is hidden while the
// layers of clump elements are honoured (then it shows only when erasing).
bool visible(const gobjRec* member) {
  if (member->flags & gobjHidden) return false;
  if (!layerClumpHideOn()) return true;
  uint8_t flags = 0;
  if (layerGetAttrs(member->layer, &flags, nullptr, nullptr, nullptr) != 0 || !(flags & layerHidden)) return true;
  int32_t mode = 0;
  gxGetAttr(2, &mode);
  return mode == gxModeErase;
}

}  // namespace

int draw(clumpRec* clump) {
  const int answer = objMeth(superclass(), msgDraw, clump);
  int32_t mode = 0;
  gxGetAttr(2, &mode);
  if (selModeGet() == kDragMode && mode == gxModeXor) {
    drawOutline(clump);
    return answer;
  }
  // A clump of one colour draws every member in it.
  const bool override = gxGetColor() != 254;
  if (override) gxColorOverrideRaise();
  for (gobjRec* m = clump->first; m; m = m->nextInCell)
    if (visible(m)) objMeth(m->classId, msgDraw, m);
  if (override) gxColorOverrideLower();
  return answer;
}

}  // namespace clumpint
