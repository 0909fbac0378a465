// Raster rules: the sixteen ROP2 codes, what ignores them (SetPixel,
// FillRect), InvertRect, colours on 1-bpp surfaces, and clipping of every
// primitive.
#include "platform/gdi_fixture.h"

namespace {

using GdiRaster = GdiTest;

TEST_F(GdiRaster, EveryRop2CodeFollowsItsTruthTable) {
  // Pen 0x0F0F0F-ish bits against destination bits, per colour channel.
  const COLORREF pen = RGB(0xCC, 0xCC, 0xCC), dest = RGB(0xAA, 0xAA, 0xAA);
  const int expected[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                            0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  HPEN hpen = CreatePen(PS_SOLID, 1, pen);
  SelectObject(dc, hpen);
  for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
    SetPixel(dc, rop, 0, dest);
    SetROP2(dc, rop);
    MoveToEx(dc, rop, 0, nullptr);
    LineTo(dc, rop + 1, 0);
    SetROP2(dc, R2_COPYPEN);
    const int v = expected[rop - 1];
    EXPECT_EQ(at(rop, 0), RGB(v, v, v)) << "R2 code " << rop;
  }
  // The named codes the drawing layer uses.
  EXPECT_EQ(R2_XORPEN, 7);
  EXPECT_EQ(R2_COPYPEN, 13);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  SetROP2(dc, R2_XORPEN);
  EXPECT_EQ(GetROP2(dc), R2_XORPEN);
  EXPECT_EQ(SetROP2(dc, 0), 0);  // out of range: refused
  EXPECT_EQ(GetROP2(dc), R2_XORPEN);
}

TEST_F(GdiRaster, Rop2AppliesToShapeInteriorsButNotToSetPixelOrFillRect) {
  SetROP2(dc, R2_XORPEN);
  SelectObject(dc, GetStockObject(WHITE_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  Rectangle(dc, 0, 0, 4, 4);
  EXPECT_EQ(picture(0, 0, 4, 4), "####\n####\n####\n####\n");
  Ellipse(dc, 0, 0, 4, 4);
  EXPECT_EQ(at(1, 1), RGB(255, 255, 255));  // XORed back

  SetPixel(dc, 10, 10, RGB(255, 255, 255));
  EXPECT_EQ(at(10, 10), RGB(255, 255, 255));
  EXPECT_TRUE(SetPixelV(dc, 11, 10, RGB(1, 2, 3)));
  EXPECT_EQ(at(11, 10), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(dc, 11, 10), RGB(1, 2, 3));
  const RECT r{12, 10, 14, 11};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(picture(12, 10, 14, 11), "..\n");
}

TEST_F(GdiRaster, InvertRectInvertsEveryBit) {
  SetPixel(dc, 1, 1, RGB(0x12, 0x34, 0x56));
  const RECT r{0, 0, 2, 2};
  EXPECT_TRUE(InvertRect(dc, &r));
  EXPECT_EQ(at(1, 1), RGB(0xED, 0xCB, 0xA9));
  EXPECT_EQ(picture(0, 0, 3, 2), "##.\n#?.\n");
}

TEST_F(GdiRaster, ColoursIgnoreTheTopByte) {
  SetPixel(dc, 0, 0, 0x02000000 | RGB(10, 20, 30));
  EXPECT_EQ(at(0, 0), RGB(10, 20, 30));
  HBRUSH brush = CreateSolidBrush(PALETTERGB(40, 50, 60));
  const RECT r{1, 0, 2, 1};
  FillRect(dc, &r, brush);
  EXPECT_EQ(at(1, 0), RGB(40, 50, 60));
  DeleteObject(brush);
}

TEST_F(GdiRaster, MonochromeSurfacesTakeWhiteFromRGBSum384) {
  HDC mono = CreateCompatibleDC(dc);
  HBITMAP bits = CreateBitmap(8, 2, 1, 1, nullptr);
  SelectObject(mono, bits);
  const COLORREF colours[] = {RGB(128, 128, 128), RGB(128, 128, 127), RGB(255, 0, 129), RGB(255, 0, 128),
                              RGB(255, 255, 255), RGB(0, 0, 0)};
  const COLORREF results[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0),
                              RGB(255, 255, 255), RGB(0, 0, 0)};
  for (int i = 0; i < 6; ++i) {
    SetPixel(mono, i, 0, colours[i]);
    EXPECT_EQ(plTestBitmapPixel(bits, i, 0), results[i]) << i;
  }
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(200, 200, 0));
  SelectObject(mono, pen);
  MoveToEx(mono, 0, 1, nullptr);
  LineTo(mono, 8, 1);
  EXPECT_EQ(plTestBitmapPixel(bits, 7, 1), RGB(255, 255, 255));
  DeleteDC(mono);
  DeleteObject(bits);
  DeleteObject(pen);
}

// Each primitive once, all inside (4, 4) .. (20, 20).
void drawEverything(HDC dc) {
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  MoveToEx(dc, 4, 4, nullptr);
  LineTo(dc, 20, 20);
  Rectangle(dc, 4, 4, 20, 20);
  Ellipse(dc, 4, 4, 20, 20);
  Arc(dc, 4, 4, 20, 20, 0, 0, 0, 0);
  const POINT tri[] = {{4, 4}, {19, 4}, {4, 19}};
  Polygon(dc, tri, 3);
  const RECT r{4, 4, 20, 20};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  InvertRect(dc, &r);
  SetPixel(dc, 4, 4, RGB(1, 1, 1));
  HRGN rgn = CreateRectRgn(4, 4, 20, 20);
  FillRgn(dc, rgn, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DeleteObject(rgn);
}

TEST_F(GdiRaster, ClipRegionLimitsEveryPrimitive) {
  HRGN clip = CreateRectRgn(8, 8, 12, 12);
  EXPECT_EQ(SelectClipRgn(dc, clip), SIMPLEREGION);
  DeleteObject(clip);  // the DC keeps its own copy
  RECT box{};
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 8);
  EXPECT_EQ(box.bottom, 12);
  drawEverything(dc);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (x < 8 || x >= 12 || y < 8 || y >= 12) {
        EXPECT_EQ(at(x, y), RGB(255, 255, 255)) << x << "," << y;
      }
  EXPECT_GT(inked(), 0);

  // Removing the clip region lets drawing reach the whole surface again.
  SelectClipRgn(dc, nullptr);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, kSize);
  EXPECT_EQ(box.bottom, kSize);
  SetPixel(dc, 0, 0, RGB(0, 0, 0));
  EXPECT_EQ(at(0, 0), RGB(0, 0, 0));
}

TEST_F(GdiRaster, ClipBoxIsTheClipRegionWithinTheSurface) {
  HRGN clip = CreateRectRgn(-5, 20, 10, 40);
  SelectClipRgn(dc, clip);
  RECT box{};
  GetClipBox(dc, &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 20);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(box.bottom, kSize);
  // Two pieces make a complex region; drawing stays inside both.
  HRGN other = CreateRectRgn(15, 0, 20, 5);
  CombineRgn(clip, clip, other, RGN_OR);
  EXPECT_EQ(SelectClipRgn(dc, clip), COMPLEXREGION);
  RECT all{0, 0, kSize, kSize};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(inked(), 10 * 4 + 5 * 5);
  EXPECT_EQ(OffsetRgn(other, 2, 3), SIMPLEREGION);
  GetRgnBox(other, &box);
  EXPECT_EQ(box.left, 17);
  EXPECT_EQ(box.top, 3);
  EXPECT_TRUE(Escape(dc, SET_CLIP_BOX, sizeof(RECT), reinterpret_cast<LPCSTR>(&all), nullptr));
  DeleteObject(clip);
  DeleteObject(other);
}

TEST_F(GdiRaster, ScrollDcMovesPixelsAndReportsTheUncoveredArea) {
  SetPixel(dc, 5, 5, RGB(0, 0, 0));
  const RECT scroll{0, 0, 10, 10};
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  RECT uncovered{};
  EXPECT_TRUE(ScrollDC(dc, 0, -2, &scroll, &scroll, update, &uncovered));
  EXPECT_EQ(at(5, 3), RGB(0, 0, 0));
  EXPECT_EQ(at(5, 5), RGB(255, 255, 255));
  EXPECT_EQ(uncovered.top, 8);
  EXPECT_EQ(uncovered.bottom, 10);
  EXPECT_EQ(uncovered.left, 0);
  EXPECT_EQ(uncovered.right, 10);
  RECT box{};
  EXPECT_EQ(GetRgnBox(update, &box), SIMPLEREGION);
  EXPECT_EQ(box.top, 8);
  DeleteObject(update);
}

}  // namespace
