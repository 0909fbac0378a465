// The sheet operators.
#include "sheet_fixture.h"

#include <cmath>
#include <string>

namespace {

using sheetfx::SheetTest;

class SheetOps : public SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    doc = newDoc();
    sheet = newSheet(doc);
  }
  void makeCurrent() {
    sheetSetCurrent(sheet);
    ASSERT_EQ(vwCurSheet(), sheet);
  }
  void toScreen(double x, double y, double out[2]) const {
    const double in[3] = {x, y, 0};
    double r[3];
    aPtTransform(3, in, sheet->zoom[0].worldToSheet, r);
    out[0] = r[0];
    out[1] = r[1];
  }
  docRec* doc = nullptr;
  sheetRec* sheet = nullptr;
};

TEST_F(SheetOps, WithoutACurrentSheet) {
  int32_t x = 0, y = 0;
  EXPECT_EQ(call(vwOpSheetToScreen, {argReal(1), argReal(2)}, {&x, &y}), vwErrNoCurSheet);
  EXPECT_EQ(call(vwOpRollSheet, {argInt(1)}), vwErrNoCurSheet);
  EXPECT_EQ(call(vwOpSheetCorners3, {}), vwErrNoCurSheet);
  EXPECT_EQ(call(vwOpSetScrollBars, {}), vwErrNoCurSheet);
  void* found = nullptr;
  EXPECT_EQ(call(vwOpCurSheet, {}, {&found}), vwErrNoCurSheet);
  EXPECT_EQ(call(vwOpViewAllSheet, {argInt(0)}), 0);  // nothing to fit
  int notASheet = 0;
  for (feOpHandler op : {vwOpScaleSheet2, vwOpScrollSheet, vwOpDrawSheet, vwOpSheetCopy})
    EXPECT_EQ(call(op, {argRecord(&notASheet), argReal(1), argInt(0), argInt(0), argInt(0), argInt(0), argInt(0)},
                   {&found}),
              vwErrBadObject);
}

TEST_F(SheetOps, SheetToScreenRoundsThroughTheCurrentSheet) {
  makeCurrent();
  const int32_t screen[2] = {100, 50};
  const double centre[2] = {0, 0};
  ASSERT_EQ(sheetSetScale(sheet, 1, 0, screen, centre, 0), 0);
  int32_t x = 0, y = 0;
  EXPECT_EQ(call(vwOpSheetToScreen, {argReal(1.5), argReal(-0.01)}, {&x, &y}), 0);
  EXPECT_EQ(x, 244);
  EXPECT_EQ(y, 51);  // 50.96
}

TEST_F(SheetOps, ScaleKeepsThePointUnderTheScreenPosition) {
  double before[3];
  const double screen[3] = {50, 60, 0};
  aPtTransform(3, screen, sheet->zoom[0].sheetToWorld, before);
  ASSERT_EQ(call(vwOpScaleSheet2, {argRecord(sheet), argReal(4), argInt(1), argInt(50), argInt(60), argInt(0),
                                   argInt(0)}),
            0);
  EXPECT_EQ(sheet->zoom[0].pageScale, 4);
  EXPECT_EQ(sheet->zoomCount, 2);
  double p[2];
  toScreen(before[0], before[1], p);
  EXPECT_NEAR(p[0], 50, 1e-9);
  EXPECT_NEAR(p[1], 60, 1e-9);
  EXPECT_EQ(call(vwOpScaleSheet2, {argRecord(sheet), argReal(1e-40), argInt(1), argInt(0), argInt(0), argInt(0),
                                   argInt(0)}),
            vwErrScaleTooSmall);
  EXPECT_EQ(sheet->zoomCount, 2);  // the pushed state was popped
  EXPECT_EQ(sheet->zoom[0].pageScale, 4);
}

TEST_F(SheetOps, ScrollMovesTheSheetByPixels) {
  double p[2], q[2];
  toScreen(1, 1, p);
  ASSERT_EQ(call(vwOpScrollSheet, {argRecord(sheet), argInt(30), argInt(-7)}), 0);
  toScreen(1, 1, q);
  EXPECT_DOUBLE_EQ(q[0] - p[0], 30);
  EXPECT_DOUBLE_EQ(q[1] - p[1], -7);
}

TEST_F(SheetOps, RollTurnsTheCurrentSheetsHistory) {
  makeCurrent();
  for (double scale : {2.0, 3.0}) {
    sheetZoomPush(sheet);
    const int32_t screen[2] = {0, 0};
    const double centre[2] = {0, 0};
    ASSERT_EQ(sheetSetScale(sheet, scale, 0, screen, centre, 0), 0);
  }
  ASSERT_EQ(call(vwOpRollSheet, {argInt(1)}), 0);
  EXPECT_EQ(sheet->zoom[0].pageScale, 1);
  EXPECT_EQ(sheet->zoom[1].pageScale, 3);
}

TEST_F(SheetOps, CornersFillTheWindowWithAMargin) {
  makeCurrent();
  sheet->graphicsBox[0] = sheet->graphicsBox[1] = 0;
  sheet->graphicsBox[2] = 800;
  sheet->graphicsBox[3] = 600;
  const int32_t screen[2] = {0, 0};
  const double centre[2] = {0, 0};
  ASSERT_EQ(sheetSetScale(sheet, 1, 0, screen, centre, 0), 0);
  // Two boxes spanning 0..200 across and 0..100 down at 96 pixels a unit.
  int32_t a[4] = {0, 0, 50, 100}, b[4] = {150, 20, 200, 30};
  feArg first{}, second{};
  first.block = a;
  second.block = b;
  ASSERT_EQ(call(vwOpSheetCorners3, {first, second}), 0);
  EXPECT_DOUBLE_EQ(sheet->zoom[0].pageScale, 4 * 0.984375);  // 800 / 200 is the tighter fit
  EXPECT_DOUBLE_EQ(sheet->zoom[0].centre[0], 100.0 / 96);
  EXPECT_DOUBLE_EQ(sheet->zoom[0].centre[1], -50.0 / 96);
  EXPECT_EQ(sheet->zoom[0].screen[0], 400);
  EXPECT_EQ(sheet->zoom[0].screen[1], 300);
  EXPECT_EQ(sheet->zoomCount, 2);
  int32_t point[4] = {5, 5, 5, 5};  // no area: the fit is refused
  first.block = second.block = point;
  EXPECT_EQ(call(vwOpSheetCorners3, {first, second}), vwErrScaleTooBig);
  EXPECT_EQ(sheet->zoomCount, 2);
}

TEST_F(SheetOps, CurrentAndNamedSheets) {
  vwSetActiveView(sheet->activeView);
  void* found = nullptr;
  EXPECT_EQ(call(vwOpCurSheet, {}, {&found}), 0);
  EXPECT_EQ(found, sheet);
  docSetCurrent(doc);
  feArg name{};
  name.text = {"SHEET 1x", 7};
  found = nullptr;
  EXPECT_EQ(call(vwOpSheetWithName, {name}, {&found}), 0);
  EXPECT_EQ(found, sheet);
  name.text = {"Sheet 2", 7};
  EXPECT_EQ(call(vwOpSheetWithName, {name}, {&found}), -1);
}

TEST_F(SheetOps, CopyLinksTheCopyToTheDocument) {
  void* copy = nullptr;
  ASSERT_EQ(call(vwOpSheetCopy, {argRecord(sheet), argRecord(doc)}, {&copy}), 0);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(sheet->next, copy);
  EXPECT_EQ(static_cast<sheetRec*>(copy)->viewCount, 1u);
}

TEST_F(SheetOps, TheDisplayListSwitchTellsTheMenus) {
  int32_t on = -1;
  EXPECT_EQ(call(vwOpDList, {argInt(0)}, {&on}), vwErrNoCurDoc);
  docSetCurrent(doc);
  ASSERT_EQ(feExecString("/aDListMenuHook { /dlistSeen exch def } def"), 0);
  EXPECT_EQ(call(vwOpDList, {argInt(0)}, {&on}), 0);
  EXPECT_EQ(on, 0);
  EXPECT_EQ(call(vwOpDList, {argInt(1), argInt(0)}), 0);
  EXPECT_EQ(sheetDListOn(), 1);
  EXPECT_EQ(valueOf("dlistSeen"), "true");
  EXPECT_EQ(call(vwOpDList, {argInt(1), argInt(0)}), 0);
  EXPECT_EQ(valueOf("dlistSeen"), "false");
  EXPECT_EQ(call(vwOpDList, {argInt(0)}, {&on}), 0);
  EXPECT_EQ(on, 0);
}

TEST_F(SheetOps, ScrollAdjustMovesByThousandthsOfTheScrollArea) {
  makeCurrent();
  vwSetActiveView(sheet->activeView);
  sheet->scrollArea[0] = sheet->scrollArea[1] = 0;
  sheet->scrollArea[2] = 10;
  sheet->scrollArea[3] = 5;
  const int32_t x = sheet->zoom[0].screen[0], y = sheet->zoom[0].screen[1];
  EXPECT_EQ(call(vwOpScrollAdjust, {argInt(1), argInt(100)}), 0);  // one unit across
  EXPECT_EQ(sheet->zoom[0].screen[0], x - 96);
  EXPECT_EQ(sheet->zoom[0].screen[1], y);
  EXPECT_EQ(call(vwOpScrollAdjust, {argInt(0), argInt(-200)}), 0);  // one unit up
  EXPECT_EQ(sheet->zoom[0].screen[1], y + 96);
}

}  // namespace
