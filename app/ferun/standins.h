// What the script runner adds for tests while the curve classes of a later
// step do not exist yet: the class "tseg", a straight segment with two
// points "pt0" and "pt1" that scripts make with aCreate and that travels
// through drawing files. It answers what group operations and picking ask
// of a line: the box of a piece (304), a new length (316), the squared
// screen distance to a point (318), the pick test (349), the clean-up key
// and merge (411, 410) and the duplicate test (703). When no class "curve"
// exists, a pass-through "curve" under "gobject" is registered first and
// "tseg" goes under it, so that the operators that work on curves take it.
// "tseg" lists its points "pt0" and "pt1" (three number fields each) after
// the drawing attributes on message 346.
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

// Registers the classes "curve" (when missing), "tseg" (once) and
// "getinfo" (when missing).
void standinsInit();

// The operator tLoadLib ("C#I", app/ferun/loadlib.cpp): loads a library by
// name and calls its ordinal 1 as the program's plug-in loader does; answers
// 0, -1 when the library cannot be loaded, -2 when it has no ordinal 1 (it
// stays loaded). Libraries stay loaded until the run ends.
void standinsLoadLibInit();

// The id of "tseg" (0 before standinsInit).
uint16_t tsegClassId();

#endif
