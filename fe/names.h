// The name table: every name is interned once for the whole interpreter and a
// name value holds only its 16-bit index. Each entry also carries the look-up
// cache of the dictionary stack: the level (1 = bottom) and slot where the
// name was last found or defined, and the local mark.
#ifndef PLUMET_FE_NAMES_H
#define PLUMET_FE_NAMES_H

#include "fe/value.h"

#include <cstddef>
#include <cstdint>

enum { feNameMaxLength = 255 };

// The hash of a name's characters: their sum as signed bytes, low 11 bits.
uint32_t feNameHash(const char* text, size_t length);

// Answers the index of the name in *index, adding it when absent: 0, or 270
// (limitcheck) when the table holds its last possible index already. Texts
// longer than 255 characters are cut to 255 (without the alert of
// feMakeName); a null text is the empty name.
int feNameIntern(const char* text, size_t length, uint16_t* index);

// A literal name value (flags 0x105). Longer than 255 characters: the trace
// alert "TName too long" and the first 255 characters are used. 270 when the
// table is full (the slot then holds null).
int feMakeName(feObject* slot, const char* text, size_t length);
// The same with a signed length (a negative length gives the empty name).
int feMakeNameS(feObject* slot, const char* text, int32_t length);
// An executable name (flags 0x115) from a terminated text.
int feNameExec(const char* text, feObject* slot);
// A literal name value of an index in use; 267 (slot unchanged) for index 0
// or an index not in use.
int feSetName(feObject* slot, uint16_t index);
// The index of a name value; 0 for any other value.
inline uint16_t feNameIndex(const feObject* value) {
  return feType(value) == feTName ? uint16_t(value->w0.u & 0xFFFF) : 0;
}
// The same for a value known to be a name.
inline uint16_t feNameIndexOf(const feObject* name) { return uint16_t(name->w0.u & 0xFFFF); }
// The characters of a name (not terminated; valid until the pool grows); an
// empty text for an index not in use.
void feNameText(const feObject* value, const char** text, size_t* length);
void feNameTextOf(uint16_t index, const char** text, size_t* length);
// True when value is a name whose characters are exactly text.
bool feNameIs(const feObject* value, const char* text);
// Entries in use, index 0 included (the count starts at 1).
uint32_t feNameCount();

// The look-up cache of an entry.
void feNameCacheClear(uint16_t index);                         // level and slot to 0, local mark kept
void feNameCacheRead(uint16_t index, uint16_t* level, uint16_t* slot, bool* local);
// Local mark kept. A level above 2047 does not fit the cache: the name is
// left uncached (level 0).
void feNameCacheSet(uint16_t index, uint16_t level, uint16_t slot);
void feNameCacheMarkLocal(const feObject* value);              // only for name values

// cvn: 269 for a non-string; the result is a literal name.
int feCvn(const feObject* string, feObject* out);

#endif
