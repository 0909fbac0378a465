// Rectangle arithmetic: dialog units to pixels and back by the system's
// dialog base units, and moving.
#include "ui/uirect.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

bool same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string show(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

TEST(UiRect, DialogBaseUnitsAreEightBySixteen) {
  const LONG units = GetDialogBaseUnits();
  EXPECT_EQ(8, LOWORD(units));
  EXPECT_EQ(16, HIWORD(units));
}

TEST(UiRect, DialogUnitsToPixelsAndBack) {
  struct Case {
    RECT dlu;
    RECT pixels;
  };
  // With base units (8, 16) both axes double: x * 8 / 4, y * 16 / 8.
  const Case cases[] = {
      {{4, 8, 40, 16}, {8, 16, 80, 32}},
      {{0, 0, 0, 0}, {0, 0, 0, 0}},
      {{-3, -5, 7, 9}, {-6, -10, 14, 18}},
  };
  for (const Case& c : cases) {
    RECT r = c.dlu;
    uiDluToPixels(&r);
    EXPECT_TRUE(same(c.pixels, r)) << show(c.dlu) << " -> " << show(r);
    uiPixelsToDlu(&r);
    EXPECT_TRUE(same(c.dlu, r)) << show(c.pixels) << " back -> " << show(r);
  }
}

TEST(UiRect, PixelsToDialogUnitsTruncatesTowardZero) {
  // x * 4 / 8 and y * 8 / 16: halves, with odd values cut toward zero.
  RECT r = {3, 5, -3, -5};
  uiPixelsToDlu(&r);
  EXPECT_TRUE(same(RECT{1, 2, -1, -2}, r)) << show(r);
  r = {1, 1, 7, 15};
  uiPixelsToDlu(&r);
  EXPECT_TRUE(same(RECT{0, 0, 3, 7}, r)) << show(r);
}

TEST(UiRect, ExtremeCoordinatesAreHeldAtTheLimits) {
  // Doubling these would overflow 32 bits; the result stays at the limit.
  RECT r = {INT_MAX, INT_MIN, INT_MAX / 2, INT_MIN / 2};
  uiDluToPixels(&r);
  EXPECT_TRUE(same(RECT{INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN}, r)) << show(r);

  r = {INT_MAX, INT_MIN, 10, 20};
  uiRectOffset(&r, 5, -5);
  EXPECT_TRUE(same(RECT{INT_MAX, INT_MIN, 15, 15}, r)) << show(r);
}

TEST(UiRect, CopyAndOffset) {
  const RECT from = {1, 2, 30, 40};
  RECT to = {};
  uiCopyRect(&from, &to);
  EXPECT_TRUE(same(from, to));
  uiRectOffset(&to, -11, 5);
  EXPECT_TRUE(same(RECT{-10, 7, 19, 45}, to)) << show(to);
  EXPECT_TRUE(same(RECT{1, 2, 30, 40}, from));
}

}  // namespace
