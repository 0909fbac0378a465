// Text helpers shared by the whole program: natural-order comparison of
// names, case-blind equality, duplication into allocator blocks and "^N"
// placeholder expansion.
//
// Characters are compared as unsigned bytes; only the ASCII letters "A"-"Z"
// are folded to lower case. A null string counts as empty.
#ifndef PLUMET_CORE_TEXT_H
#define PLUMET_CORE_TEXT_H

#include <cstdint>

// Natural-order comparison of a and b over at most limit characters (a
// negative limit: no limit). Answers 0 when the strings match case-blind
// (or their first limit characters do), else a value whose sign orders them:
// - normally the difference of the first differing characters;
// - when at least one character matched and from the first difference on
//   both strings (up to their ends or the limit) are digits only, the two
//   digit runs are compared as numbers, each read as "1" followed by its
//   digits, so "Layer 2" < "Layer 10" and "a2" < "a02". The answer is then
//   the difference of those numbers when both runs have at most 9 digits,
//   else -1 or 1 (a longer run is the greater);
// - digits at the very first character compare as characters ("10" < "9").
int uStrNatCmp(const char* a, const char* b, int limit);
int uStrNatCmpAll(const char* a, const char* b);

// qsort comparator over two pointers to const char*: the natural order, and
// for names that tie there the byte order (-1, 0 or 1), so that sorting is
// deterministic ("A" before "a").
int uStrNatCmpPtr(const void* pa, const void* pb);

// True when the two counted strings have the same length and equal bytes
// after folding "A"-"Z" to lower case. Every byte counts, a zero byte too.
bool uAlphaEq(const char* a, uint32_t lengthA, const char* b, uint32_t lengthB);

// A new allocator block of length + 1 bytes holding the first length bytes
// of text and a terminator (text may be null only with length 0). When
// handle is given, the block it held is freed and the new one stored there;
// text may lie inside that old block. Answers the new block, or null when no
// memory was given (the handle then keeps its block).
char* uStrDup(const char* text, uint32_t length, char** handle);

// Expands the first length bytes of tmpl into a new allocator block (free it
// with uFree): "^N" (N one digit) becomes args[N], lengths[N] bytes of it or
// all of it when lengths is null (a null args[N] is empty); a placeholder
// whose digit is not below count is dropped; every other byte, a "^" not
// followed by a digit included, is copied. Answers null when no memory was
// given.
char* uStrSubst(const char* tmpl, uint32_t length, int count, const char* const* args,
                const uint32_t* lengths);

#endif
