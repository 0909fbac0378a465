#include "app/hooks.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "fe/attnpoll.h"
#include "fe/exec.h"
#include "fe/quit.h"
#include "ui/alertstate.h"
#include "ui/attn.h"
#include "ui/gdihook.h"

#include <cstdint>

namespace {

intptr_t offerPanicToPlugin(const char* text) {
  return gdiCallHook(gdiHookPanic, reinterpret_cast<intptr_t>(text), 0, 0);
}

}  // namespace

void appInstallHooks() {
  dbgHooks hooks{};
  hooks.setAlertActive = uiSetAlertActive;
  hooks.quit = feQuitRun;
  hooks.offerPanic = offerPanicToPlugin;
  dbgSetHooks(hooks);
  uSetLowMemoryRunner(feRunString);
  feSetAttnPoll(evPollAttn);
}
