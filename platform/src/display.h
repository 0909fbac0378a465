// What the message queue and the input code ask of the display backend
// (platform/src/x11/). Built without X11, or while no display is in use,
// each call does nothing and active() answers false.
#ifndef PLUMET_PLATFORM_DISPLAY_INTERNAL_H
#define PLUMET_PLATFORM_DISPLAY_INTERNAL_H

#include <windows.h>

namespace pl::display {

bool active();

// Brings the display up to date with the layer: an X window for each
// top-level window (title, place, size, shown or not), the pixels that
// changed since last time, the cursor. Sends no messages.
void sync();

// Reads the display's pending events into the layer's input and messages,
// without waiting.
void pump();

// A loop polling the mouse state: pending events are read, and the display
// is brought up to date now and then, so that the loop sees the buttons go
// up and the person sees what it draws.
void readMouseState();

// PeekMessageA found nothing: the display is brought up to date, at most
// every few milliseconds.
void idle();

// Waits up to timeoutMs (negative: without limit) for display input and
// reads it.
void waitForInput(int timeoutMs);

// Closes the display; the layer is headless again (plTestReset).
void reset();

}  // namespace pl::display

#endif
