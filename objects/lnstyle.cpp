// The line-style table: arrowhead styles found or added by value.
#include "objects/lnstyle.h"

#include "core/alloc.h"
#include "core/debug.h"

#include <cstring>

namespace {

struct lnstyleRec {
  uint8_t kind;
  float width;
  double normal[3];
  uint16_t word;   // 0
};

// The table grows by 8 entries; entry 0 is kept empty.
lnstyleRec* table = nullptr;
uint32_t capacity = 0;
uint32_t count = 1;

// New entries come zero-filled.
bool grow() { return uAlloc(&table, &capacity, capacity + 8, sizeof(lnstyleRec)) != nullptr; }

}  // namespace

uint16_t lnstyleFind(int kind, double width, const double* normal) {
  static const double kUp[3] = {0, 0, 1};
  lnstyleRec key{};
  key.kind = uint8_t(kind);
  key.width = float(width);
  std::memcpy(key.normal, normal ? normal : kUp, sizeof key.normal);
  for (uint32_t i = 1; i < count; ++i) {
    const lnstyleRec& e = table[i];
    if (e.kind == key.kind && std::memcmp(&e.width, &key.width, sizeof key.width) == 0 &&
        std::memcmp(e.normal, key.normal, sizeof key.normal) == 0)
      return uint16_t(i);
  }
  if (count >= lnstyleMax) {
    dbgPrintf("[lnstyleFind] No more room in lnstyleTbl.\n");
    return 0;
  }
  if (count >= capacity && !grow()) return 0;
  table[count] = key;
  return uint16_t(count++);
}

int lnstyleGet(uint32_t index, int* kind, double* width, double* normal) {
  if (index >= count || !table) return 0;
  const lnstyleRec& e = table[index];
  if (kind) *kind = e.kind;
  if (width) *width = e.width;
  if (normal) std::memcpy(normal, e.normal, sizeof e.normal);
  return 1;
}

uint32_t lnstyleCount() { return count; }

void lnstyleReset() {
  uFreeIfSet(&table);
  capacity = 0;
  count = 1;
}

uint16_t lnstyleApply(uint16_t word, uint16_t endBits, bool on, uint16_t index) {
  const uint16_t ends = endBits & (lnstyleArrowStart | lnstyleArrowEnd);
  word = uint16_t(word & ~(lnstyleIndexMask | ends));
  if (on) word = uint16_t(word | ends);
  return uint16_t(word | (index & lnstyleIndexMask));
}
