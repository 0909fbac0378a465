// The input engine: its snap codes, snapping moves in the current view,
// Ctrl and Shift together, the press hook that runs "onKey", the stack of
// saved states and the use counts the shared context holds; the single
// snap of aAuto and how a context is filled for snapping.
#include "tools/ie_fixture.h"

#include "fe/generic.h"
#include "objects/docvar_sheet.h"

namespace {

using geomfx::near;
using iefx::calls;

class IeEngine : public iefx::IeTest {
protected:
  static std::string codes() { return ieCodes(); }
  static void setCodes(const std::string& text) { ieSetCodes(text.c_str(), int(text.size())); }
  // A move at the pixel as the sheet window hands it over.
  static void moveTo(POINT p) {
    ASSERT_NE(nullptr, vwGetMoveHook());
    vwGetMoveHook()(p, vwGetHookArgument());
  }
};

TEST_F(IeEngine, SnapCodeStrings) {
  struct Case {
    const char* text;
    const char* want;
  };
  setCodes("ei");
  for (const Case c : {Case{"*", "ecqxm%vtpi rbai Ai gi o"}, Case{"x", "ecqxm%vtpi rbai Ai gi o"},
                       Case{"em o", "em o"}, Case{"0123456789012345678901234567890123456789",
                                                  "0123456789012345678901234567890"},
                       Case{"", ""}}) {
    setCodes(c.text);
    EXPECT_EQ(c.want, codes()) << c.text;
  }
  // Through the operators.
  feObject r{};
  ASSERT_EQ(0, run("(*) aIESetStr aIEGetStr", &r));
  const char* text;
  int32_t length;
  ASSERT_EQ(0, feGetString(&r, &text, &length));
  EXPECT_EQ("ecqxm%vtpi rbai Ai gi o", std::string(text, size_t(length)));
  feFree(&r);
}

TEST_F(IeEngine, MovesSnapWithoutPublishing) {
  gobjRec* a = insertLine(0, 0, 0.8, 0);
  const uint8_t before = a->refCount;
  double p[3];
  EXPECT_EQ(-1, ieGetPoint(p)) << "no point before a snap";
  setCodes("em o");
  ASSERT_EQ(1, ieStart(nullptr, 0));
  EXPECT_EQ(ieOn, ieFlags());
  const POINT end = pixel(0.8, 0);
  moveTo(POINT{end.x + 2, end.y - 1});
  EXPECT_EQ(0, ieGetPoint(p));
  EXPECT_TRUE(near(p, {0.8, 0, 0}));
  EXPECT_EQ('e', trkSharedContext()->resultCode);
  EXPECT_EQ(ieOn | ieShown | ieValid, ieFlags());
  EXPECT_EQ(0, calls().updates) << "a move runs no aUpdate";
  EXPECT_GT(a->refCount, before);

  ieCursorDisable();
  EXPECT_EQ(0, ieHasPoint());
  EXPECT_EQ(ieOn, ieFlags());
  ieOff();
  EXPECT_EQ(0, ieFlags());
  EXPECT_EQ(nullptr, vwGetMoveHook());
  EXPECT_EQ(before, a->refCount) << "off gives the result's count back";
}

TEST_F(IeEngine, EmptyCodesGiveAValidPointWithoutFeedback) {
  insertLine(0, 0, 0.8, 0);
  setCodes("");
  ASSERT_EQ(1, ieStart(nullptr, 0));
  moveTo(pixel(0.3, 0.4));
  double p[3];
  EXPECT_EQ(0, ieGetPoint(p));
  EXPECT_EQ(ieOn | ieValid, ieFlags());
}

TEST_F(IeEngine, CtrlAndShiftTogetherSnapWithTheDefaultCodes) {
  insertLine(0, 0, 0.8, 0);
  setCodes("nn");
  ASSERT_EQ(1, ieStart(nullptr, 0));
  const POINT end = pixel(0.8, 0);
  moveTo(POINT{end.x + 2, end.y + 2});
  EXPECT_EQ('n', trkSharedContext()->resultCode);
  plTestSetKeyDown(VK_CONTROL, true);
  plTestSetKeyDown(VK_SHIFT, true);
  moveTo(POINT{end.x + 2, end.y + 1});
  EXPECT_EQ('e', trkSharedContext()->resultCode);
  EXPECT_EQ(ieCodes(), trkSharedContext()->snapCodes) << "the engine's codes are back";
  plTestSetKeyDown(VK_SHIFT, false);
  moveTo(POINT{end.x + 1, end.y + 1});
  EXPECT_EQ('n', trkSharedContext()->resultCode) << "Ctrl alone is no override";
}

TEST_F(IeEngine, AFilterKeepsTheEngineFromSnapping) {
  ASSERT_EQ(1, ieStart([](int x, int, uintptr_t limit) { return x < int(limit) ? 1 : 0; }, uintptr_t(pixel(0, 0).x)));
  moveTo(pixel(-0.5, 0.2));
  EXPECT_EQ(1, ieHasPoint());
  moveTo(pixel(0.5, 0.2));
  EXPECT_EQ(0, ieHasPoint());
}

// aXTrack's procedure answers whether the engine skips a position; one
// that fails lets it snap.
TEST_F(IeEngine, AScriptFilterDecidesWhereTheEngineSnaps) {
  struct Case {
    const char* source;
    int hasPoint;
  };
  for (const Case c : {Case{"{ true } (em o) aXTrackStr", 0}, Case{"{ false } (em o) aXTrackStr", 1},
                       Case{"{ 1 } aXTrack", 1}, Case{"{ nosuchname } aXTrack", 1}}) {
    ASSERT_EQ(0, run(c.source)) << c.source;
    moveTo(pixel(0.1, 0.2));
    EXPECT_EQ(c.hasPoint, ieHasPoint()) << c.source;
  }
  EXPECT_EQ("ecqxm%vtpi rbai Ai gi o", codes()) << "aXTrack takes the default codes";
}

TEST_F(IeEngine, APressRunsOnKeyAndRestartsTheEngine) {
  setCodes("em o");
  ASSERT_EQ(1, ieStart(nullptr, 0));
  const POINT first = pixel(0.2, 0.2);
  moveTo(first);
  // The window's press handler clears both hooks before the down hook runs.
  vwEventHookFn down = vwGetDownHook();
  ASSERT_NE(nullptr, down);
  vwSetEventHooks(nullptr, nullptr, 0);
  const POINT sideways{first.x + 30, first.y};
  down(sideways, 0);
  ASSERT_EQ(1u, calls().keys.size());
  EXPECT_EQ(4096, calls().keys[0].first);
  EXPECT_EQ("", calls().keys[0].second);
  EXPECT_EQ(0, calls().updates) << "moved on one axis only: no snap before onKey";
  EXPECT_NE(nullptr, vwGetMoveHook()) << "reinstalled";
  EXPECT_NE(nullptr, vwGetDownHook());
}

TEST_F(IeEngine, PushAndPopRestoreTheOuterState) {
  gobjRec* a = insertLine(0, 0, 0.8, 0);
  const uint8_t before = a->refCount;
  auto filter = [](int, int, uintptr_t) -> int32_t { return 1; };
  setCodes("em o");
  ASSERT_EQ(1, ieStart(filter, 7));
  const POINT end = pixel(0.8, 0);
  moveTo(POINT{end.x + 1, end.y});
  trkSharedContext()->planeConstrained = 0;
  EXPECT_EQ(0, run("aIEPush"));
  EXPECT_EQ(0, ieFlags());
  EXPECT_EQ(before, a->refCount) << "the saved copy holds no count";

  // A nested use with its own codes, left off.
  EXPECT_EQ(0, run("(ei) aIERunStr"));
  EXPECT_EQ("ei", codes());
  ieOff();
  EXPECT_EQ(0, run("aIEPop"));
  EXPECT_EQ("em o", codes());
  EXPECT_EQ(ieOn, ieFlags()) << "on at the push: restarted";
  EXPECT_EQ(trkSharedContext()->snapCodes, ieCodes());
  moveTo(POINT{end.x + 1, end.y});
  EXPECT_EQ('e', trkSharedContext()->resultCode);

  // Pushed while off: stays off.
  ieOff();
  EXPECT_EQ(0, run("aIEPush"));
  EXPECT_EQ(0, run("aIEPop"));
  EXPECT_EQ(0, ieFlags());
  // Nothing pushed: refused.
  EXPECT_EQ(267, run("aIEPop"));
  ieEngineReset();
  trackClearFeedback(trkSharedContext());
  EXPECT_EQ(before, a->refCount);
}

TEST_F(IeEngine, NoCurrentViewLeavesTheEngineOff) {
  vwSetCurView(nullptr);
  EXPECT_EQ(0, ieStart(nullptr, 0));
  EXPECT_EQ(0, ieFlags());
  EXPECT_EQ(nullptr, vwGetMoveHook());
}

TEST_F(IeEngine, SingleSnapAndContextFilling) {
  gobjRec* a = insertLine(0, 0, 0.8, 0);
  const uint8_t before = a->refCount;
  const POINT end = pixel(0.8, 0);
  double p[3];
  trkAutoSnap(end.x + 2, end.y + 1, nullptr, 0, p);
  EXPECT_TRUE(near(p, {0.8, 0, 0}));
  trkAutoSnap(end.x + 2, end.y + 1, "e  ignored", 1, p);
  EXPECT_TRUE(near(p, {0.8, 0, 0}));
  EXPECT_EQ(before, a->refCount);

  // Entered points: the sheet record's, else the tool's buffer.
  trackContext context{};
  ieSetPoints(1, onePoint(1, 2, 3));
  trkInitSnapCtx(&context);
  EXPECT_EQ(snapDefaultCodes(), context.snapCodes);
  EXPECT_GT(context.hitRadius, 0);
  ASSERT_EQ(1, context.enteredCount);
  EXPECT_TRUE(near(context.entered[0], {1, 2, 3}));
  dbSheetRec* sheet = sheetCurrentOrDefault();
  sheetSetCurrent(sheet);
  sheet->enteredCount = 2;
  sheet->entered[1][0] = 4;
  trkInitSnapCtx(&context);
  EXPECT_EQ(2, context.enteredCount);
  EXPECT_EQ(sheet->entered, context.entered);
  sheet->enteredCount = 0;
  sheetReset();
}

}  // namespace
