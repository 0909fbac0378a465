// Where the runtime and the interpreter call up into the layers above them
// (alerts, panics, the out-of-memory path, the interrupt poll), they declare
// a hook; this sets every one of them to the module that answers it. The
// program's entry calls it first, and so does every run in the program's
// environment.
#ifndef PLUMET_APP_HOOKS_H
#define PLUMET_APP_HOOKS_H

void appInstallHooks();

#endif
