// The screen-box cutter of construction lines: aConstrMake2 makes lines
// that reach the plot bounds once the cutter is set into the line class.
#include "geometry/line_ops_fixture.h"

#include "core/matrix.h"
#include "draw/xforms.h"
#include "objects/layer.h"
#include "tools/trackclip.h"
#include "views/current.h"
#include "views/sheet.h"
#include "views/view.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using lineopsfx::LineOps;

TEST_F(LineOps, ConstructionLinesReachThePlotBounds) {
  sheetfx::SheetWithView s = sheetfx::sheetWithView();
  sheetSetCurrent(s.sheet);
  vwSetCurView(s.view);
  int rc = 0;
  const auto args = [](std::initializer_list<double> offsets, std::initializer_list<double> angles) {
    feObject none;
    feMakeNull(&none);
    return std::vector<feObject>{reals({0.25, 0.5, 0}), reals(offsets), reals(angles), none};
  };
  // Without the tracking layer's cutter nothing is made (the operator's
  // answer is not raised: its result stays null).
  const feObject* none = run("aConstrMake2", args({0}, {0, 0.25}), &rc);
  ASSERT_NE(none, nullptr) << rc;
  EXPECT_EQ(gobjfx::print(*none), "-null-");

  trackClipInit();
  ASSERT_GE(layerFind("construction", 12, layerFindCreate), 0);
  const feObject* made = run("aConstrMake2", args({0}, {0, 0.25}), &rc);
  ASSERT_NE(made, nullptr) << rc;
  std::vector<lineRec*> all = lines(groupOf(made));
  ASSERT_EQ(all.size(), 2u);

  // The screen box: 0..2048 widened to the plot bounds' screen corners.
  double bounds[4], scale, m[16], box[4] = {0, 0, 2048, 2048};
  ASSERT_EQ(sheetPlotBox(bounds, &scale), 0);
  ASSERT_EQ(vwSheetMatrix(11, m), 0);
  for (double x : {bounds[0], bounds[2]})
    for (double y : {bounds[1], bounds[3]}) {
      const double corner[3] = {x, y, 0};
      double c[3];
      aPtTransform(3, corner, m, c);
      box[0] = std::min(box[0], c[0]), box[1] = std::min(box[1], c[1]);
      box[2] = std::max(box[2], c[0]), box[3] = std::max(box[3], c[1]);
    }
  double e0[3], e1[3];
  vwWorldToScreen(&all[0]->p0->x, e0);
  vwWorldToScreen(&all[0]->p1->x, e1);
  EXPECT_NEAR(std::min(e0[0], e1[0]), box[0], 1e-6);
  EXPECT_NEAR(std::max(e0[0], e1[0]), box[2], 1e-6);
  EXPECT_DOUBLE_EQ(all[0]->p0->y, 0.5) << "horizontal through the base point";
  vwWorldToScreen(&all[1]->p0->x, e0);
  vwWorldToScreen(&all[1]->p1->x, e1);
  EXPECT_NEAR(std::min(e0[1], e1[1]), box[1], 1e-6);
  EXPECT_NEAR(std::max(e0[1], e1[1]), box[3], 1e-6);
  EXPECT_NEAR(all[1]->p0->x, 0.25, 1e-15) << "vertical through the base point";
  for (lineRec* l : all) {
    EXPECT_EQ(l->head.style, 1);
    EXPECT_EQ(l->head.layer, layerNumber("construction", 12));
  }

  // An offset moves the line to the left of its direction; no offsets or
  // no angles make an empty group.
  made = run("aConstrMake2", args({1}, {0, 0.25}), &rc);
  ASSERT_NE(made, nullptr) << rc;
  all = lines(groupOf(made));
  ASSERT_EQ(all.size(), 2u);
  EXPECT_NEAR(all[0]->p0->y, 1.5, 1e-12);
  EXPECT_NEAR(all[1]->p0->x, -0.75, 1e-12);
  made = run("aConstrMake2", args({}, {0, 0.25}), &rc);
  ASSERT_NE(made, nullptr) << rc;
  EXPECT_TRUE(lines(groupOf(made)).empty());
}

TEST_F(LineOps, CutterBoundsTheLineByTheScreenBox) {
  sheetfx::SheetWithView s = sheetfx::sheetWithView();
  vwSetCurView(s.view);
  // Along the screen's x: the box's sides 0 and 2048 bound t, y does not.
  const double origin[3] = {0, 0, 0}, along[3] = {1, 0, 0};
  double p[3], q[3], t0 = 0, t1 = 0;
  vwWorldToScreen(origin, p);
  vwWorldToScreen(along, q);
  ASSERT_EQ(trackClipLine(origin, along, 0, &t0, &t1), 0);
  EXPECT_NEAR(t0, (0 - p[0]) / (q[0] - p[0]), 1e-9);
  EXPECT_NEAR(t1, (2048 - p[0]) / (q[0] - p[0]), 1e-9);
  // A direction along the view's depth has no x or y on the screen.
  const double depth[3] = {0, 0, 1};
  vwWorldToScreen(depth, q);
  if (std::fabs(q[0] - p[0]) <= 1e-99 && std::fabs(q[1] - p[1]) <= 1e-99 && std::fabs(q[2] - p[2]) > 1e-99) {
    ASSERT_EQ(trackClipLine(origin, depth, 0, &t0, &t1), 0);
    EXPECT_LT(t0, 0);
    EXPECT_GT(t1, 0);
    EXPECT_NEAR(t0, -t1, 1e-9);
  }
  // No direction at all: nothing bounds it.
  ASSERT_EQ(trackClipLine(origin, origin, 0, &t0, &t1), 0);
  EXPECT_EQ(t0, -1e99);
  EXPECT_EQ(t1, 1e99);
}

}  // namespace
