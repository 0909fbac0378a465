// The keyboard and mouse-button state that GetKeyState and GetAsyncKeyState
// read. Headless, only tests and scripted input change it; both readers
// first let queued input that is due take effect.
#include "layer.h"

#include <platform_test.h>

#include <array>

namespace {

struct KeyState {
  bool down = false;
  bool toggled = false;  // flips on every press, as Caps Lock does
};

std::array<KeyState, 256> keys;

bool validKey(int key) { return key >= 0 && key < static_cast<int>(keys.size()); }

}  // namespace

extern "C" SHORT WINAPI GetKeyState(int nVirtKey) {
  pl::deliverDueInput();
  if (!validKey(nVirtKey)) return 0;
  const KeyState& k = keys[static_cast<size_t>(nVirtKey)];
  // High bit: the key is down; low bit: the key is toggled.
  return static_cast<SHORT>((k.down ? 0x8000 : 0) | (k.toggled ? 1 : 0));
}

extern "C" SHORT WINAPI GetAsyncKeyState(int vKey) {
  // A loop polling a mouse button lets time pass on a manual clock, so that
  // queued input reaches it.
  if (vKey == VK_LBUTTON || vKey == VK_RBUTTON || vKey == VK_MBUTTON) pl::mouseStateRead();
  else pl::deliverDueInput();
  if (!validKey(vKey)) return 0;
  return static_cast<SHORT>(keys[static_cast<size_t>(vKey)].down ? 0x8000 : 0);
}

void plTestSetKeyDown(int virtualKey, bool down) {
  if (!validKey(virtualKey)) return;
  KeyState& k = keys[static_cast<size_t>(virtualKey)];
  if (down && !k.down) k.toggled = !k.toggled;
  k.down = down;
}

namespace pl {
bool keyDown(int virtualKey) { return validKey(virtualKey) && keys[static_cast<size_t>(virtualKey)].down; }
void resetKeys() { keys.fill(KeyState{}); }
}  // namespace pl
