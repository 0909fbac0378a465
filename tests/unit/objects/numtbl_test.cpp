// Numbered name tables: look-up and creation by name, free slots, renaming,
// the name list and generated names.
#include "core/alloc.h"
#include "core/classes.h"
#include "objects/numtbl.h"
#include "objects/objmsg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Rec {
  char* name;
  int32_t extra;
};

class NumTblTest : public ::testing::Test {
protected:
  void TearDown() override { tblFree(&table); }

  int32_t add(const std::string& name) {
    int32_t n = -1;
    EXPECT_EQ(tblFind(table, name.data(), uint32_t(name.size()), 1, &n), 0) << name;
    return n;
  }
  int find(const std::string& name, int32_t* n = nullptr) {
    int32_t dummy;
    return tblFind(table, name.data(), uint32_t(name.size()), 0, n ? n : &dummy);
  }
  std::string nameOf(int32_t n) {
    const char* text;
    uint32_t length;
    tblName(table, n, &text, &length);
    return std::string(text, length);
  }
  std::string gen(const char* tmpl) {
    char* name = nullptr;
    uint32_t length = 0;
    if (tblGenName(table, tmpl, uint32_t(std::strlen(tmpl)), &name, &length) != 0) return "(none)";
    std::string result(name, length);
    uFree(&name);
    return result;
  }

  numTbl* table = tblNew(0, sizeof(Rec));
};

TEST_F(NumTblTest, NewTableLimitsItsMaximum) {
  EXPECT_EQ(table->maxCount, 32767u);
  numTbl* big = tblNew(40000, 4);
  EXPECT_EQ(big->maxCount, 32767u);
  EXPECT_EQ(big->recordSize, sizeof(char*));
  tblFree(&big);
  EXPECT_EQ(big, nullptr);
}

TEST_F(NumTblTest, FindsByNameWithoutCaseAndPastMarkBytes) {
  EXPECT_EQ(add("Walls"), 0);
  EXPECT_EQ(add("Doors"), 1);
  int32_t n = -1;
  EXPECT_EQ(find("doors", &n), 0);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(find("\x12Walls", &n), 0);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(find("\xCA\xA5Walls", &n), 0);
  EXPECT_EQ(n, 0);
  // Same letters, other length: no match.
  EXPECT_EQ(find("Wall"), tblErrNotFound);
  EXPECT_EQ(find("\x12\xCA"), tblErrBadName);
  EXPECT_EQ(find(""), tblErrBadName);
  EXPECT_EQ(tblCount(table), 2u);
}

TEST_F(NumTblTest, CreationReusesTheLastFreeSlotThenAppendsUpToTheMaximum) {
  numTbl* small = tblNew(4, sizeof(Rec));
  for (const char* name : {"a", "b", "c", "d"}) tblAdd(small, name, 1);
  EXPECT_TRUE(tblIsFull(small));
  int32_t n;
  EXPECT_EQ(tblFind(small, "e", 1, 1, &n), tblErrTableFull);
  // Two free slots: the last one seen is taken.
  ASSERT_EQ(tblRename(small, 1, "", 0, nullptr, nullptr), 0);
  ASSERT_EQ(tblRename(small, 2, "", 0, nullptr, nullptr), 0);
  EXPECT_EQ(tblFind(small, "e", 1, 1, &n), 0);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(tblFind(small, "f", 1, 1, &n), 0);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(tblCount(small), 4u);
  tblFree(&small);
}

TEST_F(NumTblTest, RenameRefusesDuplicatesButNotTheEmptyName) {
  add("A");
  add("B");
  add("C");
  EXPECT_EQ(tblRename(table, 0, "b", 1, nullptr, nullptr), tblErrNameExists);
  EXPECT_EQ(nameOf(0), "A");
  // Renaming a record to its own name (another case) is allowed.
  EXPECT_EQ(tblRename(table, 1, "b", 1, nullptr, nullptr), 0);
  // Freeing a slot while another slot is already free must work.
  ASSERT_EQ(tblRename(table, 0, "", 0, nullptr, nullptr), 0);
  EXPECT_EQ(tblRename(table, 2, "", 0, nullptr, nullptr), 0);
  EXPECT_EQ(find("C"), tblErrNotFound);
  char* old = nullptr;
  uint32_t oldLength = 0;
  EXPECT_EQ(tblRename(table, 1, "Beta", 4, &old, &oldLength), 0);
  EXPECT_EQ(std::string(old, oldLength), "b");
  uFree(&old);
  EXPECT_EQ(tblRename(table, 7, "x", 1, nullptr, nullptr), tblErrNotFound);
}

TEST_F(NumTblTest, AddRefusesEmptyAndPresentNames) {
  EXPECT_EQ(tblAdd(table, "", 0), tblErrBadName);
  EXPECT_EQ(tblAdd(table, "x", 1), 0);
  EXPECT_EQ(tblAdd(table, "X", 1), tblErrNameExists);
}

TEST_F(NumTblTest, NameOutOfRangeIsEmptyAndNotFound) {
  add("A");
  const char* text = nullptr;
  uint32_t length = 9;
  EXPECT_EQ(tblName(table, 1, &text, &length), tblErrNotFound);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(tblName(table, -1, &text, &length), tblErrNotFound);
  EXPECT_EQ(tblEntry(table, 1), nullptr);
  EXPECT_EQ(tblEntry(nullptr, 0), nullptr);
}

TEST_F(NumTblTest, ListGivesHiddenAndFreeRecordsAsEmptyItemsAndFollowsChanges) {
  EXPECT_STREQ(tblNames(table), "");
  add("A");
  add(".temp");
  add("B");
  EXPECT_STREQ(tblNames(table), "A;;B");
  tblRename(table, 0, "", 0, nullptr, nullptr);
  EXPECT_STREQ(tblNames(table), ";;B");
  add("C");
  EXPECT_STREQ(tblNames(table), "C;;B");
  EXPECT_STREQ(tblNames(nullptr), "");
}

TEST_F(NumTblTest, ListStaysWithinItsLimit) {
  const std::string longName(300, 'n');
  for (int i = 0; i < 50; ++i) add(longName + std::to_string(i));
  const char* list = tblNames(table);
  const size_t length = std::strlen(list);
  EXPECT_LT(length, size_t(tblListMax));
  EXPECT_EQ(table->nameListSize, uint32_t(tblListMax));
  // The names that fit come first, whole.
  EXPECT_EQ(std::string(list).substr(0, longName.size() + 2), longName + "0;");
}

TEST_F(NumTblTest, GeneratedNames) {
  struct Case {
    int taken;  // names 1..taken exist
    const char* tmpl;
    const char* expected;
  } cases[] = {
      {0, "Layer ^0", "Layer 1"},
      {3, "Layer ^0", "Layer 4"},
      // 20 is free, then 11 is the first free number below it.
      {10, "Layer ^0", "Layer 11"},
      // Nothing free below the decade: the decade's own number.
      {19, "Layer ^0", "Layer 20"},
      {29, "Layer ^0", "Layer 30"},
      {0, ".temp", ".temp"},
  };
  for (const Case& c : cases) {
    tblFree(&table);
    table = tblNew(0, sizeof(Rec));
    for (int i = 1; i <= c.taken; ++i) add("Layer " + std::to_string(i));
    EXPECT_EQ(gen(c.tmpl), c.expected) << c.taken;
  }
  // A name without a placeholder that is taken: nothing is found.
  add(".temp");
  EXPECT_EQ(gen(".temp"), "(none)");
}

// A table object: a class that answers the table messages itself.
uint16_t tableClass = 0;
int tableHandler(void*, int message, intptr_t a, intptr_t b, intptr_t c) {
  switch (message) {
    case msgTblFind:
      *reinterpret_cast<int32_t*>(c) = b == 3 && std::memcmp(reinterpret_cast<const char*>(a), "red", 3) == 0 ? 1 : -1;
      return *reinterpret_cast<int32_t*>(c) == 1 ? 0 : -1;
    case msgTblName:
      *reinterpret_cast<const char**>(b) = a == 1 ? "red" : "";
      *reinterpret_cast<uint32_t*>(c) = a == 1 ? 3 : 0;
      return a == 1 ? 0 : -1;
    case msgTblNames: *reinterpret_cast<const char**>(a) = "black;red;"; return 0;
    default: return -1;
  }
}

TEST_F(NumTblTest, TableObjectsAnswerTheTableMessages) {
  if (!tableClass) tableClass = objClassRegister("tnumtbl", 0, tableHandler);
  numTbl object = {};
  object.classId = tableClass;
  int32_t n = 0;
  EXPECT_EQ(tblFind(&object, "\x12red", 4, 0, &n), 0);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(tblFind(&object, "blue", 4, 0, &n), -1);
  const char* text;
  uint32_t length;
  EXPECT_EQ(tblName(&object, 1, &text, &length), 0);
  EXPECT_EQ(std::string(text, length), "red");
  EXPECT_STREQ(tblNames(&object), "black;red;");
}

TEST_F(NumTblTest, SpareWord) {
  uint32_t old = 1;
  tblSpare(table, 42, &old);
  EXPECT_EQ(old, 0u);
  tblSpare(table, 7, &old);
  EXPECT_EQ(old, 42u);
}

}  // namespace
