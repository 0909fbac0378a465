// TEMPORARY minimal alerts and log so that the other modules link; replaced
// by the real module.
#include "core/debug.h"

#include <cstring>

static dbgLogHook logHook;
static void* logCtx;
static uint32_t flags;

void uAlert(int, const char* text, const char*) { MessageBoxA(nullptr, text + 1, "Error Alert", MB_OK); }
bool uAskYesNo(int, const char* text) { return MessageBoxA(nullptr, text + 1, nullptr, MB_YESNO) == IDNO; }
bool uLoadString(int, int, char*, int) { return false; }
void dbgVPrintfArgs(const char* f, const uFmtArg* a, size_t n) {
  char buf[256];
  uVSprintfArgs(buf, sizeof buf, f, a, n);
  dbgLogAppend(buf, strlen(buf));
}
void dbgVPanicArgs(const char* f, const uFmtArg* a, size_t n) { dbgVPrintfArgs(f, a, n); }
extern "C" void dbgPrintfC(const char*, ...) {}
extern "C" void dbgVPrintf(const char*, va_list) {}
extern "C" void dbgPanicC(const char*, ...) {}
extern "C" void dbgVPanic(const char*, va_list) {}
void dbgLogAppend(const char* t, size_t n) { if (logHook && n) logHook(logCtx, t, strnlen(t, n)); }
bool dbgLogFileOpen(const char*) { return false; }
void dbgLogFileClose() {}
HWND dbgWinCreate(HWND) { return nullptr; }
HWND dbgWinControl() { return nullptr; }
void dbgWinFree(HWND) {}
void dbgTerm() {}
void dbgSetLogHook(dbgLogHook h, void* c) { logHook = h; logCtx = c; }
uint32_t dbgFlags() { return flags; }
void dbgSetFlags(uint32_t f) { flags = f; }
