// Bitmaps: the marker and pattern table, monochrome bitmaps and their
// blits, bitmap copies, text and the text-bitmap cache.
#include "draw/gxdraw.h"
#include "draw/gxdraw_internal.h"
#include "draw/xforms.h"

#include "core/alloc.h"

#include <cstring>
#include <vector>

namespace {

// Monochrome device rows: 16-bit aligned, bits inverted (0 bits are ink).
std::vector<uint8_t> deviceRows(int width, int height, int rowAlign, const uint8_t* bits, bool swapWords) {
  const int inBytes = (width + 7) / 8;
  const int align = rowAlign > 0 ? rowAlign : 1;
  const int stride = (inBytes + align - 1) / align * align;
  const int outStride = (width + 15) / 16 * 2;
  std::vector<uint8_t> rows(size_t(outStride) * size_t(height), 0xFF);
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = bits + size_t(y) * size_t(stride);
    uint8_t* out = &rows[size_t(y) * size_t(outStride)];
    for (int i = 0; i < inBytes; ++i) {
      const int from = swapWords ? (i ^ 1) : i;
      out[i] = uint8_t(~(from < stride ? in[from] : 0));
    }
  }
  return rows;
}

// Saves the target's text and background colours and puts them back.
struct ColourSave {
  HDC dc;
  COLORREF text, back;
  explicit ColourSave(HDC d) : dc(d), text(GetTextColor(d)), back(GetBkColor(d)) {}
  ~ColourSave() {
    SetTextColor(dc, text);
    SetBkColor(dc, back);
  }
};

void blit(HDC target, HDC source, int x, int y, int w, int h, DWORD rop, COLORREF text, COLORREF back) {
  SetTextColor(target, text);
  SetBkColor(target, back);
  BitBlt(target, x, y, w, h, source, 0, 0, rop);
}

const COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

}  // namespace

HDC gxdBlitTarget() { return gx.blitDC ? gx.blitDC : gx.dc; }

void gxdBlitMono(HBITMAP bitmap, int x, int y, int width, int height, int mode) {
  HDC target = gxdBlitTarget();
  if (!target || !bitmap) return;
  if (mode < 0 || mode > 3) mode = int(gx.drawMode);
  if (mode < 0 || mode > 3) mode = 0;
  HDC source = CreateCompatibleDC(target);
  HGDIOBJ old = SelectObject(source, bitmap);
  {
    ColourSave save(target);
    const COLORREF ink = gdiColorRGB(target, gx.color) & 0x00FFFFFF;
    const COLORREF back = gdiColorRGB(target, gx.bgColor) & 0x00FFFFFF;
    if (mode == 3) {
      blit(target, source, x, y, width, height, SRCCOPY, ink, back);
    } else if (gx.colorDevice) {
      if (mode == 2) {
        blit(target, source, x, y, width, height, SRCINVERT, kWhite, kBlack);
      } else {
        const COLORREF colour = mode == 1 ? GetSysColor(COLOR_WINDOW) & 0x00FFFFFF : ink;
        blit(target, source, x, y, width, height, SRCAND, kBlack, kWhite);
        blit(target, source, x, y, width, height, SRCPAINT, colour, kBlack);
      }
    } else {
      DWORD rop;
      if (mode == 2)
        rop = 0x990066;
      else if ((mode == 0) == gx.lightBackground)
        rop = SRCAND;
      else
        rop = MERGEPAINT;
      blit(target, source, x, y, width, height, rop, kBlack, kWhite);
    }
  }
  SelectObject(source, old);
  DeleteDC(source);
}

int gxMakePatternBrush(int hotX, int hotY, int width, int height, const uint8_t* bits) {
  const std::vector<uint8_t> rows = deviceRows(width, height, 1, bits, false);
  const uint32_t index = gx.patternCount;
  uAlloc(&gx.patterns, &gx.patternCount, index + 1, sizeof(gxPatternEntry));
  gxPatternEntry& e = gx.patterns[index];
  e.hotX = hotX;
  e.hotY = hotY;
  e.width = width;
  e.height = height;
  e.rows = static_cast<uint8_t*>(uAlloc(static_cast<uHandle>(nullptr), nullptr, uint32_t(rows.size()) + 1, 1));
  std::memcpy(e.rows, rows.data(), rows.size());
  e.bitmap = CreateBitmap(width, height, 1, 1, rows.data());
  e.brush = CreatePatternBrush(e.bitmap);
  e.colorIndex = gx.color;
  return int(index);
}

void gxDrawMarkerBitmap(const POINT* point, int index, int mode) {
  if (!gx.dc || !point || (vwDrawFlags() & 8)) return;
  if (point->x < 1 || point->x > 32766 || point->y < 1 || point->y > 32766) return;
  if (index < 0 || uint32_t(index) >= gx.patternCount) return;
  const gxPatternEntry& e = gx.patterns[index];
  gxdBlitMono(e.bitmap, point->x - e.hotX, point->y - e.hotY, e.width, e.height, mode);
}

HBITMAP gxMakeBitmap(int width, int height, int rowAlign, const uint8_t* bits) {
  if (width <= 0 || height <= 0 || !bits) return nullptr;
  const std::vector<uint8_t> rows = deviceRows(width, height, rowAlign, bits, rowAlign == 2);
  return CreateBitmap(width, height, 1, 1, rows.data());
}

void gxDrawBits(const POINT* point, const uint16_t* bits, int mode) {
  if (!gx.dc || !point || !bits) return;
  const int width = bits[0], height = bits[1];
  const int words = (width + 15) / 16;
  std::vector<uint8_t> bytes(size_t(words) * 2 * size_t(height));
  for (size_t i = 0; i < size_t(words) * size_t(height); ++i) {
    bytes[2 * i] = uint8_t(bits[2 + i] & 0xFF);  // the words as they lie in memory
    bytes[2 * i + 1] = uint8_t(bits[2 + i] >> 8);
  }
  HBITMAP bitmap = gxMakeBitmap(width, height, 2, bytes.data());
  gxdBlitMono(bitmap, point->x, point->y, width, height, mode);
  DeleteObject(bitmap);
}

void gxDrawBitmap(HDC dc, HBITMAP bitmap, const RECT* rect, int mode) {
  if (!dc || !bitmap || !rect) return;
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info)) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap);
  const int w = rect->right - rect->left, h = rect->bottom - rect->top;
  if (mode == 2)
    StretchBlt(dc, rect->left, rect->top, w, h, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  else
    BitBlt(dc, rect->left + (w - info.bmWidth) / 2, rect->top + (h - info.bmHeight) / 2, info.bmWidth,
           info.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

void gxTextOut(const POINT* point, const char* text, int start, int length) {
  if (!gx.dc || !point || !text || length <= 0) return;
  TEXTMETRICA tm{};
  GetTextMetricsA(gx.dc, &tm);
  TextOutA(gx.dc, point->x, point->y - tm.tmAscent, text + start, length);
}

void gxTextToBitmap(const POINT* point, const gxFontSpec* font, const char* text, int length) {
  if (!gx.dc || !point || !font || !text || length <= 0) return;
  const gxTextBitmap* hit = nullptr;
  for (uint32_t i = 0; i < gx.textBitmapCount && !hit; ++i) {
    const gxTextBitmap& e = gx.textBitmaps[i];
    if (e.length == uint32_t(length) && e.face == font->face && e.size == font->size &&
        std::memcmp(e.text, text, size_t(length)) == 0)
      hit = &e;
  }
  if (!hit) {
    HDC memory = CreateCompatibleDC(gx.dc);
    HGDIOBJ oldFont = nullptr;
    if (HFONT f = gdiFontGet(font->face, font->size, font->style)) oldFont = SelectObject(memory, f);
    SIZE extent{};
    GetTextExtentPoint32A(memory, text, length, &extent);
    TEXTMETRICA tm{};
    GetTextMetricsA(memory, &tm);
    const int w = extent.cx > 0 ? extent.cx : 1, h = extent.cy > 0 ? extent.cy : 1;
    HBITMAP bitmap = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, w, h, WHITENESS);
    SetTextColor(memory, kBlack);
    SetBkMode(memory, TRANSPARENT);
    TextOutA(memory, 0, 0, text, length);
    SelectObject(memory, oldBitmap);
    if (oldFont) SelectObject(memory, oldFont);
    DeleteDC(memory);
    const uint32_t index = gx.textBitmapCount;
    uAlloc(&gx.textBitmaps, &gx.textBitmapCount, index + 1, sizeof(gxTextBitmap));
    gxTextBitmap& e = gx.textBitmaps[index];
    e.text = static_cast<char*>(uAlloc(static_cast<uHandle>(nullptr), nullptr, uint32_t(length) + 1, 1));
    std::memcpy(e.text, text, size_t(length));
    e.length = uint32_t(length);
    e.face = font->face;
    e.size = font->size;
    e.width = w;
    e.height = h;
    e.baseline = tm.tmAscent;
    e.bitmap = bitmap;
    hit = &e;
  }
  // In the current draw mode, so that text drawn twice in exclusive-or mode
  // leaves the image as it was.
  gxdBlitMono(hit->bitmap, point->x, point->y - hit->baseline, hit->width, hit->height, -1);
}
