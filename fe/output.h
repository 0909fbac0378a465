// The interpreter output: everything the interpreter prints (=, ==, print,
// stack, diagnostics) goes through feOutWrite. Until a script installs its
// own sink the text goes to the log window.
#ifndef PLUMET_FE_OUTPUT_H
#define PLUMET_FE_OUTPUT_H

#include "core/format.h"

#include <cstdarg>
#include <cstddef>

void feOutWrite(const char* text, size_t length);

// Formats with the program's engine into a 512-byte buffer (cut when longer)
// and writes the text.
void feVPrintfArgs(const char* format, const uFmtArg* args, size_t count);
template <class... A>
void fePrintf(const char* format, const A&... args) {
  const uFmtArg list[] = {uFmtArg(args)..., uFmtArg(0)};
  feVPrintfArgs(format, list, sizeof...(A));
}

extern "C" {
// The C-callable form, for plug-ins.
void fePrintfC(const char* format, ...);
}

// Where the text goes when no script sink is installed; null restores the
// log. Used by the command-line runner and by tests to capture the output.
typedef void (*feOutHook)(void* context, const char* text, size_t length);
void feSetOutHook(feOutHook hook, void* context);

#endif
