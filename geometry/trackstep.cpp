// The tracking services installed for the drawing classes' 401 answers.
#include "geometry/trackstep.h"

namespace {

trkStepHooks installed{};

}  // namespace

void trkStepSetHooks(const trkStepHooks* hooks) { installed = hooks ? *hooks : trkStepHooks{}; }

const trkStepHooks* trkStepGetHooks() { return &installed; }
