// The attention flag, the modeless dialog the poll pumps, the busy count
// and the progress tick.
#include "ui/attn.h"

#include "core/debug.h"
#include "ui/cursor.h"

#include <vector>

namespace {
uint32_t attention;
HWND modeless;
int32_t busy;
int32_t ticks;

bool isInterruptKey(const MSG& msg) {
  return msg.message == WM_KEYDOWN && (msg.wParam == VK_PAUSE || msg.wParam == VK_ESCAPE);
}
}  // namespace

void evSetAttn(int flag) {
  attention = static_cast<uint32_t>(flag);
  if (attention != 0) dbgPrintf("[evSetAttn] Interrupt set. value=%d\n", static_cast<int32_t>(flag));
}

namespace {
// The interrupt keys may be typed behind other keys that a long operation
// has not taken yet. The key messages before the first Escape or Pause
// key-down are taken off the queue and posted again in their order (posted
// messages come before queued input, so they stay ahead of the later keys);
// the interrupt key-down alone is dropped.
bool takeInterruptKey() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE)) return false;
  if (isInterruptKey(msg)) {
    PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
    return true;
  }
  std::vector<MSG> before;
  bool found = false;
  while (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    if (isInterruptKey(msg)) {
      found = true;
      break;
    }
    before.push_back(msg);
  }
  for (const MSG& m : before) PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
  return found;
}
}  // namespace

int evPollAttn() {
  if (attention != 0) return static_cast<int>(attention);
  MSG msg;
  if (takeInterruptKey()) evSetAttn(1);
  if (modeless != nullptr && attention == 0) {
    while (attention == 0 && PeekMessageA(&msg, modeless, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageA(modeless, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
  }
  return static_cast<int>(attention);
}

int evCheckAttn() { return evPollAttn(); }

HWND evSetModeless(HWND dialog) {
  HWND previous = modeless;
  modeless = dialog;
  return previous;
}

int32_t uiBusyAdd(int32_t delta) {
  int32_t previous = busy;
  int64_t sum = static_cast<int64_t>(busy) + delta;
  busy = sum < 1 ? 0 : sum > INT32_MAX ? INT32_MAX : static_cast<int32_t>(sum);
  // Back to idle: the current entry of the cursor table replaces the wait
  // cursor.
  if (busy == 0) cursorSet(uint32_t(-1));
  return previous;
}

int32_t uiBusyBegin() { return uiBusyAdd(1); }
int32_t uiBusyEnd() { return uiBusyAdd(-1); }
int32_t uiBusyCount() { return busy; }

int evProgressTick(int32_t n) {
  int64_t sum = static_cast<int64_t>(ticks) + n;
  if (sum < 0 || sum > 32) {
    sum %= 32;
    if (sum < 0) sum += 32;
    if (busy > 0) SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  }
  ticks = static_cast<int32_t>(sum);
  return evPollAttn();
}

int32_t evProgressTicks() { return ticks; }

void evAttnReset() {
  attention = 0;
  modeless = nullptr;
  busy = 0;
  ticks = 0;
}
