// Units in documents: the document's units record and mode word, the seven
// unit settings of the variable section, the class "units", the "units"
// image block and the module's set-up.
#include "objects/units_doc.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "core/text.h"
#include "core/xlate.h"
#include "fe/generic.h"
#include "fe/newbio.h"
#include "fe/units_ops.h"
#include "objects/doclive.h"
#include "objects/docvar.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "ui/ui.h"

#include <cstring>
#include <string>

namespace {

bool sameName(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// The record a setting reads or writes: the document's own.
unitsRec* recordOf(dbDocRec* doc) { return doc ? &doc->units : unitCurrent(); }

int flagIO(ioCtx* ctx, unitsRec* rec, uint16_t flag) {
  int32_t on = (rec->flags & flag) ? 1 : 0;
  if (ioFormat(ctx, "i", &on) < 0) return -1;
  if (ctx->mode == 'r') {
    if (on) rec->flags |= flag;
    else rec->flags &= uint16_t(~flag);
  }
  return 0;
}

int unitsListIO(ioCtx* ctx, unitsRec* rec) {
  char* text = nullptr;
  if (ctx->mode != 'r') {
    std::string names;
    for (int32_t i = 0; i < unitListMax && rec->units[i] >= 0; ++i) {
      const unitDef* u = unitAt(rec->units[i]);
      if (!u) continue;
      if (!names.empty()) names += ' ';
      names += u->abbrev;
    }
    uStrDup(names.data(), uint32_t(names.size()), &text);
    const int answer = ioFormat(ctx, "S", &text);
    uFreeIfSet(&text);
    return answer < 0 ? -1 : 0;
  }
  if (ioFormat(ctx, "S", &text) < 0) {
    uFreeIfSet(&text);
    return -1;
  }
  int32_t list[unitListMax + 1];
  // A file naming no unit this program knows keeps the record's units.
  if (text && unitParseList(text, int32_t(std::strlen(text)), list, unitListMax) > 0)
    std::memcpy(rec->units, list, sizeof list);
  uFreeIfSet(&text);
  return 0;
}

int precisionIO(ioCtx* ctx, unitsRec* rec) {
  double step = rec->step;
  if (ioFormat(ctx, "R", &step) < 0) return -1;
  if (ctx->mode == 'r') unitSetStep(rec, step, false);
  return 0;
}

int modeIO(ioCtx* ctx, dbDocRec* doc) {
  int32_t word = doc ? doc->unitsMode : int32_t(unitGetMode());
  if (ioFormat(ctx, "l", &word) < 0) return -1;
  if (ctx->mode == 'r') {
    if (doc) doc->unitsMode = uint16_t(word);
    if (!doc || doc == dbDocCurrent()) unitSetMode(uint32_t(word));
  }
  return 0;
}

// The document events, with the document's record.
void docHook(uint32_t event, dbDocRec* doc) {
  switch (event & 0xFFFF) {
    case docEvtCurrent:
    case docEvtSwitchIn:
      unitRecordOp(4, &doc->units);
      unitSetMode(doc->unitsMode);
      break;
    case docEvtReapply:
      unitSetMode(doc->unitsMode);
      break;
    default:
      unitRecordOp(int(event & 0xFFFF), &doc->units);
      break;
  }
}

// aSetMM keeps the mode word in the current document.
void storeMode(uint32_t word) {
  if (dbDocRec* doc = dbDocCurrent()) doc->unitsMode = uint16_t(word);
}

// The metric flag of a drawing file's header.
int metricFlag() { return (unitGetMode() & 1) ? 1 : 0; }

int unitsHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t) {
  auto* rec = unitResolve(static_cast<unitsRec*>(object));
  switch (message) {
    // The script's get and put (109, 110) reach the same keys as the
    // attribute messages.
    case 107:
    case feMsgGet: {
      if (!rec) return -1;
      const int code = unitKeyCode(reinterpret_cast<const feObject*>(a));
      return unitRecordGet(rec, code, reinterpret_cast<feObject*>(b));
    }
    case 108:
    case feMsgPut: {
      if (!rec) return -1;
      const int code = unitKeyCode(reinterpret_cast<const feObject*>(a));
      return unitRecordSet(rec, code, reinterpret_cast<const feObject*>(b));
    }
    case feMsgPreSave:
      unitStoreBlock();
      return 0;
    default:
      return -1;
  }
}

// A document's units as a script holds them: the settings record's number.
struct docUnitsRec {
  uint16_t classId;
  uint8_t refCount;
  uint8_t spare;
  uint32_t document;
};

uint16_t docUnitsClass = 0;

int docUnitsHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* self = static_cast<docUnitsRec*>(object);
  // A message to the class itself (the image writer sends 500 to every
  // class): "units" answers for itself.
  if (!self) return -1;
  if (message == 100) {
    uFree(&self);
    return 0;
  }
  dbDocRec* doc = docLiveFind(self->document);
  if (!doc) return docErrNoDoc;
  return objMeth(unitClassId(), message, unitSyncField(&doc->units), a, b, c);
}

// The two units every table starts with when no image supplies one.
void defineDefaultUnits() {
  const char* inch = nullptr;
  const char* mm = nullptr;
  xlateStr(0, "inch inches \"", &inch);
  xlateStr(0, "millimeter millimeters mm", &mm);
  unitDefine(inch ? inch : "inch inches \"", -1, 1.0, 25.4);
  unitDefine(mm ? mm : "millimeter millimeters mm", -1, 1.0 / 25.4, 1.0);
}

}  // namespace

void unitRecordOp(int kind, unitsRec* record) {
  switch (kind) {
    case 1:
      *record = *unitCurrent();
      unitSetCurrent(unitCurrent());  // the default record when none was current
      unitSyncField(record);
      break;
    case 2:
      if (record == unitCurrent()) unitSetCurrent(nullptr);
      break;
    case 3:
    case 10:
      unitSetCurrent(nullptr);
      break;
    case 4:
    case 11:
      unitSetCurrent(unitSyncField(record));
      break;
    default:
      break;
  }
}

int unitVarIO(const char* name, dbDocRec* doc, ioCtx* ctx) {
  unitsRec* rec = recordOf(doc);
  if (sameName(name, "$UNITS")) return unitsListIO(ctx, rec);
  if (sameName(name, "$TRAIL0")) return flagIO(ctx, rec, unitFlagTrail0);
  if (sameName(name, "$LEAD0")) return flagIO(ctx, rec, unitFlagLead0);
  if (sameName(name, "$UFRAC")) return flagIO(ctx, rec, unitFlagFraction);
  if (sameName(name, "$UABRV")) return flagIO(ctx, rec, unitFlagAbbrev);
  if (sameName(name, "$UPREC")) return precisionIO(ctx, rec);
  if (sameName(name, "$INTUNITS")) return modeIO(ctx, doc);
  return 0;
}

uint16_t unitClassRegister() {
  const uint16_t id = objClassRegister("units", 0, unitsHandler);
  unitSetClassId(id);
  docUnitsClass = objClassRegister("docunits", id, docUnitsHandler);
  return id;
}

void* unitDocObjectNew(const dbDocRec* doc) {
  if (!docUnitsClass) return nullptr;
  auto* self = static_cast<docUnitsRec*>(uAlloc(nullptr, nullptr, 1, sizeof(docUnitsRec)));
  if (!self) return nullptr;
  self->classId = docUnitsClass;
  self->document = docLiveNumber(doc);
  return self;
}

void unitStoreBlock() {
  uint32_t length = 0;
  uint8_t* block = unitBlockBuild(&length);
  // The image keeps the block until it is replaced; the previous one is
  // ours to free.
  static uint8_t* stored;
  feSetBlock("units", block, length);
  uFreeIfSet(&stored);
  stored = block;
}

void unitLoadTable() {
  void* data = nullptr;
  uint32_t length = 0;
  bool loaded = false;
  if (feGetBlock("units", &data, &length) == 0 && data) {
    loaded = unitBlockLoad(data, length) == 0 && unitCount() > 0;
    uFree(&data);
  }
  if (!loaded) {
    unitClearTable();
    defineDefaultUnits();
  }
}

void unitsInit() {
  unitSetTwoByteMode(uiTwoByteMode() != 0);
  unitLoadTable();
  unitOpsRegister();
  unitClassRegister();
  unitDocRegister();
}

void unitDocRegister() {
  varRegister(unitVarIO, "$UNITS", "$TRAIL0", "$LEAD0", "$UFRAC", "$UABRV", "$UPREC", "$INTUNITS", nullptr);
  static bool hooked;
  if (!hooked) docAddEventHook(docHook);
  hooked = true;
  unitSetModeStore(storeMode);
  ioSetUnitsFlagSource(metricFlag);
}
