// The main loop, the pump by message number and the aDispatch operator.
#include "ui/mainloop.h"

#include "ui/attn.h"
#include "ui/event.h"

namespace {
evMenuFilter menuFilter;
WPARAM quitCode;

bool filtered(MSG* msg) { return menuFilter != nullptr && menuFilter(msg) != 0; }
}  // namespace

evMenuFilter evSetMenuFilter(evMenuFilter filter) {
  evMenuFilter previous = menuFilter;
  menuFilter = filter;
  return previous;
}

int evMainLoop() {
  MSG msg;
  for (;;) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      quitCode = msg.wParam;
      return 0;
    }
    if (got == -1) return -1;
    if (filtered(&msg)) continue;
    TranslateMessage(&msg);
    evSetAttn(0);
    eventRecord(msg.message, 0);
    // A busy state left over by a script or tool is undone once control is
    // back in the loop.
    uiBusyAdd(-1);
    DispatchMessageA(&msg);
  }
}

WPARAM evQuitCode() { return quitCode; }

int evPumpRange(uint32_t n) {
  UINT number = static_cast<UINT>(n & 0xFFFF);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, number, number, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The quit belongs to the main loop: hand it back for it to see.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (filtered(&msg)) continue;
    TranslateMessage(&msg);
    eventRecord(msg.message, 0);
    DispatchMessageA(&msg);
  }
  return 0;
}

int aDispatch() { return evPumpRange(0); }
