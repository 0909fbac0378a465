// View frames drawn in a sheet window: the title bar and border of the
// active view, nothing but the bounds rectangle while a page prints, and
// erasing.
#include "view_fixture.h"

#include "views/vwframe.h"
#include "views/vwinit.h"
#include "views/vwtrack.h"

namespace {

using viewfx::ViewDrawTest;

int printing = 0;
int printingNow() { return printing; }

class VwFrameDraw : public ViewDrawTest {
protected:
  void TearDown() override {
    vwSetFramePrintingQuery(nullptr);
    printing = 0;
    ViewDrawTest::TearDown();
  }
};

TEST_F(VwFrameDraw, TheFullFrameOrOnlyTheBoundsWhilePrinting) {
  openDrawing();
  HWND hwnd = native(window);
  const double box[4] = {-1, -0.5, 0.5, 0.5};
  viewRec* view = vwCreate(sheet, model, box, 0);
  vwFrameRectSet r;
  vwFrameRects(view, &r);
  ASSERT_GT(r.title.top, 0) << "the frame lies inside the window";
  const POINT titleBar{r.title.right - 3, (r.title.top + r.title.bottom) / 2};
  const POINT leftLine{r.box.left, (r.box.top + r.box.bottom) / 2};
  const COLORREF background = pixel(hwnd, 0, 0);

  vwDrawFrame(view, 0, 1);
  EXPECT_EQ(pixel(hwnd, titleBar.x, titleBar.y), 0x808080u) << "the title bar is grey";
  EXPECT_TRUE(inked(hwnd, leftLine.x, leftLine.y));
  vwDrawFrame(view, 1, 1);
  EXPECT_EQ(pixel(hwnd, titleBar.x, titleBar.y), background) << "erased";
  EXPECT_EQ(pixel(hwnd, leftLine.x, leftLine.y), background) << "erased";

  // While a page prints only a sheet that shows view bounds gets a plain
  // rectangle; the draft view never has a frame.
  vwSetFramePrintingQuery(printingNow);
  printing = 1;
  sheet->flags &= uint8_t(~sheetShowViewBounds);
  vwDrawFrame(view, 0, 1);
  EXPECT_FALSE(inked(hwnd, leftLine.x, leftLine.y));
  sheet->flags |= sheetShowViewBounds;
  vwDrawFrame(view, 0, 1);
  EXPECT_TRUE(inked(hwnd, leftLine.x, leftLine.y));
  EXPECT_EQ(pixel(hwnd, titleBar.x, titleBar.y), background);
  vwDrawFrame(draft, 0, 1);
  EXPECT_EQ(pixel(hwnd, 2, 2), background);
}

TEST_F(VwFrameDraw, TheAxisIconSitsInTheViewsCornerSixPixelsAUnit) {
  openDrawing();
  HWND hwnd = native(window);
  vwSetCurView(draft);
  ASSERT_NEAR(vwCurScale(), 96, 1e-9) << "a front view, 96 pixels an inch";
  gxSetColor(1);  // in the caller's colour
  vwDrawAxisIcon(draft);
  // The world plane's icon: the x axis 8 units (48 pixels) along the
  // bottom, the y axis 4 units up from its left end; the smallest x and y
  // 6 pixels inside the corner.
  const int32_t left = draft->screenBox[0] + 6, top = draft->screenBox[1] + 6;
  for (int x : {left, left + 24, left + 47}) EXPECT_TRUE(inked(hwnd, x, top + 24)) << x;
  for (int y : {top, top + 12, top + 23}) EXPECT_TRUE(inked(hwnd, left, y)) << y;
  EXPECT_TRUE(inked(hwnd, left + 12, top + 6)) << "the y axis's arrow, (2, 3)";
  EXPECT_FALSE(inked(hwnd, left + 30, top + 6));
  EXPECT_FALSE(inked(hwnd, left - 2, top + 24));
}

}  // namespace
