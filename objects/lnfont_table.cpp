// The line-font table: its built-in records, pattern blocks, and the
// definition of fonts by number and name.
#include "objects/lnfont.h"
#include "objects/lnfont_internal.h"

#include "core/alloc.h"
#include "core/xlate.h"
#include "draw/xforms.h"
#include "objects/numtbl.h"

#include <cstring>

namespace {

numTbl* table;

// The built-in records; the visible names are translated.
void addBuiltIns(numTbl* t) {
  static const char* const kNames[lnfontFirstUser] = {"Solid", "Dotted", ".reserve1", ".reserve2"};
  for (const char* name : kNames) {
    const char* text = name;
    if (name[0] != '.') xlateStr(0, name, &text);
    int32_t number;
    tblFind(t, text, uint32_t(std::strlen(text)), 1, &number);
  }
}

// Appends free records (empty names, no pattern) until record n exists.
int growTo(numTbl* t, int32_t n) {
  while (int32_t(t->count) <= n) {
    if (t->count >= t->maxCount) return tblErrTableFull;
    if (t->count >= t->capacity) {
      uint32_t capacity = t->capacity;
      uAlloc(&t->records, &capacity, t->capacity + tblGrowBy, t->recordSize);
      t->capacity = capacity;
    }
    std::memset(static_cast<uint8_t*>(t->records) + size_t(t->count) * t->recordSize, 0, t->recordSize);
    ++t->count;
  }
  t->nameListValid = 0;
  return 0;
}

}  // namespace

lnfontEntry* lnfontEntryOf(int32_t n) { return static_cast<lnfontEntry*>(tblEntry(lnfontTable(), n)); }

numTbl* lnfontTable() {
  if (!table) {
    table = tblNew(lnfontMax, sizeof(lnfontEntry));
    addBuiltIns(table);
  }
  return table;
}

numTbl* lnfontTableSource() { return lnfontTable(); }

void lnfontTerm() {
  lnfontSet(nullptr);
  if (!table) return;
  for (uint32_t i = 0; i < table->count; ++i) lnfontFree(&lnfontEntryOf(int32_t(i))->pattern);
  tblFree(&table);
}

lnfontRec* lnfontNew(uint32_t n) {
  if (n == 0) return nullptr;
  n += n & 1;
  const uint32_t size = uint32_t(sizeof(lnfontRec) + 2 * n * sizeof(float));
  auto* pattern = static_cast<lnfontRec*>(uAlloc(nullptr, nullptr, 1, size));
  pattern->ndash = n;
  pattern->dashes = reinterpret_cast<float*>(pattern + 1);
  pattern->scaled = pattern->dashes + n;
  pattern->length = 1.0f;
  pattern->scale = -1.0f;
  return pattern;
}

void lnfontFree(lnfontRec** slot) {
  if (!slot || !*slot) return;
  if (*slot == lnfontCurrent()) lnfontSet(nullptr);
  uFree(slot);
}

void lnfontCalcLength(lnfontRec* pattern) {
  if (!pattern) return;
  float sum = 0;
  for (uint32_t i = 0; i < pattern->ndash; ++i) sum += pattern->dashes[i];
  pattern->length = sum;
  pattern->scale = -1.0f;
}

int lnfontPattern(int32_t n, lnfontRec** out) {
  *out = nullptr;
  lnfontEntry* entry = lnfontEntryOf(n);
  if (!entry) return tblErrNotFound;
  *out = entry->pattern;
  return 0;
}

int lnfontDefine(int32_t n, const char* name, uint32_t nameLength, uint32_t count, const double* lengths,
                 int32_t* outNumber) {
  numTbl* t = lnfontTable();
  if (n >= int32_t(lnfontMax)) return tblErrTableFull;
  if (n >= int32_t(lnfontFirstUser)) {
    if (const int rc = growTo(t, n)) return rc;
    if (const int rc = tblRename(t, n, name, nameLength, nullptr, nullptr)) return rc;
  } else if (const int rc = tblFind(t, name, nameLength, 1, &n)) {
    return rc;
  }
  if (outNumber) *outNumber = n;
  if (count == 0) return 0;
  lnfontRec* pattern = lnfontNew(count);
  for (uint32_t i = 0; i < count; ++i) pattern->dashes[i] = float(lengths[i]);
  lnfontCalcLength(pattern);
  lnfontEntry* entry = lnfontEntryOf(n);
  lnfontFree(&entry->pattern);
  entry->pattern = pattern;
  return 0;
}
