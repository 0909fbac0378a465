// trackSnapPoint on lines in a document seen through a view: which code
// wins near ends, midpoints and crossings, the cursor point when nothing is
// near, the accept radius, construction geometry, a typed key, the end of
// a drag, and the use counts the results hold.
#include "tools/snap.h"
#include "tools/snapcodes.h"
#include "tools/track.h"

#include "geometry/geometry_fixture.h"
#include "geometry/line.h"
#include "objects/grpedit.h"
#include "objects/layer.h"
#include "objects/objsend.h"
#include "ui/attn.h"
#include "views/view.h"
#include "views/wplane.h"

#include <platform_test.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using geomfx::near;

class SnapEngine : public geomfx::GeomTest {
protected:
  void SetUp() override {
    GeomTest::SetUp();
    s = sheetfx::sheetWithView();
    vwSetCurView(s.draft);
    std::memset(&ctx, 0, sizeof ctx);
    ctx.hitRadius = 8;
    ctx.snapCodes = snapDefaultCodes();
    trackReset(&ctx);
  }
  void TearDown() override {
    snapSetAssistHook(nullptr);
    plTestSetKeyDown(VK_LBUTTON, false);
    trackClearFeedback(&ctx);
    trackFeedbackForgetPort();
    GeomTest::TearDown();
  }

  // Snaps at the pixel of the world point, moved by (dx, dy) pixels.
  int snapNear(double x, double y, int dx = 0, int dy = 0) {
    const double point[3] = {x, y, 0};
    int32_t pixel[2];
    vwWorldToPixel(point, pixel);
    ctx.cursorX = pixel[0] + dx;
    ctx.cursorY = pixel[1] + dy;
    return trackSnapPoint(&ctx);
  }
  // The world units of one pixel in x.
  static double pixelSize() {
    const int32_t a[2] = {0, 0}, b[2] = {1, 0};
    double wa[3], wb[3];
    vwPixelToWorld(a, wa);
    vwPixelToWorld(b, wb);
    return std::fabs(wb[0] - wa[0]);
  }

  sheetfx::SheetWithView s{};
  trackContext ctx{};
};

TEST_F(SnapEngine, NothingNearGivesTheCursorPointOnTheWorkPlane) {
  insertLine(0, 0, 1, 0);
  ctx.snapCodes = "ecmi o";
  ASSERT_EQ(0, snapNear(0.5, 0.6));
  EXPECT_EQ('n', ctx.resultCode);
  EXPECT_EQ(0, ctx.resultObjectCount);
  EXPECT_EQ(nullptr, ctx.resultObjects[0]);
  const int32_t pixel[2] = {ctx.cursorX, ctx.cursorY};
  double expected[3];
  vwPixelToWorld(pixel, expected);
  EXPECT_TRUE(near(ctx.resultPoint, {expected[0], expected[1], 0.0}));
  EXPECT_EQ(1, ctx.snapCounter);

  // The default string's r rounds the point within its pixel to the
  // shortest binary form.
  trackReset(&ctx);
  ctx.snapCodes = snapDefaultCodes();
  ASSERT_EQ(0, snapNear(0.5, 0.6));
  EXPECT_EQ('n', ctx.resultCode);
  const double p = pixelSize();
  for (int i = 0; i < 2; ++i) {
    EXPECT_LE(std::fabs(ctx.resultPoint[i] - expected[i]), p) << i;
    double scaled = ctx.resultPoint[i] * 1024;
    EXPECT_EQ(scaled, std::floor(scaled)) << ctx.resultPoint[i] << " has a short binary form";
  }
  EXPECT_EQ(0.0, ctx.resultPoint[2]);
}

TEST_F(SnapEngine, EndsMidpointsAndCrossingsWithExactPoints) {
  gobjRec* across = insertLine(0, 0, 1.4, 0);
  gobjRec* up = insertLine(0.5, -0.3, 0.5, 0.7);
  const uint8_t acrossCount = across->refCount, upCount = up->refCount;

  ASSERT_EQ(0, snapNear(1.4, 0, 3, -2));
  EXPECT_EQ('e', ctx.resultCode);
  EXPECT_TRUE(near(ctx.resultPoint, {1.4, 0, 0}));
  ASSERT_EQ(1, ctx.resultObjectCount);
  EXPECT_EQ(across, ctx.resultObjects[0]);
  EXPECT_EQ(1.0, ctx.param1);
  EXPECT_GT(across->refCount, acrossCount) << "the result holds a count";

  // Each snap of its own (the snap counter back at 0).
  trackReset(&ctx);
  ASSERT_EQ(0, snapNear(0.7, 0, -2, 3));
  EXPECT_EQ('m', ctx.resultCode);
  EXPECT_TRUE(near(ctx.resultPoint, {0.7, 0, 0}));
  EXPECT_EQ(0.5, ctx.param1);

  trackReset(&ctx);
  ASSERT_EQ(0, snapNear(0.5, 0, 3, 2));
  EXPECT_EQ('i', ctx.resultCode);
  ASSERT_EQ(2, ctx.resultObjectCount);
  EXPECT_TRUE(near(ctx.resultPoint, {0.5, 0, 0}, 1e-9)) << "refined to the exact crossing";
  EXPECT_TRUE((ctx.resultObjects[0] == across && ctx.resultObjects[1] == up) ||
              (ctx.resultObjects[0] == up && ctx.resultObjects[1] == across));
  const double onAcross = ctx.resultObjects[0] == across ? ctx.param1 : ctx.param2;
  EXPECT_NEAR(0.5 / 1.4, onAcross, 1e-9);

  trackClearFeedback(&ctx);
  EXPECT_EQ(acrossCount, across->refCount) << "candidates and results give their counts back";
  EXPECT_EQ(upCount, up->refCount);
}

TEST_F(SnapEngine, AcceptRadiusAndConstructionLayer) {
  const double p = pixelSize();
  gobjRec* drawn = insertLine(0, 0, 1, 0);
  ctx.snapCodes = "o";
  ASSERT_EQ(0, snapNear(0.5, 5 * p));
  EXPECT_EQ('o', ctx.resultCode) << "5 pixels is within the hit radius of 8";
  EXPECT_TRUE(near(ctx.resultPoint, {0.5, 0, 0}, 1e-9));
  EXPECT_EQ(drawn, ctx.resultObjects[0]);

  trackReset(&ctx);
  ctx.snapCodes = "H<4>o";
  ASSERT_EQ(0, snapNear(0.5, 5 * p));
  EXPECT_EQ('n', ctx.resultCode) << "H<4> limits the nearest point to 4 pixels";

  // A construction line over the drawn one: the drawn line wins.
  gobjRec* guide = insertLine(0, 0, 1, 0);
  ASSERT_EQ(0, layerSetByName(guide, "construction", 12, 0));
  const uint8_t drawnLayer = drawn->layer;
  trackReset(&ctx);
  ctx.snapCodes = "o";
  ASSERT_EQ(0, snapNear(0.5, 2 * p));
  EXPECT_EQ(drawn, ctx.resultObjects[0]);
  EXPECT_EQ(drawnLayer, drawn->layer) << "snapping moves no drawing object";

  // Filtered to a class nothing belongs to: nothing is taken.
  trackReset(&ctx);
  ctx.snapCodes = "o[arc]";
  ASSERT_EQ(0, snapNear(0.5, 2 * p));
  EXPECT_EQ('n', ctx.resultCode);
}

TEST_F(SnapEngine, RepeatedSnapWithoutAButtonEndsTheDragAndKeepsTheResult) {
  gobjRec* object = insertLine(0, 0, 1, 0);
  const uint8_t baseline = object->refCount;
  plTestSetKeyDown(VK_LBUTTON, true);
  ASSERT_EQ(0, snapNear(1, 0, 2, 2));
  ASSERT_EQ('e', ctx.resultCode);
  plTestSetKeyDown(VK_LBUTTON, false);
  EXPECT_EQ(snapMouseUp, snapNear(0.5, 0.6));
  EXPECT_EQ('e', ctx.resultCode);
  EXPECT_TRUE(near(ctx.resultPoint, {1, 0, 0}));
  EXPECT_EQ(object, ctx.resultObjects[0]) << "the objects stay with the point they describe";
  EXPECT_EQ(1, ctx.snapCounter);
  trackClearFeedback(&ctx);
  EXPECT_EQ(baseline, object->refCount);
}

TEST_F(SnapEngine, TypedBTriesTheConstructionLinesThroughTheLastPointFirst) {
  const double p = pixelSize();
  gobjRec* object = insertLine(0, 0, 1.4, 0);
  const uint8_t layer = object->layer;
  static const double entered[1][3] = {{0, 0, 0}};
  ctx.entered = entered;
  ctx.enteredCount = 1;
  trackReset(&ctx);
  ctx.snapCodes = "o";

  // Straight above the start point, 30 pixels off the line: nothing.
  ASSERT_EQ(0, snapNear(0, 30 * p, 1, 0));
  EXPECT_EQ('n', ctx.resultCode);

  // The typed b puts the perpendicular through (0, 0) in front.
  trackReset(&ctx);
  ctx.snapCodes = "o";
  ctx.typedKey = 'B';
  ASSERT_EQ(0, snapNear(0, 30 * p, 1, 0));
  EXPECT_EQ('o', ctx.resultCode);
  ASSERT_EQ(1, ctx.resultObjectCount);
  gobjRec* guide = ctx.resultObjects[0];
  EXPECT_NE(object, guide);
  EXPECT_TRUE(objOnScratchLayer(guide)) << "construction lines go to .temp";
  EXPECT_NEAR(0.0, ctx.resultPoint[0], 1e-9);
  EXPECT_NEAR(30 * p, ctx.resultPoint[1], 1e-9);
  EXPECT_EQ(layer, object->layer);
}

TEST_F(SnapEngine, AssistantOffOrMaskedLettersPropose) {
  insertLine(0, 0, 1, 0);
  snapSetAssistHook([](uint32_t* mask, bool*) { *mask = ~0x002u; });
  ctx.snapCodes = "e";
  ASSERT_EQ(0, snapNear(1, 0, 1, 1));
  EXPECT_EQ('n', ctx.resultCode) << "e is masked off";
  snapSetAssistHook([](uint32_t*, bool* on) { *on = false; });
  trackReset(&ctx);
  ASSERT_EQ(0, snapNear(1, 0, 1, 1));
  EXPECT_EQ('n', ctx.resultCode) << "the assistant is off: nothing is walked";
  snapSetAssistHook(nullptr);
  trackReset(&ctx);
  ASSERT_EQ(0, snapNear(1, 0, 1, 1));
  EXPECT_EQ('e', ctx.resultCode);
}

TEST_F(SnapEngine, VerticesAndThePerpendicularFromTheLastPoint) {
  gobjRec* object = insertLine(0, 0, 1, 0);
  ctx.snapCodes = "v";
  ASSERT_EQ(0, snapNear(1, 0, -2, 2));
  EXPECT_EQ('v', ctx.resultCode);
  EXPECT_EQ(object, ctx.resultObjects[0]);
  EXPECT_EQ(-1.0, ctx.param1);
  EXPECT_TRUE(near(ctx.resultPoint, {1, 0, 0}));

  static const double entered[1][3] = {{0.3, 0.5, 0}};
  ctx.entered = entered;
  ctx.enteredCount = 1;
  trackReset(&ctx);
  ctx.snapCodes = "p";
  ASSERT_EQ(0, snapNear(0.3, 0, 3, 1));
  EXPECT_EQ('p', ctx.resultCode);
  EXPECT_TRUE(near(ctx.resultPoint, {0.3, 0, 0}, 1e-12)) << "the foot of the perpendicular from (0.3, 0.5)";
  EXPECT_EQ(object, ctx.resultObjects[0]);

  // Within 5 pixels of the last point nothing is proposed from it.
  trackReset(&ctx);
  ASSERT_EQ(0, snapNear(0.3, 0.5, 1, 1));
  EXPECT_EQ('n', ctx.resultCode);
}

TEST_F(SnapEngine, ApparentCrossingsChooseTheCurveByDepth) {
  const double a0[3] = {0, 0, 0}, a1[3] = {1, 0, 0}, b0[3] = {0.5, -0.5, 1}, b1[3] = {0.5, 0.5, 1};
  gobjRec* low = hold(lineMake(a0, a1));
  gobjRec* high = hold(lineMake(b0, b1));
  ASSERT_EQ(0, objInsert(low));
  ASSERT_EQ(0, objInsert(high));

  ctx.snapCodes = "i";
  ASSERT_EQ(0, snapNear(0.5, 0, 2, 1));
  EXPECT_EQ('n', ctx.resultCode) << "the lines do not really cross";

  double z[2];
  const char* codes[2] = {"B", "f"};
  for (int i = 0; i < 2; ++i) {
    trackReset(&ctx);
    ctx.snapCodes = codes[i];
    ASSERT_EQ(0, snapNear(0.5, 0, 2, 1));
    EXPECT_EQ(codes[i][0], ctx.resultCode);
    ASSERT_EQ(2, ctx.resultObjectCount);
    z[i] = ctx.resultPoint[2];
    EXPECT_EQ(z[i] == 0 ? low : high, ctx.resultObjects[0]) << "the chosen curve comes first";
    EXPECT_NEAR(0.5, ctx.resultPoint[0], 1e-6);
    EXPECT_NEAR(0.0, ctx.resultPoint[1], 1e-6);
  }
  EXPECT_TRUE((z[0] == 0 && z[1] == 1) || (z[0] == 1 && z[1] == 0)) << z[0] << " " << z[1];
}

// A snap that outlasts 60 ticks: abandoned when the mouse has moved away,
// otherwise carried on under the busy cursor.
TEST_F(SnapEngine, SlowSnapIsAbandonedOnlyWhenTheMouseMovedAway) {
  gobjRec* object = insertLine(0, 0, 1, 0);
  const uint8_t baseline = object->refCount;
  plTestSetTickCount(100000);
  // The clock jumps as the snap starts, as if collecting had taken long.
  snapSetAssistHook([](uint32_t*, bool*) { plTestAdvanceClock(2000); });
  const double end[3] = {1, 0, 0};
  int32_t pixel[2];
  vwWorldToPixel(end, pixel);

  SetCursorPos(pixel[0] + 40, pixel[1]);
  EXPECT_EQ(snapAbandoned, snapNear(1, 0, 2, 2));
  EXPECT_EQ('n', ctx.resultCode) << "nothing found yet: the cursor point";
  EXPECT_EQ(0, ctx.snapCounter);
  trackFeedbackState shown;
  trackFeedbackGet(&shown);
  EXPECT_EQ(0u, shown.flags & trackFbOn) << "the feedback is erased";
  EXPECT_EQ(0, uiBusyCount());

  SetCursorPos(pixel[0] + 2, pixel[1] + 2);
  EXPECT_EQ(0, snapNear(1, 0, 2, 2));
  EXPECT_EQ('e', ctx.resultCode);
  EXPECT_EQ(1, ctx.snapCounter);
  EXPECT_EQ(0, uiBusyCount()) << "the busy cursor ends with the snap";

  trackClearFeedback(&ctx);
  EXPECT_EQ(baseline, object->refCount);
}

}  // namespace
