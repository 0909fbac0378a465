// The arrow slots: the built-in outlines and their sizes, slot definitions
// through aDefArrow and its refusals, and the placement of an outline at a
// tip, by one scale and by length and width.
#include "objects/arrow.h"

#include "core/errors.h"
#include "fe/exec_fixture.h"
#include "fe/script.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Pt {
  double x, y, z;
};

class Arrow : public ::testing::Test {
 protected:
  void SetUp() override {
    execfx::start();
    if (!execfx::defined("aDefArrow"))
      arrowInit();
    else
      arrowLoadDefaults();
  }
  void TearDown() override {
    arrowTerm();
    execfx::stop();
  }
  static int run(const char* text) {
    const int rc = feExecString(text);
    feStackClear(*feOperandStack());
    return rc;
  }
  static std::vector<Pt> points(int32_t type, Pt p, Pt q, double s, const double* v = nullptr) {
    double out[3 * arrowMaxPoints];
    const double pp[3] = {p.x, p.y, p.z}, qq[3] = {q.x, q.y, q.z};
    const int32_t n = arrowPoints(type, pp, qq, s, v, out);
    return collect(out, n);
  }
  static std::vector<Pt> sized(int32_t type, Pt p, Pt q, double L, double W, double S, const double* v = nullptr) {
    double out[3 * arrowMaxPoints];
    const double pp[3] = {p.x, p.y, p.z}, qq[3] = {q.x, q.y, q.z};
    const int32_t n = arrowPointsSized(type, pp, qq, L, W, S, v, out);
    return collect(out, n);
  }
  static std::vector<Pt> collect(const double* out, int32_t n) {
    std::vector<Pt> list;
    for (int32_t i = 0; i < n; ++i) list.push_back({out[3 * i], out[3 * i + 1], out[3 * i + 2]});
    return list;
  }
  static void expectPoints(const std::vector<Pt>& actual, const std::vector<Pt>& expected, const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < actual.size(); ++i) {
      EXPECT_NEAR(actual[i].x, expected[i].x, 1e-12) << what << " point " << i;
      EXPECT_NEAR(actual[i].y, expected[i].y, 1e-12) << what << " point " << i;
      EXPECT_NEAR(actual[i].z, expected[i].z, 1e-12) << what << " point " << i;
    }
  }
};

TEST_F(Arrow, BuiltInSlotsAndTheirSizes) {
  struct Case {
    int32_t type;
    double scale;
    double length, height;  // arrowGetSize
    double baseX, baseY;    // arrowBaseSize
    int32_t filled, count;
  };
  const Case cases[] = {
      {0, 2, 2.4, 1.2, 1.5, 0.6, 1, 5},   // notched head, closed by a copy of the tip
      {1, 1, 1.0, 0.5, 1.0, 0.5, 1, 4},   // filled triangle
      {2, 1, 1.0, 0.5, 1.25, 0.5, 0, 5},  // open head, closed as given
      {3, 2, 2.0, 0.8, 0, 0, 0, 0},       // empty: (s, 0.4 s), no points
      {4, 1, 0.25, 0.625, 0.3125, 0.625, 1, 5},
      {6, 1, 0.2, 0.4, 0.2, 0.4, 1, 14},  // 13 points and the closing copy
      {7, 1, 0.2, 0.4, 0.2, 0.4, 0, 13},
      {9, 1, 1.0, 0.5, 1.0, 0.5, 1, 4},   // 9 is slot 1
      {11, 2, 2.0, 0.8, 0, 0, 0, 0},      // 11 is slot 3
  };
  const double p[3] = {0, 0, 0}, q[3] = {1, 0, 0};
  for (const Case& c : cases) {
    double size[2], base[2], out[3 * arrowMaxPoints];
    arrowGetSize(c.type, c.scale, size);
    EXPECT_NEAR(size[0], c.length, 1e-15) << "type " << c.type;
    EXPECT_NEAR(size[1], c.height, 1e-15) << "type " << c.type;
    arrowBaseSize(c.type, base);
    EXPECT_NEAR(base[0], c.baseX, 1e-15) << "type " << c.type;
    EXPECT_NEAR(base[1], c.baseY, 1e-15) << "type " << c.type;
    EXPECT_EQ(arrowIsFilled(c.type), c.filled) << "type " << c.type;
    EXPECT_EQ(arrowPoints(c.type, p, q, 1, nullptr, out), c.count) << "type " << c.type;
  }
}

TEST_F(Arrow, DefaultSizesForATextSizeInBothPrecisions) {
  double length = -1, height = -1, dot = -1;
  arrowSizeD(2, 0, &length, &height, &dot);
  EXPECT_NEAR(length, 3.0, 1e-15);
  EXPECT_NEAR(height, 1.2, 1e-15);
  EXPECT_NEAR(dot, 1.2, 1e-15);
  float lf = -1, hf = -1, df = -1;
  arrowSizeF(2.0f, 8, &lf, &hf, &df);
  EXPECT_FLOAT_EQ(lf, 3.0f);
  EXPECT_FLOAT_EQ(hf, 1.2f);
  EXPECT_FLOAT_EQ(df, 1.2f);
  arrowSizeF(2.0f, 3, &lf, &hf, nullptr);
  EXPECT_EQ(lf, 0.0f) << "no arrowhead, no size";
  EXPECT_EQ(hf, 0.0f);
}

TEST_F(Arrow, PlacementAtATipAlongTheShaft) {
  // Type 0 at the origin, shaft along +x, scale 1: the outline as stored.
  expectPoints(points(0, {0, 0, 0}, {10, 0, 0}, 1),
               {{0, 0, 0}, {1.5, 0.3, 0}, {1.2, 0, 0}, {1.5, -0.3, 0}, {0, 0, 0}}, "along x");
  // Type 1 at (1, 1), shaft up, scale 2: u = (0, 2), side = (-2, 0).
  expectPoints(points(1, {1, 1, 0}, {1, 5, 0}, 2), {{1, 1, 0}, {0.5, 3, 0}, {1.5, 3, 0}, {1, 1, 0}}, "up");
  // A side vector replaces the turned one, at the scale's length.
  const double side[3] = {0, 0, 5};
  expectPoints(points(1, {0, 0, 0}, {3, 0, 0}, 2, side), {{0, 0, 0}, {2, 0, 0.5}, {2, 0, -0.5}, {0, 0, 0}},
               "side");
  // Tip and shaft point the same: every point at the tip.
  expectPoints(points(1, {2, 2, 2}, {2, 2, 2}, 1), {{2, 2, 2}, {2, 2, 2}, {2, 2, 2}, {2, 2, 2}}, "no shaft");
  EXPECT_TRUE(points(3, {0, 0, 0}, {1, 0, 0}, 1).empty());
}

TEST_F(Arrow, SizedPlacementReachesLengthAndWidthOrTheDotSize) {
  // Types 0-3: the tip reaches L back along the shaft and W across.
  expectPoints(sized(0, {0, 0, 0}, {10, 0, 0}, 3, 1, 99),
               {{0, 0, 0}, {3, 0.5, 0}, {2.4, 0, 0}, {3, -0.5, 0}, {0, 0, 0}}, "head");
  // Types 4-7: S both ways. The dot's first point (4, 1) x 0.05 at S = 2.
  const std::vector<Pt> dot = sized(6, {0, 0, 0}, {0, -1, 0}, 99, 99, 2);
  ASSERT_EQ(dot.size(), 14u);
  EXPECT_NEAR(dot[0].x, 0.25, 1e-12);
  EXPECT_NEAR(dot[0].y, -1.0, 1e-12);
  double reach = 0;
  for (const Pt& pt : dot) reach = std::fmax(reach, std::fmax(std::fabs(pt.x), std::fabs(pt.y)));
  EXPECT_NEAR(reach, 1.0, 1e-12);
  EXPECT_TRUE(sized(3, {0, 0, 0}, {1, 0, 0}, 1, 1, 1).empty());
}

// An outline with no extent along an axis gets the factor 0 there rather
// than a division by zero; the other axis keeps its size.
TEST_F(Arrow, SizedPlacementOfAFlatOutlineStaysFinite) {
  ASSERT_EQ(run("4 false 1.0 1.0 [0 0 4 0] aDefArrow"), 0);  // every y 0
  expectPoints(sized(4, {0, 0, 0}, {1, 0, 0}, 1, 1, 2), {{0, 0, 0}, {1, 0, 0}}, "flat in y");
  ASSERT_EQ(run("1 false 1.0 1.0 [0 1 0 -1] aDefArrow"), 0);  // every x 0
  expectPoints(sized(1, {0, 0, 0}, {5, 0, 0}, 3, 4, 0), {{0, 2, 0}, {0, -2, 0}}, "flat in x");
  ASSERT_EQ(run("0 true 1.0 1.0 [0 0] aDefArrow"), 0);  // a single point
  expectPoints(sized(0, {1, 2, 3}, {5, 0, 0}, 3, 4, 0), {{1, 2, 3}, {1, 2, 3}}, "one point");
}

TEST_F(Arrow, DefiningASlotFromAScript) {
  // Type 10 is slot 2: a filled triangle, closed by a copy of its first point.
  ASSERT_EQ(run("10 true 0.5 2.0 [0 0 2 1 2 -1] aDefArrow"), 0);
  EXPECT_EQ(arrowIsFilled(2), 1);
  const arrowSlot* slot = arrowGetSlot(2);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->count, 4);
  EXPECT_EQ(slot->nominalSize, 1.0);
  EXPECT_EQ(slot->maxX, 1.0);
  EXPECT_EQ(slot->maxY, 0.5);
  EXPECT_EQ(slot->sizedMaxY, 0.5);
  expectPoints(points(2, {0, 0, 0}, {1, 0, 0}, 1), {{0, 0, 0}, {1, 0.5, 0}, {1, -0.5, 0}, {0, 0, 0}}, "slot 2");

  // The largest definition: 25 pairs, an open outline keeps them as given.
  std::string text = "5 false 1.0 1.0 [";
  for (int i = 0; i < 25; ++i) text += std::to_string(i) + " " + std::to_string(-i) + " ";
  ASSERT_EQ(run((text + "] aDefArrow").c_str()), 0);
  EXPECT_EQ(arrowGetSlot(5)->count, 25);
  ASSERT_EQ(run("6 true 1.0 1.0 [0 0 1 1 2 2 3 3 4 4 5 5 6 6 7 7 8 8 9 9 10 10 11 11 12 12 13 13 14 14 "
                "15 15 16 16 17 17 18 18 19 19 20 20 21 21 22 22 23 23 24 24] aDefArrow"),
            0);
  EXPECT_EQ(arrowGetSlot(6)->count, arrowMaxPoints);
}

// Zero pairs leave a record with no points: a filled one gets no closing
// copy of a first point that does not exist, and nothing is placed.
TEST_F(Arrow, ASlotOfZeroPairsHoldsNoPoints) {
  for (const char* text : {"1 true 1.0 4.0 [] aDefArrow", "2 false 1.0 4.0 [] aDefArrow"}) {
    ASSERT_EQ(run(text), 0) << text;
  }
  for (int32_t type : {1, 2}) {
    ASSERT_NE(arrowGetSlot(type), nullptr);
    EXPECT_EQ(arrowGetSlot(type)->count, 0);
    EXPECT_TRUE(points(type, {0, 0, 0}, {1, 0, 0}, 1).empty());
    EXPECT_TRUE(sized(type, {0, 0, 0}, {1, 0, 0}, 1, 1, 1).empty());
    double size[2];
    arrowGetSize(type, 1, size);
    EXPECT_EQ(size[0], 4.0) << "a defined slot keeps its nominal size";
    EXPECT_EQ(size[1], 0.0);
  }
}

TEST_F(Arrow, RefusedDefinitionsKeepTheOldOutline) {
  std::string tooMany = "0 true 1.0 1.0 [";
  for (int i = 0; i < 26; ++i) tooMany += "1 1 ";
  tooMany += "] aDefArrow";
  struct Case {
    std::string text;
    int error;
  };
  const Case cases[] = {
      {"0 true 1.0 1.0 5 aDefArrow", feErrTypeCheck},
      {"0 true 1.0 1.0 (0 0) aDefArrow", feErrTypeCheck},
      {"0 true 1.0 1.0 [0 0 1] aDefArrow", feErrLengthCheck},
      {tooMany, feErrLimitCheck},
      {"0 true 1.0 1.0 [0 0 1 2.5] aDefArrow", feErrTypeCheck},
      {"0 true 1.0 1.0 [0 0 1 (a)] aDefArrow", feErrTypeCheck},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.text.c_str()), c.error) << c.text;
    expectPoints(points(0, {0, 0, 0}, {10, 0, 0}, 1),
                 {{0, 0, 0}, {1.5, 0.3, 0}, {1.2, 0, 0}, {1.5, -0.3, 0}, {0, 0, 0}}, c.text);
    double size[2];
    arrowGetSize(0, 1, size);
    EXPECT_NEAR(size[0], 1.2, 1e-15) << c.text;
  }
}

}  // namespace
