// Views as sheets need them: the matrices, the current view, the view
// stack, the state history, copying, removal and release.
#include "sheet_fixture.h"

#include "draw/csys.h"
#include "objects/hitrad.h"

#include <cstring>
#include <string>

namespace {

using sheetfx::SheetTest;

class ViewTest : public SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    csysInit();
    hitModeSet(0);
    const sheetfx::SheetWithView s = sheetfx::sheetWithView();
    doc = s.doc, sheet = s.sheet, view = s.view;
  }
  void TearDown() override {
    hitModeSet(0);
    SheetTest::TearDown();
  }
  static void map(const double* m, double x, double y, double out[2]) {
    const double in[3] = {x, y, 0};
    double r[3];
    aPtTransform(3, in, m, r);
    out[0] = r[0];
    out[1] = r[1];
  }
  docRec* doc = nullptr;
  sheetRec* sheet = nullptr;
  viewRec* view = nullptr;
};

TEST_F(ViewTest, ANewViewHasItsDefaults) {
  EXPECT_EQ(view->classId, viewClassId());
  EXPECT_EQ(view->refCount, 1);  // the sheet's
  EXPECT_EQ(view->stateCount, 1);
  EXPECT_EQ(view->states[0].scale, 1.0);
  EXPECT_EQ(view->states[0].normal[2], 3.0);
  EXPECT_EQ(view->states[0].up[1], 1.0);
  EXPECT_EQ(view->perspectiveDist, 1.0);
  EXPECT_EQ(view->perspectiveAngle, 50.0);
  EXPECT_EQ(sheet->firstView, view);  // new views go to the head
  EXPECT_EQ(sheet->viewCount, 2u);
  EXPECT_NE(view->index, sheet->activeView->index);
  EXPECT_NE(view->serial, sheet->activeView->serial);
  EXPECT_EQ(vwViewOfIndex(doc, view->index), view);
  EXPECT_EQ(vwViewOfIndex(doc, 999), nullptr);
}

TEST_F(ViewTest, TheOrientationAppliesFirstThenScaleThenPanThenTheSheet) {
  viewState& s = view->states[0];
  s.scale = 2;
  s.pan[0] = 0.5;
  s.pan[1] = 0;
  const double up[3] = {1, 0, 0}, normal[3] = {0, 0, 1};  // world x points up the screen
  std::memcpy(s.up, up, sizeof up);
  std::memcpy(s.normal, normal, sizeof normal);
  view->flags |= viewChanged;
  const uint32_t stamp = view->stamp;
  vwRebuildMatrices(view);
  EXPECT_EQ(view->stamp, stamp + 1);
  EXPECT_FALSE(view->flags & viewChanged);
  double p[2];
  map(view->worldToScreen, 0, 0, p);  // the pan, unscaled: half a unit right
  EXPECT_NEAR(p[0], 148, 1e-9);
  EXPECT_NEAR(p[1], 100, 1e-9);
  map(view->worldToScreen, 1, 0, p);  // two units up
  EXPECT_NEAR(p[0], 148, 1e-9);
  EXPECT_NEAR(p[1], 100 - 192, 1e-9);
  map(view->worldToScreen, 0, 1, p);  // two units left
  EXPECT_NEAR(p[0], 148 - 192, 1e-9);
  EXPECT_NEAR(p[1], 100, 1e-9);
  map(view->screenToWorld, 148, -92, p);
  EXPECT_NEAR(p[0], 1, 1e-9);
  EXPECT_NEAR(p[1], 0, 1e-9);
  // Unchanged, nothing is rebuilt.
  vwRebuildMatrices(view);
  EXPECT_EQ(view->stamp, stamp + 1);
}

TEST_F(ViewTest, MakingAViewCurrentInstallsItsMatrix) {
  vwSetCurView(view);
  EXPECT_EQ(vwCurView(), view);
  EXPECT_EQ(vwCurSheet(), sheet);
  EXPECT_EQ(vwCurModel(), doc->firstModel);
  EXPECT_EQ(vwCurDoc(), doc);
  EXPECT_EQ(vwCurViewIndex(), view->index);
  EXPECT_EQ(vwCurXform(), view->worldToScreen);
  EXPECT_EQ(std::memcmp(csysTransform(), view->worldToScreen, sizeof(xform4)), 0);
  EXPECT_TRUE(hitModeGet() & 0x0200);
  const uint32_t stamp = csysStamp();
  vwSetCurView(sheet->activeView);
  EXPECT_FALSE(hitModeGet() & 0x0200);
  EXPECT_NE(csysStamp(), stamp);
  vwSetCurView(view);  // the same matrix again: the same stamp
  EXPECT_EQ(csysStamp(), stamp);
  vwSetCurView(sheet->activeView);
  view->flags |= viewChanged;
  vwSetCurView(view);
  EXPECT_NE(csysStamp(), stamp);
  viewRec* old = nullptr;
  EXPECT_EQ(vwGetSetCurView(nullptr, &old), view);
  EXPECT_EQ(old, view);
  EXPECT_EQ(vwCurView(), nullptr);
  EXPECT_EQ(vwCurViewIndex(), 0u);
}

TEST_F(ViewTest, TheViewStack) {
  vwSetCurView(view);
  EXPECT_EQ(vwViewStack(1), 0);
  EXPECT_EQ(view->refCount, 2);  // the sheet's and the stack's
  vwPushView(sheet->activeView);
  EXPECT_EQ(vwCurView(), sheet->activeView);
  EXPECT_EQ(vwViewStackDepth(), 2);
  EXPECT_EQ(view->refCount, 3);
  EXPECT_EQ(vwViewStack(3), -1);
  vwSetCurView(nullptr);
  vwPopView();
  EXPECT_EQ(vwCurView(), view);
  EXPECT_EQ(view->refCount, 2);
  EXPECT_EQ(vwViewStack(2), 0);
  EXPECT_EQ(vwCurView(), view);
  EXPECT_EQ(view->refCount, 1);
  EXPECT_EQ(vwViewStackDepth(), 0);
  plTestClearMessageBoxes();
  vwSetCurView(sheet->activeView);
  EXPECT_EQ(vwViewStack(2), -1);
  EXPECT_EQ(boxes(), "View stack underflow|");
  EXPECT_EQ(vwCurView(), sheet->activeView);
}

TEST_F(ViewTest, TheStackGrowsByEightWithATraceAlert) {
  dbgSetFlags(1);
  plTestClearMessageBoxes();
  for (int i = 0; i < 8; ++i) vwViewStack(1);
  EXPECT_EQ(boxes(), "");
  EXPECT_EQ(vwViewStack(1), 8);
  EXPECT_EQ(boxes(), "Growing view stack|");
  for (int i = 0; i < 9; ++i) EXPECT_EQ(vwViewStack(2), 0);
}

TEST_F(ViewTest, PushingTheStateKeepsSix) {
  for (int i = 1; i <= 7; ++i) {
    view->states[0].scale = i;
    vwPushState(view);
  }
  EXPECT_EQ(view->stateCount, 6);
  EXPECT_EQ(view->states[0].scale, 7);  // the current state stays
  for (int k = 1; k < 6; ++k) EXPECT_EQ(view->states[k].scale, 8 - k) << k;
}

TEST_F(ViewTest, AViewStillReferredToIsNotFreed) {
  const int32_t views = vwLive().views;
  gobjfx::state().log.clear();
  EXPECT_EQ(vwFree(view), -1);
  EXPECT_EQ(log(), "view ref cnt != 0 in free\n");
  EXPECT_EQ(vwLive().views, views);
  EXPECT_EQ(view->classId, viewClassId());
}

TEST_F(ViewTest, CopiesStartUnattachedWithoutReferences) {
  viewRec* copy = nullptr;
  EXPECT_EQ(objMeth(viewClassId(), msgCopy, view, reinterpret_cast<intptr_t>(&copy)), vwErrNoCurView);
  vwSetCurView(view);
  view->states[0].scale = 3;
  view->renderMode = 2;
  vwfx::changes().clear();
  ASSERT_EQ(objMeth(viewClassId(), msgCopy, view, reinterpret_cast<intptr_t>(&copy)), 0);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(vwfx::changeCodes(), std::vector<uint32_t>{vwEvViewCreated});
  EXPECT_EQ(copy->refCount, 0);
  EXPECT_EQ(copy->sheet, nullptr);
  EXPECT_EQ(copy->flags & (viewChanged | viewAttached | viewDraft), viewChanged);
  EXPECT_EQ(copy->states[0].scale, 3);
  EXPECT_EQ(copy->renderMode, 2);
  EXPECT_EQ(copy->model, view->model);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(copy->box[k], view->box[k]);
  const uint8_t modelCount = view->model->head.object.refCount;
  vwfx::changes().clear();
  EXPECT_EQ(objMeth(viewClassId(), msgFree, copy), 0);
  EXPECT_EQ(vwfx::changeCodes(), std::vector<uint32_t>{vwEvViewFreed});
  EXPECT_EQ(view->model->head.object.refCount, modelCount - 1);
  int notASheet = 0;
  EXPECT_EQ(vwCopy(view, reinterpret_cast<sheetRec*>(&notASheet), &copy), vwErrBadObject);
  EXPECT_NE(boxes().find("ExpectedSheet"), std::string::npos);
}

TEST_F(ViewTest, CopiesToAnotherDocumentShowTheModelAtTheSamePosition) {
  docRec* other = newDoc();
  modelRec* second = nullptr;
  modelCreate(&second);
  modelLink(second, other);  // now the head of the other document's list
  sheetRec* target = newSheet(other);
  viewRec* copy = nullptr;
  ASSERT_EQ(vwCopy(view, target, &copy), 0);
  EXPECT_EQ(copy->model, other->firstModel);
  EXPECT_EQ(vwAttachToSheet(copy, target, copy->model), 0);
  EXPECT_EQ(target->firstView, copy);
}

TEST_F(ViewTest, DeletingAViewTakesItOffItsSheet) {
  const uint32_t number = view->index;
  const int32_t views = vwLive().views;
  vwSetCurView(view);
  vwSetActiveView(view);
  doc->flags &= ~docDirty;
  ASSERT_EQ(objMeth(viewClassId(), msgDetach, view), 0);  // freed: the sheet held the only reference
  EXPECT_EQ(vwLive().views, views - 1);
  EXPECT_EQ(sheet->firstView, sheet->activeView);
  EXPECT_EQ(sheet->viewCount, 1u);
  EXPECT_EQ(vwCurView(), sheet->activeView);
  EXPECT_EQ(vwActiveView(), sheet->activeView);
  EXPECT_EQ(sheet->lastActiveView, sheet->activeView);
  EXPECT_TRUE(doc->flags & docDirty);
  EXPECT_EQ(vwViewOfIndex(doc, number), nullptr);
  // The draft view of a sheet of several pages stays.
  sheet->pagesAcross = 2;
  EXPECT_EQ(vwDelete(sheet->activeView), vwErrNoModDraftView);
  sheet->pagesAcross = 1;
  viewRec* held = vwCreate(sheet, doc->firstModel, nullptr, 0);
  ++held->refCount;
  EXPECT_EQ(vwDelete(held), 0);
  EXPECT_EQ(held->refCount, 1);  // kept for whoever holds it
  EXPECT_EQ(vwDelete(held), vwErrBadObject);  // no sheet any more
  --held->refCount;
  EXPECT_EQ(vwFree(held), 0);
}

TEST_F(ViewTest, ChangingTheModelMovesTheUseCounts) {
  modelRec* other = nullptr;
  modelCreate(&other);
  modelLink(other, doc);
  modelRec* first = view->model;
  const uint8_t a = first->head.object.refCount, b = other->head.object.refCount;
  vwSetModel(view, other);
  EXPECT_EQ(first->head.object.refCount, a - 1);
  EXPECT_EQ(other->head.object.refCount, b + 1);
  vwSetModel(view, other);
  EXPECT_EQ(other->head.object.refCount, b + 1);
}

TEST_F(ViewTest, TheHookFillersReadTheRecords) {
  vwCurRecords records{};
  viewFillCurRecords(&records);
  sheetFillCurRecords(&records);
  EXPECT_EQ(records.viewSheet(view), sheet);
  EXPECT_EQ(records.viewModel(view), doc->firstModel);
  EXPECT_EQ(records.sheetDoc(sheet), doc);
  EXPECT_EQ(records.sheetActiveView(sheet), sheet->activeView);
  EXPECT_EQ(records.sheetFirstView(sheet), view);
  EXPECT_EQ(records.sheetViewCount(sheet), 2);
  EXPECT_EQ(records.sheetWindow(sheet), nullptr);
  records.sheetSetActiveView(sheet, view);
  EXPECT_EQ(sheet->lastActiveView, view);
  EXPECT_TRUE(records.viewHighlighted(view));
  EXPECT_FALSE(records.viewHighlighted(sheet->activeView));
  vwViewHooks hooks{};
  viewFillViewHooks(&hooks);
  vwSetViewHooks(&hooks);
  vwSetCurView(view);
  EXPECT_EQ(vwCurViewRec(), view);
  EXPECT_EQ(vwCurSheetRec(), sheet);
  double box[4];
  ASSERT_TRUE(vwCurScreenBox(box));
  EXPECT_EQ(box[0], 4);
  EXPECT_EQ(box[3], 196);
  double m[16];
  EXPECT_EQ(vwSheetMatrix(11, m), 0);
  EXPECT_EQ(m[0], 96);
  EXPECT_EQ(vwSheetMatrix(12, m), 0);
  EXPECT_EQ(m[0], 1.0 / 96);
  double size = 0;
  EXPECT_EQ(vwCurPixelSize(&size), 0);
  EXPECT_DOUBLE_EQ(size, 1.0 / 96);
}

TEST_F(ViewTest, TheCurrentViewFollowsAZoomOfItsSheet) {
  vwSetCurView(view);
  const int32_t screen[2] = {100, 100};
  const double centre[2] = {0, 0};
  ASSERT_EQ(sheetSetScale(sheet, 2, 0, screen, centre, 0), 0);
  EXPECT_FALSE(view->flags & viewChanged);
  EXPECT_EQ(view->worldToScreen[0], 192);
  EXPECT_EQ(std::memcmp(csysTransform(), view->worldToScreen, sizeof(xform4)), 0);
  double p[3];
  const double one[3] = {1, 0, 0};
  vwWorldToScreen(one, p);
  EXPECT_DOUBLE_EQ(p[0], 292);
}

void noteCurrent(viewRec* v, void* seen) {
  EXPECT_EQ(vwCurView(), v);
  static_cast<std::vector<viewRec*>*>(seen)->push_back(v);
}

TEST_F(ViewTest, EveryViewOfTheCurrentModelInTurn) {
  modelRec* other = nullptr;
  modelCreate(&other);
  modelLink(other, doc);
  vwCreate(sheet, other, nullptr, 0);
  sheetRec* second = sheetCreate(doc, view->model, nullptr);
  vwSetCurView(sheet->activeView);
  ASSERT_EQ(vwCurModel(), view->model);
  std::vector<viewRec*> seen;
  EXPECT_EQ(vwForEachViewOfModel(noteCurrent, &seen, 0), 3);
  EXPECT_EQ(seen, (std::vector<viewRec*>{view, sheet->activeView, second->activeView}));
  EXPECT_EQ(vwCurView(), sheet->activeView);
  EXPECT_EQ(vwViewStackDepth(), 0);
}

}  // namespace
