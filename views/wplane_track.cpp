// aWPlaneTrack: a work plane from points entered with the mouse. The tool
// input loop collects them (one press each, a drag tracks the point), with
// a rubber band from the first point to every later one; once the loop
// holds enough points the plane is made from them.
#include "views/wplane.h"

#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/opcall.h"
#include "objects/uphooks.h"

namespace {

// The rubber bands of the buffer: the first point to each later one.
void drawBands(const double (*points)[3], int count) {
  for (int i = 1; i < count; ++i) {
    vwMoveToW(points[0]);
    vwLineToW(points[i]);
  }
}

// The loop's point callback: the band to the point before the update is
// drawn again (XOR: erased), then the band to the new point.
void trackStep(const double (*points)[3], int count, const double* previous, void*) {
  if (count < 2) return;
  if (previous) {
    vwMoveToW(points[0]);
    vwLineToW(previous);
  }
  vwMoveToW(points[0]);
  vwLineToW(points[count - 1]);
}

// The loop's feedback callback: every band in the given draw mode.
void redrawBands(int drawMode) {
  double points[objPointsMax][3];
  const int count = objToolPoints(points);
  gxSetDrawMode(drawMode);
  drawBands(points, count);
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
  objTrackPoints(press[0], press[1], trackStep, nullptr, needed, redrawBands);
  double buffer[objPointsMax][3];
  const int count = objToolPoints(buffer);
  if (count < needed) return 0;
  double points[3][3] = {};
  for (int i = 0; i < needed; ++i)
    for (int k = 0; k < 3; ++k) points[i][k] = buffer[i][k];
  // The points are used: the bands go and the buffer is emptied.
  objRedrawToolFeedback(gxModeErase);
  objClearToolPoints();
  const int made = wpTrackMake(points, needed, mode);
  if (made < 0) return made;
  *static_cast<int32_t*>(args->out[0]) = made;
  return 0;
}
