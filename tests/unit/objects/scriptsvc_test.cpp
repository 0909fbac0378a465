// Script events, point queries and system services: formatting, the
// script handlers of application events, stroke codes, query values, the
// custom colours and the small services.
#include "objects/objops.h"
#include "objects/scriptsvc.h"

#include "core/errors.h"
#include "fe/exec_fixture.h"
#include "fe/operator.h"
#include "fe/stack.h"
#include "objects/event.h"
#include "objects/uphooks.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

int signalled = 0;
// "tSignal": signals a document change event (0x1010007).
int opSignal(feArgs*) {
  ++signalled;
  evtSignal(0x1010007, 0);
  return 0;
}

class ScriptSvc : public ::testing::Test {
protected:
  void SetUp() override {
    execfx::start();
    if (!execfx::defined("uAllocInfo")) objOpsInit();
    if (!execfx::defined("tSignal")) feRegisterOp("tSignal", opSignal, "", 0, 0);
    evtReset();
    scriptEvtReset();
    scriptEvtForgetCatcher();
    configMesgReset();
    signalled = 0;
    plTestReset();
  }
  void TearDown() override {
    scriptEvtReset();
    evtReset();
    execfx::stop();
  }
  std::string run(const char* text) {
    const int rc = feExecString(text);
    std::string result = rc ? std::to_string(rc) : execfx::operands();
    feStackClear(*feOperandStack());
    return result;
  }
};

TEST_F(ScriptSvc, FormatPlacesValuesIntoTheTemplate) {
  const struct {
    const char* source;
    const char* expected;
  } cases[] = {
      {"[1 2.5 (x)] (a^0b^1c^2d) aFormat", "(a1b2.5cxd)"},
      {"1 (^q^^) aFormat", "(q^)"},
      {"7 (v=^0 w=^1) aFormat", "(v=7 w=?\?\?)"},
      {"[1] (^3) aFormat", "(?\?\?)"},
      {"[true /nm null [1 [2]]] (^0 ^1 ^2 ^3) aFormat", "(true nm ?\?\? [1 [2]])"},
  };
  for (const auto& c : cases) EXPECT_EQ(run(c.source), c.expected) << c.source;
}

TEST_F(ScriptSvc, FormatRefusesAResultOf256Bytes) {
  std::string value;
  feObject v;
  feMakeInt(&v, 1);
  const std::string fits(255, 'a'), full(256, 'a');
  EXPECT_EQ(fmtTemplate(&v, fits.data(), fits.size(), &value), 0);
  EXPECT_EQ(value.size(), 255u);
  EXPECT_EQ(fmtTemplate(&v, full.data(), full.size(), &value), -1);
  // An array longer than the room ends with "..." instead.
  EXPECT_EQ(run("[[ 60 { (0123456789) } repeat ]] (^0) aFormat length 256 lt"), "true");
  EXPECT_EQ(run("[[ 60 { (0123456789) } repeat ]] (^0) aFormat dup length 4 sub 4 getinterval"), "(...])");
}

TEST_F(ScriptSvc, DocumentHandlerRunsOnceAtTheEndOfACommand) {
  EXPECT_EQ(run("/n 0 def {/n n 1 add def} (all) (document) aOnEvent"), "");
  EXPECT_EQ(scriptEvtCount(), 1u);
  evtSignal(0x1010007, 0);
  evtSignal(0x1010004, 0);
  evtSignal(0x1040006, 0);  // a view event is not the document's
  EXPECT_EQ(run("n"), "0");
  evtSignal(evtCommandEnd, 0);
  EXPECT_EQ(run("n"), "1");
  evtSignal(evtCommandEnd, 0);
  EXPECT_EQ(run("n"), "1");
  // Unknown names register nothing.
  EXPECT_EQ(run("{} (sometimes) (document) aOnEvent {} (all) (nowhere) aOnEvent"), "");
  EXPECT_EQ(scriptEvtCount(), 1u);
}

TEST_F(ScriptSvc, SelfSignallingHandlerRunsTwelveTimes) {
  dbgSetFlags(0x40);  // trace alerts show while debug flags are set
  EXPECT_EQ(run("{tSignal} (change) (document) aOnEvent"), "");
  evtSignal(0x1010007, 0);
  evtSignal(evtCommandEnd, 0);
  EXPECT_EQ(signalled, 12);
  bool alerted = false;
  for (const auto& box : plTestMessageBoxes()) alerted |= box.text.find("onEvent's keep looping.") != std::string::npos;
  EXPECT_TRUE(alerted);
  // The marks were cleared: the next command runs it afresh only when signalled.
  evtSignal(evtCommandEnd, 0);
  EXPECT_EQ(signalled, 12);
}

TEST_F(ScriptSvc, FailingHandlerLeavesTheStackAsItWas) {
  EXPECT_EQ(run("/aBug {/bugged true def} def {1 2 nosuch} (any) (view) aOnEvent"), "");
  feObject keep;
  feMakeInt(&keep, 42);
  fePush(feOperandStack(), &keep);
  evtSignal(0x1040006, 0);
  evtSignal(evtCommandEnd, 0);
  EXPECT_EQ(run("/bugged where exch pop"), "42 true");
}

TEST_F(ScriptSvc, StrokeCodes) {
  struct Case {
    std::vector<std::array<int32_t, 2>> points;  // y up
    int32_t code;
  };
  // A 30 x 30 box shrinks by 10 on each side to (10..20) x (10..20).
  const Case cases[] = {
      // From the bottom-left corner round the square: cell 1.
      {{{0, 0}, {30, 0}, {30, 30}, {0, 30}}, (1 << 16) + 0x0101 + 0x1010 + 0x0101},
      // Right along the middle from the left: cell 4, crosses left and right edges.
      {{{0, 15}, {15, 15}, {30, 15}}, (4 << 16) + 0x0001 + 0x0100},
      // Up the middle from the bottom: cell 2.
      {{{15, 0}, {15, 15}, {15, 30}}, (2 << 16) + 0x0010 + 0x1000},
      // From the top-right: cell 9.
      {{{30, 30}, {0, 0}}, (9 << 16) + 0x1111},
      // One position: the start code alone (a point box is its own cell 5).
      {{{5, 5}}, 5 << 16},
  };
  for (const Case& c : cases) {
    std::vector<int32_t> flat;
    for (const auto& p : c.points) flat.insert(flat.end(), p.begin(), p.end());
    EXPECT_EQ(strokeClassify(reinterpret_cast<const int32_t(*)[2]>(flat.data()), int(c.points.size())), c.code)
        << c.points.size();
  }
}

TEST_F(ScriptSvc, QueryValuesByKey) {
  const double pts[2][3] = {{1, 2, 0}, {4, 6, 0}};
  double origin[3] = {1, 1, 1};
  queryValue out[2];
  int n = 0;
  ASSERT_TRUE(queryCompute("offset", 6, pts, 2, origin, out, &n));
  ASSERT_EQ(n, 2);
  EXPECT_EQ(out[0].kind, 3);
  EXPECT_DOUBLE_EQ(out[0].v[0], 2.5);
  EXPECT_DOUBLE_EQ(out[0].v[1], 4.0);
  EXPECT_DOUBLE_EQ(out[1].v[0], 5.0);
  ASSERT_TRUE(queryCompute("length", 6, pts, 2, origin, out, &n));
  EXPECT_DOUBLE_EQ(out[0].v[0], 5.0);
  ASSERT_TRUE(queryCompute("delta0", 6, pts, 1, origin, out, &n));
  EXPECT_DOUBLE_EQ(out[0].v[1], 1.0);
  EXPECT_DOUBLE_EQ(out[0].v[2], -1.0);
  ASSERT_TRUE(queryCompute("angle", 5, pts, 2, origin, out, &n));
  EXPECT_NEAR(out[0].v[0], 0.5 + std::atan2(4.0, 3.0) / (2 * M_PI), 1e-12);
  ASSERT_TRUE(queryCompute("originv", 7, pts, 2, origin, out, &n));
  EXPECT_EQ(out[0].n, 6);
  EXPECT_DOUBLE_EQ(out[0].v[3], 0.6);
  EXPECT_DOUBLE_EQ(origin[0], 1.0);
  EXPECT_DOUBLE_EQ(origin[1], 2.0);
  // Unknown keys and too few points answer false.
  EXPECT_FALSE(queryCompute("width", 5, pts, 2, origin, out, &n));
  EXPECT_FALSE(queryCompute("offset", 6, pts, 1, origin, out, &n));
  EXPECT_EQ(run("[0 0] (width) aQuery"), "false");
}

// A stand-in for the tool input loop above the object model: a press
// enters the queued points, each reported to the step callback.
struct LoopStandIn {
  static inline std::vector<std::array<double, 3>> buffer, queued;
  static inline int steps = 0;
  static void track(int, int, objPointStep step, void* context, int, void (*)(int)) {
    for (const auto& p : queued) {
      buffer.push_back(p);
      double points[objPointsMax][3];
      const int count = copy(points);
      ++steps;
      step(points, count, nullptr, context);
    }
  }
  static int copy(double (*out)[3]) {
    for (size_t i = 0; i < buffer.size(); ++i)
      for (int k = 0; k < 3; ++k) out[i][k] = buffer[i][k];
    return int(buffer.size());
  }
  static void clear() { buffer.clear(); }
  static void drop(int n) { buffer.resize(buffer.size() - size_t(n)); }
};

TEST_F(ScriptSvc, QueryTakesNewPointsFromTheToolLoopAndLeavesItsBufferAsItWas) {
  // Without the tool loop no point comes: the query answers false.
  objSetPointInput({});
  EXPECT_EQ(run("[5 5] (length) aQuery"), "false");

  objSetPointInput({LoopStandIn::track, LoopStandIn::copy, nullptr, LoopStandIn::clear, LoopStandIn::drop});
  const struct {
    std::vector<std::array<double, 3>> before;
    const char* expected;
  } cases[] = {
      {{}, "5. true"},
      // A point another tool left stays; the query uses only its own.
      {{{9, 9, 9}}, "5. true"},
  };
  for (const auto& c : cases) {
    LoopStandIn::buffer = c.before;
    LoopStandIn::queued = {{1, 1, 0}, {4, 5, 0}};
    LoopStandIn::steps = 0;
    EXPECT_EQ(run("[5 5] (length) aQuery"), c.expected);
    EXPECT_EQ(LoopStandIn::steps, 2);
    EXPECT_EQ(LoopStandIn::buffer, c.before);
  }
  // One point is too few for a length.
  LoopStandIn::buffer.clear();
  LoopStandIn::queued = {{1, 1, 0}};
  EXPECT_EQ(run("[5 5] (length) aQuery"), "false");
  EXPECT_TRUE(LoopStandIn::buffer.empty());
  objSetPointInput({});
}

TEST_F(ScriptSvc, CustomColoursCheckTheirIndexBothWays) {
  EXPECT_EQ(run("3 [65535 32768 0] aCustomColorSet 3 aCustomColorGet"), "[65280 32768 0 ]");
  for (const char* text : {"16 aCustomColorGet", "-1 aCustomColorGet", "16 [1 2 3] aCustomColorSet",
                           "-1 [1 2 3] aCustomColorSet"})
    EXPECT_EQ(run(text), std::to_string(feErrRangeCheck)) << text;
}

TEST_F(ScriptSvc, PickColorTakesTheDialogsAnswer) {
  plTestQueueColorAnswer(true, RGB(10, 20, 30));
  EXPECT_EQ(run("[0 0] (Pick) [256 256 256] aPickColor"), "[2560 5120 7680 ] true");
  plTestQueueColorAnswer(false);
  EXPECT_EQ(run("[0 0] (Pick) [256 512 768] aPickColor"), "[256 512 768 ] false");
}

TEST_F(ScriptSvc, SmallServices) {
  EXPECT_EQ(run("30 5 10 20 aBoxOrder"), "10 5 30 20");
  EXPECT_EQ(run("aFlag3D"), "true");
  EXPECT_EQ(run("(one) aConfigMesg (two) aConfigMesg aGetConfigMesg exch length"), "2 8");
  EXPECT_EQ(run("(stop) aSystemIcon -1 ne (nosuch) aSystemIcon"), "true -1");
}

}  // namespace
