#include "fe/exec.h"

#include "core/classes.h"
#include "exec_fixture.h"
#include "fe/stack_test.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace execfx;

class ExecTest : public ::testing::Test {
protected:
  void SetUp() override { start(); }
  void TearDown() override { stop(); }
};

using ExecLoop = ExecTest;
using ExecFrames = ExecTest;
using ExecDebug = ExecTest;
using ExecEntry = ExecTest;
using ExecSuspend = ExecTest;

// A token source: a program object that hands out the characters of a text
// through messages 101 and 102.
struct TextSource {
  feObjRecord head;
  const char* text;
  size_t pos;
  uint8_t back[8];
  int backCount;
};

int sourceHandler(void* object, int message, intptr_t a, intptr_t, intptr_t) {
  auto* s = static_cast<TextSource*>(object);
  if (message == 101) {
    int* out = reinterpret_cast<int*>(a);
    if (s->backCount > 0) {
      *out = s->back[--s->backCount];
      return 0;
    }
    if (!s->text[s->pos]) return feErrEof;
    *out = static_cast<uint8_t>(s->text[s->pos++]);
    return 0;
  }
  if (message == 102) {
    if (s->backCount == 8) return feErrLimitCheck;
    s->back[s->backCount++] = uint8_t(a);
    return 0;
  }
  return objNotHandled;
}

TEST_F(ExecLoop, LiteralsGoToTheOperandStackAndProceduresAreData) {
  EXPECT_EQ(feExecString("1 2.5 /x (s) {3 y}"), feOk);
  EXPECT_EQ(operands(), "1 2.5 /x (s) {3 y }");
}

TEST_F(ExecLoop, ValuesRunFromNativeCodeByType) {
  // An executable procedure runs; literal values of any type are pushed;
  // null does nothing.
  const struct {
    feObject value;
    const char* expected;
  } cases[] = {
      {procedure({integer(1), integer(2)}), "1 2"},
      {[] {
         feObject lit = procedure({integer(1), execName("nosuchname")});
         lit.flags &= uint16_t(~feFlagExec);
         return lit;
       }(),
       "[1 nosuchname ]"},
      {integer(7), "7"},
      {[] {
         feObject n;
         feMakeNull(&n);
         return n;
       }(),
       ""},
      {execString("4 5"), "4 5"},
  };
  for (const auto& c : cases) {
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecObject(&c.value), feOk) << c.expected;
    EXPECT_EQ(operands(), c.expected);
    feObject v = c.value;
    feFree(&v);
  }
}

TEST_F(ExecLoop, AnExecutableNameRunsItsValue) {
  defineUser("xtSeven", procedure({integer(7)}));
  defineUser("xtAlias", execName("xtSeven"));
  defineUser("xtData", integer(3));
  EXPECT_EQ(feExecString("xtAlias xtData"), feOk);
  EXPECT_EQ(operands(), "7 3");
}

// Test operators that change the dictionary stack without begin and end:
// xtHide pushes the dictionary hidden (which defines xtV as 7), xtShow pops
// the top, xtSwap does both at once, leaving the stack as deep as it was.
// hidden is filled before the script runs: a put clears the name's cache,
// and these cases are about changes that touch no dictionary.
feObject hidden;
int opHide(feArgs*) { return fePushDup(feDictStack(), &hidden); }
int opShow(feArgs*) {
  feStackPopN(*feDictStack(), 1);
  return feOk;
}
int opSwap(feArgs* a) {
  opShow(a);
  return opHide(a);
}

TEST_F(ExecLoop, NamesInAProcedureSeeTheDictionaryStackChangedWithoutBegin) {
  if (!defined("xtHide")) {
    feRegisterOp("xtHide", opHide, "", 0, 0);
    feRegisterOp("xtShow", opShow, "", 0, 0);
    feRegisterOp("xtSwap", opSwap, "", 0, 0);
  }
  defineUser("xtV", integer(1));
  // Each case runs from one procedure, so that each look-up follows the
  // previous one within the same step of the loop where it can.
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"xtV pop {xtV xtHide xtV xtV xtShow xtV} exec", "1 7 7 1"},
      // The top dictionary replaced by another: the stack keeps its depth.
      {"4 dict begin xtV pop {xtV xtSwap xtV} exec end xtV", "1 7 1"},
  };
  for (const auto& c : cases) {
    feMakeDict(&hidden, 4);
    feObject key, value = integer(7);
    feMakeName(&key, "xtV", 3);
    ASSERT_EQ(feDictPut(&hidden, &key, &value), feOk);
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(c.text), feOk) << c.text;
    EXPECT_EQ(operands(), c.expected) << c.text;
    feFree(&hidden);
  }
}

TEST_F(ExecLoop, AnUndefinedNameAnswersUndefined) {
  EXPECT_EQ(feExecString("xtNoSuchName"), feErrUndefined);
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("1 2"), feOk);
  EXPECT_EQ(operands(), "1 2");
}

TEST_F(ExecLoop, TheSameExecutableStringRunsTheSameWayTwice) {
  // Member syntax: the scanner gives back bytes of its own; running the same
  // string value again must read the same tokens, and the text is unchanged.
  feObject d;
  feMakeDict(&d, 4);
  feObject member = integer(5);
  feDictDefName(&d, "m", &member);
  feObject body = procedure({integer(8)});
  feDictDefName(&d, "p", &body);
  feFree(&body);
  defineUser("xtD", d);

  feObject text = execString("xtD:m xtD:p");
  for (int run = 0; run < 2; ++run) {
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecObject(&text), feOk) << "run " << run;
    EXPECT_EQ(operands(), "5 8") << "run " << run;
  }
  uint8_t* bytes = nullptr;
  uint16_t length = 0;
  feStringData(&text, &bytes, &length);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), length), "xtD:m xtD:p");
  feFree(&text);
}

TEST_F(ExecLoop, MemberSyntaxRunsAProcedureMember) {
  feObject d;
  feMakeDict(&d, 4);
  feObject body = procedure({integer(8), integer(9)});
  feDictDefName(&d, "p", &body);
  feFree(&body);
  defineUser("xtObj", d);
  // One colon: the object goes, the procedure's results stay; two colons
  // keep the object below them.
  EXPECT_EQ(feExecString("xtObj:p"), feOk);
  EXPECT_EQ(operands(), "8 9");
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("xtObj::p"), feOk);
  ASSERT_EQ(feStackCount(*feOperandStack()), 3);
  EXPECT_EQ(feType(feStackIndex(*feOperandStack(), 2)), feTDict);
  EXPECT_EQ(feGetInt(feStackIndex(*feOperandStack(), 0)), 9);
}

TEST_F(ExecLoop, ATokenSourceObjectIsReadToItsEnd) {
  static const uint16_t classId = objClassRegister("xtsrc", 0, sourceHandler);
  static TextSource source;
  source = TextSource{{classId, feObjPermanent}, "1 {2} xtSeven 3", 0, {}, 0};
  defineUser("xtSeven", procedure({integer(7)}));
  feObject v;
  feMakeObjRef(&v, &source);
  v.flags |= feFlagTokenSource;
  EXPECT_EQ(feExecObject(&v), feOk);
  EXPECT_EQ(operands(), "1 {2 } 7 3");
  // Without the flag the object is a literal.
  feStackClear(*feOperandStack());
  v.flags &= uint16_t(~feFlagTokenSource);
  EXPECT_EQ(feExecObject(&v), feOk);
  ASSERT_EQ(feStackCount(*feOperandStack()), 1);
  EXPECT_EQ(feType(feStackIndex(*feOperandStack(), 0)), feTObject);
}

TEST_F(ExecLoop, AStringSourceLeavesTheExecutionStackBeforeItsLastTokenRuns) {
  // The string is removed once it has nothing left, so the last token runs
  // with the string gone.
  EXPECT_EQ(feExecString("countexecstack countexecstack"), feOk);
  EXPECT_EQ(operands(), "2 1");
}

TEST_F(ExecLoop, TheLoopAnswersTheFlagsOfTheEntryLeftOnTop) {
  feStack* saved = nullptr;
  ASSERT_EQ(feExecStackPush(&saved), feOk);
  feObject bottom = procedure({integer(1)});
  fePush(feExecStack(), &bottom);
  feObject top = procedure({integer(2)});
  fePush(feExecStack(), &top);
  uint16_t flags = 0;
  // Runs until one entry is left: only the top procedure runs.
  EXPECT_EQ(feExecute(2, &flags), feOk);
  EXPECT_EQ(flags, feExecTop()->flags);
  EXPECT_EQ(operands(), "2");
  EXPECT_EQ(feExecute(0, &flags), feOk);
  EXPECT_EQ(flags, 0);
  EXPECT_EQ(operands(), "2 1");
  feExecStackRestore(saved);
}

TEST_F(ExecFrames, ANamedProcedurePushesANullFrameAndPopsIt) {
  defineUser("xtNamed", procedure({execName("xtFrames"), execName("xtLocal")}));
  EXPECT_EQ(feExecString("xtFrames xtNamed xtFrames"), feOk);
  const int32_t base = feStackCount(*feFrameStack());
  EXPECT_EQ(operands(), std::to_string(base) + " " + std::to_string(base + 1) + " -1 " + std::to_string(base));
  // An unnamed procedure pushes none.
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("{xtFrames} exec"), feOk);
  EXPECT_EQ(operands(), std::to_string(base));
}

TEST_F(ExecFrames, AProcedureWithALocalDictionaryGetsAFreshOne) {
  feObject key;
  feMakeName(&key, "xtLocalKey", 10);
  feObject body = procedure({execName("xtLocal"), key, integer(9), execName("def"), execName("xtLocalKey")});
  body.flags |= feFlagLocal;
  defineUser("xtCvp", body);
  // The definition goes into the local dictionary, which is gone afterwards.
  // It is asked for with capacity 4; dictionaries hold at least 8.
  const int32_t base = feStackCount(*feFrameStack());
  EXPECT_EQ(feExecString("xtCvp xtCvp"), feOk);
  EXPECT_EQ(operands(), "8 9 8 9");
  EXPECT_EQ(feStackCount(*feFrameStack()), base);
  feObject value;
  EXPECT_EQ(feLoad(&key, &value), feErrUndefined);
}

TEST_F(ExecFrames, DiscardedActivationsPopTheirFrames) {
  // stop without stopped discards the whole run, exit and stop unwind
  // through named procedures, and an error ends a run inside one: every
  // frame pushed on the way is popped.
  defineUser("xtStops", procedure({execName("xtFrames"), execName("stop")}));
  defineUser("xtExits", procedure({execName("xtFrames"), execName("exit")}));
  defineUser("xtFails", procedure({execName("xtFrames"), execName("xtNoSuchName")}));
  const int32_t base = feStackCount(*feFrameStack());
  const std::string inside = std::to_string(base + 1);
  const struct {
    const char* text;
    std::string expected;
  } cases[] = {
      {"xtStops", inside},
      {"{xtStops} stopped", inside + " true"},
      {"{xtExits} loop", inside},
      {"{{xtStops} loop} stopped", inside + " true"},
      {"(xtStops) xtNest pop", inside},
  };
  for (const auto& c : cases) {
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(c.text), feOk) << c.text;
    EXPECT_EQ(operands(), c.expected) << c.text;
    EXPECT_EQ(feStackCount(*feFrameStack()), base) << c.text;
  }
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("xtFails"), feErrUndefined);
  EXPECT_EQ(feStackCount(*feFrameStack()), base);
}

TEST_F(ExecFrames, ExecstackCopiesDoNotCarryTheFrameBit) {
  defineUser("xtSnap", procedure({integer(20), execName("array"), execName("execstack")}));
  EXPECT_EQ(feExecString("xtSnap"), feOk);
  ASSERT_EQ(feStackCount(*feOperandStack()), 1);
  const feObject* copy = feStackIndex(*feOperandStack(), 0);
  ASSERT_EQ(feType(copy), feTArray);
  bool sawNamed = false;
  for (int32_t i = 0; i < feArrayLength(copy); ++i) {
    const feObject* e = feArrayElem(copy, i);
    EXPECT_EQ(e->flags & feFlagFrame, 0) << i;
    sawNamed = sawNamed || (feType(e) == feTArray && (e->flags & feFlagNamed));
  }
  EXPECT_TRUE(sawNamed);
  // Running the copied activation does not pop a frame it never pushed.
  const int32_t base = feStackCount(*feFrameStack());
  feObject snapshot = *copy;
  feDup(&snapshot);
  feStackClear(*feOperandStack());
  for (int32_t i = 0; i < feArrayLength(&snapshot); ++i) {
    const feObject* e = feArrayElem(&snapshot, i);
    if (feType(e) == feTArray && (e->flags & feFlagNamed)) {
      feExecObject(e);
      break;
    }
  }
  EXPECT_EQ(feStackCount(*feFrameStack()), base);
  feFree(&snapshot);
}

TEST_F(ExecDebug, NamedProceduresArePrintedAndTracedWhenTheFlagsAskForIt) {
  defineUser("xtTraced", procedure({execName("countexecstack")}));
  EXPECT_EQ(feExecString("xtTraced xtTraced countexecstack"), feOk);
  const int32_t plain = feGetInt(feStackIndex(*feOperandStack(), 2));
  EXPECT_EQ(operands(), std::to_string(plain) + " " + std::to_string(plain) + " 1");
  EXPECT_EQ(output(), "");

  // 0x4 prints the name in "==" form and a line end; 0x2 keeps the name and
  // "@st" below the procedure while it runs, and removes both afterwards.
  dbgSetFlags(0x4 | 0x2);
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("xtTraced xtTraced countexecstack"), feOk);
  EXPECT_EQ(output(), "xtTraced\nxtTraced\n");
  EXPECT_EQ(operands(), std::to_string(plain + 2) + " " + std::to_string(plain + 2) + " 1");

  // Procedures that are not named are neither printed nor traced.
  output().clear();
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("{countexecstack} exec"), feOk);
  EXPECT_EQ(output(), "");
  EXPECT_EQ(operands(), std::to_string(plain - 1));
}

TEST_F(ExecEntry, ExecStringRestoresTheCallersExecutionStack) {
  feStack* saved = nullptr;
  ASSERT_EQ(feExecStackPush(&saved), feOk);
  feObject marker = integer(42);
  fePush(feExecStack(), &marker);
  feStack* mine = *feExecStack();
  EXPECT_EQ(feExecString("1 stop 2"), feOk);
  EXPECT_EQ(*feExecStack(), mine);
  EXPECT_EQ(feStackCount(mine), 1);
  EXPECT_EQ(operands(), "1");
  feExecStackRestore(saved);
}

TEST_F(ExecEntry, StopWithoutStoppedEndsOnlyTheInnerRun) {
  EXPECT_EQ(feExecString("1 (2 stop 3) xtNest 4"), feOk);
  EXPECT_EQ(operands(), "1 2 0 4");
}

TEST_F(ExecEntry, RunStringRunsTheTextUnderErrorcheck) {
  EXPECT_EQ(feRunString("1 countexecstack"), feOk);
  // errorcheck's stopped, the text and countexecstack: the text ran under
  // stopped, not on its own.
  ASSERT_EQ(feStackCount(*feOperandStack()), 2);
  EXPECT_GT(feGetInt(feStackIndex(*feOperandStack(), 0)), 1);
  feStackClear(*feOperandStack());
  EXPECT_EQ(feRunString("xtNoSuchName"), feErrUndefined);
  EXPECT_NE(output().find("undefined"), std::string::npos);
}

TEST_F(ExecEntry, VersionAndUsertime) {
  plTestSetTickCount(5000);
  feTimerStart();
  plTestAdvanceClock(1234);
  EXPECT_EQ(feExecString("version usertime"), feOk);
  EXPECT_EQ(operands(), "(1.0) 1234");
  plTestUseSystemClock();
}

TEST_F(ExecSuspend, SuspendRunsTextOnAFreshStackUntilResume) {
  const struct {
    const char* text;
    int result;
    const char* expected;
  } cases[] = {
      // resume drops the fresh stack and the suspended run goes on.
      {"1 (2 resume 3) suspend 4", feOk, "1 2 4"},
      {"1 (2 countexecstack resume) suspend 4", feOk, "1 2 2 4"},
      // A text that ends without resume ends the run.
      {"1 (2) suspend 4", feOk, "1 2"},
      // One suspended stack at a time; resume needs one.
      {"(0 (1) suspend) suspend", feErrLimitCheck, nullptr},
      {"resume", feErrInvalidAccess, nullptr},
      // A nested run cannot resume the stack its caller put aside.
      {"(1 (resume) xtNest 2 resume 3) suspend", feOk, nullptr},
  };
  for (const auto& c : cases) {
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(c.text), c.result) << c.text;
    if (c.expected) {
      EXPECT_EQ(operands(), c.expected) << c.text;
    }
  }
  // The nested resume failed (279) and the outer one went back.
  EXPECT_EQ(feGetInt(feStackIndex(*feOperandStack(), 1)), feErrInvalidAccess);
  // Nothing stays suspended after the runs.
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("resume"), feErrInvalidAccess);
}

TEST_F(ExecSuspend, SuspendTakesOnlyAString) {
  EXPECT_EQ(feExecString("5 suspend"), feErrTypeCheck);
}

}  // namespace

namespace {

using ExecLimits = ExecTest;

// A procedure that calls itself without end fills the execution stack to its
// limit and ends with limitcheck; the blocks the stacks outgrew on the way
// are given back between steps, so the run does not keep every one of them.
TEST_F(ExecLimits, RunawayRecursionEndsWithLimitcheckWithoutKeepingOutgrownBlocks) {
  plTestSetMessageBoxEcho(false);
  EXPECT_EQ(feExecString("/runaway {runaway} def runaway"), feErrLimitCheck);
  plTestSetMessageBoxEcho(true);
  // Operand, execution (the finished run's, freed or recycled), dictionary,
  // frame and errorcheck stacks: a handful, not the ~1600 a grown stack
  // leaves behind when outgrown blocks are kept.
  EXPECT_LT(feStackTestBlocks(), 20);
  feStackClear(*feOperandStack());
}

}  // namespace
