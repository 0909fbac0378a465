// Freeing array and dictionary bodies and program-object records whose count
// reached zero, without recursing on the native stack: a body that holds
// further bodies is put on an explicit work list and its elements are
// released one at a time, so a chain of a million nested values is freed in
// constant native stack.
#ifndef PLUMET_FE_RELEASE_H
#define PLUMET_FE_RELEASE_H

#include "fe/value.h"

#include <cstdint>

// A body whose count just fell to zero (the count is already 0): its
// elements (or the used entries, key before value, in slot order) are
// released and then its memory is freed. A dictionary's entry array and
// capacity are passed detached from the body.
void feReleaseArrayBody(feArrayBody* body);
void feReleaseDictBody(feDictBody* body, feDictEntry* entries, uint32_t capacity);
// A record whose count just fell to zero: message 100 (free) is sent to it.
void feReleaseRecord(feObjRecord* record);

// The array and dictionary bodies made and not yet freed.
int32_t feArrayBodiesLive();
int32_t feDictBodiesLive();
// Kept by the makers of bodies, and by whoever frees a body's memory
// without the release above (just before it does).
void feNoteArrayBodyMade(feArrayBody* body);
void feNoteDictBodyMade(feDictBody* body);
void feNoteArrayBodyFreed(feArrayBody* body);
void feNoteDictBodyFreed(feDictBody* body);

#endif
