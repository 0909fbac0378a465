// View frames: the hit code of every zone of the active view's frame, what
// a press on the pop-up box or another view does, and the view under a
// point.
#include "sheet_fixture.h"

#include "views/current.h"
#include "views/vwframe.h"

#include <string>
#include <vector>

namespace {

using sheetfx::SheetTest;

class VwFrame : public SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    s = sheetfx::sheetWithView();
    // The active view at (100, 100)-(300, 200), another one beside it.
    // 96 pixels an inch, the page centre at (100, 100), y up.
    const double box[4] = {0, -100 / 96.0, 200 / 96.0, 0};
    vwSetCorners(s.view, box, 0);
    const double beside[4] = {300 / 96.0, -100 / 96.0, 400 / 96.0, 0};
    other = vwCreate(s.sheet, s.doc->firstModel, beside, 0);
    s.sheet->lastActiveView = s.view;
    ASSERT_EQ(std::vector<int32_t>(s.view->screenBox, s.view->screenBox + 4),
              (std::vector<int32_t>{100, 100, 300, 200}));
    ASSERT_EQ(std::vector<int32_t>(other->screenBox, other->screenBox + 4),
              (std::vector<int32_t>{400, 100, 500, 200}));
  }

  sheetfx::SheetWithView s{};
  viewRec* other = nullptr;
};

TEST_F(VwFrame, EveryZoneOfTheActiveFrameHasItsCode) {
  const struct {
    POINT p;
    int code;
    const char* zone;
  } cases[] = {
      {{105, 90}, vwHitPopup, "pop-up box"},
      {{200, 90}, vwHitTitle, "title bar"},
      {{300, 84}, vwHitTitle, "title bar, right end"},
      {{97, 150}, vwHitSide, "left edge"},
      {{302, 150}, vwHitSide, "right edge"},
      {{200, 203}, vwHitBottom, "bottom edge"},
      {{302, 203}, vwHitBottomRight, "bottom-right corner"},
      {{302, 195}, vwHitBottomRight, "right edge below the inner zone"},
      {{97, 203}, vwHitBottomLeft, "bottom-left corner"},
      {{99, 195}, vwHitBottomLeft, "the line around the box, low on the left"},
      {{200, 150}, vwHitNone, "inside the active view"},
      {{100, 100}, vwHitNone, "the active view's corner"},
      {{450, 150}, vwHitOtherView, "another view"},
  };
  for (const auto& c : cases) EXPECT_EQ(vwFrameHit(s.sheet, c.p), c.code) << c.zone;

  vwFrameRectSet r;
  vwFrameRects(s.view, &r);
  EXPECT_EQ(r.outer.left, 96);
  EXPECT_EQ(r.outer.top, 83);
  EXPECT_EQ(r.outer.right, 304);
  EXPECT_EQ(r.outer.bottom, 204);
  EXPECT_EQ(r.popup.right - r.popup.left, 16);

  s.sheet->flags |= sheetLockViews;
  EXPECT_EQ(vwFrameHit(s.sheet, POINT{105, 90}), vwHitNone) << "a locked sheet";
  EXPECT_EQ(vwFrameHit(s.sheet, POINT{450, 150}), vwHitNone) << "a locked sheet";
}

TEST_F(VwFrame, TheDraftViewHasNoFrame) {
  s.sheet->lastActiveView = s.draft;
  EXPECT_EQ(vwFrameHit(s.sheet, POINT{105, 90}), vwHitNone) << "the draft view's area, no frame around s.view";
  EXPECT_EQ(vwFrameHit(s.sheet, POINT{200, 150}), vwHitOtherView);
  s.sheet->lastActiveView = nullptr;
  EXPECT_EQ(vwFrameHit(s.sheet, POINT{105, 90}), vwHitNone) << "no active view: the draft view counts";
}

TEST_F(VwFrame, ThePopupBoxRunsTheScriptsPopupWithThePoint) {
  ASSERT_EQ(feExecString("/aViewPopup { /popupArg exch def } def"), 0);
  vwFrameAction(s.sheet, POINT{12, 34}, vwHitPopup);
  EXPECT_EQ(eval("popupArg"), "[12 34 ]");
  EXPECT_EQ(feOperandDepth(), 0) << "the mark is cleared";
  // The title bar and the resize zones do nothing.
  for (int code : {vwHitTitle, vwHitTop, vwHitSide, vwHitBottomLeft}) vwFrameAction(s.sheet, POINT{1, 2}, code);
  EXPECT_EQ(eval("popupArg"), "[12 34 ]");
  EXPECT_EQ(feOperandDepth(), 0);
}

TEST_F(VwFrame, APressOnAnotherViewMakesItCurrentAndActive) {
  vwSetCurView(s.view);
  vwBringToFront(s.view);
  vwFrameAction(s.sheet, POINT{450, 150}, vwHitOtherView);
  EXPECT_EQ(vwCurView(), other);
  EXPECT_EQ(vwActiveView(), other);
  EXPECT_EQ(s.sheet->lastActiveView, other);
  EXPECT_EQ(s.sheet->firstView, s.view) << "without the autofront flag the order stays";
  other->flags |= viewAutoFront;
  s.view->flags |= viewAutoFront;
  vwFrameAction(s.sheet, POINT{450, 150}, vwHitActivate);
  EXPECT_EQ(s.sheet->firstView, other) << "an autofront view comes to the front";
  s.draft->flags |= viewAutoFront;
  vwFrameAction(s.sheet, POINT{-300, -200}, vwHitOtherView);
  EXPECT_EQ(vwActiveView(), s.draft);
  EXPECT_EQ(s.sheet->firstView, other) << "the draft view stays behind";
}

TEST_F(VwFrame, TheViewAtAPointIsTheFrontOneElseTheDraftView) {
  EXPECT_EQ(sheetViewAtPoint(s.sheet, POINT{300, 200}), s.view) << "edges included";
  EXPECT_EQ(sheetViewAtPoint(s.sheet, POINT{450, 150}), other);
  dbgSetFlags(1);
  EXPECT_EQ(sheetViewAtPoint(s.sheet, POINT{-30000, -30000}), s.draft);
  EXPECT_NE(boxes().find("Cannot find sheet matching point"), std::string::npos) << boxes();
}

TEST_F(VwFrame, OnlyTheActiveViewKeepsItsFrameAsOuterBox) {
  vwSetOuterBox(s.view);
  EXPECT_EQ(s.view->outerBox[1], 83) << "the title bar is part of it";
  vwSetOuterBox(other);
  EXPECT_EQ(other->outerBox[0], 399);
  EXPECT_EQ(other->outerBox[1], 99);
  EXPECT_EQ(other->outerBox[3], 201);
}

}  // namespace
