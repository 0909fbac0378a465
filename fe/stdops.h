// The standard operators of the FE language: the operand-stack operators
// (copy, index, roll, clear, count, mark, [, <<, cleartomark, counttomark,
// APP), arithmetic (add, sub, mul, div, element-wise over arrays), the
// mathematical operators (exp ... srand), the relational and logical ones
// (eq ... bitshift), conversions (cvx, cvlit, cvp, xcheck, cvi, cvr, cvrs),
// the string operators (string, anchorsearch, search) with the generic
// length, maxlength, getinterval and putinterval, and flush and echo, which
// do nothing.
//
// Numbers: integers are 32 bits; add, sub and mul of two integers answer an
// integer when the exact result fits and a real otherwise. No real result is
// ever infinite or NaN: such results, and div by zero, answer 274
// (undefinedresult).
#ifndef PLUMET_FE_STDOPS_H
#define PLUMET_FE_STDOPS_H

#include "fe/control.h"

#include <cstdint>

// Makes APP's continuation operator ("@app") once; it is never defined in a
// dictionary. The interpreter's start calls this right after feControlInit,
// so that its table index is the same in every run; later calls do nothing.
void feStdOpsInit();
// The continuation of APP (made by feStdOpsInit when needed), or null when it
// could not be made.
const feObject* feAppContinuation();

// The registration of one standard operator by name (handler and signature),
// or null for a name this module does not build. The interpreter's start
// registers them at their places in its fixed order.
const feOpSpec* feStdOpSpec(const char* name);

// The random generator's seed (1 at start): srand sets it, rrand answers it.
uint32_t feRandSeed();
void feSetRandSeed(uint32_t seed);

#endif
