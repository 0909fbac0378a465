// X keysyms to the virtual-key codes the program's key messages carry. The
// keysym is the key's unshifted symbol, so letters map to their capital
// codes and shifted punctuation to the key it is on; the characters come
// from TranslateMessage, as with queued input.
#include "x11.h"

#include <platform_test.h>

#include <X11/keysym.h>

namespace pl::x11 {

int virtualKeyOf(KeySym k) {
  if (k >= XK_a && k <= XK_z) return static_cast<int>('A' + (k - XK_a));
  if (k >= XK_A && k <= XK_Z) return static_cast<int>('A' + (k - XK_A));
  if (k >= XK_0 && k <= XK_9) return static_cast<int>('0' + (k - XK_0));
  if (k >= XK_F1 && k <= XK_F12) return static_cast<int>(VK_F1 + (k - XK_F1));
  if (k >= XK_KP_0 && k <= XK_KP_9) return static_cast<int>(VK_NUMPAD0 + (k - XK_KP_0));
  switch (k) {
    case XK_Return: case XK_KP_Enter: return VK_RETURN;
    case XK_Escape: return VK_ESCAPE;
    case XK_Tab: case XK_ISO_Left_Tab: return VK_TAB;
    case XK_BackSpace: return VK_BACK;
    case XK_space: case XK_KP_Space: return VK_SPACE;
    case XK_Delete: case XK_KP_Delete: return VK_DELETE;
    case XK_Insert: case XK_KP_Insert: return VK_INSERT;
    case XK_Home: case XK_KP_Home: return VK_HOME;
    case XK_End: case XK_KP_End: return VK_END;
    case XK_Prior: case XK_KP_Prior: return VK_PRIOR;
    case XK_Next: case XK_KP_Next: return VK_NEXT;
    case XK_Left: case XK_KP_Left: return VK_LEFT;
    case XK_Up: case XK_KP_Up: return VK_UP;
    case XK_Right: case XK_KP_Right: return VK_RIGHT;
    case XK_Down: case XK_KP_Down: return VK_DOWN;
    case XK_Shift_L: case XK_Shift_R: return VK_SHIFT;
    case XK_Control_L: case XK_Control_R: return VK_CONTROL;
    case XK_Alt_L: case XK_Alt_R: case XK_Meta_L: case XK_Meta_R: return VK_MENU;
    case XK_Caps_Lock: return VK_CAPITAL;
    case XK_Num_Lock: return VK_NUMLOCK;
    case XK_Scroll_Lock: return VK_SCROLL;
    case XK_Pause: return VK_PAUSE;
    case XK_Print: return VK_SNAPSHOT;
    case XK_KP_Multiply: return VK_MULTIPLY;
    case XK_KP_Add: return VK_ADD;
    case XK_KP_Subtract: return VK_SUBTRACT;
    case XK_KP_Decimal: return VK_DECIMAL;
    case XK_KP_Divide: return VK_DIVIDE;
    case XK_KP_Separator: return VK_SEPARATOR;
    // The punctuation keys of a US layout, by the codes their keys carry.
    case XK_semicolon: return 0xBA;
    case XK_equal: return 0xBB;
    case XK_comma: return 0xBC;
    case XK_minus: return 0xBD;
    case XK_period: return 0xBE;
    case XK_slash: return 0xBF;
    case XK_grave: return 0xC0;
    case XK_bracketleft: return 0xDB;
    case XK_backslash: return 0xDC;
    case XK_bracketright: return 0xDD;
    case XK_apostrophe: return 0xDE;
    default: return 0;
  }
}

}  // namespace pl::x11

int plTestVirtualKeyOfKeysym(unsigned long keysym) { return pl::x11::virtualKeyOf(static_cast<KeySym>(keysym)); }
