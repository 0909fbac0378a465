// World and screen transforms: points through the current transform, the
// missing-view panic, the world move and draw calls, boxes, the sheet
// matrices, marker boxes and view matrices; with stand-in views for any
// matrix, and through a document's own view.
#include "draw/gxdraw_fixture.h"
#include "sheet_fixture.h"

#include "core/matrix.h"

#include <cmath>

namespace {

using namespace gxdfx;

class XformsTest : public GxDrawTest {};

// Screen x = 10 x + 50, y = -10 y + 100.
const double kView[16] = {10, 0, 0, 50, 0, -10, 0, 100, 0, 0, 1, 0, 0, 0, 0, 1};

void expectPoint(const double* got, std::vector<double> want, const char* what) {
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << what << " [" << i << "]";
}

TEST_F(XformsTest, WorldPointsGoThroughTheCurrentTransform) {
  FakeView::hasView = true;
  loadView(kView);
  const double p[3] = {2, 3, 0};
  double s[3];
  vwWorldToScreen(p, s);
  expectPoint(s, {70, 70, 0}, "screen");
  const double h[4] = {2, 3, 0, 2};
  double sh[4];
  vwWorldToScreenH(h, sh);
  expectPoint(sh, {120, 170, 0, 2}, "homogeneous");
  EXPECT_TRUE(gxTestPanics().empty());

  const double origin[3] = {0, 0, 0};
  vwMoveToW(origin);
  vwLineToW(p);
  EXPECT_EQ(at(50, 100), RGB(0, 0, 0));
  EXPECT_EQ(at(70, 70), RGB(0, 0, 0));
  EXPECT_EQ(at(60, 85), RGB(0, 0, 0));
}

TEST_F(XformsTest, ProjectiveTransformsDivideByTheWeight) {
  double m[16];
  std::copy(kView, kView + 16, m);
  m[14] = 0.5;  // weight row (0, 0, 0.5, 1)
  loadView(m);
  hookSegments();
  const double p[3] = {2, 3, 2};
  vwLineToW(p);
  ASSERT_EQ(segs().size(), 1u);
  EXPECT_DOUBLE_EQ(segs()[0].x, 35);
  EXPECT_DOUBLE_EQ(segs()[0].y, 35);
  FakeView::hasView = true;
  double s[3];
  vwWorldToScreen(p, s);
  expectPoint(s, {35, 35, 1}, "screen");
}

TEST_F(XformsTest, WithoutAViewThePointIsCopiedAndReported) {
  loadView(kView);
  const double p[3] = {2, 3, 4};
  double s[3];
  const uint32_t before = vwWorldToScreenCount();
  vwWorldToScreen(p, s);
  vwWorldToScreen(p, s);
  expectPoint(s, {2, 3, 4}, "copied");
  EXPECT_EQ(vwWorldToScreenCount(), before + 2);
  const std::string line1 = "vwWorlToScreen nCount=" + std::to_string(before + 1) + "\n";
  const std::string line2 = "vwWorlToScreen nCount=" + std::to_string(before + 2) + "\n";
  EXPECT_NE(logText().find(line1), std::string::npos) << logText();
  EXPECT_NE(logText().find(line2), std::string::npos);
  ASSERT_EQ(gxTestPanics().size(), 2u);
  EXPECT_EQ(gxTestPanics()[0], "Assert failed in DidUrur: 'no curview in xforms:vwWorldToScreen'");

  const double h[4] = {1, 2, 3, 4};
  double sh[4];
  vwWorldToScreenH(h, sh);
  expectPoint(sh, {1, 2, 3, 4}, "copied");
  EXPECT_NE(logText().find("vwWorlToScreenH nCount="), std::string::npos);

  vwScreenToWorld(p, s);
  expectPoint(s, {2, 3, 4}, "copied back");
  EXPECT_EQ(gxTestPanics().back(), "Assert failed in DidUrur: 'no curview in vwScreenToWorld'");
  double size = -5;
  EXPECT_EQ(vwCurPixelSize(&size), -1);
  EXPECT_EQ(size, -5);
}

TEST_F(XformsTest, ScreenSpaceAndDashWalkerBypassTheTransform) {
  loadView(kView);
  hookSegments();
  EXPECT_EQ(vwSetScreenSpace(1), 0);
  const double p[3] = {10, 20, 5};
  vwLineToW(p);
  ASSERT_EQ(segs().size(), 1u);
  EXPECT_EQ(segs()[0].x, 10);
  EXPECT_EQ(segs()[0].y, 20);
  EXPECT_EQ(vwSetScreenSpace(0), 1);

  static std::vector<int> walked;
  walked.clear();
  vwSetDashWalker([](int draw, const double*) { walked.push_back(draw); });
  vwMoveToW(p);
  vwLineToW(p);
  EXPECT_EQ(walked, (std::vector<int>{0, 1}));
  EXPECT_EQ(segs().size(), 1u);
  vwSetDashWalker(nullptr);
}

TEST_F(XformsTest, ScreenToWorldAndPixelSizeComeFromTheView) {
  FakeView::hasView = true;
  const double toWorld[16] = {0, -0.5, 0, 1, 0.5, 0, 0, 2, 0, 0, 1, 0, 0, 0, 0, 1};
  std::copy(toWorld, toWorld + 16, FakeView::screenToWorld);
  const double s[3] = {4, 6, 0};
  double w[3];
  vwScreenToWorld(s, w);
  expectPoint(w, {-2, 4, 0}, "world");
  double size = 0;
  EXPECT_EQ(vwCurPixelSize(&size), 0);
  EXPECT_DOUBLE_EQ(size, 0.5);
}

TEST_F(XformsTest, ScreenBoxToWorldBoundsTheEightCorners) {
  const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  const double m[16] = {3 * c, -3 * s, 0, 40, 3 * s, 3 * c, 0, 10, 0, 0, 2, 5, 0, 0, 0, 1};
  loadView(m);
  const double lo[3] = {0, 0, -1}, hi[3] = {128, 96, 1};
  double wlo[3], whi[3];
  ASSERT_EQ(vwScreenBoxToWorld(lo, hi, wlo, whi), 0);
  double inverse[16];
  ASSERT_EQ(matInvert(4, m, inverse, 0), 0);
  double want[2][3] = {{1e300, 1e300, 1e300}, {-1e300, -1e300, -1e300}};
  for (int k = 0; k < 8; ++k) {
    const double p[3] = {k & 1 ? hi[0] : lo[0], k & 2 ? hi[1] : lo[1], k & 4 ? hi[2] : lo[2]};
    double w[3];
    aPtTransform(3, p, inverse, w);
    for (int i = 0; i < 3; ++i) {
      want[0][i] = std::min(want[0][i], w[i]);
      want[1][i] = std::max(want[1][i], w[i]);
    }
  }
  expectPoint(wlo, {want[0][0], want[0][1], want[0][2]}, "min");
  expectPoint(whi, {want[1][0], want[1][1], want[1][2]}, "max");

  const double singular[16] = {};
  loadView(singular);
  EXPECT_EQ(vwScreenBoxToWorld(lo, hi, wlo, whi), -1);
}

TEST_F(XformsTest, SheetMatricesByKind) {
  double out[16] = {};
  EXPECT_EQ(vwSheetMatrix(11, out), -1);
  FakeView::hasSheet = true;
  for (int i = 0; i < 16; ++i) {
    FakeView::sheet11[i] = i;
    FakeView::sheet12[i] = -i;
  }
  EXPECT_EQ(vwSheetMatrix(13, out), -2);
  EXPECT_EQ(vwSheetMatrix(11, out), 0);
  EXPECT_EQ(out[5], 5);
  EXPECT_EQ(vwSheetMatrix(12, out), 0);
  EXPECT_EQ(out[5], -5);
  EXPECT_NE(vwCurSheetRec(), nullptr);
}

TEST_F(XformsTest, MarkerBoxCoversHalfTheSizeEachSide) {
  FakeView::hasView = true;
  loadView(kView);
  for (int size : {5, 4}) {
    PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
    const double p[3] = {2, 3, 0};  // (70, 70)
    vwDrawMarkerBox(p, size);
    EXPECT_EQ(inkedCount(), 25) << size;
    EXPECT_TRUE(inked(68, 68)) << size;
    EXPECT_TRUE(inked(72, 72)) << size;
    EXPECT_FALSE(inked(73, 70)) << size;
  }
}

TEST_F(XformsTest, LookAtTurnsTheDirectionIntoZ) {
  const double eye[3] = {10, 0, 0}, target[3] = {0, 0, 0}, up[3] = {0, 0, 1};
  double m[16];
  ASSERT_EQ(vwLookAt(eye, target, up, m), 0);
  double out[3];
  aPtTransform(3, target, m, out);
  expectPoint(out, {0, 0, 0}, "target");
  aPtTransform(3, eye, m, out);
  expectPoint(out, {0, 0, -10}, "eye behind the target along z");
  const double above[3] = {0, 0, 3};
  aPtTransform(3, above, m, out);
  expectPoint(out, {0, 3, 0}, "up");
  const double bad[3] = {1, 0, 0};
  EXPECT_EQ(vwLookAt(eye, target, bad, m), -1);

  const double v[3] = {1, 2, 3};
  double pre[16], post[16];
  vwPreTranslate(kView, v, pre);
  vwPostTranslate(kView, v, post);
  const double o[3] = {0, 0, 0};
  aPtTransform(3, o, pre, out);
  expectPoint(out, {60, 80, 3}, "translation first");
  aPtTransform(3, o, post, out);
  expectPoint(out, {51, 102, 3}, "translation last");
}

TEST_F(XformsTest, DrawWindowIsKept) {
  int window = 0;
  vwSetDrawWindow(&window);
  EXPECT_EQ(vwGetDrawWindow(), &window);
  vwSetDrawWindow(nullptr);
  EXPECT_EQ(vwGetDrawWindow(), nullptr);
}

// A turned and scaled view of a document: points go to the screen and back
// through its own matrices, and boxes and sizes follow them.
class XformsOfAView : public sheetfx::SheetTest {};

TEST_F(XformsOfAView, PointsBoxesAndSizesFollowTheCurrentView) {
  csysInit();
  docRec* doc = newDoc();
  sheetRec* sheet = newSheet(doc);
  const int32_t screen[2] = {100, 100};
  const double centre[2] = {0, 0};
  ASSERT_EQ(sheetSetScale(sheet, 1, 0, screen, centre, 0), 0);
  const double box[4] = {-1, -1, 1, 1};
  viewRec* view = vwCreate(sheet, doc->firstModel, box, 0);
  view->states[0].scale = 2;
  const double lookFrom[3] = {1, 0, 0}, up[3] = {0, 0, 1};
  ASSERT_EQ(vwSetDirection(view, nullptr, lookFrom, up, 0), 0);
  vwSetCurView(view);
  EXPECT_EQ(vwCurViewRec(), view);
  EXPECT_EQ(vwCurSheetRec(), sheet);

  // Seen from +x with z up: y runs right and z up, 192 pixels a unit.
  const double p[3] = {7, 0.25, 0.5};
  double s[3], back[3];
  vwWorldToScreen(p, s);
  expectPoint(s, {100 + 48, 100 - 96}, "screen");
  vwScreenToWorld(s, back);
  expectPoint(back, {7, 0.25, 0.5}, "back");
  double size = 0;
  ASSERT_EQ(vwCurPixelSize(&size), 0);
  EXPECT_DOUBLE_EQ(size, 1.0 / 192);
  double m[16];
  ASSERT_EQ(vwSheetMatrix(11, m), 0);
  EXPECT_EQ(m[0], 96);

  // The view's screen box covers half a unit each way of y and z.
  const double lo[3] = {4, 4, -1}, hi[3] = {196, 196, 1};
  double wlo[3], whi[3];
  ASSERT_EQ(vwScreenBoxToWorld(lo, hi, wlo, whi), 0);
  EXPECT_NEAR(wlo[1], -0.5, 1e-9);
  EXPECT_NEAR(whi[1], 0.5, 1e-9);
  EXPECT_NEAR(wlo[2], -0.5, 1e-9);
  EXPECT_NEAR(whi[2], 0.5, 1e-9);
}

}  // namespace
