// The output operators: aOut (the script sink), print, =, ==, stack, pstack
// and prompt. Everything they print goes through feOutWrite (fe/output.h).
#ifndef PLUMET_FE_OUTOPS_H
#define PLUMET_FE_OUTOPS_H

#include "fe/control.h"
#include "fe/opcall.h"

// The wrap limit of the syntax form that == and pstack print.
enum { feSyntaxWrapLimit = 60 };

// Handlers (signatures as registered).
int feOpAOut(feArgs* args);     // "!O"  installs the sink; null restores the default destination
int feOpPrint(feArgs* args);    // "O"   plain form
int feOpEqual(feArgs* args);    // "O"   "=": plain form, then "\r"
int feOpEqEq(feArgs* args);     // "O"   "==": syntax form wrapped at 60, then "\r"
int feOpStack(feArgs* args);    // ""    "=" of every operand, top first
int feOpPStack(feArgs* args);   // ""    "==" of every operand, top first
int feOpPrompt(feArgs* args);   // ""    "PS>"

// The registration of "aOut", "print", "=", "==", "stack", "pstack" or
// "prompt"; null for another name. The interpreter's start registers them
// at their places in its fixed order.
const feOpSpec* feOutOpSpec(const char* name);

#endif
