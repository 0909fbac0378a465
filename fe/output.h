// The interpreter output: everything the interpreter prints (=, ==, print,
// stack, diagnostics) goes through feOutWrite. Until a script installs its
// own sink with aOut the text goes to the default destination: the log
// window, or the hook that the command-line runner and tests install.
#ifndef PLUMET_FE_OUTPUT_H
#define PLUMET_FE_OUTPUT_H

#include "core/format.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>

struct feObject;

// Hands text to the script sink when one is installed: the text becomes a new
// string, which is pushed on the operand stack, and the sink is executed as
// exec would (a procedure receives the string as its operand). While the
// sink runs, output (its own included) goes to the default destination, so a
// sink that prints does not call itself without end. Without a sink, or
// when the string cannot be made or pushed, the text goes to the default
// destination, where the line-wrap limit applies.
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

// The script sink: a copy of sink is installed and the previous one
// released; null, or a null value, removes it (output goes to the default
// destination again). feOutSink answers the installed value, or null.
void feOutSetSink(const feObject* sink);
const feObject* feOutSink();
// True while the sink is running.
bool feOutSinkRunning();

// The line wrap of the default destination: with a limit above 0, a piece of
// text that would take the running count of characters on the current line
// past the limit is preceded by "\r" (unless the line is still empty) and
// the count restarts. Line ends in the text restart the count as well. 0
// turns wrapping off; the count is kept either way.
void feOutSetWrapLimit(int32_t limit);
int32_t feOutWrapLimit();
int32_t feOutColumn();

#endif
