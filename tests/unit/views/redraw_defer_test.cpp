// Drawing the pending updates: each model keeps its own list, and
// aDrawDeferList draws every list in the views that show its model.
#include "redraw_fixture.h"

#include "objects/group.h"
#include "objects/objops.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using redrawfx::record;

class RedrawDefer : public redrawfx::RedrawTest {
protected:
  void SetUp() override {
    RedrawTest::SetUp();
    if (!execfx::defined("aDrawDeferList")) objOpsInit();
    // Two models: the first shown in a sheet's draft view and in a second
    // view, the other in a sheet of its own.
    doc = newDoc();
    first = doc->firstModel;
    modelCreate(&second);
    modelLink(second, doc);
    sheetA = sheetCreate(doc, first, nullptr);
    sheetB = sheetCreate(doc, second, nullptr);
    const double box[4] = {-1, -1, 1, 1};
    extra = vwCreate(sheetA, first, box, 0);
    vwSetDrawWindow(&drawWindow);
    vwSetCurView(sheetA->activeView);
  }
  // Marks objects changed with their model current.
  static void update(modelRec* model, std::initializer_list<gobjRec*> objects) {
    modelSetCurrent(model);
    for (gobjRec* o : objects) objUpdate(o, 1);
  }
  static bool nothingPending(modelRec* model) { return grpFirst(*vwPendingSlot(model)) == nullptr; }

  docRec* doc = nullptr;
  modelRec* first = nullptr;
  modelRec* second = nullptr;
  sheetRec* sheetA = nullptr;
  sheetRec* sheetB = nullptr;
  viewRec* extra = nullptr;
  int drawWindow = 0;
};

TEST_F(RedrawDefer, EachModelsListIsDrawnInTheViewsThatShowIt) {
  gobjRec* a = placed(first);
  gobjRec* b = placed(second);
  update(first, {a});
  update(second, {b});
  vwSetCurView(sheetB->activeView);
  drawn().clear();
  EXPECT_EQ(eval("aDrawDeferList"), "");
  EXPECT_EQ(drawnIn(a, sheetA->activeView), 1);
  EXPECT_EQ(drawnIn(a, extra), 1);
  EXPECT_EQ(drawnIn(b, sheetB->activeView), 1);
  EXPECT_EQ(drawn().size(), 3u) << "nothing is drawn where its model is not shown";
  const auto& changed = record().changed;
  EXPECT_EQ(changed.size(), 2u);
  EXPECT_EQ(std::count(changed.begin(), changed.end(), a), 1) << "each dirty object reported changed once";
  EXPECT_EQ(std::count(changed.begin(), changed.end(), b), 1);
  for (gobjRec* o : {a, b}) EXPECT_EQ(o->flags & (updDirty | updQueued), 0);
  EXPECT_TRUE(nothingPending(first));
  EXPECT_TRUE(nothingPending(second));
  // The user's view and model are where they were.
  EXPECT_EQ(vwCurView(), sheetB->activeView);
  EXPECT_EQ(vwCurModel(), second);

  // Nothing pending: nothing drawn.
  drawn().clear();
  vwDrawDeferList();
  EXPECT_TRUE(drawn().empty());
}

TEST_F(RedrawDefer, QueuedObjectsAreDrawnWithTheBatchOrByThemselves) {
  gobjRec* batch = object();
  gobjRec* alone = object();
  gobjRec* dropped = object();
  gobjRec* hiddenAlone = object();
  alone->flags |= updDrawnAlone;
  hiddenAlone->flags |= updDrawnAlone;
  hiddenAlone->flags |= gobjHidden;
  modelSetCurrent(second);
  for (gobjRec* o : {batch, alone, dropped, hiddenAlone}) objUpdateQueue(o);
  objUpdateDequeue(dropped);
  std::vector<int> feedback;
  static std::vector<int>* shown;
  shown = &feedback;
  vwSetFeedbackHook([](int show) { shown->push_back(show); });
  ASSERT_EQ(vwCurView(), sheetA->activeView);  // a view of the other model
  drawn().clear();
  vwDrawDeferList();
  ASSERT_EQ(drawn().size(), 2u);
  EXPECT_EQ(drawn()[0].object, batch);
  EXPECT_EQ(drawn()[1].object, alone) << "the batch first, then each object drawn by itself";
  for (const auto& d : drawn()) EXPECT_EQ(d.view, sheetB->activeView);
  EXPECT_EQ(feedback, (std::vector<int>{0, 1})) << "the feedback is hidden around the drawing";
  for (gobjRec* o : {batch, alone, dropped, hiddenAlone}) EXPECT_FALSE(o->flags & updQueued);
  EXPECT_TRUE(record().changed.empty()) << "queueing alone does not make an object dirty";

  // A hidden object left the queue too, so it is queued again when shown.
  hiddenAlone->flags &= uint16_t(~gobjHidden);
  modelSetCurrent(second);
  objUpdateQueue(hiddenAlone);
  drawn().clear();
  vwDrawDeferList();
  EXPECT_EQ(timesDrawn(hiddenAlone), 1);
}

TEST_F(RedrawDefer, ListsWaitForADocumentAndADrawingWindow) {
  gobjRec* a = object();
  update(first, {a});
  vwSetDrawWindow(nullptr);
  vwDrawDeferList();
  EXPECT_FALSE(nothingPending(first)) << "no window to draw in";
  vwSetDrawWindow(&drawWindow);
  docRec* const current = vwCurDoc();
  vwRecordCurDoc(nullptr);
  vwDrawDeferList();
  EXPECT_FALSE(nothingPending(first)) << "no document";
  vwRecordCurDoc(current);
  vwDrawDeferList();
  EXPECT_TRUE(nothingPending(first));
  EXPECT_EQ(timesDrawn(a), 2);
}

TEST_F(RedrawDefer, AModelsListIsItsOwnUntilTheModelIsForgotten) {
  gobjRec* a = object();
  update(first, {a});
  const uint8_t held = a->refCount;
  vwRedrawForgetModel(first);
  EXPECT_EQ(a->refCount, held - 1) << "the list let go of its object";
  EXPECT_TRUE(nothingPending(first));
  EXPECT_EQ(vwPendingSlot(nullptr), nullptr);
}

TEST_F(RedrawDefer, WithoutTheViewsTheOperatorIsNotAvailable) {
  size_t count = 0;
  const feOpSpec* specs = objOpSpecs(&count);
  const feOpSpec* op = std::find_if(specs, specs + count, [](const feOpSpec& s) {
    return std::string(s.name) == "aDrawDeferList";
  });
  ASSERT_NE(op, specs + count);
  feArgs none{};
  objSetDrawDeferHandler(nullptr);
  EXPECT_EQ(op->handler(&none), feErrUnimplemented);
  gobjRec* a = object();
  update(first, {a});
  vwRedrawInstall();
  EXPECT_EQ(op->handler(&none), 0);
  EXPECT_EQ(timesDrawn(a), 2);
}

}  // namespace
