// The non-client area: client rectangles by WM_NCCALCSIZE, hit testing and
// the messages around mouse input, activation by a press, dragging by the
// caption, size limits, and the small window and class queries.
#include "platform/fixture.h"

#include <vector>

namespace {

struct Seen {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> seen;
RECT inset{0, 0, 0, 0};          // what the "Framed" class takes off each side
LRESULT mouseActivateAnswer = 0;  // 0: DefWindowProcA decides
MINMAXINFO limits{};
bool limitSizes = false;
RECT calcAsked{};

bool watched(UINT msg) {
  return msg == WM_NCCALCSIZE || msg == WM_NCHITTEST || msg == WM_SETCURSOR || msg == WM_MOUSEACTIVATE ||
         msg == WM_NCPAINT || msg == WM_SYSCOMMAND || msg == WM_CLOSE || msg == WM_GETMINMAXINFO ||
         (msg >= WM_NCMOUSEMOVE && msg <= WM_NCMBUTTONDBLCLK) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST);
}

// A window with a caption strip of inset.top pixels whose first 10 pixels
// are the system menu box.
LRESULT CALLBACK framedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (watched(msg)) seen.push_back({hwnd, msg, wParam, lParam});
  switch (msg) {
    case WM_NCCALCSIZE: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      calcAsked = *r;
      r->left += inset.left;
      r->top += inset.top;
      r->right -= inset.right;
      r->bottom -= inset.bottom;
      return 0;
    }
    case WM_NCHITTEST: {
      RECT window{};
      GetWindowRect(hwnd, &window);
      const POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
      if (at.y >= window.top && at.y < window.top + inset.top && at.x >= window.left && at.x < window.right)
        return at.x < window.left + 10 ? HTSYSMENU : HTCAPTION;
      break;
    }
    case WM_MOUSEACTIVATE:
      if (mouseActivateAnswer) return mouseActivateAnswer;
      break;
    case WM_GETMINMAXINFO:
      if (limitSizes) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = limits.ptMinTrackSize;
        info->ptMaxTrackSize = limits.ptMaxTrackSize;
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK plainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (watched(msg)) seen.push_back({hwnd, msg, wParam, lParam});
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class PlatformNonClient : public PlatformTest {
 protected:
  HCURSOR classCursor = LoadCursorA(nullptr, IDC_ARROW);

  void SetUp() override {
    PlatformTest::SetUp();
    seen.clear();
    inset = RECT{1, 13, 1, 1};
    mouseActivateAnswer = 0;
    limitSizes = false;
    WNDCLASSA wc{};
    wc.lpfnWndProc = framedProc;
    wc.lpszClassName = "Framed";
    wc.hCursor = classCursor;
    ASSERT_TRUE(RegisterClassA(&wc));
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = "Plain";
    ASSERT_TRUE(RegisterClassA(&wc));
  }

  static HWND make(const char* cls, DWORD style, RECT r, HWND parent = nullptr, HMENU menu = nullptr) {
    return CreateWindowExA(0, cls, "w", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, menu,
                           nullptr, nullptr);
  }

  static void pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }

  static std::vector<Seen> of(UINT msg) {
    std::vector<Seen> out;
    for (const Seen& s : seen)
      if (s.msg == msg) out.push_back(s);
    return out;
  }
};

bool same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(PlatformNonClient, ClientRectangleFollowsNcCalcSizeAtCreationAndOnEveryChange) {
  struct Case {
    const char* cls;
    RECT inset;
  };
  const Case cases[] = {{"Framed", {1, 13, 1, 1}}, {"Framed", {0, 0, 0, 0}}, {"Plain", {0, 0, 0, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cls) + " top " + std::to_string(c.inset.top));
    inset = c.inset;
    HWND top = make(c.cls, WS_POPUP | WS_VISIBLE, {100, 50, 300, 250});
    ASSERT_NE(top, nullptr);
    RECT r{};
    ASSERT_TRUE(GetClientRect(top, &r));
    EXPECT_TRUE(same(r, RECT{0, 0, 200 - c.inset.left - c.inset.right, 200 - c.inset.top - c.inset.bottom}));
    ASSERT_TRUE(GetWindowRect(top, &r));
    EXPECT_TRUE(same(r, RECT{100, 50, 300, 250}));
    POINT p{0, 0};
    ClientToScreen(top, &p);
    EXPECT_EQ(p.x, 100 + c.inset.left);
    EXPECT_EQ(p.y, 50 + c.inset.top);

    // A child: asked with its rectangle in the parent's client coordinates,
    // and placed below the parent's non-client area.
    HWND child = make(c.cls, WS_CHILD | WS_VISIBLE, {10, 20, 60, 70}, top);
    ASSERT_NE(child, nullptr);
    if (c.cls == std::string("Framed")) EXPECT_TRUE(same(calcAsked, RECT{10, 20, 60, 70}));
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_TRUE(same(r, RECT{110 + c.inset.left, 70 + c.inset.top, 160 + c.inset.left, 120 + c.inset.top}));
    p = POINT{r.left + c.inset.left + 2, r.top + c.inset.top + 3};
    ScreenToClient(child, &p);
    EXPECT_EQ(p.x, 2);
    EXPECT_EQ(p.y, 3);

    // Moving and sizing ask again; WM_SIZE carries the client size.
    seen.clear();
    ASSERT_TRUE(MoveWindow(top, 0, 0, 120, 90, TRUE));
    EXPECT_EQ(of(WM_NCCALCSIZE).size(), 1u);
    ASSERT_TRUE(GetClientRect(top, &r));
    EXPECT_TRUE(same(r, RECT{0, 0, 120 - c.inset.left - c.inset.right, 90 - c.inset.top - c.inset.bottom}));
    ASSERT_TRUE(SetWindowPos(top, nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    ASSERT_TRUE(GetWindowRect(top, &r));
    EXPECT_TRUE(same(r, RECT{5, 6, 125, 96}));
    DestroyWindow(top);
  }
}

TEST_F(PlatformNonClient, AnOversizedInsetLeavesAnEmptyClientInsideTheWindow) {
  inset = RECT{500, 500, 500, 500};
  HWND w = make("Framed", WS_POPUP, {0, 0, 40, 30});
  RECT r{};
  ASSERT_TRUE(GetClientRect(w, &r));
  EXPECT_TRUE(same(r, RECT{0, 0, 0, 0}));
}

TEST_F(PlatformNonClient, AdjustWindowRectAgreesWithTheDefaultClientRectangle) {
  for (BOOL menu : {FALSE, TRUE}) {
    SCOPED_TRACE(menu);
    RECT outer{10, 20, 210, 120};
    ASSERT_TRUE(AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, menu, 0));
    EXPECT_EQ(outer.top, menu ? 20 - GetSystemMetrics(SM_CYMENU) : 20);
    EXPECT_EQ(outer.left, 10);
    EXPECT_EQ(outer.bottom, 120);
    HWND w = make("Plain", WS_OVERLAPPEDWINDOW, outer, nullptr, menu ? reinterpret_cast<HMENU>(7) : nullptr);
    RECT client{};
    ASSERT_TRUE(GetClientRect(w, &client));
    EXPECT_TRUE(same(client, RECT{0, 0, 200, 100}));
    POINT p{0, 0};
    ClientToScreen(w, &p);
    EXPECT_EQ(p.y, 20);
  }
  EXPECT_FALSE(AdjustWindowRectEx(nullptr, 0, TRUE, 0));
}

TEST_F(PlatformNonClient, DefaultHitTestAnswersByTheRectangles) {
  HWND w = make("Plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 200, 200}, nullptr, reinterpret_cast<HMENU>(1));
  const int menuTop = 100, clientTop = 100 + GetSystemMetrics(SM_CYMENU);
  struct Case {
    POINT at;
    LRESULT hit;
  };
  const Case cases[] = {
      {{150, clientTop}, HTCLIENT},  {{199, 199}, HTCLIENT},  {{150, menuTop}, HTMENU},
      {{200, 150}, HTNOWHERE},       {{99, 150}, HTNOWHERE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELONG(c.at.x, c.at.y)), c.hit) << c.at.x << "," << c.at.y;
  inset = RECT{2, 2, 2, 2};
  HWND framed = make("Framed", WS_POPUP | WS_VISIBLE, {300, 300, 340, 340});
  inset = RECT{0, 0, 0, 0};  // no caption for the framed proc's own test
  EXPECT_EQ(SendMessageA(framed, WM_NCHITTEST, 0, MAKELONG(300, 320)), HTBORDER);
  EXPECT_EQ(SendMessageA(framed, WM_NCHITTEST, 0, MAKELONG(302, 320)), HTCLIENT);
}

TEST_F(PlatformNonClient, MouseInputIsHitTestedAndNonClientHitsMakeNcMessages) {
  HWND w = make("Framed", WS_POPUP | WS_VISIBLE, {100, 100, 300, 200});
  SetCursor(nullptr);
  seen.clear();
  plTestQueueMouseMove(150, 105);  // caption
  plTestQueueMouseMove(150, 150);  // client
  pump();
  std::vector<UINT> order;
  for (const Seen& s : seen) order.push_back(s.msg);
  EXPECT_EQ(order, (std::vector<UINT>{WM_NCHITTEST, WM_SETCURSOR, WM_NCHITTEST, WM_SETCURSOR, WM_NCMOUSEMOVE,
                                      WM_MOUSEMOVE}));
  const auto cursor = of(WM_SETCURSOR);
  ASSERT_EQ(cursor.size(), 2u);
  EXPECT_EQ(cursor[0].wParam, reinterpret_cast<WPARAM>(w));
  EXPECT_EQ(LOWORD(cursor[0].lParam), HTCAPTION);
  EXPECT_EQ(HIWORD(cursor[0].lParam), WM_MOUSEMOVE);
  EXPECT_EQ(LOWORD(cursor[1].lParam), HTCLIENT);
  // The class cursor is shown for the client area, headless too.
  EXPECT_EQ(plTestCurrentCursor(), classCursor);
  const auto nc = of(WM_NCMOUSEMOVE);
  ASSERT_EQ(nc.size(), 1u);
  EXPECT_EQ(nc[0].wParam, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(nc[0].lParam, MAKELONG(150, 105));  // screen coordinates
  EXPECT_EQ(of(WM_MOUSEMOVE)[0].lParam, MAKELONG(49, 37));  // client coordinates

  // Presses and releases in the caption are the NC button messages.
  seen.clear();
  inset = RECT{1, 13, 1, 1};
  plTestQueueMouseButton(VK_RBUTTON, true, 150, 105);
  plTestQueueMouseButton(VK_RBUTTON, false, 150, 105);
  pump();
  EXPECT_EQ(of(WM_NCRBUTTONDOWN).size(), 1u);
  EXPECT_EQ(of(WM_NCRBUTTONUP).size(), 1u);
  EXPECT_TRUE(of(WM_RBUTTONDOWN).empty());

  // With the capture, messages go to the captor as client messages, untested.
  seen.clear();
  SetCapture(w);
  plTestQueueMouseMove(150, 105);
  pump();
  EXPECT_TRUE(of(WM_NCHITTEST).empty());
  EXPECT_EQ(of(WM_MOUSEMOVE).size(), 1u);
  ReleaseCapture();
}

TEST_F(PlatformNonClient, PressOnAnInactiveWindowAsksWhetherToActivate) {
  struct Case {
    LRESULT answer;
    bool activates;
    bool delivered;
  };
  const Case cases[] = {{0, true, true},
                        {MA_ACTIVATE, true, true},
                        {MA_ACTIVATEANDEAT, true, false},
                        {MA_NOACTIVATE, false, true},
                        {MA_NOACTIVATEANDEAT, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    HWND other = make("Plain", WS_POPUP | WS_VISIBLE, {500, 500, 600, 600});
    HWND w = make("Framed", WS_POPUP | WS_VISIBLE, {100, 100, 300, 200});
    HWND child = make("Framed", WS_CHILD | WS_VISIBLE, {20, 20, 80, 80}, w);
    SetActiveWindow(other);
    mouseActivateAnswer = c.answer;
    seen.clear();
    plTestQueueMouseButton(VK_LBUTTON, true, 150, 150);  // in the child
    plTestQueueMouseButton(VK_LBUTTON, false, 150, 150);
    pump();
    const auto asked = of(WM_MOUSEACTIVATE);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked[0].hwnd, child);
    EXPECT_EQ(asked[0].wParam, reinterpret_cast<WPARAM>(w));
    EXPECT_EQ(HIWORD(asked[0].lParam), WM_LBUTTONDOWN);
    EXPECT_EQ(GetActiveWindow(), c.activates ? w : other);
    EXPECT_EQ(of(WM_LBUTTONDOWN).size(), c.delivered ? 1u : 0u);
    EXPECT_EQ(of(WM_LBUTTONUP).size(), 1u);  // only the press is eaten
    // A press on the window that is active now asks nothing.
    seen.clear();
    SetActiveWindow(w);
    plTestQueueMouseButton(VK_LBUTTON, true, 150, 150);
    plTestQueueMouseButton(VK_LBUTTON, false, 150, 150);
    pump();
    EXPECT_TRUE(of(WM_MOUSEACTIVATE).empty());
    DestroyWindow(w);
    DestroyWindow(other);
  }
}

TEST_F(PlatformNonClient, DraggingTheCaptionMovesTheWindowUntilTheRelease) {
  HWND w = make("Framed", WS_POPUP | WS_VISIBLE, {100, 100, 300, 200});
  SetActiveWindow(w);
  plTestSetTickCount(1000);
  plTestQueueMouseButton(VK_LBUTTON, true, 150, 105, 10);
  plTestQueueMouseMove(160, 110, 10);
  plTestQueueMouseMove(180, 125, 10);
  plTestQueueMouseButton(VK_LBUTTON, false, 190, 135, 10);
  plTestQueueMouseMove(400, 400, 10);  // after the release: no longer dragging
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0)) DispatchMessageA(&m);
  const auto command = of(WM_SYSCOMMAND);
  ASSERT_EQ(command.size(), 1u);
  EXPECT_EQ(command[0].wParam & 0xFFF0, static_cast<WPARAM>(SC_MOVE));
  RECT r{};
  GetWindowRect(w, &r);
  EXPECT_TRUE(same(r, RECT{140, 130, 340, 230})) << r.left << "," << r.top;
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(of(WM_LBUTTONUP).empty());  // the drag took the release
}

TEST_F(PlatformNonClient, PressOnTheSystemMenuBoxCloses) {
  HWND w = make("Framed", WS_POPUP | WS_VISIBLE, {100, 100, 300, 200});
  SetActiveWindow(w);
  plTestQueueMouseButton(VK_LBUTTON, true, 103, 105);
  pump();
  ASSERT_FALSE(of(WM_SYSCOMMAND).empty());
  EXPECT_EQ(of(WM_SYSCOMMAND)[0].wParam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
  EXPECT_EQ(of(WM_CLOSE).size(), 1u);
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(PlatformNonClient, MinMaxInfoBoundsTheSizeGiven) {
  HWND w = make("Framed", WS_POPUP, {0, 0, 100, 100});
  limitSizes = true;
  limits.ptMinTrackSize = POINT{50, 40};
  limits.ptMaxTrackSize = POINT{300, 200};
  struct Case {
    int cx, cy, wantX, wantY;
  };
  const Case cases[] = {{10, 10, 50, 40}, {120, 130, 120, 130}, {900, 900, 300, 200}};
  for (const Case& c : cases) {
    seen.clear();
    MoveWindow(w, 5, 5, c.cx, c.cy, TRUE);
    EXPECT_EQ(of(WM_GETMINMAXINFO).size(), 1u);
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, c.wantX) << c.cx;
    EXPECT_EQ(r.bottom - r.top, c.wantY) << c.cy;
    SetWindowPos(w, nullptr, 0, 0, c.cx, c.cy, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, c.wantX) << c.cx;
  }
  seen.clear();
  SetWindowPos(w, nullptr, 9, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // a move alone asks nothing
  EXPECT_TRUE(of(WM_GETMINMAXINFO).empty());
}

TEST_F(PlatformNonClient, PaintingTellsOnlyWindowsWithANonClientArea) {
  HWND framed = make("Framed", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
  HWND plain = make("Plain", WS_POPUP | WS_VISIBLE, {60, 60, 90, 90});
  seen.clear();
  for (HWND h : {framed, plain}) {
    PAINTSTRUCT ps;
    ASSERT_NE(BeginPaint(h, &ps), nullptr);
    EndPaint(h, &ps);
  }
  const auto nc = of(WM_NCPAINT);
  ASSERT_EQ(nc.size(), 1u);
  EXPECT_EQ(nc[0].hwnd, framed);
}

TEST_F(PlatformNonClient, ComposedImageCoversTheWindowWithTheClientAtItsPlace) {
  inset = RECT{2, 5, 1, 1};
  HWND w = make("Framed", WS_POPUP | WS_VISIBLE, {0, 0, 20, 30});
  HDC dc = GetDC(w);
  RECT all{0, 0, 100, 100};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(w, dc);
  EXPECT_EQ(plTestWindowPixel(w, 16, 23), RGB(0, 0, 0));
  EXPECT_EQ(plTestWindowPixel(w, 17, 24), CLR_INVALID);  // the buffer is client-sized
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  ASSERT_TRUE(plTestComposeWindow(w, &width, &height, &pixels));
  ASSERT_EQ(width, 20);
  ASSERT_EQ(height, 30);
  const auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; };
  EXPECT_EQ(at(2, 5), RGB(0, 0, 0));
  EXPECT_EQ(at(18, 28), RGB(0, 0, 0));
  EXPECT_EQ(at(1, 5), RGB(255, 255, 255));
  EXPECT_EQ(at(2, 4), RGB(255, 255, 255));
  EXPECT_EQ(at(19, 29), RGB(255, 255, 255));
}

TEST_F(PlatformNonClient, AncestorsAndTheWindowUnderAPoint) {
  inset = RECT{0, 0, 0, 0};
  HWND owner = make("Plain", WS_OVERLAPPED | WS_VISIBLE, {0, 0, 400, 400});
  HWND popup = make("Plain", WS_POPUP | WS_VISIBLE, {500, 0, 700, 200}, owner);
  HWND child = make("Plain", WS_CHILD | WS_VISIBLE, {10, 10, 110, 110}, popup);
  HWND grandchild = make("Plain", WS_CHILD | WS_VISIBLE, {5, 5, 50, 50}, child);
  struct Case {
    HWND of;
    UINT flag;
    HWND want;
  };
  const Case cases[] = {{grandchild, GA_PARENT, child}, {grandchild, GA_ROOT, popup},
                        {grandchild, GA_ROOTOWNER, owner}, {popup, GA_PARENT, nullptr},
                        {popup, GA_ROOT, popup},           {owner, GA_ROOTOWNER, owner}};
  for (const Case& c : cases) EXPECT_EQ(GetAncestor(c.of, c.flag), c.want) << c.flag;
  EXPECT_EQ(GetAncestor(grandchild, 99), nullptr);
  SetLastError(0);
  EXPECT_EQ(GetAncestor(reinterpret_cast<HWND>(0x12345), GA_ROOT), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));

  EXPECT_EQ(WindowFromPoint(POINT{520, 20}), grandchild);
  EXPECT_EQ(WindowFromPoint(POINT{600, 100}), child);
  EXPECT_EQ(WindowFromPoint(POINT{690, 190}), popup);
  EXPECT_EQ(WindowFromPoint(POINT{100, 100}), owner);
  EXPECT_EQ(WindowFromPoint(POINT{900, 700}), nullptr);
  ShowWindow(child, SW_HIDE);
  EXPECT_EQ(WindowFromPoint(POINT{520, 20}), popup);
}

TEST_F(PlatformNonClient, ClassValuesReadAndChangedThroughAWindow) {
  HWND w = make("Plain", WS_POPUP, {0, 0, 10, 10});
  EXPECT_EQ(GetClassLongPtrA(w, GCLP_HCURSOR), reinterpret_cast<ULONG_PTR>(classCursor));
  EXPECT_EQ(GetClassLongPtrA(w, GCLP_WNDPROC), reinterpret_cast<ULONG_PTR>(plainProc));
  HBRUSH brush = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  EXPECT_EQ(SetClassLongPtrA(w, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush)), 0u);
  EXPECT_EQ(GetClassLongPtrA(w, GCLP_HBRBACKGROUND), reinterpret_cast<ULONG_PTR>(brush));
  EXPECT_EQ(SetClassLongPtrA(w, GCL_STYLE, CS_DBLCLKS), 0u);
  EXPECT_EQ(GetClassLongPtrA(w, GCL_STYLE), static_cast<ULONG_PTR>(CS_DBLCLKS));
  WNDCLASSA wc{};
  ASSERT_TRUE(GetClassInfoA(nullptr, "Plain", &wc));  // the class itself changed
  EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(wc.hbrBackground, brush);
  // The new cursor is what the default WM_SETCURSOR shows.
  HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
  SetClassLongPtrA(w, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cross));
  SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELONG(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(plTestCurrentCursor(), cross);

  SetLastError(0);
  EXPECT_EQ(GetClassLongPtrA(w, 12345), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_EQ(SetClassLongPtrA(w, GCL_CBWNDEXTRA, 64), 0u);  // fixed at registration
  EXPECT_EQ(GetClassLongPtrA(w, GCL_CBWNDEXTRA), 0u);
  SetLastError(0);
  EXPECT_EQ(GetClassLongPtrA(reinterpret_cast<HWND>(0x12345), GCL_STYLE), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(PlatformNonClient, SleepMovesAManualClockAndBeepsAreCounted) {
  plTestSetTickCount(100);
  Sleep(250);
  EXPECT_EQ(GetTickCount(), 350u);
  plTestUseSystemClock();
  const DWORD before = GetTickCount();
  Sleep(20);
  EXPECT_GE(GetTickCount() - before, 15u);

  EXPECT_EQ(plTestBeepCount(), 0);
  MessageBeep(0);
  MessageBeep(MB_ICONWARNING);
  EXPECT_EQ(plTestBeepCount(), 2);
  plTestResetBeepCount();
  EXPECT_EQ(plTestBeepCount(), 0);
}

}  // namespace
