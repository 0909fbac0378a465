// Test seam of the translation module.
#ifndef PLUMET_CORE_XLATE_TEST_H
#define PLUMET_CORE_XLATE_TEST_H

#include <cstdint>

// Back to the start state: no table loaded, the missing list, the template
// file name and the interpreter-translation flag cleared, the pool and the
// pairs freed and the image blocks that pointed at them dropped.
void xlateResetForTest();

// The allocator blocks that hold the missing list's copies.
int32_t xlateArenaCount();

#endif
