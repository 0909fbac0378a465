// Hooks for tests of operator calls. Not used by the program itself.
#ifndef PLUMET_FE_OPERATOR_TEST_H
#define PLUMET_FE_OPERATOR_TEST_H

// While off, feCallOp skips the direct shortcuts and the call plans and runs
// every signature through the general argument machine, so that a test can
// run the same script both ways and compare. On by default.
void feOpTestUseShortcuts(bool on);

#endif
