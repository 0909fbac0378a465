// The cursors the sheet window shows: an entry of the program's cursor
// table through the installed setter, or, without one, the system cursor
// the table starts with at that entry.
#include "views/vwevent.h"

#include <windows.h>

namespace {

vwCursorFn cursorHook = nullptr;
int32_t lastEntry = -1;

// The system cursors of the table's first entries (entry 2 has none and
// shows entry 0).
LPCSTR systemCursor(uint32_t entry) {
  switch (entry) {
    case 1: return IDC_IBEAM;
    case 6: return IDC_SIZE;
    case 7: return IDC_ICON;
    case 8: return IDC_SIZEWE;
    case 9: return IDC_SIZENS;
    case 10: return IDC_SIZENWSE;
    case 11: return IDC_SIZENESW;
    case 12: return IDC_WAIT;
    case 13: return IDC_CROSS;
    default: return IDC_ARROW;
  }
}

}  // namespace

void vwSetCursorHook(vwCursorFn hook) { cursorHook = hook; }

uint32_t vwSetCursor(uint32_t entry) {
  lastEntry = int32_t(entry);
  if (cursorHook) return cursorHook(entry);
  SetCursor(LoadCursorA(nullptr, systemCursor(entry)));
  return entry;
}

int32_t vwLastCursorEntry() { return lastEntry; }

void vwCursorReset() {
  cursorHook = nullptr;
  lastEntry = -1;
}
