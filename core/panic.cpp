// Formatted log lines and panics.
#include "core/debug.h"


#include <cstring>

namespace {

// Log lines and panic texts are formatted into a buffer of this size and cut
// when longer.
constexpr size_t kLineSize = 256;

void logText(const char* text) {
  size_t length = strlen(text);
  if (length) dbgLogAppend(text, length);
}

// Logs the text, offers it to the plug-in hook and, unless the hook takes it
// (answers 1), shows it in the panic box.
void panic(const char* text) {
  logText(text);
  if (dbgGetHooks().offerPanic && dbgGetHooks().offerPanic(text) == 1) return;
  MessageBoxA(GetFocus(), text, "Panic: Internal Error (Ctrl)", MB_OK | MB_ICONSTOP);
  dbgHandOffIfAsked(text);
}

// Formats a line from a C argument list, cut to the buffer.
void formatLine(char (&line)[kLineSize], const char* format, va_list args) {
  line[0] = 0;
  uVSprintf(line, kLineSize, format ? format : "", args);
  line[kLineSize - 1] = 0;
}

}  // namespace

void dbgVPrintfArgs(const char* format, const uFmtArg* args, size_t count) {
  char line[kLineSize];
  line[0] = 0;
  uVSprintfArgs(line, sizeof line, format ? format : "", args, count);
  logText(line);
}

void dbgVPanicArgs(const char* format, const uFmtArg* args, size_t count) {
  char line[kLineSize];
  line[0] = 0;
  uVSprintfArgs(line, sizeof line, format ? format : "", args, count);
  panic(line);
}

extern "C" void dbgVPrintf(const char* format, va_list args) {
  char line[kLineSize];
  formatLine(line, format, args);
  logText(line);
}

extern "C" void dbgPrintfC(const char* format, ...) {
  va_list args;
  va_start(args, format);
  dbgVPrintf(format, args);
  va_end(args);
}

extern "C" void dbgVPanic(const char* format, va_list args) {
  char line[kLineSize];
  formatLine(line, format, args);
  panic(line);
}

extern "C" void dbgPanicC(const char* format, ...) {
  va_list args;
  va_start(args, format);
  dbgVPanic(format, args);
  va_end(args);
}
