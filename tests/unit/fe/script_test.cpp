#include "fe/script.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "fe/exec_fixture.h"
#include "fe/signature.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace execfx;

// The value a name has in the dictionary stack, as "==" prints it; "-" when
// it has none.
std::string valueOf(const char* name) {
  feObject key, value;
  feMakeName(&key, name, std::strlen(name));
  if (feLoad(&key, &value) != feOk) return "-";
  std::string saved;
  saved.swap(output());
  fePrint(&value, 1);
  std::string text;
  text.swap(output());
  output().swap(saved);
  feFree(&value);
  return text;
}

std::string& logText() {
  static std::string text;
  return text;
}
void captureLog(void*, const char* text, size_t length) { logText().append(text, length); }

class ScriptTest : public ::testing::Test {
protected:
  void SetUp() override {
    start();
    logText().clear();
    dbgSetLogHook(captureLog, nullptr);
  }
  void TearDown() override {
    dbgSetLogHook(nullptr, nullptr);
    feSetPointConverter(nullptr);
    stop();
  }
};

using ScriptExecf = ScriptTest;
using ScriptCall = ScriptTest;
using ScriptGet = ScriptTest;
using ScriptPush = ScriptTest;
using ScriptPoint = ScriptTest;
using ScriptTyped = ScriptTest;

// ---- feExecf ----

TEST_F(ScriptExecf, RunsFormattedTextThroughEveryForm) {
  const std::string longText(1000, 'a');
  EXPECT_EQ(feExecf("/scriptX %ld def", int32_t(42)), feOk);
  EXPECT_EQ(feExecf("/%s %g def", "scriptReal", 2.0), feOk);
  EXPECT_EQ(feExecf("/scriptLong (%s) def", longText), feOk);
  EXPECT_EQ(feExecfC("/%s %d def", "scriptC", 7), feOk);
  EXPECT_EQ(feExecfC("/scriptLongC (%s) def", longText.c_str()), feOk);
  EXPECT_EQ(feExecfC("/scriptPlain 3 def"), feOk);

  EXPECT_EQ(valueOf("scriptX"), "42");
  EXPECT_EQ(valueOf("scriptReal"), "2.");
  EXPECT_EQ(valueOf("scriptLong"), "(" + longText + ")");
  EXPECT_EQ(valueOf("scriptC"), "7");
  EXPECT_EQ(valueOf("scriptLongC"), "(" + longText + ")");
  EXPECT_EQ(valueOf("scriptPlain"), "3");
  EXPECT_EQ(operands(), "");
}

TEST_F(ScriptExecf, AnErrorIsAnsweredAndReported) {
  EXPECT_EQ(feExecf("1 %s", "scriptNoSuchName"), feErrUndefined);
  EXPECT_NE(output().find("undefined"), std::string::npos) << output();
  EXPECT_NE(output().find("scriptNoSuchName"), std::string::npos) << output();
}

// A text that cannot run as given is refused, never cut into another script.
TEST_F(ScriptExecf, TextsThatCannotRunAsGivenAreRefused) {
  const std::string huge(70000, 'b');
  EXPECT_EQ(feExecf("/scriptHuge (%s) def", huge), feErrLimitCheck);
  EXPECT_EQ(feExecfC("/scriptHugeC (%s) def", huge.c_str()), feErrLimitCheck);
  // A NUL byte would end the text early: "/scriptCut 1 def" would run alone.
  EXPECT_EQ(feExecf("/scriptCut 1 def%c /scriptCut 2 def", char(0)), feErrSyntax);
  EXPECT_EQ(feExecfC("/scriptCutC 1 def%c", 0), feErrSyntax);
  EXPECT_EQ(valueOf("scriptHuge"), "-");
  EXPECT_EQ(valueOf("scriptHugeC"), "-");
  EXPECT_EQ(valueOf("scriptCut"), "-");
  EXPECT_EQ(valueOf("scriptCutC"), "-");

  // A text far past 256 characters runs whole.
  const std::string big(20000, 'c');
  EXPECT_EQ(feExecfC("/scriptBig (%s) def", big.c_str()), feOk);
  EXPECT_EQ(valueOf("scriptBig"), "(" + big + ")");
}

// ---- Calling a procedure and reading back its result ----

int opPushMark(feArgs*) { return fePushMark(); }

TEST_F(ScriptCall, TheOperandStackGoesBackToTheRecordedDepth) {
  if (!defined("scriptTestMark")) feRegisterOp("scriptTestMark", opPushMark, "!", 0, 0);
  ASSERT_EQ(feExecString("/scriptEatsMark {pop pop pop 5} def"
                         "/scriptLeavesMark {pop scriptTestMark 6 7} def"
                         "/scriptLeavesNothing {pop pop pop} def"
                         "/scriptFails {pop pop scriptNoSuchName} def"),
            feOk);
  const feObject args[] = {integer(1), integer(2)};
  struct Case {
    const char* procedure;
    int answer;
    const char* result;
  } cases[] = {
      // The procedure consumes the caller's mark: clearing to a mark
      // afterwards would take the caller's caller's values.
      {"scriptEatsMark", feOk, "5"},
      // The procedure leaves a mark of its own under its result.
      {"scriptLeavesMark", feOk, "7"},
      {"scriptLeavesNothing", feErrStackUnderflow, "-null-"},
      {"scriptFails", feErrUndefined, "-null-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.procedure);
    ASSERT_EQ(feExecString("scriptTestMark (below)"), feOk);
    feObject result;
    feMakeInt(&result, 99);
    EXPECT_EQ(feCallScript(c.procedure, std::strlen(c.procedure), true, args, 2, &result), c.answer);
    std::string saved;
    saved.swap(output());
    fePrint(&result, 1);
    std::string shown;
    shown.swap(output());
    output().swap(saved);
    EXPECT_EQ(shown, c.result);
    feFree(&result);
    EXPECT_EQ(operands(), "-mark- (below)");
    feStackClear(*feOperandStack());
  }
}

TEST_F(ScriptCall, WithoutMarkOrResultTheStackIsRestoredAsWell) {
  ASSERT_EQ(feExecString("/scriptKeep {dup dup} def"), feOk);
  const feObject arg = integer(3);
  ASSERT_EQ(feExecString("(below)"), feOk);
  EXPECT_EQ(feCallScript("scriptKeep", 10, false, &arg, 1, nullptr), feOk);
  EXPECT_EQ(operands(), "(below)");
}

// ---- Taking values apart ----

feObject str(const char* text) {
  feObject v;
  feMakeString(&v, text, std::strlen(text));
  return v;
}
feObject name(const char* text) {
  feObject v;
  feMakeName(&v, text, std::strlen(text));
  return v;
}
feObject array(std::vector<feObject> elements) {
  feObject v;
  feMakeArray(&v, elements.data(), uint32_t(elements.size()));
  return v;
}

TEST_F(ScriptGet, StringsAndNamesGiveTheirCharacters) {
  feObject s = str("abc"), n = name("scriptNm"), i = integer(1);
  const char* text = "untouched";
  int32_t length = -5;
  EXPECT_EQ(feGetString(&s, &text, &length), feOk);
  EXPECT_EQ(std::string(text, size_t(length)), "abc");
  EXPECT_EQ(feGetString(&n, &text, &length), feOk);
  EXPECT_EQ(std::string(text, size_t(length)), "scriptNm");

  text = "untouched";
  length = -5;
  EXPECT_EQ(feGetString(&i, &text, &length), feErrTypeCheck);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(length, -5);
  EXPECT_EQ(feGetString(nullptr, &text, &length), feErrTypeCheck);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(length, 0);
  feFree(&s);
}

TEST_F(ScriptGet, NumbersAndFixedArraysAreCheckedByType) {
  feObject s = str("1"), b, vec = array({integer(1), integer(2), real(3.5)});
  feMakeBool(&b, 1);
  const feObject i = integer(-4), r = real(2.5);

  double d = 7;
  int32_t k = 7;
  EXPECT_EQ(feGetRealArg(&i, &d), feOk);
  EXPECT_EQ(d, -4.0);
  EXPECT_EQ(feGetRealArg(&r, &d), feOk);
  EXPECT_EQ(d, 2.5);
  for (const feObject* refused : std::vector<const feObject*>{&b, &s, &vec})
    EXPECT_EQ(feGetRealArg(refused, &d), feErrTypeCheck);
  EXPECT_EQ(d, 2.5);
  EXPECT_EQ(feGetIntArg(&i, &k), feOk);
  EXPECT_EQ(k, -4);
  EXPECT_EQ(feGetIntArg(&r, &k), feErrTypeCheck);  // a real is not taken as an integer
  EXPECT_EQ(k, -4);

  double v[3] = {9, 9, 9};
  EXPECT_EQ(feGetVec3(&vec, v), feOk);
  EXPECT_EQ(std::vector<double>(v, v + 3), (std::vector<double>{1, 2, 3.5}));

  feObject shortArray = array({integer(1), integer(2)});
  feObject badElement = array({integer(1), integer(2), str("x")});
  feObject nine = array({integer(1), integer(2), integer(3), integer(4), integer(5), integer(6), integer(7),
                         integer(8), real(9.5)});
  const double before[3] = {9, 9, 9};
  for (const feObject* refused : std::vector<const feObject*>{&shortArray, &badElement, &nine, &i, &s}) {
    std::memcpy(v, before, sizeof v);
    EXPECT_EQ(feGetVec3(refused, v), feErrTypeCheck);
    EXPECT_EQ(std::memcmp(v, before, sizeof v), 0);
  }
  double m[9] = {};
  EXPECT_EQ(feGetMat3(&nine, m), feOk);
  EXPECT_EQ(m[0], 1.0);
  EXPECT_EQ(m[8], 9.5);
  EXPECT_EQ(feGetMat3(&vec, m), feErrTypeCheck);
  for (feObject* o : {&s, &vec, &shortArray, &badElement, &nine}) feFree(o);
}

TEST_F(ScriptGet, RealArraysReportRoomAndTypes) {
  feObject four = array({integer(1), real(2.5), integer(3), integer(4)});
  feObject mixed = array({integer(1), str("x"), integer(3)});
  feObject empty = array({});
  const feObject notArray = integer(1);
  struct Case {
    const char* what;
    const feObject* value;
    int32_t room;
    int answer;
    int32_t count;
  } cases[] = {
      {"too long for the room", &four, 3, -1, 3},
      {"fits", &four, 5, feOk, 4},
      {"exactly", &four, 4, feOk, 4},
      {"a string element", &mixed, 3, feErrTypeCheck, 1},
      {"not an array", &notArray, 3, feErrTypeCheck, 0},
      {"empty", &empty, 3, feOk, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    double out[8] = {};
    int32_t count = c.room;
    EXPECT_EQ(feGetRealArray(c.value, &count, out), c.answer);
    EXPECT_EQ(count, c.count);
  }
  double out[3] = {};
  int32_t count = 3;
  feGetRealArray(&four, &count, out);
  EXPECT_EQ(std::vector<double>(out, out + 3), (std::vector<double>{1, 2.5, 3}));
  for (feObject* o : {&four, &mixed, &empty}) feFree(o);
}

TEST_F(ScriptGet, PopBoolIsTrueOnlyForTheBooleanTrue) {
  struct Case {
    const char* text;
    int answer;
  } cases[] = {{"true", 1}, {"false", 0}, {"1", 0}, {"(true)", 0}, {"null", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_EQ(feExecString((std::string("(below) ") + c.text).c_str()), feOk);
    EXPECT_EQ(fePopBool(), c.answer);
    EXPECT_EQ(operands(), "(below)");  // removed, nothing else
    feStackClear(*feOperandStack());
  }
  EXPECT_EQ(fePopBool(), 0);  // an empty stack
}

// ---- Pushes ----

TEST_F(ScriptPush, EachPushLeavesItsValue) {
  feObjRecord record{0, 5};
  const char text[] = "a(b";
  EXPECT_EQ(fePushString(text, 3), feOk);
  EXPECT_EQ(fePushString(nullptr, 2), feOk);
  EXPECT_EQ(fePushReal(0.5), feOk);
  EXPECT_EQ(fePushInt(-3), feOk);
  EXPECT_EQ(fePushMark(), feOk);
  EXPECT_EQ(fePushValue(nullptr), feOk);
  EXPECT_EQ(fePushValue(&record), feOk);
  EXPECT_EQ(record.refCount, 6);
  feObject* top = feStackIndex(*feOperandStack(), 0);
  EXPECT_EQ(feType(top), feTObject);
  EXPECT_EQ(top->w0.obj, &record);
  feStackPopN(*feOperandStack(), 1);
  EXPECT_EQ(record.refCount, 5);
  EXPECT_EQ(operands(), "(a(b) (\\0\\0) 0.5 -3 -mark- -null-");

  feObject made;
  const double values[] = {1, 2.5, -3};
  ASSERT_EQ(feMakeRealArray(&made, values, 3), feOk);
  fePrint(&made, 1);
  EXPECT_EQ(output(), "[1. 2.5 -3. ]");
  feFree(&made);
}

TEST_F(ScriptPush, RefusedPushesLeaveNothing) {
  const std::string tooLong(70000, 'x');
  EXPECT_EQ(fePushString(tooLong.data(), tooLong.size()), feErrLimitCheck);
  feObject made;
  EXPECT_EQ(feMakeRealArray(&made, nullptr, 70000), feErrLimitCheck);
  EXPECT_EQ(feOperandDepth(), 0);

  // At the operand stack's limit nothing is pushed and nothing is leaked.
  while (fePushInt(0) == feOk) {
  }
  const int32_t full = feOperandDepth();
  feObjRecord record{0, 5};
  EXPECT_EQ(fePushString("abc", 3), feErrLimitCheck);
  EXPECT_EQ(fePushValue(&record), feErrLimitCheck);
  EXPECT_EQ(record.refCount, 5);
  const double p[3] = {1, 2, 3};
  EXPECT_EQ(fePushPoint(2, p), feErrLimitCheck);
  EXPECT_EQ(feOperandDepth(), full);
  feStackClear(*feOperandStack());
}

// ---- Work-plane conversion ----

// A fake work plane: world = plane + (10, 20, 30); directions only move in x.
std::vector<int>& converted() {
  static std::vector<int> flags;
  return flags;
}
void fakePlane(double* p, int flag) {
  converted().push_back(flag);
  const double sign = flag >= 257 ? -1 : 1;
  p[0] += sign * 10;
  if (flag == 1 || flag == 257) {
    p[1] += sign * 20;
    p[2] += sign * 30;
  }
}

TEST_F(ScriptPoint, FlagsPickTheDirectionOfTheConversion) {
  feSetPointConverter(fakePlane);
  converted().clear();
  ASSERT_EQ(feExecString("(below)"), feOk);
  struct Case {
    int flag;
    double expected[3];
  } cases[] = {
      {1, {11, 22, 33}},
      {2, {11, 2, 3}},
      {257, {-9, -18, -27}},
      {258, {-9, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flag);
    double p[3] = {1, 2, 3};
    EXPECT_EQ(ptConvertByFlag(p, c.flag), feOk);
    EXPECT_EQ(std::vector<double>(p, p + 3), std::vector<double>(c.expected, c.expected + 3));
  }
  EXPECT_EQ(converted(), (std::vector<int>{1, 2, 257, 258}));

  // Plane to world and back is the identity.
  double p[3] = {0.25, -7, 1e6};
  EXPECT_EQ(ptConvertByFlag(p, 1), feOk);
  EXPECT_EQ(ptConvertByFlag(p, 257), feOk);
  EXPECT_EQ(std::vector<double>(p, p + 3), (std::vector<double>{0.25, -7, 1e6}));
  EXPECT_EQ(operands(), "(below)");  // the conversion leaves the stack alone
}

TEST_F(ScriptPoint, ABadFlagIsReportedAndLeavesThePoint) {
  feSetPointConverter(fakePlane);
  converted().clear();
  for (int flag : {0, 3, 256, 259, -1}) {
    SCOPED_TRACE(flag);
    logText().clear();
    double p[3] = {1, 2, 3};
    EXPECT_EQ(ptConvertByFlag(p, flag), feErrRangeCheck);
    EXPECT_EQ(std::vector<double>(p, p + 3), (std::vector<double>{1, 2, 3}));
    EXPECT_NE(logText().find("bad flag"), std::string::npos) << logText();
  }
  EXPECT_TRUE(converted().empty());
}

TEST_F(ScriptPoint, WithoutAConverterPointsStayAndPushPointConvertsACopy) {
  double p[3] = {1, 2, 3};
  EXPECT_EQ(ptConvertByFlag(p, 257), feOk);
  EXPECT_EQ(std::vector<double>(p, p + 3), (std::vector<double>{1, 2, 3}));

  feSetPointConverter(fakePlane);
  EXPECT_EQ(fePushPoint(1, p), feOk);  // world to plane as a point
  EXPECT_EQ(fePushPoint(0, p), feOk);  // as a direction
  EXPECT_EQ(fePushPoint(2, p), feOk);  // unchanged
  EXPECT_EQ(operands(), "[-9. -18. -27. ] [-9. 2. 3. ] [1. 2. 3. ]");
  EXPECT_EQ(std::vector<double>(p, p + 3), (std::vector<double>{1, 2, 3}));
}

// ---- Typed arrays ----

// Fake converters: a parser that reads a whole number (leading blanks
// allowed) and rejects anything else, and formatters that tag their text.
// The parser checks that it is handed a terminated copy and that the text
// being read is not written to while it runs.
const uint8_t* watchedBytes = nullptr;
std::string watchedCopy;
int parseCalls = 0;
bool sourceChanged = false;

int parseWith(const char* text, int32_t length, double* out, double scale) {
  ++parseCalls;
  EXPECT_EQ(text[length], 0) << "the item is passed terminated";
  if (watchedBytes && std::memcmp(watchedBytes, watchedCopy.data(), watchedCopy.size()) != 0) sourceChanged = true;
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || end != text + length) {
    *out = 12345;  // what a rejected item leaves behind is not used
    return -7;
  }
  *out = v * scale;
  return 0;
}
int parseLength(const char* t, int32_t n, double* out) { return parseWith(t, n, out, 1); }
int parseAngle(const char* t, int32_t n, double* out) { return parseWith(t, n, out, 1.0 / 360); }
int parseFactor(const char* t, int32_t n, double* out) { return parseWith(t, n, out, 10); }

int formatWith(double value, int32_t size, char* out, int32_t precision, const char* tag) {
  EXPECT_EQ(size, feTypedItemMax + 1);
  EXPECT_EQ(precision, -1);
  return std::snprintf(out, size_t(size), "%s%g", tag, value);
}
int formatLength(double v, int32_t size, char* out, int32_t p) { return formatWith(v, size, out, p, "L"); }
int formatAngle(double v, int32_t size, char* out, int32_t p) { return formatWith(v, size, out, p, "A"); }
int formatFactor(double v, int32_t size, char* out, int32_t p) { return formatWith(v, size, out, p, "F"); }
// Fills all the room it is given.
int formatLong(double, int32_t size, char* out, int32_t) {
  std::memset(out, 'w', size_t(size - 1));
  out[size - 1] = 0;
  return size - 1;
}

std::vector<double> read(const std::string& text) {
  double out[feTypedArrayMax + 4];
  std::fill(std::begin(out), std::end(out), -1.0);
  const int32_t n = feTypedArrayRead(text.data(), text.size(), parseLength, out);
  EXPECT_EQ(out[feTypedArrayMax], -1.0) << "nothing is written past the room";
  return std::vector<double>(out, out + n);
}

TEST_F(ScriptTyped, ReadingSplitsAtSemicolons) {
  std::string twenty;
  std::vector<double> sixteen;
  for (int i = 1; i <= 20; ++i) {
    twenty += std::to_string(i) + ";";
    if (i <= 16) sixteen.push_back(i);
  }
  struct Case {
    std::string text;
    std::vector<double> values;
  } cases[] = {
      {"1;2;3", {1, 2, 3}},
      {twenty, sixteen},
      {"1;2; ", {1, 2}},       // a trailing ";" with only blanks adds nothing
      {"1;2;", {1, 2}},
      {"1;2;  7", {1, 2, 7}},  // the last item's leading blanks are skipped
      {"", {}},
      {"   ", {}},
      {"4", {4}},
      {"1;x;3", {1, 0, 3}},    // a rejected item gives 0
      {"1;;3", {1, 0, 3}},     // an empty inner item is still an item
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(read(c.text), c.values);
  }
}

TEST_F(ScriptTyped, ReadingNeverWritesTheTextItReads) {
  // The text is the front of a longer body, as a substring value is: the
  // byte after it belongs to the other values sharing the body.
  const std::string body = "1;2;3xyz";
  watchedBytes = reinterpret_cast<const uint8_t*>(body.data());
  watchedCopy = body;
  sourceChanged = false;
  double out[feTypedArrayMax];
  EXPECT_EQ(feTypedArrayRead(body.data(), 5, parseLength, out), 3);
  EXPECT_EQ(out[2], 3.0);
  EXPECT_FALSE(sourceChanged);
  EXPECT_EQ(body, "1;2;3xyz");
  watchedBytes = nullptr;
}

TEST_F(ScriptTyped, WritingJoinsTheFormattedNumbers) {
  feObject numbers = array({integer(1), real(2.5), integer(-3)});
  feObject empty = array({});
  char* text = nullptr;
  int32_t length = -1;
  ASSERT_EQ(feTypedArrayWrite(&numbers, formatLength, &text, &length), feOk);
  EXPECT_EQ(std::string(text, size_t(length)), "L1; L2.5; L-3");
  EXPECT_EQ(text[length], 0);
  uFree(&text);

  ASSERT_EQ(feTypedArrayWrite(&empty, formatLength, &text, &length), feOk);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(length, 0);

  // Each item holds at most feTypedItemMax characters.
  feObject two = array({integer(1), integer(2)});
  ASSERT_EQ(feTypedArrayWrite(&two, formatLong, &text, &length), feOk);
  EXPECT_EQ(length, 2 * feTypedItemMax + 2);
  EXPECT_EQ(std::string(text, size_t(length)),
            std::string(feTypedItemMax, 'w') + "; " + std::string(feTypedItemMax, 'w'));
  uFree(&text);
  for (feObject* o : {&numbers, &empty, &two}) feFree(o);
}

TEST_F(ScriptTyped, WritingRefusesWhatItCannotWrite) {
  feObject withString = array({integer(1), str("x")});
  const feObject notArray = integer(1);
  std::vector<feObject> many;
  for (int i = 0; i < 300; ++i) many.push_back(integer(i));
  feObject tooLong = array(many);  // 300 items of 250 characters
  struct Case {
    const char* what;
    const feObject* value;
    feValueFormatter formatter;
    int answer;
  } cases[] = {
      {"an element that is not a number", &withString, formatLength, feErrTypeCheck},
      {"not an array", &notArray, formatLength, feErrTypeCheck},
      {"a text past the longest string", &tooLong, formatLong, feErrLimitCheck},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    char* text = reinterpret_cast<char*>(1);
    int32_t length = -1;
    EXPECT_EQ(feTypedArrayWrite(c.value, c.formatter, &text, &length), c.answer);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(length, 0);
  }
  feFree(&withString);
  feFree(&tooLong);
}

// ---- The operators, run as scripts run them ----

class ScriptOpsRun : public ScriptTest {
protected:
  void SetUp() override {
    ScriptTest::SetUp();
    if (!defined("aStringToLengthArray")) {
      scriptConverters c{parseLength, parseAngle, parseFactor, formatLength, formatAngle, formatFactor};
      scriptRegisterOps(c);
    }
  }
};

TEST_F(ScriptOpsRun, TextsAndArraysConvertThroughTheirParameter) {
  struct Case {
    const char* text;
    const char* stack;
  } cases[] = {
      {"(1;2;3) aStringToLengthArray", "[1. 2. 3. ]"},
      {"(1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20) aStringToLengthArray length",
       "16"},
      {"(1;2; ) aStringToLengthArray", "[1. 2. ]"},
      {"() aStringToLengthArray", "[]"},
      {"(90;180) aStringToAngleArray", "[0.25 0.5 ]"},
      {"(90) aStringToAngleArray2", "[0.25 ]"},
      {"(1.5) aStringToFactorArray", "[15. ]"},
      {"/scriptItems (7;8) cvn def scriptItems aStringToLengthArray", "[7. 8. ]"},  // a name's text
      {"[1 2.5] aAngleArrayToString", "(A1; A2.5)"},
      {"[1] aLengthArrayToString", "(L1)"},
      {"[0.5 -2] aFactorArrayToString", "(F0.5; F-2)"},
      {"[] aLengthArrayToString", "()"},
      {"aPostFEWindow", ""},
      {"null aSetLogFile", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    // "length" arrives with the standard operators.
    if (std::strstr(c.text, " length") && !defined("length")) continue;
    EXPECT_EQ(feExecString(c.text), feOk);
    EXPECT_EQ(operands(), c.stack);
    feStackClear(*feOperandStack());
  }
}

TEST_F(ScriptOpsRun, ErrorsLeaveTheOperandsInPlace) {
  struct Case {
    const char* operands;
    const char* op;
    int answer;
  } cases[] = {
      {"[1 (x)]", "aLengthArrayToString", feErrTypeCheck},
      {"5", "aAngleArrayToString", feErrTypeCheck},
      {"1", "aSetLogFile", feErrTypeCheck},
      {"5", "aStringToLengthArray", feErrTypeCheck},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.op);
    ASSERT_EQ(feExecString(c.operands), feOk);
    const std::string before = operands();
    EXPECT_EQ(feRunString(c.op), c.answer);
    EXPECT_EQ(operands(), before);  // the operand is back as it was
    EXPECT_NE(output().find("typecheck"), std::string::npos) << output();
    feStackClear(*feOperandStack());
    output().clear();
  }
}

// The string read by the operator is shared with another value; the byte
// after the part read must not be touched while the parser runs.
TEST_F(ScriptOpsRun, TheReadStringIsUnchanged) {
  feObject whole = str("1;2;3xyz");
  feObject start = integer(0), count = integer(5), part;
  ASSERT_EQ(feStringGetInterval(&whole, &start, &count, &part), feOk);
  uint8_t* bytes;
  uint16_t length;
  feStringData(&whole, &bytes, &length);
  watchedBytes = bytes;
  watchedCopy.assign(reinterpret_cast<char*>(bytes), length);
  sourceChanged = false;
  parseCalls = 0;

  ASSERT_EQ(fePush(feOperandStack(), &part), feOk);
  EXPECT_EQ(feExecString("aStringToLengthArray"), feOk);
  EXPECT_EQ(parseCalls, 3);
  EXPECT_FALSE(sourceChanged);
  EXPECT_EQ(operands(), "[1. 2. 3. ]");
  std::string saved;
  saved.swap(output());
  fePrint(&whole, 1);
  EXPECT_EQ(output(), "(1;2;3xyz)");
  output().swap(saved);
  watchedBytes = nullptr;
  feFree(&whole);
}

}  // namespace
