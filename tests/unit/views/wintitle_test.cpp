// Window titles of sheet windows, and the window cascade of
// aOffsetWindowBBox over real document windows.
#include "doc_fixture.h"

#include "core/alloc.h"
#include "core/ini.h"
#include "fe/operator.h"
#include "ui/app.h"
#include "views/wintitle.h"

#include <platform_test.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using docfx::DocTest;

std::string titleOf(const docRec* doc, const sheetRec* sheet) {
  char* text = vwWindowTitle(doc, sheet);
  std::string s = text ? text : "(null)";
  uFreeIfSet(&text);
  return s;
}

// A document record with one or two hand-made sheets, never opened.
class WinTitle : public DocTest {
protected:
  void SetUp() override {
    DocTest::SetUp();
    doc.object.classId = docClassId();
    doc.title = const_cast<char*>("C:\\d\\plan.qdw");
    one.title = const_cast<char*>("Sheet 1");
    two.title = const_cast<char*>("Sheet 2");
    doc.firstSheet = &one;
  }
  void twoSheets() { one.next = &two; }
  void lock(uint16_t flags) { doc.registerWord = fileLockAdd(flags); }
  docRec doc{};
  sheetRec one{}, two{};
};

TEST_F(WinTitle, PartsFollowTheSheetsAndTheLock) {
  EXPECT_EQ(titleOf(&doc, &one), "plan.qdw");
  EXPECT_EQ(titleOf(&doc, nullptr), "plan.qdw");
  twoSheets();
  EXPECT_EQ(titleOf(&doc, &one), "plan.qdw : Sheet 1");
  EXPECT_EQ(titleOf(&doc, &two), "plan.qdw : Sheet 2");
  EXPECT_EQ(titleOf(&doc, nullptr), "plan.qdw");
  lock(0);
  EXPECT_EQ(titleOf(&doc, &one), "plan.qdw : Sheet 1 : <Read Only>");
  one.next = nullptr;
  EXPECT_EQ(titleOf(&doc, &one), "plan.qdw : <Read Only>");
}

TEST_F(WinTitle, LockStates) {
  const std::pair<uint16_t, const char*> cases[] = {
      {0, "plan.qdw : <Read Only>"},
      {fileLockExclusive, "plan.qdw : <Read Only>"},
      {fileLockWriting, "plan.qdw"},
      {fileLockWriting | fileLockExclusive, "plan.qdw : <Exclusive>"},
  };
  for (const auto& [flags, expected] : cases) {
    lock(flags);
    EXPECT_EQ(titleOf(&doc, &one), expected) << flags;
  }
  // A key that names no lock shows none; so does a released one.
  doc.registerWord = 0x5eed;
  EXPECT_EQ(titleOf(&doc, &one), "plan.qdw");
  lock(0);
  fileLockRemove(doc.registerWord);
  EXPECT_EQ(titleOf(&doc, &one), "plan.qdw");
}

TEST_F(WinTitle, TitlesTheFileTitleCannotTakeAreShownWhole) {
  const std::string longName = "/drawings/" + std::string(70, 'x') + ".qdw";
  doc.title = const_cast<char*>(longName.c_str());
  EXPECT_EQ(titleOf(&doc, &one), longName);
  doc.title = const_cast<char*>("Document 3");
  EXPECT_EQ(titleOf(&doc, &one), "Document 3");
  EXPECT_EQ(titleOf(nullptr, nullptr), "");
}

TEST_F(WinTitle, GetWindowNameAnswersTheCurrentDocumentsTitle) {
  ASSERT_EQ(run("aGetWindowName"), 0);
  EXPECT_EQ(execfx::operands(), "()");
  feStackClear(*feOperandStack());
  docRec* open = newDoc();
  ASSERT_EQ(setTitle(open, "/work/house.qdw"), 0);
  ASSERT_EQ(run("aGetWindowName"), 0);
  EXPECT_EQ(execfx::operands(), "(house.qdw)");
}

// With the frame window and real document windows.
class DocWindows : public DocTest {
protected:
  void SetUp() override {
    DocTest::SetUp();
    plTestClearMessageBoxes();
    ASSERT_TRUE(frame.start("plumet_doc_win"));
  }
  void TearDown() override {
    for (docRec* d = docFirstOpen(); d; d = d->nextOpen)
      if (d->firstSheet == &sheet) d->firstSheet = nullptr;
    for (windRecord* w : windows) windRelease(w);
    frame.stop();
    DocTest::TearDown();
  }
  windRecord* window() {
    RECT box{10, 20, 210, 170};
    windRecord* rec = nullptr;
    EXPECT_EQ(windCreate(&box, "t", windKindDoc, &rec, 1, 0), 0);
    windows.push_back(rec);
    return rec;
  }
  // An open document whose one sheet (hand-made) is shown in a window.
  docRec* shown(const char* title) {
    docRec* doc = nullptr;
    EXPECT_EQ(docCreate(&doc), 0);
    docAddOpen(doc);
    EXPECT_EQ(setTitle(doc, title), 0);
    sheet.title = const_cast<char*>("Sheet 1");
    sheet.owner = doc;
    sheet.window = window();
    doc->firstSheet = &sheet;
    return doc;
  }
  POINT corner() {
    HWND native = nullptr;
    windGetHwnd(sheet.window, &native);
    RECT r{};
    GetWindowRect(native, &r);
    return POINT{r.left, r.top};
  }
  std::string cascade(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    feStackClear(*feOperandStack());
    const std::string text = "[" + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(right) +
                             " " + std::to_string(bottom) + "] aOffsetWindowBBox";
    EXPECT_EQ(run(text.c_str()), 0);
    std::string s = execfx::operands();
    feStackClear(*feOperandStack());
    return s;
  }
  vwfx::FrameWindow frame;
  std::vector<windRecord*> windows;
  sheetRec sheet{};
};

TEST_F(DocWindows, TheWindowTitleFollowsTheDocumentTitle) {
  docRec* doc = shown("C:/d/plan.qdw");
  HWND native = nullptr;
  windGetHwnd(sheet.window, &native);
  vwUpdateWindowTitle(&sheet);
  char text[80] = {};
  GetWindowTextA(native, text, sizeof text);
  EXPECT_STREQ(text, "plan.qdw");
  // A new title is shown at once.
  ASSERT_EQ(setTitle(doc, "C:/d/house.qdw"), 0);
  GetWindowTextA(native, text, sizeof text);
  EXPECT_STREQ(text, "house.qdw");
}

TEST_F(DocWindows, ABoxOverAWindowMovesUntilItIsTooSmall) {
  EXPECT_EQ(cascade(100, 100, 400, 300), "[100 100 400 300 ]");
  shown("plan.qdw");
  const POINT c = corner();
  const int32_t x = c.x + 3, y = c.y - 6;
  // 50 wide: moves once by 18, and at 32 wide it stops.
  EXPECT_EQ(cascade(x, y, x + 50, y + 300),
            "[" + std::to_string(x + 18) + " " + std::to_string(y + 18) + " " + std::to_string(x + 50) + " " +
                std::to_string(y + 300) + " ]");
  // 7 pixels off is far enough.
  EXPECT_EQ(cascade(c.x + 7, c.y, c.x + 307, c.y + 300),
            "[" + std::to_string(c.x + 7) + " " + std::to_string(c.y) + " " + std::to_string(c.x + 307) + " " +
                std::to_string(c.y + 300) + " ]");
}

std::vector<void*>& killed() {
  static std::vector<void*> list;
  return list;
}
int opKilled(feArgs* args) {
  killed().push_back(args->in[0].record);
  return 0;
}

TEST_F(DocWindows, ANewDocumentInAWindowIsShownAndClosedWithIt) {
  windRecord* w = window();
  feArg in{};
  in.record = w;
  feArgs call{&in, 1, nullptr, 0, 0};
  ASSERT_EQ(vwOpNewDoc(&call), 0);
  docRec* doc = vwCurDoc();
  ASSERT_NE(doc, nullptr);
  sheetRec* first = doc->firstSheet;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->window, w);
  HWND native = nullptr;
  windGetHwnd(w, &native);
  char text[80] = {};
  GetWindowTextA(native, text, sizeof text);
  EXPECT_STREQ(text, "Document 1");
  ASSERT_EQ(run("aGetWindowName"), 0);
  EXPECT_EQ(execfx::operands(), "(Document 1)");
  feStackClear(*feOperandStack());

  // Anything but a window is refused before a document is made.
  in.record = doc;
  EXPECT_EQ(vwOpNewDoc(&call), vwErrBadObject);
  EXPECT_EQ(docNames(), "(Document 1) 1");

  // Closing offers the windowed sheet to "aKillSheet" and lets the active
  // view go before the sheet and its views are freed.
  if (!execfx::defined("xtKilled")) feRegisterOp("xtKilled", opKilled, "Q", 0, 0);
  define("aKillSheet", "xtKilled");
  killed().clear();
  ASSERT_NE(first->activeView, nullptr);
  vwSetActiveView(first->activeView);
  ASSERT_EQ(vwActiveDoc(), doc);
  EXPECT_EQ(docRemove(doc), 0);
  EXPECT_EQ(killed(), std::vector<void*>{first});
  EXPECT_EQ(vwActiveView(), nullptr);
  EXPECT_EQ(vwActiveDoc(), nullptr);
  EXPECT_EQ(feOperandDepth(), 0);
}

TEST(DocCascade, BoxesMoveWhileTheyMeetACornerAndAreLargeEnough) {
  const POINT corners[] = {{100, 100}, {118, 118}, {300, 300}};
  struct Case {
    int32_t in[4];
    int32_t out[4];
  };
  const Case cases[] = {
      {{500, 500, 900, 900}, {500, 500, 900, 900}},  // meets none
      {{100, 100, 500, 500}, {136, 136, 500, 500}},  // meets the first, then the second it moved onto
      {{103, 94, 500, 500}, {139, 130, 500, 500}},   // within 6 in x and y
      {{100, 100, 150, 500}, {118, 118, 150, 500}},  // 50 wide: once, then 32 is too narrow
      {{100, 100, 139, 500}, {100, 100, 139, 500}},  // 39 wide: not at all
      {{100, 100, 500, 140}, {118, 118, 500, 140}},  // 40 high moves, 22 high does not
  };
  for (const Case& c : cases) {
    int32_t box[4] = {c.in[0], c.in[1], c.in[2], c.in[3]};
    docCascadeBox(box, corners, 3);
    EXPECT_EQ(std::vector<int32_t>(box, box + 4), std::vector<int32_t>(c.out, c.out + 4)) << c.in[0] << "," << c.in[1];
  }
  int32_t box[4] = {100, 100, 500, 500};
  docCascadeBox(box, nullptr, 0);
  EXPECT_EQ(box[0], 100);
}

}  // namespace
