#include "core/matrix.h"

#include "core/debug.h"
#include "core/errors.h"
#include "core/vec.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using M = std::array<double, 16>;
using V = std::array<double, 4>;

const M kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

M translation(double x, double y, double z) {
  M m = kIdentity;
  m[3] = x;
  m[7] = y;
  m[11] = z;
  return m;
}

V mapPoint(const M& m, V p) {
  V out{};
  aPtTransform(3, p.data(), m.data(), out.data());
  return out;
}

void expectNear(const double* actual, const double* expected, int n, double tolerance, const std::string& what) {
  for (int i = 0; i < n; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << what << " [" << i << "]";
}

void expectPoint(const M& m, V p, V expected, const std::string& what) {
  const V image = mapPoint(m, p);
  expectNear(image.data(), expected.data(), 3, 1e-12, what);
}

// Captures the debug log and the message boxes; debug flags off.
class MatrixLog : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
    dbgSetFlags(0);
    log().clear();
    dbgSetLogHook(&capture, nullptr);
  }
  void TearDown() override {
    dbgSetLogHook(nullptr, nullptr);
    dbgSetFlags(0);
  }
  static std::string& log() {
    static std::string text;
    return text;
  }
  static void capture(void*, const char* text, size_t length) { log().append(text, length); }
  static bool boxShown(const std::string& text) {
    for (const auto& box : plTestMessageBoxes())
      if (box.text.find(text) != std::string::npos) return true;
    return false;
  }
};

TEST(MatrixArithmetic, IdentityOfEachSize) {
  for (int32_t n = 1; n <= 4; ++n) {
    M m;
    m.fill(7);
    EXPECT_EQ(aMatrix(n, m.data()), 0);
    for (int32_t i = 0; i < n * n; ++i) EXPECT_EQ(m[i], i % (n + 1) == 0 ? 1.0 : 0.0) << n << " " << i;
    for (int32_t i = n * n; i < 16; ++i) EXPECT_EQ(m[i], 7.0);
  }
  for (int32_t n : {0, 5, -1}) {
    M m;
    m.fill(7);
    EXPECT_EQ(aMatrix(n, m.data()), feErrRangeCheck);
    EXPECT_EQ(m[0], 7.0);
  }
}

TEST(MatrixArithmetic, ProductIsTheSecondAfterTheFirst) {
  const M t = translation(1, 2, 3);
  M s = kIdentity;
  aScale(s.data(), 2, s.data());
  M ts;
  matMulN(4, t.data(), s.data(), ts.data());  // t followed by s: the translation is scaled
  EXPECT_EQ(ts, (M{2, 0, 0, 2, 0, 2, 0, 4, 0, 0, 2, 6, 0, 0, 0, 1}));
  M st;
  matMulN(4, s.data(), t.data(), st.data());  // s followed by t: it is not
  EXPECT_EQ(st, (M{2, 0, 0, 1, 0, 2, 0, 2, 0, 0, 2, 3, 0, 0, 0, 1}));

  // The output may be either input.
  M a = t, b = s;
  matMulN(4, a.data(), s.data(), a.data());
  EXPECT_EQ(a, ts);
  matMulN(4, t.data(), b.data(), b.data());
  EXPECT_EQ(b, ts);
}

TEST(MatrixArithmetic, TransposeAndTransposedProduct) {
  const double a[6] = {1, 2, 3, 4, 5, 6};  // used as 2x2 and 3x3 below
  double out[9];
  matTransposeN(2, a, out);
  EXPECT_EQ((std::vector<double>(out, out + 4)), (std::vector<double>{1, 3, 2, 4}));
  double square[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  matTransposeN(3, square, square);
  EXPECT_EQ((std::vector<double>(square, square + 9)), (std::vector<double>{1, 4, 7, 2, 5, 8, 3, 6, 9}));

  // b times the transpose of a, also into a.
  const double b[4] = {0, 1, 1, 0};
  double x[4] = {1, 2, 3, 4};
  double expected[4], transposed[4];
  matMulN(2, matTransposeN(2, x, transposed), b, expected);
  matMulTransN(2, x, b, x);
  EXPECT_EQ((std::vector<double>(x, x + 4)), (std::vector<double>(expected, expected + 4)));
}

TEST(MatrixInverse, MatchesAHandComputedInverse) {
  // Column 0 ties on its scaled magnitude between rows 0 and 2 (2/2 and
  // 1/1): the later row is the pivot.
  const double a[9] = {2, 1, 1, 1, 3, 2, 1, 0, 0};
  const double expected[9] = {0, 0, 1, -2, 1, 3, 3, -1, -5};
  double inverse[9];
  ASSERT_EQ(matInvert(3, a, inverse, 0), 0);
  expectNear(inverse, expected, 9, 1e-14, "inverse");

  double lu[9];
  std::copy(a, a + 9, lu);
  int32_t index[3], parity = 0;
  ASSERT_EQ(matLUDecompose(lu, 3, index, &parity), 0);
  EXPECT_EQ(index[0], 2);
  EXPECT_EQ(parity, -1);
  // a x = (4, 6, 1) has the solution (1, 1, 1).
  double b[3] = {4, 6, 1};
  ASSERT_EQ(matLUSolve(lu, 3, index, b), 0);
  expectNear(b, V{1, 1, 1}.data(), 3, 1e-14, "solve");
}

TEST(MatrixInverse, InvertsWellConditionedMatricesInPlaceAndOnTheHeap) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> pick(-1, 1);
  for (uint32_t n : {2u, 4u, 6u, 9u}) {
    for (int round = 0; round < 20; ++round) {
      std::vector<double> m(n * n);
      for (uint32_t i = 0; i < n; ++i)
        for (uint32_t j = 0; j < n; ++j) m[i * n + j] = pick(random) + (i == j ? n : 0);
      std::vector<double> inverse = m, product(n * n);
      ASSERT_EQ(matInvert(n, inverse.data(), inverse.data(), 1), 0) << n;
      matMulN(n, inverse.data(), m.data(), product.data());
      for (uint32_t i = 0; i < n * n; ++i)
        ASSERT_NEAR(product[i], i % (n + 1) == 0 ? 1.0 : 0.0, 1e-12) << "n=" << n << " i=" << i;
    }
  }
}

TEST_F(MatrixLog, SingularMatricesAreRefusedWithTheirLogLines) {
  struct Case {
    const char* what;
    uint32_t n;
    std::vector<double> m;
    const char* logLine;
  } const cases[] = {
      {"zero row", 3, {1, 2, 3, 0, 0, 0, 4, 5, 6}, "Singular matrix in routine LUDCMP1\n"},
      {"zero column", 3, {0, 1, 2, 0, 3, 4, 0, 5, 7}, "Singular matrix in routine LUDCMP2\n"},
      {"dependent rows", 2, {1, 2, 2, 4}, "Bad division in lubksb\n"},
  };
  for (const Case& c : cases) {
    log().clear();
    std::vector<double> out(c.n * c.n, 42.0);
    EXPECT_EQ(matInvert(c.n, c.m.data(), out.data(), 0), -1) << c.what;
    EXPECT_EQ(log(), c.logLine) << c.what;
    EXPECT_EQ(out, std::vector<double>(c.n * c.n, 42.0)) << c.what;
  }
  // In place: the matrix is left as it was.
  std::vector<double> m = {1, 2, 2, 4};
  EXPECT_EQ(matInvert(2, m.data(), m.data(), 1), -1);
  EXPECT_EQ(m, (std::vector<double>{1, 2, 2, 4}));
}

TEST_F(MatrixLog, CantInvertIsATraceAlertShownOnlyWithDebugFlags) {
  const double zeroRow[4] = {0, 0, 1, 1};
  double out[4];
  EXPECT_EQ(matInvert(2, zeroRow, out, 1), -1);
  EXPECT_FALSE(boxShown("Can't invert matrix"));
  dbgSetFlags(0x100);
  EXPECT_EQ(matInvert(2, zeroRow, out, 0), -1);
  EXPECT_FALSE(boxShown("Can't invert matrix"));
  EXPECT_EQ(matInvert(2, zeroRow, out, 1), -1);
  EXPECT_TRUE(boxShown("Can't invert matrix"));
}

TEST(MatrixApply, TranslatedIdentityMovesPoints) {
  M m = kIdentity;
  aTranslate(m.data(), V{1, 2, 3}.data(), m.data());
  EXPECT_EQ(m[3], 1.0);
  EXPECT_EQ(m[7], 2.0);
  EXPECT_EQ(m[11], 3.0);
  expectPoint(m, {1, 1, 1}, {2, 3, 4}, "translate");
}

// The low byte of n counts the outputs, bits 8-15 the inputs.
TEST(MatrixApply, PackedCountsSayOutputsThenInputs) {
  M m;
  for (int i = 0; i < 16; ++i) m[i] = i + 1;  // rows (1 2 3 4) (5 6 7 8) (9 10 11 12) (13 14 15 16)
  const double nan = std::nan("");
  struct Case {
    uint32_t n;
    V point;
    std::array<double, 5> expected;  // the fifth slot must stay untouched
  } const cases[] = {
      {0x0003, {1, 1, 1, nan}, {10, 26, 42, nan, nan}},      // 3 in, 3 out: (x, y, z, 1)
      {0x0203, {1, 2, nan, nan}, {9, 25, 41, nan, nan}},     // 2-D in, 3 rows out: (x, y, 0, 1)
      {0x0302, {1, 1, 1, nan}, {10, 26, nan, nan, nan}},     // 3 in, 2 out
      {0x0404, {1, 0, 0, 2}, {9, 21, 33, 45, nan}},          // the fourth coordinate is given
      {0x0904, {1, 0, 0, 2}, {9, 21, 33, 45, nan}},          // more than 4 inputs count as 4
      {0x0104, {2, nan, nan, nan}, {6, 18, 30, 42, nan}},    // (x, 0, 0, 1)
      {0x0309, {1, 1, 1, nan}, {10, 26, 42, 58, nan}},       // at most the matrix's 4 rows
  };
  for (const Case& c : cases) {
    std::array<double, 5> out;
    out.fill(nan);
    EXPECT_EQ(aPtTransform(c.n, c.point.data(), m.data(), out.data()), 0);
    for (int k = 0; k < 5; ++k) {
      if (std::isnan(c.expected[k])) EXPECT_TRUE(std::isnan(out[k])) << std::hex << c.n << " " << k;
      else EXPECT_EQ(out[k], c.expected[k]) << std::hex << c.n << " " << k;
    }
  }
  // In place, through the widened form.
  V p = {1, 1, 1, 0};
  aPtTransform(3, p.data(), m.data(), p.data());
  EXPECT_EQ(p, (V{10, 26, 42, 0}));
}

TEST(MatrixApply, RoundedPointsAndDirections) {
  M m = kIdentity;
  aScale(m.data(), 0.5, m.data());
  aTranslate(m.data(), V{0, 0, 3e9}.data(), m.data());
  int32_t out[3];
  EXPECT_EQ(xformToInt(3, V{3, -3, 0}.data(), m.data(), out), -1);
  EXPECT_EQ(out[0], 2);
  EXPECT_EQ(out[1], -2);
  EXPECT_EQ(out[2], INT32_MAX);

  // Directions ignore the translation; the output may be the input.
  V d = {2, 4, 6, 0};
  vectXform(3, d.data(), m.data(), d.data());
  EXPECT_EQ(d, (V{1, 2, 3, 0}));
}

TEST_F(MatrixLog, DirectionsOfMoreThanFourDimensionsAreRefused) {
  double v[8] = {1, 1, 1, 1, 1, 1, 1, 1}, out[8] = {};
  vectXform(5, v, kIdentity.data(), out);
  EXPECT_TRUE(boxShown("ndim too big in vectXform"));
  EXPECT_EQ(out[0], 0.0);
}

TEST(MatrixBuild, TranslateBeforeOrAfter) {
  M m = kIdentity;
  aScale(m.data(), 2, m.data());
  M after, before;
  aTranslate(m.data(), V{1, 0, 0}.data(), after.data());
  xformPreTranslate(m.data(), V{1, 0, 0}.data(), before.data());
  expectPoint(after, {0, 0, 0}, {1, 0, 0}, "scale, then translate");
  expectPoint(before, {0, 0, 0}, {2, 0, 0}, "translate, then scale");
  // The scale keeps the fourth row.
  EXPECT_EQ(m[15], 1.0);
}

TEST(MatrixBuild, MirrorReflectsAndReportsMirrored) {
  M m = kIdentity;
  EXPECT_EQ(aMirror(kIdentity.data(), V{1, 0, 0}.data(), m.data()), 0);
  expectPoint(m, {2, 3, 4}, {-2, 3, 4}, "mirror x");
  EXPECT_TRUE(xformIsMirrored(m.data()));
  EXPECT_FALSE(xformIsMirrored(kIdentity.data()));
  // A normal of any length; mirroring twice is the identity.
  aMirror(m.data(), V{0, 0, 5}.data(), m.data());
  expectPoint(m, {2, 3, 4}, {-2, 3, -4}, "mirror x then z");
  EXPECT_FALSE(xformIsMirrored(m.data()));
  aMirror(m.data(), V{1, 1, 0}.data(), m.data());
  expectPoint(m, {2, 3, 4}, {-3, 2, -4}, "then the diagonal plane");

  // A normal too short to divide by.
  for (V normal : {V{0, 0, 0}, V{1e-31, 0, 0}}) {
    M out;
    out.fill(9);
    EXPECT_EQ(aMirror(kIdentity.data(), normal.data(), out.data()), matErrMirrorNormal);
    EXPECT_EQ(out[0], 9.0);
  }
}

TEST(MatrixBuild, RotateAboutZ) {
  M m;
  EXPECT_EQ(aRotate(kIdentity.data(), V{0, 0, 0}.data(), V{0, 0, 1}.data(), 0, 1, m.data()), 0);
  expectPoint(m, {1, 0, 0}, {0, 1, 0}, "quarter turn");
  EXPECT_FALSE(xformIsMirrored(m.data()));
  // About an axis through (1, 0, 0): that point stays.
  EXPECT_EQ(aRotate(kIdentity.data(), V{1, 0, 0}.data(), V{0, 0, 2}.data(), 0, 1, m.data()), 0);
  expectPoint(m, {1, 0, 0}, {1, 0, 0}, "centre");
  expectPoint(m, {2, 0, 5}, {1, 1, 5}, "off centre");
  // The input transformation comes first.
  const M t = translation(1, 0, 0);
  aRotate(t.data(), V{0, 0, 0}.data(), V{0, 0, 1}.data(), 0, 1, m.data());
  expectPoint(m, {0, 0, 0}, {0, 1, 0}, "translate, then rotate");
}

TEST(MatrixBuild, RotateAgreesWithRodrigues) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> pick(-3, 3);
  for (int round = 0; round < 200; ++round) {
    const V d = {pick(random), pick(random), pick(random), 0};
    const V p = {pick(random), pick(random), pick(random), 0};
    const V x = {pick(random), pick(random), pick(random), 0};
    double c, s;
    angSinCos(pick(random), &c, &s);
    M m;
    ASSERT_EQ(aRotate(kIdentity.data(), p.data(), d.data(), c, s, m.data()), 0);
    // x' = p + v cos + (k x v) sin + k (k . v)(1 - cos), v = x - p.
    double k[3], v[3], kv[3], expected[3];
    vecNormalize3(d.data(), k);
    vecSub3(x.data(), p.data(), v);
    vecCross3(k, v, kv);
    for (int i = 0; i < 3; ++i) expected[i] = p[i] + v[i] * c + kv[i] * s + k[i] * vecDot3(k, v) * (1 - c);
    const V image = mapPoint(m, x);
    for (int i = 0; i < 3; ++i) ASSERT_NEAR(image[i], expected[i], 1e-12) << "round " << round;
  }
}

TEST(MatrixBuild, RotateAboutAZeroAxisAnswersTheInput) {
  const M t = translation(4, 5, 6);
  M out;
  out.fill(9);
  EXPECT_EQ(aRotate(t.data(), V{1, 1, 1}.data(), V{0, 0, 0}.data(), 0, 1, out.data()), -1);
  EXPECT_EQ(out, t);
}

TEST(MatrixBuild, RotatePointOntoPoint) {
  M m;
  const V centre = {1, 1, 0};
  ASSERT_EQ(aPtRotate(kIdentity.data(), centre.data(), V{2, 1, 0}.data(), V{1, 3, 0}.data(), V{0, 0, 3}.data(),
                      m.data()),
            0);
  expectPoint(m, {2, 1, 0}, {1, 2, 0}, "from point");
  expectPoint(m, {1, 1, 7}, {1, 1, 7}, "on the axis");
  expectPoint(m, {3, 1, 1}, {1, 3, 1}, "off the plane");
  EXPECT_FALSE(xformIsMirrored(m.data()));
  // The directions count with their part along the axis taken out.
  ASSERT_EQ(aPtRotate(kIdentity.data(), V{0, 0, 0}.data(), V{1, 0, 5}.data(), V{-1, 0, -2}.data(),
                      V{0, 0, 1}.data(), m.data()),
            0);
  expectPoint(m, {1, 0, 0}, {-1, 0, 0}, "half turn");

  struct Case {
    const char* what;
    V a, b, n;
  } const refused[] = {
      {"from the centre", {0, 0, 0}, {1, 0, 0}, {0, 0, 1}},
      {"to the centre", {1, 0, 0}, {0, 0, 0}, {0, 0, 1}},
      {"from along the axis", {0, 0, 2}, {1, 0, 0}, {0, 0, 1}},
      {"to along the axis", {1, 0, 0}, {0, 0, -2}, {0, 0, 1}},
      {"zero axis", {1, 0, 0}, {0, 1, 0}, {0, 0, 0}},
  };
  for (const Case& c : refused) {
    M out;
    out.fill(9);
    EXPECT_EQ(aPtRotate(kIdentity.data(), V{0, 0, 0}.data(), c.a.data(), c.b.data(), c.n.data(), out.data()), -1)
        << c.what;
    EXPECT_EQ(out[0], 9.0) << c.what;
  }
}

TEST(MatrixBuild, ExpandScalesAboutTheCentre) {
  M m;
  aPtExpand(kIdentity.data(), V{0, 0, 0}.data(), V{1, 0, 0}.data(), V{3, 0, 0}.data(), m.data());
  expectPoint(m, {1, 1, 1}, {3, 3, 3}, "by 3");
  aPtExpand(kIdentity.data(), V{0, 0, 0}.data(), V{0, 0, 0}.data(), V{3, 0, 0}.data(), m.data());
  EXPECT_EQ(m, kIdentity);  // a = c: by 1
  aPtExpand(kIdentity.data(), V{1, 1, 1}.data(), V{1, 2, 1}.data(), V{1, 1, 3}.data(), m.data());
  expectPoint(m, {1, 1, 1}, {1, 1, 1}, "centre stays");
  expectPoint(m, {2, 1, 1}, {3, 1, 1}, "by 2 about (1, 1, 1)");
  xformScaleAbout(kIdentity.data(), V{1, 0, 0}.data(), -1, m.data());
  expectPoint(m, {3, 2, 0}, {-1, -2, 0}, "by -1 about (1, 0, 0)");
  EXPECT_EQ(aPtDist(V{1, 1, 1}.data(), V{4, 5, 1}.data()), 5.0);
}

TEST_F(MatrixLog, SelfCheckRunsOnlyWithDebugFlags) {
  matSelfCheck();
  EXPECT_EQ(log(), "");
  dbgSetFlags(0x100);
  matSelfCheck();
  EXPECT_NE(log().find("[matSelfCheck] 30. degrees"), std::string::npos) << log();
  EXPECT_NE(log().find("[matSelfCheck] 45. degrees"), std::string::npos) << log();
  EXPECT_NE(log().find("[aRotate] p"), std::string::npos) << log();
}

}  // namespace
