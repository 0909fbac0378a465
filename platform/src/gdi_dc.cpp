// Device contexts: window DCs on the client buffers (one kept DC per window
// of a CS_OWNDC class, whose state survives ReleaseDC), memory DCs, object
// selection, the per-DC attributes and the device capabilities.
#include "classes.h"
#include "gdi.h"
#include "window_table.h"

#include <algorithm>
#include <map>

namespace pl::gdi {
namespace {

std::map<HWND, Surface> windowSurfaces;
std::map<HWND, HDC> ownDcs;

// Headless screen metrics: exactly 96 dots per inch both ways.
constexpr int kScreenWidthPx = 1920;
constexpr int kScreenHeightPx = 960;
constexpr int kScreenWidthMm = 508;
constexpr int kScreenHeightMm = 254;
constexpr int kDpi = 96;

HDC newDc(HWND window, bool memory) {
  auto dc = std::make_unique<Dc>();
  dc->window = window;
  dc->memory = memory;
  dc->pen = static_cast<HPEN>(stockObject(BLACK_PEN));
  dc->brush = static_cast<HBRUSH>(stockObject(WHITE_BRUSH));
  dc->font = static_cast<HFONT>(stockObject(SYSTEM_FONT));
  dc->palette = static_cast<HPALETTE>(stockObject(DEFAULT_PALETTE));
  Dc* raw = dc.get();
  HDC h = static_cast<HDC>(addObject(std::move(dc)));
  if (memory) {
    auto mono = std::make_unique<Bitmap>();
    mono->surface.bitsPerPixel = 1;
    mono->surface.resize(1, 1, 0);
    mono->selectedInto = h;
    raw->bitmap = raw->defaultBitmap = static_cast<HBITMAP>(addObject(std::move(mono)));
  }
  return h;
}

// Frees a DC: its bitmap goes back to being selectable, its private bitmap goes.
void destroyDc(HDC h) {
  Dc* dc = findDc(h);
  if (!dc) return;
  if (Bitmap* b = findBitmap(dc->bitmap)) b->selectedInto = nullptr;
  HBITMAP own = dc->defaultBitmap;
  removeObject(h);
  if (own) removeObject(own);
}

}  // namespace

Surface* windowSurface(HWND window) {
  Window* w = findWindow(window);
  if (!w) {
    windowSurfaces.erase(window);
    return nullptr;
  }
  const int width = std::max(0, static_cast<int>(w->client.right - w->client.left));
  const int height = std::max(0, static_cast<int>(w->client.bottom - w->client.top));
  Surface& s = windowSurfaces[window];
  if (s.width != width || s.height != height) s.resize(width, height, 0xFFFFFF);
  return &s;
}

HDC newDeviceDc() { return newDc(nullptr, false); }

Surface* surfaceOf(Dc* dc) {
  if (!dc) return nullptr;
  if (dc->printer) return dc->infoOnly ? nullptr : &dc->page;
  if (dc->memory) {
    Bitmap* b = findBitmap(dc->bitmap);
    return b ? &b->surface : nullptr;
  }
  return dc->window ? windowSurface(dc->window) : nullptr;
}

std::vector<RECT> clipRects(Dc* dc, const Surface& surface) {
  const RECT whole{0, 0, surface.width, surface.height};
  if (!dc->hasClip) return isEmpty(whole) ? std::vector<RECT>{} : std::vector<RECT>{whole};
  return intersectAll(dc->clip, {whole});
}

bool clipContains(const std::vector<RECT>& clip, int x, int y) {
  for (const RECT& r : clip)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

void resetDcs() {
  windowSurfaces.clear();
  ownDcs.clear();
}

}  // namespace pl::gdi

using namespace pl::gdi;

extern "C" HDC WINAPI GetDC(HWND hWnd) {
  if (!hWnd) return newDc(nullptr, false);  // the screen: measures, draws nothing
  pl::Window* w = pl::findWindow(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  pl::WindowClass* cls = pl::findClass(MAKEINTATOM(w->classAtom));
  if (cls && (cls->style & CS_OWNDC)) {
    auto it = ownDcs.find(hWnd);
    if (it != ownDcs.end() && findDc(it->second)) {
      findDc(it->second)->released = false;
      return it->second;
    }
    HDC h = newDc(hWnd, false);
    findDc(h)->ownDc = true;
    findDc(h)->released = false;
    ownDcs[hWnd] = h;
    return h;
  }
  HDC h = newDc(hWnd, false);
  findDc(h)->released = false;
  return h;
}

extern "C" int WINAPI ReleaseDC(HWND, HDC hDC) {
  Dc* dc = findDc(hDC);
  if (!dc || dc->memory || dc->printer) return 0;  // those go with DeleteDC
  if (dc->ownDc) {
    dc->released = true;
    return 1;
  }
  destroyDc(hDC);
  return 1;
}

extern "C" HWND WINAPI WindowFromDC(HDC hDC) {
  Dc* dc = findDc(hDC);
  return dc ? dc->window : nullptr;
}

extern "C" HDC WINAPI CreateCompatibleDC(HDC) { return newDc(nullptr, true); }

extern "C" BOOL WINAPI DeleteDC(HDC hdc) {
  Dc* dc = findDc(hdc);
  if (!dc) return FALSE;
  if (dc->ownDc) ownDcs.erase(dc->window);
  if (dc->printer) printerDcDeleted(hdc);
  destroyDc(hdc);
  return TRUE;
}

extern "C" HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  Dc* dc = findDc(hdc);
  Object* o = findObject(h);
  if (!dc || !o) return nullptr;
  HGDIOBJ previous = nullptr;
  switch (o->kind) {
    case Kind::Pen:
      previous = dc->pen;
      dc->pen = static_cast<HPEN>(h);
      break;
    case Kind::Brush:
      previous = dc->brush;
      dc->brush = static_cast<HBRUSH>(h);
      break;
    case Kind::Font:
      previous = dc->font;
      dc->font = static_cast<HFONT>(h);
      break;
    case Kind::Bitmap: {
      auto* b = static_cast<Bitmap*>(o);
      if (!dc->memory) return nullptr;
      if (b->selectedInto && b->selectedInto != hdc) return nullptr;
      if (Bitmap* old = findBitmap(dc->bitmap)) old->selectedInto = nullptr;
      previous = dc->bitmap;
      dc->bitmap = static_cast<HBITMAP>(h);
      b->selectedInto = hdc;
      break;
    }
    case Kind::Region: {
      const int kind = SelectClipRgn(hdc, static_cast<HRGN>(h));
      return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(kind));
    }
    default: return nullptr;
  }
  return previous;
}

extern "C" HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
  Dc* dc = findDc(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->pen;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_FONT: return dc->font;
    case OBJ_BITMAP: return dc->bitmap;
    case OBJ_PAL: return dc->palette;
    default: return nullptr;
  }
}

// Setters answer the previous value, or the failure value for a bad DC.
template <class T, class V>
static T swapState(HDC hdc, T Dc::*field, V value, T failure) {
  Dc* dc = findDc(hdc);
  if (!dc) return failure;
  T previous = dc->*field;
  dc->*field = static_cast<T>(value);
  return previous;
}
template <class T>
static T readState(HDC hdc, T Dc::*field, T failure) {
  Dc* dc = findDc(hdc);
  return dc ? dc->*field : failure;
}

extern "C" int WINAPI SetROP2(HDC hdc, int rop2) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return swapState(hdc, &Dc::rop2, rop2, 0);
}
extern "C" int WINAPI GetROP2(HDC hdc) { return readState(hdc, &Dc::rop2, 0); }
extern "C" int WINAPI SetBkMode(HDC hdc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return swapState(hdc, &Dc::bkMode, mode, 0);
}
extern "C" int WINAPI GetBkMode(HDC hdc) { return readState(hdc, &Dc::bkMode, 0); }
extern "C" COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  return swapState(hdc, &Dc::bkColor, color, static_cast<COLORREF>(CLR_INVALID));
}
extern "C" COLORREF WINAPI GetBkColor(HDC hdc) { return readState(hdc, &Dc::bkColor, static_cast<COLORREF>(CLR_INVALID)); }
extern "C" COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  return swapState(hdc, &Dc::textColor, color, static_cast<COLORREF>(CLR_INVALID));
}
extern "C" COLORREF WINAPI GetTextColor(HDC hdc) {
  return readState(hdc, &Dc::textColor, static_cast<COLORREF>(CLR_INVALID));
}
extern "C" int WINAPI SetPolyFillMode(HDC hdc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return swapState(hdc, &Dc::polyFillMode, mode, 0);
}
extern "C" int WINAPI GetPolyFillMode(HDC hdc) { return readState(hdc, &Dc::polyFillMode, 0); }
extern "C" int WINAPI GetMapMode(HDC hdc) { return readState(hdc, &Dc::mapMode, 0); }
extern "C" int WINAPI SetMapMode(HDC hdc, int iMode) {
  if (iMode != MM_TEXT) return 0;  // only MM_TEXT is drawn
  return swapState(hdc, &Dc::mapMode, iMode, 0);
}

static BOOL setPoint(HDC hdc, POINT Dc::*field, int x, int y, LPPOINT previous) {
  Dc* dc = findDc(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->*field;
  dc->*field = POINT{x, y};
  return TRUE;
}
static BOOL getPoint(HDC hdc, POINT Dc::*field, LPPOINT out) {
  Dc* dc = findDc(hdc);
  if (!dc || !out) return FALSE;
  *out = dc->*field;
  return TRUE;
}

extern "C" BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return setPoint(hdc, &Dc::viewportOrg, x, y, lppt);
}
extern "C" BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return setPoint(hdc, &Dc::windowOrg, x, y, lppt);
}
extern "C" BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return setPoint(hdc, &Dc::brushOrg, x, y, lppt);
}
extern "C" BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppoint) { return getPoint(hdc, &Dc::viewportOrg, lppoint); }
extern "C" BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT lppoint) { return getPoint(hdc, &Dc::windowOrg, lppoint); }
extern "C" BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt) { return getPoint(hdc, &Dc::pos, lppt); }

extern "C" int WINAPI GetDeviceCaps(HDC hdc, int index) {
  Dc* dc = findDc(hdc);
  if (!dc) return 0;
  if (dc->printer) return printerDeviceCaps(*dc, index);
  int bpp = 32;
  if (dc->memory) {
    Bitmap* b = findBitmap(dc->bitmap);
    bpp = b ? b->surface.bitsPerPixel : 1;
  }
  switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return kScreenWidthMm;
    case VERTSIZE: return kScreenHeightMm;
    case HORZRES: return kScreenWidthPx;
    case VERTRES: return kScreenHeightPx;
    case BITSPIXEL: return bpp;
    case PLANES: return 1;
    case NUMCOLORS: return bpp == 1 ? 2 : -1;
    case LOGPIXELSX:
    case LOGPIXELSY: return kDpi;
    default: return 0;
  }
}

extern "C" int WINAPI Escape(HDC hdc, int iEscape, int cjIn, LPCSTR pvIn, LPVOID pvOut) {
  Dc* dc = findDc(hdc);
  if (!dc) return 0;
  if (dc->printer) return printerEscape(hdc, iEscape, cjIn, pvIn, pvOut);
  return iEscape == SET_CLIP_BOX ? 1 : 0;  // accepted and ignored
}
