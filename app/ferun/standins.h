// What the script runner adds for tests while the classes and the drawing
// file of later steps do not exist yet: the class "tseg" (a graphic object
// with two points), and operators that save an array of objects to a
// drawing file and read them back into the current document.
//
//   tSave   name array -> code            writes the objects (version 4)
//   tOpen   name     -> array code        reads every object of the file
//
// Codes are 0 or the negative code of the drawing file. The runner
// registers these after the module set-ups; the program never has them.
#ifndef PLUMET_APP_FERUN_STANDINS_H
#define PLUMET_APP_FERUN_STANDINS_H

#include <cstdint>

// Registers the class "tseg" and the operators above (once).
void standinsInit();

// The id of "tseg" (0 before standinsInit).
uint16_t tsegClassId();

#endif
