#include "views/natcompare.h"

#include "fe/exec_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

int cmp(const char* a, const char* b) {
  return vwNatCompare(a, static_cast<uint32_t>(strlen(a)), b, static_cast<uint32_t>(strlen(b)));
}
int sign(int v) { return (v > 0) - (v < 0); }

TEST(NatCompare, DigitRunsCompareAsNumbersLettersCaseBlind) {
  EXPECT_LT(cmp("Sheet 9", "Sheet 10"), 0);
  EXPECT_GT(cmp("Sheet 10", "Sheet 9"), 0);
  EXPECT_LT(cmp("sheet 2", "Sheet 10"), 0);
  EXPECT_EQ(cmp("SHEET 2", "sheet 2"), 0);
  EXPECT_LT(cmp("Sheet 2 copy", "Sheet 10 copy"), 0);  // runs in the middle too
  EXPECT_LT(cmp("x19", "x123"), 0);                    // run extended back over "1"
  EXPECT_LT(cmp("a", "b"), 0);
  EXPECT_EQ(sign(cmp("b", "A")), 1);
  EXPECT_LT(cmp("Sheet", "Sheet 1"), 0);               // prefix: by length
  EXPECT_LT(cmp("Sheet 1", "Sheet 10"), 0);
  EXPECT_EQ(cmp("", ""), 0);
}

TEST(NatCompare, ZeroByteAndLengthsBoundTheComparison) {
  EXPECT_EQ(vwNatCompare("ab\0x", 4, "abc", 3), 0 - 'c');
  EXPECT_EQ(vwNatCompare("abcdef", 3, "abcxyz", 3), 0);  // only the given lengths count
  EXPECT_LT(vwNatCompare("Sheet 19", 7, "Sheet 5", 7), 0);  // "Sheet 1" against "Sheet 5"
}

TEST(NatCompare, LongDigitRunsCompareWithoutOverflow) {
  // Runs past 32 bits (and past 64) keep their numeric order.
  EXPECT_LT(cmp("n 4294967296", "n 4294967297"), 0);
  EXPECT_GT(cmp("n 99999999999999999999999", "n 100000000000000000000"), 0);
  EXPECT_LT(cmp("n 9", "n 12345678901234567890"), 0);
  EXPECT_GT(cmp("n 12345678901234567890", "n 9"), 0);
  EXPECT_LT(cmp("v 0007", "v 12"), 0);  // leading zeros do not lengthen a number
}

TEST(NatCompare, EqualNumbersGoOnAfterTheRuns) {
  // Equal numbers with different spellings never make two names equal.
  EXPECT_LT(cmp("a01x", "a1y"), 0);
  EXPECT_GT(cmp("a1y", "a01x"), 0);
  EXPECT_GT(cmp("a01", "a1"), 0);  // otherwise the run with more zeros last
  EXPECT_LT(cmp("a1", "a01"), 0);
  EXPECT_LT(cmp("p07 b3", "p7 b10"), 0);
}

class NatCompareSort : public ::testing::Test {
protected:
  void SetUp() override {
    execfx::start();
    if (!execfx::defined("aSortNames")) feRegisterOp("aSortNames", vwOpSortNames, "O#O", 0, 0);
  }
  void TearDown() override { execfx::stop(); }
  std::string run(const char* text) {
    const int rc = feExecString(text);
    std::string result = rc ? std::to_string(rc) : execfx::operands();
    feStackClear(*feOperandStack());
    return result;
  }
};

TEST_F(NatCompareSort, SortsANewArrayAndLeavesTheGivenOneAlone) {
  EXPECT_EQ(run("/a [(Sheet 10) (sheet 2) (Sheet 9) (Alpha)] def a aSortNames a"),
            "[(Alpha) (sheet 2) (Sheet 9) (Sheet 10) ] [(Sheet 10) (sheet 2) (Sheet 9) (Alpha) ]");
  EXPECT_EQ(run("[] aSortNames"), "[]");
  EXPECT_EQ(run("[(b)] aSortNames"), "[(b) ]");
}

TEST_F(NatCompareSort, AnythingButAnArrayOfStringsIsATypeError) {
  EXPECT_EQ(run("[(a) 3] aSortNames"), "269");
  EXPECT_EQ(run("(abc) aSortNames"), "269");
}

}  // namespace
