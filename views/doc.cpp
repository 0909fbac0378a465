// The class "document": the record's creation, copy and destruction, the
// view-number set, and the file-lock record behind the register word.
#include "views/doc.h"
#include "views/doc_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/text.h"
#include "draw/gdi.h"
#include "objects/ctab.h"
#include "objects/docvar.h"
#include "objects/event.h"
#include "objects/objmsg.h"
#include "ui/filelock.h"
#include "views/current.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/vdef.h"
#include "views/vwinit.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

uint16_t docClass = 0;

// View numbers above this are never given as asked: a number read from a
// damaged file must not make the set grow by hundreds of megabytes.
constexpr uint32_t kViewNumberMax = 1u << 16;

int docHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  switch (message) {
    case msgFree:
      docFree(static_cast<docRec*>(object));
      return 0;
    case msgGetAttr:
      return docGetAttr(object, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr:
      return docSetAttr(object, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgNew:
      return docCreate(reinterpret_cast<docRec**>(a));
    default:
      return objMeth(objSuperClass(docClass), message, object, a, b, c);
  }
}

// The document events keep a document's settings record in its settings
// field. Callers that have no document record (the settings tests, the
// script runner's stand-ins) pass the address of a slot instead; those
// keep working.
dbDocRec** settingsSlot(intptr_t document) {
  auto* doc = reinterpret_cast<docRec*>(document);
  if (docIs(doc)) return &doc->settings;
  return reinterpret_cast<dbDocRec**>(document);
}

void growViewNumbers(docRec* doc, uint32_t bytes) {
  if (bytes <= doc->viewNumbersLength) return;
  uAlloc(&doc->viewNumbers, &doc->viewNumbersLength, bytes, 1);
  // Number 0 is never given.
  doc->viewNumbers[0] |= 1;
}

uint8_t countUp(uint8_t count) { return count == feObjPermanent ? count : uint8_t(count + 1); }

}  // namespace

uint16_t docClassInit(uint16_t viewobjClass) {
  docClass = objClassRegister("document", viewobjClass, docHandler);
  docSetAuxAccessor(settingsSlot);
  docVarsInit();
  return docClass;
}

uint16_t docClassId() { return docClass; }

int docIs(const void* object) {
  return object && docClass && static_cast<const feObjRecord*>(object)->classId == docClass;
}

docModuleState& docState() {
  static docModuleState state{};
  return state;
}

void docPutPrintSetup(docRec* doc, const uint8_t* block, uint32_t length) {
  uAlloc(&doc->printSetup, &doc->printSetupLength, length, 1);
  if (length) std::memcpy(doc->printSetup, block, length);
}

int docCreate(docRec** out) {
  if (!out) return -1;
  docRec* doc = nullptr;
  uAlloc(&doc, nullptr, 1, sizeof(docRec));
  ++vwLive().docs;
  doc->object.classId = docClass;
  doc->flags = docUntitled;
  doc->title = uStrDup("", 0, nullptr);
  if (const docRec* cur = vwCurDoc())
    docPutPrintSetup(doc, cur->printSetup, cur->printSetupLength);
  else
    printSetupGet(reinterpret_cast<void**>(&doc->printSetup), &doc->printSetupLength);
  // The document events make the settings record (copied from the current
  // document's) into doc->settings. Scripts run meanwhile: a run abandoned
  // there (memory ran out) takes the half-made document with it.
  try {
    evtSignal(vwEvDocCreated, reinterpret_cast<intptr_t>(doc));
  } catch (...) {
    docFree(doc);
    throw;
  }
  *out = doc;
  return 0;
}

namespace {

// The models, print setup, directions, colours and sheets of source, into
// the new document doc; a failing part's answer.
int copyParts(const docRec* source, docRec* doc) {
  // modelLink puts each copy at the head of the list; moving it to the end
  // keeps the source's order, on which the copied sheets' views rely.
  for (const modelRec* model = source->firstModel; model; model = model->next) {
    modelRec* copy = nullptr;
    if (const int answer = modelCopy(model, &copy)) return answer;
    if (!copy) continue;
    modelLink(copy, doc);
    if (doc->firstModel == copy && copy->next && ownedUnlink(copy) == 0) ownedInsert(copy, ownedAppend);
  }
  docPutPrintSetup(doc, source->printSetup, source->printSetupLength);
  vdefCopyAll(doc, source->firstVdir);
  colorStateCopy(source->settings, doc->settings);
  for (const sheetRec* sheet = source->firstSheet; sheet; sheet = sheet->next) {
    sheetRec* copy = nullptr;
    if (const int answer = sheetCopy(sheet, doc, &copy)) return answer;
  }
  return 0;
}

}  // namespace

int docCopy(docRec* source, docRec** out) {
  if (!docIs(source) || !out) return vwErrBadObject;
  docRec* doc = nullptr;
  if (const int answer = docCreate(&doc)) return answer;
  // The copy runs scripts (its parts' events): a run abandoned there
  // discards the copy made so far.
  try {
    if (const int answer = copyParts(source, doc)) {
      docDiscard(doc);
      return answer;
    }
  } catch (...) {
    docDiscard(doc);
    throw;
  }
  *out = doc;
  return 0;
}

void docFree(docRec* doc) {
  if (!doc) return;
  docModuleState& state = docState();
  if (state.prefs == doc) state.prefs = nullptr;
  if (vwCurDoc() == doc) vwRecordCurDoc(nullptr);
  // A document closed the usual way lost its settings when it was closed
  // (event 2); one freed otherwise loses them here, without telling the
  // scripts of a close that did not happen.
  if (doc->settings) dbDocEvent(docEvtFamily | docEvtFreed, reinterpret_cast<intptr_t>(doc));
  // Directions still held (a document freed without being closed) go with it.
  docRemoveVdefs(doc);
  uFreeIfSet(&doc->title);
  if (doc->printSetup) uAlloc(&doc->printSetup, &doc->printSetupLength, 0, 1);
  if (doc->viewNumbers) uAlloc(&doc->viewNumbers, &doc->viewNumbersLength, 0, 1);
  uFreeIfSet(&doc->remap);
  doc->object.classId = 0;
  uFree(&doc);
  --vwLive().docs;
}

void docUnlinkSheets(docRec* doc) {
  for (sheetRec* sheet = doc->firstSheet; sheet;) {
    sheetRec* next = sheet->next;
    uint8_t& count = sheet->head.object.refCount;
    const uint8_t before = count;
    sheetUnlink(sheet);
    // The document's list held one use of the sheet.
    if (count == before && count != feObjPermanent && count > 0) --count;
    if (count == 0) sheetFree(sheet);
    sheet = next;
  }
}

void docDiscard(docRec* doc) {
  if (!doc) return;
  uint8_t& count = doc->object.refCount;
  count = countUp(count);  // kept while its parts go
  docUnlinkSheets(doc);
  docRec* old = vwCurDoc();
  docSetCurrent(doc);
  docRemoveModels(doc);
  docSetCurrent(old == doc ? nullptr : old);
  // The use kept above and the caller's; a script that still refers to the
  // record frees it when it lets go.
  if (count != feObjPermanent) count = count > 2 ? uint8_t(count - 2) : 0;
  if (count == 0) {
    docFree(doc);
    return;
  }
  // The record outlives the discard: its settings go now, as a closed
  // document's do, and it answers as one.
  if (docState().prefs == doc) docState().prefs = nullptr;
  if (doc->settings) dbDocEvent(docEvtFamily | docEvtFreed, reinterpret_cast<intptr_t>(doc));
  docKeepIfOutlived(doc);
}

namespace {

// The outlived documents. The list is never destroyed: its records stay
// reachable until the process ends.
std::vector<docRec*>& outlivedDocs() {
  static auto* list = new std::vector<docRec*>;
  return *list;
}

}  // namespace

void docKeepIfOutlived(docRec* doc) {
  if (doc->object.refCount != feObjPermanent) return;
  std::vector<docRec*>& outlived = outlivedDocs();
  if (std::find(outlived.begin(), outlived.end(), doc) == outlived.end()) outlived.push_back(doc);
}

int32_t docOutlivedCount() { return int32_t(outlivedDocs().size()); }

uint32_t docAllocViewNumber(docRec* doc, uint32_t wanted) {
  if (!doc) return 0;
  if (wanted <= kViewNumberMax) {
    growViewNumbers(doc, wanted / 8 + 1);
    uint8_t& byte = doc->viewNumbers[wanted / 8];
    const uint8_t bit = uint8_t(1u << (wanted % 8));
    // A number given is marked taken, so that no other view of the
    // document is given it too.
    if (!(byte & bit)) {
      byte |= bit;
      return wanted;
    }
  } else {
    growViewNumbers(doc, 1);
  }
  uint32_t i = 0;
  while (i < doc->viewNumbersLength && doc->viewNumbers[i] == 0xFF) ++i;
  if (i == doc->viewNumbersLength) growViewNumbers(doc, i + 1);
  uint8_t& byte = doc->viewNumbers[i];
  uint32_t bit = 0;
  while (byte & (1u << bit)) ++bit;
  byte |= uint8_t(1u << bit);
  return i * 8 + bit;
}

void docFreeViewNumber(docRec* doc, uint32_t number) {
  if (!doc || number == 0 || number / 8 >= doc->viewNumbersLength) return;
  doc->viewNumbers[number / 8] &= uint8_t(~(1u << (number % 8)));
}

void docMarkChanged(docRec* doc) {
  if (doc) doc->flags |= docDirty | docAutoSaveDue;
}

fileLockRec* docLockRecord(const docRec* doc) {
  if (!doc || !doc->registerWord) return nullptr;
  fileLockRec* lock = fileLockFind(doc->registerWord);
  return lock && lock->tag == fileLockTag ? lock : nullptr;
}
