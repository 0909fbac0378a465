// The preferences document: made on first use and kept for the program's
// life. Every new document is a copy of it, so its settings, models and
// sheets are the defaults of new drawings.
#include "views/doc.h"
#include "views/doc_internal.h"
#include "views/docfile.h"

#include "core/debug.h"
#include "fe/script.h"
#include "fe/scriptproc.h"
#include "fe/stack.h"
#include "objects/docstate.h"
#include "objects/event.h"
#include "ui/pgmpath.h"
#include "views/current.h"
#include "views/model.h"
#include "views/sheet.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// The file name the script procedure "aPrefFile" leaves, when it is defined
// and leaves a string; otherwise "Plumet Prefs" in the program directory.
// Either is taken whole.
std::string prefsFileName() {
  if (scriptDefined("aPrefFile")) {
    const int32_t depth = feOperandDepth();
    const int answer = scriptRunByName("aPrefFile");
    std::string name;
    bool found = false;
    if (answer == 0 && feOperandDepth() > depth) {
      const feObject* top = feStackIndex(*feOperandStack(), 0);
      const char* text = nullptr;
      int32_t n = 0;
      if (top && feType(top) == feTString && feGetString(top, &text, &n) == 0) {
        if (text && n > 0) name.assign(text, size_t(n));
        found = true;
      }
    }
    feOperandRestore(depth);
    if (found) {
      dbgPrintf("[vwGetDefaultDoc] prefs file='%s'\n", name.c_str());
      return name;
    }
  }
  return pgmPathOf("Plumet Prefs");
}

}  // namespace

docRec* vwGetDefaultDoc() {
  docModuleState& state = docState();
  if (state.prefs) return state.prefs;
  const std::string name = prefsFileName();
  docRec* doc = nullptr;
  if (docCreate(&doc) != 0 || !doc) return nullptr;
  if (doc->object.refCount != feObjPermanent) ++doc->object.refCount;
  state.prefs = doc;
  // No window step; a failed read (most often: there is no preferences
  // file) is not reported and leaves the document as it is.
  // The read makes the document current for its time; whatever was current
  // before is current again afterwards.
  docRec* before = vwCurDoc();
  vwReadDoc(doc, name.c_str(), uint32_t(name.size()), vwReadNoWindow | 0x10);
  if (vwCurDoc() != before) docSetCurrent(before);
  doc->flags |= docUntitled;
  if (!doc->firstModel) {
    modelRec* model = nullptr;
    if (modelCreate(&model) == 0 && model) modelLink(model, doc);
  }
  if (!doc->firstSheet && doc->firstModel) sheetCreate(doc, doc->firstModel, nullptr);
  evtSignal(vwEvPrefsLoaded, reinterpret_cast<intptr_t>(doc));
  if (scriptDefined("aLoadPrefsHook")) {
    const int32_t depth = feOperandDepth();
    if (docPushText(name.data(), name.size()) == 0) scriptRunByName("aLoadPrefsHook");
    feOperandRestore(depth);
  }
  return doc;
}

void docSetPenPairs(int count, const int32_t* pairs) {
  const docRec* prefs = docState().prefs;
  if (!prefs || !prefs->settings || !pairs || count <= 0) return;
  const size_t n = std::min<size_t>(size_t(count), docPenWeightCount);
  std::memcpy(prefs->settings->penWeights, pairs, n * sizeof(double));
}
