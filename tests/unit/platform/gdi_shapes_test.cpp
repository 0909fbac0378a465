// Shapes: Rectangle, Ellipse, Arc and Polygon in their boxes, brush
// interiors and pen outlines, and the call log.
#include "platform/gdi_fixture.h"

namespace {

using GdiShapes = GdiTest;

TEST_F(GdiShapes, RectangleOutlinesItsBoxWithoutRightAndBottom) {
  SelectObject(dc, GetStockObject(GRAY_BRUSH));
  EXPECT_TRUE(Rectangle(dc, 2, 2, 6, 5));
  EXPECT_EQ(picture(1, 1, 7, 6),
            "......\n"
            ".####.\n"
            ".#??#.\n"
            ".####.\n"
            "......\n");
  EXPECT_EQ(at(3, 3), RGB(128, 128, 128));
}

TEST_F(GdiShapes, RectangleWithoutPenFillsOnePixelLessEachWay) {
  SelectObject(dc, GetStockObject(NULL_PEN));
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  Rectangle(dc, 2, 2, 6, 5);
  EXPECT_EQ(picture(1, 1, 7, 6), "......\n.###..\n.###..\n......\n......\n");
}

TEST_F(GdiShapes, EllipseStaysInItsBoxAndIsSymmetric) {
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  EXPECT_TRUE(Ellipse(dc, 3, 4, 14, 11));
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const bool inBox = x >= 3 && x < 14 && y >= 4 && y < 11;
      if (!inBox) {
        EXPECT_EQ(at(x, y), RGB(255, 255, 255)) << x << "," << y;
        continue;
      }
      EXPECT_EQ(at(x, y), at(16 - x, y)) << x << "," << y;
      EXPECT_EQ(at(x, y), at(x, 14 - y)) << x << "," << y;
    }
  // It touches all four sides of the box, misses the corners, fills the middle.
  EXPECT_EQ(at(8, 4), RGB(0, 0, 0));
  EXPECT_EQ(at(8, 10), RGB(0, 0, 0));
  EXPECT_EQ(at(3, 7), RGB(0, 0, 0));
  EXPECT_EQ(at(13, 7), RGB(0, 0, 0));
  EXPECT_EQ(at(3, 4), RGB(255, 255, 255));
  EXPECT_EQ(at(13, 10), RGB(255, 255, 255));
  EXPECT_EQ(at(8, 7), RGB(0, 0, 0));
}

TEST_F(GdiShapes, EllipseOutlineIsClosedAndTheBrushStaysInside) {
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  Ellipse(dc, 2, 2, 21, 15);
  // Each row of the box meets the outline exactly at its two ends (or one
  // run at the top and bottom), with white between.
  for (int y = 2; y < 15; ++y) {
    int first = -1, last = -1;
    for (int x = 0; x < kSize; ++x)
      if (at(x, y) == RGB(0, 0, 0)) {
        if (first < 0) first = x;
        last = x;
      }
    ASSERT_GE(first, 2) << y;
    EXPECT_LE(last, 20) << y;
    EXPECT_EQ(first + last, 22) << y;
  }
  EXPECT_EQ(at(11, 8), RGB(255, 255, 255));
}

TEST_F(GdiShapes, ArcRunsCounterClockwiseFromStartRayToEndRay) {
  // Start on the right, end at the top: the upper right quarter only.
  EXPECT_TRUE(Arc(dc, 2, 2, 21, 21, 21, 11, 11, 0));
  EXPECT_EQ(at(20, 11), RGB(0, 0, 0));
  EXPECT_EQ(at(11, 2), RGB(0, 0, 0));
  EXPECT_EQ(at(2, 11), RGB(255, 255, 255));
  EXPECT_EQ(at(11, 20), RGB(255, 255, 255));
  int upperRight = 0, elsewhere = 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (at(x, y) == RGB(0, 0, 0)) (x >= 11 && y <= 11 ? upperRight : elsewhere)++;
  EXPECT_GT(upperRight, 10);
  EXPECT_EQ(elsewhere, 0);

  // The same rays the other way round give the other three quarters.
  SetUp();
  Arc(dc, 2, 2, 21, 21, 11, 0, 21, 11);
  EXPECT_EQ(at(2, 11), RGB(0, 0, 0));
  EXPECT_EQ(at(11, 20), RGB(0, 0, 0));
  EXPECT_EQ(at(16, 4), RGB(255, 255, 255));
}

TEST_F(GdiShapes, ArcWithEqualRaysIsTheWholeEllipse) {
  Arc(dc, 2, 2, 21, 21, 30, 11, 30, 11);
  const int arc = inked();
  SetUp();
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  Ellipse(dc, 2, 2, 21, 21);
  EXPECT_EQ(inked(), arc);
}

TEST_F(GdiShapes, PolygonFillsAlternately) {
  // A pentagram: with ALTERNATE its centre is outside, with WINDING inside.
  const POINT star[] = {{12, 1}, {19, 22}, {1, 8}, {23, 8}, {5, 22}};
  SelectObject(dc, GetStockObject(NULL_PEN));
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(GetPolyFillMode(dc), ALTERNATE);
  EXPECT_TRUE(Polygon(dc, star, 5));
  EXPECT_EQ(at(12, 13), RGB(255, 255, 255));  // the centre
  EXPECT_EQ(at(12, 5), RGB(0, 0, 0));         // the top point
  EXPECT_EQ(at(4, 9), RGB(0, 0, 0));          // the left point
  EXPECT_EQ(at(1, 20), RGB(255, 255, 255));   // outside
  SetPolyFillMode(dc, WINDING);
  Polygon(dc, star, 5);
  EXPECT_EQ(at(12, 13), RGB(0, 0, 0));
}

TEST_F(GdiShapes, PolygonOutlineTakesThePenAndTheInteriorTheBrush) {
  SelectObject(dc, GetStockObject(GRAY_BRUSH));
  const POINT box[] = {{2, 2}, {7, 2}, {7, 6}, {2, 6}};
  Polygon(dc, box, 4);
  EXPECT_EQ(picture(2, 2, 8, 7), "######\n#????#\n#????#\n#????#\n######\n");
}

TEST_F(GdiShapes, CallsAreLoggedWithTheirArguments) {
  Ellipse(dc, 1, 2, 3, 4);
  Arc(dc, 1, 2, 3, 4, 5, 6, 7, 8);
  Ellipse(dc, 0, 0, 5, 5);
  EXPECT_EQ(plTestGdiCallCount("Ellipse"), 2);
  EXPECT_EQ(plTestGdiCallCount("Arc"), 1);
  ASSERT_EQ(plTestGdiCalls().size(), 3u);
  EXPECT_EQ(plTestGdiCalls()[1].args, (std::vector<long long>{1, 2, 3, 4, 5, 6, 7, 8}));
  plTestClearGdiCalls();
  EXPECT_TRUE(plTestGdiCalls().empty());
}

}  // namespace
