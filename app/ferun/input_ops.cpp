// The runner's input operators: scripts queue mouse and key input on the
// platform layer's clock, as a person would give it, and pump the main loop
// until it is used up.
#include "app/ferun/standins.h"

#include "core/errors.h"
#include "fe/opcall.h"
#include "fe/operator.h"
#include "ui/app.h"
#include "ui/mainloop.h"
#include "ui/wind.h"

#include <platform_test.h>
#include <windows.h>

namespace {

constexpr DWORD kDefaultGap = 100;
DWORD nextGap = kDefaultGap;

// The time after the previous item at which the next one is due: what
// tWait asked for once, else 100 ms.
DWORD takeGap() {
  const DWORD gap = nextGap;
  nextGap = kDefaultGap;
  return gap;
}

// The front document window: the active child of the frame's MDI client,
// else the current document window.
HWND frontDocumentWindow() {
  if (HWND client = uiGetFrameWindow(1)) {
    if (HWND active = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0))) return active;
  }
  const windRecord* record = windCurrentDoc();
  return record ? record->native : nullptr;
}

// Converts a client pixel of the front document window to the screen;
// false when there is no such window.
bool toScreen(const feArgs* args, POINT* out) {
  HWND window = frontDocumentWindow();
  if (!window) return false;
  *out = POINT{args->in[0].i, args->in[1].i};
  ClientToScreen(window, out);
  return true;
}

int mouseMove(feArgs* args) {
  POINT at;
  if (!toScreen(args, &at)) return feErrRangeCheck;
  plTestQueueMouseMove(at.x, at.y, takeGap());
  return 0;
}

int mouseDown(feArgs* args) {
  POINT at;
  if (!toScreen(args, &at)) return feErrRangeCheck;
  plTestQueueMouseButton(VK_LBUTTON, true, at.x, at.y, takeGap());
  return 0;
}

int mouseUp(feArgs* args) {
  POINT at;
  if (!toScreen(args, &at)) return feErrRangeCheck;
  plTestQueueMouseButton(VK_LBUTTON, false, at.x, at.y, takeGap());
  return 0;
}

int key(feArgs* args) {
  const int32_t virtualKey = args->in[0].i;
  if (virtualKey <= 0 || virtualKey > 255) return feErrRangeCheck;
  plTestQueueKey(virtualKey, true, takeGap());
  plTestQueueKey(virtualKey, false, takeGap());
  return 0;
}

// The key that types a character on a US layout, and whether Shift goes
// with it; false for a character no key types.
bool keyFor(unsigned char c, int* virtualKey, bool* shift) {
  *shift = false;
  if (c >= 'a' && c <= 'z') {
    *virtualKey = c - 'a' + 'A';
    return true;
  }
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
    *virtualKey = c;
    *shift = c >= 'A';
    return true;
  }
  struct Entry {
    char plain, shifted;
    int key;
  };
  static const Entry table[] = {
      {'0', ')', '0'}, {'1', '!', '1'}, {'2', '@', '2'}, {'3', '#', '3'}, {'4', '$', '4'},
      {'5', '%', '5'}, {'6', '^', '6'}, {'7', '&', '7'}, {'8', '*', '8'}, {'9', '(', '9'},
      {';', ':', 0xBA}, {'=', '+', 0xBB}, {',', '<', 0xBC}, {'-', '_', 0xBD}, {'.', '>', 0xBE},
      {'/', '?', 0xBF}, {'`', '~', 0xC0}, {'[', '{', 0xDB}, {'\\', '|', 0xDC}, {']', '}', 0xDD},
      {'\'', '"', 0xDE}, {' ', 0, VK_SPACE}, {'\r', 0, VK_RETURN}, {'\n', 0, VK_RETURN},
      {'\b', 0, VK_BACK}, {'\t', 0, VK_TAB}, {0x1B, 0, VK_ESCAPE},
  };
  for (const Entry& e : table) {
    if (static_cast<unsigned char>(e.plain) == c || (e.shifted && static_cast<unsigned char>(e.shifted) == c)) {
      *virtualKey = e.key;
      *shift = e.shifted && static_cast<unsigned char>(e.shifted) == c;
      return true;
    }
  }
  return false;
}

int type(feArgs* args) {
  const feArgText text = args->in[0].text;
  for (int32_t i = 0; i < text.length; ++i) {
    const auto c = static_cast<unsigned char>(text.text[i]);
    int virtualKey = 0;
    bool shift = false;
    if (!keyFor(c, &virtualKey, &shift)) {
      plTestQueueChar(static_cast<char>(c), takeGap());
      continue;
    }
    if (shift) plTestQueueKey(VK_SHIFT, true, takeGap());
    plTestQueueKey(virtualKey, true, takeGap());
    plTestQueueKey(virtualKey, false, takeGap());
    if (shift) plTestQueueKey(VK_SHIFT, false, takeGap());
  }
  return 0;
}

int wait(feArgs* args) {
  if (args->in[0].i < 0) return feErrRangeCheck;
  nextGap = static_cast<DWORD>(args->in[0].i);
  return 0;
}

// The main loop until the queued input and everything it caused are used
// up: the loop ends on the headless end of input. A quit that was already
// waiting is left for the runner (the run is ending); one that a script
// asked for during the pump is asked for again, since the loop took it.
int pump(feArgs*) {
  MSG msg;
  if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return 0;
  plTestClearQuit();
  evMainLoop();
  int code = 0;
  if (plTestQuitPosted(&code)) PostQuitMessage(code);
  return 0;
}

}  // namespace

void standinsInputInit() {
  nextGap = kDefaultGap;
  feRegisterOp("tMouseMove", mouseMove, "II", 0, 0);
  feRegisterOp("tMouseDown", mouseDown, "II", 0, 0);
  feRegisterOp("tMouseUp", mouseUp, "II", 0, 0);
  feRegisterOp("tKey", key, "I", 0, 0);
  feRegisterOp("tType", type, "S", 0, 0);
  feRegisterOp("tWait", wait, "I", 0, 0);
  feRegisterOp("tPump", pump, "", 0, 0);
}
