// The X11 display backend's shared state; only platform/src/x11 includes
// this. The layer's windows stay its own: each top-level window gets an X
// window that shows the composed image of it and its children, and the X
// events come back as the layer's input.
#ifndef PLUMET_PLATFORM_X11_H
#define PLUMET_PLATFORM_X11_H

#include "../gdi.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <map>
#include <string>
#include <vector>

namespace pl::x11 {

// What the display shows of one top-level window.
struct Shown {
  ::Window xid = 0;
  GC gc = nullptr;
  RECT placed{};        // the layer rectangle last given to the X window
  std::string title;    // the text last given as its name
  bool mapped = false;
  bool reparented = false;  // a window manager framed it: its configure coordinates are not the screen's
  gdi::Surface image;       // the pixels last put on the display
  std::vector<RECT> exposed;  // parts the display lost and needs again
};

struct Connection {
  ::Display* display = nullptr;
  int screen = 0;
  ::Window root = 0;
  Visual* visual = nullptr;
  int depth = 0;
  Atom wmProtocols = 0;
  Atom wmDeleteWindow = 0;
  Atom netWmName = 0;
  Atom utf8String = 0;
  Atom plumetHwnd = 0;
  std::map<HWND, Shown> windows;
  HCURSOR cursorShown = nullptr;
  std::map<uintptr_t, ::Cursor> cursors;  // font cursors by system shape number
  bool reading = false;   // events are being turned into input (no re-entry)
  bool exposures = false;  // some window has exposed parts to send
  // The last press, for double clicks.
  int lastButton = 0;
  DWORD lastPressTime = 0;
  POINT lastPressAt{0, 0};
};

// The open connection, or null while headless.
Connection* connection();

// The top-level window an X window shows, or null.
HWND windowOf(::Window xid);

// Brings the X windows, their pixels and the cursor up to date (windows.cpp).
void syncWindows(Connection& c);
// Destroys every X window (on reset).
void destroyWindows(Connection& c);

// Turns one X event into the layer's input or window changes (events.cpp).
void handleEvent(Connection& c, XEvent& event);

// The X cursor for a system cursor handle; None for null or unknown
// handles, which shows the default (cursors.cpp).
::Cursor cursorFor(Connection& c, HCURSOR cursor);
void freeCursors(Connection& c);

// The virtual key of an X keysym (unshifted); 0 when unmapped (keymap.cpp).
int virtualKeyOf(KeySym keysym);

}  // namespace pl::x11

#endif
