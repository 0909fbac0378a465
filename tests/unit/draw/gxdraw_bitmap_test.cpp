// Markers, bitmaps, text bitmaps, rectangles and circles by verb.
#include "gxdraw_fixture.h"

namespace {

using namespace gxdfx;

// A 4 x 3 marker: an "L" with its hot spot at the corner.
const uint8_t kMarker[3] = {0x80, 0x80, 0xE0};

int markerAt(int hotX, int hotY) { return gxMakePatternBrush(hotX, hotY, 4, 3, kMarker); }

TEST_F(GxDrawTest, MarkerModesInkTheMarkerBits) {
  const COLORREF grey = RGB(128, 128, 128), red = RGB(255, 0, 0);
  gxTestColors::entries.push_back({2, red});
  const int index = markerAt(0, 2);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(gx.patternCount, 1u);
  // Grey background, then mode 0 in red: ink red, the rest unchanged.
  RECT all{0, 0, kSize, kSize};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  gxSetColor(2);
  const POINT p{10, 20};
  gxDrawMarkerBitmap(&p, index, 0);
  EXPECT_EQ(at(10, 18), red);
  EXPECT_EQ(at(10, 19), red);
  EXPECT_EQ(at(12, 20), red);
  EXPECT_EQ(at(11, 19), grey);
  EXPECT_EQ(at(13, 20), grey);  // the fourth column is empty
  // Mode 3 copies: ink in the colour, the rest in the background colour.
  const COLORREF green = RGB(0, 255, 0);
  gxTestColors::entries.push_back({7, green});
  gxDrawMarkerBitmap(&p, index, 3);
  EXPECT_EQ(at(11, 19), green);
  EXPECT_EQ(at(10, 18), red);
  EXPECT_EQ(at(14, 20), grey);
  // Mode 1 inks in the window colour.
  gxDrawMarkerBitmap(&p, index, 1);
  EXPECT_EQ(at(10, 18), GetSysColor(COLOR_WINDOW) & 0xFFFFFF);
  EXPECT_EQ(at(11, 19), green);
}

TEST_F(GxDrawTest, MarkerModeTwoTwiceRestores) {
  const int index = markerAt(1, 1);
  for (int x = 0; x < kSize; x += 2) {
    const RECT stripe{x, 0, x + 1, kSize};
    FillRect(dc, &stripe, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  const std::vector<COLORREF> before = image();
  const POINT p{30, 30};
  gxDrawMarkerBitmap(&p, index, 2);
  EXPECT_FALSE(image() == before);
  gxDrawMarkerBitmap(&p, index, 2);
  EXPECT_TRUE(image() == before);
  // Mode -1 is the current draw mode.
  gxSetDrawMode(gxModeXor);
  gxDrawMarkerBitmap(&p, index, -1);
  gxDrawMarkerBitmap(&p, index, -1);
  EXPECT_TRUE(image() == before);
}

TEST_F(GxDrawTest, MonochromeDevicesBlitOnce) {
  const int index = markerAt(0, 2);
  gx.colorDevice = false;
  struct Case {
    bool light;
    int mode;
    DWORD rop;
  };
  const Case cases[] = {{true, 0, SRCAND},  {false, 0, MERGEPAINT}, {true, 1, MERGEPAINT},
                        {false, 1, SRCAND}, {true, 2, 0x990066},     {true, 3, SRCCOPY}};
  const POINT p{10, 20};
  for (const Case& c : cases) {
    gx.lightBackground = c.light;
    plTestClearGdiCalls();
    gxDrawMarkerBitmap(&p, index, c.mode);
    ASSERT_EQ(plTestGdiCallCount("BitBlt"), 1) << c.mode;
    EXPECT_EQ(DWORD(plTestGdiCalls().back().args[6]), c.rop) << c.mode << " " << c.light;
  }
  // On white, mode 0 inks black; 0x990066 twice restores.
  PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
  gx.lightBackground = true;
  gxDrawMarkerBitmap(&p, index, 0);
  EXPECT_EQ(at(10, 18), RGB(0, 0, 0));
  EXPECT_EQ(inkedCount(), 5);
  gxDrawMarkerBitmap(&p, index, 2);
  gxDrawMarkerBitmap(&p, index, 2);
  EXPECT_EQ(inkedCount(), 5);
  gx.colorDevice = true;
}

TEST_F(GxDrawTest, MarkersOffTheDeviceRangeOrHiddenAreNotDrawn) {
  const int index = markerAt(0, 0);
  const POINT points[] = {{0, 10}, {32767, 10}, {10, 0}, {10, 32767}};
  for (const POINT& p : points) gxDrawMarkerBitmap(&p, index, 0);
  const POINT ok{10, 10};
  gxDrawMarkerBitmap(&ok, index + 1, 0);  // no such entry
  FakeView::flags = 8;
  gxDrawMarkerBitmap(&ok, index, 0);
  EXPECT_EQ(plTestGdiCallCount("BitBlt"), 0);
  FakeView::flags = 0;
  gxDrawMarkerBitmap(&ok, index, 0);
  EXPECT_EQ(plTestGdiCallCount("BitBlt"), 2);  // the two passes
  EXPECT_TRUE(inked(10, 10));
}

TEST_F(GxDrawTest, WordRowsHaveTheirBytesExchanged) {
  // Two rows of one 16-bit word: 0xF00F and 0x8001 in memory order.
  const uint8_t words[4] = {0x0F, 0xF0, 0x01, 0x80};
  const uint8_t bytes[4] = {0xF0, 0x0F, 0x80, 0x01};
  HBITMAP a = gxMakeBitmap(16, 2, 2, words);
  HBITMAP b = gxMakeBitmap(16, 2, 1, bytes);  // rows of 2 bytes
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(plTestBitmapPixel(a, x, y), plTestBitmapPixel(b, x, y)) << x << "," << y;
  // The given 1 bits are ink: 0 bits on the device.
  EXPECT_EQ(plTestBitmapPixel(b, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(plTestBitmapPixel(b, 4, 0), RGB(255, 255, 255));
  DeleteObject(a);
  DeleteObject(b);

  // gxDrawBits takes such words with its width and height in front.
  const uint16_t small[] = {3, 2, 0xA000, 0x4000};
  const POINT p{40, 40};
  gxDrawBits(&p, small, 0);
  EXPECT_TRUE(inked(40, 40));
  EXPECT_FALSE(inked(41, 40));
  EXPECT_TRUE(inked(42, 40));
  EXPECT_TRUE(inked(41, 41));
  EXPECT_EQ(inkedCount(), 3);
}

TEST_F(GxDrawTest, DrawBitmapStretchesInModeTwoAndCentresOtherwise) {
  const uint8_t bits[2] = {0x80, 0x40};  // a diagonal
  HBITMAP source = gxMakeBitmap(2, 2, 1, bits);
  const RECT r{20, 20, 28, 28};
  gxDrawBitmap(dc, source, &r, 2);
  EXPECT_EQ(plTestGdiCallCount("StretchBlt"), 1);
  EXPECT_TRUE(inked(20, 20));
  EXPECT_TRUE(inked(23, 23));
  EXPECT_TRUE(inked(27, 27));
  EXPECT_FALSE(inked(27, 20));

  PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
  gxDrawBitmap(dc, source, &r, 0);
  EXPECT_EQ(plTestGdiCallCount("BitBlt"), 1);
  EXPECT_TRUE(inked(23, 23));
  EXPECT_TRUE(inked(24, 24));
  EXPECT_EQ(inkedCount(), 2);
  DeleteObject(source);
}

// (The headless device draws no glyphs: the blits are checked, not ink.)
TEST_F(GxDrawTest, TextBitmapsAreCachedAndBlitAboveTheBaseline) {
  const gxFontSpec font{gdiFaceSystem, 12, 0};
  const POINT p{10, 60};
  gxTextToBitmap(&p, &font, "Hi", 2);
  ASSERT_EQ(gx.textBitmapCount, 1u);
  const gxTextBitmap& entry = gx.textBitmaps[0];
  EXPECT_GT(entry.width, 0);
  EXPECT_GT(entry.baseline, 0);
  // Two passes at the baseline offset: AND then OR, as a marker in mode 0.
  std::vector<PlGdiCall> blits;
  for (const PlGdiCall& call : plTestGdiCalls())
    if (call.name == "BitBlt") blits.push_back(call);
  ASSERT_EQ(blits.size(), 2u);
  EXPECT_EQ(blits[0].args[0], 10);
  EXPECT_EQ(blits[0].args[1], 60 - entry.baseline);
  EXPECT_EQ(blits[0].args[6], SRCAND);
  EXPECT_EQ(blits[1].args[6], SRCPAINT);
  // The glyphs' ink lands inside the blitted box; its white background bits
  // leave the rest of the image alone.
  const RECT box{10, 60 - entry.baseline, 10 + entry.width, 60 - entry.baseline + entry.height};
  int inside = 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
      if (in) inside += inked(x, y);
      else EXPECT_FALSE(inked(x, y)) << x << "," << y;
    }
  EXPECT_GT(inside, 0);

  gxTextToBitmap(&p, &font, "Hi", 2);
  EXPECT_EQ(gx.textBitmapCount, 1u);
  gxTextToBitmap(&p, &font, "Hit", 2);  // the same two characters
  EXPECT_EQ(gx.textBitmapCount, 1u);
  gxTextToBitmap(&p, &font, "Ho", 2);
  const gxFontSpec bigger{gdiFaceSystem, 14, 0};
  gxTextToBitmap(&p, &bigger, "Hi", 2);
  EXPECT_EQ(gx.textBitmapCount, 3u);
}

TEST_F(GxDrawTest, TextOutPutsTheBaselineAtThePoint) {
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const POINT p{5, 50};
  gxTextOut(&p, "xAy", 1, 1);
  ASSERT_EQ(plTestGdiCallCount("TextOutA"), 1);
  EXPECT_EQ(plTestGdiCalls().back().args, (std::vector<long long>{5, 50 - tm.tmAscent, 1}));
}

TEST_F(GxDrawTest, RectVerbs) {
  const RECT r{10, 10, 20, 15};
  gxRect(gxRectFill, &r);  // window text, not the colour
  EXPECT_EQ(at(10, 10), RGB(0, 0, 0));
  EXPECT_EQ(at(19, 14), RGB(0, 0, 0));
  EXPECT_FALSE(inked(20, 14));
  gxRect(gxRectInvert, &r);
  EXPECT_EQ(inkedCount(), 0);
  gxSetDrawMode(gxModeXor);
  gxRect(gxRectFill, &r);
  EXPECT_EQ(inkedCount(), 50);
  gxSetDrawMode(gxModeErase);
  gxRect(gxRectFill, &r);
  EXPECT_EQ(inkedCount(), 0);
  gxSetDrawMode(gxModeDraw);
  gxRect(gxRectFrame, &r);
  EXPECT_TRUE(inked(10, 10));
  EXPECT_TRUE(inked(19, 14));
  EXPECT_FALSE(inked(15, 12));
  gxRect(gxRectBackground, &r);
  EXPECT_EQ(inkedCount(), 0);
  // Erase and validate need a real window: nothing here.
  gxRect(gxRectErase, &r);
  gxRect(gxRectValidate, &r);
  EXPECT_TRUE(gxTestPanics().empty());

  gxRect(9, &r);
  gxCircle(3, &r, 0);
  EXPECT_EQ(gxTestPanics(), (std::vector<std::string>{"unknown verb in gxRect [9]", "unknown verb in gxCircle [3]"}));
}

TEST_F(GxDrawTest, CircleVerbsAndFillKinds) {
  const RECT r{10, 10, 31, 31};
  gxCircle(1, &r, 1);  // black fill, no outline
  EXPECT_EQ(at(20, 20), RGB(0, 0, 0));
  EXPECT_EQ(plTestGdiCallCount("Ellipse"), 1);
  gxCircle(6, &r, 0);  // window colour
  EXPECT_EQ(inkedCount(), 0);
  gxCircle(2, &r, 0);  // outline with the grid pen
  EXPECT_TRUE(inked(10, 20));
  EXPECT_FALSE(inked(20, 20));

  struct Case {
    int kind;
    COLORREF colour;
  };
  const Case cases[] = {{0, RGB(255, 255, 255)}, {2, RGB(128, 128, 128)}, {3, RGB(192, 192, 192)},
                        {4, GetSysColor(COLOR_WINDOW)}, {5, GetSysColor(COLOR_WINDOWTEXT)}, {9, RGB(0, 0, 0)}};
  for (const Case& c : cases) {
    const RECT f{50, 50, 60, 60};
    gxFillRect(&f, c.kind);
    EXPECT_EQ(at(55, 55), c.colour & 0xFFFFFF) << c.kind;
  }
  gxSetDrawMode(gxModeErase);
  const RECT f{50, 50, 60, 60};
  gxFillRect(&f, 9);
  EXPECT_EQ(at(55, 55), RGB(255, 255, 255));
}

TEST_F(GxDrawTest, RectangleHelpers) {
  const RECT r{0, 0, 10, 5};
  const POINT in{9, 4}, right{10, 4}, below{9, 5};
  EXPECT_EQ(gxPtInRect(&in, &r), 1);
  EXPECT_EQ(gxPtInRect(&right, &r), 0);
  EXPECT_EQ(gxPtInRect(&below, &r), 0);
  RECT a;
  gxSetRect(&a, 2, 2, 8, 8);
  gxInsetRect(&a, 1, 2);
  EXPECT_EQ(a.left, 3);
  EXPECT_EQ(a.right, 7);
  EXPECT_EQ(a.top, 4);
  EXPECT_EQ(a.bottom, 6);
  RECT out;
  EXPECT_EQ(gxIntersectRect(&r, &a, &out), 1);
  EXPECT_EQ(out.left, 3);
  EXPECT_EQ(out.bottom, 5);
  const RECT far{20, 20, 30, 30};
  EXPECT_EQ(gxIntersectRect(&r, &far, &out), 0);
}

TEST_F(GxDrawTest, ScrollMovesTheContentsAndErasesTheRest) {
  gxMoveTo(10, 10);
  gxLineTo(10, 10);
  const RECT r{0, 0, 64, 64};
  const POINT d{5, 3};
  gxScrollRect(&r, &d);
  EXPECT_EQ(plTestGdiCallCount("ScrollDC"), 1);
  EXPECT_TRUE(inked(15, 13));
  EXPECT_FALSE(inked(10, 10));
  EXPECT_EQ(gxClipLevel(), 0);
}

}  // namespace
