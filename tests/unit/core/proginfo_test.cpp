#include "core/proginfo.h"
#include "core/startstate.h"
#include "core/xlate.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class ProgInfo : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    progSetInfoFields("Ann", "Acme", "Third");
  }
  void TearDown() override { progSetInfoFields(nullptr, nullptr, nullptr); }
};

TEST_F(ProgInfo, KindsSizesAndErrors) {
  struct Case {
    int kind;
    int size;
    const char* deflt;
    int answer;
    const char* text;
  };
  const Case cases[] = {
      {0, 32, "", 0, "Version 6.1.8"},
      {1, 32, "", 0, "Plumet ^0\n^1\n^2"},
      {2, 32, "", 0, "Plumet"},
      {0, 6, "", 0, "Vers"},           // at most size - 2 characters
      {2, 2, "d", -3, "d"},            // no room for any character
      {3, 32, "", 0, "Ann\nAcme"},
      {3, 10, "dflt", -3, "dflt"},     // 3 + 4 + 2 >= 9
      {3, 11, "dflt", 0, "Ann\nAcme"},
      {3, 4, "dflt", -3, "dfl"},       // the default is cut to fit as well
      {4, 8, "dflt", 0, "Third"},
      {4, 7, "dflt", 0, "dflt"},       // does not fit: the default stays
      {4, 7, "", -3, ""},
      {4, 7, nullptr, -3, ""},
      {5, 32, "dflt", -2, "dflt"},
      {-1, 32, "dflt", -2, "dflt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " size " << c.size);
    char buffer[64];
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(progInfoString(c.kind, c.size, buffer, c.deflt), c.answer);
    EXPECT_STREQ(buffer, c.text);
    EXPECT_EQ(buffer[c.size], '#');  // nothing written past size
  }
}

TEST_F(ProgInfo, FieldsAreEmptyUnlessSetAndCutTo127) {
  char buffer[300];
  progSetInfoFields(nullptr, nullptr, nullptr);
  EXPECT_EQ(progInfoString(4, sizeof buffer, buffer, ""), -3);  // empty result
  EXPECT_EQ(progInfoString(3, sizeof buffer, buffer, ""), 0);
  EXPECT_STREQ(buffer, "\n");

  std::string longText(200, 'u');
  progSetInfoFields(longText.c_str(), "", longText.c_str());
  EXPECT_EQ(progInfoString(3, sizeof buffer, buffer, ""), 0);
  EXPECT_EQ(std::string(buffer), std::string(127, 'u') + "\n");
  EXPECT_EQ(progInfoString(4, sizeof buffer, buffer, ""), 0);
  EXPECT_EQ(std::string(buffer), std::string(127, 'u'));
}

TEST_F(ProgInfo, ZeroSizedOrMissingBufferIsLeftAlone) {
  char guard = '#';
  EXPECT_EQ(progInfoString(2, 0, &guard, "dflt"), -3);
  EXPECT_EQ(guard, '#');
  EXPECT_EQ(progInfoString(3, 32, nullptr, "dflt"), -3);
}

TEST(ProgOption, BitsOfTheMaskTwelve) {
  const struct {
    int n;
    bool set;
  } cases[] = {{-1, false}, {0, false}, {1, false}, {2, true}, {3, true},
               {4, false},  {31, false}, {32, false}, {-32, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(progOptionBit(c.n), c.set);
  }
}

TEST(Ticks, SixteenMillisecondTicksSinceTheFirstCall) {
  plTestReset();
  plTestSetTickCount(1000);
  uTicksRestart();
  EXPECT_EQ(uTicks(), 0u);
  plTestAdvanceClock(15);
  EXPECT_EQ(uTicks(), 0u);
  plTestAdvanceClock(1);
  EXPECT_EQ(uTicks(), 1u);
  plTestAdvanceClock(160);
  EXPECT_EQ(uTicks(), 11u);

  // Across the wrap of the 32-bit millisecond count.
  plTestSetTickCount(0xFFFFFFF0u);
  uTicksRestart();
  EXPECT_EQ(uTicks(), 0u);
  plTestAdvanceClock(0x30);
  EXPECT_EQ(uTicks(), 3u);
  plTestReset();
}

TEST(Switches, OneBitPerLetterInEitherCase) {
  appSetSwitches((1u << ('d' - 'a')) | (1u << ('z' - 'a')));
  EXPECT_TRUE(appHasSwitch('d'));
  EXPECT_TRUE(appHasSwitch('D'));
  EXPECT_TRUE(appHasSwitch('z'));
  EXPECT_FALSE(appHasSwitch('a'));
  EXPECT_FALSE(appHasSwitch('b'));
  // Characters outside the alphabet name no switch, whatever the word holds.
  appSetSwitches(0xFFFFFFFFu);
  for (char c : {'@', '[', '`', '{', '0', ' ', '\0', static_cast<char>(0xE4)}) {
    SCOPED_TRACE(static_cast<int>(c));
    EXPECT_FALSE(appHasSwitch(c));
  }
  EXPECT_EQ(appSwitches(), 0xFFFFFFFFu);
  appSetSwitches(0);
}

TEST(Xlate, MarkedTextIsUsedWithoutItsMarkOtherTextStays) {
  const char* out = nullptr;
  const char* marked = "@File";
  EXPECT_EQ(xlateStr(0, marked, &out), 0);
  EXPECT_EQ(out, marked + 1);
  const char* plain = "File";
  EXPECT_EQ(xlateStr(0, plain, &out), -1);
  EXPECT_EQ(out, plain);
  EXPECT_EQ(xlateStr(1, nullptr, &out), -1);
  EXPECT_STREQ(out, "");
}

}  // namespace
