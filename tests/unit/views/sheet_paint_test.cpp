// Painting a sheet's window: a paint message draws the sheet's views back
// to front, the view at the head of the list covering those behind it.
#include "view_fixture.h"

#include <vector>

namespace {

using viewfx::lines;
using viewfx::ViewDrawTest;

class SheetPaint : public ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    doc = newDoc();
    window = newWindow(RECT{0, 0, 400, 300});
    model = doc->firstModel;
    sheet = sheetCreate(doc, model, window);
    ASSERT_NE(sheet, nullptr);
    hwnd = native(window);
    cx = sheet->zoom[0].screen[0];
    cy = sheet->zoom[0].screen[1];
    modelCreate(&other);
    modelLink(other, doc);  // the head of the document's models now
    sheetPaintInit();
  }
  docRec* doc = nullptr;
  modelRec* model = nullptr;
  windRecord* window = nullptr;
  sheetRec* sheet = nullptr;
  HWND hwnd = nullptr;
  modelRec* other = nullptr;
  int cx = 0, cy = 0;
};

TEST_F(SheetPaint, APaintDrawsTheViewsFromBackToFront) {
  // The draft view's line runs under a view of another model, which covers
  // the sheet from 0.5 to 1.5 across.
  addLine(model, {0, 0, 0}, {2, 0, 0});
  const double box[4] = {0.5, -0.5, 1.5, 0.5};
  viewRec* front = vwCreate(sheet, other, box, 0);
  gobjRec* own = addLine(other, {0.5, 0.25, 0}, {1.5, 0.25, 0});
  viewRec* before = vwCurView();
  paint(hwnd);
  ASSERT_EQ(lines().drawnIn.size(), 2u);
  EXPECT_EQ(lines().drawnIn[0], sheet->activeView);
  EXPECT_EQ(lines().drawnIn[1], front);
  EXPECT_EQ(lines().drawn[1], own);
  EXPECT_TRUE(inked(hwnd, cx + 20, cy)) << "the draft view's line";
  EXPECT_TRUE(inked(hwnd, cx + 180, cy));
  EXPECT_FALSE(inked(hwnd, cx + 96, cy)) << "covered by the view in front";
  EXPECT_TRUE(inked(hwnd, cx + 96, cy - 24)) << "the front view's own line";
  EXPECT_EQ(vwCurView(), before) << "the current view stays";
}

TEST_F(SheetPaint, OnlyPaintEventsAreAnswered) {
  addLine(model, {0, 0, 0}, {1, 0, 0});
  vwEventRec event{};
  event.kind = vwEvkMouseMove;
  EXPECT_EQ(sheetPaintDispatch(sheet, &event), 0);
  EXPECT_TRUE(lines().drawn.empty());
  event.kind = vwEvkPaint;
  EXPECT_EQ(sheetPaintDispatch(sheet, &event), 1);
  EXPECT_EQ(lines().drawn.size(), 1u);
  sheetSetEventDispatch(nullptr);
  lines().drawn.clear();
  paint(hwnd);
  EXPECT_TRUE(lines().drawn.empty()) << "without the dispatcher nothing is drawn";
}

}  // namespace
