// The drawing layer's attributes: colour, pen width and style, fill, draw
// mode, their realisation on the device context and the pen cache.
#include "core/alloc.h"
#include "draw/gdi.h"
#include "draw/gx.h"
#include "draw/gx_internal.h"

namespace {

struct penEntry {
  COLORREF rgb;
  int32_t width;
  uint16_t dotted;
  HPEN pen;
};

penEntry* pens = nullptr;
uint32_t penCount = 0;

intptr_t slots[gxSlotCount];
int colorOverride;   // see gxColorOverrideRaise

const COLORREF white = RGB(255, 255, 255);

HPEN cachedPen(COLORREF rgb, int32_t width, uint16_t dotted) {
  for (uint32_t i = 0; i < penCount; i++)
    if (pens[i].rgb == rgb && pens[i].width == width && pens[i].dotted == dotted) return pens[i].pen;
  HPEN pen = CreatePen(dotted ? PS_DOT : PS_SOLID, width, rgb);
  if (!pen) return nullptr;
  uAlloc(&pens, &penCount, penCount + 1, sizeof(penEntry));
  pens[penCount - 1] = penEntry{rgb, width, dotted, pen};
  return pen;
}

// Raster operation and background mode of the draw mode. Exclusive-or
// draws over a black background colour; the other modes put back the
// device's default white so that opaque text and dotted pens do not keep
// the black of an earlier exclusive-or pass.
void applyDrawMode() {
  if (!gx.dc) return;
  SetROP2(gx.dc, gx.drawMode == gxModeXor ? R2_XORPEN : R2_COPYPEN);
  SetBkMode(gx.dc, gx.drawMode == gxModeOpaque ? OPAQUE : TRANSPARENT);
  SetBkColor(gx.dc, gx.drawMode == gxModeXor ? RGB(0, 0, 0) : white);
}

HBRUSH stockBrush(int kind) {
  switch (kind) {
    case 0: return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    case 2: return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    case 3: return static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    default: return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  }
}

// The pattern entry's brush, remade when it was made for another colour.
// The new brush is selected before the old one is deleted.
HBRUSH patternBrush(uint32_t index) {
  if (!gx.patternCount) return stockBrush(1);
  if (index >= gx.patternCount) index = 0;
  gxPatternEntry& e = gx.patterns[index];
  if (e.brush && e.colorIndex == gx.color) return e.brush;
  HBRUSH old = e.brush;
  e.brush = CreatePatternBrush(e.bitmap);
  e.colorIndex = gx.color;
  if (old) {
    if (gx.dc) SelectObject(gx.dc, e.brush ? e.brush : stockBrush(1));
    DeleteObject(old);
  }
  return e.brush ? e.brush : stockBrush(1);
}

void selectFill() {
  HBRUSH brush = gxFillBrush(gx.fillKind);
  if (gx.dc) SelectObject(gx.dc, brush);
}

}  // namespace

COLORREF gxDrawRGB(int index) {
  if (gx.drawMode == gxModeErase) return GetSysColor(COLOR_WINDOW);
  if (gx.drawMode == gxModeXor) return white;
  return gdiColorRGB(gx.dc, index);
}

void gxRealizePen() {
  // A negative width -w asks for w pixels whatever the view's scale (the pen
  // table's screen widths); the device takes its magnitude.
  int32_t width = gx.penWidth < 0 ? -int32_t(gx.penWidth) : gx.penWidth;
  uint16_t dotted = 0;
  if (gx.penStyle >= 1 && gx.penStyle <= 3) {
    width = 1;
    dotted = 1;
  }
  if (gx.drawMode == gxModeXor && gx.dc) SetBkColor(gx.dc, RGB(0, 0, 0));
  const COLORREF rgb = gxDrawRGB(gx.color);
  HPEN pen = cachedPen(rgb, width, dotted);
  gx.rgb = rgb;
  if (gx.dc) {
    SetTextColor(gx.dc, rgb);
    if (pen) SelectObject(gx.dc, pen);
  }
}

uint32_t gxPenCacheCount() { return penCount; }

HBRUSH gxFillBrush(int kind) {
  if (kind & 0x8000) return patternBrush(kind & 0x7FFF);
  return stockBrush(kind);
}

void gxApplyToDevice() {
  applyDrawMode();
  gxRealizePen();
  selectFill();
}

void gxSetColor(int index) {
  const uint16_t color = static_cast<uint16_t>(index);
  if (color != gx.color) {
    gx.color = color;
    gxRealizePen();
  }
  selectFill();  // a pattern fill takes the new colour
}

void gxSetColorInv(int index) {
  if (gdiColorInverted()) {
    if (index == 0)
      index = 7;
    else if (index == 7)
      index = 0;
  }
  gxSetColor(index);
}

int gxGetColor() { return gx.color; }

void gxSetPenWidth(int width) {
  const int16_t w = static_cast<int16_t>(width);
  if (w == gx.penWidth) return;
  gx.penWidth = w;
  gxRealizePen();
}

void gxSetPenWidth16(int width16) {
  gxSetPenWidth(width16 >= 0 ? (width16 + 8) / 16 : (width16 - 8) / 16);
}

void gxSetPenStyle(int style) {
  gx.penStyle = static_cast<uint16_t>(style);
  gxRealizePen();
}

void gxSetDrawMode(int mode) {
  gx.drawMode = mode >= gxModeDraw && mode <= gxModeOpaque ? static_cast<uint32_t>(mode) : uint32_t{gxModeDraw};
  applyDrawMode();
  gxRealizePen();
}

void gxSetFill(int kind) {
  gx.fillKind = static_cast<uint16_t>(kind);
  selectFill();
}

void gxSetPatternFill(int index) {
  if (index < 0 || static_cast<uint32_t>(index) >= gx.patternCount) index = 0;
  gx.fillKind = static_cast<uint16_t>(index | 0x8000);
  selectFill();
}

void gxResetAttrs() {
  gx.color = 0;
  gx.bgColor = 7;
  gx.penStyle = 0;
  gx.penWidth = 1;
  if (gx.drawMode != gxModeDraw) {
    gx.drawMode = gxModeDraw;
    applyDrawMode();
  }
  if (gx.fillKind != 0) {
    gx.fillKind = 0;
    selectFill();
  }
  gxRealizePen();
}

int gxGetAttr(int which, int32_t* value) {
  int32_t v;
  switch (which) {
    case 0: v = gx.color; break;
    case 1: v = gx.bgColor; break;
    case 2: v = static_cast<int32_t>(gx.drawMode); break;
    case 3: v = gx.penWidth; break;
    case 4: v = gx.penStyle; break;
    default: return -8193;
  }
  if (value) *value = v;
  return 0;
}

intptr_t gxSwapSlot(int index, intptr_t value) {
  if (index < 0 || index >= gxSlotCount) return 0;
  const intptr_t old = slots[index];
  slots[index] = value;
  return old;
}

intptr_t gxGetSlot(int index) { return index >= 0 && index < gxSlotCount ? slots[index] : 0; }

int gxColorOverrideRaise() { return ++colorOverride; }
int gxColorOverrideLower() { return colorOverride > 0 ? --colorOverride : 0; }
int gxColorOverrideCount() { return colorOverride; }

void gxAttrTerm() {
  colorOverride = 0;
  for (uint32_t i = 0; i < gx.patternCount; i++) {
    gxPatternEntry& e = gx.patterns[i];
    if (e.bitmap) DeleteObject(e.bitmap);
    if (e.brush) DeleteObject(e.brush);
    uFreeIfSet(&e.rows);
  }
  if (gx.patterns) uAlloc(&gx.patterns, &gx.patternCount, 0, sizeof(gxPatternEntry));
  gx.patterns = nullptr;
  gx.patternCount = 0;
  for (uint32_t i = 0; i < gx.textBitmapCount; i++) {
    gxTextBitmap& t = gx.textBitmaps[i];
    if (t.bitmap) DeleteObject(t.bitmap);
    uFreeIfSet(&t.text);
  }
  if (gx.textBitmaps) uAlloc(&gx.textBitmaps, &gx.textBitmapCount, 0, sizeof(gxTextBitmap));
  gx.textBitmaps = nullptr;
  gx.textBitmapCount = 0;
  for (uint32_t i = 0; i < penCount; i++) DeleteObject(pens[i].pen);
  if (pens) uAlloc(&pens, &penCount, 0, sizeof(penEntry));
  pens = nullptr;
  penCount = 0;
  if (gx.gridPen) DeleteObject(gx.gridPen);
  gx.gridPen = nullptr;
  for (intptr_t& s : slots) s = 0;
  gx.color = 0;
  gx.bgColor = 7;
  gx.penWidth = 1;
  gx.penStyle = 0;
  gx.fillKind = 0;
  gx.drawMode = gxModeDraw;
  gx.rgb = 0;
}
