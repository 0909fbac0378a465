// Owned lists: unlinking, inserting at a position and listing as an array.
#include "views/owned.h"

#include "core/debug.h"
#include "fe/arrays.h"

#include <vector>

namespace {

const vwListDesc* descOf(const void* record) {
  return record ? static_cast<const vwOwnedHead*>(record)->desc : nullptr;
}

void*& link(void* base, uint32_t offset) {
  return *reinterpret_cast<void**>(static_cast<char*>(base) + offset);
}

void* linkValue(const void* base, uint32_t offset) {
  return *reinterpret_cast<void* const*>(static_cast<const char*>(base) + offset);
}

// The descriptor of record, or a panic and null.
const vwListDesc* checkedDesc(const void* record) {
  const vwListDesc* desc = descOf(record);
  if (!desc) dbgPanic("bad vsd");
  return desc;
}

}  // namespace

void* ownedNext(const void* record) {
  const vwListDesc* desc = descOf(record);
  return desc ? linkValue(record, desc->nextOffset) : nullptr;
}

void* ownedOwner(const void* record) {
  const vwListDesc* desc = descOf(record);
  return desc ? linkValue(record, desc->ownerOffset) : nullptr;
}

uint32_t ownedCount(const void* first) {
  uint32_t count = 0;
  for (const void* r = first; r; r = ownedNext(r)) ++count;
  return count;
}

int ownedUnlink(void* record) {
  const vwListDesc* desc = checkedDesc(record);
  if (!desc) return -1;
  void* owner = link(record, desc->ownerOffset);
  if (!owner) return vwErrNoOwner;
  void*& head = link(owner, desc->headOffset);
  void** at = &head;
  while (*at && *at != record) at = &link(*at, desc->nextOffset);
  if (!*at) return vwErrNotInList;
  *at = link(record, desc->nextOffset);
  link(record, desc->nextOffset) = nullptr;
  return 0;
}

int ownedInsert(void* record, uint32_t position) {
  const vwListDesc* desc = checkedDesc(record);
  if (!desc) return -1;
  void* owner = link(record, desc->ownerOffset);
  if (!owner) return vwErrNoOwner;
  // Walk to the link the record goes into: the head for position 0, else
  // the next link of the position-th record or of the last one.
  void** at = &link(owner, desc->headOffset);
  for (uint32_t n = 0; n < position && *at; ++n) at = &link(*at, desc->nextOffset);
  link(record, desc->nextOffset) = *at;
  *at = record;
  return 0;
}

int ownedToArray(void* first, feObject* out) {
  std::vector<void*> records;
  for (void* r = first; r; r = link(r, descOf(r)->nextOffset)) {
    if (!checkedDesc(r)) return -1;
    records.push_back(r);
  }
  int err = feMakeArray(out, nullptr, static_cast<uint32_t>(records.size()));
  if (err) return err;
  for (size_t i = 0; i < records.size(); ++i) {
    feObject ref;
    feMakeObjRef(&ref, records[i]);
    feArrayPut(out, static_cast<int32_t>(i), &ref);
  }
  return 0;
}
