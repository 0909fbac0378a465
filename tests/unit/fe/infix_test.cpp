#include "fe/infix.h"

#include "exec_fixture.h"
#include "fe/scanner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// ---------------------------------------------------------------------------
// Compiled procedures as text: integers as digits, reals with an "r" prefix,
// literal names with "/", executable names bare, strings in parentheses,
// procedures in braces, elements separated by one blank.

std::string describe(const feObject& v);

std::string describeElements(const feObject& array) {
  std::string s;
  for (int32_t i = 0; i < feArrayLength(&array); ++i) {
    if (i) s += ' ';
    s += describe(*feArrayElem(&array, i));
  }
  return s;
}

std::string describe(const feObject& v) {
  char buffer[64];
  switch (feType(&v)) {
    case feTInt:
      return std::to_string(v.w0.i);
    case feTReal:
      std::snprintf(buffer, sizeof buffer, "r%g", v.w0.d);
      return buffer;
    case feTName: {
      const char* text = nullptr;
      size_t length = 0;
      feNameText(&v, &text, &length);
      return (feIsExec(&v) ? "" : "/") + std::string(text, length);
    }
    case feTString: {
      uint8_t* data = nullptr;
      uint16_t length = 0;
      feStringData(&v, &data, &length);
      return "(" + std::string(reinterpret_cast<const char*>(data), length) + ")";
    }
    case feTArray:
      return feIsExec(&v) ? "{" + describeElements(v) + "}" : "[" + describeElements(v) + "]";
    default:
      return "?";
  }
}

feObject source(const std::string& text) {
  feObject s;
  feMakeString(&s, text.data(), text.size());
  return s;
}

std::string restOf(const feObject& s) {
  uint8_t* data = nullptr;
  uint16_t length = 0;
  feStringData(&s, &data, &length);
  return std::string(reinterpret_cast<const char*>(data), length);
}

// Compiles text (what follows "//(") and answers the result; *proc gets the
// procedure as text, or "-" on an error.
int compile(const std::string& text, std::string* proc) {
  feObject src = source(text);
  feObject out;
  const int err = feInfixRead(&src, &out);
  *proc = "-";
  if (err == feOk) {
    EXPECT_EQ(feType(&out), feTArray) << text;
    EXPECT_TRUE(feIsExec(&out)) << text;
    *proc = describe(out);
    feFree(&out);
  }
  feFree(&src);
  return err;
}

struct CompileCase {
  const char* text;      // after "//(", with its closing ")"
  const char* expected;  // the procedure
};

template <size_t N>
void expectCompiles(const CompileCase (&cases)[N]) {
  for (const CompileCase& c : cases) {
    std::string proc;
    EXPECT_EQ(compile(c.text, &proc), feOk) << c.text;
    EXPECT_EQ(proc, c.expected) << c.text;
  }
}

class InfixTest : public ::testing::Test {
 protected:
  void SetUp() override { execfx::start(); }
  void TearDown() override { execfx::stop(); }
};

TEST_F(InfixTest, CompilesTheDocumentedExamples) {
  const CompileCase cases[] = {
      {"x = a + b * 2)", "{/x a b 2 mul add store}"},
      {"a - -b)", "{a b neg sub}"},
      {"f(x; y))", "{/f mark x y APP}"},
      {"f())", "{/f mark APP}"},
      {"a - b - c)", "{a b sub c sub}"},
      {"2 ** 3 ** 2)", "{2 3 pow 2 pow}"},
      {"x += 1)", "{/x 1 1 index load add store}"},
      {"x -= 1)", "{/x 1 1 index load exch sub store}"},
      {"d:width * 2)", "{d /width get 2 mul}"},
  };
  expectCompiles(cases);
}

TEST_F(InfixTest, EveryBinarySymbolEmitsItsOperator) {
  const CompileCase cases[] = {
      {"a ** b)", "{a b pow}"}, {"a * b)", "{a b mul}"}, {"a / b)", "{a b div}"},
      {"a % b)", "{a b mod}"},  {"a + b)", "{a b add}"}, {"a - b)", "{a b sub}"},
      {"a != b)", "{a b ne}"},  {"a == b)", "{a b eq}"}, {"a >= b)", "{a b ge}"},
      {"a <= b)", "{a b le}"},  {"a > b)", "{a b gt}"},  {"a < b)", "{a b lt}"},
      {"a && b)", "{a b and}"}, {"a & b)", "{a b and}"}, {"a || b)", "{a b or}"},
      {"a | b)", "{a b or}"},   {"a = b)", "{/a b store}"}, {"a ; b)", "{a b}"},
  };
  expectCompiles(cases);
}

// Each rank against the next looser one, in both orders, and equal ranks
// grouping from the left.
TEST_F(InfixTest, PrecedenceLadder) {
  const CompileCase cases[] = {
      {"!a ** b)", "{a not b pow}"},
      {"a ** -b)", "{a b neg pow}"},
      {"a ** b * c)", "{a b pow c mul}"},
      {"a * b ** c)", "{a b c pow mul}"},
      {"a * b + c)", "{a b mul c add}"},
      {"a + b * c)", "{a b c mul add}"},
      {"a + b < c)", "{a b add c lt}"},
      {"a < b + c)", "{a b c add lt}"},
      {"a == b && c)", "{a b eq c and}"},
      {"a && b == c)", "{a b c eq and}"},
      {"a & b || c)", "{a b and c or}"},
      {"a | b && c)", "{a b c and or}"},
      {"x = a || b)", "{/x a b or store}"},
      {"x = 1; y = 2)", "{/x 1 store /y 2 store}"},
      {"a % b / c * d)", "{a b mod c div d mul}"},
      {"a < b != c)", "{a b lt c ne}"},
      {"a * -b + c)", "{a b neg mul c add}"},
  };
  expectCompiles(cases);
}

// A prefix operator stands before its operand: a second one right after it
// must not reduce the first (which has no operand yet).
TEST_F(InfixTest, PrefixOperatorsNestWithoutReducingEachOther) {
  const CompileCase cases[] = {
      {"- -b)", "{b neg neg}"},
      {"!!a)", "{a not not}"},
      {"!-a)", "{a neg not}"},
      {"-(a + b))", "{a b add neg}"},
      {"a - - -b)", "{a b neg neg sub}"},
  };
  expectCompiles(cases);
}

TEST_F(InfixTest, MemberAndQuoteReadTheNextWordAsLiteralName) {
  const CompileCase cases[] = {
      {"d : key)", "{d /key get}"},
      {"d:a:b)", "{d /a get /b get}"},
      {"-d:w)", "{d /w get neg}"},
      {"'x)", "{/x}"},
      {"f('x; 'y))", "{/f mark /x /y APP}"},
      {"d:1)", "{d /1 get}"},
  };
  expectCompiles(cases);
}

TEST_F(InfixTest, GroupsListsProceduresAndCalls) {
  const CompileCase cases[] = {
      {"(a + b) * c)", "{a b add c mul}"},
      {"((a)))", "{a}"},
      {"a * (b + (c - d)))", "{a b c d sub add mul}"},
      {"f(g(x); y + 1))", "{/f mark /g mark x APP y 1 add APP}"},
      {"f(a * (b + c)))", "{/f mark a b c add mul APP}"},
      {"v = [1; 2 + 3])", "{/v [ 1 2 3 add ] store}"},
      {"[[a]; [b]])", "{[ [ a ] [ b ] ]}"},
      {"p = {x + 1})", "{/p {x 1 add} store}"},
      {"{{a}; {b = f(c)}})", "{{{a} {/b /f mark c APP store}}}"},
      {")", "{}"},
  };
  expectCompiles(cases);
}

TEST_F(InfixTest, WordsNumbersAndStrings) {
  const CompileCase cases[] = {
      {"16#ff + 1.5)", "{255 r1.5 add}"},
      {"x = 1e-5)", "{/x r1e-05 store}"},
      {"2.5E+3 - 1e2)", "{r2500 r100 sub}"},
      {"1e - 5)", "{1e 5 sub}"},
      {"x.y + a#b)", "{x.y a#b add}"},
      {"s = \"a(b) c\")", "{/s (a(b) c) store}"},
      {"\"say \\\"hi\\\"\")", "{(say \"hi\")}"},
      {"\t a\r\n+,b\xad)", "{a b add}"},
  };
  expectCompiles(cases);
}

TEST_F(InfixTest, ErrorsAnswerTheirCodes) {
  struct Case {
    const char* text;
    int result;
  };
  const Case cases[] = {
      // Two operands in a row.
      {"a b)", feErrSyntax},
      {"a \"s\")", feErrSyntax},
      {"\"s\" 1)", feErrSyntax},
      {"(a) b)", feErrSyntax},
      // Unknown symbols.
      {"a @ b)", feInfixErrUnknown},
      {"my_var)", feInfixErrUnknown},
      {"$error)", feInfixErrUnknown},
      {".5)", feInfixErrUnknown},
      {"a \x80 b)", feInfixErrUnknown},
      // Symbols where they cannot stand.
      {"a +)", feInfixErrMisplaced},
      {"a = )", feInfixErrMisplaced},
      {": a)", feInfixErrMisplaced},
      {"* a)", feInfixErrMisplaced},
      {"a !b)", feInfixErrMisplaced},
      {"a [b])", feInfixErrMisplaced},
      {"[])", feInfixErrMisplaced},
      // Groups that do not match.
      {"a ])", feInfixErrMisplaced},
      {"a })", feInfixErrMisplaced},
      {"[a))", feInfixErrMisplaced},
      {"{a))", feInfixErrMisplaced},
      {"(a])", feInfixErrMisplaced},
      {"[a})", feInfixErrMisplaced},
      {"f(a}))", feInfixErrMisplaced},
      // ":" and "'" need a word.
      {"d:(a))", feErrSyntax},
      {"'\"s\")", feErrSyntax},
      // The source ends first.
      {"", feErrEof},
      {"a + b", feErrEof},
      {"(a + b)", feErrEof},
      {"f(x", feErrEof},
      {"d:", feErrEof},
      {"x = {a", feErrEof},
      // An unterminated string is the string reader's syntax error.
      {"\"abc", feErrSyntax},
  };
  for (const Case& c : cases) {
    std::string proc;
    EXPECT_EQ(compile(c.text, &proc), c.result) << c.text;
    EXPECT_EQ(proc, "-") << c.text;
  }
}

TEST_F(InfixTest, PendingOperatorsAndGroupsAreLimited) {
  const int limit = feInfixMaxPending;
  struct Case {
    std::string text;
    int result;
  };
  const Case cases[] = {
      {std::string(limit, '(') + "a" + std::string(limit + 1, ')'), feOk},
      {std::string(limit + 1, '(') + "a" + std::string(limit + 2, ')'), feInfixErrUnknown},
      {std::string(limit, '-') + "a)", feOk},
      {std::string(limit + 1, '-') + "a)", feInfixErrUnknown},
      {std::string(limit - 1, '{') + "-a" + std::string(limit - 1, '}') + ")", feOk},
      {std::string(limit, '{') + "-a" + std::string(limit, '}') + ")", feInfixErrUnknown},
  };
  for (const Case& c : cases) {
    std::string proc;
    EXPECT_EQ(compile(c.text, &proc), c.result) << c.text;
  }
  std::string proc;
  ASSERT_EQ(compile(std::string(3, '{') + "a" + std::string(3, '}') + ")", &proc), feOk);
  EXPECT_EQ(proc, "{{{{a}}}}");
}

// "a-=1;" compiles to eight values: 8000 of them fit in one procedure,
// 12000 are past 65535 values and answer limitcheck, never a cut procedure.
TEST_F(InfixTest, ProcedureLengthIsLimited) {
  auto repeated = [](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += i ? ";a-=1" : "a-=1";
    return text + ")";
  };
  feObject src = source(repeated(8000));
  feObject out;
  ASSERT_EQ(feInfixRead(&src, &out), feOk);
  EXPECT_EQ(feArrayLength(&out), 64000);
  feFree(&out);
  feFree(&src);
  std::string proc;
  EXPECT_EQ(compile(repeated(12000), &proc), feErrLimitCheck);
}

TEST_F(InfixTest, ReadsUpToTheClosingParenthesisOnly) {
  struct Case {
    const char* text;
    const char* proc;
    const char* rest;
  };
  const Case cases[] = {
      {"a + b) tail", "{a b add}", " tail"},
      {"f(\")\") + 1)x", "{/f mark ()) APP 1 add}", "x"},
      {"a)) more", "{a}", ") more"},
      // "1e" followed by a sign but no digit is a word of its own.
      {"1e+x)", "{1e x add}", ""},
  };
  for (const Case& c : cases) {
    feObject src = source(c.text);
    feObject out;
    ASSERT_EQ(feInfixRead(&src, &out), feOk) << c.text;
    EXPECT_EQ(describe(out), c.proc) << c.text;
    EXPECT_EQ(restOf(src), c.rest) << c.text;
    feFree(&out);
    feFree(&src);
  }
}

// The compiler keeps its output to itself: the operand stack is the same
// after a compilation, whether it succeeds or fails half way.
TEST_F(InfixTest, LeavesTheOperandStackAlone) {
  ASSERT_EQ(feExecString("(keep) 7"), feOk);
  for (const char* text : {"f(a; [b; {c}]))", "f(a; [b; {c d", "f(a; [b; {c} ]; x y)"}) {
    std::string proc;
    compile(text, &proc);
    EXPECT_EQ(execfx::operands(), "(keep) 7") << text;
  }
}

TEST_F(InfixTest, ExpressionsRunWhereTheScannerMeetsThem) {
  struct Case {
    const char* text;
    int result;
    const char* stack;
  };
  const Case cases[] = {
      {"/a 1 def /b 2 def //(x = a + b * 2) x", feOk, "5"},
      {"/a 7 def //(a - -3 * 2)", feOk, "13"},
      {"/n 10 def //(n += 5; n -= 2) n", feOk, "13"},
      {"/d 1 dict def d /w 4 put //(d:w * 2 == 8)", feOk, "true"},
      {"/p 0 def //(q = {p = p + 1}) 3 {q} repeat p", feOk, "3"},
      {"{//(1 + 1)} exec", feOk, "2"},
      {"//(2 < 3 && !(1 > 2))", feOk, "true"},
      {"//(v = [1; 2; 3]) v length", feOk, "3"},
      {"1 //(a b)", feErrSyntax, nullptr},
      {"1 //(a +)", feInfixErrMisplaced, nullptr},
      {"1 //(a + b", feErrSyntax, nullptr},
  };
  for (const Case& c : cases) {
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(c.text), c.result) << c.text;
    if (c.stack) {
      EXPECT_EQ(execfx::operands(), c.stack) << c.text;
    }
  }
}

// An executable string holding an expression scans the same way each time it
// runs (the source text is never written to).
TEST_F(InfixTest, SameExecutableStringRunsTwiceAlike) {
  ASSERT_EQ(feExecString("/x 0 def /s (//(x += 1) x) cvx def s s"), feOk);
  EXPECT_EQ(execfx::operands(), "1 2");
}

// A call compiles to the literal name, a mark, the arguments and APP, which
// runs the procedure the name stands for.
TEST_F(InfixTest, CallsRunTheNamedProcedure) {
  struct Case {
    const char* text;
    const char* stack;
  };
  const Case cases[] = {
      {"/f {add} def //(f(1; 2) * 10)", "30"},
      {"/g {sub} def //(g(g(10; 1); 2))", "7"},
      {"/h {42} def 5 //(h())", "5 42"},
  };
  for (const Case& c : cases) {
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(c.text), feOk) << c.text;
    EXPECT_EQ(execfx::operands(), c.stack) << c.text;
  }
}

}  // namespace
