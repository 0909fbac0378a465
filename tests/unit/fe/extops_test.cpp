#include "fe/extops.h"

#include "core/debug.h"
#include "extops_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace execfx;
using extfx::Case;
using extfx::run;
using extfx::runTable;

using ExtOpsCase = extfx::Fixture;
using ExtOpsCond = extfx::Fixture;
using ExtOpsForallN = extfx::Fixture;
using ExtOpsLookup = extfx::Fixture;
using ExtOpsMerge = extfx::Fixture;
using ExtOpsMdef = extfx::Fixture;
using ExtOpsCat = extfx::Fixture;
using ExtOpsCvs = extfx::Fixture;
using ExtOpsDebug = extfx::Fixture;
using ExtOpsInit = extfx::Fixture;

TEST_F(ExtOpsCase, ChoosesTheFirstMatchThenTheDefault) {
  const Case cases[] = {
      {"3 [1 {(one)} 2 {(two)} /default {(other)}] aCase", feOk, "(other)"},
      {"2 [1 {(one)} 2 {(two)} /default {(other)}] aCase", feOk, "(two)"},
      // The first equal key wins; the default is looked for only after every
      // key failed, wherever it stands.
      {"1 [1 {(a)} 1 {(b)}] aCase", feOk, "(a)"},
      {"5 [/default {(d)} 5 {(five)}] aCase", feOk, "(five)"},
      // Generic equality: a real key matches an integer, a string a string.
      {"2 [2.0 {(real)}] aCase", feOk, "(real)"},
      {"(ab) [(ab) {(str)}] aCase", feOk, "(str)"},
      // No match and no default: nothing happens.
      {"9 [1 {(one)}] aCase", feOk, ""},
      {"9 [] aCase", feOk, ""},
      // A literal in action position is pushed.
      {"1 [1 7] aCase", feOk, "7"},
      {"3 [1 {(one)} 2] aCase", feErrLengthCheck, "3 [1 {(one) } 2 ]"},
      {"3 5 aCase", feErrTypeCheck, "3 5"},
      {"[] aCase", feErrStackUnderflow, "[]"},
  };
  runTable(cases);
}

TEST_F(ExtOpsCase, TheProcedureRunsAfterTheOperatorOnTheExecutionStack) {
  // exit in the chosen procedure leaves the enclosing loop: the procedure
  // runs from the execution stack, not inside aCase.
  const Case cases[] = {
      {"{1 [1 {(in) exit}] aCase (after)} loop (out)", feOk, "(in) (out)"},
      {"1 [1 {nosuchname}] aCase", feErrUndefined, nullptr},
  };
  runTable(cases);
}

TEST_F(ExtOpsCond, RunsTheActionOfTheFirstTrueTest) {
  const Case cases[] = {
      {"[{false} {1} {true} {2} {true} {3}] aCond", feOk, "2"},
      {"4 [{false} {1}] aCond", feOk, "4"},
      {"[] aCond", feOk, ""},
      // Anything but true counts as false and is removed.
      {"[{5} {1} {(x)} {2} {true} {3}] aCond", feOk, "3"},
      // An empty operand stack after a test counts as false.
      {"[{} {1} {true} {2}] aCond", feOk, "2"},
      // Literal tests and actions.
      {"[true 1] aCond", feOk, "1"},
      {"{{true} {1}} aCond", feOk, "1"},
      // Nested, and exit from an action leaves the enclosing loop.
      {"[{true} {[{false} {1} {true} {2}] aCond}] aCond", feOk, "2"},
      {"{[{true} {(in) exit}] aCond (after)} loop (out)", feOk, "(in) (out)"},
      {"{[{true} {stop}] aCond} stopped", feOk, "true"},
      {"[{true} {1} {true}] aCond", feErrLengthCheck, "[{true } {1 } {true } ]"},
      {"5 aCond", feErrTypeCheck, "5"},
  };
  runTable(cases);
}

TEST_F(ExtOpsCond, LeavesTheExecutionStackAsItFoundIt) {
  // After each form of ending, the loop state is gone.
  const Case cases[] = {
      {"[{false} {1}] aCond countexecstack", feOk, "1"},
      // The action runs in place of the loop state: its procedure and
      // countexecstack are all there is.
      {"[{true} {countexecstack}] aCond", feOk, "2"},
      {"[{false} {1} {true} {countexecstack}] aCond", feOk, "2"},
  };
  runTable(cases);
}

TEST_F(ExtOpsForallN, RunsOncePerFullGroup) {
  const Case cases[] = {
      {"[1 2 3 4 5] {xtAdd} 2 aForallN", feOk, "3 7"},
      {"[1 2 3 4 5] {xtAdd} aForall2", feOk, "3 7"},
      {"[1 2 3 4 5 6] {3 array astore} 3 aForallN", feOk, "[1 2 3 ] [4 5 6 ]"},
      {"[1 2 3] {} 1 aForallN", feOk, "1 2 3"},
      {"[1] {(never)} 2 aForallN", feOk, ""},
      {"[] {(never)} 1 aForallN", feOk, ""},
      {"[1 2 3 4] {exit} 1 aForallN", feOk, "1"},
      {"{[1 2] {stop} 1 aForallN} stopped", feOk, "1 true"},
      {"[1 2] {} 1 aForallN countexecstack", feOk, "1 2 1"},
      // n = 0: the procedure runs until it leaves the loop.
      {"/flag false def [] {flag {exit} if /flag true def (pass)} 0 aForallN", feOk, "(pass)"},
      {"[1 2] {} 16 aForallN", feErrLimitCheck, "[1 2 ] {} 16"},
      {"[1 2] {} -1 aForallN", feErrRangeCheck, "[1 2 ] {} -1"},
      {"[1 2] [] 1 aForallN", feErrTypeCheck, "[1 2 ] [] 1"},
      {"5 {} 1 aForallN", feErrTypeCheck, "5 {} 1"},
      {"{} aForall2", feErrStackUnderflow, "{}"},
  };
  runTable(cases);
}

TEST_F(ExtOpsLookup, GetXAndKnownReportSuccess) {
  const Case cases[] = {
      {"userdict /nosuchkey aGetX", feOk, "false"},
      {"1 dict dup /k 5 put /k aGetX", feOk, "5 true"},
      {"(abc) 1 aGetX", feOk, "98 true"},
      {"(abc) 9 aGetX", feOk, "false"},
      {"null 1 aGetX", feOk, "false"},
      {"[[1 2] [3 4]] [1 0] aAGetX", feOk, "3 true"},
      {"[[1 2]] [5] aAGetX", feOk, "false"},
      {"[1] [] aAGetX", feOk, "false"},
      {"7 (x) 3 aAGetX", feOk, "7 false"},
      {"1 dict dup /k 5 put /k known", feOk, "true"},
      {"1 dict /k known", feOk, "false"},
      {"(abc) 2 known (abc) 3 known", feOk, "true false"},
      {"1 aGetX", feErrStackUnderflow, "1"},
      {"1 aAGetX", feErrStackUnderflow, "1"},
      {"1 known", feErrStackUnderflow, "1"},
  };
  runTable(cases);
}

TEST_F(ExtOpsMerge, PutsEntriesOfADictionaryOrPairsOfAnArray) {
  const Case cases[] = {
      {"/d 2 dict def d /a 0 put d [/a 1 /b 2 /c] aMerge d /a get d /b get d /c known", feOk, "1 2 false"},
      {"/d 1 dict def /s 20 dict def s /q 7 put s /r 8 put d s aMerge d /q get d /r get", feOk, "7 8"},
      // A dictionary merged into itself keeps its entries.
      {"/s 1 dict def s /q 7 put s s aMerge s /q get", feOk, "7"},
      {"1 [] aMerge", feErrTypeCheck, "1 []"},
      {"1 dict 5 aMerge", feErrTypeCheck, nullptr},
  };
  runTable(cases);
}

TEST_F(ExtOpsMdef, DefinesEachNameAsItsValue) {
  const Case cases[] = {
      {"1 2 [/mdx /mdy] aMdef mdx mdy", feOk, "1 2"},
      {"0 (a) [/mdz] aMdef mdz", feOk, "0 (a)"},
      {"9 [] aMdef", feOk, "9"},
      {"1 [/mdp /mdq] aMdef", feErrStackUnderflow, "1 [/mdp /mdq ]"},
      {"1 /mdp aMdef", feErrTypeCheck, "1 /mdp"},
  };
  runTable(cases);
}

TEST_F(ExtOpsMdef, DefinesInTheLocalDictionaryLikeDef) {
  // A procedure with a local dictionary: aMdef stores there, as def does,
  // and the name is gone once the procedure has finished.
  ASSERT_EQ(run("/mdLocalProc {4 [/mdLocal] aMdef mdLocal xtLocal} def"), feOk);
  feObject key, proc;
  feMakeName(&key, "mdLocalProc", 11);
  ASSERT_EQ(feLoad(&key, &proc), feOk);
  proc.flags |= feFlagLocal;
  ASSERT_EQ(feDictDef(&key, &proc), feOk);
  feFree(&proc);
  EXPECT_EQ(run("mdLocalProc"), feOk);
  EXPECT_EQ(operands(), "4 8");   // the value, and the local dictionary's capacity (at least 8)
  EXPECT_FALSE(defined("mdLocal"));
}

TEST_F(ExtOpsCat, ConcatenatesStringsAndArrays) {
  const Case cases[] = {
      {"(ab) (cd) aCat", feOk, "(abcd)"},
      {"() () aCat", feOk, "()"},
      {"[1] [2 3] aCat", feOk, "[1 2 3 ]"},
      {"[] [] aCat", feOk, "[]"},
      {"(a) [1] aCat", feErrTypeCheck, "(a) [1 ]"},
      {"1 2 aCat", feErrTypeCheck, "1 2"},
      // The result is a new value: changing it leaves the operands alone.
      {"(ab) dup (c) aCat dup 0 65 put", feOk, "(ab) (Abc)"},
      {"[1] dup [] aCat dup 0 9 put", feOk, "[1 ] [9 ]"},
  };
  runTable(cases);
}

TEST_F(ExtOpsCat, ALengthPastTheLongestStringIsALimitcheck) {
  feStackClear(*feOperandStack());
  const std::string big(40000, 'x');
  for (int k = 0; k < 2; ++k) {
    feObject s;
    ASSERT_EQ(feMakeString(&s, big.data(), big.size()), feOk);
    ASSERT_EQ(fePush(feOperandStack(), &s), feOk);
  }
  EXPECT_EQ(feExecString("aCat"), feErrLimitCheck);
  EXPECT_EQ(feStackCount(*feOperandStack()), 2);
}

TEST_F(ExtOpsCvs, TextFormAsANewString) {
  const Case cases[] = {
      {"5 aCvs", feOk, "(5)"},
      {"-7 aCvs", feOk, "(-7)"},
      {"2.5 aCvs 2.0 aCvs", feOk, "(2.5) (2.)"},
      {"/nm aCvs true aCvs", feOk, "(nm) (true)"},
      {"{1} aCvs null aCvs", feOk, "(--nostringval--) (--nostringval--)"},
      {"(ab) dup aCvs dup 0 65 put", feOk, "(ab) (Ab)"},
      {"aCvs", feErrStackUnderflow, ""},
  };
  runTable(cases);
}

std::string& logText() {
  static std::string text;
  return text;
}
void captureLog(void*, const char* text, size_t length) { logText().append(text, length); }

TEST_F(ExtOpsDebug, SetDebugFlagsLogsAndDebugFlagsAnswers) {
  logText().clear();
  dbgSetLogHook(captureLog, nullptr);
  EXPECT_EQ(run("5 aSetDebugFlags aDebugFlags 0 aSetDebugFlags aDebugFlags"), feOk);
  dbgSetLogHook(nullptr, nullptr);
  EXPECT_EQ(operands(), "5 0");
  EXPECT_EQ(logText(), "[fe.dir:feSetDebugFlags] 5\n[fe.dir:feSetDebugFlags] 0\n");
  // The argument must be an integer; the flags stay.
  EXPECT_EQ(run("(x) aSetDebugFlags"), feErrTypeCheck);
  EXPECT_EQ(dbgFlags(), 0u);
}

TEST_F(ExtOpsDebug, LogPrintListsTheCallRingNewestFirst) {
  feOpTraceClear();
  EXPECT_EQ(run("1 aSetDebugFlags 1 pop 2 dup pop pop aLogPrint 0 aSetDebugFlags"), feOk);
  EXPECT_EQ(output(), "0 aLogPrint\n0 pop\n0 pop\n0 dup\n0 pop\n");
  feOpTraceClear();
  output().clear();
  EXPECT_EQ(run("aLogPrint"), feOk);
  EXPECT_EQ(output(), "");
}

TEST_F(ExtOpsDebug, StackCrawlNamesTheTracedProceduresInnermostFirst) {
  defineUser("crawlOuter", procedure({execName("crawlInner")}));
  defineUser("crawlInner", procedure({execName("aStackCrawl")}));
  EXPECT_EQ(run("2 aSetDebugFlags crawlOuter 0 aSetDebugFlags"), feOk);
  EXPECT_EQ(output(), "crawlInner \rcrawlOuter \r");
  // Without flag 0x2 no procedure carries a trace entry.
  output().clear();
  EXPECT_EQ(run("crawlOuter"), feOk);
  EXPECT_EQ(output(), "");
}

TEST_F(ExtOpsDebug, StackTracePrintsTheTracedProceduresOfTheLastError) {
  defineUser("traceOuter", procedure({execName("traceInner")}));
  defineUser("traceInner", procedure({integer(1), execName("nosuchname")}));
  EXPECT_EQ(run("2 aSetDebugFlags {traceOuter} stopped 0 aSetDebugFlags"), feOk);
  EXPECT_EQ(operands(), "1 true");
  output().clear();
  EXPECT_EQ(run("aStackTrace"), feOk);
  EXPECT_EQ(output(), "traceInner\rtraceOuter\r");
}

TEST_F(ExtOpsDebug, AHiddenNameIsReportedWithTheStackCrawl) {
  // With flag 0x20 a definition that hides a name lower on the dictionary
  // stack is logged, and the crawl (flag 0x2) shows where it happened.
  defineUser("hiddenName", integer(1));
  feObject literal;
  feMakeName(&literal, "hiddenName", 10);
  defineUser("hidingProc", procedure({literal, integer(2), execName("def")}));
  logText().clear();
  dbgSetLogHook(captureLog, nullptr);
  EXPECT_EQ(run("34 aSetDebugFlags hidingProc 0 aSetDebugFlags"), feOk);
  dbgSetLogHook(nullptr, nullptr);
  EXPECT_NE(logText().find("hiddenName: def overwritten\n"), std::string::npos) << logText();
  EXPECT_EQ(output(), "hidingProc \r");
}

TEST_F(ExtOpsInit, ContinuationsAreMadeOnceWithFixedNames) {
  const feObject* cond = feExtContinuation("@cond");
  const feObject* forall = feExtContinuation("@forallN");
  ASSERT_NE(cond, nullptr);
  ASSERT_NE(forall, nullptr);
  EXPECT_EQ(feExtContinuation("@other"), nullptr);
  const int32_t count = feOpCount();
  feExtOpsInit();
  EXPECT_EQ(feOpCount(), count);
  EXPECT_EQ(forall->w0.u & 0xFFFF, (cond->w0.u & 0xFFFF) + 1);
  EXPECT_TRUE(forall->flags & feFlagLoop);
  EXPECT_FALSE(cond->flags & feFlagLoop);
  for (const char* name : {"aCvs", "aCase", "aCond", "aGetX", "aAGetX", "known", "aMerge", "aForallN", "aForall2",
                           "aMdef", "aSetDebugFlags", "aDebugFlags", "aStackTrace", "aStackCrawl", "aCat",
                           "aLogPrint"})
    EXPECT_NE(feExtOpSpec(name), nullptr) << name;
  EXPECT_EQ(feExtOpSpec("print"), nullptr);
}

}  // namespace
