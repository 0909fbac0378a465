// The grid: its parameters through the operators and the keyed access,
// which changes redraw the views that show it, and the lattice drawn into a
// window.
#include "view_fixture.h"

#include "views/grid.h"

#include <cmath>

namespace {

class GridTest : public viewfx::ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    static bool first = true;
    if (first)
      gridInit(nullptr);
    else
      gridRegisterTables();
    first = false;
    openDrawing();
    vwSetCurView(draft);
    grid = gridOfDoc(doc);
  }
  gridRec* grid = nullptr;

  // Inside the draft view's screen box and the window's client area.
  bool inside(int x, int y) const {
    RECT client{};
    GetClientRect(native(window), &client);
    const int32_t* b = draft->screenBox;
    return x > b[0] && y > b[1] && x + 1 < b[2] && y + 1 < b[3] && x > 0 && y > 0 && x + 1 < client.right &&
           y + 1 < client.bottom;
  }

  // Pixels per world unit along x in the draft view, and the origin's pixel.
  double pixelsPerUnit(double origin[2]) {
    const double o[3] = {0, 0, 0}, x[3] = {1, 0, 0};
    double so[3], sx[3];
    vwWorldToScreen(o, so);
    vwWorldToScreen(x, sx);
    origin[0] = so[0];
    origin[1] = so[1];
    return std::hypot(sx[0] - so[0], sx[1] - so[1]);
  }
};

TEST_F(GridTest, SetParmStoresAtLeastOneStepAndShowsTheGrid) {
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(gridCurrent(), grid);
  EXPECT_EQ(grid->steps, gridDefaultSteps);
  EXPECT_EQ(grid->spacing, 1.0f);
  EXPECT_EQ(call(gridOpSetParm, {argInt(1), argReal(2.0), argInt(0)}), 0);
  EXPECT_EQ(grid->steps, 1u);
  EXPECT_EQ(grid->spacing, 2.0f);
  EXPECT_TRUE(draft->flags & viewGridShown);

  int32_t shown = -1, steps = -1;
  double spacing = 0;
  EXPECT_EQ(call(gridOpGetParm, {}, {&shown, &spacing, &steps}), 0);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(spacing, 2.0);
  EXPECT_EQ(steps, 1);

  // Toggling hides it again; without a current view nothing changes.
  EXPECT_EQ(call(gridOpToggle, {}), 0);
  EXPECT_FALSE(draft->flags & viewGridShown);
  vwSetCurView(nullptr);
  EXPECT_EQ(call(gridOpToggle, {}), 0);
  EXPECT_FALSE(draft->flags & viewGridShown);
}

TEST_F(GridTest, KeysRedrawOnlyWhenTheValueChanges) {
  ASSERT_NE(grid, nullptr);
  draft->flags |= viewGridShown;
  double value = 0;
  int isReal = -1;
  EXPECT_EQ(gridGetKey(grid, "nticks", 6, &value, &isReal), 0);
  EXPECT_EQ(value, 4.0);
  EXPECT_EQ(isReal, 0);
  const uint32_t before = gridRedrawCount();
  EXPECT_EQ(gridSetKey(grid, "nticks", 6, 4), 0);
  EXPECT_EQ(gridRedrawCount(), before);
  EXPECT_EQ(gridSetKey(grid, "nticks", 6, 0), 0);
  EXPECT_EQ(grid->steps, 1u);
  EXPECT_EQ(gridRedrawCount(), before + 1);
  EXPECT_EQ(gridSetKey(grid, "spacing", 7, 0.5), 0);
  EXPECT_EQ(grid->spacing, 0.5f);
  EXPECT_EQ(gridRedrawCount(), before + 2);

  EXPECT_EQ(gridSetKey(grid, "colour", 6, 1), feErrUnknownKey);
  EXPECT_EQ(gridGetKey(grid, "colour", 6, &value, &isReal), feErrUnknownKey);
  EXPECT_EQ(gridGetKey(nullptr, "nticks", 6, &value, &isReal), -212);
  EXPECT_EQ(get(grid, "spacing"), 0);
}

TEST_F(GridTest, MarksTwentyPixelsApartAndNoneWhenTooDense) {
  ASSERT_NE(grid, nullptr);
  double origin[2];
  const double perUnit = pixelsPerUnit(origin);
  ASSERT_GT(perUnit, 0);
  const HWND h = native(window);
  const int ox = int(std::lround(origin[0])), oy = int(std::lround(origin[1]));
  // Lattice points well away from the origin's axis marks.
  grid->steps = 1;
  grid->spacing = float(20.0 / perUnit);
  gridDraw(draft, grid, 0);
  // Lattice points about the middle of what the window shows, away from the
  // origin's axis marks.
  RECT client{};
  GetClientRect(h, &client);
  const int cx = (std::max<int>(draft->screenBox[0], 0) + std::min<int>(draft->screenBox[2], client.right)) / 2;
  const int cy = (std::max<int>(draft->screenBox[1], 0) + std::min<int>(draft->screenBox[3], client.bottom)) / 2;
  int bx = ox + 20 * int(std::lround((cx - ox) / 20.0));
  const int by = oy + 20 * int(std::lround((cy - oy) / 20.0));
  if (std::abs(bx - ox) < 30 && std::abs(by - oy) < 30) bx += 60;
  int looked = 0;
  for (int k = -2; k <= 2; ++k) {
    const int x = bx + 20 * k;
    if (!inside(x, by) || !inside(x + 10, by + 10)) continue;
    ++looked;
    EXPECT_TRUE(inked(h, x, by)) << x << "," << by;
    EXPECT_TRUE(inked(h, x, by + 20)) << x << "," << by + 20;
    EXPECT_FALSE(inked(h, x + 10, by)) << x + 10 << "," << by;
    EXPECT_FALSE(inked(h, x, by + 10)) << x << "," << by + 10;
  }
  EXPECT_GT(looked, 2);

  // A fresh window: a lattice of a quarter pixel draws nothing away from
  // the axis marks.
  window = newWindow(RECT{0, 0, 400, 300});
  sheet = sheetCreate(doc, model, window);
  ASSERT_NE(sheet, nullptr);
  draft = sheet->activeView;
  vwSetCurView(draft);
  grid->spacing = float(0.25 / pixelsPerUnit(origin));
  gridDraw(draft, grid, 0);
  const HWND h2 = native(window);
  int marks = 0;
  looked = 0;
  for (int y = 0; y < 800; y += 3)
    for (int x = 0; x < 1100; ++x)
      if (inside(x, y) && (std::abs(x - int(origin[0])) > 12 || std::abs(y - int(origin[1])) > 12)) {
        ++looked;
        marks += inked(h2, x, y) ? 1 : 0;
      }
  EXPECT_GT(looked, 1000);
  EXPECT_EQ(marks, 0);
}

TEST_F(GridTest, NewDocumentsTakeTheCurrentGridsValues) {
  ASSERT_NE(grid, nullptr);
  grid->steps = 7;
  grid->spacing = 3.5f;
  gridRec fresh{};
  gridInit(&fresh);
  EXPECT_EQ(fresh.steps, 7u);
  EXPECT_EQ(fresh.spacing, 3.5f);
  docRec* other = newDoc();
  gridRec* second = gridOfDoc(other);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, grid);
  EXPECT_EQ(gridOwner(second), other);
  EXPECT_EQ(gridOwner(grid), doc);
}

}  // namespace
