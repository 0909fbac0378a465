// Drawing views into real document windows: the pixels of a line in the
// draft view, what each view draws of its model, the interruptible and the
// timed drawer, layer-sorted drawing, the rendered modes, and the window
// state restored afterwards.
#include "view_fixture.h"

#include "ui/attn.h"
#include "views/vwsort.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using viewfx::lines;
using viewfx::tlineRec;
using viewfx::ViewDrawTest;

class ViewDraw : public ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    openDrawing();
    hwnd = native(window);
    cx = sheet->zoom[0].screen[0];
    cy = sheet->zoom[0].screen[1];
    RECT client{};
    GetClientRect(hwnd, &client);
    right = client.right - 1;
  }
  void TearDown() override {
    evAttnReset();
    vwSortReset();
    ViewDrawTest::TearDown();
  }
  // A view of the model over the sheet box (-1, -1)..(1, 1), looking at
  // the world's origin.
  viewRec* squareView(modelRec* m) {
    const double box[4] = {-1, -1, 1, 1};
    return vwCreate(sheet, m, box, 0);
  }

  HWND hwnd = nullptr;
  int cx = 0, cy = 0, right = 0;
};

// The views vwEvViewDrawn was signalled with.
std::vector<intptr_t> drawnSignals() {
  std::vector<intptr_t> views;
  for (const auto& [code, object] : vwfx::changes())
    if (code == vwEvViewDrawn) views.push_back(object);
  return views;
}

TEST_F(ViewDraw, TheDraftViewDrawsAUnitLineAsNinetySixPixels) {
  ASSERT_GT(right, cx + 100);
  addLine(model, {0, 0, 0}, {1, 0, 0});
  vwfx::changes().clear();
  vwDrawView(draft, 0);
  // 96 dpi at page scale 1: the unit runs from the centre 96 pixels right
  // (the line's end pixel included).
  std::vector<int> want;
  for (int x = cx; x <= cx + 96; ++x) want.push_back(x);
  EXPECT_EQ(row(hwnd, cy, 1, right), want);
  EXPECT_TRUE(row(hwnd, cy - 1, 1, right).empty());
  EXPECT_TRUE(row(hwnd, cy + 1, 1, right).empty());
  EXPECT_EQ(drawnSignals(), std::vector<intptr_t>{reinterpret_cast<intptr_t>(draft)});
}

TEST_F(ViewDraw, EachViewDrawsItsOwnObjectsWithinItsBox) {
  viewRec* view = squareView(model);
  gobjRec* inside = addLine(model, {0, 0, 0}, {0.5, 0, 0});
  gobjRec* outside = addLine(model, {2.5, 0, 0}, {3, 0, 0});
  gobjRec* bound = addLine(model, {0, 0.5, 0}, {0.5, 0.5, 0}, uint8_t(view->index));
  vwDrawView(view, 0);
  EXPECT_TRUE(wasDrawn(inside));
  EXPECT_FALSE(wasDrawn(outside)) << "the sieve is searched over the view's box only";
  EXPECT_TRUE(wasDrawn(bound));
  for (viewRec* in : lines().drawnIn) EXPECT_EQ(in, view);
  lines().drawn.clear();
  vwDrawView(draft, 0);
  EXPECT_TRUE(wasDrawn(inside));
  EXPECT_TRUE(wasDrawn(outside));
  EXPECT_FALSE(wasDrawn(bound)) << "bound to the other view";
}

TEST_F(ViewDraw, ATurnedViewFindsItsObjectsThroughTheEdgePlanes) {
  viewRec* view = squareView(model);
  const double normal[3] = {1, 1, 1}, up[3] = {0, 0, 1};
  ASSERT_EQ(vwSetDirection(view, nullptr, normal, up, 0), 0);
  gobjRec* centre = addLine(model, {0, 0, 0}, {0.1, 0, 0});
  gobjRec* far = addLine(model, {20, -20, 0}, {21, -20, 0});  // across the view, far to its side
  gobjRec* deep = addLine(model, {30, 30, 30}, {31, 31, 31}); // along the line of sight
  vwDrawView(view, 0);
  EXPECT_TRUE(wasDrawn(centre));
  EXPECT_FALSE(wasDrawn(far));
  EXPECT_TRUE(wasDrawn(deep));
}

TEST_F(ViewDraw, TheStateAroundDrawingIsRestored) {
  viewRec* view = squareView(model);
  addLine(model, {0, 0, 0}, {0.5, 0, 0});
  vwSetCurView(draft);
  int marker = 0;
  vwSetDrawWindow(&marker);
  gxSetDrawMode(gxModeXor);
  const int states = gxStateLevel();
  vwDrawView(view, 0);
  ASSERT_EQ(lines().drawModes.size(), 1u);
  EXPECT_EQ(lines().drawModes[0], gxModeDraw);
  EXPECT_EQ(vwCurView(), draft);
  EXPECT_EQ(vwViewStackDepth(), 0);
  EXPECT_EQ(vwGetDrawWindow(), &marker);
  int32_t mode = -1;
  gxGetAttr(2, &mode);
  EXPECT_EQ(mode, gxModeXor);
  EXPECT_EQ(gxStateLevel(), states);
  vwSetDrawWindow(nullptr);
  // Nothing for a view of a sheet without a window.
  sheetRec* bare = newSheet(doc);
  lines().drawn.clear();
  vwDrawView(bare->activeView, 0);
  EXPECT_TRUE(lines().drawn.empty());
}

TEST_F(ViewDraw, TheInterruptKeysStopDrawing) {
  for (int i = 0; i < 3; ++i) addLine(model, {0, double(i) / 10, 0}, {1, double(i) / 10, 0});
  plTestSetTickCount(100000);
  lines().advance = 600;  // 36 ticks: a poll after every object
  PostMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
  gobjfx::state().log.clear();
  vwDrawView(draft, 0);
  EXPECT_EQ(lines().drawn.size(), 1u);
  EXPECT_NE(log().find("interrupt"), std::string::npos) << log();
  // Polled only every 30 ticks: without time passing, all are drawn.
  evAttnReset();
  lines().drawn.clear();
  lines().advance = 0;
  PostMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
  vwDrawView(draft, 0);
  EXPECT_EQ(lines().drawn.size(), 3u);
}

TEST_F(ViewDraw, TheTimedDrawerStopsWhenItsTicksHavePassed) {
  for (int i = 0; i < 4; ++i) addLine(model, {0, double(i) / 10, 0}, {1, double(i) / 10, 0});
  plTestSetTickCount(100000);
  lines().advance = 20;  // 1.2 ticks per object
  vwfx::changes().clear();
  vwDrawView(draft, 2);
  EXPECT_EQ(lines().drawn.size(), 2u);
  EXPECT_TRUE(drawnSignals().empty()) << "only mode 0 tells of the drawing";
}

TEST_F(ViewDraw, LayerSortedDrawingGoesFromTheLastEntryToTheFirst) {
  gobjRec* a = addLine(model, {0.3, 0, 0}, {0.4, 0, 0});
  gobjRec* b = addLine(model, {0.1, 0, 0}, {0.2, 0, 0});
  gobjRec* c = addLine(model, {0.5, 0, 0}, {0.6, 0, 0});
  vwSetSortHook([](gobjRec** items, uint32_t n) {
    std::sort(items, items + n, [](const gobjRec* x, const gobjRec* y) {
      return reinterpret_cast<const tlineRec*>(x)->p0[0] < reinterpret_cast<const tlineRec*>(y)->p0[0];
    });
    return 0;
  });
  vwSetSortEnabled(true);
  vwDrawView(draft, 0);
  EXPECT_EQ(lines().drawn, (std::vector<const gobjRec*>{c, a, b}));
}

TEST_F(ViewDraw, RenderedViewsDrawOnlyWithoutPerspective) {
  viewRec* view = squareView(model);
  addLine(model, {0, 0, 0}, {0.5, 0, 0});
  view->renderMode = 1;
  vwDrawView(view, 0);
  EXPECT_EQ(lines().drawn.size(), 1u);
  EXPECT_EQ(uiBusyCount(), 0);
  view->perspective = 1;
  lines().drawn.clear();
  vwDrawView(view, 0);
  EXPECT_TRUE(lines().drawn.empty());
  EXPECT_EQ(uiBusyCount(), 0);
}

TEST_F(ViewDraw, RecomputeWithRedrawAndRegeneration) {
  viewRec* view = squareView(model);
  addLine(model, {0, 0, 0}, {0.5, 0, 0});
  gobjRec* hidden = addLine(model, {0, 0.5, 0}, {0.5, 0.5, 0});
  hidden->flags |= gobjHidden;
  ASSERT_EQ(vwRecompute(view, 1), 0);
  EXPECT_EQ(lines().drawn.size(), 1u);
  // With display lists on, regeneration draws the current view's model
  // directly, hidden objects left out.
  lines().drawn.clear();
  vwSetCurView(view);
  sheetSetDListOn(1);
  EXPECT_EQ(vwRegenView(), 0);
  sheetSetDListOn(0);
  EXPECT_EQ(lines().drawn.size(), 1u);
  EXPECT_FALSE(wasDrawn(hidden));
}

TEST_F(ViewDraw, InvalidatingAndErasingMarkTheBoxesForRepainting) {
  viewRec* view = squareView(model);
  RECT update{};
  auto pending = [&] {
    update = RECT{};
    return GetUpdateRect(hwnd, &update, FALSE) != 0;
  };
  ValidateRect(hwnd, nullptr);
  vwInvalidate(view, 0);
  ASSERT_TRUE(pending());
  EXPECT_EQ(update.left, view->screenBox[0]);
  EXPECT_EQ(update.bottom, view->screenBox[3]);
  ValidateRect(hwnd, nullptr);
  vwInvalidate(view, 1);
  ASSERT_TRUE(pending());
  EXPECT_EQ(update.left, view->outerBox[0]) << "the whole view, frame included";
  ValidateRect(hwnd, nullptr);
  vwErase(view);
  ASSERT_TRUE(pending());
  EXPECT_EQ(update.right, view->screenBox[2]);
  // aInvalAll: the current sheet's whole view rectangle.
  ValidateRect(hwnd, nullptr);
  vwInvalAll();
  EXPECT_FALSE(pending()) << "no current sheet";
  vwSetCurView(draft);
  EXPECT_EQ(eval("aInvalAll"), "");
  ASSERT_TRUE(pending());
  RECT rect{};
  windGetViewRect(window, &rect);
  EXPECT_EQ(update.right, rect.right);
  EXPECT_EQ(update.bottom, rect.bottom);
}

}  // namespace
