// String values: (body, offset, length) with bodies shared by sub-strings;
// writing into a shared body is seen by every value that shares it.
#ifndef PLUMET_FE_STRINGS_H
#define PLUMET_FE_STRINGS_H

#include "fe/value.h"

#include <cstddef>
#include <cstdint>

enum { feStringMaxLength = 65535 };

// A new literal string (count 1, next serial) holding length bytes of text,
// or zeros when text is null. 270 (limitcheck) past 65535 bytes.
int feMakeString(feObject* slot, const char* text, size_t length);
// The bytes of the value (body bytes + offset) and its length.
void feStringData(const feObject* value, uint8_t** data, uint16_t* length);

void feStringRelease(feObject* value);
void feStringAddRef(const feObject* value);

// Reading from the front (the scanner's string source): 259 at the end, else
// the byte and the value advances. Unread: 259 when the offset is 0, else the
// value moves back one byte and stores ch at its new front.
int feStringReadChar(feObject* value, int* ch);
int feStringUnreadChar(feObject* value, int ch);

int feStringGet(const feObject* string, const feObject* index, feObject* out);
int feStringPut(feObject* string, const feObject* index, const feObject* value);
int feStringGetInterval(const feObject* string, const feObject* start, const feObject* count, feObject* out);
int feStringPutInterval(feObject* string, const feObject* start, const feObject* source);
// Copies source to the front of destination; out is destination's prefix of
// source's length (shared). Serves cvs with a destination as well.
int feStringCopy(const feObject* source, const feObject* destination, feObject* out);
// 0 when equal (same bytes, or against a name through its characters), 268 otherwise.
int feStringEq(const feObject* string, const feObject* other);
uint32_t feStringHash(const feObject* string);
// Mode 1: "(" bytes with escapes ")"; mode 0: the bytes. 277 when interrupted.
int feStringPrint(const feObject* string, int mode);

#endif
