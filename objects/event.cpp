// The application event table: a fixed table of (mask, value, handler)
// entries walked by index, so that a handler may signal further events.
#include "objects/event.h"

#include "core/debug.h"

namespace {

struct evtEntry {
  uint32_t mask;
  uint32_t value;
  evtHandler handler;
};

evtEntry table[evtTableSize];
int count = 0;

}  // namespace

void evtAdd(uint32_t mask, uint32_t value, evtHandler handler) {
  if (count >= evtTableSize) {
    dbgPanic("event table full");
    return;
  }
  table[count++] = {mask, value, handler};
}

void evtSignal(uint32_t code, intptr_t argument) {
  for (int i = 0; i < count; ++i)
    if ((table[i].mask & code) == table[i].value && table[i].handler) table[i].handler(code, argument);
}

int evtCount() { return count; }

void evtReset() { count = 0; }
