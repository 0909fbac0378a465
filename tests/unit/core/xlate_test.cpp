#include "core/xlate_fixture.h"

namespace {

using xlatefx::XlateTest;
using xlatefx::logText;
using XlateTable = XlateTest;
using XlateMissing = XlateTest;
using XlateStorage = XlateTest;

TEST_F(XlateTable, PairsAnswerBothWaysAndMarkedTextsStayUntranslated) {
  load({{"Open", "Ouvrir"}, {"Close", "Fermer"}, {"Close", "Clore"}});
  struct Case {
    int direction;
    const char* text;
    int result;
    const char* answer;
  } cases[] = {
      {0, "Open", 0, "Ouvrir"},
      {1, "Ouvrir", 0, "Open"},
      {7, "Ouvrir", 0, "Open"},  // any direction but 0 goes backwards
      {0, "@Open", 0, "Open"},
      {1, "@Ouvrir", 0, "Ouvrir"},
      {0, "Close", 0, "Clore"},  // the pair loaded last answers
      {1, "Fermer", 0, "Close"},
      {0, "open", -1, "open"},   // exact: case counts
      {0, "Open ", -1, "Open "}, // and the whole text
      {1, "Open", -1, "Open"},
      {0, "Ouvrir", -1, "Ouvrir"},
  };
  for (const Case& c : cases) {
    int result = 0;
    EXPECT_EQ(ask(c.direction, c.text, &result), c.answer) << c.direction << " " << c.text;
    EXPECT_EQ(result, c.result) << c.direction << " " << c.text;
  }
  const char* marked = "@Open";
  const char* out = nullptr;
  xlateStr(0, marked, &out);
  EXPECT_EQ(out, marked + 1);

  const char* span = nullptr;
  uint32_t spanLength = 0;
  EXPECT_EQ(xlateSpan("Openly", 4, &span, &spanLength), 0);
  EXPECT_EQ(std::string(span, spanLength), "Ouvrir");
  EXPECT_EQ(xlateSpan("Openly", 5, &span, &spanLength), -1);
  EXPECT_EQ(std::string(span, spanLength), "Openl");
}

// Enough pairs that every chain holds several and the pool and the pair
// array grow many times; every pair still answers both ways.
TEST_F(XlateTable, ManyPairsInSharedChainsAllAnswer) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < 700; ++i) pairs.emplace_back("item " + std::to_string(i), "article " + std::to_string(i) + std::string(size_t(i % 40), '.'));
  load(pairs);
  EXPECT_EQ(xlatePairCount(), 700);
  for (const auto& [source, translation] : pairs) {
    EXPECT_EQ(ask(0, source.c_str()), translation);
    EXPECT_EQ(ask(1, translation.c_str()), source);
  }
  EXPECT_EQ(xlateMissingCount(), 0);
}

TEST_F(XlateTable, InPlaceTranslationFollowsTheInterpreterFlag) {
  load({{"Open", "Ouvrir"}});
  struct Case {
    bool flag;
    const char* text;
    int result;
    const char* after;
  } cases[] = {
      {false, "Open", -1, "Open"},
      {true, "Open", 0, "Ouvrir"},
      {true, "Open...", 0, "Ouvrir..."},
      {true, "@Open", 0, "Open"},
      {true, "Close", -1, "Close"},
      {true, "Close...", -1, "Close..."},
      {true, "...", -1, "..."},
  };
  for (const Case& c : cases) {
    xlateSetInterpreterFlag(c.flag);
    const uint32_t n = uint32_t(std::strlen(c.text));
    char* block = nullptr;
    uint32_t capacity = 0;
    uAlloc(&block, &capacity, n, 1);
    std::memcpy(block, c.text, n);
    uint32_t length = n;
    EXPECT_EQ(xlateInPlace(&block, &length, &capacity), c.result) << c.text;
    EXPECT_EQ(std::string(block, length), c.after) << c.text;
    EXPECT_GE(capacity, length);
    uFree(&block);
  }
}

TEST_F(XlateMissing, UntranslatedTextsAreCollectedOnceOnceATableIsLoaded) {
  // No table loaded: texts stay as they are and nothing is collected.
  const char* text = "Before";
  const char* out = nullptr;
  EXPECT_EQ(xlateStr(0, text, &out), -1);
  EXPECT_EQ(out, text);
  EXPECT_EQ(xlateMissingCount(), 0);

  load({{"Open", "Ouvrir"}});
  char asked[] = "Missing";
  const char* first = nullptr;
  EXPECT_EQ(xlateStr(0, asked, &first), -1);
  EXPECT_NE(first, asked);  // the stored copy
  EXPECT_STREQ(first, "Missing");
  asked[0] = 'X';           // the caller's text may change afterwards
  const char* second = nullptr;
  EXPECT_EQ(xlateStr(0, "Missing", &second), -1);
  EXPECT_EQ(second, first);
  EXPECT_EQ(ask(1, "Gone"), "Gone");
  EXPECT_EQ(ask(0, ""), "");
  EXPECT_EQ(ask(0, "@Marked"), "Marked");
  EXPECT_EQ(ask(0, "Open"), "Ouvrir");
  EXPECT_EQ(missingTexts(), (std::vector<std::string>{"Missing", "Gone"}));
  EXPECT_EQ(logText(), "strtbl 256\n");

  // The pointer list grows by 256 pointers, two per text: logged each time.
  for (int i = 0; i < 200; ++i) ask(0, ("text " + std::to_string(i)).c_str());
  EXPECT_EQ(logText(), "strtbl 256\nstrtbl 512\n");
  // Texts far longer than an arena are kept whole.
  const std::string big(20000, 'b');
  EXPECT_EQ(ask(0, big.c_str()), big);
  EXPECT_EQ(missingTexts().back(), big);
}

// At shut-down the collected texts go with the table: 3000 untranslated
// texts fill several arenas, and after xlateRelease none is held, the table
// is empty again and the image blocks were told to drop their addresses.
TEST_F(XlateMissing, ReleaseFreesTheCollectedTextsAndTheTable) {
  int hookCalls = 0;
  static int* calls;
  calls = &hookCalls;
  static bool cleared;
  cleared = false;
  xlateSetStorageHook([](const char* pool, uint32_t, const void* pairs, uint32_t) {
    ++*calls;
    cleared = !pool && !pairs;
  });
  xlateSetTemplateName("template.txt");
  xlateSetInterpreterFlag(true);
  load({{"Open", "Ouvrir"}});
  for (int i = 0; i < 3000; ++i) ask(0, ("untranslated text " + std::to_string(i)).c_str());
  EXPECT_EQ(xlateMissingCount(), 3000);
  EXPECT_GT(xlateArenaCount(), 1);

  xlateRelease();
  EXPECT_EQ(xlateArenaCount(), 0);
  EXPECT_EQ(xlateMissingCount(), 0);
  EXPECT_EQ(xlatePairCount(), 0);
  EXPECT_TRUE(cleared);
  EXPECT_TRUE(xlateCanRestore());
  // Nothing is loaded any more: texts stay as they are and are not kept.
  int result = 0;
  EXPECT_EQ(ask(0, "Open", &result), "Open");
  EXPECT_EQ(result, -1);
  EXPECT_EQ(xlateMissingCount(), 0);
  // The settings of the run stay.
  EXPECT_STREQ(xlateTemplateName(), "template.txt");
  EXPECT_TRUE(xlateInterpreterFlag());
  // A second release (the program's and a test's) finds nothing to free.
  xlateRelease();
  EXPECT_EQ(xlateArenaCount(), 0);
  xlateSetStorageHook(nullptr);
}

// The storage hook sees the pool and the pairs of a loaded table each time
// they may have moved, and nulls when the table is reset.
struct Seen {
  std::string pool;
  uint32_t pairBytes = 0;
  int calls = 0;
  bool cleared = false;
};
Seen seen;
void watchStorage(const char* pool, uint32_t poolBytes, const void* pairs, uint32_t pairBytes) {
  ++seen.calls;
  seen.cleared = !pool && !pairs;
  seen.pool.assign(pool ? pool : "", poolBytes);
  seen.pairBytes = pairBytes;
}

TEST_F(XlateStorage, TheHookFollowsTheTableAndForgetsItAtReset) {
  seen = Seen{};
  xlateSetStorageHook(watchStorage);
  const char first[] = "Open";
  ASSERT_EQ(xlateAddPair(first, 4, "Ouvrir", 6), 0);
  EXPECT_EQ(seen.calls, 0);  // nothing loaded yet
  xlateLoaded();
  EXPECT_EQ(seen.pool, std::string("Open\0Ouvrir\0", 12));
  EXPECT_EQ(seen.pairBytes, 20u);
  // Appending to a loaded table may move the pool: the hook hears of it.
  ASSERT_EQ(xlateAddPair("Quit", 4, "Quitter", 7), 0);
  EXPECT_EQ(seen.pool, std::string("Open\0Ouvrir\0Quit\0Quitter\0", 25));
  EXPECT_EQ(seen.pairBytes, 40u);

  // Restoring needs an empty table, and takes a copy of what it is given.
  EXPECT_FALSE(xlateCanRestore());
  std::string pool = seen.pool;
  xlateResetForTest();
  EXPECT_TRUE(seen.cleared);
  EXPECT_TRUE(xlateCanRestore());
  const xlatePair pairs[] = {{0, 5, 0, 0, 0}, {12, 17, 0, 0, 1}};
  xlateRestoreFrom(pool.data(), uint32_t(pool.size()), pairs, sizeof pairs);
  pool.assign(pool.size(), 'x');
  EXPECT_EQ(xlatePairCount(), 2);
  EXPECT_EQ(ask(0, "Quit"), "Quitter");
  EXPECT_EQ(seen.pool, std::string("Open\0Ouvrir\0Quit\0Quitter\0", 25));
  xlateSetStorageHook(nullptr);
}

}  // namespace
