// Point markers drawn into a pixel buffer: every style's bitmap on its hot
// spot, the XOR mode, the erase mode's damage, and the entry numbers kept
// when other patterns share the table.
#include "geometry/marker.h"

#include "draw/gx_state_fixture.h"

#include "core/bbox.h"
#include "draw/gxdraw.h"
#include "objects/objrecord.h"

#include <vector>

namespace {

class MarkerTest : public GxStateTest {
 protected:
  void SetUp() override {
    GxStateTest::SetUp();
    gxTestColors::install();
    dc = pushDevice(kSize, kSize, &bitmap);
    gxSetColor(1);
  }
  void TearDown() override {
    while (gxWindowDepth()) gxWindowPop();
    GxStateTest::TearDown();
  }

  bool inked(int x, int y) const { return (plTestBitmapPixel(bitmap, x, y) & 0xFFFFFF) != RGB(255, 255, 255); }
  void clear() { PatBlt(dc, 0, 0, kSize, kSize, WHITENESS); }
  std::vector<COLORREF> image() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) all.push_back(plTestBitmapPixel(bitmap, x, y));
    return all;
  }

  // The pixels inked match the style's rows exactly, with the hot spot on
  // (px, py), and nothing else is inked.
  void expectMarker(int style, int px, int py) {
    const markBitmap* m = markBitmapOf(style);
    ASSERT_NE(m, nullptr);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const int col = x - (px - m->hotX), row = y - (py - m->hotY);
        const bool want = col >= 0 && col < 8 && row >= 0 && row < 8 && (m->rows[row] & (0x80 >> col));
        ASSERT_EQ(inked(x, y), want) << "style " << style << " at " << x << "," << y;
      }
  }

  static constexpr int kSize = 32;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
};

TEST_F(MarkerTest, EveryStyleOnItsHotSpot) {
  // Without a view the world point is its own pixel.
  const double point[3] = {12, 14, 0};
  for (int style = 0; style < markStyleCount; ++style) {
    clear();
    EXPECT_EQ(markDraw(point, style, 0), 0);
    expectMarker(style, 12, 14);
  }
  // A few rows by eye: the point-selection square and the centre plus.
  EXPECT_EQ(markBitmapOf(1)->hotX, 5);
  EXPECT_EQ(markBitmapOf(2)->rows[4], 0x7f);
}

TEST_F(MarkerTest, EntriesKeptWhenOtherPatternsShareTheTable) {
  // A fill pattern takes entry 0 before the first marker: the markers'
  // entries follow it, and each style still draws its own bitmap.
  const uint8_t fill[8] = {0xff, 0, 0xff, 0, 0xff, 0, 0xff, 0};
  EXPECT_EQ(gxMakePatternBrush(0, 0, 8, 8, fill), 0);
  const double point[3] = {10, 10, 0};
  markDraw(point, 0, 0);
  EXPECT_EQ(gx.patternCount, 1u + markStyleCount);
  clear();
  EXPECT_EQ(markDrawCur(point, 9), 0);  // the current mode: draw
  expectMarker(9, 10, 10);
  // Drawn again, nothing is added to the table.
  markDraw(point, 13, 0);
  EXPECT_EQ(gx.patternCount, 1u + markStyleCount);
}

TEST_F(MarkerTest, XorTwiceRestores) {
  for (int x = 0; x < kSize; x += 3) {
    const RECT stripe{x, 0, x + 1, kSize};
    FillRect(dc, &stripe, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  const std::vector<COLORREF> before = image();
  const double point[3] = {16, 16, 0};
  markDraw(point, 7, gxModeXor);
  EXPECT_NE(image(), before);
  markDraw(point, 7, gxModeXor);
  EXPECT_EQ(image(), before);
}

TEST_F(MarkerTest, EraseDamagesThePointAndUnknownStylesDrawNothing) {
  // Start from an empty region, as after the redraw that ends a command.
  objRedrawPending(0);
  const int16_t* region = objDamagedRegion();
  int16_t empty[6];
  bboxEmpty(empty);
  ASSERT_TRUE(std::equal(region, region + 6, empty));
  const double point[3] = {8, 9, 0};
  markDraw(point, 1, 0);
  EXPECT_TRUE(std::equal(region, region + 6, empty));  // drawing damages nothing
  markDraw(point, 1, gxModeErase);
  EXPECT_FALSE(std::equal(region, region + 6, empty));
  objRedrawPending(0);

  clear();
  EXPECT_EQ(markDraw(point, 14, 0), -1);
  EXPECT_EQ(markDraw(point, -1, 0), -1);
  EXPECT_EQ(image(), std::vector<COLORREF>(size_t(kSize) * kSize, plTestBitmapPixel(bitmap, 0, 0)));
}

}  // namespace
