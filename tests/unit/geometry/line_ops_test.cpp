// The line operators through the interpreter (aLineMake, aLinePerp,
// aSetAngle, aConstrMake2, the phase-scaling switch), the arrowhead choice
// of a group, the screen-box cutter of construction lines, and a line with
// arrowheads and a point-selected end drawn into a bitmap.
#include "geometry_fixture.h"
#include "platform/gdi_fixture.h"

#include "core/classes.h"
#include "core/matrix.h"
#include "fe/script.h"
#include "geometry/line.h"
#include "objects/arrow.h"
#include "objects/docstate.h"
#include "objects/group.h"
#include "objects/layer.h"
#include "objects/lnstyle.h"
#include "objects/objmsg.h"
#include "tools/trackclip.h"
#include "views/current.h"
#include "views/gx.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/wplane.h"
#include "views/xforms.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using geomfx::near;

class LineOps : public geomfx::GeomTest {
protected:
  void SetUp() override {
    GeomTest::SetUp();
    previousClip = lineSetClipHook(nullptr);
  }
  void TearDown() override {
    lineSetClipHook(previousClip);
    lineSetPhaseScaling(0);
    for (feObject& value : values) feFree(&value);
    values.clear();
    GeomTest::TearDown();
  }
  // Runs FE text with the arguments pushed first; the value on top (kept
  // until the end of the test), or null with the error in *rc.
  const feObject* run(const char* source, std::vector<feObject> args = {}, int* rc = nullptr) {
    feObject result;
    const int answer = feCallScript(source, std::strlen(source), false, args.data(), int32_t(args.size()), &result);
    for (feObject& a : args) feFree(&a);
    if (rc) *rc = answer;
    if (answer != 0) return nullptr;
    values.push_back(result);
    return &values.back();
  }
  static glist* groupOf(const feObject* value) {
    void* record = nullptr;
    EXPECT_EQ(feGetObjRef(value, "group", &record), 0);
    return static_cast<glist*>(record);
  }
  static std::vector<lineRec*> lines(const glist* group) {
    std::vector<lineRec*> all;
    grpForEach(group, [](gobjRec* m, void* c) {
      static_cast<std::vector<lineRec*>*>(c)->push_back(reinterpret_cast<lineRec*>(m));
      return 0;
    }, &all);
    return all;
  }
  // A group value of new lines (the group owns them).
  static feObject groupValue(std::vector<std::vector<double>> ends) {
    grpBegin();
    for (size_t i = 0; i + 1 < ends.size(); i += 2) grpAdd(lineMake(ends[i].data(), ends[i + 1].data()));
    feObject v;
    feMakeObjRef(&v, grpEnd());
    return v;
  }
  std::vector<feObject> values;
  lineClipFn previousClip = nullptr;
};

TEST_F(LineOps, LineMakeTakesAKeyedArray) {
  const feObject* made = run("[/pt0 [1 2 3] /pt1 [4 5 6]] aLineMake");
  ASSERT_NE(made, nullptr);
  std::vector<lineRec*> all = lines(groupOf(made));
  ASSERT_EQ(all.size(), 1u);
  EXPECT_TRUE(near(&all[0]->p0->x, {1, 2, 3}, 0));
  EXPECT_TRUE(near(&all[0]->p1->x, {4, 5, 6}, 0));
  EXPECT_EQ(all[0]->head.flags & gobjInSieve, 0) << "not inserted";

  made = run("[] aLineMake");
  ASSERT_NE(made, nullptr);
  all = lines(groupOf(made));
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0]->p0, vertexOrigin());
  EXPECT_EQ(all[0]->p1, vertexOrigin());

  struct Case {
    const char* source;
    int error;
  } refused[] = {
      {"<< /pt0 [1 2 3] >> aLineMake", 269},
      {"[/pt0] aLineMake", 280},
      {"[/pt0 [1 2 3] /pt1 (text)] aLineMake", 269},
      {"[/pt0 [1 2 3] /nosuchkey 1] aLineMake", 281},
  };
  for (const Case& c : refused) {
    int rc = 0;
    EXPECT_EQ(run(c.source, {}, &rc), nullptr) << c.source;
    EXPECT_EQ(rc, c.error) << c.source;
  }
}

TEST_F(LineOps, PerpendicularOfTheOneLine) {
  int rc = 0;
  const feObject* perp = run("aLinePerp", {groupValue({{0, 0, 0}, {2, 0, 0}})}, &rc);
  ASSERT_NE(perp, nullptr) << rc;
  EXPECT_EQ(gobjfx::print(*perp), "[0 -2. 0 ]");

  EXPECT_EQ(run("aLinePerp", {groupValue({{0, 0, 0}, {2, 0, 0}, {0, 0, 0}, {0, 1, 0}})}, &rc), nullptr);
  EXPECT_EQ(rc, -1) << "two lines";
  EXPECT_EQ(run("aLinePerp", {groupValue({{1, 1, 0}, {1, 1, 0}})}, &rc), nullptr);
  EXPECT_EQ(rc, -4150) << "a line of no length";
  EXPECT_EQ(run("aLinePerp", {groupValue({})}, &rc), nullptr);
  EXPECT_EQ(rc, -1) << "no line";
}

TEST_F(LineOps, SetAngleTurnsEveryLineAboutItsStart) {
  feObject group = groupValue({{1, 1, 0}, {3, 1, 0}, {0, 0, 0}, {0, 0, 5}});
  void* record = nullptr;
  ASSERT_EQ(feGetObjRef(&group, "group", &record), 0);
  feObjRefRetain(record);  // kept past the run, which releases its argument
  std::vector<lineRec*> all = lines(static_cast<glist*>(record));
  int rc = 0;
  run("aSetAngle 0", {group, real(0.5)}, &rc);
  EXPECT_EQ(rc, 0);
  EXPECT_TRUE(near(&all[0]->p0->x, {1, 1, 0}, 0));
  EXPECT_TRUE(near(&all[0]->p1->x, {-1, 1, 0}, 0));
  // The length is kept; the direction along the plane's normal is not.
  EXPECT_TRUE(near(&all[1]->p1->x, {-5, 0, 0}, 0));
  feObjRefRelease(record);
}

TEST_F(LineOps, PhaseScalingSwitch) {
  EXPECT_EQ(gobjfx::print(*run("aGetLnfontPhaseScaling")), "0");
  sheetfx::SheetWithView s = sheetfx::sheetWithView();
  sheetSetCurrent(s.sheet);
  int rc = 0;
  run("aLnfontPhaseScalingOn 1", {}, &rc);
  EXPECT_EQ(lineGetPhaseScaling(), 1);
  EXPECT_EQ(gobjfx::print(*run("aGetLnfontPhaseScaling")), "1");
  run("aLnfontPhaseScalingOff 1", {}, &rc);
  EXPECT_EQ(gobjfx::print(*run("aGetLnfontPhaseScaling")), "0");
}

TEST_F(LineOps, GroupArrowsFollowTheMajorityAndTheDocumentDefaultsBreakTies) {
  sheetfx::SheetWithView s = sheetfx::sheetWithView();
  sheetSetCurrent(s.sheet);
  dbDocRec* doc = dbCurrentDoc();
  ASSERT_NE(doc, nullptr);
  const uint16_t savedEnds = doc->arrowEnds;
  EXPECT_EQ(lineGroupArrows(nullptr), 0);

  const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0};
  grpBegin();
  gobjRec* first = lineMake(a, b);
  gobjRec* second = lineMake(a, b);
  grpAdd(first);
  grpAdd(second);
  grpAdd(hold(objNew(gobjClassId())));  // not a line: not counted
  glist* group = grpEnd();
  reinterpret_cast<lineRec*>(first)->arrows = lineArrowStart | lineArrowEnd;
  reinterpret_cast<lineRec*>(second)->arrows = lineArrowStart;
  struct Case {
    uint16_t defaults;
    int answer;
  } cases[] = {{0, 1}, {1, 1}, {2, 3}, {3, 3}};
  for (const Case& c : cases) {
    doc->arrowEnds = c.defaults;
    EXPECT_EQ(lineGroupArrows(group), c.answer) << c.defaults;
  }
  doc->arrowEnds = 3;
  EXPECT_EQ(lineGroupArrows(nullptr), 3) << "0 against 0 is a tie too";
  doc->arrowEnds = savedEnds;
  grpFree(group);
}

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

struct Dib : GdiTest {
  using GdiTest::makeBitmap;
};

TEST_F(LineOps, ArrowheadsAndASelectedEndReachTheBitmap) {
  sheetfx::SheetWithView s = sheetfx::sheetWithView();
  vwSetCurView(s.view);
  constexpr int kSize = 256;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = Dib::makeBitmap(kSize, kSize);
  SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
  const double dpi[2] = {96, 96};
  const RECT rect{0, 0, kSize, kSize};
  gxWindowPush(dc, dpi, &rect);
  // The built-in arrow outlines, when no earlier set-up loaded them.
  const bool hadArrows = arrowGetSlot(0) != nullptr;
  if (!hadArrows) arrowLoadDefaults();

  const double a[3] = {-0.5, 0, 0}, b[3] = {0.5, 0, 0};
  auto* line = reinterpret_cast<lineRec*>(hold(lineMake(a, b)));
  const double up[3] = {0, 0, 1};
  line->arrows = uint16_t(lineArrowStart | lineArrowEnd | lnstyleFind(0, 0.2, up));
  line->head.color = 1;
  objMeth(line->head.classId, msgPtSelSet, line, reinterpret_cast<intptr_t>(b), 1, 1);
  auto inked = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < kSize && y < kSize &&
           (plTestBitmapPixel(bitmap, x, y) & 0x00FFFFFF) != RGB(255, 255, 255);
  };
  auto inkedNear = [&](const int32_t* p, int reach) {
    int n = 0;
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx) n += inked(p[0] + dx, p[1] + dy);
    return n;
  };
  ASSERT_EQ(objMeth(line->head.classId, msgDraw, line), 0);
  int32_t start[2], end[2], mid[2];
  vwWorldToPixel(a, start);
  vwWorldToPixel(b, end);
  const double m[3] = {0, 0, 0};
  vwWorldToPixel(m, mid);
  EXPECT_TRUE(inked(mid[0], mid[1])) << "the shaft";
  // Each arrowhead spreads off the shaft's row within its size (0.2, about
  // 19 pixels) of its tip; the selected end also carries its mark.
  auto offShaft = [&](const int32_t* tip, int toward) {
    int n = 0;
    for (int dx = 1; dx <= 20; ++dx)
      for (int dy = -10; dy <= 10; ++dy) n += dy != 0 && inked(tip[0] + toward * dx, tip[1] + dy);
    return n;
  };
  EXPECT_GT(offShaft(start, 1), 0);
  EXPECT_GT(offShaft(end, -1), 0);
  EXPECT_GT(inkedNear(end, 3), 0);
  EXPECT_EQ(inkedNear(std::array<int32_t, 2>{8, 8}.data(), 4), 0) << "an empty corner";

  gxWindowPop();
  if (!hadArrows) arrowTerm();
  DeleteDC(dc);
  DeleteObject(bitmap);
}

}  // namespace
