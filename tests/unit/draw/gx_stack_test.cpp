// The drawing layer's clip stack and state stack.
#include "gx_state_fixture.h"

namespace {

bool sameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

// Inside a pushed clip of (10,10)-(20,20) a grey fill changes only the
// pixels within it; after the pop the whole surface is drawable again.
TEST_F(GxStateTest, ClipLimitsDrawingUntilPopped) {
  HBITMAP bitmap;
  HDC dc = pushDevice(30, 30, &bitmap);
  gxClipPush();
  const RECT box{10, 10, 20, 20};
  gxSetClip(&box);
  RECT now;
  gxClipBox(&now);
  EXPECT_TRUE(sameRect(now, box));
  gxSetFill(2);
  PatBlt(dc, 0, 0, 30, 30, PATCOPY);
  for (int y = 0; y < 30; y++)
    for (int x = 0; x < 30; x++) {
      const bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
      ASSERT_EQ(plTestBitmapPixel(bitmap, x, y), inside ? RGB(128, 128, 128) : RGB(255, 255, 255)) << x << "," << y;
    }
  gxClipPop();
  gxClipBox(&now);
  EXPECT_TRUE(sameRect(now, RECT{0, 0, 30, 30}));
  gxSetFill(1);
  PatBlt(dc, 0, 0, 30, 30, PATCOPY);
  EXPECT_EQ(plTestBitmapPixel(bitmap, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(plTestBitmapPixel(bitmap, 29, 29), RGB(0, 0, 0));
  EXPECT_TRUE(gxTestPanics().empty());
}

TEST_F(GxStateTest, ClipStackOverflowAndUnderflowPanic) {
  pushDevice(100, 100, nullptr);
  for (int i = 0; i < 16; i++) {
    gxClipPush();
    const RECT r{i, i, 100 - i, 100 - i};
    gxSetClip(&r);
  }
  EXPECT_TRUE(gxTestPanics().empty());
  gxClipPush();
  ASSERT_EQ(gxTestPanics().size(), 1u);
  EXPECT_EQ(gxTestPanics()[0], "[gxClipPush] clip stack overflow");
  EXPECT_EQ(gxClipLevel(), 16);
  // The saved boxes are intact: each pop brings back the box before it.
  for (int i = 15; i >= 0; i--) {
    gxClipPop();
    RECT now;
    gxClipBox(&now);
    const RECT expect = i == 0 ? RECT{0, 0, 100, 100} : RECT{i - 1, i - 1, 101 - i, 101 - i};
    EXPECT_TRUE(sameRect(now, expect)) << i;
  }
  gxClipPop();
  ASSERT_EQ(gxTestPanics().size(), 2u);
  EXPECT_EQ(gxTestPanics()[1], "[gxClipPop] clip stack underflow");
  EXPECT_EQ(gxClipLevel(), 0);
}

TEST_F(GxStateTest, ClipWithoutADeviceIsEmpty) {
  RECT r{1, 1, 1, 1};
  gxClipBox(&r);
  EXPECT_TRUE(sameRect(r, RECT{0, 0, 0, 0}));
  gxSetClip(&r);  // nothing to do
  gxClipPush();
  gxClipPop();
  EXPECT_TRUE(gxTestPanics().empty());
}

TEST_F(GxStateTest, SwapClipSavesAndSelectsBoxAndWindow) {
  pushDevice(50, 50, nullptr);
  const RECT box{5, 5, 15, 15};
  gxSetClip(&box);
  gxClipSave saved{};
  const gxClipSave next{{0, 0, 40, 40}, nullptr};  // window 0: stays on the device
  gxSwapClip(&next, &saved);
  EXPECT_TRUE(sameRect(saved.box, box));
  EXPECT_EQ(saved.window, gxWindowPushed);
  EXPECT_EQ(gxGetWindow(), gxWindowPushed);
  RECT now;
  gxClipBox(&now);
  EXPECT_TRUE(sameRect(now, next.box));
  gxSwapClip(&saved, nullptr);
  gxClipBox(&now);
  EXPECT_TRUE(sameRect(now, box));
}

TEST_F(GxStateTest, StatePopRestoresWhatPushSaved) {
  HWND window = ownDCWindow();
  gxSetWindow(window);
  gxSetColor(5);
  gxSetPenWidth(3);
  gxSetPenStyle(2);
  gxSetFill(3);
  gxSetDrawMode(gxModeXor);
  gxStatePush();
  EXPECT_EQ(gxStateLevel(), 1);

  gxWindowPush(memoryDevice(4, 4, nullptr), nullptr, nullptr);
  gxSetColor(1);
  gxSetPenWidth(1);
  gxSetPenStyle(0);
  gxSetFill(0);
  gxSetDrawMode(gxModeDraw);
  gxStatePop();
  EXPECT_EQ(gxStateLevel(), 0);
  EXPECT_EQ(gxGetWindow(), window);
  EXPECT_EQ(gxGetColor(), 5);
  EXPECT_EQ(gx.penWidth, 3);
  EXPECT_EQ(gx.penStyle, 2);
  EXPECT_EQ(gx.fillKind, 3);
  EXPECT_EQ(gx.drawMode, 2u);
  EXPECT_EQ(GetROP2(gx.dc), R2_XORPEN);
  EXPECT_EQ(GetCurrentObject(gx.dc, OBJ_BRUSH), GetStockObject(LTGRAY_BRUSH));
  gxWindowPop();
}

// The 13th push reports the overflow and starts again at the bottom; the
// next pop restores that newest state, the one after underflows.
TEST_F(GxStateTest, StateStackOverflowWrapsAndUnderflowPanics) {
  for (int i = 0; i < 12; i++) {
    gxSetColor(i);
    gxStatePush();
  }
  EXPECT_TRUE(gxTestPanics().empty());
  gxSetColor(40);
  gxStatePush();
  ASSERT_EQ(gxTestPanics().size(), 1u);
  EXPECT_EQ(gxTestPanics()[0], "gx state stack overflow");
  EXPECT_EQ(gxStateLevel(), 1);
  gxSetColor(2);
  gxStatePop();
  EXPECT_EQ(gxGetColor(), 40);
  gxStatePop();
  ASSERT_EQ(gxTestPanics().size(), 2u);
  EXPECT_EQ(gxTestPanics()[1], "gx state stack underflow");
  EXPECT_EQ(gxGetColor(), 40);
}

TEST_F(GxStateTest, StateGetCapturesTheAttributes) {
  gxSetColor(9);
  gxSetFill(2);
  gxSetPenWidth16(-24);
  gxStateRec rec{};
  gxStateGet(&rec);
  EXPECT_EQ(rec.window, nullptr);
  EXPECT_EQ(rec.color, 9);
  EXPECT_EQ(rec.bgColor, 7);
  EXPECT_EQ(rec.fillKind, 2);
  EXPECT_EQ(rec.penWidth, -2);
  EXPECT_EQ(rec.drawMode, 0u);
  EXPECT_EQ(rec.penStyle, 0);
}
