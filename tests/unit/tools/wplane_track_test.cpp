// A work plane from points entered with the mouse: one press with the
// view's axes, three presses for a plane through three points (false until
// the third); parallel axes are refused and the buffer is used up.
#include "tools/trk_fixture.h"

#include "views/model.h"
#include "views/wplane.h"

namespace {

using geomfx::near;

class WPlaneTrack : public trkfx::TrkTest {
protected:
  // aWPlaneTrack at a click on (x, y); the answer, the boolean in *made.
  int click(double x, double y, int mode, int32_t* made) {
    const POINT at = pixel(x, y);
    queueDrag(at, {});
    const int32_t press[2] = {at.x, at.y};
    return call(vwOpWPlaneTrack, {argBlock(press), argInt(mode)}, {made});
  }
  static int bufferCount() {
    ieToolPoint* buffer = nullptr;
    int count = 0;
    ieGetPointBuffer(&buffer, &count);
    return count;
  }
};

TEST_F(WPlaneTrack, OnePointKeepsTheViewAxesThreePointsSpanThePlane) {
  int32_t made = -1;
  ASSERT_EQ(0, click(0.25, 0.5, 1, &made));
  EXPECT_EQ(1, made);
  wplaneRec* plane = wpCurrent();
  ASSERT_NE(nullptr, plane);
  EXPECT_NEAR(0.25, plane->origin[0], 0.03);
  EXPECT_NEAR(0.5, plane->origin[1], 0.03);
  EXPECT_TRUE(near(plane->right, {1, 0, 0}));
  EXPECT_TRUE(near(plane->up, {0, 1, 0}));
  EXPECT_EQ(0, bufferCount());

  // Three presses: the first two answer false and keep their points.
  ASSERT_EQ(0, click(0, 0, 0, &made));
  EXPECT_EQ(0, made);
  ASSERT_EQ(0, click(0, 0.5, 0, &made));
  EXPECT_EQ(0, made);
  EXPECT_EQ(2, bufferCount());
  ASSERT_EQ(0, click(-0.5, 0, 0, &made));
  EXPECT_EQ(1, made);
  plane = wpCurrent();
  ASSERT_NE(nullptr, plane);
  EXPECT_NEAR(0, plane->right[0], 0.05);
  EXPECT_NEAR(1, plane->right[1], 0.05);
  EXPECT_NEAR(-1, plane->up[0], 0.05);
  EXPECT_EQ(0, bufferCount());
}

TEST_F(WPlaneTrack, ThreePointsOnOneLineAreRefused) {
  int32_t made = -1;
  ASSERT_EQ(0, click(0, 0, 0, &made));
  ASSERT_EQ(0, click(0.25, 0, 0, &made));
  EXPECT_EQ(vwErrBadWP, click(0.5, 0, 0, &made));
  EXPECT_EQ(0, bufferCount());
}

}  // namespace
