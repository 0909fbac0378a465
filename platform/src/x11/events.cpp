// X events as the layer's input: the pointer and the keys go through the
// routing queued input uses (layer.h, displayInput), and the window
// manager's doings (close button, moves, sizes, focus, exposures) become the
// layer's own calls and messages.
#include "x11.h"

#include "../layer.h"
#include "../window_table.h"

#include <cstdlib>

namespace pl::x11 {
namespace {

// The layer's screen point of an event point in a top-level window: the
// window's rectangle stands for its place, wherever a window manager put
// the X window.
POINT screenPoint(HWND top, int x, int y) {
  const Window* w = findWindow(top);
  return w ? POINT{w->rect.left + x, w->rect.top + y} : POINT{x, y};
}

int buttonKey(unsigned int button) {
  switch (button) {
    case Button1: return VK_LBUTTON;
    case Button2: return VK_MBUTTON;
    case Button3: return VK_RBUTTON;
    default: return 0;
  }
}

// A press is a double click when it follows a press of the same button
// within the double-click time and the double-click rectangle; the press
// after a double click starts afresh.
bool isDoubleClick(Connection& c, int button, POINT at) {
  const DWORD now = GetTickCount();
  const bool near = std::abs(at.x - c.lastPressAt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                    std::abs(at.y - c.lastPressAt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  const bool twice = c.lastButton == button && now - c.lastPressTime <= GetDoubleClickTime() && near;
  c.lastButton = twice ? 0 : button;
  c.lastPressTime = now;
  c.lastPressAt = at;
  return twice;
}

// Moves the mouse; the window under it chooses the cursor as displayInput
// routes the move.
void movePointer(HWND top, int x, int y) {
  DisplayInput input;
  input.kind = DisplayInput::Move;
  input.at = screenPoint(top, x, y);
  displayInput(input);
}

void button(Connection& c, HWND top, const XButtonEvent& e, bool down) {
  const POINT at = screenPoint(top, e.x, e.y);
  if (e.button == Button4 || e.button == Button5) {
    // A wheel step is a press and a release; the press counts.
    if (!down) return;
    DisplayInput input;
    input.kind = DisplayInput::Wheel;
    input.wheelDelta = e.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA;
    input.at = at;
    displayInput(input);
    return;
  }
  const int key = buttonKey(e.button);
  if (!key) return;
  DisplayInput input;
  input.kind = DisplayInput::Button;
  input.key = key;
  input.down = down;
  input.at = at;
  input.doubleClick = down && isDoubleClick(c, key, at);
  displayInput(input);
}

void key(XKeyEvent& e, bool down) {
  const int vk = virtualKeyOf(XLookupKeysym(&e, 0));
  if (!vk) return;
  DisplayInput input;
  input.kind = DisplayInput::Key;
  input.key = vk;
  input.down = down;
  displayInput(input);
}

// The window manager moved or sized the window: the layer follows through
// SetWindowPos, which sends WM_MOVE and WM_SIZE. A size or place equal to
// the one the layer gave is its own request coming back.
void configured(Connection& c, HWND top, const XConfigureEvent& e) {
  Shown& s = c.windows[top];
  const Window* w = findWindow(top);
  if (!w) return;
  const RECT r = w->rect;
  const int width = e.width;
  const int height = e.height;
  if (width != r.right - r.left || height != r.bottom - r.top) {
    if (width != s.placed.right - s.placed.left || height != s.placed.bottom - s.placed.top) {
      s.placed.right = s.placed.left + width;
      s.placed.bottom = s.placed.top + height;
      SetWindowPos(top, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  // Only a synthetic event, or one from a window no manager framed, gives
  // screen coordinates.
  if (!e.send_event && s.reparented) return;
  w = findWindow(top);
  if (!w || (e.x == w->rect.left && e.y == w->rect.top)) return;
  if (e.x != s.placed.left || e.y != s.placed.top) {
    OffsetRect(&s.placed, e.x - s.placed.left, e.y - s.placed.top);
    SetWindowPos(top, nullptr, e.x, e.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

void handleEvent(Connection& c, XEvent& event) {
  if (event.type == MappingNotify) {
    XRefreshKeyboardMapping(&event.xmapping);
    return;
  }
  const HWND top = windowOf(event.xany.window);
  if (!top) return;
  switch (event.type) {
    case Expose: {
      // The layer keeps every window's pixels, so what the display lost is
      // sent again from the image last put; nothing needs repainting.
      const XExposeEvent& e = event.xexpose;
      c.windows[top].exposed.push_back(RECT{e.x, e.y, e.x + e.width, e.y + e.height});
      c.exposures = true;
      break;
    }
    case ClientMessage:
      if (event.xclient.message_type == c.wmProtocols &&
          static_cast<Atom>(event.xclient.data.l[0]) == c.wmDeleteWindow)
        PostMessageA(top, WM_CLOSE, 0, 0);
      break;
    case ConfigureNotify:
      configured(c, top, event.xconfigure);
      break;
    case ReparentNotify:
      c.windows[top].reparented = event.xreparent.parent != c.root;
      break;
    case MotionNotify:
      movePointer(top, event.xmotion.x, event.xmotion.y);
      break;
    case EnterNotify:
      movePointer(top, event.xcrossing.x, event.xcrossing.y);
      break;
    case ButtonPress:
    case ButtonRelease:
      button(c, top, event.xbutton, event.type == ButtonPress);
      break;
    case KeyPress:
    case KeyRelease:
      key(event.xkey, event.type == KeyPress);
      break;
    case FocusIn:
      // The window manager gave the program's window the keyboard: it
      // becomes the active window (which keeps its focus window when it
      // already was).
      if (event.xfocus.mode != NotifyGrab && event.xfocus.mode != NotifyUngrab && GetActiveWindow() != top)
        SetActiveWindow(top);
      break;
    default:
      break;
  }
}

}  // namespace pl::x11
