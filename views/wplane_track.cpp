// aWPlaneTrack: a work plane from points entered with the mouse. The tool
// input loop collects them (one press each, a drag tracks the point), with
// a rubber band from the first point to every later one; once the loop
// holds enough points the plane is made from them.
#include "views/wplane.h"

#include "fe/opcall.h"
#include "tools/ietool.h"
#include "views/gx.h"
#include "views/xforms.h"

namespace {

// The rubber bands of the buffer: the first point to each later one.
void drawBands(const ieToolPoint* buffer, int count) {
  for (int i = 1; i < count; ++i) {
    vwMoveToW(buffer[0].point);
    vwLineToW(buffer[i].point);
  }
}

// The loop's point callback: the band to the point before the update is
// drawn again (XOR: erased), then the band to the new point.
void trackStep(ieToolPoint* buffer, int count, const ieToolPoint* previous, int, void*) {
  if (count < 2) return;
  if (previous) {
    vwMoveToW(buffer[0].point);
    vwLineToW(previous->point);
  }
  vwMoveToW(buffer[0].point);
  vwLineToW(buffer[count - 1].point);
}

// The loop's feedback callback: every band in the given draw mode.
void redrawBands(int drawMode) {
  ieToolPoint* buffer = nullptr;
  int count = 0;
  ieGetPointBuffer(&buffer, &count);
  gxSetDrawMode(drawMode);
  drawBands(buffer, count);
}

}  // namespace

// "A{II}i#B" (press pixel, mode): one point with a non-zero mode (the
// plane keeps the view's axes), three otherwise. True when a plane was
// made; until the buffer holds enough points the answer is false and the
// points stay for the next press.
int vwOpWPlaneTrack(feArgs* args) {
  const auto* press = static_cast<const int32_t*>(args->in[0].block);
  const int mode = args->in[1].i;
  const int needed = mode ? 1 : 3;
  *static_cast<int32_t*>(args->out[0]) = 0;
  ieTrackTool(press[0], press[1], trackStep, nullptr, needed, redrawBands, 0);
  ieToolPoint* buffer = nullptr;
  int count = 0;
  ieGetPointBuffer(&buffer, &count);
  if (count < needed) return 0;
  double points[3][3] = {};
  for (int i = 0; i < needed; ++i)
    for (int k = 0; k < 3; ++k) points[i][k] = buffer[i].point[k];
  // The points are used: the bands go and the buffer is emptied.
  ieRedrawFeedback(gxModeErase);
  ieSetPoints(0, nullptr);
  const int made = wpTrackMake(points, needed, mode);
  if (made < 0) return made;
  *static_cast<int32_t*>(args->out[0]) = made;
  return 0;
}
