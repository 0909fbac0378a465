// The natural order in which aSortNames lists names: digit runs compare as
// numbers wherever they stand ("Sheet 9" before "Sheet 10"), letters
// case-blind. Titles are matched and kept unique by uStrNatCmp
// (core/text.h), not by this order.
#ifndef PLUMET_VIEWS_NATCOMPARE_H
#define PLUMET_VIEWS_NATCOMPARE_H

#include "fe/opcall.h"
#include "fe/value.h"

#include <cstdint>

// Compares a (aLength bytes) with b over the shorter length: a zero byte on
// either side ends it with the difference of the two bytes; "A"-"Z" count
// as "a"-"z"; at the first differing pair, when both are digits, the digit
// runs holding them (extended back over the digits both share) are compared
// as numbers of any length, and when those are equal the comparison goes
// on after the runs (the run with more leading zeros last); otherwise the
// difference of the folded characters. Equal over the shorter length: the
// difference of the lengths.
int vwNatCompare(const char* a, uint32_t aLength, const char* b, uint32_t bLength);

// A new array (in *out) holding the strings of array sorted by
// vwNatCompare. 269 (typecheck) when array is no array or holds anything
// but strings; *out is then untouched.
int vwSortNames(const feObject* array, feObject* out);

// The operator aSortNames ("O#O").
int vwOpSortNames(feArgs* args);

#endif
