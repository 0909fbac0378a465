// Scale queries, the tolerant sign and the box mappings between a sheet
// and the screen.
#include "sheet_fixture.h"

#include "views/vwboxes.h"

#include <limits>

namespace {

using sheetfx::SheetTest;

TEST_F(SheetTest, ScaleQueriesAnswerOneWhenTheyCannot) {
  double out = 0;
  EXPECT_EQ(vwScaleQuery(5, &out), -1);
  EXPECT_EQ(out, 1.0);
  out = 0;
  EXPECT_EQ(vwScaleQuery(0, &out), -1);
  EXPECT_EQ(out, 1.0);
  for (int kind : {1, 3, 4}) {
    out = 0;
    EXPECT_EQ(vwScaleQuery(kind, &out), vwErrNoCurSheet) << kind;
    EXPECT_EQ(out, 1.0);
  }
  out = 0;
  EXPECT_EQ(vwScaleQuery(2, &out), vwErrNoCurView);
  EXPECT_EQ(out, 1.0);
}

TEST_F(SheetTest, ScaleQueriesOfTheCurrentSheetAndView) {
  docRec* doc = newDoc();
  sheetRec* sheet = newSheet(doc);
  sheet->plotScale = 0.25;
  sheet->zoom[0].pageScale = 2;
  sheet->activeView->states[0].scale = 3;
  vwSetCurView(sheet->activeView);
  const struct {
    int kind;
    double value;
  } cases[] = {{1, 0.25}, {2, 3}, {3, 2}, {4, 8}};
  for (const auto& c : cases) {
    double out = 0;
    EXPECT_EQ(vwScaleQuery(c.kind, &out), 0) << c.kind;
    EXPECT_EQ(out, c.value) << c.kind;
  }
}

TEST_F(SheetTest, SignWithATolerance) {
  const struct {
    double value;
    int sign;
  } cases[] = {{0, 0}, {1e-8, 0}, {-1e-8, 0}, {2e-8, 1}, {-2e-8, -1}, {5, 1}, {-5, -1}};
  for (const auto& c : cases) EXPECT_EQ(vwSignTol(c.value), c.sign) << c.value;
}

TEST_F(SheetTest, ScreenBoxesAreOrderedClampedAndRounded) {
  sheetRec* sheet = looseSheet();
  const int32_t screen[2] = {100, 100};
  const double centre[2] = {0, 0};
  ASSERT_EQ(sheetSetScale(sheet, 1, 0, screen, centre, 0), 0);
  const struct {
    double rect[4];
    int32_t box[4];
  } cases[] = {
      {{-1, 1, 1, -1}, {4, 4, 196, 196}},
      {{1, -1, -1, 1}, {4, 4, 196, 196}},            // corners in any order
      {{0.004, 0, 0.006, 0}, {100, 100, 101, 100}},  // rounded to the nearest pixel
      {{-1e9, -1e9, 1e9, 1e9}, {-16383, -16383, 32767, 32767}},
      {{std::numeric_limits<double>::quiet_NaN(), 0, 0, 0}, {-16383, -16383, -16383, -16383}},  // no NaN reaches the integers
  };
  for (const auto& c : cases) {
    int32_t box[4];
    vwViewScreenBox(sheet, c.rect, box);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(box[k], c.box[k]) << c.rect[0] << " " << k;
  }
  // Back to the sheet, minimum corner first.
  const int32_t box[4] = {4, 4, 196, 196};
  double rect[4];
  vwScreenBoxToSheet(box, sheet->zoom[0].sheetToWorld, rect);
  EXPECT_DOUBLE_EQ(rect[0], -1);
  EXPECT_DOUBLE_EQ(rect[1], -1);
  EXPECT_DOUBLE_EQ(rect[2], 1);
  EXPECT_DOUBLE_EQ(rect[3], 1);
}

}  // namespace
