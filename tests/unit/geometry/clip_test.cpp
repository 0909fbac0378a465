// The clip test: outcodes, clipped moves and draws, the polygon test.
#include "geometry/clip.h"

#include "draw/csys.h"

#include <gtest/gtest.h>

namespace {

class ClipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    csysInit();
    clipRectGet(savedRect);
    const int32_t rect[4] = {10, 20, 30, 40};
    clipRectSet(rect);
    clipHitTake();
  }
  void TearDown() override {
    clipHitTake();
    clipRectSet(savedRect);
    csysInit();
  }
  static int line(double x0, double y0, double x1, double y1) {
    const double a[3] = {x0, y0, 0}, b[3] = {x1, y1, 0};
    clipMoveTo(a);
    return clipLineTo(b);
  }
  int32_t savedRect[4];
};

TEST_F(ClipTest, RectangleAndOutcodes) {
  int32_t rect[4];
  clipRectGet(rect);
  EXPECT_EQ(rect[0], 10);
  EXPECT_EQ(rect[3], 40);
  struct Case {
    int32_t x, y;
    uint16_t code;
  } cases[] = {{10, 20, 0},  {30, 40, 0},  {9, 25, 1},   {15, 19, 2},  {31, 25, 4},
               {15, 41, 8},  {9, 19, 3},   {31, 41, 12}, {9, 41, 9},   {31, 19, 6}};
  for (const Case& c : cases) EXPECT_EQ(clipOutcode(c.x, c.y), c.code) << c.x << "," << c.y;
}

TEST_F(ClipTest, MoveToThroughTheCurrentTransform) {
  const double inside[3] = {20, 30, 0}, outside[3] = {0, 0, 0};
  EXPECT_EQ(clipMoveTo(outside), 0);
  EXPECT_EQ(clipHitTake(), 0u);
  EXPECT_EQ(clipMoveTo(inside), -1);
  EXPECT_EQ(clipHitTake(), 1u);
  EXPECT_EQ(clipHitTake(), 0u);  // taking clears it

  // World (2, 3) lands on pixel (20, 30) under a scale by 10.
  const double scale[16] = {10, 0, 0, 0, 0, 10, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  csysPush();
  csysLoad(scale);
  const double world[3] = {2, 3, 0};
  EXPECT_EQ(clipMoveTo(world), -1);
  csysPop();
  EXPECT_EQ(clipMoveTo(world), 0);
}

TEST_F(ClipTest, LineToCases) {
  struct Case {
    const char* what;
    double x0, y0, x1, y1;
    int answer;
    uint32_t hit;
  } cases[] = {
      {"start inside", 15, 25, 100, 100, -1, 1},
      {"end inside", -50, 25, 20, 30, -1, 1},
      {"both left", 0, 0, 5, 100, 0, 0},
      {"both below", 0, 50, 100, 60, 0, 0},
      {"straight across", 0, 30, 100, 30, -1, 1},
      // Across the top-left corner outside, from the left to the top: the
      // midpoint (6, 11) lies beyond both sides, so the half kept lies
      // wholly above.
      {"past the corner", 0, 22, 12, 0, 0, 0},
      // Through the corner region diagonally, touching it.
      {"through the corner", 0, 30, 20, 10, -1, 1},
  };
  for (const Case& c : cases) {
    clipHitTake();
    EXPECT_EQ(line(c.x0, c.y0, c.x1, c.y1), c.answer) << c.what;
    EXPECT_EQ(clipHitTake(), c.hit) << c.what;
  }

  // The new end becomes current: a second draw starts from it.
  const double a[3] = {0, 0, 0}, b[3] = {0, 100, 0}, c[3] = {20, 100, 0};
  clipMoveTo(a);
  EXPECT_EQ(clipLineTo(b), 0);
  EXPECT_EQ(clipLineTo(c), 0);  // (0, 100) to (20, 100): both below
  EXPECT_EQ(clipHitTake(), 0u);
}

TEST_F(ClipTest, UndecidedAfterSixteenHalvingsCountsAsAHit) {
  // A long segment passing the rectangle so that no midpoint lands inside
  // and no half is proved beyond one side within 16 halvings.
  EXPECT_EQ(line(-83224, 67658, 191738, -155775), 1);
  EXPECT_EQ(clipHitTake(), 1u);
}

TEST_F(ClipTest, PolygonTest) {
  // A square around the whole rectangle: no edge touches, the corner is
  // inside, answer 1.
  const double around[4][3] = {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}};
  EXPECT_EQ(clipPolyTest(4, &around[0][0]), 1);
  // The same the other way round.
  const double reversed[4][3] = {{0, 100, 0}, {100, 100, 0}, {100, 0, 0}, {0, 0, 0}};
  EXPECT_EQ(clipPolyTest(4, &reversed[0][0]), 1);

  // A triangle whose edge crosses the rectangle while the corner lies
  // outside it: found by the edge test.
  const double crossing[3][3] = {{0, 30, 0}, {100, 30, 0}, {50, 100, 0}};
  clipHitTake();
  EXPECT_EQ(clipPolyTest(3, &crossing[0][0]), 1);
  // The closing edge (last to first) counts: only it crosses.
  const double closing[3][3] = {{0, 30, 0}, {-50, 100, 0}, {100, 30, 0}};
  EXPECT_EQ(clipPolyTest(3, &closing[0][0]), 1);
  // A triangle away from it.
  const double away[3][3] = {{100, 100, 0}, {200, 100, 0}, {150, 200, 0}};
  EXPECT_EQ(clipPolyTest(3, &away[0][0]), 0);

  // Screen coordinates: the current transform does not apply, and is the
  // same afterwards.
  const double scale[16] = {10, 0, 0, 0, 0, 10, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  csysLoad(scale);
  const int depth = csysDepth();
  EXPECT_EQ(clipPolyTest(3, &away[0][0]), 0);
  EXPECT_EQ(csysDepth(), depth);
  EXPECT_EQ(csysTransform()[0], 10.0);

  // Repeated points (zero-length edges) do not decide the corner test.
  const double repeated[5][3] = {{0, 0, 0}, {0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}};
  EXPECT_EQ(clipPolyTest(5, &repeated[0][0]), 1);
  const double spot[1][3] = {{200, 200, 0}};
  EXPECT_EQ(clipPolyTest(1, &spot[0][0]), 0);
  EXPECT_EQ(clipPolyTest(0, nullptr), 0);
}

}  // namespace
