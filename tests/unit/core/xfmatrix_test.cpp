// The matrix objects: identity flag and LU cache, the setters and in-place
// operations, carrying points back through the inverse (checked against an
// independent elimination), and the stack that forwards to its top.
#include "core/xfmatrix.h"

#include "core/matrix.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <string>

namespace {

using M = std::array<double, 16>;
const M kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

M elements(const xfMatrix& x) {
  M m;
  for (int i = 0; i < 16; ++i) m[i] = x.elements()[i];
  return m;
}

void expectElements(const xfMatrix& x, const M& expected, double tolerance, const std::string& what) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(x.elements()[i], expected[i], tolerance) << what << " m[" << i << "]";
}

// The image of a point through the matrix (forwards).
std::array<double, 3> image(const xfMatrix& x, std::array<double, 3> p) {
  std::array<double, 3> out{};
  aPtTransform(3, p.data(), x.elements(), out.data());
  return out;
}

// An independent solver for M y = h: Gauss-Jordan with full pivoting on a
// copy. False when a pivot is (nearly) zero.
bool gaussJordan(const M& m, const double h[4], double y[4]) {
  double a[4][5];
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) a[i][j] = m[4 * i + j];
    a[i][4] = h[i];
  }
  int column[4] = {0, 1, 2, 3};
  for (int k = 0; k < 4; ++k) {
    int bi = k, bj = k;
    for (int i = k; i < 4; ++i)
      for (int j = k; j < 4; ++j)
        if (std::fabs(a[i][j]) > std::fabs(a[bi][bj])) bi = i, bj = j;
    if (std::fabs(a[bi][bj]) < 1e-12) return false;
    for (int j = 0; j < 5; ++j) std::swap(a[k][j], a[bi][j]);
    for (int i = 0; i < 4; ++i) std::swap(a[i][k], a[i][bj]);
    std::swap(column[k], column[bj]);
    for (int i = 0; i < 4; ++i) {
      if (i == k) continue;
      const double f = a[i][k] / a[k][k];
      for (int j = k; j < 5; ++j) a[i][j] -= f * a[k][j];
    }
  }
  for (int k = 0; k < 4; ++k) y[column[k]] = a[k][4] / a[k][k];
  return true;
}

TEST(XfMatrix, ANewMatrixIsTheIdentityAndCarriesPointsBackUnchanged) {
  xfMatrix x;
  EXPECT_TRUE(x.isIdentity());
  expectElements(x, kIdentity, 0, "new");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(x.scaleCache()[i], 1.0);
    EXPECT_EQ(x.spare()[i], 0.0);
  }
  double p[3] = {3.5, -2, 7};
  EXPECT_TRUE(x.inversePoint(p));
  EXPECT_EQ(p[0], 3.5);
  EXPECT_EQ(p[1], -2);
  EXPECT_EQ(p[2], 7);
  EXPECT_FALSE(x.inverseValid()) << "the identity answers without decomposing";
}

TEST(XfMatrix, ATranslationCarriesItsOwnOffsetBackToTheOrigin) {
  xfMatrix x;
  x.setTranslation(1, 2, 3);
  EXPECT_FALSE(x.isIdentity());
  const double p[3] = {1, 2, 3};
  double out[3] = {9, 9, 9};
  ASSERT_TRUE(x.inversePoint(p, out));
  EXPECT_NEAR(out[0], 0, 1e-15);
  EXPECT_NEAR(out[1], 0, 1e-15);
  EXPECT_NEAR(out[2], 0, 1e-15);
  EXPECT_TRUE(x.inverseValid());
  // A vector ignores the translation.
  double v[3] = {4, 5, 6};
  ASSERT_TRUE(x.inverseVector(v));
  EXPECT_NEAR(v[0], 4, 1e-14);
  EXPECT_NEAR(v[1], 5, 1e-14);
  EXPECT_NEAR(v[2], 6, 1e-14);
  // Setting it back to 0 restores the identity flag; the cache is dropped.
  x.setTranslation(0, 0, 0);
  EXPECT_TRUE(x.isIdentity());
  EXPECT_FALSE(x.inverseValid());
}

TEST(XfMatrix, ScaleCacheHoldsReciprocalsAndAHugeStandInForZero) {
  xfMatrix x;
  x.setScale(0, 1, 1);
  EXPECT_EQ(x.scaleCache()[0], -1e100);
  EXPECT_EQ(x.scaleCache()[1], 1.0);
  x.setScale(2, 4, 0.5);
  EXPECT_EQ(x.scaleCache()[0], 0.5);
  EXPECT_EQ(x.scaleCache()[1], 0.25);
  EXPECT_EQ(x.scaleCache()[2], 2.0);
  double p[3] = {2, 4, 0.5};
  EXPECT_TRUE(x.scalePoint(p));
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(p[1], 1);
  EXPECT_EQ(p[2], 1);
  x.setTranslation(1, 2, 3);
  EXPECT_TRUE(x.translatePoint(p));
  EXPECT_EQ(p[0], 2);
  EXPECT_EQ(p[1], 3);
  EXPECT_EQ(p[2], 4);
}

TEST(XfMatrix, ASingularMatrixRefusesToCarryPointsBack) {
  xfMatrix x;
  x.setScale(0, 1, 1);
  double p[3] = {1, 2, 3};
  EXPECT_FALSE(x.inversePoint(p));
  EXPECT_EQ(p[0], 1) << "the point is left as it was";
  double h[4] = {1, 2, 3, 1};
  EXPECT_FALSE(x.solve(h));
  EXPECT_FALSE(x.inverseVector(p));
  EXPECT_FALSE(x.inverseValid());
  const M before = elements(x);
  EXPECT_FALSE(x.invert());
  EXPECT_EQ(elements(x), before);
  EXPECT_EQ(x.inverted(), nullptr);
}

// Each axis: setRotation(a) writes exactly the elements rotate(a) gives the
// identity, and turns the first axis of its pair towards the second by -a
// (x: y to -z for a positive angle, in the element layout fixed for it).
TEST(XfMatrix, AxisRotationsSetAndAppliedAgree) {
  const double a = 0.7, c = std::cos(a), s = std::sin(a);
  struct Case {
    const char* name;
    void (xfMatrix::*set)(double);
    void (xfMatrix::*rotate)(double);
    M expected;
  };
  const Case cases[] = {
      {"x", &xfMatrix::setRotationX, &xfMatrix::rotateX, {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1}},
      {"y", &xfMatrix::setRotationY, &xfMatrix::rotateY, {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1}},
      {"z", &xfMatrix::setRotationZ, &xfMatrix::rotateZ, {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
  };
  for (const Case& k : cases) {
    xfMatrix set, rotated;
    (set.*k.set)(a);
    (rotated.*k.rotate)(a);
    expectElements(set, k.expected, 0, std::string("set ") + k.name);
    expectElements(rotated, k.expected, 1e-15, std::string("rotate ") + k.name);
    // set writes only its four elements: a translation survives it.
    xfMatrix moved;
    moved.setTranslation(1, 2, 3);
    (moved.*k.set)(a);
    EXPECT_EQ(moved.elements()[3], 1) << k.name;
    EXPECT_EQ(moved.elements()[11], 3) << k.name;
    // A zero angle leaves the matrix and its cache alone.
    xfMatrix still;
    still.setTranslation(1, 0, 0);
    double h[4] = {0, 0, 0, 1};
    still.solve(h);
    (still.*k.rotate)(0.0);
    EXPECT_TRUE(still.inverseValid()) << k.name;
  }
}

TEST(XfMatrix, RotationXYZIsZThenYThenXComposedAndRotatePostMultiplies) {
  const double ax = 0.3, ay = -1.1, az = 2.0;
  xfMatrix xyz;
  xyz.setRotationXYZ(ax, ay, az);
  xfMatrix rz, ry, rx;
  rz.setRotationZ(az);
  ry.setRotationY(ay);
  rx.setRotationX(ax);
  rz.multiply(ry);
  rz.multiply(rx);
  expectElements(xyz, elements(rz), 1e-15, "Rz Ry Rx");

  xfMatrix single;
  single.setRotationXYZ(ax, 0, 0);
  xfMatrix alone;
  alone.setRotationX(ax);
  expectElements(single, elements(alone), 1e-15, "x alone");

  // rotate multiplies on the right: the rotation acts first, the
  // translation after it.
  xfMatrix moved;
  moved.setTranslation(10, 0, 0);
  moved.rotateZ(std::numbers::pi / 2);
  const auto p = image(moved, {1, 0, 0});
  EXPECT_NEAR(p[0], 10, 1e-15);
  EXPECT_NEAR(p[1], -1, 1e-15);
}

TEST(XfMatrix, MultiplyAppliesTheOtherMatrixFirst) {
  xfMatrix moved, scaled;
  moved.setTranslation(1, 0, 0);
  scaled.setScale(2, 2, 2);
  moved.multiply(scaled);
  const auto p = image(moved, {1, 0, 0});
  EXPECT_EQ(p[0], 3) << "scaled by 2, then moved by 1";

  // By the identity: m is kept, and the flag is set only when m was the
  // identity.
  xfMatrix identity, same;
  same.setTranslation(4, 5, 6);
  const M before = elements(same);
  same.multiply(identity);
  EXPECT_EQ(elements(same), before);
  EXPECT_FALSE(same.isIdentity());
  xfMatrix plain;
  plain.multiply(identity);
  EXPECT_TRUE(plain.isIdentity());
}

TEST(XfMatrix, DivideScalePassesOverFactorsOfOneAndOfZero) {
  xfMatrix x;
  const double o[3] = {1, 2, 3}, ax[3] = {2, 0, 0}, ay[3] = {0, 4, 0}, az[3] = {0, 0, 6};
  x.setFromAxes(o, ax, ay, az);
  x.divideScale(2, 1, 0);
  // Column 0 halved, column 1 (factor 1) kept, column 2 (factor 0) kept
  // rather than filled with infinities; the translation column untouched.
  const M expected = {1, 0, 0, 1, 0, 4, 0, 2, 0, 0, 6, 3, 0, 0, 0, 1};
  expectElements(x, expected, 0, "divided");
  EXPECT_EQ(x.scaleCache()[0], 2.0);
  EXPECT_EQ(x.scaleCache()[1], 1.0);
  EXPECT_EQ(x.scaleCache()[2], 1.0);
  for (double e : elements(x)) EXPECT_TRUE(std::isfinite(e));

  // All factors 1 (or 0) change nothing, the LU cache included.
  double p[3] = {0, 0, 0};
  ASSERT_TRUE(x.inversePoint(p));
  ASSERT_TRUE(x.inverseValid());
  x.divideScale(1, 0, 1);
  EXPECT_TRUE(x.inverseValid());
  expectElements(x, expected, 0, "unchanged");
}

TEST(XfMatrix, SubtractTranslationIsATranslationAppliedFirst) {
  xfMatrix x;
  x.setRotationXYZ(0.4, 0.2, -0.9);
  x.setScale(2, 3, 4);
  x.setTranslation(5, 6, 7);
  xfMatrix expected(x), shift;
  shift.setTranslation(-1, 2, -3);
  expected.multiply(shift);
  x.subtractTranslation(1, -2, 3);
  expectElements(x, elements(expected), 1e-14, "m T(-t)");

  double h[4] = {0, 0, 0, 1};
  x.solve(h);
  x.subtractTranslation(0, 0, 0);
  EXPECT_TRUE(x.inverseValid()) << "a zero vector changes nothing";
}

TEST(XfMatrix, SolveAgreesWithAnIndependentEliminationOnRandomMatrices) {
  std::mt19937 rng(20240521);
  std::uniform_real_distribution<double> value(-3, 3);
  for (int round = 0; round < 50; ++round) {
    M m;
    for (double& e : m) e = value(rng);
    for (int i = 0; i < 4; ++i) m[5 * i] += 8;  // diagonally dominant: well conditioned
    xfMatrix x;
    const double c0[3] = {m[0], m[4], m[8]}, c1[3] = {m[1], m[5], m[9]}, c2[3] = {m[2], m[6], m[10]};
    const double t[3] = {m[3], m[7], m[11]};
    x.setFromAxes(t, c0, c1, c2);
    // setFromAxes keeps the fourth row of the identity.
    m[12] = m[13] = m[14] = 0;
    m[15] = 1;

    double h[4] = {value(rng), value(rng), value(rng), value(rng)};
    double expected[4];
    ASSERT_TRUE(gaussJordan(m, h, expected));
    ASSERT_TRUE(x.solve(h));
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(h[i], expected[i], 1e-12) << "round " << round << " [" << i << "]";

    // invert: m times the inverse is the identity.
    std::unique_ptr<xfMatrix> inverse(x.inverted());
    ASSERT_TRUE(inverse);
    double product[16];
    matMulN(4, inverse->elements(), m.data(), product);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product[i], kIdentity[i], 1e-12) << "round " << round;
    EXPECT_EQ(elements(x), m) << "inverted leaves the matrix";
  }
}

TEST(XfMatrix, InvertReplacesTheMatrixAndDropsTheCache) {
  xfMatrix x;
  x.setScale(2, 4, 8);
  x.setTranslation(2, 4, 8);
  double h[4] = {0, 0, 0, 1};
  ASSERT_TRUE(x.solve(h));
  ASSERT_TRUE(x.invert());
  EXPECT_FALSE(x.inverseValid());
  const M expected = {0.5, 0, 0, -1, 0, 0.25, 0, -1, 0, 0, 0.125, -1, 0, 0, 0, 1};
  expectElements(x, expected, 1e-15, "inverse");
  // And back again.
  ASSERT_TRUE(x.invert());
  EXPECT_NEAR(x.elements()[0], 2, 1e-15);
  EXPECT_NEAR(x.elements()[3], 2, 1e-15);
}

TEST(XfMatrix, TransposeTouchesOnlyTheUpperThreeByThree) {
  xfMatrix x;
  x.setRotationXYZ(0.5, 0.25, 1.5);
  x.setTranslation(7, 8, 9);
  std::unique_ptr<xfMatrix> t(x.transposed());
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(t->elements()[4 * i + j], x.elements()[4 * j + i]);
  EXPECT_EQ(t->elements()[3], 7);
  EXPECT_EQ(t->elements()[11], 9);
  // A rotation's transpose undoes it.
  t->setTranslation(0, 0, 0);
  x.setTranslation(0, 0, 0);
  x.multiply(*t);
  expectElements(x, kIdentity, 1e-15, "R R^T");
  x.transpose3();
  x.transpose3();
  expectElements(x, kIdentity, 1e-15, "twice");
}

TEST(XfMatrix, AssertTextNamesFileExpressionAndLine) {
  EXPECT_STREQ(xfAssertText("xfmatrix.cpp", "n <= 4", 42), "xfmatrix.cpp: Assert failed, n <= 4:42");
}

// ---- the stack -------------------------------------------------------------

TEST(XfMatrixStack, AnEmptyStackDoesNothingAndAnswersFalse) {
  xfMatrixStack stack;
  stack.popMatrix();
  xfMatrix sentinel;
  xfMatrix* out = &sentinel;
  stack.popMatrix(&out);
  EXPECT_EQ(out, nullptr);
  double p[3] = {1, 2, 3}, h[4] = {1, 2, 3, 1};
  EXPECT_FALSE(stack.inversePoint(p));
  EXPECT_FALSE(stack.solve(h));
  EXPECT_FALSE(stack.scalePoint(p));
  EXPECT_FALSE(stack.translatePoint(p));
  EXPECT_FALSE(stack.invert());
  EXPECT_EQ(stack.inverted(), nullptr);
  EXPECT_EQ(stack.transposed(), nullptr);
  stack.setTranslation(1, 1, 1);
  stack.resetCurrent();
  EXPECT_TRUE(stack.empty());
  std::unique_ptr<xfMatrix> copy(stack.copyCurrent());
  EXPECT_TRUE(copy->isIdentity());
}

TEST(XfMatrixStack, PushCopiesOrStartsFreshAndPopReturnsToTheOneBelow) {
  xfMatrixStack stack;
  EXPECT_EQ(stack.pushMatrix(0), nullptr) << "the first push: no previous top";
  ASSERT_NE(stack.current(), nullptr);
  EXPECT_TRUE(stack.current()->isIdentity());
  stack.setTranslation(1, 2, 3);
  xfMatrixStack::Node* first = stack.top();

  EXPECT_EQ(stack.pushMatrix(0), first);  // flag 0: a copy of the current
  EXPECT_EQ(stack.current()->elements()[7], 2);
  stack.setScale(2, 2, 2);
  EXPECT_EQ(stack.current()->elements()[0], 2);

  stack.pushMatrix(1);  // flag 1: a fresh identity
  EXPECT_TRUE(stack.current()->isIdentity());

  stack.popMatrix();
  EXPECT_EQ(stack.current()->elements()[0], 2);
  stack.popMatrix();
  EXPECT_EQ(stack.current()->elements()[0], 1) << "the copy's scale did not reach the original";
  double p[3] = {1, 2, 3};
  EXPECT_TRUE(stack.inversePoint(p));
  EXPECT_NEAR(p[0], 0, 1e-15);
  stack.resetCurrent();
  EXPECT_TRUE(stack.current()->isIdentity());
}

TEST(XfMatrixStack, PushedMatricesAreOwnedAndPopCanHandOneBack) {
  auto stack = std::make_unique<xfMatrixStack>();
  auto* given = new xfMatrix();
  given->setTranslation(5, 0, 0);
  stack->pushMatrix(given);
  EXPECT_EQ(stack->current(), given);
  stack->pushMatrix(static_cast<xfMatrix*>(nullptr));
  EXPECT_TRUE(stack->current()->isIdentity());
  stack->popMatrix();

  xfMatrix* out = nullptr;
  stack->popMatrix(&out);
  EXPECT_EQ(out, given);
  EXPECT_TRUE(stack->empty());
  delete out;

  // Whatever is left is destroyed with the stack (the leak checker watches).
  stack->pushMatrix(0);
  stack->pushMatrix(0);
  stack->pushMatrix(new xfMatrix());
  stack.reset();
}

}  // namespace
