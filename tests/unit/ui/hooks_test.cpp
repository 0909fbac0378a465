#include "ui/alertstate.h"
#include "ui/gdihook.h"

#include <gtest/gtest.h>

TEST(GdiHook, AnswersZeroWithoutHookAndForwardsArgumentsWithOne) {
  EXPECT_EQ(gdiCallHook(gdiHookPanic, 1, 2, 3), 0);
  static intptr_t seen[4];
  gdiHookProc proc = [](intptr_t k, intptr_t a, intptr_t b, intptr_t c) -> intptr_t {
    seen[0] = k, seen[1] = a, seen[2] = b, seen[3] = c;
    return 1;
  };
  EXPECT_EQ(gdiSetHook(proc), nullptr);
  EXPECT_EQ(gdiCallHook(7, 10, 20, 30), 1);
  EXPECT_EQ(seen[0], 7);
  EXPECT_EQ(seen[3], 30);
  EXPECT_EQ(gdiSetHook(nullptr), proc);
  EXPECT_EQ(gdiCallHook(7, 0, 0, 0), 0);
}
