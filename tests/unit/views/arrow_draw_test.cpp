// Arrowheads and the solid feedback line drawn through the drawing layer:
// filled outlines as polygons down to the pixels, open ones as polylines in
// the solid line font whatever font was current, the sized form keeping the
// drawing state, and the feedback line in line font 1 and pen 0.
#include "draw/gxdraw_fixture.h"

#include "objects/arrow.h"
#include "objects/lnfont.h"
#include "objects/pen.h"
#include "views/solidline.h"

#include <string>
#include <vector>

namespace {

using namespace gxdfx;

class ArrowDraw : public GxDrawTest {
 protected:
  void SetUp() override {
    GxDrawTest::SetUp();
    lnfontTerm();
    arrowLoadDefaults();
    vwSetScreenSpace(1);
    penGetTable(savedPens);
    savedVarWidths = penVarWidths();
    // Pen 0 wide enough to be told from the others: 0.050 in at 75 dpi is
    // a 4-pixel pen.
    const double widths[penCount] = {0.050, 0.005, 0.010, 0.016, 0.020, 0.032, 0.040, 0.002};
    penSetTable(widths);
    penSetVarWidths(false);
    penSeen().clear();
  }
  void TearDown() override {
    penSetTable(savedPens);
    penSetVarWidths(savedVarWidths);
    arrowTerm();
    lnfontTerm();
    GxDrawTest::TearDown();
  }

  // The segments seen, as "M x,y" and "L x,y", and cleared.
  static std::string seen() {
    std::string text;
    for (const Seg& s : segs()) {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%s%c %g,%g", text.empty() ? "" : " ", s.draw ? 'L' : 'M', s.x, s.y);
      text += buffer;
    }
    segs().clear();
    return text;
  }

  // A segment hook that notes the pen width the segment is drawn with.
  static std::vector<int>& penSeen() {
    static std::vector<int> widths;
    return widths;
  }
  static void notePen(int draw, const double p[2]) {
    penSeen().push_back(gx.penWidth);
    recordSeg(draw, p);
  }

  double savedPens[penCount];
  bool savedVarWidths = false;
};

TEST_F(ArrowDraw, AFilledTriangleIsFilledInTheCurrentColour) {
  // Type 1 at (20, 64) pointing left, scale 40: the triangle (20, 64),
  // (60, 74), (60, 54).
  const double tip[3] = {20, 64, 0}, shaft[3] = {100, 64, 0};
  EXPECT_EQ(arrowDraw(1, tip, shaft, 40, nullptr), 4);
  EXPECT_EQ(plTestGdiCallCount("Polygon"), 1);
  EXPECT_TRUE(inked(50, 64)) << "inside";
  EXPECT_TRUE(inked(55, 70)) << "inside, near the back";
  EXPECT_FALSE(inked(30, 70)) << "outside, beside the tip";
  EXPECT_FALSE(inked(70, 64)) << "behind the back";
  EXPECT_FALSE(gxPolyCollecting());
}

TEST_F(ArrowDraw, AnOpenHeadIsAPolylineInTheSolidFont) {
  // A dash pattern was current: the head is still drawn whole.
  const double lengths[2] = {0.1, 0.1};
  ASSERT_EQ(lnfontDefine(4, "Short", 5, 2, lengths), 0);
  lnfontSelect(4);
  hookSegments();
  const double tip[3] = {0, 0, 0}, shaft[3] = {10, 0, 0};
  EXPECT_EQ(arrowDraw(2, tip, shaft, 4, nullptr), 5);
  EXPECT_EQ(seen(), "M 0,0 L 5,1 L 4,0 L 5,-1 L 0,0");
  EXPECT_EQ(lnfontCurrent(), nullptr);
  EXPECT_EQ(gx.penStyle, 0);
  EXPECT_EQ(plTestGdiCallCount("Polygon"), 0);

  // An empty slot draws nothing.
  EXPECT_EQ(arrowDraw(3, tip, shaft, 4, nullptr), 0);
  EXPECT_EQ(seen(), "");
}

TEST_F(ArrowDraw, SizedDrawingUsesPenZeroAndRestoresTheState) {
  penSelect(0);
  const int penZero = gx.penWidth;
  ASSERT_NE(penZero, 7);
  gxSetPenWidth(7);
  gxSetColor(2);
  const int level = gxStateLevel();
  gxSwapSlot(gxSlotSegment, reinterpret_cast<intptr_t>(&notePen));

  const double tip[3] = {0, 0, 0}, shaft[3] = {-10, 0, 0};
  EXPECT_EQ(arrowDrawSized(0, tip, shaft, 3, 1, 0, nullptr), 5);
  EXPECT_EQ(seen(), "M 0,0 L -3,-0.5 L -2.4,0 L -3,0.5 L 0,0");
  ASSERT_FALSE(penSeen().empty());
  for (int width : penSeen()) EXPECT_EQ(width, penZero);
  EXPECT_EQ(gx.penWidth, 7);
  EXPECT_EQ(gxGetColor(), 2);
  EXPECT_EQ(gxStateLevel(), level);

  EXPECT_EQ(arrowDrawSized(3, tip, shaft, 3, 1, 0, nullptr), 0);
  EXPECT_EQ(gxStateLevel(), level);
}

TEST_F(ArrowDraw, TheFeedbackLineTakesLineFontOneAndPenZero) {
  penSelect(0);
  const int penZero = gx.penWidth;
  const double lengths[2] = {0.1, 0.1};
  ASSERT_EQ(lnfontDefine(4, "Short", 5, 2, lengths), 0);
  lnfontSelect(4);
  gxSetPenWidth(7);
  gxSwapSlot(gxSlotSegment, reinterpret_cast<intptr_t>(&notePen));

  const double p[3] = {1, 2, 0}, q[3] = {30, 40, 0};
  drawSolidLineW(p, q);
  EXPECT_EQ(seen(), "M 1,2 L 30,40") << "one segment, no dash walk";
  for (int width : penSeen()) EXPECT_EQ(width, penZero);
  // Both stay selected.
  EXPECT_EQ(gx.penStyle, 1);
  EXPECT_EQ(lnfontCurrent(), nullptr);
  EXPECT_EQ(gx.penWidth, penZero);
}

}  // namespace
