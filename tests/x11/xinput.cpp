// xinput: the input half of the display test, through the XTEST extension.
//
//   xinput press REFERENCE.png X Y KEYSYM...
//       waits for plumet's frame on the display named by DISPLAY, finds the
//       document window in it by its headless rendering (REFERENCE.png, as
//       xshot does), moves the pointer to client pixel (X, Y) of the
//       document window, presses and releases button 1 there, then presses
//       and releases the key of each KEYSYM in turn (names such as "a" or
//       "Return").
//   xinput close
//       closes the frame as its close box would.
//
// Exit status 0 when done, 1 when the window or the document window was not
// found, 2 for bad arguments, no display or no XTEST.
#include "xframe.h"

#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

void settle(Display* display) {
  XSync(display, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

int press(Display* display, Window frame, const char* referencePath, int x, int y, char** keyNames, int keyCount) {
  xfImage reference, shot;
  if (!xfReadPng(referencePath, &reference)) return 2;
  std::vector<KeyCode> keycodes;
  for (int i = 0; i < keyCount; ++i) {
    const KeySym keysym = XStringToKeysym(keyNames[i]);
    const KeyCode keycode = keysym == NoSymbol ? 0 : XKeysymToKeycode(display, keysym);
    if (keycode == 0) {
      std::fprintf(stderr, "no key for %s\n", keyNames[i]);
      return 2;
    }
    keycodes.push_back(keycode);
  }
  POINT at{};
  if (!xfLocate(display, frame, reference, 20000, &at, &shot)) return 1;
  // The frame's pixel (0, 0) on the screen.
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(display, frame, DefaultRootWindow(display), 0, 0, &rootX, &rootY, &child);
  const int screen = DefaultScreen(display);
  XTestFakeMotionEvent(display, screen, rootX + at.x + x, rootY + at.y + y, CurrentTime);
  settle(display);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  settle(display);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  settle(display);
  for (const KeyCode keycode : keycodes) {
    XTestFakeKeyEvent(display, keycode, True, CurrentTime);
    settle(display);
    XTestFakeKeyEvent(display, keycode, False, CurrentTime);
    settle(display);
  }
  std::printf("pressed at %d %d of the document window, at %ld %ld in the frame\n", x, y, long(at.x),
              long(at.y));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool pressing = argc >= 6 && std::strcmp(argv[1], "press") == 0;
  const bool closing = argc == 2 && std::strcmp(argv[1], "close") == 0;
  if (!pressing && !closing) {
    std::fprintf(stderr, "usage: xinput press REFERENCE.png X Y KEYSYM... | xinput close\n");
    return 2;
  }
  Display* display = xfOpen();
  if (!display) return 2;
  int status = 1;
  int event = 0, error = 0, major = 0, minor = 0;
  if (pressing && !XTestQueryExtension(display, &event, &error, &major, &minor)) {
    std::fprintf(stderr, "the display has no XTEST extension\n");
    status = 2;
  } else if (const Window frame = xfFindFrame(display, 30000)) {
    if (pressing) {
      status = press(display, frame, argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argv + 5, argc - 5);
    } else {
      xfClose(display, frame);
      status = 0;
    }
  }
  XCloseDisplay(display);
  return status;
}
