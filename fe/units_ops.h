// The script face of units: reading typed values (lengths with unit names,
// angles in degrees, minutes and seconds, plain factors) through the
// expression evaluator, the conversions by kind name that native code uses,
// the units operators and the converters of the typed-array operators.
//
// Length terms: a number, optionally a fraction ("1/2", or a whole number and
// a fraction "1 1/2" with a blank or the soft hyphen 173 between them), then
// optionally a unit name or mark (' and " when a unit has them as names).
// A term with a unit is in internal units and has unit tag 1; several such
// parts in a row are added (1' 6", 1'-6 1/2"). A number without a unit has
// tag 0 and is taken in the first display unit.
//
// Angle terms: parts of a number (optionally signed), an optional fraction,
// and an optional mark after blanks or soft hyphens: the degree character
// (176 or 223), "'" minutes, the double quote seconds; the parts are added
// (30° 15' 36" is 30.26 degrees). Angles are read in degrees and answered in
// turns.
#ifndef PLUMET_FE_UNITS_OPS_H
#define PLUMET_FE_UNITS_OPS_H

#include "core/units.h"
#include "fe/script.h"

#include <cstdint>

// Codes answered by the readers.
enum {
  unitErrBadTerm = -7,         // a term that is not a number with a known unit
  unitErrDimension = -4136,    // the result has the wrong dimension
};

// The term readers handed to expEval (expTermReader).
int unitReadLengthTerm(const char** cursor, int32_t length, double* value, int16_t* tag);
int unitReadAngleTerm(const char** cursor, int32_t length, double* value, int16_t* tag);

// Text to a value of a dimension (0 plain, 1 length, 2 area, 3 volume): a
// result without unit is taken in the first display unit once per
// dimension; a result of another dimension answers -4136. Dimension 10 is
// read as a length. 0 or an error code; *out is set only on success.
int unitParseValue(const char* text, int32_t length, int32_t dimension, double* out);
// A length (aStringToLength) and an angle in turns (aStringToAngle).
int unitParseLength(const char* text, int32_t length, double* out);
int unitParseAngle(const char* text, int32_t length, double* out);

// Typed values by kind name: "len" (a length), "sca" (a plain number), "ang"
// (an angle), "int" (an integer). unitFormatByKind writes value (an integer
// or a real; "int" needs an integer) as a new heap text from uAlloc that the
// caller frees, with its length: 0, 269 (typecheck) or -1 for an unknown
// kind. unitParseByKind reads length bytes of text: "len" and "sca" as
// lengths or plain numbers, "ang" as an angle in turns (each a real), "int"
// as a plain number rounded to floor(x + 0.5) and clamped to 32 bits (an
// integer). Answers 0, the reader's code, or -1 for an unknown kind; out is
// a value made with feMakeReal or feMakeInt.
int unitFormatByKind(const char* kind, const feObject* value, char** text, int32_t* length);
int unitParseByKind(const char* kind, const char* text, int32_t length, feObject* out);

// The parsers and formatters of the typed-array operators
// (scriptRegisterOps).
scriptConverters unitScriptConverters();

// Keyed access to a units record, as scripts have it through the class
// "units" and aLengthSetParams. Codes: 1 "precision" (real: the step; the
// fraction flag follows it), 2 "format" (text: unit names), 3 "fraction",
// 4 "abrv", 5 "lead0", 6 "trail0" (booleans), 7 "value", 8 "dimension",
// 9 "precflag", 10 "internal", 11 "string".
enum {
  unitKeyPrecision = 1, unitKeyFormat, unitKeyFraction, unitKeyAbrv, unitKeyLead0, unitKeyTrail0,
  unitKeyValue, unitKeyDimension, unitKeyPrecFlag, unitKeyInternal, unitKeyString,
};
// The code of a key (a name or a string), or 0.
int unitKeyCode(const feObject* key);
// Sets codes 1-6 (269 for a value of the wrong type; 281 for another code).
int unitRecordSet(unitsRec* record, int code, const feObject* value);
// Makes *out the value of codes 1-6, 9 (the precision code: 128 + k for a
// binary step 1/2^k shown as fractions, else the decimals) and 10 (true
// when the internal unit is the millimetre); 281 for another code.
int unitRecordGet(const unitsRec* record, int code, feObject* out);

// Called by aSetMM after the mode word changed, with the new word, so that
// the current document keeps it (the document module sets it).
typedef void (*unitModeStore)(uint32_t word);
void unitSetModeStore(unitModeStore store);

// Registers the units operators in their fixed order: aSetMM, aGetMM,
// aAngleSetParams, aAngleGetParams, aLengthSetParams, aLengthToString,
// aScaleToString, aCV2S, aCS2V, aScalar2S, aStringToLength, aStringToAngle,
// aAngleToString, aValueToString, aStringToValue, aDefUnit, aCnvtInternal,
// aPrUnits, aUnits, aUnitThreshold; and installs the evaluator's tag
// converter.
void unitOpsRegister();

#endif
