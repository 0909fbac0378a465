// Crossings of two curves: the subdivision search in space behind message
// 311 (crvCrossCount) and the search on the screen (crvIntersect), on the
// test curve classes.
#include "testcurves.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/proginfo.h"
#include "draw/csys.h"
#include "draw/xforms.h"
#include "geometry/crossings.h"
#include "geometry/isect.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

using namespace tcurves;

struct Crossing {
  double point[3];
  double tA, tB;
};

// Runs crvCrossCount and reads every crossing through the accessors.
std::vector<Crossing> crossings(gobjRec* a, gobjRec* b, double tol, const double* clipBox = nullptr) {
  crvCrossRec rec{};
  rec.curveA = a;
  rec.curveB = b;
  rec.tol = tol;
  rec.clipBox = clipBox;
  const int n = crvCrossCount(&rec);
  std::vector<Crossing> out;
  for (int i = 0; i < n; ++i) {
    Crossing c{};
    rec.pointAt(&rec, i, c.point);
    rec.paramsAt(&rec, i, &c.tA, &c.tB);
    out.push_back(c);
  }
  rec.release(&rec);
  EXPECT_EQ(rec.result.search.count, 0u);
  EXPECT_EQ(rec.result.search.entries, nullptr);
  return out;
}

TEST(Crossings, ThreeCrossingsInTheOrderFound) {
  // y = sin(2 pi x) run from x = 1.7 down to 0.2 against the x axis: zeros
  // at 1.5, 1.0 and 0.5, found in the order of the sine's parameter, which
  // is not the order of the points.
  Graph wave = graph(kSine, 1.7, -1.5, 1.0, 1.0);
  Graph axis = segment(0, 0, 0, 2, 0, 0);
  const std::vector<Crossing> found = crossings(&wave.head, &axis.head, 1e-6);
  ASSERT_EQ(found.size(), 3u);
  const double xs[3] = {1.5, 1.0, 0.5};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(found[i].point[0], xs[i], 1e-6) << i;
    EXPECT_NEAR(found[i].point[1], 0.0, 1e-6) << i;
    EXPECT_NEAR(found[i].tA, (1.7 - xs[i]) / 1.5, 1e-6) << i;
    EXPECT_NEAR(found[i].tB, xs[i] / 2, 1e-6) << i;
  }
  // The accessors ask nothing outside the crossings.
  crvCrossRec rec{};
  rec.curveA = &wave.head;
  rec.curveB = &axis.head;
  rec.tol = 1e-6;
  ASSERT_EQ(crvCrossCount(&rec), 3);
  double p[3] = {7, 7, 7}, tA = 7, tB = 7;
  rec.pointAt(&rec, 3, p);
  rec.paramsAt(&rec, -1, &tA, &tB);
  EXPECT_EQ(p[0], 7.0);
  EXPECT_EQ(tA, 7.0);
  rec.release(&rec);
}

TEST(Crossings, CircleAndLineAgainstClosedForm) {
  // The unit circle and the line y = 0.6: crossings at x = -0.8 and 0.8.
  Circle ring = circle(0, 0, 1, 0, 1);
  Graph cut = segment(-2, 0.6, 0, 2, 0.6, 0);
  std::vector<Crossing> found = crossings(&ring.head, &cut.head, 1e-7);
  ASSERT_EQ(found.size(), 2u);
  std::sort(found.begin(), found.end(), [](const Crossing& a, const Crossing& b) { return a.point[0] < b.point[0]; });
  EXPECT_NEAR(found[0].point[0], -0.8, 1e-6);
  EXPECT_NEAR(found[1].point[0], 0.8, 1e-6);
  EXPECT_NEAR(found[1].point[1], 0.6, 1e-6);
  EXPECT_NEAR(found[1].tA, std::atan2(0.6, 0.8) / kTwoPi, 1e-6);
  EXPECT_NEAR(found[1].tB, 0.7, 1e-6);

  // A clip box keeps the crossings inside it in x and y.
  const double box[6] = {0, 0, -1, 2, 2, 1};
  found = crossings(&ring.head, &cut.head, 1e-7, box);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NEAR(found[0].point[0], 0.8, 1e-6);
}

TEST(Crossings, ACurveWithItselfHasNone) {
  Graph wave = graph(kSine, 0, 1, 1, 2);
  EXPECT_TRUE(crossings(&wave.head, &wave.head, 1e-6).empty());
  Circle ring = circle(0, 0, 1, 0, 1);
  EXPECT_TRUE(crossings(&ring.head, &ring.head, 1e-6).empty());
}

TEST(Crossings, ATangentTouchIsStoredOnce) {
  // y = x^2 over x in [-1, 1.3] touches the x axis at the origin.
  Graph cup = graph(kParabola, -1, 2.3, 1, 0);
  Graph axis = segment(-2, 0, 0, 2, 0, 0);
  const std::vector<Crossing> found = crossings(&cup.head, &axis.head, 1e-6);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NEAR(found[0].point[0], 0.0, 1e-3);
  EXPECT_NEAR(found[0].point[1], 0.0, 1e-6);
  EXPECT_NEAR(found[0].tA, 1 / 2.3, 1e-3);
  // And two circles touching from outside, away from their seams.
  Circle left = circle(0, 0, 1, 0.3, 1), right = circle(2, 0, 1, 0.1, 1);
  const std::vector<Crossing> touch = crossings(&left.head, &right.head, 1e-6);
  ASSERT_EQ(touch.size(), 1u);
  EXPECT_NEAR(touch[0].point[0], 1.0, 1e-3);
  EXPECT_NEAR(touch[0].tA, 0.7, 1e-3);
  EXPECT_NEAR(touch[0].tB, 0.4, 1e-3);
}

TEST(Crossings, SkewLinesInSpaceDoNotCross) {
  // Their boxes overlap and, seen from above, they cross at (0, 0); there
  // they lie 1 apart in z.
  Graph a = segment(-1, 0, -1, 1, 0, 1);
  Graph b = segment(0, -1, 0, 0, 1, 2);
  EXPECT_TRUE(crossings(&a.head, &b.head, 1e-6).empty());
  // Tilted the same way they meet at the origin.
  Graph c = segment(0, -1, -1, 0, 1, 1);
  const std::vector<Crossing> met = crossings(&a.head, &c.head, 1e-6);
  ASSERT_EQ(met.size(), 1u);
  EXPECT_NEAR(met[0].point[2], 0.0, 1e-6);
}

TEST(Crossings, AtMostAHundredAreKept) {
  // 120 zeros of a fast sine on the x axis.
  Graph wave = graph(kSine, 0.001, 1.0, 1.0, 60.0);
  Graph axis = segment(-1, 0, 0, 2, 0, 0);
  EXPECT_EQ(crossings(&wave.head, &axis.head, 1e-6).size(), size_t(crvCrossMax));
}

TEST(Crossings, CountOfNoCurve) {
  crvCrossRec rec{};
  EXPECT_EQ(crvCrossCount(&rec), 0);
  rec.release(&rec);  // preset: does nothing
}

// ---- on the screen ----------------------------------------------------

// A stand-in current view: screen = (10 x + 50, 60 - 10 y) through the
// coordinate-system transform, as the view code loads it.
class ScreenCrossings : public ::testing::Test {
 protected:
  static viewRec* view() { return reinterpret_cast<viewRec*>(&kViewTag); }
  void SetUp() override {
    csysInit();
    vwViewHooks hooks{};
    hooks.curView = view;
    vwSetViewHooks(&hooks);
    const double m[16] = {10, 0, 0, 50, 0, -10, 0, 60, 0, 0, 1, 0, 0, 0, 0, 1};
    csysLoadStamped(m, 0);
  }
  void TearDown() override {
    crvIsectListFree(&list);
    vwSetViewHooks(nullptr);
    csysInit();
    dbgSetFlags(0);
  }
  int run(gobjRec* a, uint32_t fa, gobjRec* b, uint32_t fb, uint32_t deadline = 0) {
    return crvIntersect(a, fa, b, fb, &list.count, &list.capacity, &list.entriesA, &list.entriesB, deadline);
  }
  static inline int kViewTag = 0;
  crvIsectList list{};
};

TEST_F(ScreenCrossings, LinesCrossBeyondTheirEndsOnlyWhenExtended) {
  Graph a = segment(0, 0, 0, 1, 0, 0);
  Graph b = segment(3, -1, 5, 3, 1, -5);  // apart in z: the screen ignores depth
  EXPECT_EQ(run(&a.head, 0, &b.head, 0), 0);
  EXPECT_EQ(list.count, 0u);
  EXPECT_EQ(run(&a.head, crvIsectExtend, &b.head, 0), 0);
  ASSERT_EQ(list.count, 1u);
  EXPECT_NEAR(list.entriesA[0].t, 3.0, 1e-9);
  EXPECT_NEAR(list.entriesA[0].point[0], 3.0, 1e-9);
  EXPECT_NEAR(list.entriesB[0].t, 0.5, 1e-9);
  EXPECT_NEAR(list.entriesB[0].point[2], 0.0, 1e-9);
  // Appended, duplicates and all, the list growing by 4.
  EXPECT_EQ(list.capacity, 4u);
  run(&b.head, 0, &a.head, crvIsectExtend);
  ASSERT_EQ(list.count, 2u);
  EXPECT_NEAR(list.entriesA[1].t, 0.5, 1e-9);
  EXPECT_NEAR(list.entriesB[1].t, 3.0, 1e-9);
}

TEST_F(ScreenCrossings, CurvesCrossOnTheScreen) {
  Graph wave = graph(kSine, 1.7, -1.5, 1.0, 1.0);
  Graph axis = segment(0, 0, 0, 2, 0, 0);
  run(&wave.head, 0, &axis.head, 0);
  std::vector<double> xs;
  for (uint32_t i = 0; i < list.count; ++i) xs.push_back(list.entriesA[i].point[0]);
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end(), [](double p, double q) { return std::fabs(p - q) < 1e-6; }), xs.end());
  ASSERT_EQ(xs.size(), 3u);
  EXPECT_NEAR(xs[0], 0.5, 1e-6);
  EXPECT_NEAR(xs[1], 1.0, 1e-6);
  EXPECT_NEAR(xs[2], 1.5, 1e-6);

  Circle ring = circle(0, 0, 1, 0, 1);
  Graph cut = segment(-2, 0.6, 0, 2, 0.6, 0);
  crvIsectListFree(&list);
  run(&ring.head, 0, &cut.head, 0);
  ASSERT_GE(list.count, 2u);
  for (uint32_t i = 0; i < list.count; ++i) {
    EXPECT_NEAR(std::fabs(list.entriesA[i].point[0]), 0.8, 1e-6);
    EXPECT_NEAR(list.entriesB[i].point[1], 0.6, 1e-9);
  }
}

TEST_F(ScreenCrossings, NothingWithItselfOrPastTheDeadline) {
  Graph wave = graph(kSine, 0, 1, 1, 2);
  run(&wave.head, 0, &wave.head, 0);
  EXPECT_EQ(list.count, 0u);

  Graph a = segment(0, -1, 0, 0, 1, 0), b = segment(-1, 0, 0, 1, 0, 0);
  while (uTicks() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  run(&a.head, 0, &b.head, 0, uTicks() - 1);
  EXPECT_EQ(list.count, 0u);
  run(&a.head, 0, &b.head, 0, uTicks() + 1000);
  EXPECT_EQ(list.count, 1u);
}

TEST_F(ScreenCrossings, VinterLogsWithTheDebugFlagsAndNeedsASearch) {
  static std::string text;
  text.clear();
  dbgSetLogHook([](void*, const char* t, size_t n) { text.append(t, n); }, nullptr);
  dbgSetFlags(1);
  Graph a = segment(0, -1, 0, 0, 1, 0), b = segment(-1, 0, 0, 1, 0, 0);
  run(&a.head, 0, &b.head, 0);
  dbgSetLogHook(nullptr, nullptr);
  EXPECT_NE(text.find("vinter: t1: 0.5, t2: 0.5\n"), std::string::npos) << text;
  // Outside a search there is no list to append to.
  const uint32_t count = list.count;
  vinter(&a.head, 0.1, &b.head, 0.2);
  EXPECT_EQ(list.count, count);
}

}  // namespace
