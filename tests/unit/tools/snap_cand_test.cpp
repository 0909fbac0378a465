// The records of one snap: the tie rule that decides whether a proposed
// point beats the best, the plane constraint, and candidates holding and
// giving back their objects' use counts.
#include "tools/snapcand.h"

#include "geometry/geometry_fixture.h"
#include "geometry/line.h"
#include "geometry/plane.h"
#include "objects/layer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

snapBest bestAt(int x, int y, double radius) {
  snapBest best;
  const int32_t cursor[2] = {x, y};
  const double world[3] = {0, 0, 0};
  snapBestInit(&best, cursor, world, radius);
  return best;
}

TEST(SnapTieRule, NearerWinsTiesKeepTheEarlierUnlessTheLaterIsInFront) {
  snapBest best = bestAt(100, 100, 8);
  EXPECT_EQ(128.0, best.bestDistance) << "2 r squared: a corner of the pick box can still become the best";
  double d = 0;
  // With no best yet, a point just short of 2 r² within the 0.1 margin is taken.
  const double corner[3] = {100 + std::sqrt(128.05), 100, 0.5};
  EXPECT_TRUE(snapAcceptScreen(&best, corner, &d));

  const double first[3] = {103, 104, 0.5};
  ASSERT_TRUE(snapAcceptScreen(&best, first, &d));
  EXPECT_EQ(25.0, d);
  snapRecord(&best, first, first, d, 'e');
  EXPECT_EQ('e', best.bestCode);

  // Proposals at squared distance d and screen depth z against the best at
  // 25 and depth 0.5.
  struct Case {
    double d, z;
    bool taken;
  } cases[] = {
      {25.0, 0.5, false},   // a tie: the earlier stays
      {25.0, 0.7, false},   // a tie, farther back
      {25.0, 0.2, true},    // a tie, in front
      {24.95, 0.9, false},  // nearer by less than 0.1 is still a tie
      {24.85, 0.9, true},   // nearer by more than 0.1
      {25.05, 0.2, true},   // a little farther but in front
      {25.15, 0.0, false},  // farther than the margin, even in front
  };
  for (const Case& c : cases) {
    const double screen[3] = {100 + std::sqrt(c.d), 100, c.z};
    EXPECT_EQ(c.taken, snapAcceptScreen(&best, screen, &d)) << c.d << " at depth " << c.z;
    EXPECT_NEAR(c.d, d, 1e-9);
  }
}

TEST(SnapTieRule, PlaneConstraintRefusesPointsOffThePlane) {
  planeRec plane;
  const double up[3] = {0, 0, 2};
  const double at[3] = {0, 0, 1};
  planeFromNormal(up, at, &plane);
  const double on[3] = {5, 5, 1.0005}, off[3] = {5, 5, 1.01};
  EXPECT_TRUE(snapOnPlane(&plane, on));
  EXPECT_FALSE(snapOnPlane(&plane, off));
  planeRec flat = {{0, 0, 0}, 3};
  EXPECT_TRUE(snapOnPlane(&flat, off)) << "a zero normal holds every point";

  snapBest best = bestAt(0, 0, 8);
  best.planeConstrained = true;
  best.plane = &plane;
  double screen[3], d;
  EXPECT_FALSE(snapAccept(&best, off, screen, &d));
}

class SnapCandidates : public geomfx::GeomTest {};

TEST_F(SnapCandidates, CandidatesHoldOneCountEachAndOnlyConstructionGoesToTemp) {
  const double a[3] = {0, 0, 0}, b[3] = {10, 0, 0};
  gobjRec* drawn = hold(lineMake(a, b));
  gobjRec* construction = hold(lineMake(a, b));
  ASSERT_NE(nullptr, drawn);
  const uint8_t drawnLayer = drawn->layer;
  const uint8_t drawnCount = drawn->refCount, constructionCount = construction->refCount;
  const int temp = layerNumber(".temp", 5);
  ASSERT_GE(temp, 0);
  ASSERT_NE(temp, drawnLayer);

  const int32_t box[4] = {92, 92, 108, 108};
  snapCandSet set;
  snapCandSetInit(&set, box);
  const double dir[3] = {1, 0, 0};
  EXPECT_EQ(0, snapCandAdd(&set, drawn, 0, nullptr, nullptr, nullptr));
  EXPECT_EQ(1, snapCandAdd(&set, construction, 'a', a, dir, "0 deg"));
  EXPECT_EQ(drawnLayer, drawn->layer) << "snapping moves no drawing object";
  EXPECT_EQ(temp, construction->layer);
  EXPECT_EQ(drawnCount + 1, drawn->refCount);
  EXPECT_EQ(constructionCount + 1, construction->refCount);
  EXPECT_STREQ("", set.cands[0].label);
  EXPECT_STREQ("0 deg", set.cands[1].label);
  EXPECT_EQ(1.0, set.cands[1].direction[0]);

  // The set is full at 50: the rest is dropped without taking a count.
  while (set.count < snapCandMax) snapCandAdd(&set, drawn, 0, nullptr, nullptr, nullptr);
  const uint8_t full = drawn->refCount;
  EXPECT_EQ(-1, snapCandAdd(&set, drawn, 0, nullptr, nullptr, nullptr));
  EXPECT_EQ(snapCandMax, set.count);
  EXPECT_EQ(full, drawn->refCount);

  snapCand* first = &set.cands[0];
  snapCandRelease(&set);
  EXPECT_EQ(0, set.count);
  EXPECT_EQ(nullptr, first->object) << "releasing nulls the slot";
  EXPECT_EQ(drawnCount, drawn->refCount);
  EXPECT_EQ(constructionCount, construction->refCount);
}

}  // namespace
