// The sheet window's event handler: presses, keys, paints, moves and
// Returns of a sheet window turned into script calls and hook calls.
#include "views/vwevent.h"

#include "draw/gx.h"
#include "fe/script.h"
#include "fe/scriptproc.h"
#include "objects/selmode.h"
#include "ui/attn.h"
#include "ui/gdihook.h"
#include "ui/ui.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/sheet.h"
#include "views/sheet_internal.h"
#include "views/view.h"
#include "views/vwframe.h"
#include "views/vwtrack.h"

#include <windows.h>

namespace {

struct hookWords {
  vwEventHookFn down = nullptr;
  vwEventHookFn move = nullptr;
  uintptr_t argument = 0;
};

hookWords hooks;
vwEventHandlerFn handler = nullptr;  // null: the built-in one
void (*cmdEndHook)() = nullptr;
int (*pointInputHook)() = nullptr;
uint32_t reportedModifiers = 0;  // the modifier word last reported to the scripts
uint8_t pendingLead = 0;         // a lead byte waiting for its trail byte
int twoByteMode = 0;

// The rectangle of the window in which the views show (the client area
// less what the window keeps for itself); the view's screen box without a
// window record.
bool insideViewRect(HWND window, const viewRec* view, POINT where) {
  RECT rect{view->screenBox[0], view->screenBox[1], view->screenBox[2], view->screenBox[3]};
  windRecord* record = nullptr;
  if (window && windFromHwnd(window, &record) == 0 && record) windGetViewRect(record, &rect);
  return where.x >= rect.left && where.x < rect.right && where.y >= rect.top && where.y < rect.bottom;
}

// Runs "onKey" with the code and text on the operand stack; nothing is
// pushed when the scripts do not define it.
void runOnKey(int32_t code, const char* text, size_t length) {
  if (!scriptDefined("onKey")) return;
  const int32_t depth = feOperandDepth();
  if (fePushInt(code) != 0 || fePushString(text, length) != 0) {
    feOperandRestore(depth);
    return;
  }
  scriptRunByName("onKey");
}

void reportModifiers(const vwEventRec* event) {
  const uint32_t word = vwModifierWord(event);
  if (word == reportedModifiers) return;
  const uint32_t changed = (reportedModifiers ^ word) >> 3;
  reportedModifiers = word;
  if (scriptDefined("onModifier"))
    feExecf("mark  %d %d onModifier cleartomark", int32_t(changed), int32_t(word >> 3));
}

// A key-down whose character is already queued behind it is left to the
// character event, so that one key stroke runs the scripts once.
bool characterFollows(HWND window, const vwEventRec* event) {
  if (!(event->keyFlagged & vwKeyVirtual)) return false;
  MSG next;
  return PeekMessageA(&next, window, WM_CHAR, WM_CHAR, PM_NOREMOVE) != 0;
}

// The drawing hook a plug-in may install is offered button events first.
bool drawingHookTakes(HWND window, const vwEventRec* event, viewRec* view) {
  return gdiCallHook(5, reinterpret_cast<intptr_t>(window), reinterpret_cast<intptr_t>(event),
                     reinterpret_cast<intptr_t>(view)) != 0;
}

// A press on a view's frame (or on another view) is the frame's: the input
// cursor mark is hidden first, since the frame's action may redraw.
bool framePress(const vwEventRec* event, viewRec* view) {
  sheetRec* sheet = view->sheet;
  const int code = sheet ? vwFrameHit(sheet, event->where) : 0;
  if (!code) return false;
  if (void (*off)() = vwTrackHooksInstalled().cursorMarkOff) off();
  vwFrameAction(sheet, event->where, code);
  return true;
}

int press(HWND window, const vwEventRec* event, viewRec* view) {
  if (!insideViewRect(window, view, event->where)) return 0;
  if (drawingHookTakes(window, event, view)) return 1;
  if (framePress(event, view)) return 1;
  hooks.move = nullptr;
  if (vwEventHookFn down = hooks.down) {
    hooks.down = nullptr;
    down(event->where, hooks.argument);
  } else {
    runOnKey(0x1000, "", 0);
  }
  return 1;
}

int character(HWND window, const vwEventRec* event) {
  if (characterFollows(window, event)) return 0;
  // The modifier keys travel in the word's high half; of the key's own
  // flags only the mark of a key that is no character stays.
  const uint32_t code = (event->key & 0xFFFF) | (event->keyFlagged & vwKeyVirtual);
  const char byte = char(event->key & 0xFF);
  if (vwTwoByteMode()) {
    if (pendingLead) {
      const char pair[2] = {char(pendingLead), byte};
      pendingLead = 0;
      runOnKey(int32_t(code), pair, 2);
      return 1;
    }
    if (!(event->keyFlagged & vwKeyVirtual) && vwIsLeadByte(uint8_t(byte))) {
      pendingLead = uint8_t(byte);
      return 1;
    }
  }
  runOnKey(int32_t((vwModifierWord(event) << 16) | code), &byte, 1);
  return 1;
}

int paint(const viewRec* view) {
  if (pointInputHook && pointInputHook()) return 1;
  sheetDrawViews(view->sheet);
  return 1;
}

int otherButton(HWND window, const vwEventRec* event, viewRec* view) {
  if (!insideViewRect(window, view, event->where)) return 0;
  return drawingHookTakes(window, event, view) ? 1 : 0;
}

// Frame zones (the title bar, the pop-up box and the resize edges) show the
// cursor of their hit code.
int move(HWND window, const vwEventRec* event, viewRec* view) {
  int answer = 0;
  if (insideViewRect(window, view, event->where)) {
    const int code = view->sheet ? vwFrameHit(view->sheet, event->where) : 0;
    if (code >= vwHitTitle) {
      vwSetCursor(uint32_t(code));
    } else {
      if (vwEventHookFn hook = hooks.move) hook(event->where, hooks.argument);
      vwSetCursor(2);
    }
    answer = 1;
  } else {
    vwSetCursor(0);
  }
  selRefresh(0);
  return answer;
}

int activate(HWND window, const vwEventRec* event, viewRec* view) {
  if (view->sheet) sheetSetCurrent(view->sheet);
  if (insideViewRect(window, view, event->where)) vwSetCursor(2);
  return 0;
}

// The sheet follows its window's new size: the boxes are read again and
// the draft view refitted.
int sized(HWND window, viewRec* view) {
  if (sheetRec* sheet = view->sheet) {
    sheetReadWindowBoxes(sheet);
    vwFitDraftView(sheet);
    if (window) InvalidateRect(window, nullptr, FALSE);
  }
  selRefresh(1);
  return 0;
}

int commandKey(const vwEventRec* event) {
  runOnKey(int32_t(event->command), "", 0);
  return 1;
}

int endSession() {
  const sheetRec* sheet = vwCurSheet();
  return sheet && sheet->window ? (sheet->window->flags & 1) : 0;
}

void redraw(HWND window) {
  if (!window) return;
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

int otherEvent(HWND window) {
  selRefresh(0);
  redraw(window);
  return 0;
}

int commandEnd(HWND window, const vwEventRec* event) {
  if (characterFollows(window, event)) return 0;
  if (cmdEndHook) cmdEndHook();
  // What the command changed is drawn from the update queue.
  selRefresh(2);
  redraw(window);
  return 1;
}

// Whether the window still holds the sheet (the handler may have closed it).
bool windowHoldsSheet(HWND window, const sheetRec* sheet) {
  windRecord* record = nullptr;
  if (!window || windFromHwnd(window, &record) != 0 || !record) return false;
  for (uint32_t i = 0; i < record->userCount; ++i)
    if (record->users[i] == sheet) return true;
  return false;
}

}  // namespace

uint32_t vwModifierWord(const vwEventRec* event) {
  uint32_t word = 0;
  if (event->modifiers & vwModShift) word |= 0x08;
  if (event->modifiers & vwModControl) word |= 0x10;
  return word;
}

int vwIsLeadByte(uint8_t byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

void vwSetTwoByteMode(int on) {
  twoByteMode = on ? 1 : 0;
  if (!twoByteMode) pendingLead = 0;
}
int vwTwoByteMode() { return twoByteMode || uiTwoByteMode() ? 1 : 0; }

void vwSetEventHooks(vwEventHookFn downHook, vwEventHookFn moveHook, uintptr_t argument) {
  hooks.down = downHook;
  hooks.move = moveHook;
  hooks.argument = argument;
}
void vwSetDownHook(vwEventHookFn hook) { hooks.down = hook; }
vwEventHookFn vwGetDownHook() { return hooks.down; }
void vwSetMoveHook(vwEventHookFn hook) { hooks.move = hook; }
vwEventHookFn vwGetMoveHook() { return hooks.move; }
void vwSetHookArgument(uintptr_t argument) { hooks.argument = argument; }
uintptr_t vwGetHookArgument() { return hooks.argument; }

void vwSetCmdEndHook(void (*hook)()) { cmdEndHook = hook; }
void vwSetPointInputHook(int (*inProgress)()) { pointInputHook = inProgress; }

vwEventHandlerFn vwSetEventHandler(vwEventHandlerFn next) {
  vwEventHandlerFn previous = handler ? handler : vwBuiltinEventHandler;
  handler = next == vwBuiltinEventHandler ? nullptr : next;
  return previous;
}

void vwEventStateReset() {
  hooks = hookWords{};
  handler = nullptr;
  cmdEndHook = nullptr;
  pointInputHook = nullptr;
  reportedModifiers = 0;
  pendingLead = 0;
  twoByteMode = 0;
}

int vwBuiltinEventHandler(HWND window, const vwEventRec* event, viewRec* view) {
  switch (event->kind) {
    case vwEvkNone: return 0;
    case vwEvkButtonDown: return press(window, event, view);
    case vwEvkButtonUp:
    case vwEvkRightDown:
    case vwEvkRightUp:
    case vwEvkMiddleDown:
    case vwEvkMiddleUp: return otherButton(window, event, view);
    case vwEvkKey: return character(window, event);
    case vwEvkPaint: return paint(view);
    case vwEvkActivate: return activate(window, event, view);
    case vwEvkDeactivate: return 0;
    case vwEvkSize: return sized(window, view);
    case vwEvkMouseMove: return move(window, event, view);
    case vwEvkCommand: return commandKey(event);
    case vwEvkReturn: return commandEnd(window, event);
    case vwEvkEndSession: return endSession();
    default: return otherEvent(window);
  }
}

int vwSheetEvent(HWND window, const vwEventRec* event, viewRec* view) {
  if (!event || !view || uiBusyCount() > 0) return 0;
  sheetRec* sheet = view->sheet;
  gxResetAttrs();
  gxSetDrawMode(0);
  reportModifiers(event);
  // A paint leaves the current view alone: paints come whenever a window is
  // brought up to date, also in the middle of a script working in another
  // view; drawing the views sets and restores the current view itself.
  if (event->kind == vwEvkPaint) return (handler ? handler : vwBuiltinEventHandler)(window, event, view);
  if (sheet) {
    if (sheet->activeView)
      vwSetCurView(sheet->activeView);
    else
      sheetSetCurrent(sheet);
  }
  const int answer = (handler ? handler : vwBuiltinEventHandler)(window, event, view);
  // The handler may have closed the window and freed its sheet.
  if (sheet && windowHoldsSheet(window, sheet) && sheet->activeView && vwCurView() != sheet->activeView)
    vwSetCurView(sheet->activeView);
  return answer;
}

int vwSheetDispatch(sheetRec* sheet, const vwEventRec* event) {
  if (!sheet) return 0;
  return vwSheetEvent(sheetHwnd(sheet), event, sheet->activeView);
}
