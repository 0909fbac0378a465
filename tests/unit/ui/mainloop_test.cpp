#include "ui/attn.h"
#include "ui/event.h"
#include "ui/mainloop.h"
#include "uitest_window.h"

#include <platform_test.h>

#include <gtest/gtest.h>

namespace {
class MainLoop : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    evAttnReset();
    eventReset();
    window = uiTestWindow();
  }
  void TearDown() override {
    evSetMenuFilter(nullptr);
    evAttnReset();
    plTestReset();
  }
  HWND window = nullptr;
};

std::vector<UINT> userMessages() {
  std::vector<UINT> seen;
  for (const uiTestSeen& s : uiTestLog())
    if (s.message >= WM_USER) seen.push_back(s.message);
  return seen;
}

TEST_F(MainLoop, DispatchesInOrderAndEndsOnQuitWithItsCode) {
  PostMessageA(window, WM_USER + 1, 0, 0);
  PostMessageA(window, WM_USER + 2, 0, 0);
  PostQuitMessage(7);
  evSetAttn(1);
  EXPECT_EQ(evMainLoop(), 0);
  EXPECT_EQ(evQuitCode(), 7u);
  EXPECT_EQ(userMessages(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
  // Each message cleared the flag and was recorded with position 0.
  EXPECT_EQ(evPollAttn(), 0);
  EXPECT_EQ(eventState()->lastMessage, static_cast<uint32_t>(WM_USER + 2));
}

TEST_F(MainLoop, EndsWhenHeadlessInputRunsOut) {
  plTestQueueKey('Q', true);
  plTestQueueKey('Q', false);
  EXPECT_EQ(evMainLoop(), 0);
  EXPECT_EQ(plTestQueuedInputCount(), 0u);
  EXPECT_EQ(uiTestKeyDowns(), (std::vector<WPARAM>{'Q'}));
  // The key-down was translated into a typed character.
  bool sawChar = false;
  for (const uiTestSeen& s : uiTestLog()) sawChar |= s.message == WM_CHAR && s.wParam == 'q';
  EXPECT_TRUE(sawChar);
}

TEST_F(MainLoop, MenuFilterConsumesMessages) {
  evSetMenuFilter([](MSG* msg) { return msg->message == WM_USER + 1 ? 1 : 0; });
  PostMessageA(window, WM_USER + 1, 0, 0);
  PostMessageA(window, WM_USER + 2, 0, 0);
  evMainLoop();
  EXPECT_EQ(userMessages(), (std::vector<UINT>{WM_USER + 2}));
}

TEST_F(MainLoop, PumpRangeTakesOnlyItsNumberAndLeavesFlagAndBusy) {
  PostMessageA(window, WM_USER + 1, 0, 0);
  PostMessageA(window, WM_USER + 2, 0, 0);
  PostMessageA(window, WM_USER + 1, 0, 0);
  evSetAttn(3);
  uiBusyBegin();
  EXPECT_EQ(evPumpRange(WM_USER + 1), 0);
  EXPECT_EQ(userMessages(), (std::vector<UINT>{WM_USER + 1, WM_USER + 1}));
  EXPECT_EQ(evPollAttn(), 3);
  EXPECT_EQ(uiBusyCount(), 1);
  // aDispatch pumps everything that is left.
  EXPECT_EQ(aDispatch(), 0);
  EXPECT_EQ(userMessages(), (std::vector<UINT>{WM_USER + 1, WM_USER + 1, WM_USER + 2}));
  EXPECT_EQ(uiBusyCount(), 1);
}

TEST_F(MainLoop, PumpLeavesAQuitForTheMainLoop) {
  PostQuitMessage(4);
  PostMessageA(window, WM_USER + 1, 0, 0);
  aDispatch();
  EXPECT_EQ(userMessages(), (std::vector<UINT>{WM_USER + 1}));
  PostMessageA(window, WM_USER + 2, 0, 0);
  EXPECT_EQ(evMainLoop(), 0);
  EXPECT_EQ(evQuitCode(), 4u);
}
}  // namespace
