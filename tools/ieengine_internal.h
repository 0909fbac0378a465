// The input engine's state, shared by its functions and its operators.
#ifndef PLUMET_TOOLS_IEENGINE_INTERNAL_H
#define PLUMET_TOOLS_IEENGINE_INTERNAL_H

#include "tools/ieengine.h"

#include <cstdint>

namespace ie {

enum { codesMax = 31 };

struct engineState {
  char snapCodes[codesMax + 1];
  iePosFilterFn callback;
  uintptr_t userData;
  uint16_t flags;
};

engineState& engine();

// Empties the stack of saved states (their contexts hold no use counts).
void stackClear();
// The number of saved states.
int stackDepth();

}  // namespace ie

#endif
