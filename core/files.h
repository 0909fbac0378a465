// Small file helpers: opening by a counted name, reading lines that end in
// CR, LF or either pair, and closing.
#ifndef PLUMET_CORE_FILES_H
#define PLUMET_CORE_FILES_H

#include <cstddef>
#include <cstdio>

// Opens the file named by the first length bytes of name (fewer than 257,
// no zero byte among them). mode is "r", "w", "rb" or "wb" ("br" and "bw"
// too). Answers null for another mode, a longer name, or when the file does
// not open.
FILE* uFileOpen(const char* name, size_t length, const char* mode);

// Reads one line into buffer, at most size - 1 characters, and terminates
// it. A CR, an LF, or a CR-LF or LF-CR pair ends the line and is stored as
// one LF; two CRs or two LFs are two line ends. At the end of the file the
// text read so far is answered; a stream already at its end answers null.
// A line longer than the buffer continues in the next call.
char* uFileGets(char* buffer, int size, FILE* stream);

// Closes the stream (null is ignored). Answers 0, or EOF when closing failed.
int uFileClose(FILE* stream);

#endif
