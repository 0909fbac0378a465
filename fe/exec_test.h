// Test hook of the execution loop. Not used by the program itself.
#ifndef PLUMET_FE_EXEC_TEST_H
#define PLUMET_FE_EXEC_TEST_H

// Runs before every step of the execution loop; it may throw to abandon the
// run, which then unwinds as for an abort. Lets a bounded run of untrusted
// script text end loops that call no operator at all (a procedure that runs
// itself by name): the loop itself never polls. Null (the default) removes
// it.
typedef void (*feExecStepHook)();
void feExecTestSetStepHook(feExecStepHook hook);

#endif
