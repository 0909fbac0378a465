// The hook a plug-in may install (through the exported gdiSetHook) to see
// drawing-layer events and internal-error reports before the program acts.
#ifndef PLUMET_UI_GDIHOOK_H
#define PLUMET_UI_GDIHOOK_H

#include <cstdint>

typedef intptr_t (*gdiHookProc)(intptr_t kind, intptr_t a, intptr_t b, intptr_t c);

// Installs the hook (null removes it) and answers the one it replaces.
gdiHookProc gdiSetHook(gdiHookProc hook);

// Calls the installed hook with the four arguments and answers its result;
// 0 when no hook is installed.
intptr_t gdiCallHook(intptr_t kind, intptr_t a, intptr_t b, intptr_t c);

// The kind with which an internal-error report is offered (a is the text).
enum { gdiHookPanic = 7 };

#endif
