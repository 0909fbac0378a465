// Auto-save: the settings of aAutoSaveConfig, the names autoSaveAllDoc
// writes under, and which documents it writes.
#include "doc_fixture.h"

#include "core/alloc.h"
#include "fe/operator.h"
#include "ui/ui.h"
#include "views/doc_autosave.h"
#include "views/wintitle.h"

#include <string>
#include <vector>

namespace {

using docfx::DocTest;

TEST(DocAutoSaveName, NamesFollowTheTitle) {
  const std::string a30(30, 'a'), a27(27, 'a'), b27(27, 'b');
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\work\\plan.qdw", "plan.sav"},
      {"/home/me/plan.qdw", "plan.sav"},
      {"house.v2.qdw", "house.sav"},
      {"old.sav", "old.sa_"},
      {"OLD.SAV", "OLD.SA_"},
      {"noext", "noext.sav"},
      {a30 + ".qdw", a27 + ".sav"},
      {b27 + ".sav", b27 + ".sa_"},   // 31 characters ending in ".sav"
      {b27 + ".SAV", b27 + ".SA_"},
      {std::string(22, 'c') + ".sav", std::string(22, 'c') + ".sa_"},
  };
  for (const auto& [title, expected] : cases) {
    char name[64];
    const size_t n = docAutoSaveName(title.c_str(), name, sizeof name);
    EXPECT_EQ(std::string(name, n), expected) << title;
  }
}

// What the test's "aWrite" saw: the name, the current document, the lock
// flags of its file (or -1).
struct Write {
  std::string name;
  docRec* doc;
  int lockFlags;
};
std::vector<Write>& writes() {
  static std::vector<Write> list;
  return list;
}
int failWith = 0;

int opWrite(feArgs* args) {
  const fileLockRec* lock = docLockRecord(vwCurDoc());
  writes().push_back({std::string(args->in[0].text.text, size_t(args->in[0].text.length)), vwCurDoc(),
                      lock ? lock->flags : -1});
  return failWith;
}

std::vector<docRec*>& seen() {
  static std::vector<docRec*> list;
  return list;
}
int opSeenCurrent(feArgs*) {
  seen().push_back(vwCurDoc());
  return 0;
}

class AutoSave : public DocTest {
protected:
  void SetUp() override {
    DocTest::SetUp();
    writes().clear();
    failWith = 0;
    if (!execfx::defined("xtAutoWrite")) feRegisterOp("xtAutoWrite", opWrite, "S", 0, 0);
    define("aWrite", "xtAutoWrite");
    execfx::output().clear();
  }
  // An open document with the title, changed since it was saved and since
  // the last auto-save when due is set.
  docRec* titled(const char* title, bool due = true) {
    docRec* doc = newDoc();
    EXPECT_EQ(setTitle(doc, title), 0);
    doc->flags |= docDirty;
    if (due) doc->flags |= docAutoSaveDue;
    else doc->flags &= ~uint32_t{docAutoSaveDue};
    return doc;
  }
};

TEST_F(AutoSave, WritesChangedTitledDocumentsAndLeavesThemDirty) {
  docRec* plan = titled("C:\\work\\plan.qdw");
  titled("Untitled 3");
  titled("notdue.qdw", false);
  docRec* clean = titled("clean.qdw");
  clean->flags &= ~uint32_t{docDirty};
  docRec* current = newDoc();
  plan->flags |= 0x100;  // other bits survive
  const uint32_t lock = fileLockAdd(0);
  plan->registerWord = lock;

  ASSERT_EQ(run("autoSaveAllDoc"), 0);
  ASSERT_EQ(writes().size(), 1u);
  EXPECT_EQ(writes()[0].name, "plan.sav");
  EXPECT_EQ(writes()[0].doc, plan);
  EXPECT_EQ(writes()[0].lockFlags, fileLockWriting);  // marked as writing meanwhile
  EXPECT_EQ(fileLockFind(lock)->flags, 0);             // and restored
  EXPECT_EQ(plan->flags & (docDirty | docAutoSaveDue | 0x100), uint32_t{docDirty | 0x100});
  EXPECT_EQ(vwCurDoc(), current);
  EXPECT_FALSE(docAutoSaving());
  EXPECT_EQ(feOperandDepth(), 0);

  // Nothing is due any more.
  ASSERT_EQ(run("autoSaveAllDoc"), 0);
  EXPECT_EQ(writes().size(), 1u);
}

TEST_F(AutoSave, AFailedWriteStopsTheRound) {
  titled("first.qdw");
  titled("second.qdw");
  failWith = 1234;
  EXPECT_EQ(run("autoSaveAllDoc"), 1234);
  EXPECT_EQ(writes().size(), 1u);
  EXPECT_FALSE(docAutoSaving());
  EXPECT_EQ(feOperandDepth(), 0);
}

// The register word is only a key: a made-up one names no lock, and
// nothing is written through it.
TEST_F(AutoSave, ABogusRegisterWordIsHarmless) {
  docRec* doc = titled("plan.qdw");
  ASSERT_EQ(run("aCurDoc 2147422772 aPutDocRegister"), 0);
  ASSERT_EQ(run("aCurDoc aGetDocRegister"), 0);
  EXPECT_EQ(execfx::operands(), "2147422772");
  feStackClear(*feOperandStack());
  EXPECT_EQ(docLockRecord(doc), nullptr);
  ASSERT_EQ(run("autoSaveAllDoc"), 0);
  ASSERT_EQ(writes().size(), 1u);
  EXPECT_EQ(writes()[0].lockFlags, -1);
  char* title = vwWindowTitle(doc, nullptr);
  EXPECT_STREQ(title, "plan.qdw");
  uFree(&title);
}

TEST_F(AutoSave, SaveAllUntitledRunsTheSaveAsProcedureWithEachCurrent) {
  docRec* first = newDoc();
  titled("named.qdw");
  docRec* second = newDoc();
  ASSERT_EQ(setTitle(first, "Untitled 1"), 0);
  ASSERT_EQ(setTitle(second, "Untitled 2"), 0);
  if (!execfx::defined("xtSeenCur")) feRegisterOp("xtSeenCur", opSeenCurrent, "", 0, 0);
  define("aAutoSaveAs", "xtSeenCur");
  seen().clear();
  ASSERT_EQ(run("aSaveAllUntitle"), 0);
  EXPECT_EQ(seen(), (std::vector<docRec*>{second, first}));
  EXPECT_FALSE(docAutoSaving());
}

TEST_F(DocTest, AutoSaveSettings) {
  const docAutoSaveConfig& s = docAutoSaveSettings();
  EXPECT_EQ(s.interval, -2);
  EXPECT_EQ(s.flags, 0u);
  aAutoSaveConfig(-1, 0);

  ASSERT_EQ(run("1 5 aAutoSaveConfig"), 0);
  EXPECT_EQ(s.flags & 1, 1u);
  EXPECT_EQ(s.interval, 5 * 3600);
  EXPECT_EQ(s.due, s.start + 5 * 3600);
  EXPECT_EQ(uiAutoSavePeriod(), 300000);

  ASSERT_EQ(run("2 0 aAutoSaveConfig"), 0);  // out of range: off
  EXPECT_EQ(s.flags & 1, 0u);
  EXPECT_EQ(s.interval, 5 * 3600);
  ASSERT_EQ(run("6 0 aAutoSaveConfig"), 0);
  EXPECT_EQ(s.flags & 1, 1u);
  ASSERT_EQ(run("2 3601 aAutoSaveConfig"), 0);
  EXPECT_EQ(s.flags & 1, 0u);
  ASSERT_EQ(run("2 3600 aAutoSaveConfig"), 0);
  EXPECT_EQ(s.interval, 3600 * 3600);
  EXPECT_EQ(uiAutoSavePeriod(), 3600 * 60000);
  ASSERT_EQ(run("6 0 aAutoSaveConfig -1 0 aAutoSaveConfig"), 0);
  EXPECT_EQ(s.flags & 1, 0u);
  ASSERT_EQ(run("5 77 aAutoSaveConfig"), 0);
  EXPECT_EQ(uiAutoSavePeriod(), -1);
  ASSERT_EQ(run("9 2 aAutoSaveConfig"), 0);
  EXPECT_EQ(uiAutoSavePeriod(), 120000);
  ASSERT_EQ(run("42 7 aAutoSaveConfig"), 0);  // unknown codes do nothing
  EXPECT_EQ(uiAutoSavePeriod(), 120000);
  aAutoSaveConfig(-1, 0);
}

}  // namespace
