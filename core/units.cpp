// The unit table, the internal-unit mode word, the current units record and
// the program-wide formatting parameters.
#include "core/units.h"

#include "core/alloc.h"
#include "core/text.h"
#include "core/xlate.h"

#include <cmath>
#include <cstring>

namespace {

unitDef* table;
uint32_t tableRoom;  // entries allocated (grown 4 at a time)
int32_t tableCount;

uint32_t modeWord;
unitsRec defaultRecord = {0, 255, 0, 0, 3, 0.001, {0, -1, -1, -1}};
unitsRec* current;
uint16_t classId;

double angleOffset = 0;
double angleFactor = 360;
double angleStep = 0.1;
char degreeChar = char(176);
char decimalSep = '.';
float carryThreshold = 0.5f;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Points the abbreviation at the last name of the names text.
void setAbbrev(unitDef* u) {
  const char* last = std::strrchr(u->names, ' ');
  u->abbrev = last ? last + 1 : u->names;
}

// True when the length bytes of name equal one of the blank-separated names
// of the text, case-blind.
bool matchesName(const char* names, const char* name, int32_t length) {
  const char* p = names;
  while (*p) {
    while (*p == ' ') ++p;
    const char* start = p;
    while (*p && *p != ' ') ++p;
    if (p > start && uAlphaEq(start, uint32_t(p - start), name, uint32_t(length))) return true;
  }
  return false;
}

}  // namespace

// ---- The unit table ----

int32_t unitDefine(const char* names, int32_t length, double inchSize, double mmSize) {
  if (length < 0) length = names ? int32_t(std::strlen(names)) : 0;
  for (int32_t i = 0; i < tableCount; ++i) {
    unitDef& u = table[i];
    if (uAlphaEq(u.names, uint32_t(std::strlen(u.names)), names, uint32_t(length))) {
      u.inchSize = inchSize;
      u.mmSize = mmSize;
      return i;
    }
  }
  if (uint32_t(tableCount) == tableRoom) uAlloc(&table, &tableRoom, tableRoom + 4, sizeof(unitDef));
  unitDef& u = table[tableCount];
  u.inchSize = inchSize;
  u.mmSize = mmSize;
  u.names = nullptr;
  uStrDup(names, uint32_t(length), &u.names);
  setAbbrev(&u);
  return tableCount++;
}

int32_t unitCount() { return tableCount; }

const unitDef* unitAt(int32_t index) { return index >= 0 && index < tableCount ? &table[index] : nullptr; }

void unitClearTable() {
  for (int32_t i = 0; i < tableCount; ++i) uFree(&table[i].names);
  if (table) uAlloc(&table, &tableRoom, 0, sizeof(unitDef));
  table = nullptr;
  tableRoom = 0;
  tableCount = 0;
}

int32_t unitFindName(const char* name, int32_t length) {
  if (!name || length <= 0) return -1;
  for (int32_t i = 0; i < tableCount; ++i)
    if (matchesName(table[i].names, name, length)) return i;
  // The names as the user's language has them.
  for (int32_t i = 0; i < tableCount; ++i) {
    const char* translated = nullptr;
    if (xlateStr(0, table[i].names, &translated) == 0 && translated && translated != table[i].names &&
        matchesName(translated, name, length))
      return i;
  }
  return -1;
}

int32_t unitParseList(const char* text, int32_t length, int32_t* indices, int32_t max) {
  int32_t n = 0;
  int32_t i = 0;
  while (text && i < length && n < max) {
    while (i < length && isBlank(text[i])) ++i;
    const int32_t start = i;
    while (i < length && !isBlank(text[i])) ++i;
    if (i > start) {
      const int32_t index = unitFindName(text + start, i - start);
      if (index >= 0) indices[n++] = index;
    }
  }
  indices[n] = -1;
  return n;
}

double unitSize(int32_t index) {
  const unitDef* u = unitAt(index);
  if (!u) return 1.0;
  return (modeWord & 1) ? u->mmSize : u->inchSize;
}

// ---- The mode word ----

void unitSetMode(uint32_t word) { modeWord = word; }
uint32_t unitGetMode() { return modeWord; }

void unitFromMetric(int32_t n, double* values) {
  if (!(modeWord & 1)) return;
  for (int32_t i = 0; i < n; ++i) values[i] /= 25.4;
}

// ---- The units record ----

void unitDefaultInit(unitsRec* record) {
  *record = unitsRec{};
  record->classId = classId;
  record->refCount = 255;
  record->flags = 0;
  record->decimals = 3;
  record->step = 0.001;
  record->units[0] = 0;
  record->units[1] = record->units[2] = record->units[3] = -1;
}

unitsRec* unitDefaultRecord() { return &defaultRecord; }

unitsRec* unitCurrent() { return current ? current : &defaultRecord; }

void unitSetCurrent(unitsRec* record) { current = record ? record : &defaultRecord; }

unitsRec* unitCurrentHandle() {
  static unitsRec handle = {0, 255, 0, 0, 0, 0, {-1, -1, -1, -1}};
  handle.classId = classId;
  return &handle;
}

unitsRec* unitResolve(unitsRec* record) { return record == unitCurrentHandle() ? unitCurrent() : record; }

uint16_t unitGetFlags() { return unitCurrent()->flags; }

void unitSetClassId(uint16_t id) {
  classId = id;
  defaultRecord.classId = id;
}

uint16_t unitClassId() { return classId; }

unitsRec* unitSyncField(unitsRec* record) {
  if (record) {
    record->classId = classId;
    record->refCount = 255;
  }
  return record;
}

int16_t unitStepDecimals(double step) {
  if (!(step >= unitMinimumStep)) step = unitMinimumStep;
  int16_t decimals = 0;
  // A little slack so that 0.001 counts as three decimals, not four.
  while (decimals < 9 && step * (1 + 1e-9) < 0.5) {
    step *= 10;
    ++decimals;
  }
  return decimals;
}

void unitSetStep(unitsRec* record, double step, bool chooseFraction) {
  if (!(step >= unitMinimumStep)) step = unitMinimumStep;
  record->step = step;
  record->decimals = unitStepDecimals(step);
  if (!chooseFraction) return;
  const double l2 = std::log2(step);
  const double l10 = std::log10(step);
  if (std::fabs(l2 - std::round(l2)) < std::fabs(l10 - std::round(l10)))
    record->flags |= unitFlagFraction;
  else
    record->flags &= uint16_t(~unitFlagFraction);
}

// ---- Parameters ----

void unitAngleSetParams(double offset, double factor, double step) {
  angleOffset = offset;
  angleFactor = factor;
  angleStep = step >= unitMinimumStep ? step : unitMinimumStep;
}

void unitAngleGetParams(double* offset, double* factor, double* step) {
  *offset = angleOffset;
  *factor = angleFactor;
  *step = angleStep;
}

void unitSetTwoByteMode(bool twoByte) { degreeChar = char(twoByte ? 223 : 176); }
char unitDegreeChar() { return degreeChar; }
void unitSetDecimalSep(char separator) { decimalSep = separator; }
char unitDecimalSep() { return decimalSep; }
void unitSetThreshold(float threshold) { carryThreshold = threshold; }
float unitThreshold() { return carryThreshold; }

// ---- Dimensions ----

double unitFactor(int32_t dimension) {
  const double size = unitSize(unitCurrent()->units[0]);
  double f = 1.0;
  for (int32_t i = 0; i < dimension; ++i) f *= size;
  for (int32_t i = 0; i > dimension; --i) f /= size;
  return f;
}

double unitRescale(int32_t dimension, double value, int32_t currentDimension) {
  return value * unitFactor(dimension - currentDimension);
}

void unitResetForTests() {
  unitClearTable();
  modeWord = 0;
  unitDefaultInit(&defaultRecord);
  current = nullptr;
  angleOffset = 0;
  angleFactor = 360;
  angleStep = 0.1;
  degreeChar = char(176);
  decimalSep = '.';
  carryThreshold = 0.5f;
}
