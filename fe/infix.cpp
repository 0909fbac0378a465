// The infix compiler is not built yet: an expression answers 275
// (unimplemented).
#include "fe/infix.h"

#include "fe/errors.h"

int feInfixRead(feObject*, feObject*) { return feErrUnimplemented; }
