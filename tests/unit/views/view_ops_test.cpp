// The view operators: the current view, the order of views in a sheet,
// rolling the view states, zooming and panning a view, fitting it to its
// model or to a screen box, the model shown, the view numbers, the boxes
// and scales, and regeneration.
#include "view_fixture.h"

#include "draw/csys.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

using viewfx::ViewDrawTest;

class ViewOps : public ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    csysInit();
    const sheetfx::SheetWithView s = sheetfx::sheetWithView();
    doc = s.doc, sheet = s.sheet, view = s.view, draft = s.draft;
  }
  // Where a world point lands on the screen in the view.
  static std::vector<double> screenOf(viewRec* v, double x, double y) {
    vwRebuildMatrices(v);
    const double p[3] = {x, y, 0};
    double s[3];
    aPtTransform(3, p, v->worldToScreen, s);
    return {s[0], s[1]};
  }
  static void expectNear(const std::vector<double>& got, const std::vector<double>& want, const char* what) {
    for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << what << " [" << i << "]";
  }
  std::vector<viewRec*> order() const {
    std::vector<viewRec*> list;
    for (viewRec* v = sheet->firstView; v; v = v->next) list.push_back(v);
    return list;
  }

  docRec* doc = nullptr;
  sheetRec* sheet = nullptr;
  viewRec* view = nullptr;
  viewRec* draft = nullptr;
};

TEST_F(ViewOps, TheCurrentView) {
  void* out = nullptr;
  int32_t shown = -1;
  EXPECT_EQ(call(vwOpCurView, {}, {&out}), vwErrNoCurView);
  EXPECT_EQ(call(vwOpCurViewX, {}, {&shown}), 0);
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(eval("aCurViewX"), "false");
  vwSetCurView(view);
  EXPECT_EQ(call(vwOpCurView, {}, {&out}), 0);
  EXPECT_EQ(out, view);
  EXPECT_EQ(eval("aCurViewX exch type"), "true viewtype");
}

TEST_F(ViewOps, RollingTheStates) {
  for (double scale : {2.0, 3.0}) {
    vwPushState(view);
    view->states[0].scale = scale;
  }
  ASSERT_EQ(view->stateCount, 3);  // 3, 2, 1
  EXPECT_EQ(eval("1 aRollView"), "-207") << "no current view";
  vwSetCurView(view);
  ASSERT_EQ(eval("1 aRollView"), "");
  EXPECT_EQ(view->states[0].scale, 1.0) << "the last state becomes current";
  EXPECT_EQ(view->states[1].scale, 3.0);
  EXPECT_EQ(view->states[2].scale, 2.0);
  ASSERT_EQ(eval("-1 aRollView"), "");
  EXPECT_EQ(view->states[0].scale, 3.0);
  ASSERT_EQ(eval("4 aRollView"), "");  // the same as 1
  EXPECT_EQ(view->states[0].scale, 1.0);
  EXPECT_EQ(screenOf(view, 1, 0)[0], 196) << "the matrices follow the current state";
}

TEST_F(ViewOps, TheOrderOfViewsInTheSheet) {
  viewRec* second = vwCreate(sheet, doc->firstModel, nullptr, 0);
  ASSERT_EQ(order(), (std::vector<viewRec*>{second, view, draft}));
  EXPECT_EQ(call(vwOpViewOrder, {argRecord(second), argInt(1)}), 0);
  EXPECT_EQ(order(), (std::vector<viewRec*>{view, second, draft})) << "back: just before the draft view";
  EXPECT_EQ(call(vwOpViewOrder, {argRecord(draft), argInt(0)}), 0);
  EXPECT_EQ(order(), (std::vector<viewRec*>{draft, view, second}));
  // With the draft view first, the back is the head.
  EXPECT_EQ(call(vwOpViewOrder, {argRecord(second), argInt(1)}), 0);
  EXPECT_EQ(order(), (std::vector<viewRec*>{second, draft, view}));
  EXPECT_EQ(call(vwOpViewOrder, {argRecord(second), argInt(0)}), 0);
  EXPECT_EQ(order(), (std::vector<viewRec*>{second, draft, view}));
  EXPECT_EQ(call(vwOpViewOrder, {argRecord(sheet), argInt(0)}), vwErrBadObject);
  EXPECT_EQ(sheet->viewCount, 3u);
}

TEST_F(ViewOps, ScalingKeepsTheWorldPointUnderTheScreenPosition) {
  // World (0.5, 0) lies under (148, 100); it is to end under (120, 60).
  ASSERT_EQ(call(vwOpScaleView2, {argRecord(view), argReal(2), argInt(0), argInt(148), argInt(100), argInt(120),
                                  argInt(60)}),
            0);
  EXPECT_EQ(view->states[0].scale, 2.0);
  EXPECT_EQ(view->stateCount, 2);
  expectNear(screenOf(view, 0.5, 0), {120, 60}, "kept");
  expectNear(screenOf(view, 1.5, 0), {120 + 192, 60}, "scaled");
  ASSERT_EQ(call(vwOpScaleView2, {argRecord(view), argReal(1.5), argInt(1), argInt(120), argInt(60), argInt(120),
                                  argInt(60)}),
            0);
  EXPECT_EQ(view->states[0].scale, 3.0) << "relative";
  expectNear(screenOf(view, 0.5, 0), {120, 60}, "kept again");
  EXPECT_EQ(call(vwOpScaleView2, {argRecord(view), argReal(0), argInt(0), argInt(0), argInt(0), argInt(0), argInt(0)}),
            vwErrScaleTooSmall);
  EXPECT_EQ(view->states[0].scale, 3.0);
  EXPECT_EQ(call(vwOpScaleView2, {argRecord(sheet), argReal(2), argInt(0), argInt(0), argInt(0), argInt(0),
                                  argInt(0)}),
            vwErrBadObject);
  // A draft view zooms its sheet.
  ASSERT_EQ(call(vwOpScaleView2, {argRecord(draft), argReal(2), argInt(0), argInt(100), argInt(100), argInt(100),
                                  argInt(100)}),
            0);
  EXPECT_EQ(sheet->zoom[0].pageScale, 2.0);
  EXPECT_EQ(sheet->zoomCount, 2);
  EXPECT_EQ(draft->states[0].scale, 1.0);
}

TEST_F(ViewOps, ScrollingMovesTheViewsCentreByThePixels) {
  vwSetCurView(draft);
  ASSERT_EQ(call(vwOpScrollView, {argRecord(view), argInt(10), argInt(-5)}), 0);
  expectNear(screenOf(view, 0, 0), {110, 95}, "centre");
  EXPECT_EQ(view->stateCount, 2);
  EXPECT_EQ(vwCurView(), draft) << "the current view stays";
  EXPECT_FALSE(view->flags & viewChanged);
  // Nothing for a zero offset or a draft view.
  ASSERT_EQ(call(vwOpScrollView, {argRecord(view), argInt(0), argInt(0)}), 0);
  EXPECT_EQ(view->stateCount, 2);
  ASSERT_EQ(call(vwOpScrollView, {argRecord(draft), argInt(10), argInt(10)}), 0);
  EXPECT_EQ(draft->stateCount, 1);
  EXPECT_EQ(draft->states[0].pan[0], 0.0);
}

TEST_F(ViewOps, ViewAllFitsTheModelIntoTheViewLessTheInset) {
  vwSetCurView(view);
  // An empty model: nothing to fit.
  ASSERT_EQ(call(vwOpViewAllView, {argInt(16)}), 0);
  EXPECT_EQ(view->stateCount, 1);
  addLine(doc->firstModel, {0, 0, 0}, {2, 1, 0});
  ASSERT_EQ(call(vwOpViewAllView, {argInt(16)}), 0);
  // 160 pixels across take the 2 units: the line ends 16 pixels inside.
  EXPECT_NEAR(view->states[0].scale, 160.0 / 192, 1e-12);
  expectNear(screenOf(view, 0, 0), {20, 100 + 40}, "start");
  expectNear(screenOf(view, 2, 1), {180, 100 - 40}, "end");
  EXPECT_NE(log().find("fit view: "), std::string::npos) << log();
  // An inset that leaves no room would turn the scale negative: nothing.
  ASSERT_EQ(call(vwOpViewAllView, {argInt(100)}), 0);
  EXPECT_NEAR(view->states[0].scale, 160.0 / 192, 1e-12);
  EXPECT_EQ(view->stateCount, 2);
}

TEST_F(ViewOps, CornersFitWhatLiesUnderOneScreenBoxIntoAnother) {
  vwSetCurView(view);
  const int32_t from[4] = {52, 52, 148, 148}, to[4] = {4, 4, 196, 196};
  feArg a{}, b{};
  a.block = const_cast<int32_t*>(from);
  b.block = const_cast<int32_t*>(to);
  ASSERT_EQ(call(vwOpViewCorners3, {a, b}), 0);
  EXPECT_NEAR(view->states[0].scale, 2.0, 1e-12);
  expectNear(screenOf(view, -0.5, 0.5), {4, 4}, "corner");
  expectNear(screenOf(view, 0.5, -0.5), {196, 196}, "corner");
  // A point gives no ratio either way: nothing changes.
  const int32_t line[4] = {10, 10, 10, 10};
  a.block = const_cast<int32_t*>(line);
  ASSERT_EQ(call(vwOpViewCorners3, {a, b}), 0);
  EXPECT_EQ(view->stateCount, 2);
  vwSetCurView(nullptr);
  EXPECT_EQ(call(vwOpViewCorners3, {a, b}), vwErrNoCurView);
}

TEST_F(ViewOps, ShowingAnotherModel) {
  modelRec* other = nullptr;
  modelCreate(&other);
  modelLink(other, doc);
  vwSetCurView(view);
  ASSERT_EQ(call(vwOpSetViewModel, {argRecord(view), argRecord(other)}), 0);
  EXPECT_EQ(view->model, other);
  EXPECT_EQ(vwCurModel(), other) << "the current view's model is current";
  docRec* elsewhere = newDoc();
  EXPECT_EQ(call(vwOpSetViewModel, {argRecord(view), argRecord(elsewhere->firstModel)}), vwErrBadObject);
  EXPECT_EQ(call(vwOpSetViewModel, {argRecord(view), argRecord(sheet)}), vwErrBadObject);
  EXPECT_EQ(call(vwOpSetViewModel, {argRecord(sheet), argRecord(other)}), vwErrBadObject);
  EXPECT_EQ(view->model, other);
}

TEST_F(ViewOps, SwitchingViewNumbersWithTheDraftView) {
  EXPECT_EQ(call(vwOpSwitchViewIndices, {}), vwErrNoCurView);
  vwSetCurView(view);
  const uint32_t mine = view->index, drafts = draft->index;
  ASSERT_EQ(eval("aSwitchViewIndices"), "");
  EXPECT_EQ(view->index, drafts);
  EXPECT_EQ(draft->index, mine);
  EXPECT_EQ(vwCurViewIndex(), drafts);
  EXPECT_EQ(vwViewOfIndex(doc, mine), draft);
}

TEST_F(ViewOps, BoxesOfTheCurrentView) {
  EXPECT_EQ(eval("aViewBox"), "-207");
  vwSetCurView(view);
  EXPECT_EQ(eval("aViewBox"), "4 4 196 196");
  EXPECT_EQ(eval("aViewCenter"), "100 100");
  EXPECT_EQ(eval("aViewWidth aViewHeight"), "192 192");
  int32_t box[4];
  vwSetCurView(draft);  // no window: its own screen box
  ASSERT_EQ(vwCurViewScreenBox(box), 0);
  EXPECT_EQ(box[2], draft->screenBox[2]);
}

TEST_F(ViewOps, ScalesOfTheCurrentView) {
  double scale = 0;
  EXPECT_EQ(vwGetViewScale(1, &scale), -1);
  EXPECT_EQ(scale, 1.0);
  view->states[0].scale = 3;
  sheet->plotScale = 2;
  vwSetCurView(view);
  const double want[5] = {3, 6, 1.5, 2, 1};
  for (int kind = 0; kind < 5; ++kind) {
    EXPECT_EQ(vwGetViewScale(kind, &scale), 0) << kind;
    EXPECT_EQ(scale, want[kind]) << kind;
  }
  EXPECT_EQ(vwGetViewScale(5, &scale), -1);
  EXPECT_EQ(eval("aGetViewScale"), "6.");
}

TEST_F(ViewOps, RegenerationNeedsDisplayListsOn) {
  vwSetCurView(view);
  EXPECT_EQ(call(vwOpRegenView, {}), -1);
  sheetSetDListOn(1);
  const uint32_t count = vwRegenCount();
  gobjfx::state().log.clear();
  EXPECT_EQ(eval("aRegenView"), "");
  sheetSetDListOn(0);
  EXPECT_EQ(vwRegenCount(), count + 1);
  EXPECT_EQ(log().rfind("regen'ing drawing...", 0), 0u) << log();
  EXPECT_NE(log().find("done [0"), std::string::npos) << log();
  EXPECT_EQ(log().back(), '\n');
}

}  // namespace
