// The matrices and screen boxes of a view, rebuilt lazily after every
// change, and the history of view states.
#include "views/view.h"

#include "core/debug.h"
#include "core/matrix.h"
#include "draw/xforms.h"
#include "views/sheet.h"
#include "views/vwboxes.h"

#include <cstring>

namespace {

// Pixels the view's frame takes around its screen box.
constexpr int32_t kFrameWidth = 2;

// A draft view on a sheet of several pages keeps the standard orientation:
// the pages are laid out on the unpanned sheet.
void keepDraftStandard(viewRec* view) {
  const sheetRec* sheet = view->sheet;
  if (!(view->flags & viewDraft) || !sheet || sheet->pagesAcross * sheet->pagesDown <= 1) return;
  viewState& s = view->states[0];
  if (s.pan[0] == 0 && s.pan[1] == 0 && s.centre[0] == 0 && s.centre[1] == 0 && s.centre[2] == 0) return;
  uAlert(0, "TAdjusting draft view", nullptr);
  s.pan[0] = s.pan[1] = 0;
  s.centre[0] = s.centre[1] = s.centre[2] = 0;
  const double normal[3] = {0, 0, 1}, up[3] = {0, 1, 0};
  std::memcpy(s.normal, normal, sizeof normal);
  std::memcpy(s.up, up, sizeof up);
}

// The orientation: the centre moves to the origin and the normal becomes
// the z axis (towards the viewer), up the y axis. vwLookAt turns the
// direction from its eye to its target into z, so the eye is put behind
// the centre. A degenerate direction keeps the orientation as it was.
void buildOrientation(viewRec* view) {
  const viewState& s = view->states[0];
  const double behind[3] = {s.centre[0] - s.normal[0], s.centre[1] - s.normal[1], s.centre[2] - s.normal[2]};
  double m[16];
  if (vwLookAt(behind, s.centre, s.up, m) == 0) std::memcpy(view->orientation, m, sizeof m);
}

// Base 1 scales by the view's scale and moves by its pan; base 2 undoes it.
void buildBases(viewRec* view) {
  const viewState& s = view->states[0];
  const double k = s.scale, inv = 1.0 / s.scale;
  const double base1[16] = {k, 0, 0, s.pan[0], 0, k, 0, s.pan[1], 0, 0, k, 0, 0, 0, 0, 1};
  const double base2[16] = {inv, 0, 0, -s.pan[0] * inv, 0, inv, 0, -s.pan[1] * inv, 0, 0, inv, 0, 0, 0, 0, 1};
  std::memcpy(view->base1, base1, sizeof base1);
  std::memcpy(view->base2, base2, sizeof base2);
}

}  // namespace

void vwRebuildMatrices(viewRec* view) {
  if (!(view->flags & viewChanged)) return;
  keepDraftStandard(view);
  buildOrientation(view);
  buildBases(view);
  // The scale matrix is the projection between orientation and base; it
  // stays the identity for parallel views.
  aMatrix(4, view->scaleMatrix);
  double t[16];
  matMulN(4, view->orientation, view->scaleMatrix, t);  // orientation, then the scale matrix
  matMulN(4, t, view->base1, view->orientScale);        // then base 1: world to sheet
  if (matInvert(4, view->orientScale, view->baseOrient, 0) != 0) aMatrix(4, view->baseOrient);
  xform4 sheetToScreen, screenToSheet;
  if (view->sheet) {
    std::memcpy(sheetToScreen, view->sheet->zoom[0].worldToSheet, sizeof sheetToScreen);
    std::memcpy(screenToSheet, view->sheet->zoom[0].sheetToWorld, sizeof screenToSheet);
  } else {
    aMatrix(4, sheetToScreen);
    aMatrix(4, screenToSheet);
  }
  matMulN(4, view->orientScale, sheetToScreen, view->worldToScreen);
  matMulN(4, screenToSheet, view->baseOrient, view->screenToWorld);
  view->flags &= uint16_t(~viewChanged);
  ++view->stamp;
}

void vwComputeScreenBox(viewRec* view) {
  if (!view->sheet) {
    std::memset(view->screenBox, 0, sizeof view->screenBox);
    std::memset(view->outerBox, 0, sizeof view->outerBox);
    return;
  }
  vwViewScreenBox(view->sheet, view->box, view->screenBox);
  view->outerBox[0] = view->screenBox[0] - kFrameWidth;
  view->outerBox[1] = view->screenBox[1] - kFrameWidth;
  view->outerBox[2] = view->screenBox[2] + kFrameWidth;
  view->outerBox[3] = view->screenBox[3] + kFrameWidth;
}

void vwPushState(viewRec* view) {
  if (view->stateCount < viewStateMax) ++view->stateCount;
  std::memmove(&view->states[1], &view->states[0], sizeof(viewState) * size_t(view->stateCount - 1));
}
