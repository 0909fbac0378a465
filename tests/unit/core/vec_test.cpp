#include "core/vec.h"

#include "core/debug.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

// A temporary vector for an argument: D{1, 2, 3}.data().
using D = std::array<double, 4>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

uint64_t bitsOf(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// Panics show a message box; these tests read the boxes back.
class VecPanics : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
  }
  bool panicked(const std::string& text) const {
    for (const auto& box : plTestMessageBoxes())
      if (box.text.find(text) != std::string::npos) return true;
    return false;
  }
};

TEST(Vec3, NormaliseAndSetLengthKeepZeroVectors) {
  const double zero[3] = {0, 0, 0};
  const double a[3] = {3, 4, 0};
  double out[3] = {9, 9, 9};
  vecNormalize3(zero, out);
  EXPECT_TRUE(vecEq3(out, zero));
  EXPECT_EQ(vecNormalize3(a, out), out);
  EXPECT_EQ(out[0], 0.6);
  EXPECT_EQ(out[1], 0.8);
  EXPECT_EQ(out[2], 0.0);
  vecSetLen3(10, a, out);
  EXPECT_DOUBLE_EQ(out[0], 6);
  EXPECT_DOUBLE_EQ(out[1], 8);
  vecSetLen3(10, zero, out);
  EXPECT_TRUE(vecEq3(out, zero));
  // In place.
  double b[3] = {0, -2, 0};
  vecNormalize3(b, b);
  EXPECT_EQ(b[1], -1.0);
}

TEST(Vec3, CrossProductMayOverwriteEitherInput) {
  const double x[3] = {1, 0, 0}, y[3] = {0, 1, 0};
  double a[3], b[3];
  vecCopy3(x, a);
  vecCross3(a, y, a);
  EXPECT_TRUE(vecEq3(a, D{0, 0, 1}.data()));
  vecCopy3(y, b);
  vecCross3(x, b, b);
  EXPECT_TRUE(vecEq3(b, D{0, 0, 1}.data()));
  vecCross3(y, x, a);
  EXPECT_TRUE(vecEq3(a, D{0, 0, -1}.data()));
}

TEST(Vec3, ArithmeticAndDistances) {
  const double a[3] = {1, 2, 3}, b[3] = {4, 6, 3};
  double out[3];
  EXPECT_TRUE(vecEq3(vecAdd3(a, b, out), D{5, 8, 6}.data()));
  EXPECT_TRUE(vecEq3(vecSub3(a, b, out), D{-3, -4, 0}.data()));
  EXPECT_TRUE(vecEq3(vecNeg3(a, out), D{-1, -2, -3}.data()));
  EXPECT_TRUE(vecEq3(vecScale3(2, a, out), D{2, 4, 6}.data()));
  EXPECT_TRUE(vecEq3(vecAxpy3(2, a, b, out), D{9, 14, 9}.data()));
  EXPECT_TRUE(vecEq3(vecSet3(out, 7, 8, 9), D{7, 8, 9}.data()));
  EXPECT_EQ(vecDot3(a, b), 25.0);
  EXPECT_EQ(vecLen3(b), std::sqrt(61.0));
  EXPECT_EQ(vecDistSq3(a, b), 25.0);
  EXPECT_EQ(vecDist3(a, b), 5.0);
  // Equality is byte for byte: 0 and -0 differ.
  EXPECT_FALSE(vecEq3(D{0, 0, 0}.data(), D{0, -0.0, 0}.data()));
}

TEST(VecN, HomogeneousDotProductAddsTheElementAfterTheLast) {
  const double row[4] = {1, 2, 3, 10};
  const double p[3] = {1, 1, 1};
  EXPECT_EQ(vecDotN(0x403, row, p), 16.0);
  EXPECT_EQ(vecDotN(3, row, p), 6.0);
  EXPECT_EQ(vecDotN(0x102, row, p), 6.0);  // low byte 2: 1 + 2, plus row[2]
  EXPECT_EQ(vecDotN(0, row, p), 0.0);
  // Lengths never take the homogeneous form, however large n is.
  double many[300];
  for (double& v : many) v = 1;
  EXPECT_EQ(vecLenN(256, many), 16.0);
}

TEST(VecN, DivisionIsGuarded) {
  const double a[3] = {2, -4, 8};
  double out[3];
  struct Case {
    double d;
    double expected[3];
  } const cases[] = {
      {1, {2, -4, 8}},
      {4, {0.5, -1, 2}},
      {0, {2e20, -4e20, 8e20}},      // refused: times 1e20
      {1e-70, {2e20, -4e20, 8e20}},  // refused as well
  };
  for (const Case& c : cases) {
    vecDivN(3, c.d, a, out);
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(out[i], c.expected[i]) << "d=" << c.d << " i=" << i;
  }
}

TEST(VecN, ElementwiseRoutines) {
  const double a[4] = {1, -2, 4, -8}, b[4] = {3, 3, 3, 3};
  double out[4];
  EXPECT_TRUE(vecEqN(4, vecAbsN(4, a, out), D{1, 2, 4, 8}.data()));
  EXPECT_TRUE(vecEqN(4, vecRecipN(4, a, out), D{1, -0.5, 0.25, -0.125}.data()));
  EXPECT_TRUE(vecEqN(4, vecLerpN(4, 0.5, a, b, out), D{2, 0.5, 3.5, -2.5}.data()));
  EXPECT_TRUE(vecEqN(4, vecScaleN(4, -1, a, out), D{-1, 2, -4, 8}.data()));
  EXPECT_TRUE(vecEqN(2, vecSetN(2, out, 5, -6), D{5, -6}.data()));
  EXPECT_TRUE(vecEqN(2, vecSetNd(2, out, 0.5, -1.5), D{0.5, -1.5}.data()));
  EXPECT_TRUE(vecEqN(4, vecZeroN(4, out), D{0, 0, 0, 0}.data()));
  EXPECT_TRUE(vecEqN(0, a, b));
  EXPECT_EQ(vecDistN(4, a, a), 0.0);
  EXPECT_EQ(vecDistSqN(2, a, b), 4.0 + 25.0);

  // Worked from the last element down, an output one place above b still
  // reads every element of b before it is overwritten.
  double x[4] = {1, 2, 3, 0};
  vecAxpyN(3, 10, D{0, 0, 0}.data(), x, x + 1);
  EXPECT_TRUE(vecEqN(4, x, D{1, 10, 20, 30}.data()));
}

TEST_F(VecPanics, DistancesRefuseMoreElementsThanTheirScratchSpace) {
  double a[vecScratchMax + 1] = {}, b[vecScratchMax + 1] = {};
  b[vecScratchMax - 1] = 2;
  EXPECT_EQ(vecDistN(vecScratchMax, a, b), 2.0);
  EXPECT_FALSE(panicked("n too big"));
  EXPECT_TRUE(std::isnan(vecDistSqN(vecScratchMax + 1, a, b)));
  EXPECT_TRUE(panicked("n too big in vecDistSqN"));
}

TEST(VecN, BoxesSortAndExtend) {
  double min[3] = {5, 0, -1}, max[3] = {1, 2, -1};
  bboxSortN(3, min, max);
  EXPECT_TRUE(vecEqN(3, min, D{1, 0, -1}.data()));
  EXPECT_TRUE(vecEqN(3, max, D{5, 2, -1}.data()));
  bboxExtendN(3, D{7, -3, -1}.data(), min, max);
  EXPECT_TRUE(vecEqN(3, min, D{1, -3, -1}.data()));
  EXPECT_TRUE(vecEqN(3, max, D{7, 2, -1}.data()));
}

TEST(VecN, RoundingSaturatesAndCountsWhatDidNotFit) {
  int32_t out[3];
  EXPECT_EQ(vecRoundN(3, D{2.5, -2.5, 3e9}.data(), out), -1);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[1], -3);
  EXPECT_EQ(out[2], INT32_MAX);

  EXPECT_EQ(vecRoundN(3, D{-3e9, kNaN, 2147483647.4}.data(), out), -2);
  EXPECT_EQ(out[0], INT32_MIN);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[2], INT32_MAX);

  EXPECT_EQ(vecRoundN(2, D{-2147483648.4, 0.49}.data(), out), 0);
  EXPECT_EQ(out[0], INT32_MIN);
  EXPECT_EQ(out[1], 0);

  // A factor other than 1 multiplies and rounds to nearest (halves up).
  EXPECT_EQ(vecToIntN(3, 10, D{0.25, -0.25, 1e9}.data(), out), 0);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[1], -2);
  EXPECT_EQ(out[2], INT32_MAX);
  EXPECT_EQ(vecToIntN(1, 1, D{-2.5}.data(), out), 0);
  EXPECT_EQ(out[0], -3);
}

TEST(Scalar, RoundToIntByDirection) {
  struct Case {
    int direction;
    double x;
    int32_t expected;
  } const cases[] = {
      {0, -2.5, -2},         {0, 2.5, 3},          {0, -2.6, -3},
      {-1, 2.7, 2},          {-1, -2.1, -3},       {1, 2.1, 3},
      {1, -2.7, -2},         {0, 1e12, INT32_MAX}, {0, -1e12, INT32_MIN},
      {1, kInf, INT32_MAX},  {-1, -kInf, INT32_MIN}, {0, kNaN, 0},
      {5, 2147483646.5, 2147483647}, {-7, -2147483648.5, INT32_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(uRoundToInt(c.direction, c.x), c.expected) << c.direction << " " << c.x;
    EXPECT_EQ(uRoundToIntB(c.direction, c.x), c.expected) << c.direction << " " << c.x;
  }
}

TEST(Scalar, SafeDivisionRefusesHugeQuotients) {
  struct Case {
    double a, b;
    int answer;
    double quotient;
  } const cases[] = {
      {1, 0, -9, 0},       {0, 0, -9, 0},   {1e61, 10, -9, 0}, {-1, -1e-61, -9, 0},
      {0, 5, 0, 0},        {6, -3, 0, -2},  {1e59, 1, 0, 1e59},
  };
  for (const Case& c : cases) {
    double out = 123;
    EXPECT_EQ(uSafeDiv(c.a, c.b, &out), c.answer) << c.a << " / " << c.b;
    EXPECT_EQ(out, c.answer ? 123 : c.quotient) << c.a << " / " << c.b;
  }
}

TEST(Angles, SineAndCosineAreExactAtEveryEighth) {
  const double h = std::sqrt(0.5);
  struct Case {
    double turns, c, s;
  } const cases[] = {
      {0, 1, 0},      {0.25, 0, 1},  {0.5, -1, 0},  {0.75, 0, -1},   {-0.25, 0, -1},
      {1, 1, 0},      {-0.5, -1, 0}, {2.25, 0, 1},  {-3.75, 0, 1},
  };
  for (const Case& c : cases) {
    double cosine, sine;
    angSinCos(c.turns, &cosine, &sine);
    EXPECT_EQ(cosine, c.c) << c.turns;
    EXPECT_EQ(sine, c.s) << c.turns;
  }
  // The odd eighths are the same value in every quadrant, up to sign.
  const double eighths[][3] = {{0.125, 1, 1}, {0.375, -1, 1}, {0.625, -1, -1}, {0.875, 1, -1}};
  double c0, s0;
  angSinCos(0.125, &c0, &s0);
  EXPECT_NEAR(c0, h, 1e-16);
  for (const auto& e : eighths) {
    double cosine, sine;
    angSinCos(e[0], &cosine, &sine);
    EXPECT_EQ(cosine, e[1] * c0) << e[0];
    EXPECT_EQ(sine, e[2] * s0) << e[0];
  }
}

TEST(Angles, WholeTurnsApartGiveIdenticalBits) {
  for (double t : {0.125, 0.3125, 0.71875, 0.9990234375}) {  // t ± whole turns is exact
    double c1, s1, c2, s2, c3, s3;
    angSinCos(t, &c1, &s1);
    angSinCos(t + 1, &c2, &s2);
    angSinCos(t - 2, &c3, &s3);
    EXPECT_EQ(bitsOf(c1), bitsOf(c2)) << t;
    EXPECT_EQ(bitsOf(s1), bitsOf(s2)) << t;
    EXPECT_EQ(bitsOf(c1), bitsOf(c3)) << t;
    EXPECT_EQ(bitsOf(s1), bitsOf(s3)) << t;
  }
}

// Against an extended-precision reference: within a few units in the last
// place of the answer (with a floor for answers near zero, where the
// reference's own error in 2 pi t dominates).
TEST(Angles, AgreeWithTheLibraryWithinAFewUlp) {
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> pick(-2.0, 2.0);
  const long double twoPi = 6.283185307179586476925286766559L;
  for (int i = 0; i < 20000; ++i) {
    const double t = pick(random);
    double c, s;
    angSinCos(t, &c, &s);
    const double rc = static_cast<double>(cosl(twoPi * t));
    const double rs = static_cast<double>(sinl(twoPi * t));
    const auto ulp = [](double x) { return std::nextafter(std::fabs(x), kInf) - std::fabs(x); };
    ASSERT_LE(std::fabs(c - rc), 4 * ulp(rc) + 1e-18) << "t=" << t;
    ASSERT_LE(std::fabs(s - rs), 4 * ulp(rs) + 1e-18) << "t=" << t;
  }
}

TEST(Angles, ArcTangentsInTurns) {
  double out = -1;
  EXPECT_EQ(angAtan2(1, 0, &out), 0);
  EXPECT_EQ(out, 0.25);
  angAtan2(0, -1, &out);
  EXPECT_EQ(out, 0.5);
  angAtan2(-1, 0, &out);
  EXPECT_EQ(out, -0.25);
  EXPECT_EQ(angAcosT(0.5, 1, &out), 0);
  EXPECT_NEAR(out, 1.0 / 6, 1e-15);
  angAcosT(-2, 2, &out);
  EXPECT_EQ(out, 0.5);
  angAcosT(3, 2, &out);  // |a| > |b|: the square root of 0, not of a negative
  EXPECT_EQ(out, 0.0);
  EXPECT_EQ(angTurnsToRad(0.5), M_PI);
}

TEST(Specials, ClassifyEveryKind) {
  struct Case {
    double x;
    int kind;
  } const cases[] = {
      {kNaN, 3}, {-kNaN, 3}, {kInf, 2}, {-kInf, 2}, {0.0, 1}, {-0.0, 1},
      {1.0, 0},  {-1e300, 0}, {std::numeric_limits<double>::denorm_min(), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(fClassify(c.x), c.kind) << c.x;
}

TEST_F(VecPanics, SetSpecialMakesEachKindAndRefusesOthers) {
  struct Case {
    int kind;
    uint64_t bits;
  } const cases[] = {
      {1, 0x0000000000000000ull},  {-1, 0x8000000000000000ull}, {2, 0x7FF0000000000000ull},
      {-2, 0xFFF0000000000000ull}, {3, 0x7FFFFFFFFFFFFFFFull},  {-3, 0xFFFFFFFFFFFFFFFFull},
  };
  for (const Case& c : cases) {
    double out = 5;
    fSetSpecial(c.kind, &out);
    EXPECT_EQ(bitsOf(out), c.bits) << c.kind;
  }
  double out;
  fSetSpecial(-2, &out);
  EXPECT_EQ(out, -kInf);
  EXPECT_FALSE(panicked("bad switch"));

  for (int kind : {0, 4, -4, INT32_MIN}) {
    plTestClearMessageBoxes();
    out = 5;
    fSetSpecial(kind, &out);
    EXPECT_EQ(out, 5.0) << kind;
    EXPECT_TRUE(panicked("bad switch in fSetSpecial")) << kind;
  }
}

}  // namespace
