// Blits: ternary raster operations by their truth tables on colour and
// monochrome surfaces, the conversions between monochrome and colour, pattern
// brushes aligned to the device origin, stretching, clipping, and the calls
// refused.
#include "platform/gdi_fixture.h"

#include <cstdint>
#include <vector>

namespace {

using GdiBlit = GdiTest;

// The codes the drawing layer uses and a few more; the truth table byte is
// the result for pattern 0xF0, source 0xCC and destination 0xAA.
struct RopCase {
  const char* name;
  DWORD rop;
  int (*result)(int p, int s, int d);
};
const RopCase kRops[] = {
    {"SRCAND", SRCAND, [](int, int s, int d) { return s & d; }},
    {"SRCPAINT", SRCPAINT, [](int, int s, int d) { return s | d; }},
    {"SRCINVERT", SRCINVERT, [](int, int s, int d) { return s ^ d; }},
    {"SRCCOPY", SRCCOPY, [](int, int s, int) { return s; }},
    {"MERGEPAINT", MERGEPAINT, [](int, int s, int d) { return ~s | d; }},
    {"not S xor D", 0x990066, [](int, int s, int d) { return ~(s ^ d); }},
    {"D xor (P and S)", 0x006A01E9, [](int p, int s, int d) { return d ^ (p & s); }},
    {"DSTINVERT", DSTINVERT, [](int, int, int d) { return ~d; }},
    {"WHITENESS", WHITENESS, [](int, int, int) { return 0xFF; }},
    {"BLACKNESS", BLACKNESS, [](int, int, int) { return 0; }},
    {"PATCOPY", PATCOPY, [](int p, int, int) { return p; }},
    {"PATINVERT", PATINVERT, [](int p, int, int d) { return p ^ d; }},
    {"MERGECOPY", MERGECOPY, [](int p, int s, int) { return p & s; }},
    {"NOTSRCCOPY", NOTSRCCOPY, [](int, int s, int) { return ~s; }},
};

int truthByte(const RopCase& c) { return c.result(0xF0, 0xCC, 0xAA) & 0xFF; }

bool readsSource(DWORD rop) {
  const int code = (rop >> 16) & 0xFF;
  return ((code >> 2) ^ code) & 0x33;
}

// A 1-bpp bitmap of one row of eight pixels (bit 7 is the leftmost).
HBITMAP monoRow(uint8_t bits) {
  const uint8_t row[2] = {bits, 0};
  return CreateBitmap(8, 1, 1, 1, row);
}

// The bits of a 1-bpp row as read back: white is 1.
int rowBits(HBITMAP bitmap) {
  int bits = 0;
  for (int x = 0; x < 8; ++x) bits = bits << 1 | (plTestBitmapPixel(bitmap, x, 0) == RGB(255, 255, 255));
  return bits;
}

TEST(GdiRopTable, KnownCodesCarryTheirTruthTables) {
  for (const RopCase& c : kRops) EXPECT_EQ(static_cast<int>((c.rop >> 16) & 0xFF), truthByte(c)) << c.name;
}

TEST_F(GdiBlit, TernaryOperationsOnColourFollowTheirTruthTablesPerBit) {
  // Every colour bit meets all eight P, S, D combinations: each channel of
  // the result equals the truth table byte.
  HDC src = CreateCompatibleDC(dc);
  HBITMAP srcBitmap = makeBitmap(4, 4);
  SelectObject(src, srcBitmap);
  RECT four{0, 0, 4, 4};
  HBRUSH sBrush = CreateSolidBrush(RGB(0xCC, 0xCC, 0xCC));
  HBRUSH dBrush = CreateSolidBrush(RGB(0xAA, 0xAA, 0xAA));
  HBRUSH pBrush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
  FillRect(src, &four, sBrush);
  SelectObject(dc, pBrush);
  SetROP2(dc, R2_XORPEN);  // blits ignore it
  for (const RopCase& c : kRops) {
    RECT box{2, 2, 6, 5};
    FillRect(dc, &box, dBrush);
    ASSERT_TRUE(BitBlt(dc, 2, 2, 4, 3, src, 0, 0, c.rop)) << c.name;
    const int v = truthByte(c);
    EXPECT_EQ(at(2, 2), RGB(v, v, v)) << c.name;
    EXPECT_EQ(at(5, 4), RGB(v, v, v)) << c.name;
    EXPECT_EQ(at(6, 4), RGB(255, 255, 255)) << c.name << ": outside the rectangle";
    EXPECT_EQ(at(5, 5), RGB(255, 255, 255)) << c.name << ": outside the rectangle";
    if (readsSource(c.rop)) continue;
    // Without a source, PatBlt does the same.
    FillRect(dc, &box, dBrush);
    ASSERT_TRUE(PatBlt(dc, 2, 2, 4, 3, c.rop)) << c.name;
    EXPECT_EQ(at(3, 3), RGB(v, v, v)) << c.name;
  }
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  DeleteDC(src);
  DeleteObject(srcBitmap);
  for (HBRUSH b : {sBrush, dBrush, pBrush}) DeleteObject(b);
}

TEST_F(GdiBlit, TernaryOperationsOnMonochromeFollowTheirTruthTablesPerPixel) {
  // Eight pixels in a row carry the eight P, S, D combinations, so the row
  // read back is the truth table byte. A pattern brush on a 1-bpp surface
  // gives its bits as they are (text colour black, background white).
  HDC src = CreateCompatibleDC(nullptr);
  HBITMAP srcBitmap = monoRow(0xCC);
  SelectObject(src, srcBitmap);
  HDC dst = CreateCompatibleDC(nullptr);
  HBITMAP patternBitmap = monoRow(0xF0);
  HBRUSH pattern = CreatePatternBrush(patternBitmap);
  ASSERT_NE(pattern, nullptr);
  SelectObject(dst, pattern);
  for (const RopCase& c : kRops) {
    HBITMAP dstBitmap = monoRow(0xAA);
    HGDIOBJ old = SelectObject(dst, dstBitmap);
    ASSERT_TRUE(BitBlt(dst, 0, 0, 8, 1, src, 0, 0, c.rop)) << c.name;
    EXPECT_EQ(rowBits(dstBitmap), truthByte(c)) << c.name;
    SelectObject(dst, old);
    DeleteObject(dstBitmap);
  }
  DeleteDC(src);
  DeleteDC(dst);
  DeleteObject(srcBitmap);
  DeleteObject(pattern);
  DeleteObject(patternBitmap);
}

TEST_F(GdiBlit, MonochromeSourceTakesTheDestinationsTextAndBackgroundColours) {
  HDC src = CreateCompatibleDC(nullptr);
  HBITMAP mono = monoRow(0xF0);
  SelectObject(src, mono);
  SetTextColor(src, RGB(0, 255, 0));  // the source DC's colours play no part
  SetBkColor(src, RGB(255, 0, 255));
  SetTextColor(dc, RGB(255, 0, 0));
  SetBkColor(dc, RGB(0, 0, 255));
  ASSERT_TRUE(BitBlt(dc, 1, 1, 8, 1, src, 0, 0, SRCCOPY));
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(at(1 + x, 1), x < 4 ? RGB(0, 0, 255) : RGB(255, 0, 0)) << "pixel " << x;
  // The converted source takes part in the operation like any colour source.
  ASSERT_TRUE(BitBlt(dc, 1, 1, 8, 1, src, 0, 0, SRCINVERT));
  EXPECT_EQ(at(1, 1), RGB(0, 0, 0));
  EXPECT_EQ(at(8, 1), RGB(0, 0, 0));
  DeleteDC(src);
  DeleteObject(mono);
}

TEST_F(GdiBlit, ColourSourceGivesOneWhereItEqualsTheSourceBackground) {
  const COLORREF row[4] = {RGB(0, 128, 0), RGB(255, 0, 0), RGB(255, 255, 255), RGB(0, 128, 0)};
  for (int x = 0; x < 4; ++x) SetPixel(dc, x, 0, row[x]);
  SetBkColor(dc, RGB(0, 128, 0));
  HDC dst = CreateCompatibleDC(nullptr);
  HBITMAP mono = CreateBitmap(4, 1, 1, 1, nullptr);
  SelectObject(dst, mono);
  SetBkColor(dst, RGB(255, 0, 0));  // the destination DC's background plays no part
  ASSERT_TRUE(BitBlt(dst, 0, 0, 4, 1, dc, 0, 0, SRCCOPY));
  const COLORREF expected[4] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255)};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(plTestBitmapPixel(mono, x, 0), expected[x]) << "pixel " << x;
  DeleteDC(dst);
  DeleteObject(mono);
}

TEST_F(GdiBlit, PatternBrushIsAlignedToTheDeviceOriginAndColouredWhenDrawn) {
  // A 2x2 checker: bit 1 at (0, 0) and (1, 1).
  const uint8_t bits[4] = {0x80, 0, 0x40, 0};
  HBITMAP checker = CreateBitmap(2, 2, 1, 1, bits);
  HBRUSH brush = CreatePatternBrush(checker);
  DeleteObject(checker);  // the brush keeps its own copy
  SelectObject(dc, brush);
  SetTextColor(dc, RGB(255, 0, 0));  // set after the brush was made
  SetBkColor(dc, RGB(0, 0, 255));
  SetViewportOrgEx(dc, 1, 0, nullptr);  // moves the drawing, not the pattern
  ASSERT_TRUE(PatBlt(dc, 2, 3, 5, 4, PATCOPY));
  SetViewportOrgEx(dc, 0, 0, nullptr);
  for (int y = 3; y < 7; ++y)
    for (int x = 3; x < 8; ++x)
      EXPECT_EQ(at(x, y), (x + y) % 2 == 0 ? RGB(0, 0, 255) : RGB(255, 0, 0)) << x << "," << y;
  EXPECT_EQ(at(2, 3), RGB(255, 255, 255));
  EXPECT_EQ(at(8, 3), RGB(255, 255, 255));

  // Other brush painting uses the same alignment.
  RECT r{10, 10, 13, 12};
  FillRect(dc, &r, brush);
  EXPECT_EQ(at(10, 10), RGB(0, 0, 255));
  EXPECT_EQ(at(11, 10), RGB(255, 0, 0));
  EXPECT_EQ(at(11, 11), RGB(0, 0, 255));

  // A pattern combined with the destination: with P xor D on white, the
  // white (1) bits of a black and white pattern turn black.
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  RECT band{0, 20, 4, 21};
  FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ASSERT_TRUE(PatBlt(dc, 0, 20, 4, 1, PATINVERT));
  EXPECT_EQ(picture(0, 20, 4, 21), "#.#.\n");
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
}

TEST_F(GdiBlit, NullBrushLeavesPatternOperationsUndone) {
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  ASSERT_TRUE(PatBlt(dc, 0, 0, 4, 4, PATCOPY));
  EXPECT_EQ(inked(), 0);
  ASSERT_TRUE(PatBlt(dc, 0, 0, 2, 2, BLACKNESS));  // no pattern read
  EXPECT_EQ(inked(), 4);
}

TEST_F(GdiBlit, BlitsDrawOnlyInsideTheDestinationClipRegion) {
  HRGN clip = CreateRectRgn(2, 2, 4, 4);
  SelectClipRgn(dc, clip);
  DeleteObject(clip);
  ASSERT_TRUE(PatBlt(dc, 0, 0, 6, 6, BLACKNESS));
  EXPECT_EQ(picture(0, 0, 6, 6), "......\n......\n..##..\n..##..\n......\n......\n");
  SelectClipRgn(dc, nullptr);
}

TEST_F(GdiBlit, StretchBltTakesTheNearestSourcePixelAndMirrors) {
  HDC src = CreateCompatibleDC(nullptr);
  HBITMAP mono = monoRow(0x60);  // bits 0110 0000
  SelectObject(src, mono);
  // Doubling the first four pixels.
  ASSERT_TRUE(StretchBlt(dc, 0, 0, 8, 2, src, 0, 0, 4, 1, SRCCOPY));
  // 1 bits take the background colour (white), 0 bits the text colour (black).
  EXPECT_EQ(picture(0, 0, 8, 2), "##....##\n##....##\n");
  // Shrinking by two keeps every other source pixel.
  ASSERT_TRUE(StretchBlt(dc, 0, 3, 4, 1, src, 0, 0, 8, 1, SRCCOPY));
  EXPECT_EQ(picture(0, 3, 4, 4), ".###\n");
  // A negative destination width mirrors: 0110 0000 reversed is 0000 0110.
  ASSERT_TRUE(StretchBlt(dc, 8, 5, -8, 1, src, 0, 0, 8, 1, SRCCOPY));
  EXPECT_EQ(picture(0, 5, 8, 6), "#####..#\n");
  DeleteDC(src);
  DeleteObject(mono);
}

TEST_F(GdiBlit, BlitWithinOneSurfaceReadsThePixelsFromBeforeIt) {
  for (int x = 0; x < 4; ++x) SetPixel(dc, x, 0, x % 2 ? RGB(0, 0, 0) : RGB(255, 255, 255));
  ASSERT_TRUE(BitBlt(dc, 1, 0, 4, 1, dc, 0, 0, SRCCOPY));
  EXPECT_EQ(picture(0, 0, 5, 1), "..#.#\n");
}

TEST_F(GdiBlit, SourcePixelsOutsideTheSourceLeaveTheDestination) {
  HDC src = CreateCompatibleDC(nullptr);
  HBITMAP black = CreateBitmap(2, 2, 1, 1, nullptr);  // all 0: the text colour
  SelectObject(src, black);
  ASSERT_TRUE(BitBlt(dc, 0, 0, 4, 4, src, -1, -1, SRCCOPY));
  EXPECT_EQ(picture(0, 0, 4, 4), "....\n.##.\n.##.\n....\n");
  DeleteDC(src);
  DeleteObject(black);
}

TEST_F(GdiBlit, RefusedCallsAndTheLog) {
  EXPECT_FALSE(BitBlt(dc, 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));  // a source operation needs a source
  EXPECT_FALSE(PatBlt(dc, 0, 0, 4, 4, SRCCOPY));
  EXPECT_FALSE(PatBlt(nullptr, 0, 0, 4, 4, PATCOPY));
  EXPECT_FALSE(StretchBlt(nullptr, 0, 0, 4, 4, dc, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(CreatePatternBrush(nullptr), nullptr);
  EXPECT_EQ(inked(), 0);
  EXPECT_TRUE(BitBlt(dc, 0, 0, 4, 4, nullptr, 0, 0, WHITENESS));  // no source read: none needed
  EXPECT_TRUE(PatBlt(dc, 0, 0, 0, 4, BLACKNESS));                  // empty: nothing to do
  EXPECT_EQ(inked(), 0);
  ASSERT_EQ(plTestGdiCallCount("BitBlt"), 2);
  ASSERT_EQ(plTestGdiCallCount("PatBlt"), 3);
  EXPECT_EQ(plTestGdiCalls().back().name, "PatBlt");
  EXPECT_EQ(plTestGdiCalls().back().args, (std::vector<long long>{0, 0, 0, 4, BLACKNESS}));
}

TEST_F(GdiBlit, NegativePatBltExtentsCoverTheRectangleBeforeTheCorner) {
  ASSERT_TRUE(PatBlt(dc, 4, 3, -2, -2, BLACKNESS));
  EXPECT_EQ(picture(0, 0, 5, 4), ".....\n..##.\n..##.\n.....\n");
}

}  // namespace
