// The line operators through the interpreter (aLineMake, aLinePerp,
// aSetAngle, the phase-scaling switch), the arrowhead choice of a group, and
// a line with arrowheads and a point-selected end drawn into a bitmap.
#include "line_ops_fixture.h"
#include "platform/gdi_fixture.h"

#include "core/classes.h"
#include "core/matrix.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/script.h"
#include "geometry/line.h"
#include "objects/arrow.h"
#include "objects/docstate.h"
#include "objects/group.h"
#include "objects/layer.h"
#include "objects/lnstyle.h"
#include "objects/objmsg.h"
#include "views/current.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/wplane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using geomfx::near;

using lineopsfx::LineOps;

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
