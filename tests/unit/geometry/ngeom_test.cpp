// The n-dimensional routines and the curve length.
#include "geometry_fixture.h"

#include "core/classes.h"
#include "geometry/curve.h"
#include "geometry/ngeom.h"
#include "objects/objmsg.h"

#include <cmath>
#include <numbers>

namespace {

using geomfx::near;

TEST(NGeom, FootOfAPointOnASegment) {
  const double a[3] = {0, 0, 0}, b[3] = {2, 0, 0};
  struct Case {
    const char* what;
    double p[3];
    uint32_t flags;
    int answer;
    double t, distSq;
    std::vector<double> foot;
  } cases[] = {
      {"within", {1, 1, 0}, 0, 1, 0.5, 1, {1, 0, 0}},
      {"beyond b", {3, 1, 0}, 0, 0, 1, 2, {2, 0, 0}},
      {"before a", {-1, 0, 2}, 0, 0, 0, 5, {0, 0, 0}},
      {"beyond b, unclamped", {3, 1, 0}, geomUnclamped, 1, 1.5, 1, {3, 0, 0}},
      {"before a, unclamped", {-1, 0, 2}, geomUnclamped, 1, -0.5, 4, {-1, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    double t = -9, distSq = -9, foot[3] = {-9, -9, -9};
    EXPECT_EQ(geomLinePtDist(3, a, b, c.p, c.flags, &t, &distSq, foot), c.answer);
    EXPECT_DOUBLE_EQ(t, c.t);
    EXPECT_DOUBLE_EQ(distSq, c.distSq);
    EXPECT_TRUE(near(foot, c.foot));
  }
  // A degenerate segment: t = 0 and the distance to a, in eight dimensions.
  const double a8[8] = {1, 1, 1, 1, 1, 1, 1, 1}, p8[8] = {2, 1, 1, 1, 1, 1, 1, 3};
  double t = -9, distSq = -9;
  EXPECT_EQ(geomLinePtDist(8, a8, a8, p8, geomUnclamped, &t, &distSq, nullptr), 0);
  EXPECT_EQ(t, 0.0);
  EXPECT_DOUBLE_EQ(distSq, 5.0);
}

TEST(NGeom, MoreThanEightDimensionsIsAnInternalErrorThatWritesNothing) {
  plTestSetMessageBoxEcho(false);
  const size_t shown = plTestMessageBoxes().size();
  double a[9] = {}, b[9] = {1}, p[9] = {};
  double t = -9, distSq = -9;
  EXPECT_EQ(geomLinePtDist(9, a, b, p, 0, &t, &distSq, nullptr), 0);
  EXPECT_EQ(t, -9);
  EXPECT_EQ(distSq, -9);
  ASSERT_EQ(plTestMessageBoxes().size(), shown + 1);
  EXPECT_NE(plTestMessageBoxes().back().text.find("MAXDIM exceeded in geomLinePtDist"), std::string::npos);
}

TEST(NGeom, ClosestPointsOfTwoLines) {
  // Skew lines: x axis, and the line through (1, -1, 1) along y.
  const double p1[3] = {0, 0, 0}, d1[3] = {2, 0, 0}, p2[3] = {1, -1, 1}, d2[3] = {0, 2, 0};
  double s = -9, t = -9, q1[3], q2[3];
  EXPECT_EQ(geomLineLineClosest(p1, d1, p2, d2, &s, q1, &t, q2), 1);
  EXPECT_DOUBLE_EQ(s, 0.5);
  EXPECT_DOUBLE_EQ(t, 0.5);
  EXPECT_TRUE(near(q1, {1, 0, 0}));
  EXPECT_TRUE(near(q2, {1, 0, 1}));
  // Outside the second segment's range: answers 0 with the outputs written.
  const double far2[3] = {1, -5, 1};
  EXPECT_EQ(geomLineLineClosest(p1, d1, far2, d2, &s, q1, &t, q2), 0);
  EXPECT_DOUBLE_EQ(t, 2.5);
  // Parallel lines: -1, outputs untouched.
  const double d3[3] = {-4, 0, 0};
  s = t = -9;
  EXPECT_EQ(geomLineLineClosest(p1, d1, p2, d3, &s, q1, &t, q2), -1);
  EXPECT_EQ(s, -9);
  EXPECT_EQ(t, -9);
}

TEST(NGeom, IntersectionOfTwoLinesWithinATolerance) {
  const double p1[3] = {0, 0, 0}, d1[3] = {2, 0, 0};
  struct Case {
    const char* what;
    double p2[3], d2[3];
    double tol;
    uint32_t flags;
    int answer;
    double s, t;
  } cases[] = {
      {"crossing", {1, -1, 0}, {0, 2, 0}, 1e-9, 0, 1, 0.5, 0.5},
      {"skew beyond the tolerance", {1, -1, 0.1}, {0, 2, 0}, 0.01, 0, 0, 0.5, 0.5},
      {"skew within it", {1, -1, 0.001}, {0, 2, 0}, 0.01, 0, 1, 0.5, 0.5},
      {"beyond the first segment", {3, -1, 0}, {0, 2, 0}, 1e-9, 0, 0, 1.5, 0.5},
      {"beyond it, unclamped", {3, -1, 0}, {0, 2, 0}, 1e-9, geomUnclamped, 1, 1.5, 0.5},
      {"beyond the second", {1, 1, 0}, {0, 2, 0}, 1e-9, 0, 0, 0.5, -0.5},
      {"beyond it, first only", {1, 1, 0}, {0, 2, 0}, 1e-9, geomFirstOnly, 1, 0.5, -0.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    double s = -9, t = -9, q1[3], q2[3];
    EXPECT_EQ(geomLineIntersect(p1, d1, c.p2, c.d2, c.tol, c.flags, &s, q1, &t, q2), c.answer);
    EXPECT_NEAR(s, c.s, 1e-12);
    EXPECT_NEAR(t, c.t, 1e-12);
  }
  // Parallel lines: the division is refused.
  const double p2[3] = {0, 1, 0}, d2[3] = {1, 0, 0};
  EXPECT_EQ(geomLineIntersect(p1, d1, p2, d2, 1e-9, 0, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(NGeom, ProjectionAndPlaneParameters) {
  const double p[3] = {3, 1, 0}, q[3] = {1, 0, 0}, d[3] = {4, 0, 0};
  double out = -9;
  EXPECT_EQ(geomProjParam(3, p, q, d, &out), 0);
  EXPECT_DOUBLE_EQ(out, 0.5);
  const double zero[3] = {0, 0, 0};
  out = -9;
  EXPECT_EQ(geomProjParam(3, p, q, zero, &out), -9);
  EXPECT_EQ(out, -9);

  // The plane z = 2 and the line (0, 0, 0) + s (0, 0, 4).
  const double on[3] = {5, 5, 2}, nrm[3] = {0, 0, 1}, dz[3] = {0, 0, 4}, dx[3] = {1, 0, 0};
  EXPECT_EQ(geomLinePlaneParam(3, on, nrm, zero, dz, &out), 0);
  EXPECT_DOUBLE_EQ(out, 0.5);
  EXPECT_EQ(geomLinePlaneParam(3, on, nrm, zero, dx, &out), -9);  // parallel to the plane
}

TEST(NGeom, LineAndCircle) {
  const double centre[2] = {1, 1}, p[2] = {-1, 1}, d[2] = {1, 0};
  double a[2], b[2];
  EXPECT_EQ(geomLineCircleIsect(p, d, centre, 1, a, b), 0);
  EXPECT_TRUE(near(a, {2, 1}));
  EXPECT_TRUE(near(b, {0, 1}));
  const double high[2] = {-1, 3};
  EXPECT_EQ(geomLineCircleIsect(high, d, centre, 1, a, b), 1);
  // A zero direction inside the circle meets nothing.
  const double none[2] = {0, 0};
  a[0] = 9;
  EXPECT_EQ(geomLineCircleIsect(centre, none, centre, 1, a, b), 1);
  EXPECT_EQ(a[0], 9);
}

TEST(NGeom, TwoCircles) {
  const double c1[2] = {0, 0};
  double a[2] = {9, 9}, b[2] = {9, 9};
  // Crossing: the unit circle and the one of radius 1 about (1, 0).
  const double c2[2] = {1, 0};
  EXPECT_EQ(geomCircleCircleIsect(c1, 1, c2, 1, a, b), 0);
  const double h = std::sqrt(3.0) / 2;
  EXPECT_TRUE(near(a, {0.5, -h}, 1e-12) || near(a, {0.5, h}, 1e-12));
  EXPECT_NEAR(a[1], -b[1], 1e-12);
  // Touching from outside: one point twice.
  const double c3[2] = {2, 0};
  EXPECT_EQ(geomCircleCircleIsect(c1, 1, c3, 1, a, b), 0);
  EXPECT_TRUE(near(a, {1, 0}));
  EXPECT_TRUE(near(b, {1, 0}));
  // Apart, one inside the other, and the same centre (no chord to cut).
  const double c4[2] = {3, 0}, c5[2] = {0.5, 0};
  a[0] = 9;
  EXPECT_EQ(geomCircleCircleIsect(c1, 1, c4, 1, a, b), 1);
  EXPECT_EQ(geomCircleCircleIsect(c1, 3, c5, 1, a, b), 1);
  EXPECT_EQ(geomCircleCircleIsect(c1, 1, c1, 1, a, b), 1);
  EXPECT_EQ(a[0], 9);
}

// "tspeed": a straight segment (0,0,0)-(3,4,0) or a unit quarter circle,
// counting how often it is asked for its derivative.
struct Speed {
  uint16_t id = 0;
  bool circle = false;
  int asked = 0;
};
Speed& sp() {
  static Speed s;
  return s;
}

int tspeedHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgNew) return gobjNewAs(sp().id, sizeof(gobjRec), a);
  if (message == msgEvalAt) {
    auto* rec = reinterpret_cast<crvEvalRec*>(a);
    if (rec->mode == 1) ++sp().asked;
    const double angle = rec->t * std::numbers::pi / 2;
    if (sp().circle) {
      rec->out[0] = rec->mode == 0 ? std::cos(angle) : -std::sin(angle) * std::numbers::pi / 2;
      rec->out[1] = rec->mode == 0 ? std::sin(angle) : std::cos(angle) * std::numbers::pi / 2;
    } else {
      rec->out[0] = rec->mode == 0 ? 3 * rec->t : 3;
      rec->out[1] = rec->mode == 0 ? 4 * rec->t : 4;
    }
    return 0;
  }
  return objMeth(crvClassId(), message, object, a, b, c);
}

class CurveLength : public geomfx::GeomTest {
protected:
  void SetUp() override {
    GeomTest::SetUp();
    sp().id = objClassRegister("tspeed", crvClassId(), tspeedHandler);
    sp().circle = false;
    sp().asked = 0;
  }
};

TEST_F(CurveLength, AStraightLineConvergesInTheFirstExtrapolation) {
  gobjRec* line = hold(objNew(sp().id));
  double length = -1;
  EXPECT_EQ(geomCurveLength(line, 0, 1, 1e-12, &length), 0);
  EXPECT_DOUBLE_EQ(length, 5.0);
  EXPECT_EQ(sp().asked, 5 + 4);  // row 0, then row 1's four midpoints
  // Backwards gives the negative integral of the speed.
  EXPECT_EQ(geomCurveLength(line, 1, 0.5, 1e-12, &length), 0);
  EXPECT_DOUBLE_EQ(length, -2.5);
}

TEST_F(CurveLength, AQuarterCircleWithinTheTolerance) {
  sp().circle = true;
  gobjRec* arc = hold(objNew(sp().id));
  double length = -1;
  EXPECT_EQ(geomCurveLength(arc, 0, 1, 1e-10, &length), 0);
  EXPECT_NEAR(length, std::numbers::pi / 2, 1e-9);
  // Through the curve message: 314's default is this integration.
  length = -1;
  EXPECT_EQ(crvLength(arc, 0, 0.5, 1e-10, &length), 0);
  EXPECT_NEAR(length, std::numbers::pi / 4, 1e-9);
}

TEST_F(CurveLength, NoConvergenceInFifteenRowsAnswersOneAndZero) {
  sp().circle = true;
  gobjRec* arc = hold(objNew(sp().id));
  double length = -1;
  EXPECT_EQ(geomCurveLength(arc, 0, 1, 0.0, &length), 1);  // a zero tolerance is never met
  EXPECT_EQ(length, 0.0);
}

}  // namespace
