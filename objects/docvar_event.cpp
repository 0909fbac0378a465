// The document records' lifecycle (the document events), the tool types,
// and the module's set-up.
#include "objects/docvar.h"
#include "objects/docvar_internal.h"
#include "objects/docvar_sheet.h"

#include "core/alloc.h"
#include "fe/control.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/newbio.h"
#include "fe/scriptproc.h"
#include "objects/ctab.h"
#include "objects/ddict.h"
#include "objects/doclive.h"
#include "objects/event.h"
#include "objects/iofile.h"
#include "objects/layer.h"
#include "objects/numtbl.h"
#include "objects/pen.h"

#include <cstring>

namespace {

enum : uint32_t { kIconArrayStart = 48, kFirstIcon = 20, kToolTypeStart = 2, kHitRadius = 12 };
enum : uint8_t { kSelectColor = 1, kDefaultPen = 2 };

uint32_t recordsMade;
uint32_t iconArrayLength = kIconArrayStart;

uint32_t hookCount;
uint32_t hookCap;
docEventHook* hooks;

dbDocRec** auxIsArgument(intptr_t document) { return reinterpret_cast<dbDocRec**>(document); }
docAuxAccessor auxOf = auxIsArgument;

void runHooks(uint32_t event, dbDocRec* rec) {
  for (uint32_t i = 0; i < hookCount; ++i) hooks[i](event, rec);
}

uint8_t saturatingDown(uint8_t count) { return count == 255 || count == 0 ? count : uint8_t(count - 1); }
uint8_t saturatingUp(uint8_t count) { return count == 255 ? count : uint8_t(count + 1); }

// A head that is the document's own: the attribute dictionary is copied,
// the sieve links are not.
void copyDefaultObject(const gobjRec& from, gobjRec* to) {
  *to = from;
  to->nextInCell = nullptr;
  to->sieve = nullptr;
  to->flags = uint16_t(to->flags & ~(gobjInSieve | gobjSelected));
  to->refCount = gobjPermanent;
  to->attrs = nullptr;
  if (from.attrs) ddCopy(from.attrs, &to->attrs);
}

void create(intptr_t document) {
  dbDocRec** slot = auxOf(document);
  if (!slot) return;
  dbDocRec* rec = nullptr;
  uAlloc(&rec, nullptr, 1, sizeof(dbDocRec));
  const uint32_t n = ++recordsMade;
  rec->useCount = 1;
  rec->document = reinterpret_cast<void*>(document);
  rec->identifier = n << 24 | n;
  rec->identifierHigh = n << 24;
  rec->idCounter = 1;
  rec->docId = uint16_t(n);
  docLiveAdd(rec);
  // The document holds the record from here on: the colour defaults and the
  // modules' hooks run scripts, and a run abandoned there (memory ran out)
  // frees the record, as far as it was made, with the document.
  *slot = rec;
  uint32_t count = 0;
  uAlloc(&rec->toolTypes, &count, iconArrayLength, 1);
  // With no icons (the start-up script sets an empty icon array) there is
  // no array to fill.
  if (count != 0) std::memset(rec->toolTypes, kToolTypeStart, count);
  rec->toolTypeCount = count;
  if (const dbDocRec* cur = dbDocCurrent()) {
    rec->hitRadius = cur->hitRadius;
    rec->selectColor = cur->selectColor;
    rec->workLayer = cur->workLayer;
    copyDefaultObject(cur->defaultObject, &rec->defaultObject);
    rec->unitsMode = cur->unitsMode;
    // The character style is copied once styles exist.
    std::memcpy(rec->penWeights, cur->penWeights, sizeof rec->penWeights);
    std::memcpy(rec->visual, cur->visual, sizeof rec->visual);
    std::memcpy(rec->defaultLights, cur->defaultLights, sizeof rec->defaultLights);
    rec->layers = cur->layers ? layerTblCopy(cur->layers) : layerTblNew(1);
  } else {
    rec->selectColor = kSelectColor;
    rec->hitRadius = kHitRadius;
    rec->layers = layerTblNew(1);
    rec->defaultObject.classId = gobjClassId();
    rec->defaultObject.refCount = gobjPermanent;
    rec->defaultObject.style = uint8_t(kDefaultPen << 5);
    penGetTable(rec->penWeights);
    // The default character style, render settings and lights are filled by
    // the hooks of their modules (docEvtCreated, below).
  }
  colorStateCreate(rec);
  runHooks(docEvtCreated, rec);
  docVarCapture(rec);
}

void release(uint32_t event) {
  dbDocRec* rec = dbDocCurrent();
  if (!rec) return;
  rec->useCount = saturatingDown(rec->useCount);
  // The record's character style goes back to the default one once styles exist.
  docVarCapture(rec);
  dbSetCurrentDoc(nullptr);
  runHooks(event, rec);
}

void makeCurrent(uint32_t event, intptr_t document) {
  dbDocRec** slot = auxOf(document);
  dbDocRec* rec = slot ? *slot : nullptr;
  if (!rec || rec == dbDocCurrent()) return;
  if (dbDocCurrent()) dbDocEvent(docEvtFamily | docEvtSwitchOut, 0);
  dbSetCurrentDoc(rec);
  colorStateActivate(rec);
  rec->useCount = saturatingUp(rec->useCount);
  penSetTable(rec->penWeights);
  // Units mode and character style are applied by their modules' hooks.
  runHooks(event, rec);
  if (scriptDefined("adict")) feRunString("/aLStyles [] adict store");
  docVarRestore(rec);
  evtSignal(0x20004, 0);
  scriptRunByName("aDocToolType");
}

void freeRecord(intptr_t document) {
  dbDocRec** slot = auxOf(document);
  dbDocRec* rec = slot ? *slot : nullptr;
  if (!rec) return;
  // From here on the objects that refer to the record by its number find
  // nothing: the record is being emptied.
  docLiveRemove(rec);
  if (rec == dbDocCurrent()) dbDocEvent(docEvtFamily | docEvtReleased, document);
  docVarFreeValues(rec);
  // The character style reference is dropped here once styles exist.
  colorStateRelease(rec);
  tblFree(&rec->layers);
  if (rec->owned) {
    objFree(rec->owned);
    rec->owned = nullptr;
  }
  ddFree(&rec->params);
  ddFree(&rec->attrs);
  ddFree(&rec->defaultObject.attrs);
  runHooks(docEvtFreed, rec);
  *slot = nullptr;
  rec->useCount = saturatingDown(rec->useCount);
  if (rec->useCount == 0) {
    if (rec->toolTypes) uFree(&rec->toolTypes);
    rec->toolTypeCount = 0;
    // A script may still hold the default object through a group.
    if (rec->defaultHeld) docLiveRetire(rec);
    else uFree(&rec);
  }
}

}  // namespace

void dbDocEvent(uint32_t event, intptr_t document) {
  switch (event & 0xFFFF) {
    case docEvtCreated:
      create(document);
      break;
    case docEvtFreed:
      freeRecord(document);
      break;
    case docEvtReleased:
    case docEvtSwitchOut:
      release(event & 0xFFFF);
      break;
    case docEvtCurrent:
    case docEvtSwitchIn:
      makeCurrent(event & 0xFFFF, document);
      break;
    case docEvtReapply:
      if (dbDocRec* rec = dbDocCurrent()) {
        penSetTable(rec->penWeights);
        runHooks(docEvtReapply, rec);
      }
      break;
    default:
      break;
  }
}

void docSetAuxAccessor(docAuxAccessor accessor) { auxOf = accessor ? accessor : auxIsArgument; }

void docAddEventHook(docEventHook hook) {
  if (hookCount == hookCap) {
    uint32_t cap = hookCap;
    uAlloc(&hooks, &cap, hookCap + 4, sizeof(docEventHook));
    hookCap = cap;
  }
  hooks[hookCount++] = hook;
}

void docIconArrayLengthSet(uint32_t n) { iconArrayLength = n; }

uint32_t docIconArrayLength() { return iconArrayLength; }

namespace {

// The tool-type byte of an icon in the current record, or null. The
// record's own array bounds the index: it was made with the icon array
// length of its time, which may have grown since.
uint8_t* toolType(int32_t icon) {
  const dbDocRec* rec = dbDocCurrent();
  if (!rec || !rec->toolTypes) return nullptr;
  const int64_t index = int64_t(icon) - kFirstIcon;
  if (index < 0 || index >= int64_t(rec->toolTypeCount) || index >= int64_t(iconArrayLength)) return nullptr;
  return rec->toolTypes + index;
}

// "!L#L": icon number -> tool type.
int opGetToolType(feArgs* args) {
  if (const uint8_t* type = toolType(args->in[0].i)) *static_cast<int32_t*>(args->out[0]) = *type;
  return 0;
}

// "!LL": icon number, tool type.
int opSetToolType(feArgs* args) {
  if (uint8_t* type = toolType(args->in[0].i)) *type = uint8_t(args->in[1].i);
  return 0;
}

// "!#L".
int opGetIconArrayLength(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = int32_t(iconArrayLength);
  return 0;
}

// "!L".
int opSetIconArrayLength(feArgs* args) {
  if (args->in[0].i >= 0) iconArrayLength = uint32_t(args->in[0].i);
  return 0;
}

int opUndo(feArgs*) { return 0; }

const feOpSpec kToolOps[] = {
    {"aGetToolType", opGetToolType, "!L#L"},
    {"aSetToolType", opSetToolType, "!LL"},
    {"aGetIconArrayLength", opGetIconArrayLength, "!#L"},
    {"aSetIconArrayLength", opSetIconArrayLength, "!L"},
};

const feOpSpec kUndoOps[] = {
    {"aUndoStart", opUndo, "!I<1>"},
    {"aUndoClear", opUndo, "!"},
};

}  // namespace

// "#Q": the current record's attribute dictionary as a docdict object.
int aDocAttr(feArgs* args) {
  dbDocRec* rec = dbDocCurrent();
  if (!rec) return -1;
  return docdictNew(rec, static_cast<void**>(args->out[0]));
}

void docVarInit() {
  evtAdd(0xFFFF0000u, docEvtFamily, dbDocEvent);
  docVarSettingsRegister();
  ioSetSegmentHook(ioWordVariables, docVarIO);
  void* block = nullptr;
  uint32_t length = 0;
  if (feGetBlock("varsave", &block, &length) == 0 && block) {
    varSaveBlockRead(static_cast<const uint8_t*>(block), length);
    uFree(&block);
  }
  feOnSave(varSaveBlockPut, nullptr);
  feOpSpecRegisterAll(kToolOps);
}

void undoInit() { feOpSpecRegisterAll(kUndoOps); }
