// Document attribute keys (messages 107 and 108) and the settings
// variables "$SHOWPAGE" and "$DLIST".
#include "doc_fixture.h"

#include "core/errors.h"
#include "core/units.h"
#include "fe/arrays.h"
#include "objects/units_doc.h"

#include <string>
#include <vector>

namespace {

using docfx::DocTest;
using vwfx::changeCodes;
using vwfx::changes;

TEST_F(DocTest, TitlesMustBeUniqueAmongOpenDocuments) {
  docRec* a = newDoc();
  docRec* b = newDoc();
  ASSERT_EQ(setTitle(a, "C:/work/plan.qdw"), 0);
  EXPECT_EQ(a->flags & docUntitled, 0u);
  EXPECT_EQ(attr(a, "title"), "(C:/work/plan.qdw)");
  EXPECT_EQ(attr(a, "untitled"), "false");
  // Titles compare without case.
  EXPECT_EQ(setTitle(b, "c:/WORK/plan.qdw"), vwErrTitleNotUnique);
  EXPECT_EQ(attr(b, "title"), "(Document 2)");
  EXPECT_TRUE(b->flags & docUntitled);
  // A document may be given its own title again.
  EXPECT_EQ(setTitle(a, "C:/work/plan.qdw"), 0);
  EXPECT_EQ(setTitle(b, "Document 2"), 0);
  EXPECT_EQ(docNames(), "(Document 2) (C:/work/plan.qdw) 2");
  // The freed default title is given to the next new document.
  newDoc();
  EXPECT_EQ(docNames(), "(Document 1) (Document 2) (C:/work/plan.qdw) 3");
}

TEST_F(DocTest, KeysAnswerTheirValues) {
  docRec* doc = newDoc();
  const std::pair<const char*, const char*> gets[] = {
      {"dirty", "false"},    {"untitled", "true"},  {"plotshow", "false"}, {"showplane", "false"},
      {"alignplane", "false"}, {"preview", "false"},
      {"snap", "-null-"},
  };
  for (const auto& [key, expected] : gets) {
    int answer = -1;
    EXPECT_EQ(attr(doc, key, &answer), expected) << key;
    EXPECT_EQ(answer, 0) << key;
  }
  // A document gets its grid from the grid module's document hook, which
  // an earlier test of the same run may have installed (grid_test.cpp).
  int gridAnswer = -1;
  const std::string grid = attr(doc, "grid", &gridAnswer);
  EXPECT_TRUE(grid == "-null-" || grid == "-grid-") << grid;
  EXPECT_EQ(gridAnswer, 0);
  docMarkChanged(doc);
  EXPECT_EQ(attr(doc, "dirty"), "true");
  EXPECT_EQ(doc->flags & (docDirty | docAutoSaveDue), uint32_t{docDirty | docAutoSaveDue});

  // The units object reaches the units of the document's settings; it is
  // an object of its own, which a script may keep past the document.
  unitClassRegister();
  feObject k = gobjfx::name("units"), v;
  feMakeNull(&v);
  ASSERT_EQ(objMeth(docClassId(), msgGetAttr, doc, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&v)),
            0);
  void* units = nullptr;
  feGetObjRef(&v, "units", &units);
  ASSERT_NE(units, nullptr);
  EXPECT_NE(units, &doc->settings->units);
  feObject precision = gobjfx::name("precision"), step;
  feMakeReal(&step, 0.25);
  EXPECT_EQ(objMeth(*static_cast<uint16_t*>(units), msgSetAttr, units, reinterpret_cast<intptr_t>(&precision),
                    reinterpret_cast<intptr_t>(&step)),
            0);
  EXPECT_EQ(doc->settings->units.step, 0.25);
  feFree(&v);
}

// The number of elements of an array key.
int32_t lengthOf(docRec* doc, const char* key) {
  feObject k = gobjfx::name(key), v;
  feMakeNull(&v);
  objMeth(docClassId(), msgGetAttr, doc, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&v));
  const int32_t n = feType(&v) == feTArray ? feArrayLength(&v) : -1;
  feFree(&v);
  return n;
}

TEST_F(DocTest, ListKeysFollowTheDocumentsParts) {
  docRec* doc = newDoc();
  int32_t models = 0, sheets = 0, closed = 0;
  for (modelRec* m = doc->firstModel; m; m = m->next) ++models;
  for (sheetRec* s = doc->firstSheet; s; s = s->next) {
    ++sheets;
    if (!s->window) ++closed;
  }
  EXPECT_EQ(lengthOf(doc, "models"), models);
  EXPECT_EQ(lengthOf(doc, "sheets"), sheets);
  EXPECT_EQ(lengthOf(doc, "closedSheets"), closed);
  // A new document has the four standard view directions.
  EXPECT_EQ(lengthOf(doc, "vdefs"), 4);
  if (!models || !sheets) GTEST_SKIP() << "models or sheets not built yet";
}

TEST_F(DocTest, KeyErrors) {
  docRec* doc = newDoc();
  int answer = 0;
  attr(doc, "nosuchkey", &answer);
  EXPECT_EQ(answer, vwErrBadKey);
  for (const char* readOnly : {"dirty", "untitled", "sheets", "closedSheets", "models", "vdefs", "grid", "units",
                               "snap", "nosuchkey"})
    EXPECT_EQ(setAttr(doc, readOnly, boolean(true)), vwErrBadKey) << readOnly;
  EXPECT_EQ(doc->flags & docDirty, 0u);
  EXPECT_EQ(setAttr(doc, "plotshow", text("yes")), feErrTypeCheck);

  // Anything that is not a document.
  feObjRecord other{uint16_t(docClassId() + 1), 1};
  feObject k = gobjfx::name("title"), v;
  feMakeNull(&v);
  EXPECT_EQ(objMeth(docClassId(), msgGetAttr, &other, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&v)),
            vwErrBadObject);
  EXPECT_EQ(setAttr(reinterpret_cast<docRec*>(&other), "plotshow", boolean(true)), vwErrBadObject);
}

TEST_F(DocTest, FlagKeysSetTheirBitsAndThePlaneKeysSignalChanges) {
  docRec* doc = newDoc();
  struct Case {
    const char* key;
    uint32_t bit;
    bool signals;
  };
  const Case cases[] = {{"plotshow", docPlotShow, false},
                        {"preview", docPreview, false},
                        {"showplane", docShowPlane, true},
                        {"alignplane", docAlignPlane, true}};
  for (const Case& c : cases) {
    changes().clear();
    ASSERT_EQ(setAttr(doc, c.key, boolean(true)), 0) << c.key;
    EXPECT_TRUE(doc->flags & c.bit) << c.key;
    EXPECT_EQ(attr(doc, c.key), "true");
    EXPECT_EQ(changeCodes(), c.signals ? std::vector<uint32_t>{vwEvDocPlaneAttr} : std::vector<uint32_t>{}) << c.key;
    // Setting the same value again changes nothing and says nothing.
    changes().clear();
    ASSERT_EQ(setAttr(doc, c.key, boolean(true)), 0);
    EXPECT_TRUE(changes().empty()) << c.key;
    ASSERT_EQ(setAttr(doc, c.key, boolean(false)), 0);
    EXPECT_FALSE(doc->flags & c.bit) << c.key;
  }
}

TEST_F(DocTest, AlignPlaneFlagsTheCurrentViewForRecomputing) {
  docRec* doc = newDoc();
  viewRec view{};
  viewRec* before = vwCurView();
  vwRecordCurView(&view);
  ASSERT_EQ(setAttr(doc, "alignplane", boolean(true)), 0);
  EXPECT_TRUE(view.flags & viewChanged);
  view.flags = 0;
  ASSERT_EQ(setAttr(doc, "showplane", boolean(true)), 0);
  EXPECT_EQ(view.flags, 0);
  vwRecordCurView(before);
}

TEST_F(DocTest, ShowPageTravelsWithTheDrawingFile) {
  docRec* doc = newDoc();
  ASSERT_EQ(dbDocCurrent(), doc->settings);
  doc->flags |= docPlotShow | docPreview;
  ASSERT_EQ(save(path()), 0);
  doc->flags &= ~uint32_t{docPlotShow};
  ASSERT_EQ(load(path()), 0);
  EXPECT_TRUE(doc->flags & docPlotShow);

  doc->flags &= ~uint32_t{docPlotShow};
  ASSERT_EQ(save(path("off.qdw")), 0);
  doc->flags |= docPlotShow;
  ASSERT_EQ(load(path("off.qdw")), 0);
  EXPECT_FALSE(doc->flags & docPlotShow);
  EXPECT_TRUE(doc->flags & docPreview);  // only bit 5 travels

  // "$DLIST" stores nothing here.
  docVarRoutine routine = docVarFind("$DLIST", 6);
  ASSERT_NE(routine, nullptr);
  EXPECT_NE(routine("$DLIST", doc->settings, nullptr), 0);
}

}  // namespace

