// Showing the program on a display. A program that wants its windows seen
// calls plUseDisplayIfAvailable once at start, before it creates windows;
// every other program (the script runner, the tests) stays headless.
#ifndef PLUMET_PLATFORM_DISPLAY_H
#define PLUMET_PLATFORM_DISPLAY_H

// Chooses the X11 display when DISPLAY names one that opens and
// PLUMET_HEADLESS is unset, empty or "0"; otherwise the layer stays
// headless. Answers whether the display is in use. On a display, top-level
// windows become X windows, their pixels (children composed in) are shown,
// the person's mouse and keys arrive as input messages, and GetMessageA
// waits for input instead of ending the run when nothing is queued.
bool plUseDisplayIfAvailable();

// Whether the display is in use (false after plTestReset).
bool plDisplayActive();

#endif
