// Shared between the parts of the expression evaluator.
#ifndef PLUMET_FE_EXPEVAL_INTERNAL_H
#define PLUMET_FE_EXPEVAL_INTERNAL_H

#include "fe/expeval.h"

#include <cstdint>

// Whether c is a decimal separator: the configured one, "." or ",".
bool expIsSeparator(char c);
// White space and the soft hyphen (0xAD) separate tokens.
inline bool expIsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' ||
         static_cast<unsigned char>(c) == 0xAD;
}
// ASCII letters and "_" start an identifier; digits may follow.
inline bool expIsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
inline bool expIsIdentChar(char c) { return expIsIdentStart(c) || (c >= '0' && c <= '9'); }

// A function call name(args...): args points behind the opening
// parenthesis, end at the end of the whole text. Splits the arguments at ";"
// (outside nested brackets), evaluates each with reader and resolver, runs
// the procedure (aliases applied) with a mark and the arguments as reals on
// the operand stack, and takes the value it leaves on top. *after receives
// the position behind the closing parenthesis.
int expCallFunction(const char* name, int32_t nameLength, const char* args, const char* end, expTermReader reader,
                    expTermReader resolver, double* value, const char** after);

#endif
