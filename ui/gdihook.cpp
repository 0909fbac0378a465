#include "ui/gdihook.h"

static gdiHookProc installed;

gdiHookProc gdiSetHook(gdiHookProc hook) {
  gdiHookProc old = installed;
  installed = hook;
  return old;
}

intptr_t gdiCallHook(intptr_t kind, intptr_t a, intptr_t b, intptr_t c) {
  return installed ? installed(kind, a, b, c) : 0;
}
