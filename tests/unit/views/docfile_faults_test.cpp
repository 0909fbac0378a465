// Files that do not hold together, ends that come too early, improper
// objects, the progress display and its interrupt, the colour-table block,
// and what a failed read leaves behind.
#include "docfile_fixture.h"

#include "ui/attn.h"

namespace {

using docfilefx::DocFileTest;
using docfilefx::kImproper;
using docfilefx::marks;

class DocFileFaults : public DocFileTest {
protected:
  // A version-13 document with one model of the marks (count: the count
  // stored, -1 for the number of marks) and sheets given by sheetsBody.
  int writeDoc(std::initializer_list<double> values, int32_t count,
               const std::function<void(ioCtx*)>& sheetsBody, const std::function<void(ioCtx*)>& tail = {}) {
    const int answer = writeStream(13, [&](ioCtx* ctx) {
      head13(ctx, "Plan");
      i(ctx, 1);
      model13(ctx, "Base", values, count);
      sheetsBody(ctx);
      if (tail) tail(ctx);
    });
    marks().made = marks().freed = 0;
    return answer;
  }
  // One sheet with a view of the model at position.
  static void oneSheet(ioCtx* ctx, int32_t position = 0) {
    title(ctx, "Sheet 1");
    uint8_t window = 0;
    int16_t box[4] = {10, 50, 410, 350};
    ioFormat(ctx, "c4s", &window, box);
    i(ctx, 1);
    viewIO(ctx, "Draft", position, 1, 1, 0, 0);
    sheetTail(ctx);
  }
  static void sheetCount(ioCtx* ctx, int32_t n) { i(ctx, n); }

  // aFileRead of the file: its answer as eval gives it.
  std::string fileRead(const char* name = "plan.qdw") {
    return eval(("(" + file(name) + ") 0 aFileRead").c_str());
  }
  static int openCount() {
    int n = 0;
    for (docRec* d = docFirstOpen(); d; d = d->nextOpen) ++n;
    return n;
  }
};

TEST_F(DocFileFaults, ModelsSheetsAndViewsThatDoNotHoldTogetherEndTheRead) {
  struct Case {
    const char* name;
    std::function<void(DocFileFaults*, ioCtx*)> body;
    const char* report;
  };
  const Case cases[] = {
      {"no models",
       [](DocFileFaults*, ioCtx* ctx) {
         head13(ctx, "Plan");
         i(ctx, 0);
         i(ctx, 0);
       },
       "Assert failed in DidUrur: 'nModels == 0'"},
      {"a sheet without views",
       [](DocFileFaults*, ioCtx* ctx) {
         head13(ctx, "Plan");
         i(ctx, 1);
         model13(ctx, "Base", {1});
         i(ctx, 1);
         title(ctx, "Empty");
         uint8_t window = 0;
         int16_t box[4] = {10, 50, 410, 350};
         ioFormat(ctx, "c4s", &window, box);
         i(ctx, 0);
         sheetTail(ctx);
       },
       "Assert failed in DidUrur: 'No Sheet View'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plTestClearMessageBoxes();
    ASSERT_EQ(writeStream(13, [&](ioCtx* ctx) { c.body(this, ctx); }), 0);
    marks().made = marks().freed = 0;
    EXPECT_EQ(fileRead(), "-4139");
    EXPECT_NE(boxes().find(c.report), std::string::npos) << boxes();
    EXPECT_EQ(openCount(), 0) << "the half-read document is removed";
    EXPECT_EQ(marks().made, marks().freed);
  }
}

TEST_F(DocFileFaults, AModelPositionOutsideTheModelsStandsForTheFirst) {
  for (int32_t position : {-3, 5}) {
    SCOPED_TRACE(position);
    ASSERT_EQ(writeDoc({1}, -1, [&](ioCtx* ctx) {
      sheetCount(ctx, 1);
      oneSheet(ctx, position);
    }), 0);
    docRec* back = nullptr;
    ASSERT_EQ(read(&back), 0);
    ASSERT_NE(back->firstSheet, nullptr);
    EXPECT_EQ(back->firstSheet->firstView->model, back->firstModel);
  }
}

TEST_F(DocFileFaults, TheActiveViewIsTheLastUnpannedOneAndShowsScaleOne) {
  // From the last view read towards the first, the first with pan and
  // centre zero; when none has them, the last view read.
  struct Case {
    const char* name;
    std::vector<double> pans;  // one view per pan, pan x = pan y
    int active;
  };
  const Case cases[] = {{"the unpanned one", {0, 0.5}, 0}, {"none unpanned", {0.25, 0.5}, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(writeDoc({1}, -1, [&](ioCtx* ctx) {
      sheetCount(ctx, 1);
      title(ctx, "Sheet 1");
      uint8_t window = 0;
      int16_t box[4] = {10, 50, 410, 350};
      ioFormat(ctx, "c4s", &window, box);
      i(ctx, int32_t(c.pans.size()));
      int32_t number = 1;
      for (double pan : c.pans) viewIO(ctx, "View", 0, number++, 2, pan, pan);
      sheetTail(ctx);
    }), 0);
    docRec* back = nullptr;
    ASSERT_EQ(read(&back), 0);
    const std::vector<viewRec*> list = views(back->firstSheet);
    ASSERT_EQ(list.size(), c.pans.size());
    EXPECT_EQ(back->firstSheet->activeView, list[size_t(c.active)]);
    EXPECT_TRUE(list[size_t(c.active)]->flags & viewDraft);
    EXPECT_EQ(list[size_t(c.active)]->states[0].scale, 1.0);
    EXPECT_EQ(list[size_t(1 - c.active)]->states[0].scale, 2.0);
  }
}

TEST_F(DocFileFaults, RecordsEndingBeforeTheirCountGiveUnexpectedEof) {
  // The end mark follows the one record: the count of 3 cannot be met.
  ASSERT_EQ(writeStream(13, [](ioCtx* ctx) {
    head13(ctx, "Plan");
    i(ctx, 1);
    model13(ctx, "Base", {1}, 3);
  }), 0);
  docRec* back = nullptr;
  EXPECT_EQ(read(&back), -1);
  EXPECT_NE(boxes().find("Unexpected EOF"), std::string::npos) << boxes();
  EXPECT_NE(log().find("[vwReadModel] read 1 out of 3 items"), std::string::npos) << log();
}

TEST_F(DocFileFaults, AFailedReadLetsGoOfItsObjectsAndBringsBackTheViewBefore) {
  ASSERT_EQ(eval("null aNewDoc"), "");
  docRec* before = vwCurDoc();
  viewRec* view = vwCurView();
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(writeStream(13, [](ioCtx* ctx) {
    head13(ctx, "Plan");
    i(ctx, 2);
    model13(ctx, "First", {1, 2});
    model13(ctx, "Second", {3}, 2);
  }), 0);
  marks().made = marks().freed = 0;
  EXPECT_EQ(fileRead(), "-1");
  EXPECT_EQ(marks().made, 3);
  EXPECT_EQ(marks().freed, 3);
  EXPECT_EQ(openCount(), 1);
  EXPECT_EQ(vwCurDoc(), before);
  EXPECT_EQ(vwCurView(), view);
  EXPECT_EQ(vwViewStackDepth(), 0);
}

TEST_F(DocFileFaults, ImproperObjectsAreSkippedOnceAllowedOrEndTheRead) {
  ASSERT_EQ(writeDoc({1, kImproper, 2, kImproper}, -1, [](ioCtx* ctx) { sheetCount(ctx, 0); }), 0);
  plTestClearMessageBoxes();
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  EXPECT_EQ(values(back->firstModel), (std::vector<double>{1, 2}));
  int asked = 0;
  for (const auto& box : plTestMessageBoxes()) asked += box.text.find("Improper Graphics found") != std::string::npos;
  EXPECT_EQ(asked, 1);

  // The record's own error alert (shown for the first errors of a run)
  // comes before the question.
  plTestClearMessageBoxes();
  plTestQueueMessageBoxAnswer(IDNO);
  plTestQueueMessageBoxAnswer(IDNO);
  EXPECT_EQ(read(&back), -1);
  EXPECT_NE(boxes().find("Improper Graphics found"), std::string::npos);
}

TEST_F(DocFileFaults, ProgressIsShownForFewObjectsAndAnInterruptEndsTheRead) {
  define("aThermUpdate", "/thermLast exch def /thermCount thermCount 1 add def");
  ASSERT_EQ(feExecString("/thermCount 0 def"), 0);
  ASSERT_EQ(writeDoc({1, 2, 3}, -1, [](ioCtx* ctx) { sheetCount(ctx, 0); }), 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  // One step per object below 16 objects, then 100 at the end.
  EXPECT_EQ(eval("thermCount thermLast"), "4 100");

  evSetAttn(1);
  EXPECT_EQ(read(&back), 277);
  evSetAttn(0);
}

TEST_F(DocFileFaults, TheColourTableIsReadOnlyWhenTheEndMarkDoesNotFollow) {
  static int calls;
  calls = 0;
  vwSetColorTableIO([](ioCtx* ctx, docRec*, int write) {
    int32_t word = 0;
    ++calls;
    return write ? 0 : ioFormat(ctx, "i", &word) < 0 ? -1 : 0;
  });
  ASSERT_EQ(writeDoc({1}, -1, [](ioCtx* ctx) { sheetCount(ctx, 0); }), 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  EXPECT_EQ(calls, 0);
  ASSERT_EQ(writeDoc({1}, -1, [](ioCtx* ctx) { sheetCount(ctx, 0); }, [](ioCtx* ctx) { i(ctx, 5); }), 0);
  ASSERT_EQ(read(&back), 0);
  EXPECT_EQ(calls, 1);
  // An import takes no colour table.
  grpBegin();
  ASSERT_EQ(read(&back, vwReadImport), 0);
  glist* imported = grpEnd();
  grpRelease(&imported);
  EXPECT_EQ(calls, 1);
}

TEST_F(DocFileFaults, AGroupExportOpensAsADocument) {
  docRec* doc = docWithMarks({1, 2});
  docSetCurrent(doc);
  glist* group = grpOfSource("docAll");
  grpRetain(group);
  const std::string path = file("group.qdw");
  ASSERT_EQ(vwWriteGroup(group, path.c_str(), uint32_t(path.size()), 0, -1), 0);
  grpRelease(&group);
  EXPECT_EQ(fileRead("group.qdw"), "");
  // The view current before comes back; the new document is the newest open.
  EXPECT_EQ(vwCurDoc(), doc);
  docRec* back = docFirstOpen();
  ASSERT_NE(back, doc);
  EXPECT_EQ(values(back->firstModel), (std::vector<double>{1, 2}));
  EXPECT_EQ(sheets(back).size(), 1u);
}

}  // namespace
