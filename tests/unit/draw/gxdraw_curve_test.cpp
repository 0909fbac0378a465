// Curves: Bezier flattening and culling, rational Beziers, arcs by the
// device and as Bezier segments.
#include "gxdraw_fixture.h"

#include <cmath>

namespace {

using namespace gxdfx;

// Moves the double pen position to p and forgets the hook's record of it.
void startAt(const double p[2]) {
  gxSegment(0, p);
  segs().clear();
}

TEST_F(GxDrawTest, FlatBezierIsTwoChordsThenAMove) {
  hookSegments();
  const double p0[2] = {0, 0}, p1[2] = {10, 0.5}, p2[2] = {20, 0.5}, p3[2] = {30, 0};
  startAt(p0);
  gxBezier(p1, p2, p3);
  ASSERT_EQ(segs().size(), 3u);
  EXPECT_EQ(segs()[0].draw, 1);
  EXPECT_DOUBLE_EQ(segs()[0].x, 15);
  EXPECT_DOUBLE_EQ(segs()[0].y, 0.375);
  EXPECT_EQ(segs()[1].draw, 1);
  EXPECT_DOUBLE_EQ(segs()[1].x, 30);
  EXPECT_EQ(segs()[2].draw, 0);
  EXPECT_DOUBLE_EQ(segs()[2].x, 30);
  EXPECT_DOUBLE_EQ(segs()[2].y, 0);
}

TEST_F(GxDrawTest, BezierDepthGrowsWithItsBulge) {
  hookSegments();
  const double p0[2] = {0, 0}, p1[2] = {0, 40}, p2[2] = {40, 40}, p3[2] = {40, 0};
  startAt(p0);
  gxBezier(p1, p2, p3);
  // 40 quartered three times is at most 1: depth 3, 8 leaves of 2 chords.
  ASSERT_EQ(segs().size(), 17u);
  EXPECT_EQ(segs().back().draw, 0);
  // Every chord end lies on the curve's convex hull.
  for (const Seg& s : segs()) {
    EXPECT_GE(s.y, 0);
    EXPECT_LE(s.y, 30.0 + 1e-9);
  }
}

TEST_F(GxDrawTest, BezierOutsideTheViewBoxOnlyMoves) {
  FakeView::hasView = true;
  const double box[4] = {0, 0, 128, 128};
  for (int i = 0; i < 4; ++i) FakeView::box[i] = box[i];
  hookSegments();
  const double p0[2] = {-50, 10}, p1[2] = {-40, 90}, p2[2] = {-20, 90}, p3[2] = {-10, 10};
  startAt(p0);
  gxBezier(p1, p2, p3);
  ASSERT_EQ(segs().size(), 2u);  // the culled curve's move, then the end move
  for (const Seg& s : segs()) {
    EXPECT_EQ(s.draw, 0);
    EXPECT_EQ(s.x, -10);
  }
  // One point inside the box (top < bottom, y growing downwards): drawn.
  const double q1[2] = {100, 90}, q2[2] = {100, 100};
  startAt(p0);
  gxBezier(q1, q2, p3);
  int draws = 0;
  for (const Seg& s : segs()) draws += s.draw;
  EXPECT_GT(draws, 0);
}

TEST_F(GxDrawTest, RationalBezierFollowsTheCircle) {
  hookSegments();
  // A quarter circle of radius 50: weights 1, cos 45 degrees, 1.
  const double w = std::sqrt(0.5);
  const double points[9] = {50, 0, 1, 50 * w, 50 * w, w, 0, 50, 1};
  const double start[2] = {50, 0};
  startAt(start);
  gxBezierN(3, points);
  ASSERT_GT(segs().size(), 4u);
  for (const Seg& s : segs()) {
    EXPECT_EQ(s.draw, 1);
    EXPECT_NEAR(std::hypot(s.x, s.y), 50, 1e-9);
  }
  EXPECT_DOUBLE_EQ(segs().back().x, 0);
  EXPECT_DOUBLE_EQ(segs().back().y, 50);
}

TEST_F(GxDrawTest, FullCircleIsOneDeviceEllipse) {
  hookSegments();
  const double c[2] = {64, 64}, a1[2] = {84, 64}, a2[2] = {64, 44};
  gxArc(c, a1, a2, 0, 1);
  EXPECT_EQ(plTestGdiCallCount("Ellipse"), 1);
  EXPECT_TRUE(segs().empty());
  EXPECT_TRUE(inked(84, 64));
  EXPECT_TRUE(inked(44, 64));
  EXPECT_TRUE(inked(64, 44));
  EXPECT_TRUE(inked(64, 84));
  EXPECT_FALSE(inked(64, 64));  // hollow
  // A full rotated ellipse is not the device's: Beziers.
  plTestClearGdiCalls();
  const double r1[2] = {64 + 16, 64 + 12}, r2[2] = {64 - 3, 64 + 4};
  gxArc(c, r1, r2, 0, 1);
  EXPECT_EQ(plTestGdiCallCount("Ellipse"), 0);
  EXPECT_FALSE(segs().empty());
}

TEST_F(GxDrawTest, RotatedEllipseArcBecomesTwoBeziers) {
  const double c[2] = {0, 0}, a1[2] = {40, 30}, a2[2] = {-6, 8};
  double out[2 + 6 * 4];
  ASSERT_EQ(gxArcBeziers(c, a1, a2, 0.1, 0.3, out, 4), 2);
  // The first control point lies k tangents from the start.
  const double t0 = 0.1 * 2 * M_PI;
  const double tangent[2] = {-a1[0] * std::sin(t0) + a2[0] * std::cos(t0),
                             -a1[1] * std::sin(t0) + a2[1] * std::cos(t0)};
  const double k = (out[2] - out[0]) / tangent[0];
  EXPECT_NEAR(k, 0.3201050, 1e-7);
  EXPECT_NEAR((out[3] - out[1]) / tangent[1], k, 1e-9);
  EXPECT_NEAR(k, 4.0 / 3 * std::tan(0.15 * 2 * M_PI / 4), 1e-12);
  // The second segment ends at the arc's end.
  const double t1 = 0.4 * 2 * M_PI;
  EXPECT_NEAR(out[2 + 6 + 4], a1[0] * std::cos(t1) + a2[0] * std::sin(t1), 1e-9);
  EXPECT_NEAR(out[2 + 6 + 5], a1[1] * std::cos(t1) + a2[1] * std::sin(t1), 1e-9);

  // Through gxArc: one move to the start, each Bezier ends with a move.
  hookSegments();
  const double centre[2] = {64, 64}, p1[2] = {104, 94}, p2[2] = {58, 72};
  gxArc(centre, p1, p2, 0.1, 0.3);
  int moves = 0;
  for (const Seg& s : segs()) moves += s.draw == 0;
  EXPECT_EQ(moves, 3);
  EXPECT_EQ(plTestGdiCallCount("Arc"), 0);
  EXPECT_EQ(plTestGdiCallCount("Ellipse"), 0);
}

TEST_F(GxDrawTest, ArcSegmentCountDoublesPastAFifthOfATurn) {
  const double c[2] = {0, 0}, a1[2] = {10, 0}, a2[2] = {0, 5};
  struct Case {
    double sweep;
    int segments;
  };
  const Case cases[] = {{0.2, 1}, {0.21, 2}, {-0.3, 2}, {0.5, 4}, {1, 8}, {0, 0}};
  for (const Case& cs : cases) EXPECT_EQ(gxArcBeziers(c, a1, a2, 0, cs.sweep, nullptr, 0), cs.segments) << cs.sweep;
}

// The device arc and the Bezier form of the same arc draw the same side of
// the ellipse, whichever way the axes turn and the sweep runs.
TEST_F(GxDrawTest, DeviceArcRunsTheSameWayAsTheCurve) {
  struct Case {
    double a2y;     // second axis (0, a2y): 20 turns clockwise on screen, -20 anticlockwise
    double start, sweep;
    int x, y;       // a pixel on the arc
    int offX, offY; // a pixel of the same circle off the arc
  };
  const Case cases[] = {
      {20, 0, 0.25, 78, 78, 50, 50},     // down-right quarter
      {-20, 0, 0.25, 78, 50, 50, 78},    // up-right quarter
      {20, 0.25, -0.25, 78, 78, 50, 50}, // the first, run backwards
      {-20, 0.25, -0.25, 78, 50, 50, 78},
  };
  const double c[2] = {64, 64};
  for (const Case& cs : cases) {
    PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
    plTestClearGdiCalls();
    const double a1[2] = {84, 64}, a2[2] = {64, 64 + cs.a2y};
    gxArc(c, a1, a2, cs.start, cs.sweep);
    EXPECT_EQ(plTestGdiCallCount("Arc"), 1);
    bool near = false, off = false;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        near = near || inked(cs.x + dx, cs.y + dy);
        off = off || inked(cs.offX + dx, cs.offY + dy);
      }
    EXPECT_TRUE(near) << cs.a2y << " " << cs.sweep;
    EXPECT_FALSE(off) << cs.a2y << " " << cs.sweep;
  }
  EXPECT_NE(logText().find("draw by Arc: MapMode = 1\n"), std::string::npos);
  EXPECT_NE(logText().find("pt0:"), std::string::npos);
}

TEST_F(GxDrawTest, DeviceArcSetsItsEndPixel) {
  const double c[2] = {64, 64}, a1[2] = {84, 64}, a2[2] = {64, 84};
  gxArc(c, a1, a2, 0, 0.25);  // ends at (64, 84)
  EXPECT_EQ(at(64, 84), RGB(0, 0, 0));
  // A tiny sweep whose ends share a pixel is that pixel alone.
  PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
  plTestClearGdiCalls();
  gxArc(c, a1, a2, 0, 0.001);
  EXPECT_EQ(plTestGdiCallCount("Arc"), 0);
  EXPECT_EQ(inkedCount(), 1);
  EXPECT_EQ(at(84, 64), RGB(0, 0, 0));
  // Drawn twice in exclusive-or mode both leave the image white.
  PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
  gxSetDrawMode(gxModeXor);
  for (int pass = 0; pass < 2; ++pass) {
    gxArc(c, a1, a2, 0, 0.25);
    gxArc(c, a1, a2, 0.5, 0.001);
  }
  EXPECT_EQ(inkedCount(), 0);
}

TEST_F(GxDrawTest, SmallOrHugeArcsFallBackToBeziers) {
  hookSegments();
  const double c[2] = {10, 10}, a1[2] = {11, 10}, a2[2] = {10, 11};
  gxArc(c, a1, a2, 0, 1);  // 3 pixels wide at most: too small
  EXPECT_EQ(plTestGdiCallCount("Ellipse"), 0);
  EXPECT_FALSE(segs().empty());
  segs().clear();
  const double big[2] = {10 + 40000, 10};
  const double big2[2] = {10, 10 + 40000};
  gxArc(c, big, big2, 0, 0.1);
  EXPECT_EQ(plTestGdiCallCount("Arc"), 0);
  EXPECT_FALSE(segs().empty());
}

}  // namespace
