// Script access from native code: running a formatted line of FE source,
// taking numbers, strings, points and matrices out of interpreter values,
// pushing results on the operand stack, converting points between the work
// plane and the world, and the typed arrays (lengths, angles, factors) that
// users type as text items separated by ";".
#ifndef PLUMET_FE_SCRIPT_H
#define PLUMET_FE_SCRIPT_H

#include "core/format.h"
#include "fe/value.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>

// ---- Running script text ----

// Runs text (length bytes) as FE source through feRunString: a fresh
// execution stack, errors reported through handleerror. Answers the run's
// error code. A text longer than 65535 bytes (the longest string) answers
// 270 (limitcheck) and one holding a NUL byte 260 (syntaxerror); neither
// runs, so a text is never cut into a different, shorter script.
int feExecText(const char* text, size_t length);

// Formats a line with the program's engine and runs it as feExecText does.
// The text is built in a growing buffer: there is no 256-character limit.
// The operand stack is left as the run leaves it (a procedure that answers
// through the stack, such as "aPrefFile", leaves its result there); callers
// that read results back and need the stack put back use feCallScript.
int feExecfArgs(const char* format, const uFmtArg* args, size_t count);
template <class... A>
int feExecf(const char* format, const A&... args) {
  const uFmtArg list[] = {uFmtArg(args)..., uFmtArg(0)};
  return feExecfArgs(format, list, sizeof...(A));
}

extern "C" {
// The C-callable forms, for plug-ins (the export table's feExecf): the
// arguments are read as uVSprintf reads them. The buffer grows up to the
// longest string; a longer text answers 270 without running.
int feExecfC(const char* format, ...);
int feVExecf(const char* format, va_list args);
}

// ---- Calling a script procedure and reading back its results ----
//
// Native code that hands a procedure its arguments on the operand stack
// (often inside a mark) and reads a result back must not clear the stack by
// looking for a mark afterwards: a procedure that consumed the mark, or left
// one of its own, would make that clean-up remove values that belong to the
// caller's caller. Instead the depth is recorded before anything is pushed
// and the stack is put back to exactly that depth.

// The number of values on the operand stack.
int32_t feOperandDepth();
// Pops and releases values until the operand stack holds depth values; a
// stack that holds depth values or fewer is left alone.
void feOperandRestore(int32_t depth);

// Records the depth, pushes a mark when withMark is set, then copies of the
// count values of args (bottom first), and runs source (length bytes of FE
// text, typically a procedure's name) as feExecText does. With result not
// null and a successful run, the value on top (above the recorded depth) is
// moved into *result, holding its reference for the caller; when the run
// left nothing above the recorded depth the answer is 263 (stackunderflow).
// In every case the operand stack is then put back to the recorded depth.
// Answers the run's error code, the push's error (270), or 263; on any
// error *result is null.
int feCallScript(const char* source, size_t length, bool withMark, const feObject* args, int32_t count,
                 feObject* result);

// ---- Taking values apart (0 or 269, typecheck) ----

// A string or a name: its characters (not terminated; valid while the value
// and, for a name, the name pool stay as they are) and length. A null value
// pointer stores a null text and length 0 and answers 269; any other type
// answers 269 without touching the outputs.
int feGetString(const feObject* value, const char** text, int32_t* length);
// An integer or a real as a double.
int feGetRealArg(const feObject* value, double* out);
// An integer only.
int feGetIntArg(const feObject* value, int32_t* out);
// An array of exactly 3 (feGetVec3) or 9 (feGetMat3) numbers. On an error the
// output is left as it was.
int feGetVec3(const feObject* value, double out[3]);
int feGetMat3(const feObject* value, double out[9]);
// Copies the numbers of an array into out. *count gives the room on entry and
// holds the numbers copied on return. Answers 269 for a value that is not an
// array (count 0) or on an element that is not a number (count: the
// elements copied before it); -1 when the array holds more elements than the
// room; 0 otherwise (an empty array gives count 0).
int feGetRealArray(const feObject* value, int32_t* count, double* out);
// Pops the top operand and releases it: 1 when it was the boolean true, 0
// for anything else (an integer 1 included) and for an empty stack.
int fePopBool();

// ---- Pushing values on the operand stack ----
// Each answers 0, or 270 when the operand stack is at its limit or the text
// is too long (nothing is pushed then).

// A new string holding a copy of length bytes of text (zeros when text is
// null).
int fePushString(const char* text, size_t length);
int fePushReal(double value);
int fePushInt(int32_t value);
int fePushMark();
// A program-object reference to record, whose reference count is raised; a
// null record pushes null.
int fePushValue(void* record);
// An array of three reals. Mode 1 converts the world point to work-plane
// coordinates as a point, mode 0 as a direction; any other mode pushes the
// coordinates unchanged. point itself is not changed.
int fePushPoint(int mode, const double point[3]);
// A new array of n reals in *out (holding its first reference); 270 when n
// is above 65535.
int feMakeRealArray(feObject* out, const double* values, uint32_t n);

// ---- Work-plane conversion ----

// Converts three doubles in place with the work-plane converter installed
// through feSetPointConverter (fe/signature.h), the same one that AP and AV
// signature groups use: flag 1 plane to world as a point, 2 plane to world
// as a direction, 257 world to plane as a point, 258 world to plane as a
// direction. Without a converter installed the point stays as it is. Any
// other flag reports the internal error "bad flag", leaves the point and
// answers 267; otherwise the answer is 0 (or 270 when the operand stack has
// no room for the conversion's working values).
int ptConvertByFlag(double point[3], int flag);

// ---- Typed arrays ----
//
// Typed values that users type (lengths, angles, plain factors) are read by
// a parser and written by a formatter that the units module provides. The
// text form of an array of them is up to 16 items separated by ";" (read) or
// joined with "; " (written).

enum { feTypedArrayMax = 16, feTypedItemMax = 250 };

// Reads length bytes of text as one value into *out: 0 or an error code.
// The text is passed terminated (the terminator is not counted in length).
typedef int (*feValueParser)(const char* text, int32_t length, double* out);
// Writes value as a terminated text of at most size - 1 characters into out;
// precision -1 asks for the current setting. The answer is not used.
typedef int (*feValueFormatter)(double value, int32_t size, char* out, int32_t precision);

// Splits length bytes of text at each ";" and parses each item into out
// (room for feTypedArrayMax values); answers the number of items read. The
// last item (after the last ";") has its leading blanks skipped and is left
// out when nothing remains. Reading stops after feTypedArrayMax items. An
// item the parser rejects gives 0.0. The text is never written to: each
// item is handed to the parser as a copy.
int32_t feTypedArrayRead(const char* text, size_t length, feValueParser parser, double* out);

// Formats each number of array (integers and reals; any other element
// answers 269, as does a value that is not an array) with the formatter,
// each into at most feTypedItemMax characters, joined with "; ". On success
// *text is a new heap block from uAlloc holding the terminated text (null
// for an empty array) and *textLength its length; on an error nothing is
// left to free. A text longer than 65535 bytes answers 270.
int feTypedArrayWrite(const feObject* array, feValueFormatter formatter, char** text, int32_t* textLength);

// The parsers and formatters behind the typed-array operators.
struct scriptConverters {
  feValueParser length;         // aStringToLength: a length with units
  feValueParser angle;          // aStringToAngle: an angle, answered in turns
  feValueParser factor;         // a plain factor; expressions allowed (the "?" evaluator)
  feValueFormatter lengthText;  // a length in the current units
  feValueFormatter angleText;   // an angle
  feValueFormatter factorText;  // a plain number with the current units' decimals
};

// Registers, in this order: aStringToLengthArray, aStringToAngleArray,
// aStringToAngleArray2, aStringToFactorArray ("SP#O", the parser as the
// parameter word), aAngleArrayToString, aLengthArrayToString,
// aFactorArrayToString ("OP#S", the formatter as the parameter word),
// aPostFEWindow ("!", does nothing) and aSetLogFile ("O": null or a file
// value, 269 otherwise; no other effect). An operator whose parser or
// formatter is null answers 275 (unimplemented).
void scriptRegisterOps(const scriptConverters& converters);

#endif
