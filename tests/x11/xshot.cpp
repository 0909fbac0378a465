// xshot: the screenshot half of the display test. Waits for plumet's frame
// on the display named by DISPLAY, takes its image (XGetImage) until the
// headless rendering of the document window (a PNG written by ferun --png)
// is found in it, exactly, at one place; then closes the frame as its
// close box would.
//
//   xshot REFERENCE.png SHOT.png
//
// Prints where the document window's client area lies in the frame. The
// last image taken is written to SHOT.png either way, for a look after a
// failure. Exit status 0 when found, 1 when not, 2 for bad arguments or no
// display.
#include "xframe.h"

#include <platform_test.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: xshot REFERENCE.png SHOT.png\n");
    return 2;
  }
  xfImage reference;
  if (!xfReadPng(argv[1], &reference)) return 2;
  Display* display = xfOpen();
  if (!display) return 2;
  const Window frame = xfFindFrame(display, 30000);
  if (!frame) {
    XCloseDisplay(display);
    return 1;
  }
  POINT at{};
  xfImage shot;
  const bool found = xfLocate(display, frame, reference, 20000, &at, &shot);
  if (!shot.pixels.empty()) plTestWritePng(argv[2], shot.width, shot.height, shot.pixels);
  if (found) std::printf("document window at %ld %ld, %dx%d\n", long(at.x), long(at.y), reference.width,
                         reference.height);
  xfClose(display, frame);
  XCloseDisplay(display);
  return found ? 0 : 1;
}
