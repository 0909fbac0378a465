#include "xframe.h"

#include <platform_test.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

long long nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool isFrame(Display* display, Window window) {
  XClassHint hint{};
  if (!XGetClassHint(display, window, &hint)) return false;
  const bool ours = hint.res_name && hint.res_class && std::strcmp(hint.res_name, "plumet") == 0 &&
                    std::strcmp(hint.res_class, "Plumet") == 0;
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  if (!ours) return false;
  XWindowAttributes attributes{};
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Depth first from the root: with a window manager the frame is a
// grandchild of the root, without one a child.
Window search(Display* display, Window from, int depth) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, from, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i)
    if (isFrame(display, children[i])) found = children[i];
  for (unsigned i = 0; i < count && !found && depth > 0; ++i) found = search(display, children[i], depth - 1);
  if (children) XFree(children);
  return found;
}

// The shift that brings a channel's mask down to its lowest 8 bits.
int channelShift(unsigned long mask) {
  int shift = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

unsigned channel(unsigned long pixel, unsigned long mask) {
  const int shift = channelShift(mask);
  const unsigned long top = mask >> shift;
  const unsigned long value = (pixel & mask) >> shift;
  return top ? unsigned(value * 255 / top) : 0;
}

bool matchesAt(const xfImage& whole, const xfImage& part, int x, int y) {
  for (int row = 0; row < part.height; ++row) {
    const COLORREF* a = &whole.pixels[size_t(y + row) * whole.width + x];
    const COLORREF* b = &part.pixels[size_t(row) * part.width];
    if (std::memcmp(a, b, sizeof(COLORREF) * part.width) != 0) return false;
  }
  return true;
}

}  // namespace

Display* xfOpen() {
  const char* name = std::getenv("DISPLAY");
  Display* display = XOpenDisplay(name);
  if (!display) std::fprintf(stderr, "cannot open the display %s\n", name ? name : "(DISPLAY unset)");
  return display;
}

Window xfFindFrame(Display* display, int timeoutMs) {
  const long long end = nowMs() + timeoutMs;
  for (;;) {
    if (Window found = search(display, DefaultRootWindow(display), 2)) return found;
    if (nowMs() >= end) break;
    pause(100);
  }
  std::fprintf(stderr, "no window of class plumet appeared within %d ms\n", timeoutMs);
  return 0;
}

bool xfGrab(Display* display, Window window, xfImage* out) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  if (!attributes.visual || attributes.visual->c_class != TrueColor) {
    std::fprintf(stderr, "the frame's visual is not true colour\n");
    return false;
  }
  XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
                            AllPlanes, ZPixmap);
  if (!image) {
    std::fprintf(stderr, "XGetImage failed\n");
    return false;
  }
  const Visual* visual = attributes.visual;
  out->width = attributes.width;
  out->height = attributes.height;
  out->pixels.assign(size_t(out->width) * out->height, 0);
  for (int y = 0; y < out->height; ++y)
    for (int x = 0; x < out->width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      out->pixels[size_t(y) * out->width + x] = RGB(channel(pixel, visual->red_mask),
                                                    channel(pixel, visual->green_mask),
                                                    channel(pixel, visual->blue_mask));
    }
  XDestroyImage(image);
  return true;
}

std::vector<POINT> xfFind(const xfImage& whole, const xfImage& part) {
  std::vector<POINT> found;
  if (part.width <= 0 || part.height <= 0) return found;
  for (int y = 0; y + part.height <= whole.height; ++y)
    for (int x = 0; x + part.width <= whole.width; ++x)
      if (matchesAt(whole, part, x, y)) found.push_back(POINT{x, y});
  return found;
}

bool xfLocate(Display* display, Window window, const xfImage& part, int timeoutMs, POINT* at, xfImage* shot) {
  const long long end = nowMs() + timeoutMs;
  size_t lastCount = 0;
  for (;;) {
    if (xfGrab(display, window, shot)) {
      const std::vector<POINT> found = xfFind(*shot, part);
      lastCount = found.size();
      if (found.size() == 1) {
        *at = found.front();
        return true;
      }
    }
    if (nowMs() >= end) break;
    pause(250);
  }
  std::fprintf(stderr,
               "the document window's pixels (%dx%d) were found %zu times in the frame's (%dx%d) "
               "within %d ms; wanted once\n",
               part.width, part.height, lastCount, shot->width, shot->height, timeoutMs);
  return false;
}

void xfClose(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
}

bool xfReadPng(const std::string& path, xfImage* out) {
  if (plTestReadPng(path, &out->width, &out->height, &out->pixels) && out->width > 0 && out->height > 0) return true;
  std::fprintf(stderr, "cannot read %s\n", path.c_str());
  return false;
}
