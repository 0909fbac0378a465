// The allocation statistics: record types and their live counts, reported by
// the operator aAllocInfo.
#include "core/alloc.h"

#include "core/alloc_test.h"
#include "core/debug.h"

#include <algorithm>

namespace {

struct allocInfo {
  const char* name;         // a name beginning with "!" is left out of the totals
  const void* counter;      // live-record counter, or null (counts as 1)
  bool wideCounter;         // the counter is an int32_t rather than a uint16_t
  const uint32_t* sizeVar;  // the type's byte total, used when fixedSize is 0
  uint32_t fixedSize;       // record size in bytes, or 0
};

// Entries are never removed; the table grows by 8 with its capacity as the
// count variable.
allocInfo* table;
uint32_t tableCount;
uint32_t tableCapacity;

void append(const char* name, const void* counter, bool wide, const uint32_t* sizeVar, uint32_t fixedSize) {
  if (tableCount == tableCapacity) uAlloc(&table, &tableCapacity, tableCapacity + 8, sizeof(allocInfo));
  table[tableCount++] = allocInfo{name, counter, wide, sizeVar, fixedSize};
}

// The low 16 bits of the counter, as an unsigned number; 1 without counter.
uint32_t liveCount(const allocInfo& e) {
  if (!e.counter) return 1;
  if (e.wideCounter) return uint32_t(*static_cast<const int32_t*>(e.counter)) & 0xFFFF;
  return *static_cast<const uint16_t*>(e.counter);
}

// The report prints 32-bit numbers; a larger total is shown as the largest.
int32_t shown(uint64_t value) { return int32_t(std::min<uint64_t>(value, INT32_MAX)); }

}  // namespace

void allocInfoRegister(const char* name, const uint16_t* counter, uint32_t size) {
  append(name, counter, false, nullptr, size);
}
void allocInfoRegister(const char* name, const int32_t* counter, uint32_t size) {
  append(name, counter, true, nullptr, size);
}
void allocInfoRegister(const char* name, std::nullptr_t, uint32_t size) {
  append(name, nullptr, false, nullptr, size);
}
void allocInfoRegisterP(const char* name, const uint16_t* counter, const uint32_t* sizeVar) {
  append(name, counter, false, sizeVar, 0);
}
void allocInfoRegisterP(const char* name, const int32_t* counter, const uint32_t* sizeVar) {
  append(name, counter, true, sizeVar, 0);
}
void allocInfoRegisterP(const char* name, std::nullptr_t, const uint32_t* sizeVar) {
  append(name, nullptr, false, sizeVar, 0);
}

void allocInfoReport() {
  // In the program's engine "-" puts the fill before the text: every field
  // is right-aligned.
  static const char* const line = "%-16s:%-6ld %-8ld\n";
  uint64_t totalCount = 0, totalBytes = 0;
  for (uint32_t i = 0; i < tableCount; ++i) {
    const allocInfo& e = table[i];
    const uint32_t count = liveCount(e);
    if (count == 0) continue;
    uint64_t bytes = e.fixedSize ? uint64_t(e.fixedSize) * count : (e.sizeVar ? *e.sizeVar : 0);
    const char* name = e.name ? e.name : "";
    dbgPrintf(line, name, shown(count), shown(bytes));
    if (name[0] != '!') {
      totalCount += count;
      totalBytes += bytes;
    }
  }
  dbgPrintf(line, "total", shown(totalCount), shown(totalBytes));
}

void allocInfoTestReset() {
  uFree(&table);
  tableCount = 0;
  tableCapacity = 0;
}
