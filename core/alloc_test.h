// Hooks for tests of the allocator: a system allocator that refuses on
// demand, and a way back to the start state of the reserve and the
// statistics table. Not used by the program itself.
#ifndef PLUMET_CORE_ALLOC_TEST_H
#define PLUMET_CORE_ALLOC_TEST_H

#include <cstddef>

// Replaces the system's resize call used for blocks and for the reserve; it
// is called like realloc and must answer blocks that free() accepts, or null
// to refuse. Null restores realloc.
void uSetSystemRealloc(void* (*resize)(void*, size_t));

// Frees the reserve block and restores the start state: size 131072, no
// block, not yet taken.
void uReserveTestReset();

// Empties the statistics table.
void allocInfoTestReset();

#endif
