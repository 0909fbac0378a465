// Sheets as records: defaults, creation, linking and titles, unlinking,
// copying and release.
#include "sheet_fixture.h"

#include <string>
#include <vector>

namespace {

using sheetfx::SheetTest;

std::vector<std::string> titles(const docRec* doc) {
  std::vector<std::string> list;
  for (const sheetRec* s = doc->firstSheet; s; s = s->next) list.push_back(s->title);
  return list;
}

int countCode(uint32_t code) {
  int n = 0;
  for (uint32_t c : vwfx::changeCodes()) n += c == code;
  return n;
}

TEST_F(SheetTest, ASheetWithoutPreferencesHasTheBuiltInLayout) {
  sheetRec* sheet = looseSheet();
  EXPECT_EQ(sheet->head.object.classId, sheetClassId());
  EXPECT_EQ(sheet->head.desc, sheetListDesc());
  EXPECT_STREQ(sheet->title, "");
  const double bounds[4] = {-4.25, 5.5, 4.25, -5.5};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(sheet->plotBounds[k], bounds[k]) << k;
  EXPECT_EQ(sheet->pagesAcross, 1);
  EXPECT_EQ(sheet->pagesDown, 1);
  EXPECT_EQ(sheet->plotScale, 1.0);
  EXPECT_EQ(sheet->zoom[0].pageScale, 1.0);
  EXPECT_EQ(sheet->zoomCount, 1);
  EXPECT_TRUE(sheet->flags & sheetShowViewBounds);
  EXPECT_FALSE(sheet->flags & sheetLockViews);
}

TEST_F(SheetTest, ANewSheetTakesThePreferencesLayout) {
  sheetRec* preferred = vwGetDefaultDoc()->firstSheet;
  ASSERT_NE(preferred, nullptr);
  preferred->pagesAcross = 3;
  preferred->pagesDown = 2;
  preferred->plotScale = 0.25;
  preferred->plotBounds[0] = -10;
  preferred->zoom[0].pageScale = 2;
  preferred->flags = 0;
  sheetRec* sheet = looseSheet();
  EXPECT_EQ(sheet->pagesAcross, 3);
  EXPECT_EQ(sheet->pagesDown, 2);
  EXPECT_EQ(sheet->plotScale, 0.25);
  EXPECT_EQ(sheet->plotBounds[0], -10);
  EXPECT_EQ(sheet->zoom[0].pageScale, 2);
  EXPECT_FALSE(sheet->flags & sheetShowViewBounds);
}

TEST_F(SheetTest, CreateWithoutAModelOrADocumentMakesNoSheet) {
  docRec* doc = newDoc();
  const int32_t sheets = vwLive().sheets;
  EXPECT_EQ(sheetCreate(doc, nullptr, nullptr), nullptr);
  EXPECT_EQ(sheetCreate(nullptr, doc->firstModel, nullptr), nullptr);
  EXPECT_EQ(sheetCreate(nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(vwLive().sheets, sheets);
  EXPECT_EQ(doc->firstSheet, nullptr);
  const std::string shown = boxes();
  EXPECT_NE(shown.find("BadModel|"), std::string::npos) << shown;
  EXPECT_NE(shown.find("BadDoc|"), std::string::npos) << shown;
}

TEST_F(SheetTest, CreateLinksASheetWithAFillingDraftView) {
  docRec* doc = newDoc();
  vwGetDefaultDoc();  // made with a sheet of its own first
  vwfx::changes().clear();
  sheetRec* sheet = newSheet(doc);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(doc->firstSheet, sheet);
  EXPECT_EQ(sheet->owner, doc);
  EXPECT_STREQ(sheet->title, "Sheet 1");
  EXPECT_EQ(sheet->head.object.refCount, 1);
  viewRec* draft = sheet->activeView;
  ASSERT_NE(draft, nullptr);
  EXPECT_EQ(sheet->firstView, draft);
  EXPECT_EQ(sheet->viewCount, 1u);
  EXPECT_EQ(draft->flags & (viewDraft | viewAttached), viewDraft | viewAttached);
  EXPECT_EQ(draft->model, doc->firstModel);
  EXPECT_NE(draft->index, 0u);
  EXPECT_EQ(vwViewOfIndex(doc, draft->index), draft);
  // The draft view covers the sheet's graphics box.
  for (int k = 0; k < 4; ++k) EXPECT_EQ(draft->screenBox[k], sheet->graphicsBox[k]) << k;
  EXPECT_GT(sheet->graphicsBox[2], sheet->graphicsBox[0]);
  EXPECT_EQ(countCode(vwEvViewCreated), 1);
}

TEST_F(SheetTest, LinkingGivesMissingOrTakenTitlesTheFirstFreeName) {
  docRec* doc = newDoc();
  newSheet(doc);
  sheetRec* second = looseSheet();
  uStrDup("sheet 1", 7, &second->title);  // taken, whatever the case
  ASSERT_EQ(sheetLink(second, doc, ownedAppend), 0);
  loose.pop_back();
  sheetRec* named = looseSheet();
  uStrDup("Plan", 4, &named->title);
  ASSERT_EQ(sheetLink(named, doc, 0), 0);
  loose.pop_back();
  EXPECT_EQ(titles(doc), (std::vector<std::string>{"Plan", "Sheet 1", "Sheet 2"}));
}

TEST_F(SheetTest, UnlinkTakesTheSheetOutAndGivesItsViewNumbersBack) {
  docRec* doc = newDoc();
  sheetRec* sheet = newSheet(doc);
  const uint32_t number = sheet->firstView->index;
  vwfx::changes().clear();
  EXPECT_EQ(sheetUnlink(sheet), 0);
  EXPECT_EQ(doc->firstSheet, nullptr);
  EXPECT_EQ(sheet->owner, nullptr) << "a sheet a script keeps may outlive the document";
  EXPECT_EQ(vwfx::changeCodes(), std::vector<uint32_t>{vwEvSheetRemoved});
  // The number is free again: the next view of the document takes it.
  sheetRec* other = newSheet(doc);
  EXPECT_EQ(other->firstView->index, number);
  EXPECT_EQ(sheetUnlink(sheet), vwErrBadObject);  // out already: no owner
  int notASheet = 0;
  EXPECT_EQ(sheetUnlink(reinterpret_cast<sheetRec*>(&notASheet)), vwErrBadObject);
  sheet->head.object.refCount = 0;
  sheetFree(sheet);
}

TEST_F(SheetTest, MessagesLinkToTheCurrentDocumentAndUnlink) {
  sheetRec* sheet = looseSheet();
  EXPECT_EQ(objMeth(sheetClassId(), msgAttach, sheet), vwErrNoCurDoc);
  docRec* doc = newDoc();
  docSetCurrent(doc);
  EXPECT_EQ(objMeth(sheetClassId(), msgAttach, sheet), 0);
  EXPECT_EQ(doc->firstSheet, sheet);
  // Linked twice, the list would run in a circle.
  EXPECT_EQ(objMeth(sheetClassId(), msgAttach, sheet), vwErrAlreadyOwned);
  EXPECT_EQ(sheet->next, nullptr);
  EXPECT_EQ(objMeth(sheetClassId(), msgDetach, sheet), 0);
  EXPECT_EQ(doc->firstSheet, nullptr);
  // Unlinked, it may join a document again.
  EXPECT_EQ(objMeth(sheetClassId(), msgAttach, sheet), 0);
  EXPECT_EQ(doc->firstSheet, sheet);
  EXPECT_EQ(objMeth(sheetClassId(), msgDetach, sheet), 0);
  sheetRec* made = nullptr;
  EXPECT_EQ(objMeth(sheetClassId(), msgNew, nullptr, reinterpret_cast<intptr_t>(&made)), 0);
  ASSERT_NE(made, nullptr);
  loose.push_back(made);
  EXPECT_EQ(objMeth(sheetClassId(), msgDraw, made), -1);  // the superclass answers the rest
}

TEST_F(SheetTest, ACopyKeepsTheLayoutAndTheViewsInOrder) {
  docRec* doc = newDoc();
  sheetRec* source = newSheet(doc);
  source->pagesAcross = 2;
  source->plotScale = 0.5;
  source->zoom[0].pageScale = 3;
  const double box[4] = {0, 0, 2, 1};
  viewRec* second = vwCreate(source, doc->firstModel, box, 0);  // now first in the list
  source->lastActiveView = second;
  sheetRec* copy = nullptr;
  ASSERT_EQ(sheetCopy(source, doc, &copy), 0);
  EXPECT_EQ(copy->owner, doc);
  EXPECT_STREQ(copy->title, "Sheet 2");
  EXPECT_EQ(copy->pagesAcross, 2);
  EXPECT_EQ(copy->plotScale, 0.5);
  EXPECT_EQ(copy->zoom[0].pageScale, 3);
  ASSERT_EQ(copy->viewCount, 2u);
  viewRec* first = copy->firstView;
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first->next, nullptr);
  EXPECT_EQ(first->box[2], 2);  // the box view first, as in the source
  EXPECT_EQ(copy->lastActiveView, first);
  EXPECT_EQ(copy->activeView, first->next);
  EXPECT_TRUE(first->next->flags & viewDraft);
  EXPECT_FALSE(first->flags & viewDraft);
  EXPECT_NE(first->index, second->index);
  EXPECT_EQ(first->model, doc->firstModel);
}

TEST_F(SheetTest, FreeingASheetReleasesItsViewsAndForgetsItAsCurrent) {
  docRec* doc = newDoc();
  sheetRec* sheet = newSheet(doc);
  viewRec* held = vwCreate(sheet, doc->firstModel, nullptr, 0);
  ++held->refCount;  // a script holds it
  vwSetCurView(sheet->activeView);
  ASSERT_EQ(vwCurSheet(), sheet);
  const int32_t views = vwLive().views, sheets = vwLive().sheets;
  ASSERT_EQ(sheetUnlink(sheet), 0);
  sheetFree(sheet);
  EXPECT_EQ(vwLive().sheets, sheets - 1);
  EXPECT_EQ(vwLive().views, views - 1);  // the held one stays
  EXPECT_EQ(vwCurSheet(), nullptr);
  EXPECT_EQ(vwCurView(), nullptr);
  EXPECT_EQ(held->sheet, nullptr);
  EXPECT_FALSE(held->flags & viewAttached);
  EXPECT_EQ(held->refCount, 1);
  --held->refCount;
  EXPECT_EQ(vwFree(held), 0);
  EXPECT_EQ(vwLive().views, views - 2);
}

TEST_F(SheetTest, CreatingFromAKeyedListMakesASheetWithItsOwnModel) {
  feObject pairs[4] = {gobjfx::name("type"), text("sheet"), gobjfx::name("pagesdown"), integer(4)};
  feObject list;
  feMakeArray(&list, pairs, 4);
  vwGetDefaultDoc();  // made with a model of its own first
  const int32_t models = vwLive().models;
  sheetRec* made = nullptr;
  vwfx::changes().clear();
  ASSERT_EQ(objMeth(sheetClassId(), msgCreate, nullptr, reinterpret_cast<intptr_t>(&list),
                    reinterpret_cast<intptr_t>(&made)),
            0);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->pagesDown, 4);
  ASSERT_NE(made->activeView, nullptr);
  EXPECT_TRUE(made->activeView->flags & viewDraft);
  EXPECT_EQ(vwLive().models, models + 1);
  EXPECT_EQ(vwfx::changeCodes().back(), vwEvSheetCreated);
  sheetFree(made);  // the view and with it the model go
  EXPECT_EQ(vwLive().models, models);
  // A key the sheet refuses makes nothing.
  feObject bad[2] = {gobjfx::name("pagesdown"), integer(0)};
  feObject refused;
  feMakeArray(&refused, bad, 2);
  const int32_t sheets = vwLive().sheets;
  made = nullptr;
  EXPECT_EQ(objMeth(sheetClassId(), msgCreate, nullptr, reinterpret_cast<intptr_t>(&refused),
                    reinterpret_cast<intptr_t>(&made)),
            vwErrBadValue);
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(vwLive().sheets, sheets);
  EXPECT_EQ(vwLive().models, models);
  feFree(&list);
  feFree(&refused);
}

}  // namespace
