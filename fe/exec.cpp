// Until the interpreter's execution loop exists there is nothing to run the
// text: it is logged, so that what native code asked for stays visible, and
// answered with the "unimplemented" error.
#include "fe/exec.h"

#include "core/debug.h"

int feRunString(const char* text) {
  dbgPrintf("[feRunString] %s\n", text);
  return 275;
}
