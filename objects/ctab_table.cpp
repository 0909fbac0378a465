// Colour tables: making and freeing them, the id-to-index map, the
// translations between ids, indexes and positions among the in-use
// entries, and the current table.
#include "objects/ctab.h"
#include "objects/ctab_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "objects/objmsg.h"

#include <cstring>

namespace {

const char kUnknownName[] = "???";

const cTab* resolve(const cTab* table) { return table ? table : cTabState().current; }

}  // namespace

cTabModule& cTabState() {
  static cTabModule state;
  return state;
}

void cTabCopyName(char* to, uint32_t max, const char* text, uint32_t length) {
  if (!text) length = 0;
  if (length > max) length = max;
  std::memset(to, 0, max + 1);
  if (length) std::memcpy(to, text, length);
}

cTab* cTabNew() {
  const uint16_t id = cTabClassId();
  if (!id) return nullptr;
  cTab* table = nullptr;
  objMeth(id, msgNew, nullptr, reinterpret_cast<intptr_t>(&table));
  return table;
}

void cTabRelease(cTab* table) {
  if (table) objMeth(table->classId, msgDetach, table);
}

void cTabFree(cTab* table) {
  if (!table) return;
  cTabModule& m = cTabState();
  if (m.current == table) m.current = nullptr;
  if (m.general == table) m.general = nullptr;
  if (m.made == table) m.made = nullptr;
  if (table->entries) uFree(&table->entries);
  if (table->map) uFree(&table->map);
  if (table->paletteHandle) DeleteObject(table->paletteHandle);
  if (table->palette) uFree(&table->palette);
  if (void* iterator = table->iterator) {
    table->iterator = nullptr;
    objMeth(*static_cast<uint16_t*>(iterator), msgFree, iterator);
  }
  --m.liveTables;
  uFree(&table);
}

int32_t cTabLiveCount() { return cTabState().liveTables; }

// ---- The map ----

namespace {

void buildMap(cTab* table) {
  if (table->map) uFree(&table->map);
  table->mapCount = 0;
  if (table->count <= 0 || !table->entries) return;
  uint32_t n = 0;
  if (!uAlloc(&table->map, &n, uint32_t(table->count) + 1, sizeof(int32_t))) return;
  table->mapCount = n;
  for (uint32_t i = 0; i < n; ++i) table->map[i] = -1;
  for (int32_t i = 0; i < table->count; ++i) {
    const int32_t id = table->entries[i].id;
    if (id >= 0 && uint32_t(id) < n) table->map[id] = i;
  }
  if (cTabState().monochrome && n > uint32_t(colorIdWhite))
    for (uint32_t i = 0; i < n; ++i)
      if (i != uint32_t(colorIdWhite)) table->map[i] = table->map[0];
}

}  // namespace

void cTabRebuild(cTab* table) {
  if (!table) return;
  buildMap(table);
  cTabLayPalette(table);
}

void cTabRebuildCurrent(int monochrome) {
  cTabModule& m = cTabState();
  const int saved = m.monochrome;
  m.monochrome = monochrome;
  if (m.current) buildMap(m.current);
  m.monochrome = saved;
}

// ---- The current table ----

cTab* cTabCurrent() { return cTabState().current; }

void cTabSetCurrent(cTab* table) { cTabState().current = table; }

// ---- Translations ----

int32_t cTabIdToIndex(const cTab* table, int32_t id) {
  if (id == -2 || id == -1) return id;
  if (id < 0) return -3;
  table = resolve(table);
  if (!table) return -1;
  if (table->translate) return table->translate(id, const_cast<cTab*>(table), 0);
  if (id >= table->count) return -1;
  if (!table->map) return id;
  return uint32_t(id) < table->mapCount ? table->map[id] : -1;
}

const cTabEntry* cTabEntryAt(const cTab* table, int32_t index) {
  table = resolve(table);
  if (!table || !table->entries || index < 0 || index >= table->count) return nullptr;
  return &table->entries[index];
}

bool cTabIndexInUse(const cTab* table, int32_t index) {
  const cTabEntry* entry = cTabEntryAt(table, index);
  return entry && (entry->flags & cTabEntryInUse);
}

int32_t cTabIndexToId(const cTab* table, int32_t index) {
  return cTabIndexInUse(table, index) ? cTabEntryAt(table, index)->id : -1;
}

int32_t cTabIdToAIndex(const cTab* table, int32_t id) {
  table = resolve(table);
  if (!cTabIndexInUse(table, cTabIdToIndex(table, id))) return -1;
  int32_t before = 0;
  for (int32_t i = 0; i < table->count; ++i) {
    if (table->entries[i].id == id) return before;
    if (table->entries[i].flags & cTabEntryInUse) ++before;
  }
  return -1;
}

int32_t cTabAIndexToId(const cTab* table, int32_t n) {
  table = resolve(table);
  if (!table || !table->entries || n < 0) return -1;
  for (int32_t i = 0; i < table->count; ++i)
    if ((table->entries[i].flags & cTabEntryInUse) && n-- == 0) return table->entries[i].id;
  return -1;
}

int32_t cTabAvailCount(const cTab* table) {
  table = resolve(table);
  if (!table || !table->entries) return 0;
  int32_t n = 0;
  for (int32_t i = 0; i < table->count; ++i)
    if (table->entries[i].flags & cTabEntryInUse) ++n;
  return n;
}

const char* cTabIndexName(const cTab* table, int32_t index) {
  if (!cTabIndexInUse(table, index)) return kUnknownName;
  const char* name = cTabEntryAt(table, index)->name;
  return name[0] ? name : kUnknownName;
}

const char* cTabIdName(const cTab* table, int32_t id) { return cTabIndexName(table, cTabIdToIndex(table, id)); }

const char* cTabAIndexName(const cTab* table, int32_t n) {
  const int32_t id = cTabAIndexToId(table, n);
  return id < 0 ? kUnknownName : cTabIdName(table, id);
}

// ---- Drawing ----

namespace {

struct Fixed {
  uint16_t rgb[3];
  const char* name;
};
const Fixed kNotInUse = {{65535, 32767, 32767}, ""};
const Fixed kSelection = {{65535, 0, 0}, "Selection Color"};
const Fixed kBlack = {{0, 0, 0}, ""};
const Fixed kWhite = {{65535, 65535, 65535}, ""};

bool answer(colorEntryData* out, const uint16_t rgb[3], const char* name) {
  if (out) {
    std::memcpy(out->rgb, rgb, sizeof out->rgb);
    cTabCopyName(out->name, sizeof out->name - 1, name, uint32_t(std::strlen(name)));
  }
  return true;
}
bool answer(colorEntryData* out, const Fixed& fixed) { return answer(out, fixed.rgb, fixed.name); }

}  // namespace

bool colorGetEntryData(int32_t id, colorEntryData* out) {
  const cTabModule& m = cTabState();
  if (id == colorIdBlack) return answer(out, m.invert ? kWhite : kBlack);
  if (id == colorIdWhite || id == -colorIdWhite) return answer(out, m.invert ? kBlack : kWhite);
  if (!m.current) return answer(out, kBlack);
  const int32_t index = cTabIdToIndex(m.current, id);
  if (index < 0) return answer(out, kSelection);
  const cTabEntry* entry = cTabEntryAt(m.current, index);
  if (!entry) return false;
  if (!(entry->flags & cTabEntryInUse)) return answer(out, kNotInUse);
  return answer(out, entry->rgb, entry->name);
}

int colorGetRGB(int32_t id, uint16_t* red, uint16_t* green, uint16_t* blue) {
  const cTab* table = cTabState().current;
  const int32_t index = cTabIdToIndex(table, id);
  const bool used = cTabIndexInUse(table, index);
  const uint16_t* rgb = used ? cTabEntryAt(table, index)->rgb : kNotInUse.rgb;
  if (red) *red = rgb[0];
  if (green) *green = rgb[1];
  if (blue) *blue = rgb[2];
  return used ? 1 : 0;
}

int colorGetInvert() { return cTabState().invert; }

void colorSetInvert(int on) { cTabState().invert = on ? 1 : 0; }
