// The snap engine's number work: the simplest number between two bounds
// (letter r) and decimal rounding to the pixel's width (letter R).
#include "tools/snapround.h"
#include "tools/snapsimplest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace {

struct Between {
  double a, b, want;
};

TEST(SnapSimplest, ShortestBinaryFormBetweenTheBounds) {
  const Between cases[] = {
      {1.0, 2.0, 2.0},      {1.0, 1.5, 1.5},    {1.2, 1.3, 1.25},   {1.3, 1.2, 1.25},
      {-1.3, -1.2, -1.25},  {0.1, 0.2, 0.125},  {9.99, 10.01, 10.0}, {-1.0, 2.0, 0.0},
      {3.7, 3.7, 3.7},      {-2.5, -2.5, -2.5},
      // A zero bound gives 0, not a number near the smallest exponent.
      {0.0, 0.3, 0.0},      {0.3, 0.0, 0.0},    {-0.0, 0.3, 0.0},   {-0.3, -0.0, 0.0},  {-0.3, 0.0, 0.0},
  };
  for (const Between& c : cases) {
    double got = daSimplestBetween1(c.a, c.b);
    EXPECT_EQ(c.want, got) << "(" << c.a << ", " << c.b << ")";
  }
  EXPECT_TRUE(std::isnan(daSimplestBetween1(std::nan(""), 1.0)));
}

TEST(SnapSimplest, ArrayFormWorksInPlaceAndStaysWithinTheBounds) {
  double lo[3] = {1.2, 0.0, -1.0};
  double hi[3] = {1.3, 0.3, 2.0};
  daSimplestBetween(3, lo, hi, lo);
  EXPECT_EQ(1.25, lo[0]);
  EXPECT_EQ(0.0, lo[1]);
  EXPECT_EQ(0.0, lo[2]);

  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> spread(-1e6, 1e6);
  for (int i = 0; i < 2000; ++i) {
    double a = spread(random), b = a + spread(random) * 1e-6 * (i % 7);
    double got = daSimplestBetween1(a, b);
    EXPECT_GE(got, std::fmin(a, b)) << a << " " << b;
    EXPECT_LE(got, std::fmax(a, b)) << a << " " << b;
  }
}

TEST(SnapRound, DecimalRoundingFollowsTheBoxWidthAndLeavesFlatCoordinates) {
  // Half-widths 0.005, 0.5 and 0: steps of 0.001, 0.1, none.
  double lo[3] = {1.23449 - 0.005, 7.26 - 0.5, 4.5678};
  double hi[3] = {1.23449 + 0.005, 7.26 + 0.5, 4.5678};
  double point[3] = {1.23449, 7.26, 4.5678};
  snapRoundPoint('R', lo, hi, point);
  EXPECT_NEAR(1.234, point[0], 1e-15);
  EXPECT_NEAR(7.3, point[1], 1e-15);
  EXPECT_EQ(4.5678, point[2]);

  double simple[3] = {0, 0, 0};
  const double a[3] = {1.2, 0.1, 5.0};
  const double b[3] = {1.3, 0.2, 5.0};
  snapRoundPoint('r', a, b, simple);
  EXPECT_EQ(1.25, simple[0]);
  EXPECT_EQ(0.125, simple[1]);
  EXPECT_EQ(5.0, simple[2]);
}

}  // namespace
