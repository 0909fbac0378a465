// The mouse state the tracking loops poll, and recorded positions replayed
// every 100 ms.
#include "gx_state_fixture.h"

TEST_F(GxStateTest, RecordedPositionsReplayEvery100Milliseconds) {
  plTestSetTickCount(1000);
  const POINT points[3] = {{10, 11}, {20, 21}, {30, 31}};
  gxRecordMouse(3, points);
  EXPECT_EQ(gxMouseButtonDown(), 1);
  POINT p{};
  EXPECT_EQ(gxPollMouse(&p), 1);
  EXPECT_EQ(p.x, 10);
  plTestAdvanceClock(50);
  EXPECT_EQ(gxPollMouse(&p), 1);
  EXPECT_EQ(p.x, 10);
  plTestAdvanceClock(50);  // 100 ms: the first is reported once more, then dropped
  EXPECT_EQ(gxPollMouse(&p), 1);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(gxGetMouse(&p), 1);
  EXPECT_EQ(p.x, 20);
  EXPECT_EQ(p.y, 21);
  plTestSetTickCount(500);  // a clock that went backwards counts as no time
  EXPECT_EQ(gxPollMouse(&p), 1);
  EXPECT_EQ(p.x, 20);
  plTestSetTickCount(1200);
  gxPollMouse(&p);
  EXPECT_EQ(p.x, 20);
  gxPollMouse(&p);
  EXPECT_EQ(p.x, 30);
  plTestAdvanceClock(100);
  gxPollMouse(&p);  // the last one goes
  EXPECT_EQ(gxMouseButtonDown(), 0);
}

TEST_F(GxStateTest, ReplayMovesTheCursorWhenAWindowIsCurrent) {
  HWND window = ownDCWindow();
  SetWindowPos(window, nullptr, 100, 50, 100, 80, SWP_NOZORDER);
  gxSetWindow(window);
  plTestSetTickCount(0);
  const POINT points[2] = {{1, 2}, {7, 8}};
  gxRecordMouse(2, points);
  plTestAdvanceClock(100);
  POINT p;
  gxPollMouse(&p);
  POINT cursor;
  GetCursorPos(&cursor);
  POINT expect{7, 8};
  ClientToScreen(window, &expect);
  EXPECT_EQ(cursor.x, expect.x);
  EXPECT_EQ(cursor.y, expect.y);
}

TEST_F(GxStateTest, LivePollingFollowsTheButtonsAndTheQueue) {
  HWND window = ownDCWindow();
  SetWindowPos(window, nullptr, 100, 50, 100, 80, SWP_NOZORDER);
  SetCursorPos(130, 70);
  POINT p;
  EXPECT_EQ(gxPollMouse(&p), 0);  // no window: screen coordinates
  EXPECT_EQ(p.x, 130);
  gxSetWindow(window);
  POINT expect{130, 70};
  ScreenToClient(window, &expect);
  EXPECT_EQ(gxGetMouse(&p), 0);
  EXPECT_EQ(p.x, expect.x);
  EXPECT_EQ(p.y, expect.y);
  plTestSetKeyDown(VK_RBUTTON, true);
  EXPECT_EQ(gxPollMouse(&p), 1);
  EXPECT_EQ(gxMouseButtonDown(), 1);
  EXPECT_EQ(gxGetMouse(&p), 1);
  PostMessageA(window, WM_RBUTTONUP, 0, 0);  // a waiting button-up ends the drag
  EXPECT_EQ(gxPollMouse(&p), 0);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_RBUTTONUP, WM_RBUTTONUP, PM_NOREMOVE));  // not removed
  plTestSetKeyDown(VK_RBUTTON, false);
}

TEST_F(GxStateTest, TicksInSixtieths) {
  plTestSetTickCount(1000);
  EXPECT_EQ(gxTicks60(), 60u);
  plTestSetTickCount(0xFFFFFFFF);
  EXPECT_EQ(gxTicks60(), static_cast<uint32_t>(uint64_t{0xFFFFFFFF} * 60 / 1000));
}
