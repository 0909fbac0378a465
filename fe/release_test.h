// Test hook of the bodies' lifetime. Not used by the program itself.
#ifndef PLUMET_FE_RELEASE_TEST_H
#define PLUMET_FE_RELEASE_TEST_H

#include "fe/value.h"

// Told of every array and dictionary body as it is made (made true) and as
// its memory is freed (made false): a bounded run of untrusted script text
// keeps the set of live bodies with it, to find the reference cycles that
// counting never frees. Null (the default) removes it.
typedef void (*feBodyWatcher)(void* body, bool dict, bool made);
void feTestSetBodyWatcher(feBodyWatcher watcher);

#endif
