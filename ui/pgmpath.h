// Paths of the program and of files: the program directory joined with a
// name, the module file name, the full path of a name, and a file's title.
#ifndef PLUMET_UI_PGMPATH_H
#define PLUMET_UI_PGMPATH_H

#include <cstddef>

enum { pgmPathMax = 260, fileTitleMax = 64 };

extern "C" {

// Writes the program's directory followed by name into buffer, which holds
// pgmPathMax characters; a longer result is cut. Answers buffer.
char* pgmPathCopy(const char* name, char* buffer);

// A new copy of the module file name (at most pgmPathMax characters; free it
// with uFree) and its length.
void pgmModulePath(char** out, int* length);

// The full path of the first length characters of text, as a new string (at
// most pgmPathMax characters; free it with uFree); null when it has none.
char* pgmFullPath(const char* text, int length);

// The title of a file name as the file dialogs show it (its last component,
// at most fileTitleMax characters), as a new string in *out (free it with
// uFree). Answers 0, or the platform's error with an empty result.
int fileTitleOf(const char* name, char** out);

}  // extern "C"

#endif
