// Infix expressions: after "//(" the scanner hands its source to the infix
// compiler, which reads up to the matching ")" and answers one procedure
// holding the equivalent postfix code.
#ifndef PLUMET_FE_INFIX_H
#define PLUMET_FE_INFIX_H

#include "fe/value.h"

// Reads the expression from source (after "//(") through the scanner's
// character reader: 0 with the procedure in *out, 259 at the end of the
// source, or an error code.
int feInfixRead(feObject* source, feObject* out);

#endif
