#include "ui/achk.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "fe/exec_fixture.h"
#include "fe/script.h"
#include "fe/signature.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

std::string logText;
void captureLog(void*, const char* text, size_t length) { logText.append(text, length); }

// A class named "window" (registered here when nothing else has) and a
// subclass of it, for the class restriction of Q entries.
uint16_t windowClass() {
  static const uint16_t id = objClassByName("window") ? objClassByName("window") : objClassRegister("window", 0, nullptr);
  return id;
}
uint16_t subWindowClass() {
  static const uint16_t id = objClassRegister("achkSubw", windowClass(), nullptr);
  return id;
}

// A work plane turned 90 degrees about z and moved by (10, 0, 0):
// plane (x, y, z) is world (10 - y, x, z); directions are only turned.
std::vector<int> planeFlags;
void rotatedPlane(double* p, int flag) {
  planeFlags.push_back(flag);
  const bool point = flag == 1 || flag == 257;
  const double x = p[0], y = p[1];
  if (flag < 257) {
    p[0] = -y + (point ? 10 : 0);
    p[1] = x;
  } else {
    const double wx = x - (point ? 10 : 0);
    p[0] = y;
    p[1] = -wx;
  }
}

// The "==" form of a value.
std::string printValue(const feObject* v) {
  std::string saved;
  saved.swap(execfx::output());
  fePrint(v, 1);
  std::string text;
  text.swap(execfx::output());
  execfx::output().swap(saved);
  return text;
}

class AChk : public ::testing::Test {
protected:
  void SetUp() override {
    execfx::start();
    plTestReset();
    plTestSetMessageBoxEcho(false);
    logText.clear();
    dbgSetLogHook(captureLog, nullptr);
    planeFlags.clear();
  }
  void TearDown() override {
    for (feObject& v : held) feFree(&v);
    uFreeIfSet(&list);
    feSetPointConverter(nullptr);
    dbgSetLogHook(nullptr, nullptr);
    execfx::stop();
    plTestReset();
  }

  // The value a script text leaves on the stack, released at the end.
  const feObject& eval(const std::string& text) {
    EXPECT_EQ(feExecString(text.c_str()), feOk) << text;
    feObject v;
    fePop(*feOperandStack(), &v);
    return keep(v);
  }
  const feObject& keep(feObject v) {
    held.push_back(v);
    return held.back();
  }
  static feObject name(const char* text) {
    feObject v;
    feMakeName(&v, text, std::strlen(text));
    return v;
  }
  static std::string print(const feObject& v) { return printValue(&v); }
  std::string boxes() const {
    std::string text;
    for (const auto& box : plTestMessageBoxes()) text += box.text + "|";
    return text;
  }
  // The list as "code:type:count:key:class" items.
  std::vector<std::string> entries() const {
    std::vector<std::string> out;
    for (const uiAChklEntry* e = list; e && e->code; ++e) {
      const char* text = nullptr;
      size_t length = 0;
      feNameTextOf(uint16_t(e->key), &text, &length);
      out.push_back(std::to_string(int16_t(e->code)) + ":" + e->type + ":" + std::to_string(e->count) + ":" +
                    std::string(text, length) + ":" + std::to_string(e->classId));
    }
    return out;
  }

  uiAChklEntry* list = nullptr;
  std::deque<feObject> held;
};

TEST_F(AChk, DefReadsCountsLettersAndClassesAndExtendsTheList) {
  const std::string window = std::to_string(windowClass());
  uiDefAChkl(&list, 1, "clip", "4i", 2, "xlate", "12I", 3, "font", "nS", 4, "size", "0I", 0);
  uiDefAChkl(&list, 5, "wind", "Q[window]", 6, "other", "Q[nosuch]", 7, "data", "O[window]", -2, "pos", "3W", 8,
             "flag", "B", 0);
  EXPECT_EQ(entries(), (std::vector<std::string>{"1:i:4:clip:0", "2:I:12:xlate:0", "3:S:255:font:0", "4:I:0:size:0",
                                                 "5:Q:0:wind:" + window, "6:Q:0:other:0", "7:O:0:data:" + window,
                                                 "-2:W:3:pos:0", "8:B:0:flag:0"}));
  EXPECT_EQ(list[9].code, 0);  // the zero entry after the last
  EXPECT_TRUE(execfx::output().empty());
  EXPECT_TRUE(plTestMessageBoxes().empty());
}

TEST_F(AChk, DefReportsBadSpecs) {
  uiDefAChkl(&list, 1, "a", "Sx", 2, "b", "H", 3, "c", "300I", 4, "d", "2H", 5, "e", "I[window]", 0);
  // The class text is ignored and the letter kept; H becomes i; a count that
  // does not fit a byte leaves the entry out.
  EXPECT_EQ(entries(), (std::vector<std::string>{"1:S:0:a:0", "2:i:0:b:0", "4:i:2:d:0", "5:I:0:e:0"}));
  EXPECT_EQ(execfx::output(), "uiDefAChkl: illegal Class spec 'x' ignored\n"
                              "uiDefAChkl: illegal Class spec '[window]' ignored\n");
  const auto& shown = plTestMessageBoxes();
  ASSERT_EQ(shown.size(), 3u) << boxes();
  EXPECT_NE(shown[0].text.find("uiDefAChkl: def string has an 'H'"), std::string::npos);
  EXPECT_NE(shown[1].text.find("300I"), std::string::npos);
  EXPECT_NE(shown[2].text.find("uiDefAChkl: def string has an 'H'"), std::string::npos);
}

// Every letter in each form it takes: the script value converts, and the
// native data made back into a value prints as expected.
TEST_F(AChk, EachLetterRoundTripsThroughTheRecord) {
  feObjRecord window{windowClass(), feObjPermanent};
  feObject object;
  feMakeObjRef(&object, &window);
  const std::string p255(255, 'p');
  struct Case {
    const char* spec;
    std::string script;  // pushes the value (null: the window object)
    std::string printed;
    int32_t count;
  } cases[] = {
      {"B", "true", "true", 1},
      {"I", "-7", "-7", -7},
      {"i", "2147483647", "2147483647", 2147483647},
      {"N", "0", "0", 0},
      {"s", "-3", "-3", -3},
      {"R", "3", "3.", 0},
      {"R", "-0.25", "-0.25", 0},
      {"S", "(abc)", "(abc)", 3},
      {"S", "/abc", "(abc)", 3},
      {"C", "(hello)", "(hello)", 5},
      {"C", "()", "()", 0},
      {"P", "(" + p255 + ")", "(" + p255 + ")", 255},
      {"O", "[1 (x) /n]", "[1 (x) /n ]", 0},
      {"O", "null", "-null-", 0},
      {"Q", "null", "-null-", 0},
      {"Q[window]", "", "-window-", 0},
      {"4i", "[1 2 3 4]", "[1 2 3 4 ]", 4},
      {"ni", "[1 2 3 4 5 6 7]", "[1 2 3 4 5 6 7 ]", 7},
      {"nI", "[]", "[]", 0},
      {"2s", "[-5 300]", "[-5 300 ]", 2},
      {"nN", "[9]", "[9 ]", 1},
      {"2R", "[1 2.5]", "[1. 2.5 ]", 2},
      {"2D", "[1 2.5]", "[1. 2.5 ]", 2},
      {"3D", "[1 2 3]", "[1. 2. 3. ]", 3},
      {"nV", "[1 2 3 4]", "[1. 2. 3. 4. ]", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.spec) + " " + c.script);
    uFreeIfSet(&list);
    uiDefAChkl(&list, 42, "prop", c.spec, 0);
    const feObject value = c.script.empty() ? object : eval(c.script);
    uiAChkData data;
    const feObject key = name("prop");
    ASSERT_EQ(uiAChkl(list, &key, &value, &data), 42);
    EXPECT_EQ(data.status, feOk);
    if (c.spec[0] != 'R' || c.spec[1]) {
      EXPECT_EQ(data.count, c.count);
    }
    feObject made;
    feMakeNull(&made);
    EXPECT_EQ(uiAChkMakeValue(list, 42, &made, &data), 42);
    EXPECT_EQ(data.status, feOk);
    EXPECT_EQ(print(keep(made)), c.printed);
  }
  EXPECT_TRUE(logText.empty()) << logText;
}

TEST_F(AChk, NativeDataHasTheDocumentedLayout) {
  uiDefAChkl(&list, 1, "r", "R", 2, "s", "ns", 3, "p", "P", 4, "c", "C", 5, "o", "O", 6, "str", "S", 0);
  uiAChkData data;
  const feObject three = execfx::integer(3);
  EXPECT_EQ(uiAChkConvert(&list[0], &three, &data), 1);
  EXPECT_EQ(data.real, 3.0);  // an integer is widened

  EXPECT_EQ(uiAChkConvert(&list[1], &eval("[-2 70000]"), &data), 2);
  const int16_t* shorts = static_cast<const int16_t*>(data.data);
  EXPECT_EQ(shorts[0], -2);
  EXPECT_EQ(shorts[1], int16_t(70000 - 65536));

  EXPECT_EQ(uiAChkConvert(&list[2], &eval("(ab)"), &data), 3);
  EXPECT_EQ(std::memcmp(data.data, "\x02" "ab", 3), 0);

  EXPECT_EQ(uiAChkConvert(&list[3], &eval("/nm"), &data), 4);
  EXPECT_STREQ(static_cast<const char*>(data.data), "nm");

  const feObject any = eval("(value)");
  EXPECT_EQ(uiAChkConvert(&list[4], &any, &data), 5);
  EXPECT_EQ(std::memcmp(data.data, &any, sizeof any), 0);  // a plain copy of the value

  uint8_t* bytes = nullptr;
  uint16_t length = 0;
  feStringData(&any, &bytes, &length);
  EXPECT_EQ(uiAChkConvert(&list[5], &any, &data), 6);
  EXPECT_EQ(data.data, bytes);  // S leaves the text inside the string
  EXPECT_EQ(data.count, 5);
}

TEST_F(AChk, ConversionErrors) {
  feObjRecord sub{subWindowClass(), feObjPermanent};
  feObject subObject;
  feMakeObjRef(&subObject, &sub);
  struct Case {
    const char* spec;
    const char* script;  // null: an object of a subclass of window
    int status;
  } cases[] = {
      {"I", "1.5", feErrTypeCheck},
      {"i", "true", feErrTypeCheck},
      {"B", "1", feErrTypeCheck},
      {"R", "(3)", feErrTypeCheck},
      {"S", "5", feErrTypeCheck},
      {"C", "[]", feErrTypeCheck},
      {"D", "1.0", feErrTypeCheck},
      {"W", "[1 2 3]", feErrTypeCheck},
      {"O", "[1 2]", feOk},
      {"Q", "5", feErrTypeCheck},
      {"Q[window]", nullptr, feErrTypeCheck},  // a subclass does not pass
      {"4i", "[1 2 3]", feErrLengthCheck},
      {"4i", "[1 2 3 4 5]", feErrLengthCheck},
      {"4i", "[1 2 3.5 4]", feErrTypeCheck},
      {"4i", "7", feErrTypeCheck},
      {"2D", "[1 (x)]", feErrTypeCheck},
      {"nB", "[true]", feErrTypeCheck},
      {"nS", "[(a)]", feErrTypeCheck},
      {"2O", "[1 2]", feErrTypeCheck},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.spec) + " " + (c.script ? c.script : "subclass object"));
    uFreeIfSet(&list);
    uiDefAChkl(&list, 9, "k", c.spec, 0);
    const feObject value = c.script ? eval(c.script) : subObject;
    uiAChkData data;
    EXPECT_EQ(uiAChkConvert(list, &value, &data), c.status ? 0 : 9);
    EXPECT_EQ(data.status, c.status);
  }
}

TEST_F(AChk, PascalTextsStopAt255Characters) {
  uiDefAChkl(&list, 1, "t", "P", 0);
  uiAChkData data;
  EXPECT_EQ(uiAChkConvert(list, &eval("(" + std::string(255, 'x') + ")"), &data), 1);
  EXPECT_EQ(static_cast<const uint8_t*>(data.data)[0], 255);
  EXPECT_EQ(uiAChkConvert(list, &eval("(" + std::string(256, 'x') + ")"), &data), 0);
  EXPECT_EQ(data.status, feErrTypeCheck);
}

TEST_F(AChk, AFailedConversionLeavesTheRecordsDataAsItWas) {
  uiDefAChkl(&list, 1, "v", "ni", 0);
  uiAChkData data;
  ASSERT_EQ(uiAChkConvert(list, &eval("[1 2 3]"), &data), 1);
  const void* before = data.data;
  EXPECT_EQ(uiAChkConvert(list, &eval("[9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 (x)]"), &data), 0);
  EXPECT_EQ(data.status, feErrTypeCheck);
  EXPECT_EQ(data.data, before);
  EXPECT_EQ(data.count, 3);
  EXPECT_EQ(std::vector<int32_t>(static_cast<const int32_t*>(data.data), static_cast<const int32_t*>(data.data) + 3),
            (std::vector<int32_t>{1, 2, 3}));
}

TEST_F(AChk, TypeErrorsAreLoggedAndLengthErrorsAreNot) {
  uiDefAChkl(&list, 3, "size", "I", 4, "clip", "4i", 0);
  uiAChkData data;
  const feObject size = name("size");
  const feObject half = execfx::real(1.5);
  EXPECT_EQ(uiAChkl(list, &size, &half, &data), 0);
  EXPECT_EQ(data.status, feErrTypeCheck);
  EXPECT_EQ(logText, "WARNING - Type wrong in UI Argument Checker\n    Type = I, Key = /size, Value = 1.5\n");
  EXPECT_EQ(execfx::output(), "");  // nothing reaches the script's output

  logText.clear();
  const feObject clip = name("clip");
  EXPECT_EQ(uiAChkl(list, &clip, &eval("[1 2]"), &data), 0);
  EXPECT_EQ(data.status, feErrLengthCheck);
  EXPECT_TRUE(logText.empty()) << logText;
}

TEST_F(AChk, KeysThatAreNotNamesOrNotListed) {
  uiDefAChkl(&list, 3, "size", "I", 0);
  uiAChkData data;
  const feObject seven = execfx::integer(7);
  const feObject text = eval("(size)");
  const feObject other = name("other");

  EXPECT_EQ(uiAChkl(list, &text, &seven, &data), 0);
  EXPECT_EQ(data.status, feErrUndefined);
  EXPECT_TRUE(plTestMessageBoxes().empty());  // a trace alert: hidden without debug flags

  dbgSetFlags(1);
  data.status = 0;
  EXPECT_EQ(uiAChkl(list, &seven, &seven, &data), 0);
  EXPECT_EQ(data.status, feErrUndefined);
  ASSERT_EQ(plTestMessageBoxes().size(), 1u);
  EXPECT_NE(plTestMessageBoxes()[0].text.find("uiAChkl: key is not a name - 7"), std::string::npos) << boxes();

  data.status = 0;
  EXPECT_EQ(uiAChkl(list, &other, &seven, &data), 0);  // absent: no message
  EXPECT_EQ(data.status, feErrUndefined);
  EXPECT_EQ(plTestMessageBoxes().size(), 1u);
  EXPECT_TRUE(logText.empty()) << logText;

  EXPECT_EQ(uiAChkKeyCode(list, &text, &data), 0);
  EXPECT_EQ(data.status, feErrUndefined);
  EXPECT_EQ(plTestMessageBoxes().size(), 1u);  // only uiAChkl alerts
}

TEST_F(AChk, PointsAndVectorsOfThreeGoThroughTheWorkPlane) {
  feSetPointConverter(rotatedPlane);
  uiDefAChkl(&list, 1, "pos", "3W", 2, "dir", "3V", 3, "box", "3D", 4, "poly", "nW", 0);
  struct Case {
    int code;
    const char* script;
    std::vector<double> native;
    std::vector<int> flags;
  } cases[] = {
      {1, "[1 2 3]", {8, 1, 3}, {1}},
      {2, "[1 2 3]", {-2, 1, 3}, {2}},
      {3, "[1 2 3]", {1, 2, 3}, {}},
      {4, "[1 2 3 4]", {1, 2, 3, 4}, {}},  // only triples are points
      {4, "[1 2]", {1, 2}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    planeFlags.clear();
    uiAChkData data;
    ASSERT_EQ(uiAChkConvert(&list[c.code - 1], &eval(c.script), &data), c.code);
    const double* d = static_cast<const double*>(data.data);
    EXPECT_EQ(std::vector<double>(d, d + data.count), c.native);
    // And back: the same triple as the script gave it.
    feObject made;
    ASSERT_EQ(uiAChkMakeValue(list, c.code, &made, &data), c.code);
    EXPECT_EQ(print(keep(made)), print(eval(std::string(c.script) + " { 1.0 mul } forall " +
                                            std::to_string(c.native.size()) + " array astore")));
    std::vector<int> flags = c.flags;
    if (!flags.empty()) flags.push_back(flags[0] + 256);
    EXPECT_EQ(planeFlags, flags);
  }
}

TEST_F(AChk, AliasKeysShareACode) {
  uiDefAChkl(&list, 5, "layer", "S", 5, "name", "S", 6, "size", "I", 0);
  uiAChkData data;
  const feObject layer = name("layer"), nameKey = name("name");
  const feObject text = eval("(L1)");
  EXPECT_EQ(uiAChkl(list, &layer, &text, &data), 5);
  EXPECT_EQ(uiAChkl(list, &nameKey, &text, &data), 5);
  EXPECT_EQ(uiAChkKeyCode(list, &nameKey, &data), 5);

  feObject key;
  EXPECT_EQ(uiAChkKeyName(list, 5, &key), feOk);
  EXPECT_EQ(print(key), "/layer");
  EXPECT_EQ(uiAChkKeyName(list, 7, &key), feErrUndefined);

  struct Case {
    const char* dict;
    int code;
    int status;
    const char* text;
  } cases[] = {
      {"<< /name (N) /size 2 >>", 5, feOk, "N"},
      {"<< /layer (L) >>", 5, feOk, "L"},
      {"<< /name (N) /layer (L) >>", 5, feOk, "L"},  // list order decides
      {"<< /size 2 >>", 5, feErrUndefined, nullptr},
      {"<< /name (N) >>", 6, feErrUndefined, nullptr},
      {"[/name (N)]", 5, feErrTypeCheck, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dict);
    uiAChkData got;
    EXPECT_EQ(uiAChkDictGet(list, &eval(c.dict), c.code, &got), c.status ? 0 : c.code);
    EXPECT_EQ(got.status, c.status);
    if (c.text) {
      EXPECT_EQ(std::string(static_cast<const char*>(got.data), size_t(got.count)), c.text);
    }
  }
}

TEST_F(AChk, KeyedArraysUseTheFirstKeyOfTheCode) {
  uiDefAChkl(&list, 5, "layer", "S", 5, "name", "S", 6, "size", "I", 0);
  struct Case {
    const char* array;
    int code;
    int status;
  } cases[] = {
      {"[/size 4 /layer (L)]", 5, feOk},
      {"[/size 4 /layer (L)]", 6, feOk},
      {"[/name (N)]", 5, feErrUndefined},           // an alias is not looked for here
      {"[4 /size /size 9]", 6, feOk},              // only even positions are keys
      {"[/layer]", 5, feErrUndefined},              // a key without a value
      {"[]", 6, feErrUndefined},
      {"[/size 4]", 7, feErrUndefined},
      {"[/size (4)]", 6, feErrTypeCheck},
      {"<< /size 4 >>", 6, feErrTypeCheck},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.array) + " " + std::to_string(c.code));
    uiAChkData data;
    EXPECT_EQ(uiAChkGet(list, &eval(c.array), c.code, &data), c.status ? 0 : c.code);
    EXPECT_EQ(data.status, c.status);
  }
  uiAChkData data;
  ASSERT_EQ(uiAChkGet(list, &eval("[4 /size /size 9]"), 6, &data), 6);
  EXPECT_EQ(data.count, 9);
}

TEST_F(AChk, AnEmptyListAnswersUndefinedEverywhere) {
  uiDefAChkl(&list, 0, nullptr, nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list[0].code, 0);
  for (const uiAChklEntry* l : {static_cast<const uiAChklEntry*>(list), static_cast<const uiAChklEntry*>(nullptr)}) {
    uiAChkData data;
    const feObject key = name("size");
    const feObject one = execfx::integer(1);
    feObject slot;
    feMakeInt(&slot, 77);
    EXPECT_EQ(uiAChkl(l, &key, &one, &data), 0);
    EXPECT_EQ(data.status, feErrUndefined);
    data.status = 0;
    EXPECT_EQ(uiAChkKeyCode(l, &key, &data), 0);
    EXPECT_EQ(data.status, feErrUndefined);
    data.status = 0;
    EXPECT_EQ(uiAChkMakeValue(l, 1, &slot, &data), 0);
    EXPECT_EQ(data.status, feErrUndefined);
    EXPECT_EQ(print(slot), "77");  // untouched
    EXPECT_EQ(uiAChkKeyName(l, 1, &slot), feErrUndefined);
    data.status = 0;
    EXPECT_EQ(uiAChkGet(l, &eval("[/size 1]"), 1, &data), 0);
    EXPECT_EQ(data.status, feErrUndefined);
    data.status = 0;
    EXPECT_EQ(uiAChkDictGet(l, &eval("<< /size 1 >>"), 1, &data), 0);
    EXPECT_EQ(data.status, feErrUndefined);
  }
}

TEST_F(AChk, ALetterWithoutAValueFormLeavesTheSlot) {
  uiDefAChkl(&list, 1, "a", "D", 2, "b", "3S", 3, "c", "nB", 0);
  uiAChkData data;
  for (int code : {1, 2, 3}) {
    SCOPED_TRACE(code);
    feObject slot;
    feMakeInt(&slot, 77);
    EXPECT_EQ(uiAChkMakeValue(list, code, &slot, &data), code);
    EXPECT_EQ(print(slot), "77");
  }
}

// A conversion made while another record's data is in use (a handler that
// runs a nested handler, a dictionary visit) does not move that data.
struct Nested {
  const uiAChklEntry* list = nullptr;
  feObject big{};
  int calls = 0;
  std::string key;
};
int convertInside(void* context, const feObject* key, const feObject* value, void* argument) {
  Nested* n = static_cast<Nested*>(context);
  ++n->calls;
  n->key = printValue(key);
  uiAChkData inner;
  EXPECT_EQ(uiAChkConvert(&n->list[1], &n->big, &inner), 2);
  EXPECT_EQ(uiAChkConvert(&n->list[0], value, &inner), 1);
  EXPECT_EQ(argument, n);
  return 99;
}

TEST_F(AChk, NestedConversionsKeepTheOuterData) {
  uiDefAChkl(&list, 1, "clip", "4i", 2, "text", "C", 3, "style", "ni", 0);
  uiAChkData outer;
  ASSERT_EQ(uiAChkConvert(&list[0], &eval("[10 20 30 40]"), &outer), 1);
  const int32_t* clip = static_cast<const int32_t*>(outer.data);

  Nested nested;
  nested.list = list;
  nested.big = eval("(" + std::string(4000, 'z') + ")");
  const feObject dict = eval("<< /clip [5 6 7 8] /text (t) >>");
  EXPECT_EQ(uiAChkDictVisit(&dict, list, 1, convertInside, &nested, &nested), 0);
  EXPECT_EQ(nested.calls, 1);
  EXPECT_EQ(nested.key, "/clip");
  EXPECT_EQ(outer.data, clip);
  EXPECT_EQ(std::vector<int32_t>(clip, clip + 4), (std::vector<int32_t>{10, 20, 30, 40}));

  // Absent key or code: no call, and the answer is 0 all the same.
  EXPECT_EQ(uiAChkDictVisit(&dict, list, 3, convertInside, &nested, &nested), 0);
  EXPECT_EQ(uiAChkDictVisit(&dict, list, 9, convertInside, &nested, &nested), 0);
  EXPECT_EQ(nested.calls, 1);
}

// Records each key and adds a new key the first few times, which grows the
// dictionary under the walk.
struct Walk {
  feObject dict{};
  std::vector<std::string> keys;
  int added = 0;
};
int recordAndGrow(void* context, const feObject* key, const feObject* value, void*) {
  Walk* w = static_cast<Walk*>(context);
  w->keys.push_back(printValue(key) + "=" + printValue(value));
  for (; w->added < 20; ++w->added) {
    const std::string name = "extra" + std::to_string(w->added);
    const feObject one = execfx::integer(1);
    feDictDefName(&w->dict, name.c_str(), &one);
  }
  return 0;
}

TEST_F(AChk, ForEachVisitsEveryEntryAndSurvivesGrowth) {
  Walk walk;
  walk.dict = eval("<< /a 1 /b (two) /c [3] >>");
  uiDictForEach(&walk.dict, recordAndGrow, &walk, nullptr);
  // The original three are all seen whatever the slot order; keys added on
  // the way may or may not be.
  for (const char* item : {"/a=1", "/b=(two)", "/c=[3 ]"})
    EXPECT_NE(std::find(walk.keys.begin(), walk.keys.end(), item), walk.keys.end()) << item;
  EXPECT_EQ(feDictLength(&walk.dict), 23);

  Walk plain;
  plain.dict = eval("<< /x 1 /y 2 >>");
  plain.added = 20;
  uiDictForEach(&plain.dict, recordAndGrow, &plain, nullptr);
  std::sort(plain.keys.begin(), plain.keys.end());
  EXPECT_EQ(plain.keys, (std::vector<std::string>{"/x=1", "/y=2"}));
}

}  // namespace
