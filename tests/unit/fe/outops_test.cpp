#include "fe/outops.h"

#include "attn_stub.h"
#include "extops_fixture.h"
#include "fe/output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace execfx;
using extfx::run;

using OutOpsPrint = extfx::Fixture;
using OutOpsWrap = extfx::Fixture;
using OutOpsStack = extfx::Fixture;
using OutOpsSink = extfx::Fixture;

struct Printed {
  const char* text;
  const char* output;
};

template <size_t N>
void expectOutput(const Printed (&cases)[N]) {
  for (const Printed& c : cases) {
    output().clear();
    EXPECT_EQ(run(c.text), feOk) << c.text;
    EXPECT_EQ(output(), c.output) << c.text;
    EXPECT_EQ(feStackCount(*feOperandStack()), 0) << c.text;
  }
}

TEST_F(OutOpsPrint, PlainAndSyntaxForms) {
  const Printed cases[] = {
      {"(a b) print", "a b"},
      {"(x) =", "x\r"},
      {"(x) ==", "(x)\r"},
      {"(tab\\there\\n) ==", "(tab\\there\\n)\r"},
      {"(ok\\001) ==", "(ok\\1)\r"},
      {"/nm = /nm ==", "nm\r/nm\r"},
      {"7 = -7 ==", "7\r-7\r"},
      {"2.0 == 0.5 = 2147483648.0 ==", "2.\r0.5\r2147483648.\r"},
      {"true = null = null ==", "true\r--nostringvalue--\r-null-\r"},
      {"[1 [2 {3 /x}] (s)] ==", "[1 [2 {3 /x } ] (s) ]\r"},
      {"[1] = [1] print", "--nostringvalue--\r--nostringvalue--"},
      {"prompt", "PS>"},
  };
  expectOutput(cases);
}

TEST_F(OutOpsPrint, AMissingOperandIsAStackunderflow) {
  for (const char* text : {"print", "=", "=="}) {
    output().clear();
    EXPECT_EQ(run(text), feErrStackUnderflow) << text;
    EXPECT_EQ(output(), "") << text;
  }
}

// The lines of text split at "\r".
std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out(1);
  for (char c : text) {
    if (c == '\r') out.emplace_back();
    else out.back() += c;
  }
  return out;
}

TEST_F(OutOpsWrap, SyntaxFormWrapsAtSixtyCharacters) {
  // 30 two-digit numbers: "[10 11 ... 39 ]" is 92 characters. The piece that
  // would take a line past 60 starts a new line.
  std::string text = "[";
  for (int i = 10; i < 40; ++i) text += std::to_string(i) + " ";
  text += "] ==";
  EXPECT_EQ(run(text.c_str()), feOk);
  const std::vector<std::string> got = lines(output());
  ASSERT_EQ(got.size(), 3u) << output();
  EXPECT_EQ(got[0], "[10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29");
  EXPECT_EQ(got[1], " 30 31 32 33 34 35 36 37 38 39 ]");
  EXPECT_EQ(got[2], "");
  EXPECT_EQ(feOutWrapLimit(), 0);

  // The plain form does not wrap.
  output().clear();
  EXPECT_EQ(run("(aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa) dup print print"), feOk);
  EXPECT_EQ(output().find('\r'), std::string::npos);
}

TEST_F(OutOpsWrap, DefaultDestinationCountsFromTheLastLineEnd) {
  const struct {
    int32_t limit;
    std::vector<std::string> pieces;
    const char* expected;
  } cases[] = {
      {10, {"12345", "67890", "x"}, "1234567890\rx"},
      {10, {"123456789012", "x"}, "123456789012\rx"},   // a long piece alone on its line is not preceded by a break
      {10, {"1234\r", "1234567890"}, "1234\r1234567890"},
      {10, {"12\n345678", "90123"}, "12\n345678\r90123"},
      {0, {"12345678901", "2"}, "123456789012"},
  };
  for (const auto& c : cases) {
    feOutWrite("\r", 1);
    output().clear();
    feOutSetWrapLimit(c.limit);
    for (const std::string& piece : c.pieces) feOutWrite(piece.data(), piece.size());
    feOutSetWrapLimit(0);
    EXPECT_EQ(output(), c.expected) << c.limit;
  }
}

TEST_F(OutOpsStack, StackAndPstackPrintTopFirstAndKeepTheOperands) {
  EXPECT_EQ(run("1 (a) /n stack"), feOk);
  EXPECT_EQ(output(), "n\ra\r1\r");
  EXPECT_EQ(operands(), "1 (a) /n");
  output().clear();
  EXPECT_EQ(feExecString("pstack"), feOk);
  EXPECT_EQ(output(), "/n\r(a)\r1\r");
  output().clear();
  EXPECT_EQ(run("stack pstack"), feOk);
  EXPECT_EQ(output(), "");
}

TEST_F(OutOpsStack, StopsWhenTheAttentionFlagIsRaised) {
  attnstub::setAttn(1);
  EXPECT_EQ(run("1 2 stack"), feErrInterrupt);
  const std::string afterStack = output();
  EXPECT_EQ(run("1 2 pstack"), feErrInterrupt);
  attnstub::setAttn(0);
  EXPECT_EQ(output(), "");
  EXPECT_EQ(afterStack, "");
  EXPECT_EQ(operands(), "1 2");
}

TEST_F(OutOpsStack, ASinkThatTakesOperandsDoesNotDisturbThePrinting) {
  // The sink pops its string and one more value each time: the values being
  // printed come from a copy of the operand stack.
  output().clear();
  EXPECT_EQ(run("(c) (b) (a) 3 2 1 {pop pop} aOut pstack null aOut"), feOk);
  EXPECT_EQ(output(), "");
}

TEST_F(OutOpsSink, AProcedureSinkReceivesEveryPiece) {
  EXPECT_EQ(run("/buf () def {buf exch aCat /buf exch def} aOut (hi) print 7 = [1 (s)] == null aOut buf"), feOk);
  EXPECT_EQ(operands(), "(hi7\\r[1 (s) ]\\r)");
  EXPECT_EQ(output(), "");
  // null restored the default destination.
  output().clear();
  EXPECT_EQ(run("(back) print"), feOk);
  EXPECT_EQ(output(), "back");
  EXPECT_EQ(feOutSink(), nullptr);
}

TEST_F(OutOpsSink, OutputOfTheRunningSinkGoesToTheDefaultDestination) {
  // Without the guard the sink would call itself for its own output.
  EXPECT_EQ(run("{(>) print print} aOut (x) print (y) = null aOut"), feOk);
  EXPECT_EQ(output(), ">x>y>\r");
  EXPECT_EQ(feStackCount(*feOperandStack()), 0);
  EXPECT_FALSE(feOutSinkRunning());
}

TEST_F(OutOpsSink, ASinkCountsItsCalls) {
  EXPECT_EQ(run("/calls 0 def {pop /calls calls 1 xtAdd def} aOut [1 2] == null aOut calls"), feOk);
  // "[", "1", " ", "2", " ", "]", "\r"
  EXPECT_EQ(operands(), "7");
}

TEST_F(OutOpsSink, AFailingSinkDoesNotStopThePrinter) {
  EXPECT_EQ(run("{nosuchsink} aOut (x) print null aOut 5"), feOk);
  ASSERT_GE(feStackCount(*feOperandStack()), 1);
  EXPECT_EQ(feGetInt(feStackIndex(*feOperandStack(), 0)), 5);
  EXPECT_EQ(feOutSink(), nullptr);
}

TEST_F(OutOpsSink, InstallingReleasesThePreviousSink) {
  feObject first = procedure({integer(1)});
  feObject second = procedure({integer(2)});
  feOutSetSink(&first);
  EXPECT_EQ(first.w0.arr->refs, 2u);
  feOutSetSink(&second);
  EXPECT_EQ(first.w0.arr->refs, 1u);
  EXPECT_EQ(second.w0.arr->refs, 2u);
  feObject null;
  feMakeNull(&null);
  feOutSetSink(&null);
  EXPECT_EQ(second.w0.arr->refs, 1u);
  EXPECT_EQ(feOutSink(), nullptr);
  feFree(&first);
  feFree(&second);
}

TEST_F(OutOpsSink, ASinkMayReplaceItselfWhileItRuns) {
  EXPECT_EQ(run("{pop {pop (second) print} aOut} aOut (a) print (b) print null aOut"), feOk);
  EXPECT_EQ(output(), "second");
}

TEST_F(OutOpsPrint, RegistrationsAreKnownByName) {
  for (const char* name : {"aOut", "print", "=", "==", "stack", "pstack", "prompt"})
    EXPECT_NE(feOutOpSpec(name), nullptr) << name;
  EXPECT_EQ(feOutOpSpec("aCat"), nullptr);
  EXPECT_STREQ(feOutOpSpec("aOut")->signature, "!O");
}

}  // namespace
