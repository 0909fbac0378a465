#include "fe/output.h"

#include "core/debug.h"

namespace {
feOutHook outHook;
void* outContext;
constexpr size_t kBufferSize = 512;
}  // namespace

void feSetOutHook(feOutHook hook, void* context) {
  outHook = hook;
  outContext = context;
}

void feOutWrite(const char* text, size_t length) {
  if (!text || length == 0) return;
  if (outHook) outHook(outContext, text, length);
  else dbgLogAppend(text, length);
}

void feVPrintfArgs(const char* format, const uFmtArg* args, size_t count) {
  char buffer[kBufferSize];
  const int n = uVSprintfArgs(buffer, sizeof buffer, format ? format : "", args, count);
  feOutWrite(buffer, static_cast<size_t>(n));
}

extern "C" void fePrintfC(const char* format, ...) {
  char buffer[kBufferSize];
  va_list args;
  va_start(args, format);
  const int n = uVSprintf(buffer, sizeof buffer, format ? format : "", args);
  va_end(args);
  feOutWrite(buffer, static_cast<size_t>(n));
}
