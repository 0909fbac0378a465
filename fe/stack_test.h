// Hooks for tests of the interpreter stacks. Not used by the program itself.
#ifndef PLUMET_FE_STACK_TEST_H
#define PLUMET_FE_STACK_TEST_H

#include <cstdint>

// The allocation statistics of "feStack": blocks held (in use or waiting in
// the recycling list) and their bytes.
int32_t feStackTestBlocks();
uint32_t feStackTestBytes();
// Blocks of capacity 40 waiting to be reused (at most 4).
int feStackTestRecycled();

#endif
