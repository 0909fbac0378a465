// The storage of the name table, for the modules that save and load it as it
// is (the compiled image): a pool of names, each a length byte followed by
// its characters; 12-byte entries indexed from 1; 2048 hash-chain heads.
#ifndef PLUMET_FE_NAMES_TABLE_H
#define PLUMET_FE_NAMES_TABLE_H

#include <cstdint>

enum {
  feNameBuckets = 2048,
  feNameMaxIndex = 65535,     // indices are 16 bits; index 0 means "none"
  feNamePoolStep = 1024,      // the pool grows by this many bytes
  feNameEntryStep = 256,      // the entry array grows by this many entries
  feNameCacheLevelMask = 0x07FF,
  feNameCacheLocal = 0x8000,
};

struct feNameEntry {
  uint32_t offset;   // of the name's length byte in the pool
  uint32_t next;     // next entry of the same hash chain; 0 ends it
  uint16_t cache;    // bits 0-10: dictionary-stack level (1 = bottom, 0 = none); bit 15: local mark
  uint16_t slot;     // the entry index inside the cached dictionary
};
static_assert(sizeof(feNameEntry) == 12, "the image stores entries as 12-byte records");

struct feNameTable {
  uint8_t* pool;
  uint32_t poolCapacity;
  uint32_t poolUsed;
  feNameEntry* entries;
  uint32_t entryCapacity;
  uint32_t count;                     // entries in use, entry 0 included
  uint32_t buckets[feNameBuckets];    // chain heads; 0 = empty
};

// The table itself (zero until made: count 0, no entries).
extern feNameTable feNameTableData;

// The entry of a name index, or null for 0 and indices not in use (also
// before the table is made).
inline feNameEntry* feNameEntryOf(uint16_t index) {
  return index != 0 && index < feNameTableData.count ? &feNameTableData.entries[index] : nullptr;
}

// The table, made on first use (entry 0 reserved, count 1). Blocks are
// allocated with uAlloc and their capacity fields as count variables.
feNameTable* feNameTableGet();

#endif
