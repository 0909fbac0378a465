// The document attribute keys (messages 107 and 108) and the settings
// variables "$DLIST" and "$SHOWPAGE".
#include "views/doc.h"
#include "views/doc_internal.h"
#include "views/grid.h"

#include "core/errors.h"
#include "core/text.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "objects/docvar.h"
#include "objects/event.h"
#include "objects/ioformat.h"
#include "objects/units_doc.h"
#include "ui/achk.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/model.h"
#include "views/owned.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"
#include "views/wintitle.h"

#include <cstring>
#include <vector>

namespace {

enum {
  kTitle = 6,
  kClosedSheets = 10,
  kSheets = 11,
  kModels = 12,
  kDirty = 20,
  kUntitled = 21,
  kVdefs = 22,
  kPlotShow = 26,
  kShowPlane = 100,
  kAlignPlane = 101,
  kPreview = 102,
  kGrid = 107,
  kUnits = 109,
  kSnap = 110,
};

const uiAChklEntry* checkList() {
  static uiAChklEntry* list;
  if (!list)
    uiDefAChkl(&list, kTitle, "title", "S", kClosedSheets, "closedSheets", "O", kSheets, "sheets", "O", kModels,
               "models", "O", kDirty, "dirty", "B", kUntitled, "untitled", "B", kVdefs, "vdefs", "O", kPlotShow,
               "plotshow", "B", kShowPlane, "showplane", "B", kAlignPlane, "alignplane", "B", kPreview, "preview",
               "B", kGrid, "grid", "Q", kUnits, "units", "Q", kSnap, "snap", "Q", 0);
  return list;
}

// The flag bit a boolean key reads or sets (0 for the others).
uint32_t flagOf(int code) {
  switch (code) {
    case kDirty: return docDirty;
    case kUntitled: return docUntitled;
    case kPlotShow: return docPlotShow;
    case kShowPlane: return docShowPlane;
    case kAlignPlane: return docAlignPlane;
    case kPreview: return docPreview;
    default: return 0;
  }
}

bool settable(int code) {
  return code == kTitle || code == kPlotShow || code == kShowPlane || code == kAlignPlane || code == kPreview;
}

// An array of the document's sheets that have no window.
int closedSheets(const docRec* doc, feObject* out) {
  std::vector<feObject> refs;
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next) {
    if (sheet->window) continue;
    refs.emplace_back();
    feMakeObjRef(&refs.back(), sheet);
  }
  const int answer = feMakeArray(out, refs.data(), uint32_t(refs.size()));
  if (answer)
    for (feObject& ref : refs) feFree(&ref);
  return answer;
}

// The units of the document's settings as an object of their own, which a
// script may keep past the document's close (null before the document
// events made the settings).
int unitsValue(const docRec* doc, feObject* out) {
  if (!doc->settings) return feMakeNull(out);
  return feMakeObjRef(out, unitDocObjectNew(doc->settings));
}

// Erases and invalidates the view area of the current sheet's window, so
// that every view is drawn again.
void invalidateViews() {
  const sheetRec* sheet = vwCurSheet();
  if (!sheet || !sheet->window) return;
  HWND native = nullptr;
  windGetHwnd(sheet->window, &native);
  if (!native) return;
  RECT area{};
  windGetViewRect(sheet->window, &area);
  InvalidateRect(native, &area, TRUE);
}

int setTitle(docRec* doc, const char* text, uint32_t length) {
  if (docRec* other = docFindOpen(text, length); other && other != doc) return vwErrTitleNotUnique;
  uStrDup(text, length, &doc->title);
  doc->flags &= ~uint32_t{docUntitled};
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next)
    if (sheet->window) vwUpdateWindowTitle(sheet);
  return 0;
}

void flagChanged(docRec* doc, int code, uint32_t before) {
  const uint32_t after = doc->flags;
  if (code == kShowPlane || code == kAlignPlane) {
    if (code == kAlignPlane)
      if (viewRec* view = vwCurView()) view->flags |= viewChanged;
    invalidateViews();
    evtSignal(vwEvDocPlaneAttr, reinterpret_cast<intptr_t>(doc));
    return;
  }
  const uint32_t page = docPlotShow | docPreview;
  const bool shown = (after & page) != 0;
  if (((before & page) != 0) == shown) return;
  const sheetRec* sheet = vwCurSheet();
  if (doc != vwCurDoc() || !sheet || !sheet->window) return;
  // The page outline is drawn on the sheet (when shown) or erased here once
  // the sheet module offers its outline drawing with printing.
}

// "$SHOWPAGE" keeps the page-outline flag of the record's document; any
// other name ("$DLIST", the sheets' display-list switch) stores nothing.
int pageVarIO(const char* name, dbDocRec* settings, ioCtx* ctx) {
  if (std::strcmp(name, "$SHOWPAGE") != 0) return 1;
  docRec* doc = settings && docIs(settings->document) ? static_cast<docRec*>(settings->document) : nullptr;
  uint32_t none = 0;
  uint32_t* flags = doc ? &doc->flags : &none;
  return ioFormat(ctx, ".l", intptr_t{docPlotShow}, flags) < 0 ? -1 : 0;
}

}  // namespace

int docGetAttr(void* object, const feObject* key, feObject* out) {
  if (!docIs(object)) return vwErrBadObject;
  auto* doc = static_cast<docRec*>(object);
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  switch (code) {
    case kTitle:
      data.data = doc->title;
      data.count = doc->title ? int32_t(std::strlen(doc->title)) : 0;
      break;
    case kClosedSheets: return closedSheets(doc, out);
    case kSheets: return ownedToArray(doc->firstSheet, out);
    case kModels: return ownedToArray(doc->firstModel, out);
    case kVdefs: return ownedToArray(doc->firstVdir, out);
    case kDirty:
    case kUntitled:
    case kPlotShow:
    case kShowPlane:
    case kAlignPlane:
    case kPreview:
      data.count = (doc->flags & flagOf(code)) ? 1 : 0;
      break;
    case kUnits: return unitsValue(doc, out);
    case kGrid: data.data = gridOfDoc(doc); break;
    // The snap object comes with its module.
    case kSnap: data.data = nullptr; break;
    default: return vwErrBadKey;
  }
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

int docSetAttr(void* object, const feObject* key, const feObject* value) {
  if (!docIs(object)) return vwErrBadObject;
  auto* doc = static_cast<docRec*>(object);
  // Keys that cannot be set are refused before their value is looked at.
  uiAChkData data;
  const int wanted = uiAChkKeyCode(checkList(), key, &data);
  if (!settable(wanted)) return vwErrBadKey;
  const int code = uiAChkl(checkList(), key, value, &data);
  if (code == 0) return data.status == feErrUndefined ? vwErrBadKey : data.status;
  switch (code) {
    case kTitle: return setTitle(doc, static_cast<const char*>(data.data), uint32_t(data.count));
    case kPlotShow:
    case kShowPlane:
    case kAlignPlane:
    case kPreview: {
      const uint32_t before = doc->flags;
      if (data.count) doc->flags |= flagOf(code);
      else doc->flags &= ~flagOf(code);
      if (doc->flags != before) flagChanged(doc, code, before);
      return 0;
    }
    default: return vwErrBadKey;
  }
}

void docVarsInit() { varRegister(pageVarIO, "$DLIST", "$SHOWPAGE"); }
