// The debug flag word, string resources and the debugger hand-off shared by
// alerts and panics.
#include "core/debug.h"

#include "core/resources.h"
#include "core/startstate.h"

static uint32_t debugFlags;
static dbgHooks hooks;

void dbgSetHooks(const dbgHooks& next) { hooks = next; }

const dbgHooks& dbgGetHooks() { return hooks; }

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
