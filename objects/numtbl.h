// Numbered name tables: records found by name whose number is their
// position, so that objects store a small number (a layer byte, five bits of
// line font) instead of the name. Layers and line fonts are such tables.
//
// Every record begins with its name (an owned, NUL-terminated allocator
// block); a record whose name is empty is a free slot that creation reuses.
// Names beginning with "." are hidden: lists give them as empty items.
// Look-ups skip the list-box mark bytes 0x12, 0xCA and 0xA5 at the start of
// a name, and names match when they have the same length and are equal
// without case (uAlphaEq).
//
// A table may instead be a program object whose class answers the table
// messages 407 (find: name, length, out number), 408 (name: number, out
// text, out length) and 409 (names: out text): its class id stands in the
// first field, where a plain table has 0.
//
// A null table passed to tblFind or tblName means the current layer table
// (objects/layer.h).
#ifndef PLUMET_OBJECTS_NUMTBL_H
#define PLUMET_OBJECTS_NUMTBL_H

#include "fe/opcall.h"

#include <cstdint>

// The codes the tables answer.
enum tblError {
  tblErrTableFull = -4110,
  tblErrNoTable = -4111,
  tblErrNotFound = -4112,
  tblErrBadName = -4119,
  tblErrNameExists = -4124,
};

enum : uint32_t {
  tblMaxDefault = 32767,   // the largest maximum count (also taken for 0)
  tblGrowBy = 8,           // records added to the array at a time
  tblListMax = 10000,      // the name list never exceeds this many bytes
};

struct numTbl {
  uint16_t classId;        // 0: a plain table; else the class of a table object
  uint32_t count;          // records in use (free slots included)
  uint32_t capacity;       // records allocated
  uint32_t maxCount;       // at most 32767
  uint32_t recordSize;     // bytes per record; each begins with its name pointer
  char* nameList;          // the ";"-separated list of names (allocator block)
  uint32_t nameListSize;   // its buffer size
  uint8_t nameListValid;   // 0: rebuilt on the next tblNames
  uint32_t spare;          // kept for the table's owner (tblSpare)
  void* records;           // the record array
};

// A new empty plain table; a maximum of 0 or above 32767 gives 32767. The
// record size is at least that of the name pointer.
numTbl* tblNew(uint32_t maximum, uint32_t recordSize);
// Frees every record's name, the name list, the array and the table, and
// clears the slot. A null slot or table does nothing.
void tblFree(numTbl** slot);

// Finds the record named by the first length bytes of name (after the mark
// bytes) and stores its number in *outNumber. With create set a missing name
// is added: into the last free slot seen, else appended. Answers 0, or
// -4111 (no table and no current layer table), -4119 (nothing left of the
// name), -4112 (absent and not created), -4110 (the table is full). A table
// object gets message 407.
int tblFind(numTbl* table, const char* name, uint32_t length, int create, int32_t* outNumber);
// The record of a number, or null (null table, number out of range).
void* tblEntry(numTbl* table, int32_t number);
// The name of a record: 0 with the name, -4111 for no table, -4112 with the
// empty text for a number out of range. A table object gets message 408.
// The text stays valid until the record is renamed or freed.
int tblName(numTbl* table, int32_t number, const char** outText, uint32_t* outLength);
// Renames a record. -4124 when another record already has the new name
// (the empty name, which frees a slot, is never a duplicate); -4112 for a
// number out of range. When oldName is given it receives the old name's
// block (free it with uFree) and oldLength its length; otherwise the old
// name is freed.
int tblRename(numTbl* table, int32_t number, const char* newName, uint32_t newLength, char** oldName,
              uint32_t* oldLength);
// Adds a name: 0, -4119 for an empty name, -4124 when present, or the
// creation's answer; the number goes to *outNumber when given.
int tblAdd(numTbl* table, const char* name, uint32_t length, int32_t* outNumber = nullptr);
// The ";"-separated list of the names (item i is record i's name; hidden
// names and free slots give empty items). A table object answers message
// 409. A null table gives "". Valid until the table changes.
const char* tblNames(numTbl* table);
bool tblIsFull(const numTbl* table);
uint32_t tblCount(const numTbl* table);
// Stores a new spare value and gives the old one in *old (when given).
void tblSpare(numTbl* table, uint32_t newValue, uint32_t* old);
// Marks the name list stale (after a record's name changed outside the
// routines above).
void tblTouch(numTbl* table);

// A new unique name made by putting a number into the template's "^0":
// numbers 1 to 10 are tried first, then 20, 30, ... (at most count + 10
// steps) until one is free, then from that number less 9 upwards the first
// free one wins. Answers 0 with a new allocator block in *outName (free it
// with uFree) and its length, or -1 when none was found.
int tblGenName(numTbl* table, const char* tmpl, uint32_t length, char** outName, uint32_t* outLength);

// The name list builder. An enumerator calls the collector once per record
// in number order; a hidden name is passed with length 0.
typedef void (*tblNameCollector)(const char* name, uint32_t length, void* context);
typedef void (*tblNameEnum)(numTbl* table, tblNameCollector collect, void* context);
// The enumerator of plain tables.
void tblEnumNames(numTbl* table, tblNameCollector collect, void* context);
// Builds the list into *buffer (grown to *bufferSize, at least 1 and at most
// 10000 bytes): every name followed by ";", the last ";" replaced by the
// terminator. Names that do not fit within the limit are left out whole.
void nameListBuild(char** buffer, uint32_t* bufferSize, tblNameEnum enumerate, numTbl* table);
// Pushes every name (hidden ones as empty strings) onto the operand stack.
// Answers 0 or the stack's error.
int nameListPush(tblNameEnum enumerate, numTbl* table);

// The table operators. Their parameter word selects the table: 0 is the
// current layer table; otherwise it is the address of a function
// numTbl* (*)() that answers the family's current table (the line-font
// module registers the twins this way).
typedef numTbl* (*tblSource)();
// Helpers the table and layer operators share: whether a byte is one of the
// list-box marks (0x12, 0xCA, 0xA5); a string of the text pushed onto the
// operand stack (0 or the stack's error); an S result slot given a heap copy
// of the text.
bool tblIsMark(uint8_t c);
int tblPushText(const char* text, uint32_t length);
void tblGiveText(feArgs* args, int slot, const char* text, uint32_t length);
int tblOpNumber(feArgs* args);      // "PSI<0>#I": name, create flag -> number
int tblOpNumberToName(feArgs* args);  // "Pi#S": number -> name
int tblOpList(feArgs* args);        // "!P": pushes every name not beginning with "."
int tblOpGenName(feArgs* args);     // "PS#S": template -> unique name

#endif
