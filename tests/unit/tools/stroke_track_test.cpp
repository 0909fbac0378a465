// A stroke tracked with the mouse (aTrackStroke): the positions the mouse
// passes while the button is held, classified with y up, so that a square
// drawn from the bottom-left corner starts in cell 1.
#include "tools/trk_fixture.h"

#include "objects/scriptsvc.h"

namespace {

using StrokeTrack = trkfx::TrkTest;

TEST_F(StrokeTrack, ASquareFromTheBottomLeftStartsInCellOne) {
  // 13 pixels a side; window rows grow downwards, so the bottom-left
  // corner is the larger y.
  const POINT start{200, 213};
  queueDrag(start, {POINT{213, 213}, POINT{213, 200}, POINT{200, 200}});
  const int32_t press[2] = {start.x, start.y};
  int32_t first[2] = {0, 0}, last[2] = {0, 0}, code = 0;
  ASSERT_EQ(0, call(aTrackStrokeOp, {argBlock(press)}, {first, last, &code}));
  EXPECT_EQ(200, first[0]);
  EXPECT_EQ(213, first[1]);
  EXPECT_EQ(200, last[0]);
  EXPECT_EQ(200, last[1]);
  EXPECT_EQ(1, code >> 16) << "starts in the bottom-left cell";
  // The same classification as the positions given directly, y up.
  const int32_t up[4][2] = {{200, -213}, {213, -213}, {213, -200}, {200, -200}};
  EXPECT_EQ(strokeClassify(up, 4), code);
}

}  // namespace
