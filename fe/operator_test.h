// Hooks for tests of operator calls. Not used by the program itself.
#ifndef PLUMET_FE_OPERATOR_TEST_H
#define PLUMET_FE_OPERATOR_TEST_H

#include <cstdint>

// While off, feCallOp skips the direct shortcuts and the call plans and runs
// every signature through the general argument machine, so that a test can
// run the same script both ways and compare. On by default.
void feOpTestUseShortcuts(bool on);

// Runs before every operator call made through feCallOp, with the operator's
// table index: a non-zero answer is the call's result and the operator does
// not run (the hook may also throw to abandon the run). Lets a bounded run
// of untrusted script text count its steps and keep operators out. Null (the
// default) removes it.
typedef int (*feOpCallHook)(int32_t index);
void feOpTestSetCallHook(feOpCallHook hook);

#endif
