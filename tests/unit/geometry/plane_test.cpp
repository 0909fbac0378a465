// Planes: construction, a line meeting a plane, projection and three planes.
#include "geometry/plane.h"

#include <gtest/gtest.h>

namespace {

TEST(Plane, ConstructionsKeepTheNormalAsGiven) {
  const double normal[3] = {0, 0, 2}, point[3] = {1, 2, 3};
  planeRec a{}, b{};
  EXPECT_EQ(planeFromNormal(normal, point, &a), 0);
  EXPECT_EQ(planeSetNormal(normal, point, &b), &b);
  for (const planeRec& p : {a, b}) {
    EXPECT_EQ(p.n[2], 2.0);  // not normalised
    EXPECT_EQ(p.d, -6.0);
  }

  // Three points: n = (p2 - p1) x (p0 - p1) through p1.
  const double p0[3] = {1, 0, 0}, p1[3] = {0, 0, 0}, p2[3] = {0, 1, 0};
  planeRec c{};
  EXPECT_EQ(planeFrom3Pts(p0, p1, p2, &c), 0);
  EXPECT_EQ(c.n[0], 0.0);
  EXPECT_EQ(c.n[1], 0.0);
  EXPECT_EQ(c.n[2], -1.0);
  EXPECT_EQ(c.d, 0.0);

  // The bisector of (0, 0, 0) and (2, 0, 0) is x = 1 with n = p0 - p1.
  const double q0[3] = {0, 0, 0}, q1[3] = {2, 0, 0};
  planeRec e{};
  EXPECT_EQ(planeBisector(q0, q1, &e), 0);
  EXPECT_EQ(e.n[0], -2.0);
  EXPECT_EQ(e.d, 2.0);
}

TEST(Plane, LineHitAndProjection) {
  // The plane z = 5, normal (0, 0, 3).
  const double normal[3] = {0, 0, 3}, on[3] = {0, 0, 5};
  planeRec plane{};
  planeFromNormal(normal, on, &plane);

  const double dir[3] = {1, 1, 1}, from[3] = {1, 2, 0};
  double hit[3];
  EXPECT_EQ(planeLineHit(dir, from, &plane, hit), 0);
  EXPECT_DOUBLE_EQ(hit[0], 6.0);
  EXPECT_DOUBLE_EQ(hit[1], 7.0);
  EXPECT_DOUBLE_EQ(hit[2], 5.0);

  // Parallel: -1, the out point holds the given point.
  const double flat[3] = {1, 1, 0};
  double out[3] = {9, 9, 9};
  EXPECT_EQ(planeLineHit(flat, from, &plane, out), -1);
  EXPECT_EQ(out[0], 1.0);
  EXPECT_EQ(out[1], 2.0);
  EXPECT_EQ(out[2], 0.0);

  // Projection, in place; a point on the plane does not move at all.
  double p[3] = {3, 4, -1};
  EXPECT_EQ(planeProjectPt(p, &plane, p), 0);
  EXPECT_EQ(p[0], 3.0);
  EXPECT_EQ(p[1], 4.0);
  EXPECT_DOUBLE_EQ(p[2], 5.0);

  // A tilted plane: a point on it has a residual of exactly 0, takes no
  // step and comes back bit for bit.
  const double tilt[3] = {0.5, 0.25, 1}, stay[3] = {1, 2, 0.25};
  planeRec tilted{};
  planeFromNormal(tilt, stay, &tilted);
  double moved[3];
  EXPECT_EQ(planeProjectPt(stay, &tilted, moved), 0);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(moved[k], stay[k]);
}

TEST(Plane, CollinearPointsMakeAPlaneNothingMeets) {
  const double a[3] = {0, 0, 0}, b[3] = {1, 1, 1}, c[3] = {2, 2, 2};
  planeRec plane{};
  planeFrom3Pts(a, b, c, &plane);
  EXPECT_EQ(plane.n[0], 0.0);
  EXPECT_EQ(plane.n[1], 0.0);
  EXPECT_EQ(plane.n[2], 0.0);
  const double dir[3] = {0, 0, 1};
  double out[3];
  EXPECT_EQ(planeLineHit(dir, a, &plane, out), -1);
}

TEST(Plane, ThreePlanesMeet) {
  // x = 1, y = 2, z = 3 with normals of different lengths.
  const double nx[3] = {2, 0, 0}, ny[3] = {0, -1, 0}, nz[3] = {0, 0, 4}, p[3] = {1, 2, 3};
  planeRec a{}, b{}, c{};
  planeFromNormal(nx, p, &a);
  planeFromNormal(ny, p, &b);
  planeFromNormal(nz, p, &c);
  double out[3] = {0, 0, 0};
  EXPECT_EQ(planeMeet3(&a, &b, &c, out), 0);
  EXPECT_EQ(out[0], 1.0);
  EXPECT_EQ(out[1], 2.0);
  EXPECT_EQ(out[2], 3.0);

  // Two of them parallel (x = 1 and x = 5): no single point, out untouched.
  const double q[3] = {5, 0, 0};
  planeRec d{};
  planeFromNormal(nx, q, &d);
  double none[3] = {7, 7, 7};
  EXPECT_LT(planeMeet3(&a, &d, &c, none), 0);
  EXPECT_EQ(none[0], 7.0);
  // All three through one line (the z axis).
  const double o[3] = {0, 0, 0}, n1[3] = {1, 0, 0}, n2[3] = {0, 1, 0}, n3[3] = {1, 1, 0};
  planeRec e{}, f{}, g{};
  planeFromNormal(n1, o, &e);
  planeFromNormal(n2, o, &f);
  planeFromNormal(n3, o, &g);
  EXPECT_LT(planeMeet3(&e, &f, &g, none), 0);
}

}  // namespace
