// The drawing layer's windows and devices: the current window, the window
// stack with its scale exponent, the resolution and the coordinate limits.
#include "gx_state_fixture.h"

TEST_F(GxStateTest, CoordLimitsFollowTheLargestCoordinate) {
  struct {
    RECT rect;
    int32_t l1, l2;
  } cases[] = {
      {{0, 0, 1000, 500}, 1000, 2000},
      {{-15000, 0, 10, 10}, 15000, 30000},
      {{0, 15001, 0, 0}, 15001, 32000},
      {{0, 0, 30000, 0}, 30000, 32000},
      {{0, 0, 30001, 0}, 30000, 32000},
      {{-400, -300, -100, -200}, 400, 800},
      {{INT32_MIN, 0, 0, 0}, 30000, 32000},
  };
  for (const auto& c : cases) {
    gxSetCoordLimits(&c.rect);
    EXPECT_EQ(gx.limit1, c.l1) << c.rect.left << "," << c.rect.top << "," << c.rect.right;
    EXPECT_EQ(gx.limit2, c.l2) << c.rect.left << "," << c.rect.top << "," << c.rect.right;
  }
}

TEST_F(GxStateTest, WindowPushSetsTheScaleExponentAndPopRestoresIt) {
  struct {
    double dpi;
    int32_t exponent;
  } cases[] = {
      {75, 0}, {96, 1}, {150, 1}, {300, 2}, {600, 3}, {-600, 3}, {75.0 * 65536, 16}, {75.0 * 65536 + 1, 16},
  };
  HDC dc = memoryDevice(10, 10, nullptr);
  for (const auto& c : cases) {
    const double res[2] = {c.dpi, c.dpi};
    gxWindowPush(dc, res, nullptr);
    EXPECT_EQ(gx.scaleExp, c.exponent) << c.dpi;
    EXPECT_EQ(gxGetWindow(), gxWindowPushed);
    EXPECT_EQ(gx.dc, dc);
    gxWindowPop();
    EXPECT_EQ(gx.scaleExp, 0);
    EXPECT_EQ(gxGetWindow(), nullptr);
    EXPECT_EQ(gx.dc, nullptr);
  }
}

TEST_F(GxStateTest, NestedPushesDrawIntoTheTopDeviceAndPopBackInOrder) {
  HWND window = ownDCWindow();
  gxSetWindow(window);
  HDC windowDC = gx.dc;
  ASSERT_NE(windowDC, nullptr);
  HDC a = memoryDevice(10, 10, nullptr), b = memoryDevice(10, 10, nullptr);
  const double resA[2] = {300, 300}, resB[2] = {600, 600};
  gxWindowPush(a, resA, nullptr);
  gxWindowPush(b, resB, nullptr);
  EXPECT_EQ(gx.dc, b);
  EXPECT_EQ(gx.scaleExp, 3);
  EXPECT_EQ(gxWindowDepth(), 2u);
  gxWindowPop();
  EXPECT_EQ(gx.dc, a);
  EXPECT_EQ(gx.scaleExp, 2);
  gxWindowPop();
  EXPECT_EQ(gxGetWindow(), window);
  EXPECT_EQ(gx.dc, windowDC);
  EXPECT_EQ(gx.scaleExp, 0);
  gxWindowPop();  // an empty stack is left alone
  EXPECT_EQ(gxGetWindow(), window);
}

TEST_F(GxStateTest, DpiComesFromTheDeviceThePushedFrameOrTheScreen) {
  double dpi[3];
  gxGetDpi(dpi);  // no device: pixels over millimetres
  EXPECT_NEAR(dpi[0], 96, 1e-9);
  EXPECT_NEAR(dpi[1], -96, 1e-9);
  EXPECT_NEAR(dpi[2], 96, 1e-9);

  gxSetWindow(ownDCWindow());
  gxGetDpi(dpi);
  EXPECT_EQ(dpi[0], 96);
  EXPECT_EQ(dpi[1], -96);
  EXPECT_EQ(dpi[2], 96);

  const double res[2] = {300, 600};
  gxWindowPush(memoryDevice(4, 4, nullptr), res, nullptr);
  gxGetDpi(dpi);
  EXPECT_EQ(dpi[0], 300);
  EXPECT_EQ(dpi[1], -600);
  EXPECT_EQ(dpi[2], 450);
  gxSetAspect(0);
  EXPECT_FLOAT_EQ(gx.aspect, 0.5f);
  EXPECT_FLOAT_EQ(gx.aspectInv, 2.0f);
}

TEST_F(GxStateTest, SetWindowHoldsTheDCOnlyWhileCurrent) {
  HWND first = ownDCWindow(), second = ownDCWindow();
  EXPECT_EQ(gxSetWindow(first), nullptr);
  HDC dc = gx.dc;
  EXPECT_EQ(WindowFromDC(dc), first);
  EXPECT_EQ(gxSetWindow(first), first);  // already current: nothing changes
  EXPECT_EQ(gx.dc, dc);
  EXPECT_EQ(gxSetWindow(second), first);
  EXPECT_EQ(WindowFromDC(gx.dc), second);
  HWND w;
  HDC d;
  gxGetWindowDC(&w, &d);
  EXPECT_EQ(w, second);
  EXPECT_EQ(d, gx.dc);
  gxSetWindow(nullptr);
  EXPECT_EQ(gx.dc, nullptr);
  gxSetWindow(gxWindowPushed);  // nothing pushed: no device
  EXPECT_EQ(gx.dc, nullptr);
}

TEST_F(GxStateTest, ForgettingTheCurrentWindowClearsIt) {
  HWND window = ownDCWindow(), other = ownDCWindow();
  gxSetWindow(window);
  gxForgetWindow(other);
  EXPECT_EQ(gxGetWindow(), window);
  gxForgetWindow(window);
  EXPECT_EQ(gxGetWindow(), nullptr);
  EXPECT_EQ(gx.dc, nullptr);
  for (int i = 0; i < 40; i++) gxForgetWindow(other);  // the list stops at 32 without harm
}

TEST_F(GxStateTest, WindowRectAndClientToScreen) {
  RECT r{1, 2, 3, 4};
  gxGetWindowRect(gxWindowPushed, &r);
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.bottom, 4);
  gxGetWindowRect(nullptr, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));

  HWND window = ownDCWindow();
  SetWindowPos(window, nullptr, 30, 40, 100, 80, SWP_NOZORDER);
  gxGetWindowRect(window, &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  POINT p{5, 6};
  gxClientToScreen(&p);  // no window: unchanged
  EXPECT_EQ(p.x, 5);
  gxSetWindow(window);
  POINT expect{5, 6};
  ClientToScreen(window, &expect);
  gxClientToScreen(&p);
  EXPECT_EQ(p.x, expect.x);
  EXPECT_EQ(p.y, expect.y);
}

// A freshly pushed device gets the layer's pen, raster operation,
// background mode and fill at once.
TEST_F(GxStateTest, ANewDeviceGetsTheCurrentAttributes) {
  gxTestColors::install();
  gxTestColors::entries = {{4, RGB(255, 0, 0)}};
  gxSetColor(4);
  gxSetFill(2);
  gxSetDrawMode(gxModeOpaque);
  HBITMAP bitmap;
  HDC dc = pushDevice(8, 8, &bitmap);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetTextColor(dc) & 0xFFFFFF, RGB(255, 0, 0));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(GRAY_BRUSH));
  MoveToEx(dc, 0, 2, nullptr);
  LineTo(dc, 8, 2);
  EXPECT_EQ(plTestBitmapPixel(bitmap, 3, 2), RGB(255, 0, 0));

  gxSetDrawMode(gxModeXor);
  HDC next = pushDevice(8, 8, nullptr);
  EXPECT_EQ(GetROP2(next), R2_XORPEN);
  EXPECT_EQ(GetBkMode(next), TRANSPARENT);
  EXPECT_EQ(GetBkColor(next), RGB(0, 0, 0));
}

TEST_F(GxStateTest, BlitDCAnswersThePreviousOne) {
  HDC dc = memoryDevice(2, 2, nullptr);
  EXPECT_EQ(gxSetBlitDC(dc), nullptr);
  EXPECT_EQ(gxSetBlitDC(nullptr), dc);
}
