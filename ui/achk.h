// Keyed argument check lists: how a class describes the keyed properties its
// objects take from scripts (attribute get and set, keyed creation of dialogs
// and controls), and the conversions between script values and native data
// tested against such a list.
//
// A list is an array of uiAChklEntry ending with an entry whose code is 0. A
// class builds it once with uiDefAChkl; its set handler calls uiAChkl and
// switches on the code, its get handler calls uiAChkKeyCode, fills a
// uiAChkData and calls uiAChkMakeValue.
//
// Type letters (single value / array of count elements):
//   B  boolean, 0/1 in count            / not allowed
//   I i N  integer in count             / integers, int32_t array
//   s  integer in count                 / integers, int16_t array
//   R  integer or real, in real         / integers or reals, double array
//   D  not allowed                      / integers or reals, double array
//   W  not allowed                      / as D; 3 elements are a work-plane point
//   V  not allowed                      / as D; 3 elements are a work-plane vector
//   S  string or name, text not copied  / not allowed
//   C  string or name, NUL-terminated copy / not allowed
//   P  string or name up to 255 characters, length byte then text / not allowed
//   O  any value, copied without a reference / not allowed
//   Q  object reference or null, the record in data / not allowed
// "H" is never stored: uiDefAChkl reports it and stores "i".
#ifndef PLUMET_UI_ACHK_H
#define PLUMET_UI_ACHK_H

#include "fe/value.h"

#include <cstdint>

// One entry of a check list.
struct uiAChklEntry {
  uint16_t code;     // the property's code (compared as signed 16-bit); 0 ends the list
  char type;         // the type letter
  uint8_t count;     // 0 single value, 1..127 exactly that many elements, 128..255 any length
  uint32_t key;      // name-table index of the key
  uint16_t classId;  // class of a Q[name] or O[name] entry, else 0
};

enum { uiAChkAnyLength = 255 };  // the count stored by the "n" form

// The conversion record of one get or set handler. Converted arrays and
// copied texts live in the record's own storage, which stays valid until the
// record converts again or goes out of scope; a conversion made into another
// record (a nested handler, a callback) never moves it.
struct uiAChkData {
  int32_t count = 0;      // boolean or integer value, text length or element count
  void* data = nullptr;   // the native data: text, array, value copy or object record
  double real = 0;        // the value of an R entry
  int32_t status = 0;     // 0, or 265 undefined, 269 typecheck, 280 lengthcheck
  void* store = nullptr;  // the record's own storage, grown on demand
  uint32_t storeSize = 0; // its size in bytes

  uiAChkData() = default;
  ~uiAChkData();
  uiAChkData(const uiAChkData&) = delete;
  uiAChkData& operator=(const uiAChkData&) = delete;
};

// callback(context, key, value, argument); the result is ignored.
typedef int (*uiDictCallback)(void* context, const feObject* key, const feObject* value, void* argument);

extern "C" {

// Appends one entry per (code, key, spec) triple to *list; the arguments end
// with a code of 0, and key and spec are terminated texts. A null *list starts
// a new list; the list always keeps a zero entry after its last one. spec:
// leading decimal digits give the count ("4i", "12I"), a leading "n" an
// array of any length ("nS"), otherwise a single value; "Q[name]" and
// "O[name]" store the class id of the named class (0 when none is
// registered); any other longer spec prints "uiDefAChkl: illegal Class spec
// '%s' ignored" to the script output and keeps the letter. A count above 255
// cannot be stored: the entry is reported as an internal error and left out.
void uiDefAChkl(uiAChklEntry** list, int code, const char* key, const char* spec, ...);

// The set side: converts value for the first entry whose key is the name
// key. Answers the entry's code with status 0, or 0 with status 265 (key not
// a name, with a trace alert; or not in the list), 269 (wrong type, logged)
// or 280 (wrong number of elements).
int uiAChkl(const uiAChklEntry* list, const feObject* key, const feObject* value, uiAChkData* data);

// Converts one value by the entry's letter and count: the entry's code, or 0
// with the status set. On failure count, data and real are left as they were.
int uiAChkConvert(const uiAChklEntry* entry, const feObject* value, uiAChkData* data);

// The get side's look-up: the code of the first entry whose key is the name
// key; 0 with status 265 when key is not a name or not in the list.
int uiAChkKeyCode(const uiAChklEntry* list, const feObject* key, uiAChkData* data);

// Makes the script value of the property with that code from the record and
// stores it in *slot (holding its own reference). Answers the code; 0 with
// status 265 when no entry has the code (slot untouched). A letter with no
// conversion (a single D, V or W; an array of B, S, C, P, O or Q) leaves the
// slot untouched.
int uiAChkMakeValue(const uiAChklEntry* list, int code, feObject* slot, uiAChkData* data);

// Stores the name of the first entry with that code in *slot: 0, or 265.
int uiAChkKeyName(const uiAChklEntry* list, int code, feObject* slot);

// Reads the property with that code from an array of alternating keys and
// values: 269 when array is not an array, 265 when the code or its key is
// absent.
int uiAChkGet(const uiAChklEntry* list, const feObject* array, int code, uiAChkData* data);

// Reads the property with that code from a dictionary, trying every entry of
// the code (alias keys) in list order: 265 when none is present, 269 when
// dict is not a dictionary.
int uiAChkDictGet(const uiAChklEntry* list, const feObject* dict, int code, uiAChkData* data);

// Calls callback for every entry the dictionary holds at the call, in slot
// order, with copies of the key and the value that stay valid during the
// call; entries the callbacks add are not visited.
void uiDictForEach(const feObject* dict, uiDictCallback callback, void* context, void* argument);

// When the key of the first entry with that code is in the dictionary, calls
// callback once with the key name and a copy of the value, then releases the
// copy. Always answers 0.
int uiAChkDictVisit(const feObject* dict, const uiAChklEntry* list, int code, uiDictCallback callback,
                    void* context, void* argument);

}  // extern "C"

#endif
