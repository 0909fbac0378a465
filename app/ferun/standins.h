// What the script runner adds for tests.
//
// A recording "getinfo" stands in for the edit-object tool of the
// object-information panel: each message it gets becomes one line of
// interpreter output beginning "[getinfo] ": "open", "begin", one per field
// ("text", "choice" or "more", "read-only" when it is, then "name=value"),
// "end", "title <title>", "closed".
//
// The runner registers them after the module set-ups; the program never has
// them.
#ifndef PLUMET_APP_FERUN_STANDINS_H
#define PLUMET_APP_FERUN_STANDINS_H

#include <cstdint>

// Registers the class "getinfo" (when missing), the operator tLoadLib, the
// input operators, the printing operators, tHitCode and tCursor.
void standinsInit();

// The operator tLoadLib ("C#I", app/ferun/loadlib.cpp): loads a library by
// name and calls its ordinal 1 as the program's plug-in loader does; answers
// 0, -1 when the library cannot be loaded, -2 when it has no ordinal 1 (it
// stays loaded). Libraries stay loaded until the run ends.
void standinsLoadLibInit();

// The input operators (app/ferun/input_ops.cpp), which queue input on the
// platform layer's clock, each item due 100 ms after the one before (see
// platform_test.h for when items take effect and where their messages go):
//   x y tMouseMove, x y tMouseDown, x y tMouseUp
//       the mouse, and the left button, at a client pixel of the front
//       document window (the active document window of the frame, else the
//       current one); rangecheck without a document window
//   vk tKey    a key down and up (a virtual key, 1-255, else rangecheck)
//   s tType    per character, the key that types it on a US layout (with
//              Shift down and up around it when needed: "A" is Shift, A
//              down, A up, Shift up), else a bare character message
//   ms tWait   the next item is due ms after the one before, instead of
//              100 (ms >= 0, else rangecheck)
//   tPump      runs the main loop until the queued input and the messages
//              it caused are used up, then returns to the script; a quit a
//              script asked for meanwhile still ends the runner
void standinsInputInit();

// The printing operators (app/ferun/print_ops.cpp):
//   [from to copies dpi] tPrintAnswer, [from to copies dpi paper] tPrintAnswer
//              the next print dialog accepts: a page range, copies, dots per
//              inch and a DMPAPER_ size, each 0 to keep what the dialog shows
//   [] tPrintAnswer       the next print dialog is cancelled
//   [code] tPrintAnswer   the next print dialog fails with that extended
//              error code (4107: printer not found)
//              (a negative number or another count: rangecheck)
//   tPages     prints a line per print job, "[job] name printed|cancelled|open
//              n pages", then one per page it ended, "[page] file WxH Ndpi"
//              (the file's name, "-" when none was written; " mono" after a
//              monochrome page)
void standinsPrintInit();

// The frame zones (app/ferun/hit_ops.cpp):
//   x y tHitCode   what a press at that client pixel of the current sheet's
//              window would hit of its view frames (0 none, 3 another view,
//              4 a title bar, 5 a pop-up box, 8-11 edges and corners)
void standinsHitInit();

// The shown cursor (app/ferun/cursor_ops.cpp):
//   tCursor    x y system: the hot spot of the cursor shown last and 1 for a
//              system cursor (its hot spot reads 0 0), 0 for one made from
//              a "cursor" object, -1 when none is shown
void standinsCursorInit();

#endif
