// The main message loop and the smaller pumps that long operations and
// scripts use to stay responsive.
#ifndef PLUMET_UI_MAINLOOP_H
#define PLUMET_UI_MAINLOOP_H

#include <windows.h>

#include <cstdint>

// The menu pre-filter: offered every message before it is translated; a
// non-zero answer consumes it. None is installed until the menus exist.
typedef int (*evMenuFilter)(MSG* msg);
evMenuFilter evSetMenuFilter(evMenuFilter filter);

// Runs the message loop until the quit message; answers 0 then. Every
// message clears the attention flag, is recorded in the event state and
// lowers the busy count by one before it is dispatched.
int evMainLoop();
// The wParam of the quit message that ended the last evMainLoop.
WPARAM evQuitCode();

// Removes and handles every pending message numbered n (all for 0), like
// the main loop but leaving the attention flag and the busy count alone.
int evPumpRange(uint32_t n);

// The script operator aDispatch ("!"): evPumpRange(0).
int aDispatch();

#endif
