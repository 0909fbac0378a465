// The numbered cursor table and the class "cursor".
//
// The mouse cursor is shown from a table of entries. The low entries hold
// system cursors; scripts make their own 16-by-16 pixel cursors as "cursor"
// objects (aCursor) and put them into entries (aUseCursor). Tools, the
// window procedures and the busy counter select an entry by number
// (cursorSet). The table grows to the highest index used + 1.
//
// Start-up table: 0 arrow, 1 I-beam, 2 none (shows entry 0), 3-5 arrow,
// 6 size, 7 icon, 8 size west-east, 9 size north-south, 10 size
// northwest-southeast, 11 size northeast-southwest, 12 wait, 13 cross.
//
// Check list of the class: "data" (a string of exactly 32 bytes: rows 0-15
// of the image, two bytes a row; other lengths are ignored), "mask" (taken
// and ignored), "x" and "y" (the hot spot).
#ifndef PLUMET_UI_CURSOR_H
#define PLUMET_UI_CURSOR_H

#include "fe/opcall.h"

#include <windows.h>

#include <cstdint>

// A cursor object. Packed: the record is written to and read from compiled
// images as these 138 bytes, little-endian.
#pragma pack(push, 1)
struct cursorRec {
  uint16_t classId;
  uint8_t refCount;    // 0 when made
  uint8_t flags;       // 0
  uint16_t width;      // 32 once "data" was given
  uint16_t hotX;       // "x"
  uint16_t hotY;       // "y"
  uint8_t image[128];  // XOR mask of a 32-by-32 cursor, 4 bytes a row
};
#pragma pack(pop)
static_assert(sizeof(cursorRec) == 138, "the cursor record is written as 138 bytes");

// One table entry.
struct cursorEntry {
  HCURSOR native;     // what SetCursor shows; null shows entry 0
  cursorRec* object;  // the object it was made from, or null
  bool made;          // native was made from an object (destroyed when replaced)
};

// Shows entry index when it lies inside the table, else the current entry,
// else entry 0; an entry without a native cursor shows entry 0. The entry
// shown becomes current and its index is answered (0 on an empty table,
// where nothing is shown). So -1 shows the current entry again.
uint32_t cursorSet(uint32_t index);

// Grows the table to index + 1 entries when needed. When object differs
// from the entry's it is stored; a non-null object gets a native cursor
// made from it (shown at once when the entry is current), and a native
// cursor made earlier from an object is destroyed. A null object leaves the
// native cursor in place.
void cursorSetEntry(uint32_t index, cursorRec* object);

// The entry gets the handle and no object (a native cursor made from an
// object before is destroyed); shown at once when it is the current entry.
void cursorSetSystem(uint32_t index, HCURSOR native);

// The first entry holding the object: 0 and its index, else -1 and -1.
int cursorFindObject(int32_t* index, const cursorRec* object);

// A native 32-by-32 cursor of the object: its hot spot, the shared all-ones
// AND mask and its image as the XOR mask.
HCURSOR cursorCreateNative(const cursorRec* object);

// Registers the class "cursor" and its check list, enters the system
// cursors, shows entry 0. Answers -1.
int cursorClassInit();

// Destroys the native cursors made from objects, empties the table and
// forgets the current entry (the objects stay with their owners).
void cursorTerm();

// "O#Q": a new cursor object from an array of alternating keys and values;
// 269 when the argument is not an array, the check list's status for a key
// it does not know, 267 for a key without a value.
int aCursor(feArgs* args);
// "!IQ": puts a cursor object (or null) into an entry: 267 for an index
// below 0 or above 4095, 269 for an object that is not a cursor.
int aUseCursor(feArgs* args);

// The class id of "cursor" (0 before cursorClassInit), the table's size,
// the current index (-1 before start-up) and an entry (null outside).
uint16_t cursorClassId();
uint32_t cursorTableSize();
int32_t cursorCurrent();
const cursorEntry* cursorEntryAt(uint32_t index);

#endif
