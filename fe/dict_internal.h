// Private to the dictionary module: slot-level access shared by the body
// routines (dict.cpp) and the dictionary stack (dict_stack.cpp).
#ifndef PLUMET_FE_DICT_INTERNAL_H
#define PLUMET_FE_DICT_INTERNAL_H

#include "fe/names.h"
#include "fe/value.h"

#include <cstdint>

// The key as it is stored: a string becomes its name (0, or the error of the
// conversion); any other value is copied bit for bit without a reference.
inline int feDictKeyOf(const feObject* key, feObject* out) {
  if (feType(key) == feTString) return feCvn(key, out);
  *out = *key;
  return 0;
}

// The used slot holding key (already converted by feDictKeyOf), or -1.
int32_t feDictSlotOf(const feDictBody* body, const feObject* key);

// Stores copies of key (already converted) and value, growing the entry
// array when no slot is left; *slot receives the slot used. 0, 269 for a key
// of the empty type, or 266 when the dictionary is full at the largest
// capacity (the dictionary is then unchanged).
int feDictStore(feDictBody* body, const feObject* key, const feObject* value, int32_t* slot);

#endif
