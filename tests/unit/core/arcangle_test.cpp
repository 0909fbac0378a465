// The angle of a point about a centre in turns.
#include "core/arcangle.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ArcAngle, QuadrantsInTurnsFromZeroUpToOne) {
  const double c[3] = {1, 2, 5};
  struct Case {
    double x, y;
    int flip;
    double turns;
  };
  const Case cases[] = {
      {2, 2, 0, 0.0},     {1, 3, 0, 0.25},    {0, 2, 0, 0.5},
      {1, 1, 0, 0.75},    {2, 3, 0, 0.125},   {2, 1, 0, 0.875},
      // Flipped: y down, so a point above on screen is a quarter turn.
      {1, 1, 1, 0.25},    {1, 3, 1, 0.75},
  };
  for (const Case& k : cases) {
    const double p[3] = {k.x, k.y, -7};  // z plays no part
    EXPECT_NEAR(arcAngleOf(c, p, k.flip), k.turns, 1e-12) << k.x << "," << k.y << " flip " << k.flip;
  }
}

TEST(ArcAngle, NeverReachesOneAndCoincidentPointsAnswerZero) {
  const double c[3] = {0, 0, 0};
  const double below[3] = {1, -1e-300, 0};
  const double a = arcAngleOf(c, below, 0);
  EXPECT_GE(a, 0.0);
  EXPECT_LT(a, 1.0);
  EXPECT_EQ(arcAngleOf(c, c, 0), 0.0);
}

}  // namespace
