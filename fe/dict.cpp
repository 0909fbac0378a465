// Dictionary bodies: making, probing, storing with growth, fetching,
// releasing, comparing, printing and copying.
//
// A dictionary is an open-addressing table of (key, value) entries; a key of
// the empty type marks a free slot. Entries are never removed, so a probe
// that meets a free slot knows the key is absent. Name keys start probing at
// their index, other keys at their hash; both step up and wrap once around.
#include "fe/dict.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/dict_internal.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/output.h"
#include "fe/release.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr uint32_t kMinCapacity = feDictMinCapacity;
constexpr uint32_t kMaxCapacity = feDictMaxCapacity;

feDictBody* bodyOf(const feObject* v) {
  return v && feType(v) == feTDict ? v->w0.dict : nullptr;
}

bool isFree(const feDictEntry& e) { return feType(&e.key) == feTEmpty; }

// The first slot, from the key's start, that is free or holds the key; -1
// when every slot holds another key.
int32_t probe(const feDictEntry* entries, uint32_t capacity, const feObject* key) {
  if (!entries || capacity == 0) return -1;
  const bool name = feType(key) == feTName;
  const uint16_t index = name ? feNameIndex(key) : 0;
  uint32_t s = (name ? index : feHash(key)) % capacity;
  for (uint32_t n = 0; n < capacity; ++n) {
    const feDictEntry& e = entries[s];
    if (isFree(e)) return int32_t(s);
    if (name) {
      if (feType(&e.key) == feTName && feNameIndex(&e.key) == index) return int32_t(s);
    } else if (feEq(key, &e.key) == feOk) {
      return int32_t(s);
    }
    if (++s == capacity) s = 0;
  }
  return -1;
}

// The capacity after one growth step: doubled below 32, else a quarter more,
// never beyond the largest capacity.
uint32_t grownCapacity(uint32_t capacity) {
  const uint32_t next = capacity < kMinCapacity ? kMinCapacity
                        : capacity < 32         ? capacity * 2
                                                : capacity + capacity / 4;
  return next > kMaxCapacity ? kMaxCapacity : next;
}

// Moves every used entry, in slot order, into a larger entry array. At the
// largest capacity the dictionary stays as it is and answers 266.
int grow(feDictBody* body) {
  if (body->capacity >= kMaxCapacity) {
    dbgPanic("dictionary is full!");
    return feErrDictFull;
  }
  const uint32_t capacity = grownCapacity(body->capacity);
  feDictEntry* entries = nullptr;
  uAlloc(&entries, nullptr, capacity, sizeof(feDictEntry));
  for (uint32_t i = 0; i < body->capacity; ++i) {
    const feDictEntry& e = body->entries[i];
    if (isFree(e)) continue;
    // The new array has more free slots than used entries, so the probe
    // always finds a free one.
    const int32_t s = probe(entries, capacity, &e.key);
    entries[s] = e;
  }
  feDictEntry* old = body->entries;
  uFreeIfSet(&old);
  body->entries = entries;
  body->capacity = uint16_t(capacity);
  return feOk;
}

}  // namespace

int32_t feDictSlotOf(const feDictBody* body, const feObject* key) {
  if (!body) return -1;
  const int32_t s = probe(body->entries, body->capacity, key);
  if (s < 0 || isFree(body->entries[s])) return -1;
  return s;
}

int feDictStore(feDictBody* body, const feObject* key, const feObject* value, int32_t* slot) {
  if (!body) return feErrTypeCheck;
  // A key of the empty type would read as a free slot.
  if (feType(key) == feTEmpty) return feErrTypeCheck;
  // Bit copies taken first: key or value may lie in this dictionary's own
  // entries, which growth moves.
  const feObject k = *key;
  const feObject v = *value;
  int32_t s = probe(body->entries, body->capacity, &k);
  if (s < 0) {
    const int rc = grow(body);
    if (rc != feOk) return rc;
    s = probe(body->entries, body->capacity, &k);
    if (s < 0) return feErrDictFull;
  }
  feObject stored;
  feCopyValue(&stored, &v);
  if (feType(&stored) == feTArray && feIsExec(&stored)) stored.flags |= feFlagNamed;
  feDictEntry& e = body->entries[s];
  if (isFree(e)) {
    feCopyValue(&e.key, &k);
    e.value = stored;
    ++body->used;
  } else {
    // The new value goes in before the old one is released, so a release
    // that runs further code never sees a released value in the slot.
    feObject old = e.value;
    e.value = stored;
    feFree(&old);
  }
  if (feType(&k) == feTName) feNameCacheClear(feNameIndex(&k));
  if (slot) *slot = s;
  return feOk;
}

int feMakeDict(feObject* slot, int32_t n) {
  uint32_t capacity = n < int32_t(kMinCapacity) ? kMinCapacity : uint32_t(n);
  if (capacity > kMaxCapacity) capacity = kMaxCapacity;
  feDictEntry* entries = nullptr;
  uAlloc(&entries, nullptr, capacity, sizeof(feDictEntry));
  feDictBody* body = nullptr;
  try {
    uAlloc(&body, nullptr, 1, sizeof(feDictBody));
  } catch (...) {
    uFree(&entries);
    throw;
  }
  body->refs = 1;
  body->capacity = uint16_t(capacity);
  body->used = 0;
  body->serial = feSerialNext();
  body->entries = entries;
  feNoteDictBodyMade(body);
  std::memset(slot, 0, sizeof *slot);
  slot->w0.dict = body;
  slot->flags = feTDict;
  return feOk;
}

void feDictRelease(feObject* value) {
  feDictBody* body = bodyOf(value);
  if (!body) return;
  // A count at its largest is left there: the body stays for good rather
  // than being freed while references remain.
  if (body->refs == UINT32_MAX) return;
  if (body->refs > 1) {
    --body->refs;
    return;
  }
  feDictEntry* entries = body->entries;
  const uint32_t capacity = body->capacity;
  body->refs = 0;
  body->entries = nullptr;
  body->used = 0;
  // The entries are released and the body freed without recursing.
  feReleaseDictBody(body, entries, capacity);
}

void feDictAddRef(const feObject* value) {
  feDictBody* body = bodyOf(value);
  if (body && body->refs < UINT32_MAX) ++body->refs;
}

int feDictGet(const feObject* dict, const feObject* key, feObject* out) {
  if (feType(dict) != feTDict) return feGet(dict, key, out);
  feObject k;
  const int rc = feDictKeyOf(key, &k);
  if (rc != feOk) return rc;
  const feDictBody* body = bodyOf(dict);
  const int32_t s = feDictSlotOf(body, &k);
  if (s < 0) return feErrUndefined;
  feCopyValue(out, &body->entries[s].value);
  return feOk;
}

int feDictPut(const feObject* dict, const feObject* key, const feObject* value) {
  if (feType(dict) != feTDict) return fePut(dict, key, value);
  feObject k;
  const int rc = feDictKeyOf(key, &k);
  if (rc != feOk) return rc;
  return feDictStore(bodyOf(dict), &k, value, nullptr);
}

int feDictDefName(const feObject* dict, const char* name, const feObject* value) {
  if (!name) return feErrTypeCheck;
  feObject key;
  const int rc = feMakeName(&key, name, strlen(name));
  if (rc != feOk) return rc;
  return feDictPut(dict, &key, value);
}

int feDictGetName(const feObject* dict, const char* name, feObject* out) {
  if (!name) return feErrTypeCheck;
  feObject key;
  const int rc = feMakeName(&key, name, strlen(name));
  if (rc != feOk) return rc;
  return feDictGet(dict, &key, out);
}

int feDictGetNameIdx(const feObject* dict, uint16_t nameIndex, feObject* out) {
  feObject key;
  // An index not in use names nothing that could be defined.
  if (feSetName(&key, nameIndex) != feOk) return feErrUndefined;
  return feDictGet(dict, &key, out);
}

int feDictGetIntKey(const feObject* dict, int32_t key, feObject* out) {
  feObject k;
  feMakeInt(&k, key);
  return feDictGet(dict, &k, out);
}

int32_t feDictFind(const feObject* dict, const feObject* key) {
  const feDictBody* body = bodyOf(dict);
  feObject k;
  if (!body || feDictKeyOf(key, &k) != feOk) return -1;
  return feDictSlotOf(body, &k);
}

int feDictMaxLength(const feObject* dict, int32_t* out) {
  const feDictBody* body = bodyOf(dict);
  if (!body) return feErrTypeCheck;
  *out = body->capacity;
  return feOk;
}

int32_t feDictLength(const feObject* dict) {
  const feDictBody* body = bodyOf(dict);
  return body ? body->used : 0;
}

int feDictEntryAt(const feObject* dict, int32_t i, feObject** key, feObject** value) {
  const feDictBody* body = bodyOf(dict);
  if (!body) return feErrTypeCheck;
  if (!body->entries) return feErrInvalidAccess;
  if (i < 0 || i >= int32_t(body->capacity)) return feErrRangeCheck;
  if (key) *key = &body->entries[i].key;
  if (value) *value = &body->entries[i].value;
  return feOk;
}

int feDictEq(const feObject* dict, const feObject* other) {
  const feDictBody* body = bodyOf(dict);
  return body && body == bodyOf(other) ? feOk : feNotEqual;
}

uint32_t feDictHash(const feObject* dict) {
  const feDictBody* body = bodyOf(dict);
  return body ? body->serial : 0;
}

int feDictPrint(const feObject* dict, int mode) {
  if (mode == 0) {
    feOutWrite("--nostringvalue--", 17);
  } else if (mode == 1) {
    // The engine takes 32-bit values: the low half of the body's address
    // identifies it well enough in a printout.
    fePrintf("-dictionary [data:%lX]-", uint32_t(reinterpret_cast<uintptr_t>(bodyOf(dict))));
  }
  return feOk;
}

int feDictCopy(const feObject* source, const feObject* destination, feObject* out) {
  const feDictBody* from = bodyOf(source);
  feDictBody* to = bodyOf(destination);
  if (!from || !to) return feErrTypeCheck;
  if (from->used > to->capacity || to->used != 0) return feErrRangeCheck;
  for (uint32_t i = 0; i < from->capacity; ++i) {
    const feDictEntry& e = from->entries[i];
    if (isFree(e)) continue;
    const int rc = feDictStore(to, &e.key, &e.value, nullptr);
    if (rc != feOk) return rc;
  }
  feCopyValue(out, destination);
  return feOk;
}
