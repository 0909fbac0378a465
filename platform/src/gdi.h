// The GDI's internal representation, shared by the gdi_*.cpp files of the
// layer: the object table (pens, brushes, bitmaps, regions, fonts, palettes
// and device contexts all live in one table of handles), pixel surfaces,
// device-context state, clipping and the call log. Not part of the public
// interface; only platform/src includes it.
//
// Pixels: every surface stores one uint32_t per pixel as 0x00RRGGBB, which is
// also the memory layout of a 32-bpp DIB (bytes B, G, R, 0). A 1-bpp surface
// uses the same storage but only ever holds 0x000000 (bit 0) or 0xFFFFFF
// (bit 1); toPixel() maps a colour into it (white when R+G+B >= 384).
//
// Coordinates: drawing calls take logical coordinates; toDevice() applies the
// window and viewport origins (MM_TEXT only). Clip rectangles are in device
// coordinates.
#ifndef PLUMET_PLATFORM_GDI_H
#define PLUMET_PLATFORM_GDI_H

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pl::gdi {

enum class Kind { Pen, Brush, Bitmap, Region, Font, Palette, Dc };

// Base of everything in the handle table.
struct Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  Kind kind;
  bool stock = false;  // stock objects are never deleted
  HGDIOBJ handle = nullptr;
};

// A pixel buffer. Rows may be stored bottom-up (a DIB section with a positive
// height); row(y) hides that. bits points at storage owned by the surface.
struct Surface {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 32;  // 1 or 32
  bool bottomUp = false;
  std::vector<uint32_t> storage;

  void resize(int w, int h, uint32_t fill);
  uint32_t* row(int y) { return storage.data() + static_cast<size_t>(bottomUp ? height - 1 - y : y) * width; }
  const uint32_t* row(int y) const {
    return storage.data() + static_cast<size_t>(bottomUp ? height - 1 - y : y) * width;
  }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint32_t get(int x, int y) const { return row(y)[x]; }
  void set(int x, int y, uint32_t p) { row(y)[x] = p; }
  bool mono() const { return bitsPerPixel == 1; }
};

struct Pen : Object {
  Pen() : Object(Kind::Pen) {}
  int style = PS_SOLID;  // PS_SOLID, PS_DOT (and other dashes drawn as dots), PS_NULL
  int width = 1;         // as created; <= 1 draws one pixel wide
  COLORREF color = 0;
};

struct Brush : Object {
  Brush() : Object(Kind::Brush) {}
  UINT style = BS_SOLID;  // BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN
  COLORREF color = 0;
  int hatch = 0;
  // BS_PATTERN: a copy of the pattern bitmap's pixels (a 1-bpp pattern holds
  // 0x000000/0xFFFFFF; 0 bits take the text colour, 1 bits the background
  // colour at drawing time). Aligned to the device origin plus brushOrg.
  std::shared_ptr<Surface> pattern;
};

struct Bitmap : Object {
  Bitmap() : Object(Kind::Bitmap) {}
  Surface surface;
  HDC selectedInto = nullptr;  // a bitmap is selected into one DC at most
  bool dibSection = false;     // surface.storage is the bits pointer handed out
};

// A region as disjoint rectangles (device or logical coordinates, as its
// owner says); empty rectangles are never stored.
struct Region : Object {
  Region() : Object(Kind::Region) {}
  std::vector<RECT> rects;
};

// A font as the program described it (the fields of LOGFONTA). The font code
// keeps whatever it renders with in cache.
struct Font : Object {
  Font() : Object(Kind::Font) {}
  int stockId = -1;  // GetStockObject index for stock fonts, else -1
  LONG height = 0;
  LONG width = 0;
  LONG escapement = 0;
  LONG orientation = 0;
  LONG weight = 400;
  BYTE italic = 0;
  BYTE underline = 0;
  BYTE strikeOut = 0;
  BYTE charSet = 0;
  BYTE outPrecision = 0;
  BYTE clipPrecision = 0;
  BYTE quality = 0;
  BYTE pitchAndFamily = 0;
  std::string faceName;
  std::shared_ptr<void> cache;
};

struct Palette : Object {
  Palette() : Object(Kind::Palette) {}
  std::vector<PALETTEENTRY> entries;
};

// What a printer device context prints on: the page in pixels, its
// resolution and colours (printer.cpp).
struct PrinterMode {
  int width = 850;  // pixels
  int height = 1100;
  int dpiX = 100;
  int dpiY = 100;
  bool mono = false;
};

// Device-context state. A window DC draws into its window's client buffer; a
// memory DC into its selected bitmap; a printer DC into its page.
struct Dc : Object {
  Dc() : Object(Kind::Dc) {}
  HWND window = nullptr;  // window DCs
  bool ownDc = false;     // the window's class has CS_OWNDC: the DC and its state outlive ReleaseDC
  bool released = true;   // a window DC that is not handed out
  bool memory = false;    // CreateCompatibleDC
  HBITMAP bitmap = nullptr;  // memory DCs: the selected bitmap (a private 1x1 mono at first)
  HBITMAP defaultBitmap = nullptr;
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  HPALETTE palette = nullptr;
  COLORREF textColor = 0x000000;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int polyFillMode = ALTERNATE;
  int mapMode = MM_TEXT;
  UINT textAlign = 0;  // TA_TOP | TA_LEFT
  POINT pos{0, 0};     // current position, logical
  POINT viewportOrg{0, 0};
  POINT windowOrg{0, 0};
  POINT brushOrg{0, 0};
  bool hasClip = false;
  std::vector<RECT> clip;  // the application clip region, device coordinates
  int dotPhase = 0;        // position in the dot pattern of a styled pen
  bool printer = false;    // CreateDCA / CreateICA of the printer
  bool infoOnly = false;   // CreateICA: answers GetDeviceCaps, draws nothing
  PrinterMode printerMode;
  Surface page;            // a printer DC's page (empty for an information context)
};

// ---- the handle table (gdi_objects.cpp) ----
// Adds an object under a fresh handle (never reused in a run) and answers it.
HGDIOBJ addObject(std::unique_ptr<Object> object);
Object* findObject(HGDIOBJ handle);
template <class T>
T* find(HGDIOBJ handle, Kind kind) {
  Object* o = findObject(handle);
  return o && o->kind == kind ? static_cast<T*>(o) : nullptr;
}
inline Dc* findDc(HDC dc) { return find<Dc>(reinterpret_cast<HGDIOBJ>(dc), Kind::Dc); }
inline Pen* findPen(HGDIOBJ h) { return find<Pen>(h, Kind::Pen); }
inline Brush* findBrush(HGDIOBJ h) { return find<Brush>(h, Kind::Brush); }
inline Bitmap* findBitmap(HGDIOBJ h) { return find<Bitmap>(h, Kind::Bitmap); }
inline Region* findRegion(HGDIOBJ h) { return find<Region>(h, Kind::Region); }
inline Font* findFont(HGDIOBJ h) { return find<Font>(h, Kind::Font); }
// Removes and frees an object (no checks).
void removeObject(HGDIOBJ handle);
// A stock object by GetStockObject index, or null.
HGDIOBJ stockObject(int index);
// GetObjectA for a font (the font code defines it; without it, 0).
int getFontObject(const Font& font, int size, void* out);

// ---- device contexts (gdi_dc.cpp) ----
// The surface a DC draws into (a window DC's buffer follows the window's
// client size), or null.
Surface* surfaceOf(Dc* dc);
// A device context drawing nowhere until set up (printer.cpp makes printer
// DCs with it).
HDC newDeviceDc();
// Called by DeleteDC before a printer DC goes: a job it left open is
// discarded (printer.cpp).
void printerDcDeleted(HDC dc);
// GetDeviceCaps and Escape for a printer DC (printer.cpp).
int printerDeviceCaps(const Dc& dc, int index);
int printerEscape(HDC dc, int escape, int inSize, const void* in, void* out);
// The client buffer of a window, created on first use, sized to the client
// area; null for an unknown window.
Surface* windowSurface(HWND window);
// Logical to device coordinates.
inline POINT toDevice(const Dc* dc, POINT p) {
  return POINT{p.x - dc->windowOrg.x + dc->viewportOrg.x, p.y - dc->windowOrg.y + dc->viewportOrg.y};
}
inline POINT toDevice(const Dc* dc, LONG x, LONG y) { return toDevice(dc, POINT{x, y}); }
// The rectangles drawing may touch, in device coordinates: the DC's clip
// region intersected with the surface (the whole surface without one).
std::vector<RECT> clipRects(Dc* dc, const Surface& surface);
// Whether a device point lies in the clip region and the surface.
bool clipContains(const std::vector<RECT>& clip, int x, int y);

// ---- colours and raster operations (gdi_raster.cpp) ----
// A COLORREF (top byte ignored) as a pixel of the surface.
uint32_t toPixel(COLORREF color, const Surface& surface);
uint32_t toPixel(COLORREF color, bool mono);
// A pixel as a COLORREF.
inline COLORREF toColorRef(uint32_t pixel) {
  return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}
// The binary raster operation rop2 (R2_BLACK .. R2_WHITE) on pen p, dest d.
uint32_t applyRop2(int rop2, uint32_t pen, uint32_t dest);

// A painter: puts pixels through the clip list and a ROP2.
struct Painter {
  Surface* surface = nullptr;
  std::vector<RECT> clip;
  int rop2 = R2_COPYPEN;
  // Prepares a painter for dc; false when the DC has no surface.
  bool begin(Dc* dc, bool useRop2);
  void plot(int x, int y, uint32_t pixel);
  // A horizontal run x0 <= x < x1 on row y.
  void span(int x0, int x1, int y, uint32_t pixel);
  // Fills a span with a brush (solid, hatched or pattern) of dc.
  void brushSpan(Dc* dc, const Brush& brush, int x0, int x1, int y);
};

// ---- regions (gdi_region.cpp) ----
RECT intersect(const RECT& a, const RECT& b);
bool isEmpty(const RECT& r);
// Rectangles of a minus b.
void subtract(const std::vector<RECT>& a, const RECT& b, std::vector<RECT>& out);
std::vector<RECT> intersectAll(const std::vector<RECT>& a, const std::vector<RECT>& b);
std::vector<RECT> unite(const std::vector<RECT>& a, const std::vector<RECT>& b);
RECT bounds(const std::vector<RECT>& rects);
// NULLREGION, SIMPLEREGION or COMPLEXREGION for a list of disjoint rectangles.
int regionKind(const std::vector<RECT>& rects);

// ---- the call log (gdi_log.cpp) ----
// Records one call with its integer arguments for plTestGdiCalls.
void logCall(const char* name, std::initializer_list<long long> args);

// ---- blits, pattern brushes, fonts, PNG (gdi_blit.cpp, gdi_pattern.cpp,
// gdi_font.cpp, png.cpp) ----
// The ternary raster operation whose truth table is code (bit 4P + 2S + D),
// applied to every colour bit of pattern p, source s and destination d.
uint32_t applyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d);
// The pixel a brush of dc gives at device point (x, y) on a surface (mono:
// 1-bpp); false for a null brush. Pattern brushes take the DC's text colour
// for 0 bits and its background colour for 1 bits, aligned to the device
// origin plus the brush origin; a hatch counts as its solid colour here.
bool brushPixel(const Dc& dc, const Brush& brush, int x, int y, bool mono, uint32_t* out);
// The cell metrics of a font (see gdi_font.cpp), or of the DC's font.
TEXTMETRICA fontMetrics(const Font& font);
TEXTMETRICA dcFontMetrics(Dc* dc);
// Writes a surface as an 8-bit RGB PNG file.
bool writePng(const std::string& path, const Surface& surface);

// Each file's part of the reset; resetGdi runs them all.
void resetObjects();
void resetDcs();
void resetLog();
void resetFonts();  // gdi_font.cpp: the enumerated font families
void resetGdi();

}  // namespace pl::gdi

#endif
