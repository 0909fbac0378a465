// The formatting engine: conversions, the real rule, the two argument
// sources, boundedness, and the integer text conversions.
#include "core/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// Wide integers and untyped pointers must not reach the engine.
static_assert(!std::is_constructible_v<uFmtArg, long>);
static_assert(!std::is_constructible_v<uFmtArg, unsigned long long>);
static_assert(!std::is_constructible_v<uFmtArg, const void*>);
static_assert(!std::is_constructible_v<uFmtArg, bool>);

struct FormatCase {
  const char* format;
  std::vector<uFmtArg> args;
  std::string expected;
};

// Names each case by its format and expected text (control bytes escaped),
// which keeps the names unique.
void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << '"' << c.format << "\" => \"";
  for (const char ch : c.expected) {
    if (static_cast<unsigned char>(ch) < 0x20) {
      *os << "\\x" << "0123456789ABCDEF"[(ch >> 4) & 15] << "0123456789ABCDEF"[ch & 15];
    } else {
      *os << ch;
    }
  }
  *os << '"';
}

std::string formatList(const char* format, const std::vector<uFmtArg>& args) {
  return uFormatArgs(format, args.data(), args.size());
}

const double kReals[] = {1, 2.5, 0};
const int32_t kInts[] = {1, 2, 3};
const int32_t kNegInts[] = {-1, 255};
const char* const kTexts[] = {"ab", "c", nullptr};
const unsigned char kPascal[] = {5, 'h', 'e', 'l', 'l', 'o', 'X'};
const double kManyReals[16] = {};
const std::string kXyz = "xyz";

class FormatConversions : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatConversions, MatchTable) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(formatList(c.format, c.args), c.expected);
  // The bounded entry gives the same text when there is room for it.
  char buffer[512];
  const int n = uVSprintfArgs(buffer, sizeof buffer, c.format, c.args.data(), c.args.size());
  EXPECT_EQ(std::string(buffer, static_cast<size_t>(n)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Integers, FormatConversions, ::testing::Values(
    FormatCase{"%d|%x|%X|%o|%b", {-5, 255, 255, 8, 5}, "-5|0xFF|FF|010|0b101"},
    FormatCase{"%x|%o|%b|%+d", {0, 0, 0, 0}, "0|0|0|0"},
    FormatCase{"%d", {INT32_MIN}, "-2147483648"},
    FormatCase{"%o|%b", {-8, -2}, "-010|-0b10"},
    FormatCase{"%x", {-1}, "0xFFFFFFFF"},
    FormatCase{"%ux|%ud|%uo", {-1, -1, -1}, "0xFFFFFFFF|4294967295|037777777777"},
    FormatCase{"%+d|%+d|%+o|%+ud", {3, -3, 8, 3}, "+3|-3|+010|3"},
    FormatCase{"%wd|%wx|%wud|%lwd", {0x1FFFF, 0x18000, 0xFFFF, 0x7FFF}, "-1|0xFFFF8000|65535|32767"},
    FormatCase{"%ld|%lld", {7, 8}, "7|8"},
    FormatCase{"%5d|", {42}, "42   |"},
    FormatCase{"%-5d|", {42}, "   42|"},
    FormatCase{"%-4X|%4X|", {10, 10}, "000A|A   |"},
    FormatCase{"%+-5d|", {42}, "  +42|"},
    FormatCase{"%2d|", {12345}, "12345|"},
    // Widths are read as integers with base prefixes: "010" is octal 8, and
    // a hexadecimal width swallows the letters that are hexadecimal digits.
    FormatCase{"%010d|%-0x6s|%-0b11d|", {1, "1", 1}, "1       |     1|  1|"},
    FormatCase{"%0x10d|%08d", {1, 2}, "*|**8*d"},
    FormatCase{"%0x|%0b", {255, 5}, "0xFF|0b101"},
    FormatCase{"%*d|%-*d|", {4, 7, 3, 7}, "7   |  7|"},
    FormatCase{"%*d|", {-4, 7}, "7|"},
    // A real where an integer is read converts, and the other way round.
    FormatCase{"%d|%d|%g", {2.9, -1e20, 3}, "2|-2147483648|3."},
    FormatCase{"%c%c%c", {'a', 0x142, 'c'}, "aBc"},
    FormatCase{"%5c|", {'z'}, "z|"}));

INSTANTIATE_TEST_SUITE_P(Texts, FormatConversions, ::testing::Values(
    FormatCase{"%.3s|%s|%s", {"abcdef", "", static_cast<const char*>(nullptr)}, "abc||"},
    FormatCase{"%6s|%-6s|%-2s|", {"abc", "abc", "abc"}, "abc   |   abc|abc|"},
    FormatCase{"%.10s|%.0s|", {"abc", "abc"}, "abc||"},
    FormatCase{"%.*s|", {2, kXyz}, "xy|"},
    FormatCase{"%p|%.2p|%-7p|", {kPascal, kPascal, kPascal}, "hello|he|  hello|"},
    FormatCase{"%p|", {static_cast<const unsigned char*>(nullptr)}, "|"},
    // Plain char pointers serve "%p" too (length-prefixed text in a char array).
    FormatCase{"%p|", {"\003abcd"}, "abc|"},
    FormatCase{"%C|%C", {0x54455854, 0x41420142}, "TEXT|AB\\01B"},
    FormatCase{"%.2C|%.0C|%6C|%-6C", {0x54455854, 0x54455854, 0x41424344, 0x41424344},
               "XT||ABCD  |  ABCD"},
    FormatCase{"%C", {static_cast<int32_t>(0xFF000920)}, "\\0377\\0\t "},
    FormatCase{"100%%|%5%|", {}, "100%|%|"},
    FormatCase{"%q|%-3y|%e", {1}, "*q*|*y*|*e*"},
    FormatCase{"%l", {1}, ""},
    FormatCase{"abc%", {}, "abc"}));

INSTANTIATE_TEST_SUITE_P(Arrays, FormatConversions, ::testing::Values(
    FormatCase{"%3R|", {kReals}, "1. 2.5 0|"},
    FormatCase{"%2.2R|%0R|", {kReals, kReals}, "1. 2.5||"},
    FormatCase{"%*R|", {2, kReals}, "1. 2.5|"},
    FormatCase{"%Ad|", {3, kInts}, "1 2 3|"},
    FormatCase{"%Ad|%Ad|", {0, kInts, -1, kInts}, "||"},
    FormatCase{"%-3Ad|", {3, kInts}, "  1   2   3|"},
    FormatCase{"%Aux|%uAx|", {2, kNegInts, 2, kNegInts}, "0xFFFFFFFF 0xFF|0xFFFFFFFF 0xFF|"},
    FormatCase{"%Ac|", {3, uFmtArg::chars("abc")}, "abc|"},
    FormatCase{"%Ac|", {2, kInts}, "\x01\x02|"},
    FormatCase{"%Ag|%.2Af|", {3, kReals, 2, kReals}, "1. 2.5 0|1 2.5|"},
    FormatCase{"%As|%-3As|", {2, kTexts, 3, kTexts}, "ab c| ab   c    |"},
    // An element conversion that does not fit the array's type reads zeros
    // or empty texts, never the array's memory.
    FormatCase{"%Ad|%As|%Ag|", {2, kReals, 2, kInts, 2, kTexts}, "0 0| |0 0|"},
    FormatCase{"%Ad|", {2, "ab"}, "0 0|"},
    // Missing arguments read as 0 or empty.
    FormatCase{"%d|%s|%g|%3R|%Ad|", {}, "0||0|0 0 0||"}));

// The real rule: 8 significant digits, trailing zeros dropped, "g" keeps the
// final ".", exponent form for "f" and "g" outside decpt -5..10.
INSTANTIATE_TEST_SUITE_P(Reals, FormatConversions, ::testing::Values(
    FormatCase{"%f|%g|%G", {5.0, 5.0, 5.0}, "5|5.|5."},
    FormatCase{"%f|%g|%f|%g", {0.5, 0.5, 12.5, 12.5}, "0.5|0.5|12.5|12.5"},
    FormatCase{"%f|%g|%G|%f", {0.0, 0.0, 0.0, -0.0}, "0|0|0|0"},
    FormatCase{"%g|%f|%g", {2.0, 100.0, 100.0}, "2.|100|100."},
    FormatCase{"%g|%g", {2147483648.0, 2147483647.0}, "2147483648.|2147483647."},
    FormatCase{"%g|%g|%g", {123456789.0, 12345678.9, 99999999.99}, "123456789.|12345678.9|99999999.99"},
    FormatCase{"%g|%f|%g", {1.0 / 3, 2.0 / 3, 0.1 + 0.2}, "0.33333333|0.66666667|0.3"},
    FormatCase{"%g|%g|%f", {-0.5, -12.25, -7.0}, "-0.5|-12.25|-7"},
    FormatCase{"%g|%f|%g", {1e-5, 1e-6, 1.5e-6}, "0.00001|0.000001|0.0000015"},
    FormatCase{"%g|%f|%g", {1e-7, 1e-7, -2.5e-9}, "1.e-7|1.e-7|-2.5e-9"},
    FormatCase{"%g|%f|%g", {1e11, 1e11, 1.23456789e15}, "1.e+11|1.e+11|1.2345679e+15"},
    FormatCase{"%g|%g", {9999999999.0, 1e10}, "1.e+10|1.e+10"},
    FormatCase{"%g|%g", {1e300, -1e-300}, "1.e+300|-1.e-300"},
    FormatCase{"%.3g|%.3f|%.2g|%.2f", {3.14159, 2.71828, 0.5, 2.0}, "3.14|2.72|0.5|2"},
    // With as many integer digits as the precision, one more digit is
    // taken: the value is shown up to its first decimal place.
    FormatCase{"%.1g|%.0g|%.1g", {7.4, 7.4, 0.96}, "7.4|7.4|0.96"},
    FormatCase{"%.3g|%.12g", {1234.5, 1.0 / 3}, "1234.5|0.333333333333"},
    FormatCase{"%.*g|", {2, 3.14159}, "3.1|"},
    // Ties round to even on the exact binary value.
    FormatCase{"%.1g|%.2g|%.2g|%.1g", {0.25, 0.125, 0.375, 0.35}, "0.2|0.12|0.38|0.3"},
    // "G" never uses the exponent form; past 12 places after the point it
    // prints "0".
    FormatCase{"%G|%G|%G", {1e-20, -1e-20, 1e-13}, "0|0|0.0000000000001"},
    FormatCase{"%G|%G", {1e11, 1e20}, "100000000000.|100000000000000000000."},
    FormatCase{"%G", {1e-7}, "0.0000001"},
    FormatCase{"%6g|%-6g|%-4f", {1.5, 1.5, 12345.0}, "1.5   |   1.5|12345"},
    FormatCase{"%g|%g|%f|%G", {HUGE_VAL, -HUGE_VAL, NAN, -HUGE_VAL}, "inf|-inf|nan|-inf"},
    FormatCase{"%5g|%-5f|", {NAN, HUGE_VAL}, "nan  |  inf|"}));

TEST(FormatReals, LargeFixedFormIsExact) {
  // "%G" of 1e300 writes all 301 integer digits of the double nearest 1e300.
  const std::string text = uFormat("%G", 1e300);
  ASSERT_EQ(text.size(), 302u);
  EXPECT_EQ(text.substr(0, 20), "10000000000000000525");
  EXPECT_EQ(text.back(), '.');
  EXPECT_EQ(uFormat("%f", 1.7976931348623157e308), "1.7976931e+308");
  EXPECT_EQ(uFormat("%g", 4.9406564584124654e-324), "4.9406565e-324");
}

TEST(FormatBounds, OutputIsCutAndTerminated) {
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(uSprintf(buffer, sizeof buffer, "%s-%d", "abcdef", 12345), 7);
  EXPECT_STREQ(buffer, "abcdef-");

  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(uSprintf(buffer, size_t{1}, "%s", "abc"), 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], '#');

  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(uSprintf(buffer, size_t{0}, "%s", "abc"), 0);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(uSprintf(nullptr, size_t{0}, "%s", "abc"), 0);
}

TEST(FormatBounds, HugeWidthsAndLongTextsStayInsideTheBuffer) {
  // The buffer sits inside a larger block whose tail must stay untouched.
  struct Guarded {
    char buffer[16];
    char guard[16];
  };
  const std::vector<std::pair<const char*, std::vector<uFmtArg>>> cases = {
      {"%99999d", {1}},
      {"%-99999X", {1}},
      {"%*s", {2000000000, "x"}},
      {"%G", {1e300}},
      {"%99999R", {kManyReals}},  // stops reading once the buffer is full
      {"%Ad", {3, kInts}},
      {"%s%s%s", {"0123456789", "0123456789", "0123456789"}},
      {"%.4C%.4C%.4C%.4C", {1, 1, 1, 1}},
  };
  for (const auto& [format, args] : cases) {
    Guarded g;
    std::memset(&g, '#', sizeof g);
    const int n = uVSprintfArgs(g.buffer, sizeof g.buffer, format, args.data(), args.size());
    EXPECT_LE(n, 15) << format;
    EXPECT_EQ(std::strlen(g.buffer), static_cast<size_t>(n)) << format;
    EXPECT_EQ(std::string(g.guard, sizeof g.guard), std::string(16, '#')) << format;
  }
  // The engine writes only up to the cut, however wide the field.
  Guarded g;
  std::memset(&g, '#', sizeof g);
  EXPECT_EQ(uSprintf(g.buffer, "%-99999d", 7), 15);
  EXPECT_STREQ(g.buffer, "               ");
}

TEST(FormatBounds, UnboundedWidthsAreCapped) {
  EXPECT_EQ(uFormat("%-*d", 2000000000, 7).size(), size_t{1} << 20);
  EXPECT_EQ(uFormat("%99999d", 7).size(), 99999u);
}

// The C entry reads each argument as the conversion names it.
int cFormatInto(char* buffer, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = uVSprintf(buffer, size, format, args);
  va_end(args);
  return n;
}

std::string cFormat(const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  uVSprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

TEST(FormatVaList, ReadsArgumentsByConversion) {
  const int ints[] = {4, 5, 6};
  const int letters[] = {'A', 'B'};
  const double reals[] = {0.5, 3};
  const char* texts[] = {"x", "yz"};
  EXPECT_EQ(cFormat("%d|%x|%wd|%*d|%.*s", -5, 255, 0x1FFFF, 3, 1, 2, "abc"), "-5|0xFF|-1|1  |ab");
  EXPECT_EQ(cFormat("%g|%f|%p|%C|%q", 2.0, 0.25, "\002hi", 0x54455854), "2.|0.25|hi|TEXT|*q*");
  EXPECT_EQ(cFormat("%2R|%Ad|%Ac|%Ag|%As", reals, 3, ints, 2, letters, 2, reals, 2, texts),
            "0.5 3.|4 5 6|AB|0.5 3.|x yz");

  // Bounded like the typed entry.
  char small[6];
  std::memset(small, '#', sizeof small);
  EXPECT_EQ(cFormatInto(small, 4, "%d", 123456), 3);
  EXPECT_STREQ(small, "123");
  EXPECT_EQ(small[4], '#');
  EXPECT_EQ(cFormatInto(small, 0, "%d", 1), 0);
  EXPECT_EQ(small[0], '1');
}

TEST(FormatIntToStr, WritesDigitsSignAndPrefix) {
  struct Case {
    int32_t value;
    int base;
    int signMode;
    const char* prefix;
    const char* expected;
  };
  const Case cases[] = {
      {0, 16, 2, "0x", "0"},
      {255, 16, 1, "0x", "0xFF"},
      {-255, 16, 1, "0x", "-0xFF"},
      {-1, 16, 0, "0x", "0xFFFFFFFF"},
      {-1, 2, 0, nullptr, "11111111111111111111111111111111"},
      {INT32_MIN, 2, 1, "0b", "-0b10000000000000000000000000000000"},
      {INT32_MIN, 10, 1, nullptr, "-2147483648"},
      {42, 10, 2, nullptr, "+42"},
      {-42, 10, 2, nullptr, "-42"},
      {35, 36, 1, nullptr, "Z"},
      {1295, 36, 1, nullptr, "ZZ"},
      {12, 99, 1, nullptr, "12"},
  };
  for (const Case& c : cases) {
    char out[48];
    std::memset(out, '#', sizeof out);
    char* end = uIntToStr(c.value, c.base, c.signMode, c.prefix, out);
    EXPECT_STREQ(out, c.expected) << c.value << " base " << c.base;
    EXPECT_EQ(end, out + std::strlen(c.expected));
  }
}

TEST(FormatStrToInt, ReadsPrefixesAndStops) {
  struct Case {
    const char* text;
    int32_t value;
    size_t consumed;
  };
  const Case cases[] = {
      {"123abc", 123, 3},
      {"0x1F,", 31, 4},
      {"0XfF", 255, 4},
      {"0b101x", 5, 5},
      {"0B12", 1, 3},
      {"017", 15, 3},
      {"019", 1, 2},
      {"0", 0, 1},
      {"0x", 0, 1},   // no hexadecimal digit: the prefix stays unread
      {"0bz", 0, 1},
      {"-5", 0, 0},
      {"", 0, 0},
      {"4294967297", 1, 10},  // accumulated in 32 bits
      {"0xFFFFFFFF", -1, 10},
  };
  for (const Case& c : cases) {
    const char* p = c.text;
    EXPECT_EQ(uStrToInt(&p), c.value) << c.text;
    EXPECT_EQ(static_cast<size_t>(p - c.text), c.consumed) << c.text;
  }
}

TEST(FormatStrToInt, BaseReadsDigitsBelowTheBase) {
  struct Case {
    const char* text;
    int base;
    int32_t value;
    size_t consumed;
  };
  const Case cases[] = {
      {"zZ9", 36, 35 * 36 * 36 + 35 * 36 + 9, 3},
      {"fg", 16, 15, 1},
      {"789", 8, 7, 1},
      {"1012", 2, 5, 3},
      {"a", 10, 0, 0},
  };
  for (const Case& c : cases) {
    const char* p = c.text;
    EXPECT_EQ(uStrToIntBase(&p, c.base), c.value) << c.text;
    EXPECT_EQ(static_cast<size_t>(p - c.text), c.consumed) << c.text;
  }
}

}  // namespace
