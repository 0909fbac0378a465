// Operator calls take a direct shortcut (arithmetic, comparisons and other
// common operators on the cases they handle exactly) or a
// precompiled call plan (signatures of plain elements) before the general
// argument machine. Every case here runs the same script with
// and without those ways and expects everything a script or handler sees to
// agree: the answer, the operand stack and its reference counts, the output,
// $error, the call-trace ring and the debug output.
#include "core/debug.h"
#include "fe/error.h"
#include "fe/operator.h"
#include "fe/operator_test.h"

#include "exec_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

namespace {

using namespace execfx;

// "BIRO#OBIR": the inputs back in another order.
int opEcho(feArgs* a) {
  feCopyValue(static_cast<feObject*>(a->out[0]), a->in[3].value);
  *static_cast<int32_t*>(a->out[1]) = a->in[0].i;
  *static_cast<int32_t*>(a->out[2]) = a->in[1].i;
  *static_cast<double*>(a->out[3]) = a->in[2].d;
  return feOk;
}

// "I<7>R<2.5>P O#IR": constants among the operands.
int opConstants(feArgs* a) {
  *static_cast<int32_t*>(a->out[0]) = a->in[0].i + feType(a->in[3].value);
  *static_cast<double*>(a->out[1]) = a->in[1].d + double(a->in[2].word);
  return feOk;
}

// "IO#O" and "!IO#O": stores a copy of its operand as the result, then
// answers the integer (a failure unless 0).
int opKeepThenAnswer(feArgs* a) {
  feCopyValue(static_cast<feObject*>(a->out[0]), a->in[1].value);
  return a->in[0].i;
}

// "#IO": leaves its result slots as they start.
int opUntouched(feArgs*) { return feOk; }

class OpCallPaths : public ::testing::Test {
protected:
  void SetUp() override {
    start();
    if (!defined("xtPlanEcho")) {
      feRegisterOp("xtPlanEcho", opEcho, "BIRO#OBIR", 0, 0);
      feRegisterOp("xtPlanConstants", opConstants, "I<7>R<2.5>P O#IR", 40, 0);
      feRegisterOp("xtPlanAnswer", opKeepThenAnswer, "IO#O", 0, 0);
      feRegisterOp("xtPlanBang", opKeepThenAnswer, "!IO#O", 0, 0);
      feRegisterOp("xtPlanUntouched", opUntouched, "#IO", 0, 0);
    }
  }
  void TearDown() override {
    feOpTestUseShortcuts(true);
    stop();
  }
};

std::string printed(const feObject* v) {
  std::string saved;
  saved.swap(output());
  fePrint(v, 1);
  std::string text;
  text.swap(output());
  output().swap(saved);
  return text;
}

// The body reference counts of the operand stack, bottom first.
std::string bodyRefs() {
  std::string refs;
  const feStack* stack = *feOperandStack();
  for (int32_t depth = feStackCount(stack) - 1; depth >= 0; --depth) {
    const feObject* v = feStackIndex(stack, depth);
    uint32_t n = 0;
    switch (feType(v)) {
      case feTString: n = v->w0.str->refs; break;
      case feTArray: n = v->w0.arr->refs; break;
      case feTDict: n = v->w0.dict->refs; break;
      default: break;
    }
    refs += std::to_string(n) + ' ';
  }
  return refs;
}

std::string errorRecord() {
  std::string text;
  for (const char* key : {"errorname", "command", "ostack"}) {
    feObject v;
    if (feDictGetName(feErrorRecordDict(), key, &v) != feOk) {
      text += std::string(key) + "=<none> ";
      continue;
    }
    text += std::string(key) + "=" + printed(&v) + " ";
    feFree(&v);
  }
  return text;
}

std::string traceRing() {
  feOpTraceEntry entries[feOpTraceSlots];
  const int32_t n = feOpTraceRead(entries);
  std::string text;
  for (int32_t k = 0; k < n; ++k) text += std::to_string(entries[k].name) + ':' + std::to_string(entries[k].word) + ' ';
  return text;
}

// Everything observable after running script with the shortcuts on or off.
std::string runOnce(const char* script, bool shortcuts, uint32_t flags) {
  feStackClear(*feOperandStack());
  feOpTraceClear();
  output().clear();
  feOpTestUseShortcuts(shortcuts);
  dbgSetFlags(flags);
  const int rc = feExecString(script);
  dbgSetFlags(0);
  feOpTestUseShortcuts(true);
  std::string seen = "rc=" + std::to_string(rc) + " output=[" + output() + "]";
  seen += " stack=[" + operands() + "] refs=[" + bodyRefs() + "] " + errorRecord();
  seen += " trace=[" + traceRing() + "]";
  feStackClear(*feOperandStack());
  return seen;
}

void expectSameBothWays(const char* const* scripts, size_t n, uint32_t flags = 0) {
  for (size_t k = 0; k < n; ++k) {
    SCOPED_TRACE(scripts[k]);
    const std::string general = runOnce(scripts[k], false, flags);
    const std::string shortcut = runOnce(scripts[k], true, flags);
    EXPECT_EQ(shortcut, general);
  }
}

TEST_F(OpCallPaths, TheComparisonSeesTheErrorRecordAndTheRestoredOperands) {
  const std::string seen = runOnce("5 (a) add", true, 0);
  EXPECT_NE(seen.find("rc=269"), std::string::npos) << seen;
  EXPECT_NE(seen.find("stack=[5 (a)]"), std::string::npos) << seen;
  EXPECT_NE(seen.find("typecheck"), std::string::npos) << seen;
  EXPECT_NE(seen.find("command=--add--"), std::string::npos) << seen;
}

TEST_F(OpCallPaths, ArithmeticAgreesWithTheGeneralMachine) {
  const char* const scripts[] = {
      "1 2 add", "1 2.5 add", "2.5 1 add", "0.1 0.2 add", "-0.0 0 add", "-0.0 0.0 add",
      "2147483647 1 add", "-2147483648 1 sub", "-2147483647 2 sub", "0 -2147483648 sub",
      "65536 65536 mul", "46341 46341 mul", "-2147483648 -1 mul", "1.5 2 mul", "3 -4 mul",
      "7 2 div", "8 2 div", "-7 2.0 div", "7 0 div", "7.0 0.0 div", "0 0 div",
      "1e308 1e308 mul", "1e308 1e308 add", "-1e308 1e308 sub", "1e-308 1e308 div",
      "(a) 1 add", "1 (a) add", "/x 1 mul", "true 1 sub", "null 1 div", "1 {2} add",
      "[1 2] [3 4] add", "[1 2] [3] add", "[1 (a)] [3 4] mul",
      "1 add", "add", "(s) add", "1 2 3 add add add",
      "5 { 2 add } repeat", "1 1 1 10 { mul } for",
  };
  expectSameBothWays(scripts, std::size(scripts));
}

TEST_F(OpCallPaths, ComparisonsAgreeWithTheGeneralMachine) {
  const char* const scripts[] = {
      "1 2 lt", "2 1 lt", "1 1 le", "2 1 le", "1.5 1 gt", "1 1.5 gt", "1 1.0 ge", "0.5 1 ge",
      "-0.0 0 lt", "-0.0 0 le", "2147483647 2147483646.5 gt",
      "(a) (b) lt", "(ab) (a) le", "(a) 1 lt", "1 (a) gt", "null 1 gt", "/a /b lt", "true false ge",
      "1 lt", "lt", "(a) ge",
  };
  expectSameBothWays(scripts, std::size(scripts));
}

TEST_F(OpCallPaths, PlannedStandardOperatorsAgreeWithTheGeneralMachine) {
  const char* const scripts[] = {
      "1 2 3 1 index", "1 2 3 -1 index", "1 2 3 5 index", "1 2 (x) index", "index",
      "(a) (b) 1 index", "1 2 3 3 1 roll", "1 2 3 3 -1 roll", "1 2 3 4 1 roll", "1 2 1.5 1 roll", "1 roll",
      "4 sqrt", "2 sqrt", "-4 sqrt", "(a) sqrt", "sqrt",
      "1 2 eq", "1 1.0 eq", "(a) /a eq", "(a) (a) ne", "[1] [1] eq", "eq",
      "5 not", "true not", "(a) not", "1 2 bitshift", "1 -1 bitshift", "1 (a) bitshift", "1 0.5 bitshift",
      "3 5 and", "true false or", "1 true xor", "1 2 3 count", "count", "mark 1 2 counttomark",
      "1 2 3 2 copy", "(ab) (cd) copy", "1 [1 2] copy",
  };
  expectSameBothWays(scripts, std::size(scripts));
}

TEST_F(OpCallPaths, MoreShortcutsAgreeWithTheGeneralMachine) {
  const char* const scripts[] = {
      "1 1 eq", "1 1.0 ne", "1 2 ne", "0.5 0.5 eq", "-0.0 0 eq", "1 /a eq", "(a) 1 ne", "1 eq", "ne",
      "7 3 mod", "-7 3 mod", "7 -3 mod", "7 0 mod", "-2147483648 -1 mod", "7.0 3 mod", "7 (a) mod", "7 mod",
      "16 sqrt", "2.25 sqrt", "0 sqrt", "-0.0 sqrt", "-1 sqrt", "-1e-300 sqrt", "/a sqrt",
      "1.5 round", "-1.5 round", "2.5 round", "7 round", "7 cvx round", "(a) round", "round",
      "1.5 floor", "-1.5 ceiling", "-2.7 truncate", "1e300 floor", "null floor",
      "3.7 cvi", "-3.7 cvi", "5 cvi", "2147483647.9 cvi", "2147483648.0 cvi", "-2147483649.0 cvi",
      "1e300 cvi", "(12) cvi", "(x) cvi", "/a cvi", "cvi",
      "3 cvr", "2.5 cvr", "-2147483648 cvr", "(1.5) cvr", "(x) cvr", "() cvr", "[1] cvr", "cvr",
      "1 2 3 0 index", "1 2 3 2 index", "1 2 3 3 index", "1 2 -1 index", "(a) [1] 1 index", "1 2 2.0 index",
      "0 index", "1 index",
      "(hello world) 0 (HE) putinterval", "(hello) 3 (LO) putinterval", "(hello) 4 (LO) putinterval",
      "(hello) -1 (x) putinterval", "(hello) 0 () putinterval", "(hello) 5 () putinterval",
      "(hello) 1.0 (x) putinterval", "(hello) 0 /x putinterval", "[1 2 3] 1 [9] putinterval",
      "5 0 (x) putinterval", "0 (x) putinterval", "(abcdef) dup 2 exch putinterval",
      "(hello) 1 3 getinterval", "(hello) 0 5 getinterval", "(hello) 5 0 getinterval",
      "(hello) 3 3 getinterval", "(hello) -1 2 getinterval", "(hello) 1 -1 getinterval",
      "(hello) 1 2.0 getinterval", "[1 2 3] 1 2 getinterval", "5 1 2 getinterval", "1 2 getinterval",
      "(hello world) (o w) search", "(hello) (x) search", "(hello) () search", "(hello) (hello) search",
      "(abc) (abcd) search", "(abc) /a search", "/a (a) search", "(a) search", "search",
      "(hello) dup (l) search", "(hello) length", "[1 2 3] length", "() length", "5 dict length",
      "/a length", "length",
      "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32 33 34 35 36 37 "
      "(abcabc) (b) search",
  };
  expectSameBothWays(scripts, std::size(scripts));
  expectSameBothWays(scripts, std::size(scripts), 0x9);
}

TEST_F(OpCallPaths, PlansOfEveryPlainElementAgreeWithTheGeneralMachine) {
  const char* const scripts[] = {
      "true 3 1.5 (s) xtPlanEcho", "false 3 2 [1 (a)] xtPlanEcho", "1 3 1.5 (s) xtPlanEcho",
      "true 3.0 1.5 (s) xtPlanEcho", "true 3 (r) (s) xtPlanEcho", "3 1.5 (s) xtPlanEcho",
      "(s) xtPlanConstants", "xtPlanConstants",
      "0 (kept) xtPlanAnswer", "269 (kept) xtPlanAnswer", "269 [1 2] xtPlanAnswer", "(x) (y) xtPlanAnswer",
      "0 (kept) xtPlanBang", "269 (kept) xtPlanBang", "xtPlanUntouched",
      "[(a) (b)] dup 269 exch xtPlanAnswer",
  };
  expectSameBothWays(scripts, std::size(scripts));
}

TEST_F(OpCallPaths, TraceRingAndDebugOutputAgreeWithTheGeneralMachine) {
  const char* const scripts[] = {
      "1 2 add 3 lt", "1 (a) add", "4 sqrt 1 2 3 1 index", "true 3 1.5 (s) xtPlanEcho",
  };
  expectSameBothWays(scripts, std::size(scripts), 0x1);
  expectSameBothWays(scripts, std::size(scripts), 0x8);
  expectSameBothWays(scripts, std::size(scripts), 0x9);
}

TEST_F(OpCallPaths, ShortcutsAndPlansAreMadeForThePlainOperators) {
  const auto entryOf = [](const char* name) -> const feOperator* {
    feObject value;
    if (feDictGetName(feSystemDict(), name, &value) != feOk) return nullptr;
    const feOperator* entry = feOpEntry(int32_t(value.w0.u & 0xFFFFu));
    feFree(&value);
    return entry;
  };
  for (const char* name : {"add", "sub", "mul", "div", "lt", "le", "gt", "ge", "eq", "ne", "mod", "sqrt", "round",
                           "floor", "ceiling", "truncate", "cvi", "cvr", "index", "putinterval", "getinterval",
                           "search", "length"}) {
    const feOperator* entry = entryOf(name);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_NE(entry->direct, nullptr) << name;
  }
  for (const char* name : {"lt", "le", "gt", "ge", "index", "roll", "sqrt", "eq", "xtPlanEcho", "xtPlanConstants", "xtPlanBang"}) {
    const feOperator* entry = entryOf(name);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_NE(entry->plan, nullptr) << name;
  }
  // A text taken from an operand goes through the general machine.
  const feOperator* nest = entryOf("xtNest");
  ASSERT_NE(nest, nullptr);
  EXPECT_EQ(nest->plan, nullptr);
}

}  // namespace
