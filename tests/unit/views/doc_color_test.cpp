// Documents and their colour tables: a copied document takes the source's
// colours, and the drawing file carries the table as its last block.
#include "docfile_fixture.h"

#include "draw/gdi.h"
#include "objects/ctab.h"
#include "objects/ctab_internal.h"

#include <cstring>

namespace {

using docfilefx::DocFileTest;

class DocColorTest : public DocFileTest {
protected:
  void SetUp() override {
    DocFileTest::SetUp();
    cTabSetUp();
    ASSERT_EQ(feExecString("/aLocalizeTongueReq {pop} def /aLocalizeColorName {} def"), 0);
  }
  void TearDown() override {
    DocFileTest::TearDown();
    cTabReset();
    gdiSetColorHooks(nullptr);
  }
  static cTab* tableOf(const docRec* doc) { return doc && doc->settings ? doc->settings->colorState : nullptr; }
  // Renames entry 3 and gives it id 40 (entry 40 takes id 3).
  static void change(cTab* table) {
    std::strcpy(table->entries[3].name, "Leaf");
    table->entries[3].id = 40;
    table->entries[40].id = 3;
    table->entries[40].flags |= cTabEntryInUse;
    cTabRebuild(table);
  }
};

TEST_F(DocColorTest, CopiedDocumentTakesTheColours) {
  docRec* source = docWithMarks({1});
  ASSERT_NE(tableOf(source), nullptr);
  change(tableOf(source));
  docRec* copy = nullptr;
  ASSERT_EQ(docCopy(source, &copy), 0);
  const cTab* table = tableOf(copy);
  ASSERT_NE(table, nullptr);
  EXPECT_NE(table, tableOf(source));
  EXPECT_STREQ(table->entries[3].name, "Leaf");
  EXPECT_EQ(cTabIdToIndex(table, 40), 3);
  EXPECT_EQ(cTabIdToIndex(table, 3), 40);
}

TEST_F(DocColorTest, TableComesBackFromTheFile) {
  docRec* doc = docWithMarks({1, 2});
  change(tableOf(doc));
  ASSERT_EQ(write(doc), 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  const cTab* table = tableOf(back);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(std::memcmp(table->entries, tableOf(doc)->entries, 256 * sizeof(cTabEntry)), 0);
  EXPECT_EQ(cTabIdToIndex(table, 40), 3);
  EXPECT_EQ(models(back).size(), 1u);
  EXPECT_EQ(values(models(back)[0]), (std::vector<double>{1, 2}));
}

TEST_F(DocColorTest, ImportLeavesTheTableAlone) {
  docRec* doc = docWithMarks({1});
  change(tableOf(doc));
  ASSERT_EQ(write(doc), 0);
  docRec* into = emptyDoc();
  const std::string path = file();
  ASSERT_EQ(vwReadDoc(into, path.c_str(), uint32_t(path.size()), 1), 0);
  EXPECT_STREQ(tableOf(into)->entries[3].name, "Green");
}

}  // namespace
