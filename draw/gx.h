// The drawing layer's state: the one place that holds a device context.
// Everything draws into the current window of this layer with its current
// colour, pen, fill and draw mode. This header offers
// - the current window and device context, the window stack for devices
//   without a window (printers, pictures) and the device resolution;
// - the coordinate limits L1/L2 that the integer line routines clip by;
// - colour, pen, fill and draw-mode attributes and the pen cache;
// - the 16-level clip stack and the 12-level state stack;
// - the marker/pattern table and the text-bitmap cache (filled by the
//   primitives, freed here by gxTerm);
// - hook slots, start-up and release, and the mouse polling that tracking
//   loops use (with recorded positions that replay every 100 ms).
// The primitives that draw with this state are in draw/gxdraw.h; fonts,
// brushes and colours of the device are in draw/gdi.h.
#ifndef PLUMET_DRAW_GX_H
#define PLUMET_DRAW_GX_H

#include <windows.h>

#include <cstdint>

// The window that stands for the device context on top of the window stack.
#define gxWindowPushed ((HWND)(intptr_t)-1)

// One marker/pattern entry: hot spot, size, the monochrome device bitmap,
// the pattern brush made from it for colourIndex, and the inverted bit rows
// (rows padded to 16 bits, as given to the device).
struct gxPatternEntry {
  int32_t hotX, hotY;
  int32_t width, height;
  HBITMAP bitmap;
  HBRUSH brush;
  int32_t colorIndex;
  uint8_t* rows;        // uAlloc'ed; freed by gxTerm
};

// One cached text bitmap: the text (uAlloc'ed copy), its font, the bitmap
// size and baseline offset.
struct gxTextBitmap {
  char* text;           // uAlloc'ed; freed by gxTerm
  uint32_t length;
  uint16_t face, size;
  int32_t width, height, baseline;
  HBITMAP bitmap;
};

// The layer's global state. Read freely by the drawing routines of draw/;
// change attributes only through the setters below, which realise them on
// the device.
struct gxGlobals {
  HWND window;          // 0 none, gxWindowPushed, or a real window
  HDC dc;               // the current device context, 0 without one
  HDC blitDC;           // target of blits (gxSetBlitDC); 0 means dc

  int32_t penX, penY;   // integer pen position
  bool penInRange;      // the pen position lay within -L2..L2 both ways
  int32_t limit1;       // L1: inner coordinate limit
  int32_t limit2;       // L2: outer coordinate limit (starts at 10000)

  uint16_t color;       // colour index (default 0)
  uint16_t bgColor;     // background colour index (default 7)
  int16_t penWidth;     // device units (default 1); may be <= 0 (one pixel)
  uint16_t penStyle;    // 0 solid, 1-3 the dotted styles
  uint16_t fillKind;    // 0 white, 2 grey, 3 light grey, other black;
                        // 0x8000 | index: pattern entry
  uint32_t drawMode;    // 0 draw, 1 erase, 2 exclusive-or, 3 opaque
  COLORREF rgb;         // colour of the realised pen (for single pixels)

  int32_t scaleExp;     // 0..16: doublings of 75 dpi to reach the device
  float aspect;         // pixel aspect ratio and its reciprocal
  float aspectInv;
  bool lightBackground; // R+G+B of the window colour >= 384
  bool colorDevice;     // the screen has more than 2 colours
  HPEN gridPen;         // solid, width 1, window-text colour

  gxPatternEntry* patterns;      // marker and pattern table
  uint32_t patternCount;
  gxTextBitmap* textBitmaps;     // text-bitmap cache
  uint32_t textBitmapCount;
};
extern gxGlobals gx;

// Draw modes.
enum { gxModeDraw = 0, gxModeErase = 1, gxModeXor = 2, gxModeOpaque = 3 };

// Hook slots exchanged with gxSwapSlot; slot 1 is the segment hook that
// gxSegment calls instead of drawing: void (*)(int draw, const double pt[2]).
enum { gxSlotCount = 8, gxSlotSegment = 1 };
typedef void (*gxSegmentHook)(int draw, const double point[2]);

// ---- Windows and devices -------------------------------------------------

// Makes a window current (0 none, gxWindowPushed the pushed device context)
// and answers the previous one. A real window's DC is held (GetDC) only
// while it is current. The pen, raster operation, background mode and fill
// are applied to the new DC.
HWND gxSetWindow(HWND window);
HWND gxGetWindow();
void gxGetWindowDC(HWND* window, HDC* dc);

// Pushes a device context with its resolution (pixels per inch x and y; y is
// stored negated) and output rectangle, makes it current (window -1) and
// sets the scale exponent from |resolution[0]|. rect may be null.
void gxWindowPush(HDC dc, const double resolution[2], const RECT* rect);
// Pops it: the previous window becomes current, the exponent returns.
void gxWindowPop();
// The number of pushed frames.
uint32_t gxWindowDepth();

// Records a destroyed window (up to 32); when current, window 0 becomes
// current.
void gxForgetWindow(HWND window);
// 0: the screen rectangle; gxWindowPushed: unchanged; else the window's
// rectangle in screen coordinates.
void gxGetWindowRect(HWND window, RECT* rect);
// Client to screen coordinates of the current window (unchanged for 0/-1).
void gxClientToScreen(POINT* point);

// Resolution of the current device: x dpi, -(y dpi), (x - y) / 2.
void gxGetDpi(double out[3]);
// Pixel aspect ratio; 0 derives it from gxGetDpi.
void gxSetAspect(double ratio);
// L1/L2 from the largest absolute coordinate of rect.
void gxSetCoordLimits(const RECT* rect);
// Sets the blit target and answers the previous drawing device context.
HDC gxSetBlitDC(HDC dc);

// ---- Attributes ----------------------------------------------------------

void gxSetColor(int index);
void gxSetColorInv(int index);   // 0 and 7 exchanged while inverted
int gxGetColor();
void gxSetPenWidth(int width);
void gxSetPenWidth16(int width16);  // 1/16 units, rounded half away from 0
void gxSetPenStyle(int style);
void gxSetDrawMode(int mode);       // unknown modes are stored as 0
void gxSetFill(int kind);
void gxSetPatternFill(int index);
void gxResetAttrs();
// 0 colour, 1 background colour, 2 draw mode, 3 pen width, 4 pen style;
// answers 0, or -8193 for another number (value unchanged).
int gxGetAttr(int which, int32_t* value);
// The colour-override count: while it is above 0, objects drawn keep the
// colour current when their drawing starts, so that a composite drawn in
// one colour draws its members in that colour. Raise and lower answer the
// new count; lowering stops at 0. gxTerm sets it back to 0.
int gxColorOverrideRaise();
int gxColorOverrideLower();
int gxColorOverrideCount();
// Stores a word in a hook slot and answers the old one; gxGetSlot reads.
intptr_t gxSwapSlot(int index, intptr_t value);
intptr_t gxGetSlot(int index);

// Realises the pen from the current colour, width, style and draw mode
// (through the pen cache), sets the text colour and selects the pen.
void gxRealizePen();
// The brush of a fill kind (stock brush, or the pattern entry's brush made
// for the current colour).
HBRUSH gxFillBrush(int kind);
// The RGB a colour index has on the current device (the window colour in
// draw mode 1, white in draw mode 2).
COLORREF gxDrawRGB(int index);
// Number of cached pens.
uint32_t gxPenCacheCount();

// ---- Clip and state stacks -----------------------------------------------

void gxClipPush();
void gxClipPop();
void gxSetClip(const RECT* rect);
void gxClipBox(RECT* rect);
int gxClipLevel();

// A saved clip: the box and the window (five words).
struct gxClipSave {
  RECT box;
  HWND window;
};
void gxSwapClip(const gxClipSave* next, gxClipSave* saved);

struct gxStateRec {
  HWND window;
  int16_t penWidth;
  uint16_t fillKind;
  uint32_t drawMode;
  uint8_t color;
  uint8_t bgColor;
  uint16_t penStyle;
};
void gxStateGet(gxStateRec* rec);
void gxStatePush();
void gxStatePop();
int gxStateLevel();

// ---- Initialisation and release ------------------------------------------

// Start-up: aspect ratio, light-background and colour-device flags, grid pen.
void gxInit();
// Deselects from the current DC and deletes the pattern table, the cached
// text bitmaps, the cached pens and the grid pen; the state returns to its
// start values.
void gxTerm();

// ---- Mouse ---------------------------------------------------------------

int gxPollMouse(POINT* point);
int gxMouseButtonDown();
int gxGetMouse(POINT* point);
void gxRecordMouse(int count, const POINT* points);
uint32_t gxTicks60();

#endif
