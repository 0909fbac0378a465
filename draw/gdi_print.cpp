// The one global copy of the printer set-up block.
#include "core/alloc.h"
#include "draw/gdi.h"

#include <cstring>

namespace {

uint8_t* setupBlock = nullptr;
uint32_t setupLength = 0;

}  // namespace

void printSetupSet(const void* block, uint32_t length) {
  if (!block) length = 0;
  uAlloc(&setupBlock, &setupLength, length, 1);
  if (length) std::memcpy(setupBlock, block, length);
}

void printSetupGet(void** block, uint32_t* length) {
  if (!block) return;
  uint32_t held = length ? *length : 0;
  uAlloc(block, &held, setupLength, 1);
  if (setupLength) std::memcpy(*block, setupBlock, setupLength);
  if (length) *length = setupLength;
}
