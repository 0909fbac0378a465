// Colour names and colour slots.
//
// The class "colortbl" presents the current colour table (objects/ctab.h)
// as a numbered name table (objects/numtbl.h): message 407 finds the id of
// a name (ids 0..253, in-use entries, exact characters), 408 answers the
// name of an id, 409 all names, each followed by ";". colorNameTable() is
// that table as a numTbl, for tblFind, tblName and tblNames.
//
// A second, small table holds 16 named colour slots: the eight basic
// colours, then empty slots 8-12, "Selection", "Grid" and "Background"
// (each name translated at start). Scripts reach a slot through a
// "colorent" object ("name", "number", "rgb"); documents store the slots
// that were changed as the setting "$COLORTBL".
//
// Operators: aListColors and aListAllColors ("!i<0>", "!i<1>": the names of
// the in-use colours), aListColorsForMask ("!i<0>": the same, then
// "COLOR_NONE") and aColorFind ("O#B": [/name (Red)] or [/number 3] -> a
// colorent and true, or false).
#ifndef PLUMET_OBJECTS_COLORTBL_H
#define PLUMET_OBJECTS_COLORTBL_H

#include <cstdint>

struct numTbl;

enum : int32_t {
  colorNameIds = 254,      // ids 0..253 have names
  colorSlotCount = 16,
  colorErrDuplicate = -4124,
};

// ---- Names of the current table's colours ----

// The id of the in-use colour named exactly so (same length, same
// characters): 0, or -1 with *outId -1.
int colorFindName(const char* name, uint32_t length, int32_t* outId);
// As colorFindName; a name not found is translated (the user-interface
// translation) and tried again. This is how the "color" attribute of
// graphic objects finds a colour.
int colorFindNameTranslated(const char* name, uint32_t length, int32_t* outId);
// The name of an id's in-use entry: 0, or -1 (the text is then "").
int colorNameOf(int32_t id, const char** outText, uint32_t* outLength);
// The "colortbl" object as a numbered table (class id in its first field).
numTbl* colorNameTable();

// ---- Colour slots ----

// The name of a slot ("" for an empty one), or null for a number at or past
// the end of the table.
const char* colorSlotName(int32_t slot);
// Renames a slot: 0; -4124 when another slot has the same name under the
// natural comparison (case ignored); -1 past the end. Sets the changed
// flag.
int colorSlotRename(int32_t slot, const char* name, uint32_t length);
// The components of a slot (zeros until set): 0, or -1 past the end.
int colorSlotGetRGB(int32_t slot, uint16_t rgb[3]);
int colorSlotSetRGB(int32_t slot, const uint16_t rgb[3]);
// Whether a slot was changed since start (the document then stores them).
int colorSlotsChanged();

// A new colorent for a slot or colour id (count 0: the value made from it
// holds it). Null when the class is not registered.
void* colorentNew(int32_t number);
uint16_t colorentClassId();
uint16_t colortblClassId();

// The colour-slot set-up: colortblSetUp (classes, slots at their start,
// "$COLORTBL" once) and the operators.
void colortblInit();
void colortblSetUp();
// The slots' part of the set-up: class "colorent", the slots back to their
// translated start names and unchanged, "$COLORTBL" registered once.
void colorSlotsSetUp();

#endif
