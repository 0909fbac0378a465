// Line tracking driven by queued mouse input: a click leaves a start point,
// a drag from a point snapped on a line tracks a tangent or perpendicular
// line, a drag in open space a plain line; and a point tracked inside
// another tool gives that tool its points back.
#include "tools/trk_fixture.h"

#include "geometry/line.h"
#include "objects/grpedit.h"
#include "objects/objsend.h"

namespace {

using geomfx::near;

class TrkTrack : public trkfx::TrkTest {
protected:
  // The engine's point at the press: the shared context filled and snapped
  // there with the given codes.
  void engineAt(POINT press, const char* codes) {
    trackContext* context = trkSharedContext();
    trkInitSnapCtx(context);
    context->snapCodes = codes;
    trackReset(context);
    ieSnapAt(press.x, press.y, context, 2);
  }
  static int lineTrack(POINT press, int mode) {
    const int32_t at[2] = {press.x, press.y};
    return call(trk::opLineTrack, {argBlock(at), argInt(mode)});
  }
};

TEST_F(TrkTrack, AClickLeavesAStartPointOnTemp) {
  const POINT press = pixel(0.25, 0.5);
  engineAt(press, "n");
  double engine[3];
  ASSERT_EQ(0, ieGetPoint(engine));
  queueDrag(press, {POINT{press.x + 7, press.y - 7}});
  EXPECT_EQ(0, lineTrack(press, 0));
  ASSERT_EQ(1, rec->recentCount);
  gobjRec* start = rec->recent[0];
  EXPECT_EQ(pointClassId(), start->classId);
  EXPECT_TRUE(objOnScratchLayer(start));
  EXPECT_TRUE(start->flags & gobjInSieve);
  EXPECT_TRUE(near(rec->lastPoint, {engine[0], engine[1], engine[2]}));
  int enabled = 0, drawn = 0;
  double at[3];
  trkMarkState(&enabled, &drawn, at);
  EXPECT_EQ(1, enabled);
  EXPECT_EQ(1, drawn);
  EXPECT_TRUE(near(at, {engine[0], engine[1], engine[2]}));

  // Without a sheet record: an error, nothing tracked.
  vwSetCurView(nullptr);
  EXPECT_EQ(trk::errNoDoc, lineTrack(press, 0));
}

// From a point snapped on a line (code o), a drag mostly across the line
// tracks a perpendicular, mostly along it a tangent; the alignment letters
// are back on afterwards and the anchor line's count is given back.
TEST_F(TrkTrack, ADragFromALineTracksATangentOrAPerpendicular) {
  struct Case {
    double dx, dy;  // drag in world units from the press
    bool perpendicular;
  };
  for (const Case c : {Case{0.05, 0.5, true}, Case{0.6, 0.3, false}}) {
    call(trk::opNewCurrent, {});
    gobjRec* base = insertLine(-0.8, 0, 0.8, 0);
    const uint8_t baseCount = base->refCount;
    const POINT press = pixel(-0.3, 0);
    engineAt(press, "o");
    ASSERT_EQ('o', trkSharedContext()->resultCode);
    const POINT mid = pixel(-0.3 + c.dx / 2, c.dy / 2), end = pixel(-0.3 + c.dx, c.dy);
    queueDrag(press, {mid, end});
    EXPECT_EQ(0, lineTrack(press, 0));
    ASSERT_EQ(2, rec->recentCount) << c.dx;
    gobjRec* made = rec->recent[1];
    double p0[3], p1[3];
    ASSERT_EQ(0, lineEndPoints(made, p0, p1));
    EXPECT_NEAR(0.0, p0[1], 1e-9) << "starts on the line";
    if (c.perpendicular) {
      EXPECT_NEAR(p0[0], p1[0], 1e-9) << "moved to the foot: straight up from the line";
    } else {
      // A straight line has no tangent from a point off it: the start stays
      // where it snapped.
      EXPECT_NEAR(-0.3, p0[0], 0.01);
      EXPECT_GT(p1[0] - p0[0], 0.5);
    }
    EXPECT_EQ(std::string("ecqxm%vtpi rbai Ai gi o"), snapDefaultCodes());
    trackClearFeedback(trkSharedContext());
    EXPECT_EQ(baseCount, base->refCount);
  }
}

TEST_F(TrkTrack, ADragInOpenSpaceTracksALine) {
  const POINT press = pixel(-0.5, -0.5);
  engineAt(press, "n");
  const POINT end = pixel(0.4, 0.2);
  queueDrag(press, {POINT{press.x + 20, press.y}, end});
  EXPECT_EQ(0, lineTrack(press, 0));
  ASSERT_EQ(2, rec->recentCount);
  EXPECT_EQ(lineClassId(), rec->recent[1]->classId);
  EXPECT_FALSE(objOnScratchLayer(rec->recent[1]));
  double p0[3], p1[3];
  ASSERT_EQ(0, lineEndPoints(rec->recent[1], p0, p1));
  EXPECT_TRUE(near(p0, {rec->entered[0][0], rec->entered[0][1], 0}));
  EXPECT_NEAR(0.4, p1[0], 0.03);
  EXPECT_NEAR(0.2, p1[1], 0.03);
  ieToolPoint* buffer = nullptr;
  int count = -1;
  ieGetPointBuffer(&buffer, &count);
  EXPECT_EQ(0, count) << "the buffer is emptied";

  // The next segment starts from the last point; a negative mode puts it
  // on ".temp".
  const POINT next = pixel(0.4, -0.6);
  queueDrag(end, {POINT{end.x, end.y + 20}, next});
  EXPECT_EQ(0, lineTrack(end, -1));
  ASSERT_EQ(3, rec->recentCount);
  EXPECT_TRUE(objOnScratchLayer(rec->recent[2]));
  ASSERT_EQ(0, lineEndPoints(rec->recent[2], p0, p1));
  EXPECT_TRUE(near(p0, {rec->entered[1][0], rec->entered[1][1], rec->entered[1][2]}));
}

TEST_F(TrkTrack, APointTrackedInsideAToolGivesItsPointsBack) {
  double two[2][3] = {{0, 0, 0}, {0.5, 0, 0}};
  ieSetPoints(2, two);
  const POINT press = pixel(0.2, 0.3);
  queueDrag(press, {});
  const int32_t at[2] = {press.x, press.y};
  double out[3] = {9, 9, 9};
  EXPECT_EQ(0, call(trk::opTrackPoint, {argBlock(at)}, {out}));
  EXPECT_NEAR(0.2, out[0], 0.03);
  EXPECT_NEAR(0.3, out[1], 0.03);
  ieToolPoint* buffer = nullptr;
  int count = 0;
  ieGetPointBuffer(&buffer, &count);
  ASSERT_EQ(2, count);
  EXPECT_TRUE(near(buffer[1].point, {0.5, 0, 0}));
  EXPECT_EQ(0, ieToolMode());
  ASSERT_FALSE(iefx::calls().onState.empty());
  EXPECT_EQ(2, iefx::calls().onState.back()) << "mark 2 aOnState cleartomark";
}

// A point dragged for another module: the callback first draws the press's
// point, then for each change draws the new point and erases the one
// before; out ends at the last snap, near the release; the drawing state
// and the feedback are back as they were.
TEST_F(TrkTrack, ADraggedPointDrawsEachNewPointAndErasesTheOldOne) {
  struct Step {
    double point[3];
    int draw;
    bool withContext;
  };
  static std::vector<Step> steps;
  steps.clear();
  const POINT press = pixel(0.1, 0.1), mid = pixel(0.3, 0.2), end = pixel(0.5, 0.4);
  queueDrag(press, {mid, end});
  const int level = gxStateLevel();
  POINT cursor = press;
  double out[3] = {9, 9, 9};
  ASSERT_EQ(0, trkDragPoint(
                   &cursor,
                   [](const double p[3], int draw, int, void*, trackContext* context) {
                     steps.push_back({{p[0], p[1], p[2]}, draw, context != nullptr});
                   },
                   out, nullptr));
  ASSERT_GE(steps.size(), 3u);
  EXPECT_EQ(1, steps[0].draw);
  EXPECT_TRUE(steps[0].withContext);
  EXPECT_EQ(0u, (steps.size() - 1) % 2) << "each change is a draw and an erase";
  for (size_t i = 1; i + 1 < steps.size(); i += 2) {
    EXPECT_EQ(1, steps[i].draw);
    EXPECT_TRUE(steps[i].withContext);
    EXPECT_EQ(0, steps[i + 1].draw);
    EXPECT_FALSE(steps[i + 1].withContext);
    const Step& before = steps[i == 1 ? 0 : i - 2];  // the draw before this one
    EXPECT_TRUE(near(steps[i + 1].point, {before.point[0], before.point[1], before.point[2]}))
        << "the erase is of the point drawn before";
  }
  EXPECT_TRUE(near(out, {steps[steps.size() - 2].point[0], steps[steps.size() - 2].point[1], 0}));
  EXPECT_NEAR(0.5, out[0], 0.03);
  EXPECT_NEAR(0.4, out[1], 0.03);
  EXPECT_EQ(end.x, cursor.x);
  EXPECT_EQ(end.y, cursor.y);
  EXPECT_EQ(level, gxStateLevel());
  trackFeedbackState shown{};
  trackFeedbackGet(&shown);
  EXPECT_EQ(0u, shown.flags);

  // Without a sheet record: -1, nothing called.
  steps.clear();
  vwSetCurView(nullptr);
  EXPECT_EQ(-1, trkDragPoint(&cursor, nullptr, out, nullptr));
}

}  // namespace
