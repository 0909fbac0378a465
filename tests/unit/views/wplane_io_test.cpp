// Work planes in the drawing file: the stored record of a plane and a
// model's work-plane block, read back into a fresh model.
#include "views/wplane.h"

#include <initializer_list>  // for objects/io_detached.h

#include "core/alloc.h"
#include "objects/io_detached.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/memfile_fixture.h"
#include "objects/objrecord.h"
#include "views/doc.h"
#include "views/model.h"
#include "vw_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using vwfx::Vec;
using vwfx::near;

Vec vec(const double* v, int n = 3) { return Vec(v, v + n); }


class WplaneIoTest : public vwfx::VwTest {
protected:
  void SetUp() override {
    VwTest::SetUp();
    ioDetachModules();
    docCreate(&doc);
    docAddOpen(doc);
    source = newModel();
    target = newModel();
    memfile::open(ctx, 4);
  }
  void TearDown() override {
    ioRecordFree(&ctx);
    if (ctx.stream) std::fclose(ctx.stream);
    uFreeIfSet(&ctx.types);
    VwTest::TearDown();
  }

  modelRec* newModel() {
    modelRec* model = nullptr;
    modelCreate(&model);
    modelLink(model, doc);
    return model;
  }
  wplaneRec* add(modelRec* model, const char* title, const Vec& origin, const Vec& right, const Vec& up,
                 uint16_t flags = 0) {
    wplaneRec* plane = wpCreate(title, flags, origin.data(), right.data(), up.data());
    EXPECT_EQ(wpAddToModel(model, plane), 1);
    return plane;
  }
  static std::vector<std::string> titles(const modelRec* model) {
    std::vector<std::string> list;
    for (const wplaneRec* p = model->firstPlane; p; p = p->next) list.push_back(p->title);
    return list;
  }
  // The source's block written, then read into the target.
  int copyThroughFile() {
    if (const int answer = wpModelPlanesIO(source, &ctx, 1)) return answer;
    memfile::readFromStart(ctx);
    return wpModelPlanesIO(target, &ctx, 0);
  }

  docRec* doc = nullptr;
  modelRec* source = nullptr;
  modelRec* target = nullptr;
  ioCtx ctx{};
};

const double kSlantRight[3] = {std::sqrt(0.5), std::sqrt(0.5), 0};

TEST_F(WplaneIoTest, StoredFieldsAreTitleFlagsEquationOriginAndUp) {
  wplaneRec* slant = add(source, "Slant", {1, 2, 3}, vec(kSlantRight), {0, 0, 1});
  source->curPlane = slant;
  ASSERT_EQ(wpModelPlanesIO(source, &ctx, 1), 0);
  memfile::readFromStart(ctx);
  int32_t count = 0, currentAt = 0;
  ASSERT_GT(ioFormat(&ctx, "ii", &count, &currentAt), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(currentAt, 1);
  for (const wplaneRec* plane : {source->firstPlane, slant}) {
    SCOPED_TRACE(plane->title);
    int32_t type = -1, length = 0;
    char* title = nullptr;
    uint16_t flags = 0;
    double equation[4], origin[3], up[3];
    ASSERT_GT(ioFormat(&ctx, "il", &type, &length), 0);
    EXPECT_EQ(ctx.types[type].classId, wplaneClassId());
    ASSERT_GT(ioFormat(&ctx, "Ss4d3d3d", &title, &flags, equation, origin, up), 0);
    EXPECT_STREQ(title, plane->title);
    uFreeIfSet(&title);
    EXPECT_EQ(flags, plane->flags);
    EXPECT_EQ(vec(equation, 4), vec(plane->equation, 4));
    EXPECT_EQ(vec(origin), vec(plane->origin));
    EXPECT_EQ(vec(up), vec(plane->up));
  }
}

TEST_F(WplaneIoTest, PlanesComeBackWithTheirFramesAndTheCurrentPlane) {
  wplaneRec* world = target->firstPlane;
  wplaneRec* slant = add(source, "Slant", {1, 2, 3}, vec(kSlantRight), {0, 0, 1});
  add(source, "Top", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, wpLocked);
  source->curPlane = slant;
  ASSERT_EQ(copyThroughFile(), 0);
  EXPECT_EQ(gobjfx::boxes(), "");
  EXPECT_EQ(titles(target), (std::vector<std::string>{"World", "Slant", "Top"}));
  EXPECT_EQ(target->firstPlane, world) << "the model keeps its own World plane";
  wplaneRec* back = world->next;
  EXPECT_EQ(target->curPlane, back);
  EXPECT_EQ(back->owner, target);
  EXPECT_EQ(back->flags, wpOffset | wpStale);
  EXPECT_TRUE(near(vec(back->right), vec(slant->right))) << "rebuilt from up and the normal";
  ASSERT_EQ(wpUpdate(back), 0);
  EXPECT_TRUE(near(vec(back->planeToWorld, 16), vec(slant->planeToWorld, 16)));
  EXPECT_TRUE(near(vec(back->worldToPlane, 16), vec(slant->worldToPlane, 16)));
  EXPECT_EQ(back->next->flags, wpLocked | wpStale);
}

TEST_F(WplaneIoTest, AStoredWorldPlaneMovesTheModelsOwnInItsPlace) {
  wplaneRec* world = target->firstPlane;
  add(source, "Slant", {1, 2, 3}, vec(kSlantRight), {0, 0, 1});
  add(source, "Top", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  // The source's list: Slant, World, Top; World is current.
  wplaneRec* slant = source->firstPlane->next;
  ASSERT_EQ(ownedUnlink(slant), 0);
  ASSERT_EQ(ownedInsert(slant, 0), 0);
  const int32_t planes = vwLive().planes;
  ASSERT_EQ(copyThroughFile(), 0);
  EXPECT_EQ(titles(target), (std::vector<std::string>{"Slant", "World", "Top"}));
  EXPECT_EQ(target->firstPlane->next, world);
  EXPECT_EQ(target->curPlane, world);
  EXPECT_EQ(vwLive().planes, planes + 2) << "the stored World plane was not kept";
}

TEST_F(WplaneIoTest, PlanesAlreadyThereAreDroppedAndTheCurrentPlaneResets) {
  wplaneRec* slant = add(source, "Slant", {1, 2, 3}, vec(kSlantRight), {0, 0, 1});
  add(source, "Top", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  add(source, "Side", {0, 0, 0}, {0, 1, 0}, {0, 0, 1});
  source->curPlane = slant;
  add(target, "Slant", {1, 2, 3}, vec(kSlantRight), {0, 0, 1});
  add(target, "Top", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  wplaneRec* world = target->firstPlane;
  target->curPlane = world->next;
  const int32_t planes = vwLive().planes;
  ASSERT_EQ(copyThroughFile(), 0);
  EXPECT_EQ(titles(target), (std::vector<std::string>{"Slant", "Top", "World", "Side"}));
  EXPECT_EQ(gobjfx::boxes(),
            "Plane named 'Slant' already exists.|One (or more) Work Planes Removed!|"
            "Plane named 'Top' already exists.|Work Plane reset to World!|");
  EXPECT_EQ(target->curPlane, world) << "the World plane, wherever it stands";
  EXPECT_EQ(vwLive().planes, planes + 1);
}

TEST_F(WplaneIoTest, ARecordThatIsNoPlaneIsBadData) {
  gobjRec* intruder = objNew(tpoint());
  int32_t count = 1, currentAt = 0;
  ASSERT_GT(ioFormat(&ctx, "ii", &count, &currentAt), 0);
  ASSERT_GT(objWrite(intruder, &ctx), 0);
  objFree(intruder);
  memfile::readFromStart(ctx);
  const int32_t planes = vwLive().planes;
  EXPECT_EQ(wpModelPlanesIO(target, &ctx, 0), ioErrBadData);
  EXPECT_EQ(gobjfx::boxes(), "Bad data in file|");
  EXPECT_EQ(titles(target), (std::vector<std::string>{"World"}));
  EXPECT_EQ(vwLive().planes, planes);
}

}  // namespace
