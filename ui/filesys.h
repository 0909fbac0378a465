// Files by counted name, as the user-interface layer offers them to the rest
// of the program: creating a file that must not exist yet, deleting, renaming
// over an existing file in one step, and the program's clock.
//
// Each primitive stores its result in *result (when given) and answers it:
// 0 success, 2 "exists" (create) or "does not exist" (delete, rename), 13
// when the disk or file is write-protected or access is denied, 32 when the
// disk is full, and otherwise -4101 (create) or -4104 (delete, rename).
#ifndef PLUMET_UI_FILESYS_H
#define PLUMET_UI_FILESYS_H

#include <cstdint>

enum uiFileResult {
  uiFileOk = 0,
  uiFileExists = 2,            // aCreateFile: the name is taken
  uiFileNotFound = 2,          // aDeleteFile, aRenameFile: no such file
  uiFileLocked = 13,           // write-protected or access denied
  uiFileDiskFull = 32,
  uiFileCannotCreate = -4101,
  uiFileCannotChange = -4104,
};

// Creates an empty file under the first length bytes of name; fails with 2
// when anything of that name exists, so it never replaces a file. The
// file-system creator and type codes are accepted and not used on this
// platform.
int aCreateFile(const char* name, int length, const char* creator, int creatorLength,
                const char* type, int typeLength, int* result);

// Deletes the file.
int aDeleteFile(const char* name, int length, int* result);

// Renames oldName to newName. An existing file under newName is replaced in
// the same step, so at every moment one of the two is in place.
int aRenameFile(const char* oldName, int oldLength, const char* newName, int newLength,
                int* result);

// The program's clock: seconds since 3 January 1980, 00:00 UTC (the run-time
// library's time less 315705600).
uint32_t uiTimeNow();

#endif
