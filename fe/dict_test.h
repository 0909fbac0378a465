// Hooks for tests of the dictionary module. Not used by the program itself.
#ifndef PLUMET_FE_DICT_TEST_H
#define PLUMET_FE_DICT_TEST_H

// Puts the dictionary stack back to a fresh systemdict and userdict, clears
// every name's look-up cache, sets the look-up counters to 0 and removes the
// overwrite hook.
void feDictTestReset();

#endif
