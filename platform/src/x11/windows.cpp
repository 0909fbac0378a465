// X windows for the layer's top-level windows: made, placed, named, mapped
// and destroyed to follow the layer, and given the pixels of the composed
// image that changed since they were last put.
#include "x11.h"

#include "../compose.h"
#include "../layer.h"
#include "../window_table.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <bit>
#include <set>

namespace pl::x11 {
namespace {

LONG widthOf(const RECT& r) { return std::max<LONG>(1, r.right - r.left); }
LONG heightOf(const RECT& r) { return std::max<LONG>(1, r.bottom - r.top); }

// Window text is single-byte (Latin-1); _NET_WM_NAME is UTF-8.
std::string utf8Of(const std::string& text) {
  std::string out;
  for (unsigned char ch : text) {
    if (ch < 0x80) {
      out += static_cast<char>(ch);
    } else {
      out += static_cast<char>(0xC0 | (ch >> 6));
      out += static_cast<char>(0x80 | (ch & 0x3F));
    }
  }
  return out;
}

void setTitle(Connection& c, Shown& s, const std::string& text) {
  XStoreName(c.display, s.xid, text.c_str());
  const std::string utf8 = utf8Of(text);
  XChangeProperty(c.display, s.xid, c.netWmName, c.utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
  s.title = text;
}

// Tells a window manager where the program placed the window and how big.
void setPlacementHints(Connection& c, Shown& s, const RECT& r) {
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = USPosition | USSize;
  hints->x = r.left;
  hints->y = r.top;
  hints->width = widthOf(r);
  hints->height = heightOf(r);
  XSetWMNormalHints(c.display, s.xid, hints);
  XFree(hints);
}

Shown make(Connection& c, HWND hwnd, const Window& w) {
  Shown s;
  XSetWindowAttributes attributes{};
  // No background: the window's own pixels cover it, without a flash of
  // another colour between an exposure and the repaint.
  attributes.background_pixmap = None;
  attributes.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                          PointerMotionMask | EnterWindowMask | LeaveWindowMask | FocusChangeMask |
                          StructureNotifyMask;
  s.xid = XCreateWindow(c.display, c.root, w.rect.left, w.rect.top, static_cast<unsigned>(widthOf(w.rect)),
                        static_cast<unsigned>(heightOf(w.rect)), 0, c.depth, InputOutput, c.visual,
                        CWBackPixmap | CWEventMask, &attributes);
  s.gc = XCreateGC(c.display, s.xid, 0, nullptr);
  s.placed = w.rect;
  setPlacementHints(c, s, w.rect);
  Atom protocols[] = {c.wmDeleteWindow};
  XSetWMProtocols(c.display, s.xid, protocols, 1);
  XClassHint* classHint = XAllocClassHint();
  if (classHint) {
    char name[] = "plumet";
    char className[] = "Plumet";
    classHint->res_name = name;
    classHint->res_class = className;
    XSetClassHint(c.display, s.xid, classHint);
    XFree(classHint);
  }
  XWMHints* wmHints = XAllocWMHints();
  if (wmHints) {
    wmHints->flags = InputHint;
    wmHints->input = True;
    XSetWMHints(c.display, s.xid, wmHints);
    XFree(wmHints);
  }
  const long handle = static_cast<long>(reinterpret_cast<uintptr_t>(hwnd));
  XChangeProperty(c.display, s.xid, c.plumetHwnd, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&handle), 1);
  if (auto it = c.windows.find(w.owner); it != c.windows.end()) XSetTransientForHint(c.display, s.xid, it->second.xid);
  setTitle(c, s, w.text);
  XDefineCursor(c.display, s.xid, cursorFor(c, c.cursorShown));
  return s;
}

void put(Connection& c, Shown& s, const RECT& r) {
  const RECT part = gdi::intersect(r, RECT{0, 0, s.image.width, s.image.height});
  if (gdi::isEmpty(part)) return;
  XImage* image = XCreateImage(c.display, c.visual, static_cast<unsigned>(c.depth), ZPixmap, 0,
                               reinterpret_cast<char*>(s.image.storage.data()), static_cast<unsigned>(s.image.width),
                               static_cast<unsigned>(s.image.height), 32, s.image.width * 4);
  if (!image) return;
  // The pixels are 32-bit words in this machine's byte order; Xlib swaps
  // them for a server of the other order.
  image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  XPutImage(c.display, s.xid, s.gc, image, part.left, part.top, part.left, part.top,
            static_cast<unsigned>(part.right - part.left), static_cast<unsigned>(part.bottom - part.top));
  image->data = nullptr;  // the pixels belong to the surface
  XDestroyImage(image);
}

// The bands of rows where fresh differs from old, each as wide as the
// differences in it; everything when the sizes differ.
std::vector<RECT> changedParts(const gdi::Surface& old, const gdi::Surface& fresh) {
  if (old.width != fresh.width || old.height != fresh.height) return {RECT{0, 0, fresh.width, fresh.height}};
  std::vector<RECT> parts;
  bool open = false;
  RECT band{};
  for (int y = 0; y < fresh.height; ++y) {
    const uint32_t* a = old.row(y);
    const uint32_t* b = fresh.row(y);
    int first = 0;
    while (first < fresh.width && a[first] == b[first]) ++first;
    if (first == fresh.width) {
      if (open) parts.push_back(band);
      open = false;
      continue;
    }
    int last = fresh.width - 1;
    while (a[last] == b[last]) --last;
    if (!open) band = RECT{first, y, last + 1, y + 1};
    band.left = std::min<LONG>(band.left, first);
    band.right = std::max<LONG>(band.right, last + 1);
    band.bottom = y + 1;
    open = true;
  }
  if (open) parts.push_back(band);
  return parts;
}

void update(Connection& c, HWND hwnd, Shown& s) {
  Window* w = findWindow(hwnd);
  if (!w) return;
  const RECT r = w->rect;
  if (r.left != s.placed.left || r.top != s.placed.top || r.right != s.placed.right || r.bottom != s.placed.bottom) {
    setPlacementHints(c, s, r);
    XMoveResizeWindow(c.display, s.xid, r.left, r.top, static_cast<unsigned>(widthOf(r)),
                      static_cast<unsigned>(heightOf(r)));
    s.placed = r;
  }
  if (w->text != s.title) setTitle(c, s, w->text);
  const bool show = (w->style & WS_VISIBLE) && !(w->style & WS_MINIMIZE);
  if (show != s.mapped) {
    if (show) {
      XMapRaised(c.display, s.xid);
      s.image = gdi::Surface{};  // everything is sent again
    } else {
      XUnmapWindow(c.display, s.xid);
    }
    s.mapped = show;
  }
  if (!s.mapped) {
    s.exposed.clear();
    return;
  }
  gdi::Surface fresh;
  composeWindow(hwnd, fresh);
  std::vector<RECT> parts = changedParts(s.image, fresh);
  s.image = std::move(fresh);
  for (const RECT& part : parts) put(c, s, part);
  for (const RECT& part : s.exposed) put(c, s, part);
  s.exposed.clear();
}

}  // namespace

HWND windowOf(::Window xid) {
  Connection* c = connection();
  if (!c) return nullptr;
  for (auto& [hwnd, s] : c->windows)
    if (s.xid == xid) return findWindow(hwnd) ? hwnd : nullptr;
  return nullptr;
}

void syncWindows(Connection& c) {
  const std::vector<HWND> tops = topLevelWindows();
  const std::set<HWND> live(tops.begin(), tops.end());
  for (auto it = c.windows.begin(); it != c.windows.end();) {
    if (live.count(it->first)) {
      ++it;
      continue;
    }
    XFreeGC(c.display, it->second.gc);
    XDestroyWindow(c.display, it->second.xid);
    it = c.windows.erase(it);
  }
  // Lowest first, so that an owner (below what it owns) usually has its X
  // window by the time an owned window names it.
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    HWND hwnd = *it;
    Window* w = findWindow(hwnd);
    if (!w) continue;
    auto found = c.windows.find(hwnd);
    if (found == c.windows.end()) found = c.windows.emplace(hwnd, make(c, hwnd, *w)).first;
    update(c, hwnd, found->second);
  }
  const HCURSOR cursor = GetCursor();
  if (cursor != c.cursorShown) {
    const ::Cursor shape = cursorFor(c, cursor);
    for (auto& [hwnd, s] : c.windows) XDefineCursor(c.display, s.xid, shape);
    c.cursorShown = cursor;
  }
  XFlush(c.display);
}

void destroyWindows(Connection& c) {
  for (auto& [hwnd, s] : c.windows) {
    XFreeGC(c.display, s.gc);
    XDestroyWindow(c.display, s.xid);
  }
  c.windows.clear();
  XFlush(c.display);
}

}  // namespace pl::x11
