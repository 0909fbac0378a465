// Text without glyphs: GetTextMetricsA and GetTextExtentPoint32A from the
// selected font's cell (gdi_font.cpp), the text alignment, and TextOutA, which
// fills the cells' background in OPAQUE mode and draws nothing else yet.
// Text ignores ROP2.
#include "gdi.h"

using namespace pl::gdi;

extern "C" BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  Dc* dc = findDc(hdc);
  if (!dc || !lptm) return FALSE;
  *lptm = dcFontMetrics(dc);
  return TRUE;
}

extern "C" BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  Dc* dc = findDc(hdc);
  if (!dc || !psizl || c < 0 || (c > 0 && !lpString)) return FALSE;
  const TEXTMETRICA tm = dcFontMetrics(dc);
  psizl->cx = c * tm.tmAveCharWidth;
  psizl->cy = tm.tmHeight;
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

// The reference point is placed on the cell as the alignment says: left,
// centre or right; top, baseline or bottom. With TA_UPDATECP the current
// position is the reference point and moves to the end of the text.
extern "C" BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  Dc* dc = findDc(hdc);
  if (!dc || c < 0 || (c > 0 && !lpString)) return FALSE;
  logCall("TextOutA", {x, y, c});
  const TEXTMETRICA tm = dcFontMetrics(dc);
  const LONG width = c * tm.tmAveCharWidth;
  const UINT align = dc->textAlign;
  if (align & TA_UPDATECP) {
    x = dc->pos.x;
    y = dc->pos.y;
  }
  LONG left = x;
  if ((align & TA_CENTER) == TA_CENTER) left = x - width / 2;
  else if (align & TA_RIGHT) left = x - width;
  LONG top = y;
  if ((align & TA_BASELINE) == TA_BASELINE) top = y - tm.tmAscent;
  else if (align & TA_BOTTOM) top = y - tm.tmHeight;
  // Centred text leaves the current position where it was.
  if ((align & TA_UPDATECP) && (align & TA_CENTER) != TA_CENTER)
    dc->pos.x = (align & TA_RIGHT) ? x - width : x + width;

  if (dc->bkMode != OPAQUE || width == 0) return TRUE;
  Painter painter;
  if (!painter.begin(dc, false)) return FALSE;
  const uint32_t back = toPixel(dc->bkColor, *painter.surface);
  const POINT a = toDevice(dc, left, top), b = toDevice(dc, left + width, top + tm.tmHeight);
  for (int row = a.y; row < b.y; ++row) painter.span(a.x, b.x, row, back);
  return TRUE;
}
