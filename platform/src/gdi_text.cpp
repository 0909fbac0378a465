// Text with glyphs: GetTextMetricsA (gdi_font.cpp) and GetTextExtentPoint32A
// measure with the selected font's face; TextOutA and ExtTextOutA place the
// text by the DC's alignment and paint it (paintRun). Text ignores ROP2.
#include "gdi.h"
#include "text_paint.h"

#include <algorithm>

namespace pl::gdi {
namespace {

// src over dst by coverage a (0 .. 255), channel by channel.
uint32_t blend(uint32_t src, uint32_t dst, unsigned a) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const unsigned s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

void fill(Surface& surface, const std::vector<RECT>& clip, const RECT& box, uint32_t pixel) {
  for (const RECT& r : clip) {
    const RECT part = intersect(r, box);
    for (LONG y = part.top; y < part.bottom; ++y) {
      uint32_t* row = surface.row(static_cast<int>(y));
      std::fill(row + part.left, row + std::max(part.left, part.right), pixel);
    }
  }
}

void paintGlyph(Surface& surface, const std::vector<RECT>& clip, const GlyphImage& image, int x, int y,
                uint32_t pixel) {
  if (image.coverage.empty()) return;
  const RECT box{x, y, x + image.width, y + image.rows};
  for (const RECT& r : clip) {
    const RECT part = intersect(r, box);
    for (LONG row = part.top; row < part.bottom; ++row) {
      uint32_t* dst = surface.row(static_cast<int>(row));
      const uint8_t* cover = image.coverage.data() + static_cast<size_t>(row - y) * image.width - x;
      for (LONG col = part.left; col < part.right; ++col) {
        const unsigned a = cover[col];
        if (a == 0) continue;
        if (surface.mono()) {
          if (a >= 128) dst[col] = pixel;
        } else {
          dst[col] = a == 255 ? pixel : blend(pixel, dst[col], a);
        }
      }
    }
  }
}

int charAdvance(FontFace& face, const TextRun& run, int i) {
  return run.dx ? run.dx[i] : face.advance(static_cast<unsigned char>(run.text[i]));
}

}  // namespace

long runWidth(FontFace& face, const TextRun& run) {
  if (!run.dx) return face.width(run.text, run.count);
  long sum = 0;
  for (int i = 0; i < run.count; ++i) sum += run.dx[i];
  return sum;
}

bool paintRun(Dc* dc, FontFace& face, const Font* font, LONG left, LONG top, const TextRun& run,
              const RECT* clipTo) {
  Painter painter;
  if (!painter.begin(dc, false)) return false;
  std::vector<RECT> clip = painter.clip;
  if (clipTo) {
    const POINT a = toDevice(dc, clipTo->left, clipTo->top), b = toDevice(dc, clipTo->right, clipTo->bottom);
    clip = intersectAll(clip, {RECT{a.x, a.y, b.x, b.y}});
  }
  if (clip.empty()) return true;
  Surface& surface = *painter.surface;
  const long width = runWidth(face, run);
  const POINT origin = toDevice(dc, left, top);
  const int baseline = origin.y + face.ascent();

  if (dc->bkMode == OPAQUE && width > 0)
    fill(surface, clip, RECT{origin.x, origin.y, static_cast<LONG>(origin.x + width), origin.y + face.height()},
         toPixel(dc->bkColor, surface));

  const uint32_t ink = toPixel(dc->textColor, surface);
  long pen = origin.x;
  for (int i = 0; i < run.count; ++i) {
    const unsigned char code = static_cast<unsigned char>(run.text[i]);
    const GlyphImage& image = face.glyph(code);
    paintGlyph(surface, clip, image, static_cast<int>(pen + image.left), baseline - image.top, ink);
    const int advance = charAdvance(face, run, i);
    if (i == run.underlined) {
      const int y = baseline + face.underlineOffset();
      fill(surface, clip, RECT{static_cast<LONG>(pen), y, static_cast<LONG>(pen + advance), y + face.lineThickness()},
           ink);
    }
    pen += advance;
  }
  if (font && font->underline) {
    const int y = baseline + face.underlineOffset();
    fill(surface, clip, RECT{origin.x, y, static_cast<LONG>(origin.x + width), y + face.lineThickness()}, ink);
  }
  if (font && font->strikeOut) {
    const int y = baseline - face.strikeOffset();
    fill(surface, clip, RECT{origin.x, y, static_cast<LONG>(origin.x + width), y + face.lineThickness()}, ink);
  }
  return true;
}

}  // namespace pl::gdi

using namespace pl::gdi;

namespace {

const Font* dcFont(Dc* dc) {
  const Font* font = findFont(dc->font);
  return font ? font : findFont(stockObject(SYSTEM_FONT));
}

// Places and paints text as TextOutA and ExtTextOutA do. The reference point
// is placed on the cell as the alignment says: left, centre or right; top,
// baseline or bottom. With TA_UPDATECP the current position is the reference
// point and moves to the end of the text (centred text leaves it).
BOOL outputText(Dc* dc, int x, int y, UINT options, const RECT* rect, const TextRun& run) {
  FontFace& face = dcFace(dc);
  const long width = runWidth(face, run);
  const UINT align = dc->textAlign;
  if (align & TA_UPDATECP) {
    x = dc->pos.x;
    y = dc->pos.y;
  }
  long left = x;
  if ((align & TA_CENTER) == TA_CENTER) left = x - width / 2;
  else if (align & TA_RIGHT) left = x - width;
  LONG top = y;
  if ((align & TA_BASELINE) == TA_BASELINE) top = y - face.ascent();
  else if (align & TA_BOTTOM) top = y - face.height();
  if ((align & TA_UPDATECP) && (align & TA_CENTER) != TA_CENTER)
    dc->pos.x = static_cast<LONG>((align & TA_RIGHT) ? x - width : x + width);

  if (rect && (options & ETO_OPAQUE)) {
    Painter painter;
    if (!painter.begin(dc, false)) return FALSE;
    const uint32_t back = toPixel(dc->bkColor, *painter.surface);
    const POINT a = toDevice(dc, rect->left, rect->top), b = toDevice(dc, rect->right, rect->bottom);
    for (LONG row = a.y; row < b.y; ++row) painter.span(a.x, b.x, row, back);
  }
  if (run.count == 0) return surfaceOf(dc) ? TRUE : FALSE;
  const RECT* clipTo = rect && (options & ETO_CLIPPED) ? rect : nullptr;
  return paintRun(dc, face, dcFont(dc), static_cast<LONG>(left), top, run, clipTo) ? TRUE : FALSE;
}

}  // namespace

extern "C" BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  Dc* dc = findDc(hdc);
  if (!dc || !lptm) return FALSE;
  *lptm = dcFontMetrics(dc);
  return TRUE;
}

extern "C" BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  Dc* dc = findDc(hdc);
  if (!dc || !psizl || c < 0 || (c > 0 && !lpString)) return FALSE;
  FontFace& face = dcFace(dc);
  psizl->cx = static_cast<LONG>(face.width(lpString, c));
  psizl->cy = face.height();
  return TRUE;
}

extern "C" UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
  Dc* dc = findDc(hdc);
  if (!dc) return GDI_ERROR;
  const UINT previous = dc->textAlign;
  dc->textAlign = align;
  return previous;
}

extern "C" UINT WINAPI GetTextAlign(HDC hdc) {
  Dc* dc = findDc(hdc);
  return dc ? dc->textAlign : GDI_ERROR;
}

extern "C" BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  Dc* dc = findDc(hdc);
  if (!dc || c < 0 || (c > 0 && !lpString)) return FALSE;
  logCall("TextOutA", {x, y, c});
  return outputText(dc, x, y, 0, nullptr, TextRun{lpString, c});
}

// ETO_OPAQUE fills lprc with the background colour whatever the background
// mode; ETO_CLIPPED keeps the text inside it. lpDx, when given, holds each
// character's advance.
extern "C" BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprc, LPCSTR lpString, UINT c,
                                   const INT* lpDx) {
  Dc* dc = findDc(hdc);
  if (!dc || c > 0x7FFFFFFF || (c > 0 && !lpString)) return FALSE;
  logCall("ExtTextOutA", {x, y, static_cast<long long>(options), static_cast<long long>(c)});
  return outputText(dc, x, y, options, lprc, TextRun{lpString, static_cast<int>(c), lpDx});
}
