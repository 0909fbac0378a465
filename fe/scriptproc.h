// Script procedures that native code runs by name. The scripts (the bundled
// draft.fe and lang.fe, or the image made from them) define them; a name the
// scripts leave undefined does nothing.
#ifndef PLUMET_FE_SCRIPTPROC_H
#define PLUMET_FE_SCRIPTPROC_H

#include <cstddef>

// The names native code runs, with what it hands them.
struct scriptProcedure {
  const char* name;
  const char* given;  // what is on the operand stack when it runs
};
const scriptProcedure* scriptProcedures(size_t* count);

// Whether the dictionary stack defines name.
bool scriptDefined(const char* name);

// Runs the procedure name through feRunString (errors reported through
// handleerror) when it is defined; answers the run's error code, or 0 when
// it is not defined.
int scriptRunByName(const char* name);

#endif
