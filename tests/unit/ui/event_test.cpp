#include "fe/exec.h"
#include "fe/init.h"
#include "fe/stack.h"
#include "fe/value.h"
#include "ui/event.h"
#include "ui/ui.h"
#include "uitest_window.h"

#include <platform_test.h>

#include <gtest/gtest.h>

namespace {
class EventOps : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    feInitFresh();
    static const bool registered = (uiRegisterOps(), true);
    (void)registered;
  }
  void SetUp() override {
    plTestReset();
    eventReset();
    feStackClear(*feOperandStack());
  }
  void TearDown() override {
    feStackClear(*feOperandStack());
    plTestReset();
  }
  // Runs text and answers the operand stack's integers, bottom first.
  static std::vector<int32_t> run(const char* text) {
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(text), 0) << text;
    std::vector<int32_t> out;
    int32_t count = feStackCount(*feOperandStack());
    for (int32_t i = count - 1; i >= 0; --i) out.push_back(feGetInt(feStackIndex(*feOperandStack(), i)));
    return out;
  }
};

uint32_t packed(int x, int y) { return static_cast<uint32_t>(x & 0xFFFF) | (static_cast<uint32_t>(y & 0xFFFF) << 16); }

TEST_F(EventOps, DoubleClickFlagAndMousePosition) {
  eventRecord(WM_LBUTTONDBLCLK, packed(3, 4));
  EXPECT_EQ(run("aMultiClick"), (std::vector<int32_t>{1}));
  // Other messages, the right button included, leave the flag.
  eventRecord(WM_RBUTTONDOWN, packed(30, 40));
  eventRecord(WM_KEYDOWN, 0);
  EXPECT_EQ(run("aMultiClick"), (std::vector<int32_t>{1}));
  EXPECT_EQ(run("aMousePos"), (std::vector<int32_t>{30, 40}));
  // The event position after a mouse message is the message's own; halves
  // are read as unsigned numbers.
  eventRecord(WM_LBUTTONDOWN, packed(-1, 7));
  EXPECT_EQ(run("aMultiClick"), (std::vector<int32_t>{0}));
  EXPECT_EQ(run("aEventPos"), (std::vector<int32_t>{65535, 7}));
  EXPECT_EQ(run("aMousePos"), (std::vector<int32_t>{65535, 7}));
}

TEST_F(EventOps, ModifierCodes) {
  struct Case {
    bool control, shift;
    int32_t code;
  } cases[] = {{false, false, 0}, {true, false, 8}, {false, true, 2}, {true, true, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    plTestSetKeyDown(VK_CONTROL, c.control);
    plTestSetKeyDown(VK_SHIFT, c.shift);
    EXPECT_EQ(run("aEventMod aCurMod"), (std::vector<int32_t>{c.code, c.code}));
    uint32_t now = 99;
    aCurMod(&now);
    EXPECT_EQ(now, static_cast<uint32_t>(c.code));
    EXPECT_EQ(aEventMod(), static_cast<uint32_t>(c.code));
  }
}

TEST_F(EventOps, TimesCursorAndMouseWait) {
  plTestSetTickCount(123456);
  EXPECT_EQ(run("aCurTime"), (std::vector<int32_t>{123456}));
  SetCursorPos(15, 25);
  EXPECT_EQ(run("aCurPos"), (std::vector<int32_t>{15, 25}));  // no drawing window: screen coordinates
  EXPECT_EQ(run("100 aWaitMouseUp"), (std::vector<int32_t>{0}));
  plTestSetKeyDown(VK_LBUTTON, true);
  EXPECT_EQ(run("5 aWaitMouseUp"), (std::vector<int32_t>{1}));
  plTestSetKeyDown(VK_LBUTTON, false);
}

TEST_F(EventOps, EventPositionOfAKeyComesFromTheQueue) {
  ValidateRect(uiTestWindow(), nullptr);
  plTestQueueMouseMove(40, 50);
  plTestQueueKey('K', true);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) eventRecord(msg.message, 0);
  EXPECT_EQ(eventState()->lastMessage, static_cast<uint32_t>(WM_KEYDOWN));
  EXPECT_EQ(run("aEventPos"), (std::vector<int32_t>{40, 50}));
}

TEST_F(EventOps, KeyPeeks) {
  uiTestWindow();
  // Shift held and "A" pressed: both key-downs are taken, the answer is A.
  plTestQueueKey(VK_SHIFT, true);
  plTestQueueKey('A', true);
  plTestQueueKey('A', false);
  EXPECT_EQ(eventKeyPending(), 'A');
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(eventPeekKey(), 0);  // the key-up
  EXPECT_EQ(eventKeyPending(), 0);

  // A plain key stays queued for eventKeyPending; eventPeekKey takes it.
  plTestQueueKey('B', true);
  EXPECT_EQ(eventKeyPending(), 'B');
  EXPECT_EQ(eventKeyPending(), 'B');
  EXPECT_EQ(eventPeekKey(), 'B');
  EXPECT_EQ(eventPeekKey(), 0);

  // A lone Ctrl key-down answers 0 and is gone.
  plTestQueueKey(VK_CONTROL, true);
  EXPECT_EQ(eventKeyPending(), 0);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
}

TEST(UiServices, QueriesAndStartupState) {
  EXPECT_EQ(uiSysQuery(101, ','), '.');
  EXPECT_EQ(uiSysQuery(103, 0), 1);
  EXPECT_EQ(uiSysQuery(999, 42), 42);
  uint8_t a = 7, b = 9;
  EXPECT_EQ(xlateStartupQuery(&a, &b), 0);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(xlateStartupQuery(nullptr, nullptr), 0);
  bootWinShow(3);
  EXPECT_EQ(bootWinShown(), 3);
  uiTerm();
  EXPECT_EQ(bootWinShown(), 0);
  aAutoSaveConfig(60000, 1234);
  EXPECT_EQ(uiAutoSavePeriod(), 60000);
  EXPECT_EQ(uiAutoSaveBase(), 1234u);
}
}  // namespace
