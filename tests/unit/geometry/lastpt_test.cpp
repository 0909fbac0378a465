// The last-point registers and the point calculator: what the tools write,
// what scripts read back through the operators, the calculator's arithmetic,
// and points to and from text.
#include "geometry_fixture.h"

#include "core/units.h"
#include "fe/script.h"
#include "geometry/lastpt.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/vwinit.h"
#include "views/wplane.h"

#include <array>
#include <cmath>
#include <cstring>
#include <string>

namespace {

using geomfx::near;

class LastPoint : public geomfx::GeomTest {
protected:
  void SetUp() override {
    GeomTest::SetUp();
    lastPtReset();
    if (!execfx::defined("aLastPt")) {
      ASSERT_EQ(calcInit(), 0);
    }
  }
  void TearDown() override {
    lastPtReset();
    GeomTest::TearDown();
  }

  // Runs source; the point it leaves on top (NaNs after an error or a
  // value that is no point), the error in *rc.
  static std::array<double, 3> pointOf(const char* source, int* rc = nullptr) {
    std::array<double, 3> p = {NAN, NAN, NAN};
    feObject result;
    const int answer = feCallScript(source, std::strlen(source), false, nullptr, 0, &result);
    if (rc) *rc = answer;
    if (answer == 0) {
      EXPECT_EQ(feGetVec3(&result, p.data()), 0) << source;
      feFree(&result);
    }
    return p;
  }
  static double realOf(const char* source, int* rc = nullptr) {
    double value = NAN;
    feObject result;
    const int answer = feCallScript(source, std::strlen(source), false, nullptr, 0, &result);
    if (rc) *rc = answer;
    if (answer == 0) {
      EXPECT_EQ(feGetRealArg(&result, &value), 0) << source;
      feFree(&result);
    }
    return value;
  }
  static std::string textOf(const char* source) {
    feObject result;
    if (feCallScript(source, std::strlen(source), false, nullptr, 0, &result) != 0) return "<error>";
    const char* text = nullptr;
    int32_t length = 0;
    std::string out = feGetString(&result, &text, &length) == 0 ? std::string(text, size_t(length)) : "<no text>";
    feFree(&result);
    return out;
  }
  static std::string length(double value) {
    char text[65];
    unitFormatDefault(value, sizeof text, text, unitPrecCurrent);
    return text;
  }
};

TEST_F(LastPoint, ASegmentSetsTheRegistersScriptsRead) {
  const double a[3] = {1, 1, 0}, b[3] = {1, 4, 2};
  lastPtFromSegment(a, b);
  EXPECT_TRUE(near(pointOf("aLastPt").data(), {1, 4, 2}));
  EXPECT_TRUE(near(pointOf("aLastDelta").data(), {0, 3, 2}));
  EXPECT_DOUBLE_EQ(realOf("aLastLen"), std::sqrt(13.0));
  EXPECT_DOUBLE_EQ(realOf("aLastAng"), 0.25);  // measured in the work plane

  // A segment of length 0 leaves the angle exactly 0, not the last one.
  lastPtFromSegment(b, b);
  EXPECT_EQ(realOf("aLastAng"), 0.0);
  EXPECT_EQ(realOf("aLastLen"), 0.0);
  EXPECT_TRUE(near(pointOf("aLastDelta").data(), {0, 0, 0}, 0));

  // The segment may start at the register itself.
  double last[3];
  lastPtGet(last);
  const double c[3] = {-1, 4, 2};
  lastPtFromSegment(last, c);
  EXPECT_TRUE(near(pointOf("aLastDelta").data(), {-2, 0, 0}, 0));
  EXPECT_DOUBLE_EQ(lastPtAngle(), 0.5);

  calcSetLastLen(7.5);
  calcSetLastAng(0.125);
  EXPECT_EQ(realOf("aLastLen"), 7.5);
  EXPECT_EQ(realOf("aLastAng"), 0.125);
}

TEST_F(LastPoint, TheGeneralLastPointIsSeparateFromTheLastPoint) {
  const double p[3] = {3, 4, 5};
  lastPtSet(p);
  EXPECT_TRUE(near(pointOf("aLastPoint").data(), {0, 0, 0}, 0));
  int rc = -1;
  pointOf("[7 8 9] aSetLastPoint aLastPoint", &rc);
  ASSERT_EQ(rc, 0);
  EXPECT_TRUE(near(pointOf("aLastPoint").data(), {7, 8, 9}, 0));
  EXPECT_TRUE(near(pointOf("aLastPt").data(), {3, 4, 5}, 0));
  const double q[3] = {-1, -2, -3};
  lastPointSet(q);
  double got[3];
  lastPointGet(got);
  EXPECT_TRUE(near(got, {-1, -2, -3}, 0));
  // A bad operand is refused and stores nothing.
  EXPECT_NE(feExecString("(x) aSetLastPoint"), 0);
  feStackClear(*feOperandStack());
  lastPointGet(got);
  EXPECT_TRUE(near(got, {-1, -2, -3}, 0));
}

TEST_F(LastPoint, UpdateStoresAndRunsTheUpdateProcedureOnlyWhenAsked) {
  ASSERT_EQ(feExecString("/updates 0 def /aUpdate { /updates updates 1 add def /seen aLastPt def } def"), 0);
  const double p[3] = {2, 3, 4};
  EXPECT_EQ(lastPtUpdate(p, 0), 0);
  EXPECT_TRUE(near(pointOf("aLastPt").data(), {0, 0, 0}, 0));
  EXPECT_EQ(realOf("updates"), 0);

  EXPECT_EQ(lastPtUpdate(p, 1), 0);
  EXPECT_EQ(realOf("updates"), 1);
  EXPECT_TRUE(near(pointOf("seen").data(), {2, 3, 4}, 0));  // stored before the procedure runs

  // The procedure's failure is the answer.
  ASSERT_EQ(feExecString("/aUpdate { 1 0 idiv } def"), 0);
  EXPECT_NE(lastPtUpdate(p, 1), 0);
  feStackClear(*feOperandStack());
}

TEST_F(LastPoint, CalculatorArithmetic) {
  struct Case {
    const char* source;
    std::array<double, 3> want;
  } cases[] = {
      {"[4 5 0] [1 1 0] 10 aCalcPtDistance", {7, 9, 0}},
      {"[1 1 1] [1 1 1] 10 aCalcPtDistance", {1, 1, 1}},  // equal points: p2
      {"[1 1 0] [4 5 0] -5 aCalcPtDistance", {7, 9, 0}},
      // The work plane's x axis at |p1 - p2| = 5, a quarter turn about z.
      {"[4 5 0] [1 1 0] 0.25 aCalcPtAngle", {1, 6, 0}},
      {"[4 5 0] [1 1 0] 0.5 aCalcPtAngle", {-4, 1, 0}},
      {"[4 5 6] [1 1 1] aCalcPtDelta", {3, 4, 5}},
      {"[4 5 6] [1 1 1] aCalcPtSum", {5, 6, 7}},
  };
  for (const Case& c : cases) {
    int rc = -1;
    const auto got = pointOf(c.source, &rc);
    ASSERT_EQ(rc, 0) << c.source;
    EXPECT_TRUE(near(got.data(), {c.want[0], c.want[1], c.want[2]}, 1e-12)) << c.source;
  }

  struct Scalar {
    const char* source;
    double want;
  } scalars[] = {
      {"[4 5 9] [1 1 9] aCalcDistance", 5},
      {"[1 2 3] [1 2 3] aCalcDistance", 0},
      {"[2 1 0] [1 1 0] aCalcAngle", 0},
      {"[1 2 0] [1 1 0] aCalcAngle", 0.25},
      {"[0 1 0] [1 1 0] aCalcAngle", 0.5},
      {"[1 0 0] [1 1 0] aCalcAngle", 0.75},  // 0 to 1, never negative
      {"[1 1 5] [1 1 0] aCalcAngle", 0},     // only x and y count
  };
  for (const Scalar& s : scalars) {
    int rc = -1;
    EXPECT_DOUBLE_EQ(realOf(s.source, &rc), s.want) << s.source;
    EXPECT_EQ(rc, 0) << s.source;
  }

  // Operands that are no points are refused.
  int rc = 0;
  pointOf("[1 1] [1 1 0] aCalcPtSum", &rc);
  EXPECT_NE(rc, 0);
  realOf("(a) [1 1 0] aCalcDistance", &rc);
  EXPECT_NE(rc, 0);
}

TEST_F(LastPoint, PointsToAndFromText) {
  EXPECT_EQ(textOf("[1 2 3] aPointToString"), length(1) + "; " + length(2));
  EXPECT_EQ(textOf("[-0.5 12.25 0] aPointToString"), length(-0.5) + "; " + length(12.25));

  struct Case {
    const char* text;
    std::array<double, 3> want;
  } cases[] = {
      {"1;2", {1, 2, 0}},    {"5", {5, 0, 0}},         {"1;2;", {1, 2, 0}},
      {"1;2;3", {1, 2, 3}},  {"1;2;3;4", {1, 2, 3}},   // fields past z are ignored
      {"", {0, 0, 0}},       {";7", {0, 7, 0}},        {"1;junk;3", {1, 0, 3}},
      {" 1 ; 2 ", {1, 2, 0}},
  };
  for (const Case& c : cases) {
    const std::string source = "(" + std::string(c.text) + ") aStringToPoint";
    int rc = -1;
    const auto got = pointOf(source.c_str(), &rc);
    ASSERT_EQ(rc, 0) << c.text;
    EXPECT_TRUE(near(got.data(), {c.want[0], c.want[1], c.want[2]}, 1e-12)) << c.text;
  }

  // The text of a point reads back as its x and y.
  int rc = -1;
  const auto back = pointOf("[1.5 -2.25 9] aPointToString aStringToPoint", &rc);
  ASSERT_EQ(rc, 0);
  EXPECT_TRUE(near(back.data(), {1.5, -2.25, 0}, 1e-9));
}

// A work plane turned a quarter turn about z, its origin at (10, 0, 0): the
// registers read through AP and AV come out in plane coordinates, the set
// point goes in from them, and angles are measured in the plane.
class LastPointTurnedPlane : public LastPoint {
protected:
  void SetUp() override {
    LastPoint::SetUp();
    docRec* doc = sheetfx::newDocWithModel();
    docSetCurrent(doc);
    modelSetCurrent(doc->firstModel);
    const double origin[3] = {10, 0, 0}, right[3] = {0, 1, 0}, up[3] = {-1, 0, 0};
    wplaneRec* plane = wpCreate("Turned", 0, origin, right, up);
    ASSERT_EQ(wpAddToModel(doc->firstModel, plane), 1);
    wpSetCurrent(plane);
  }
  void TearDown() override {
    vwSetCurXform(nullptr);
    modelSetCurrent(nullptr);
    wpSetCurrent(nullptr);
    LastPoint::TearDown();
  }
};

TEST_F(LastPointTurnedPlane, RegistersAndAnglesFollowTheWorkPlane) {
  const double a[3] = {10, 0, 0}, b[3] = {10, 3, 0};
  lastPtFromSegment(a, b);
  EXPECT_DOUBLE_EQ(realOf("aLastAng"), 0.0);  // along the plane's x axis
  EXPECT_TRUE(near(pointOf("aLastPt").data(), {3, 0, 0}));
  EXPECT_TRUE(near(pointOf("aLastDelta").data(), {3, 0, 0}));  // a direction: no origin

  int rc = -1;
  pointOf("[1 2 0] aSetLastPoint aLastPoint", &rc);
  ASSERT_EQ(rc, 0);
  double general[3];
  lastPointGet(general);
  EXPECT_TRUE(near(general, {8, 1, 0}));  // stored in world coordinates

  // The calculator works in world coordinates, but aCalcPtAngle starts
  // from the plane's x axis.
  EXPECT_TRUE(near(pointOf("[4 5 0] [1 1 0] 0 aCalcPtAngle").data(), {1, 6, 0}));
  EXPECT_TRUE(near(pointOf("[4 5 0] [1 1 0] 0.25 aCalcPtAngle").data(), {-4, 1, 0}));
  EXPECT_DOUBLE_EQ(realOf("[1 2 0] [1 1 0] aCalcAngle"), 0.25);
}

}  // namespace
