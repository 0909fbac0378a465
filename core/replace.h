// Replacing a whole file safely: the new contents go to a temporary file in
// the same folder, every write is checked, the data is flushed to the disk,
// and only then does one rename put it in place of the original. On any
// failure the temporary file is removed and the original stays as it was.
#ifndef PLUMET_CORE_REPLACE_H
#define PLUMET_CORE_REPLACE_H

#include <cstddef>

struct uReplaceFile;

// Starts replacing the file at path (a host path). A symbolic link is
// followed: the file it names is replaced. A path that names something other
// than a regular file (a device, say) is written in place, as no rename can
// replace it. Answers null when no temporary file could be made.
uReplaceFile* uReplaceBegin(const char* path);

// Appends size bytes. Answers false on a short write; from then on every
// write answers false and uReplaceCommit fails.
bool uReplaceWrite(uReplaceFile* file, const void* data, size_t size);

// Finishes: checks the stream, flushes it, writes it through to the disk,
// closes it and renames it over the original. Answers true when the new
// contents are in place; false when anything failed, in which case the
// temporary file is gone and the original untouched. Frees file (null
// answers false).
bool uReplaceCommit(uReplaceFile* file);

// Gives up: the temporary file is removed, the original untouched. Frees
// file (null is ignored).
void uReplaceAbort(uReplaceFile* file);

// Test hook: the n-th write through uReplaceWrite from now on (1 = the next)
// fails as a full disk would; 0 turns this off. Not used by the program.
void uReplaceTestFailWrite(int n);

#endif
