// Array values (procedures when executable): (body, offset, length) with
// bodies shared by sub-arrays.
#ifndef PLUMET_FE_ARRAYS_H
#define PLUMET_FE_ARRAYS_H

#include "fe/value.h"

#include <cstdint>

enum { feArrayMaxMake = 32767 };

// A new literal array (count 1, next serial) of n elements moved in from
// elements (the array takes over their references), or nulls when elements is
// null. 270 (limitcheck) past 65535 elements; the elements then stay with
// the caller.
int feMakeArray(feObject* slot, feObject* elements, uint32_t n);

void feArrayRelease(feObject* value);
void feArrayAddRef(const feObject* value);

// Releases element i and moves value in (no range check).
void feArrayPut(feObject* array, int32_t i, feObject* value);
// Pointer to element offset + i, null outside 0..length-1.
feObject* feArrayElem(const feObject* array, int32_t i);
int32_t feArrayLength(const feObject* array);
// Element iterator: answers the first element and advances the value
// (offset + 1, length - 1); null at the end.
feObject* feArrayNext(feObject* array);

int feArrayGet(const feObject* array, const feObject* index, feObject* out);
int feArraySet(feObject* array, const feObject* index, const feObject* value);
int feArrayGetInterval(const feObject* array, const feObject* start, const feObject* count, feObject* out);
int feArrayPutInterval(feObject* array, const feObject* start, const feObject* source);
int feArrayCopy(const feObject* source, const feObject* destination, feObject* out);
// 0 when both share one body, 268 otherwise.
int feArrayEq(const feObject* array, const feObject* other);
uint32_t feArrayHash(const feObject* array);
// Mode 1: "[" or "{", each element in mode 1 and " ", "]" or "}"; mode 0
// "--nostringvalue--". 277 when interrupted (the closing bracket is written).
// An array met again inside itself (or nested deeper than 1024 levels) is
// written as "[...]" or "{...}" instead of being printed without end.
int feArrayPrint(const feObject* array, int mode);

// The stack's values copied into array (bottom first): 269 unless an array,
// 267 when the stack holds more values; out is the prefix of the stack's count.
struct feStack;
int feArrayFromStackCopy(feStack* stack, const feObject* array, feObject* out);

// Operators on the operand stack.
int feOpAload();    // array -> elements... array
int feOpAstore();   // any0 ... anyn-1 array -> array
int feOpArray();    // int -> array of nulls (267 unless 0..32767)
int feOpArrayEnd(); // "]": mark any... -> array (262 without a mark)

#endif
