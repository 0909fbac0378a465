#include "ui/filelock.h"

#include <gtest/gtest.h>

namespace {

class FileLock : public ::testing::Test {
protected:
  void SetUp() override { fileLockReset(); }
  void TearDown() override { fileLockReset(); }
};

TEST_F(FileLock, KeysFindTheirRecordsAndNothingElse) {
  const uint32_t a = fileLockAdd(fileLockWriting);
  const uint32_t b = fileLockAdd(fileLockWriting | fileLockExclusive);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, a);
  ASSERT_NE(fileLockFind(a), nullptr);
  EXPECT_EQ(fileLockFind(a)->tag, fileLockTag);
  EXPECT_EQ(fileLockFind(a)->flags, fileLockWriting);
  EXPECT_EQ(fileLockFind(b)->flags, fileLockWriting | fileLockExclusive);
  EXPECT_EQ(fileLockCount(), 2u);
  for (uint32_t bogus : {0u, 0x1234u, 0xFFFFFFFFu, b + 1})
    EXPECT_EQ(fileLockFind(bogus), nullptr) << bogus;
}

TEST_F(FileLock, ARemovedKeyIsNeverGivenAgain) {
  const uint32_t a = fileLockAdd(0);
  EXPECT_EQ(fileLockRemove(a), 0);
  EXPECT_EQ(fileLockRemove(a), -1);
  EXPECT_EQ(fileLockFind(a), nullptr);
  const uint32_t b = fileLockAdd(0);
  EXPECT_NE(b, a);
  EXPECT_EQ(fileLockFind(a), nullptr);
  EXPECT_NE(fileLockFind(b), nullptr);
  EXPECT_EQ(fileLockCount(), 1u);
}

TEST_F(FileLock, ManyRecordsAndAReset) {
  uint32_t keys[40];
  for (uint32_t i = 0; i < 40; ++i) keys[i] = fileLockAdd(uint16_t(i & 3));
  for (uint32_t i = 0; i < 40; i += 2) fileLockRemove(keys[i]);
  for (uint32_t i = 1; i < 40; i += 2) EXPECT_EQ(fileLockFind(keys[i])->flags, i & 3);
  EXPECT_EQ(fileLockCount(), 20u);
  fileLockReset();
  EXPECT_EQ(fileLockCount(), 0u);
  EXPECT_EQ(fileLockFind(keys[1]), nullptr);
}

}  // namespace
