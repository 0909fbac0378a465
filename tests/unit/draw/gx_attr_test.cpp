// The drawing layer's attributes: pen width and style, colour, draw modes
// and their realisation, the pen cache, fills and the attribute queries.
#include "gx_state_fixture.h"

TEST_F(GxStateTest, PenWidth16RoundsHalfAwayFromZero) {
  struct {
    int width16, width;
  } cases[] = {{24, 2}, {-24, -2}, {7, 0}, {8, 1}, {-8, -1}, {-7, 0}, {16, 1}, {0, 0}};
  for (const auto& c : cases) {
    gxSetPenWidth16(c.width16);
    int32_t w = 99;
    EXPECT_EQ(gxGetAttr(3, &w), 0);
    EXPECT_EQ(w, c.width) << c.width16;
  }
}

TEST_F(GxStateTest, ColoursOfOneRGBShareOnePen) {
  gxTestColors::install();
  gxTestColors::entries = {{5, RGB(10, 20, 30)}, {6, RGB(10, 20, 30)}, {7, RGB(1, 2, 3)}};
  pushDevice(4, 4, nullptr);
  gxSetColor(5);
  const uint32_t after5 = gxPenCacheCount();
  gxSetColor(6);
  EXPECT_EQ(gxPenCacheCount(), after5);
  gxSetColor(7);
  EXPECT_EQ(gxPenCacheCount(), after5 + 1);
  gxSetColor(5);
  EXPECT_EQ(gxPenCacheCount(), after5 + 1);
  // Width and dotting are part of the key.
  gxSetPenWidth(3);
  EXPECT_EQ(gxPenCacheCount(), after5 + 2);
  gxSetPenStyle(2);  // dotted: width 1 and the dotted flag
  EXPECT_EQ(gxPenCacheCount(), after5 + 3);
  gxSetPenWidth(5);  // still dotted at width 1: the same pen
  EXPECT_EQ(gxPenCacheCount(), after5 + 3);
}

TEST_F(GxStateTest, DrawModesSetRasterOperationBackgroundAndColour) {
  gxTestColors::install();
  gxTestColors::entries = {{3, RGB(0, 0, 255)}};
  HDC dc = pushDevice(4, 4, nullptr);
  gxSetColor(3);
  struct {
    int mode;
    uint32_t stored;
    int rop, bkMode;
    COLORREF rgb;
  } cases[] = {
      {gxModeDraw, 0, R2_COPYPEN, TRANSPARENT, RGB(0, 0, 255)},
      {gxModeErase, 1, R2_COPYPEN, TRANSPARENT, GetSysColor(COLOR_WINDOW)},
      {gxModeXor, 2, R2_XORPEN, TRANSPARENT, RGB(255, 255, 255)},
      {gxModeOpaque, 3, R2_COPYPEN, OPAQUE, RGB(0, 0, 255)},
      {9, 0, R2_COPYPEN, TRANSPARENT, RGB(0, 0, 255)},
      {-1, 0, R2_COPYPEN, TRANSPARENT, RGB(0, 0, 255)},
  };
  for (const auto& c : cases) {
    gxSetDrawMode(c.mode);
    EXPECT_EQ(gx.drawMode, c.stored) << c.mode;
    EXPECT_EQ(GetROP2(dc), c.rop) << c.mode;
    EXPECT_EQ(GetBkMode(dc), c.bkMode) << c.mode;
    EXPECT_EQ(gx.rgb & 0xFFFFFF, c.rgb) << c.mode;
    EXPECT_EQ(GetTextColor(dc) & 0xFFFFFF, c.rgb) << c.mode;
    EXPECT_EQ(GetBkColor(dc), c.mode == gxModeXor ? RGB(0, 0, 0) : RGB(255, 255, 255)) << c.mode;
  }
}

// A line drawn twice in exclusive-or mode leaves the surface as it was.
TEST_F(GxStateTest, XorLineTwiceRestoresThePixels) {
  HBITMAP bitmap;
  HDC dc = pushDevice(20, 6, &bitmap);
  gxSetDrawMode(gxModeXor);
  MoveToEx(dc, 0, 3, nullptr);
  LineTo(dc, 20, 3);
  EXPECT_EQ(plTestBitmapPixel(bitmap, 5, 3), RGB(0, 0, 0));
  MoveToEx(dc, 0, 3, nullptr);
  LineTo(dc, 20, 3);
  for (int x = 0; x < 20; x++) EXPECT_EQ(plTestBitmapPixel(bitmap, x, 3), RGB(255, 255, 255)) << x;
}

TEST_F(GxStateTest, AttributeQueries) {
  gxSetColor(12);
  gxSetDrawMode(gxModeOpaque);
  gxSetPenWidth(4);
  gxSetPenStyle(1);
  const int32_t expect[] = {12, 7, 3, 4, 1};
  for (int which = 0; which < 5; which++) {
    int32_t v = -1;
    EXPECT_EQ(gxGetAttr(which, &v), 0);
    EXPECT_EQ(v, expect[which]) << which;
  }
  int32_t v = 1234;
  EXPECT_EQ(gxGetAttr(5, &v), -8193);
  EXPECT_EQ(gxGetAttr(-1, &v), -8193);
  EXPECT_EQ(v, 1234);
  EXPECT_EQ(gxGetColor(), 12);
}

TEST_F(GxStateTest, ResetAttrsReturnsToTheDefaults) {
  HDC dc = pushDevice(4, 4, nullptr);
  gxSetColor(9);
  gxSetPenWidth(6);
  gxSetPenStyle(3);
  gxSetDrawMode(gxModeXor);
  gxSetFill(2);
  gxResetAttrs();
  int32_t v[5];
  for (int which = 0; which < 5; which++) gxGetAttr(which, &v[which]);
  EXPECT_EQ(v[0], 0);
  EXPECT_EQ(v[1], 7);
  EXPECT_EQ(v[2], 0);
  EXPECT_EQ(v[3], 1);
  EXPECT_EQ(v[4], 0);
  EXPECT_EQ(gx.fillKind, 0);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
}

TEST_F(GxStateTest, SetColorInvExchangesBackgroundAndForegroundWhileInverted) {
  gxTestColors::install();
  struct {
    int inverted, index, expect;
  } cases[] = {{0, 0, 0}, {0, 7, 7}, {1, 0, 7}, {1, 7, 0}, {1, 3, 3}};
  for (const auto& c : cases) {
    gxTestColors::inverted = c.inverted;
    gxSetColorInv(c.index);
    EXPECT_EQ(gxGetColor(), c.expect) << c.inverted << "/" << c.index;
  }
}

TEST_F(GxStateTest, FillKindsSelectTheirStockBrushes) {
  HDC dc = pushDevice(4, 4, nullptr);
  struct {
    int kind, stock;
  } cases[] = {{0, WHITE_BRUSH}, {2, GRAY_BRUSH}, {3, LTGRAY_BRUSH}, {1, BLACK_BRUSH}, {9, BLACK_BRUSH}};
  for (const auto& c : cases) {
    gxSetFill(c.kind);
    EXPECT_EQ(gx.fillKind, c.kind);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(c.stock)) << c.kind;
  }
}

// A pattern fill: an index beyond the table means entry 0, the brush is
// remade when the colour changes; with an empty table the fill is black.
TEST_F(GxStateTest, PatternFillUsesTheTableAndFollowsTheColour) {
  HDC dc = pushDevice(4, 4, nullptr);
  gxSetPatternFill(3);
  EXPECT_EQ(gx.fillKind, 0x8000);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(BLACK_BRUSH));

  const WORD rows[8] = {0xAA00, 0x5500, 0xAA00, 0x5500, 0xAA00, 0x5500, 0xAA00, 0x5500};
  gxPatternEntry entry{};
  entry.width = entry.height = 8;
  entry.bitmap = CreateBitmap(8, 8, 1, 1, rows);
  entry.colorIndex = -1;
  gx.patterns = &entry;  // the table is the primitives' to fill; one entry on loan
  gx.patternCount = 1;
  gxSetPatternFill(5);
  EXPECT_EQ(gx.fillKind, 0x8000);
  HBRUSH first = entry.brush;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), first);
  EXPECT_EQ(entry.colorIndex, 0);
  gxSetColor(0);  // same colour: the brush stays
  EXPECT_EQ(entry.brush, first);
  gxSetColor(4);  // another colour: remade and selected
  EXPECT_NE(entry.brush, nullptr);
  EXPECT_EQ(entry.colorIndex, 4);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), entry.brush);

  gxSetFill(0);
  DeleteObject(entry.brush);
  DeleteObject(entry.bitmap);
  gx.patterns = nullptr;
  gx.patternCount = 0;
}

TEST_F(GxStateTest, HookSlotsSwap) {
  EXPECT_EQ(gxSwapSlot(gxSlotSegment, 42), 0);
  EXPECT_EQ(gxGetSlot(gxSlotSegment), 42);
  EXPECT_EQ(gxSwapSlot(gxSlotSegment, 0), 42);
  EXPECT_EQ(gxSwapSlot(gxSlotCount, 7), 0);  // beyond the table: ignored
  EXPECT_EQ(gxGetSlot(gxSlotCount), 0);
}

TEST_F(GxStateTest, InitReadsTheScreenAndTermReleasesEverything) {
  EXPECT_TRUE(gx.lightBackground);
  EXPECT_TRUE(gx.colorDevice);
  EXPECT_NE(gx.gridPen, nullptr);
  EXPECT_FLOAT_EQ(gx.aspect, 1.0f);
  HDC dc = pushDevice(4, 4, nullptr);
  gxSetColor(3);
  gxStatePush();
  gxClipPush();
  gxTerm();
  EXPECT_EQ(gxPenCacheCount(), 0u);
  EXPECT_EQ(gx.gridPen, nullptr);
  EXPECT_EQ(gxWindowDepth(), 0u);
  EXPECT_EQ(gxStateLevel(), 0);
  EXPECT_EQ(gxClipLevel(), 0);
  EXPECT_EQ(gx.window, nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(HOLLOW_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(NULL_PEN));
}
