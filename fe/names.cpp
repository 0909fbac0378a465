// The name table: interning, the names' texts, the per-name look-up cache of
// the dictionary stack, and cvn.
#include "fe/names.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/names_table.h"
#include "fe/names_test.h"

#include <cstring>

feNameTable feNameTableData;

namespace {

feNameTable& table = feNameTableData;

feNameTable& tableMade() {
  if (!table.entries) {
    uAlloc(&table.entries, &table.entryCapacity, feNameEntryStep, sizeof(feNameEntry));
    table.count = 1;
  }
  return table;
}

// The entry of a name index, or null for 0 and indices not in use.
feNameEntry* entryOf(uint16_t index) {
  feNameTable& t = tableMade();
  if (index == 0 || index >= t.count) return nullptr;
  return &t.entries[index];
}

}  // namespace

feNameTable* feNameTableGet() { return &tableMade(); }

uint32_t feNameHash(const char* text, size_t length) {
  uint32_t sum = 0;
  if (!text) return 0;
  // The characters are added as signed bytes: a byte above 127 counts as
  // negative (char may be unsigned on the target, so the cast is explicit).
  for (size_t i = 0; i < length; ++i) sum += uint32_t(int32_t(int8_t(text[i])));
  return sum & (feNameBuckets - 1);
}

int feNameIntern(const char* text, size_t length, uint16_t* index) {
  feNameTable& t = tableMade();
  if (!text) length = 0;
  if (length > feNameMaxLength) length = feNameMaxLength;

  const uint32_t bucket = feNameHash(text, length);
  for (uint32_t i = t.buckets[bucket]; i != 0; i = t.entries[i].next) {
    const uint8_t* stored = t.pool + t.entries[i].offset;
    if (stored[0] == length && (length == 0 || std::memcmp(stored + 1, text, length) == 0)) {
      *index = uint16_t(i);
      return 0;
    }
  }

  // The new name takes the index equal to the count. Past the last 16-bit
  // index the table stops: wrapping would give index 0 or alias old names.
  if (t.count > feNameMaxIndex) {
    *index = 0;
    return feErrLimitCheck;
  }

  // The text may lie in the pool itself (a name's own characters); take it
  // before the pool can move.
  char copy[feNameMaxLength];
  if (length) std::memcpy(copy, text, length);

  if (length + 1 > t.poolCapacity - t.poolUsed)
    uAlloc(&t.pool, &t.poolCapacity, t.poolCapacity + feNamePoolStep, 1);
  // Grow while the new index would still fit: the entry written is
  // entries[count], so the array must be larger than the count.
  if (t.count >= t.entryCapacity)
    uAlloc(&t.entries, &t.entryCapacity, t.entryCapacity + feNameEntryStep, sizeof(feNameEntry));

  const uint32_t newIndex = t.count++;
  uint8_t* stored = t.pool + t.poolUsed;
  stored[0] = uint8_t(length);
  if (length) std::memcpy(stored + 1, copy, length);

  feNameEntry& e = t.entries[newIndex];
  e.offset = t.poolUsed;
  e.next = t.buckets[bucket];
  e.cache = 0;
  e.slot = 0;
  t.buckets[bucket] = newIndex;
  t.poolUsed += uint32_t(length) + 1;

  *index = uint16_t(newIndex);
  return 0;
}

int feMakeName(feObject* slot, const char* text, size_t length) {
  if (!text) length = 0;
  if (length > feNameMaxLength) {
    uAlert(0, "TName too long", nullptr);
    length = feNameMaxLength;
  }
  uint16_t index;
  if (const int err = feNameIntern(text, length, &index)) {
    // A caller that does not look at the answer still holds a valid value.
    feMakeNull(slot);
    return err;
  }
  slot->w0.ptr = nullptr;
  slot->w0.u = index;
  slot->offset = 0;
  slot->length = 0;
  slot->flags = uint16_t(feTName) | feFlagSimple;
  return 0;
}

int feMakeNameS(feObject* slot, const char* text, int32_t length) {
  return feMakeName(slot, text, length < 0 ? 0 : size_t(length));
}

int feNameExec(const char* text, feObject* slot) {
  const int err = feMakeName(slot, text, text ? std::strlen(text) : 0);
  if (err == 0) slot->flags |= feFlagExec;
  return err;
}

int feSetName(feObject* slot, uint16_t index) {
  if (!entryOf(index)) return feErrRangeCheck;
  slot->w0.ptr = nullptr;
  slot->w0.u = index;
  slot->offset = 0;
  slot->length = 0;
  slot->flags = uint16_t(feTName) | feFlagSimple;
  return 0;
}

void feNameText(const feObject* value, const char** text, size_t* length) {
  feNameTextOf(feNameIndex(value), text, length);
}

void feNameTextOf(uint16_t index, const char** text, size_t* length) {
  const feNameEntry* e = entryOf(index);
  if (!e) {
    *text = "";
    *length = 0;
    return;
  }
  const uint8_t* stored = table.pool + e->offset;
  *text = reinterpret_cast<const char*>(stored + 1);
  *length = stored[0];
}

bool feNameIs(const feObject* value, const char* text) {
  if (!value || feType(value) != feTName) return false;
  const char* name;
  size_t length;
  feNameText(value, &name, &length);
  return length == std::strlen(text) && std::memcmp(name, text, length) == 0;
}

uint32_t feNameCount() { return tableMade().count; }

void feNameCacheClear(uint16_t index) {
  if (feNameEntry* e = entryOf(index)) {
    e->cache &= feNameCacheLocal;
    e->slot = 0;
  }
}

void feNameCacheRead(uint16_t index, uint16_t* level, uint16_t* slot, bool* local) {
  const feNameEntry* e = entryOf(index);
  const uint16_t cache = e ? e->cache : 0;
  if (level) *level = cache & feNameCacheLevelMask;
  if (slot) *slot = e ? e->slot : 0;
  if (local) *local = (cache & feNameCacheLocal) != 0;
}

void feNameCacheSet(uint16_t index, uint16_t level, uint16_t slot) {
  feNameEntry* e = entryOf(index);
  if (!e) return;
  // The cache has 11 bits for the level. A deeper level cannot be kept:
  // masking it would point the cache at a wrong dictionary, so the name is
  // left uncached and the next look-up searches the stack.
  if (level > feNameCacheLevelMask) level = 0, slot = 0;
  e->cache = uint16_t((e->cache & feNameCacheLocal) | level);
  e->slot = slot;
}

void feNameCacheMarkLocal(const feObject* value) {
  if (feType(value) != feTName) return;
  if (feNameEntry* e = entryOf(feNameIndex(value))) e->cache |= feNameCacheLocal;
}

int feCvn(const feObject* string, feObject* out) {
  if (feType(string) != feTString) return feErrTypeCheck;
  const char* text = string->w0.str
      ? reinterpret_cast<const char*>(feStringBytes(string->w0.str)) + string->offset
      : nullptr;
  return feMakeName(out, text, string->length);
}

uint32_t feNamesTestCapacity() { return tableMade().entryCapacity; }

uint32_t feNamesTestPoolUsed() { return tableMade().poolUsed; }

void feNamesTestTruncate(uint32_t count) {
  feNameTable& t = tableMade();
  if (count < 1 || count >= t.count) return;
  // A new entry is linked at the head of its chain, so every chain lists its
  // indices from the highest down: dropping the heads at or above count
  // unlinks all the removed entries.
  for (uint32_t& head : t.buckets)
    while (head >= count) head = t.entries[head].next;
  const uint32_t poolEnd = t.entries[count].offset;
  std::memset(t.pool + poolEnd, 0, t.poolUsed - poolEnd);
  std::memset(&t.entries[count], 0, sizeof(feNameEntry) * (t.count - count));
  t.poolUsed = poolEnd;
  t.count = count;
}
