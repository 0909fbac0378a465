// A document written and read back: its title, flags and print setup, its
// models with their planes and objects, its sheets with their views in the
// order written (the active one last and active again), the views' state
// and settings, the view numbers of objects, and the write modes.
#include "docfile_fixture.h"

#include "draw/gdi.h"

namespace {

using docfilefx::DocFileTest;

class DocFileRoundTrip : public DocFileTest {
protected:
  // Two models (the second with its current plane second in its list and
  // two marks), two sheets, three views.
  docRec* sample() {
    docRec* doc = emptyDoc();
    uStrDup("Plan", 4, &doc->title);
    doc->flags |= docShowPlane;
    vdefStandardSet(doc);
    const double eye[3] = {1, 1, 1}, at[3] = {0, 0, 0}, zUp[3] = {0, 0, 1};
    vdefMake(doc, eye, at, zUp, "Corner");
    ground = addModel(doc, "Ground");
    roof = addModel(doc, "Roof");
    for (double v : {1.0, 2.0, 3.0}) placeMark(ground, v);
    for (double v : {10.0, 20.0}) placeMark(roof, v);
    const double origin[3] = {0, 0, 5}, right[3] = {1, 0, 0}, up[3] = {0, 1, 0};
    wplaneRec* slope = wpCreate("Slope", 0, origin, right, up);
    wpAddToModel(roof, slope);
    roof->curPlane = slope;
    sheetRec* first = sheetCreate(doc, ground, nullptr);
    uStrDup("Front", 5, &first->title);
    const double box[4] = {-2, 2, 0, 0};
    viewRec* side = vwCreate(first, roof, box, 0);
    uStrDup("Side", 4, &side->title);
    viewState& s = side->states[0];
    s.scale = 2.5;
    s.pan[0] = 0.75;
    s.pan[1] = -0.5;
    const double centre[3] = {1, 2, 3}, normal[3] = {0, -1, 0}, upward[3] = {0, 0, 1};
    std::copy(centre, centre + 3, s.centre);
    std::copy(normal, normal + 3, s.normal);
    std::copy(upward, upward + 3, s.up);
    side->renderMode = 2;
    side->perspective = 1;
    side->perspectiveEye[2] = 40;
    side->extraWord = 7;
    side->extra[1] = 0.25;
    side->perspectiveDist = 12;
    side->perspectiveAngle = 35;
    side->flags |= viewChanged;
    sheetRec* second = sheetCreate(doc, roof, nullptr);
    uStrDup("Back", 4, &second->title);
    second->plotScale = 0.5;
    second->pagesAcross = 2;
    second->plotDir = 3;
    const double bounds[4] = {-8, 6, 8, -6};
    std::copy(bounds, bounds + 4, second->plotBounds);
    return doc;
  }

  // The owner number of the model's mark of the value (-1 when none).
  static int ownerOf(const modelRec* model, double value) {
    struct Find {
      double value;
      int owner;
    } find{value, -1};
    sieveForEach(model->sieve, [](gobjRec* o, void* c) {
      auto* f = static_cast<Find*>(c);
      if (valueOf(o) == f->value) f->owner = o->owner;
      return 0;
    }, &find);
    return find.owner;
  }

  modelRec* ground = nullptr;
  modelRec* roof = nullptr;
};

TEST_F(DocFileRoundTrip, DocumentModelsPlanesAndObjectsComeBack) {
  docRec* doc = sample();
  const uint8_t setup[5] = {9, 8, 7, 6, 5};
  printSetupSet(setup, sizeof setup);
  ASSERT_EQ(write(doc), 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  EXPECT_STREQ(back->title, "Plan");
  EXPECT_TRUE(back->flags & docShowPlane);
  ASSERT_EQ(back->printSetupLength, 5u);
  EXPECT_EQ(std::vector<uint8_t>(back->printSetup, back->printSetup + 5), std::vector<uint8_t>(setup, setup + 5));
  EXPECT_EQ(ownedCount(back->firstVdir), 5u);
  EXPECT_NE(vdefFind(back, "Corner", 6), nullptr);

  const std::vector<modelRec*> list = models(back);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_STREQ(list[0]->title, "Ground");
  EXPECT_STREQ(list[1]->title, "Roof");
  EXPECT_EQ(values(list[0]), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(values(list[1]), (std::vector<double>{10, 20}));
  // Every object was told the read is over, once.
  EXPECT_EQ(docfilefx::marks().postLoads, 5);
  std::vector<std::string> planes;
  for (wplaneRec* p = list[1]->firstPlane; p; p = p->next) planes.push_back(p->title);
  EXPECT_EQ(planes, (std::vector<std::string>{"World", "Slope"}));
  ASSERT_NE(list[1]->curPlane, nullptr);
  EXPECT_STREQ(list[1]->curPlane->title, "Slope");
}

TEST_F(DocFileRoundTrip, SheetsAndViewsComeBackInOrderWithTheActiveViewLast) {
  docRec* doc = sample();
  ASSERT_EQ(write(doc), 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  const std::vector<sheetRec*> list = sheets(back);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_STREQ(list[0]->title, "Front");
  EXPECT_STREQ(list[1]->title, "Back");
  const std::vector<modelRec*> backModels = models(back);

  const std::vector<viewRec*> front = views(list[0]);
  ASSERT_EQ(front.size(), 2u);
  EXPECT_STREQ(front[0]->title, "Side");
  EXPECT_EQ(front[0]->model, backModels[1]);
  EXPECT_EQ(front[1]->model, backModels[0]);
  EXPECT_EQ(list[0]->activeView, front[1]);
  EXPECT_TRUE(front[1]->flags & viewDraft);
  EXPECT_FALSE(front[0]->flags & viewDraft);

  const viewState& s = front[0]->states[0];
  EXPECT_EQ(s.scale, 2.5);
  EXPECT_EQ(s.pan[0], 0.75);
  EXPECT_EQ(s.pan[1], -0.5);
  EXPECT_EQ(std::vector<double>(s.centre, s.centre + 3), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(std::vector<double>(s.normal, s.normal + 3), (std::vector<double>{0, -1, 0}));
  EXPECT_EQ(std::vector<double>(s.up, s.up + 3), (std::vector<double>{0, 0, 1}));
  EXPECT_EQ(front[0]->renderMode, 2);
  EXPECT_EQ(front[0]->perspective, 1);
  EXPECT_EQ(front[0]->perspectiveEye[2], 40);
  EXPECT_EQ(front[0]->extraWord, 7u);
  EXPECT_EQ(front[0]->extra[1], 0.25);
  EXPECT_EQ(front[0]->perspectiveDist, 12);
  EXPECT_EQ(front[0]->perspectiveAngle, 35);
  EXPECT_EQ(std::vector<double>(front[0]->box, front[0]->box + 4), (std::vector<double>{-2, 2, 0, 0}));

  const std::vector<viewRec*> rear = views(list[1]);
  ASSERT_EQ(rear.size(), 1u);
  EXPECT_EQ(list[1]->activeView, rear[0]);
  EXPECT_EQ(list[1]->plotScale, 0.5);
  EXPECT_EQ(list[1]->pagesAcross, 2);
  EXPECT_EQ(list[1]->plotDir, 3);
  EXPECT_EQ(std::vector<double>(list[1]->plotBounds, list[1]->plotBounds + 4), (std::vector<double>{-8, 6, 8, -6}));
  EXPECT_EQ(list[0]->zoom[0].pageScale, doc->firstSheet->zoom[0].pageScale);
}

TEST_F(DocFileRoundTrip, ObjectsOfAViewFollowItsNewViewNumber) {
  docRec* doc = sample();
  viewRec* side = doc->firstSheet->firstView;
  ASSERT_STREQ(side->title, "Side");
  // The side view holds number 9; a fresh document numbers its views from 1.
  docFreeViewNumber(doc, side->index);
  side->index = docAllocViewNumber(doc, 9);
  ASSERT_EQ(side->index, 9u);
  placeMark(roof, 30)->owner = 9;
  // Number 9 in another model is no object of the side view's.
  placeMark(ground, 40)->owner = 9;
  ASSERT_EQ(write(doc), 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  const viewRec* sideBack = back->firstSheet->firstView;
  ASSERT_STREQ(sideBack->title, "Side");
  EXPECT_NE(sideBack->index, 9u);
  EXPECT_EQ(ownerOf(models(back)[1], 30), int(sideBack->index));
  EXPECT_EQ(ownerOf(models(back)[0], 40), 9);
  EXPECT_EQ(back->remapCount, 0u) << "the remap table is emptied after the read";
}

TEST_F(DocFileRoundTrip, NoObjectsModeWritesEmptyModelsAndKeepsTheDocumentDirty) {
  docRec* doc = sample();
  docMarkChanged(doc);
  doc->flags |= docUntitled;
  ASSERT_EQ(write(doc, vwWriteNoObjects), 0);
  EXPECT_TRUE(doc->flags & docDirty);
  EXPECT_TRUE(doc->flags & docUntitled);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  for (modelRec* m : models(back)) EXPECT_TRUE(values(m).empty()) << m->title;
  EXPECT_EQ(models(back).size(), 2u);
}

TEST_F(DocFileRoundTrip, AContainerOfVersionZeroReadsBackAsWritten) {
  // Such a container stores no levels: its document reads as version 0, so
  // it is written as one.
  docRec* doc = sample();
  ASSERT_EQ(write(doc, 0, 0), 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  EXPECT_STREQ(back->title, "Plan");
  const std::vector<modelRec*> list = models(back);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(values(list[1]), (std::vector<double>{10, 20}));
  EXPECT_EQ(sheets(back).size(), 2u);
}

}  // namespace
