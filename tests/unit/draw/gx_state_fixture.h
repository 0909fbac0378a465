// A fresh drawing layer for each test: the platform reset, the layer and
// its resources released and started again, panics caught as texts, and
// helpers for a 32-bit memory device pushed as the current window and for
// a headless own-DC window.
#ifndef PLUMET_TESTS_VIEWS_GX_STATE_FIXTURE_H
#define PLUMET_TESTS_VIEWS_GX_STATE_FIXTURE_H

#include "core/debug.h"
#include "draw/gdi.h"
#include "draw/gx.h"
#include "platform/gdi_fixture.h"

#include <gtest/gtest.h>
#include <platform_test.h>
#include <windows.h>

#include <string>
#include <vector>

inline std::vector<std::string>& gxTestPanics() {
  static std::vector<std::string> panics;
  return panics;
}

inline intptr_t gxTestCatchPanic(const char* text) {
  gxTestPanics().push_back(text);
  return 1;  // taken: no box
}

// The platform tests' 32-bit DIB section maker.
struct gxTestDib : GdiTest {
  using GdiTest::makeBitmap;
};

class GxStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plTestReset();
    gxTerm();
    gdiTerm();
    gdiSetColorHooks(nullptr);
    gxTestPanics().clear();
    dbgHooks hooks{};
    hooks.offerPanic = gxTestCatchPanic;
    dbgSetHooks(hooks);
    gxInit();
    gdiInit();
  }

  void TearDown() override {
    gxTerm();
    gdiTerm();
    gdiSetColorHooks(nullptr);
    for (HDC dc : memoryDCs) DeleteDC(dc);
    dbgSetHooks(dbgHooks{});
    plTestReset();
  }

  // A width x height 32-bit memory device filled white; bitmap receives its
  // surface for plTestBitmapPixel.
  HDC memoryDevice(int width, int height, HBITMAP* bitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP b = gxTestDib::makeBitmap(width, height);
    SelectObject(dc, b);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    memoryDCs.push_back(dc);
    if (bitmap) *bitmap = b;
    return dc;
  }

  // Pushes a fresh 75 dpi memory device (scale exponent 0).
  HDC pushDevice(int width, int height, HBITMAP* bitmap) {
    HDC dc = memoryDevice(width, height, bitmap);
    const double dpi[2] = {75, 75};
    const RECT rect{0, 0, width, height};
    gxWindowPush(dc, dpi, &rect);
    return dc;
  }

  // A visible window of a CS_OWNDC class.
  HWND ownDCWindow(int width = 100, int height = 80) {
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "gxtestwin";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "gxtestwin", "t", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                           nullptr, nullptr);
  }

  std::vector<HDC> memoryDCs;
};

// Colour-table stand-in: entries set by the tests, 0 white, 1 black and
// the rest grey otherwise; an inverted flag; the last rebuild kind.
struct gxTestColors {
  static inline std::vector<std::pair<int, COLORREF>> entries;
  static inline int inverted = 0;
  static inline int rebuilt = -1;
  static inline bool missing = false;

  static bool entry(int index, uint16_t rgb[3]) {
    if (missing) return false;
    COLORREF c = index == 0 ? RGB(255, 255, 255) : index == 1 ? RGB(0, 0, 0) : RGB(128, 128, 128);
    for (auto& e : entries)
      if (e.first == index) c = e.second;
    rgb[0] = static_cast<uint16_t>(GetRValue(c) << 8 | GetRValue(c));
    rgb[1] = static_cast<uint16_t>(GetGValue(c) << 8 | GetGValue(c));
    rgb[2] = static_cast<uint16_t>(GetBValue(c) << 8 | GetBValue(c));
    return true;
  }
  static int isInverted() { return inverted; }
  static void rebuild(int monochrome) { rebuilt = monochrome; }

  static void install() {
    entries.clear();
    inverted = 0;
    rebuilt = -1;
    missing = false;
    gdiColorHooks hooks{entry, isInverted, rebuild};
    gdiSetColorHooks(&hooks);
  }
};

#endif
