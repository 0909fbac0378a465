// The packed attribute dictionary: finding, setting, deleting and copying
// entries in one block. A block grows by a fresh allocation (data rounded up
// to 8 bytes, entries to an even number) into which the old one is copied.
#include "objects/ddict.h"

#include "core/alloc.h"
#include "core/errors.h"

#include <cstring>

namespace {

ddIndexEntry* indexOf(ddBlock* block) { return reinterpret_cast<ddIndexEntry*>(block + 1); }
const ddIndexEntry* indexOf(const ddBlock* block) { return reinterpret_cast<const ddIndexEntry*>(block + 1); }
uint8_t* dataOf(ddBlock* block) { return reinterpret_cast<uint8_t*>(indexOf(block) + block->indexCapacity); }
const uint8_t* dataOf(const ddBlock* block) {
  return reinterpret_cast<const uint8_t*>(indexOf(block) + block->indexCapacity);
}

uint32_t roundEven(uint32_t n) { return (n + 1) & ~1u; }
uint32_t round8(uint32_t n) { return (n + 7) & ~7u; }
uint32_t blockSize(uint32_t entries, uint32_t bytes) {
  return uint32_t(sizeof(ddBlock)) + entries * uint32_t(sizeof(ddIndexEntry)) + bytes;
}

// Makes room for at least entries index entries and bytes of data, keeping
// the contents; the capacities never shrink. 0 or 270.
int reserve(ddBlock** slot, uint32_t entries, uint32_t bytes) {
  ddBlock* old = *slot;
  if (old && entries <= old->indexCapacity && bytes <= old->dataCapacity) return 0;
  uint32_t indexCapacity = roundEven(entries);
  uint32_t dataCapacity = round8(bytes);
  if (old) {
    if (old->indexCapacity > indexCapacity) indexCapacity = old->indexCapacity;
    if (old->dataCapacity > dataCapacity) dataCapacity = old->dataCapacity;
  }
  if (blockSize(indexCapacity, dataCapacity) >= ddBlockLimit) return feErrLimitCheck;
  auto* block = static_cast<ddBlock*>(uAlloc(nullptr, nullptr, blockSize(indexCapacity, dataCapacity), 1));
  block->indexCapacity = uint16_t(indexCapacity);
  block->dataCapacity = uint16_t(dataCapacity);
  if (old) {
    block->count = old->count;
    block->dataUsed = old->dataUsed;
    std::memcpy(indexOf(block), indexOf(old), old->count * sizeof(ddIndexEntry));
    std::memcpy(dataOf(block), dataOf(old), old->dataUsed);
    uFree(slot);
  }
  *slot = block;
  return 0;
}

}  // namespace

int ddFind(const ddBlock* block, const char* key, uint32_t length, int32_t* index, uint32_t* offset) {
  if (!block) return ddErrNoBlock;
  const ddIndexEntry* entry = indexOf(block);
  const uint8_t* data = dataOf(block);
  uint32_t at = 0;
  for (uint32_t i = 0; i < block->count; ++i) {
    if (entry[i].keyLength == length && std::memcmp(data + at, key, length) == 0) {
      if (index) *index = int32_t(i);
      if (offset) *offset = at;
      return 0;
    }
    at += entry[i].keyLength + uint32_t(entry[i].valueLength);
  }
  return ddErrAbsent;
}

int ddSet(ddBlock** slot, const char* key, uint32_t keyLength, const void* value, uint32_t valueLength) {
  if (keyLength > ddKeyMax || valueLength > ddValueMax) return feErrLengthCheck;
  int32_t index = 0;
  uint32_t offset = 0;
  if (ddFind(*slot, key, keyLength, &index, &offset) == 0) {
    ddBlock* block = *slot;
    const uint32_t oldLength = indexOf(block)[index].valueLength;
    const uint32_t used = block->dataUsed - oldLength + valueLength;
    if (const int rc = reserve(slot, block->count, used)) return rc;
    block = *slot;
    uint8_t* data = dataOf(block);
    const uint32_t start = offset + keyLength;
    const uint32_t tail = start + oldLength;
    std::memmove(data + start + valueLength, data + tail, block->dataUsed - tail);
    if (valueLength) std::memcpy(data + start, value, valueLength);
    indexOf(block)[index].valueLength = uint16_t(valueLength);
    block->dataUsed = uint16_t(used);
    return 0;
  }
  const uint32_t count = *slot ? (*slot)->count : 0;
  const uint32_t used = (*slot ? (*slot)->dataUsed : 0) + keyLength + valueLength;
  if (const int rc = reserve(slot, count + 1, used)) return rc;
  ddBlock* block = *slot;
  uint8_t* data = dataOf(block);
  std::memcpy(data + block->dataUsed, key, keyLength);
  if (valueLength) std::memcpy(data + block->dataUsed + keyLength, value, valueLength);
  // A new entry always starts without flags, whatever the slot held before.
  indexOf(block)[count] = ddIndexEntry{uint8_t(keyLength), 0, uint16_t(valueLength)};
  block->count = uint16_t(count + 1);
  block->dataUsed = uint16_t(used);
  return 0;
}

int ddDelete(ddBlock** slot, const char* key, uint32_t length) {
  if (length > ddKeyMax) return feErrLengthCheck;
  int32_t index = 0;
  uint32_t offset = 0;
  if (const int rc = ddFind(*slot, key, length, &index, &offset)) return rc;
  ddBlock* block = *slot;
  ddIndexEntry* entry = indexOf(block);
  const uint32_t bytes = entry[index].keyLength + uint32_t(entry[index].valueLength);
  uint8_t* data = dataOf(block);
  std::memmove(data + offset, data + offset + bytes, block->dataUsed - offset - bytes);
  std::memmove(entry + index, entry + index + 1, (block->count - index - 1) * sizeof(ddIndexEntry));
  --block->count;
  block->dataUsed = uint16_t(block->dataUsed - bytes);
  return 0;
}

int ddGetEntry(const ddBlock* block, uint32_t index, const char** key, uint32_t* keyLength, const char** value,
               uint32_t* valueLength) {
  if (!block || index >= block->count) return ddErrNotFound;
  const ddIndexEntry* entry = indexOf(block);
  uint32_t at = 0;
  for (uint32_t i = 0; i < index; ++i) at += entry[i].keyLength + uint32_t(entry[i].valueLength);
  const char* data = reinterpret_cast<const char*>(dataOf(block));
  if (key) *key = data + at;
  if (keyLength) *keyLength = entry[index].keyLength;
  if (value) *value = data + at + entry[index].keyLength;
  if (valueLength) *valueLength = entry[index].valueLength;
  return 0;
}

int ddLookup(const ddBlock* const* slot, const char* key, uint32_t length, const char** value,
             uint32_t* valueLength, int* found) {
  const ddBlock* block = slot ? *slot : nullptr;
  int32_t index = 0;
  if (ddFind(block, key, length, &index, nullptr) == 0) {
    ddGetEntry(block, uint32_t(index), nullptr, nullptr, value, valueLength);
    *found = 1;
    return 0;
  }
  *value = nullptr;
  *valueLength = 0;
  *found = 0;
  return ddErrNotFound;
}

int ddSetFlags(ddBlock** slot, const char* key, uint32_t length, uint8_t bits, bool on) {
  int32_t index = 0;
  if (const int rc = ddFind(*slot, key, length, &index, nullptr)) return rc;
  ddIndexEntry& entry = indexOf(*slot)[index];
  entry.flags = uint8_t(on ? entry.flags | bits : entry.flags & ~bits);
  return 0;
}

int ddGetFlags(const ddBlock* const* slot, const char* key, uint32_t length, uint8_t bits, int* out) {
  int32_t index = 0;
  const ddBlock* block = slot ? *slot : nullptr;
  if (const int rc = ddFind(block, key, length, &index, nullptr)) return rc;
  *out = (indexOf(block)[index].flags & bits) != 0;
  return 0;
}

int ddCopy(const ddBlock* block, ddBlock** slot) {
  if (!block) {
    ddFree(slot);
    return 0;
  }
  if (*slot == block) return 0;
  ddBlock* target = *slot;
  if (target) {
    // Emptied first, so that reserve copies nothing and keeps the capacities.
    target->count = 0;
    target->dataUsed = 0;
  }
  if (const int rc = reserve(slot, block->count, block->dataUsed)) return rc;
  target = *slot;
  target->count = block->count;
  target->dataUsed = block->dataUsed;
  std::memcpy(indexOf(target), indexOf(block), block->count * sizeof(ddIndexEntry));
  std::memcpy(dataOf(target), dataOf(block), block->dataUsed);
  return 0;
}

void ddFree(ddBlock** slot) {
  if (slot && *slot) uFree(slot);
}

uint32_t ddCount(const ddBlock* block) { return block ? block->count : 0; }

uint32_t ddSize(const ddBlock* block) {
  return block ? blockSize(block->indexCapacity, block->dataCapacity) : 0;
}
