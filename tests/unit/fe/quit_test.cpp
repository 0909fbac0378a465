#include "fe/quit.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <string>

static std::string order;

TEST(AtQuit, RunsLastRegisteredFirstEachOnceThenPostsQuit) {
  plTestReset();
  order.clear();
  feAtQuit([] { order += 'a'; });
  feAtQuit(nullptr);  // null entries are skipped
  feAtQuit([] {
    order += 'b';
    feAtQuit([] { order += 'c'; });  // added during quit: runs in the same quit
  });
  feQuitRun();
  EXPECT_EQ(order, "bca");
  int code = 99;
  ASSERT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, 0);
  feQuitRun();  // the list is empty now
  EXPECT_EQ(order, "bca");
}
