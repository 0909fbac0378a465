// The table of file-lock records, keyed by the handles scripts hold.
#include "ui/filelock.h"

#include "core/alloc.h"

namespace {

struct lockSlot {
  uint32_t key;        // 0: free slot
  fileLockRec* record;
};

lockSlot* slots;
uint32_t slotCount;
uint32_t nextKey = 1;

lockSlot* slotOf(uint32_t key) {
  if (key == 0) return nullptr;
  for (uint32_t i = 0; i < slotCount; ++i)
    if (slots[i].key == key) return &slots[i];
  return nullptr;
}

lockSlot* freeSlot() {
  for (uint32_t i = 0; i < slotCount; ++i)
    if (slots[i].key == 0) return &slots[i];
  const uint32_t used = slotCount;
  uAlloc(&slots, &slotCount, slotCount + 8, sizeof(lockSlot));
  return &slots[used];
}

}  // namespace

uint32_t fileLockAdd(uint16_t flags) {
  lockSlot* slot = freeSlot();
  fileLockRec* record = nullptr;
  uAlloc(&record, nullptr, 1, sizeof(fileLockRec));
  record->tag = fileLockTag;
  record->flags = flags;
  // Keys only grow, so that a key kept after its lock was released never
  // reaches a newer lock; 0 (no lock) is skipped when the count wraps.
  if (nextKey == 0) nextKey = 1;
  slot->key = nextKey++;
  slot->record = record;
  return slot->key;
}

fileLockRec* fileLockFind(uint32_t key) {
  lockSlot* slot = slotOf(key);
  return slot ? slot->record : nullptr;
}

int fileLockRemove(uint32_t key) {
  lockSlot* slot = slotOf(key);
  if (!slot) return -1;
  slot->record->tag = 0;
  uFree(&slot->record);
  slot->key = 0;
  return 0;
}

uint32_t fileLockCount() {
  uint32_t n = 0;
  for (uint32_t i = 0; i < slotCount; ++i)
    if (slots[i].key) ++n;
  return n;
}

void fileLockReset() {
  for (uint32_t i = 0; i < slotCount; ++i)
    if (slots[i].key) fileLockRemove(slots[i].key);
  if (slots) uAlloc(&slots, &slotCount, 0, sizeof(lockSlot));
  slots = nullptr;
  slotCount = 0;
}
