// gxdemo: draws a sampler of the drawing layer's primitives into a 256 x 256
// memory device and writes it as a PNG: the three dotted styles and a solid
// line, an exclusive-or band drawn twice over them (which leaves no trace)
// and once more, a polygon clipped to a box, a circle, an arc of a turned
// ellipse, a Bezier, markers in each mode, and a square given in world
// coordinates drawn under a rotation of the coordinate-system stack.
//
//   gxdemo [--check] out.png
//
// With --check the PNG is read back and compared with the device's pixels;
// the exit status is 1 when they differ or the file cannot be written.
#include "core/matrix.h"
#include "draw/csys.h"
#include "draw/gdi.h"
#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "draw/xforms.h"

#include <platform_test.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int kSize = 256;

HBITMAP makeDevice(HDC* dc) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = kSize;
  info.bmiHeader.biHeight = -kSize;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  *dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(*dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(*dc, bitmap);
  PatBlt(*dc, 0, 0, kSize, kSize, WHITENESS);
  return bitmap;
}

void line(int x0, int y0, int x1, int y1) {
  gxMoveTo(x0, y0);
  gxLineTo(x1, y1);
}

void draw() {
  gxSetColor(1);
  // Line styles: solid, then the three dotted ones.
  for (int style = 0; style < 4; ++style) {
    gxSetPenStyle(style);
    line(10, 10 + 6 * style, 120, 10 + 6 * style);
  }
  gxSetPenStyle(0);
  // An exclusive-or band: twice over the lines leaves them as they were,
  // then once to the right.
  gxSetDrawMode(gxModeXor);
  const RECT band{20, 6, 60, 34};
  gxRect(gxRectFill, &band);
  gxRect(gxRectFill, &band);
  const RECT shown{80, 6, 110, 34};
  gxRect(gxRectFill, &shown);
  gxSetDrawMode(gxModeDraw);

  // A star polygon clipped to a box.
  gxClipPush();
  const RECT clip{130, 10, 230, 70};
  gxSetClip(&clip);
  gxPolyEnd(0);
  const int star[5][2] = {{180, 0}, {215, 95}, {135, 35}, {225, 35}, {145, 95}};
  gxMoveTo(star[0][0], star[0][1]);
  for (int i = 1; i <= 5; ++i) gxLineTo(star[i % 5][0], star[i % 5][1]);
  gxPolyEnd(1);
  gxClipPop();
  const RECT frame{129, 9, 231, 71};
  gxRect(gxRectFrame, &frame);

  // A circle by the device, and an arc of a turned ellipse by Beziers.
  const double c1[2] = {50, 130}, c1a[2] = {85, 130}, c1b[2] = {50, 95};
  gxArc(c1, c1a, c1b, 0, 1);
  const double c2[2] = {150, 130}, c2a[2] = {190, 150}, c2b[2] = {140, 150};
  gxArc(c2, c2a, c2b, 0.05, 0.7);
  // A cubic Bezier.
  const double p0[2] = {200, 180}, p1[2] = {210, 90}, p2[2] = {250, 250}, p3[2] = {250, 110};
  gxSegment(0, p0);
  gxBezier(p1, p2, p3);

  // Markers in each mode over a grey patch.
  const RECT patch{10, 180, 110, 200};
  gxFillRect(&patch, 2);
  const uint8_t cross[7] = {0x10, 0x10, 0x10, 0xFE, 0x10, 0x10, 0x10};
  const int marker = gxMakePatternBrush(3, 3, 7, 7, cross);
  for (int mode = 0; mode < 4; ++mode) {
    const POINT at{20 + 25 * mode, 190};
    gxDrawMarkerBitmap(&at, marker, mode);
  }

  // A world square under a rotation: the view maps world units of 20
  // pixels with y up, centred at (150, 220); the square is turned by an
  // eighth of a turn inside it.
  const double view[16] = {20, 0, 0, 150, 0, -20, 0, 220, 0, 0, 1, 0, 0, 0, 0, 1};
  csysLoadStamped(view, 0);
  csysPush();
  csysLoadRotation(0.125);
  const double square[5][3] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}};
  vwMoveToW(square[0]);
  for (int i = 1; i < 5; ++i) vwLineToW(square[i]);
  csysPop();
}

}  // namespace

int main(int argc, char** argv) {
  bool check = false;
  const char* out = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--check") == 0)
      check = true;
    else
      out = argv[i];
  }
  if (!out) {
    std::fprintf(stderr, "usage: gxdemo [--check] out.png\n");
    return 2;
  }
  gxInit();
  gdiInit();
  csysInit();
  HDC dc = nullptr;
  HBITMAP bitmap = makeDevice(&dc);
  const double dpi[2] = {75, 75};
  const RECT rect{0, 0, kSize, kSize};
  gxWindowPush(dc, dpi, &rect);
  gxSetCoordLimits(&rect);
  draw();
  gxWindowPop();

  if (!plTestWriteBitmapPng(bitmap, out)) {
    std::fprintf(stderr, "gxdemo: cannot write %s\n", out);
    return 1;
  }
  int status = 0;
  if (check) {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    if (!plTestReadPng(out, &width, &height, &pixels) || width != kSize || height != kSize) {
      std::fprintf(stderr, "gxdemo: cannot read %s back\n", out);
      return 1;
    }
    int differ = 0, inked = 0;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const COLORREF c = plTestBitmapPixel(bitmap, x, y) & 0x00FFFFFF;
        differ += (pixels[size_t(y) * kSize + size_t(x)] & 0x00FFFFFF) != c;
        inked += c != RGB(255, 255, 255);
      }
    if (differ || !inked) {
      std::fprintf(stderr, "gxdemo: %d pixels differ, %d inked\n", differ, inked);
      status = 1;
    }
  }
  gxTerm();
  gdiTerm();
  DeleteDC(dc);
  DeleteObject(bitmap);
  return status;
}
