// How the selection shows and when it is due for refreshing.
//
// - The select-by word (program-wide, also the settings variable
//   "$BLINKCURSOR"): value 1 shows the selection by blinking, value 2 in the
//   select colour. At start it is 2 on a colour display, else 1.
// - The selection-pending flag: set by aResetSelection and by every model
//   event (0x0103nnnn) and layer event (0x0002nnnn); selRefresh with mode 2
//   clears it.
// - The selection mode word: a mode tools set around their own work (3
//   while vertices are enumerated for snapping or resolving; 2 and 4 are
//   tested by the classes).
// - The selection module's window: a drawing window that selWindowRepaint
//   repaints whole.
//
// Operators: aSetSelectByBlink "!I<1>B", aSetSelectByColor "!I<2>B" (set or
// clear the bit of the select-by word and refresh the display; the colour
// one then repaints the module's window), aGetSelectByBlink "!I<1>#B",
// aGetSelectByColor "!I<2>#B" (whether the bit is set), aResetSelection "!"
// (sets the pending flag).
#ifndef PLUMET_OBJECTS_SELMODE_H
#define PLUMET_OBJECTS_SELMODE_H

#include "objects/docstate.h"
#include "objects/ioctx.h"

#include <windows.h>

#include <cstdint>

struct feArgs;

enum : uint16_t { selByBlink = 0x1, selByColor = 0x2 };

// The select-by word.
uint16_t selByGet();
void selBySet(uint16_t word);
// The word a stored "$BLINKCURSOR" value gives: a value with any bit other
// than the two display bits becomes 2 (colour); on a display without colours
// the word is always 1 (blink).
uint16_t selByFromStored(uint16_t stored, bool colorDisplay);
// The start value: 2 on a colour display (the system query 103), else 1.
void selByReset();

// The selection-pending flag.
bool selPendingGet();
void selPendingSet(bool pending);

// The selection mode word.
uint16_t selModeGet();
void selModeSet(uint16_t mode);

// The application-event handler that marks the selection pending (entered
// for the model and layer families by selModeInit).
void selEventPending(uint32_t code, intptr_t argument);

// Work that other modules supply; null does nothing. The wall hook re-joins
// the walls marked for repair; the info hook refreshes the object-information
// list as aGetInfo with no object does.
typedef void (*selHookFn)();
void selSetWallRepairHook(selHookFn hook);
void selSetInfoHook(selHookFn hook);

// Refreshes the selection display: the wall repairs, the deferred drawing
// list; when the pending flag is set and mode is 2, the flag is cleared, the
// information list refreshed and the current sieve re-sorted when it has
// outgrown its cells; then the current view's selection display steps, from
// its start when mode is 1 or the flag was set.
void selRefresh(int mode);
// The window that selWindowRepaint repaints (0: none).
void selSetWindow(HWND window);
HWND selGetWindow();
// Repaints the module's window whole, when one is registered.
void selWindowRepaint();

// The I/O routine of "$BLINKCURSOR": the select-by word as one "s" value.
int selBlinkCursorIO(const char* name, dbDocRec* doc, ioCtx* ctx);

// The operators.
int selSetByOp(feArgs* args);
int selGetByOp(feArgs* args);
int selResetOp(feArgs* args);

// The set-up of this part of the selection module (selInit calls both):
// the start values of the three words, "$BLINKCURSOR" (once), the two
// event entries (again only when the event table was emptied since) and the
// select-by word as the source of the views' selection blink; then the
// four select-by operators in the order of the header comment
// (aResetSelection is among the general object operators).
void selModeInit();
void selModeRegisterOps();

#endif
