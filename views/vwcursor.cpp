// The cursors the sheet window shows: an entry of the program's cursor
// table through the installed setter (start-up installs the table's own).
#include "views/vwevent.h"

namespace {

vwCursorFn cursorHook = nullptr;
int32_t lastEntry = -1;

}  // namespace

void vwSetCursorHook(vwCursorFn hook) { cursorHook = hook; }

uint32_t vwSetCursor(uint32_t entry) {
  lastEntry = int32_t(entry);
  return cursorHook ? cursorHook(entry) : entry;
}

int32_t vwLastCursorEntry() { return lastEntry; }

void vwCursorReset() {
  cursorHook = nullptr;
  lastEntry = -1;
}
