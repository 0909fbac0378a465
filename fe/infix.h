// Infix expressions: after "//(" the scanner hands its source to the infix
// compiler, which reads up to the matching ")" and answers one procedure
// holding the equivalent postfix code; the scanner then has it executed.
// For example "x = a + b * 2" becomes {/x a b 2 mul add store}.
//
// Operands: words (runs of letters, digits, "." and "#" that begin with a
// letter or a digit) are numbers when they read as FE numbers and executable
// names otherwise; a number's exponent may carry a sign ("1e-5"). Strings
// are written in double quotes, with the escapes of FE strings. White space
// (as between FE tokens, the comma included) and the byte 0xAD are skipped.
//
// Operators, tightest first (equal ranks group from the left):
//   !a -a                 not, neg (prefix; "- -a" is a neg neg)
//   d:key  'name          d /key get, /name (no rank: they act on the word
//                         at once, so "-d:key" is d /key get neg)
//   **                    pow
//   * / %                 mul div mod
//   + -                   add sub
//   != == >= <= > <       ne eq ge le gt lt
//   && &                  and
//   || |                  or
//   x -= e   x += e       /x e 1 index load exch sub store, /x e 1 index load add store
//   x = e                 /x e store
//   a ; b                 both values stay
// Groups: ( ) groups; [ ] builds an array ([ ... ]); { } a nested procedure;
// f(a; b) a call: /f mark a b APP (f() gives /f mark APP).
#ifndef PLUMET_FE_INFIX_H
#define PLUMET_FE_INFIX_H

#include "fe/value.h"

// The compiler's own answers besides the interpreter's error codes.
enum {
  feInfixErrUnknown = -1,       // an unknown symbol, or more than 31 pending operators and groups
  feInfixErrMisplaced = -4135,  // a symbol where it cannot stand, or unbalanced groups
};

// The most operators and open groups pending at once.
enum { feInfixMaxPending = 31 };

// Reads the expression from source (after "//(") through the scanner's
// character reader, up to and including the ")" that ends it: 0 with the
// procedure (executable array) in *out; 259 (eof) when the source ends
// first (260 inside a string, as the string reader answers); 260
// (syntaxerror) for two operands in a row or a ":" or "'" not followed by a
// word; feInfixErrUnknown, feInfixErrMisplaced; 270 past 65535 values in
// one procedure; the reader's own errors as they are. The operand stack is not used. On an error *out
// is unchanged and the source has been read up to where the error was found.
int feInfixRead(feObject* source, feObject* out);

#endif
