// Snap-code strings and key letters: how a string is walked (letters,
// filters, radius changes, groups), the string walked with a typed key, and
// which code a typed key asks for.
#include "tools/snapcodes.h"
#include "tools/snapkeys.h"

#include "core/xlate.h"
#include "core/xlate_test.h"

#include <platform_test.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class SnapCodes : public ::testing::Test {
protected:
  void TearDown() override {
    plTestReset();
    snapDefaultCodesReset();
    snapKeysClearTranslated();
    xlateResetForTest();
  }

  // The walk as text: letters as they are, filters as [name], H as H<n>,
  // group ends as '|'.
  static std::string walk(const char* codes) {
    std::string out;
    snapToken token;
    const char* cursor = codes;
    while (snapNextToken(&cursor, &token) != 0) {
      if (token.letter == ' ') {
        out += '|';
        continue;
      }
      out += static_cast<char>(token.letter);
      if (token.filter[0]) out += std::string("[") + token.filter + "]";
      if (token.letter == 'H') out += "<" + std::to_string(token.radius) + ">";
    }
    return out;
  }
};

TEST_F(SnapCodes, DefaultStringWalksItsGroupsSkippingUnknownBytes) {
  EXPECT_STREQ("ecqxm%vtpi rbai Ai gi o", snapDefaultCodes());
  EXPECT_EQ("ecqm%vtpi|rbai|Ai|gi|o", walk(snapDefaultCodes()));
  // Letters switched off by their high bit are passed over; the reset puts
  // the shared copy back.
  snapDefaultCodes()[0] |= char(0x80);
  snapDefaultCodes()[4] |= char(0x80);
  EXPECT_EQ("cq%vtpi|rbai|Ai|gi|o", walk(snapDefaultCodes()));
  snapDefaultCodesReset();
  EXPECT_EQ('e', snapDefaultCodes()[0]);
}

TEST_F(SnapCodes, FiltersAndRadiusChanges) {
  struct Case {
    const char* codes;
    const char* walked;
  } cases[] = {
      {"o[construction] e", "o[construction]|e"},
      {"o[0123456789012345678901234567890123456789]n", "o[0123456789012345678901234567890]n"},
      {"o[open", "o[open]"},
      {"H<4>o", "H<4>o"},
      {"Ho", "H<-1>o"},
      {"H<12>", "H<12>"},
      // Without its '>' within 12 characters H changes nothing and the rest
      // is read as letters.
      {"H<4o", "H<-2>o"},
      {"H<1234567890123>e", "H<-2>e"},
      {"x1<>9", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.walked, walk(c.codes)) << c.codes;
}

TEST_F(SnapCodes, TypedKeyComesFirstFoldedAndTheCodesAreCutAt60) {
  EXPECT_EQ("ecqxm%vtpi rbai Ai gi o", snapWalkString(snapDefaultCodes(), 0));
  EXPECT_EQ("b ecqxm", snapWalkString("ecqxm", 'B'));
  EXPECT_EQ("e ", snapWalkString(nullptr, 'e'));
  std::string longCodes(80, 'e');
  EXPECT_EQ("o " + std::string(60, 'e'), snapWalkString(longCodes.c_str(), 'o'));
}

TEST_F(SnapCodes, MaskDisablesOnlyLettersWithABit) {
  EXPECT_TRUE(snapLetterEnabled('e', 0x002));
  EXPECT_FALSE(snapLetterEnabled('e', 0xFFFF & ~0x002u));
  EXPECT_FALSE(snapLetterEnabled('B', 0x1FF));
  EXPECT_FALSE(snapLetterEnabled('f', 0x1FF));
  EXPECT_TRUE(snapLetterEnabled('f', 0x200));
  for (char always : std::string("optzrRnaAbH")) EXPECT_TRUE(snapLetterEnabled(always, 0)) << always;
}

TEST_F(SnapCodes, KeyLettersAndLabels) {
  EXPECT_STREQ("endpoint", snapCodesForKey('e'));
  EXPECT_STREQ("align:^0", snapCodesForKey('a'));
  EXPECT_STREQ("behind", snapCodesForKey('B'));
  EXPECT_STREQ("", snapCodesForKey('n'));
  EXPECT_STREQ("", snapCodesForKey('x'));

  struct Typed {
    int key, code;
  } keys[] = {{'E', 'e'}, {'e', 'e'}, {'B', 'B'}, {'F', 'f'}, {'P', 'p'}, {'G', 'g'},
              {'X', 'x'}, {'5', '5'}, {13, 13},   {0, 0}};
  for (const Typed& k : keys) EXPECT_EQ(k.code, snapCodeForChar(k.key)) << k.key;
}

TEST_F(SnapCodes, TypedKeyIsTakenOffTheQueue) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "snapKeyTest";
  RegisterClassA(&wc);
  HWND window =
      CreateWindowExA(0, "snapKeyTest", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  SetFocus(window);
  plTestQueueKey('B', true);
  plTestQueueKey('B', false);
  plTestQueueKey('E', true);
  EXPECT_EQ('B', snapKeyTyped()) << "b asks for behind";
  EXPECT_EQ(0, snapKeyTyped()) << "a key-up asks for nothing";
  EXPECT_EQ('e', snapKeyTyped());
  EXPECT_EQ(0, snapKeyTyped());
  DestroyWindow(window);
}

TEST_F(SnapCodes, TranslatedLabelsAreSearchedFirst) {
  const std::string source = "endpoint", target = "kante";
  ASSERT_EQ(0, xlateAddPair(source.data(), uint32_t(source.size()), target.data(), uint32_t(target.size())));
  xlateLoaded();
  snapKeysTranslate(false);
  EXPECT_STREQ("kante", snapCodesForKey('e'));
  EXPECT_EQ('e', snapCodeForChar('K'));
  EXPECT_EQ('e', snapCodeForChar('E')) << "the built-in table still answers";
  EXPECT_STREQ("midpoint", snapCodesForKey('m'));

  snapKeysTranslate(true);
  EXPECT_STREQ("endpoint", snapCodesForKey('e')) << "no translated copy in two-byte mode";
}

}  // namespace
