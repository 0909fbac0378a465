// Lines: end pixels, dotted styles, the coordinate limits, segments in
// doubles, the polygon collector, and exclusive-or drawing that a second
// pass undoes.
#include "gxdraw_fixture.h"

#include <functional>

namespace {

using namespace gxdfx;

std::vector<int> span(int from, int to, int step = 1) {
  std::vector<int> xs;
  for (int x = from; x <= to; x += step) xs.push_back(x);
  return xs;
}

TEST_F(GxDrawTest, SolidLineSetsItsEndPixelUnlessTold) {
  gxMoveTo(2, 3);
  gxLineTo(12, 3);
  EXPECT_EQ(row(3), span(2, 12));
  EXPECT_EQ(at(12, 3), RGB(0, 0, 0));

  PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
  vwSetNoEndPixel(1);
  EXPECT_EQ(gxNoEndPixel(), 1);
  gxMoveTo(2, 3);
  gxLineTo(12, 3);
  EXPECT_EQ(row(3), span(2, 11));
  EXPECT_EQ(gx.penX, 12);
  EXPECT_EQ(gx.penY, 3);
}

TEST_F(GxDrawTest, DottedStylesPickTheirPixelsAlongTheMajorAxis) {
  struct Case {
    int style;
    std::vector<int> xs;
  };
  const Case cases[] = {{1, {2, 6, 10, 14, 18}}, {2, {1, 5, 9, 13, 17}}, {3, {3, 7, 11, 15, 19}}};
  for (const Case& c : cases) {
    PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
    gxSetPenStyle(c.style);
    gxMoveTo(0, 0);
    gxLineTo(20, 0);
    EXPECT_EQ(row(0), c.xs) << "style " << c.style;
    EXPECT_EQ(inkedCount(), int(c.xs.size())) << "style " << c.style;
  }
  // Steeper than 45 degrees: y decides.
  PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
  gxSetPenStyle(1);
  gxMoveTo(5, 0);
  gxLineTo(5, 20);
  std::vector<int> ys;
  for (int y = 0; y < 21; ++y)
    if (inked(5, y)) ys.push_back(y);
  EXPECT_EQ(ys, (std::vector<int>{2, 6, 10, 14, 18}));
}

TEST_F(GxDrawTest, DottedPeriodGrowsWithTheDeviceResolution) {
  HBITMAP fine = nullptr;
  HDC fineDC = memoryDevice(kSize, kSize, &fine);
  const double dpi[2] = {300, 300};
  const RECT rect{0, 0, kSize, kSize};
  gxWindowPush(fineDC, dpi, &rect);
  gxSetColor(1);
  gxSetPenStyle(1);
  gxMoveTo(0, 0);
  gxLineTo(20, 0);
  gxMoveTo(0, 1);
  gxLineTo(60, 1);
  std::vector<int> xs0, xs1;
  for (int x = 0; x < kSize; ++x) {
    if (plTestBitmapPixel(fine, x, 0) != RGB(255, 255, 255)) xs0.push_back(x);
    if (plTestBitmapPixel(fine, x, 1) != RGB(255, 255, 255)) xs1.push_back(x);
  }
  EXPECT_EQ(xs0, (std::vector<int>{8}));
  EXPECT_EQ(xs1, (std::vector<int>{8, 24, 40, 56}));
  gxWindowPop();
}

TEST_F(GxDrawTest, LinesBeyondTheLimitsAreSubdividedIntoRange) {
  gx.limit1 = 1000;
  gx.limit2 = 2000;
  gxMoveTo(-100000, 0);
  EXPECT_FALSE(gx.penInRange);
  gxLineTo(100000, 0);
  EXPECT_EQ(row(0), span(0, kSize - 1));
  for (const PlGdiCall& call : plTestGdiCalls()) {
    if (call.name != "LineTo" && call.name != "MoveToEx") continue;
    for (long long v : call.args) EXPECT_LT(std::llabs(v), 2000) << call.name;
  }
  EXPECT_EQ(gx.penX, 100000);
  EXPECT_FALSE(gx.penInRange);
}

TEST_F(GxDrawTest, LineMissingTheInnerSquareDrawsNothing) {
  gx.limit1 = 1000;
  gx.limit2 = 2000;
  gxMoveTo(5000, 5000);
  gxLineTo(9000, -3000);  // its box misses -1000..1000 in x
  EXPECT_EQ(plTestGdiCallCount("LineTo"), 0);
  EXPECT_EQ(gx.penX, 9000);
  EXPECT_EQ(gx.penY, -3000);
  // Back into range: the part within L2 is drawn, up to the end.
  gxLineTo(10, 10);
  EXPECT_TRUE(gx.penInRange);
  std::vector<long long> last;
  for (const PlGdiCall& call : plTestGdiCalls())
    if (call.name == "LineTo") last = call.args;
  EXPECT_EQ(last, (std::vector<long long>{10, 10}));
}

TEST_F(GxDrawTest, SegmentsRoundAndClipHugeCoordinates) {
  const double a[2] = {2.4, 3.6}, b[2] = {12.5, 3.6};
  gxSegment(0, a);
  gxSegment(1, b);
  EXPECT_EQ(row(4), span(2, 13));
  double pos[2];
  gxSegmentPos(pos);
  EXPECT_EQ(pos[0], 12.5);

  PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
  plTestClearGdiCalls();
  const double o[2] = {0, 50}, far[2] = {1e12, 55}, back[2] = {10, 60};
  gxSegment(0, o);
  gxSegment(1, far);
  for (const PlGdiCall& call : plTestGdiCalls()) {
    if (call.name != "LineTo") continue;
    for (long long v : call.args) EXPECT_LT(std::llabs(v), gx.limit2);
  }
  EXPECT_EQ(row(50).size(), size_t(kSize));
  // The next draw starts from the clipped end, not a wrapped integer.
  gxSegment(1, back);
  EXPECT_EQ(gx.penX, 10);
  EXPECT_EQ(gx.penY, 60);
}

TEST_F(GxDrawTest, SegmentHookTakesOverDrawing) {
  hookSegments();
  const double p[2] = {1.5, 2.5};
  gxSegment(1, p);
  ASSERT_EQ(segs().size(), 1u);
  EXPECT_EQ(segs()[0].draw, 1);
  EXPECT_EQ(segs()[0].x, 1.5);
  EXPECT_EQ(inkedCount(), 0);
}

TEST_F(GxDrawTest, PolygonCollectorFillsWhatWasCollected) {
  gxPolyEnd(0);
  EXPECT_TRUE(gxPolyCollecting());
  gxMoveTo(10, 10);
  gxLineTo(40, 10);
  gxLineTo(40, 40);
  gxLineTo(10, 40);
  EXPECT_EQ(inkedCount(), 0);
  gxPolyEnd(1);
  EXPECT_FALSE(gxPolyCollecting());
  ASSERT_EQ(plTestGdiCallCount("Polygon"), 1);
  for (const PlGdiCall& call : plTestGdiCalls()) {
    if (call.name != "Polygon") continue;
    EXPECT_EQ(call.args[0], 4);
  }
  EXPECT_EQ(at(25, 25), RGB(0, 0, 0));
  EXPECT_FALSE(inked(50, 50));
}

// In exclusive-or mode a figure drawn twice leaves the image as it was,
// its end pixels and dots included.
TEST_F(GxDrawTest, ExclusiveOrTwiceRestoresEveryPixel) {
  const double centre[2] = {64, 64}, a1[2] = {84, 64}, a2[2] = {64, 54};
  struct Case {
    const char* name;
    std::function<void()> draw;
    int endX, endY;  // a pixel the first pass must ink (-1: none)
  };
  const Case cases[] = {
      {"polyline",
       [] {
         gxMoveTo(5, 5);
         gxLineTo(60, 5);
         gxLineTo(60, 30);
         gxLineTo(100, 90);
       },
       100, 90},
      {"frame",
       [] {
         const RECT r{10, 10, 50, 40};
         gxRect(gxRectFrame, &r);
       },
       10, 10},
      {"arc", [&] { gxArc(centre, a1, a2, 0.1, 0.3); }, -1, -1},
      {"dotted",
       [] {
         gxSetPenStyle(2);
         gxMoveTo(0, 7);
         gxLineTo(100, 7);
       },
       1, 7},
  };
  for (const Case& c : cases) {
    PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
    gxSetPenStyle(0);
    gxSetDrawMode(gxModeXor);
    const std::vector<COLORREF> before = image();
    c.draw();
    EXPECT_GT(inkedCount(), 0) << c.name;
    if (c.endX >= 0) {
      EXPECT_EQ(at(c.endX, c.endY), RGB(0, 0, 0)) << c.name;
    }
    c.draw();
    EXPECT_TRUE(image() == before) << c.name << ": " << inkedCount() << " pixels left";
    gxSetDrawMode(gxModeDraw);
  }
}

}  // namespace
