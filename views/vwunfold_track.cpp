// aUnfoldTrack: a fold line entered with the mouse, and a copy of the
// current view unfolded across it. The copy is the view turned by a quarter
// turn about the fold line, so that it shows the model as seen from beyond
// the line; it lies beside the source view on that side. Points on the fold
// line keep their place on the sheet in both views.
#include "views/vwunfold.h"

#include "core/matrix.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/opcall.h"
#include "objects/uphooks.h"
#include "views/current.h"
#include "views/uphooks.h"
#include "views/view.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// The first point's mark while the line is tracked, and the marks at both
// ends of the finished line.
enum { kTrackMark = 9, kEndMark = 8 };

double dot3(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void line(const double a[3], const double b[3]) {
  vwMoveToW(a);
  vwLineToW(b);
}

// The loop's point callback (XOR): the first point's mark follows its
// re-snaps; the band from the first point to the pointer is drawn again at
// its previous end (erasing it) and then to the new one. The band's length
// and angle become the last segment's, which the tracking feedback shows.
void trackStep(const double (*points)[3], int count, const double* previous, void*) {
  if (count < 2) {
    if (previous) vwMarkDrawCur(previous, kTrackMark);
    vwMarkDrawCur(points[0], kTrackMark);
    return;
  }
  if (previous) line(points[0], previous);
  line(points[0], points[count - 1]);
  vwLastSegment(points[0], points[count - 1]);
}

// The loop's feedback callback: the mark and the band in a draw mode.
void redrawFeedback(int drawMode) {
  double points[objPointsMax][3];
  const int count = objToolPoints(points);
  if (count < 1) return;
  gxSetDrawMode(drawMode);
  vwMarkDraw(points[0], kTrackMark, drawMode);
  if (count >= 2) line(points[0], points[count - 1]);
}

// The finished fold line in the current view: dotted, with end marks.
void drawFoldLine(const double a[3], const double b[3]) {
  gxStatePush();
  gxSetDrawMode(gxModeDraw);
  gxSetPenStyle(1);
  line(a, b);
  vwMarkDraw(a, kEndMark, gxModeDraw);
  vwMarkDraw(b, kEndMark, gxModeDraw);
  gxStatePop();
}

// The fold in world space: the axis through the line's midpoint along the
// line as the view shows it (parallel to the view's screen plane), and the
// normal in that plane pointing across the line away from the view's
// middle; with the view's own direction towards the viewer the three form
// an orthonormal frame. On the sheet: the normal and the line's middle.
struct Fold {
  double mid[3];
  double dir[3];
  double normal[3];
  double toViewer[3];
  double sheetNormal[2];
};

// The rows of the view's orientation: the world directions of the screen's
// x, y and z axes (a rotation, so unit and orthogonal).
void orientationRow(const viewRec* view, int row, double out[3]) {
  for (int k = 0; k < 3; ++k) out[k] = view->orientation[4 * row + k];
}

// The world direction of a sheet direction (sx, sy) in the view's screen plane.
void sheetToWorldDir(const viewRec* view, double sx, double sy, double out[3]) {
  double x[3], y[3];
  orientationRow(view, 0, x);
  orientationRow(view, 1, y);
  for (int k = 0; k < 3; ++k) out[k] = sx * x[k] + sy * y[k];
}

// False when the two points fall on one spot of the sheet (no direction).
bool foldOf(const viewRec* view, const double a[3], const double b[3], Fold* fold) {
  double sa[3], sb[3];
  aPtTransform(3, a, view->orientScale, sa);
  aPtTransform(3, b, view->orientScale, sb);
  const double dx = sb[0] - sa[0], dy = sb[1] - sa[1];
  const double length = std::hypot(dx, dy);
  if (!(length > 1e-9) || !std::isfinite(length)) return false;
  const double d[2] = {dx / length, dy / length};
  double n[2] = {-d[1], d[0]};
  const double middle[2] = {(view->box[0] + view->box[2]) / 2, (view->box[1] + view->box[3]) / 2};
  const double across = ((sa[0] + sb[0]) / 2 - middle[0]) * n[0] + ((sa[1] + sb[1]) / 2 - middle[1]) * n[1];
  if (across < 0) n[0] = -n[0], n[1] = -n[1];
  for (int k = 0; k < 3; ++k) fold->mid[k] = (a[k] + b[k]) / 2;
  sheetToWorldDir(view, d[0], d[1], fold->dir);
  sheetToWorldDir(view, n[0], n[1], fold->normal);
  orientationRow(view, 2, fold->toViewer);
  fold->sheetNormal[0] = n[0];
  fold->sheetNormal[1] = n[1];
  return true;
}

// The inverse of the fold's turn on a direction: the turn takes the normal
// to the viewer and the viewer's direction to minus the normal, keeping the
// line's direction; undone, the viewer's direction becomes the normal.
void unturn(const Fold& fold, const double v[3], double out[3]) {
  const double along = dot3(v, fold.dir), across = dot3(v, fold.normal), toward = dot3(v, fold.toViewer);
  for (int k = 0; k < 3; ++k) out[k] = along * fold.dir[k] - across * fold.toViewer[k] + toward * fold.normal[k];
}

// The source box moved across the fold line by the view's size along the
// normal: the smaller of width / |nx| and height / |ny|, so that the boxes
// meet at a side.
void besideBox(const viewRec* view, const Fold& fold, double out[4]) {
  const double width = std::fabs(view->box[2] - view->box[0]), height = std::fabs(view->box[3] - view->box[1]);
  const double nx = std::fabs(fold.sheetNormal[0]), ny = std::fabs(fold.sheetNormal[1]);
  const double inf = std::numeric_limits<double>::infinity();
  const double size = std::min(nx > 1e-12 ? width / nx : inf, ny > 1e-12 ? height / ny : inf);
  for (int k = 0; k < 4; ++k) out[k] = view->box[k] + size * fold.sheetNormal[k % 2];
}

// The copy's state: the source's world-to-sheet mapping after the fold's
// turn about its axis, so that points on the axis keep their sheet place.
// It is expressed centred: the pan is the middle of the copy's box and the
// centre the world point drawn there.
void unfoldState(const viewRec* source, const Fold& fold, const double box[4], viewState* out) {
  const viewState& s = source->states[0];
  viewState state = s;
  state.pan[0] = (box[0] + box[2]) / 2;
  state.pan[1] = (box[1] + box[3]) / 2;
  // The world point the source draws at the copy's pan (at the centre's depth).
  double shift[3];
  sheetToWorldDir(source, (state.pan[0] - s.pan[0]) / s.scale, (state.pan[1] - s.pan[1]) / s.scale, shift);
  double fromAxis[3];
  for (int k = 0; k < 3; ++k) fromAxis[k] = s.centre[k] + shift[k] - fold.mid[k];
  double turned[3];
  unturn(fold, fromAxis, turned);
  for (int k = 0; k < 3; ++k) state.centre[k] = fold.mid[k] + turned[k];
  unturn(fold, fold.toViewer, state.normal);
  double up[3];
  orientationRow(source, 1, up);
  unturn(fold, up, state.up);
  *out = state;
}

// Copies the source view beside itself across the fold and shows it; the
// source view is current again afterwards.
int unfoldView(viewRec* source, const Fold& fold) {
  viewRec* copy = nullptr;
  if (const int answer = vwCopy(source, source->sheet, &copy)) return answer;
  vwAttachToSheet(copy, source->sheet, copy->model);
  double box[4];
  besideBox(source, fold, box);
  unfoldState(source, fold, box, &copy->states[0]);
  vwSetCorners(copy, box, 0);
  vwRecompute(copy, 1);
  vwSetCurView(copy);
  vwSetCurView(source);
  return 0;
}

}  // namespace

// "A{II}#B" (press pixel): true when a fold line of two points was entered
// in the current view and the view unfolded across it. One point (a click)
// stays in the buffer and answers false: the next press ends the line.
int vwOpUnfoldTrack(feArgs* args) {
  const auto* press = static_cast<const int32_t*>(args->in[0].block);
  auto* made = static_cast<int32_t*>(args->out[0]);
  *made = 0;
  viewRec* source = vwCurView();
  if (!source || !source->sheet) return 0;
  double buffer[objPointsMax][3];
  // Points left by another tool are no start of a fold line.
  if (objToolPoints(buffer) >= 2) {
    objRedrawToolFeedback(gxModeErase);
    objClearToolPoints();
  }
  objTrackPoints(press[0], press[1], trackStep, nullptr, 2, redrawFeedback);
  if (objToolPoints(buffer) < 2) return 0;
  double a[3], b[3];
  std::memcpy(a, buffer[0], sizeof a);
  std::memcpy(b, buffer[1], sizeof b);
  // The points are used: the feedback goes and the buffer is emptied.
  objRedrawToolFeedback(gxModeErase);
  objClearToolPoints();
  // The fold belongs to the view the loop started in.
  if (vwCurView() != source) return 0;
  vwRebuildMatrices(source);
  Fold fold{};
  if (!foldOf(source, a, b, &fold)) return 0;
  drawFoldLine(a, b);
  if (const int answer = unfoldView(source, fold)) return answer;
  vwSetUnfoldFrame(fold.mid, fold.dir, fold.normal);
  *made = 1;
  return 0;
}
