#include "fe/scanner.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/stack.h"
#include "fe/strings.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Describing tokens: integers as digits, reals with an "r" prefix, literal
// names with "/", executable names bare, strings in parentheses with octal
// escapes for unprintable bytes, arrays in brackets or braces.

std::string describe(const feObject& v);

std::string describeElements(const feObject& array) {
  std::string s;
  for (int32_t i = 0; i < feArrayLength(&array); ++i) {
    if (i) s += ' ';
    s += describe(*feArrayElem(&array, i));
  }
  return s;
}

std::string bytesOf(const feObject& string) {
  uint8_t* data = nullptr;
  uint16_t length = 0;
  feStringData(&string, &data, &length);
  return std::string(reinterpret_cast<const char*>(data), length);
}

std::string describe(const feObject& v) {
  char buffer[64];
  switch (feType(&v)) {
    case feTInt:
      return std::to_string(v.w0.i);
    case feTReal:
      std::snprintf(buffer, sizeof buffer, "r%.17g", v.w0.d);
      return buffer;
    case feTName: {
      const char* text = nullptr;
      size_t length = 0;
      feNameText(&v, &text, &length);
      return (feIsExec(&v) ? "" : "/") + std::string(text, length);
    }
    case feTString: {
      std::string s = "(";
      for (unsigned char c : bytesOf(v)) {
        if (c < 32 || c > 126) {
          std::snprintf(buffer, sizeof buffer, "\\%03o", c);
          s += buffer;
        } else {
          s += char(c);
        }
      }
      return s + ")";
    }
    case feTArray:
      return feIsExec(&v) ? "{" + describeElements(v) + "}" : "[" + describeElements(v) + "]";
    case feTBool:
      return v.w0.i ? "true" : "false";
    case feTNull:
      return "null";
    case feTMark:
      return "-mark-";
    default:
      return "?" + std::to_string(feType(&v));
  }
}

feObject makeString(const std::string& text) {
  feObject s;
  EXPECT_EQ(feMakeString(&s, text.data(), text.size()), feOk);
  return s;
}

// Scans the source to its end: the tokens, then "!code" for an error.
std::string scanAll(feObject* source) {
  std::string result;
  for (;;) {
    feObject token;
    const int err = feScanTokenChecked(source, &token);
    if (err == feErrEof) break;
    if (!result.empty()) result += ' ';
    if (err) {
      result += "!" + std::to_string(err);
      break;
    }
    result += describe(token);
    feFree(&token);
  }
  return result;
}

std::string scanText(const std::string& text) {
  feObject s = makeString(text);
  const std::string result = scanAll(&s);
  feFree(&s);
  return result;
}

// One token of a text: its description, or "!code".
std::string firstToken(const std::string& text) {
  feObject s = makeString(text);
  feObject token;
  const int err = feScanTokenChecked(&s, &token);
  std::string result = err ? "!" + std::to_string(err) : describe(token);
  if (!err) feFree(&token);
  feFree(&s);
  return result;
}

int32_t operandCount() { return feStackCount(*feOperandStack()); }

struct Row {
  std::string source;
  std::string expected;
};

// Tests check that a scan leaves the operand stack as it found it.
struct Scanner : ::testing::Test {
  int32_t before = 0;
  void SetUp() override { before = operandCount(); }
  void TearDown() override { EXPECT_EQ(operandCount(), before); }
};

using ScannerTokens = Scanner;
using ScannerStrings = Scanner;
using ScannerProcedures = Scanner;
using ScannerGiveBack = Scanner;

}  // namespace

// ---------------------------------------------------------------------------

TEST_F(ScannerTokens, SourceTextGivesTheseTokens) {
  const Row rows[] = {
      // radix numbers; a sign, a bad base or no digits make a name
      {"16#ff 2#101 36#Zz 16#FFFFFFFF", "255 5 1295 -1"},
      {"-16#ff 37#1 1#0 16#", "-16#ff 37#1 1#0 16#"},
      // the comma and the other white space separate tokens
      {"1,2", "1 2"},
      {std::string("\t1\r\n\f2\0" "3 ,4", 11), "1 2 3 4"},
      // hex strings: digits of either case, blanks skipped, odd last digit
      {"<41 4> <> <4,1\n6a>", "(A@) () (Aj)"},
      {"<4g>", "!260"},
      {"<41", "!260"},
      // strings keep balanced parentheses
      {"(a(b)c) (\\101)", "(a(b)c) (A)"},
      {"(abc", "!260"},
      // a "}" or ">" alone is a syntax error
      {"}", "!260"},
      {"1 }", "1 !260"},
      {">", "!260"},
      {"> 1", "!260"},
      // reals: exponent with an implied mantissa, lone and trailing dots
      {"e3 E5 . 1. -. .5 -e3 1.5e-3", "r1000 r100000 r0 r1 r-0 r0.5 r-1000 r0.0015"},
      {"e e+ 1e 1e+x + -", "e e+ 1e 1e+x + -"},
      // unsigned texts wrap into the negative integers; beyond is a real
      {"4294967295 2147483648 -2147483648", "-1 -2147483648 -2147483648"},
      {"-2147483649 -4294967295 4294967296", "r-2147483649 r-4294967295 r4294967296"},
      // call syntax
      {"f(1,2) f()", "/f mark 1 2 APP /f mark APP"},
      {"a(b)", "/a mark b APP"},
      // member syntax, chained, and with a number as the member
      {"a:b a::b", "a /b LOAD a /b DUPLOAD"},
      {"a:b:c", "a /b LOAD /c LOAD"},
      {"d:0 e:f(1)", "d 0 LOAD e /f LOAD mark 1 APP"},
      {"{a:b}", "{a /b LOAD}"},
      // a ":" cannot start a token: consumed, and a syntax error
      {":", "!260"},
      {"{:}", "!260"},
      {"a :b", "a !260"},
      {"/a:b", "/a !260"},
      // the names of the brackets and of ")"
      {"[1 2] << /k 3 >> )", "[ 1 2 ] << /k 3 >> APP"},
      // slashes: literal names, and a number stays a number
      {"/ /abc abc /1", "/ /abc abc 1"},
      {"a/b a{b}c a[b]c", "a /b a {b} c a [ b ] c"},
      // comments end at a line feed, carriage return or form feed
      {"abc%comment\n2", "abc 2"},
      {"1 % x\r2 %y\f3", "1 2 3"},
      {"%only a comment", ""},
      {"", ""},
      // procedures nest
      {"{1 {2 /x} [ ]} {}", "{1 {2 /x} [ ]} {}"},
      // a word that names no macro stays a name
      {"#nomacro", "#nomacro"},
      // "/(" is a string that is never translated ("@" marks a text that is
      // not to be translated and is dropped by the translation)
      {"/(@x) (@x)", "(@x) (x)"},
      // in strings, bytes that lead binary tokens in files are characters
      {"\x84" "ab \xa8 \xac", "\\204ab \\250 \\254"},
  };
  for (const Row& row : rows) {
    std::string got = scanText(row.source);
    // Names with unprintable bytes are compared through their octal form.
    std::string printable;
    for (unsigned char c : got) {
      if (c > 126) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\%03o", c);
        printable += buffer;
      } else {
        printable += char(c);
      }
    }
    EXPECT_EQ(printable, row.expected) << "source: " << row.source;
  }
}

TEST(ScannerNumbers, ParseNumberTable) {
  const Row rows[] = {
      {"0", "0"}, {"-0", "0"}, {"007", "7"}, {"+5", "5"},
      {"2147483647", "2147483647"}, {"+4294967295", "-1"},
      {"10#99999999999", "1215752191"},  // the radix form wraps in 32 bits
      {"1.23e2", "r123"}, {"-.5e1", "r-5"}, {"5E-1", "r0.5"}, {"1e+2", "r100"},
      {"12345678901234567890", "r1.2345678901234567e+19"},
      {"1e400", "rinf"}, {"-1e400", "r-inf"}, {"1e-400", "r0"}, {"0.000e999999", "r0"},
      {"", "!261"}, {"+", "!261"}, {"-", "!261"}, {"1.5.3", "!261"}, {"0x10", "!261"},
      {"1e", "!261"}, {"1e-", "!261"}, {"+16#1", "!261"}, {"#ff", "!261"},
      {"16#fg", "!261"}, {"2#102", "!261"}, {"1 ", "!261"},
  };
  for (const Row& row : rows) {
    feObject v;
    const int err = feParseNumber(row.source.data(), row.source.size(), &v);
    EXPECT_EQ(err ? "!" + std::to_string(err) : describe(v), row.expected) << "text: " << row.source;
  }
}

TEST_F(ScannerStrings, EscapesGiveTheseBytes) {
  const Row rows[] = {
      {"(\\b\\f\\n\\r\\t)", "\b\f\n\r\t"},
      {"(\\*\\+\\-\\@)", "\xb0\xb1\xad\xd8"},
      {"(\\d\\q\\\\\\(\\))", "dq\\()"},
      // a line end after a backslash is dropped (CR LF counts as one)
      {"(a\\\nb\\\rc\\\r\nd)", "abcd"},
      // line ends without a backslash stay
      {"(a\r\nb)", "a\r\nb"},
      // octal codes: up to three digits, the low 8 bits
      {"(\\0\\12\\1234)", std::string("\0\nS4", 4)},
      {"(\\777\\400)", std::string("\xff\0", 2)},
      {"(\\18\\7)", "\x01" "8\x07"},
  };
  for (const Row& row : rows) {
    feObject s = makeString(row.source);
    feObject token;
    ASSERT_EQ(feScanToken(&s, &token), feOk) << row.source;
    EXPECT_EQ(bytesOf(token), row.expected) << "source: " << row.source;
    feFree(&token);
    feFree(&s);
  }
  for (const char* broken : {"(\\7", "(a\\", "(a(b)"}) EXPECT_EQ(firstToken(broken), "!260") << broken;
}

TEST_F(ScannerStrings, LongestStringIs32000BytesThenAnAlertAnd270) {
  plTestReset();
  plTestSetMessageBoxEcho(false);
  const std::string fits = "(" + std::string(32000, 'a') + ")";
  feObject s = makeString(fits);
  feObject token;
  ASSERT_EQ(feScanToken(&s, &token), feOk);
  EXPECT_EQ(token.length, 32000);
  feFree(&token);
  feFree(&s);
  EXPECT_TRUE(plTestMessageBoxes().empty());

  EXPECT_EQ(firstToken("(" + std::string(32001, 'b') + ")"), "!270");
  ASSERT_EQ(plTestMessageBoxes().size(), 1u);
  EXPECT_NE(plTestMessageBoxes()[0].text.find("String too long [" + std::string(20, 'b') + "...]"),
            std::string::npos)
      << plTestMessageBoxes()[0].text;
  plTestReset();
}

// ---------------------------------------------------------------------------

TEST_F(ScannerProcedures, AnErrorInsideRemovesWhatWasPushed) {
  feDictStackInit();
  const Row rows[] = {
      {"{1 2 (abc", "!260"},              // the end of a string inside
      {"{1 {2 3}", "!260"},               // the end of the source inside
      {"{1 {2 //scnNoSuchName} 3}", "!265"},
      {"{1 >}", "!260"},
      {"{1 :}", "!260"},
  };
  for (const Row& row : rows) EXPECT_EQ(scanText(row.source), row.expected) << row.source;
}

TEST_F(ScannerProcedures, DeepNestingIsALimitNotACrash) {
  // Procedures are assembled without native recursion; the nesting stops at
  // the stack's largest capacity.
  EXPECT_EQ(scanText(std::string(40000, '{')), "!270");
  const std::string nested = std::string(2000, '{') + "x" + std::string(2000, '}');
  feObject s = makeString(nested);
  feObject token;
  ASSERT_EQ(feScanToken(&s, &token), feOk);
  const feObject* inner = &token;
  int depth = 1;
  while (feArrayLength(inner) == 1 && feType(feArrayElem(inner, 0)) == feTArray) {
    inner = feArrayElem(inner, 0);
    ++depth;
  }
  EXPECT_EQ(depth, 2000);
  EXPECT_EQ(describe(*inner), "{x}");
  feFree(&token);
  feFree(&s);
}

TEST_F(ScannerProcedures, TwoSlashesTakeTheValueAtOnce) {
  ASSERT_EQ(feDictStackInit(), feOk);
  feObject key, value;
  ASSERT_EQ(feMakeName(&key, "scnImmediateX", 13), feOk);
  feMakeInt(&value, 42);
  ASSERT_EQ(feDictDef(&key, &value), feOk);
  EXPECT_EQ(scanText("//scnImmediateX {//scnImmediateX scnImmediateX}"), "42 {42 scnImmediateX}");
  EXPECT_EQ(scanText("//scnImmediateUndefined"), "!265");
}

// ---------------------------------------------------------------------------
// Bytes the scanner gives back never reach a string's body.

TEST_F(ScannerGiveBack, TheSameExecutableStringScansTheSameEveryTime) {
  const std::string text = "f(1,2) a:b c::d {g(x) y:z} x";
  const std::string expected = "/f mark 1 2 APP a /b LOAD c /d DUPLOAD {/g mark x APP y /z LOAD} x";
  feObject s = makeString(text);
  s.flags |= feFlagExec;
  for (int run = 0; run < 2; ++run) {
    feObject copy;
    feCopyValue(&copy, &s);
    EXPECT_EQ(scanAll(&copy), expected) << "run " << run;
    feFree(&copy);
  }
  EXPECT_EQ(bytesOf(s), text);
  feFree(&s);
}

TEST_F(ScannerGiveBack, InterleavedScansOfOneBodyAndOthersStayApart) {
  feObject s = makeString("a:b f(1)");
  s.flags |= feFlagExec;
  feObject first, second;
  feCopyValue(&first, &s);
  feCopyValue(&second, &s);

  feObject token;
  ASSERT_EQ(feScanToken(&first, &token), feOk);
  EXPECT_EQ(describe(token), "a");
  ASSERT_EQ(feScanToken(&second, &token), feOk);
  EXPECT_EQ(describe(token), "a");
  // A scan of another string in between, with the same syntax.
  EXPECT_EQ(scanText("p:q g(2)"), "p /q LOAD /g mark 2 APP");
  // The half-scanned values are still executable strings, not empty.
  EXPECT_EQ(feType(&first), feTString);
  EXPECT_TRUE(feIsExec(&first));
  EXPECT_GT(first.length, 0);

  EXPECT_EQ(scanAll(&first), "/b LOAD /f mark 1 APP");
  EXPECT_EQ(scanAll(&second), "/b LOAD /f mark 1 APP");
  EXPECT_EQ(bytesOf(s), "a:b f(1)");
  feFree(&first);
  feFree(&second);
  feFree(&s);
}

TEST_F(ScannerGiveBack, ALookedAheadCharacterStepsTheStringBack) {
  // A real character given back is the text itself: the value steps back and
  // keeps sharing the body.
  feObject s = makeString("abc{d}");
  const feObject original = s;
  feObject token;
  ASSERT_EQ(feScanToken(&s, &token), feOk);
  EXPECT_EQ(describe(token), "abc");
  EXPECT_EQ(s.w0.str, original.w0.str);
  EXPECT_EQ(bytesOf(s), "{d}");
  feFree(&s);
}

TEST_F(ScannerGiveBack, TheReadersForOtherSyntaxNeverWriteTheBody) {
  // What the infix compiler uses: the character reader and the string reader
  // in its quoted form (a double quote ends it, parentheses are characters).
  feObject s = makeString("x(y\"rest");
  const feObject original = s;
  feCopyValue(&s, &original);   // s holds its own reference; original keeps the body alive
  int ch = 0;
  ASSERT_EQ(feScanReadChar(&s, &ch), feOk);
  EXPECT_EQ(ch, 'x');
  ASSERT_EQ(feScanUnreadChar(&s, 'x'), feOk);   // the text itself: a step back
  EXPECT_EQ(s.w0.str, original.w0.str);
  ASSERT_EQ(feScanUnreadChar(&s, '#'), feOk);   // another byte: a private copy
  EXPECT_NE(s.w0.str, original.w0.str);
  EXPECT_EQ(bytesOf(s), "#x(y\"rest");
  ASSERT_EQ(feScanReadChar(&s, &ch), feOk);
  EXPECT_EQ(ch, '#');

  feObject text;
  ASSERT_EQ(feScanString(&s, feScanStringQuoted | feScanStringRaw, &text), feOk);
  EXPECT_EQ(bytesOf(text), "x(y");
  EXPECT_EQ(bytesOf(s), "rest");
  EXPECT_EQ(bytesOf(original), "x(y\"rest");
  feFree(&text);
  feFree(&s);
  feObject last = original;
  feFree(&last);
}

// ---------------------------------------------------------------------------
// The operator token.

namespace {

struct ScannerTokenOp : Scanner {
  void push(const std::string& text) {
    feObject s = makeString(text);
    ASSERT_EQ(fePush(feOperandStack(), &s), feOk);
  }
  std::string top(int depth) { return describe(*feStackIndex(*feOperandStack(), depth)); }
  void clearToBefore() {
    const int32_t extra = operandCount() - before;
    if (extra > 0) feStackPopN(*feOperandStack(), extra);
  }
  void TearDown() override {
    clearToBefore();
    Scanner::TearDown();
  }
};

}  // namespace

TEST_F(ScannerTokenOp, PushesRestTokenTrueAndFalseAtTheEnd) {
  push("a:b 12 rest");
  ASSERT_EQ(feOpToken(), feOk);
  ASSERT_EQ(operandCount(), before + 3);
  EXPECT_EQ(top(0), "true");
  EXPECT_EQ(top(1), "a");
  std::vector<std::string> tokens = {top(1)};
  feStackPopN(*feOperandStack(), 2);   // leave the rest and take its tokens
  for (;;) {
    ASSERT_EQ(feOpToken(), feOk);
    if (top(0) == "false") break;
    tokens.push_back(top(1));
    feStackPopN(*feOperandStack(), 2);
  }
  EXPECT_EQ(operandCount(), before + 1);   // only false
  const std::vector<std::string> expected = {"a", "/b", "LOAD", "12", "rest"};
  EXPECT_EQ(tokens, expected);
}

TEST_F(ScannerTokenOp, TheRestOfTheStringFollowsTheToken) {
  push("12 rest");
  ASSERT_EQ(feOpToken(), feOk);
  EXPECT_EQ(top(1), "12");
  EXPECT_EQ(top(2), "(rest)");
}

TEST_F(ScannerTokenOp, AFailedScanPushesOnlyFalse) {
  for (const char* text : {"", "  % nothing", "}", "(open", "{1 2"}) {
    push(text);
    ASSERT_EQ(feOpToken(), feOk) << text;
    EXPECT_EQ(operandCount(), before + 1) << text;
    EXPECT_EQ(top(0), "false") << text;
    clearToBefore();
  }
}

TEST_F(ScannerTokenOp, WrongOperandsLeaveTheStackAlone) {
  if (operandCount() == 0) {
    EXPECT_EQ(feOpToken(), feErrStackUnderflow);
  }
  feObject i;
  feMakeInt(&i, 5);
  ASSERT_EQ(fePush(feOperandStack(), &i), feOk);
  EXPECT_EQ(feOpToken(), feErrUnimplemented);
  EXPECT_EQ(operandCount(), before + 1);
  EXPECT_EQ(top(0), "5");
}

// ---------------------------------------------------------------------------
// Program objects give characters through messages 101 and 102.

namespace {

uint16_t charSourceClass;

struct CharSource {
  feObjRecord head;
  std::string input;
  size_t next = 0;
  std::vector<int> back;   // characters given back, the last read first
};

int charSourceHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* r = static_cast<CharSource*>(object);
  switch (message) {
    case feMsgReadChar:
      if (!r->back.empty()) {
        *reinterpret_cast<int*>(a) = r->back.back();
        r->back.pop_back();
        return 0;
      }
      if (r->next >= r->input.size()) return feErrEof;
      *reinterpret_cast<int*>(a) = static_cast<unsigned char>(r->input[r->next++]);
      return 0;
    case feMsgUnreadChar:
      r->back.push_back(int(a));
      return 0;
    default:
      // Broadcasts (an image being written) come without an object.
      return objMeth(objSuperClass(charSourceClass), message, object, a, b, c);
  }
}

}  // namespace

TEST_F(Scanner, ProgramObjectsAreTokenSources) {
  if (!charSourceClass) charSourceClass = objClassRegister("scnChars", 0, charSourceHandler);
  CharSource record;
  record.head.classId = charSourceClass;
  record.head.refCount = feObjPermanent;
  record.input = "f(1) a:b {c::d}";
  feObject source;
  ASSERT_EQ(feMakeObjRef(&source, &record), feOk);
  EXPECT_EQ(scanAll(&source), "/f mark 1 APP a /b LOAD {c /d DUPLOAD}");
  EXPECT_TRUE(record.back.empty());
}

// ---------------------------------------------------------------------------
// File sources, through the reader the file module installs; here a fake
// file value whose body pointer leads to the bytes.

namespace {

struct FakeFile {
  std::string bytes;
  size_t next = 0;
  std::vector<int> back;
};

FakeFile* fakeOf(feObject* file) { return static_cast<FakeFile*>(file->w0.ptr); }

int fakeRead(feObject* file, int* ch) {
  FakeFile* f = fakeOf(file);
  if (!f->back.empty()) {
    *ch = f->back.back();
    f->back.pop_back();
    return 0;
  }
  if (f->next >= f->bytes.size()) return feErrEof;
  *ch = static_cast<unsigned char>(f->bytes[f->next++]);
  return 0;
}

int fakeUnread(feObject* file, int ch) {
  fakeOf(file)->back.push_back(ch);
  return 0;
}

size_t fakeBytes(feObject* file, uint8_t* out, size_t n) {
  FakeFile* f = fakeOf(file);
  size_t got = 0;
  while (got < n && f->next < f->bytes.size()) out[got++] = uint8_t(f->bytes[f->next++]);
  return got;
}

const feScanFileReader fakeReader = {fakeRead, fakeUnread, fakeBytes};

std::string scanFile(const std::string& bytes) {
  FakeFile f;
  f.bytes = bytes;
  feObject file{};
  file.w0.ptr = &f;
  file.flags = uint16_t(feTFile) | feFlagExec;
  return scanAll(&file);
}

struct ScannerFiles : Scanner {
  void SetUp() override {
    Scanner::SetUp();
    feScanSetFileReader(&fakeReader);
  }
  void TearDown() override {
    feScanSetFileReader(nullptr);
    Scanner::TearDown();
  }
};

}  // namespace

TEST_F(ScannerFiles, BinaryTokensAndTextTokens) {
  const double oneAndHalf = 1.5;
  std::string real(1, char(160));
  real.append(reinterpret_cast<const char*>(&oneAndHalf), 8);   // the machine's little-endian order
  const Row rows[] = {
      {std::string("\x84\x78\x56\x34\x12", 5), "305419896"},
      {std::string("\x86\xfe\xff", 3), "-2"},
      {std::string("\x88\x80", 2), "-128"},
      {std::string("\x8e\x03" "abc", 5), "(abc)"},
      {std::string("\x8f\x02\x00" "hi", 5), "(hi)"},
      {std::string("\x8e\x00", 2), "()"},
      {real, "r1.5"},
      {"\xa8 \xac", "xop xmark"},
      // text and binary tokens mix; the given-back characters go to the file
      {std::string("a:b(1) \x88\x05 c)", 12), "a /b LOAD mark 1 APP 5 c APP"},
      // short reads
      {std::string("\x84\x01\x02", 3), "!273"},
      {std::string("\x8f\x05\x00" "ab", 5), "!273"},
      {"\xa0", "!273"},
  };
  for (const Row& row : rows) EXPECT_EQ(scanFile(row.source), row.expected);
}
