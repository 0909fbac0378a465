#include "fe/operator.h"

#include "core/debug.h"
#include "core/errors.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/output.h"
#include "fe/stack.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string output;
void capture(void*, const char* text, size_t length) { output.append(text, length); }

feStack** ops() { return feOperandStack(); }

std::vector<int32_t> ints() {
  std::vector<int32_t> out;
  for (int32_t d = feStackCount(*ops()) - 1; d >= 0; --d) {
    const feObject* v = feStackIndex(*ops(), d);
    out.push_back(feType(v) == feTInt ? v->w0.i : -999);
  }
  return out;
}

const feObject* systemdict() { return feDictAtLevel(1); }

// The value defined under name in systemdict; null when there is none.
feObject lookup(const char* name) {
  feObject v;
  if (feDictGetName(systemdict(), name, &v) != feOk) feMakeNull(&v);
  return v;
}

bool defined(const char* name) {
  const feObject v = lookup(name);
  return feType(&v) != feTNull;
}

int32_t indexOf(const feObject& op) { return int16_t(op.w0.u & 0xFFFF); }

struct Opreg : ::testing::Test {
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
    if (!systemdict()) {
      ASSERT_EQ(feDictStackInit(), feOk);
    }
    feStackClear(*ops());
    output.clear();
    feSetOutHook(capture, nullptr);
    defining = feOpDefining();
    feSetOpDefining(true);
  }
  void TearDown() override {
    feSetOpDefining(defining);
    dbgSetFlags(0);
    feSetOutHook(nullptr, nullptr);
    feStackClear(*ops());
    plTestReset();
  }
  static bool shown(const std::string& text) {
    for (const auto& box : plTestMessageBoxes())
      if (box.text.find(text) != std::string::npos) return true;
    return false;
  }
  bool defining = true;
};

int answer11(feArgs*) { return 11; }
int answer22(feArgs*) { return 22; }

}  // namespace

TEST_F(Opreg, MakeOpAppendsAnEntryWithoutDefiningIt) {
  const int32_t before = feOpCount();
  feObject op;
  ASSERT_EQ(feMakeOp(&op, "t4aMakeXYZ", 7, answer11, "I#I", 0, 0x55), feOk);  // the name's first 7 characters
  EXPECT_EQ(op.flags, 0x10B);
  EXPECT_EQ(indexOf(op), before);
  EXPECT_EQ(feOpCount(), before + 1);
  const feOperator* entry = feOpEntry(before);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->handler, answer11);
  EXPECT_EQ(entry->context, uintptr_t(0x55));
  EXPECT_NE(entry->signature, nullptr);
  EXPECT_GT(entry->signatureLength, 0);
  const char* text;
  size_t length;
  feOpNameText(before, &text, &length);
  EXPECT_EQ(std::string(text, length), "t4aMake");
  EXPECT_FALSE(defined("t4aMake"));

  // An empty signature keeps no codes.
  ASSERT_EQ(feMakeOp(&op, "t4aBare", 7, answer11, "", 0, 0), feOk);
  EXPECT_EQ(feOpEntry(indexOf(op))->signature, nullptr);
  EXPECT_EQ(feOpEntry(indexOf(op))->signatureLength, 0);
}

TEST_F(Opreg, RegisteringANameTwiceWarnsAndTheLaterHandlerWins) {
  ASSERT_EQ(feRegisterOp("t4aTwice", answer11, "", 0, 0), feOk);
  EXPECT_EQ(output, "");
  const feObject first = lookup("t4aTwice");
  EXPECT_EQ(first.flags, 0x11B);  // defined as an executable operator
  ASSERT_EQ(feRegisterOp("t4aTwice", answer22, "", 0, 0), feOk);
  EXPECT_EQ(output, "[feInstallOpDict] Warning: Operator t4aTwice defined more than once.\n");
  const feObject second = lookup("t4aTwice");
  ASSERT_EQ(feType(&second), feTOperator);
  EXPECT_NE(indexOf(second), indexOf(first));
  EXPECT_EQ(feCallOp(&second), 22);
  EXPECT_EQ(feCallOp(&first), 11);  // the older entry stays in the table
  EXPECT_FALSE(shown("name mismatch"));
}

TEST_F(Opreg, OneHandlerServesOperatorsDifferingInParameterOrConstant) {
  auto handler = [](feArgs* a) {
    *static_cast<int32_t*>(a->out[0]) = int32_t(a->in[0].word) * 100 + a->in[1].i;
    return 0;
  };
  ASSERT_EQ(feRegisterOp("t4aShareA", handler, "PI<1>#I", 1, 0), feOk);
  ASSERT_EQ(feRegisterOp("t4aShareB", handler, "PI<1>#I", 2, 0), feOk);
  ASSERT_EQ(feRegisterOp("t4aShareC", handler, "PI<2>#I", 1, 0), feOk);
  for (const char* name : {"t4aShareA", "t4aShareB", "t4aShareC"}) {
    const feObject op = lookup(name);
    EXPECT_EQ(feCallOp(&op), feOk) << name;
  }
  EXPECT_EQ(ints(), (std::vector<int32_t>{101, 201, 102}));
}

TEST_F(Opreg, MalformedSignatureMakesNoEntry) {
  const struct {
    const char* name;
    const char* sig;
    const char* shownName;  // at most 31 characters
  } cases[] = {
      {"t4aBad", "X", "t4aBad"},
      {"t4aBadWithANameLongerThanThirtyOneCharacters", "0D", "t4aBadWithANameLongerThanThirty"},
  };
  for (const auto& c : cases) {
    output.clear();
    plTestClearMessageBoxes();
    const int32_t before = feOpCount();
    EXPECT_EQ(feRegisterOp(c.name, answer11, c.sig, 0, 0), feErrSyntax) << c.name;
    EXPECT_EQ(output, std::string("[feMakeOp] Error: name '") + c.name + "', argstr '" + c.sig + "'\n");
    EXPECT_TRUE(shown(std::string("Error in defining op '") + c.shownName + "'")) << c.name;
    EXPECT_FALSE(shown(std::string("Error in defining op '") + c.shownName + "a")) << c.name;
    EXPECT_EQ(feOpCount(), before);
    EXPECT_FALSE(defined(c.name));
  }
}

TEST_F(Opreg, WithoutDefiningARegistrationOnlyChecksTheIndex) {
  ASSERT_EQ(feRegisterOp("t4aOrder", answer11, "", 0, 0), feOk);
  const int32_t stored = indexOf(lookup("t4aOrder"));

  // As after reading a compiled image: entries are made, nothing defined.
  feSetOpDefining(false);
  output.clear();
  EXPECT_EQ(feRegisterOp("t4aOrder", answer22, "", 0, 0), feOk);
  EXPECT_EQ(indexOf(lookup("t4aOrder")), stored);
  EXPECT_EQ(output, "");  // no warning: nothing was defined
  EXPECT_TRUE(shown("[feInstallOpDict] name mismatch t4aOrder!=t4aOrder"));

  plTestClearMessageBoxes();
  EXPECT_EQ(feRegisterOp("t4aNotInImage", answer22, "", 0, 0), feOk);
  EXPECT_FALSE(defined("t4aNotInImage"));
  EXPECT_TRUE(plTestMessageBoxes().empty());
}

TEST_F(Opreg, NonDictionaryTargetStillMakesTheEntry) {
  const int32_t before = feOpCount();
  feObject notADict;
  feMakeInt(&notADict, 3);
  EXPECT_EQ(feInstallOpDict(&notADict, "t4aNoDict", answer11, "", 0, 0), feErrTypeCheck);
  EXPECT_EQ(feInstallOpDict(nullptr, "t4aNoDict", answer11, "", 0, 0), feErrTypeCheck);
  EXPECT_EQ(feOpCount(), before + 2);
}

TEST_F(Opreg, CallOpAnswers275ForAnIndexOutsideTheTable) {
  feObject inTable;
  ASSERT_EQ(feMakeOp(&inTable, "t4aInTable", 10, answer11, "", 0, 0), feOk);
  const uint32_t indices[] = {uint32_t(feOpCount()), 0x7FFF, 0xFFFF /* reads as -1 */};
  for (uint32_t index : indices) {
    plTestClearMessageBoxes();
    feObject op = inTable;
    op.w0.u = index;
    EXPECT_EQ(feCallOp(&op), feErrUnimplemented) << index;
    EXPECT_TRUE(shown("[feCallOp]")) << index;
  }
  EXPECT_EQ(feCallOp(&inTable), 11);
}

TEST_F(Opreg, SignatureDecidesHowTheHandlersAnswerIsUsed) {
  static feArgs seen;
  static int answer;
  auto handler = [](feArgs* a) {
    seen = *a;
    return answer;
  };
  const struct {
    const char* sig;
    int answer;
    int rc;
    std::vector<int32_t> after;  // the stack held 1 before the call
  } cases[] = {
      {"", 1234, 1234, {1}},   // no signature: the answer as it is
      {"", 0, 0, {1}},
      {"!", 77, 0, {1}},       // "!" alone: the answer is ignored
      {"I", -5, -5, {1}},      // an error puts the operand back
      {"I", 0, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sig);
    feStackClear(*ops());
    feObject one;
    feMakeInt(&one, 1);
    fePush(ops(), &one);
    feObject op;
    ASSERT_EQ(feMakeOp(&op, "t4aAnswer", 9, handler, c.sig, 0, 0xAB), feOk);
    answer = c.answer;
    seen = feArgs{};
    EXPECT_EQ(feCallOp(&op), c.rc);
    EXPECT_EQ(ints(), c.after);
    EXPECT_EQ(seen.context, uintptr_t(0xAB));
    EXPECT_EQ(seen.inCount, c.sig[0] == 'I' ? 1 : 0);
    EXPECT_EQ(seen.outCount, 0);
  }
}

TEST_F(Opreg, StackOperatorsRegisterThroughTheAdapter) {
  ASSERT_EQ(feRegisterOp("t4aDup", feStackOp<feOpDup>, "", 0, 0), feOk);
  const feObject op = lookup("t4aDup");
  feObject seven;
  feMakeInt(&seven, 7);
  fePush(ops(), &seven);
  EXPECT_EQ(feCallOp(&op), feOk);
  EXPECT_EQ(ints(), (std::vector<int32_t>{7, 7}));
  feStackClear(*ops());
  EXPECT_EQ(feCallOp(&op), feErrStackUnderflow);
}

TEST_F(Opreg, DebugFlag8WritesTheNameBeforeTheCall) {
  auto handler = [](feArgs*) {
    fePrintf("%s", "ran");
    return 0;
  };
  feObject op;
  ASSERT_EQ(feMakeOp(&op, "t4aLoud", 7, handler, "", 0, 0), feOk);
  EXPECT_EQ(feCallOp(&op), feOk);
  EXPECT_EQ(output, "ran");
  output.clear();
  dbgSetFlags(0x8);
  EXPECT_EQ(feCallOp(&op), feOk);
  EXPECT_EQ(output, "t4aLoud\nran");
}

TEST_F(Opreg, CallTraceRingHoldsTheLatestFiftyNewestFirst) {
  std::vector<feObject> made(55);
  std::vector<uint16_t> names(55);
  for (int k = 0; k < 55; ++k) {
    const std::string name = "t4aRing" + std::to_string(k);
    ASSERT_EQ(feMakeOp(&made[k], name.c_str(), name.size(), answer11, "", 0, 0), feOk);
    ASSERT_EQ(feNameIntern(name.c_str(), name.size(), &names[k]), feOk);
  }
  feOpTraceClear();
  feOpTraceEntry ring[feOpTraceSlots];
  EXPECT_EQ(feCallOp(&made[0]), 11);
  EXPECT_EQ(feOpTraceRead(ring), 0);  // recorded only with debug flag 0x1

  dbgSetFlags(0x1);
  for (int k = 0; k < 3; ++k) feCallOp(&made[k]);
  ASSERT_EQ(feOpTraceRead(ring), 3);
  EXPECT_EQ(ring[0].name, names[2]);
  EXPECT_EQ(ring[2].name, names[0]);

  for (int k = 3; k < 55; ++k) feCallOp(&made[k]);
  ASSERT_EQ(feOpTraceRead(ring), feOpTraceSlots);
  for (int k = 0; k < feOpTraceSlots; ++k) {
    EXPECT_EQ(ring[k].name, names[54 - k]) << k;
    EXPECT_EQ(ring[k].word, 0u);
  }
}
