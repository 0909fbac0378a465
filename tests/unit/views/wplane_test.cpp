// Work planes: frames and conversions, the standard planes, the keys and
// their locks, adding and deleting planes, the current plane, the planes
// made from tracked points and from a view, pixels, and the operators.
#include "views/wplane.h"

#include "core/alloc.h"
#include "core/text.h"
#include "fe/arrays.h"
#include "fe/script.h"
#include "fe/stack.h"
#include "objects/gobject.h"
#include "objects/uphooks.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/view.h"

#include <platform_test.h>
#include "views/vwinit.h"
#include "vw_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using vwfx::Vec;
using vwfx::near;

Vec vec(const double* v) { return Vec(v, v + 3); }


class WplaneTest : public vwfx::VwTest {
protected:
  void SetUp() override {
    VwTest::SetUp();
    planes = vwLive().planes;
    docCreate(&doc);
    docAddOpen(doc);
    docSetCurrent(doc);
    modelCreate(&model);
    modelLink(model, doc);
    modelSetCurrent(model);
    world = model->firstPlane;
    vwfx::changes().clear();
  }
  void TearDown() override {
    vwSetCurXform(nullptr);
    modelSetCurrent(nullptr);
    wpSetCurrent(nullptr);
    VwTest::TearDown();
  }

  // A plane added to the model.
  wplaneRec* add(const char* title, const Vec& origin, const Vec& right, const Vec& up, uint16_t flags = 0) {
    wplaneRec* plane = wpCreate(title, flags, origin.data(), right.data(), up.data());
    EXPECT_EQ(wpAddToModel(model, plane), 1);
    return plane;
  }
  std::vector<std::string> titles() const {
    std::vector<std::string> list;
    for (const wplaneRec* p = model->firstPlane; p; p = p->next) list.push_back(p->title);
    return list;
  }

  static feObject point(double x, double y, double z) {
    const double p[3] = {x, y, z};
    feObject v;
    feMakeRealArray(&v, p, 3);
    return v;
  }
  // Runs FE text that leaves a program object: its record (null when the
  // text fails or leaves something else).
  static void* record(const char* source) {
    void* found = nullptr;
    const feStack* stack = *feOperandStack();
    if (feExecString(source) == 0 && feStackCount(stack) == 1 && feType(feStackIndex(stack, 0)) == feTObject)
      found = feStackIndex(stack, 0)->w0.obj;
    feStackClear(*feOperandStack());
    return found;
  }

  docRec* doc = nullptr;
  modelRec* model = nullptr;
  wplaneRec* world = nullptr;
  int32_t planes = 0;
};

TEST_F(WplaneTest, StandardPlanesAreLockedWithNormalsRightCrossUp) {
  wpCopyPlanes(nullptr, model);
  EXPECT_EQ(titles(), (std::vector<std::string>{"World", "Top", "Right", "Front"}));
  const struct {
    const char* title;
    Vec normal;
  } cases[] = {{"Top", {0, 0, 1}}, {"Right", {1, 0, 0}}, {"Front", {0, -1, 0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    wplaneRec* plane = wpFind(model, c.title, uint32_t(std::strlen(c.title)));
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(plane->flags, wpLocked);
    EXPECT_TRUE(near(vec(plane->equation), c.normal));
    EXPECT_EQ(plane->equation[3], 0.0);
    EXPECT_EQ(plane->owner, model);
  }
  EXPECT_EQ(wpFind(model, "front", 5), wpFind(model, "Front", 5));
}

TEST_F(WplaneTest, ConversionsBetweenPlaneAndWorld) {
  wplaneRec* plane = add("Side", {1, 2, 3}, {0, 1, 0}, {0, 0, 1});
  EXPECT_TRUE(near(vec(plane->equation), {1, 0, 0}));
  EXPECT_EQ(plane->equation[3], -1.0);
  EXPECT_EQ(plane->flags, wpOffset);
  const auto handle = reinterpret_cast<intptr_t>(plane);
  const struct {
    int kind;
    Vec in, out;
  } cases[] = {
      {0, {1, 0, 0}, {1, 3, 3}},  // a point of the plane into the world
      {1, {1, 0, 0}, {0, 1, 0}},  // a direction: no translation
      {2, {1, 3, 3}, {1, 0, 0}},
      {3, {0, 1, 0}, {1, 0, 0}},
      {0, {0, 0, 2}, {3, 2, 3}},  // height above the plane along the normal
      {2, {3, 2, 3}, {0, 0, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    double out[3];
    EXPECT_EQ(wpConvert(c.kind, c.in.data(), handle, out), 0);
    EXPECT_TRUE(near(vec(out), c.out));
  }
  double out[3];
  const double in[3] = {1, 0, 0};
  EXPECT_EQ(wpConvert(4, in, handle, out), -1);
  EXPECT_EQ(vec(out), vec(in));
  EXPECT_EQ(wpConvert(0, in, reinterpret_cast<intptr_t>(model), out), -1) << "not a plane";

  // Through the current plane, and unchanged without a current model.
  wpSetCurrent(plane);
  wpConvert(0, in, 0, out);
  EXPECT_TRUE(near(vec(out), {1, 3, 3}));
  double p[3] = {1, 0, 0};
  ptConvertByFlag(p, 1);
  EXPECT_TRUE(near(vec(p), {1, 3, 3})) << "the scripts' conversion";
  ptConvertByFlag(p, 257);
  EXPECT_TRUE(near(vec(p), {1, 0, 0}));
  EXPECT_EQ(eval("[1 0 0] aPlaneToWorld [1 3 3] aWorldToPlane [1 0 0] aPlaneToWorldV [0 1 0] aWorldToPlaneV"),
            "[1. 3. 3. ] [1. 0 0 ] [0 1. 0 ] [1. 0 0 ]");
  double axis[3], equation[4];
  wpGetAxis(2, axis);
  EXPECT_TRUE(near(vec(axis), {1, 0, 0}));
  wpGetAxis(3, axis);
  EXPECT_TRUE(near(vec(axis), {1, 2, 3}));
  wpGetOrigin(equation);
  EXPECT_EQ(equation[3], -1.0);

  vwRecordCurModel(nullptr);
  wpConvert(0, in, 0, out);
  EXPECT_EQ(vec(out), vec(in));
  wpGetAxis(3, axis);
  EXPECT_EQ(vec(axis), (Vec{0, 0, 0}));
  wpGetAxis(0, axis);
  EXPECT_EQ(vec(axis), (Vec{1, 0, 0}));
}

TEST_F(WplaneTest, WorldPlaneCannotBeUnlockedChangedOrDeleted) {
  wpCopyPlanes(nullptr, model);
  wplaneRec* top = wpFind(model, "Top", 3);
  std::string lock;
  EXPECT_EQ(get(world, "lock", &lock), 0);
  EXPECT_EQ(lock, "true");
  EXPECT_EQ(set(world, "lock", boolean(false)), vwErrLocked);
  EXPECT_EQ(set(world, "origin", point(1, 0, 0)), vwErrLocked);
  EXPECT_EQ(set(world, "right", point(0, 1, 0)), vwErrLocked);
  EXPECT_EQ(set(world, "title", text("Earth")), vwErrLocked);
  EXPECT_EQ(set(world, "lock", boolean(true)), 0);
  EXPECT_EQ(world->flags, wpWorld | wpLocked);
  EXPECT_EQ(objMeth(wplaneClassId(), 345, world), vwErrCannotDeleteWP) << "the model's current plane";

  ASSERT_EQ(modelSetWorkPlane(model, top), 0);
  EXPECT_EQ(objMeth(wplaneClassId(), 345, world), vwErrLocked);
  EXPECT_EQ(objMeth(wplaneClassId(), 345, top), vwErrCannotDeleteWP);
  wplaneRec* front = wpFind(model, "Front", 5);
  EXPECT_EQ(objMeth(wplaneClassId(), 345, front), vwErrLocked);
  // A user's lock comes off.
  EXPECT_EQ(set(front, "lock", boolean(false)), 0);
  EXPECT_EQ(front->flags, 0);
  wpSetCurrent(front);
  EXPECT_EQ(objMeth(wplaneClassId(), 345, front), vwErrCannotDeleteWP) << "the program's current plane";
  wpSetCurrent(top);
  vwfx::changes().clear();
  EXPECT_EQ(objMeth(wplaneClassId(), 345, front), 0);
  EXPECT_EQ(titles(), (std::vector<std::string>{"World", "Top", "Right"}));
  EXPECT_EQ(vwfx::changes(), (std::vector<std::pair<uint32_t, intptr_t>>{
                                 {vwEvPlaneFreed, reinterpret_cast<intptr_t>(front)}}));
  EXPECT_EQ(vwLive().planes, planes + 3);
}

TEST_F(WplaneTest, DeletingAPlaneThatCannotBeUnlinkedAnswersWhy) {
  wplaneRec* loose = wpCreate("Loose", 0, Vec{0, 0, 0}.data(), Vec{1, 0, 0}.data(), Vec{0, 1, 0}.data());
  EXPECT_EQ(objMeth(wplaneClassId(), 345, loose), vwErrNoOwner);
  // Claims the model but is not on its list.
  loose->owner = model;
  EXPECT_EQ(objMeth(wplaneClassId(), 345, loose), vwErrNotInList);
  EXPECT_EQ(vwfx::changes().size(), 0u);
  EXPECT_EQ(loose->owner, model) << "nothing happened to it";
  loose->owner = nullptr;
  objMeth(wplaneClassId(), 100, loose);
  EXPECT_EQ(vwLive().planes, planes + 1) << "the model's World plane";
}

TEST_F(WplaneTest, AxisOriginAndOtherKeys) {
  wplaneRec* plane = add("P", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  EXPECT_EQ(set(plane, "right", point(0, 0, 0)), vwErrBadWP);
  EXPECT_EQ(set(plane, "up", point(1e-300, 0, 0)), vwErrBadWP);
  EXPECT_EQ(plane->flags & wpStale, 0);
  EXPECT_EQ(set(plane, "up", point(0, 0, 4)), 0);
  EXPECT_EQ(vec(plane->up), (Vec{0, 0, 1}));
  EXPECT_EQ(plane->flags & wpStale, wpStale);
  std::string normal;
  EXPECT_EQ(get(plane, "normal", &normal), 0) << "brought up to date first";
  EXPECT_EQ(normal, "[0 -1. 0 ]");
  EXPECT_EQ(plane->flags & wpStale, 0);

  EXPECT_EQ(set(plane, "origin", point(1e-9, 0, 0)), 0);
  EXPECT_EQ(plane->flags & wpOffset, 0);
  EXPECT_EQ(set(plane, "origin", point(1e-7, 0, 0)), 0);
  EXPECT_EQ(plane->flags & wpOffset, wpOffset);
  EXPECT_EQ(plane->flags & wpStale, wpStale);
  EXPECT_EQ(set(plane, "update", boolean(true)), 0);
  EXPECT_EQ(plane->flags & wpStale, 0);
  EXPECT_EQ(plane->equation[3], 0.0);

  // Parallel axes give no plane: the old frame stays, still out of date.
  const Vec before = vec(plane->equation);
  EXPECT_EQ(set(plane, "up", point(-3, 0, 0)), 0);
  EXPECT_EQ(set(plane, "update", boolean(true)), vwErrBadWP);
  EXPECT_EQ(plane->flags & wpStale, wpStale);
  EXPECT_EQ(vec(plane->equation), before);
  EXPECT_EQ(set(plane, "up", point(0, 1, 0)), 0);

  EXPECT_EQ(set(plane, "normal", point(0, 0, 1)), 1);
  EXPECT_EQ(set(plane, "active", boolean(true)), 1);
  EXPECT_EQ(set(plane, "colour", integer(3)), 1);
  std::string value;
  EXPECT_EQ(get(plane, "colour", &value), vwErrBadKey);
  EXPECT_EQ(get(plane, "active", &value), 0);
  EXPECT_EQ(value, "false");
  EXPECT_EQ(get(world, "active", &value), 0);
  EXPECT_EQ(value, "true");
  EXPECT_EQ(get(plane, "origin", &value), 0);
  EXPECT_EQ(value, "[1.e-7 0 0 ]");

  EXPECT_EQ(set(plane, "lock", boolean(true)), 0);
  EXPECT_EQ(set(plane, "origin", point(0, 0, 0)), vwErrLocked);
  EXPECT_EQ(set(plane, "normal", point(0, 0, 1)), vwErrLocked);
  EXPECT_EQ(set(plane, "colour", integer(3)), 1);
}

TEST_F(WplaneTest, TitlesAndOrderWithinTheModel) {
  wplaneRec* a = add("A", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  wplaneRec* b = add("B", {0, 0, 0}, {0, 1, 0}, {0, 0, 1});
  vwfx::changes().clear();
  EXPECT_EQ(set(b, "title", text("a")), vwErrTitleNotUnique);
  EXPECT_EQ(set(b, "title", text("B")), 0);
  EXPECT_EQ(set(b, "title", text("Side")), 0);
  EXPECT_EQ(set(b, "order", integer(0)), 0);
  EXPECT_EQ(titles(), (std::vector<std::string>{"Side", "World", "A"}));
  EXPECT_EQ(set(world, "order", integer(-1)), 0) << "order is taken on a locked plane";
  EXPECT_EQ(titles(), (std::vector<std::string>{"Side", "A", "World"}));
  EXPECT_EQ(set(a, "order", integer(1)), 0);
  EXPECT_EQ(titles(), (std::vector<std::string>{"Side", "A", "World"}));
  EXPECT_EQ(vwfx::changeCodes(), std::vector<uint32_t>(5, vwEvPlaneChanged));
  wplaneRec* loose = nullptr;
  wpNew(&loose);
  EXPECT_EQ(set(loose, "order", integer(0)), vwErrNoCurDoc);
  EXPECT_EQ(set(loose, "title", text("A")), 0) << "no model: any title";
  objMeth(wplaneClassId(), 100, loose);
}

TEST_F(WplaneTest, AddingNamesPlanesAndSkipsIdenticalDuplicates) {
  wplaneRec* first = add("", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  EXPECT_STREQ(first->title, "Plane 1");
  add("Side", {1, 2, 3}, {0, 1, 0}, {0, 0, 1});
  EXPECT_EQ(vwfx::changeCodes(), std::vector<uint32_t>(2, vwEvPlaneCreated));
  EXPECT_EQ(gobjfx::boxes(), "");

  wplaneRec* same = wpCreate("side", 0, Vec{1, 2, 3}.data(), Vec{0, 1, 0}.data(), Vec{0, 0, 1}.data());
  EXPECT_EQ(wpAddToModel(model, same), 0);
  EXPECT_EQ(gobjfx::boxes(), "Plane named 'Side' already exists.|");
  EXPECT_EQ(same->owner, nullptr);
  objMeth(wplaneClassId(), 100, same);

  wplaneRec* moved = wpCreate("Side", 0, Vec{1, 2, 4}.data(), Vec{0, 1, 0}.data(), Vec{0, 0, 1}.data());
  EXPECT_EQ(wpAddToModel(nullptr, moved), 1) << "the current model";
  EXPECT_STREQ(moved->title, "Plane 2");
  EXPECT_EQ(titles(), (std::vector<std::string>{"World", "Plane 1", "Side", "Plane 2"}));
  EXPECT_EQ(wpAddToModel(model, moved), 0) << "owned already";
  EXPECT_EQ(moved->head.object.refCount, 1);
}

TEST_F(WplaneTest, CurrentPlaneHoldsOneReferenceAndRaisesTheSerial) {
  wplaneRec* a = add("A", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  wplaneRec* b = add("B", {0, 0, 0}, {0, 1, 0}, {0, 0, 1});
  EXPECT_EQ(wpCurrent(), world);
  const uint16_t serial = wpSerial();
  EXPECT_EQ(wpSetCurrent(a), world);
  EXPECT_EQ(a->head.object.refCount, 2);
  EXPECT_EQ(world->head.object.refCount, 1);
  EXPECT_EQ(wpSerial(), serial + 1);
  EXPECT_EQ(wpSetCurrent(a), a);
  EXPECT_EQ(wpSerial(), serial + 1) << "current and up to date: nothing";
  a->flags |= wpStale;
  wpSetCurrent(a);
  EXPECT_EQ(wpSerial(), serial + 2);
  EXPECT_EQ(a->flags & wpStale, 0);
  EXPECT_EQ(a->head.object.refCount, 2);
  // Clearing gives the reference back: the plane goes with its model.
  EXPECT_EQ(wpSetCurrent(nullptr), a);
  EXPECT_EQ(a->head.object.refCount, 1);
  EXPECT_EQ(wpCurrent(), nullptr);
  // The serial keeps 15 bits.
  while (wpSerial() != 0x7FFF) wpSetCurrent(wpCurrent() == a ? b : a);
  wpSetCurrent(wpCurrent() == a ? b : a);
  EXPECT_EQ(wpSerial(), 0);
}

// A plane made current that nothing else holds goes when another plane is
// made current: nothing could reach it any more. A plane that stands in for
// a while (the world plane of objPushWorldPlane) keeps the one before alive
// until it is current again, whoever else let go of it meanwhile.
TEST_F(WplaneTest, ACurrentPlaneNothingElseHoldsGoesWhenReplaced) {
  const double origin[3] = {0, 0, 0}, right[3] = {1, 0, 0}, up[3] = {0, 1, 0};
  const int32_t before = vwLive().planes;
  wplaneRec* loose = wpCreate("Loose", 0, origin, right, up);
  wpSetCurrent(loose);
  EXPECT_EQ(loose->head.object.refCount, 1);
  wpSetCurrent(world);
  EXPECT_EQ(vwLive().planes, before) << "the loose plane was freed";
  EXPECT_EQ(world->head.object.refCount, 2);

  objViewHooks hooks{};
  vwFillObjectHooks(&hooks);
  objSetViewHooks(hooks);
  loose = wpCreate("Loose", 0, origin, right, up);
  wpSetCurrent(loose);
  const objSavedPlane saved = objPushWorldPlane();
  ASSERT_NE(saved.plane, nullptr);
  EXPECT_EQ(wpCurrent(), saved.plane);
  EXPECT_EQ(vwLive().planes, before + 2);
  objPopWorldPlane(saved);
  objSetViewHooks(objViewHooks{});
  EXPECT_EQ(wpCurrent(), loose);
  EXPECT_EQ(loose->head.object.refCount, 1);
  EXPECT_EQ(vwLive().planes, before + 1) << "the world plane went, the loose one stays";
  wpSetCurrent(nullptr);
  EXPECT_EQ(vwLive().planes, before);
}

TEST_F(WplaneTest, TrackedPointsMakeTheTemporaryWorkPlane) {
  const double parallel[3][3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
  const double repeated[3][3] = {{1, 1, 1}, {1, 1, 1}, {2, 0, 0}};
  const double good[3][3] = {{1, 2, 3}, {1, 5, 3}, {1, 2, 7}};
  EXPECT_EQ(wpTrackMake(parallel, 3, 0), vwErrBadWP);
  EXPECT_EQ(wpTrackMake(repeated, 3, 0), vwErrBadWP);
  EXPECT_EQ(wpTrackMake(good, 2, 0), 0) << "three points needed";
  EXPECT_EQ(titles(), (std::vector<std::string>{"World"}));

  EXPECT_EQ(wpTrackMake(good, 3, 0), 1);
  wplaneRec* temp = wpFind(model, "TempPlane", 9);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(model->curPlane, temp);
  EXPECT_EQ(wpCurrent(), temp);
  EXPECT_TRUE(near(vec(temp->right), {0, 1, 0}));
  EXPECT_TRUE(near(vec(temp->up), {0, 0, 1}));
  EXPECT_TRUE(near(vec(temp->origin), {1, 2, 3}));
  EXPECT_TRUE(near(vec(temp->equation), {1, 0, 0}));

  // One point: the current plane's axes at a new origin, in the same
  // temporary plane.
  const double one[1][3] = {{5, 5, 5}};
  EXPECT_EQ(wpTrackMake(one, 1, 1), 1);
  EXPECT_EQ(wpFind(model, "TempPlane", 9), temp);
  EXPECT_EQ(titles(), (std::vector<std::string>{"World", "TempPlane"}));
  EXPECT_TRUE(near(vec(temp->origin), {5, 5, 5}));
  EXPECT_TRUE(near(vec(temp->right), {0, 1, 0}));

  modelSetCurrent(nullptr);
  EXPECT_EQ(wpTrackMake(good, 3, 0), 0) << "no current model";
}

TEST_F(WplaneTest, PlaneFacingAView) {
  wplaneRec* base = add("Base", {1, 2, 3}, {1, 0, 0}, {0, 1, 0});
  wpSetCurrent(base);
  viewRec view{};
  const double normal[3] = {3, 0, 0}, up[3] = {0, 0, 1};
  std::memcpy(view.states[0].normal, normal, sizeof normal);
  std::memcpy(view.states[0].up, up, sizeof up);
  wpFromView(&view);
  wplaneRec* temp = wpCurrent();
  ASSERT_NE(temp, base);
  EXPECT_STREQ(temp->title, "TempPlane");
  EXPECT_EQ(temp->flags & (wpFacing | wpStale), wpFacing);
  EXPECT_TRUE(near(vec(temp->origin), {1, 2, 3}));
  EXPECT_TRUE(near(vec(temp->equation), {1, 0, 0}));
  EXPECT_TRUE(near(vec(temp->right), {0, 1, 0}));
  EXPECT_EQ(model->curPlane, world) << "the model's own plane stays";
}

TEST_F(WplaneTest, PixelsMeetTheCurrentPlane) {
  // Screen x = 2 x + 10, y = 2 y + 20, depth = z.
  const double screen[16] = {2, 0, 0, 10, 0, 2, 0, 20, 0, 0, 1, 0, 0, 0, 0, 1};
  vwSetCurXform(screen);
  const double p[3] = {1, 2, 0};
  int32_t pixel[2];
  vwWorldToPixel(p, pixel);
  EXPECT_EQ(pixel[0], 12);
  EXPECT_EQ(pixel[1], 24);
  double back[3];
  vwPixelToWorld(pixel, back);
  EXPECT_TRUE(near(vec(back), {1, 2, 0}));
  wplaneRec* raised = add("Raised", {0, 0, 5}, {1, 0, 0}, {0, 1, 0});
  wpSetCurrent(raised);
  vwPixelToWorld(pixel, back);
  EXPECT_TRUE(near(vec(back), {1, 2, 5}));
  wpSetCurrent(add("Wall", {0, 0, 0}, {1, 0, 0}, {0, 0, 1}));
  vwPixelToWorld(pixel, back);
  EXPECT_TRUE(near(vec(back), {1, 2, 0})) << "the eye ray runs along the plane";
}

TEST_F(WplaneTest, Operators) {
  wplaneRec* side = add("Side", {1, 2, 3}, {0, 1, 0}, {0, 0, 1});
  EXPECT_EQ(eval("aWPlaneNames"), "(World) (Side) 2");
  EXPECT_EQ(record("(side) aWPlaneFind"), side);
  EXPECT_EQ(eval("(Top) aWPlaneFind"), std::to_string(vwErrWPlaneNotFound));
  EXPECT_EQ(record("aCurWPlane"), world);
  EXPECT_EQ(record("(Side) aWPlaneFind aSetWPlane aCurWPlane"), side);
  EXPECT_EQ(model->curPlane, world) << "aSetWPlane sets the program's plane only";
  modelSetCurrent(nullptr);
  EXPECT_EQ(eval("aWPlaneNames"), "0");
  EXPECT_EQ(eval("(Side) aWPlaneFind"), std::to_string(vwErrNoCurDoc));
  EXPECT_EQ(eval("aCurWPlane"), std::to_string(vwErrNoCurPlane));
  EXPECT_EQ(eval("[1 2 3] aPlaneToWorld"), "[1. 2. 3. ]") << "no current model: unchanged";
}

TEST_F(WplaneTest, NewCreateAndInsertMessages) {
  wplaneRec* side = add("Side", {1, 2, 3}, {0, 1, 0}, {0, 0, 1});
  wpSetCurrent(side);
  wplaneRec* fresh = reinterpret_cast<wplaneRec*>(objNew(wplaneClassId()));
  ASSERT_NE(fresh, nullptr);
  EXPECT_STREQ(fresh->title, "");
  EXPECT_EQ(fresh->flags, 0);
  EXPECT_EQ(vec(fresh->origin), vec(side->origin)) << "the current plane's frame";
  objMeth(wplaneClassId(), 100, fresh);

  ASSERT_EQ(feExecString("/list [/type (wplane) /title (Made) /origin [0 0 9]] def"), 0);
  feObject key = gobjfx::name("list"), list;
  ASSERT_EQ(feLoad(&key, &list), 0);
  wplaneRec* made = nullptr;
  EXPECT_EQ(objMeth(wplaneClassId(), 402, nullptr, reinterpret_cast<intptr_t>(&list),
                    reinterpret_cast<intptr_t>(&made)),
            0);
  feFree(&list);
  ASSERT_TRUE(wplaneIs(made));
  EXPECT_STREQ(made->title, "Made");
  // The keyed origin is given in the current plane's coordinates.
  EXPECT_EQ(vec(made->origin), (Vec{10, 2, 3}));
  EXPECT_EQ(objMeth(wplaneClassId(), 344, made), 0);
  EXPECT_EQ(made->owner, model);
  EXPECT_EQ(made->head.object.refCount, 1) << "the model's list holds it";
  modelSetCurrent(nullptr);
  wplaneRec* other = nullptr;
  wpNew(&other);
  EXPECT_EQ(objMeth(wplaneClassId(), 344, other), vwErrNoCurModel);
  objMeth(wplaneClassId(), 100, other);
}

}  // namespace

namespace {

// A locked work plane's flags word lies where a graphic object keeps its
// "in the sieve" bit: freeing the plane through the object routine must
// free it all the same (a plane read from a damaged file is dropped so).
TEST_F(WplaneTest, ALockedPlaneNobodyHoldsIsFreedByTheObjectRoutine) {
  const double origin[3] = {0, 0, 0}, right[3] = {1, 0, 0}, up[3] = {0, 1, 0};
  wplaneRec* plane = wpCreate("loose", wpLocked, origin, right, up);
  ASSERT_NE(plane, nullptr);
  ASSERT_EQ(plane->head.object.refCount, 0);
  const size_t alerts = plTestMessageBoxes().size();
  objFree(reinterpret_cast<gobjRec*>(plane));  // LeakSanitizer finds it otherwise
  EXPECT_EQ(plTestMessageBoxes().size(), alerts) << "no alert of an object in the sieve";
}

}  // namespace
