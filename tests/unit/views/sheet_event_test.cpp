// Native window messages made into view-layer events, and message 220.
#include "sheet_fixture.h"

namespace {

using sheetfx::SheetTest;

vwEventRec convert(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, HWND window = nullptr) {
  vwEventRec event;
  evFromMsg(window, message, wParam, lParam, &event);
  return event;
}

TEST_F(SheetTest, EachNativeMessageGivesItsKind) {
  HWND self = reinterpret_cast<HWND>(intptr_t(0x1234));
  const struct {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int32_t kind;
  } cases[] = {
      {WM_CREATE, 0, 0, vwEvkActivate},
      {WM_SIZE, 0, 0, vwEvkSize},
      {WM_ACTIVATE, WA_ACTIVE, 0, vwEvkActivate},
      {WM_ACTIVATE, WA_INACTIVE, 0, vwEvkDeactivate},
      {WM_MDIACTIVATE, 0, LPARAM(self), vwEvkActivate},
      {WM_MDIACTIVATE, WPARAM(self), 0, vwEvkDeactivate},
      {WM_PAINT, 0, 0, vwEvkPaint},
      {WM_QUERYENDSESSION, 0, 0, vwEvkEndSession},
      {WM_TIMER, 1, 0, vwEvkReturn},
      {WM_KEYDOWN, 'A', 0, vwEvkKey},
      {WM_KEYDOWN, 13, 0, vwEvkReturn},
      {WM_KEYDOWN, 10, 0, vwEvkReturn},
      {WM_KEYDOWN, VK_SHIFT, 0, vwEvkNone},
      {WM_KEYDOWN, VK_CONTROL, 0, vwEvkNone},
      {WM_KEYDOWN, VK_MENU, 0, vwEvkNone},
      {WM_CHAR, 'a', 0, vwEvkKey},
      {WM_CHAR, 13, 0, vwEvkReturn},
      {WM_MOUSEMOVE, 0, 0, vwEvkMouseMove},
      {WM_LBUTTONDOWN, 0, 0, vwEvkButtonDown},
      {WM_LBUTTONDBLCLK, 0, 0, vwEvkButtonDown},
      {WM_LBUTTONUP, 0, 0, vwEvkButtonUp},
      {WM_RBUTTONDOWN, 0, 0, vwEvkRightDown},
      {WM_RBUTTONDBLCLK, 0, 0, vwEvkRightDown},
      {WM_RBUTTONUP, 0, 0, vwEvkRightUp},
      {WM_MBUTTONDOWN, 0, 0, vwEvkMiddleDown},
      {WM_MBUTTONDBLCLK, 0, 0, vwEvkMiddleDown},
      {WM_MBUTTONUP, 0, 0, vwEvkMiddleUp},
      {WM_KEYUP, 'A', 0, vwEvkNone},
      {WM_CLOSE, 0, 0, vwEvkNone},
  };
  for (const auto& c : cases) {
    vwEventRec event;
    evFromMsg(self, c.message, c.wParam, c.lParam, &event);
    EXPECT_EQ(event.kind, c.kind) << std::hex << c.message << " " << c.wParam;
  }
}

TEST_F(SheetTest, KeyEventsCarryTheirCodeWithFlags) {
  vwEventRec down = convert(WM_KEYDOWN, 'A');
  EXPECT_EQ(down.key, uint32_t('A'));
  EXPECT_EQ(down.keyFlagged, uint32_t('A') | vwKeyVirtual);
  vwEventRec character = convert(WM_CHAR, 'a', LPARAM(1) << 29);  // Alt held
  EXPECT_EQ(character.key, uint32_t('a'));
  EXPECT_EQ(character.keyFlagged, uint32_t('a') | vwKeyAlt);
  plTestSetKeyDown(VK_SHIFT, true);
  plTestSetKeyDown(VK_CONTROL, true);
  vwEventRec both = convert(WM_KEYDOWN, 13);
  EXPECT_EQ(both.modifiers, vwModShift | vwModControl);
  EXPECT_EQ(both.keyFlagged, 13u | vwKeyVirtual | vwKeyShift | vwKeyControl);
  plTestSetKeyDown(VK_SHIFT, false);
  plTestSetKeyDown(VK_CONTROL, false);
  vwEventRec move = convert(WM_MOUSEMOVE, 0, LPARAM(5 | (6 << 16)));
  EXPECT_EQ(move.key, 0u);  // not a key event
  EXPECT_EQ(move.keyFlagged, 0u);
}

TEST_F(SheetTest, MousePositionsAreSignedWordsOfTheMessage) {
  const struct {
    int16_t x, y;
  } cases[] = {{10, 20}, {-1, -2}, {-32768, 32767}, {0, -300}};
  for (const auto& c : cases) {
    const LPARAM lParam = LPARAM(uint32_t(uint16_t(c.x)) | (uint32_t(uint16_t(c.y)) << 16));
    vwEventRec event = convert(WM_LBUTTONDOWN, MK_SHIFT, lParam);
    EXPECT_EQ(event.where.x, c.x);
    EXPECT_EQ(event.where.y, c.y);
    EXPECT_EQ(event.modifiers, uint32_t{vwModShift});  // from the message's own flags
  }
}

int lastKind = -1;
int takeEverything(sheetRec*, const vwEventRec* event) {
  lastKind = event->kind;
  return 1;
}

TEST_F(SheetTest, WindowMessagesGoToTheDispatcherWhenOneIsInstalled) {
  sheetRec* sheet = looseSheet();
  EXPECT_EQ(objMeth(sheetClassId(), msgWndMessage, sheet, WM_LBUTTONUP, 0, 0), 0);  // not handled
  sheetSetEventDispatch(takeEverything);
  EXPECT_EQ(objMeth(sheetClassId(), msgWndMessage, sheet, WM_LBUTTONUP, 0, 0), 1);
  sheetSetEventDispatch(nullptr);
  EXPECT_EQ(lastKind, vwEvkButtonUp);
}

}  // namespace
