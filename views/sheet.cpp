// The class "sheet": its registration and message handler, and the life of
// a sheet record: creation with its defaults, copying and release.
#include "views/sheet.h"
#include "views/sheet_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/text.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "objects/event.h"
#include "objects/objmsg.h"
#include "ui/app.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

uint16_t sheetClass = 0;

const vwListDesc kSheetList = {uint32_t(offsetof(sheetRec, next)), uint32_t(offsetof(sheetRec, owner)),
                               uint32_t(offsetof(docRec, firstSheet))};

const double kDefaultPlotBounds[4] = {-4.25, 5.5, 4.25, -5.5};

void signal(uint32_t code, const void* object) { evtSignal(code, reinterpret_cast<intptr_t>(object)); }

// The layout a new sheet takes over from another.
void copyLayout(sheetRec* to, const sheetRec* from) {
  to->flags = uint8_t((to->flags & ~sheetShowViewBounds) | (from->flags & sheetShowViewBounds));
  to->pagesAcross = from->pagesAcross;
  to->pagesDown = from->pagesDown;
  to->plotScale = from->plotScale;
  std::memcpy(to->plotBounds, from->plotBounds, sizeof to->plotBounds);
  to->zoom[0].pageScale = from->zoom[0].pageScale;
}

// The first sheet of the preferences document. Making the preferences
// document makes a sheet of its own: while it is being asked for, new
// sheets take the built-in defaults.
const sheetRec* preferredSheet() {
  static bool asking = false;
  if (asking) return nullptr;
  asking = true;
  const docRec* prefs = vwGetDefaultDoc();
  asking = false;
  return prefs ? prefs->firstSheet : nullptr;
}

// The box a sheet without a window takes as its client area: that of the
// document's first sheet with a window, else the size of the frame's
// client area less the margins new document windows keep (4 left, 42 top,
// 7 right, 5 bottom), the screen standing in for a frame not made.
void defaultGraphicsBox(const docRec* doc, int32_t box[4]) {
  for (const sheetRec* s = doc->firstSheet; s; s = s->next)
    if (s->window) {
      RECT client{};
      windGetClientRect(s->window, &client);
      box[0] = client.left, box[1] = client.top, box[2] = client.right, box[3] = client.bottom;
      return;
    }
  RECT frame{};
  if (HWND window = uiGetFrame()) GetClientRect(window, &frame);
  if (frame.right <= frame.left || frame.bottom <= frame.top)
    frame = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  box[0] = box[1] = 0;
  box[2] = (frame.right - 7) - (frame.left + 4);
  box[3] = (frame.bottom - 5) - (frame.top + 42);
}

// Message 402: a new sheet showing a new model (with copies of the current
// model's planes) in a draft view that fills it, and the keyed list's
// settings but "type" applied to the sheet.
int createMessage(const feObject* keyed, sheetRec** slot) {
  if (!keyed || feType(keyed) != feTArray) return 269;
  feObject noKeys;
  if (const int answer = feMakeArray(&noKeys, nullptr, 0)) return answer;
  modelRec* model = nullptr;
  const int made = objMeth(modelClassId(), msgCreate, nullptr, reinterpret_cast<intptr_t>(&noKeys),
                           reinterpret_cast<intptr_t>(&model));
  feFree(&noKeys);
  if (made) return made;
  if (!model) return vwErrNoCurModel;
  sheetRec* sheet = nullptr;
  sheetAlloc(&sheet);
  vwCreate(sheet, model, nullptr, 1);
  const int32_t n = feArrayLength(keyed);
  for (int32_t i = 0; i + 1 < n; i += 2) {
    const feObject* key = feArrayElem(keyed, i);
    if (feNameIs(key, "type")) continue;
    if (const int answer = sheetSetAttr(sheet, key, feArrayElem(keyed, i + 1))) {
      sheetFree(sheet);
      return answer;
    }
  }
  signal(vwEvSheetCreated, sheet);
  if (slot) *slot = sheet;
  else sheetFree(sheet);
  return 0;
}

// A sheet on a document's list already is refused: linking it again would
// make the list run in a circle.
int linkToCurrentDoc(sheetRec* sheet) {
  docRec* doc = vwCurDoc();
  if (!doc) return vwErrNoCurDoc;
  if (sheet->owner) return vwErrAlreadyOwned;
  return sheetLink(sheet, doc, ownedAppend);
}

int sheetHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* sheet = static_cast<sheetRec*>(object);
  switch (message) {
    case msgFree: sheetFree(sheet); return 0;
    case msgGetAttr:
      return sheetGetAttr(sheet, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr:
      return sheetSetAttr(sheet, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgWndMessage: return sheetWindowMessage(sheet, uint32_t(a), uintptr_t(b), c);
    case msgNew: {
      auto** slot = reinterpret_cast<sheetRec**>(a);
      if (slot && !*slot) sheetAlloc(slot);
      return 0;
    }
    case msgAttach: return linkToCurrentDoc(sheet);
    case msgDetach: return sheetUnlink(sheet);
    case msgCreate: return createMessage(reinterpret_cast<const feObject*>(a), reinterpret_cast<sheetRec**>(b));
    default: return objMeth(objSuperClass(sheetClass), message, object, a, b, c);
  }
}

}  // namespace

uint16_t sheetClassInit(uint16_t viewobjClass) {
  sheetClass = objClassRegister("sheet", viewobjClass, sheetHandler);
  return sheetClass;
}

uint16_t sheetClassId() { return sheetClass; }

int sheetIs(const void* object) {
  return object && sheetClass && static_cast<const vwOwnedHead*>(object)->object.classId == sheetClass ? 1 : 0;
}

const vwListDesc* sheetListDesc() { return &kSheetList; }

int sheetAlloc(sheetRec** out) {
  sheetRec* sheet = nullptr;
  uAlloc(&sheet, nullptr, 1, sizeof(sheetRec));
  ++vwLive().sheets;
  sheet->head.object.classId = sheetClass;
  sheet->head.desc = &kSheetList;
  uStrDup("", 0, &sheet->title);
  sheet->flags = sheetShowViewBounds;
  sheet->pagesAcross = sheet->pagesDown = 1;
  sheet->plotScale = 1.0;
  std::memcpy(sheet->plotBounds, kDefaultPlotBounds, sizeof kDefaultPlotBounds);
  sheet->zoom[0].pageScale = 1.0;
  if (const sheetRec* preferred = preferredSheet()) copyLayout(sheet, preferred);
  sheet->zoomCount = 1;
  sheetRecompute(sheet);
  *out = sheet;
  return 0;
}

sheetRec* sheetCreate(docRec* doc, modelRec* model, windRecord* window) {
  if (!model) dbgPanic("BadModel");
  if (!doc) dbgPanic("BadDoc");
  if (!model || !doc) return nullptr;
  sheetRec* sheet = nullptr;
  sheetAlloc(&sheet);
  sheetLink(sheet, doc, ownedAppend);
  if (window) {
    sheetAttachWindow(sheet, window);
  } else {
    defaultGraphicsBox(doc, sheet->graphicsBox);
    // The page centre sits in the middle of the box, where a window given
    // later puts it too: the draft view made below covers the box around it.
    const int32_t* box = sheet->graphicsBox;
    const int32_t screen[2] = {(box[0] + box[2]) / 2, (box[1] + box[3]) / 2};
    const double centre[2] = {0, 0};
    sheetSetScale(sheet, 1.0, 1, screen, centre, 0);
  }
  viewRec* view = vwCreate(sheet, model, nullptr, 1);
  if (vwCurSheet() == sheet) vwSetCurView(view);
  if (vwCurDoc() == doc && sheet->window) {
    vwSetMenuBits(vwMenuManyViews, 0);
    vwSetActiveView(view);
  }
  return sheet;
}

int sheetCopy(const sheetRec* source, docRec* doc, sheetRec** out) {
  sheetRec* copy = nullptr;
  sheetAlloc(&copy);
  if (doc) sheetLink(copy, doc, ownedAppend);
  if (source) {
    copyLayout(copy, source);
    // The copy shows the page where its source does: the same boxes on the
    // screen and the same centre, so that its views, copied below with
    // their sheet boxes, cover the same pixels.
    std::memcpy(copy->windowBox, source->windowBox, sizeof copy->windowBox);
    std::memcpy(copy->graphicsBox, source->graphicsBox, sizeof copy->graphicsBox);
    std::memcpy(copy->zoom[0].centre, source->zoom[0].centre, sizeof copy->zoom[0].centre);
    std::memcpy(copy->zoom[0].screen, source->zoom[0].screen, sizeof copy->zoom[0].screen);
    sheetRecompute(copy);
  }
  if (copy->owner && source) {
    // Views join a sheet at the head of its list: copying from the last
    // keeps the source's order.
    std::vector<viewRec*> views;
    for (viewRec* v = source->firstView; v; v = v->next) views.push_back(v);
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
      viewRec* c = nullptr;
      if (vwCopy(*it, copy, &c) != 0) continue;
      vwAttachToSheet(c, copy, c->model);
      if (*it == source->activeView) {
        c->flags |= viewDraft;
        copy->activeView = c;
      }
      if (*it == source->lastActiveView) copy->lastActiveView = c;
      vwComputeScreenBox(c);
    }
  }
  *out = copy;
  return 0;
}

void sheetFree(sheetRec* sheet) {
  const viewRec* active = vwActiveView();
  if (vwActiveSheet() == sheet || (active && active->sheet == sheet)) vwSetActiveView(nullptr);
  if (viewRec* current = vwCurView(); current && current->sheet == sheet) {
    if (vwCurXform() == current->worldToScreen) vwSetCurXform(nullptr);
    vwRecordCurView(nullptr);
  }
  if (vwCurSheet() == sheet) vwRecordCurSheet(nullptr);
  if (sheet->window) {
    windRemoveUser(sheet->window, sheet);
    sheet->window = nullptr;
  }
  viewRec* view = sheet->firstView;
  sheet->firstView = sheet->activeView = sheet->lastActiveView = nullptr;
  while (view) {
    viewRec* next = view->next;
    view->next = nullptr;
    view->sheet = nullptr;
    view->flags &= uint16_t(~viewAttached);
    if (view->refCount != feObjPermanent && view->refCount > 0 && --view->refCount == 0) vwFree(view);
    view = next;
  }
  uFreeIfSet(&sheet->title);
  sheet->head.object.classId = 0;
  uFree(&sheet);
  --vwLive().sheets;
}

HWND sheetHwnd(const sheetRec* sheet) {
  HWND window = nullptr;
  if (sheet && sheet->window) windGetHwnd(sheet->window, &window);
  return window;
}
