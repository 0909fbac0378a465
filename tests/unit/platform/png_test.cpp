// PNG files: buffers, bitmaps and window client areas written and read back
// pixel for pixel, and the failures answered.
#include "platform/fixture.h"
#include "scratch_dir.h"

#include <vector>

namespace {

class PngTest : public ScratchDirTest {
 protected:
  PngTest() : ScratchDirTest("plumet-png-") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    plTestReset();
  }
  void TearDown() override {
    plTestReset();
    ScratchDirTest::TearDown();
  }
};

// Every channel value and mixed colours, on an odd size.
std::vector<COLORREF> samplePixels(int width, int height) {
  std::vector<COLORREF> pixels;
  for (int i = 0; i < width * height; ++i)
    pixels.push_back(RGB((i * 37) & 0xFF, (i * 91 + 3) & 0xFF, (255 - i * 13) & 0xFF));
  return pixels;
}

TEST_F(PngTest, BufferReadsBackUnchanged) {
  const std::vector<COLORREF> pixels = samplePixels(7, 5);
  ASSERT_TRUE(plTestWritePng(path("a.png"), 7, 5, pixels));
  EXPECT_EQ(read("a.png").substr(1, 3), "PNG");
  int width = 0, height = 0;
  std::vector<COLORREF> back;
  ASSERT_TRUE(plTestReadPng(path("a.png"), &width, &height, &back));
  EXPECT_EQ(width, 7);
  EXPECT_EQ(height, 5);
  EXPECT_EQ(back, pixels);
}

TEST_F(PngTest, BitmapsOfBothDepthsReadBackAsTheirPixels) {
  HDC dc = CreateCompatibleDC(nullptr);
  const uint8_t bits[4] = {0xA0, 0, 0x50, 0};  // 1010 / 0101
  HBITMAP mono = CreateBitmap(4, 2, 1, 1, bits);
  HBITMAP colour = CreateBitmap(5, 3, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, colour);
  SetPixel(dc, 0, 0, RGB(255, 0, 0));
  SetPixel(dc, 4, 2, RGB(1, 2, 3));
  SelectObject(dc, old);
  for (HBITMAP bitmap : {mono, colour}) {
    ASSERT_TRUE(plTestWriteBitmapPng(bitmap, path("b.png")));
    int width = 0, height = 0;
    std::vector<COLORREF> back;
    ASSERT_TRUE(plTestReadPng(path("b.png"), &width, &height, &back));
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    ASSERT_EQ(width, info.bmWidth);
    ASSERT_EQ(height, info.bmHeight);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        EXPECT_EQ(back[y * width + x], plTestBitmapPixel(bitmap, x, y)) << x << "," << y;
  }
  EXPECT_EQ(plTestBitmapPixel(mono, 0, 0), RGB(255, 255, 255));
  DeleteDC(dc);
}

TEST_F(PngTest, WindowClientAreaReadsBackAsItsPixels) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "PngTestWindow";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND window = CreateWindowExA(0, "PngTestWindow", "", WS_POPUP, 0, 0, 9, 6, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  HDC dc = GetDC(window);
  RECT r{2, 1, 5, 4};
  HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
  FillRect(dc, &r, brush);
  ReleaseDC(window, dc);
  DeleteObject(brush);

  ASSERT_TRUE(plTestWriteWindowPng(window, path("w.png")));
  int width = 0, height = 0;
  std::vector<COLORREF> back;
  ASSERT_TRUE(plTestReadPng(path("w.png"), &width, &height, &back));
  RECT client{};
  GetClientRect(window, &client);
  ASSERT_EQ(width, client.right);
  ASSERT_EQ(height, client.bottom);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      EXPECT_EQ(back[y * width + x], plTestWindowPixel(window, x, y)) << x << "," << y;
  EXPECT_EQ(back[1 * width + 2], RGB(10, 200, 30));
}

TEST_F(PngTest, FailuresAnswerFalse) {
  const std::vector<COLORREF> pixels = samplePixels(2, 2);
  EXPECT_FALSE(plTestWritePng(path("x.png"), 3, 2, pixels));  // size and buffer disagree
  EXPECT_FALSE(plTestWritePng(path("x.png"), 0, 0, {}));
  EXPECT_FALSE(plTestWritePng(path("no-such-dir/x.png"), 2, 2, pixels));
  EXPECT_FALSE(plTestWriteBitmapPng(nullptr, path("x.png")));
  EXPECT_FALSE(plTestWriteWindowPng(nullptr, path("x.png")));
  int width = -1;
  std::vector<COLORREF> back;
  EXPECT_FALSE(plTestReadPng(path("missing.png"), &width, nullptr, &back));
  write("text.png", "not a picture");
  EXPECT_FALSE(plTestReadPng(path("text.png"), &width, nullptr, &back));
  EXPECT_EQ(width, -1);
}

}  // namespace
