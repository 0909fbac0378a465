#include "ui/attn.h"
#include "ui/cursor.h"
#include "ui/mainloop.h"
#include "uitest_window.h"

#include <platform_test.h>

#include <gtest/gtest.h>

namespace {
class Attn : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    evAttnReset();
    window = uiTestWindow();
    // A cursor table of one entry, the arrow, which the end of a busy spell
    // shows again.
    cursorSetSystem(0, LoadCursorA(nullptr, IDC_ARROW));
  }
  void TearDown() override {
    evAttnReset();
    cursorTerm();
    plTestReset();
  }
  void press(int key) {
    plTestQueueKey(key, true);
    plTestQueueKey(key, false);
  }
  HWND window = nullptr;
};

TEST_F(Attn, InterruptKeyBehindOtherKeysIsTakenAndOnlyIt) {
  for (int interrupt : {VK_ESCAPE, VK_PAUSE}) {
    SCOPED_TRACE(interrupt);
    evAttnReset();
    uiTestLog().clear();
    press('A');
    press('B');
    press(interrupt);
    press('C');
    EXPECT_EQ(evPollAttn(), 1);
    evMainLoop();  // headless: ends when the queue is empty
    EXPECT_EQ(uiTestKeyDowns(), (std::vector<WPARAM>{'A', 'B', 'C'}));
  }
}

TEST_F(Attn, LetterKeysDoNotInterruptAndStayQueued) {
  press('A');
  press('B');
  EXPECT_EQ(evPollAttn(), 0);
  EXPECT_EQ(evCheckAttn(), 0);
  evMainLoop();
  EXPECT_EQ(uiTestKeyDowns(), (std::vector<WPARAM>{'A', 'B'}));
}

TEST_F(Attn, SetFlagAnswersAtOnceWithoutTakingKeys) {
  evSetAttn(5);
  press(VK_ESCAPE);
  EXPECT_EQ(evPollAttn(), 5);
  // The main loop clears the flag; the Escape is still delivered.
  evMainLoop();
  EXPECT_EQ(uiTestKeyDowns(), (std::vector<WPARAM>{VK_ESCAPE}));
  EXPECT_EQ(evPollAttn(), 0);
}

TEST_F(Attn, BusyCountNeverBelowZeroAndLoweredOncePerMessage) {
  EXPECT_EQ(uiBusyEnd(), 0);
  EXPECT_EQ(uiBusyCount(), 0);
  EXPECT_EQ(uiBusyBegin(), 0);
  EXPECT_EQ(uiBusyBegin(), 1);
  EXPECT_EQ(uiBusyAdd(3), 2);
  EXPECT_EQ(uiBusyCount(), 5);
  EXPECT_EQ(uiBusyAdd(-9), 5);
  EXPECT_EQ(uiBusyCount(), 0);
  EXPECT_EQ(plTestCurrentCursor(), LoadCursorA(nullptr, IDC_ARROW));

  evMainLoop();  // the window's own start-up messages
  uiBusyBegin();
  uiBusyBegin();
  uiBusyBegin();
  PostMessageA(window, WM_USER, 0, 0);
  PostMessageA(window, WM_USER, 0, 0);
  evMainLoop();
  EXPECT_EQ(uiBusyCount(), 1);
  uiBusyEnd();
  EXPECT_EQ(uiBusyCount(), 0);
  EXPECT_EQ(plTestCurrentCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(Attn, ProgressTickWrapsAndShowsWaitCursorWhileBusy) {
  struct Case {
    int32_t start, n, ticks;
    bool busy, wait;
  } cases[] = {
      {0, 40, 8, true, true},   {0, 32, 32, true, false}, {0, -1, 31, true, true},
      {0, 40, 8, false, false}, {30, 1, 31, false, false}, {0, -65, 31, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << " + " << c.n);
    evAttnReset();
    SetCursor(nullptr);
    if (c.start) evProgressTick(c.start);
    if (c.busy) uiBusyBegin();
    EXPECT_EQ(evProgressTick(c.n), 0);
    EXPECT_EQ(evProgressTicks(), c.ticks);
    EXPECT_EQ(plTestCurrentCursor() == LoadCursorA(nullptr, IDC_WAIT), c.wait);
  }
  evAttnReset();
  press(VK_ESCAPE);
  EXPECT_EQ(evProgressTick(0), 1);
}
}  // namespace
