// Units and value formatting as data and arithmetic.
//
// Lengths are held in an internal unit (the inch, or the millimetre when bit
// 0 of the internal-unit mode word is set) and shown in display units: a
// list of up to three units of the program-wide unit table (feet and
// inches), rounded to a step that is a decimal precision (0.001) or a binary
// fraction (1/16). Angles are held in turns and shown in degrees, decimal or
// as degrees, minutes and seconds.
//
// The current units record says how lengths are shown; it is the default
// record until a document makes its own current (objects/units_doc.h).
// Formatting writes terminated texts into caller buffers and never writes
// more than their size.
#ifndef PLUMET_CORE_UNITS_H
#define PLUMET_CORE_UNITS_H

#include <cstdint>

// ---- The unit table ----

// One named unit.
struct unitDef {
  double inchSize;     // size in inches
  double mmSize;       // size in millimetres
  char* names;         // names separated by single spaces ("millimeter millimeters mm"), allocator copy
  const char* abbrev;  // points into names at the last name
};

// Adds a unit, or redefines the unit whose names text is equal (case-blind):
// the sizes are replaced and the names copy kept. names is length bytes (a
// negative length: terminated). Answers the unit's index. The table grows 4
// entries at a time.
int32_t unitDefine(const char* names, int32_t length, double inchSize, double mmSize);
// The number of units and one entry (null outside the table).
int32_t unitCount();
const unitDef* unitAt(int32_t index);
// Removes every unit (for start-up from an image block and for tests).
void unitClearTable();
// Index of the unit that has a name equal (case-blind, whole length) to the
// length bytes of name: each name of each unit in table order, then their
// translated forms. -1 when none matches.
int32_t unitFindName(const char* name, int32_t length);
// Splits length bytes of text at blanks, skips unknown names and stores up to
// max indices in indices followed by -1 (indices needs max + 1 slots).
// Answers the number of indices stored.
int32_t unitParseList(const char* text, int32_t length, int32_t* indices, int32_t max);
// A unit's size in internal units (inches or millimetres by the mode word);
// 1 for an index outside the table.
double unitSize(int32_t index);

// ---- The internal-unit mode word ----

// Bit 0 set: the internal unit is the millimetre.
void unitSetMode(uint32_t word);
uint32_t unitGetMode();
// When bit 0 of the mode word is set, divides n values by 25.4 in place.
void unitFromMetric(int32_t n, double* values);

// ---- The units record ----

enum {
  unitFlagFraction = 2,   // fraction display (1/16)
  unitFlagAbbrev = 4,     // the unit abbreviation follows the number
  unitFlagLead0 = 8,      // a leading zero before the separator (0.25)
  unitFlagTrail0 = 16,    // trailing zeros up to the decimals (1.500)
  unitListMax = 3,        // units of one display list
};
constexpr double unitMinimumStep = 1e-9;

// The units record; a program object of class "units" when handed to
// scripts. Eight 32-bit words, as documents hold it. It begins like every
// program-object record (class id, reference count) so that script values
// referring to it count a byte of their own, never its flags; the count is
// permanent (255): the record belongs to the program or to a document.
struct unitsRec {
  uint16_t classId;             // the "units" class id once stamped (unitSyncField)
  uint8_t refCount;             // 255, permanent
  uint8_t spare;
  uint16_t flags;               // unitFlag* bits
  int16_t decimals;             // derived from the step, 0 to 9
  double step;                  // rounding step in display units, at least 1e-9
  int32_t units[unitListMax + 1];  // unit-table indices ended by -1
};
static_assert(sizeof(unitsRec) == 32, "the units record is eight words");

// Fills record with the default: flags 0, decimals 3, step 0.001, units
// {0 (the first unit, the inch), -1}; stamped with the class id and the
// permanent count.
void unitDefaultInit(unitsRec* record);
// The program-wide default record.
unitsRec* unitDefaultRecord();
// The current record (never null: the default record when none was set),
// and its switch (null sets the default record).
unitsRec* unitCurrent();
void unitSetCurrent(unitsRec* record);
// The record scripts receive from aUnits: a permanent stand-in for whichever
// record is current when it is used. Scripts may keep it as long as they
// like; a document's own record, which goes when the document goes, is
// never handed out. unitResolve maps the stand-in to the current record
// and answers any other record as it is.
unitsRec* unitCurrentHandle();
unitsRec* unitResolve(unitsRec* record);
// The current record's flags.
uint16_t unitGetFlags();
// The class id stamped into records handed to scripts (set by the "units"
// class's registration), and the stamp itself: answers record.
void unitSetClassId(uint16_t classId);
uint16_t unitClassId();
// Stamps the class id and the permanent count; answers record.
unitsRec* unitSyncField(unitsRec* record);

// The number of decimals of a step: how many times it must be multiplied by
// 10 to reach at least 0.5, at most 9 (a step below 1e-9 counts as 1e-9).
int16_t unitStepDecimals(double step);
// Sets record's step (raised to 1e-9) and decimals. With chooseFraction the
// fraction flag is set when log2 of the step is closer to a whole number than
// log10 of it (0.125 fraction, 0.01 decimal) and cleared otherwise.
void unitSetStep(unitsRec* record, double step, bool chooseFraction);

// ---- Program-wide formatting parameters ----

// Angles: degrees per turn (360), offset (0) and rounding step (0.1; below
// 1e-9 becomes 1e-9).
void unitAngleSetParams(double offset, double factor, double step);
void unitAngleGetParams(double* offset, double* factor, double* step);
// The degree character: 176, or 223 in two-byte text mode.
void unitSetTwoByteMode(bool twoByte);
char unitDegreeChar();
// The decimal separator of formatted numbers ("." at start).
void unitSetDecimalSep(char separator);
char unitDecimalSep();
// The carry threshold of multi-unit output: a unit's whole part at most the
// threshold moves on to the next unit (0.5 at start). Kept in single
// precision.
void unitSetThreshold(float threshold);
float unitThreshold();

// ---- Dimensions ----

// The first display unit's size raised to dimension.
double unitFactor(int32_t dimension);
// value, of currentDimension, taken to dimension: multiplied by the first
// display unit's size once per dimension between them.
double unitRescale(int32_t dimension, double value, int32_t currentDimension);

// ---- Formatting ----
//
// Each writes a terminated text of at most size - 1 characters into out and
// answers its length (0 and nothing written for size 0).

// A plain number: "-" for a negative value, the whole part when it is not 0
// (or with lead0, or without decimals, or when nothing follows), then the
// separator and the fraction's digits (floor of the fraction times
// 10^decimals; decimals above 9 count as 9), trailing zeros only with trail0.
// A whole part beyond 1000000000 is written "%.4g". The caller rounds.
int32_t unitFormatNumber(char* out, int32_t size, double value, int32_t decimals, bool lead0, bool trail0);

// Precision codes of unitFormatValue: 0..16 a decimal step of 10^-code, 128 +
// k (k 0..9) a binary step of 1/2^k with fraction display; any other code
// (unitPrecCurrent) the record's step and decimals.
enum { unitPrecCurrent = -1, unitPrecBinary = 128 };

// A value of a dimension (0 plain number, 1 length, 2 area, 3 volume) in the
// given units (unit names separated by blanks, up to three; null or empty:
// the current record's), with flags (-1: the current record's). The value is
// rounded to the step first; one that rounds to 0 has no "-". NaN writes
// "NAN", infinities "INF" and "-INF".
int32_t unitFormatValue(double value, int32_t dimension, int32_t size, char* out, int32_t precisionCode,
                        const char* unitNames, int32_t flags);
// A length with the current record's flags and step; precision as for
// unitFormatValue (-1: the record's).
int32_t unitFormatDefault(double value, int32_t size, char* out, int32_t precision);
// A length with the given precision code and flags.
int32_t unitFormatPrec(double value, int32_t size, char* out, int32_t precisionCode, int32_t flags);
// unitFormatNumber with the current record's lead0 and trail0 and, when
// decimals is negative, its decimals. The value is rounded to those decimals.
int32_t unitFormatCurrent(double value, int32_t size, char* out, int32_t decimals);

// An angle in turns as degrees. Modes: 0 whole degrees, 1 degrees and
// minutes, 2 degrees, minutes and seconds, 3..6 decimal degrees with 1..4
// decimals; a negative mode chooses 0, 1 or 2 by what the value needs.
int32_t unitFormatAngle(double angle, int32_t size, char* out, int32_t mode);
// unitFormatAngle of an angle handed as the two 32-bit halves of a double.
int32_t unitAngleString(uint32_t low, uint32_t high, int32_t size, char* out, int32_t mode);

// ---- The "units" image block ----
//
// Little-endian: u16 count; per unit 18 bytes (u16 offset of its names from
// the block's start, the inch size, the millimetre size); the names, each
// ended by a zero byte.

// A new allocator block holding the table as the block; *length its size.
uint8_t* unitBlockBuild(uint32_t* length);
// Replaces the table by the units of a block. Answers 0, or -1 for a block
// that is too short or whose names lie outside it (the table is then left
// as it was).
int unitBlockLoad(const void* data, uint32_t length);

// Back to the state at program start: empty table, default record current,
// mode 0, angle parameters, separator, threshold, degree character.
void unitResetForTests();

#endif
