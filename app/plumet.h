// The program's entry: the command line, the floating-point control word
// kept as state, WinMain and doInit. What the command line sets is kept in
// core/startstate.h, where every layer reads it.
#ifndef PLUMET_APP_PLUMET_H
#define PLUMET_APP_PLUMET_H

#include <windows.h>

#include <cstdint>
#include <string>

// ---- The command line ----

// What the switches of a command line say. The switches come first: each is
// "/" or "-" followed by one letter, separated by blanks. Letter d also sets
// b; letter m sets the M flag (the control word is never applied); letter i
// takes the rest of the line (after blanks, an optional ":" or "=" and
// blanks) as the configuration-file name, whole whatever its length. Parsing
// stops at the first other character; what follows is the rest.
struct appCommandLine {
  uint32_t switches = 0;
  bool mFlag = false;
  bool iniGiven = false;  // switch i came with a name (not yet checked)
  std::string iniName;    // the name after switch i
  std::string rest;       // the command line after the switches
};

// Parses a command line. A line that begins with a double quote loses it,
// and the closing quote at its end when there is one (an unclosed quote
// loses no other character).
appCommandLine appParseCommandLine(const char* line);

// Whether a configuration-file name given with switch i is taken: it must
// hold no "*" or "?" and name an existing file (case aside). On success
// *fullPath is the file's full path; otherwise *reason (when given) says why
// not, in words for the user.
bool appAcceptIniName(const std::string& name, std::string* fullPath, std::string* reason = nullptr);

// The text that tells the user why the name given with switch i is not
// used: the reason and the name, a long name shortened in the middle
// ("...") so that the whole fits in an alert.
std::string appIniRefusalText(const std::string& name, const std::string& reason);

// The compiled image's path for the program module's path: a trailing
// ".exe" (any case) is removed and ".FEB" appended.
std::string appImagePathFor(const std::string& modulePath);

// ---- The floating-point control word ----
//
// The control word is kept as state only: on this platform floating-point
// traps stay masked (operators check their results instead), so applying it
// records the value and changes nothing in the processor.
enum : uint32_t {
  appFpDefault = 0x80016,  // denormal, invalid, overflow, underflow masked
  appFpMask = 0x8001E,     // the bits ever applied (inexact never)
  appFpUnderflowMasked = 0x2,
  appFpUnderflowCode = 133,
};
uint32_t appControlWord();          // the value
uint32_t appAppliedControlWord();   // the last value applied (after the mask)
void appSetControlWord(uint32_t value);
bool appMFlag();
void appSetMFlag(bool on);
// Applies the value with the mask unless the M flag is set.
void appApplyControlWord();

// The handlers' logic: a floating-point signal logs its code, masks
// underflow for good when the code is 133 and applies the control word
// again; an illegal instruction reports a panic and the program goes on.
void appSigFpe(int signal, int code);
void appSigIll(int signal);

// Resets the start-up state (switches, M flag, control word, command line,
// configuration name, translator mode) to its initial values: for tests.
void appResetStartState();

// ---- The entry ----

// Installs the handlers, applies the control word (with the self-test line
// under switch b or d without n), runs draftInit; answers 1.
int doInit();

// The program's entry: the single-instance test, the command line, appRun
// (frame window, configuration, doInit, the main loop), the close sequence.
// The recovery point catches the abort signal, reports it and runs the main
// loop again. Answers 0.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

#endif
