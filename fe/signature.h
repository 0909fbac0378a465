// Operator signatures: the text that says which operands an operator takes,
// how each is checked and converted, and which results it leaves. It is
// compiled once at registration into a short program of 16-bit codes, which
// the argument machine runs at every call.
//
// The text: an optional "!" (the handler's answer is ignored and its results
// are pushed whatever it answers), the inputs, then after "#" the results,
// then an optional documentation text between two slash characters. Blanks,
// tabs and line ends between elements are skipped. One element is an
// optional count (decimal, at least 1; "n" makes the element place nothing),
// a letter, an optional constant in angle brackets, an optional bracket text
// in [] or () (the part after its last colon names the class a Q operand
// must belong to; with a count only the first copy is checked) and, for A,
// AP and AV, a group in braces (at most four groups deep). Backslash escapes
// work in constants, bracket texts and the documentation.
//
// Letters (fe/opcall.h says what the handler receives for each): O B S C
// I L l i R P Q, D (inside a group only, as an input), A{...}, AP{...} and
// AV{...} (three doubles converted between work plane and world), AI AL Al
// Ai, AR AD, AS. "H" is reported and read as "i" ("AH" as "Ai"). Results
// take O B S C I L l i R D Q and the groups; an O member of a result group
// is a whole value (a feObject), a group inside a group is a pointer to its
// own block.
//
// Constants: B is 1 when the text agrees with "true" over the text's own
// length; the number letters read the text's first token as a number (a
// real is truncated toward zero for the integer letters); a text that is no
// number leaves the element an ordinary operand; S and C take the text. An
// element with a constant, and P, take no operand.
//
// Each call keeps its own storage: at most 20 heap temporaries (C copies and
// converted lists; a 21st is a typecheck), freed after the call.
#ifndef PLUMET_FE_SIGNATURE_H
#define PLUMET_FE_SIGNATURE_H

#include "fe/opcall.h"

#include <cstddef>
#include <cstdint>

// Compiles text with the parameter word for "P" elements. The codes go into a
// buffer reused by the next compilation (length in bytes). 0 or 260.
int feCompileSig(const char* text, const uint16_t** codes, int32_t* length, uintptr_t parameter);

// The documentation text of a compiled signature (the text between the two
// slash characters at its end); an empty text when it has none.
void feSigDoc(const uint16_t* codes, int32_t length, const char** text, int32_t* textLength);

// Runs one call: takes and converts the operands, calls the handler, pushes
// the results; on any error the operands are back on the stack as they were.
int argexec(feOpHandler handler, uintptr_t context, const uint16_t* codes, int32_t length);

// A call plan: a compiled program read once into a table of steps, for
// signatures made only of plain elements (O B I R Q operands, constants,
// O B I R Q results, no groups). Running it has the same effect as argexec
// on the same program. The plan points into codes, which must stay.
struct feSigPlan;
// The plan of a compiled program (heap, never freed), or null when the
// program has other elements and must run through argexec.
const feSigPlan* feSigPlanMake(const uint16_t* codes, int32_t length);
int feSigPlanRun(const feSigPlan* plan, feOpHandler handler, uintptr_t context);

// The converter of AP/AV groups between work-plane and world coordinates:
// flag 1 plane to world as a point, 2 as a direction, 257 world to plane as a
// point, 258 as a direction. Without one installed points pass unchanged.
typedef void (*fePointConverter)(double* point, int flag);
void feSetPointConverter(fePointConverter converter);
// The installed converter, or null.
fePointConverter feGetPointConverter();

#endif
