// The macro table. Header include, which fills it, comes later; until then
// no macro is defined.
#include "fe/macro.h"

bool feMacroFind(const char*, size_t, const char**, size_t*) { return false; }
