// The point class: aPointMake, the shared vertex, the curve and editing
// messages a point answers.
#include "geometry_fixture.h"

#include "core/classes.h"
#include "fe/exec.h"
#include "fe/script.h"
#include "geometry/clip.h"
#include "geometry/point.h"
#include "objects/objmsg.h"
#include "objects/io_detached.h"
#include "objects/iofile.h"
#include "objects/memfile_fixture.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using geomfx::near;

class Point : public geomfx::GeomTest {
protected:
  void TearDown() override {
    for (feObject& value : results) feFree(&value);
    results.clear();
    GeomTest::TearDown();
  }
  // Runs FE text that leaves a point: the point (held until the end of the
  // test), or null with the run's error in *error.
  pointRec* make(const char* source, int* error = nullptr) {
    feObject result;
    const int rc = feCallScript(source, std::strlen(source), false, nullptr, 0, &result);
    if (error) *error = rc;
    if (rc != 0) return nullptr;
    results.push_back(result);
    void* record = nullptr;
    EXPECT_EQ(feGetObjRef(&result, "point", &record), 0);
    return static_cast<pointRec*>(record);
  }
  static void pos(const pointRec* p, double* out) {
    out[0] = p->vertex->x;
    out[1] = p->vertex->y;
    out[2] = p->vertex->z;
  }
  std::vector<feObject> results;
};

TEST_F(Point, AnEmptyListMakesAPlusAtTheOrigin) {
  pointRec* p = make("[] aPointMake");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->head.classId, pointClassId());
  EXPECT_EQ(p->vertex, vertexOrigin());
  EXPECT_EQ(p->head.style & 31, 0);
  EXPECT_EQ(pointMarkerStyle(p->head.style & 31), 2);
  EXPECT_EQ(p->head.flags & gobjInSieve, 0);  // entered in no document
}

TEST_F(Point, MarkerKindsMapToMarkerStyles) {
  const int styles[] = {2, 5, 3, 4, 0, 1, 3, 6, 8, 11, 13};
  for (int kind = 0; kind < 32; ++kind) EXPECT_EQ(pointMarkerStyle(kind), kind < 11 ? styles[kind] : 2) << kind;
}

TEST_F(Point, KeysSetThePositionAndSelectionAndEqualPositionsShareAVertex) {
  pointRec* a = make("[/loc [1 2 3] /ptsel 1] aPointMake");
  pointRec* b = make("[/loc [1 2 3]] aPointMake");
  ASSERT_TRUE(a && b);
  double xyz[3];
  pos(a, xyz);
  EXPECT_TRUE(near(xyz, {1, 2, 3}));
  EXPECT_EQ(a->vertex, b->vertex);
  EXPECT_NE(a->head.flags & gobjPointSel, 0);
  EXPECT_EQ(b->head.flags & gobjPointSel, 0);
  // Other keys go to the object's attributes.
  pointRec* c = make("[/colorno 3 /pt1 [4 5 6]] aPointMake");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->head.color, 3);
  pos(c, xyz);
  EXPECT_TRUE(near(xyz, {4, 5, 6}));
}

TEST_F(Point, BadListsMakeNothing) {
  struct Case {
    const char* source;
    int error;
  } cases[] = {
      {"5 aPointMake", feErrTypeCheck},
      {"[/loc] aPointMake", feErrLengthCheck},
      {"[/loc [1 2 3] /ptsel] aPointMake", feErrLengthCheck},
      {"[/loc [1 2]] aPointMake", feErrLengthCheck},
      {"[/ptsel (yes)] aPointMake", feErrTypeCheck},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    int error = 0;
    EXPECT_EQ(make(c.source, &error), nullptr);
    EXPECT_EQ(error, c.error);
    feExecString("clear");
  }
  // A key no one takes: the point is freed (the sanitizer would report a
  // leak) and the attribute's error is the answer.
  int error = 0;
  EXPECT_EQ(make("[/loc [1 1 1] /nosuchkey 1] aPointMake", &error), nullptr);
  EXPECT_NE(error, 0);
  feExecString("clear");
}

// In a document, a key passed on to the graphic object queues the point for
// update before it is refused: the queue's reference keeps it until the
// queue goes with the document, and only then is it freed (a point freed at
// once would be released again from the queue).
TEST_F(Point, ARefusedKeyInADocumentIsFreedByTheUpdateQueue) {
  ASSERT_EQ(feExecString("null aNewDoc"), 0);
  int error = 0;
  EXPECT_EQ(make("[/loc [1 1 1] /nosuchkey 1] aPointMake", &error), nullptr);
  EXPECT_NE(error, 0);
  feExecString("clear");
  docResetAll();
}

TEST_F(Point, CurveMessagesGiveThePositionWhateverTheParameter) {
  pointRec* p = make("[/loc [1 2 3]] aPointMake");
  ASSERT_NE(p, nullptr);
  gobjRec* o = &p->head;
  for (double t : {0.0, 0.5, 7.0}) {
    double xyz[3] = {9, 9, 9};
    EXPECT_EQ(crvPoint(o, t, xyz), 0);
    EXPECT_TRUE(near(xyz, {1, 2, 3}));
  }
  double d[3] = {9, 9, 9};
  EXPECT_EQ(crvPointAt(o, 0, 1, 0, d), -1);
  EXPECT_TRUE(near(d, {0, 0, 0}));
  const double t = 0.3;
  double xyz[3];
  EXPECT_EQ(objMeth(o->classId, msgPointAtT, o, reinterpret_cast<intptr_t>(&t), reinterpret_cast<intptr_t>(xyz)),
            0);
  EXPECT_TRUE(near(xyz, {1, 2, 3}));
  double box[6] = {};
  EXPECT_EQ(crvExtents(o, box), 0);
  EXPECT_TRUE(near(box, {1, 2, 3, 1, 2, 3}));
  double range[6] = {};
  EXPECT_EQ(objMeth(o->classId, msgBoxRange, o, reinterpret_cast<intptr_t>(&t), reinterpret_cast<intptr_t>(&t),
                    reinterpret_cast<intptr_t>(range)), 0);
  EXPECT_TRUE(near(range, {1, 2, 3, 1, 2, 3}));
  // The point's keys read back in world coordinates.
  EXPECT_EQ(get(o, "pt0", nullptr), 0);
  std::string text;
  EXPECT_EQ(get(o, "endpt", &text), 0);
  EXPECT_EQ(text, "[1. 2. 3. ]");
  // Not a curve of any length: the curve defaults answer.
  double squared = 0, param = 0;
  EXPECT_EQ(crvNearest(o, xyz, 2, &squared, &param, 1), -1);
  EXPECT_EQ(crvIsClosed(o), 0);
}

int collect(void* vertex, void* context, int number) {
  auto* seen = static_cast<std::vector<std::pair<const vertexRec*, int>>*>(context);
  seen->emplace_back(static_cast<const vertexRec*>(vertex), number);
  return 0;
}

TEST_F(Point, VerticesAndPointSelection) {
  pointRec* p = make("[/loc [1 2 3]] aPointMake");
  ASSERT_NE(p, nullptr);
  gobjRec* o = &p->head;
  std::vector<std::pair<const vertexRec*, int>> seen;
  EXPECT_EQ(objEnumPoints(o, nullptr, nullptr, 4), 5);
  EXPECT_EQ(objEnumPoints(o, collect, &seen, 4), 5);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].first, p->vertex);
  EXPECT_EQ(seen[0].second, 4);

  // Unselected: the selected-point messages leave it alone.
  seen.clear();
  const double delta[3] = {1, 1, 1};
  EXPECT_EQ(objMeth(o->classId, msgPtSelEnum, o, reinterpret_cast<intptr_t>(collect),
                    reinterpret_cast<intptr_t>(&seen), 2), 3);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(objMeth(o->classId, msgPtSelXform, o, reinterpret_cast<intptr_t>(delta)), 0);
  double xyz[3];
  pos(p, xyz);
  EXPECT_TRUE(near(xyz, {1, 2, 3}));

  // Selected (the handle drawn): they move and list it.
  EXPECT_EQ(objMeth(o->classId, msgPtSelSet, o, 0, 1), 0);
  EXPECT_NE(o->flags & gobjPointSel, 0);
  EXPECT_EQ(objMeth(o->classId, msgPtSelXform, o, reinterpret_cast<intptr_t>(delta)), 0);
  pos(p, xyz);
  EXPECT_TRUE(near(xyz, {2, 3, 4}));
  EXPECT_EQ(objMeth(o->classId, msgPtSelEnum, o, reinterpret_cast<intptr_t>(collect),
                    reinterpret_cast<intptr_t>(&seen), 2), 3);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(objMeth(o->classId, msgPtSelSet, o, 0, 0), 0);
  EXPECT_EQ(o->flags & gobjPointSel, 0);
}

TEST_F(Point, CopySharesTheVertexAndBareRecordsFreeCleanly) {
  pointRec* p = make("[/loc [1 2 3] /colorno 5] aPointMake");
  ASSERT_NE(p, nullptr);
  gobjRec* copy = nullptr;
  EXPECT_EQ(objMeth(p->head.classId, msgCopy, &p->head, reinterpret_cast<intptr_t>(&copy)), 0);
  ASSERT_NE(copy, nullptr);
  hold(copy);
  EXPECT_EQ(reinterpret_cast<pointRec*>(copy)->vertex, p->vertex);
  EXPECT_EQ(copy->color, 5);

  const double at[3] = {1, 2, 3};
  pointRec* bare = pointNew(at);
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare->vertex, p->vertex);
  EXPECT_EQ(bare->head.style, 0);
  hold(&bare->head);
}

TEST_F(Point, BoxAndClipTestsInPixels) {
  sheetfx::SheetWithView s = sheetfx::sheetWithView();
  vwSetCurView(s.view);
  pointRec* p = make("[/loc [0.5 0.5 0]] aPointMake");
  ASSERT_NE(p, nullptr);
  int32_t pixel[2];
  const double xyz[3] = {0.5, 0.5, 0};
  vwWorldToPixel(xyz, pixel);
  const int32_t around[4] = {pixel[0], pixel[1], pixel[0], pixel[1]};   // edges count
  const int32_t beside[4] = {pixel[0] + 1, pixel[1], pixel[0] + 5, pixel[1]};
  EXPECT_EQ(objMeth(p->head.classId, msgBoxTest, &p->head, 0, reinterpret_cast<intptr_t>(around)), 1);
  EXPECT_EQ(objMeth(p->head.classId, msgBoxTest, &p->head, 0, reinterpret_cast<intptr_t>(beside)), 0);
  plTestSetMessageBoxEcho(false);
  const size_t shown = plTestMessageBoxes().size();
  EXPECT_EQ(objMeth(p->head.classId, msgBoxTest, &p->head, 0, 0), 0);
  ASSERT_EQ(plTestMessageBoxes().size(), shown + 1);
  EXPECT_NE(plTestMessageBoxes().back().text.find("scrbox is NULL"), std::string::npos);

  int32_t saved[4];
  clipRectGet(saved);
  clipRectSet(around);
  clipHitTake();
  EXPECT_EQ(crvClipTest(&p->head), -1);
  EXPECT_EQ(clipHitTake(), 1u);
  clipRectSet(beside);
  EXPECT_EQ(crvClipTest(&p->head), 0);
  EXPECT_EQ(clipHitTake(), 0u);
  clipRectSet(saved);
}

}  // namespace

namespace {

// A point's position travels with its record from format version 1 on; a
// stream of version 0 carries none and the point read keeps the origin.
TEST_F(Point, ThePositionTravelsWithTheRecord) {
  pointRec* p = make("[/loc [4 3 0]] aPointMake");
  ASSERT_NE(p, nullptr);
  for (const int version : {4, 0}) {
    SCOPED_TRACE(version);
    ioDetachModules();
    ioCtx ctx{};
    memfile::open(ctx, uint32_t(version));
    gobjRec* slot = &p->head;
    ASSERT_GE(objSerialize(&p->head, &ctx, &slot), 0);
    memfile::readFromStart(ctx);
    gobjRec* fresh = hold(objNew(pointClassId()));
    slot = fresh;
    ASSERT_GE(objSerialize(fresh, &ctx, &slot), 0);
    double xyz[3];
    pos(reinterpret_cast<pointRec*>(fresh), xyz);
    if (version == 0) {
      EXPECT_TRUE(near(xyz, {0, 0, 0}, 0));
    } else {
      EXPECT_TRUE(near(xyz, {4, 3, 0}, 0));
    }
    uFreeIfSet(&ctx.types);
    std::fclose(ctx.stream);
  }
}

}  // namespace
