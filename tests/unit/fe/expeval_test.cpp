// The expression evaluator: arithmetic, precedence and grouping, numeric
// literals, unit tags, error codes, and calls of FE procedures.
#include "fe/expeval.h"

#include "exec_fixture.h"
#include "fe/script.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <string>
#include <tuple>

namespace {

int evalPlain(const std::string& text, double* value, int16_t* tag = nullptr) {
  return expEval(text.data(), int32_t(text.size()), expReadPlainNumber, nullptr, value, tag);
}

TEST(ExpEval, ValuesOfExpressions) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"1+2*3", 7}, {"(1+2)*3", 9}, {"{1+2}*3", 9}, {"8/2/2", 2}, {"10-4-3", 3},
      {"-2*3", -6}, {"--2", 2}, {"2*-(-3)", 6}, {"+5", 5}, {"2--3", 5},
      {"3:4", 0.75}, {"1+3:4", 1}, {"6/2:3", 1},
      {"1<2 && 2<1", 0}, {"1<2 || 2<1", 1}, {"(1<2 && 2<1)", 0}, {"(1<2 || 2<1)*5", 5},
      {"0 || 0 && 1", 0}, {"1 || 0 && 0", 1},
      {"2<=2", 1}, {"3>=4", 0}, {"2==2", 1}, {"2!=2", 0}, {"1+1>1", 1},
      {"0x1F", 31}, {"017", 15}, {"2#101", 5}, {"1_000", 1000}, {"1.5e2", 150},
      {" 1 +\t2 ", 3}, {"1\xAD+2", 3}, {".5*4", 2},
  };
  for (const auto& c : cases) {
    double value = -999;
    EXPECT_EQ(evalPlain(c.text, &value), 0) << c.text;
    EXPECT_DOUBLE_EQ(value, c.value) << c.text;
  }
}

TEST(ExpEval, ErrorCodesLeaveTheValueAlone) {
  const struct {
    const char* text;
    int code;
  } cases[] = {
      {"1 2", expErrSyntax}, {"()", expErrMissingLeft}, {")", expErrMissingLeft}, {"1+)", expErrMissingLeft},
      {"", expErrSyntax},    {"1+", expErrSyntax},      {"*2", expErrSyntax},      {"1 = 2", expErrSyntax},
      {"1 & 2", expErrSyntax}, {"!1", expErrSyntax},    {"5 % 2", expErrSyntax},   {"2(3)", expErrSyntax},
      {"(1", expErrOverflow}, {"1)", expErrOverflow},   {"f(1, 2)", expErrSyntax}, {"f(1", expErrOverflow},
      {"x", expErrSyntax},    {"08", expErrSyntax},
  };
  for (const auto& c : cases) {
    double value = -999;
    EXPECT_EQ(evalPlain(c.text, &value), c.code) << c.text;
    EXPECT_EQ(value, -999) << c.text;
  }
  double value = 0;
  EXPECT_EQ(expEval("1", 1, nullptr, nullptr, &value, nullptr), expErrNoReader);
}

TEST(ExpEval, StackLimits) {
  // 31 open brackets fill the operator stack; one more is refused.
  std::string deep31 = std::string(31, '(') + "1" + std::string(31, ')');
  std::string deep32 = std::string(32, '(') + "1" + std::string(32, ')');
  double value = 0;
  EXPECT_EQ(evalPlain(deep31, &value), 0);
  EXPECT_EQ(evalPlain(deep32, &value), expErrOverflow);
  // Thirty pending operators hold 31 values: the deepest the stacks allow.
  std::string chain = "1";
  for (int i = 0; i < 15; ++i) chain = "1+2*(" + chain + ")";
  EXPECT_EQ(evalPlain(chain, &value), expErrOverflow);  // 45 operators
  chain = "1";
  for (int i = 0; i < 10; ++i) chain = "1+2*(" + chain + ")";
  EXPECT_EQ(evalPlain(chain, &value), 0);
}

TEST(ExpParseNumber, LiteralsAndWhatTheyConsume) {
  const struct {
    const char* text;
    double value;
    int consumed;
  } cases[] = {
      {"0x1F", 31, 4}, {"0XfF", 255, 4}, {"017", 15, 3}, {"08", 0, 1}, {"0", 0, 1},
      {"2#101", 5, 5}, {"16#FF", 255, 5}, {"36#z", 35, 4}, {"2#102", 2, 4}, {"1_000", 1000, 5},
      {"1.5e2", 150, 5}, {"1.5e-2", 0.015, 6}, {"2e+3", 2000, 4}, {",25", 0.25, 3}, {"0.5", 0.5, 3},
      {"1e", 1, 1}, {"3em", 3, 1}, {"12mm", 12, 2}, {"1.", 1, 2},
  };
  for (const auto& c : cases) {
    const char* cursor = c.text;
    double value = -1;
    EXPECT_EQ(expParseNumber(&cursor, int32_t(std::strlen(c.text)), &value), 0) << c.text;
    EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    EXPECT_EQ(cursor - c.text, c.consumed) << c.text;
  }
  // The length bounds the read.
  const char* text = "123";
  const char* cursor = text;
  double value = 0;
  expParseNumber(&cursor, 2, &value);
  EXPECT_EQ(value, 12);
}

TEST(ExpParseNumber, ConfiguredSeparator) {
  const char saved = expDecimalSeparator();
  expSetDecimalSeparator('\'');
  double value = 0;
  EXPECT_EQ(evalPlain("1'5+'5", &value), 0);
  EXPECT_DOUBLE_EQ(value, 2.0);
  expSetDecimalSeparator(saved);
}

TEST(ExpIntPow, RepeatedSquaring) {
  EXPECT_EQ(expIntPow(2, 10), 1024);
  EXPECT_EQ(expIntPow(2, -2), 0.25);
  EXPECT_EQ(expIntPow(7, 0), 1);
  EXPECT_EQ(expIntPow(-3, 3), -27);
  EXPECT_EQ(expIntPow(2, INT_MIN), 0);
}

// A reader of numbers with unit marks: "L" after a number makes it a length
// (tag 1).
int readTagged(const char** cursor, int32_t length, double* value, int16_t* tag) {
  const char* end = *cursor + length;
  expParseNumber(cursor, length, value);
  *tag = 0;
  if (*cursor < end && **cursor == 'L') {
    ++*cursor;
    *tag = 1;
  }
  return 0;
}

double tenTimes(double value, int16_t from, int16_t to) { return value * expIntPow(10, to - from); }

int evalTagged(const char* text, double* value, int16_t* tag) {
  return expEval(text, int32_t(std::strlen(text)), readTagged, nullptr, value, tag);
}

TEST(ExpEval, UnitTags) {
  expSetTagConverter(tenTimes);
  const struct {
    const char* text;
    double value;
    int16_t tag;
  } cases[] = {
      {"2L*3L", 6, 2}, {"6L/3L", 2, 0}, {"6L:3", 2, 1}, {"-2L", -2, 1},
      {"1L+2", 21, 1},    // the plain 2 is brought to a length
      {"2-1L", 19, 1},
      {"2L*2L+1", 104, 2},  // tag 0 to 2: two steps of the converter
      {"1>2L", 1, 0},       // 10 > 2; a comparison keeps the left tag
      {"1L>2", 0, 1}, {"1L && 0", 0, 1},
  };
  for (const auto& c : cases) {
    double value = 0;
    int16_t tag = -1;
    EXPECT_EQ(evalTagged(c.text, &value, &tag), 0) << c.text;
    EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    EXPECT_EQ(tag, c.tag) << c.text;
  }
  expSetTagConverter(nullptr);
  double value = 0;
  int16_t tag = 0;
  EXPECT_EQ(evalTagged("1L+2", &value, &tag), 0);
  EXPECT_EQ(value, 3);
  EXPECT_EQ(tag, 1);
}

// A resolver that knows "w" (4) and "gap" (0.5, a length).
int resolveTest(const char** cursor, int32_t length, double* value, int16_t* tag) {
  const std::string name(*cursor, size_t(length));
  for (const auto& [n, v, t] : {std::tuple{"w", 4.0, 0}, std::tuple{"gap", 0.5, 1}}) {
    const size_t k = std::strlen(n);
    if (name.compare(0, k, n) == 0 && (name.size() == k || !std::isalnum(static_cast<unsigned char>(name[k])))) {
      *cursor += k;
      *value = v;
      *tag = int16_t(t);
      return 0;
    }
  }
  return -4141;
}

TEST(ExpEval, IdentifiersThroughTheResolver) {
  double value = 0;
  int16_t tag = 0;
  EXPECT_EQ(expEval("(w - 2*gap) / 3", 15, expReadPlainNumber, resolveTest, &value, &tag), 0);
  EXPECT_DOUBLE_EQ(value, 1.0);
  EXPECT_EQ(tag, 1);
  EXPECT_EQ(expEval("w+nope", 6, expReadPlainNumber, resolveTest, &value, &tag), -4141);
  EXPECT_EQ(expEval("2 w", 3, expReadPlainNumber, resolveTest, &value, &tag), expErrTwoOperands);
  // Without a parametric model every drawing variable is undefined.
  EXPECT_EQ(expEvalFactor("w+1", 3, &value), -4141);
  EXPECT_EQ(expEvalFactor("2*3", 3, &value), 0);
  EXPECT_EQ(value, 6);
}

class ExpEvalCall : public ::testing::Test {
 protected:
  void SetUp() override { execfx::start(); }
  void TearDown() override { execfx::stop(); }
  int run(const char* fe) { return feRunString(fe); }
  int eval(const std::string& text, double* value) { return evalPlain(text, value); }
};

TEST_F(ExpEvalCall, ArgumentsGoAsRealsAboveAMark) {
  ASSERT_EQ(run("/probe { counttomark array astore /seen exch def pop 42 } def"), 0);
  double value = 0;
  ASSERT_EQ(eval("probe(1; 1+1)", &value), 0);
  EXPECT_EQ(value, 42);
  feObject seen;
  ASSERT_EQ(feDictGetName(feUserDict(), "seen", &seen), 0);
  ASSERT_EQ(feType(&seen), feTArray);
  ASSERT_EQ(seen.length, 2);
  const feObject* items = feArrayElems(seen.w0.arr) + seen.offset;
  EXPECT_EQ(feType(&items[0]), feTReal);
  EXPECT_EQ(items[0].w0.d, 1.0);
  EXPECT_EQ(feType(&items[1]), feTReal);
  EXPECT_EQ(items[1].w0.d, 2.0);
  feFree(&seen);
}

TEST_F(ExpEvalCall, ProceduresAndAliases) {
  ASSERT_EQ(run("/max { counttomark 1 sub { 2 copy lt { exch } if pop } repeat exch pop } def"), 0);
  ASSERT_EQ(run("/IF { counttomark 10 mul } def /yes { true } def /none { cleartomark } def"), 0);
  ASSERT_EQ(run("/text { (a) } def /noargs { counttomark } def"), 0);
  const struct {
    const char* text;
    int code;
    double value;
  } cases[] = {
      {"max(1; 2)", 0, 2},      {"max(3; 7; 5)*2", 0, 14}, {"1+max(max(1;4); 2)", 0, 5},
      {"max (1; [2]; 0)", expErrSyntax, 0},  // "[2]" is one argument, and malformed
      {"if(1; 2; 3)", 0, 30},   {"ifelse(1; 2)", 0, 20},    {"noargs()", 0, 0}, {"noargs( )", 0, 0},
      {"yes()", 0, 1},          {"text()", expErrBadResult, 0}, {"none()", expErrNoResult, 0},
      {"max(1;;2)", expErrSyntax, 0}, {"2 max(1)", expErrTwoOperands, 0},
  };
  for (const auto& c : cases) {
    double value = -999;
    const int rc = eval(c.text, &value);
    EXPECT_EQ(rc, c.code) << c.text;
    if (c.code == 0) {
      EXPECT_EQ(value, c.value) << c.text;
    }
    EXPECT_EQ(feOperandDepth(), 0) << c.text;
  }
}

TEST_F(ExpEvalCall, AFailingProcedureAnswersItsError) {
  double value = 0;
  EXPECT_EQ(eval("undefinedproc(1)", &value), feErrUndefined);
  EXPECT_NE(execfx::output().find("undefined"), std::string::npos);
  EXPECT_EQ(feOperandDepth(), 0);
}

// A procedure that clears to its own mark, or leaves a mark of its own, must
// not make the call's clean-up reach the caller's values.
TEST_F(ExpEvalCall, TheCallerStackSurvivesWhateverTheProcedureDoes) {
  ASSERT_EQ(run("/eat { cleartomark 5 } def /leave { mark 7 } def /drop { pop pop 9 } def"), 0);
  const struct {
    const char* text;
    double value;
  } cases[] = {{"eat(1)", 5}, {"leave(1; 2)", 7}, {"drop(1)", 9}};
  for (const auto& c : cases) {
    feStackClear(*feOperandStack());
    ASSERT_EQ(run("mark 100"), 0);
    double value = 0;
    ASSERT_EQ(eval(c.text, &value), 0) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(execfx::operands(), "-mark- 100") << c.text;
  }
}

TEST_F(ExpEvalCall, NestedCallsAreBounded) {
  ASSERT_EQ(run("/f { exch pop } def"), 0);
  std::string shallow = "1", deep = "1";
  for (int i = 0; i < 10; ++i) shallow = "f(" + shallow + ")";
  for (int i = 0; i < 40; ++i) deep = "f(" + deep + ")";
  double value = 0;
  EXPECT_EQ(eval(shallow, &value), 0);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(eval(deep, &value), expErrOverflow);
}

TEST_F(ExpEvalCall, TheOperators) {
  expEvalInit('.');
  ASSERT_EQ(run("/r1 (1+2*3) ? def /r2 (3:4) aExpEval def"), 0);
  feObject r;
  ASSERT_EQ(feDictGetName(feUserDict(), "r1", &r), 0);
  EXPECT_EQ(feType(&r), feTReal);
  EXPECT_EQ(r.w0.d, 7.0);
  ASSERT_EQ(feDictGetName(feUserDict(), "r2", &r), 0);
  EXPECT_EQ(r.w0.d, 0.75);
  // An unknown variable fails the operator; its operand is put back.
  EXPECT_EQ(run("(w+1) ?"), -4141);
  EXPECT_NE(execfx::output().find("OffendingCommand: ?"), std::string::npos);
}

TEST(ExpEvalInit, DecimalSeparatorFromTheSystem) {
  const char saved = expDecimalSeparator();
  const struct {
    char before, system, after;
  } cases[] = {{'.', ',', ','}, {',', '.', ','}, {'.', '\xB7', '\xB7'}, {'.', '\'', '.'}, {'.', '+', '.'}, {'.', '7', '.'}, {'.', 0, '.'}};
  for (const auto& c : cases) {
    expSetDecimalSeparator(c.before);
    execfx::start();
    expEvalInit(c.system);
    EXPECT_EQ(expDecimalSeparator(), c.after) << int(c.system);
    execfx::stop();
  }
  expSetDecimalSeparator(saved);
}

}  // namespace
