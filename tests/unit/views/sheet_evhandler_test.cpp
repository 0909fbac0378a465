// The sheet window's event handler: window messages of a real document
// window reach "onKey", "onModifier", the one-shot hooks and the
// command-end hook.
#include "view_fixture.h"

#include "ui/attn.h"
#include "ui/cursor.h"
#include "ui/gdihook.h"
#include "views/vwevent.h"
#include "views/vwtrack.h"
#include "views/sheet_internal.h"

#include <string>
#include <vector>

namespace {

using viewfx::lines;
using viewfx::ViewDrawTest;

struct HookCall {
  int which;  // 0 down, 1 move
  POINT where;
  uintptr_t argument;
};
std::vector<HookCall>& hookCalls() {
  static std::vector<HookCall> calls;
  return calls;
}
void downHook(POINT where, uintptr_t argument) { hookCalls().push_back({0, where, argument}); }
void moveHook(POINT where, uintptr_t argument) { hookCalls().push_back({1, where, argument}); }

int commandEnds = 0;
void countCommandEnd() { ++commandEnds; }
int inputInProgress = 0;
int pointInput() { return inputInProgress; }

LPARAM at(int x, int y) { return LPARAM(uint16_t(int16_t(x)) | (uint32_t(uint16_t(int16_t(y))) << 16)); }

class SheetEvHandler : public ViewDrawTest {
protected:
  void SetUp() override {
    ViewDrawTest::SetUp();
    openDrawing();
    hwnd = native(window);
    sheetPaintInit();
    vwEventStateReset();
    hookCalls().clear();
    commandEnds = 0;
    inputInProgress = 0;
    // The scripts' procedures record what they are given.
    ASSERT_EQ(feExecString("/keyLog [] def /modLog [] def "
                           "/onKey { 2 array astore /k exch def /keyLog [ keyLog aload pop k ] def } def "
                           "/onModifier { 2 array astore /m exch def /modLog [ modLog aload pop m ] def } def"),
              0);
    RECT rect{};
    windGetViewRect(window, &rect);
    inside = POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  void TearDown() override {
    vwEventStateReset();
    while (uiBusyCount() > 0) uiBusyEnd();
    ViewDrawTest::TearDown();
  }
  void press(POINT p, WPARAM keys = 0) {
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | keys, at(p.x, p.y));
    SendMessageA(hwnd, WM_LBUTTONUP, keys, at(p.x, p.y));
  }
  void move(POINT p, WPARAM keys = 0) { SendMessageA(hwnd, WM_MOUSEMOVE, keys, at(p.x, p.y)); }
  static std::string keyLog() { return tidy(eval("keyLog")); }
  static std::string modLog() { return tidy(eval("modLog")); }
  // Arrays as "==" prints them, without the blank before each "]".
  static std::string tidy(std::string text) {
    for (size_t at = text.find(" ]"); at != std::string::npos; at = text.find(" ]")) text.erase(at, 1);
    return text;
  }

  HWND hwnd = nullptr;
  POINT inside{};
};

TEST_F(SheetEvHandler, APressRunsOnKeyOnlyInsideTheViewRectangle) {
  press(POINT{-5, inside.y});
  press(POINT{inside.x, -3});
  EXPECT_EQ(keyLog(), "[]") << "outside the view rectangle nothing runs";
  press(inside);
  EXPECT_EQ(keyLog(), "[[4096 ()]]");
  EXPECT_EQ(feOperandDepth(), 0);
}

TEST_F(SheetEvHandler, TheDownHookTakesOnePressAndClearsTheMoveHook) {
  vwSetEventHooks(downHook, moveHook, 77);
  press(inside);
  ASSERT_EQ(hookCalls().size(), 1u);
  EXPECT_EQ(hookCalls()[0].which, 0);
  EXPECT_EQ(hookCalls()[0].where.x, inside.x);
  EXPECT_EQ(hookCalls()[0].where.y, inside.y);
  EXPECT_EQ(hookCalls()[0].argument, 77u);
  EXPECT_EQ(vwGetDownHook(), nullptr);
  EXPECT_EQ(vwGetMoveHook(), nullptr) << "a press clears the move hook too";
  EXPECT_EQ(vwGetHookArgument(), 77u);
  EXPECT_EQ(keyLog(), "[]");
  press(inside);
  EXPECT_EQ(hookCalls().size(), 1u);
  EXPECT_EQ(keyLog(), "[[4096 ()]]") << "the next press goes to the scripts";
}

TEST_F(SheetEvHandler, MovesInsideCallTheMoveHookWhichStays) {
  vwSetEventHooks(nullptr, moveHook, 5);
  move(inside);
  move(POINT{inside.x + 10, inside.y + 4});
  move(POINT{-20, inside.y});
  ASSERT_EQ(hookCalls().size(), 2u) << "the move outside calls nothing";
  EXPECT_EQ(hookCalls()[1].which, 1);
  EXPECT_EQ(hookCalls()[1].where.x, inside.x + 10);
  EXPECT_EQ(hookCalls()[1].where.y, inside.y + 4);
  EXPECT_EQ(hookCalls()[1].argument, 5u);
  EXPECT_EQ(vwGetMoveHook(), moveHook);
  EXPECT_EQ(keyLog(), "[]");
}

TEST_F(SheetEvHandler, CharactersRunOnKeyWithTheirText) {
  SendMessageA(hwnd, WM_CHAR, 'a', 0);
  EXPECT_EQ(keyLog(), "[[97 (a)]]");
  // A key without a character carries its flag; Shift held sets bit 3 of
  // the modifier word, which sits above the key code.
  plTestSetKeyDown(VK_SHIFT, true);
  SendMessageA(hwnd, WM_KEYDOWN, VK_LEFT, 0);
  plTestSetKeyDown(VK_SHIFT, false);
  const int32_t code = (0x08 << 16) | vwKeyVirtual | VK_LEFT;
  EXPECT_EQ(keyLog(), "[[97 (a)] [" + std::to_string(code) + " (%)]]");
}

TEST_F(SheetEvHandler, AKeyDownWhoseCharacterFollowsRunsOnKeyOnce) {
  // As the loop's translation leaves it: the character queued behind the
  // key-down that made it.
  PostMessageA(hwnd, WM_CHAR, 'x', 0);
  SendMessageA(hwnd, WM_KEYDOWN, 'X', 0);
  EXPECT_EQ(keyLog(), "[]");
  MSG msg;
  while (PeekMessageA(&msg, hwnd, WM_CHAR, WM_CHAR, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(keyLog(), "[[120 (x)]]");
}

TEST_F(SheetEvHandler, TwoByteModePairsALeadByteWithItsTrailByte) {
  const struct {
    int twoByte;
    std::vector<uint8_t> bytes;
    const char* log;
  } cases[] = {
      {1, {0x82, 0xA0}, "[[160 (\\202\\240)]]"},  // one key, two characters
      {1, {'q'}, "[[113 (q)]]"},                  // a single-byte character
      {0, {0x82}, "[[130 (\\202)]]"},             // without the mode a lead byte is a key
  };
  for (const auto& c : cases) {
    ASSERT_EQ(feExecString("/keyLog [] def"), 0);
    vwSetTwoByteMode(c.twoByte);
    for (uint8_t byte : c.bytes) SendMessageA(hwnd, WM_CHAR, byte, 0);
    EXPECT_EQ(keyLog(), c.log) << int(c.bytes[0]);
  }
  EXPECT_TRUE(vwIsLeadByte(0x81) && vwIsLeadByte(0x9F) && vwIsLeadByte(0xE0) && vwIsLeadByte(0xFC));
  EXPECT_FALSE(vwIsLeadByte(0x80) || vwIsLeadByte(0xA0) || vwIsLeadByte('a') || vwIsLeadByte(0xFD));
}

TEST_F(SheetEvHandler, AChangedModifierWordRunsOnModifier) {
  move(inside);
  EXPECT_EQ(modLog(), "[]");
  move(inside, MK_SHIFT);
  move(inside, MK_SHIFT);
  move(inside, MK_SHIFT | MK_CONTROL);
  move(inside);
  // (old XOR new) >> 3 and new >> 3: Shift is 1, Control 2.
  EXPECT_EQ(modLog(), "[[1 1] [2 3] [3 0]]");
  EXPECT_EQ(feOperandDepth(), 0);
}

TEST_F(SheetEvHandler, NothingRunsWhileBusy) {
  vwSetEventHooks(downHook, moveHook, 0);
  uiBusyBegin();
  press(inside);
  move(inside, MK_SHIFT);
  SendMessageA(hwnd, WM_CHAR, 'a', 0);
  EXPECT_TRUE(hookCalls().empty());
  EXPECT_EQ(keyLog(), "[]");
  EXPECT_EQ(modLog(), "[]");
  uiBusyEnd();
  press(inside);
  EXPECT_EQ(hookCalls().size(), 1u);
}

TEST_F(SheetEvHandler, ReturnEndsTheCommandAndRedrawsTheWindow) {
  addLine(model, {0, 0, 0}, {1, 0, 0});
  vwSetCmdEndHook(countCommandEnd);
  SendMessageA(hwnd, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(commandEnds, 1);
  EXPECT_EQ(lines().drawn.size(), 1u) << "the window is drawn again";
  SendMessageA(hwnd, WM_TIMER, 1, 0);
  EXPECT_EQ(commandEnds, 2);
  EXPECT_EQ(keyLog(), "[]");
}

TEST_F(SheetEvHandler, APaintWaitsWhilePointInputIsInProgress) {
  addLine(model, {0, 0, 0}, {1, 0, 0});
  vwSetPointInputHook(pointInput);
  inputInProgress = 1;
  paint(hwnd);
  EXPECT_TRUE(lines().drawn.empty());
  inputInProgress = 0;
  paint(hwnd);
  EXPECT_EQ(lines().drawn.size(), 1u);
}

viewRec* handledIn = nullptr;
viewRec* currentInHandler = nullptr;
int recordingHandler(HWND, const vwEventRec*, viewRec* view) {
  handledIn = view;
  currentInHandler = vwCurView();
  vwSetCurView(nullptr);  // the handler leaves another view current
  return 1;
}

TEST_F(SheetEvHandler, AnInstalledHandlerRunsInTheActiveViewUntilRemoved) {
  EXPECT_EQ(vwSetEventHandler(recordingHandler), vwBuiltinEventHandler);
  vwSetCurView(nullptr);
  press(inside);
  EXPECT_EQ(handledIn, draft);
  EXPECT_EQ(currentInHandler, draft);
  EXPECT_EQ(vwCurView(), draft) << "the drafting view is current again afterwards";
  EXPECT_EQ(keyLog(), "[]");
  EXPECT_EQ(vwSetEventHandler(nullptr), recordingHandler);
  press(inside);
  EXPECT_EQ(keyLog(), "[[4096 ()]]");
}

TEST_F(SheetEvHandler, PullStringCopiesAndPostMesgEventPaintsNow) {
  // The copy is a string of its own: changing it leaves the original.
  EXPECT_EQ(eval("(abc) dup aPullString dup 0 88 put"), "(abc) (Xbc)");
  EXPECT_EQ(eval("() aPullString"), "()");
  addLine(model, {0, 0, 0}, {1, 0, 0});
  vwSetActiveSheet(sheet);
  InvalidateRect(hwnd, nullptr, TRUE);
  EXPECT_EQ(eval("0 aPostMesgEvent"), "");
  EXPECT_EQ(lines().drawn.size(), 1u);
  EXPECT_EQ(eval("1 aPostMesgEvent"), "");
}

// Events as records, without the window message between: the key fields
// and the modifier word as the scripts see them.
TEST_F(SheetEvHandler, KeyRecordsReachOnKeyWithTheModifierWordAbove) {
  auto key = [&](uint8_t byte, uint32_t modifiers, uint32_t flags) {
    vwEventRec e{};
    e.kind = vwEvkKey;
    e.modifiers = modifiers;
    e.key = byte;
    e.keyFlagged = byte | flags;
    vwSheetEvent(hwnd, &e, draft);
  };
  const struct {
    int twoByte;
    std::vector<std::pair<uint8_t, uint32_t>> keys;  // byte, flags
    uint32_t modifiers;
    const char* log;
  } cases[] = {
      {0, {{65, 0}}, vwModShift | vwModControl, "[[1572929 (A)]]"},  // (0x18 << 16) | 65
      // The key's Shift and Control flags are in the word already: the key
      // code is the bare character.
      {0, {{65, vwKeyShift | vwKeyControl}}, vwModShift | vwModControl, "[[1572929 (A)]]"},
      // A flagged byte is not the first byte of a character: each stands
      // alone, the lead byte waits for nothing.
      {1, {{0x82, vwKeyVirtual}, {0xA0, 0}}, 0, "[[32898 (\\202)] [160 (\\240)]]"},
      {1, {{0x82, 0}, {0xA0, 0}}, 0, "[[160 (\\202\\240)]]"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(feExecString("/keyLog [] def /modLog [] def"), 0);
    vwSetTwoByteMode(c.twoByte);
    for (const auto& [byte, flags] : c.keys) key(byte, c.modifiers, flags);
    EXPECT_EQ(keyLog(), c.log);
    key(' ', 0, 0);  // the modifier word back to 0
  }
  EXPECT_EQ(feOperandDepth(), 0);
}

struct DrawingHookLog {
  std::vector<int> kinds;  // event kinds offered
  intptr_t answer = 0;
};
DrawingHookLog& drawingHook() {
  static DrawingHookLog log;
  return log;
}
intptr_t recordDrawingHook(intptr_t kind, intptr_t, intptr_t event, intptr_t) {
  if (kind != 5) return 0;
  drawingHook().kinds.push_back(reinterpret_cast<const vwEventRec*>(event)->kind);
  return drawingHook().answer;
}

TEST_F(SheetEvHandler, TheDrawingHookIsOfferedButtonsInsideTheViewFirst) {
  drawingHook() = DrawingHookLog{};
  gdiHookProc previous = gdiSetHook(recordDrawingHook);
  drawingHook().answer = 1;
  vwSetEventHooks(downHook, nullptr, 0);
  press(inside);  // down and up
  SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, at(inside.x, inside.y));
  SendMessageA(hwnd, WM_MBUTTONUP, 0, at(inside.x, inside.y));
  SendMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, at(-4, inside.y));
  EXPECT_EQ(drawingHook().kinds, (std::vector<int>{1, 2, 21, 24})) << "nothing outside the view rectangle";
  EXPECT_TRUE(hookCalls().empty()) << "a press the hook took goes no further";
  drawingHook().answer = 0;
  press(inside);
  EXPECT_EQ(hookCalls().size(), 1u);
  gdiSetHook(previous);
}

int markOffs = 0;
void countMarkOff() { ++markOffs; }

TEST_F(SheetEvHandler, APressOnAViewFrameIsTheFramesAndHidesTheCursorMark) {
  // A view at (100, 60)-(200, 160) beside the draft view: the sheet's
  // corners are those of its screen box.
  double low[2], high[2];
  sheetScreenToSheet(sheet, 100, 160, low);
  sheetScreenToSheet(sheet, 200, 60, high);
  const double box[4] = {low[0], low[1], high[0], high[1]};
  viewRec* view = vwCreate(sheet, model, box, 0);
  ASSERT_EQ(std::vector<int32_t>(view->screenBox, view->screenBox + 4), (std::vector<int32_t>{100, 60, 200, 160}));
  markOffs = 0;
  const vwTrackHooks trackHooks{countMarkOff, nullptr, nullptr};
  vwSetTrackHooks(&trackHooks);
  ASSERT_EQ(feExecString("/aViewPopup { /popupArg exch def } def"), 0);

  press(POINT{150, 100});  // on the view while the draft view is active
  EXPECT_EQ(sheet->lastActiveView, view) << "the view is activated";
  EXPECT_EQ(markOffs, 1);
  press(POINT{105, 50});  // its pop-up box
  EXPECT_EQ(tidy(eval("popupArg")), "[105 50]");
  EXPECT_EQ(markOffs, 2);
  EXPECT_EQ(keyLog(), "[]");
  press(POINT{150, 100});  // inside the active view: the scripts' press
  EXPECT_EQ(keyLog(), "[[4096 ()]]");
  EXPECT_EQ(markOffs, 2);

  // Moves show the cursor of the zone under them, from the cursor table.
  cursorClassInit();
  vwSetCursorHook(cursorSet);
  const struct {
    POINT p;
    int32_t entry;
  } cursors[] = {{{98, 100}, 8}, {{150, 162}, 9}, {{202, 162}, 10}, {{150, 100}, 2}, {{-5, 100}, 0}};
  for (const auto& c : cursors) {
    move(c.p);
    EXPECT_EQ(vwLastCursorEntry(), c.entry) << c.p.x << "," << c.p.y;
  }
  EXPECT_EQ(plTestCurrentCursor(), LoadCursorA(nullptr, IDC_ARROW));
  move(POINT{202, 162});
  EXPECT_EQ(plTestCurrentCursor(), LoadCursorA(nullptr, IDC_SIZENWSE));
  vwSetTrackHooks(nullptr);
  vwCursorReset();
  cursorTerm();
}

TEST_F(SheetEvHandler, CommandKeysSizesAndOtherKinds) {
  addLine(model, {0, 0, 0}, {1, 0, 0});
  vwEventRec e{};
  e.kind = vwEvkCommand;
  e.command = 77;
  EXPECT_EQ(vwSheetEvent(hwnd, &e, draft), 1);
  EXPECT_EQ(keyLog(), "[[77 ()]]");

  // A message that makes no event leaves the window alone; an event of a
  // kind without its own handling redraws it.
  e = vwEventRec{};
  EXPECT_EQ(vwSheetEvent(hwnd, &e, draft), 0);
  EXPECT_TRUE(lines().drawn.empty());
  e.kind = 12;
  vwSheetEvent(hwnd, &e, draft);
  EXPECT_EQ(lines().drawn.size(), 1u);

  // Event 20 answers bit 0 of the current sheet window's flags.
  e.kind = vwEvkEndSession;
  window->flags |= windShowUpdate;
  EXPECT_EQ(vwSheetEvent(hwnd, &e, draft), 1);
  window->flags &= uint8_t(~windShowUpdate);
  EXPECT_EQ(vwSheetEvent(hwnd, &e, draft), 0);

  // A size: the sheet reads its window's boxes again.
  std::fill(sheet->graphicsBox, sheet->graphicsBox + 4, 0);
  SendMessageA(hwnd, WM_SIZE, 0, 0);
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(sheet->graphicsBox[2], client.right);
  EXPECT_EQ(sheet->graphicsBox[3], client.bottom);
  EXPECT_EQ(keyLog(), "[[77 ()]]");
}

TEST_F(SheetEvHandler, ActivationMakesTheSheetCurrentAndShowsTheDrawingCursor) {
  sheetSetCurrent(static_cast<sheetRec*>(nullptr));
  vwCursorReset();
  vwEventRec e{};
  e.kind = vwEvkActivate;
  e.where = inside;
  vwSheetEvent(hwnd, &e, draft);
  EXPECT_EQ(vwCurSheet(), sheet);
  EXPECT_EQ(vwLastCursorEntry(), 2);
}

}  // namespace
