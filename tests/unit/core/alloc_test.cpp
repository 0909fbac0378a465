#include "core/abort.h"
#include "core/alloc.h"
#include "core/alloc_test.h"
#include "core/debug.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// A system allocator that hands out fresh blocks filled with 0xA5 (copying
// the old contents over), so that only the allocator's own zero fill can
// make new bytes 0, and that refuses requests of refuseFrom bytes or more.
std::map<void*, size_t> blockSizes;
size_t refuseFrom = SIZE_MAX;
int systemCalls = 0;

void* testRealloc(void* old, size_t bytes) {
  ++systemCalls;
  if (bytes >= refuseFrom) return nullptr;
  void* block = std::malloc(bytes);
  if (!block) return nullptr;
  std::memset(block, 0xA5, bytes);
  if (old) {
    auto it = blockSizes.find(old);
    std::memcpy(block, old, std::min(bytes, it == blockSizes.end() ? 0 : it->second));
    std::free(old);
    if (it != blockSizes.end()) blockSizes.erase(it);
  }
  blockSizes[block] = bytes;
  return block;
}

std::string logText;
void captureLog(void*, const char* text, size_t length) { logText.append(text, length); }

class AllocTest : public ::testing::Test {
protected:
  void SetUp() override {
    blockSizes.clear();
    refuseFrom = SIZE_MAX;
    systemCalls = 0;
    logText.clear();
    uReserveTestReset();
    uSetSystemRealloc(testRealloc);
    dbgSetLogHook(captureLog, nullptr);
    plTestReset();
    plTestSetMessageBoxEcho(false);
  }
  void TearDown() override {
    uSetSystemRealloc(nullptr);
    uReserveTestReset();
    dbgSetLogHook(nullptr, nullptr);
    plTestReset();
  }
};

bool allBytes(const void* block, size_t from, size_t to, unsigned char value) {
  const auto* p = static_cast<const unsigned char*>(block);
  for (size_t i = from; i < to; ++i)
    if (p[i] != value) return false;
  return true;
}

using Alloc = AllocTest;
using Reserve = AllocTest;

TEST_F(Alloc, GrowZeroFillsOnlyTheNewElementsShrinkKeepsAndZeroFrees) {
  char* p = nullptr;
  uint32_t count = 0;
  ASSERT_EQ(uAlloc(&p, &count, 10, 8), p);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(count, 10u);
  EXPECT_TRUE(allBytes(p, 0, 80, 0));

  std::memset(p, 0x11, 80);
  uAlloc(&p, &count, 12, 8);
  EXPECT_EQ(count, 12u);
  EXPECT_TRUE(allBytes(p, 0, 80, 0x11));
  EXPECT_TRUE(allBytes(p, 80, 96, 0));

  std::memset(p, 0x22, 96);
  uAlloc(&p, &count, 5, 8);
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(blockSizes[p], 40u);
  EXPECT_TRUE(allBytes(p, 0, 40, 0x22));

  // Growing again after a shrink zero-fills from the new count, not the old.
  uAlloc(&p, &count, 6, 8);
  EXPECT_TRUE(allBytes(p, 0, 40, 0x22));
  EXPECT_TRUE(allBytes(p, 40, 48, 0));

  EXPECT_EQ(uAlloc(&p, &count, 0, 8), nullptr);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(count, 0u);
}

TEST_F(Alloc, WithoutCountVariableTheOldBlockIsNeitherReusedNorFreed) {
  char* p = nullptr;
  uint32_t count = 0;
  uAlloc(&p, &count, 4, 1);
  std::memcpy(p, "abcd", 4);
  char* old = p;

  uAlloc(&p, nullptr, 5, 1);
  ASSERT_NE(p, old);
  EXPECT_TRUE(allBytes(p, 0, 5, 0));
  EXPECT_EQ(std::memcmp(old, "abcd", 4), 0);  // still alive: the sanitizer would report a freed block
  std::free(p);

  // Zero bytes without a count variable: the handle is cleared, the block kept.
  p = old;
  EXPECT_EQ(uAlloc(&p, nullptr, 0, 8), nullptr);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(std::memcmp(old, "abcd", 4), 0);
  std::free(old);
}

TEST_F(Alloc, NullHandleAndEmptyHandleGiveFreshZeroedBlocks) {
  char* fresh = static_cast<char*>(uAlloc(nullptr, nullptr, 5, 1));
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(allBytes(fresh, 0, 5, 0));
  std::free(fresh);

  // A count variable with no block held: its old value does not count.
  char* p = nullptr;
  uint32_t count = 7;
  uAlloc(&p, &count, 3, 4);
  EXPECT_EQ(count, 3u);
  EXPECT_TRUE(allBytes(p, 0, 12, 0));
  uFree(&p);
  EXPECT_EQ(p, nullptr);
}

TEST_F(Alloc, FreeAndFreeIfSetAcceptNullHandlesAndBlocks) {
  uFree(static_cast<uHandle>(nullptr));
  uFreeIfSet(static_cast<uHandle>(nullptr));
  char* p = nullptr;
  uFree(&p);
  uFreeIfSet(&p);
  EXPECT_EQ(p, nullptr);
  p = static_cast<char*>(uAlloc(nullptr, nullptr, 3, 1));
  uFreeIfSet(&p);
  EXPECT_EQ(p, nullptr);
}

TEST_F(Alloc, RefusedResizeChangesNothing) {
  uint32_t* p = nullptr;
  uint32_t count = 0;
  uAlloc(&p, &count, 3, 4);
  p[0] = 1, p[1] = 2, p[2] = 3;
  uint32_t* before = p;

  refuseFrom = 64;
  EXPECT_EQ(uResizeBlock(reinterpret_cast<uHandle>(&p), &count, 100, 4), -701);
  EXPECT_EQ(p, before);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(p[2], 3u);
  uFree(&p);
}

TEST_F(Alloc, CountTimesSizePast32BitsIsRefusedWithoutWrappingOrSpendingTheReserve) {
  uReserveRenew();
  ASSERT_TRUE(uReserveHeld());
  const int callsBefore = systemCalls;

  char* p = nullptr;
  uint32_t count = 0;
  uAlloc(&p, &count, 2, 4);
  char* held = p;
  struct Case { uint32_t n, size; };
  for (Case c : {Case{65536, 65536}, Case{0x80000000u, 2}, Case{UINT32_MAX, UINT32_MAX}}) {
    SCOPED_TRACE(std::to_string(c.n) + " * " + std::to_string(c.size));
    EXPECT_EQ(uResizeBlock(reinterpret_cast<uHandle>(&p), &count, c.n, c.size), -701);
    EXPECT_EQ(p, held);
    EXPECT_EQ(count, 2u);

    logText.clear();
    try {
      uAlloc(&p, &count, c.n, c.size);
      ADD_FAILURE() << "uAlloc returned";
    } catch (const uAbortSignal& e) {
      EXPECT_EQ(e.signal, SIGABRT);
    }
    EXPECT_EQ(p, held);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(logText, "[uAlloc] request too large: " + std::to_string(c.n) + " * " + std::to_string(c.size) +
                           " bytes\n");
  }
  EXPECT_EQ(systemCalls, callsBefore + 1);  // only the 8-byte block reached the system
  EXPECT_TRUE(uReserveHeld());
  EXPECT_EQ(logText.find("[feRunString]"), std::string::npos);
  uFree(&p);

  // The largest product that fits is an ordinary request (refused here by
  // the test allocator, so it goes the exhaustion way).
  refuseFrom = 1u << 20;
  EXPECT_THROW(uAlloc(nullptr, nullptr, 65535, 65537), uAbortSignal);
  EXPECT_FALSE(uReserveHeld());
}

TEST_F(Reserve, SizeIsReadAsADecimalNumberWithinItsBounds) {
  struct Case { const char* text; int length; uint32_t size; };
  const std::string longText = std::string(55, ' ') + "250000" + "7777";  // 65 characters
  const Case cases[] = {
      {"128000", 6, 131072},          // the configuration default
      {"500000", 6, 500000},
      {"1", 1, 131072},
      {"abc", 3, 131072},
      {"", 0, 131072},
      {"131072", 6, 131072},
      {"131073", 6, 131073},
      {"  \t+300000", 10, 300000},
      {"-500000", 7, 131072},
      {"300000xyz", 9, 300000},
      {"1073741823", 10, 1073741823},
      {"1073741824", 10, 1073741824},
      {"5000000000", 10, 1073741824},
      {"99999999999999999999999999999999", 32, 1073741824},
      {"200000999", 6, 200000},       // only the first length characters
      {"500000", -1, 131072},
      {nullptr, 10, 131072},
      {longText.c_str(), 65, 25000077},  // cut to 63 characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    uSetReserveSize("999999", 6);
    uSetReserveSize(c.text, c.length);
    EXPECT_EQ(uReserveSize(), c.size);
  }

  // The text need not be terminated within length.
  const char unterminated[6] = {'4', '0', '0', '0', '0', '0'};
  uSetReserveSize(unterminated, 6);
  EXPECT_EQ(uReserveSize(), 400000u);
}

TEST_F(Reserve, IsTakenOncePerRunAndFreedAtShutDown) {
  uSetReserveSize("500000", 6);
  uReserveRenew();
  ASSERT_TRUE(uReserveHeld());
  EXPECT_EQ(blockSizes.size(), 1u);
  EXPECT_EQ(blockSizes.begin()->second, 500000u);

  uReserveRenew();  // already taken: nothing new
  EXPECT_EQ(blockSizes.size(), 1u);

  logText.clear();
  allocReserveReport();
  EXPECT_EQ(logText, "500000 Byte\n");

  uReserveFree();
  EXPECT_FALSE(uReserveHeld());
  uReserveFree();  // nothing held: harmless
  uReserveRenew();
  EXPECT_FALSE(uReserveHeld());
}

TEST_F(Reserve, RefusedReserveIsNotTriedAgain) {
  refuseFrom = 1;
  uReserveRenew();
  EXPECT_FALSE(uReserveHeld());
  refuseFrom = SIZE_MAX;
  uReserveRenew();
  EXPECT_FALSE(uReserveHeld());
}

// The texts the out-of-memory path hands to the script runner.
std::vector<std::string> scriptsRun;
int recordScript(const char* text) {
  scriptsRun.emplace_back(text);
  return 0;
}

TEST_F(Reserve, ExhaustionSpendsTheReserveOnceThenShowsTheFatalAlertOnce) {
  scriptsRun.clear();
  uSetLowMemoryRunner(recordScript);
  uReserveRenew();
  ASSERT_TRUE(uReserveHeld());
  refuseFrom = 1u << 24;
  int exitCode = 0;

  // First exhaustion: the reserve goes back, the scripts get their chance to
  // save, and the operation is abandoned.
  char* p = nullptr;
  uint32_t count = 0;
  try {
    uAlloc(&p, &count, 1u << 22, 8);
    ADD_FAILURE() << "uAlloc returned";
  } catch (const uAbortSignal& e) {
    EXPECT_EQ(e.signal, SIGABRT);
  }
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(uReserveHeld());
  EXPECT_EQ(scriptsRun, (std::vector<std::string>{"(Please save current document in temporary file.)aAlert",
                                                  "aSaveAsInNoMemory"}));
  ASSERT_EQ(plTestMessageBoxes().size(), 1u);
  EXPECT_NE(plTestMessageBoxes()[0].text.find("Critically low on memory."), std::string::npos);
  EXPECT_FALSE(plTestQuitPosted(&exitCode));

  uReserveRenew();
  EXPECT_FALSE(uReserveHeld());

  // Second exhaustion: nothing left to give back; no script runs, one fatal
  // alert, which asks the program to quit, and the operation is abandoned.
  scriptsRun.clear();
  plTestClearMessageBoxes();
  EXPECT_THROW(uAlloc(&p, &count, 1u << 22, 8), uAbortSignal);
  EXPECT_EQ(p, nullptr);
  EXPECT_TRUE(scriptsRun.empty());
  ASSERT_EQ(plTestMessageBoxes().size(), 1u);
  EXPECT_NE(plTestMessageBoxes()[0].text.find("Out of memory."), std::string::npos);
  EXPECT_TRUE(plTestQuitPosted(&exitCode));

  // Memory is back: requests succeed again.
  refuseFrom = SIZE_MAX;
  uAlloc(&p, &count, 4, 8);
  EXPECT_EQ(count, 4u);
  uFree(&p);
  uSetLowMemoryRunner(nullptr);
}


}  // namespace
