// View tracking: a new view from tracked points, the rubber-band box, and
// the view-control ball turning the current view (queued mouse input).
#include "view_fixture.h"

#include "views/current.h"
#include "views/vwtrack.h"
#include "views/wplane.h"

#include <platform_test.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using viewfx::ViewDrawTest;

std::vector<std::array<double, 3>>& tracked() {
  static std::vector<std::array<double, 3>> points;
  return points;
}
int trackedPoints(double (*out)[3], int max) {
  int n = 0;
  for (const auto& p : tracked()) {
    if (n == max) break;
    for (int k = 0; k < 3; ++k) out[n][k] = p[k];
    ++n;
  }
  return n;
}
int feedbackClears = 0;
void clearFeedback() { ++feedbackClears; }

class VwTrack : public ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    tracked().clear();
    feedbackClears = 0;
    const vwTrackHooks h{nullptr, trackedPoints, clearFeedback};
    vwSetTrackHooks(&h);
  }
  void TearDown() override {
    vwSetTrackHooks(nullptr);
    for (int vk : {VK_LBUTTON, VK_SHIFT, VK_CONTROL, VK_MENU}) plTestSetKeyDown(vk, false);
    ViewDrawTest::TearDown();
  }
  static int viewsOf(const sheetRec* sheet) {
    int n = 0;
    for (const viewRec* v = sheet->firstView; v; v = v->next) ++n;
    return n;
  }
  static std::array<int32_t, 2> pixelIn(viewRec* view, std::array<double, 3> world) {
    vwRebuildMatrices(view);
    double s[3];
    aPtTransform(3, world.data(), view->worldToScreen, s);
    return {int32_t(std::lround(s[0])), int32_t(std::lround(s[1]))};
  }
  // A press at p (client pixels of hwnd) held through the moves, 10 ms
  // apart, then released.
  static void queueDrag(HWND hwnd, POINT p, const std::vector<POINT>& moves) {
    auto screen = [&](POINT c) {
      ClientToScreen(hwnd, &c);
      return c;
    };
    const POINT s0 = screen(p);
    plTestQueueMouseButton(VK_LBUTTON, true, s0.x, s0.y, 1);
    POINT last = s0;
    for (POINT m : moves) {
      last = screen(m);
      plTestQueueMouseMove(last.x, last.y, 10);
    }
    plTestQueueMouseButton(VK_LBUTTON, false, last.x, last.y, 10);
  }
};

TEST_F(VwTrack, ANewViewFromTwoTrackedPointsCoversTheirBox) {
  auto s = sheetfx::sheetWithView();
  vwSetCurView(s.draft);
  const int before = viewsOf(s.sheet);
  tracked() = {{0, 0, 0}};
  EXPECT_EQ(eval("1.0 aView"), "false") << "one point makes no view";
  EXPECT_EQ(viewsOf(s.sheet), before);
  EXPECT_EQ(vwCurView(), s.draft);

  // At 96 dpi with the page centre at (100, 100): (0, 0)-(1, 1) is the
  // box (100, 4)-(196, 100).
  tracked() = {{0, 0, 0}, {1, 1, 0}};
  EXPECT_EQ(eval("1.0 aView"), "true");
  ASSERT_EQ(viewsOf(s.sheet), before + 1);
  viewRec* view = vwCurView();
  ASSERT_NE(view, s.draft);
  EXPECT_EQ(s.sheet->lastActiveView, view) << "the new view is active";
  EXPECT_EQ(feedbackClears, 1);
  EXPECT_NEAR(view->screenBox[0], 100, 1);
  EXPECT_NEAR(view->screenBox[1], 4, 1);
  EXPECT_NEAR(view->screenBox[2], 196, 1);
  EXPECT_NEAR(view->screenBox[3], 100, 1);
  const auto middle = pixelIn(view, {0.5, 0.5, 0});
  EXPECT_EQ(middle[0], 148);
  EXPECT_EQ(middle[1], 52);

  // Scale 2: the box doubles about its centre and the picture with it.
  vwSetCurView(s.draft);
  EXPECT_EQ(eval("2.0 aView"), "true");
  viewRec* big = vwCurView();
  EXPECT_NEAR(big->screenBox[2] - big->screenBox[0], 192, 1);
  EXPECT_DOUBLE_EQ(big->states[0].scale, 2.0);
  EXPECT_EQ(pixelIn(big, {0.5, 0.5, 0}), middle);
  EXPECT_EQ(pixelIn(big, {1.5, 0.5, 0})[0], 148 + 192);

  // A third point moves the box's centre there.
  vwSetCurView(s.draft);
  tracked() = {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}};
  EXPECT_EQ(eval("1.0 aView"), "true");
  EXPECT_NEAR(vwCurView()->screenBox[0], 100 + 2 * 96 - 48, 1);
}

TEST_F(VwTrack, AFlatBoxOrNoCurrentViewIsRefused) {
  auto s = sheetfx::sheetWithView();
  vwSetCurView(s.draft);
  const int before = viewsOf(s.sheet);
  tracked() = {{0, 0, 0}, {0, 2, 0}};
  EXPECT_EQ(eval("1.0 aView"), "-217");
  const int32_t flat[4] = {10, 10, 50, 10};
  EXPECT_EQ(vwViewFromBox(flat, 1), vwErrBadViewLimits);
  EXPECT_EQ(viewsOf(s.sheet), before);
  vwSetCurView(nullptr);
  const int32_t box[4] = {10, 10, 50, 50};
  EXPECT_EQ(vwViewFromBox(box, 1), vwErrNoCurView);
}

TEST_F(VwTrack, TheRubberBandBoxFollowsTheDragAndLeavesNothingBehind) {
  openDrawing();
  HWND hwnd = native(window);
  vwSetCurView(draft);
  queueDrag(hwnd, POINT{50, 60}, {POINT{80, 70}, POINT{120, 90}});
  EXPECT_EQ(eval("[50 60] aViewTrackBox"), "[50. 60. 120. 90. ] true");
  for (POINT p : {POINT{50, 60}, POINT{120, 90}, POINT{85, 60}, POINT{50, 75}})
    EXPECT_FALSE(inked(hwnd, p.x, p.y)) << "the box is erased at " << p.x << "," << p.y;
  // A press released where it started is no box.
  queueDrag(hwnd, POINT{50, 60}, {});
  EXPECT_EQ(eval("[50 60] aViewTrackBox"), "[50. 60. 50. 60. ] false");
}

TEST_F(VwTrack, ABoxFollowsThePointerAndBecomesTheNewView) {
  openDrawing();
  HWND hwnd = native(window);
  vwSetCurView(draft);
  // The tracked corners span 40 x 20 pixels; at scale 2 the box is 80 x 40
  // about the pointer.
  const int32_t a[2] = {100, 100}, b[2] = {140, 120};
  double wa[3], wb[3];
  vwPixelToWorld(a, wa);
  vwPixelToWorld(b, wb);
  tracked() = {{wa[0], wa[1], wa[2]}, {wb[0], wb[1], wb[2]}};
  queueDrag(hwnd, POINT{200, 150}, {POINT{210, 150}, POINT{220, 160}});
  EXPECT_EQ(eval("[200 150] 2.0 false aViewTrack"), "true");
  viewRec* view = vwCurView();
  ASSERT_NE(view, draft);
  EXPECT_EQ(std::vector<int32_t>(view->screenBox, view->screenBox + 4), (std::vector<int32_t>{180, 140, 260, 180}));
  EXPECT_FALSE(inked(hwnd, 180, 150)) << "the tracked box is erased";
  tracked().clear();
  vwSetCurView(draft);
  EXPECT_EQ(eval("[200 150] 2.0 false aViewTrack"), "false") << "no corners tracked";
}

TEST_F(VwTrack, PanningScrollsTheViewByTheDrag) {
  openDrawing();
  HWND hwnd = native(window);
  const double box[4] = {-1, -1, 1, 1};
  viewRec* view = vwCreate(sheet, model, box, 0);
  vwSetCurView(view);
  const auto before = pixelIn(view, {0, 0, 0});
  queueDrag(hwnd, POINT{50, 60}, {POINT{60, 65}, POINT{80, 70}});
  ASSERT_EQ(vwTrackPan(view, POINT{50, 60}), 0);
  const auto after = pixelIn(view, {0, 0, 0});
  EXPECT_EQ(after[0] - before[0], 30);
  EXPECT_EQ(after[1] - before[1], 10);
}

// The rotation by angle about the unit axis k (Rodrigues' formula).
std::array<double, 3> rodrigues(const double k[3], double angle, const double v[3]) {
  const double c = std::cos(angle), s = std::sin(angle);
  const double kv = k[0] * v[0] + k[1] * v[1] + k[2] * v[2];
  const double kxv[3] = {k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2], k[0] * v[1] - k[1] * v[0]};
  std::array<double, 3> out{};
  for (int i = 0; i < 3; ++i) out[i] = v[i] * c + kxv[i] * s + k[i] * kv * (1 - c);
  return out;
}

TEST_F(VwTrack, DraggingTheBallTurnsTheViewAsTheVirtualSphereSays) {
  openDrawing();
  HWND hwnd = native(window);
  addLine(model, {-1, -1, 0}, {1, 1, 0});
  const double box[4] = {-1, -1, 1, 1};
  viewRec* view = vwCreate(sheet, model, box, 0);
  vwSetCurView(view);
  // The ball: (10, 10)-(110, 110) inset by 7 is 86 pixels square about
  // (60, 60). Dragged 20 pixels right from its centre.
  queueDrag(hwnd, POINT{60, 60}, {POINT{80, 60}});
  EXPECT_EQ(eval("[60 60] [10 10 110 110] aViewControlTrack"), "");

  const double zTo = std::sqrt(84.0 * 84.0 - 40.0 * 40.0);
  const double length = std::hypot(40.0, zTo);
  const double angle = std::acos(zTo / length);
  const double axis[3] = {0, 1, 0};  // (0, 0, 1) x (40, 0, z), normalised
  const double e3[3] = {0, 0, 1}, down[3] = {0, -1, 0};
  // The view's normal is the inverse turn of the screen's z axis, taken
  // back to the world (screen y points down).
  const auto n = rodrigues(axis, -angle, e3);
  const auto u = rodrigues(axis, -angle, down);
  const double* normal = view->states[0].normal;
  const double* up = view->states[0].up;
  EXPECT_NEAR(normal[0], n[0], 1e-9);
  EXPECT_NEAR(normal[1], -n[1], 1e-9);
  EXPECT_NEAR(normal[2], n[2], 1e-9);
  EXPECT_NEAR(up[0], -u[0], 1e-9);
  EXPECT_NEAR(up[1], 1, 1e-9);
  EXPECT_LT(normal[0], 0) << "the front turns to the right, the eye to the left";
}

TEST_F(VwTrack, TheBallRefusesAStartOutsideItAndNeedsACurrentView) {
  openDrawing();
  const double box[4] = {-1, -1, 1, 1};
  viewRec* view = vwCreate(sheet, model, box, 0);
  vwSetCurView(view);
  const double before[3] = {view->states[0].normal[0], view->states[0].normal[1], view->states[0].normal[2]};
  const int32_t ball[4] = {10, 10, 110, 110};
  EXPECT_EQ(vwViewControlTrack(POINT{12, 12}, ball), vwErrOutOfRange);
  EXPECT_EQ(vwViewControlTrack(POINT{60, 12}, ball), vwErrOutOfRange) << "the circle's top lies inside the inset";
  // The operator leaves no error for the scripts to handle.
  EXPECT_EQ(eval("[12 12] [10 10 110 110] aViewControlTrack"), "");
  EXPECT_EQ(eval("[10 10 110 110] aViewControlDraw"), "");
  for (int k = 0; k < 3; ++k) EXPECT_EQ(view->states[0].normal[k], before[k]);
  vwSetCurView(nullptr);
  EXPECT_EQ(vwViewControlTrack(POINT{60, 60}, ball), vwErrNoCurView);
}

TEST_F(VwTrack, ABallStepWithoutAnAxisTurnsNothing) {
  // Back on the ball's centre, with or without an axis lock, the fallback
  // axis vanishes: the step is the identity, never a NaN.
  double nearCentre[3], centre[3], right[3];
  vwBallVector(43.3, 43, 86, 86, nearCentre);
  vwBallVector(43, 43, 86, 86, centre);
  vwBallVector(63, 43, 86, 86, right);
  const struct {
    const double* from;
    const double* to;
    uint32_t locks;
    bool identity;
  } cases[] = {
      {nearCentre, centre, 0, true},  // the cross product is tiny and to lies on z
      {right, centre, 8, true},       // z locked: the centre has no vector left
      {centre, centre, 0, true},
      {centre, right, 0, false},
      {right, centre, 1, false},      // y locked: a turn about the vertical
  };
  for (const auto& c : cases) {
    double m[16];
    vwBallStep(c.from, c.to, c.locks, m);
    bool identity = true;
    for (int i = 0; i < 16; ++i) {
      ASSERT_TRUE(std::isfinite(m[i]));
      identity = identity && std::fabs(m[i] - ((i % 5) == 0 ? 1 : 0)) < 1e-12;
    }
    EXPECT_EQ(identity, c.identity) << c.locks;
  }

  // A whole drag that comes back to the centre with z locked keeps a
  // usable direction.
  openDrawing();
  HWND hwnd = native(window);
  const double box[4] = {-1, -1, 1, 1};
  viewRec* view = vwCreate(sheet, model, box, 0);
  vwSetCurView(view);
  plTestSetKeyDown(VK_MENU, true);
  queueDrag(hwnd, POINT{80, 60}, {POINT{60, 60}, POINT{60, 80}});
  EXPECT_EQ(eval("[80 60] [10 10 110 110] aViewControlTrack"), "");
  for (int k = 0; k < 3; ++k) {
    EXPECT_TRUE(std::isfinite(view->states[0].normal[k]));
    EXPECT_TRUE(std::isfinite(view->states[0].up[k]));
  }
  EXPECT_NEAR(view->states[0].normal[2], 1, 1e-9) << "a turn about the line of sight keeps the normal";
}

}  // namespace
