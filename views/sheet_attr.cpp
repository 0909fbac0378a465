// The attribute keys of sheets (messages 107 and 108).
#include "views/sheet.h"
#include "views/sheet_internal.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "core/text.h"
#include "fe/arrays.h"
#include "ui/achk.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/view.h"
#include "views/vwinit.h"
#include "views/wintitle.h"

#include <windows.h>

#include <cstring>

namespace {

enum {
  kScale = 3,
  kTitle = 6,
  kViews = 13,
  kScreenBox = 15,
  kDraftView = 16,
  kPagesAcross = 39,
  kPagesDown = 40,
  kPlotDir = 41,
  kPlotBounds = 42,
  kPlotScale = 43,
  kZoom = 50,
  kShowViewBounds = 51,
  kLockViews = 52,
  kActiveView = 54,
  kCenter = 55,
  kWindow = 103,
  kOpen = 104,
  kOrder = 105,
  kWindowBox = 111,
  kGraphicsBox = 112,
};

const uiAChklEntry* checkList() {
  static uiAChklEntry* list;
  if (!list)
    uiDefAChkl(&list, kTitle, "title", "S", kScale, "scale", "R", kZoom, "zoom", "R", kCenter, "center", "2D",
               kDraftView, "draftView", "O", kDraftView, "draftview", "O", kViews, "views", "O", kScreenBox,
               "screenbox", "O", kPagesAcross, "pagesacross", "I", kPagesDown, "pagesdown", "I", kPlotDir, "plotdir",
               "I", kPlotBounds, "plotbounds", "4D", kPlotScale, "plotscale", "R", kShowViewBounds, "showviewbounds",
               "B", kLockViews, "lockviews", "B", kActiveView, "activeview", "Q", kWindow, "window", "Q", kOpen, "open",
               "B", kOrder, "order", "I", kWindowBox, "windowbox", "4I", kGraphicsBox, "graphicsbox", "4I", 0);
  return list;
}

// An array of references to the sheet's views but its draft view.
int viewsArray(const sheetRec* sheet, feObject* out) {
  uint32_t n = 0;
  for (const viewRec* v = sheet->firstView; v; v = v->next) n += v != sheet->activeView;
  if (const int answer = feMakeArray(out, nullptr, n)) return answer;
  int32_t i = 0;
  for (viewRec* v = sheet->firstView; v; v = v->next) {
    if (v == sheet->activeView) continue;
    feObject ref;
    feMakeObjRef(&ref, v);
    feArrayPut(out, i++, &ref);
  }
  return 0;
}

int intArray(const int32_t* values, uint32_t n, feObject* out) {
  if (const int answer = feMakeArray(out, nullptr, n)) return answer;
  for (uint32_t i = 0; i < n; ++i) {
    feObject element;
    feMakeInt(&element, values[i]);
    feArrayPut(out, int32_t(i), &element);
  }
  return 0;
}

bool titleTaken(const sheetRec* sheet, const char* title) {
  for (const sheetRec* s = sheet->owner ? sheet->owner->firstSheet : nullptr; s; s = s->next)
    if (s != sheet && uStrNatCmpAll(s->title, title) == 0) return true;
  return false;
}

int setTitle(sheetRec* sheet, const char* text, int32_t length) {
  char* title = uStrDup(text, uint32_t(length), nullptr);
  if (!title) return vwErrBadTitle;
  if (titleTaken(sheet, title)) {
    uFree(&title);
    return vwErrTitleNotUnique;
  }
  uFreeIfSet(&sheet->title);
  sheet->title = title;
  if (sheet->window) vwUpdateWindowTitle(sheet);
  return 0;
}

// Scale with the point in the middle of the window staying there.
int scaleAboutClientCentre(sheetRec* sheet, double scale) {
  sheetReadWindowBoxes(sheet);
  int32_t screen[2];
  sheetClientCentre(sheet, screen);
  double centre[2];
  sheetScreenToSheet(sheet, screen[0], screen[1], centre);
  return sheetZoomAbout(sheet, scale, 0, screen, centre);
}

int setCentre(sheetRec* sheet, const double* point) {
  sheetReadWindowBoxes(sheet);
  int32_t screen[2];
  sheetClientCentre(sheet, screen);
  return sheetZoomAbout(sheet, sheet->zoom[0].pageScale, 0, screen, point);
}

bool isFrontWindow(windRecord* window) {
  HWND native = nullptr;
  windGetHwnd(window, &native);
  return windCurrentDoc() == window || (native && GetActiveWindow() == native);
}

// The window is taken from any other sheet of the document; in front, the
// sheet's last active view (or its draft view) becomes current and active.
// A window that a script kept after its native window was destroyed shows
// nothing any more and is refused.
int setWindow(sheetRec* sheet, windRecord* window) {
  if (!window || !sheet->owner) return 0;
  if (const int answer = windCheck(window)) return answer;
  if (window->flags & windGone) return vwErrBadObject;
  for (sheetRec* s = sheet->owner->firstSheet; s; s = s->next)
    if (s != sheet && s->window == window) sheetDetachWindow(s);
  sheetAttachWindow(sheet, window);
  if (!isFrontWindow(window)) return 0;
  viewRec* view = sheet->lastActiveView ? sheet->lastActiveView : sheet->activeView;
  if (!view) return 0;
  vwSetCurView(view);
  vwSetActiveView(view);
  return 0;
}

int setOrder(sheetRec* sheet, int32_t position) {
  if (!sheet->owner) return vwErrNoCurDoc;
  if (const int answer = ownedUnlink(sheet)) return answer;
  return ownedInsert(sheet, uint32_t(position));
}

int setInRange(uint8_t* field, int32_t value, int32_t low, int32_t high) {
  if (value < low || value > high) return vwErrBadValue;
  *field = uint8_t(value);
  return 0;
}

void setFlag(sheetRec* sheet, uint8_t flag, int32_t on) {
  sheet->flags = on ? uint8_t(sheet->flags | flag) : uint8_t(sheet->flags & ~flag);
}

}  // namespace

int sheetGetAttr(sheetRec* sheet, const feObject* key, feObject* out) {
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  switch (code) {
    case kTitle:
      data.data = sheet->title;
      data.count = sheet->title ? int32_t(std::strlen(sheet->title)) : 0;
      break;
    case kScale: data.real = sheet->zoom[0].pageScale; break;
    case kZoom: data.real = sheet->zoom[0].pageScale / sheet->plotScale; break;
    case kCenter:
    case kOrder: return 0;  // nothing to read
    case kDraftView: return feMakeObjRef(out, sheet->activeView);
    case kViews: return viewsArray(sheet, out);
    case kScreenBox:
      sheetReadWindowBoxes(sheet);
      return intArray(sheet->windowBox, 4, out);
    case kPagesAcross: data.count = sheet->pagesAcross; break;
    case kPagesDown: data.count = sheet->pagesDown; break;
    case kPlotDir: data.count = sheet->plotDir; break;
    case kPlotBounds: data.data = sheet->plotBounds; break;
    case kPlotScale: data.real = sheet->plotScale; break;
    case kShowViewBounds: data.count = (sheet->flags & sheetShowViewBounds) ? 1 : 0; break;
    case kLockViews: data.count = (sheet->flags & sheetLockViews) ? 1 : 0; break;
    case kActiveView: data.data = sheet->lastActiveView; break;
    case kWindow: data.data = sheet->window; break;
    case kOpen: data.count = sheet->window ? 1 : 0; break;
    case kWindowBox: data.data = sheet->windowBox; break;
    case kGraphicsBox: data.data = sheet->graphicsBox; break;
    default: return vwErrBadKey;
  }
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

int sheetSetAttr(sheetRec* sheet, const feObject* key, const feObject* value) {
  uiAChkData data;
  const int code = uiAChkl(checkList(), key, value, &data);
  switch (code) {
    case 0: return data.status == feErrUndefined ? vwErrBadKey : data.status;
    case kTitle: return setTitle(sheet, static_cast<const char*>(data.data), data.count);
    case kScale: return scaleAboutClientCentre(sheet, data.real);
    case kZoom: return scaleAboutClientCentre(sheet, data.real * sheet->plotScale);
    case kCenter: return setCentre(sheet, static_cast<const double*>(data.data));
    case kPagesAcross: return setInRange(&sheet->pagesAcross, data.count, 1, 255);
    case kPagesDown: return setInRange(&sheet->pagesDown, data.count, 1, 255);
    case kPlotDir: return setInRange(&sheet->plotDir, data.count, 0, 3);
    case kPlotBounds: sheetPlotBoxSet(sheet, static_cast<const double*>(data.data)); return 0;
    case kShowViewBounds: setFlag(sheet, sheetShowViewBounds, data.count); return 0;
    case kLockViews: setFlag(sheet, sheetLockViews, data.count); return 0;
    case kActiveView: return 0;  // taken, without effect
    case kWindow: return setWindow(sheet, static_cast<windRecord*>(data.data));
    case kOrder: return setOrder(sheet, data.count);
    default: return vwErrBadKey;  // read only
  }
}
