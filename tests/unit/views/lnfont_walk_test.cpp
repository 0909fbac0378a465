// The dash walker behind vwMoveToW and vwLineToW: the moves and draws that
// reach gxSegment for a pattern, the phase carried from segment to segment,
// scale and fit, patterns that must draw solid, and objects drawing in
// their pen width and line font (message 302) down to the pixels.
#include "draw/gxdraw_fixture.h"

#include "core/classes.h"
#include "objects/gobject.h"
#include "objects/lnfont.h"
#include "objects/objmsg.h"
#include "objects/pen.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace gxdfx;

class DashWalk : public GxDrawTest {
protected:
  void SetUp() override {
    GxDrawTest::SetUp();
    lnfontTerm();
    hookSegments();
  }
  void TearDown() override {
    lnfontTerm();
    GxDrawTest::TearDown();
  }
  static void define(int32_t n, std::vector<double> lengths) {
    ASSERT_EQ(lnfontDefine(n, ("F" + std::to_string(n)).c_str(), 2 + (n > 9), uint32_t(lengths.size()),
                           lengths.data()),
              0);
  }
  static void move(double x, double y = 0) {
    const double p[3] = {x, y, 0};
    vwMoveToW(p);
  }
  static void line(double x, double y = 0) {
    const double p[3] = {x, y, 0};
    vwLineToW(p);
  }
  // The segments seen, as "m x" or "d x" (x only), and cleared.
  static std::string seen() {
    std::string text;
    for (const Seg& s : segs()) {
      char buffer[48];
      std::snprintf(buffer, sizeof buffer, "%s%c %g", text.empty() ? "" : " ", s.draw ? 'd' : 'm', s.x);
      text += buffer;
    }
    segs().clear();
    return text;
  }
  static int32_t dash() {
    int32_t d;
    lnfontGetPhase(&d, nullptr);
    return d;
  }
  static double used() {
    double u;
    lnfontGetPhase(nullptr, &u);
    return u;
  }
};

TEST_F(DashWalk, APatternAlongASegmentAndThePhaseCarriedOn) {
  define(4, {2, 1});
  lnfontSelect(4);
  move(0);
  line(10);
  EXPECT_EQ(seen(), "m 0 d 2 m 3 d 5 m 6 d 8 m 9 d 10");
  EXPECT_EQ(dash(), 0);
  EXPECT_DOUBLE_EQ(used(), 1);
  // The next segment goes on with the rest of the dash.
  line(14);
  EXPECT_EQ(seen(), "d 11 m 12 d 14");
  // A segment inside the current dash is drawn whole.
  line(14.5);
  EXPECT_EQ(seen(), "d 14.5");
}

TEST_F(DashWalk, ScaleAndPhase) {
  define(4, {2, 1});
  lnfontSelect(4);
  double old = 0;
  lnfontScale(2, &old);
  EXPECT_EQ(old, 1.0);
  move(0);
  line(10);
  EXPECT_EQ(seen(), "m 0 d 4 m 6 d 10");

  // Selecting again resets the scale and the phase.
  lnfontSelect(4);
  EXPECT_EQ(lnfontGetScale(), 1.0);
  lnfontSetPhase(7.5);  // 7.5 mod 3 = 1.5: 1.5 into the first dash
  EXPECT_EQ(dash(), 0);
  EXPECT_DOUBLE_EQ(used(), 1.5);
  lnfontSetPhase(-1);  // 2 into the pattern: the start of the gap
  EXPECT_EQ(dash(), 1);
  EXPECT_DOUBLE_EQ(used(), 0);

  // Three dashes are stored as four; code 0x25 starts 5/16 into dash 2.
  define(5, {1, 2, 4});
  lnfontSelect(5);
  lnfontResetPhase(0x25);
  EXPECT_EQ(dash(), 2);
  EXPECT_DOUBLE_EQ(used(), 4 * 5 / 16.0);
  move(0);
  line(10);
  EXPECT_EQ(seen(), "m 0 d 2.75 m 2.75 d 3.75 m 5.75 d 9.75 m 9.75 d 10");
}

TEST_F(DashWalk, FitScaleGivesAWholeNumberOfPatterns) {
  define(4, {2, 1});
  struct Case {
    int32_t font;
    double length;
    int32_t start, end;
    double scale;
  } cases[] = {
      {4, 10, 0, 0, 10.0 / 9},          // three patterns
      {4, 10, 0, 0x10, 10.0 / 11},      // three patterns and the first dash
      {4, 1000, 0, 0, 1000.0 / 297},    // at most 99 patterns
      {4, 2, 0, 0, 2.0 / 3},            // at least one
      {4, 1.5, 0, 0, 1.0},              // not above half a pattern
      {1, 10, 0, 0, 1.0},               // a built-in font
  };
  for (const Case& c : cases) {
    double scale = 0;
    EXPECT_EQ(lnfontFitScale(c.font, c.length, c.start, c.end, &scale), 0);
    EXPECT_DOUBLE_EQ(scale, c.scale) << c.length << " " << c.end;
  }
  // Fitted, a line ends with a whole gap: its last dash ends one scaled gap
  // before the end.
  double scale;
  lnfontFitScale(4, 10, 0, 0, &scale);
  lnfontSelect(4);
  lnfontSetScale(scale);
  move(0);
  line(10);
  ASSERT_FALSE(segs().empty());
  EXPECT_EQ(segs().back().draw, 0);
  EXPECT_EQ(segs().back().x, 10);
  double lastDraw = 0;
  int draws = 0;
  for (const Seg& seg : segs())
    if (seg.draw) lastDraw = seg.x, ++draws;
  EXPECT_EQ(draws, 3);
  EXPECT_NEAR(lastDraw, 10 - 10.0 / 9, 1e-5);
}

TEST_F(DashWalk, PatternsWithoutLengthDrawSolidAndNeverHang) {
  define(4, {0, 0});
  lnfontSelect(4);
  move(0);
  line(10);
  EXPECT_EQ(seen(), "m 0 d 10");
  double scale = 0;
  EXPECT_EQ(lnfontFitScale(4, 10, 0, 0, &scale), 0);
  EXPECT_EQ(scale, 1.0);
  lnfontSetPhase(5);  // nothing to divide by

  // A pattern scaled to nothing draws solid as well.
  define(5, {2, 1});
  lnfontSelect(5);
  lnfontSetScale(0);
  move(0);
  line(10);
  EXPECT_EQ(seen(), "m 0 d 10");

  // A segment of a great many patterns is drawn whole.
  lnfontSelect(5);
  lnfontSetScale(1e-9);
  move(0);
  line(100);
  EXPECT_EQ(seen(), "m 0 d 100");
}

TEST_F(DashWalk, SegmentsUnderTwoPixelsGoWholeByTheCurrentDash) {
  // Ten world units to a pixel.
  const double view[16] = {0.1, 0, 0, 0, 0, 0.1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  FakeView::hasView = true;
  loadView(view);
  define(4, {2, 1});
  lnfontSelect(4);
  move(0);
  line(10);  // one pixel: drawn whole, the phase moves 10 on
  EXPECT_EQ(seen(), "m 0 d 1");
  EXPECT_EQ(dash(), 0);
  EXPECT_DOUBLE_EQ(used(), 1);
  line(12);  // the rest of the dash and the whole gap: the next dash is reached
  EXPECT_EQ(seen(), "d 1.2");
  EXPECT_EQ(dash(), 0);
  EXPECT_DOUBLE_EQ(used(), 0);
  line(15.5);  // 3.5 on: a dash and a gap, then 0.5 into the dash
  EXPECT_EQ(seen(), "d 1.55");
  EXPECT_EQ(dash(), 0);
  EXPECT_NEAR(used(), 0.5, 1e-9);
}

TEST_F(DashWalk, FontsWithoutPatternsUseTheDrawingLayersPenStyles) {
  lnfontSelect(1);
  int32_t style = -1;
  gxGetAttr(4, &style);
  EXPECT_EQ(style, 1);
  move(0);
  line(10);
  EXPECT_EQ(seen(), "m 0 d 10");

  define(4, {2, 1});
  lnfontSelect(4);
  gxGetAttr(4, &style);
  EXPECT_EQ(style, 4);
  lnfontSelect(0);
  move(0);
  line(10);
  EXPECT_EQ(seen(), "m 0 d 10") << "font 0 takes the walker away";
}

// "tdashline" (named apart from the view tests' "tline"): a line from
// (x0, y) to (x1, y) drawn through vwMoveToW and vwLineToW after the base
// class's 302.
struct tlineRec {
  gobjRec head;
  double a[3], b[3];
};
uint16_t tlineClass;
int tlineHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgNew) return gobjNewAs(tlineClass, sizeof(tlineRec), a);
  const int answer = objMeth(objSuperClass(tlineClass), message, object, a, b, c);
  if (message == msgDraw) {
    auto* line = static_cast<tlineRec*>(object);
    vwMoveToW(line->a);
    vwLineToW(line->b);
  }
  return answer;
}

class DashedObjects : public DashWalk {
protected:
  void SetUp() override {
    DashWalk::SetUp();
    gxSwapSlot(gxSlotSegment, 0);  // to the pixels
    gobjInit(0);
    if (!tlineClass) tlineClass = objClassRegister("tdashline", gobjClassId(), tlineHandler);
    const double widths[penCount] = {0.002, 0.005, 0.010, 0.016, 0.020, 0.032, 0.040, 0.050};
    penSetTable(widths);
    penSetVarWidths(false);
  }
  gobjRec* line(uint8_t style, double x0, double x1, double y) {
    auto* l = reinterpret_cast<tlineRec*>(objNew(tlineClass));
    l->head.style = style;
    l->head.color = 1;
    const double a[3] = {x0, y, 0}, b[3] = {x1, y, 0};
    std::memcpy(l->a, a, sizeof a);
    std::memcpy(l->b, b, sizeof b);
    return &l->head;
  }
};

TEST_F(DashedObjects, DrawingTakesThePenWidthAndTheLineFont) {
  // At 75 dpi pen 7 (0.050 in) is ceil(60) sixteenths: a 4-pixel pen.
  gobjRec* wide = line(7 << 5, 10, 100, 20);
  ASSERT_EQ(objMeth(tlineClass, msgDraw, wide), 0);
  int32_t width = 0;
  gxGetAttr(3, &width);
  EXPECT_EQ(width, -4);
  std::vector<int> column;
  for (int y = 10; y < 30; ++y)
    if (inked(50, y)) column.push_back(y);
  EXPECT_EQ(column.size(), 4u) << "a negative width is drawn as that many pixels";
  objFree(wide);

  // Font 4 of 10 pixels drawn, 5 skipped (pen 0: one pixel).
  define(4, {10, 5});
  gobjRec* dashed = line(4, 0, 60, 60);
  ASSERT_EQ(objMeth(tlineClass, msgDraw, dashed), 0);
  std::vector<int> xs = row(60);
  for (int x : {0, 5, 9, 15, 20, 24, 30, 39, 45, 54})
    EXPECT_NE(std::find(xs.begin(), xs.end(), x), xs.end()) << x;
  for (int x : {11, 13, 26, 28, 41, 43, 56, 58})
    EXPECT_EQ(std::find(xs.begin(), xs.end(), x), xs.end()) << x;
  objFree(dashed);
}

}  // namespace
