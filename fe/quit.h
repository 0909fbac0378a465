// The at-quit routines and the quit request. `quit` runs the routines, last
// registered first, each once (a routine added meanwhile runs in the same
// quit), then posts the quit message; the program ends when the main loop
// sees it.
#ifndef PLUMET_FE_QUIT_H
#define PLUMET_FE_QUIT_H

typedef void (*feQuitRoutine)();

void feAtQuit(feQuitRoutine routine);

// The routine behind the operator quit: runs the at-quit list and posts the
// quit message with exit code 0.
void feQuitRun();

#endif
