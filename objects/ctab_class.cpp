// The classes "colorTable", "cTabIterator" and "cTabIPointer": tables as
// program objects (made, freed, copied, read and written, their attributes
// read and set by key), and the iterator through which scripts walk a
// table's entries ("cur", "id", "flag", "rgb", "name").
#include "objects/ctab.h"
#include "objects/ctab_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/strings.h"
#include "objects/ioformat.h"
#include "objects/objmsg.h"
#include "ui/achk.h"

#include <algorithm>
#include <cstring>

namespace {

enum : int {
  kSelect = 1000,
  kNum = 1001,
  kCur = 1002,
  kId = 1003,
  kFlag = 1004,
  kRgb = 1005,
  kName = 1006,
  kPalette = 1015,
};

uint16_t tableClass = 0;
uint16_t iteratorClass = 0;
uint16_t pointerClass = 0;

// The abstract iterator: a head and four words; the pointer iterator adds
// its table and the index of its current entry.
struct iteratorRec {
  uint16_t classId;
  uint8_t refCount;
  uint8_t flags;
  uint32_t words[4];
};
struct pointerRec {
  iteratorRec head;
  cTab* table;
  int32_t current;
};

const uiAChklEntry* checkList() {
  static uiAChklEntry* list;
  if (!list)
    uiDefAChkl(&list, kSelect, "select", "B", kNum, "num", "I", kCur, "cur", "I", kId, "id", "I", kFlag, "flag",
               "I", kRgb, "rgb", "3i", kName, "name", "S", 1007, "itr", "I", 1008, "flag-itr", "I", 1009,
               "rgb-itr", "3i", 1010, "name-itr", "S", 1011, "match", "B", 1012, "flag-ref", "I", 1013, "rgb-ref",
               "3i", 1014, "name-ref", "S", kPalette, "palette", "I", 0);
  return list;
}

const uiAChklEntry* entryOf(int code) {
  for (const uiAChklEntry* e = checkList(); e->code; ++e)
    if (e->code == code) return e;
  return nullptr;
}

int makeRgb(feObject* out, const uint16_t rgb[3]) {
  uiAChkData data;
  int32_t values[3] = {rgb[0], rgb[1], rgb[2]};
  data.data = values;
  data.count = 3;
  uiAChkMakeValue(checkList(), kRgb, out, &data);
  return data.status;
}

// A three-element array of integers into 16-bit components.
int takeRgb(const feObject* value, uint16_t rgb[3]) {
  uiAChkData data;
  if (!uiAChkConvert(entryOf(kRgb), value, &data)) return data.status;
  const auto* v = static_cast<const int32_t*>(data.data);
  for (int c = 0; c < 3; ++c) rgb[c] = uint16_t(v[c]);
  return 0;
}

int super(uint16_t id, int message, void* record, intptr_t a, intptr_t b, intptr_t c) {
  return objMeth(objSuperClass(id), message, record, a, b, c);
}

// ---- colorTable ----

cTab* allocate() {
  cTab* table = nullptr;
  uAlloc(&table, nullptr, 1, sizeof(cTab));
  if (!table) return nullptr;
  table->classId = tableClass;
  table->refCount = 1;
  uint32_t n = 0;
  uAlloc(&table->entries, &n, cTabSize, sizeof(cTabEntry));
  table->entryCap = n;
  table->count = int32_t(n);
  uAlloc(&table->palette, nullptr, 1, sizeof(cTabPaletteBlock));
  if (table->palette) {
    table->palette->version = 0x300;
    table->paletteHandle = CreatePalette(reinterpret_cast<const LOGPALETTE*>(table->palette));
  }
  ++cTabState().liveTables;
  return table;
}

int tableGet(cTab* table, intptr_t a, intptr_t b, intptr_t c) {
  const auto* key = reinterpret_cast<const feObject*>(a);
  auto* out = reinterpret_cast<feObject*>(b);
  if (feType(key) == feTInt) {
    const cTabEntry* entry = cTabEntryAt(table, feGetInt(key));
    return entry ? makeRgb(out, entry->rgb) : -1;
  }
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  switch (code) {
    case 0: return -1;
    case kSelect: data.count = cTabCurrent() == table ? 1 : 0; break;
    case kNum: data.count = table->count; break;
    case kCur:
    case kId:
    case kFlag:
    case kRgb:
    case kName:
      if (void* iterator = table->iterator)
        return objMeth(*static_cast<uint16_t*>(iterator), msgGetAttr, iterator, a, b, c);
      return super(tableClass, msgGetAttr, table, a, b, c);
    case kPalette:
      data.count = cTabCurrent() == table ? int32_t(reinterpret_cast<intptr_t>(cTabGetPalette())) : 0;
      break;
    default: return super(tableClass, msgGetAttr, table, a, b, c);
  }
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

int tableSet(cTab* table, intptr_t a, intptr_t b, intptr_t c) {
  const auto* key = reinterpret_cast<const feObject*>(a);
  const auto* value = reinterpret_cast<const feObject*>(b);
  if (feType(key) == feTInt) {
    const int32_t n = feGetInt(key);
    if (n < 0 || n >= table->count || !table->entries) return -1;
    return takeRgb(value, table->entries[n].rgb);
  }
  uiAChkData data;
  const int code = uiAChkl(checkList(), key, value, &data);
  switch (code) {
    case 0: return data.status == feErrUndefined ? -1 : data.status;
    case kNum:
      // The count never passes the entries allocated; the map follows it.
      table->count = std::clamp(data.count, int32_t(0), int32_t(table->entryCap));
      cTabRebuild(table);
      return 0;
    case kCur:
    case kId: {
      void* iterator = cTabIteratorFor(table);
      if (!iterator) return -1;
      return objMeth(pointerClass, msgSetAttr, iterator, a, b, c);
    }
    case kFlag:
    case kRgb:
    case kName:
      if (void* iterator = table->iterator)
        return objMeth(*static_cast<uint16_t*>(iterator), msgSetAttr, iterator, a, b, c);
      return super(tableClass, msgSetAttr, table, a, b, c);
    default: return super(tableClass, msgSetAttr, table, a, b, c);
  }
}

int tableHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* table = static_cast<cTab*>(record);
  switch (message) {
    case msgFree: cTabFree(table); return 0;
    case msgGetAttr: return tableGet(table, a, b, c);
    case msgSetAttr: return tableSet(table, a, b, c);
    case msgNew: {
      auto** slot = reinterpret_cast<cTab**>(a);
      if (!slot) return -1;
      if (!*slot) *slot = allocate();
      return *slot ? 0 : -1;
    }
    case msgIO: {
      auto** slot = reinterpret_cast<cTab**>(b);
      cTab* target = slot ? *slot : table;
      if (!target) target = cTabNew();
      if (slot) *slot = target;
      return cTabIO(reinterpret_cast<ioCtx*>(a), target);
    }
    case msgCopy: {
      auto** slot = reinterpret_cast<cTab**>(a);
      if (!slot) return -1;
      if (!*slot) *slot = cTabNew();
      cTabCopyEntries(table, *slot);
      return 0;
    }
    case msgDetach:
      if (table->refCount != feObjPermanent && table->refCount > 0 && --table->refCount == 0) cTabFree(table);
      return 0;
    default: return super(tableClass, message, record, a, b, c);
  }
}

// ---- The iterators ----

int iteratorHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  return super(iteratorClass, message, record, a, b, c);
}

const cTabEntry* currentEntry(const pointerRec* self) { return cTabEntryAt(self->table, self->current); }

int pointerGet(pointerRec* self, intptr_t a, intptr_t b, intptr_t c) {
  const auto* key = reinterpret_cast<const feObject*>(a);
  auto* out = reinterpret_cast<feObject*>(b);
  uiAChkData data;
  const int code = uiAChkKeyCode(checkList(), key, &data);
  if (code == kCur) {
    data.count = self->current;
  } else if (code == kId || code == kFlag || code == kRgb || code == kName) {
    const cTabEntry* entry = self->table ? currentEntry(self) : nullptr;
    if (!entry) return -1;
    if (code == kId) data.count = entry->id;
    if (code == kFlag) data.count = int32_t(entry->flags);
    if (code == kRgb) return makeRgb(out, entry->rgb);
    if (code == kName) {
      data.data = const_cast<char*>(entry->name);
      data.count = int32_t(std::strlen(entry->name));
    }
  } else {
    return super(pointerClass, msgGetAttr, self, a, b, c);
  }
  uiAChkMakeValue(checkList(), code, out, &data);
  return data.status;
}

int pointerSet(pointerRec* self, intptr_t a, intptr_t b, intptr_t c) {
  const auto* key = reinterpret_cast<const feObject*>(a);
  const auto* value = reinterpret_cast<const feObject*>(b);
  uiAChkData data;
  const int code = uiAChkl(checkList(), key, value, &data);
  if (code == 0 && data.status != feErrUndefined) return data.status;
  if (code != kCur && code != kId && code != kFlag && code != kRgb && code != kName)
    return super(pointerClass, msgSetAttr, self, a, b, c);
  if (code == kCur) {
    self->current = data.count;
    return 0;
  }
  if (code == kId) {
    self->current = cTabIdToIndex(self->table, data.count);
    return 0;
  }
  cTabEntry* entry = const_cast<cTabEntry*>(self->table ? currentEntry(self) : nullptr);
  if (!entry) return -1;
  if (code == kFlag) entry->flags = uint32_t(data.count) & 0xFF;
  if (code == kRgb) {
    const auto* v = static_cast<const int32_t*>(data.data);
    for (int k = 0; k < 3; ++k) entry->rgb[k] = uint16_t(v[k]);
  }
  if (code == kName)
    cTabCopyName(entry->name, cTabNameMax, static_cast<const char*>(data.data), uint32_t(std::max(data.count, 0)));
  return 0;
}

int pointerHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* self = static_cast<pointerRec*>(record);
  switch (message) {
    case msgFree: uFree(&self); return 0;
    case msgNew: {
      auto** slot = reinterpret_cast<pointerRec**>(a);
      if (!slot) return -1;
      if (!*slot) {
        uAlloc(slot, nullptr, 1, sizeof(pointerRec));
        if (!*slot) return -1;
        (*slot)->head.classId = pointerClass;
        (*slot)->head.refCount = 1;
      }
      return 0;
    }
    case msgGetAttr: return pointerGet(self, a, b, c);
    case msgSetAttr: return pointerSet(self, a, b, c);
    default: return super(pointerClass, message, record, a, b, c);
  }
}

}  // namespace

void* cTabIteratorFor(cTab* table) {
  if (!table) return nullptr;
  if (void* iterator = table->iterator) {
    if (*static_cast<uint16_t*>(iterator) == pointerClass) return iterator;
    table->iterator = nullptr;
    objMeth(*static_cast<uint16_t*>(iterator), msgFree, iterator);
  }
  pointerRec* self = nullptr;
  objMeth(pointerClass, msgNew, nullptr, reinterpret_cast<intptr_t>(&self));
  if (!self) return nullptr;
  self->table = table;
  table->iterator = self;
  return self;
}

void cTabCopyEntries(const cTab* from, cTab* to) {
  if (!from || !to || !to->entries) return;
  const int32_t n = std::min(from->entries ? from->count : 0, to->count);
  if (n > 0) std::memcpy(to->entries, from->entries, size_t(n) * sizeof(cTabEntry));
  cTabRebuild(to);
}

int cTabIO(ioCtx* ctx, cTab* table) {
  if (!ctx || !table) return -1;
  const bool reading = ctx->mode == 'r';
  int32_t stored = table->count;
  if (ioFormat(ctx, "l", &stored) < 0) return -1;
  if (reading) {
    if (!table->entries) {
      uint32_t n = 0;
      uAlloc(&table->entries, &n, cTabSize, sizeof(cTabEntry));
      table->entryCap = n;
    }
    // A stored count never raises the table past its entries; the records
    // beyond them are read and dropped.
    table->count = std::clamp(stored, int32_t(0), int32_t(table->entryCap));
  }
  int answer = 0;
  for (int32_t i = 0; i < stored; ++i) {
    cTabEntry scratch{};
    cTabEntry* e = i < table->count ? &table->entries[i] : &scratch;
    if (ioFormat(ctx, "ll3s16c", &e->flags, &e->id, e->rgb, e->name) < 0) {
      answer = -1;
      break;
    }
    e->name[cTabNameMax] = 0;
  }
  if (reading) cTabRebuild(table);
  return answer;
}

void cTabClassesRegister() {
  tableClass = objClassRegister("colorTable", objClassByName("object"), tableHandler);
  iteratorClass = objClassRegister("cTabIterator", objClassByName("object"), iteratorHandler);
  pointerClass = objClassRegister("cTabIPointer", iteratorClass, pointerHandler);
  checkList();
}

uint16_t cTabClassId() { return tableClass; }
uint16_t cTabIteratorClassId() { return iteratorClass; }
uint16_t cTabIPointerClassId() { return pointerClass; }
