#include "fe/stdops.h"

#include "attn_stub.h"
#include "exec_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace execfx;

class StdOpsTest : public ::testing::Test {
protected:
  void SetUp() override { start(); }
  void TearDown() override {
    attnstub::setAttn(0);
    stop();
  }
};

using StdOpsErrors = StdOpsTest;
using StdOpsResults = StdOpsTest;
using StdOpsArith = StdOpsTest;
using StdOpsApp = StdOpsTest;
using StdOpsRandom = StdOpsTest;
using StdOpsRegistration = StdOpsTest;

// The reference counts of the bodies on the operand stack, bottom first
// (0 for values without a body).
std::vector<uint32_t> bodyRefs() {
  std::vector<uint32_t> refs;
  const feStack* stack = *feOperandStack();
  for (int32_t depth = feStackCount(stack) - 1; depth >= 0; --depth) {
    const feObject* v = feStackIndex(stack, depth);
    switch (feType(v)) {
      case feTString: refs.push_back(v->w0.str->refs); break;
      case feTArray: refs.push_back(v->w0.arr->refs); break;
      case feTDict: refs.push_back(v->w0.dict->refs); break;
      default: refs.push_back(0);
    }
  }
  return refs;
}

// Calls the operator systemdict defines under op, as the execution loop
// would, on the operand stack as it is.
int callOp(const char* op) {
  feObject value;
  if (feDictGetName(feSystemDict(), op, &value) != feOk) {
    ADD_FAILURE() << op << " is not defined";
    return -1;
  }
  const int rc = feCallOp(&value);
  feFree(&value);
  return rc;
}

// Runs setup on an empty operand stack, then calls op.
int callOp(const char* setup, const char* op) {
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString(setup), feOk) << setup;
  return callOp(op);
}

struct ErrorCase {
  const char* setup;
  const char* op;
  int code;
};

// Every failing call answers its code and leaves the operand stack exactly as
// it was: the same values, and no reference taken or dropped.
void expectErrors(const ErrorCase* cases, size_t n) {
  for (size_t k = 0; k < n; ++k) {
    const ErrorCase& c = cases[k];
    SCOPED_TRACE(std::string(c.setup) + " " + c.op);
    feStackClear(*feOperandStack());
    ASSERT_EQ(feExecString(c.setup), feOk);
    const std::string before = operands();
    const std::vector<uint32_t> refs = bodyRefs();
    EXPECT_EQ(callOp(c.op), c.code);
    EXPECT_EQ(operands(), before);
    EXPECT_EQ(bodyRefs(), refs);
  }
}

TEST_F(StdOpsErrors, StackOperatorsLeaveTheStackAsItWas) {
  const ErrorCase cases[] = {
      // The count or index is measured against the operands left below it.
      {"1 2 3", "copy", feErrStackUnderflow},
      {"1 2 -1", "copy", feErrRangeCheck},
      {"(ab)", "copy", feErrStackUnderflow},
      {"1 (ab)", "copy", feErrTypeCheck},
      {"(abc) (ab)", "copy", feErrRangeCheck},
      {"<< /a 1 >> << /b 2 >>", "copy", feErrRangeCheck},   // only into an empty dictionary
      {"(ab) 1.5", "copy", feErrTypeCheck},
      {"1 2 2", "index", feErrRangeCheck},
      {"1 2 -1", "index", feErrRangeCheck},
      {"", "index", feErrStackUnderflow},
      {"1 2 3 1", "roll", feErrRangeCheck},
      {"1 2 -1 1", "roll", feErrRangeCheck},
      {"1", "roll", feErrStackUnderflow},
      {"1 2", "cleartomark", feErrUnmatchedMark},
      {"1 2", "counttomark", feErrUnmatchedMark},
      {"{add} 1 2", "APP", feErrUnmatchedMark},
      {"mark 1 2", "APP", feErrStackUnderflow},
      {"5 mark 1 2", "APP", feErrTypeCheck},
      {"[1 2] mark", "APP", feErrTypeCheck},   // a literal array is no procedure
  };
  expectErrors(cases, std::size(cases));
}

TEST_F(StdOpsErrors, ArithmeticAndMathLeaveTheStackAsItWas) {
  const ErrorCase cases[] = {
      {"1", "add", feErrStackUnderflow},
      {"1 (a)", "sub", feErrTypeCheck},
      {"[1 2] [3]", "add", feErrLengthCheck},
      {"[1 [2 3]] [1 [2]]", "mul", feErrLengthCheck},
      {"[1 (x)] [1 2]", "add", feErrTypeCheck},
      {"1 0", "div", feErrUndefinedResult},
      {"[1 [2 0]] [1 [1 0]]", "div", feErrUndefinedResult},
      {"1e300 1e300", "mul", feErrUndefinedResult},
      {"1e999 0", "add", feErrUndefinedResult},   // a scanned infinity does not spread
      {"0 -1", "exp", feErrUndefinedResult},
      {"-8 0.5", "exp", feErrUndefinedResult},
      {"1000 1000", "exp", feErrUndefinedResult},
      {"0", "ln", feErrRangeCheck},
      {"-1", "log", feErrRangeCheck},
      {"(x)", "ln", feErrTypeCheck},
      {"7 0", "idiv", feErrRangeCheck},
      {"-2147483648 -1", "idiv", feErrRangeCheck},
      {"7 0", "mod", feErrUndefinedResult},
      {"-2147483648 -1", "mod", feErrRangeCheck},
      {"7.5 2", "mod", feErrTypeCheck},
      {"5.0 -2.0", "fmod", feErrUndefined},
      {"5 0.000000001", "fmod", feErrUndefined},
      {"-0.5", "sqrt", feErrRangeCheck},
      {"1e308", "sin", feErrUndefinedResult},
      {"(x)", "abs", feErrTypeCheck},
      {"null", "round", feErrTypeCheck},
      {"1e999", "floor", feErrUndefinedResult},
      {"1.5", "srand", feErrTypeCheck},
  };
  expectErrors(cases, std::size(cases));
}

TEST_F(StdOpsErrors, RelationalConversionAndStringOperatorsLeaveTheStackAsItWas) {
  const ErrorCase cases[] = {
      {"(a) 1", "lt", feErrTypeCheck},
      {"/a (a)", "ge", feErrTypeCheck},
      {"1 true", "and", feErrTypeCheck},
      {"1.0 1", "xor", feErrTypeCheck},
      {"(x)", "not", feErrTypeCheck},
      {"1 1.5", "bitshift", feErrTypeCheck},
      {"1", "cvp", feErrTypeCheck},
      {"2147483648.0", "cvi", feErrRangeCheck},
      {"-2147483649.0", "cvi", feErrRangeCheck},
      {"(9999999999)", "cvi", feErrRangeCheck},
      {"(abc)", "cvi", feErrTypeCheck},
      {"(\\()", "cvi", feErrSyntax},
      {"()", "cvi", feErrEof},
      {"true", "cvr", feErrTypeCheck},
      {"(1e999)", "cvr", feErrUndefinedResult},
      {"255 16 (x)", "cvrs", feErrRangeCheck},
      {"255 1 (xxxx)", "cvrs", feErrRangeCheck},
      {"255 37 (xxxx)", "cvrs", feErrRangeCheck},
      {"255 16 5", "cvrs", feErrTypeCheck},
      {"(abc) 16 (xxxx)", "cvrs", feErrTypeCheck},
      {"-1", "string", feErrRangeCheck},
      {"32768", "string", feErrRangeCheck},
      {"(abc) /b", "search", feErrTypeCheck},
      {"1 (a)", "anchorsearch", feErrTypeCheck},
      {"null", "length", feErrUnimplemented},
      {"(abc)", "maxlength", feErrUnimplemented},
      {"(abc) 2 2", "getinterval", feErrRangeCheck},
      {"(abc) 2 (xy)", "putinterval", feErrRangeCheck},
      {"1", "echo", feErrTypeCheck},
  };
  expectErrors(cases, std::size(cases));
}

struct ResultCase {
  const char* text;
  const char* expected;   // the operand stack afterwards, as == prints it
};

void expectResults(const ResultCase* cases, size_t n) {
  for (size_t k = 0; k < n; ++k) {
    const ResultCase& c = cases[k];
    SCOPED_TRACE(c.text);
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(c.text), feOk);
    EXPECT_EQ(operands(), c.expected);
  }
}

TEST_F(StdOpsResults, StackOperatorsOnTheWholeStack) {
  const ResultCase cases[] = {
      {"1 2 3 3 copy", "1 2 3 1 2 3"},
      {"1 2 0 copy", "1 2"},
      {"1 2 3 2 index", "1 2 3 1"},
      {"1 2 3 4 5 5 2 roll", "4 5 1 2 3"},
      {"1 2 3 3 -4 roll", "2 3 1"},
      {"1 2 3 count", "1 2 3 3"},
      {"count", "0"},
      {"1 2 clear", ""},
      {"1 mark 2 [ 3 << 4 counttomark", "1 -mark- 2 -mark- 3 -mark- 4 1"},
      {"1 mark 2 mark 3 cleartomark", "1 -mark- 2"},
      {"(abc) 5 string copy", "(abc)"},
  };
  expectResults(cases, std::size(cases));
}

TEST_F(StdOpsResults, CopyAcrossAGrowingStackAndAtItsLimit) {
  // 30 copied onto 30 makes the stack grow while the copies are read.
  ASSERT_EQ(feExecString("0 1 29 {} for 30 copy"), feOk);
  const feStack* stack = *feOperandStack();
  ASSERT_EQ(feStackCount(stack), 60);
  for (int32_t depth : {0, 29, 30, 59}) EXPECT_EQ(feStackIndex(stack, depth)->w0.i, 29 - depth % 30);

  // Copies that would pass the stack's largest size are all taken back.
  feStackClear(*feOperandStack());
  for (int32_t k = 0; k < 20000; ++k) {
    const feObject v = integer(k);
    ASSERT_EQ(fePush(feOperandStack(), &v), feOk);
  }
  feObject n = integer(20000);
  ASSERT_EQ(fePush(feOperandStack(), &n), feOk);
  EXPECT_EQ(callOp("copy"), feErrLimitCheck);
  EXPECT_EQ(feStackCount(*feOperandStack()), 20001);
  EXPECT_EQ(feStackIndex(*feOperandStack(), 1)->w0.i, 19999);
}

TEST_F(StdOpsResults, NumbersKeepTheirTypes) {
  const ResultCase cases[] = {
      {"2147483647 1 add", "2147483648."},
      {"-2147483648 -1 add", "-2147483649."},
      {"-2147483647 1 sub", "-2147483648"},
      {"46341 46341 mul", "2147488281."},
      {"46340 46340 mul", "2147395600"},
      {"4 2 div", "2."},
      {"3 2 div", "1.5"},
      {"1 2.0 add", "3."},
      {"-2147483648 abs -2147483648 neg", "2147483648. 2147483648."},
      {"7 round 7.5 round -7.5 round", "7 8. -7."},
      {"0 0 atan dup type", "0 realtype"},
  };
  expectResults(cases, std::size(cases));
}

TEST_F(StdOpsResults, AtanAnswersFrom0UpTo360) {
  // A negative zero angle is 0, and a tiny negative angle, which would round
  // to 360 itself, is 0 as well.
  for (const char* setup : {"-0.0 1", "-1e-300 1", "0 0"}) {
    SCOPED_TRACE(setup);
    ASSERT_EQ(callOp(setup, "atan"), feOk);
    const feObject* angle = feStackIndex(*feOperandStack(), 0);
    ASSERT_EQ(feType(angle), feTReal);
    EXPECT_EQ(angle->w0.d, 0.0);
    EXPECT_FALSE(std::signbit(angle->w0.d));
  }
}

TEST_F(StdOpsResults, SearchResultsShareTheBodyAndHoldTheirOwnReferences) {
  ASSERT_EQ(feExecString("(abcdef) (cd) search"), feOk);
  EXPECT_EQ(operands(), "(ef) (cd) (ab) true");
  // Three parts of one body, each holding a reference; the operands' own
  // references were released.
  const feObject* post = feStackIndex(*feOperandStack(), 3);
  const feObject* pre = feStackIndex(*feOperandStack(), 1);
  EXPECT_EQ(post->w0.str, pre->w0.str);
  EXPECT_EQ(post->w0.str->refs, 3u);
}

TEST_F(StdOpsArith, ArraysThatHoldThemselvesEndWithLimitcheck) {
  // Directly, through a sub-array of itself, and two levels deep; each would
  // otherwise recurse without end.
  const ErrorCase cases[] = {
      {"/selfA 1 array def selfA 0 selfA put selfA selfA", "add", feErrLimitCheck},
      {"/selfB 2 array def selfB 0 selfB put selfB 1 selfB put selfB dup", "mul", feErrLimitCheck},
      {"/selfC [1 null] def selfC 1 selfC 1 1 getinterval put selfC selfC", "sub", feErrLimitCheck},
      {"/selfD [null] def /selfE [selfD] def selfD 0 selfE put selfE selfD", "add", feErrLimitCheck},
  };
  expectErrors(cases, std::size(cases));
  // Break the cycles, so that the arrays are freed.
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("selfA 0 null put selfB 0 null put selfB 1 null put selfC 1 null put selfD 0 null put"),
            feOk);
}

TEST_F(StdOpsArith, NestingIsBoundedAndSharedArraysAreNoCycle) {
  // 200 levels combine; 300 levels end with limitcheck instead of a native
  // stack overflow.
  ASSERT_EQ(feExecString("/n200 [1] def 199 {/n200 [n200] def} repeat n200 n200 add"), feOk);
  EXPECT_EQ(feStackCount(*feOperandStack()), 1);
  feStackClear(*feOperandStack());
  ASSERT_EQ(feExecString("/n300 [1] def 299 {/n300 [n300] def} repeat"), feOk);
  EXPECT_EQ(callOp("n300 n300", "add"), feErrLimitCheck);

  // One array met twice side by side is not a cycle.
  feStackClear(*feOperandStack());
  ASSERT_EQ(feExecString("/shared [1 2] def [shared shared] [shared shared] add"), feOk);
  EXPECT_EQ(operands(), "[[2 4 ] [2 4 ] ]");
}

TEST_F(StdOpsArith, AnInterruptStopsArrayArithmetic) {
  attnstub::setAttn(1);
  EXPECT_EQ(callOp("[1 2] [3 4]", "add"), feErrInterrupt);
  attnstub::setAttn(0);
  EXPECT_EQ(operands(), "[1 2 ] [3 4 ]");
}

TEST_F(StdOpsApp, RunsTheProcedureAndRemovesItsMark) {
  const ResultCase cases[] = {
      {"0 {add} mark 1 2 APP", "0 3"},
      {"{} mark APP", ""},
      {"{mark 5} mark APP", "-mark- 5"},   // a mark the procedure leaves is its result
      {"{{add} mark 3 4 APP 10 mul} mark APP", "70"},
      {"{1 2 3} mark 9 APP", "9 1 2 3"},
  };
  expectResults(cases, std::size(cases));

  // Without its mark the continuation fails, and it is the offending command.
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("{{cleartomark} mark 1 APP} stopped $error /command get"), feOk);
  EXPECT_EQ(operands(), "true --@app--");
  // Errors inside the procedure leave the continuation and its state behind
  // on the unwound execution stack, not on the operand stack.
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("{{nosuch} mark 1 APP} stopped pop count"), feOk);
  EXPECT_EQ(operands(), "-mark- 1 2");
}

TEST_F(StdOpsApp, TheContinuationIsMadeAtStartAndDefinedNowhere) {
  const feObject* app = feAppContinuation();
  ASSERT_NE(app, nullptr);
  const feObject* lastControl = feContinuation("@dictforall");
  ASSERT_NE(lastControl, nullptr);
  EXPECT_EQ(app->w0.u & 0xFFFF, (lastControl->w0.u & 0xFFFF) + 1);
  feStdOpsInit();
  EXPECT_EQ(feAppContinuation()->w0.u, app->w0.u);
  feObject v;
  EXPECT_EQ(feDictGetName(feSystemDict(), "@app", &v), feErrUndefined);
}

TEST_F(StdOpsRandom, TheSequenceAfterOneSrandIsFixed) {
  ASSERT_EQ(feExecString("1 srand rand rand rrand"), feOk);
  EXPECT_EQ(operands(), "377373126 1147873153 -999580867");
  EXPECT_EQ(feRandSeed(), 3295386429u);
  feStackClear(*feOperandStack());
  ASSERT_EQ(feExecString("1 srand rand rrand"), feOk);
  EXPECT_EQ(operands(), "377373126 -1770082073");
}

TEST_F(StdOpsRegistration, EveryOperatorIsDefinedWithItsHandler) {
  const char* const names[] = {
      "copy", "index", "roll", "clear", "count", "mark", "[", "<<", "cleartomark", "counttomark", "APP",
      "add", "sub", "mul", "div", "exp", "ln", "log", "idiv", "mod", "fmod", "sqrt", "atan", "sin", "cos",
      "abs", "neg", "ceiling", "floor", "round", "truncate", "rand", "rrand", "srand", "eq", "ne", "lt",
      "le", "gt", "ge", "and", "or", "xor", "not", "bitshift", "cvx", "cvlit", "cvp", "xcheck", "cvi", "cvr",
      "cvrs", "string", "anchorsearch", "search", "length", "maxlength", "getinterval", "putinterval",
      "flush", "echo"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const feOpSpec* spec = feStdOpSpec(name);
    ASSERT_NE(spec, nullptr);
    feObject v;
    ASSERT_EQ(feDictGetName(feSystemDict(), name, &v), feOk);
    ASSERT_EQ(feType(&v), feTOperator);
    EXPECT_TRUE(feIsExec(&v));
    const feOperator* entry = feOpEntry(int32_t(v.w0.u & 0xFFFF));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->handler, spec->handler);
  }
  EXPECT_EQ(feStdOpSpec("dup"), nullptr);
}

}  // namespace
