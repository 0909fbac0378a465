// The GDI call log is a test facility: a program that never resets the
// layer keeps none, however much it draws; a reset or a clear starts it.
#include <windows.h>

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Draws a thousand lines on a memory DC; answers how many calls the log
// holds afterwards.
size_t drawAndCount() {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 64, 64);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int i = 0; i < 1000; ++i) {
    MoveToEx(dc, 0, i % 64, nullptr);
    LineTo(dc, 63, (i * 7) % 64);
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return plTestGdiCalls().size();
}

TEST(GdiLog, KeptOnlyAfterTheLayerIsResetOrTheLogCleared) {
  // A fresh process stands for the program: nothing has reset the layer.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(drawAndCount() == 0 ? 0 : 1), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        plTestClearGdiCalls();
        std::exit(drawAndCount() == 2000 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  plTestReset();
  EXPECT_EQ(drawAndCount(), 2000u);
  plTestReset();
}

}  // namespace
