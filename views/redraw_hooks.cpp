// The redraw callbacks: pairs of a routine and its argument, run in the
// order added after the views are redrawn.
#include "views/redraw.h"
#include "views/redraw_internal.h"

#include "core/alloc.h"
#include "core/debug.h"

namespace {

constexpr uint32_t kGrowth = 5;

// Two parallel arrays of one capacity.
vwRedrawHook* hooks = nullptr;
void** arguments = nullptr;
uint32_t capacity = 0;
uint32_t count = 0;

void grow() {
  if (capacity) dbgPrintf("realloc redraw arrays, %d\n", int(capacity));
  uint32_t hookCapacity = capacity, argumentCapacity = capacity;
  uAlloc(&hooks, &hookCapacity, capacity + kGrowth, sizeof(vwRedrawHook));
  uAlloc(&arguments, &argumentCapacity, capacity + kGrowth, sizeof(void*));
  capacity += kGrowth;
}

}  // namespace

void vwAddRedrawHook(vwRedrawHook hook, void* argument) {
  for (uint32_t i = 0; i < count; ++i)
    if (hooks[i] == hook && arguments[i] == argument) return;
  if (count == capacity) grow();
  hooks[count] = hook;
  arguments[count] = argument;
  ++count;
}

void vwRunRedrawHooks() {
  // A hook may add hooks: the arrays are read afresh for every entry.
  for (uint32_t i = 0; i < count; ++i)
    if (hooks[i]) hooks[i](arguments[i]);
}

namespace redrawint {

void resetHooks() {
  uFreeIfSet(&hooks);
  uFreeIfSet(&arguments);
  hooks = nullptr;
  arguments = nullptr;
  capacity = count = 0;
}

}  // namespace redrawint
