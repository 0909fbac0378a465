// CommDlgExtendedError: why the last common dialog failed (0 after a cancel
// or a success).
#include "printer.h"

namespace {
DWORD lastError = 0;
}  // namespace

namespace pl::printing {
void setDialogError(DWORD code) { lastError = code; }
}  // namespace pl::printing

extern "C" DWORD WINAPI CommDlgExtendedError(void) { return lastError; }
