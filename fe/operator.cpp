#include "fe/operator.h"

#include "core/alloc.h"
#include "fe/names.h"

feOpTable feOpTableData;

namespace {
feOperator*& table = feOpTableData.entries;
uint32_t& capacity = feOpTableData.capacity;
int32_t& count = feOpTableData.count;
constexpr int32_t kMaxOperators = 32768;  // indices are read back as signed 16 bits
}  // namespace

int32_t feOpTableAppend(const feOperator& entry) {
  if (count >= kMaxOperators) return -1;
  if (uint32_t(count) == capacity) uAlloc(&table, &capacity, capacity + 100, sizeof(feOperator));
  table[count] = entry;
  return count++;
}

int32_t feOpCount() { return count; }

void feOpNameText(int32_t index, const char** text, size_t* length) {
  const feOperator* op = feOpEntry(index);
  if (!op) {
    *text = "";
    *length = 0;
    return;
  }
  feNameTextOf(op->name, text, length);
}
