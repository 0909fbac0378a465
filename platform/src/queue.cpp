// The message queue of the program's one thread: posted messages, then the
// messages of queued input that has taken effect, then the quit request,
// then painting, then due timers.
//
// Headless, a run ends when its input does: GetMessageA with nothing to
// deliver moves the clock on to the next queued input item, and with none
// left answers WM_QUIT (with the last PostQuitMessage code, else 0), so
// timers alone do not keep it alive. PeekMessageA never makes that WM_QUIT
// up; it only answers what is there. On a display (display.h), GetMessageA
// instead waits for the person's input and the next timer while a top-level
// window exists; PeekMessageA reads pending display input without waiting.
#include "display.h"
#include "layer.h"
#include "window_table.h"

#include <platform_test.h>

#include <algorithm>
#include <deque>

namespace {

// A runaway poster must not eat memory: past this many waiting messages
// PostMessageA fails, as a full queue does on Windows.
constexpr size_t kQueueLimit = 10000;
constexpr DWORD kThreadId = 1;
constexpr DWORD kErrorNotEnoughQuota = 1816;

std::deque<MSG> posted;
std::deque<MSG> inputMessages;  // made by queued input when it took effect
DWORD lastTime = 0;
POINT lastPos{0, 0};

bool isWithin(HWND window, HWND root) {
  for (pl::Window* w = pl::findWindow(window); w; w = pl::findWindow(w->parent))
    if (w->handle == root) return true;
  return false;
}

bool post(std::deque<MSG>& queue, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (queue.size() >= kQueueLimit) {
    SetLastError(kErrorNotEnoughQuota);
    return false;
  }
  MSG m{};
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  queue.push_back(m);
  return true;
}

// Stamps a message taken from the queue with the time and cursor position,
// which GetMessageTime and GetMessagePos then answer.
void stamp(MSG* m) {
  m->time = GetTickCount();
  m->pt = pl::cursorPosition();
  lastTime = m->time;
  lastPos = m->pt;
}

bool takeFrom(std::deque<MSG>& queue, HWND filter, UINT first, UINT last, bool remove, MSG* out) {
  for (auto it = queue.begin(); it != queue.end();) {
    // Messages for windows destroyed since they were posted are dropped.
    if (it->hwnd && !pl::findWindow(it->hwnd)) {
      it = queue.erase(it);
      continue;
    }
    if (pl::messagePasses(filter, first, last, it->hwnd, it->message)) {
      *out = *it;
      if (remove) queue.erase(it);
      return true;
    }
    ++it;
  }
  return false;
}

// One pass over the sources in priority order. Queued input whose time has
// come has made its messages by then; they come after the posted ones, so a
// message a program posts again stays ahead of later input.
bool take(HWND filter, UINT first, UINT last, bool remove, MSG* out) {
  pl::deliverDueInput();
  if (takeFrom(posted, filter, first, last, remove, out) || takeFrom(inputMessages, filter, first, last, remove, out)) {
    stamp(out);
    return true;
  }
  int code = 0;
  // The quit request passes any range; it is a thread message, so a window
  // filter keeps it back.
  if ((filter == nullptr || filter == reinterpret_cast<HWND>(-1)) && pl::quitPending(&code)) {
    *out = MSG{};
    out->message = WM_QUIT;
    out->wParam = static_cast<WPARAM>(static_cast<LONG_PTR>(code));
    if (remove) pl::takeQuit();
    stamp(out);
    return true;
  }
  const bool paintInRange = (first == 0 && last == 0) || (WM_PAINT >= first && WM_PAINT <= last);
  if (paintInRange && filter != reinterpret_cast<HWND>(-1)) {
    if (HWND w = pl::windowToPaint(filter, remove)) {
      *out = MSG{};
      out->hwnd = w;
      out->message = WM_PAINT;
      stamp(out);
      return true;
    }
  }
  if (pl::takeTimer(filter, first, last, remove, out)) {
    stamp(out);
    return true;
  }
  return false;
}

}  // namespace

namespace pl {

bool messagePasses(HWND filter, UINT first, UINT last, HWND hwnd, UINT message) {
  if (filter == reinterpret_cast<HWND>(-1)) {
    if (hwnd) return false;
  } else if (filter && !isWithin(hwnd, filter)) {
    return false;
  }
  if (first == 0 && last == 0) return true;
  return message >= first && message <= last;
}

void postInput(const MSG& message) {
  post(inputMessages, message.hwnd, message.message, message.wParam, message.lParam);
}

void postFront(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m{};
  m.hwnd = hwnd;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  posted.push_front(m);
}

void forgetWindowQueue(HWND window) {
  std::erase_if(posted, [window](const MSG& m) { return m.hwnd == window; });
  std::erase_if(inputMessages, [window](const MSG& m) { return m.hwnd == window; });
}

void resetQueue() {
  posted.clear();
  inputMessages.clear();
  lastTime = 0;
  lastPos = POINT{0, 0};
}

}  // namespace pl

extern "C" BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (hWnd && hWnd != reinterpret_cast<HWND>(-1) && !pl::findWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  pl::display::pump();
  for (;;) {
    if (take(hWnd, wMsgFilterMin, wMsgFilterMax, true, lpMsg)) return lpMsg->message != WM_QUIT;
    // Nothing to take now: wait for the next queued input item, that is,
    // move the clock on to its time.
    DWORD due = 0;
    if (pl::nextInputDue(&due)) {
      const DWORD now = GetTickCount();
      if (static_cast<int32_t>(due - now) > 0) plTestAdvanceClock(due - now);
      continue;
    }
    // On a display the person's input and the timers keep the run going
    // while any top-level window is left to receive them.
    if (!pl::display::active() || pl::topLevelWindows().empty()) break;
    pl::display::sync();
    int timeout = -1;
    if (pl::nextTimerDue(&due)) timeout = std::max<int32_t>(0, static_cast<int32_t>(due - GetTickCount()));
    pl::display::waitForInput(timeout);
  }
  // Nothing left to deliver: the headless run is over.
  *lpMsg = MSG{};
  lpMsg->message = WM_QUIT;
  lpMsg->wParam = static_cast<WPARAM>(static_cast<LONG_PTR>(pl::lastQuitCode()));
  pl::takeQuit();
  stamp(lpMsg);
  return FALSE;
}

extern "C" BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (hWnd && hWnd != reinterpret_cast<HWND>(-1) && !pl::findWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  pl::display::pump();
  if (take(hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0, lpMsg)) return TRUE;
  pl::display::idle();
  return FALSE;
}

extern "C" BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd && !pl::findWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return post(posted, hWnd, Msg, wParam, lParam) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (idThread != kThreadId) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return post(posted, nullptr, Msg, wParam, lParam) ? TRUE : FALSE;
}

extern "C" DWORD WINAPI GetCurrentThreadId(void) { return kThreadId; }

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  // A timer with a procedure calls it instead of the window procedure.
  if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
    proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
    return 0;
  }
  if (!lpMsg->hwnd) return 0;  // thread messages have no procedure
  return SendMessageA(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

extern "C" DWORD WINAPI GetMessagePos(void) {
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(lastPos.x), static_cast<WORD>(lastPos.y)));
}

extern "C" LONG WINAPI GetMessageTime(void) { return static_cast<LONG>(lastTime); }

// The queue grows as needed; the size asked for changes nothing.
extern "C" BOOL WINAPI SetMessageQueue(int cMessagesMax) { return cMessagesMax > 0 ? TRUE : FALSE; }
