// A memory DC on a white 32-bpp bitmap for GDI tests, and pixel pictures of
// it: one character per pixel, '#' for black, '.' for white, '?' otherwise.
#ifndef PLUMET_TESTS_PLATFORM_GDI_FIXTURE_H
#define PLUMET_TESTS_PLATFORM_GDI_FIXTURE_H

#include "platform/fixture.h"

#include <string>

class GdiTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    dc = CreateCompatibleDC(nullptr);
    bitmap = makeBitmap(kSize, kSize);
    SelectObject(dc, bitmap);
    RECT all{0, 0, kSize, kSize};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    plTestClearGdiCalls();
  }

  static HBITMAP makeBitmap(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  }

  COLORREF at(int x, int y) const { return plTestBitmapPixel(bitmap, x, y); }

  // Rows top to bottom of the box (left, top) .. (right, bottom), exclusive.
  std::string picture(int left, int top, int right, int bottom) const {
    std::string out;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        const COLORREF c = at(x, y);
        out += c == RGB(0, 0, 0) ? '#' : c == RGB(255, 255, 255) ? '.' : '?';
      }
      out += '\n';
    }
    return out;
  }

  // How many pixels of the whole bitmap are not white.
  int inked() const {
    int n = 0;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) n += at(x, y) != RGB(255, 255, 255);
    return n;
  }

  static constexpr int kSize = 24;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
};

#endif
