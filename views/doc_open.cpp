// The open documents: the open list, the current document, closing a
// document, and the menu state of the document list.
#include "views/doc.h"
#include "views/doc_internal.h"

#include "core/debug.h"
#include "core/text.h"
#include "draw/gdi.h"
#include "fe/generic.h"
#include "fe/script.h"
#include "fe/scriptproc.h"
#include "fe/stack.h"
#include "fe/strings.h"
#include "objects/event.h"
#include "views/current.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/uniquename.h"
#include "views/vdef.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <cstring>
#include <string>

namespace {

void signal(uint32_t code, const void* object) { evtSignal(code, reinterpret_cast<intptr_t>(object)); }

int titleTaken(void*, const char* name, uint32_t length) { return docFindOpen(name, length) != nullptr; }

// Offers every sheet of the document that has a window to the scripts'
// "aKillSheet", which closes the window.
void killSheetWindows(docRec* doc) {
  if (!scriptDefined("aKillSheet")) return;
  for (sheetRec* sheet = doc->firstSheet; sheet;) {
    sheetRec* next = sheet->next;
    const int32_t depth = feOperandDepth();
    if (sheet->window && docPushRecord(sheet) == 0) scriptRunByName("aKillSheet");
    feOperandRestore(depth);
    sheet = next;
  }
}

sheetRec* firstSheetWithWindow(const docRec* doc) {
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next)
    if (sheet->window) return sheet;
  return nullptr;
}

}  // namespace

int docPushRecord(void* record) {
  feObject value;
  feMakeObjRef(&value, record);
  const int answer = fePush(feOperandStack(), &value);
  if (answer) feFree(&value);
  return answer;
}

int docPushText(const char* text, size_t length) {
  feObject value;
  if (const int answer = feMakeString(&value, text, length)) return answer;
  const int answer = fePush(feOperandStack(), &value);
  if (answer) feFree(&value);
  return answer;
}

int docIsOpen(const docRec* doc) {
  for (const docRec* d = docState().openHead; d; d = d->nextOpen)
    if (d == doc) return 1;
  return 0;
}

int docIsClosed(const docRec* doc) { return doc && !docIsOpen(doc) && doc != docState().prefs; }

void docAddOpen(docRec* doc) {
  if (!doc || docIsOpen(doc)) return;
  if (doc->object.refCount != feObjPermanent) ++doc->object.refCount;
  if (doc->flags & docUntitled) uniqueName(&doc->title, "Document ^0", titleTaken, nullptr);
  if (docFindOpen(doc->title, uint32_t(std::strlen(doc->title)))) dbgPanic("documents don't have unique names");
  doc->nextOpen = docState().openHead;
  docState().openHead = doc;
  docMenuUpdate();
}

void docRemoveOpen(docRec* doc) {
  for (docRec** link = &docState().openHead; *link; link = &(*link)->nextOpen) {
    if (*link != doc) continue;
    *link = doc->nextOpen;
    doc->nextOpen = nullptr;
    if (doc->object.refCount != feObjPermanent && doc->object.refCount > 0) --doc->object.refCount;
    return;
  }
}

// Titles are the same when they compare equal in the natural order without
// case, over their whole length.
docRec* docFindOpen(const char* title, uint32_t length) {
  const std::string wanted(title ? title : "", title ? length : 0);
  for (docRec* doc = docState().openHead; doc; doc = doc->nextOpen)
    if (uStrNatCmp(doc->title, wanted.c_str(), -1) == 0) return doc;
  return nullptr;
}

docRec* docFirstOpen() { return docState().openHead; }

void docSetCurrentInhibit(int inhibit) { docState().inhibit = inhibit != 0; }

void docSetCurrent(docRec* doc) {
  if (docState().inhibit) return;
  docRec* old = vwCurDoc();
  if (doc == old) return;
  if (old) signal(vwEvDocNotCurrent, old);
  vwRecordCurDoc(doc);
  if (!doc) return;
  // The document's first sheet becomes current unless one of its sheets
  // is already (and while the sheet switch itself makes this document
  // current, its sheet is the one wanted).
  const sheetRec* sheet = vwCurSheet();
  if (!vwSheetSwitching() && doc->firstSheet && (!sheet || sheet->owner != doc)) sheetSetCurrent(doc->firstSheet);
  signal(vwEvDocCurrent, doc);
}

void docMenuUpdate() {
  if (docState().openHead) {
    vwSetMenuBits(vwMenuDocOpen, vwMenuDocOpen);
    return;
  }
  vwSetMenuBits(vwMenuDocOpen, 0);
  signal(vwEvNoDocs, nullptr);
}

int docRemove(docRec* doc) {
  // Only an open document can be closed: the preferences document, or one
  // closed already and still referred to by a script, is refused.
  if (!docIs(doc) || !docIsOpen(doc)) return vwErrBadObject;
  killSheetWindows(doc);
  // The active view is let go while its sheet still exists: the switch
  // draws its frame off and reports it.
  if (vwActiveDoc() == doc) vwSetActiveView(nullptr);
  docUnlinkSheets(doc);
  // The models go while the document's settings still exist: their spatial
  // indexes refer to the settings record, which the close event frees.
  docRec* old = vwCurDoc();
  docSetCurrent(doc);
  docRemoveModels(doc);
  signal(vwEvDocClosing, doc);
  if (old != doc) docSetCurrent(old);
  docRemoveOpen(doc);
  if (old == doc) {
    vwRecordCurView(nullptr);
    docSetCurrent(nullptr);
  }
  docRemoveVdefs(doc);
  if (doc->object.refCount == 0) docFree(doc);
  else docKeepIfOutlived(doc);

  docRec* cur = vwCurDoc();
  if (!cur) {
    vwRecordCurView(nullptr);
  } else if (sheetRec* sheet = firstSheetWithWindow(cur)) {
    if (viewRec* view = sheet->activeView) {
      vwSetCurView(view);
      vwSetActiveView(view);
    }
    printSetupSet(cur->printSetup, cur->printSetupLength);
  }
  docMenuUpdate();
  return 0;
}

void docResetAll() {
  docModuleState& state = docState();
  state.inhibit = false;
  while (state.openHead) {
    docRec* doc = state.openHead;
    if (docRemove(doc) != 0) docRemoveOpen(doc);
  }
  if (docRec* prefs = state.prefs) {
    state.prefs = nullptr;
    docDiscard(prefs);
  }
  docSetCurrent(nullptr);
  state.autoSaving = false;
  docAutoSaveReset();
}
