// The window procedure of the script windows. A first stage does the
// platform chores (painting set-up, activation, capture); then the message
// is offered, as message 220, to each object attached to the window until
// one handles it; a second stage finishes what the first began (EndPaint,
// focus, WM_DESTROY) and picks the default processing.
#include "ui/wind.h"

#include "core/classes.h"
#include "core/debug.h"
#include "fe/exec.h"
#include "ui/alertstate.h"
#include "ui/app.h"
#include "ui/event.h"
#include "ui/wind_internal.h"

#include <cstring>

using windInternal::captureLock;

namespace {

uint32_t nesting;  // window-procedure calls in their first stage
windPaintHook paintHook;

// One call of the procedure.
struct docCall {
  HWND window;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  windRecord* rec;
  bool handled = false;
  LRESULT result = 0;
  PAINTSTRUCT paint{};
  bool nestingHeld = false;

  void leaveNesting() {
    if (nestingHeld) --nesting;
    nestingHeld = false;
  }
};

enum class stage { offer, byDefault, done };

bool isDocClass(HWND window) {
  char name[32];
  return GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, windClassOf(windKindDoc)->className) == 0;
}

// The default processing: document windows are MDI children.
LRESULT byDefault(const docCall& c) {
  if (isDocClass(c.window)) return DefMDIChildProcA(c.window, c.msg, c.wParam, c.lParam);
  return DefWindowProcA(c.window, c.msg, c.wParam, c.lParam);
}

// Aims drawing at the window and records its client rectangle as the clip.
void takeClient(docCall& c) {
  const windDrawHooks& h = windInternal::drawHooks();
  if (h.setWindow != nullptr) h.setWindow(c.window);
  GetClientRect(c.window, &c.rec->client);
  if (h.setClip != nullptr) h.setClip(&c.rec->client);
}

void setActive(windRecord* rec, bool active) {
  if (rec == nullptr) return;
  if (active) rec->flags |= windActive;
  else rec->flags &= static_cast<uint8_t>(~windActive);
}

stage activation(docCall& c, bool active) {
  if (active && GetFocus() != c.window) SetFocus(c.window);
  setActive(c.rec, active);
  return stage::offer;
}

stage firstStage(docCall& c) {
  windRecord* rec = c.rec;
  switch (c.msg) {
    case WM_CREATE:
      if (isDocClass(c.window)) {
        // The record is stored by windCreate once the MDI creation returns.
        SetWindowLongPtrA(c.window, 0, 0);
        PostMessageA(uiGetFrameWindow(0), WM_QUERYNEWPALETTE, 0, 0);
      } else if (auto* cs = reinterpret_cast<CREATESTRUCTA*>(c.lParam)) {
        SetWindowLongPtrA(c.window, 0, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      }
      return stage::offer;
    case WM_ACTIVATE:
      return activation(c, LOWORD(c.wParam) != WA_INACTIVE);
    case appMsgActivateChild:
      return activation(c, c.wParam != 0);
    case WM_MDIACTIVATE:
      if (rec != nullptr) takeClient(c);
      c.result = DefMDIChildProcA(c.window, c.msg, c.wParam, c.lParam);
      return activation(c, reinterpret_cast<HWND>(c.lParam) == c.window);
    case WM_PAINT:
      if (rec != nullptr) takeClient(c);
      if (rec != nullptr && rec->kind == windKindDoc && paintHook != nullptr) paintHook();
      BeginPaint(c.window, &c.paint);
      if (rec != nullptr) {
        rec->update = c.paint.rcPaint;
        rec->painting = 1;
      }
      return stage::offer;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(c.window, &client);
      WNDCLASSA wc{};
      char name[32];
      HBRUSH brush = nullptr;
      if (GetClassNameA(c.window, name, sizeof name) > 0 && GetClassInfoA(appInstance(), name, &wc))
        brush = wc.hbrBackground;
      if (brush == nullptr && windInternal::drawHooks().backgroundBrush != nullptr)
        brush = windInternal::drawHooks().backgroundBrush();
      if (brush != nullptr) FillRect(reinterpret_cast<HDC>(c.wParam), &client, brush);
      c.result = 1;
      return stage::done;
    }
    case WM_SETCURSOR:
      if (rec != nullptr && !(rec->flags & windActive) && captureLock == 0) return stage::byDefault;
      return stage::offer;
    case WM_MOUSEMOVE: {
      // Moves that piled up are delivered as one, at the last position.
      MSG later;
      while (PeekMessageA(&later, c.window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
        c.wParam = later.wParam;
        c.lParam = later.lParam;
      }
      if (rec != nullptr && !(rec->flags & windKeepsMouse) && !(rec->flags & windActive) && captureLock == 0)
        return stage::byDefault;
      return stage::offer;
    }
    case WM_LBUTTONDOWN:
      if (rec != nullptr && captureLock == 0) SetCapture(c.window);
      return stage::offer;
    case WM_WINDOWPOSCHANGING:
    case WM_NCHITTEST:
    case WM_NCPAINT:
    case WM_NCMOUSEMOVE:
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
      return stage::byDefault;
    default:
      return stage::offer;
  }
}

// Message 220 to each attached object in slot order until one answers. The
// array is read again at every step: a handler may attach or detach users.
void offer(docCall& c) {
  c.leaveNesting();
  if (windInternal::drawHooks().setWindow != nullptr) windInternal::drawHooks().setWindow(c.window);
  windRecord* rec = c.rec;
  if (rec == nullptr || c.handled) return;
  for (uint32_t i = 0; i < rec->userCount; ++i) {
    void* user = rec->users[i];
    if (user == nullptr) continue;
    int answer = objMeth(*static_cast<uint16_t*>(user), windMsgMessage, user, static_cast<intptr_t>(c.msg),
                         static_cast<intptr_t>(c.wParam), static_cast<intptr_t>(c.lParam));
    // A class that does not know the message has not handled it.
    if (answer != 0 && answer != objNotHandled && answer != objBadClass) {
      c.handled = true;
      c.result = answer;
      return;
    }
  }
}

stage focus(docCall& c, bool active) {
  if (active && GetFocus() != c.window) SetFocus(c.window);
  if (active && c.rec != nullptr && (c.rec->flags & windKeepsMouse)) {
    SetCapture(c.window);
    captureLock = 1;
  }
  return c.handled ? stage::done : stage::byDefault;
}

stage secondStage(docCall& c) {
  windRecord* rec = c.rec;
  switch (c.msg) {
    case WM_MDIACTIVATE:
      c.handled = true;  // DefMDIChildProc has had it
      return focus(c, reinterpret_cast<HWND>(c.lParam) == c.window);
    case appMsgActivateChild:
      return focus(c, c.wParam != 0);
    case WM_ACTIVATE:
      return focus(c, LOWORD(c.wParam) != WA_INACTIVE);
    case WM_DESTROYCLIPBOARD:
      feExecString("aObjScratchReset");
      c.result = 0;
      return stage::done;
    case WM_LBUTTONUP:
      if (captureLock == 0) ReleaseCapture();
      break;
    case WM_MOUSEMOVE:
      return c.handled ? stage::done : stage::byDefault;
    case WM_MENUSELECT:
      if (rec != nullptr && (rec->flags & windKeepsMouse)) ReleaseCapture();
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      if (c.handled) return stage::done;
      c.result = SendMessageA(GetParent(c.window), c.msg, c.wParam, c.lParam);
      return stage::done;
    case WM_DESTROY: {
      if (c.handled) return stage::done;
      if (rec != nullptr) {
        if ((rec->flags & windKeepsMouse) && GetCapture() == c.window) ReleaseCapture();
        rec->flags |= windGone;
        SetWindowLongPtrA(c.window, 0, 0);
        rec->native = nullptr;
      }
      const windDrawHooks& h = windInternal::drawHooks();
      if (h.forgetWindow != nullptr) h.forgetWindow(c.window);
      return stage::byDefault;
    }
    case WM_PAINT:
      EndPaint(c.window, &c.paint);
      if (rec != nullptr) rec->painting = 0;
      c.result = 0;
      return stage::done;
    case WM_QUERYENDSESSION:
      if (!c.handled) return stage::byDefault;
      uAlert(132, "I^{PROG} is still active", nullptr);
      c.result = 0;
      return stage::done;
    case WM_SHOWWINDOW:
      if (!c.wParam && GetCapture() == c.window) ReleaseCapture();
      break;
    case WM_SETCURSOR:
      return c.handled ? stage::done : stage::byDefault;
    default:
      break;
  }
  return c.handled ? stage::done : stage::byDefault;
}

LRESULT serve(docCall& c) {
  stage s = stage::offer;
  if (!(isDocClass(c.window) && uiAlertActive())) {
    ++nesting;
    c.nestingHeld = true;
    s = firstStage(c);
    if (s == stage::offer) {
      offer(c);
      s = secondStage(c);
    }
    c.leaveNesting();
  } else {
    s = stage::byDefault;
  }
  return s == stage::byDefault ? byDefault(c) : c.result;
}

}  // namespace

windPaintHook windSetPaintHook(windPaintHook hook) {
  windPaintHook previous = paintHook;
  paintHook = hook;
  return previous;
}

LRESULT CALLBACK windDocProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CAPTURECHANGED) return 0;
  if (msg == WM_SYSCOLORCHANGE) return 1;
  docCall c{window, msg, wParam, lParam, nullptr};
  windFromHwnd(window, &c.rec);
  // The reference held for the call keeps the record alive while a handler
  // closes the window; the last release happens here.
  if (c.rec != nullptr) windInternal::retainRecord(c.rec);
  eventRecord(msg, static_cast<uint32_t>(lParam));
  const windDrawHooks& h = windInternal::drawHooks();
  HWND previousTarget = h.currentWindow != nullptr ? h.currentWindow() : nullptr;
  LRESULT result = serve(c);
  if (c.rec != nullptr) windRelease(c.rec);
  if (h.setWindow != nullptr && previousTarget != nullptr && previousTarget != window && IsWindow(previousTarget))
    h.setWindow(previousTarget);
  return result;
}
