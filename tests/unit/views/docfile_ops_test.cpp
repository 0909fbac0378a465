// The drawing-file operators and the window box: the box fit, importing a
// group export, finding open documents by title, exporting with the lock
// marked, taking over another drawing's views, and the document window made
// at the end of a read.
#include "docfile_fixture.h"

#include "fe/strings.h"
#include "ui/filelock.h"
#include "ui/wind.h"

namespace {

using docfilefx::DocFileTest;

class DocFileOps : public DocFileTest {
protected:
  static feArg argText(const std::string& text) {
    feArg a{};
    a.text = feArgText{text.c_str(), int32_t(text.size())};
    return a;
  }
  static int32_t groupCount(const glist* group) {
    int32_t n = 0;
    grpCount(group, &n);
    return n;
  }
};

TEST_F(DocFileOps, WindowBoxesAreFittedIntoTheDefaultBox) {
  int32_t d[4];
  vwDefaultWindowBox(d);
  struct Case {
    const char* name;
    std::vector<int32_t> box, fitted;
  };
  const Case cases[] = {
      {"too small", {0, 0, 50, 50}, {d[0], d[1], d[2], d[3]}},
      {"too low", {d[0], d[1], d[0] + 300, d[1] + 80}, {d[0], d[1], d[2], d[3]}},
      {"inside", {d[0] + 10, d[1] + 10, d[0] + 310, d[1] + 210}, {d[0] + 10, d[1] + 10, d[0] + 310, d[1] + 210}},
      {"past the bottom right", {d[0] + 100, d[1] + 100, d[2] + 100, d[3] + 100}, {d[0], d[1], d[2], d[3]}},
      {"larger than the default", {d[0] - 50, d[1] - 50, d[2] + 50, d[3] + 50}, {d[0], d[1], d[2], d[3]}},
      {"above and left", {d[0] - 30, d[1] - 20, d[0] + 170, d[1] + 180}, {d[0], d[1], d[0] + 200, d[1] + 200}},
  };
  for (const Case& c : cases) {
    std::vector<int32_t> box = c.box;
    vwWindowBoxFit(box.data());
    EXPECT_EQ(box, c.fitted) << c.name;
  }
}

TEST_F(DocFileOps, AGroupExportImportsIntoTheCurrentDocumentAsAGroup) {
  docRec* source = docWithMarks({1, 2, 3});
  docSetCurrent(source);
  grpBegin();
  sieveForEach(source->firstModel->sieve, [](gobjRec* o, void*) {
    if (valueOf(o) != 2) grpAdd(o);
    return 0;
  }, nullptr);
  glist* group = grpEnd();
  grpRetain(group);
  const std::string path = file("part.qdw");
  ASSERT_EQ(call(vwOpExportPlumet, {argText(path), argRecord(group), argInt(0), argInt(0), argInt(-1)}), 0);
  grpRelease(&group);

  docRec* target = docWithMarks({9});
  uStrDup("Target", 6, &target->title);
  docSetCurrent(target);
  modelRec* model = target->firstModel;
  void* imported = nullptr;
  ASSERT_EQ(call(vwOpImportFeldon, {argText(path), argInt(0)}, {&imported}), 0);
  auto* got = static_cast<glist*>(imported);
  ASSERT_NE(got, nullptr);
  grpRetain(got);
  EXPECT_EQ(groupCount(got), 2);
  std::vector<double> list;
  grpForEach(got, [](gobjRec* o, void* c) {
    static_cast<std::vector<double>*>(c)->push_back(valueOf(o));
    EXPECT_FALSE(o->flags & gobjInSieve);
    return 0;
  }, &list);
  std::sort(list.begin(), list.end());
  EXPECT_EQ(list, (std::vector<double>{1, 3}));
  // The document keeps its own title, models and sheets.
  EXPECT_STREQ(target->title, "Target");
  EXPECT_EQ(models(target), std::vector<modelRec*>{model});
  EXPECT_EQ(sheets(target).size(), 1u);
  EXPECT_EQ(values(model), std::vector<double>{9});
  grpRelease(&got);

  // Without a current document nothing is read.
  docSetCurrent(nullptr);
  imported = reinterpret_cast<void*>(1);
  EXPECT_EQ(call(vwOpImportFeldon, {argText(path), argInt(0)}, {&imported}), 0);
  EXPECT_EQ(imported, nullptr);
}

TEST_F(DocFileOps, OpenDocumentsAreFoundByTitleAsGivenOrAsAFullPath) {
  docRec* a = docWithMarks({1});
  const std::string path = file("a.qdw");
  uStrDup(path.c_str(), uint32_t(path.size()), &a->title);
  docRec* b = docWithMarks({2});
  docSetCurrent(b);
  int32_t unique = -1;
  EXPECT_EQ(call(vwOpFileIsUnique, {argText(path)}, {&unique}), 0);
  EXPECT_EQ(unique, 0);
  EXPECT_EQ(call(vwOpFileIsUnique, {argText(file("other.qdw"))}, {&unique}), 0);
  EXPECT_EQ(unique, 1);
  // aEdit of an open title brings that document forward without reading.
  EXPECT_EQ(call(vwOpEdit, {argText(path)}), 0);
  EXPECT_EQ(vwCurDoc(), a);
  // Of another title it opens the file as a new document.
  ASSERT_EQ(write(b, 0, -1, "b.qdw"), 0);
  EXPECT_EQ(call(vwOpEdit, {argText(file("b.qdw"))}), 0);
  int open = 0;
  for (docRec* d = docFirstOpen(); d; d = d->nextOpen) ++open;
  EXPECT_EQ(open, 3);
}

TEST_F(DocFileOps, AWholeDocumentExportCapsTheVersionAndMarksTheLockMeanwhile) {
  docRec* doc = docWithMarks({1});
  docSetCurrent(doc);
  doc->registerWord = fileLockAdd(fileLockExclusive);
  static uint16_t seen;
  seen = 0;
  // The mark looks at the lock while it is written.
  docfilefx::marks().onWrite = [] { seen = docLockRecord(vwCurDoc())->flags; };
  const std::string path = file();
  EXPECT_EQ(call(vwOpExportPlumet, {argText(path), argRecord(nullptr), argInt(1), argInt(0), argInt(-1)}), 0);
  EXPECT_EQ(seen, fileLockExclusive | fileLockWriting);
  EXPECT_EQ(docLockRecord(doc)->flags, fileLockExclusive);
  const std::string data = bytes();
  EXPECT_NE(find(data.substr(word(data, 3)), {0x04, 'f', 'i', 'l', 'e', 12}), std::string::npos);
  docSetCurrent(nullptr);
  EXPECT_EQ(call(vwOpExportPlumet, {argText(path), argRecord(nullptr), argInt(1), argInt(0), argInt(-1)}),
            vwErrNoCurDoc);
}

TEST_F(DocFileOps, ImportedViewsJoinTheCurrentSheetWithTheirModel) {
  docRec* source = docWithMarks({1, 2});
  modelRec* shown = source->firstModel;
  const double box[4] = {-1, 1, 1, -1};
  viewRec* extra = vwCreate(source->firstSheet, shown, box, 0);
  uStrDup("Detail", 6, &extra->title);
  extra->states[0].scale = 2;
  extra->flags |= viewChanged;
  ASSERT_EQ(write(source), 0);

  docRec* doc = docWithMarks({5});
  sheetRec* sheet = doc->firstSheet;
  vwSetCurView(sheet->activeView);
  ASSERT_EQ(vwCurDoc(), doc);
  EXPECT_EQ(call(vwOpImportViews, {argText(file()), argRecord(nullptr), argReal(3)}), 0);
  const std::vector<viewRec*> list = views(sheet);
  ASSERT_EQ(list.size(), 2u);
  viewRec* taken = list[0];
  EXPECT_STREQ(taken->title, "Detail");
  EXPECT_EQ(taken->states[0].scale, 6);
  EXPECT_EQ(taken->sheet, sheet);
  ASSERT_NE(taken->model, nullptr);
  EXPECT_EQ(taken->model->owner, doc);
  EXPECT_EQ(values(taken->model), (std::vector<double>{1, 2}));
  // The model taken over is named afresh beside the document's own.
  std::vector<std::string> titles;
  for (modelRec* m : models(doc)) titles.push_back(m->title);
  std::sort(titles.begin(), titles.end());
  EXPECT_EQ(titles, (std::vector<std::string>{"Main", "Model 1"}));
  EXPECT_EQ(vwCurDoc(), doc);
  int open = 0;
  for (docRec* d = docFirstOpen(); d; d = d->nextOpen) ++open;
  EXPECT_EQ(open, 2) << "the temporary document is never opened";
}

// With the frame window the read ends by showing the document in a window.
class DocFileWindow : public DocFileTest {
protected:
  void SetUp() override {
    DocFileTest::SetUp();
    ASSERT_TRUE(frame.start("plumet_docfile_window"));
    define("aNewWind", "pop /windowsMade windowsMade 1 add def");
    ASSERT_EQ(feExecString("/windowsMade 0 def"), 0);
  }
  void TearDown() override {
    docResetAll();
    gxSetWindow(nullptr);
    frame.stop();
    DocFileTest::TearDown();
  }
  vwfx::FrameWindow frame;
};

TEST_F(DocFileWindow, AFileWhoseSheetsHadNoWindowShowsItsFirstSheet) {
  docRec* doc = docWithMarks({1});
  sheetCreate(doc, doc->firstModel, nullptr);
  uStrDup("Second", 6, &doc->firstSheet->next->title);
  doc->flags |= docUntitled;
  ASSERT_EQ(write(doc), 0);
  EXPECT_EQ(eval(("(" + file() + ") 0 aFileRead").c_str()), "");
  EXPECT_EQ(eval("windowsMade"), "1");
  docRec* back = docFirstOpen();
  ASSERT_NE(back->firstSheet, nullptr);
  EXPECT_NE(back->firstSheet->window, nullptr);
  EXPECT_EQ(back->firstSheet->next->window, nullptr);
  EXPECT_FALSE(back->flags & docUntitled);
  EXPECT_EQ(vwActiveView(), back->firstSheet->activeView);
  // Read again, the sheet that had a window is the one shown.
  ASSERT_EQ(write(back, 0, -1, "again.qdw"), 0);
  EXPECT_EQ(eval(("(" + file("again.qdw") + ") 0 aFileRead").c_str()), "");
  docRec* again = docFirstOpen();
  EXPECT_NE(again->firstSheet->window, nullptr);
  EXPECT_EQ(eval("windowsMade"), "2");
}

}  // namespace
