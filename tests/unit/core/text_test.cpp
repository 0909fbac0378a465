// Natural order, case-blind equality, duplication and "^N" expansion.
#include "core/text.h"

#include "core/alloc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

TEST(TextNatCmp, OrdersNamesNaturally) {
  struct Case {
    const char* a;
    const char* b;
    int limit;
    int expected;  // sign of the answer
  };
  const Case cases[] = {
      {"Layer 2", "Layer 10", -1, -1},
      {"Layer 10", "Layer 2", -1, 1},
      {"Sheet 2 copy", "Sheet 10 copy", -1, 1},  // digits not at the end: characters
      {"abc", "ABD", -1, -1},
      {"x", "X", -1, 0},
      {"Layer 7", "layer 7", -1, 0},
      {"a02", "a2", -1, 1},  // the longer run sorts after, leading zeros or not
      {"a2", "a02", -1, -1},
      {"a12", "a9", -1, 1},
      {"10", "9", -1, -1},   // digits at the first character compare as characters
      {"x5", "x", -1, 1},
      {"ab", "abc", -1, -1},
      {"a1b", "a2", -1, -1},
      {"", "", -1, 0},
      {nullptr, "", -1, 0},
      {nullptr, "a", -1, -1},
      // Runs too long for 32 bits: by length, then by digits.
      {"x99999999999999999999", "x100000000000000000000", -1, -1},
      {"x100000000000000000000", "x99999999999999999999", -1, 1},
      {"x99999999999999999999", "x99999999999999999998", -1, 1},
      {"x0000000000000000000001", "x1", -1, 1},
      {"x1234567890", "x987654321", -1, 1},
      // The limit bounds the comparison and the digit runs.
      {"abcX", "abcY", 3, 0},
      {"abcX", "abcY", 4, -1},
      {"abc", "xyz", 0, 0},
      {"Layer 10", "Layer 2", 7, -1},
      {"Layer 10", "Layer 2", 8, 1},
      {"a2", "a10x", 3, -1},  // within the limit both rests are digits
      {"a2", "a10x", -1, 1},
      // Bytes above 127 are greater than ASCII; a prefix sorts first.
      {"ab\xE9", "abz", -1, 1},
      {"abc", "abc\xE9", -1, -1},
      // Only A-Z fold: "[" and "{" stay different.
      {"a[", "a{", -1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sign(uStrNatCmp(c.a, c.b, c.limit)), c.expected)
        << (c.a ? c.a : "(null)") << " vs " << c.b << " limit " << c.limit;
  }
  EXPECT_EQ(sign(uStrNatCmpAll("Layer 2", "Layer 10")), -1);
}

TEST(TextNatCmp, AnswersTheDifference) {
  EXPECT_EQ(uStrNatCmp("abc", "abE", -1), 'c' - 'e');
  EXPECT_EQ(uStrNatCmp("Sheet 2 copy", "Sheet 10 copy", -1), '2' - '1');
  EXPECT_EQ(uStrNatCmp("Layer 2", "Layer 10", -1), 12 - 110);
  EXPECT_EQ(uStrNatCmp("a02", "a2", -1), 102 - 12);
  EXPECT_EQ(uStrNatCmp("x999999999", "x1", -1), 1999999999 - 11);
}

TEST(TextNatCmpPtr, SortsWithByteOrderBreakingTies) {
  const char* a = "a";
  const char* upper = "A";
  EXPECT_EQ(uStrNatCmpPtr(&a, &upper), 1);
  EXPECT_EQ(uStrNatCmpPtr(&upper, &a), -1);
  EXPECT_EQ(uStrNatCmpPtr(&a, &a), 0);

  std::vector<const char*> names = {"b", "Layer 10", "a", "layer 2", "A", "Layer 2", "x02", "x2"};
  std::qsort(names.data(), names.size(), sizeof names[0], uStrNatCmpPtr);
  const std::vector<std::string> expected = {"A", "a", "b", "Layer 2", "layer 2", "Layer 10", "x2", "x02"};
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.end()), expected);
}

TEST(TextAlphaEq, SameLengthAndEqualWithoutCase) {
  struct Case {
    std::string a;
    std::string b;
    bool expected;
  };
  const Case cases[] = {
      {"abc", "ABC", true},
      {"", "", true},
      {"Layer 2", "LAYER 2", true},
      {"abc", "abd", false},
      {"abc", "ab", false},
      {"a2", "a02", false},
      {"@[", "`{", false},
      // Every byte counts, also after a zero byte.
      {std::string("A\0B", 3), std::string("a\0b", 3), true},
      {std::string("a\0b", 3), std::string("a\0c", 3), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(uAlphaEq(c.a.data(), static_cast<uint32_t>(c.a.size()), c.b.data(),
                       static_cast<uint32_t>(c.b.size())),
              c.expected)
        << c.a << " vs " << c.b;
  }
}

TEST(TextStrDup, CopiesIntoANewBlockAndReplacesTheHandle) {
  char* plain = uStrDup("abcdef", 3, nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_STREQ(plain, "abc");
  uFree(&plain);

  char* empty = uStrDup(nullptr, 0, nullptr);
  ASSERT_NE(empty, nullptr);
  EXPECT_STREQ(empty, "");
  uFree(&empty);

  char* held = nullptr;
  char* first = uStrDup("first", 5, &held);
  EXPECT_EQ(first, held);
  EXPECT_STREQ(held, "first");
  // The text may come from the block being replaced.
  char* second = uStrDup(held + 1, 3, &held);
  EXPECT_EQ(second, held);
  EXPECT_STREQ(held, "irs");
  uFree(&held);
  EXPECT_EQ(held, nullptr);
}

TEST(TextStrSubst, ExpandsPlaceholders) {
  struct Case {
    std::string tmpl;
    std::vector<const char*> args;
    std::vector<uint32_t> lengths;  // empty: whole arguments
    int count;
    std::string expected;
  };
  const Case cases[] = {
      {"^0 of ^1^9", {"3", "7"}, {}, 2, "3 of 7"},
      {"^1-^0-^1", {"ab", "cd"}, {}, 2, "cd-ab-cd"},
      {"^0 of ^1", {"3xx", "7yz"}, {1, 2}, 2, "3 of 7y"},
      {"a^b^^0^", {"X"}, {}, 1, "a^b^X^"},
      {"^0^1", {"X", "Y"}, {}, 0, ""},
      {"[^0]", {nullptr}, {}, 1, "[]"},
      {"no marks", {}, {}, 0, "no marks"},
      {"", {}, {}, 0, ""},
      {std::string("a\0^0", 4), {"Z"}, {}, 1, std::string("a\0Z", 3)},
  };
  for (const Case& c : cases) {
    char* out = uStrSubst(c.tmpl.data(), static_cast<uint32_t>(c.tmpl.size()), c.count,
                          c.args.empty() ? nullptr : c.args.data(),
                          c.lengths.empty() ? nullptr : c.lengths.data());
    ASSERT_NE(out, nullptr) << c.tmpl;
    EXPECT_EQ(std::string(out, c.expected.size() + 1), c.expected + '\0') << c.tmpl;
    uFree(&out);
  }
  // Only the given length of the template is read: a digit past it is not
  // part of a placeholder.
  char* cut = uStrSubst("x^1", 2, 2, nullptr, nullptr);
  ASSERT_NE(cut, nullptr);
  EXPECT_STREQ(cut, "x^");
  uFree(&cut);
}

}  // namespace
