// What the script runner adds for tests.
//
// A recording "getinfo" stands in for the edit-object tool of the
// object-information panel: each message it gets becomes one line of
// interpreter output beginning "[getinfo] ": "open", "begin", one per field
// ("text", "choice" or "more", "read-only" when it is, then "name=value"),
// "end", "title <title>", "closed".
//
// The runner registers them after the module set-ups; the program never has
// them.
#ifndef PLUMET_APP_FERUN_STANDINS_H
#define PLUMET_APP_FERUN_STANDINS_H

#include <cstdint>

// Registers the class "getinfo" (when missing) and the operator tLoadLib.
void standinsInit();

// The operator tLoadLib ("C#I", app/ferun/loadlib.cpp): loads a library by
// name and calls its ordinal 1 as the program's plug-in loader does; answers
// 0, -1 when the library cannot be loaded, -2 when it has no ordinal 1 (it
// stays loaded). Libraries stay loaded until the run ends.
void standinsLoadLibInit();

#endif
