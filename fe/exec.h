// Running FE text from native code.
#ifndef PLUMET_FE_EXEC_H
#define PLUMET_FE_EXEC_H

// Runs text as FE source with errors reported through handleerror; answers 0
// or the interpreter error code.
int feRunString(const char* text);

#endif
