// The track-point marker: an XOR mark (marker style 9) at the last entered
// point, shown after every completed step of point input and hidden while
// tracking.
#include "tools/trkpoint.h"

#include "tools/trk_internal.h"

#include "draw/gx.h"
#include "geometry/marker.h"
#include "objects/docvar_sheet.h"
#include "views/current.h"
#include "views/view.h"

namespace {

constexpr int kMarkerStyle = 9;

struct Marker {
  double point[3] = {0, 0, 0};
  int enabled = 0;
  int drawn = 0;  // 0 or 1
};

Marker marker;

// One XOR pass of the marker in the current view; false without a view.
bool toggle() {
  viewRec* view = vwCurView();
  if (!view) return false;
  gxClipPush();
  gxStatePush();
  vwSetPort(view);
  markDraw(marker.point, kMarkerStyle, gxModeXor);
  gxStatePop();
  gxClipPop();
  return true;
}

}  // namespace

void trkMarkDraw(int state) {
  if (!marker.enabled || state == marker.drawn) return;
  // Drawing toggles the pixels: a repaint (state 2) wiped the marker, so
  // it is drawn again and counts as shown.
  if (toggle()) marker.drawn = state == 2 ? 1 : state;
}

void trkMarkSet(int enable, const double p[3]) {
  const double point[3] = {p ? p[0] : marker.point[0], p ? p[1] : marker.point[1], p ? p[2] : marker.point[2]};
  if (enable == marker.enabled && point[0] == marker.point[0] && point[1] == marker.point[1] &&
      point[2] == marker.point[2])
    return;
  trkMarkDraw(0);
  marker.enabled = enable;
  for (int k = 0; k < 3; ++k) marker.point[k] = point[k];
  if (enable) trkMarkDraw(1);
}

void trkMarkState(int* enabled, int* drawn, double point[3]) {
  if (enabled) *enabled = marker.enabled;
  if (drawn) *drawn = marker.drawn;
  if (point)
    for (int k = 0; k < 3; ++k) point[k] = marker.point[k];
}

namespace trk {

void markHide() { trkMarkSet(0, nullptr); }

void markShowLast() {
  dbSheetRec* s = sheet();
  if (s && s->enteredCount > 0) trkMarkSet(1, s->lastPoint);
}

}  // namespace trk

void trkMarkReset() { marker = Marker{}; }
