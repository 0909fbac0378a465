// The translation table: the string pool, the pairs with their two hash
// tables, the look-ups, the missing list and the storage kept in an image
// (see xlate.h).
#include "core/xlate.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "core/xlate_internal.h"
#include "core/xlate_test.h"

#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The "xlate-buf" block is the pair array as it lies in memory; the image
// file is little-endian.
static_assert(std::endian::native == std::endian::little, "the pair block is written as it lies in memory");

namespace {

constexpr uint32_t kPoolStep = 1024;
constexpr uint32_t kPoolLargeStep = 8192;  // once the pool holds 8192 bytes
constexpr uint32_t kPairStep = 256;
constexpr uint32_t kMissingStep = 256;     // pointers: two per missing text
constexpr uint32_t kArenaSize = 8192;
constexpr uint32_t kMissingMaxLength = 0x3FFFFFFF;

xlateStorageHook storageHook;

struct Table {
  char* pool = nullptr;
  uint32_t poolCapacity = 0;
  uint32_t poolUsed = 0;
  xlatePair* pairs = nullptr;
  uint32_t pairCapacity = 0;
  uint32_t pairCount = 0;
  uint32_t sourceHeads[xlateChains];
  uint32_t translationHeads[xlateChains];
  bool loaded = false;          // a table was loaded: misses are collected from now on
  bool blocksStored = false;    // the storage hook was handed pool and pairs
  bool interpreterFlag = false;

  Table() { clearHeads(); }
  void clearHeads() {
    for (int i = 0; i < xlateChains; ++i) sourceHeads[i] = translationHeads[i] = xlateNoEntry;
  }
};

// The missing texts. Each has two copies in the arenas: the key compared
// against later requests, and the copy handed out, which callers may keep.
struct MissingList {
  struct Entry {
    const char* key;
    uint32_t length;
    const char* copy;
  };
  std::vector<Entry> entries;
  uint32_t capacity = 0;  // in pointers, grown by 256
  std::unordered_map<std::string_view, int32_t> index;
  std::vector<char*> arenas;  // allocator blocks
  char* arenaNext = nullptr;  // free room of the last arena
  uint32_t arenaLeft = 0;
};

Table& table() {
  static Table t;
  return t;
}

MissingList& missing() {
  static MissingList m;
  return m;
}

const char* poolAt(uint32_t offset) { return table().pool + offset; }

bool sameText(const char* stored, const char* text, uint32_t length) {
  return std::strncmp(stored, text, length) == 0 && stored[length] == 0;
}

// The entry whose source (direction 0) or translation (otherwise) is the
// text, or xlateNoEntry.
uint32_t find(int direction, const char* text, uint32_t length) {
  const Table& t = table();
  const uint32_t chain = xlateHash(text, length);
  if (direction == 0) {
    for (uint32_t i = t.sourceHeads[chain]; i != xlateNoEntry; i = t.pairs[i].nextSource)
      if (sameText(poolAt(t.pairs[i].source), text, length)) return i;
  } else {
    for (uint32_t i = t.translationHeads[chain]; i != xlateNoEntry; i = t.pairs[i].nextTranslation)
      if (sameText(poolAt(t.pairs[i].translation), text, length)) return i;
  }
  return xlateNoEntry;
}

// The translation (or the source) of a counted text: 0 with the answer, or
// -1 with the stored copy (the text itself while no table is loaded).
int lookUp(int direction, const char* text, uint32_t length, const char** out, uint32_t* outLength) {
  if (length > 0 && text[0] == '@') {
    *out = text + 1;
    if (outLength) *outLength = length - 1;
    return 0;
  }
  Table& t = table();
  // A zero byte inside the text never matches a pool text.
  const uint32_t entry = t.loaded && !std::memchr(text, 0, length) ? find(direction, text, length) : xlateNoEntry;
  if (entry != xlateNoEntry) {
    t.pairs[entry].used = 1;
    *out = poolAt(direction == 0 ? t.pairs[entry].translation : t.pairs[entry].source);
    if (outLength) *outLength = uint32_t(std::strlen(*out));
    return 0;
  }
  *out = text;
  if (outLength) *outLength = length;
  if (t.loaded && length > 0) xlateMissing(text, length, out, outLength);
  return -1;
}

char* arenaBytes(uint32_t size) {
  MissingList& m = missing();
  if (m.arenaLeft < size) {
    const uint32_t blockSize = size > kArenaSize ? size : kArenaSize;
    m.arenas.push_back(static_cast<char*>(uAlloc(nullptr, nullptr, blockSize, 1)));
    m.arenaNext = m.arenas.back();
    m.arenaLeft = blockSize;
  }
  char* bytes = m.arenaNext;
  m.arenaNext += size;
  m.arenaLeft -= size;
  return bytes;
}

}  // namespace

uint32_t xlateHash(const char* text, uint32_t length) {
  uint32_t h = 0;
  for (uint32_t i = 0; i < length; ++i) h = 3 * h + uint32_t(int32_t(static_cast<signed char>(text[i])));
  return h & (xlateChains - 1);
}

const xlatePair* xlatePairTable() { return table().pairs; }
const char* xlatePoolText(uint32_t offset) { return poolAt(offset); }
uint32_t xlateSourceChain(int chain) { return table().sourceHeads[chain]; }
int32_t xlatePairCount() { return int32_t(table().pairCount); }

int xlateStr(int direction, const char* text, const char** out) {
  if (!text) text = "";
  const size_t length = std::strlen(text);
  if (length > kMissingMaxLength) {  // far beyond any text the program shows
    *out = text;
    return -1;
  }
  return lookUp(direction, text, uint32_t(length), out, nullptr);
}

int xlateSpan(const char* text, uint32_t length, const char** outText, uint32_t* outLength) {
  if (!text) {
    text = "";
    length = 0;
  }
  if (length > kMissingMaxLength) {
    *outText = text;
    if (outLength) *outLength = length;
    return -1;
  }
  return lookUp(0, text, length, outText, outLength);
}

int xlateInPlace(char** handle, uint32_t* length, uint32_t* capacity) {
  if (!table().interpreterFlag || !handle || !*handle || !length || !capacity) return -1;
  const char* answer = nullptr;
  uint32_t answerLength = 0;
  std::string replacement;
  if (xlateSpan(*handle, *length, &answer, &answerLength) == 0) {
    replacement.assign(answer, answerLength);
  } else if (*length >= 3 && std::memcmp(*handle + *length - 3, "...", 3) == 0 &&
             xlateSpan(*handle, *length - 3, &answer, &answerLength) == 0) {
    replacement.assign(answer, answerLength);
    replacement += "...";
  } else {
    return -1;
  }
  // The answer may lie in the block itself (a text marked with "@"): it was
  // copied out before the block changes.
  if (replacement.size() > *capacity) uAlloc(handle, capacity, uint32_t(replacement.size()), 1);
  std::memcpy(*handle, replacement.data(), replacement.size());
  *length = uint32_t(replacement.size());
  return 0;
}

bool xlateInterpreterFlag() { return table().interpreterFlag; }
void xlateSetInterpreterFlag(bool on) { table().interpreterFlag = on; }

int xlateMissing(const char* text, uint32_t length, const char** out, uint32_t* outLength) {
  if (!text || length > kMissingMaxLength) {  // nothing a person reads: not kept
    *out = text ? text : "";
    if (outLength) *outLength = text ? length : 0;
    return 1;
  }
  MissingList& m = missing();
  const auto known = m.index.find(std::string_view(text, length));
  if (known != m.index.end()) {
    const MissingList::Entry& e = m.entries[size_t(known->second)];
    *out = e.copy;
    if (outLength) *outLength = e.length;
    return 1;
  }
  if (uint64_t(m.entries.size() + 1) * 2 > m.capacity) {
    m.capacity += kMissingStep;
    dbgPrintf("strtbl %d\n", int32_t(m.capacity));
  }
  char* key = arenaBytes(2 * length + 2);
  char* copy = key + length + 1;
  std::memcpy(key, text, length);
  key[length] = 0;
  std::memcpy(copy, text, length);
  copy[length] = 0;
  m.entries.push_back({key, length, copy});
  m.index.emplace(std::string_view(key, length), int32_t(m.entries.size() - 1));
  *out = copy;
  if (outLength) *outLength = length;
  return 0;
}

int32_t xlateMissingCount() { return int32_t(missing().entries.size()); }

const char* xlateMissingText(int32_t index, uint32_t* length) {
  const MissingList& m = missing();
  if (index < 0 || size_t(index) >= m.entries.size()) {
    if (length) *length = 0;
    return nullptr;
  }
  if (length) *length = m.entries[size_t(index)].length;
  return m.entries[size_t(index)].copy;
}

int xlateAddPair(const char* source, uint32_t sourceLength, const char* translation, uint32_t translationLength) {
  if (!source) sourceLength = 0;
  if (!translation) translationLength = 0;
  // Pool texts are terminated: a zero byte inside would cut them short.
  if ((sourceLength && std::memchr(source, 0, sourceLength)) ||
      (translationLength && std::memchr(translation, 0, translationLength)))
    return feErrRangeCheck;
  Table& t = table();
  const uint64_t need = uint64_t(sourceLength) + translationLength + 2;
  if (uint64_t(t.poolUsed) + need > 0xFFFFFFF0u) return feErrLimitCheck;
  if (t.poolUsed + need > t.poolCapacity) {
    const uint64_t step = t.poolCapacity >= kPoolLargeStep ? kPoolLargeStep : kPoolStep;
    const uint64_t grow = need > step ? need : step;
    const uint64_t capacity = uint64_t(t.poolCapacity) + grow;
    uAlloc(&t.pool, &t.poolCapacity, uint32_t(capacity > 0xFFFFFFF0u ? 0xFFFFFFF0u : capacity), 1);
  }
  if (t.pairCount == t.pairCapacity) uAlloc(&t.pairs, &t.pairCapacity, t.pairCapacity + kPairStep, sizeof(xlatePair));

  xlatePair& pair = t.pairs[t.pairCount++];
  pair.source = t.poolUsed;
  if (sourceLength) std::memcpy(t.pool + t.poolUsed, source, sourceLength);
  t.poolUsed += sourceLength;
  t.pool[t.poolUsed++] = 0;
  pair.translation = t.poolUsed;
  if (translationLength) std::memcpy(t.pool + t.poolUsed, translation, translationLength);
  t.poolUsed += translationLength;
  t.pool[t.poolUsed++] = 0;
  pair.nextSource = pair.nextTranslation = xlateNoEntry;
  pair.used = 0;
  // The pool and the pairs may have moved: the image blocks follow them.
  if (t.blocksStored) xlateStoreBlocks();
  return feOk;
}

void xlateLoaded() {
  table().loaded = true;
  xlateStoreBlocks();
  xlateRebuild();
}

void xlateRebuild() {
  Table& t = table();
  t.clearHeads();
  for (uint32_t i = 0; i < t.pairCount; ++i) {
    xlatePair& pair = t.pairs[i];
    const char* source = poolAt(pair.source);
    const char* translation = poolAt(pair.translation);
    const uint32_t s = xlateHash(source, uint32_t(std::strlen(source)));
    const uint32_t r = xlateHash(translation, uint32_t(std::strlen(translation)));
    // Linked at the head: a pair loaded later answers before an earlier one.
    pair.nextSource = t.sourceHeads[s];
    t.sourceHeads[s] = i;
    pair.nextTranslation = t.translationHeads[r];
    t.translationHeads[r] = i;
  }
}

void xlateSetStorageHook(xlateStorageHook hook) { storageHook = hook; }

void xlateStoreBlocks() {
  Table& t = table();
  if (!t.loaded) return;
  if (storageHook) storageHook(t.pool, t.poolUsed, t.pairs, t.pairCount * uint32_t(sizeof(xlatePair)));
  t.blocksStored = true;
}

bool xlateCanRestore() {
  const Table& t = table();
  return !t.loaded && t.pairCount == 0;
}

void xlateRestoreFrom(const void* text, uint32_t textLength, const void* pairs, uint32_t pairsLength) {
  Table& t = table();
  if (!xlateCanRestore()) return;
  const auto* bytes = static_cast<const char*>(text);
  // A pool must end with a terminator, so every offset in it names a
  // terminated text; a malformed block is ignored.
  if (text && pairs && textLength > 0 && bytes[textLength - 1] == 0 && pairsLength % sizeof(xlatePair) == 0) {
    uAlloc(&t.pool, &t.poolCapacity, textLength, 1);
    std::memcpy(t.pool, bytes, textLength);
    t.poolUsed = textLength;
    const auto* stored = static_cast<const xlatePair*>(pairs);
    const uint32_t n = pairsLength / uint32_t(sizeof(xlatePair));
    for (uint32_t i = 0; i < n; ++i) {
      if (stored[i].source >= textLength || stored[i].translation >= textLength) continue;
      if (t.pairCount == t.pairCapacity) uAlloc(&t.pairs, &t.pairCapacity, t.pairCapacity + kPairStep, sizeof(xlatePair));
      xlatePair& pair = t.pairs[t.pairCount++];
      pair = stored[i];
      pair.used = stored[i].used ? 1 : 0;
      pair.nextSource = pair.nextTranslation = xlateNoEntry;
    }
    t.loaded = true;
  }
  xlateStoreBlocks();
  xlateRebuild();
}

void xlateRelease() {
  Table& t = table();
  // Whoever kept the pool's and the pairs' addresses must drop them.
  if (t.blocksStored && storageHook) storageHook(nullptr, 0, nullptr, 0);
  uFreeIfSet(&t.pool);
  uFreeIfSet(&t.pairs);
  const bool interpreterFlag = t.interpreterFlag;
  t = Table();
  t.interpreterFlag = interpreterFlag;
  MissingList& m = missing();
  for (char*& arena : m.arenas) uFree(&arena);
  m = MissingList();
}

int32_t xlateArenaCount() { return int32_t(missing().arenas.size()); }

void xlateResetForTest() {
  xlateRelease();
  table().interpreterFlag = false;
  xlateResetTemplate();
}
