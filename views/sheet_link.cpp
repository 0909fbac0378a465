// Sheets in their documents and windows: linking into a document's sheet
// list, unlinking, and attaching to and detaching from a window.
#include "views/sheet.h"
#include "views/sheet_internal.h"

#include "core/text.h"
#include "objects/event.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/uniquename.h"
#include "views/view.h"
#include "views/vwinit.h"
#include "views/wintitle.h"

#include <cstring>

namespace {

struct TitleContext {
  const docRec* doc;
  const sheetRec* self;
};

// Another sheet of the document has the title (natural order, without case).
bool titleTaken(const docRec* doc, const sheetRec* self, const char* title) {
  for (const sheetRec* s = doc->firstSheet; s; s = s->next)
    if (s != self && uStrNatCmpAll(s->title, title) == 0) return true;
  return false;
}

int nameTaken(void* context, const char* name, uint32_t) {
  const auto* c = static_cast<const TitleContext*>(context);
  return titleTaken(c->doc, c->self, name) ? 1 : 0;
}

// The view's model brought into the document: a model of no document is
// linked to it; a model of another document is replaced by the document's
// model of the same title, or by a copy linked to it.
void bringModel(viewRec* view, docRec* doc) {
  modelRec* model = view->model;
  if (!model || model->owner == doc) return;
  if (!model->owner) {
    modelLink(model, doc);
    return;
  }
  const char* title = model->title ? model->title : "";
  modelRec* local = modelFind(doc, title, uint32_t(std::strlen(title)));
  if (!local && modelCopy(model, &local) == 0 && local) modelLink(local, doc);
  if (local) vwSetModel(view, local);
}

}  // namespace

int sheetLink(sheetRec* sheet, docRec* doc, uint32_t position) {
  if (!sheet->title || !*sheet->title || titleTaken(doc, sheet, sheet->title)) {
    TitleContext context{doc, sheet};
    uniqueName(&sheet->title, "Sheet ^0", nameTaken, &context);
  }
  sheet->owner = doc;
  if (const int answer = ownedInsert(sheet, position)) return answer;
  if (sheet->head.object.refCount != feObjPermanent) ++sheet->head.object.refCount;
  for (viewRec* view = sheet->firstView; view; view = view->next) {
    view->index = docAllocViewNumber(doc, view->index);
    bringModel(view, doc);
  }
  return 0;
}

int sheetUnlink(sheetRec* sheet) {
  if (!sheetIs(sheet) || !sheet->owner) return vwErrBadObject;
  if (const int answer = ownedUnlink(sheet)) return answer;
  evtSignal(vwEvSheetRemoved, reinterpret_cast<intptr_t>(sheet));
  for (viewRec* view = sheet->firstView; view; view = view->next) docFreeViewNumber(sheet->owner, view->index);
  sheetDetachWindow(sheet);
  // A sheet that a script keeps may outlive the document: unlinked, it is
  // no document's, as a sheet never linked.
  sheet->owner = nullptr;
  return 0;
}

void sheetDetachWindow(sheetRec* sheet) {
  if (sheet->window) {
    windRemoveUser(sheet->window, sheet);
    sheet->window = nullptr;
  }
  if (vwCurSheet() != sheet) return;
  vwRecordCurSheet(nullptr);
  vwRecordCurView(nullptr);
  vwSetCurXform(nullptr);
}

void sheetReadWindowBoxes(sheetRec* sheet) {
  if (!sheet->window) return;
  RECT client{};
  windGetClientRect(sheet->window, &client);
  const int32_t graphics[4] = {client.left, client.top, client.right, client.bottom};
  std::memcpy(sheet->graphicsBox, graphics, sizeof graphics);
  RECT outer = client;
  if (HWND window = sheetHwnd(sheet)) GetWindowRect(window, &outer);
  const int32_t box[4] = {outer.left, outer.top, outer.right, outer.bottom};
  std::memcpy(sheet->windowBox, box, sizeof box);
}

void sheetAttachWindow(sheetRec* sheet, windRecord* window) {
  if (sheet->window != window) {
    if (sheet->window) windRemoveUser(sheet->window, sheet);
    windAddUser(window, sheet);
    sheet->window = window;
  }
  sheetReadWindowBoxes(sheet);
  int32_t screen[2];
  sheetClientCentre(sheet, screen);
  double centre[2] = {sheet->zoom[0].centre[0], sheet->zoom[0].centre[1]};
  if (const viewRec* draft = sheet->activeView) {
    centre[0] = (draft->box[0] + draft->box[2]) / 2;
    centre[1] = (draft->box[1] + draft->box[3]) / 2;
  }
  sheetSetScale(sheet, 1.0, 0, screen, centre, 2);
  sheet->zoomCount = 1;
  vwUpdateWindowTitle(sheet);
}
