// Alerts, yes/no questions, the debug log and panics.
//
// uAlert shows a message box whose text begins with a severity letter: I
// information, T trace (shown only while the debug flags are set), W warning,
// F fatal (the at-quit routines run and the program ends), S severe; any other
// letter counts as S. dbgPrintf writes one formatted line to the log sink;
// dbgPanic reports an internal error in a box titled "Panic: Internal Error
// (Ctrl)" and lets the program continue.
#ifndef PLUMET_CORE_DEBUG_H
#define PLUMET_CORE_DEBUG_H

#include "core/format.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Shows an alert. resourceId names a string resource that replaces the text
// after the severity letter when it exists (0: none); "^0" in the message
// stands for arg (may be null), "^{PROG}", "^{USER}", "^{VERSION}" for the
// program information, "^^" for "^". Messages are cut to 255 characters.
void uAlert(int resourceId, const char* text, const char* arg);

// Asks a yes/no question. Answers TRUE WHEN THE USER CHOSE NO: the scripts
// and their callers rely on this inverted sense.
bool uAskYesNo(int resourceId, const char* text);

// Loads string resource id (low 16 bits) of the program into buffer; answers
// true when found. id 0 answers false. category is not used.
bool uLoadString(int category, int id, char* buffer, int size);

// Formats a line with the program's engine into a 256-character buffer (cut
// when longer) and hands it, when not empty, to the log sink.
void dbgVPrintfArgs(const char* format, const uFmtArg* args, size_t count);
template <class... A>
void dbgPrintf(const char* format, const A&... args) {
  const uFmtArg list[] = {uFmtArg(args)..., uFmtArg(0)};
  dbgVPrintfArgs(format, list, sizeof...(A));
}

// Formats the same way, logs the text, offers it to the plug-in hook
// (dbgHooks::offerPanic) and, unless the hook answers 1, shows it in the panic
// box; then hands off to the debugger when asked to. Always returns.
void dbgVPanicArgs(const char* format, const uFmtArg* args, size_t count);
template <class... A>
void dbgPanic(const char* format, const A&... args) {
  const uFmtArg list[] = {uFmtArg(args)..., uFmtArg(0)};
  dbgVPanicArgs(format, list, sizeof...(A));
}

extern "C" {
// C-callable forms for plug-ins (see uVSprintf for how arguments are read).
void dbgPrintfC(const char* format, ...);
void dbgVPrintf(const char* format, va_list args);
void dbgPanicC(const char* format, ...);
void dbgVPanic(const char* format, va_list args);
}

// The log sink: writes text (up to length characters or the first
// terminator) to the log file and the log window when they exist.
void dbgLogAppend(const char* text, size_t length);

// Opening the sink. Nothing in the program opens it by default, so log text
// is dropped unless one of these has been called.
bool dbgLogFileOpen(const char* path);     // appends; false when it cannot open
void dbgLogFileClose();
HWND dbgWinCreate(HWND parent);            // the log window "FE_Window" with its edit control
HWND dbgWinControl();                      // the current log edit control, or null
void dbgWinFree(HWND window);
void dbgTerm();                            // shut-down: frees the window, closes the file

// The number of characters of log text the log window has handled.
size_t dbgWinCharCount();

// A further sink that receives every piece of log text as it is appended,
// for callers that capture the log (a run that prints it, tests). Null
// removes it.
typedef void (*dbgLogHook)(void* context, const char* text, size_t length);
void dbgSetLogHook(dbgLogHook hook, void* context);

// The debugger hand-off after an alert or a panic box: when the Ctrl key is
// down and the program was started with switch d, message goes to the
// debugger output and a breakpoint is raised.
void dbgHandOffIfAsked(const char* message);

// What alerts and panics ask of the layers above the runtime. The program's
// start-up sets them; each left null does nothing (a panic is then always
// shown, and a fatal alert only posts the quit message).
struct dbgHooks {
  // Tells the document windows whether an alert box is open (1 before the
  // box, 0 after).
  void (*setAlertActive)(int flag);
  // The interpreter's quit (the at-quit routines, then the quit message),
  // run by a fatal alert before it posts its own quit message with -1.
  void (*quit)();
  // Offers a panic text to the plug-in hook; an answer of 1 takes it and no
  // box is shown.
  intptr_t (*offerPanic)(const char* text);
};
void dbgSetHooks(const dbgHooks& hooks);
const dbgHooks& dbgGetHooks();

// The interpreter's debug flag word (set by aSetDebugFlags). Any non-zero
// value makes trace alerts visible.
uint32_t dbgFlags();
void dbgSetFlags(uint32_t flags);

#endif
