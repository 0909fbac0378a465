// The class "view": its registration and message handler, and the life of
// a view record: creation with its defaults, copying, the model it shows
// and its release.
#include "views/view.h"
#include "views/view_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/text.h"
#include "draw/xforms.h"
#include "fe/control.h"
#include "objects/event.h"
#include "objects/objmsg.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/owned.h"
#include "views/sheet.h"
#include "views/vwinit.h"

#include <algorithm>
#include <cstring>

namespace {

uint16_t viewClass = 0;
uint32_t serialCounter = 0;  // raised at every creation

// The operator that comes with the class: a world point through the
// current view.
const feOpSpec kClassOps[] = {
    {"aWorldToScreen", vwOpWorldToScreen, "!A{DDD}#A{DDD}"},
};

void signal(uint32_t code, const void* object) { evtSignal(code, reinterpret_cast<intptr_t>(object)); }

void identity(xform4 m) { aMatrix(4, m); }

// A fresh record with the defaults of a new view: flags created and
// changed, box (-1, 1, 1, -1), one state of scale 1 looking down (0, 0, 3)
// with y up, identity matrices, perspective distance 1 and angle 50.
viewRec* allocRecord() {
  viewRec* view = nullptr;
  uAlloc(&view, nullptr, 1, sizeof(viewRec));
  view->classId = viewClass;
  view->flags = viewCreated | viewChanged;
  const double box[4] = {-1, 1, 1, -1};
  std::memcpy(view->box, box, sizeof box);
  for (xform4* m : {&view->base1, &view->base2, &view->scaleMatrix, &view->orientation, &view->orientScale,
                    &view->baseOrient, &view->screenToWorld, &view->worldToScreen})
    identity(*m);
  view->stateCount = 1;
  viewState& state = view->states[0];
  state.scale = 1.0;
  state.normal[2] = 3.0;
  state.up[1] = 1.0;
  view->serial = ++serialCounter;
  view->perspectiveDist = 1.0;
  view->perspectiveAngle = 50.0;
  ++vwLive().views;
  return view;
}

int raiseCount(uint8_t& count) {
  if (count != feObjPermanent) ++count;
  return count;
}

// The position of model in the document's model list, -1 when absent.
int modelPosition(const docRec* doc, const modelRec* model) {
  int position = 0;
  for (const modelRec* m = doc ? doc->firstModel : nullptr; m; m = m->next, ++position)
    if (m == model) return position;
  return -1;
}

modelRec* modelAt(const docRec* doc, int position) {
  modelRec* m = doc ? doc->firstModel : nullptr;
  for (int i = 0; m && i < position; ++i) m = m->next;
  return m ? m : (doc ? doc->firstModel : nullptr);
}

// Message 313: a copy for the current view's sheet.
int copyMessage(viewRec* view, viewRec** slot) {
  viewRec* current = vwCurView();
  if (!current) return vwErrNoCurView;
  return vwCopy(view, current->sheet, slot);
}

// Message 306: the sheet box's corners at z = 0, minimum first.
int extentsMessage(const viewRec* view, double* corners) {
  if (!corners) return -1;
  const double* b = view->box;
  const double out[6] = {std::min(b[0], b[2]), std::min(b[1], b[3]), 0, std::max(b[0], b[2]), std::max(b[1], b[3]), 0};
  std::memcpy(corners, out, sizeof out);
  return 0;
}

// Message 321: both corners of the sheet box (z = 0) go through the matrix
// and become the new corners; the pan follows the box's centre.
int transformMessage(viewRec* view, const double* m) {
  if (!m) return -1;
  const double a[3] = {view->box[0], view->box[1], 0}, b[3] = {view->box[2], view->box[3], 0};
  double ta[3], tb[3];
  aPtTransform(3, a, m, ta);
  aPtTransform(3, b, m, tb);
  const double box[4] = {ta[0], ta[1], tb[0], tb[1]};
  vwSetCorners(view, box, 1);
  return 0;
}

// Message 344: the view joins the current sheet, showing its model when
// that is in the current document and the document's first model
// otherwise, and is drawn there; the current view stays.
int insertMessage(viewRec* view) {
  docRec* doc = vwCurDoc();
  if (!doc) return vwErrNoCurDoc;
  sheetRec* sheet = vwCurSheet();
  if (!sheet) return vwErrNoCurSheet;
  if (view->flags & viewAttached) return 0;
  modelRec* model = view->model && view->model->owner == doc ? view->model : doc->firstModel;
  viewRec* previous = vwCurView();
  double box[4];
  std::memcpy(box, view->box, sizeof box);
  vwAttachToSheet(view, sheet, model);
  view->flags |= viewChanged;
  vwSetCurView(view);
  vwSetCorners(view, box, 0);
  // The frame (drawn highlighted for the sheet's active view) joins this
  // with the frame drawing.
  vwDrawView(view, 0);
  if (previous != view) vwSetCurView(previous);
  return 0;
}

int viewHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* view = static_cast<viewRec*>(object);
  switch (message) {
    case msgFree: return vwFree(view);
    case msgGetAttr:
      return viewint::getAttr(view, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr:
      return viewint::setAttr(view, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgExtents: return extentsMessage(view, reinterpret_cast<double*>(a));
    case msgXform: return transformMessage(view, reinterpret_cast<const double*>(a));
    case msgAttach: return insertMessage(view);
    case msgNew: {
      auto** slot = reinterpret_cast<viewRec**>(a);
      if (slot && !*slot) *slot = allocRecord();
      return 0;
    }
    case msgCopy: return copyMessage(view, reinterpret_cast<viewRec**>(a));
    case msgDetach: return vwDelete(view);
    default: return objMeth(objSuperClass(viewClass), message, object, a, b, c);
  }
}

}  // namespace

uint16_t viewClassInit(uint16_t viewobjClass) {
  viewClass = objClassRegister("view", viewobjClass, viewHandler);
  viewint::installSieveMap();
  feOpSpecRegisterAll(kClassOps);
  return viewClass;
}

uint16_t viewClassId() { return viewClass; }

int viewIs(const void* object) {
  return object && viewClass && static_cast<const viewRec*>(object)->classId == viewClass ? 1 : 0;
}

void vwSetModel(viewRec* view, modelRec* model) {
  modelRec* old = view->model;
  if (old == model) return;
  if (model) raiseCount(model->head.object.refCount);
  view->model = model;
  if (!old) return;
  uint8_t& count = old->head.object.refCount;
  if (count == feObjPermanent || count == 0) return;
  if (--count == 0) modelFree(old);
}

int vwCopy(const viewRec* view, sheetRec* sheet, viewRec** out) {
  if (!viewIs(view)) {
    dbgPanic("%s: '%s'", "Assert failed in DidUrur", "ExpectedView");
    return vwErrBadObject;
  }
  if (!sheetIs(sheet)) {
    dbgPanic("%s: '%s'", "Assert failed in DidUrur", "ExpectedSheet");
    return vwErrBadObject;
  }
  viewRec* copy = allocRecord();
  if (view->title) uStrDup(view->title, uint32_t(std::strlen(view->title)), &copy->title);
  copy->flags = uint16_t(viewCreated | viewChanged | (view->flags & (viewAutoFront | viewGridShown)));
  std::memcpy(copy->box, view->box, sizeof copy->box);
  std::memcpy(copy->screenBox, view->screenBox, sizeof copy->screenBox);
  std::memcpy(copy->outerBox, view->outerBox, sizeof copy->outerBox);
  copy->states[0] = view->states[0];
  copy->renderMode = view->renderMode;
  copy->perspective = view->perspective;
  std::memcpy(copy->perspectiveEye, view->perspectiveEye, sizeof copy->perspectiveEye);
  copy->extraWord = view->extraWord;
  std::memcpy(copy->extra, view->extra, sizeof copy->extra);
  copy->perspectiveDist = view->perspectiveDist;
  copy->perspectiveAngle = view->perspectiveAngle;
  const docRec* from = view->sheet ? view->sheet->owner : nullptr;
  const docRec* to = sheet->owner;
  modelRec* model = view->model;
  if (from && to && from != to) model = modelAt(to, modelPosition(from, view->model));
  vwSetModel(copy, model);
  *out = copy;
  signal(vwEvViewCreated, copy);
  return 0;
}

int vwFree(viewRec* view) {
  if (view->refCount != 0) {
    dbgPrintf("view ref cnt != 0 in free\n");
    return -1;
  }
  signal(vwEvViewFreed, view);
  if (vwCurView() == view) {
    vwRecordCurView(nullptr);
    if (vwCurXform() == view->worldToScreen) vwSetCurXform(nullptr);
  }
  vwSetModel(view, nullptr);
  uFreeIfSet(&view->title);
  view->classId = 0;
  uFree(&view);
  --vwLive().views;
  return 0;
}
