// What the script runner adds for tests while the curve classes of a later
// step do not exist yet: the class "tseg", a straight segment with two
// points "pt0" and "pt1" that scripts make with aCreate and that travels
// through drawing files. It answers what group operations and picking ask
// of a line: the box of a piece (304), a new length (316), the squared
// screen distance to a point (318), the pick test (349), the clean-up key
// and merge (411, 410) and the duplicate test (703). When no class "curve"
// exists, a pass-through "curve" under "gobject" is registered first and
// "tseg" goes under it, so that the operators that work on curves take it.
// The runner registers them after the module set-ups; the program never has
// them.
#ifndef PLUMET_APP_FERUN_STANDINS_H
#define PLUMET_APP_FERUN_STANDINS_H

#include <cstdint>

// Registers the classes "curve" (when missing) and "tseg" (once).
void standinsInit();

// The id of "tseg" (0 before standinsInit).
uint16_t tsegClassId();

#endif
