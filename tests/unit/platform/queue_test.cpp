// The message queue: order and filters, the quit request and the headless
// end, translation, timers on the layer's clock, queued input, capture,
// activation and properties.
#include "platform/fixture.h"

#include <vector>

namespace {

struct Seen {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
};
std::vector<Seen> seen;

LRESULT CALLBACK recordProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m >= WM_KEYDOWN || m == WM_ACTIVATE || m == WM_CAPTURECHANGED) seen.push_back({h, m, w});
  return DefWindowProcA(h, m, w, l);
}

class PlatformQueue : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    seen.clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = recordProc;
    wc.lpszClassName = "QueueWin";
    RegisterClassA(&wc);
    plTestSetTickCount(1000);
  }
  HWND make(DWORD style = WS_OVERLAPPEDWINDOW, HWND parent = nullptr, int x = 0, int y = 0, int w = 100, int h = 100) {
    return CreateWindowExA(0, "QueueWin", "q", style, x, y, w, h, parent, nullptr, nullptr, nullptr);
  }
};

TEST_F(PlatformQueue, PostedMessagesComeOutInOrderThroughFilters) {
  HWND a = make();
  HWND b = make();
  PostMessageA(a, WM_USER + 1, 1, 0);
  PostMessageA(b, WM_USER + 2, 2, 0);
  PostMessageA(a, WM_USER + 3, 3, 0);
  MSG m;
  // Window filter, range filter, PM_NOREMOVE leaves the message.
  ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  std::vector<UINT> order;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) order.push_back(m.message);
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x12), WM_USER, 0, 0));
}

TEST_F(PlatformQueue, QuitComesAfterPostedMessagesAndTheEmptyQueueEndsTheRun) {
  HWND a = make();
  MSG m;
  // Nothing at all: the headless end, code 0.
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 0u);

  PostQuitMessage(7);
  PostMessageA(a, WM_USER, 0, 0);
  plTestQueueKey('A', true);
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.wParam, 7u);
  // Taken once; the run stays over with the same code, and Peek makes none up.
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.wParam, 7u);
}

TEST_F(PlatformQueue, TimersFireOnlyWhenTheClockReachesThem) {
  HWND a = make();
  ASSERT_EQ(SetTimer(a, 5, 100, nullptr), 5u);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);  // a timer alone keeps nothing alive
  plTestAdvanceClock(99);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  plTestAdvanceClock(1);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(m.wParam, 5u);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));  // next period only
  plTestAdvanceClock(100);
  EXPECT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_TRUE(KillTimer(a, 5));
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(KillTimer(a, 5));
}

TEST_F(PlatformQueue, TranslateMessageMakesTheCharacterNext) {
  struct Case { std::vector<int> held; int key; int expected; };
  const Case cases[] = {{{}, 'A', 'a'}, {{VK_SHIFT}, 'A', 'A'}, {{VK_SHIFT}, '1', '!'}, {{VK_CONTROL}, 'C', 3},
                        {{}, VK_RETURN, '\r'}, {{}, VK_LEFT, 0}};
  for (const Case& c : cases) {
    plTestReset();
    SetUp();
    HWND w = make();
    SetFocus(w);
    for (int k : c.held) plTestQueueKey(k, true);
    plTestQueueKey(c.key, true);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) &&
           !(m.message == WM_KEYDOWN && static_cast<int>(m.wParam) == c.key)) {
    }
    ASSERT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN)) << c.key;
    EXPECT_EQ(m.hwnd, w);
    PostMessageA(w, WM_USER, 0, 0);  // waiting already: the character still comes first
    TranslateMessage(&m);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    if (c.expected) {
      EXPECT_EQ(m.message, static_cast<UINT>(WM_CHAR)) << c.key;
      EXPECT_EQ(static_cast<int>(m.wParam), c.expected) << c.key;
    } else {
      EXPECT_EQ(m.message, static_cast<UINT>(WM_USER)) << c.key;
    }
  }
}

TEST_F(PlatformQueue, QueuedInputUpdatesStateWhenDueAndFindsItsWindowThen) {
  HWND frame = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 10, 20, 300, 200);
  HWND child = make(WS_CHILD | WS_VISIBLE, frame, 50, 50, 100, 100);
  plTestQueueKey(VK_SHIFT, true, 10);
  plTestQueueMouseMove(70, 90, 10);
  plTestQueueMouseButton(VK_LBUTTON, true, 70, 90, 10);
  EXPECT_EQ(plTestQueuedInputCount(), 3u);
  MSG m;
  while (PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
  }
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);  // not due yet
  plTestAdvanceClock(10);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);  // due: in effect before its message is taken
  EXPECT_EQ(plTestQueuedInputCount(), 2u);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(m.hwnd, frame);  // the active window had the focus
  plTestAdvanceClock(10);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(m.hwnd, child);
  EXPECT_EQ(m.lParam, MAKELONG(10, 20));  // client coordinates of the child
  EXPECT_EQ(m.wParam, static_cast<WPARAM>(MK_SHIFT));
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 70);
  EXPECT_EQ(p.y, 90);
  EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(70, 90)));
  // Capture taken before the press is due takes it away from the window
  // under the point; GetMessageA waits for the press.
  SetCapture(frame);
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(m.hwnd, frame);
  EXPECT_EQ(m.wParam, static_cast<WPARAM>(MK_SHIFT | MK_LBUTTON));
  EXPECT_EQ(GetTickCount(), 1030u);
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
  seen.clear();
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_CAPTURECHANGED));
}

TEST_F(PlatformQueue, AnEscapeBehindOtherKeysCanBeTakenAlone) {
  HWND a = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  plTestQueueKey('A', true);
  plTestQueueKey(VK_ESCAPE, true);
  plTestQueueKey('B', true);
  MSG m;
  // Removing the key-downs one by one and putting the others back keeps
  // their order: 'A' and 'B' stay queued in order.
  ASSERT_TRUE(PeekMessageA(&m, a, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('A'));
  std::vector<WPARAM> keys;
  while (PeekMessageA(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) keys.push_back(m.wParam);
  EXPECT_EQ(keys, (std::vector<WPARAM>{'A', VK_ESCAPE, 'B'}));
}

TEST_F(PlatformQueue, ActivationPaintingAndProperties) {
  HWND a = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  HWND b = make(WS_OVERLAPPEDWINDOW);
  EXPECT_FALSE(IsWindowVisible(b));
  seen.clear();
  EXPECT_FALSE(ShowWindow(b, SW_SHOW));
  EXPECT_EQ(GetActiveWindow(), b);
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0].hwnd, a);
  EXPECT_EQ(seen[0].wParam, static_cast<WPARAM>(WA_INACTIVE));
  EXPECT_TRUE(ShowWindow(b, SW_SHOWMAXIMIZED));
  EXPECT_TRUE(IsZoomed(b));
  RECT r;
  GetClientRect(b, &r);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));

  // Both windows were shown: each gets one WM_PAINT, then none.
  MSG m;
  int paints = 0;
  while (PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) ++paints;
  EXPECT_EQ(paints, 2);
  InvalidateRect(a, nullptr, TRUE);
  ValidateRect(a, nullptr);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));

  EXPECT_FALSE(EnableWindow(a, FALSE));
  EXPECT_FALSE(IsWindowEnabled(a));
  EXPECT_TRUE(EnableWindow(a, TRUE));

  int x = 0;
  EXPECT_TRUE(SetPropA(a, "Rec", &x));
  EXPECT_EQ(GetPropA(a, "REC"), &x);
  EXPECT_EQ(GetPropA(b, "Rec"), nullptr);
  EXPECT_EQ(RemovePropA(a, "rec"), &x);
  EXPECT_EQ(GetPropA(a, "Rec"), nullptr);

  EXPECT_EQ(FindWindowA("QueueWin", nullptr), b);  // topmost first
  EXPECT_EQ(FindWindowA("mpframe", nullptr), nullptr);
  DestroyWindow(b);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(FindWindowA("QueueWin", "Q"), a);
}

TEST_F(PlatformQueue, ResetForgetsQueueTimersInputAndCapture) {
  HWND a = make();
  PostMessageA(a, WM_USER, 0, 0);
  SetTimer(nullptr, 0, 1, nullptr);
  plTestQueueKey('A', true);
  SetCapture(a);
  PostQuitMessage(3);
  plTestReset();
  plTestSetTickCount(50000);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(plTestQueuedInputCount(), 0u);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.wParam, 0u);
}

}  // namespace
