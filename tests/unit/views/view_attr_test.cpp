// The attribute keys of views: what they read, what setting them changes,
// and the values and views they refuse.
#include "sheet_fixture.h"

#include "core/debug.h"
#include "draw/csys.h"
#include "views/vdef.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using sheetfx::SheetTest;

class ViewAttr : public SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    csysInit();
    const sheetfx::SheetWithView s = sheetfx::sheetWithView();
    doc = s.doc, sheet = s.sheet, view = s.view, draft = s.draft;
  }
  static std::string read(viewRec* v, const char* key) {
    std::string text;
    const int answer = get(v, key, &text);
    return answer ? std::to_string(answer) : text;
  }
  static feObject triple(double x, double y, double z) { return reals({x, y, z}); }
  static feObject ints(std::initializer_list<int32_t> values) {
    std::vector<feObject> elements;
    for (int32_t i : values) elements.push_back(integer(i));
    feObject array;
    feMakeArray(&array, elements.data(), uint32_t(elements.size()));
    return array;
  }

  docRec* doc = nullptr;
  sheetRec* sheet = nullptr;
  viewRec* view = nullptr;
  viewRec* draft = nullptr;
};

TEST_F(ViewAttr, KeysReadTheViewsState) {
  viewState& s = view->states[0];
  s.centre[0] = 1, s.centre[1] = 2, s.centre[2] = 3;
  view->renderMode = 2;
  view->perspectiveEye[0] = 7;
  const struct {
    const char* key;
    std::string want;
  } cases[] = {
      {"scale", "1."},
      {"eye", "[1. 2. 6. ]"},  // the centre plus the normal as stored
      {"center", "[1. 2. 3. ]"},
      {"normal", "[0 0 3. ]"},
      {"up", "[0 1. 0 ]"},
      {"corners", "[-1. -1. 1. 1. ]"},
      {"box", "[4 4 196 196 ]"},
      {"draft", "false"},
      {"autofront", "false"},
      {"grid", "false"},
      {"render-mode", "2"},
      {"perspective", "false"},
      {"perspective-dist", "1."},
      {"perspective-angle", "50."},
      {"perspective-eye", "[7. 0 0 ]"},
      {"title", "()"},
      {"update", "-209"},  // cannot be read
      {"nosuchkey", "-209"},
  };
  for (const auto& c : cases) EXPECT_EQ(read(view, c.key), c.want) << c.key;
  EXPECT_EQ(read(draft, "draft"), "true");
  vdefStandardSet(doc);
  EXPECT_EQ(read(draft, "vdirname"), "(Top)") << "looking down with y up";
  EXPECT_EQ(read(view, "vdirname"), "(Top)");
  view->states[0].up[0] = 1, view->states[0].up[1] = 0;
  EXPECT_EQ(read(view, "vdirname"), "()");
  draft->flags |= viewAutoFront;
  EXPECT_EQ(read(draft, "autofront"), "false") << "never for a draft view";
}

TEST_F(ViewAttr, TheDraftViewRefusesEyeAndCentre) {
  const viewState before = draft->states[0];
  const uint32_t stamp = draft->stamp;
  EXPECT_EQ(set(draft, "eye", triple(5, 5, 5)), vwErrNoModDraftView);
  EXPECT_EQ(set(draft, "center", triple(5, 5, 5)), vwErrNoModDraftView);
  EXPECT_EQ(std::memcmp(&before, &draft->states[0], sizeof before), 0);
  EXPECT_EQ(draft->stamp, stamp);
  // The scale of a draft view is its sheet's: setting it does nothing.
  EXPECT_EQ(set(draft, "scale", real(3)), 0);
  EXPECT_EQ(draft->states[0].scale, 1.0);
}

TEST_F(ViewAttr, DirectionsAreStoredAsUnitVectors) {
  ASSERT_EQ(set(view, "center", triple(1, 1, 0)), 0);
  ASSERT_EQ(set(view, "eye", triple(1, 1, 4)), 0);
  EXPECT_EQ(read(view, "normal"), "[0 0 1. ]");
  ASSERT_EQ(set(view, "up", triple(0, 0, 0)), vwErrBadValue);
  EXPECT_EQ(read(view, "up"), "[0 1. 0 ]");
  ASSERT_EQ(set(view, "up", triple(2, 0, 0)), 0);
  EXPECT_EQ(read(view, "up"), "[1. 0 0 ]");
  ASSERT_EQ(set(view, "normal", triple(0, 3, 4)), 0);
  EXPECT_EQ(read(view, "normal"), "[0 0.6 0.8 ]");
  EXPECT_FALSE(view->flags & viewChanged) << "rebuilt at once";
  // The eye at the centre gives no direction.
  EXPECT_EQ(set(view, "eye", triple(1, 1, 0)), vwErrBadValue);
  EXPECT_EQ(read(view, "normal"), "[0 0.6 0.8 ]");
}

TEST_F(ViewAttr, ValuesOutOfRangeAreRefused) {
  EXPECT_EQ(set(view, "render-mode", integer(3)), vwErrBadValue);
  EXPECT_EQ(set(view, "render-mode", integer(-1)), vwErrBadValue);
  EXPECT_EQ(view->renderMode, 0);
  EXPECT_EQ(set(view, "render-mode", integer(1)), 0);
  EXPECT_EQ(view->renderMode, 1);
  // A scale of 0 would leave matrices that cannot be inverted.
  EXPECT_EQ(set(view, "scale", real(0)), vwErrBadValue);
  EXPECT_EQ(set(view, "scale", real(-2)), vwErrBadValue);
  EXPECT_EQ(view->states[0].scale, 1.0);
  EXPECT_EQ(view->stateCount, 1);
  EXPECT_EQ(set(view, "draft", boolean(true)), vwErrBadKey);
  EXPECT_EQ(set(view, "vdirname", text("Top")), vwErrBadKey);
  EXPECT_EQ(set(view, "nosuchkey", integer(1)), vwErrBadKey);
}

TEST_F(ViewAttr, ScaleKeepsTheCentreOnTheMiddleOfTheBox) {
  viewState& s = view->states[0];
  s.centre[0] = 10;
  ASSERT_EQ(set(view, "scale", real(2)), 0);
  EXPECT_EQ(view->stateCount, 2) << "the old state kept";
  EXPECT_EQ(view->states[1].scale, 1.0);
  double p[3];
  const double centre[3] = {10, 0, 0};
  aPtTransform(3, centre, view->worldToScreen, p);
  EXPECT_NEAR(p[0], 100, 1e-9);
  EXPECT_NEAR(p[1], 100, 1e-9);
  const double right[3] = {11, 0, 0};
  aPtTransform(3, right, view->worldToScreen, p);
  EXPECT_NEAR(p[0], 100 + 2 * 96, 1e-9);
}

TEST_F(ViewAttr, CornersWithoutAreaChangeNothing) {
  const double before[4] = {view->box[0], view->box[1], view->box[2], view->box[3]};
  EXPECT_EQ(set(view, "corners", reals({0, 0, 0, 5})), 0);
  EXPECT_EQ(set(view, "corners", reals({3, 1, 3, -1})), 0);
  EXPECT_EQ(std::memcmp(before, view->box, sizeof before), 0);
  // Corners in any order are taken, minimum first.
  EXPECT_EQ(set(view, "corners", reals({0, 1, 2, 0})), 0);
  EXPECT_EQ(read(view, "corners"), "[0 0 2. 1. ]");
  EXPECT_EQ(read(view, "box"), "[100 4 292 100 ]");
  // The screen box through the sheet's inverse.
  EXPECT_EQ(set(view, "box", ints({4, 196, 196, 4})), 0);
  EXPECT_EQ(read(view, "corners"), "[-1. -1. 1. 1. ]");
}

TEST_F(ViewAttr, TitleModelFlagsAndPerspective) {
  ASSERT_EQ(set(view, "title", text("Plan")), 0);
  EXPECT_EQ(read(view, "title"), "(Plan)");
  ASSERT_EQ(set(view, "autofront", boolean(true)), 0);
  EXPECT_TRUE(view->flags & viewAutoFront);
  EXPECT_EQ(read(view, "autofront"), "true");
  ASSERT_EQ(set(view, "grid", boolean(true)), 0);
  EXPECT_TRUE(view->flags & viewGridShown);
  ASSERT_EQ(set(view, "grid", boolean(true)), 0);
  EXPECT_TRUE(view->flags & viewGridShown) << "set only when it differs: no toggle";
  ASSERT_EQ(set(view, "perspective", boolean(true)), 0);
  ASSERT_EQ(set(view, "perspective-dist", real(4)), 0);
  ASSERT_EQ(set(view, "perspective-angle", integer(30)), 0);
  ASSERT_EQ(set(view, "perspective-eye", reals({1, 2, 3})), 0);
  EXPECT_EQ(view->perspective, 1);
  EXPECT_EQ(view->perspectiveDist, 4.0);
  EXPECT_EQ(view->perspectiveAngle, 30.0);
  EXPECT_EQ(read(view, "perspective-eye"), "[1. 2. 3. ]");

  modelRec* other = nullptr;
  modelCreate(&other);
  modelLink(other, doc);
  feObject ref;
  feMakeObjRef(&ref, other);
  ASSERT_EQ(set(view, "model", ref), 0);
  EXPECT_EQ(view->model, other);
  docRec* elsewhere = newDoc();
  feMakeObjRef(&ref, elsewhere->firstModel);
  EXPECT_EQ(set(view, "model", ref), vwErrBadObject);
  EXPECT_EQ(view->model, other);
}

TEST_F(ViewAttr, ActiveBringsTheViewToTheFrontAndMakesItCurrent) {
  vwCreate(sheet, doc->firstModel, nullptr, 0);  // now in front
  ASSERT_NE(sheet->firstView, view);
  EXPECT_EQ(read(view, "active"), "false");
  ASSERT_EQ(set(view, "active", boolean(true)), 0);
  EXPECT_EQ(sheet->firstView, view);
  EXPECT_EQ(vwCurView(), view);
  EXPECT_EQ(read(view, "active"), "true");
}

TEST_F(ViewAttr, UpdateRecomputesTheView) {
  view->states[0].scale = 2;
  view->flags |= viewChanged;
  const uint32_t stamp = view->stamp;
  ASSERT_EQ(set(view, "update", boolean(true)), 0);
  EXPECT_FALSE(view->flags & viewChanged);
  EXPECT_GT(view->stamp, stamp);
  EXPECT_EQ(view->worldToScreen[0], 192);
}

}  // namespace
