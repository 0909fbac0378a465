// What the script runner adds for tests while the line class of a later
// step does not exist yet: the class "tseg", a graphic object with two
// points "pt0" and "pt1" that scripts make with aCreate and that travels
// through drawing files. The runner registers it after the module set-ups;
// the program never has it.
#ifndef PLUMET_APP_FERUN_STANDINS_H
#define PLUMET_APP_FERUN_STANDINS_H

#include <cstdint>

// Registers the class "tseg" (once).
void standinsInit();

// The id of "tseg" (0 before standinsInit).
uint16_t tsegClassId();

#endif
