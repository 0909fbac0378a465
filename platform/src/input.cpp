// Queued input: keys, typed characters and the mouse, as a test or scripted
// run feeds them. Each item is due at a time on the layer's clock
// (GetTickCount). When the clock reaches it, it takes effect: the key state
// and the cursor position follow it, and its message, made then for the
// window that is its target then (capture, focus, the window under the
// point), waits behind those of earlier input (posted messages still come
// first; queue.cpp). Polling loops that never take messages thus see the
// items one by one as the clock moves on (each read of the mouse state moves
// a manual clock by 1 ms; GetMessageA with nothing else to deliver moves it
// to the next item). TranslateMessage lives here too.
#include "classes.h"
#include "display.h"
#include "layer.h"
#include "window_table.h"

#include <platform_test.h>

#include <algorithm>
#include <deque>

namespace {

enum class Kind { Key, Char, Move, Button };

struct InputItem {
  Kind kind;
  int key;  // virtual key, or the mouse button's VK_ code
  bool down;
  char character;
  POINT at;   // screen coordinates for mouse items
  DWORD due;  // on the layer's clock
};

std::deque<InputItem> queued;
// The mouse buttons that queued items pressed and no queued item released
// yet (bit 0 left, 1 right, 2 middle).
unsigned pressedByInput = 0;
// Set while due items take effect: making their messages reads the key
// state, which would otherwise look for due items again.
bool delivering = false;

bool held(int key) { return pl::keyDown(key); }

// Whether tick count now has reached due, across the 32-bit wrap.
bool reached(DWORD now, DWORD due) { return static_cast<int32_t>(now - due) >= 0; }

unsigned buttonBit(int button) { return button == VK_RBUTTON ? 2u : button == VK_MBUTTON ? 4u : 1u; }

WPARAM mouseKeys() {
  WPARAM keys = 0;
  if (held(VK_LBUTTON)) keys |= MK_LBUTTON;
  if (held(VK_RBUTTON)) keys |= MK_RBUTTON;
  if (held(VK_MBUTTON)) keys |= MK_MBUTTON;
  if (held(VK_SHIFT)) keys |= MK_SHIFT;
  if (held(VK_CONTROL)) keys |= MK_CONTROL;
  return keys;
}

UINT buttonMessage(int button, bool down) {
  switch (button) {
    case VK_RBUTTON: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case VK_MBUTTON: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  }
}

// The message an item makes now. Mouse state flags are those after the item.
MSG messageFor(const InputItem& item) {
  MSG m{};
  switch (item.kind) {
    case Kind::Key: {
      m.hwnd = GetFocus() ? GetFocus() : pl::activeWindow();
      // Alt and F10 make system keys, as does any key while Alt is held
      // without Control.
      const bool alt = item.key == VK_MENU || item.key == VK_F10 || (held(VK_MENU) && !held(VK_CONTROL));
      m.message = item.down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
      m.wParam = static_cast<WPARAM>(item.key);
      DWORD flags = 1;  // repeat count
      if (alt && held(VK_MENU)) flags |= 1u << 29;
      if (!item.down) flags |= (1u << 30) | (1u << 31);
      else if (held(item.key)) flags |= 1u << 30;  // was already down
      m.lParam = static_cast<LPARAM>(flags);
      break;
    }
    case Kind::Char:
      m.hwnd = GetFocus() ? GetFocus() : pl::activeWindow();
      m.message = WM_CHAR;
      m.wParam = static_cast<WPARAM>(static_cast<unsigned char>(item.character));
      m.lParam = 1;
      break;
    case Kind::Move:
    case Kind::Button: {
      m.hwnd = GetCapture() ? GetCapture() : pl::windowAt(nullptr, item.at);
      m.message = item.kind == Kind::Move ? WM_MOUSEMOVE : buttonMessage(item.key, item.down);
      WPARAM keys = mouseKeys();
      if (item.kind == Kind::Button) {
        const WPARAM bit = item.key == VK_RBUTTON ? MK_RBUTTON : item.key == VK_MBUTTON ? MK_MBUTTON : MK_LBUTTON;
        keys = item.down ? (keys | bit) : (keys & ~bit);
      }
      m.wParam = keys;
      POINT client = item.at;
      if (m.hwnd) ScreenToClient(m.hwnd, &client);
      m.lParam = MAKELONG(static_cast<WORD>(client.x), static_cast<WORD>(client.y));
      break;
    }
  }
  return m;
}

// What the system does before a mouse message that no window captured: the
// window under the point says which part of it was hit (WM_NCHITTEST); a
// press on a window of an inactive top-level window activates it unless
// WM_MOUSEACTIVATE declines; the window picks the cursor (WM_SETCURSOR);
// and a hit outside the client area makes the WM_NC form of the message,
// with the hit code and the screen point. Answers false when the message
// is not to be delivered: the press was eaten, the window is gone, or the
// hit test sends the point through the window.
bool routeMouse(MSG& m, POINT screen, bool press) {
  const HWND target = m.hwnd;
  if (!target || GetCapture() || m.message < WM_MOUSEFIRST || m.message > WM_MOUSELAST) return target != nullptr;
  const LPARAM at = MAKELONG(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y));
  const auto hit = static_cast<int>(SendMessageA(target, WM_NCHITTEST, 0, at));
  if (!pl::findWindow(target) || hit == HTTRANSPARENT) return false;
  bool eat = false;
  if (press) {
    const HWND top = pl::topLevelOf(target);
    if (top && top != pl::activeWindow()) {
      const LRESULT how = SendMessageA(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                       MAKELONG(static_cast<WORD>(hit), static_cast<WORD>(m.message)));
      eat = how == MA_ACTIVATEANDEAT || how == MA_NOACTIVATEANDEAT;
      if (how != MA_NOACTIVATE && how != MA_NOACTIVATEANDEAT && pl::findWindow(top)) SetActiveWindow(top);
      if (!pl::findWindow(target)) return false;
    }
  }
  SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
               MAKELONG(static_cast<WORD>(hit), static_cast<WORD>(m.message)));
  if (eat || !pl::findWindow(target)) return false;
  if (hit != HTCLIENT) {
    m.message = m.message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    m.wParam = static_cast<WPARAM>(hit);
    m.lParam = at;
  }
  return true;
}

void apply(const InputItem& item) {
  switch (item.kind) {
    case Kind::Key:
    case Kind::Button:
      plTestSetKeyDown(item.key, item.down);
      if (item.kind == Kind::Button) pl::setCursorPosition(item.at);
      break;
    case Kind::Move:
      pl::setCursorPosition(item.at);
      break;
    case Kind::Char:
      break;
  }
}

// The character a key makes on a US layout with the current shift state;
// 0 when it makes none.
int characterOf(int key) {
  const bool shift = held(VK_SHIFT);
  const bool control = held(VK_CONTROL);
  if (key >= 'A' && key <= 'Z') {
    if (control) return key - 'A' + 1;
    const bool upper = shift != ((GetKeyState(VK_CAPITAL) & 1) != 0);
    return upper ? key : key - 'A' + 'a';
  }
  if (control) return key == VK_BACK ? 0x7F : key == VK_RETURN ? '\n' : 0;
  if (key >= '0' && key <= '9') return shift ? ")!@#$%^&*("[key - '0'] : key;
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return '0' + (key - VK_NUMPAD0);
  switch (key) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 0x1B;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case 0xBA: return shift ? ':' : ';';
    case 0xBB: return shift ? '+' : '=';
    case 0xBC: return shift ? '<' : ',';
    case 0xBD: return shift ? '_' : '-';
    case 0xBE: return shift ? '>' : '.';
    case 0xBF: return shift ? '?' : '/';
    case 0xC0: return shift ? '~' : '`';
    case 0xDB: return shift ? '{' : '[';
    case 0xDC: return shift ? '|' : '\\';
    case 0xDD: return shift ? '}' : ']';
    case 0xDE: return shift ? '"' : '\'';
    default: return 0;
  }
}

void enqueue(InputItem item, DWORD delay) {
  // A delay makes the clock the layer's own, so that runs are repeatable
  // and need not wait.
  if (delay) plTestAdvanceClock(0);
  const DWORD base = queued.empty() ? GetTickCount() : queued.back().due;
  item.due = base + delay;
  queued.push_back(item);
}

// Once the last item has taken effect, a button that queued input pressed
// and still holds is let go where the cursor stands, so that every loop
// waiting for the release ends.
void releaseHeldButtons(DWORD lastDue) {
  for (int button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) {
    if (!(pressedByInput & buttonBit(button))) continue;
    pressedByInput &= ~buttonBit(button);
    if (!held(button)) continue;
    plTestAdvanceClock(0);
    const POINT at = pl::cursorPosition();
    queued.push_back({Kind::Button, button, false, 0, at, lastDue + pl::kInputStep});
  }
}

}  // namespace

namespace pl {

HWND windowAt(HWND parent, POINT screen) {
  std::vector<HWND> candidates;
  if (!parent) {
    candidates = topLevelWindows();
  } else if (Window* p = findWindow(parent)) {
    candidates = p->children;
    std::sort(candidates.begin(), candidates.end(),
              [](HWND a, HWND b) { return findWindow(a)->zOrder > findWindow(b)->zOrder; });
  }
  for (HWND h : candidates) {
    Window* w = findWindow(h);
    if (!w || !(w->style & WS_VISIBLE) || (w->style & WS_DISABLED)) continue;
    // The whole window rectangle counts, its non-client area included.
    const POINT origin = windowOrigin(h);
    const LONG width = w->rect.right - w->rect.left;
    const LONG height = w->rect.bottom - w->rect.top;
    if (screen.x < origin.x || screen.y < origin.y || screen.x >= origin.x + width || screen.y >= origin.y + height)
      continue;
    HWND deeper = windowAt(h, screen);
    return deeper ? deeper : h;
  }
  return nullptr;
}

void deliverDueInput() {
  if (delivering) return;
  delivering = true;
  const DWORD now = GetTickCount();
  while (!queued.empty() && reached(now, queued.front().due)) {
    const InputItem item = queued.front();
    queued.pop_front();
    // The message carries the state from before the item (a key's
    // "was down" bit) and after it (the mouse flags), as messageFor says.
    MSG m = messageFor(item);
    const bool mouse = item.kind == Kind::Move || item.kind == Kind::Button;
    const bool deliver = !mouse || routeMouse(m, item.at, item.kind == Kind::Button && item.down);
    apply(item);
    if (item.kind == Kind::Button) {
      if (item.down) pressedByInput |= buttonBit(item.key);
      else pressedByInput &= ~buttonBit(item.key);
    }
    if (deliver) postInput(m);
    if (queued.empty()) releaseHeldButtons(item.due);
  }
  delivering = false;
}

bool nextInputDue(DWORD* due) {
  if (queued.empty()) return false;
  *due = queued.front().due;
  return true;
}

void mouseStateRead() {
  if (clockIsManual()) plTestAdvanceClock(1);
  deliverDueInput();
  // On a display, a loop polling the mouse must see the user's input too.
  display::readMouseState();
}

MSG displayInput(const DisplayInput& input) {
  // Queued items that are due come first: they happened before.
  deliverDueInput();
  MSG m{};
  if (input.kind == DisplayInput::Wheel) {
    m.hwnd = GetFocus() ? GetFocus() : activeWindow();
    m.message = WM_MOUSEWHEEL;
    m.wParam = static_cast<DWORD>(MAKELONG(static_cast<WORD>(mouseKeys()), static_cast<WORD>(static_cast<SHORT>(input.wheelDelta))));
    m.lParam = MAKELONG(static_cast<WORD>(input.at.x), static_cast<WORD>(input.at.y));
    setCursorPosition(input.at);
  } else {
    InputItem item{};
    item.key = input.key;
    item.down = input.down;
    item.at = input.at;
    item.due = GetTickCount();
    item.kind = input.kind == DisplayInput::Key ? Kind::Key : input.kind == DisplayInput::Move ? Kind::Move : Kind::Button;
    m = messageFor(item);
    const bool mouse = item.kind == Kind::Move || item.kind == Kind::Button;
    if (mouse && !routeMouse(m, item.at, item.kind == Kind::Button && item.down)) m.hwnd = nullptr;
    apply(item);
    // A second press soon after the first, near it, is a double click for
    // windows whose class asks for them, and always in the non-client area
    // (the DBLCLK message follows DOWN by 2).
    if (input.doubleClick && item.kind == Kind::Button && item.down && m.hwnd) {
      const pl::Window* w = pl::findWindow(m.hwnd);
      const pl::WindowClass* c = w ? pl::findClass(MAKEINTATOM(w->classAtom)) : nullptr;
      if (m.message < WM_MOUSEFIRST || (c && (c->style & CS_DBLCLKS))) m.message += 2;
    }
  }
  // Input outside every window of the program goes nowhere.
  if (m.hwnd) postInput(m);
  return m;
}

void resetInput() {
  queued.clear();
  pressedByInput = 0;
  delivering = false;
}

}  // namespace pl

extern "C" BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg) return FALSE;
  if (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN) {
    return lpMsg->message == WM_KEYUP || lpMsg->message == WM_SYSKEYUP;
  }
  const int c = characterOf(static_cast<int>(lpMsg->wParam));
  if (c) {
    // The character comes next, ahead of everything else waiting.
    const UINT message = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    pl::postFront(lpMsg->hwnd, message, static_cast<WPARAM>(c), lpMsg->lParam);
  }
  return TRUE;
}

void plTestQueueKey(int virtualKey, bool down, DWORD delay) {
  if (virtualKey <= 0 || virtualKey > 255) return;
  enqueue({Kind::Key, virtualKey, down, 0, {0, 0}, 0}, delay);
}

void plTestQueueChar(char character, DWORD delay) { enqueue({Kind::Char, 0, false, character, {0, 0}, 0}, delay); }

void plTestQueueText(const std::string& text, DWORD delay) {
  for (char c : text) plTestQueueChar(c, delay);
}

void plTestQueueMouseMove(int x, int y, DWORD delay) { enqueue({Kind::Move, 0, false, 0, {x, y}, 0}, delay); }

void plTestQueueMouseButton(int button, bool down, int x, int y, DWORD delay) {
  if (button != VK_LBUTTON && button != VK_RBUTTON && button != VK_MBUTTON) return;
  enqueue({Kind::Button, button, down, 0, {x, y}, 0}, delay);
}

size_t plTestQueuedInputCount() { return queued.size(); }
