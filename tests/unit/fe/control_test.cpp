#include "fe/control.h"

#include "core/classes.h"
#include "exec_fixture.h"

#include <gtest/gtest.h>

#include <iterator>
#include <limits>
#include <string>

namespace {

using namespace execfx;

class ControlTest : public ::testing::Test {
protected:
  void SetUp() override { start(); }
  void TearDown() override { stop(); }
};

using ControlOps = ControlTest;
using ControlLoops = ControlTest;
using ControlUnwind = ControlTest;
using ControlForall = ControlTest;
using ControlContinuations = ControlTest;

struct Case {
  const char* text;
  int result;
  const char* expected;   // the operand stack afterwards; null: not checked
};

void runTable(const Case* cases, size_t n) {
  for (size_t k = 0; k < n; ++k) {
    const Case& c = cases[k];
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(c.text), c.result) << c.text;
    if (c.expected) {
      EXPECT_EQ(operands(), c.expected) << c.text;
    }
  }
}

TEST_F(ControlOps, BranchesAndExec) {
  const Case cases[] = {
      {"true {1} if", feOk, "1"},
      {"false {1} if", feOk, ""},
      {"true {1} {2} ifelse", feOk, "1"},
      {"false {1} {2} ifelse", feOk, "2"},
      // A literal branch is pushed as it is.
      {"true 5 if", feOk, "5"},
      {"1 {1} if", feErrTypeCheck, nullptr},
      {"{1} if", feErrStackUnderflow, nullptr},
      {"{7} exec", feOk, "7"},
      {"/x exec 3 exec (s) exec", feOk, "/x 3 (s)"},
  };
  runTable(cases, std::size(cases));
}

TEST_F(ControlOps, ExecstackAndCountexecstack) {
  // The run's string is gone once its last token is read: the operator is
  // alone on the execution stack.
  EXPECT_EQ(feExecString("countexecstack"), feOk);
  EXPECT_EQ(operands(), "1");
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("{5 array execstack} exec"), feOk);
  ASSERT_EQ(feStackCount(*feOperandStack()), 1);
  const feObject* copy = feStackIndex(*feOperandStack(), 0);
  ASSERT_EQ(feArrayLength(copy), 2);   // the procedure, then execstack itself
  EXPECT_EQ(feType(feArrayElem(copy, 0)), feTArray);
  EXPECT_EQ(feType(feArrayElem(copy, 1)), feTOperator);
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("{0 array execstack} exec"), feErrRangeCheck);
}

TEST_F(ControlLoops, RepeatAndLoop) {
  const Case cases[] = {
      {"0 {9} repeat", feOk, ""},
      {"3 {9} repeat", feOk, "9 9 9"},
      {"-1 {9} repeat", feErrRangeCheck, nullptr},
      {"2 5 repeat", feErrTypeCheck, nullptr},
      {"1 {1 exit 2} loop 3", feOk, "1 1 3"},
      {"5 {exit} repeat 6", feOk, "6"},
      {"5 loop", feErrTypeCheck, nullptr},
  };
  runTable(cases, std::size(cases));
}

TEST_F(ControlLoops, For) {
  const Case cases[] = {
      {"1 1 3 {} for", feOk, "1 2 3"},
      {"3 -1 1 {} for", feOk, "3 2 1"},
      {"1 1 0 {} for", feOk, ""},
      {"1 0.5 2 {} for", feOk, "1. 1.5 2."},
      // A real anywhere makes every value real.
      {"1 1 2.5 {} for", feOk, "1. 2."},
      {"0.5 1 2 {} for", feOk, "0.5 1.5"},
      // Near the ends of the integer range the loop still ends.
      {"2147483646 1 2147483647 {} for", feOk, "2147483646 2147483647"},
      {"-2147483647 -1 -2147483648 {} for", feOk, "-2147483647 -2147483648"},
      {"2147483640 100 2147483647 {} for", feOk, "2147483640"},
      {"1 1 5 {exit} for 7", feOk, "1 7"},
      {"1 1 3 5 for", feErrTypeCheck, nullptr},
      {"1 (a) 3 {} for", feErrTypeCheck, nullptr},
  };
  runTable(cases, std::size(cases));
}

TEST_F(ControlLoops, RealForWithANaNEnds) {
  feObject proc = procedure({real(std::numeric_limits<double>::quiet_NaN()), real(1), real(3),
                             procedure({}), execName("for"), integer(4)});
  EXPECT_EQ(feExecObject(&proc), feOk);
  EXPECT_EQ(operands(), "4");
  feFree(&proc);
}

TEST_F(ControlUnwind, StoppedExitAndStop) {
  const Case cases[] = {
      {"{1} stopped", feOk, "1 false"},
      {"{1 stop 2} stopped", feOk, "1 true"},
      {"{exit} stopped", feOk, "true"},
      {"{{1 stop} loop} stopped 3", feOk, "1 true 3"},
      {"{{exit} stopped exit} loop 3", feOk, "true 3"},
      {"exit", feErrInvalidExit, nullptr},
      {"{exit} exec", feErrInvalidExit, nullptr},
      // stop without stopped ends the run quietly.
      {"1 stop 2", feOk, "1"},
  };
  runTable(cases, std::size(cases));
}

TEST_F(ControlUnwind, ALoopLeftByStopOrAnErrorReleasesItsState) {
  defineUser("xtBody", procedure({execName("stop")}));
  defineUser("xtBadBody", procedure({execName("xtNoSuchName")}));
  feObject key;
  feMakeName(&key, "xtBody", 6);
  feObject body;
  ASSERT_EQ(feLoad(&key, &body), feOk);
  const uint32_t refs = body.w0.arr->refs;

  // The loop's five entries are gone once stopped has its answer: the
  // execution stack is as deep as before and the body's extra copies are
  // released.
  EXPECT_EQ(feExecString("{countexecstack {1 1 3 /xtBody load for} stopped countexecstack} exec"), feOk);
  EXPECT_EQ(operands(), "2 1 true 2");
  EXPECT_EQ(body.w0.arr->refs, refs);

  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("{{1 1 3 /xtBadBody load for} stopped countexecstack} exec"), feOk);
  // (The record of the error in $error keeps its own copies of the stacks.)
  EXPECT_EQ(feGetInt(feStackIndex(*feOperandStack(), 0)), 2);
  EXPECT_TRUE(feGetBool(feStackIndex(*feOperandStack(), 1)));
  feFree(&body);
}

TEST_F(ControlUnwind, UnwindToWithoutAMarkerChangesNothing) {
  feStack* saved = nullptr;
  ASSERT_EQ(feExecStackPush(&saved), feOk);
  feObject entry = integer(1);
  fePush(feExecStack(), &entry);
  EXPECT_EQ(feUnwindTo(feFlagLoop, feFlagTerminated), feErrInvalidExit);
  ASSERT_EQ(feStackCount(*feExecStack()), 1);
  EXPECT_EQ(feExecTop()->flags, entry.flags);
  feExecStackRestore(saved);
}

TEST_F(ControlForall, OverEachType) {
  const Case cases[] = {
      {"(ab) {} forall", feOk, "97 98"},
      {"() {1} forall", feOk, ""},
      {"(abc) {exit} forall", feOk, "97"},
      {"1 2 3 3 array astore {} forall", feOk, "1 2 3"},
      {"1 dict dup /k 5 put {} forall", feOk, "/k 5"},
      {"1 dict {1} forall", feOk, ""},
      {"(ab) 5 forall", feErrTypeCheck, nullptr},
      {"5 {} forall", feErrUnimplemented, nullptr},
  };
  runTable(cases, std::size(cases));
}

TEST_F(ControlForall, ADictionaryIsWalkedSlotBySlot) {
  // Every used slot once, with the procedure seeing each key and value.
  EXPECT_EQ(feExecString("20 dict dup /a 1 put dup /b 2 put dup /c 3 put {} forall"), feOk);
  std::string seen = operands();
  for (const char* pair : {"/a 1", "/b 2", "/c 3"}) EXPECT_NE(seen.find(pair), std::string::npos) << pair;
  EXPECT_EQ(feStackCount(*feOperandStack()), 6);
}

// A program object that answers forall (message 119) by noting the
// procedure it was given.
struct ForallRecord {
  feObjRecord head;
  int32_t procedureLength;
};

int forallHandler(void* object, int message, intptr_t a, intptr_t, intptr_t) {
  if (message != feMsgForall) return objNotHandled;
  const auto* proc = reinterpret_cast<const feObject*>(a);
  static_cast<ForallRecord*>(object)->procedureLength = feIsExec(proc) ? feArrayLength(proc) : -1;
  return feOk;
}

TEST_F(ControlForall, AProgramObjectGetsTheProcedure) {
  static const uint16_t classId = objClassRegister("xtfa", 0, forallHandler);
  static ForallRecord record;
  record = ForallRecord{{classId, feObjPermanent}, 0};
  feObject object;
  feMakeObjRef(&object, &record);
  feObject proc = procedure({integer(1), integer(2)});
  fePush(feOperandStack(), &object);
  fePush(feOperandStack(), &proc);
  EXPECT_EQ(feExecString("forall"), feOk);
  EXPECT_EQ(record.procedureLength, 2);
  EXPECT_EQ(feStackCount(*feOperandStack()), 0);
}

TEST_F(ControlContinuations, MadeOnceInAFixedOrder) {
  feControlInit();
  const char* const names[] = {"stop", "@stopped", "@loop", "@repeat", "@rfor",
                               "@ifor", "@st", "@stringforall", "@arrayforall", "@dictforall"};
  const feObject* first = feContinuation(names[0]);
  ASSERT_NE(first, nullptr);
  for (int i = 0; i < int(std::size(names)); ++i) {
    const feObject* c = feContinuation(names[i]);
    ASSERT_NE(c, nullptr) << names[i];
    EXPECT_EQ(feType(c), feTOperator);
    EXPECT_EQ(int32_t(c->w0.u & 0xFFFF), int32_t(first->w0.u & 0xFFFF) + i) << names[i];
    EXPECT_TRUE(feIsExec(c)) << names[i];
    const bool loop = names[i][0] == '@' && std::string(names[i]) != "@stopped" && std::string(names[i]) != "@st";
    EXPECT_EQ((c->flags & feFlagLoop) != 0, loop) << names[i];
    EXPECT_EQ((c->flags & feFlagStopped) != 0, std::string(names[i]) == "@stopped") << names[i];
  }
  const int32_t count = feOpCount();
  feControlInit();
  EXPECT_EQ(feOpCount(), count);
  EXPECT_EQ(feContinuation("@nothing"), nullptr);
}

TEST_F(ControlContinuations, EveryOperatorHasItsRegistration) {
  const struct {
    const char* name;
    const char* signature;
  } expected[] = {{"if", "BOI<0>"},       {"ifelse", "BOO"}, {"loop", "O"},
                  {"repeat", "IO"},       {"for", "OOOO"},   {"exit", ""},
                  {"stop", ""},           {"stopped", "O"},  {"execstack", "O#O"},
                  {"countexecstack", "#I"}, {"exec", "O"},   {"suspend", "S"},
                  {"resume", ""},         {"forall", "OO"},  {"version", ""},
                  {"usertime", ""}};
  for (const auto& e : expected) {
    const feOpSpec* spec = feControlOpSpec(e.name);
    ASSERT_NE(spec, nullptr) << e.name;
    EXPECT_STREQ(spec->signature, e.signature);
    EXPECT_NE(spec->handler, nullptr);
    EXPECT_TRUE(defined(e.name)) << e.name;
  }
  EXPECT_EQ(feControlOpSpec("add"), nullptr);
}

}  // namespace
