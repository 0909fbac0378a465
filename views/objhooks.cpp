// What the documents and views answer the object model (objects/uphooks.h):
// the current work plane and view, the open documents, the drawing of
// pending updates and the selection display.
#include "views/vwinit.h"

#include "fe/value.h"
#include "objects/uphooks.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/redraw.h"
#include "views/view.h"
#include "views/wplane.h"

namespace {

// A temporary plane ".xxx" with the world's axes, current until it is
// popped. Both it and the plane it stands in for are held by the saved
// state meanwhile, so that neither goes when the current plane changes.
void pushWorldPlane(objSavedPlane* saved) {
  static const double origin[3] = {0, 0, 0}, xAxis[3] = {1, 0, 0}, yAxis[3] = {0, 1, 0};
  // Without the planes' class there is no plane to make.
  wplaneRec* plane = wplaneClassId() ? wpCreate(".xxx", 0, origin, xAxis, yAxis) : nullptr;
  saved->plane = plane;
  saved->previous = nullptr;
  if (!plane) return;
  feObjRefRetain(plane);
  wplaneRec* previous = wpCurrent();
  feObjRefRetain(previous);
  saved->previous = previous;
  wpSetCurrent(plane);
}

void popWorldPlane(const objSavedPlane* saved) {
  if (!saved->plane) return;
  wpSetCurrent(static_cast<wplaneRec*>(saved->previous));
  feObjRefRelease(saved->previous);
  feObjRefRelease(saved->plane);
}

void setPortToCurrentView() {
  if (viewRec* view = vwCurView()) vwSetPort(view);
}

void forEachOpenDoc(void (*fn)(dbDocRec* settings, void* context), void* context) {
  for (docRec* doc = docFirstOpen(); doc; doc = doc->nextOpen) fn(doc->settings, context);
}

}  // namespace

void vwFillObjectHooks(objViewHooks* hooks) {
  hooks->planeAxis = wpGetAxis;
  hooks->pushWorldPlane = pushWorldPlane;
  hooks->popWorldPlane = popWorldPlane;
  hooks->viewScale = vwGetViewScale;
  hooks->setPortToCurrentView = setPortToCurrentView;
  hooks->drawDeferList = vwDrawDeferList;
  hooks->selectionStep = vwBufferRedraw;
  hooks->forEachOpenDoc = forEachOpenDoc;
}
