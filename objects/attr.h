// Object attributes by name from native code: attrGet and attrSet send
// messages 107 and 108 with the key made into a name and convert the value
// by a type code; objCreateKeyed makes an object from (key, type, value)
// triples through aCreate.
#ifndef PLUMET_OBJECTS_ATTR_H
#define PLUMET_OBJECTS_ATTR_H

#include "objects/gobject.h"

#include <cstdint>

// Type codes: single letters are their character codes; '3D' and '9D' are
// the two bytes "D3" and "D9" read as little-endian 16-bit values.
enum attrTypeCode : uint32_t {
  attrTypeText = 'S',       // get: text into a new block; set: pointer and length
  attrTypeInt = 'I',        // int
  attrTypeReal = 'R',       // double
  attrTypeRealE = 'E',      // get only: double
  attrType3D = 13124,       // three doubles
  attrType9D = 14660,       // get only: nine doubles
  attrTypeBool = 'B',       // set only: int, as a boolean
  attrTypeCText = 'C',      // set only: NUL-terminated text, as a string
  attrTypeHInt = 'H',       // set only: int
};

// Gets an attribute (message 107) and converts it by type:
//   'S'  a string or name answer: a new NUL-terminated copy is stored in the
//        block handle out (char**; free it with uFree) and its length in
//        *outLength (may be null)
//   'I'  an integer into int32_t* out (269 otherwise)
//   'E', 'R'  an integer or real into double* out (269 otherwise)
//   '3D' an array of exactly 3 numbers into double[3]; '9D' exactly 9
// Other codes answer 281 (after the message). The object's error is answered
// unchanged.
int attrGet(gobjRec* object, const char* key, uint32_t type, void* out, uint32_t* outLength);

// Sets one attribute (message 108) and answers the message's answer. The
// value follows the type: 'R' double; 'S' const char* and int length; '3D'
// const double* (3); 'I' and 'H' int; 'B' int; 'C' const char*. Another
// code answers -1 without sending.
int attrSet(gobjRec* object, const char* key, uint32_t type, ...);

// Makes an object from triples (const char* key, type code, value as for
// attrSet) ended by a null key, through aCreate: its answer.
int objCreateKeyed(gobjRec** out, ...);

#endif
