// The line class: points at parameters, length and angle changes, the
// arrowhead keys, merge and the clean-up key, the signature, crossings of
// two lines, point selection and the record in its four versions.
#include "geometry_fixture.h"
#include "objects/memfile_fixture.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "fe/exec.h"
#include "geometry/crossings.h"
#include "geometry/line.h"
#include "objects/io_detached.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/lnfont.h"
#include "objects/lnstyle.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using geomfx::near;

class Line : public geomfx::GeomTest {
protected:
  lineRec* make(std::initializer_list<double> a, std::initializer_list<double> b) {
    std::vector<double> p(a), q(b);
    return reinterpret_cast<lineRec*>(hold(lineMake(p.data(), q.data())));
  }
  static const double* p0(const lineRec* l) { return &l->p0->x; }
  static const double* p1(const lineRec* l) { return &l->p1->x; }
  static int send(lineRec* l, int message, intptr_t a = 0, intptr_t b = 0, intptr_t c = 0) {
    return objMeth(l->head.classId, message, l, a, b, c);
  }
  template <typename T>
  static intptr_t w(T* p) {
    return reinterpret_cast<intptr_t>(p);
  }
};

TEST_F(Line, PointAtEndsIsExactAndOtherParametersInterpolate) {
  lineRec* l = make({0.1, 0.2, 1.0 / 3}, {0.7, -0.3, 2.0 / 3});
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->head.classId, lineClassId());
  double out[3], t = 0;
  ASSERT_EQ(send(l, msgPointAtT, w(&t), w(out)), 0);
  EXPECT_EQ(std::memcmp(out, p0(l), sizeof out), 0);
  t = 1;
  send(l, msgPointAtT, w(&t), w(out));
  EXPECT_EQ(std::memcmp(out, p1(l), sizeof out), 0);
  t = 0.5;
  send(l, msgPointAtT, w(&t), w(out));
  EXPECT_TRUE(near(out, {0.4, -0.05, 0.5}));

  // 308: mode 1 the direction, any other mode the zero vector.
  crvEvalRec rec{0.3, 1, 0, out};
  send(l, msgEvalAt, w(&rec));
  EXPECT_TRUE(near(out, {0.6, -0.5, 1.0 / 3}));
  rec.mode = 2;
  send(l, msgEvalAt, w(&rec));
  EXPECT_TRUE(near(out, {0, 0, 0}, 0));
  double length = 0;
  ASSERT_EQ(crvLength(&l->head, 0, 1, 1e-9, &length), 0);
  EXPECT_NEAR(length, std::sqrt(0.36 + 0.25 + 1.0 / 9), 1e-15);
}

TEST_F(Line, LengthAndAngleKeepTheStart) {
  // A zero-length line takes its length along +x.
  lineRec* zero = make({1, 2, 3}, {1, 2, 3});
  gobjRec* slot = nullptr;
  ASSERT_EQ(crvSetLength(&zero->head, 5, &slot), 0);
  EXPECT_EQ(slot, &zero->head);
  EXPECT_TRUE(near(p1(zero), {6, 2, 3}, 0));
  EXPECT_TRUE(near(p0(zero), {1, 2, 3}, 0));

  lineRec* l = make({0, 0, 0}, {3, 4, 0});
  ASSERT_EQ(set(&l->head, "length", real(10)), 0);
  EXPECT_TRUE(near(p1(l), {6, 8, 0}));

  // A quarter turn in the standard plane is exact.
  lineRec* turn = make({0, 0, 0}, {2, 0, 0});
  ASSERT_EQ(set(&turn->head, "angle", real(0.25)), 0);
  EXPECT_TRUE(near(p1(turn), {0, 2, 0}, 0));
  std::string text;
  ASSERT_EQ(get(&turn->head, "angle", &text), 0);
  EXPECT_EQ(text, "0.25");
}

TEST_F(Line, WorkPlaneAngleRange) {
  struct Case {
    double dx, dy, turns;
  } cases[] = {{1, 0, 0}, {0, 1, 0.25}, {-1, 0, 0.5}, {0, -1, -0.25}, {0, 0, 0}, {-1, -1e-300, 0.5}};
  const double origin[3] = {0, 0, 0};
  for (const Case& c : cases) {
    const double end[3] = {c.dx, c.dy, 7};
    const double a = lineWpAngle(origin, end);
    EXPECT_GT(a, -0.5) << c.dx << "," << c.dy;
    EXPECT_LE(a, 0.5);
    EXPECT_NEAR(a, c.turns, 1e-15) << c.dx << "," << c.dy;
  }
  EXPECT_EQ(*lineWpAngleRef(origin, origin), 0.0);
}

TEST_F(Line, ArrowKeysChangeOnlyALineWithArrowheads) {
  lineRec* l = make({0, 0, 0}, {1, 0, 0});
  ASSERT_EQ(set(&l->head, "arrowsize", real(0.5)), 0);
  ASSERT_EQ(set(&l->head, "arrowtype", integer(2)), 0);
  EXPECT_EQ(l->arrows, 0);
  std::string text;
  get(&l->head, "arrowsize", &text);
  EXPECT_EQ(text, "0");

  ASSERT_EQ(set(&l->head, "arrowhead", integer(3)), 0);
  EXPECT_EQ(l->arrows & 0xC000, 0xC000);
  int kind = -1;
  double size = 0;
  ASSERT_EQ(lnstyleGet(l->arrows & lineArrowIndex, &kind, &size, nullptr), 1);
  ASSERT_EQ(set(&l->head, "arrowsize", real(0.5)), 0);
  ASSERT_EQ(set(&l->head, "arrowtype", integer(2)), 0);
  get(&l->head, "arrowsize", &text);
  EXPECT_EQ(text, "0.5");
  get(&l->head, "arrowtype", &text);
  EXPECT_EQ(text, "2");
  get(&l->head, "arrowhead", &text);
  EXPECT_EQ(text, "3");
  ASSERT_EQ(set(&l->head, "arrowhead", integer(1)), 0);
  EXPECT_EQ(l->arrows & 0xC000, 0x4000);
  get(&l->head, "arrowsize", &text);
  EXPECT_EQ(text, "0.5") << "the entry stays with the ends";
}

TEST_F(Line, MergeOfCollinearLines) {
  struct Case {
    const char* what;
    std::vector<double> b0, b1;
    int color;
    int answer;
    double end;  // x of the merged line's end
  } cases[] = {
      {"touching end to end", {2, 0, 0}, {5, 0, 0}, 0, 0, 5},
      {"reversed and overlapping", {4, 0, 0}, {1, 0, 0}, 0, 0, 4},
      {"parallel 1e-11 apart", {2, 1e-11, 0}, {5, 1e-11, 0}, 0, -1, 2},
      {"not parallel", {2, 0, 0}, {5, 1, 0}, 0, -1, 2},
      {"apart on one line", {3, 0, 0}, {5, 0, 0}, 0, -3, 2},
      {"another colour", {2, 0, 0}, {5, 0, 0}, 3, -10, 2},
  };
  for (const Case& c : cases) {
    lineRec* a = make({0, 0, 0}, {2, 0, 0});
    lineRec* b = make({c.b0[0], c.b0[1], c.b0[2]}, {c.b1[0], c.b1[1], c.b1[2]});
    b->head.color = uint8_t(c.color);
    gobjRec* slot = nullptr;
    EXPECT_EQ(send(a, msgCleanUpMerge, w(&b->head), w(&slot)), c.answer) << c.what;
    if (c.answer == 0) {
      EXPECT_EQ(slot, &a->head) << c.what;
    }
    EXPECT_TRUE(near(p0(a), {0, 0, 0}, 0)) << c.what;
    EXPECT_TRUE(near(p1(a), {c.end, 0, 0}, 1e-15)) << c.what;
  }
  lineRec* a = make({0, 0, 0}, {1, 0, 0});
  gobjRec* other = hold(objNew(gobjClassId()));
  EXPECT_EQ(send(a, msgCleanUpMerge, w(other), 0), 269);
}

// The key by hand: the direction scaled to 1024 folded as h = h 1023 +
// trunc|d_i|, less 999 trunc(-1000 |foot of the origin|), modulo 2^32.
uint32_t handKey(const double* d1024, double footLength) {
  uint64_t h = 0;
  for (int i = 0; i < 3; ++i) h = (h * 1023 + uint64_t(std::fabs(d1024[i]))) & 0xFFFFFFFFu;
  const double f = std::trunc(-1000 * footLength);
  const uint64_t wrapped = uint64_t(int64_t(std::fmod(f, 4294967296.0)) + (int64_t(1) << 32)) & 0xFFFFFFFFu;
  return uint32_t((h - 999 * wrapped) & 0xFFFFFFFFu);
}

TEST_F(Line, CleanUpKeyAndSignature) {
  struct Case {
    std::vector<double> a, b, d1024;
    double foot;
  } cases[] = {
      {{0, 1, 0}, {2, 1, 0}, {1024, 0, 0}, 1},
      {{3, 4, 0}, {3, 4, 0}, {0, 0, 0}, 5},  // no length: d = 0, the foot is the start
      {{0, 0, 0}, {0, 3, 4}, {0, 614.4, 819.2}, 0},
      {{0, 1e10, 0}, {1, 1e10, 0}, {1024, 0, 0}, 1e10},  // beyond 32 bits: wraps
  };
  for (const Case& c : cases) {
    lineRec* l = make({c.a[0], c.a[1], c.a[2]}, {c.b[0], c.b[1], c.b[2]});
    int32_t key = 0;
    ASSERT_EQ(send(l, msgCleanUpKey, w(&key)), 0);
    EXPECT_EQ(uint32_t(key), handKey(c.d1024.data(), c.foot)) << c.a[1];
  }
  EXPECT_EQ(handKey(cases[0].d1024.data(), 1), 1072644696u);

  lineRec* l = make({1, 2, 3}, {4, 5, 6});
  l->head.style = 2;
  l->head.color = 5;
  int32_t signature = 0;
  ASSERT_EQ(send(l, msgSignature, w(&signature)), 0);
  const uint32_t want = 0u + (2 * 47 + 5 * 23) + 43u * vertexHash(l->p0) + 97u * vertexHash(l->p1) + 5 * 0 + 7 * 16;
  EXPECT_EQ(uint32_t(signature), want);
}

TEST_F(Line, CrossingsOfTwoLines) {
  lineRec* a = make({0, 0, 0}, {2, 0, 0});
  lineRec* b = make({1, -1, 0}, {1, 1, 0});
  lineRec* c = make({3, -1, 0}, {3, 1, 0});  // meets a's carrier beyond its end
  crvCrossRec rec{};
  rec.curveA = &a->head;
  rec.curveB = &b->head;
  rec.tol = 1e-6;
  ASSERT_EQ(crvCrossCount(&rec), 1);
  double point[3], tA = -1, tB = -1;
  rec.pointAt(&rec, 0, point);
  rec.paramsAt(&rec, 0, &tA, &tB);
  EXPECT_TRUE(near(point, {1, 0, 0}));
  EXPECT_DOUBLE_EQ(tA, 0.5);
  EXPECT_DOUBLE_EQ(tB, 0.5);
  rec.release(&rec);

  rec.curveB = &c->head;
  EXPECT_EQ(crvCrossCount(&rec), 0);
  rec.flags = crvCrossFreeA;
  ASSERT_EQ(crvCrossCount(&rec), 1);
  rec.paramsAt(&rec, 0, &tA, &tB);
  EXPECT_DOUBLE_EQ(tA, 1.5);
  rec.release(&rec);
}

TEST_F(Line, PointSelectionFollowsTheHeadFlagAndMovesOnlySelectedEnds) {
  sheetfx::SheetWithView s = sheetfx::sheetWithView();
  vwSetCurView(s.view);
  lineRec* l = make({0, 0, 0}, {1, 0, 0});
  ASSERT_EQ(send(l, msgPtSelSet, w(p1(l)), 1, 1), 0);
  EXPECT_EQ(l->ptSel, 2);
  EXPECT_NE(l->head.flags & gobjPointSel, 0);
  send(l, msgPtSelSet, w(p1(l)), 1, 5);  // no such end
  EXPECT_EQ(l->ptSel, 2);
  const double move[3] = {0, 1, 0};
  ASSERT_EQ(send(l, msgPtSelXform, w(move)), 0);
  EXPECT_TRUE(near(p0(l), {0, 0, 0}, 0));
  EXPECT_TRUE(near(p1(l), {1, 1, 0}, 0));
  send(l, msgPtSelSet, w(p1(l)), 2, 1);  // toggles off
  EXPECT_EQ(l->ptSel, 0);
  EXPECT_EQ(l->head.flags & gobjPointSel, 0);
  ASSERT_EQ(send(l, msgPtSelXform, w(move)), 0);
  EXPECT_TRUE(near(p1(l), {1, 1, 0}, 0)) << "nothing selected: nothing moves";
}

TEST_F(Line, CopySharesTheVerticesAndKeepsTheDerivedFields) {
  lineRec* l = make({0, 0, 0}, {1, 1, 0});
  l->arrows = 0x8000 | 1;
  l->fontStart = 3;
  l->phaseScale = 1.5f;
  auto* copy = reinterpret_cast<lineRec*>(hold(objDuplicate(&l->head)));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->p0, l->p0);
  EXPECT_EQ(copy->p1, l->p1);
  EXPECT_EQ(copy->arrows, l->arrows);
  EXPECT_EQ(copy->fontStart, 3);
  EXPECT_EQ(copy->fontEnd, 16);
  EXPECT_EQ(copy->phaseScale, 1.5f);

  // 310 into a fresh slot gives a reversed piece as a new line.
  gobjRec* piece = nullptr;
  ASSERT_EQ(objReParam(&l->head, 0.75, 0.25, &piece), 0);
  hold(piece);
  ASSERT_NE(piece, nullptr);
  ASSERT_NE(piece, &l->head);
  EXPECT_TRUE(near(p0(reinterpret_cast<lineRec*>(piece)), {0.75, 0.75, 0}));
  EXPECT_TRUE(near(p1(reinterpret_cast<lineRec*>(piece)), {0.25, 0.25, 0}));
}

TEST_F(Line, ASplineFormIsNotThereYet) {
  lineRec* l = make({0, 0, 0}, {1, 1, 0});
  gobjRec* spline = &l->head;
  EXPECT_EQ(send(l, msgToSpline, 0, w(&spline)), -4127);
  EXPECT_EQ(spline, nullptr);
}

TEST_F(Line, BoxTestInPixels) {
  sheetfx::SheetWithView s = sheetfx::sheetWithView();
  vwSetCurView(s.view);
  lineRec* l = make({0, 0, 0}, {0.5, 0.5, 0});
  int32_t a[2], b[2];
  vwWorldToPixel(p0(l), a);
  vwWorldToPixel(p1(l), b);
  const int32_t around[4] = {std::min(a[0], b[0]), std::min(a[1], b[1]), std::max(a[0], b[0]),
                             std::max(a[1], b[1])};
  const int32_t short1[4] = {around[0], around[1], around[2] - 1, around[3]};
  EXPECT_EQ(send(l, msgBoxTest, 0, w(around)), 1);
  EXPECT_EQ(send(l, msgBoxTest, 0, w(short1)), 0);
  plTestSetMessageBoxEcho(false);
  const size_t shown = plTestMessageBoxes().size();
  EXPECT_EQ(send(l, msgBoxTest, 0, 0), 0);
  ASSERT_EQ(plTestMessageBoxes().size(), shown + 1);
  EXPECT_NE(plTestMessageBoxes().back().text.find("scrbox is NULL"), std::string::npos);
}

// ---- The record ----

class LineRecord : public Line {
protected:
  void SetUp() override {
    Line::SetUp();
    ioDetachModules();
  }
  void TearDown() override {
    close();
    // The line-font table is the program's: fonts defined here go with it.
    lnfontTerm();
    Line::TearDown();
  }
  void open(int version) {
    close();
    memfile::open(ctx, 4);
    const int index = ioTypeIndex(&ctx, lineClassId(), true);
    ctx.types[index].level = uint16_t(version);
  }
  void close() {
    uFreeIfSet(&ctx.types);
    if (ctx.stream) std::fclose(ctx.stream);
    ctx.stream = nullptr;
  }
  // Writes the line at the version and reads it back into a fresh line.
  lineRec* roundTrip(lineRec* line, int version) {
    open(version);
    gobjRec* slot = &line->head;
    EXPECT_GE(objSerialize(&line->head, &ctx, &slot), 0);
    memfile::readFromStart(ctx);
    gobjRec* fresh = hold(objNew(lineClassId()));
    slot = fresh;
    EXPECT_GE(objSerialize(fresh, &ctx, &slot), 0);
    return reinterpret_cast<lineRec*>(fresh);
  }
  ioCtx ctx{};
};

TEST_F(LineRecord, VersionsKeepWhatTheyStore) {
  const double dashes[2] = {0.25, 0.125};
  ASSERT_EQ(lnfontDefine(5, "lrdash", 6, 2, dashes), 0);
  lineRec* l = make({0, 0, 0}, {3, 0, 0});
  l->head.style = 5;
  l->fontStart = 8;
  l->fontEnd = 24;
  const double up[3] = {0, 1, 0};
  l->arrows = uint16_t(0xC000 | lnstyleFind(2, 0.5, up));

  // Version 0: the vertices only; the phase codes keep their defaults.
  lineRec* v0 = roundTrip(l, 0);
  EXPECT_TRUE(near(p1(v0), {3, 0, 0}, 0));
  EXPECT_EQ(v0->fontStart, 0);
  EXPECT_EQ(v0->fontEnd, 16);
  EXPECT_EQ(v0->arrows, 0);

  // Version 1: the codes of a patterned font, and the fit recomputed.
  lineRec* v1 = roundTrip(l, 1);
  EXPECT_EQ(v1->fontStart, 8);
  EXPECT_EQ(v1->fontEnd, 24);
  double fit = 0;
  lnfontFitScale(5, 3, 8, 24, &fit);
  EXPECT_EQ(v1->phaseScale, float(fit));
  EXPECT_EQ(v1->arrows, 0);

  // Version 2: the arrowheads with kind and size; the up vector is (0, 0, 1).
  lineRec* v2 = roundTrip(l, 2);
  ASSERT_EQ(v2->arrows & 0xC000, 0xC000);
  int kind = -1;
  double size = 0, readUp[3];
  ASSERT_EQ(lnstyleGet(v2->arrows & lineArrowIndex, &kind, &size, readUp), 1);
  EXPECT_EQ(kind, 2);
  EXPECT_EQ(size, 0.5);
  EXPECT_TRUE(near(readUp, {0, 0, 1}, 0));

  // Version 3: the up vector as well.
  lineRec* v3 = roundTrip(l, 3);
  ASSERT_EQ(lnstyleGet(v3->arrows & lineArrowIndex, &kind, &size, readUp), 1);
  EXPECT_TRUE(near(readUp, {0, 1, 0}, 0));
  EXPECT_EQ(v3->arrows & 0xC000, 0xC000);
}

TEST_F(LineRecord, SolidFontsStoreNoPhaseCodes) {
  lineRec* l = make({0, 0, 0}, {1, 0, 0});
  l->fontStart = 8;
  open(1);
  gobjRec* slot = &l->head;
  ASSERT_GE(objSerialize(&l->head, &ctx, &slot), 0);
  const std::string solid = memfile::written(ctx);
  l->head.style = 5;
  open(1);
  ASSERT_GE(objSerialize(&l->head, &ctx, &slot), 0);
  const std::string patterned = memfile::written(ctx);
  EXPECT_EQ(patterned.size(), solid.size() + 6) << "two more bytes for the codes";
}

}  // namespace
