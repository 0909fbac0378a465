// Test seam of the error module.
#ifndef PLUMET_FE_ERROR_TEST_H
#define PLUMET_FE_ERROR_TEST_H

// Replaces errordict by a fresh one that holds only the built-in
// handleerror (also under "errordict" in systemdict), so that handlers a
// test defined do not reach other tests, and clears "newerror".
void feErrorTestResetHandlers();

#endif
