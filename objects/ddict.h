// Packed attribute dictionaries: the user attributes of objects (the "@" and
// capitalised keys of the graphic-object head) and of documents.
//
// A dictionary is one allocated block held through a slot (a ddBlock*
// variable; a null slot is the empty dictionary): a head of four 16-bit
// words, an index of 4 bytes per entry (key length, flag bits, value length)
// and the keys and values packed behind it, each entry's key then its value,
// in index order. Keys are below 32 bytes and values below 65536 bytes
// (280 otherwise); a block would reach 32768 bytes or more answers 270.
// Keys match by equal length and equal bytes (case counts).
//
// The record of a dictionary (ddIO): "iiss" (a zero word, a zero word, the
// entry count, the data bytes used), then "CC" (key, value) per entry.
//
// The class "docdict" is a small program object (class id, document) that
// gives scripts the document's dictionary: get (107) and set (108) with
// string keys and values, forall (119) over keys and values, and the key
// enumeration (406). It refers to the document's settings record by number
// (objects/doclive.h): once the record is gone every message but 100 (free)
// answers -4146.
#ifndef PLUMET_OBJECTS_DDICT_H
#define PLUMET_OBJECTS_DDICT_H

#include "objects/ioctx.h"

#include <cstdint>

struct dbDocRec;

struct ddBlock {
  uint16_t count;          // entries in use
  uint16_t indexCapacity;  // entries the index can hold (even)
  uint16_t dataUsed;       // bytes of key and value data in use
  uint16_t dataCapacity;   // bytes of data the block can hold (a multiple of 8)
  // Followed by indexCapacity ddIndexEntry, then dataCapacity bytes.
};

struct ddIndexEntry {
  uint8_t keyLength;
  uint8_t flags;           // ddFlag bits, set by scripts
  uint16_t valueLength;
};

// Entry flag bits (a byte of independent bits; scripts may use the others).
enum ddFlag : uint8_t {
  ddReadOnly = 0x01,       // the attribute cannot be set through the object
};

enum {
  ddKeyMax = 31,           // longest key
  ddValueMax = 65535,      // longest value
  ddBlockLimit = 32768,    // a block must stay below this size
  ddErrAbsent = -1,
  ddErrNoBlock = -2,
  ddErrNotFound = -4112,
  ddErrReadOnly = -4157,   // setting a read-only entry through its object
};

// Finds a key: 0 with its index and the offset of its key bytes in the data
// (either out may be null); -2 for a null block, -1 when absent.
int ddFind(const ddBlock* block, const char* key, uint32_t length, int32_t* index, uint32_t* offset);
// Sets a key to a value: a present key keeps its index position (the data
// behind it moves when the length changes); a new key is appended with no
// flags. 0, 280 for a long key or value, 270 when the block would be too big.
int ddSet(ddBlock** slot, const char* key, uint32_t keyLength, const void* value, uint32_t valueLength);
// Removes an entry; the rest moves down. The block stays (count 0 when it
// held the only entry). 0, 280 for a long key, or ddFind's failure.
int ddDelete(ddBlock** slot, const char* key, uint32_t length);
// The key and value of the entry at index (pointers into the block, valid
// until it changes): 0, or -4112 beyond the count. Outs may be null.
int ddGetEntry(const ddBlock* block, uint32_t index, const char** key, uint32_t* keyLength, const char** value,
               uint32_t* valueLength);
// The value of a key: 0 with found = 1, or -4112 with every out 0.
int ddLookup(const ddBlock* const* slot, const char* key, uint32_t length, const char** value,
             uint32_t* valueLength, int* found);
// Sets (on) or clears the flag bits of an entry; ddGetFlags answers in *out
// whether any of the bits is set. 0 or ddFind's failure.
int ddSetFlags(ddBlock** slot, const char* key, uint32_t length, uint8_t bits, bool on);
int ddGetFlags(const ddBlock* const* slot, const char* key, uint32_t length, uint8_t bits, int* out);
// Copies a block into the slot's own block (grown when needed; the slot's
// block is never the source's). A null source frees the slot's block. 0 or
// 270.
int ddCopy(const ddBlock* block, ddBlock** slot);
// Frees the slot's block; the slot becomes null.
void ddFree(ddBlock** slot);
// The entry count (0 for a null block).
uint32_t ddCount(const ddBlock* block);
// The size of a block in bytes (0 for null).
uint32_t ddSize(const ddBlock* block);

// Reads or writes the dictionary's record, by the context's direction;
// reading replaces the slot's block. Answers the bytes, or a negative code:
// a record whose counts do not fit the block limits or the record's length
// fails with -4139 (through ioFail) and leaves the slot empty.
int ddIO(ddBlock** slot, ioCtx* ctx);

// A new object of class "docdict" for the document (the class is
// registered at first use): 0. The object does not own the dictionary; a
// null or unregistered record gives an object that answers -4146.
int docdictNew(dbDocRec* document, void** out);
// The id of "docdict" (registers it when needed).
uint16_t docdictClassId();

#endif
