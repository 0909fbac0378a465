// The zoom state of sheets: the matrices from the page scale and centre,
// the refusals that leave the state as it was, the history and its roll.
#include "sheet_fixture.h"

#include "core/units.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using sheetfx::SheetTest;

void toScreen(const sheetRec* sheet, double x, double y, double out[2]) {
  const double in[3] = {x, y, 0};
  double r[3];
  aPtTransform(3, in, sheet->zoom[0].worldToSheet, r);
  out[0] = r[0];
  out[1] = r[1];
}

int setScale(sheetRec* sheet, double scale, int32_t sx = 0, int32_t sy = 0, double cx = 0, double cy = 0) {
  const int32_t screen[2] = {sx, sy};
  const double centre[2] = {cx, cy};
  return sheetSetScale(sheet, scale, 0, screen, centre, 0);
}

TEST_F(SheetTest, APageUnitIsDotsPerInchTimesTheScaleWithYUp) {
  sheetRec* sheet = looseSheet();
  ASSERT_EQ(setScale(sheet, 1.0, 100, 200, 0, 0), 0);
  double p[2];
  toScreen(sheet, 0, 0, p);
  EXPECT_DOUBLE_EQ(p[0], 100);
  EXPECT_DOUBLE_EQ(p[1], 200);
  toScreen(sheet, 1, 0, p);
  EXPECT_DOUBLE_EQ(p[0], 196);  // 96 pixels right
  EXPECT_DOUBLE_EQ(p[1], 200);
  toScreen(sheet, 0, 1, p);
  EXPECT_DOUBLE_EQ(p[0], 100);
  EXPECT_DOUBLE_EQ(p[1], 104);  // 96 pixels up
  // A centre elsewhere lands on the screen position; the inverse undoes it.
  ASSERT_EQ(setScale(sheet, 2.0, 10, 20, 3, -1), 0);
  toScreen(sheet, 3, -1, p);
  EXPECT_DOUBLE_EQ(p[0], 10);
  EXPECT_DOUBLE_EQ(p[1], 20);
  double back[3];
  const double screen[3] = {10 + 192, 20 - 192, 0};
  aPtTransform(3, screen, sheet->zoom[0].sheetToWorld, back);
  EXPECT_DOUBLE_EQ(back[0], 4);
  EXPECT_NEAR(back[1], 0, 1e-12);
}

TEST_F(SheetTest, MetricUnitsCountPixelsPerMillimetre) {
  double dpi[2];
  vwGetDpiUnits(dpi);
  EXPECT_DOUBLE_EQ(dpi[0], 96);
  EXPECT_DOUBLE_EQ(dpi[1], 96);
  unitSetMode(1);
  vwGetDpiUnits(dpi);
  unitSetMode(0);
  EXPECT_DOUBLE_EQ(dpi[0], 96 / 25.4);
  EXPECT_DOUBLE_EQ(dpi[1], 96 / 25.4);
}

TEST_F(SheetTest, RefusedScalesLeaveTheZoomStateAsItWas) {
  sheetRec* sheet = looseSheet();
  ASSERT_EQ(setScale(sheet, 1e-15, 5, 6, 1, 2), 0);
  sheetZoom before;
  std::memcpy(&before, &sheet->zoom[0], sizeof before);
  const struct {
    double scale;
    int relative;
    int answer;
  } cases[] = {
      {1e-31, 0, vwErrScaleTooSmall},
      {1e-30, 0, vwErrScaleTooSmall},
      {0, 0, vwErrScaleTooSmall},
      {-1, 0, vwErrScaleTooSmall},
      {std::numeric_limits<double>::quiet_NaN(), 0, vwErrScaleTooSmall},
      {1e30, 0, vwErrScaleTooBig},
      {std::numeric_limits<double>::infinity(), 0, vwErrScaleTooBig},
      {1e-16, 1, vwErrScaleTooSmall},  // 1e-15 times 1e-16
      {1e46, 1, vwErrScaleTooBig},
  };
  const int32_t screen[2] = {0, 0};
  const double centre[2] = {9, 9};
  for (const auto& c : cases) {
    EXPECT_EQ(sheetSetScale(sheet, c.scale, c.relative, screen, centre, 0), c.answer) << c.scale;
    EXPECT_EQ(std::memcmp(&before, &sheet->zoom[0], sizeof before), 0) << c.scale;
  }
}

TEST_F(SheetTest, CentresTooFarOutAndUnusableDevicesAreRefused) {
  sheetRec* sheet = looseSheet();
  xform4 before;
  std::memcpy(before, sheet->zoom[0].worldToSheet, sizeof before);
  sheet->zoom[0].centre[0] = 1e300;  // a unit step is lost against the centre
  EXPECT_EQ(sheetRecompute(sheet), vwErrTooFarOut);
  EXPECT_EQ(std::memcmp(before, sheet->zoom[0].worldToSheet, sizeof before), 0);
  sheet->zoom[0].centre[0] = 0;
  sheet->zoom[0].centre[1] = -1e300;
  EXPECT_EQ(sheetRecompute(sheet), vwErrTooFarOut);
  sheet->zoom[0].centre[1] = 0;
  setDpi(0);
  EXPECT_EQ(sheetRecompute(sheet), vwErrBadScale);
  EXPECT_EQ(std::memcmp(before, sheet->zoom[0].worldToSheet, sizeof before), 0);
}

TEST_F(SheetTest, TheHistoryKeepsSixStatesAndPopsBackToThem) {
  sheetRec* sheet = looseSheet();
  ASSERT_EQ(setScale(sheet, 1), 0);
  for (int scale = 2; scale <= 8; ++scale) {
    sheetZoomPush(sheet);
    ASSERT_EQ(setScale(sheet, scale, scale, 0, scale, 0), 0);
  }
  EXPECT_EQ(sheet->zoomCount, 6);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(sheet->zoom[k].pageScale, 8 - k) << k;
  for (int expected = 7; expected >= 3; --expected) {
    sheetZoomPop(sheet);
    EXPECT_EQ(sheet->zoom[0].pageScale, expected);
    EXPECT_EQ(sheet->zoom[0].centre[0], expected);
    EXPECT_EQ(sheet->zoom[0].screen[0], expected);
    EXPECT_EQ(sheet->zoom[0].worldToSheet[0], 96.0 * expected);  // its matrices come back with it
  }
  EXPECT_EQ(sheet->zoomCount, 1);
  sheetZoomPop(sheet);
  sheetZoomPop(sheet);
  EXPECT_EQ(sheet->zoomCount, 1);
  EXPECT_EQ(sheet->zoom[0].pageScale, 3);
}

TEST_F(SheetTest, RollingTheHistoryMovesEntryKToKPlusN) {
  sheetRec* sheet = looseSheet();
  sheetZoomRoll(sheet, 1);  // one entry: nothing changes
  EXPECT_EQ(sheet->zoom[0].pageScale, 1);
  for (double scale : {2.0, 3.0}) {
    sheetZoomPush(sheet);
    ASSERT_EQ(setScale(sheet, scale), 0);
  }
  ASSERT_EQ(sheet->zoomCount, 3);  // 3, 2, 1
  sheetZoomRoll(sheet, 1);
  EXPECT_EQ(sheet->zoom[0].pageScale, 1);
  EXPECT_EQ(sheet->zoom[1].pageScale, 3);
  EXPECT_EQ(sheet->zoom[2].pageScale, 2);
  EXPECT_EQ(sheet->zoom[0].worldToSheet[0], 96.0);
  sheetZoomRoll(sheet, -2);  // back past the start: 2, 1, 3
  EXPECT_EQ(sheet->zoom[0].pageScale, 2);
  EXPECT_EQ(sheet->zoom[1].pageScale, 1);
  EXPECT_EQ(sheet->zoom[2].pageScale, 3);
}

TEST_F(SheetTest, ViewsFollowTheSheetsScale) {
  docRec* doc = newDoc();
  sheetRec* sheet = newSheet(doc);
  const double box[4] = {-1, -1, 1, 1};
  viewRec* view = vwCreate(sheet, doc->firstModel, box, 0);
  ASSERT_EQ(setScale(sheet, 1, 100, 100), 0);
  EXPECT_EQ(view->screenBox[0], 4);
  EXPECT_EQ(view->screenBox[1], 4);
  EXPECT_EQ(view->screenBox[2], 196);
  EXPECT_EQ(view->screenBox[3], 196);
  EXPECT_EQ(view->outerBox[0], 2);
  ASSERT_EQ(setScale(sheet, 0.5, 100, 100), 0);
  EXPECT_EQ(view->screenBox[0], 52);
  EXPECT_EQ(view->screenBox[2], 148);
  EXPECT_TRUE(view->flags & viewChanged);
  // The draft view keeps covering the graphics box.
  for (int k = 0; k < 4; ++k) EXPECT_EQ(sheet->activeView->screenBox[k], sheet->graphicsBox[k]) << k;
  vwfx::changes().clear();
  sheetRedraw(sheet);
  EXPECT_EQ(vwfx::changeCodes(), std::vector<uint32_t>{vwEvSheetRedrawn});
}

}  // namespace
