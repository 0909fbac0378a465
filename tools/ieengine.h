// The input engine: between presses of the mouse button it snaps every
// mouse movement in the current view through the shared tracking context
// with its own snap codes, shows the snap feedback and publishes the
// snapped point as the last point; key presses go to the script procedure
// "onKey". Scripts switch it on and off and save and restore its state
// around nested tools.
#ifndef PLUMET_TOOLS_IEENGINE_H
#define PLUMET_TOOLS_IEENGINE_H

#include <cstdint>

struct trackContext;

// Position filter: 0 keeps the engine from snapping at (x, y).
typedef int32_t (*iePosFilterFn)(int x, int y, uintptr_t userData);

// Bits of the engine's flags.
enum : uint16_t { ieOn = 0x1, ieShown = 0x2, ieValid = 0x4 };

// Switches the engine on in the current view with the filter: 1; 0 (and
// off) without a current view.
int ieStart(iePosFilterFn callback, uintptr_t userData);
void ieOff();     // aIEOff
void ieReset();   // aIEReset
// aIESetStr: "*" gives the default codes, other one-character texts change
// nothing, longer ones are cut to 31 characters.
void ieSetCodes(const char* text, int length);
const char* ieCodes();
// aIEGetPoint: the context's result point; 0 when valid, -1 otherwise.
int ieGetPoint(double out[3]);
uint16_t ieFlags();
void ieCursorOff();
void ieCursorDisable();
int ieHasPoint();
// One snap of pixel (x, y) on the context (its snap counter cleared first,
// so that no button need be held). Mode 2 publishes the point ("aUpdate"),
// mode 1 only when the mouse still stands there; other modes answer mode - 2.
int ieSnapAt(int x, int y, trackContext* context, int mode);
int ieTrackAt(int x, int y, int mode);

// Registers the ten engine operators and the redraw hook.
int ieInit();
// Turns the engine off and empties its stack (tests and shut-down).
void ieEngineReset();

#endif
