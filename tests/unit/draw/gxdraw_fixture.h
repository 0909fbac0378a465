// The primitives' tests draw into a white 128 x 128 32-bit memory device
// pushed as the current window at 75 dpi, in colour 1 (black); a segment
// hook records what reaches gxSegment, and a stand-in view answers the
// view hooks with a screen box and matrices the test sets.
#ifndef PLUMET_TESTS_VIEWS_GXDRAW_FIXTURE_H
#define PLUMET_TESTS_VIEWS_GXDRAW_FIXTURE_H

#include "gx_state_fixture.h"

#include "core/debug.h"
#include "draw/csys.h"
#include "draw/gxdraw.h"
#include "draw/xforms.h"

#include <string>
#include <vector>

namespace gxdfx {

// One call of the segment hook.
struct Seg {
  int draw;
  double x, y;
};
inline std::vector<Seg>& segs() {
  static std::vector<Seg> list;
  return list;
}
inline void recordSeg(int draw, const double p[2]) { segs().push_back(Seg{draw, p[0], p[1]}); }

// The stand-in view and sheet.
struct FakeView {
  static inline bool hasView = false, hasSheet = false;
  static inline double box[4] = {0, 0, 128, 128};
  static inline double screenToWorld[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  static inline double sheet11[16] = {}, sheet12[16] = {};
  static inline uint32_t flags = 0;

  static viewRec* view() { return hasView ? reinterpret_cast<viewRec*>(&hasView) : nullptr; }
  static sheetRec* sheet() { return hasSheet ? reinterpret_cast<sheetRec*>(&hasSheet) : nullptr; }
  static void screenBox(const viewRec*, double b[4]) {
    for (int i = 0; i < 4; ++i) b[i] = box[i];
  }
  static void toWorld(const viewRec*, double m[16]) {
    for (int i = 0; i < 16; ++i) m[i] = screenToWorld[i];
  }
  static void sheetMatrix(const sheetRec*, int kind, double m[16]) {
    for (int i = 0; i < 16; ++i) m[i] = kind == 11 ? sheet11[i] : sheet12[i];
  }
  static uint32_t drawFlags() { return flags; }

  static void install() {
    hasView = hasSheet = false;
    const double b[4] = {0, 0, 128, 128};
    for (int i = 0; i < 4; ++i) box[i] = b[i];
    for (int i = 0; i < 16; ++i) screenToWorld[i] = i % 5 == 0 ? 1 : 0;
    flags = 0;
    vwViewHooks hooks{view, sheet, screenBox, toWorld, sheetMatrix, drawFlags};
    vwSetViewHooks(&hooks);
  }
};

inline std::string& logText() {
  static std::string text;
  return text;
}
inline void captureLog(void*, const char* text, size_t length) { logText().append(text, length); }

class GxDrawTest : public GxStateTest {
 protected:
  void SetUp() override {
    GxStateTest::SetUp();
    gxTestColors::install();
    dc = pushDevice(kSize, kSize, &bitmap);
    csysInit();
    FakeView::install();
    segs().clear();
    logText().clear();
    dbgSetLogHook(captureLog, nullptr);
    gxSetNoEndPixel(0);
    vwSetScreenSpace(0);
    vwSetDashWalker(nullptr);
    gxSwapSlot(gxSlotSegment, 0);
    gxSetColor(1);
    plTestClearGdiCalls();
  }

  void TearDown() override {
    gxSwapSlot(gxSlotSegment, 0);
    gxSetNoEndPixel(0);
    vwSetScreenSpace(0);
    vwSetViewHooks(nullptr);
    dbgSetLogHook(nullptr, nullptr);
    while (gxWindowDepth()) gxWindowPop();
    csysInit();
    GxStateTest::TearDown();
  }

  void hookSegments() { gxSwapSlot(gxSlotSegment, reinterpret_cast<intptr_t>(&recordSeg)); }

  // Loads a world-to-screen matrix the way the view code does.
  static void loadView(const double m[16]) { csysLoadStamped(m, 0); }

  COLORREF at(int x, int y) const { return plTestBitmapPixel(bitmap, x, y) & 0x00FFFFFF; }
  bool inked(int x, int y) const { return at(x, y) != RGB(255, 255, 255); }

  // The x coordinates of the inked pixels of row y.
  std::vector<int> row(int y) const {
    std::vector<int> xs;
    for (int x = 0; x < kSize; ++x)
      if (inked(x, y)) xs.push_back(x);
    return xs;
  }

  // Every pixel of the device.
  std::vector<COLORREF> image() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) all.push_back(at(x, y));
    return all;
  }

  int inkedCount() const {
    int n = 0;
    for (COLORREF c : image()) n += c != RGB(255, 255, 255);
    return n;
  }

  static constexpr int kSize = 128;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
};

}  // namespace gxdfx

#endif
