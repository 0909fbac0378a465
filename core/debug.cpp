// The debug flag word, string resources and the debugger hand-off shared by
// alerts and panics.
#include "core/debug.h"

#include "core/plumet.h"
#include "core/resources.h"

static uint32_t debugFlags;

uint32_t dbgFlags() { return debugFlags; }

void dbgSetFlags(uint32_t flags) { debugFlags = flags; }

bool uLoadString(int /*category*/, int id, char* buffer, int size) {
  if (!buffer || size <= 0) return false;
  buffer[0] = 0;
  UINT resource = static_cast<UINT>(id) & 0xFFFFu;
  if (resource == 0) return false;
  resInstallProgramStrings();
  // A null module is the program itself.
  return LoadStringA(nullptr, resource, buffer, size) > 0;
}

void dbgHandOffIfAsked(const char* message) {
  if (GetKeyState(VK_CONTROL) < 0 && appHasSwitch('d')) {
    OutputDebugStringA(message ? message : "");
    DebugBreak();
  }
}
