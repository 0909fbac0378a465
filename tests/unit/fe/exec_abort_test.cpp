// An abort (memory ran out) thrown from inside an operator unwinds every run
// started from native code: each fresh execution stack is released, the
// procedure frames its activations pushed are popped, a stack put aside by
// suspend is discarded, and the interpreter is back on the caller's stack
// with the entry it was executing, ready for the next run. std::bad_alloc
// from an operator takes the program's out-of-memory path and becomes the
// same abort.
#include "exec_fixture.h"

#include "core/abort.h"
#include "core/alloc_test.h"
#include "fe/output.h"
#include "fe/release.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <csignal>
#include <new>
#include <string>

namespace {

int opAbort(feArgs*) { throw uAbortSignal(SIGABRT); }
int opBadAlloc(feArgs*) { throw std::bad_alloc(); }

class ExecAbort : public ::testing::Test {
protected:
  void SetUp() override {
    execfx::start();
    if (!execfx::defined("xtAbort")) {
      feRegisterOp("xtAbort", opAbort, "", 0, 0);
      feRegisterOp("xtBadAlloc", opBadAlloc, "", 0, 0);
    }
    // A named procedure (it pushes a frame) that holds a fresh array while
    // the abort passes through it.
    execfx::defineUser("xtDeep", execfx::procedure({execfx::integer(3), execfx::execName("array"),
                                                    execfx::execName("xtAbort")}));
    uReserveTestReset();
    plTestSetMessageBoxEcho(false);
    plTestClearMessageBoxes();
    plTestClearQuit();
  }
  void TearDown() override {
    plTestClearMessageBoxes();
    plTestClearQuit();
    plTestSetMessageBoxEcho(true);
    execfx::stop();
  }
};

TEST_F(ExecAbort, AnAbortUnwindsEveryRunAndLeavesTheInterpreterAsItWas) {
  struct Case {
    const char* text;
    bool viaRunString;  // feRunString (under errorcheck) rather than feExecString
  };
  const Case cases[] = {
      {"xtAbort", false},
      {"xtDeep", false},
      {"xtDeep", true},
      {"1 dict begin (xtDeep) xtNest pop end", false},
      {"((xtDeep) xtNest pop) xtNest pop", true},
      {"(4 array xtDeep) suspend", false},
      {"(5 dict (xtDeep) xtNest) suspend", true},
      // The output sink runs on a copy of its procedure.
      {"{ pop xtDeep } aOut (text) print", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    // Run from inside an operator of an outer run, as the program's scripts
    // run texts: the outer run's stack and current entry must come back.
    feStack* const outerStack = *feExecStack();
    const int32_t execDepth = feStackCount(outerStack);
    const int32_t frames = feStackCount(*feFrameStack());
    const int32_t arrays = feArrayBodiesLive();
    const int32_t dicts = feDictBodiesLive();
    feObject* const current = feCurrentEntry();

    EXPECT_THROW(c.viaRunString ? feRunString(c.text) : feExecString(c.text), uAbortSignal);
    feStackClear(*feOperandStack());
    feDictStackInit(feSystemDict(), feUserDict());
    feOutSetSink(nullptr);

    EXPECT_EQ(*feExecStack(), outerStack);
    EXPECT_EQ(feStackCount(*feExecStack()), execDepth);
    EXPECT_EQ(feStackCount(*feFrameStack()), frames);
    EXPECT_EQ(feCurrentEntry(), current);
    EXPECT_EQ(feArrayBodiesLive(), arrays);
    EXPECT_EQ(feDictBodiesLive(), dicts);

    // The next run works, suspend included (nothing is left put aside).
    EXPECT_EQ(feExecString("(1 2 add) suspend"), feOk);
    EXPECT_EQ(execfx::operands(), "3");
    feStackClear(*feOperandStack());
  }
}

TEST_F(ExecAbort, BadAllocFromAnOperatorTakesTheOutOfMemoryPath) {
  const int32_t arrays = feArrayBodiesLive();
  EXPECT_THROW(feExecString("(xtBadAlloc) xtNest"), uAbortSignal);
  feStackClear(*feOperandStack());
  EXPECT_EQ(feArrayBodiesLive(), arrays);
  // No reserve held: the fatal alert, which asks the program to quit.
  ASSERT_EQ(plTestMessageBoxes().size(), 1u);
  EXPECT_EQ(plTestMessageBoxes()[0].text, "Out of memory.");
  int code = 0;
  EXPECT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, -1);
  EXPECT_EQ(feExecString("1 2 add"), feOk);
  EXPECT_EQ(execfx::operands(), "3");
}

}  // namespace
