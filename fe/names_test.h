// Hooks for tests of the name table. Not used by the program itself.
#ifndef PLUMET_FE_NAMES_TEST_H
#define PLUMET_FE_NAMES_TEST_H

#include <cstdint>

// The entry array's capacity (in entries) and the pool's bytes in use.
uint32_t feNamesTestCapacity();
uint32_t feNamesTestPoolUsed();

// Removes every name whose index is count or above (a test gives back the
// names it added); the capacities stay. Ignored unless 1 <= count < the
// current count.
void feNamesTestTruncate(uint32_t count);

#endif
