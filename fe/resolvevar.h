// The variable look-up of expressions: the parametric solver's variable
// table while a resolve runs, else the drawing's variables.
//
// Stand-in: until the parametric solver and document variables exist, every
// name is unknown.
#ifndef PLUMET_FE_RESOLVEVAR_H
#define PLUMET_FE_RESOLVEVAR_H

#include <cstdint>

// The value of the variable name (length bytes, compared over that length)
// in *value with its unit tag in *tag; 0, or an error code: -4141
// (VarNotDefined) for an unknown name.
int resolveFindVar(const char* name, int32_t length, double* value, int16_t* tag);

#endif
