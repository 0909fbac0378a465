#include "fe/error.h"

#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/error_test.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/init.h"
#include "fe/names.h"
#include "fe/operator.h"
#include "fe/output.h"
#include "fe/quit.h"
#include "fe/stack.h"
#include "fe/strings.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string output;
void capture(void*, const char* text, size_t length) { output.append(text, length); }

// The code the test operator errTestRaise answers.
int raiseCode = 0;
int raise(feArgs*) { return raiseCode; }

class ErrorTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(feInitFresh(), feOk);
    // Other suites of this executable may have rebuilt the dictionary stack.
    feDictStackInit(feSystemDict(), feUserDict());
    feErrorTestResetHandlers();
    feStackClear(*feOperandStack());
    output.clear();
    feSetOutHook(capture, nullptr);
  }
  void TearDown() override {
    feSetOutHook(nullptr, nullptr);
    feErrorTestResetHandlers();
    feStackClear(*feOperandStack());
  }
};

using ErrorReport = ErrorTest;
using ErrorRecord = ErrorTest;
using ErrorHandlers = ErrorTest;
using ErrorQuit = ErrorTest;

// $error's entry under key (a copy the caller releases).
feObject recorded(const char* key) {
  feObject v;
  EXPECT_EQ(feDictGetName(feErrorRecordDict(), key, &v), feOk) << key;
  return v;
}

std::string nameText(const feObject& v) {
  if (feType(&v) != feTName) return "<not a name>";
  const char* text = nullptr;
  size_t length = 0;
  feNameText(&v, &text, &length);
  return std::string(text, length);
}

std::string operatorName(const feObject& v) {
  if (feType(&v) != feTOperator) return "<not an operator>";
  const char* text = nullptr;
  size_t length = 0;
  feOpNameText(int32_t(v.w0.u & 0xFFFF), &text, &length);
  return std::string(text, length);
}

// The value userdict holds under key, or null when undefined.
feObject userValue(const char* key) {
  feObject v;
  if (feDictGetName(feUserDict(), key, &v) != feOk) feMakeNull(&v);
  return v;
}

void registerRaise() {
  feObject op;
  if (feDictGetName(feSystemDict(), "errTestRaise", &op) == feOk) return;
  ASSERT_EQ(feRegisterOp("errTestRaise", raise, "", 0, 0), feOk);
}

TEST_F(ErrorReport, UndefinedNameThroughRunStringPrintsOneExactLineAndLeavesTheOperandsAsTheyWere) {
  feObject sentinel;
  feMakeInt(&sentinel, 42);
  ASSERT_EQ(fePush(feOperandStack(), &sentinel), feOk);
  const uint32_t reportsBefore = feErrorReportCount();

  EXPECT_EQ(feRunString("nosuchReport"), feErrUndefined);
  EXPECT_EQ(output, "%%[ Error: undefined; OffendingCommand: nosuchReport ]%%\r");
  EXPECT_EQ(feErrorReportCount(), reportsBefore + 1);
  // recorderror consumed the command and the error name that feError pushed.
  ASSERT_EQ(feStackCount(*feOperandStack()), 1);
  EXPECT_EQ(feGetInt(feStackIndex(*feOperandStack(), 0)), 42);

  // The report is printed once per error.
  output.clear();
  EXPECT_EQ(feRunString("handleerror"), feOk);
  EXPECT_EQ(output, "");
  EXPECT_EQ(feErrorReportCount(), reportsBefore + 1);
  feObject fresh = recorded("newerror");
  EXPECT_EQ(feEq(&fresh, feFalse()), feOk);
}

TEST_F(ErrorReport, ExecStringAnswersTheSameCodeWithoutAReport) {
  const uint32_t reportsBefore = feErrorReportCount();
  EXPECT_EQ(feExecString("nosuchQuiet"), feErrUndefined);
  EXPECT_EQ(output, "");
  EXPECT_EQ(feErrorReportCount(), reportsBefore);
  // The error is recorded all the same and waits for a handleerror.
  feObject fresh = recorded("newerror");
  EXPECT_EQ(feEq(&fresh, feTrue()), feOk);
  EXPECT_EQ(feStackCount(*feOperandStack()), 0);

  EXPECT_EQ(feRunString("handleerror"), feOk);
  EXPECT_EQ(output, "%%[ Error: undefined; OffendingCommand: nosuchQuiet ]%%\r");
}

TEST_F(ErrorReport, TheOffendingOperatorIsPrintedByItsName) {
  EXPECT_EQ(feRunString("(text) begin"), feErrTypeCheck);
  EXPECT_EQ(output, "%%[ Error: typecheck; OffendingCommand: begin ]%%\r");
  // The operator's signature machine put its operand back.
  ASSERT_EQ(feStackCount(*feOperandStack()), 1);
  EXPECT_EQ(feType(feStackIndex(*feOperandStack(), 0)), feTString);
}

TEST_F(ErrorRecord, HoldsNameCommandAndSnapshotsOfTheStacksBottomFirst) {
  EXPECT_EQ(feExecString("1 (two) nosuchRecord"), feErrUndefined);

  feObject name = recorded("errorname");
  EXPECT_EQ(nameText(name), "undefined");
  EXPECT_FALSE(feIsExec(&name));
  feObject command = recorded("command");
  EXPECT_EQ(nameText(command), "nosuchRecord");
  EXPECT_TRUE(feIsExec(&command));

  feObject ostack = recorded("ostack");
  ASSERT_EQ(feType(&ostack), feTArray);
  ASSERT_EQ(feArrayLength(&ostack), 2);
  EXPECT_EQ(feGetInt(feArrayElem(&ostack, 0)), 1);
  uint8_t* bytes = nullptr;
  uint16_t length = 0;
  feStringData(feArrayElem(&ostack, 1), &bytes, &length);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), length), "two");
  feFree(&ostack);

  feObject dstack = recorded("dstack");
  ASSERT_EQ(feArrayLength(&dstack), 2);
  EXPECT_EQ(feEq(feArrayElem(&dstack, 0), feSystemDict()), feOk);
  EXPECT_EQ(feEq(feArrayElem(&dstack, 1), feUserDict()), feOk);
  feFree(&dstack);

  // recorderror itself is on top of the execution stack it copies.
  feObject estack = recorded("estack");
  ASSERT_GE(feArrayLength(&estack), 1);
  EXPECT_EQ(operatorName(*feArrayElem(&estack, feArrayLength(&estack) - 1)), "recorderror");
  feFree(&estack);

  // The stop found no stopped: the run ended, the operands stayed.
  EXPECT_EQ(feStackCount(*feOperandStack()), 2);
}

TEST_F(ErrorRecord, CodesAreRecordedUnderTheirNamesOrAsIntegers) {
  registerRaise();
  struct Case {
    int code;
    const char* name;   // null: recorded as the integer code
  };
  const Case cases[] = {
      {259, "eof"},           {260, "syntaxerror"},    {261, "notanumber"},       {262, "unmatchedmark"},
      {263, "stackunderflow"}, {264, nullptr},         {265, "undefined"},        {266, "dictfull"},
      {267, "rangecheck"},    {268, nullptr},          {269, "typecheck"},        {270, "limitcheck"},
      {271, "invalidfilename"}, {272, "invalidfileaccess"}, {273, "ioerror"},     {274, "undefinedresult"},
      {275, "unimplemented"}, {276, "invalidexit"},    {277, "interrupt"},        {278, "dictstackunderflow"},
      {279, "invalidaccess"}, {280, "lengthcheck"},    {-9001, nullptr},          {1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    if (c.name) {
      ASSERT_NE(feErrorName(c.code), nullptr);
      EXPECT_STREQ(feErrorName(c.code), c.name);
    } else {
      EXPECT_EQ(feErrorName(c.code), nullptr);
    }
    raiseCode = c.code;
    EXPECT_EQ(feExecString("errTestRaise"), c.code);
    feObject name = recorded("errorname");
    if (c.name) {
      EXPECT_EQ(nameText(name), c.name);
    } else {
      ASSERT_EQ(feType(&name), feTInt);
      EXPECT_EQ(feGetInt(&name), c.code);
    }
    feObject command = recorded("command");
    EXPECT_EQ(operatorName(command), "errTestRaise");
  }

  // A code without a name is reported by its number.
  raiseCode = -9002;
  EXPECT_EQ(feRunString("errTestRaise"), -9002);
  EXPECT_EQ(output, "%%[ Error: -9002; OffendingCommand: errTestRaise ]%%\r");
}

TEST_F(ErrorRecord, AFullOperandStackStillHandsCommandAndNameToRecorderror) {
  plTestSetMessageBoxEcho(false);  // the stack's overflow panic
  feStack** operands = feOperandStack();
  feObject one;
  feMakeInt(&one, 1);
  while (fePush(operands, &one) == feOk) feStackDropPrevious(*operands);

  EXPECT_EQ(feExecString("nosuchWhenFull"), feErrUndefined);
  feObject name = recorded("errorname");
  EXPECT_EQ(nameText(name), "undefined");
  feObject command = recorded("command");
  EXPECT_EQ(nameText(command), "nosuchWhenFull");
  // The operands were dropped to make room; recorderror took the two it got.
  EXPECT_EQ(feStackCount(*operands), 0);
  feStackDropPrevious(*operands);
  plTestReset();
}

TEST_F(ErrorHandlers, AnErrordictHandlerReceivesTheOffendingCommandAndExecutionGoesOn) {
  ASSERT_EQ(feRunString("errordict /typecheck {/seenByTypecheck exch def} put"), feOk);
  const uint32_t reportsBefore = feErrorReportCount();

  // The run answers the error it met although a handler took it.
  EXPECT_EQ(feRunString("(x) begin /afterTypecheck true def"), feErrTypeCheck);
  EXPECT_EQ(output, "");
  EXPECT_EQ(feErrorReportCount(), reportsBefore);
  feObject seen = userValue("seenByTypecheck");
  EXPECT_EQ(operatorName(seen), "begin");
  feObject after = userValue("afterTypecheck");
  EXPECT_EQ(feEq(&after, feTrue()), feOk);
  ASSERT_EQ(feStackCount(*feOperandStack()), 1);   // (x), back from the failed begin
  EXPECT_EQ(feType(feStackIndex(*feOperandStack(), 0)), feTString);

  // Every typecheck goes there.
  feStackClear(*feOperandStack());
  EXPECT_EQ(feRunString("/seenByTypecheck 0 def 5 begin"), feErrTypeCheck);
  seen = userValue("seenByTypecheck");
  EXPECT_EQ(operatorName(seen), "begin");
}

TEST_F(ErrorHandlers, ACodeWithoutANameIsLookedUpByItsNumber) {
  registerRaise();
  ASSERT_EQ(feRunString("errordict -9003 {/seenByCode exch def} put"), feOk);
  raiseCode = -9003;
  EXPECT_EQ(feRunString("errTestRaise"), -9003);
  EXPECT_EQ(output, "");
  feObject seen = userValue("seenByCode");
  EXPECT_EQ(operatorName(seen), "errTestRaise");
}

TEST_F(ErrorHandlers, TheHandleerrorOperatorRunsWhatErrordictHoldsUnderItsName) {
  ASSERT_EQ(feRunString("errordict /handleerror {/customReport true def} put"), feOk);
  EXPECT_EQ(feRunString("nosuchCustom"), feErrUndefined);
  EXPECT_EQ(output, "");
  feObject ran = userValue("customReport");
  EXPECT_EQ(feEq(&ran, feTrue()), feOk);
}

int quitRoutineRuns = 0;

TEST_F(ErrorQuit, QuitRunsTheAtQuitRoutinesThenPostsTheQuitRequest) {
  plTestReset();
  quitRoutineRuns = 0;
  feAtQuit([] { ++quitRoutineRuns; });
  EXPECT_EQ(feRunString("quit"), feOk);
  EXPECT_EQ(quitRoutineRuns, 1);
  int code = -1;
  EXPECT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, 0);
  EXPECT_EQ(output, "");
  plTestReset();
}

}  // namespace
