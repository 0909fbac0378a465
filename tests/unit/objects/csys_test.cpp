// The coordinate-system stack: frames, composition, stamps, the cached
// inverse, compositing, the bounds of the stack, and enumeration through a
// pushed identity frame (objEnumCsys).
#include "draw/csys.h"

#include "gobject_fixture.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using gobjfx::boxes;

const xform4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Translation by (x, y, z).
std::vector<double> shift(double x, double y, double z) {
  return {1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1};
}
std::vector<double> scale(double k) { return {k, 0, 0, 0, 0, k, 0, 0, 0, 0, k, 0, 0, 0, 0, 1}; }

std::vector<double> matrixOf(const double* m) { return std::vector<double>(m, m + 16); }

// b a: a applied first.
std::vector<double> product(const std::vector<double>& b, const std::vector<double>& a) {
  std::vector<double> out(16);
  matMulN(4, a.data(), b.data(), out.data());
  return out;
}

std::vector<double> apply(const double* m, std::vector<double> p) {
  std::vector<double> out(3);
  aPtTransform(3, p.data(), m, out.data());
  return out;
}

void expectNear(const std::vector<double>& got, const std::vector<double>& want, const char* what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-12) << what << " [" << i << "]";
}

class CsysTest : public gobjfx::GobjTest {
 protected:
  void SetUp() override {
    GobjTest::SetUp();
    csysInit();
  }
  void TearDown() override {
    csysInit();
    GobjTest::TearDown();
  }
  static std::vector<double> current() { return matrixOf(csysTransform()); }
};

TEST_F(CsysTest, InitHoldsOneIdentityFrame) {
  EXPECT_EQ(csysDepth(), 1);
  expectNear(current(), matrixOf(kIdentity), "transform");
  expectNear(matrixOf(csysCurrent()), matrixOf(kIdentity), "composite");
  EXPECT_NE(csysStamp(), 0u);
}

// Every change inside a pushed frame is undone by the pop, stamp included.
TEST_F(CsysTest, PopRestoresTransformAndStamp) {
  const auto base = scale(2);
  csysLoadMatrix(base.data());
  const double origin[3] = {1, 2, 3};
  const struct {
    const char* name;
    std::function<void()> change;
  } cases[] = {
      {"rotation", [] { csysLoadRotation(0.125); }},
      {"load", [] { csysLoad(shift(1, 2, 3).data()); }},
      {"set matrix", [] { csysSetMatrix(scale(3).data()); }},
      {"origin", [&] { csysSetOrigin(origin); }},
      {"reset", [] { csysReset(); }},
      {"stamped", [] { csysLoadStamped(scale(5).data(), 0); }},
  };
  for (const auto& c : cases) {
    const auto before = current();
    const uint32_t stamp = csysStamp();
    ASSERT_EQ(csysPush(), 0);
    EXPECT_EQ(csysDepth(), 2);
    expectNear(current(), before, "a push copies the transform");
    EXPECT_NE(csysStamp(), stamp) << c.name;
    c.change();
    EXPECT_NE(current(), before) << c.name;
    ASSERT_EQ(csysPop(), 0);
    EXPECT_EQ(csysDepth(), 1);
    expectNear(current(), before, c.name);
    EXPECT_EQ(csysStamp(), stamp) << c.name;
  }
  EXPECT_TRUE(plTestMessageBoxes().empty()) << boxes();
}

// A load composes with the enclosing frame's transform, the given one
// applied first; a second load in the same frame replaces the first.
TEST_F(CsysTest, LoadAppliesInsideTheEnclosingFrame) {
  const auto outer = shift(10, 0, 0);
  csysLoad(outer.data());
  ASSERT_EQ(csysPush(), 0);
  csysLoad(scale(2).data());
  expectNear(current(), product(outer, scale(2)), "enclosing * given");
  expectNear(apply(csysTransform(), {1, 1, 1}), {12, 2, 2}, "scaled, then shifted");
  csysLoadRotation(0.25);   // rows (cos, sin), (-sin, cos): (1, 0) goes to (0, -1)
  expectNear(apply(csysTransform(), {1, 0, 0}), {10, -1, 0}, "rotation replaces the scale");
  csysReset();
  expectNear(current(), matrixOf(kIdentity), "reset");
  csysPop();
  expectNear(current(), outer, "outer frame");
}

TEST_F(CsysTest, SetOriginMovesTheOriginInCurrentCoordinates) {
  csysLoad(product(shift(1, 0, 0), scale(2)).data());
  const uint32_t stamp = csysStamp();
  const double point[3] = {1, 2, 3};
  csysSetOrigin(point);
  EXPECT_NE(csysStamp(), stamp);
  expectNear(apply(csysTransform(), {0, 0, 0}), {3, 4, 6}, "new origin is the old image of the point");
  expectNear(apply(csysTransform(), {1, 0, 0}), {5, 4, 6}, "axes keep their scale");
}

TEST_F(CsysTest, StampsChangeWithEveryChangeAndCanBeGiven) {
  std::vector<uint32_t> seen = {csysStamp()};
  csysLoadRotation(0.1);
  seen.push_back(csysStamp());
  csysReset();
  seen.push_back(csysStamp());
  seen.push_back(csysLoadStamped(scale(2).data(), 0));
  EXPECT_EQ(seen.back(), csysStamp());
  for (size_t i = 0; i < seen.size(); ++i)
    for (size_t j = i + 1; j < seen.size(); ++j) EXPECT_NE(seen[i], seen[j]) << i << " " << j;
  EXPECT_EQ(csysLoadStamped(scale(3).data(), 4711), 4711u);
  EXPECT_EQ(csysStamp(), 4711u);
  expectNear(current(), scale(3), "stamped matrix");
}

TEST_F(CsysTest, InverseIsRecomputedOnlyForANewStamp) {
  double out[16];
  const uint32_t stamp = csysLoadStamped(scale(2).data(), 0);
  ASSERT_EQ(csysGetInverse(out), 0);
  expectNear(matrixOf(out), scale(0.5), "inverse");
  // Same stamp, other matrix: the cached inverse still answers.
  csysLoadStamped(scale(4).data(), stamp);
  ASSERT_EQ(csysGetInverse(out), 0);
  expectNear(matrixOf(out), scale(0.5), "cached");
  csysLoadStamped(scale(4).data(), 0);
  ASSERT_EQ(csysGetInverse(out), 0);
  expectNear(matrixOf(out), scale(0.25), "new stamp");
  // Push and pop bring the old stamp back, and its inverse with it.
  csysPush();
  csysLoad(shift(1, 2, 3).data());
  ASSERT_EQ(csysGetInverse(out), 0);
  expectNear(apply(csysTransform(), {1, 1, 1}), {8, 12, 16}, "inner transform");
  expectNear(apply(out, {8, 12, 16}), {1, 1, 1}, "inner inverse");
  csysPop();
  ASSERT_EQ(csysGetInverse(out), 0);
  expectNear(matrixOf(out), scale(0.25), "after the pop");
}

// A singular transform has no inverse; asking twice must not hand out the
// inverse of an earlier transform.
TEST_F(CsysTest, SingularTransformHasNoInverse) {
  double out[16];
  csysLoadStamped(scale(2).data(), 0);
  ASSERT_EQ(csysGetInverse(out), 0);
  csysLoadStamped(scale(0).data(), 0);
  for (int i = 0; i < 2; ++i) {
    double untouched[16];
    std::fill(untouched, untouched + 16, 7.0);
    EXPECT_EQ(csysGetInverse(untouched), -1) << i;
    EXPECT_EQ(untouched[0], 7.0) << i;
  }
  csysReset();
  ASSERT_EQ(csysGetInverse(out), 0);
  expectNear(matrixOf(out), matrixOf(kIdentity), "identity again");
}

TEST_F(CsysTest, OverflowIsRefusedAndLeavesTheFramesBelow) {
  while (csysDepth() < csysFrameCount) ASSERT_EQ(csysPush(), 0);
  csysLoad(shift(1, 1, 1).data());
  const auto top = current();
  const uint32_t stamp = csysStamp();
  EXPECT_EQ(csysPush(), -1);
  EXPECT_EQ(boxes(), "csys Stack overflow|");
  EXPECT_EQ(csysDepth(), csysFrameCount);
  expectNear(current(), top, "refused push");
  EXPECT_EQ(csysStamp(), stamp);
  // Work done after the refused pushes is undone by their pops, which pop no
  // frame of their own.
  EXPECT_EQ(csysPush(), -1);
  csysLoad(scale(9).data());
  EXPECT_EQ(csysPop(), 0);
  EXPECT_EQ(csysPop(), 0);
  EXPECT_EQ(csysDepth(), csysFrameCount);
  expectNear(current(), top, "after the matching pops");
  EXPECT_EQ(csysStamp(), stamp);
  EXPECT_EQ(csysPop(), 0);
  EXPECT_EQ(csysDepth(), csysFrameCount - 1);
  ASSERT_EQ(csysPush(), 0);   // usable again
}

TEST_F(CsysTest, UnderflowIsRefused) {
  csysLoad(scale(3).data());
  ASSERT_EQ(csysPop(), 0);   // the frame that start-up pushed
  EXPECT_EQ(csysDepth(), 0);
  csysLoad(scale(2).data());   // without a frame the enclosing transform is the identity
  const auto base = current();
  expectNear(base, scale(2), "base");
  const uint32_t stamp = csysStamp();
  EXPECT_EQ(csysPop(), -1);
  EXPECT_EQ(boxes(), "csys Stack underflow|");
  EXPECT_EQ(csysDepth(), 0);
  expectNear(current(), base, "after underflow");
  EXPECT_EQ(csysStamp(), stamp);
  EXPECT_EQ(csysStack(-1), -1);
  EXPECT_EQ(csysStack(0), -1);
  EXPECT_EQ(csysDepth(), 0);
}

// With compositing on, loads gather in the composite without the view's
// transform; it ends with the frame that started it.
TEST_F(CsysTest, CompositeGathersTheLoadsOfItsFrames) {
  const auto view = scale(10);
  csysLoadStamped(view.data(), 0);
  const auto m = shift(1, 2, 3), n = scale(2);
  ASSERT_EQ(csysStack(1), 0);
  expectNear(matrixOf(csysCurrent()), matrixOf(kIdentity), "fresh composite");
  csysLoad(m.data());
  expectNear(matrixOf(csysCurrent()), m, "composite");
  expectNear(current(), product(view, m), "transform");
  ASSERT_EQ(csysPush(), 0);
  csysLoad(n.data());
  expectNear(matrixOf(csysCurrent()), product(m, n), "nested composite");
  csysPop();
  expectNear(matrixOf(csysCurrent()), m, "popped composite");
  // A nested compositing frame starts from the identity and, once popped,
  // leaves the outer one gathering.
  ASSERT_EQ(csysStack(1), 0);
  csysLoad(n.data());
  expectNear(matrixOf(csysCurrent()), n, "inner composite");
  ASSERT_EQ(csysStack(-1), 0);
  expectNear(matrixOf(csysCurrent()), m, "outer composite back");
  csysLoad(n.data());
  expectNear(matrixOf(csysCurrent()), product(m, n), "outer still gathering");
  ASSERT_EQ(csysStack(-1), 0);
  const auto outside = matrixOf(csysCurrent());
  csysLoad(m.data());
  expectNear(matrixOf(csysCurrent()), outside, "compositing is off");
  expectNear(current(), m, "loaded");
  EXPECT_TRUE(plTestMessageBoxes().empty()) << boxes();
}

// ---- objEnumCsys ------------------------------------------------------------

uint16_t tframeClass();

// "tframe": answers 337 like a curve drawn in its own frame: it pushes,
// loads a shift by (10, 0, 0) and hands out (1, 0, 0) then (0, 1, 0).
int tframeHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgEnum) {
    const auto* block = reinterpret_cast<const intptr_t*>(a);
    auto start = reinterpret_cast<objPointFn>(block[2]);
    auto next = reinterpret_cast<objPointFn>(block[3]);
    auto* context = reinterpret_cast<void*>(block[4]);
    const double p1[3] = {1, 0, 0}, p2[3] = {0, 1, 0};
    csysPush();
    csysLoad(shift(10, 0, 0).data());
    start(p1, context);
    next(p2, context);
    csysPop();
    return 0;
  }
  if (message == msgNew) return gobjNewAs(tframeClass(), sizeof(gobjRec), a);
  return objMeth(gobjClassId(), message, object, a, b, c);
}

uint16_t tframeClass() {
  static uint16_t id = 0;
  if (!id) id = objClassRegister("tframe", gobjClassId(), tframeHandler);
  return id;
}

struct Seen {
  std::string calls;
  std::vector<std::vector<double>> points;
};
void seenStart(const double* p, void* context) {
  auto* s = static_cast<Seen*>(context);
  s->calls += "s";
  s->points.push_back({p[0], p[1], p[2]});
}
void seenNext(const double* p, void* context) {
  auto* s = static_cast<Seen*>(context);
  s->calls += "n";
  s->points.push_back({p[0], p[1], p[2]});
}

TEST_F(CsysTest, EnumCsysMapsPointsOutOfTheObjectsFrames) {
  gobjRec* frame = keep(objNew(tframeClass()));
  ASSERT_NE(frame, nullptr);
  gobjfx::tptRec* point = newPoint();
  point->pt1[0] = 4, point->pt1[1] = 5, point->pt1[2] = 6;
  gobjfx::state().hasParts = true;
  // The caller's transform (a view, say) does not reach the points.
  csysLoadStamped(scale(100).data(), 0);
  const auto before = current();
  const uint32_t stamp = csysStamp();
  const struct {
    gobjRec* object;
    const char* calls;
    std::vector<std::vector<double>> points;
  } cases[] = {
      {frame, "sn", {{11, 0, 0}, {10, 1, 0}}},
      {&point->head, "s", {{4, 5, 6}}},
  };
  for (const auto& c : cases) {
    Seen seen;
    EXPECT_EQ(objEnumCsys(c.object, 0.01, seenStart, seenNext, &seen), 0);
    EXPECT_EQ(seen.calls, c.calls);
    ASSERT_EQ(seen.points.size(), c.points.size());
    for (size_t i = 0; i < c.points.size(); ++i) expectNear(seen.points[i], c.points[i], c.calls);
    EXPECT_EQ(csysDepth(), 1);
    expectNear(current(), before, "caller's transform");
    EXPECT_EQ(csysStamp(), stamp);
  }
  // Plain objEnum leaves the mapping to the callbacks: the frame's points
  // come out in its own coordinates.
  Seen raw;
  EXPECT_EQ(objEnum(frame, 0.01, seenStart, seenNext, &raw), 0);
  ASSERT_EQ(raw.points.size(), 2u);
  expectNear(raw.points[0], {1, 0, 0}, "raw");
  EXPECT_TRUE(plTestMessageBoxes().empty()) << boxes();
}

}  // namespace
