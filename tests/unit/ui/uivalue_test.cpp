// Script values as text and rectangles, name/value tables and the bounded
// copy.
#include "ui/uinames.h"
#include "ui/uivalue.h"

#include "core/alloc.h"
#include "fe/exec_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class UiValue : public ::testing::Test {
protected:
  void SetUp() override { execfx::start(); }
  void TearDown() override { execfx::stop(); }
};

TEST_F(UiValue, RectValueIsAnArrayOfFourIntegers) {
  const RECT r = {-1, 2, 300, 40000};
  feObject v;
  ASSERT_EQ(feOk, uiRectValue(&v, &r));
  ASSERT_EQ(feTArray, feType(&v));
  ASSERT_EQ(4, feArrayLength(&v));
  const int32_t want[] = {-1, 2, 300, 40000};
  for (int i = 0; i < 4; ++i) {
    const feObject* e = feArrayElem(&v, i);
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(feTInt, feType(e)) << i;
    EXPECT_EQ(want[i], feGetInt(e)) << i;
  }
  feFree(&v);
}

TEST_F(UiValue, TextOfStringsAndNamesOnly) {
  feObject str, name, num;
  ASSERT_EQ(feOk, feMakeString(&str, "left", 4));
  ASSERT_EQ(feOk, feMakeName(&name, "center", 6));
  feMakeInt(&num, 7);

  struct Case {
    const feObject* value;
    int answer;
    std::string text;
  };
  const Case cases[] = {{&str, feOk, "left"}, {&name, feOk, "center"}, {&num, feErrTypeCheck, "unchanged"}};
  for (const Case& c : cases) {
    const char* text = "unchanged";
    int32_t length = 9;
    EXPECT_EQ(c.answer, uiValueText(c.value, &text, &length)) << c.text;
    EXPECT_EQ(c.text, std::string(text, size_t(length)));
  }
  feFree(&str);
}

TEST_F(UiValue, StrDupValueMakesATerminatedCopy) {
  // The string's body holds more than the value shows: the copy must end
  // after the value's own characters.
  feObject whole, part;
  ASSERT_EQ(feOk, feMakeString(&whole, "boldface", 8));
  part = whole;
  part.length = 4;

  char* text = nullptr;
  int32_t length = -1;
  ASSERT_EQ(feOk, uiStrDupValue(&part, &text, &length));
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(4, length);
  EXPECT_STREQ("bold", text);
  text[0] = 'X';  // a copy, not the body
  const char* original = nullptr;
  int32_t n = 0;
  uiValueText(&whole, &original, &n);
  EXPECT_EQ("boldface", std::string(original, size_t(n)));
  uFree(&text);

  feObject name;
  ASSERT_EQ(feOk, feMakeName(&name, "italic", 6));
  ASSERT_EQ(feOk, uiStrDupValue(&name, &text, &length));
  EXPECT_STREQ("italic", text);
  EXPECT_EQ(6, length);
  uFree(&text);

  feObject num;
  feMakeInt(&num, 1);
  text = nullptr;
  EXPECT_EQ(feErrTypeCheck, uiStrDupValue(&num, &text, &length));
  EXPECT_EQ(nullptr, text);
  EXPECT_EQ(feErrTypeCheck, uiStrDupValue(nullptr, &text, &length));
  EXPECT_EQ(nullptr, text);
  feFree(&whole);
}

const uiNameEntry kTable[] = {
    {"right", 2}, {"center", 1}, {"cent", 5}, {"left", 0}, {"middle", 1}, {nullptr, 99},
};

TEST(UiNames, LookupIsExact) {
  struct Case {
    const char* text;
    int32_t answer;
    int32_t value;
  };
  const Case cases[] = {
      {"right", 5, 2},   {"left", 4, 0},  {"cent", 4, 5},
      {"centered", 0, -1},  // a name that is only a prefix does not match
      {"rig", 0, -1},       // nor a text that is only a prefix of a name
      {"Right", 0, -1},  {"", 0, -1},
  };
  for (const Case& c : cases) {
    int32_t value = -1;
    EXPECT_EQ(c.answer, uiNameLookup(kTable, c.text, int32_t(std::strlen(c.text)), &value)) << c.text;
    EXPECT_EQ(c.value, value) << c.text;
  }
  // Only the counted bytes are the text.
  int32_t value = -1;
  EXPECT_EQ(4, uiNameLookup(kTable, "leftover", 4, &value));
  EXPECT_EQ(0, value);
}

TEST(UiNames, PrefixTakesTheFirstNameInTableOrder) {
  struct Case {
    const char* text;
    int32_t answer;
    int32_t value;
  };
  const Case cases[] = {
      {"center,bold", 6, 1},  // "center" comes before "cent"
      {"centime", 4, 5},      {"left", 4, 0},
      {"lef", 0, -1},         // shorter than every name
      {"xright", 0, -1},      {"", 0, -1},
  };
  for (const Case& c : cases) {
    int32_t value = -1;
    EXPECT_EQ(c.answer, uiNamePrefix(kTable, c.text, int32_t(std::strlen(c.text)), &value)) << c.text;
    EXPECT_EQ(c.value, value) << c.text;
  }
  // The count limits the text: "right" does not fit in four bytes.
  int32_t value = -1;
  EXPECT_EQ(0, uiNamePrefix(kTable, "right", 4, &value));
}

TEST(UiNames, ValueNameGivesTheFirstNameOfAValue) {
  const char* text = nullptr;
  int32_t length = 0;
  ASSERT_EQ(1, uiValueName(kTable, 1, &text, &length));
  EXPECT_EQ("center", std::string(text, size_t(length)));
  ASSERT_EQ(1, uiValueName(kTable, 0, &text, &length));
  EXPECT_EQ("left", std::string(text, size_t(length)));
  // The end entry's value is not an entry.
  text = nullptr;
  EXPECT_EQ(0, uiValueName(kTable, 99, &text, &length));
  EXPECT_EQ(nullptr, text);
}

TEST(UiNames, BoundedCopyStopsPast255Characters) {
  struct Case {
    int32_t length;
    int answer;
  };
  const Case cases[] = {{0, 0}, {1, 0}, {255, 0}, {256, 1}, {4000, 1}, {-1, 1}};
  const std::string source(4000, 'a');
  for (const Case& c : cases) {
    char buffer[uiBoundedMax + 2];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(c.answer, uiBoundedCopy(source.data(), c.length, buffer)) << c.length;
    if (c.answer == 0) {
      EXPECT_EQ(std::string(size_t(c.length), 'a'), std::string(buffer)) << c.length;
      EXPECT_EQ('#', buffer[uiBoundedMax + 1]) << c.length;
    } else {
      EXPECT_EQ(std::string(sizeof buffer, '#'), std::string(buffer, sizeof buffer)) << c.length;
    }
  }
}

}  // namespace
