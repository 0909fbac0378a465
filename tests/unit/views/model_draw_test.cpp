// Drawing models in the views that show them: a view from its model, a
// search through every view of a document, and bringing a sheet up to date
// with the display-list notes.
#include "view_fixture.h"

#include <vector>

namespace {

using viewfx::lines;
using viewfx::ViewDrawTest;

class ModelDraw : public ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    openDrawing();
  }
  void TearDown() override {
    plTestSetKeyDown(VK_SHIFT, false);
    sheetSetDListOn(0);
    ViewDrawTest::TearDown();
  }
};

TEST_F(ModelDraw, AViewIsDrawnFromItsModelUnlessShiftIsHeld) {
  gobjRec* line = addLine(model, {0, 0, 0}, {1, 0, 0});
  gobjRec* hidden = addLine(model, {0, 1, 0}, {1, 1, 0});
  hidden->flags |= gobjHidden;
  vwfx::changes().clear();
  vwDrawViewOfModel(draft);
  EXPECT_EQ(lines().drawn, std::vector<const gobjRec*>{line});
  bool signalled = false;
  for (const auto& [code, object] : vwfx::changes())
    signalled |= code == vwEvViewDrawn && object == reinterpret_cast<intptr_t>(draft);
  EXPECT_TRUE(signalled);
  lines().drawn.clear();
  plTestSetKeyDown(VK_SHIFT, true);
  vwDrawViewOfModel(draft);
  EXPECT_TRUE(lines().drawn.empty());
}

struct Visit {
  const gobjRec* object;
  viewRec* view;
  int32_t mode;
};

int noteVisit(gobjRec* object, void* argument) {
  int32_t mode = -1;
  gxGetAttr(2, &mode);
  static_cast<std::vector<Visit>*>(argument)->push_back(Visit{object, vwCurView(), mode});
  return 0;
}

TEST_F(ModelDraw, EveryWindowedViewOfTheDocumentIsSearched) {
  const double box[4] = {-1, -1, 1, 1};
  viewRec* view = vwCreate(sheet, model, box, 0);
  newSheet(doc);  // no window: left out
  gobjRec* near = addLine(model, {0, 0, 0}, {0.5, 0, 0});
  gobjRec* far = addLine(model, {2.5, 0, 0}, {3, 0, 0});
  std::vector<Visit> visits;
  vwSetCurView(draft);
  gxSetDrawMode(gxModeDraw);
  vwSieveAllViews(doc, gxModeXor, noteVisit, &visits);
  ASSERT_EQ(visits.size(), 3u);
  EXPECT_EQ(visits[0].view, view);
  EXPECT_EQ(visits[0].object, near);
  for (size_t i = 1; i < 3; ++i) EXPECT_EQ(visits[i].view, draft) << i;
  EXPECT_TRUE((visits[1].object == far) != (visits[2].object == far));
  for (const Visit& v : visits) EXPECT_EQ(v.mode, gxModeXor);
  EXPECT_EQ(vwCurView(), draft);
  int32_t mode = -1;
  gxGetAttr(2, &mode);
  EXPECT_EQ(mode, gxModeDraw);
}

TEST_F(ModelDraw, FlushingTheNotesDrawsTheInsertedObjectsStillThere) {
  sheetSetDListOn(1);
  gobjRec* kept = addLine(model, {0, 0, 0}, {1, 0, 0});
  gobjRec* gone = addLine(model, {0, 1, 0}, {1, 1, 0});
  ASSERT_EQ(dlistNoteInsert(kept, model->number), 0);
  ASSERT_EQ(dlistNoteInsert(gone, model->number), 0);
  ASSERT_EQ(dlistNoteRemove(model->number, gone), 0);
  vwfx::changes().clear();
  dlistFlush(sheet);
  EXPECT_EQ(lines().drawn, std::vector<const gobjRec*>{kept});
  EXPECT_EQ(model->inserted.count, 0u);
  EXPECT_EQ(model->removed.count, 0u);
  bool redrawn = false;
  for (const auto& [code, object] : vwfx::changes()) redrawn |= code == vwEvSheetRedrawn;
  EXPECT_TRUE(redrawn);
  // Nothing noted: nothing done.
  vwfx::changes().clear();
  lines().drawn.clear();
  dlistFlush(sheet);
  EXPECT_TRUE(vwfx::changes().empty());
}

TEST_F(ModelDraw, AHundredNotesRepaintInsteadOfDrawing) {
  sheetSetDListOn(1);
  gobjRec* line = addLine(model, {0, 0, 0}, {1, 0, 0});
  for (int i = 0; i < 100; ++i) ASSERT_EQ(dlistNoteInsert(line, model->number), 0) << i;
  dlistFlush(sheet);
  EXPECT_TRUE(lines().drawn.empty());
  EXPECT_EQ(model->inserted.count, 0u);
  // With display lists off nothing is noted.
  sheetSetDListOn(0);
  EXPECT_EQ(dlistNoteInsert(line, model->number), -1);
  EXPECT_EQ(model->inserted.count, 0u);
}

}  // namespace
