// The expression evaluator: the arithmetic that users may type wherever a
// value is asked for (a length, an angle, a driving value), such as
// (w - 2*gap) / 3 or max(a; b). It knows neither units nor variables: the
// caller hands it a number reader (which may understand unit marks and
// answers a number with a unit tag) and an identifier resolver (variables).
//
// Values carry a unit tag: the power of the length unit (0 a plain number,
// 1 a length, 2 an area...). "*" adds tags, "/" and ":" subtract them; "+",
// "-" and the comparisons first bring the operand with the lower tag to the
// higher one through the tag converter (the units module installs it).
//
// Precedence, tighter first: unary "-" (binds to the right, "--2" is 2; a
// unary "+" is ignored), "*" "/", "+" "-", ":" (a ratio: 3:4 is 0.75), the
// comparisons < > <= >= == != (1.0 or 0.0), "&&", "||". Parentheses and
// braces group. A function call name(a; b; ...) (arguments separated by
// ";") runs the FE procedure name with a mark and the arguments as reals on
// the operand stack and takes the value it leaves on top; the operand stack
// is put back to its depth before the call whatever the procedure did.
// "if" and "ifelse" call the procedure IF.
#ifndef PLUMET_FE_EXPEVAL_H
#define PLUMET_FE_EXPEVAL_H

#include <cstdint>

// Error codes the evaluator answers besides those of its reader, resolver
// and called procedures.
enum {
  expErrOverflow = -1,        // value or operator stack full, nesting too deep, unbalanced brackets
  expErrNoReader = -2,        // a number and no number reader
  expErrTwoOperands = -3,     // an identifier right after an operand
  expErrBadResult = -10,      // a function left a value that is not a number or boolean
  expErrNoResult = -12,       // a function left nothing
  expErrMissingLeft = -4134,  // a closing bracket without an operand before it
  expErrSyntax = -4135,       // a malformed expression
};

// A number reader or identifier resolver: reads from *cursor (at most
// length bytes), advances *cursor past what it read and stores the value and
// its unit tag. Answers 0 or an error code.
typedef int (*expTermReader)(const char** cursor, int32_t length, double* value, int16_t* tag);

// Evaluates length bytes of text. reader and resolver may be null (a number
// then answers -2, an identifier -4135). On success stores the value and its
// tag (tag may be null) and answers 0; on an error the outputs are left alone.
int expEval(const char* text, int32_t length, expTermReader reader, expTermReader resolver, double* value,
            int16_t* tag);

// Reads one numeric literal at *cursor (at most length bytes) into *value and
// advances the cursor; answers 0. A leading "0" reads octal, "0x" or "0X"
// hexadecimal, otherwise decimal; digits run 0-9, a-z (or A-Z) for 10-35 and
// are taken while below the base; "_" between digits is skipped; "#" makes
// the value read so far the base of the digits that follow (16#FF is 255);
// a decimal separator (the configured one, "." or ",") is followed by decimal
// fraction digits; "e", an optional sign and decimal digits scale by a power
// of ten (an "e" without digits is left unread).
int expParseNumber(const char** cursor, int32_t length, double* value);

// The plain number reader: expParseNumber with tag 0.
int expReadPlainNumber(const char** cursor, int32_t length, double* value, int16_t* tag);

// The identifier resolver of the drawing's variables: reads an identifier
// (letters, digits, "_") and asks resolveFindVar for its value; answers its
// code when the name is unknown (-4141, VarNotDefined).
int expParseIdent(const char** cursor, int32_t length, double* value, int16_t* tag);

// Evaluates a text of plain numbers and variables (expReadPlainNumber and
// expParseIdent): the "?" and aExpEval operators, and a factor parser of the
// typed-array operators (feValueParser).
int expEvalFactor(const char* text, int32_t length, double* out);

// x raised to the integer n by repeated squaring; x^0 is 1, x^-n is 1/x^n.
double expIntPow(double x, int32_t n);

// Converts value from tag from to tag to (to is the higher) with the current
// units; installed by the units module. Without one the value stays as it is.
typedef double (*expTagConverter)(double value, int16_t from, int16_t to);
void expSetTagConverter(expTagConverter converter);

// The decimal separator, initially ".".
char expDecimalSeparator();
void expSetDecimalSeparator(char separator);

// Module set-up: unless the separator is already ",", takes systemSeparator
// (the regional setting; the caller asks the user-interface layer, selector
// 101) when it can serve as one (not a digit, letter, blank or operator
// character); then registers "?" and aExpEval ("S#R": text -> value).
void expEvalInit(char systemSeparator);

#endif
