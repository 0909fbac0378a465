// Timers: SetTimer and KillTimer, and the WM_TIMER messages that the queue
// makes up for due timers at its lowest priority. A timer fires on the
// layer's clock (GetTickCount), so a test fires one by advancing the clock.
#include "layer.h"
#include "window_table.h"

#include <vector>

namespace {

struct Timer {
  HWND window;
  UINT_PTR id;
  UINT period;
  DWORD due;
  TIMERPROC proc;
};

std::vector<Timer> timers;
UINT_PTR nextThreadTimerId = 1;

// Whether tick count now has reached due, across the 32-bit wrap.
bool reached(DWORD now, DWORD due) { return static_cast<int32_t>(now - due) >= 0; }

}  // namespace

namespace pl {

bool takeTimer(HWND filter, UINT first, UINT last, bool remove, MSG* out) {
  const DWORD now = GetTickCount();
  for (auto it = timers.begin(); it != timers.end();) {
    if (it->window && !findWindow(it->window)) {  // its window is gone
      it = timers.erase(it);
      continue;
    }
    if (reached(now, it->due) && messagePasses(filter, first, last, it->window, WM_TIMER)) {
      *out = MSG{};
      out->hwnd = it->window;
      out->message = WM_TIMER;
      out->wParam = it->id;
      out->lParam = reinterpret_cast<LPARAM>(it->proc);
      if (remove) it->due = now + it->period;
      return true;
    }
    ++it;
  }
  return false;
}

bool nextTimerDue(DWORD* due) {
  bool any = false;
  for (const Timer& t : timers) {
    if (t.window && !findWindow(t.window)) continue;
    if (!any || static_cast<int32_t>(t.due - *due) < 0) *due = t.due;
    any = true;
  }
  return any;
}

void forgetWindowTimers(HWND window) {
  std::erase_if(timers, [window](const Timer& t) { return t.window == window; });
}

void resetTimers() {
  timers.clear();
  nextThreadTimerId = 1;
}

}  // namespace pl

extern "C" UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  if (hWnd && !pl::findWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  const UINT period = uElapse == 0 ? 1 : uElapse;
  const DWORD due = GetTickCount() + period;
  if (hWnd) {
    // A window's timer is named by its id: setting it again restarts it.
    for (Timer& t : timers) {
      if (t.window == hWnd && t.id == nIDEvent) {
        t.period = period;
        t.due = due;
        t.proc = lpTimerFunc;
        return nIDEvent ? nIDEvent : 1;
      }
    }
    timers.push_back({hWnd, nIDEvent, period, due, lpTimerFunc});
    return nIDEvent ? nIDEvent : 1;
  }
  // Without a window the layer picks the id, unless an existing one is named.
  for (Timer& t : timers) {
    if (!t.window && nIDEvent && t.id == nIDEvent) {
      t.period = period;
      t.due = due;
      t.proc = lpTimerFunc;
      return nIDEvent;
    }
  }
  const UINT_PTR id = nextThreadTimerId++;
  timers.push_back({nullptr, id, period, due, lpTimerFunc});
  return id;
}

extern "C" BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  for (auto it = timers.begin(); it != timers.end(); ++it) {
    if (it->window == hWnd && it->id == uIDEvent) {
      timers.erase(it);
      return TRUE;
    }
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}
