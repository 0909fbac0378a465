// GetSystemMetrics over a fixed table of frame and control sizes, the
// screen size (settable by tests), and GetVersion.
#include "layer.h"

#include <platform_test.h>

namespace {

constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;
int width = kDefaultWidth;
int height = kDefaultHeight;

constexpr int kCaption = 23;

}  // namespace

namespace pl {
int screenWidth() { return width; }
int screenHeight() { return height; }
void resetMetrics() {
  width = kDefaultWidth;
  height = kDefaultHeight;
}
}  // namespace pl

void plTestSetScreenSize(int w, int h) {
  if (w > 0 && h > 0) {
    width = w;
    height = h;
  }
}

extern "C" int WINAPI GetSystemMetrics(int nIndex) {
  switch (nIndex) {
    case SM_CXSCREEN: return width;
    case SM_CYSCREEN: return height;
    case SM_CXFULLSCREEN: return width;
    case SM_CYFULLSCREEN: return height - kCaption;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL:
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return kCaption;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 20;
    case SM_CXSIZE: case SM_CYSIZE: return 22;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_MOUSEPRESENT: return 1;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_DEBUG: case SM_SWAPBUTTON: case SM_DBCSENABLED: return 0;
    default: return 0;
  }
}

// The longest gap between the presses of a double click, in milliseconds.
extern "C" UINT WINAPI GetDoubleClickTime(void) { return 500; }

// The dialog base units of the system font: 8 pixels across (low word) and
// 16 down (high word); a dialog unit is a quarter of the first and an eighth
// of the second.
extern "C" LONG WINAPI GetDialogBaseUnits(void) { return MAKELONG(8, 16); }

// Version 6.2 of the NT family: the high bit is clear.
extern "C" DWORD WINAPI GetVersion(void) { return 0x23F00206; }
