// File-lock records: what the program knows of the lock it holds on a
// drawing file (opened for writing, exclusive). Scripts never see a record's
// address; they hold a key (a document's register word, the handle of the
// lock operators), and every use looks the key up in the table kept here, so
// that a key a script made up reaches no record at all.
#ifndef PLUMET_UI_FILELOCK_H
#define PLUMET_UI_FILELOCK_H

#include <cstdint>

enum : uint16_t {
  fileLockTag = 0x1234,     // the tag every live record carries
  fileLockWriting = 0x1,    // the file is open for writing
  fileLockExclusive = 0x2,  // no one else may open it
};

struct fileLockRec {
  uint16_t tag;    // fileLockTag
  uint16_t flags;  // fileLockWriting, fileLockExclusive
};

// A new record with the given flags; answers its key (never 0; keys are not
// given twice while the program runs).
uint32_t fileLockAdd(uint16_t flags);
// The record of a key, or null for 0 and for a key that names no record.
fileLockRec* fileLockFind(uint32_t key);
// Frees the record of a key: 0, or -1 when the key names no record.
int fileLockRemove(uint32_t key);
// The number of records held.
uint32_t fileLockCount();
// Frees every record (at exit, and between tests).
void fileLockReset();

#endif
