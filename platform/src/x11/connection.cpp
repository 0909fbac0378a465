// The display connection: choosing it at start, reading its events without
// and with waiting, and closing it.
#include "x11.h"

#include "../display.h"
#include "../layer.h"

#include <platform_display.h>
#include <platform_test.h>

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace pl::x11 {
namespace {

std::unique_ptr<Connection> open;
std::chrono::steady_clock::time_point lastSync;

// How often loops that never wait bring the display up to date.
constexpr auto kSyncEvery = std::chrono::milliseconds(15);

// An X protocol error (a window the server already forgot, say) must not
// end the program: it is reported and the request counts as done.
int reportError(::Display* display, XErrorEvent* error) {
  char text[256] = {};
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "plumet: display error: %s (request %d)\n", text, error->request_code);
  return 0;
}

bool headlessAsked() {
  const char* value = std::getenv("PLUMET_HEADLESS");
  return value && *value && std::strcmp(value, "0") != 0;
}

// The image is put as 32-bit 0x00RRGGBB pixels, so the display must take
// those as they are: a true-colour visual of 24 or 32 bits.
bool suitable(::Display* display, int screen) {
  Visual* v = DefaultVisual(display, screen);
  const int depth = DefaultDepth(display, screen);
  return v->c_class == TrueColor && (depth == 24 || depth == 32) && v->red_mask == 0xFF0000 &&
         v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
}

void sync(Connection& c) {
  syncWindows(c);
  c.exposures = false;
  lastSync = std::chrono::steady_clock::now();
}

}  // namespace

Connection* connection() { return open.get(); }

}  // namespace pl::x11

namespace pl::display {

using x11::connection;

bool active() { return connection() != nullptr; }

void sync() {
  if (x11::Connection* c = connection()) x11::sync(*c);
}

void pump() {
  x11::Connection* c = connection();
  // Handling an event sends messages, whose procedures may peek at the
  // queue: the events they would read are already being read.
  if (!c || c->reading) return;
  c->reading = true;
  while (XPending(c->display) > 0) {
    XEvent event;
    XNextEvent(c->display, &event);
    x11::handleEvent(*c, event);
    c = connection();  // a procedure may have reset the layer
    if (!c) return;
  }
  c->reading = false;
  if (c->exposures) x11::sync(*c);
}

void idle() {
  x11::Connection* c = connection();
  if (c && std::chrono::steady_clock::now() - x11::lastSync >= x11::kSyncEvery) x11::sync(*c);
}

void readMouseState() {
  pump();
  idle();
}

void waitForInput(int timeoutMs) {
  x11::Connection* c = connection();
  if (!c) return;
  if (XPending(c->display) == 0) {
    XFlush(c->display);
    pollfd fd{ConnectionNumber(c->display), POLLIN, 0};
    poll(&fd, 1, timeoutMs);
  }
  pump();
}

void reset() {
  if (!x11::open) return;
  x11::Connection& c = *x11::open;
  x11::destroyWindows(c);
  x11::freeCursors(c);
  XCloseDisplay(c.display);
  x11::open.reset();
}

}  // namespace pl::display

bool plUseDisplayIfAvailable() {
  if (pl::x11::open) return true;
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name || pl::x11::headlessAsked()) return false;
  ::Display* display = XOpenDisplay(name);
  if (!display) {
    std::fprintf(stderr, "plumet: cannot open display \"%s\"; running headless\n", name);
    return false;
  }
  const int screen = DefaultScreen(display);
  if (!pl::x11::suitable(display, screen)) {
    std::fprintf(stderr, "plumet: display \"%s\" is not 24-bit true colour; running headless\n", name);
    XCloseDisplay(display);
    return false;
  }
  XSetErrorHandler(pl::x11::reportError);
  auto c = std::make_unique<pl::x11::Connection>();
  c->display = display;
  c->screen = screen;
  c->root = RootWindow(display, screen);
  c->visual = DefaultVisual(display, screen);
  c->depth = DefaultDepth(display, screen);
  c->wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
  c->wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  c->netWmName = XInternAtom(display, "_NET_WM_NAME", False);
  c->utf8String = XInternAtom(display, "UTF8_STRING", False);
  c->plumetHwnd = XInternAtom(display, "_PLUMET_HWND", False);
  pl::x11::open = std::move(c);
  // The screen the windows are placed on and the cursor moves over is the
  // display's; its dots per inch stay the layer's 96, so drawings measure
  // the same headless and on screen.
  plTestSetScreenSize(DisplayWidth(display, screen), DisplayHeight(display, screen));
  // The connection is closed when the program ends, with its windows.
  static const bool closeAtExit = std::atexit(pl::display::reset) == 0;
  (void)closeAtExit;
  return true;
}

bool plDisplayActive() { return pl::x11::open != nullptr; }
