// The display side of the X11 tests: finding plumet's frame window on the
// display, reading its pixels, finding the document window's area in them
// and asking the frame to close, as a person at the display would.
#ifndef PLUMET_TESTS_X11_XFRAME_H
#define PLUMET_TESTS_X11_XFRAME_H

#include <windows.h>

#include <X11/Xlib.h>

#include <string>
#include <vector>

// Pixels as COLORREF (0x00bbggrr), rows top to bottom.
struct xfImage {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
};

// The display named by DISPLAY, or null with a message on standard error.
Display* xfOpen();

// The viewable top-level window whose WM_CLASS is ("plumet", "Plumet"),
// waited for up to timeoutMs; 0 with a message when none shows.
Window xfFindFrame(Display* display, int timeoutMs);

// The window's pixels (XGetImage of the whole window); false when the image
// cannot be read or the visual is not true colour.
bool xfGrab(Display* display, Window window, xfImage* out);

// Every offset at which the part equals the whole exactly.
std::vector<POINT> xfFind(const xfImage& whole, const xfImage& part);

// Grabs the window until the part is found in it at exactly one place (the
// program draws once it is idle), up to timeoutMs. Answers that place, or
// false with a message; the last image grabbed is left in shot.
bool xfLocate(Display* display, Window window, const xfImage& part, int timeoutMs, POINT* at, xfImage* shot);

// The frame's close box: WM_DELETE_WINDOW sent as the window manager would.
void xfClose(Display* display, Window window);

// Reads a PNG written by the platform layer; false with a message.
bool xfReadPng(const std::string& path, xfImage* out);

#endif
