// Device colours of colour indices, the device kind, the cached brushes and
// the printer set-up block.
#include "gx_state_fixture.h"

#include "core/alloc.h"

#include <cstring>

TEST_F(GxStateTest, ColorRGBReadsTheEntryAndBoundsTheIndex) {
  gxTestColors::install();
  gxTestColors::entries = {{255, RGB(1, 2, 3)}, {0, RGB(4, 5, 6)}, {9, RGB(0xFF, 0x80, 0x00)}};
  struct {
    int index;
    COLORREF rgb;
  } cases[] = {
      {-5, 0x02000000 | RGB(1, 2, 3)},  {300, 0x02000000 | RGB(4, 5, 6)}, {256, 0x02000000 | RGB(4, 5, 6)},
      {255, 0x02000000 | RGB(1, 2, 3)}, {9, 0x020080FF},
  };
  for (const auto& c : cases) EXPECT_EQ(gdiColorRGB(nullptr, c.index), c.rgb) << c.index;
  gxTestColors::missing = true;
  EXPECT_EQ(gdiColorRGB(nullptr, 9), 0x02000000u);
}

TEST_F(GxStateTest, DefaultColorsAreWhiteBlackAndGrey) {
  EXPECT_EQ(gdiColorRGB(nullptr, 0) & 0xFFFFFF, RGB(255, 255, 255));
  EXPECT_EQ(gdiColorRGB(nullptr, 1) & 0xFFFFFF, RGB(0, 0, 0));
  EXPECT_EQ(gdiColorRGB(nullptr, 7) & 0xFFFFFF, RGB(128, 128, 128));
  EXPECT_EQ(gdiColorInverted(), 0);
}

TEST_F(GxStateTest, DeviceKindRebuildsTheTable) {
  gxTestColors::install();
  HDC mono = CreateCompatibleDC(nullptr);  // holds a 1-bit bitmap: 2 colours
  memoryDCs.push_back(mono);
  EXPECT_EQ(gdiSetDeviceKind(mono), 1);
  EXPECT_EQ(gxTestColors::rebuilt, 1);
  EXPECT_EQ(gdiSetDeviceKind(memoryDevice(2, 2, nullptr)), 0);
  EXPECT_EQ(gxTestColors::rebuilt, 0);
  gdiSetDeviceKind(mono);
  EXPECT_EQ(gdiSetDeviceKind(nullptr), 0);
  EXPECT_EQ(gxTestColors::rebuilt, 0);
}

TEST_F(GxStateTest, BrushesFollowTheInvertedSetting) {
  gxTestColors::install();
  EXPECT_EQ(gdiBackgroundBrush(), GetStockObject(WHITE_BRUSH));
  gxTestColors::inverted = 1;
  EXPECT_EQ(gdiBackgroundBrush(), GetStockObject(BLACK_BRUSH));
  gxTestColors::inverted = 0;
  EXPECT_EQ(gdiBackgroundBrush(), GetStockObject(WHITE_BRUSH));
  HBRUSH text = gdiTextBrush();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(gdiTextBrush(), text);
  LOGBRUSH lb{};
  ASSERT_NE(GetObjectA(text, sizeof(lb), &lb), 0);
  EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(GxStateTest, PrintSetupBlockIsCopiedInAndOut) {
  const char block[] = "printer set-up";
  printSetupSet(block, sizeof(block));
  char* out = uAlloc<char>(nullptr, nullptr, 2, 1);
  uint32_t length = 2;
  printSetupGet(reinterpret_cast<void**>(&out), &length);
  EXPECT_EQ(length, sizeof(block));
  EXPECT_EQ(std::memcmp(out, block, sizeof(block)), 0);
  printSetupSet(nullptr, 0);
  printSetupGet(reinterpret_cast<void**>(&out), &length);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(out, nullptr);
}
