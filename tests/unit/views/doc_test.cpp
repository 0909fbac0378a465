// Documents: the open list and its default titles, the current document,
// closing, the preferences document, copies, view numbers and the document
// operators.
#include "doc_fixture.h"

#include "core/abort.h"
#include "core/text.h"
#include "objects/ctab.h"
#include "draw/gdi.h"

#include <platform_test.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

namespace {

using docfx::DocTest;
using vwfx::changeCodes;
using vwfx::changes;

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }

TEST_F(DocTest, NewDocumentsTakeTheFirstFreeDefaultTitle) {
  docRec* first = newDoc();
  docRec* second = newDoc();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, first);
  EXPECT_EQ(docNames(), "(Document 2) (Document 1) 2");
  EXPECT_EQ(docFirstOpen(), second);
  ASSERT_EQ(run("aCurDoc"), 0);
  feObject top;
  fePop(*feOperandStack(), &top);
  void* record = nullptr;
  feGetObjRef(&top, nullptr, &record);
  EXPECT_EQ(record, second);
  feFree(&top);

  // A closed document's title is given again.
  EXPECT_EQ(docRemove(first), 0);
  EXPECT_EQ(docNames(), "(Document 2) 1");
  newDoc();
  EXPECT_EQ(docNames(), "(Document 1) (Document 2) 2");
  EXPECT_EQ(docFindOpen("document 2", 10), second);
  EXPECT_EQ(docFindOpen("Document", 8), nullptr);
}

TEST_F(DocTest, ANewDocumentIsCurrentCleanAndHasItsOwnSettings) {
  const int32_t liveBefore = vwLive().docs;
  docRec* doc = newDoc();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->flags & docDirty, 0u);
  EXPECT_TRUE(doc->flags & docUntitled);
  EXPECT_EQ(doc->object.refCount, 1);
  ASSERT_NE(doc->settings, nullptr);
  EXPECT_EQ(doc->settings->document, doc);
  EXPECT_EQ(dbDocCurrent(), doc->settings);
  EXPECT_TRUE(vwMenuState() & vwMenuDocOpen);
  // The preferences document and the new one.
  EXPECT_EQ(vwLive().docs, liveBefore + 2);
  ASSERT_NE(vwGetDefaultDoc(), nullptr);
  EXPECT_NE(vwGetDefaultDoc()->settings, doc->settings);
}

TEST_F(DocTest, ANewDocumentCopiesTheCurrentPrintSetup) {
  const uint8_t setup[] = {1, 2, 3, 4, 5};
  printSetupSet(setup, sizeof setup);
  docRec* a = nullptr;
  ASSERT_EQ(docCreate(&a), 0);
  EXPECT_EQ(std::vector<uint8_t>(a->printSetup, a->printSetup + a->printSetupLength),
            std::vector<uint8_t>(setup, setup + 5));
  a->printSetup[0] = 9;
  docSetCurrent(a);
  docRec* b = nullptr;
  ASSERT_EQ(docCreate(&b), 0);
  ASSERT_EQ(b->printSetupLength, 5u);
  EXPECT_EQ(b->printSetup[0], 9);
  EXPECT_NE(b->printSetup, a->printSetup);
  docSetCurrent(nullptr);
  docFree(b);
  docFree(a);
  printSetupSet(nullptr, 0);
}

TEST_F(DocTest, SwitchingTheCurrentDocumentSignalsAndSwitchesSettings) {
  docRec* a = nullptr;
  docRec* b = nullptr;
  ASSERT_EQ(docCreate(&a), 0);
  ASSERT_EQ(docCreate(&b), 0);
  changes().clear();
  docSetCurrent(a);
  docSetCurrent(b);
  docSetCurrent(b);
  const std::vector<std::pair<uint32_t, intptr_t>> expected = {
      {vwEvDocCurrent, word(a)}, {vwEvDocNotCurrent, word(a)}, {vwEvDocCurrent, word(b)}};
  EXPECT_EQ(changes(), expected);
  EXPECT_EQ(vwCurDoc(), b);
  EXPECT_EQ(dbDocCurrent(), b->settings);

  changes().clear();
  docSetCurrentInhibit(1);
  docSetCurrent(a);
  EXPECT_EQ(vwCurDoc(), b);
  docSetCurrentInhibit(0);
  docSetCurrent(nullptr);
  EXPECT_EQ(changeCodes(), std::vector<uint32_t>{vwEvDocNotCurrent});
  EXPECT_EQ(vwCurDoc(), nullptr);
  EXPECT_EQ(dbDocCurrent(), nullptr);
  docFree(a);
  docFree(b);
}

TEST_F(DocTest, ClosingTheLastDocumentLeavesNothingCurrent) {
  docRec* doc = newDoc();
  const int32_t live = vwLive().docs;
  changes().clear();
  ASSERT_EQ(run("aCurDoc aRemoveDoc"), 0);
  EXPECT_EQ(vwCurDoc(), nullptr);
  EXPECT_EQ(vwCurView(), nullptr);
  EXPECT_EQ(docFirstOpen(), nullptr);
  EXPECT_EQ(dbDocCurrent(), nullptr);
  EXPECT_EQ(vwMenuState() & vwMenuDocOpen, 0u);
  EXPECT_EQ(vwLive().docs, live - 1);
  const std::vector<uint32_t> codes = changeCodes();
  ASSERT_FALSE(codes.empty());
  const auto closing = std::find(changes().begin(), changes().end(), std::make_pair(uint32_t{vwEvDocClosing}, word(doc)));
  EXPECT_NE(closing, changes().end());
  EXPECT_EQ(codes.back(), vwEvNoDocs);
  EXPECT_EQ(changes().back().second, 0);
  EXPECT_EQ(run("aCurDoc"), vwErrNoCurDoc);
}

TEST_F(DocTest, ADocumentMadeCurrentBringsItsFirstSheetUnlessOneOfItsSheetsIsCurrent) {
  docRec* a = newDoc();
  ASSERT_NE(a->firstSheet, nullptr);
  sheetRec* second = sheetCreate(a, a->firstModel, nullptr);
  ASSERT_NE(second, nullptr);
  docRec* b = newDoc();
  EXPECT_EQ(vwCurSheet(), b->firstSheet);
  docSetCurrent(a);
  EXPECT_EQ(vwCurSheet(), a->firstSheet);
  sheetSetCurrent(second);
  docSetCurrent(b);
  docSetCurrent(a);
  EXPECT_EQ(vwCurSheet(), a->firstSheet);

  // Closing another document leaves the current sheet where it was.
  sheetSetCurrent(second);
  ASSERT_EQ(vwCurDoc(), a);
  EXPECT_EQ(docRemove(b), 0);
  EXPECT_EQ(vwCurDoc(), a);
  EXPECT_EQ(vwCurSheet(), second);
}

TEST_F(DocTest, ClosingOneOfTwoKeepsTheOtherCurrent) {
  docRec* a = newDoc();
  docRec* b = newDoc();
  changes().clear();
  EXPECT_EQ(docRemove(a), 0);
  EXPECT_EQ(vwCurDoc(), b);
  EXPECT_EQ(dbDocCurrent(), b->settings);
  EXPECT_TRUE(vwMenuState() & vwMenuDocOpen);
  for (uint32_t code : changeCodes()) EXPECT_NE(code, vwEvNoDocs);
}

TEST_F(DocTest, ADocumentStillReferredToOutlivesItsCloseButCannotBeClosedTwice) {
  docRec* doc = newDoc();
  const int32_t live = vwLive().docs;
  // The script keeps a reference on the operand stack across the close.
  ASSERT_EQ(run("aCurDoc dup aRemoveDoc"), 0);
  EXPECT_EQ(vwLive().docs, live);
  EXPECT_EQ(doc->object.refCount, 1);
  EXPECT_EQ(docRemove(doc), vwErrBadObject);
  EXPECT_EQ(vwLive().docs, live);
  feStackClear(*feOperandStack());
  EXPECT_EQ(vwLive().docs, live - 1);
}

TEST_F(DocTest, ThePreferencesDocumentCannotBeClosed) {
  ASSERT_EQ(run("aDefaultDoc aRemoveDoc"), vwErrBadObject);
  feStackClear(*feOperandStack());
  docRec* prefs = vwGetDefaultDoc();
  ASSERT_NE(prefs, nullptr);
  EXPECT_GE(prefs->object.refCount, 1);
  EXPECT_EQ(run("aDefaultDoc aDefaultDoc eq"), 0);
  EXPECT_EQ(execfx::operands(), "true");
}

TEST_F(DocTest, CurrentDocumentOperators) {
  EXPECT_EQ(run("aCurDoc"), vwErrNoCurDoc);
  EXPECT_EQ(run("aCurDocX"), 0);
  EXPECT_EQ(execfx::operands(), "false");
  feStackClear(*feOperandStack());
  newDoc();
  EXPECT_EQ(run("aCurDocX exch aCurDoc eq"), 0);
  EXPECT_EQ(execfx::operands(), "true true");
}

TEST_F(DocTest, ThePreferencesDocumentFromTheScriptsFileName) {
  define("aPrefFile", "(C:/cfg/PREFS.QDW)");
  define("aLoadPrefsHook", "/loaded exch def");
  changes().clear();
  docRec* prefs = vwGetDefaultDoc();
  ASSERT_NE(prefs, nullptr);
  EXPECT_EQ(vwGetDefaultDoc(), prefs);
  EXPECT_NE(gobjfx::state().log.find("[vwGetDefaultDoc] prefs file='C:/cfg/PREFS.QDW'"), std::string::npos);
  EXPECT_EQ(valueOf("loaded"), "(C:/cfg/PREFS.QDW)");
  EXPECT_TRUE(prefs->flags & docUntitled);
  EXPECT_FALSE(docIsOpen(prefs));
  const std::vector<uint32_t> codes = changeCodes();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), vwEvDocCreated);
  EXPECT_EQ(codes.back(), vwEvPrefsLoaded);
  EXPECT_EQ(feOperandDepth(), 0);
}

TEST_F(DocTest, WithoutAPrefFileTheProgramDirectoryNameIsUsed) {
  define("aLoadPrefsHook", "/loaded exch def");
  ASSERT_NE(vwGetDefaultDoc(), nullptr);
  const std::string loaded = valueOf("loaded");
  EXPECT_NE(loaded.find("Plumet Prefs)"), std::string::npos) << loaded;
  EXPECT_EQ(gobjfx::state().log.find("prefs file="), std::string::npos);
  // A procedure that leaves no string counts as none.
  docResetAll();
  define("aPrefFile", "42");
  ASSERT_NE(vwGetDefaultDoc(), nullptr);
  EXPECT_NE(valueOf("loaded").find("Plumet Prefs)"), std::string::npos);
  EXPECT_EQ(feOperandDepth(), 0);
}

TEST_F(DocTest, ThePreferencesDocumentHasAModelAndASheet) {
  docRec* prefs = vwGetDefaultDoc();
  ASSERT_NE(prefs, nullptr);
  if (!prefs->firstModel) GTEST_SKIP() << "models not built yet";
  EXPECT_EQ(prefs->firstModel->owner, prefs);
  ASSERT_NE(prefs->firstSheet, nullptr);
  EXPECT_EQ(prefs->firstSheet->owner, prefs);
}

TEST_F(DocTest, PenPairsGoToThePreferencesSettings) {
  const double widths[3] = {0.1, 0.2, 0.3};
  docSetPenPairs(3, reinterpret_cast<const int32_t*>(widths));  // nothing yet
  docRec* prefs = vwGetDefaultDoc();
  ASSERT_NE(prefs->settings, nullptr);
  double saved[4];
  std::memcpy(saved, prefs->settings->penWeights, sizeof saved);
  docSetPenPairs(3, reinterpret_cast<const int32_t*>(widths));
  EXPECT_EQ(prefs->settings->penWeights[0], 0.1);
  EXPECT_EQ(prefs->settings->penWeights[2], 0.3);
  EXPECT_EQ(prefs->settings->penWeights[3], saved[3]);
  // The preferences document lives as long as the process and new
  // documents take its weights: later tests draw with the usual pens.
  docSetPenPairs(3, reinterpret_cast<const int32_t*>(saved));
}

// Views are bound to models by their position in the list, so a copy must
// keep the models in the source's order.
TEST_F(DocTest, ACopyKeepsTheModelOrder) {
  docRec* source = nullptr;
  ASSERT_EQ(docCreate(&source), 0);
  modelRec* models[3] = {};
  for (modelRec*& m : models) {
    ASSERT_EQ(modelCreate(&m), 0);
    if (!m) {
      docDiscard(source);
      GTEST_SKIP() << "models not built yet";
    }
  }
  // modelLink puts each at the head: link in reverse for A, B, C.
  const char* titles[3] = {"A", "B", "C"};
  for (int i = 2; i >= 0; --i) {
    uStrDup(titles[i], 1, &models[i]->title);
    modelLink(models[i], source);
  }
  ASSERT_STREQ(source->firstModel->title, "A");
  docRec* copy = nullptr;
  ASSERT_EQ(docCopy(source, &copy), 0);
  std::string order;
  for (modelRec* m = copy->firstModel; m; m = m->next) {
    order += m->title;
    EXPECT_EQ(m->owner, copy);
  }
  EXPECT_EQ(order, "ABC");
  docDiscard(copy);
  docDiscard(source);
}

// A run abandoned while a document is made (memory ran out in a script the
// making runs: here the colour defaults' localisation hook) takes the
// half-made document, its settings and its colour table with it, whether it
// was a new document or a copy.
int opAbortNow(feArgs*) { throw uAbortSignal(SIGABRT); }

TEST_F(DocTest, ADocumentWhoseMakingIsAbandonedLeavesNothingBehind) {
  if (!execfx::defined("xtAbortNow")) feRegisterOp("xtAbortNow", opAbortNow, "", 0, 0);
  if (!execfx::defined("aColorTableMake")) cTabInit();
  docRec* source = newDoc();
  ASSERT_NE(source, nullptr);
  const int32_t docs = vwLive().docs;
  const int32_t tables = cTabLiveCount();
  define("aLocalizeTongueReq", "pop xtAbortNow");
  docRec* made = nullptr;
  EXPECT_THROW(docCreate(&made), uAbortSignal);
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(vwLive().docs, docs);
  EXPECT_EQ(cTabLiveCount(), tables);
  EXPECT_THROW(docCopy(source, &made), uAbortSignal);
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(vwLive().docs, docs);
  EXPECT_EQ(cTabLiveCount(), tables);
  define("aLocalizeTongueReq", "pop");
  feStackClear(*feOperandStack());
  docResetAll();
  cTabReset();
}

// A document held by more values than its 8-bit count can hold saturates
// and can never be known free: closed (by aRemoveDoc's way or, for the
// preferences document, by the reset at exit), it is emptied of its parts
// and settings and kept on the outlived list, nothing else left of it.
TEST_F(DocTest, ADocumentWhoseCountSaturatedIsEmptiedAndListedWhenClosed) {
  auto saturate = [](docRec* doc) {
    for (int i = 0; i < 300; ++i) feObjRefRetain(doc);
    ASSERT_EQ(doc->object.refCount, feObjPermanent);
  };
  const int32_t outlived = docOutlivedCount();
  const int32_t docs = vwLive().docs;
  docRec* open = newDoc();
  saturate(open);
  EXPECT_EQ(docRemove(open), 0);
  docRec* prefs = vwGetDefaultDoc();
  ASSERT_NE(prefs, nullptr);
  saturate(prefs);
  docResetAll();
  for (const docRec* doc : {open, prefs}) {
    EXPECT_EQ(doc->settings, nullptr);
    EXPECT_EQ(doc->firstSheet, nullptr);
    EXPECT_EQ(doc->firstModel, nullptr);
  }
  EXPECT_EQ(docOutlivedCount(), outlived + 2);
  EXPECT_EQ(vwLive().docs, docs + 2);
  // The preferences document is made again when next asked for.
  EXPECT_NE(vwGetDefaultDoc(), prefs);
}

TEST_F(DocTest, ViewNumbers) {
  struct Case {
    const char* what;
    std::vector<uint32_t> wanted;  // asked in turn
    std::vector<uint32_t> given;
  };
  const Case cases[] = {
      {"0 asks for any; 0 itself is never given", {0, 0}, {1, 2}},
      {"a free number is given as asked", {5, 3}, {5, 3}},
      {"a number given is not given twice", {5, 5, 5}, {5, 1, 2}},
      {"the set grows past a full byte", {0, 0, 0, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"a far number grows the set to hold it", {20, 0}, {20, 1}},
  };
  for (const Case& c : cases) {
    docRec* doc = nullptr;
    ASSERT_EQ(docCreate(&doc), 0);
    std::vector<uint32_t> given;
    for (uint32_t w : c.wanted) given.push_back(docAllocViewNumber(doc, w));
    EXPECT_EQ(given, c.given) << c.what;
    docFree(doc);
  }

  docRec* doc = nullptr;
  ASSERT_EQ(docCreate(&doc), 0);
  for (int i = 0; i < 4; ++i) docAllocViewNumber(doc, 0);  // 1..4
  docFreeViewNumber(doc, 3);
  EXPECT_EQ(docAllocViewNumber(doc, 0), 3u);
  docFreeViewNumber(doc, 0);     // never freed
  docFreeViewNumber(doc, 1000);  // outside the set
  EXPECT_EQ(doc->viewNumbersLength, 1u);
  EXPECT_EQ(doc->viewNumbers[0], 0x1F);
  // A wild number asked for (from a damaged file) does not grow the set.
  EXPECT_EQ(docAllocViewNumber(doc, 0xFFFFFFF0u), 5u);
  EXPECT_EQ(doc->viewNumbersLength, 1u);
  docFree(doc);
}

TEST_F(DocTest, ADuplicateTitleOnTheOpenListIsReported) {
  docRec* a = newDoc();
  docRec* b = nullptr;
  ASSERT_EQ(docCreate(&b), 0);
  uStrDup("DOCUMENT 1", 10, &b->title);
  b->flags &= ~uint32_t{docUntitled};
  plTestClearMessageBoxes();
  docAddOpen(b);
  EXPECT_NE(gobjfx::boxes().find("documents don't have unique names"), std::string::npos);
  EXPECT_EQ(docFirstOpen(), b);
  EXPECT_EQ(b->nextOpen, a);
  // Adding it again changes nothing.
  docAddOpen(b);
  EXPECT_EQ(b->object.refCount, 1);
  EXPECT_EQ(docNames(), "(DOCUMENT 1) (Document 1) 2");
}

}  // namespace
