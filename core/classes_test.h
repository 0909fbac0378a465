// Hooks for tests of the class registry. Not used by the program itself.
#ifndef PLUMET_CORE_CLASSES_TEST_H
#define PLUMET_CORE_CLASSES_TEST_H

#include "core/classes.h"

#include <cstdint>

// Drops the registry: the next registration creates it anew.
void objClassTestReset();

// A writable entry, so that a test can spoil its tag or links; null for an
// id that is not registered.
objClassRec* objClassTestEntry(uint16_t id);

// Adds unnamed classes (superclass 0, the root's handler, outside the name
// chain) until count classes exist, without the growth panics.
void objClassTestPad(uint32_t count);

#endif
