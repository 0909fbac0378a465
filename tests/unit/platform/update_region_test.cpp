// A window's update region: the rectangles invalidated since it was last
// painted, clipped to the client area, less what was validated; the paint
// takes all of it.
#include "platform/fixture.h"

namespace {

int paints;
LRESULT CALLBACK countPaints(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ++paints;
  return DefWindowProcA(hWnd, message, wParam, lParam);
}

class UpdateRegion : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = countPaints;
    wc.lpszClassName = "updtest";
    RegisterClassA(&wc);
    window = CreateWindowExA(0, "updtest", "w", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 80, nullptr, nullptr,
                             nullptr, nullptr);
    ValidateRect(window, nullptr);
    paints = 0;
    region = CreateRectRgn(0, 0, 0, 0);
  }
  void TearDown() override {
    DeleteObject(region);
    PlatformTest::TearDown();
  }
  bool inUpdate(int x, int y) {
    GetUpdateRgn(window, region, FALSE);
    return PtInRegion(region, x, y) != FALSE;
  }
  HWND window = nullptr;
  HRGN region = nullptr;
};

TEST_F(UpdateRegion, HoldsWhatWasInvalidatedAndNotValidated) {
  EXPECT_EQ(NULLREGION, GetUpdateRgn(window, region, FALSE));
  const RECT a{10, 10, 20, 20}, b{50, 30, 60, 40};
  InvalidateRect(window, &a, FALSE);
  InvalidateRect(window, &b, FALSE);
  EXPECT_TRUE(inUpdate(15, 15));
  EXPECT_TRUE(inUpdate(55, 35));
  EXPECT_FALSE(inUpdate(30, 25)) << "the space between the two stays valid";
  RECT box{};
  EXPECT_TRUE(GetUpdateRect(window, &box, FALSE));
  EXPECT_EQ(10, box.left);
  EXPECT_EQ(60, box.right);

  const RECT cut{10, 10, 15, 20};
  ValidateRect(window, &cut);
  EXPECT_FALSE(inUpdate(12, 15));
  EXPECT_TRUE(inUpdate(17, 15));

  // Beyond the client area nothing is kept.
  const RECT outside{200, 200, 300, 300};
  InvalidateRect(window, &outside, FALSE);
  EXPECT_FALSE(inUpdate(250, 250));
}

TEST_F(UpdateRegion, RegionsInvalidateTheirRectanglesAndThePaintTakesAll) {
  HRGN two = CreateRectRgn(0, 0, 5, 5);
  HRGN more = CreateRectRgn(90, 70, 100, 80);
  CombineRgn(two, two, more, RGN_OR);
  InvalidateRgn(window, two, FALSE);
  EXPECT_TRUE(inUpdate(2, 2));
  EXPECT_TRUE(inUpdate(95, 75));
  EXPECT_FALSE(inUpdate(50, 40));
  UpdateWindow(window);
  EXPECT_EQ(1, paints);
  EXPECT_EQ(NULLREGION, GetUpdateRgn(window, region, FALSE));
  UpdateWindow(window);
  EXPECT_EQ(1, paints) << "nothing is left to paint";
  DeleteObject(two);
  DeleteObject(more);
}

}  // namespace
