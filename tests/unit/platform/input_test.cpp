// Key state and the clock.
#include "platform/fixture.h"

#include <chrono>

namespace {

using PlatformKeys = PlatformTest;
using PlatformClock = PlatformTest;

bool held(SHORT state) { return (static_cast<unsigned short>(state) & 0x8000) != 0; }

TEST_F(PlatformKeys, HeldKeysAnswerWithTheHighBitSet) {
  EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
  plTestSetKeyDown(VK_CONTROL, true);
  plTestSetKeyDown(VK_LBUTTON, true);
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);  // callers test "< 0"
  EXPECT_TRUE(held(GetAsyncKeyState(VK_CONTROL)));
  EXPECT_TRUE(held(GetAsyncKeyState(VK_LBUTTON)));
  EXPECT_FALSE(held(GetKeyState(VK_SHIFT)));
  EXPECT_FALSE(held(GetKeyState(VK_MENU)));

  plTestSetKeyDown(VK_CONTROL, false);
  EXPECT_FALSE(held(GetKeyState(VK_CONTROL)));
  EXPECT_EQ(GetAsyncKeyState(VK_CONTROL), 0);
}

TEST_F(PlatformKeys, EachPressFlipsTheToggleBit) {
  plTestSetKeyDown(VK_CAPITAL, true);
  plTestSetKeyDown(VK_CAPITAL, false);
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
  plTestSetKeyDown(VK_CAPITAL, true);
  plTestSetKeyDown(VK_CAPITAL, true);  // still the same press
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
  EXPECT_TRUE(held(GetKeyState(VK_CAPITAL)));
}

TEST_F(PlatformKeys, KeysOutsideTheTableAreNeverDown) {
  for (int key : {-1, 256, 100000}) {
    plTestSetKeyDown(key, true);
    EXPECT_EQ(GetKeyState(key), 0) << key;
    EXPECT_EQ(GetAsyncKeyState(key), 0) << key;
  }
}

TEST_F(PlatformClock, ManualClockMovesOnlyWhenAdvancedAndWraps) {
  plTestSetTickCount(1000);
  EXPECT_EQ(GetTickCount(), 1000u);
  EXPECT_EQ(GetTickCount(), 1000u);
  plTestAdvanceClock(250);
  EXPECT_EQ(GetTickCount(), 1250u);
  plTestSetTickCount(0xFFFFFF00u);
  plTestAdvanceClock(0x200);
  EXPECT_EQ(GetTickCount(), 0x100u);
}

DWORD steadyMilliseconds() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<DWORD>(ms.count());
}

TEST_F(PlatformClock, SystemClockFollowsTheMonotonicClock) {
  DWORD before = steadyMilliseconds();
  DWORD ticks = GetTickCount();
  DWORD after = steadyMilliseconds();
  EXPECT_LE(ticks - before, after - before);  // unsigned: holds across a wrap too

  plTestSetTickCount(5);
  plTestUseSystemClock();
  EXPECT_LE(GetTickCount() - before, steadyMilliseconds() - before);
}

TEST_F(PlatformClock, AdvancingTheSystemClockFreezesItThere) {
  DWORD before = GetTickCount();
  plTestAdvanceClock(60000);
  DWORD frozen = GetTickCount();
  EXPECT_GE(frozen - before, 60000u);
  EXPECT_LT(frozen - before, 70000u);
  EXPECT_EQ(GetTickCount(), frozen);
}

}  // namespace
