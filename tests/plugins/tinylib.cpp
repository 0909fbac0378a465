// The smallest library for the loader's tests: one named function and,
// unless built with TINYLIB_NO_ORDINALS, a table of ordinals 1 and 5 with a
// gap between them.
#include <ordinals.h>

#define TINY_EXPORT extern "C" __attribute__((visibility("default")))

TINY_EXPORT int tinyAnswer(void) { return 42; }

#ifndef TINYLIB_NO_ORDINALS
namespace {

INT_PTR WINAPI one() { return 1; }
INT_PTR WINAPI five() { return 5; }

const FARPROC ordinals[] = {nullptr, one, nullptr, nullptr, nullptr, five};

}  // namespace

TINY_EXPORT const plOrdinalTable plumet_ordinals = {PL_ORDINALS_MAGIC, PL_ORDINALS_VERSION,
                                                    sizeof ordinals / sizeof ordinals[0], ordinals};
#endif
