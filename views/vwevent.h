// The sheet window's event handler: what a press, a key, a paint, a move
// and a Return in a sheet window do, and the one-shot hooks through which
// the input engine above this layer takes presses and moves.
#ifndef PLUMET_VIEWS_VWEVENT_H
#define PLUMET_VIEWS_VWEVENT_H

#include <windows.h>

#include <cstdint>

struct sheetRec;
struct viewRec;
struct vwEventRec;

// A hook called with the client pixel of the event and the hook argument.
typedef void (*vwEventHookFn)(POINT where, uintptr_t argument);

// The sheet window's event dispatcher (installed by sheetPaintInit):
// vwSheetEvent with the sheet's active view. Answers nonzero when handled.
int vwSheetDispatch(sheetRec* sheet, const vwEventRec* event);

// Runs the event handler for a sheet window's event in view: nothing
// without an event or a view or while the busy count is raised. Drawing
// attributes are reset and the draw mode set to 0; a changed modifier word
// is reported to "onModifier"; the sheet's active view is made current for
// the handler and is current again afterwards (a paint leaves the current
// view as it is). Answers the handler's answer (0 when nothing ran).
int vwSheetEvent(HWND window, const vwEventRec* event, viewRec* view);

// The event handler vwSheetEvent runs. vwSetEventHandler answers the
// previous one; null restores the built-in handler.
typedef int (*vwEventHandlerFn)(HWND window, const vwEventRec* event, viewRec* view);
vwEventHandlerFn vwSetEventHandler(vwEventHandlerFn handler);
// The built-in handler, by event kind:
// - 1, a press: only inside the view rectangle. It is offered first to the
//   drawing hook (gdiCallHook kind 5 with the window, the event and the
//   view; a nonzero answer takes it). A press on a view frame (vwFrameHit
//   nonzero) hides the input cursor mark and is the frame's (vwFrameAction).
//   Otherwise the move hook is cleared and the down hook, cleared first,
//   takes the point, or else "onKey" runs with 4096 and "".
// - 2 and 21-24, other buttons: inside the view rectangle offered to the
//   drawing hook only.
// - 3, a character: "onKey" with the character and its one- or two-byte
//   text.
// - 4, a paint: the whole sheet is drawn unless point input is in progress.
// - 5, activation: the sheet becomes current; inside the view rectangle
//   cursor entry 2 is shown.
// - 6: nothing. 7, a size: the sheet reads its window's boxes again and
//   refits its draft view; the selection display is refreshed in mode 1.
// - 9, a move: inside the view rectangle a frame zone shows its cursor
//   (the entry of its hit code), else the move hook (kept) is called and
//   entry 2 shown; outside entry 0. The selection display is refreshed in
//   mode 0.
// - 18, a command key: "onKey" with the event's command code and "".
// - 19, a Return: the command ends through the command-end hook, the
//   selection display is refreshed in mode 2 and the sheet window redrawn.
// - 20: bit 0 of the current sheet window's flags.
// - 0 is no event (a message the window keeps to itself): nothing. Any
//   other kind refreshes the selection display in mode 0 and redraws the
//   sheet window.
int vwBuiltinEventHandler(HWND window, const vwEventRec* event, viewRec* view);

// The one-shot hooks: the down hook takes the next press, the move hook
// follows moves until a press; both share one argument.
void vwSetEventHooks(vwEventHookFn downHook, vwEventHookFn moveHook, uintptr_t argument);
void vwSetDownHook(vwEventHookFn hook);
vwEventHookFn vwGetDownHook();
void vwSetMoveHook(vwEventHookFn hook);
vwEventHookFn vwGetMoveHook();
void vwSetHookArgument(uintptr_t argument);
uintptr_t vwGetHookArgument();

// Event 19 ends the current command through this hook (null: none).
void vwSetCmdEndHook(void (*hook)());
// While this answers nonzero, point input is in progress and a paint event
// leaves the window alone (null: never).
void vwSetPointInputHook(int (*inProgress)());

// Two-byte character mode: a lead byte waits for its trail byte and the
// pair is reported as one key. On while the program runs in two-byte text
// mode (uiTwoByteMode) or while switched on here; off by default.
void vwSetTwoByteMode(int on);
int vwTwoByteMode();
// 1 for a lead byte of the two-byte code page (932).
int vwIsLeadByte(uint8_t byte);

// The modifier word of an event as the scripts see it: bit 3 Shift, bit 4
// Control (the low three bits are free). Shifted down by 3 for
// "onModifier".
uint32_t vwModifierWord(const vwEventRec* event);

// The cursor shown: an entry of the program's cursor table (0 the arrow, 2
// the drawing cursor, 6-11 the frame zones' cursors) through the installed
// setter (start-up installs cursorSet), which answers the entry shown;
// without one nothing is shown and the entry is answered. vwLastCursorEntry
// answers the entry last asked for (-1 before any); vwCursorReset forgets
// both (tests).
typedef uint32_t (*vwCursorFn)(uint32_t entry);
void vwSetCursorHook(vwCursorFn hook);
uint32_t vwSetCursor(uint32_t entry);
int32_t vwLastCursorEntry();
void vwCursorReset();

// Clears the hooks, the handler, the remembered modifier word, a pending
// lead byte and two-byte mode (tests).
void vwEventStateReset();

struct feArgs;
// aPostMesgEvent "!I": 0 processes the drawing window's pending paint now;
// any other value gives the trace alert "TaPostEvent: unimplemented".
int vwOpPostMesgEvent(feArgs* args);
// aPullString "!S#S": a new string with a copy of the given one.
int vwOpPullString(feArgs* args);

#endif
