// The document operators: new and closed documents, the current and the
// preferences document, the titles of the open documents, the window
// cascade and the register word.
#include "views/doc.h"
#include "views/doc_internal.h"

#include "fe/opcall.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

enum { kNear = 7, kMinSize = 40, kStep = 18 };

int32_t* outInt(feArgs* args, int i) { return static_cast<int32_t*>(args->out[i]); }

// The screen top-left corners of the windows of every open document's sheets.
std::vector<POINT> sheetWindowCorners() {
  std::vector<POINT> corners;
  for (const docRec* doc = docFirstOpen(); doc; doc = doc->nextOpen) {
    for (const sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next) {
      if (!sheet->window) continue;
      HWND native = nullptr;
      windGetHwnd(sheet->window, &native);
      RECT box{};
      if (native && GetWindowRect(native, &box)) corners.push_back(POINT{box.left, box.top});
    }
  }
  return corners;
}

}  // namespace

void docCascadeBox(int32_t box[4], const POINT* corners, uint32_t count) {
  for (bool moved = true; moved;) {
    moved = false;
    for (uint32_t i = 0; i < count; ++i) {
      const bool near = std::abs(corners[i].x - box[0]) < kNear && std::abs(corners[i].y - box[1]) < kNear;
      if (!near || box[2] - box[0] < kMinSize || box[3] - box[1] < kMinSize) continue;
      box[0] += kStep;
      box[1] += kStep;
      moved = true;
      break;
    }
  }
}

// aNewDoc (window or null): a copy of the preferences document, opened,
// shown in the window when one is given, and made current. A window whose
// native window was destroyed is refused.
int vwOpNewDoc(feArgs* args) {
  auto* window = static_cast<windRecord*>(args->in[0].record);
  if (window && (windCheck(window) != 0 || (window->flags & windGone))) return vwErrBadObject;
  docRec* prefs = vwGetDefaultDoc();
  if (!prefs) return vwErrNoCurDoc;
  docSetCurrent(prefs);
  docRec* doc = nullptr;
  if (const int answer = docCopy(prefs, &doc)) return answer;
  docAddOpen(doc);
  if (sheetRec* first = doc->firstSheet) {
    if (window) sheetAttachWindow(first, window);
    if (first->activeView) vwSetCurView(first->activeView);
  }
  // Making the view current makes its document current; a document
  // without a view is made current here.
  if (vwCurDoc() != doc) docSetCurrent(doc);
  if (sheetRec* sheet = vwCurSheet()) sheetUpdateWindow(sheet);
  docMenuUpdate();
  if (docRec* cur = vwCurDoc()) cur->flags &= ~uint32_t{docDirty};
  return 0;
}

int vwOpRemoveDoc(feArgs* args) { return docRemove(static_cast<docRec*>(args->in[0].record)); }

// aCurDoc (0), aCurDocX (1), aDefaultDoc (2).
int vwOpCurDoc(feArgs* args) {
  const int which = args->in[0].i;
  docRec* doc = which == 2 ? vwGetDefaultDoc() : vwCurDoc();
  if (!doc) return vwErrNoCurDoc;
  if (const int answer = docPushRecord(doc)) return answer;
  if (which == 1) *outInt(args, 0) = 1;
  return 0;
}

int vwOpDocNames(feArgs* args) {
  int32_t count = 0;
  for (const docRec* doc = docFirstOpen(); doc; doc = doc->nextOpen) {
    const char* title = doc->title ? doc->title : "";
    if (const int answer = docPushText(title, std::strlen(title))) return answer;
    ++count;
  }
  *outInt(args, 0) = count;
  return 0;
}

int vwOpOffsetWindowBBox(feArgs* args) {
  int32_t box[4];
  std::memcpy(box, args->in[0].block, sizeof box);
  const std::vector<POINT> corners = sheetWindowCorners();
  docCascadeBox(box, corners.data(), uint32_t(corners.size()));
  std::memcpy(args->out[0], box, sizeof box);
  return 0;
}

int vwOpGetDocRegister(feArgs* args) {
  auto* doc = static_cast<docRec*>(args->in[0].record);
  if (!docIs(doc)) return vwErrBadObject;
  *outInt(args, 0) = int32_t(doc->registerWord);
  return 0;
}

int vwOpPutDocRegister(feArgs* args) {
  auto* doc = static_cast<docRec*>(args->in[0].record);
  if (!docIs(doc)) return vwErrBadObject;
  doc->registerWord = uint32_t(args->in[1].i);
  return 0;
}
