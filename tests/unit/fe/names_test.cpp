#include "fe/names.h"

#include "core/debug.h"
#include "core/errors.h"
#include "fe/generic.h"
#include "fe/names_table.h"
#include "fe/names_test.h"
#include "fe/strings.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string textOf(const feObject& v) {
  const char* text = nullptr;
  size_t length = 99;
  feNameText(&v, &text, &length);
  return std::string(text, length);
}

uint16_t intern(const std::string& s) {
  uint16_t index = 0;
  EXPECT_EQ(feNameIntern(s.data(), s.size(), &index), feOk);
  return index;
}

// Names that no other test uses.
std::string unique(const char* prefix, uint32_t n) { return std::string(prefix) + std::to_string(n); }

// Gives back the names a test adds, so that the table is as before.
struct NamesAdded : ::testing::Test {
  uint32_t countBefore = 0;
  void SetUp() override { countBefore = feNameCount(); }
  void TearDown() override { feNamesTestTruncate(countBefore); }
};

struct NamesAlerts : ::testing::Test {
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
  }
  void TearDown() override {
    dbgSetFlags(0);
    plTestReset();
  }
};

}  // namespace

TEST(NamesIntern, SameTextSameIndexCaseMattersEmptyIsAName) {
  const uint16_t a = intern("feNiAlpha");
  EXPECT_NE(a, 0);
  EXPECT_EQ(intern("feNiAlpha"), a);
  const uint16_t upper = intern("FENIALPHA");
  EXPECT_NE(upper, a);
  EXPECT_NE(intern("feNiAlph"), a);  // a prefix is another name

  feObject empty;
  ASSERT_EQ(feMakeName(&empty, "", 0), feOk);
  EXPECT_NE(feNameIndex(&empty), 0);
  EXPECT_EQ(textOf(empty), "");
  feObject emptyAgain;
  feMakeName(&emptyAgain, nullptr, 0);
  EXPECT_EQ(feNameIndex(&emptyAgain), feNameIndex(&empty));

  // Characters above 127 and zero bytes are kept as they are.
  const std::string odd("fe\xC8\0x", 5);
  feObject v;
  ASSERT_EQ(feMakeName(&v, odd.data(), odd.size()), feOk);
  EXPECT_EQ(textOf(v), odd);
  EXPECT_EQ(intern(odd), feNameIndex(&v));
}

TEST(NamesIntern, HashIsTheSignedByteSumLow11Bits) {
  struct Case {
    std::string text;
    uint32_t hash;
  };
  const Case cases[] = {
      {"add", 297},                         // 97 + 100 + 100
      {"systemdict", 1097},
      {"a\xC8", 41},                        // 97 + (200 - 256)
      {"\xFF", 0x7FF},                      // -1 as 32 bits, low 11 bits
      {std::string(255, 'z'), 31110 & 0x7FF},
      {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(feNameHash(c.text.data(), c.text.size()), c.hash);
  }
  // The hash picks the chain the name is linked into.
  const uint16_t index = intern("feNh\xC8\xC9");
  const feNameTable* t = feNameTableGet();
  bool found = false;
  for (uint32_t i = t->buckets[feNameHash("feNh\xC8\xC9", 6)]; i != 0; i = t->entries[i].next)
    found = found || i == index;
  EXPECT_TRUE(found);
}

TEST(NamesValues, FlagsIndexAndText) {
  feObject lit, exec, again;
  ASSERT_EQ(feMakeName(&lit, "feNvMoveto", 10), feOk);
  EXPECT_EQ(lit.flags, 0x105);
  ASSERT_EQ(feNameExec("feNvMoveto", &exec), feOk);
  EXPECT_EQ(exec.flags, 0x115);
  EXPECT_EQ(feNameIndex(&exec), feNameIndex(&lit));
  EXPECT_EQ(textOf(exec), "feNvMoveto");

  uint64_t bits;
  std::memcpy(&bits, &lit.w0, sizeof bits);
  EXPECT_EQ(bits, feNameIndex(&lit));  // nothing but the index in the first word
  ASSERT_EQ(feMakeNameS(&again, "feNvMovetoXX", 10), feOk);
  EXPECT_EQ(feNameIndex(&again), feNameIndex(&lit));
  ASSERT_EQ(feMakeNameS(&again, "ignored", -4), feOk);  // negative: the empty name
  EXPECT_EQ(textOf(again), "");

  feObject set;
  feMakeInt(&set, 77);
  ASSERT_EQ(feSetName(&set, feNameIndex(&lit)), feOk);
  EXPECT_EQ(set.flags, 0x105);
  EXPECT_EQ(textOf(set), "feNvMoveto");

  // Indices that are not in use give no name and no text.
  const uint16_t unused = uint16_t(feNameCount());  // well below 65535 here
  for (uint16_t bad : {uint16_t(0), unused}) {
    feObject v;
    feMakeInt(&v, 5);
    EXPECT_EQ(feSetName(&v, bad), feErrRangeCheck);
    EXPECT_EQ(v.flags, 0x107);
    const char* text = nullptr;
    size_t length = 9;
    feNameTextOf(bad, &text, &length);
    EXPECT_EQ(length, 0u);
  }
  feObject notName;
  feMakeInt(&notName, feNameIndex(&lit));
  EXPECT_EQ(feNameIndex(&notName), 0);
}

TEST_F(NamesAlerts, TextsPast255AreCutWithATraceAlert) {
  const std::string longText = std::string(255, 'n') + "X";  // 256 characters
  const std::string cut(255, 'n');
  feObject v;
  ASSERT_EQ(feMakeName(&v, longText.data(), longText.size()), feOk);
  EXPECT_TRUE(plTestMessageBoxes().empty());  // trace alerts need debug flags
  EXPECT_EQ(textOf(v), cut);

  dbgSetFlags(1);
  feObject w, s, e;
  ASSERT_EQ(feMakeName(&w, longText.data(), longText.size()), feOk);
  ASSERT_EQ(plTestMessageBoxes().size(), 1u);
  EXPECT_NE(plTestMessageBoxes()[0].text.find("Name too long"), std::string::npos);
  EXPECT_EQ(feNameIndex(&w), feNameIndex(&v));
  EXPECT_EQ(intern(cut), feNameIndex(&v));
  ASSERT_EQ(feMakeNameS(&s, longText.data(), int32_t(longText.size())), feOk);
  ASSERT_EQ(feNameExec(longText.c_str(), &e), feOk);
  EXPECT_EQ(plTestMessageBoxes().size(), 3u);
  EXPECT_EQ(feNameIndex(&s), feNameIndex(&v));
  EXPECT_EQ(feNameIndex(&e), feNameIndex(&v));

  plTestClearMessageBoxes();
  ASSERT_EQ(feMakeName(&v, cut.data(), cut.size()), feOk);  // 255 is allowed
  EXPECT_TRUE(plTestMessageBoxes().empty());
  // Interning directly cuts the same way, without the alert.
  EXPECT_EQ(intern(longText + "more"), feNameIndex(&v));
  EXPECT_TRUE(plTestMessageBoxes().empty());
}

TEST_F(NamesAdded, EntryArrayGrowsWhenTheCountReachesItsCapacity) {
  // Fill the entry array exactly: the next name takes index == capacity,
  // one past the last entry the array holds. (Run in one process after the
  // test that fills the whole table, the array has no growth step left.)
  if (feNamesTestCapacity() > 65535) GTEST_SKIP() << "the entry array is at its largest size in this process";
  uint32_t n = 0;
  while (feNameCount() < feNamesTestCapacity()) intern(unique("feNg", n++));
  const uint32_t capacity = feNamesTestCapacity();
  const uint32_t poolBefore = feNamesTestPoolUsed();
  const uint16_t index = intern("feNgBoundary");
  EXPECT_EQ(index, capacity);
  EXPECT_EQ(feNamesTestCapacity(), capacity + 256);
  EXPECT_EQ(feNamesTestPoolUsed(), poolBefore + 13);  // length byte and 12 characters

  // Every name added before and across the growth still answers its index.
  feObject v;
  feSetName(&v, index);
  EXPECT_EQ(textOf(v), "feNgBoundary");
  for (uint32_t k = 0; k < n; ++k) EXPECT_EQ(intern(unique("feNg", k)), countBefore + k);
  // More than a pool step of characters went in.
  for (uint32_t k = 0; k < 200; ++k) intern(unique("feNgPool-abcdefghij", k));
  EXPECT_EQ(intern(unique("feNgPool-abcdefghij", 0)), index + 1);
}

TEST_F(NamesAdded, TableStopsAtIndex65535WithLimitcheck) {
  uint32_t n = 0;
  uint16_t last = 0;
  while (feNameCount() <= 65535) last = intern(unique("feNf", n++));
  EXPECT_EQ(last, 65535);

  uint16_t index = 1234;
  EXPECT_EQ(feNameIntern("feNfOneTooMany", 14, &index), feErrLimitCheck);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(feNameCount(), 65536u);
  feObject v;
  EXPECT_EQ(feMakeName(&v, "feNfOneTooMany", 14), feErrLimitCheck);
  EXPECT_EQ(v.flags, 0x101);  // the slot holds null, never a wrapped index
  EXPECT_EQ(feNameExec("feNfOneTooMany", &v), feErrLimitCheck);

  // Names already in the table are still found.
  EXPECT_EQ(intern(unique("feNf", n - 1)), 65535);
  EXPECT_EQ(intern(unique("feNf", 0)), countBefore);
  ASSERT_EQ(feMakeName(&v, "feNf0", 5), feOk);
  EXPECT_EQ(feNameIndex(&v), countBefore);
}

TEST(NamesCache, LevelSlotAndLocalMark) {
  feObject name;
  feMakeName(&name, "feNcCached", 10);
  const uint16_t index = feNameIndex(&name);
  uint16_t level = 9, slot = 9;
  bool local = true;
  feNameCacheRead(index, &level, &slot, &local);
  EXPECT_EQ(level, 0);
  EXPECT_EQ(slot, 0);
  EXPECT_FALSE(local);

  feNameCacheSet(index, 3, 517);
  feNameCacheRead(index, &level, &slot, &local);
  EXPECT_EQ(level, 3);
  EXPECT_EQ(slot, 517);
  EXPECT_FALSE(local);

  feObject notName;  // an integer with the same word is not marked
  feMakeInt(&notName, index);
  feNameCacheMarkLocal(&notName);
  feNameCacheRead(index, nullptr, nullptr, &local);
  EXPECT_FALSE(local);

  feNameCacheMarkLocal(&name);
  feNameCacheClear(index);  // the mark survives clearing and setting
  feNameCacheRead(index, &level, &slot, &local);
  EXPECT_EQ(level, 0);
  EXPECT_EQ(slot, 0);
  EXPECT_TRUE(local);
  feNameCacheSet(index, 2047, 1);
  feNameCacheRead(index, &level, &slot, &local);
  EXPECT_EQ(level, 2047);
  EXPECT_TRUE(local);
  EXPECT_EQ(feNameTableGet()->entries[index].cache, 0x8000 | 2047);

  // A level that does not fit 11 bits leaves the name uncached rather than
  // pointing it at a wrong level (2049 would read as 1).
  feNameCacheSet(index, 2049, 4);
  feNameCacheRead(index, &level, &slot, &local);
  EXPECT_EQ(level, 0);
  EXPECT_EQ(slot, 0);
  EXPECT_TRUE(local);
}

TEST(NamesCvn, StringToLiteralName) {
  feObject s;
  ASSERT_EQ(feMakeString(&s, "xxfeNcvnyy", 10), feOk);
  feObject part = s;  // the characters of a sub-string only
  part.offset = 2;
  part.length = 6;
  part.flags |= feFlagExec;
  feObject name;
  ASSERT_EQ(feCvn(&part, &name), feOk);
  EXPECT_EQ(name.flags, 0x105);
  EXPECT_EQ(textOf(name), "feNcvn");
  EXPECT_EQ(feNameIndex(&name), intern("feNcvn"));

  feObject i;
  feMakeInt(&i, 1);
  name = i;
  EXPECT_EQ(feCvn(&i, &name), feErrTypeCheck);
  EXPECT_EQ(name.flags, 0x107);  // untouched
  EXPECT_EQ(feCvn(&name, &name), feErrTypeCheck);
  feFree(&s);
}
