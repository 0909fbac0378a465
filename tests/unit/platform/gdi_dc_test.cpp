// Device contexts and objects: window DCs (kept state with CS_OWNDC, defaults
// otherwise), memory DCs and their bitmaps, DIB sections, stock objects,
// device capabilities and the system colours.
#include "platform/fixture.h"

#include <cstring>

namespace {

class GdiDc : public PlatformTest {
 protected:
  HWND makeWindow(const char* cls, UINT style) {
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, "w", WS_OVERLAPPED, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
  }
};

// Changes every attribute a DC keeps away from its default.
void changeState(HDC dc, HPEN pen, HBRUSH brush) {
  SelectObject(dc, pen);
  SelectObject(dc, brush);
  SetROP2(dc, R2_XORPEN);
  SetBkMode(dc, TRANSPARENT);
  SetBkColor(dc, RGB(1, 2, 3));
  SetTextColor(dc, RGB(4, 5, 6));
  HRGN clip = CreateRectRgn(1, 1, 5, 5);
  SelectClipRgn(dc, clip);
  DeleteObject(clip);
}

TEST_F(GdiDc, OwnDcKeepsItsStateAcrossReleaseDc) {
  HWND own = makeWindow("GdiOwn", CS_OWNDC | CS_DBLCLKS);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
  HDC dc = GetDC(own);
  ASSERT_NE(dc, nullptr);
  changeState(dc, pen, brush);
  EXPECT_EQ(ReleaseDC(own, dc), 1);
  HDC again = GetDC(own);
  EXPECT_EQ(again, dc);
  EXPECT_EQ(GetCurrentObject(again, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(again, OBJ_BRUSH), brush);
  EXPECT_EQ(GetROP2(again), R2_XORPEN);
  EXPECT_EQ(GetBkMode(again), TRANSPARENT);
  EXPECT_EQ(GetBkColor(again), RGB(1, 2, 3));
  EXPECT_EQ(GetTextColor(again), RGB(4, 5, 6));
  RECT box{};
  GetClipBox(again, &box);
  EXPECT_EQ(box.right, 5);
  ReleaseDC(own, again);
  // The kept DC holds them, so they cannot be deleted yet.
  EXPECT_FALSE(DeleteObject(pen));
}

TEST_F(GdiDc, PlainWindowDcStartsFromTheDefaults) {
  HWND plain = makeWindow("GdiPlain", CS_DBLCLKS);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
  HDC dc = GetDC(plain);
  changeState(dc, pen, brush);
  ReleaseDC(plain, dc);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  HDC fresh = GetDC(plain);
  EXPECT_EQ(GetCurrentObject(fresh, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(fresh, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(fresh, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetROP2(fresh), R2_COPYPEN);
  EXPECT_EQ(GetBkMode(fresh), OPAQUE);
  EXPECT_EQ(GetBkColor(fresh), RGB(255, 255, 255));
  EXPECT_EQ(GetTextColor(fresh), RGB(0, 0, 0));
  EXPECT_EQ(GetMapMode(fresh), MM_TEXT);
  EXPECT_EQ(GetPolyFillMode(fresh), ALTERNATE);
  RECT box{};
  EXPECT_EQ(GetClipBox(fresh, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 40);
  EXPECT_EQ(box.bottom, 30);
  ReleaseDC(plain, fresh);
}

TEST_F(GdiDc, WindowDcDrawsIntoTheClientBuffer) {
  HWND w = makeWindow("GdiDraw", 0);
  EXPECT_EQ(plTestWindowPixel(w, 3, 3), RGB(255, 255, 255));
  HDC dc = GetDC(w);
  SetPixel(dc, 3, 3, RGB(9, 8, 7));
  // Origins move logical coordinates on the device.
  SetViewportOrgEx(dc, 10, 0, nullptr);
  SetWindowOrgEx(dc, 0, -5, nullptr);
  SetPixel(dc, 0, 0, RGB(0, 0, 0));
  ReleaseDC(w, dc);
  EXPECT_EQ(plTestWindowPixel(w, 3, 3), RGB(9, 8, 7));
  EXPECT_EQ(plTestWindowPixel(w, 10, 5), RGB(0, 0, 0));
  EXPECT_EQ(plTestWindowPixel(w, 40, 0), CLR_INVALID);
  EXPECT_EQ(plTestWindowPixel(nullptr, 0, 0), CLR_INVALID);
}

TEST_F(GdiDc, MemoryDcStartsWithAOneByOneMonochromeBitmap) {
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ initial = GetCurrentObject(mem, OBJ_BITMAP);
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(initial, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(GetDeviceCaps(mem, NUMCOLORS), 2);
  EXPECT_EQ(GetDeviceCaps(mem, BITSPIXEL), 1);
  // A bitmap compatible with it is monochrome too; with a colour one it is colour.
  HBITMAP monoBm = CreateCompatibleBitmap(mem, 4, 4);
  GetObjectA(monoBm, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateCompatibleBitmap(screen, 5, 3);
  GetObjectA(colour, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(bm.bmWidthBytes, 20);
  EXPECT_EQ(SelectObject(mem, colour), initial);
  EXPECT_EQ(GetDeviceCaps(mem, NUMCOLORS), -1);
  // A bitmap is selected into one DC at a time and is not deleted while there.
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, colour), nullptr);
  EXPECT_FALSE(DeleteObject(colour));
  EXPECT_TRUE(DeleteDC(mem));
  EXPECT_TRUE(DeleteObject(colour));
  DeleteDC(other);
  DeleteObject(monoBm);
  ReleaseDC(nullptr, screen);
}

TEST_F(GdiDc, ScreenCapsGiveNinetySixDotsPerInch) {
  HDC screen = GetDC(nullptr);
  const int width = GetDeviceCaps(screen, HORZRES), mm = GetDeviceCaps(screen, HORZSIZE);
  const int height = GetDeviceCaps(screen, VERTRES), vmm = GetDeviceCaps(screen, VERTSIZE);
  EXPECT_EQ(width * 254, 96 * mm * 10);
  EXPECT_EQ(height * 254, 96 * vmm * 10);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), -1);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
}

TEST_F(GdiDc, StockObjectsAreFixedAndNeverDeleted) {
  struct Stock {
    int index;
    DWORD type;
  };
  const Stock stocks[] = {{WHITE_BRUSH, OBJ_BRUSH}, {LTGRAY_BRUSH, OBJ_BRUSH}, {GRAY_BRUSH, OBJ_BRUSH},
                          {BLACK_BRUSH, OBJ_BRUSH}, {NULL_BRUSH, OBJ_BRUSH},   {WHITE_PEN, OBJ_PEN},
                          {BLACK_PEN, OBJ_PEN},     {NULL_PEN, OBJ_PEN},       {ANSI_FIXED_FONT, OBJ_FONT},
                          {ANSI_VAR_FONT, OBJ_FONT}, {SYSTEM_FONT, OBJ_FONT},  {SYSTEM_FIXED_FONT, OBJ_FONT}};
  for (const Stock& s : stocks) {
    HGDIOBJ h = GetStockObject(s.index);
    ASSERT_NE(h, nullptr) << s.index;
    EXPECT_EQ(GetStockObject(s.index), h);
    EXPECT_EQ(GetObjectType(h), s.type) << s.index;
    EXPECT_TRUE(DeleteObject(h));
    EXPECT_EQ(GetObjectType(h), s.type) << s.index;
  }
  LOGBRUSH lb{};
  GetObjectA(GetStockObject(LTGRAY_BRUSH), sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGB(0xC0, 0xC0, 0xC0));
  GetObjectA(GetStockObject(GRAY_BRUSH), sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGB(0x80, 0x80, 0x80));
  EXPECT_EQ(GetStockObject(9), nullptr);
  HPEN pen = CreatePen(PS_DOT, -2, RGB(1, 2, 3));
  LOGPEN lp{};
  EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DOT));
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST_F(GdiDc, CreateBitmapReadsWordAlignedMonochromeRows) {
  // 3 x 2: each row is one WORD; 1 bits are white.
  const unsigned char bits[] = {0xA0, 0x00, 0x40, 0x00};
  HBITMAP bm = CreateBitmap(3, 2, 1, 1, bits);
  ASSERT_NE(bm, nullptr);
  const COLORREF w = RGB(255, 255, 255), k = RGB(0, 0, 0);
  EXPECT_EQ(plTestBitmapPixel(bm, 0, 0), w);
  EXPECT_EQ(plTestBitmapPixel(bm, 1, 0), k);
  EXPECT_EQ(plTestBitmapPixel(bm, 2, 0), w);
  EXPECT_EQ(plTestBitmapPixel(bm, 0, 1), k);
  EXPECT_EQ(plTestBitmapPixel(bm, 1, 1), w);
  EXPECT_EQ(plTestBitmapPixel(bm, 3, 0), CLR_INVALID);
  BITMAP info{};
  GetObjectA(bm, sizeof info, &info);
  EXPECT_EQ(info.bmWidthBytes, 2);
  EXPECT_EQ(info.bmBits, nullptr);
  EXPECT_EQ(CreateBitmap(3, 2, 1, 8, nullptr), nullptr);  // depths other than 1 and 32
  DeleteObject(bm);
}

TEST_F(GdiDc, DibSectionRowOrderFollowsTheHeightSign) {
  for (LONG height : {2L, -2L}) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* raw = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    ASSERT_NE(raw, nullptr);
    HDC mem = CreateCompatibleDC(nullptr);
    SelectObject(mem, bm);
    SetPixel(mem, 1, 0, RGB(0x11, 0x22, 0x33));  // top row, right pixel
    const auto* px = static_cast<const uint32_t*>(raw);
    const int index = height > 0 ? 3 : 1;  // bottom-up stores the top row last
    EXPECT_EQ(px[index], 0x112233u) << height;
    BITMAP b{};
    GetObjectA(bm, sizeof b, &b);
    EXPECT_EQ(b.bmBits, raw);
    EXPECT_EQ(b.bmHeight, 2);
    DeleteDC(mem);
    DeleteObject(bm);
  }
}

}  // namespace
