#include "objects/uphooks.h"

namespace {

objViewHooks views;
objPointInput input;

}  // namespace

void objSetViewHooks(const objViewHooks& hooks) { views = hooks; }

void objPlaneAxis(int index, double out[3]) {
  if (views.planeAxis) {
    views.planeAxis(index, out);
    return;
  }
  // The world's frame: the axes are the unit vectors, the origin zero.
  for (int row = 0; row < 3; ++row) out[row] = index >= 0 && index < 3 && row == index ? 1.0 : 0.0;
}

objSavedPlane objPushWorldPlane() {
  objSavedPlane saved{};
  if (views.pushWorldPlane) views.pushWorldPlane(&saved);
  return saved;
}

void objPopWorldPlane(const objSavedPlane& saved) {
  if (saved.plane && views.popWorldPlane) views.popWorldPlane(&saved);
}

int objViewScale(int kind, double* out) {
  if (views.viewScale) return views.viewScale(kind, out);
  *out = 1.0;
  return -1;
}

void objSetPortToCurrentView() {
  if (views.setPortToCurrentView) views.setPortToCurrentView();
}

void objDrawDeferList() {
  if (views.drawDeferList) views.drawDeferList();
}

void objSelectionStep(int reset) {
  if (views.selectionStep) views.selectionStep(reset);
}

void objForEachOpenDoc(void (*fn)(dbDocRec* settings, void* context), void* context) {
  if (views.forEachOpenDoc) views.forEachOpenDoc(fn, context);
}

void objSetPointInput(const objPointInput& next) { input = next; }

void objTrackPoints(int x, int y, objPointStep step, void* context, int startMode, void (*feedback)(int drawMode)) {
  if (input.track) input.track(x, y, step, context, startMode, feedback);
}

int objToolPoints(double (*out)[3]) { return input.points ? input.points(out) : 0; }

void objRedrawToolFeedback(int drawMode) {
  if (input.redrawFeedback) input.redrawFeedback(drawMode);
}

void objClearToolPoints() {
  if (input.clearPoints) input.clearPoints();
}

void objDropToolPoints(int n) {
  if (input.dropPoints) input.dropPoints(n);
}
