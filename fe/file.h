// File values (type 12): plain files that scripts read and write, and the
// script files the interpreter runs. A file value's word0 points at its
// body; the body holds the open stream (null once closed), the mode, a serial
// number and up to four characters given back to it.
//
// File names may separate directories with "\" or "/"; both work. Files are
// opened in text mode with the standard library (on Linux nothing is
// translated: a CR LF pair reads as two characters).
#ifndef PLUMET_FE_FILE_H
#define PLUMET_FE_FILE_H

#include "fe/control.h"
#include "fe/opcall.h"
#include "fe/value.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

enum { feFilePushbackMax = 4 };

struct feFileBody {
  uint32_t refs;       // 1 at creation; the body is freed when it falls below 1
  uint16_t mode;       // 'r' or 'w'
  FILE* stream;        // null once closed
  uint32_t serial;     // from the interpreter's serial counter
  uint32_t pushCount;  // characters given back, 0 to 4
  uint32_t pushed[feFilePushbackMax];   // the last one is read first
  // The stream was closed because reading reached its end (not by closefile
  // or a failure): characters may still be given back, so that a scanner
  // that looked past the last character can return what it looked at.
  bool ended;
};

// Installs the scanner's file reader (characters, give-back and the raw
// bytes of binary tokens). Making a file value does it as well.
void feFileInit();

// A new file value (count 1) on the file named by the first nameLength bytes
// of name, opened with mode, which must be exactly "r" or "w" (272 otherwise).
// A failed open answers 271 (invalidfilename) when the file does not exist,
// 270 (limitcheck) when the process has too many open files, 272
// (invalidfileaccess) otherwise.
int feFileMake(feObject* out, const char* name, size_t nameLength, const char* mode, size_t modeLength);
// A new file value of the given mode ('r' or 'w') with no stream.
int feFileMakeClosed(feObject* out, char mode);

// One character: a character given back first, else the next of the stream.
// At the end of the file 259 (eof), on a read error 273 (ioerror); both close
// the file. A closed file answers 259; a write-mode file 272.
int feFileReadChar(const feObject* file, int* ch);
// Gives one character back: 0; 273 when four are pending already; 259 when
// the file was closed (other than by reaching its end).
int feFileUnreadChar(const feObject* file, int ch);
// Up to n raw bytes (characters given back first); answers how many were
// read. A read that comes short has reached the end: the file is closed.
size_t feFileReadBytes(const feObject* file, uint8_t* out, size_t n);
// Closes the stream when it is open; closing twice is harmless.
void feFileClose(const feObject* file);
bool feFileIsOpen(const feObject* file);
// The number of streams that file values hold open (for checks that a run
// leaves none behind).
int32_t feFileOpenCount();

// The file rows of the generic operations. The value must carry a body.
void feFileRelease(feObject* file);      // lowers the count; at 0 closes and frees
void feFileAddRef(const feObject* file);
uint32_t feFileHash(const feObject* file);    // the body's serial
int feFileEq(const feObject* file, const feObject* other);   // the same body: 0, else 268
int feFilePrint(const feObject* file, int mode);   // "--nostringvalue--" / "-filestream-"

// A new NUL-terminated copy of length bytes of text from the allocator
// (uAlloc; free it with uFree), stored in *out. 0, or 267 for a negative
// length or a missing pointer.
extern "C" int feStrDup(char** out, const char* text, int32_t length);

// Runs the named file as the text "(name) run" would, through errorcheck:
// an error, a file that cannot be opened included, is reported by
// handleerror. Answers the run's result.
int feRunFile(const char* name, size_t length);

// Operators (signatures as registered).
int feOpFile(feArgs* args);             // "SS#O"   name mode -> file
int feOpCloseFile(feArgs* args);        // "O"
int feOpCurrentFile(feArgs* args);      // "#O"     the topmost file operand, else a new closed one
int feOpResetFile(feArgs* args);        // "O"      checks the operand is a file
int feOpFlushFile(feArgs* args);        // "O"
int feOpBytesAvailable(feArgs* args);   // "O#I"    the file's whole length; -1 when unknown
int feOpStatus(feArgs* args);           // "O#B"
int feOpWrite(feArgs* args);            // "Oi"
int feOpWriteString(feArgs* args);      // "OO"     CR and LF each written as one LF, then flushed
int feOpWriteHexString(feArgs* args);   // "OO"
int feOpReadString(feArgs* args);       // "OO#OB"
int feOpReadHexString(feArgs* args);    // "OO#OB"
int feOpReadLine(feArgs* args);         // "OO#OB"
int feOpRead(feArgs* args);             // "O"      -> int true, or false
int feOpRun(feArgs* args);              // "S"
// token over strings and files: file -> token true, or false at its end;
// strings as the scanner's operator token.
int feOpFileToken();

// The registration of "closefile", "currentfile", "resetfile", "flushfile",
// "bytesavailable", "status", "write", "writestring", "writehexstring",
// "readstring", "readhexstring", "readline", "file", "read", "run" or
// "token"; null for another name. The interpreter's start registers them at
// their places in its fixed order.
const feOpSpec* feFileOpSpec(const char* name);

// Defines in dict (null: systemdict) each of the operators above whose
// definition there is not already this module's handler, for runners and
// tests started before the interpreter registers them itself at their
// places; nothing is printed. Every definition makes a new table entry.
void feFileInstallOps(const feObject* dict = nullptr);

#endif
