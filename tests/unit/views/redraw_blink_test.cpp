// The selection blink in a document window: the mask of the selected
// objects, and the pattern that inverts exactly the selected pixels.
#include "redraw_fixture.h"

#include "draw/gdi.h"
#include "ui/wind.h"

#include <vector>

namespace {

constexpr uint8_t kPatterns[16] = {0xc0, 0x60, 0x30, 0x10, 0x03, 0x06, 0x0c, 0x08,
                                   0xc0, 0x60, 0x30, 0x10, 0x03, 0x06, 0x0c, 0x08};

std::vector<int> rebuilds;  // the device kinds the colour table was rebuilt for
uint32_t selectionMode = 1;

class RedrawBlink : public redrawfx::RedrawTest {
protected:
  void SetUp() override {
    RedrawTest::SetUp();
    vwRedrawReset();  // no stage, mask or blink time left by an earlier test
    ASSERT_TRUE(frame.start("plumet_redraw_blink"));
    plTestSetTickCount(100000);
    doc = newDoc();
    const RECT frameBox{0, 0, 320, 240};
    ASSERT_EQ(windCreate(&frameBox, "w", windKindDoc, &window, 1, 0), 0);
    windGetHwnd(window, &hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    width = client.right;
    height = client.bottom;
    sheet = sheetCreate(doc, doc->firstModel, window);
    view = sheet->activeView;
    vwSetCurView(view);
    gdiColorHooks hooks{};
    hooks.rebuild = [](int monochrome) { rebuilds.push_back(monochrome); };
    gdiSetColorHooks(&hooks);
    rebuilds.clear();
    selectionMode = 1;
    vwSetSelModeSource([] { return selectionMode; });
  }
  void TearDown() override {
    vwRedrawReset();
    gdiSetColorHooks(nullptr);
    for (gobjRec* o : held) objRelease(&o);
    held.clear();
    docResetAll();
    gxSetWindow(nullptr);
    frame.stop();
    plTestUseSystemClock();
    RedrawTest::TearDown();
  }

  // The window's client pixels.
  std::vector<COLORREF> pixels() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) all.push_back(plTestWindowPixel(hwnd, x, y));
    return all;
  }
  // What the window must show after the blink of a stage: the pixels before
  // the blink, inverted where the mask is black and the stage's pattern has
  // a bit.
  std::vector<COLORREF> expected(const std::vector<COLORREF>& before, int stage) const {
    RECT box{};
    HBITMAP mask = vwBlinkMask(&box);
    std::vector<COLORREF> all = before;
    for (int y = box.top; y < box.bottom; ++y)
      for (int x = box.left; x < box.right; ++x) {
        const bool ink = plTestBitmapPixel(mask, x - box.left, y - box.top) == RGB(0, 0, 0);
        const bool bit = (kPatterns[(stage & 7) + (y & 7)] >> (7 - (x & 7))) & 1;
        COLORREF& p = all[size_t(y) * width + x];
        if (ink && bit) p = ~p & 0xFFFFFF;
      }
    return all;
  }
  static int blackPixels(HBITMAP mask, const RECT& box) {
    int n = 0;
    for (int y = 0; y < box.bottom - box.top; ++y)
      for (int x = 0; x < box.right - box.left; ++x) n += plTestBitmapPixel(mask, x, y) == RGB(0, 0, 0);
    return n;
  }

  vwfx::FrameWindow frame;
  docRec* doc = nullptr;
  windRecord* window = nullptr;
  HWND hwnd = nullptr;
  sheetRec* sheet = nullptr;
  viewRec* view = nullptr;
  int width = 0, height = 0;
};

TEST_F(RedrawBlink, TheSelectedPixelsBlinkThroughThePatternOfEachStage) {
  gobjRec* selected = placed(doc->firstModel, -0.25, -0.25, 0.25, 0.25);
  placed(doc->firstModel, -0.5, -0.5, 0.5, 0.5);  // not selected: not in the mask
  selected->flags |= gobjSelected;
  const std::vector<COLORREF> start = pixels();
  for (int stage = 0; stage < 5; ++stage) vwBufferRedraw(0);
  EXPECT_EQ(pixels(), start) << "stages 0 to 4 leave the window alone";
  RECT box{};
  HBITMAP mask = vwBlinkMask(&box);
  ASSERT_NE(mask, nullptr);
  EXPECT_GE(box.left, view->screenBox[0] - 2);
  EXPECT_LE(box.right, view->screenBox[2] + 2);
  EXPECT_GT(blackPixels(mask, box), 0) << "the selected object is in the mask";
  EXPECT_EQ(rebuilds, (std::vector<int>{1, 0})) << "the colour table is monochrome only while the mask is drawn";

  vwBufferRedraw(0);
  const std::vector<COLORREF> five = pixels();
  EXPECT_EQ(five, expected(start, 5));
  EXPECT_NE(five, start);
  plTestClearGdiCalls();
  vwBufferRedraw(0);  // within 25 ticks: not yet
  EXPECT_EQ(plTestGdiCallCount("BitBlt"), 0);
  plTestAdvanceClock(420);
  vwBufferRedraw(0);
  EXPECT_EQ(pixels(), expected(start, 6)) << "after stage 6 the window shows pattern 6";

  // A reset starts over: no blink before stage 5.
  plTestAdvanceClock(420);
  const std::vector<COLORREF> six = pixels();
  for (int stage = 0; stage < 5; ++stage) vwBufferRedraw(stage == 0);
  EXPECT_EQ(pixels(), six);
}

TEST_F(RedrawBlink, NothingSelectedNoMaskAndNothingDrawn) {
  placed(doc->firstModel);
  const std::vector<COLORREF> start = pixels();
  plTestClearGdiCalls();
  for (int stage = 0; stage < 8; ++stage) {
    plTestAdvanceClock(420);
    vwBufferRedraw(0);
  }
  EXPECT_EQ(vwBlinkMask(nullptr), nullptr);
  EXPECT_EQ(plTestGdiCallCount("BitBlt") + plTestGdiCallCount("PatBlt"), 0);
  EXPECT_EQ(pixels(), start);
}

TEST_F(RedrawBlink, TheBlinkRunsOnlyWhileSelectByBlinkIsSet) {
  placed(doc->firstModel)->flags |= gobjSelected;
  selectionMode = 0x2;
  const std::vector<COLORREF> start = pixels();
  for (int stage = 0; stage < 8; ++stage) {
    plTestAdvanceClock(420);
    vwBufferRedraw(0);
  }
  EXPECT_EQ(vwBlinkMask(nullptr), nullptr);
  EXPECT_EQ(pixels(), start);
  vwSetSelModeSource(nullptr);  // no selection module: off
  for (int stage = 0; stage < 8; ++stage) vwBufferRedraw(0);
  EXPECT_EQ(vwBlinkMask(nullptr), nullptr);
}

}  // namespace
