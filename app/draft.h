// The interpreter and module start-up (draftInit) and the shut-down
// routines (draftExit, appClose).
#ifndef PLUMET_APP_DRAFT_H
#define PLUMET_APP_DRAFT_H

#include <cstddef>
#include <cstdint>
#include <string>

// One module set-up in the order draftInit runs them. group is the poll
// group: the Escape/Pause poll runs before group 1 and after every group.
// A module whose subsystem does not exist yet has no routine and is skipped.
struct draftModule {
  const char* name;
  int group;
  void (*init)();
};
const draftModule* draftModules(size_t* count);

// Starts the interpreter: from the compiled image at path, or fresh when
// path is null. A failed image is reported ("FInsufficient memory to load"
// for 270, else "WCannot find or read *.FEB file [^0]" with the code) and
// the interpreter then starts fresh. Answers the image's result (0 without
// a path or on success).
int feInit(const char* path);

// Runs the procedure "start" when the dictionary stack defines it. An error
// that ends it goes to handleerror (the report of the last error, once).
// Answers the run's error code (0 when "start" is not defined).
int feRunStart();

// The FE utility set-up: starts the user-interface layer and registers the
// configuration-file and script-access operators.
void feutilInit();

// The script search path's directory: "/Defaults/FEPath" of the
// configuration file, else the program's directory; always ending in "/".
std::string draftFEPathDir();

// The name of the file in directory dir that matches name without regard to
// case: the name itself when a file of exactly that name exists or none
// matches, else the first match found.
std::string draftFindNoCase(const std::string& dir, const std::string& name);

// Whether start-up runs from the script sources (switch f, or an image
// that could not be used).
bool draftSourceMode();

// The eight timing samples (1/60-second ticks) of the last draftInit.
const uint32_t* draftTimingSamples();

// Whether draftInit is running (the start-up scripts and "start").
bool draftStartingUp();
// Whether the last draftInit failed: the interpreter did not start, the
// language file or "draft.fe" could not be run or raised an error, "start"
// ended with an error, an error report was made during start-up, or
// draftInit was left by an exception.
bool draftStartFailed();

void draftInit();

// The program's environment for scripts run from the command line: the
// hooks, a fresh interpreter and every module set-up in the start-up order,
// without the interrupt polls, the search path, the language file,
// "draft.fe" or "start", and without a window. Answers the interpreter's
// start result.
int draftInitForScripts();
void draftExit();
void appClose();

#endif
