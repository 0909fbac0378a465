// The tool input loop driven by queued mouse input: a click, the drag
// threshold, tracking the last point with its callbacks and use counts, a
// full buffer, nested tools, the mode bits and what the loop puts back
// however it ends; the point buffer's operators.
#include "tools/ie_fixture.h"

#include "core/classes.h"
#include "core/debug.h"
#include "draw/gx.h"
#include "fe/generic.h"
#include "objects/objmsg.h"

#include <stdexcept>

namespace {

using geomfx::near;
using iefx::calls;

struct Step {
  int count;
  int phase;
  bool previous;
  double point[3];
  int code;
  gobjRec* object;
};

std::vector<Step>& steps() {
  static std::vector<Step> s;
  return s;
}

void record(ieToolPoint* buffer, int count, const ieToolPoint* previous, int phase, void*) {
  const ieToolPoint& last = buffer[count - 1];
  steps().push_back({count, phase, previous != nullptr, {last.point[0], last.point[1], last.point[2]}, last.code,
                     last.object});
}

class IeTool : public iefx::IeTest {
protected:
  void SetUp() override {
    IeTest::SetUp();
    steps().clear();
  }
  int track(POINT press, int startMode = 0) { return ieTrackTool(press.x, press.y, record, nullptr, startMode, nullptr, 0); }
  static int count() {
    ieToolPoint* buffer;
    int n;
    ieGetPointBuffer(&buffer, &n);
    return n;
  }
  static ieToolPoint* buffer() {
    ieToolPoint* b;
    int n;
    ieGetPointBuffer(&b, &n);
    return b;
  }
};

TEST_F(IeTool, AClickGivesOnePoint) {
  const POINT press = pixel(0.3, 0.4);
  queueDrag(press, {});
  EXPECT_EQ(0, track(press));
  ASSERT_EQ(1, count());
  ASSERT_EQ(1u, steps().size());
  EXPECT_EQ(0, steps()[0].phase);
  EXPECT_FALSE(steps()[0].previous);
  EXPECT_EQ('n', buffer()[0].code);
  double expected[3];
  const int32_t px[2] = {press.x, press.y};
  vwPixelToWorld(px, expected);
  EXPECT_LE(std::fabs(buffer()[0].point[0] - expected[0]), 0.02);
  EXPECT_EQ(std::vector<int>{1}, calls().onState) << "mark 1 aOnState cleartomark";
  EXPECT_GE(calls().updates, 1);
  EXPECT_EQ(0, gxStateLevel());
}

TEST_F(IeTool, SevenPixelsIsNoDragEightIs) {
  struct Case {
    int dx, dy;
    bool drag;
  };
  for (const Case c : {Case{7, 0, false}, Case{0, -7, false}, Case{8, 0, true}, Case{0, 8, true}, Case{-8, -8, true}}) {
    ieToolReset();
    steps().clear();
    const POINT press = pixel(0.2, 0.2);
    queueDrag(press, {POINT{press.x + c.dx, press.y + c.dy}});
    EXPECT_EQ(0, track(press));
    EXPECT_EQ(c.drag ? 2 : 1, count()) << c.dx << "," << c.dy;
    if (c.drag) {
      ASSERT_GE(steps().size(), 2u);
      EXPECT_EQ(2, steps().back().count);
      EXPECT_EQ(0, steps().back().phase) << "the dragged point's first announcement";
    }
  }
}

TEST_F(IeTool, TrackingSnapsTheLastPointAndGivesItsCountsBack) {
  gobjRec* a = insertLine(0.5, 0.5, 0.9, 0.5);
  const uint8_t before = a->refCount;
  // Press in open space, drag to near the line's end, then to its middle.
  ieSetPoints(1, onePoint(-0.5, -0.5, 0));
  const POINT press = pixel(-0.5, -0.5);
  const POINT end = pixel(0.9, 0.5), mid = pixel(0.7, 0.5);
  queueDrag(press, {POINT{end.x + 2, end.y + 1}, POINT{mid.x + 1, mid.y - 2}});
  EXPECT_EQ(0, track(press));
  ASSERT_EQ(2, count());
  EXPECT_EQ('m', buffer()[1].code);
  EXPECT_TRUE(near(buffer()[1].point, {0.7, 0.5, 0}));
  EXPECT_EQ(a, buffer()[1].object);
  // The callbacks: the new point, then updates with the point before.
  ASSERT_GE(steps().size(), 3u);
  EXPECT_EQ(0, steps()[0].phase);
  bool sawEnd = false;
  for (size_t i = 1; i < steps().size(); ++i) {
    EXPECT_TRUE(steps()[i].previous);
    EXPECT_EQ(int(i), steps()[i].phase);
    sawEnd = sawEnd || steps()[i].code == 'e';
  }
  EXPECT_TRUE(sawEnd);
  EXPECT_EQ(std::vector<int>{2}, calls().onState);
  EXPECT_GT(a->refCount, before) << "the entry holds a count";
  ieToolReset();
  trackClearFeedback(trkSharedContext());
  EXPECT_EQ(before, a->refCount);
}

TEST_F(IeTool, ChangingOnlyTheModifiersCallsBack) {
  ieSetPoints(1, onePoint(0, 0, 0));
  const POINT press = pixel(0.4, 0.3);
  plTestQueueMouseButton(VK_LBUTTON, true, press.x, press.y, 1);
  plTestQueueKey(VK_SHIFT, true, 20);
  plTestQueueKey(VK_SHIFT, false, 20);
  plTestQueueMouseButton(VK_LBUTTON, false, press.x, press.y, 20);
  POINT now;
  while (plTestQueuedInputCount() == 4 && GetCursorPos(&now)) {
  }
  EXPECT_EQ(0, track(press));
  // The new point, Shift down, Shift up: the point never moved.
  ASSERT_EQ(3u, steps().size());
  EXPECT_TRUE(near(steps()[1].point, {steps()[0].point[0], steps()[0].point[1], 0}));
  EXPECT_EQ(0u, ieLastSnapMods());
}

TEST_F(IeTool, AFullBufferStopsAtTheSixthAndReportsTheSeventh) {
  static std::vector<std::string> panics;
  panics.clear();
  const dbgHooks saved = dbgGetHooks();
  dbgHooks hooks = saved;
  hooks.offerPanic = [](const char* text) -> intptr_t { return panics.push_back(text), 1; };
  dbgSetHooks(hooks);
  const double five[5][3] = {{0, 0, 0}, {0.1, 0, 0}, {0.2, 0, 0}, {0.3, 0, 0}, {0.4, 0, 0}};
  ieSetPoints(5, five);
  const POINT press = pixel(0.5, 0.5);
  queueDrag(press, {POINT{press.x + 20, press.y}});
  EXPECT_EQ(-1, track(press));
  EXPECT_EQ(6, count());
  EXPECT_EQ(1u, steps().size()) << "no tracking after the sixth";
  EXPECT_EQ(0, gxStateLevel());

  EXPECT_EQ(-1, track(press));
  EXPECT_EQ(0, count());
  ASSERT_EQ(1u, panics.size());
  EXPECT_NE(std::string::npos, panics[0].find("too many points in buffer"));
  dbgSetHooks(saved);
}

TEST_F(IeTool, ANestedToolRestoresTheOuterPoints) {
  const double two[2][3] = {{1, 2, 0}, {3, 4, 0}};
  ieSetPoints(2, two);
  ieSetToolMode(ieModeNested);
  EXPECT_EQ(0, count());
  ieSetPoints(1, onePoint(9, 9, 0));
  ieSetToolMode(ieModeNested);  // a copy is saved already: kept
  EXPECT_EQ(0, run("aIEClear"));
  ASSERT_EQ(2, count());
  EXPECT_TRUE(near(buffer()[1].point, {3, 4, 0}));
  EXPECT_EQ(std::vector<int>{2}, calls().onState);
  EXPECT_EQ(0, ieToolMode());
  // Without a saved copy the buffer empties and 0 is reported.
  EXPECT_EQ(0, run("aIEClear"));
  EXPECT_EQ(0, count());
  EXPECT_EQ((std::vector<int>{2, 0}), calls().onState);
}

TEST_F(IeTool, OPointsAreStoredAsNUnderModeOne) {
  insertLine(0.2, -0.5, 0.2, 0.5);
  for (const uint16_t mode : {uint16_t(0), uint16_t(1)}) {
    ieToolReset();
    trkSharedContext()->snapCodes = "o";
    trkSharedContext()->hitRadius = 8;
    ieSetToolMode(mode);
    const POINT press = pixel(0.2, 0.13);
    queueDrag(press, {});
    EXPECT_EQ(0, track(press));
    ASSERT_EQ(1, count());
    EXPECT_EQ(mode == 1 ? 'n' : 'o', buffer()[0].code) << mode;
    EXPECT_NE(nullptr, buffer()[0].object);
  }
}

// What the loop sets up is put back when the tool's callback throws (the
// interpreter's abort path), as on a normal end.
TEST_F(IeTool, AnAbortPutsBackCodesDrawingStateAndMode) {
  ieSetPoints(1, onePoint(0, 0, 0));
  trkInitSnapCtx(trkSharedContext());
  const char* codes = trkSharedContext()->snapCodes;
  const std::string text = codes;
  static std::string seen;
  ieSetToolMode(ieModeNoAlign | ieModePlane);
  const POINT press = pixel(0.4, 0.3);
  queueDrag(press, {POINT{press.x + 10, press.y}});
  auto thrower = [](ieToolPoint*, int, const ieToolPoint*, int phase, void*) {
    seen = trkSharedContext()->snapCodes;
    if (phase == 1) throw std::runtime_error("abort");
  };
  EXPECT_THROW(ieTrackTool(press.x, press.y, thrower, nullptr, 0, nullptr, 0), std::runtime_error);
  for (char c : seen) EXPECT_TRUE(c != 'a' && c != 'A' && c != 'b') << seen;
  EXPECT_EQ(codes, trkSharedContext()->snapCodes);
  EXPECT_EQ(text, codes) << "the shared string is not changed";
  EXPECT_EQ(0, gxStateLevel());
  EXPECT_EQ(ieModePlane, ieToolMode()) << "only the plane bit survives";
  plTestSetKeyDown(VK_LBUTTON, false);
}

TEST_F(IeTool, ThePointListOffersMarksThenPointsThenTheFirstAgain) {
  const double p[3] = {5, 6, 0}, q[3] = {7, 8, 0};
  ieMarkPoint(1, p);
  ieMarkPoint(1, q);
  const double unmarked[3] = {1, 1, 1};
  ieMarkPoint(-1, unmarked);  // not marked: nothing changes
  const double two[2][3] = {{1, 0, 0}, {2, 0, 0}};
  ieSetPoints(2, two);
  ieSetToolMode(ieModeClose | ieModePlane);
  trackContext context{};
  ieSnapPointList(&context);
  ASSERT_EQ(5, context.enteredCount);
  const double want[5][3] = {{5, 6, 0}, {7, 8, 0}, {1, 0, 0}, {2, 0, 0}, {1, 0, 0}};
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(near(context.entered[i], {want[i][0], want[i][1], want[i][2]})) << i;
  EXPECT_EQ(1, context.planeConstrained);
  EXPECT_TRUE(near(context.plane.n, {0, 0, 1}));
  EXPECT_DOUBLE_EQ(0.0, context.plane.d);

  ieMarkPoint(-1, p);
  ieSetToolMode(0);
  ieSnapPointList(&context);
  EXPECT_EQ(3, context.enteredCount);
  EXPECT_TRUE(near(context.entered[0], {7, 8, 0}));
  EXPECT_EQ(0, context.planeConstrained);
}

TEST_F(IeTool, BufferOperators) {
  const double three[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  ieSetPoints(3, three);
  EXPECT_EQ(3, iePtBufCnt(-10));
  EXPECT_EQ(0, count());
  EXPECT_EQ(0, iePtBufCnt(2));
  EXPECT_EQ(2, count()) << "slots taken as they stand";
  EXPECT_TRUE(near(buffer()[1].point, {0, 0, 0}));
  EXPECT_EQ(2, iePtBufCnt(7));
  EXPECT_EQ(6, count()) << "stops at six";
  EXPECT_EQ((std::vector<int>{0, 2, 6}), calls().onState);
  // The operator's argument is its constant 0: it answers the count.
  feObject r{};
  ASSERT_EQ(0, run("aPtBufCnt", &r));
  EXPECT_EQ(6, feGetInt(&r));
  EXPECT_EQ((std::vector<int>{0, 2, 6}), calls().onState) << "n = 0 reports nothing";

  // Indices and axes outside the buffer, negative ones included, are refused.
  struct Case {
    const char* source;
    int rc;
  };
  for (const Case c : {Case{"-1 0 1.5 aIEPtSet", -1}, Case{"6 0 1.5 aIEPtSet", -1}, Case{"0 -1 1.5 aIEPtSet", -2},
                       Case{"0 3 1.5 aIEPtSet", -2}, Case{"-1 aIEPtGet", -1}, Case{"6 aIEPtGet", -1}}) {
    const int32_t depth = feOperandDepth();
    EXPECT_EQ(c.rc, run(c.source)) << c.source;
    feOperandRestore(depth);
  }
  ASSERT_EQ(0, run("5 1 1.5 aIEPtSet"));
  EXPECT_EQ(1.5, buffer()[5].point[1]);
  EXPECT_EQ('n', buffer()[5].code);
  feObject point{};
  ASSERT_EQ(0, run("5 aIEPtGet 1 get", &point));
  EXPECT_EQ(1.5, feGetNumber(&point, nullptr));
}

// The default tool's callbacks are message 401 to its class.
TEST_F(IeTool, TheDefaultToolSendsTheTrackingStepToItsClass) {
  struct Sent {
    intptr_t a;
    uint32_t count;
    bool previous;
    intptr_t c;
  };
  static std::vector<Sent> sent;
  sent.clear();
  const uint16_t id = objClassRegister("ttool", 0, [](void*, int message, intptr_t a, intptr_t b, intptr_t c) {
    if (message != msgTrackStep) return -303;
    const auto* rec = reinterpret_cast<const trkStepRec*>(b);
    EXPECT_EQ(trkSharedContext(), rec->context);
    sent.push_back({a, rec->count, rec->previous != nullptr, c});
    return 0;
  });
  ieSetPoints(1, onePoint(0, 0, 0));
  const POINT press = pixel(0.4, 0.3);
  queueDrag(press, {POINT{press.x + 10, press.y}});
  int slot = 0;
  EXPECT_EQ(0, ieTrackDefault(press.x, press.y, 0, id, reinterpret_cast<uintptr_t>(&slot)));
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(0, sent[0].a);
  EXPECT_FALSE(sent[0].previous);
  EXPECT_EQ(1, sent[1].a);
  EXPECT_TRUE(sent[1].previous);
  EXPECT_EQ(2u, sent[1].count);
  EXPECT_EQ(reinterpret_cast<intptr_t>(&slot), sent[1].c);
  sent.clear();
  ieRedrawFeedback(1);
  ASSERT_EQ(1u, sent.size());
  EXPECT_EQ(2, sent[0].a);
}

}  // namespace
