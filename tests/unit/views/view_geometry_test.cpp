// Where a view lies and looks: its corners, direction and matrices,
// recomputing it, its messages 306, 321 and 344, its screen boxes, the
// objects bound to it and the look-ups of views by number and model.
#include "view_fixture.h"

#include "core/debug.h"
#include "draw/csys.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using viewfx::ViewDrawTest;

class ViewGeometry : public ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    csysInit();
    const sheetfx::SheetWithView s = sheetfx::sheetWithView();
    doc = s.doc, sheet = s.sheet, view = s.view, draft = s.draft;
  }
  static std::vector<double> screenOf(viewRec* v, double x, double y, double z = 0) {
    vwRebuildMatrices(v);
    const double p[3] = {x, y, z};
    double s[3];
    aPtTransform(3, p, v->worldToScreen, s);
    return {s[0], s[1]};
  }
  static void expectNear(const std::vector<double>& got, const std::vector<double>& want, const char* what) {
    for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << what << " [" << i << "]";
  }
  static std::vector<int32_t> box4(const int32_t* b) { return {b[0], b[1], b[2], b[3]}; }

  docRec* doc = nullptr;
  sheetRec* sheet = nullptr;
  viewRec* view = nullptr;
  viewRec* draft = nullptr;
};

TEST_F(ViewGeometry, CornersAreOrderedAndThePanCanFollowThem) {
  vwSetCorners(view, std::vector<double>{2, 1, 0, -1}.data(), 1);
  EXPECT_EQ(std::vector<double>(view->box, view->box + 4), (std::vector<double>{0, -1, 2, 1}));
  EXPECT_EQ(box4(view->screenBox), (std::vector<int32_t>{100, 4, 292, 196}));
  EXPECT_EQ(box4(view->outerBox), (std::vector<int32_t>{98, 2, 294, 198}));
  expectNear(screenOf(view, 0, 0), {196, 100}, "the centre moved with the box");
  vwSetCorners(view, std::vector<double>{-1, -1, 1, 1}.data(), 0);
  expectNear(screenOf(view, 0, 0), {196, 100}, "the pan stays");
  // Rebuilding with keepCentre puts the centre back on the box's middle.
  vwRebuild(view, 1);
  expectNear(screenOf(view, 0, 0), {100, 100}, "re-centred");
  draft->states[0].pan[0] = 0.25;
  vwRebuild(draft, 1);
  EXPECT_EQ(draft->states[0].pan[0], 0.25) << "not for a draft view";
}

TEST_F(ViewGeometry, DirectionsAndRecentring) {
  const double centre[3] = {5, 0, 0}, normal[3] = {1, 0, 0}, up[3] = {0, 0, 1};
  view->states[0].pan[0] = 0.5;
  ASSERT_EQ(vwSetDirection(view, centre, normal, up, 1), 0);
  // Seen from +x with z up: the centre on the box's middle (the pan put
  // back), world z up the screen and world y to the right.
  expectNear(screenOf(view, 5, 0, 0), {100, 100}, "centre");
  expectNear(screenOf(view, 5, 0, 1), {100, 4}, "up is up");
  expectNear(screenOf(view, 5, 1, 0), {196, 100}, "y across");
  EXPECT_EQ(vwSetDirection(reinterpret_cast<viewRec*>(sheet), centre, nullptr, nullptr, 0), vwErrBadObject);
  EXPECT_NE(boxes().find("ExpectedView"), std::string::npos);
}

TEST_F(ViewGeometry, ADraftViewOfSeveralPagesKeepsTheStandardOrientation) {
  sheet->pagesAcross = 2;
  viewState& s = draft->states[0];
  dbgSetFlags(1);
  plTestClearMessageBoxes();
  const double normal[3] = {1, 0, 0}, centre[3] = {3, 0, 0};
  s.up[0] = 1, s.up[1] = 0;
  EXPECT_EQ(vwSetDirection(draft, nullptr, normal, nullptr, 0), vwErrNoModDraftView);
  EXPECT_EQ(std::vector<double>(s.normal, s.normal + 3), (std::vector<double>{0, 0, 1}));
  EXPECT_EQ(std::vector<double>(s.up, s.up + 3), (std::vector<double>{0, 1, 0}));
  EXPECT_EQ(boxes(), "") << "nothing had moved";
  s.pan[1] = 0.5;
  EXPECT_EQ(vwSetDirection(draft, centre, nullptr, nullptr, 0), vwErrNoModDraftView);
  EXPECT_EQ(boxes(), "Adjusting draft view|");
  EXPECT_EQ(s.pan[1], 0.0);
  EXPECT_EQ(s.centre[0], 0.0);
  // A recompute puts a moved draft view back, with the trace alert.
  plTestClearMessageBoxes();
  s.pan[0] = 1;
  s.centre[1] = 2;
  ASSERT_EQ(vwRecompute(draft, 0), 0);
  EXPECT_EQ(boxes(), "Adjusting draft view|");
  EXPECT_EQ(s.pan[0], 0.0);
  EXPECT_EQ(s.centre[1], 0.0);
  plTestClearMessageBoxes();
  ASSERT_EQ(vwRecompute(draft, 0), 0);
  EXPECT_EQ(boxes(), "") << "nothing to adjust";
  // One page: the draft view may turn.
  sheet->pagesAcross = 1;
  EXPECT_EQ(vwSetDirection(draft, nullptr, normal, nullptr, 0), 0);
  EXPECT_EQ(s.normal[0], 1.0);
}

TEST_F(ViewGeometry, RecomputingKeepsTheCurrentViewAndTellsOfTheActiveOne) {
  EXPECT_EQ(vwRecompute(reinterpret_cast<viewRec*>(sheet), 0), vwErrBadObject);
  vwSetCurView(draft);
  view->states[0].scale = 2;
  view->flags |= viewChanged;
  vwfx::changes().clear();
  ASSERT_EQ(vwRecompute(view, 0), 0);
  EXPECT_EQ(view->worldToScreen[0], 192);
  EXPECT_EQ(vwCurView(), draft);
  EXPECT_EQ(vwViewStackDepth(), 0);
  EXPECT_TRUE(vwfx::changeCodes().empty());
  vwSetActiveView(view);
  vwfx::changes().clear();
  ASSERT_EQ(vwRecompute(view, 0), 0);
  EXPECT_EQ(vwfx::changeCodes(), std::vector<uint32_t>{vwEvViewSet});
}

TEST_F(ViewGeometry, ExtentsAndTransformOfTheSheetBox) {
  const double box[4] = {1, 1, -1, -1};
  viewRec* reversed = vwCreate(sheet, doc->firstModel, box, 0);
  double corners[6];
  ASSERT_EQ(objMeth(viewClassId(), msgExtents, reversed, reinterpret_cast<intptr_t>(corners)), 0);
  EXPECT_EQ(std::vector<double>(corners, corners + 6), (std::vector<double>{-1, -1, 0, 1, 1, 0}));
  // A move by (1, 0.5): the box and the view's content move together.
  const double move[16] = {1, 0, 0, 1, 0, 1, 0, 0.5, 0, 0, 1, 0, 0, 0, 0, 1};
  const std::vector<double> before = screenOf(view, 0.25, 0.25);
  ASSERT_EQ(objMeth(viewClassId(), msgXform, view, reinterpret_cast<intptr_t>(move)), 0);
  EXPECT_EQ(std::vector<double>(view->box, view->box + 4), (std::vector<double>{0, -0.5, 2, 1.5}));
  expectNear(screenOf(view, 0.25, 0.25), {before[0] + 96, before[1] - 48}, "content");
}

TEST_F(ViewGeometry, InsertingAViewIntoTheCurrentSheet) {
  viewRec* loose = nullptr;
  ASSERT_EQ(objMeth(viewClassId(), msgNew, nullptr, reinterpret_cast<intptr_t>(&loose)), 0);
  ASSERT_NE(loose, nullptr);
  const double box[4] = {0, 0, 1, 1};
  std::memcpy(loose->box, box, sizeof box);
  docRec* elsewhere = newDoc();
  vwSetModel(loose, elsewhere->firstModel);
  docSetCurrent(nullptr);
  EXPECT_EQ(objMeth(viewClassId(), msgAttach, loose), vwErrNoCurDoc);
  docSetCurrent(doc);
  if (vwCurSheet()) vwRecordCurSheet(nullptr);
  EXPECT_EQ(objMeth(viewClassId(), msgAttach, loose), vwErrNoCurSheet);
  vwSetCurView(draft);
  ASSERT_EQ(objMeth(viewClassId(), msgAttach, loose), 0);
  EXPECT_EQ(sheet->firstView, loose);
  EXPECT_TRUE(loose->flags & viewAttached);
  EXPECT_EQ(loose->model, doc->firstModel) << "a model of the document";
  EXPECT_EQ(loose->refCount, 1);
  EXPECT_EQ(box4(loose->screenBox), (std::vector<int32_t>{100, 4, 196, 100}));
  EXPECT_EQ(vwCurView(), draft);
  const uint32_t count = sheet->viewCount;
  EXPECT_EQ(objMeth(viewClassId(), msgAttach, loose), 0);
  EXPECT_EQ(sheet->viewCount, count) << "attached already: nothing";
}

TEST_F(ViewGeometry, ScreenBoxes) {
  int32_t out[4] = {9, 9, 9, 9};
  EXPECT_EQ(vwScreenBox(nullptr, 0, out), nullptr);
  EXPECT_EQ(box4(out), (std::vector<int32_t>{0, 0, 0, 0}));
  int32_t box[4];
  EXPECT_EQ(vwCurViewScreenBox(box), vwErrNoCurView);
  vwSetCurView(view);
  vwScreenBox(nullptr, 0, out);
  EXPECT_EQ(box4(out), (std::vector<int32_t>{4, 4, 196, 196}));
  const int32_t graphics[4] = {0, 0, 150, 120};
  std::memcpy(sheet->graphicsBox, graphics, sizeof graphics);
  vwScreenBox(view, 1, out);
  EXPECT_EQ(box4(out), (std::vector<int32_t>{4, 4, 150, 120})) << "within the sheet's pixels";
  ASSERT_EQ(vwCurViewScreenBox(box), 0);
  EXPECT_EQ(box4(box), (std::vector<int32_t>{4, 4, 196, 196}));
}

TEST_F(ViewGeometry, DeletingAViewDeletesTheObjectsBoundToItOnly) {
  viewRec* other = vwCreate(sheet, doc->firstModel, nullptr, 0);
  modelRec* model = doc->firstModel;
  gobjRec* mine = addLine(model, {0, 0, 0}, {1, 0, 0}, uint8_t(view->index));
  gobjRec* theirs = addLine(model, {0, 1, 0}, {1, 1, 0}, uint8_t(other->index));
  gobjRec* nobodys = addLine(model, {0, 2, 0}, {1, 2, 0});
  mine->flags |= gobjLocked;  // goes all the same: its view is gone
  for (gobjRec* o : {mine, theirs, nobodys}) objRetain(o);
  doc->flags &= ~uint32_t(docDirty | docAutoSaveDue);
  EXPECT_EQ(vwDeleteOwnedObjects(view), 1);
  EXPECT_FALSE(mine->flags & gobjInSieve);
  EXPECT_TRUE(theirs->flags & gobjInSieve);
  EXPECT_TRUE(nobodys->flags & gobjInSieve);
  EXPECT_EQ(doc->flags & (docDirty | docAutoSaveDue), 0u) << "deleting them alone leaves the document clean";
  ASSERT_EQ(vwDelete(other), 0);
  EXPECT_FALSE(theirs->flags & gobjInSieve);
  EXPECT_TRUE(nobodys->flags & gobjInSieve);
  EXPECT_EQ(model->sieve->objectCount, 1u);
  EXPECT_TRUE(doc->flags & docDirty) << "removing the view changes the document";
  for (gobjRec* o : {mine, theirs, nobodys}) objRelease(&o);
}

TEST_F(ViewGeometry, ViewsByObjectNumberAndModel) {
  modelRec* other = nullptr;
  modelCreate(&other);
  modelLink(other, doc);
  viewRec* elsewhere = vwCreate(sheet, other, nullptr, 0);
  vwSetCurView(draft);
  gobjRec* bound = addLine(doc->firstModel, {0, 0, 0}, {1, 0, 0}, uint8_t(view->index));
  gobjRec* free = addLine(doc->firstModel, {0, 1, 0}, {1, 1, 0});
  gobjRec* stray = addLine(doc->firstModel, {0, 2, 0}, {1, 2, 0}, 200);
  EXPECT_EQ(vwViewOfObject(bound), view);
  EXPECT_EQ(vwViewOfObject(free), draft);
  EXPECT_EQ(vwViewOfObject(stray), draft);
  EXPECT_EQ(vwIndexShowsCurModel(view->index), 0);
  EXPECT_EQ(vwIndexShowsCurModel(elsewhere->index), -1);
  EXPECT_EQ(vwIndexShowsCurModel(200), -1);
  viewRec* found[4] = {};
  EXPECT_EQ(sheetViewsOfCurModel(found, 4), 2);
  EXPECT_EQ(found[0], view);
  EXPECT_EQ(found[1], draft);
  EXPECT_EQ(sheetViewsOfCurModel(found, 1), 1);
}

}  // namespace
