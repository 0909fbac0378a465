#include "views/uniquename.h"

#include "core/alloc.h"
#include "core/text.h"
#include "core/xlate.h"
#include "core/xlate_test.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

// The names already taken, and every name asked about.
struct Taken {
  std::set<std::string> names;
  std::string asked;
};

int isTaken(void* context, const char* name, uint32_t length) {
  Taken* taken = static_cast<Taken*>(context);
  EXPECT_EQ(strlen(name), length);
  taken->asked += std::string(name, length) + "|";
  return taken->names.count(std::string(name, length)) ? 1 : 0;
}

class UniqueName : public ::testing::Test {
protected:
  void SetUp() override { xlateResetForTest(); }
  void TearDown() override {
    uFreeIfSet(&title);
    xlateResetForTest();
  }
  char* title = nullptr;
};

TEST_F(UniqueName, TheFirstFreeNumberEvenWithHigherOnesTaken) {
  Taken taken{{"Plane 1", "Plane 3"}, {}};
  ASSERT_EQ(uniqueName(&title, "Plane ^0", isTaken, &taken), 0);
  EXPECT_STREQ(title, "Plane 2");
  EXPECT_EQ(taken.asked, "Plane 1|Plane 2|");
}

TEST_F(UniqueName, OneWhenNothingIsTakenAndTheOldTitleReplaced) {
  Taken taken;
  ASSERT_NE(uStrDup("old", 3, &title), nullptr);
  ASSERT_EQ(uniqueName(&title, "Sheet ^0", isTaken, &taken), 0);
  EXPECT_STREQ(title, "Sheet 1");
  Taken many;
  for (int i = 1; i <= 11; ++i) many.names.insert("View " + std::to_string(i));
  ASSERT_EQ(uniqueName(&title, "View ^0", isTaken, &many), 0);
  EXPECT_STREQ(title, "View 12");
}

TEST_F(UniqueName, TheTranslationIsUsedOnlyWhenItHoldsThePlaceholder) {
  ASSERT_EQ(xlateAddPair("Sheet ^0", 8, "Feuille ^0", 10), 0);
  ASSERT_EQ(xlateAddPair("Model ^0", 8, "Modele", 6), 0);
  xlateLoaded();
  Taken taken{{"Feuille 1"}, {}};
  ASSERT_EQ(uniqueName(&title, "Sheet ^0", isTaken, &taken), 0);
  EXPECT_STREQ(title, "Feuille 2");
  ASSERT_EQ(uniqueName(&title, "Model ^0", isTaken, &taken), 0);
  EXPECT_STREQ(title, "Model 1");
}

TEST_F(UniqueName, ATemplateWithoutPlaceholderGivesItselfOnce) {
  Taken taken;
  ASSERT_EQ(uniqueName(&title, "World", isTaken, &taken), 0);
  EXPECT_STREQ(title, "World");
  taken.names.insert("World");
  taken.asked.clear();
  EXPECT_EQ(uniqueName(&title, "World", isTaken, &taken), -1);  // no endless search
  EXPECT_EQ(taken.asked, "World|");
  EXPECT_STREQ(title, "World");
}

}  // namespace
