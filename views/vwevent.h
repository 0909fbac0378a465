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
// The built-in handler: a press (1) inside the view rectangle clears the
// move hook and hands the point to the down hook, which it clears first,
// or else runs "onKey" with 4096 and ""; a character (3) runs "onKey" with
// the character and its one- or two-byte text; a paint (4) draws the whole
// sheet unless point input is in progress; a move (9) inside the view
// rectangle calls the move hook (kept); a Return (19) ends the command
// through the command-end hook and redraws the sheet window.
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
