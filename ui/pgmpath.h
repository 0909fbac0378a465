// Paths of the program and of files: the program directory joined with a
// name, the module file name, the full path of a name, and a file's title.
// Paths are answered whole, whatever their length.
#ifndef PLUMET_UI_PGMPATH_H
#define PLUMET_UI_PGMPATH_H

#include <cstddef>
#include <string>

enum { fileTitleMax = 64 };

// The program's directory followed by name (null counts as empty).
std::string pgmPathOf(const char* name);

extern "C" {

// A new copy of the module file name (free it with uFree) and its length;
// an empty copy when the system cannot say.
void pgmModulePath(char** out, int* length);

// The full path of the first length characters of text, as a new string
// (free it with uFree); null when it has none (an empty name, a zero byte
// among the characters, or a working directory the system cannot say).
char* pgmFullPath(const char* text, int length);

// The title of a file name as the file dialogs show it (its last component,
// at most fileTitleMax characters), as a new string in *out (free it with
// uFree). Answers 0, or the platform's error with an empty result.
int fileTitleOf(const char* name, char** out);

}  // extern "C"

#endif
