// The dictionary stack, the local dictionary and the name look-up with its
// per-name cache: def, load, store, where, begin and end.
//
// The cache of a name holds the level (1 = bottom) and slot where it was
// last found or defined. A hit needs the dictionary at that level to hold the
// name in that slot, and no dictionary above that level to hold it. The
// second condition is kept true, not tested: every put of a name clears its
// cache, begin clears the caches of the names the pushed dictionary holds,
// and the stack's dictionaries are remembered so that a change made past
// begin and end clears every cache before the next cached answer.
#include "fe/dict.h"

#include "core/debug.h"
#include "core/errors.h"
#include "fe/dict_internal.h"
#include "fe/dict_test.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/names_table.h"
#include "fe/stack.h"

#include <cstring>
#include <vector>

namespace {

enum { kSystemDictCapacity = 800, kUserDictCapacity = 2000 };

// Bit of the debug flag word that reports definitions hiding a lower one.
constexpr uint32_t kDebugDefOverwrite = 0x20;

struct LookupState {
  // The dictionary bodies of the stack, bottom first, as begin, end and the
  // start-up left them.
  std::vector<const feDictBody*> seen;
  uint32_t hits = 0;
  uint32_t searches = 0;
  feDefOverwriteHook overwriteHook = nullptr;
};
LookupState state;

feStack* dictStack() { return *feDictStack(); }
int32_t dictCount() { return feStackCount(dictStack()); }

// depth 0 is the top.
feDictBody* bodyAtDepth(int32_t depth) {
  const feObject* v = feStackIndex(dictStack(), depth);
  return v && feType(v) == feTDict ? v->w0.dict : nullptr;
}

// The current local dictionary's body, or null: the top of the frame stack
// when it is a dictionary.
inline feDictBody* localDict() {
  const feObject* top = feStackIndex(*feFrameStack(), 0);
  return top && feType(top) == feTDict ? top->w0.dict : nullptr;
}

// Level l (1 = bottom) of the stack is slot l - 1 of its block, so the
// remembered bodies are compared with the slots in order.
inline bool stackAsSeen() {
  const feStack* stack = dictStack();
  const int32_t n = feStackCount(stack);
  if (n != int32_t(state.seen.size())) return false;
  const feDictBody* const* seen = state.seen.data();
  for (int32_t i = 0; i < n; ++i) {
    const feObject& v = stack->slots[i];
    if ((feType(&v) == feTDict ? v.w0.dict : nullptr) != seen[i]) return false;
  }
  return true;
}

// When the stack was changed behind begin and end, no cached level can be
// trusted: clear them all and remember the stack as it is now.
void resyncWithStack();
inline void syncWithStack() {
  if (!stackAsSeen()) resyncWithStack();
}

void resyncWithStack() {
  feDictFlushCaches();
  const int32_t n = dictCount();
  state.seen.clear();
  for (int32_t level = 1; level <= n; ++level) state.seen.push_back(bodyAtDepth(n - level));
}

void clearCachesOfKeys(const feDictBody* body) {
  if (!body || !body->entries) return;
  for (uint32_t i = 0; i < body->capacity; ++i) {
    const feObject& key = body->entries[i].key;
    if (feType(&key) == feTName) feNameCacheClear(feNameIndex(&key));
  }
}

// A cached answer for a name, or false when the cache cannot answer.
inline bool cachedLookup(const feObject* name, feObject* out) {
  const uint16_t index = feNameIndexOf(name);
  const feNameEntry* entry = feNameEntryOf(index);
  if (!entry) return false;
  const uint16_t level = entry->cache & feNameCacheLevelMask;
  const uint16_t slot = entry->slot;
  const feStack* stack = dictStack();
  const int32_t n = feStackCount(stack);
  if (level == 0 || level > n) return false;
  const feObject& held = stack->slots[level - 1];
  const feDictBody* body = feType(&held) == feTDict ? held.w0.dict : nullptr;
  if (!body || !body->entries || slot >= body->capacity) return false;
  const feDictEntry& e = body->entries[slot];
  if (feType(&e.key) != feTName || feNameIndexOf(&e.key) != index) return false;
  if (feType(&e.value) == feTEmpty) return false;
  *out = e.value;
  if (!feStackDetail::plain(out)) feDup(out);
  return true;
}

// With debug flag 0x20: a definition into the top that hides a definition
// lower on the stack is logged.
void reportOverwrite(const feObject* key) {
  const int32_t n = dictCount();
  if (feDictSlotOf(bodyAtDepth(0), key) >= 0) return;
  bool below = false;
  for (int32_t depth = 1; depth < n && !below; ++depth) below = feDictSlotOf(bodyAtDepth(depth), key) >= 0;
  if (!below) return;
  char text[33] = "??????";
  if (feType(key) == feTName) {
    const char* chars = nullptr;
    size_t length = 0;
    feNameText(key, &chars, &length);
    if (length > 32) length = 32;
    if (length) std::memcpy(text, chars, length);
    text[length] = 0;
  }
  dbgPrintf("%s: def overwritten\n", text);
  if (state.overwriteHook) state.overwriteHook();
}

}  // namespace

int feDictDef(const feObject* key, const feObject* value) {
  feObject k;
  int rc = feDictKeyOf(key, &k);
  if (rc != feOk) return rc;
  const bool name = feType(&k) == feTName;
  if (name) feNameCacheClear(feNameIndex(&k));
  int32_t slot = 0;
  if (feDictBody* local = localDict()) {
    rc = feDictStore(local, &k, value, &slot);
    if (rc == feOk && name) feNameCacheMarkLocal(&k);
    return rc;
  }
  syncWithStack();
  const int32_t n = dictCount();
  if (n == 0) return feErrDictStackUnderflow;
  if (dbgFlags() & kDebugDefOverwrite) reportOverwrite(&k);
  // The stack's top is found again here: the report may have run script code.
  feDictBody* top = bodyAtDepth(0);
  rc = feDictStore(top, &k, value, &slot);
  // Levels beyond the cache word's range are left uncached by the name table.
  if (rc == feOk && name) feNameCacheSet(feNameIndex(&k), uint16_t(dictCount()), uint16_t(slot));
  return rc;
}

namespace {

// A copy of a stored value; values without a body skip the reference call.
inline void copyOut(feObject* out, const feObject* value) {
  *out = *value;
  if (!feStackDetail::plain(out)) feDup(out);
}

// The stored value a name's cache points at, when no local dictionary is
// current and the stack is as begin and end left it: the common case of name
// execution, read straight from the stacks (made by then) without the
// general checks of the slower path. Null sends the caller to that path,
// which answers the same (and resynchronises with a changed stack).
inline const feObject* fastCachedLookup(const feObject* k) {
  const uint16_t index = feNameIndexOf(k);
  const feNameEntry* entry = feNameEntryOf(index);
  if (!entry) return nullptr;
  const uint16_t level = entry->cache & feNameCacheLevelMask;
  const feStack* frames = feStacks.frame;
  const feStack* dicts = feStacks.dict;
  if (level == 0 || !frames || !dicts) return nullptr;
  if (frames->top >= 0 && feType(&frames->slots[frames->top]) == feTDict) return nullptr;
  const int32_t n = dicts->top + 1;
  if (level > n || n != int32_t(state.seen.size())) return nullptr;
  const feDictBody* const* seen = state.seen.data();
  for (int32_t i = 0; i < n; ++i) {
    const feObject& v = dicts->slots[i];
    if ((feType(&v) == feTDict ? v.w0.dict : nullptr) != seen[i]) return nullptr;
  }
  const feDictBody* body = seen[level - 1];
  const uint16_t slot = entry->slot;
  if (!body || !body->entries || slot >= body->capacity) return nullptr;
  const feDictEntry& e = body->entries[slot];
  if (feType(&e.key) != feTName || feNameIndexOf(&e.key) != index) return nullptr;
  if (feType(&e.value) == feTEmpty) return nullptr;
  return &e.value;
}

// load for a key already converted (k is read in place: a name's index and
// type are all the look-up needs).
int loadKey(const feObject* k, feObject* out) {
  if (feType(k) == feTName) {
    if (const feObject* value = fastCachedLookup(k)) {
      copyOut(out, value);
      ++state.hits;
      return feOk;
    }
  }
  if (const feDictBody* local = localDict()) {
    const int32_t s = feDictSlotOf(local, k);
    if (s >= 0) {
      copyOut(out, &local->entries[s].value);
      return feOk;
    }
  }
  const bool name = feType(k) == feTName;
  if (name) {
    syncWithStack();
    if (cachedLookup(k, out)) {
      ++state.hits;
      return feOk;
    }
    ++state.searches;
  }
  const int32_t n = dictCount();
  for (int32_t depth = 0; depth < n; ++depth) {
    const feDictBody* body = bodyAtDepth(depth);
    const int32_t s = feDictSlotOf(body, k);
    if (s < 0) continue;
    if (name) feNameCacheSet(feNameIndexOf(k), uint16_t(n - depth), uint16_t(s));
    copyOut(out, &body->entries[s].value);
    return feOk;
  }
  return feErrUndefined;
}

}  // namespace

const feObject* feLoadCachedName(const feObject* name) {
  if (feType(name) != feTName) return nullptr;
  const feObject* value = fastCachedLookup(name);
  if (value) ++state.hits;
  return value;
}

int feLoad(const feObject* key, feObject* out) {
  if (feType(key) != feTString) return loadKey(key, out);
  feObject k;
  const int rc = feCvn(key, &k);
  if (rc != feOk) return rc;
  return loadKey(&k, out);
}

int feStore(const feObject* key, const feObject* value) {
  feObject k;
  const int rc = feDictKeyOf(key, &k);
  if (rc != feOk) return rc;
  if (feDictBody* local = localDict())
    if (feDictSlotOf(local, &k) >= 0) return feDictStore(local, &k, value, nullptr);
  const int32_t n = dictCount();
  for (int32_t depth = 0; depth < n; ++depth) {
    feDictBody* body = bodyAtDepth(depth);
    if (feDictSlotOf(body, &k) < 0) continue;
    if (feType(&k) != feTName) return feDictStore(body, &k, value, nullptr);
    // The value changes in place, so where the name was last found stays
    // right: its cache is put back after the put has cleared it.
    uint16_t level = 0, slot = 0;
    feNameCacheRead(feNameIndex(&k), &level, &slot, nullptr);
    const int stored = feDictStore(body, &k, value, nullptr);
    if (stored == feOk) feNameCacheSet(feNameIndex(&k), level, slot);
    return stored;
  }
  return feDictDef(&k, value);
}

int feWhereDict(const feObject* key, feObject* dict) {
  feObject k;
  const int rc = feDictKeyOf(key, &k);
  if (rc != feOk) return rc;
  feObject frame;
  if (feCurrentFrame(&frame) == feOk && feType(&frame) == feTDict && feDictSlotOf(frame.w0.dict, &k) >= 0) {
    feCopyValue(dict, &frame);
    return feOk;
  }
  const int32_t n = dictCount();
  for (int32_t depth = 0; depth < n; ++depth) {
    if (feDictSlotOf(bodyAtDepth(depth), &k) < 0) continue;
    feCopyValue(dict, feStackIndex(dictStack(), depth));
    return feOk;
  }
  return feErrUndefined;
}

int feDictBegin(const feObject* dict) {
  if (feType(dict) != feTDict || !dict->w0.dict) return feErrTypeCheck;
  syncWithStack();
  const int rc = fePushDup(feDictStack(), dict);
  if (rc != feOk) return rc;
  // Names this dictionary holds may be cached at a lower level, which it now
  // hides.
  clearCachesOfKeys(dict->w0.dict);
  state.seen.push_back(dict->w0.dict);
  return feOk;
}

int feDictEnd() {
  syncWithStack();
  feStack* stack = dictStack();
  if (feStackCount(stack) < 3) return feErrDictStackUnderflow;
  feObject top;
  fePop(stack, &top);
  state.seen.pop_back();
  feFree(&top);
  return feOk;
}

void feLookupCounts(uint32_t* hits, uint32_t* searches) {
  if (hits) *hits = state.hits;
  if (searches) *searches = state.searches;
}

int feDictStackInit(const feObject* systemdict, const feObject* userdict) {
  if ((systemdict && feType(systemdict) != feTDict) || (userdict && feType(userdict) != feTDict))
    return feErrTypeCheck;
  feObject dicts[2];
  const feObject* given[2] = {systemdict, userdict};
  const int32_t capacities[2] = {kSystemDictCapacity, kUserDictCapacity};
  for (int i = 0; i < 2; ++i) {
    if (given[i]) feCopyValue(&dicts[i], given[i]);
    else feMakeDict(&dicts[i], capacities[i]);
  }
  feStackClear(dictStack());
  state.seen.clear();
  for (feObject& d : dicts) {
    fePush(feDictStack(), &d);
    state.seen.push_back(d.w0.dict);
  }
  feDictFlushCaches();
  return feOk;
}

const feObject* feDictAtLevel(int32_t level) {
  const int32_t n = dictCount();
  if (level < 1 || level > n) return nullptr;
  return feStackIndex(dictStack(), n - level);
}

void feDictFlushCaches() {
  const uint32_t count = feNameCount();
  for (uint32_t i = 1; i < count && i <= 0xFFFF; ++i) feNameCacheClear(uint16_t(i));
}

void feDictSetOverwriteHook(feDefOverwriteHook hook) { state.overwriteHook = hook; }

void feDictTestReset() {
  feDictStackInit();
  state.hits = 0;
  state.searches = 0;
  state.overwriteHook = nullptr;
}
