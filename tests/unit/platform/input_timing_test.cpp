// Queued input on the layer's clock: items take effect when due, polling
// loops let time pass, GetMessageA waits for the next item, and a button
// left held by the input is let go at its end.
#include "platform/fixture.h"

#include <chrono>
#include <thread>
#include <vector>

namespace {

struct Seen {
  HWND hwnd;
  UINT message;
  LPARAM lParam;
};

LRESULT CALLBACK plainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

class PlatformTimedInput : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = "TimedWin";
    RegisterClassA(&wc);
    plTestSetTickCount(1000);
  }
  static HWND make(int x, int y, int w, int h) {
    HWND window = CreateWindowExA(0, "TimedWin", "t", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr,
                                  nullptr);
    ValidateRect(window, nullptr);
    return window;
  }
  // Every message waiting now, without letting the clock move.
  static std::vector<Seen> drain() {
    std::vector<Seen> out;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) out.push_back({m.hwnd, m.message, m.lParam});
    return out;
  }
};

bool leftHeld() { return GetAsyncKeyState(VK_LBUTTON) < 0; }

TEST_F(PlatformTimedInput, APollingLoopSeesMovesAndTheReleaseOneByOne) {
  HWND window = make(100, 100, 200, 200);
  plTestQueueMouseButton(VK_LBUTTON, true, 110, 110, 100);
  plTestQueueMouseMove(130, 110, 100);
  plTestQueueMouseMove(150, 120, 100);
  plTestQueueMouseButton(VK_LBUTTON, false, 150, 120, 100);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  ASSERT_EQ(m.message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(GetTickCount(), 1100u);

  // The loop of a tool following a drag: it takes no messages.
  std::vector<POINT> positions;
  int reads = 0;
  while (leftHeld() && reads < 100000) {
    POINT p;
    GetCursorPos(&p);
    if (positions.empty() || positions.back().x != p.x || positions.back().y != p.y) positions.push_back(p);
    ++reads;
  }
  ASSERT_LT(reads, 100000) << "the release never came";
  ASSERT_EQ(positions.size(), 3u);
  EXPECT_EQ(positions[0].x, 110);
  EXPECT_EQ(positions[1].x, 130);
  EXPECT_EQ(positions[2].x, 150);
  EXPECT_EQ(positions[2].y, 120);
  // The read that reached the release saw it (and the loop's next read of
  // the button moved the clock once more when the cursor read reached it).
  EXPECT_GE(GetTickCount(), 1400u);
  EXPECT_LE(GetTickCount(), 1401u);

  // Their messages wait in order for whoever takes them next.
  const std::vector<Seen> seen = drain();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(seen[0].lParam, MAKELONG(30, 10));
  EXPECT_EQ(seen[1].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(seen[2].message, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_EQ(seen[2].hwnd, window);
  EXPECT_EQ(seen[2].lParam, MAKELONG(50, 20));
  EXPECT_EQ(plTestQueuedInputCount(), 0u);  // released by the input: nothing more comes
}

TEST_F(PlatformTimedInput, GetMessageMovesTheClockToTheNextItemPeekDoesNot) {
  make(0, 0, 100, 100);
  plTestQueueKey('A', true, 250);
  plTestQueueKey('B', true, 50);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(GetTickCount(), 1000u);
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(GetTickCount(), 1250u);
  EXPECT_EQ(m.time, 1250u);
  // A message posted meanwhile comes before the later key.
  PostMessageA(nullptr, WM_USER, 0, 0);
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(GetTickCount(), 1250u);
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('B'));
  EXPECT_EQ(GetTickCount(), 1300u);
  // Then the headless end.
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(GetTickCount(), 1300u);
}

TEST_F(PlatformTimedInput, OnlyReadsOfTheMouseLetAManualClockMove) {
  struct Case {
    const char* read;
    void (*call)();
    DWORD moves;
  } cases[] = {
      {"GetCursorPos", [] { POINT p; GetCursorPos(&p); }, 1},
      {"GetAsyncKeyState left", [] { GetAsyncKeyState(VK_LBUTTON); }, 1},
      {"GetAsyncKeyState right", [] { GetAsyncKeyState(VK_RBUTTON); }, 1},
      {"GetAsyncKeyState middle", [] { GetAsyncKeyState(VK_MBUTTON); }, 1},
      {"GetAsyncKeyState Shift", [] { GetAsyncKeyState(VK_SHIFT); }, 0},
      {"GetKeyState left", [] { GetKeyState(VK_LBUTTON); }, 0},
      {"PeekMessageA", [] { MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.read);
    const DWORD before = GetTickCount();
    c.call();
    EXPECT_EQ(GetTickCount() - before, c.moves);
  }
  // The system clock is left alone: it only moves with real time.
  plTestUseSystemClock();
  const DWORD before = GetTickCount();
  for (int i = 0; i < 5000; ++i) cases[0].call();
  EXPECT_LT(GetTickCount() - before, 5000u);
}

TEST_F(PlatformTimedInput, ADelayFreezesTheSystemClockNoDelayDoesNot) {
  plTestUseSystemClock();
  plTestQueueKey('A', true);  // due at once
  const DWORD start = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_GE(GetTickCount() - start, 20u);
  plTestQueueKey('B', true, 5);
  const DWORD frozen = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(GetTickCount(), frozen);
}

TEST_F(PlatformTimedInput, AButtonLeftHeldIsReleasedWhereTheCursorStands) {
  HWND window = make(0, 0, 200, 200);
  plTestSetKeyDown(VK_RBUTTON, true);  // held by the test, not by queued input: stays
  plTestQueueMouseButton(VK_LBUTTON, true, 30, 40, 10);
  plTestQueueMouseMove(50, 60, 20);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_LBUTTONDOWN));
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(GetTickCount(), 1030u);
  EXPECT_EQ(plTestQueuedInputCount(), 1u);  // the release waits its turn
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_EQ(m.hwnd, window);
  EXPECT_EQ(m.lParam, MAKELONG(50, 60));
  EXPECT_EQ(GetTickCount(), 1130u);
  EXPECT_FALSE(leftHeld());
  EXPECT_LT(GetAsyncKeyState(VK_RBUTTON), 0);
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));

  // A press whose release was queued gets no second one.
  plTestQueueMouseButton(VK_LBUTTON, true, 5, 5, 10);
  plTestQueueMouseButton(VK_LBUTTON, false, 5, 5, 10);
  int ups = 0;
  while (GetMessageA(&m, nullptr, 0, 0)) ups += m.message == WM_LBUTTONUP;
  EXPECT_EQ(ups, 1);
}

TEST_F(PlatformTimedInput, TargetsAreChosenWhenAnItemIsDueNotWhenQueued) {
  HWND left = make(0, 0, 100, 100);
  HWND right = make(100, 0, 100, 100);
  SetFocus(left);
  plTestQueueMouseMove(150, 50, 100);
  plTestQueueKey('K', true, 100);
  plTestQueueMouseMove(150, 60, 100);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.hwnd, right);
  // Before the next items are due: the focus moves, and a new window comes
  // up over the point.
  HWND cover = make(120, 0, 60, 100);
  SetFocus(right);
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(m.hwnd, right);
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(m.hwnd, cover);
  EXPECT_EQ(m.lParam, MAKELONG(30, 60));
}

TEST_F(PlatformTimedInput, ResetForgetsWaitingItemsAndHeldButtons) {
  make(0, 0, 100, 100);
  plTestQueueMouseButton(VK_LBUTTON, true, 10, 10, 10);
  plTestQueueKey('A', true, 10);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  plTestReset();
  plTestSetTickCount(1000);
  EXPECT_EQ(plTestQueuedInputCount(), 0u);
  EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));  // no release was left behind either
  EXPECT_EQ(GetTickCount(), 1000u);
}

}  // namespace
