// The scanner: turns FE source text into values one token at a time. The
// source is any value that gives and takes back characters: a string (its
// front is consumed), a file, or a program object answering messages 101 and
// 102. Bytes the scanner gives back for its own syntax are never written into
// the source: they travel with the source value (see scan_reader.cpp).
//
// A string source must hold its own reference: when the scanner gives back
// bytes that differ from the string's text (the synthetic bytes of the call
// and member syntax), it replaces the value by a private copy that begins
// with those bytes and releases the old value. Callers therefore re-read the
// source value after a scan and never keep an older bit copy of it.
#ifndef PLUMET_FE_SCANNER_H
#define PLUMET_FE_SCANNER_H

#include "fe/value.h"

#include <cstddef>
#include <cstdint>

// Internal results of feScanToken.
enum {
  feScanExpression = 256,  // an expression was read
  feScanProcEnd = 257,     // a "}" ending a procedure
  feScanGreater = 258,     // a ">" not followed by ">"
};

// The bytes the scanner gives back for its own syntax. Each is read as the
// first byte of the next token.
enum {
  feScanByteLoad = 166,     // the executable name "LOAD"
  feScanByteMember = 169,   // member prefix: a literal member name, then LOAD or DUPLOAD
  feScanByteMark = 171,     // the executable name "mark"
  feScanByteExec = 173,     // the executable name "exec"
  feScanByteDupLoad = 174,  // the executable name "DUPLOAD"
};

// 0 with a token; 259 at the end of the source; an error code otherwise.
// A ":" at the start of a token is consumed and answers 260 (syntaxerror).
int feScanToken(feObject* source, feObject* out);
// The same with the internal results turned into 260 (syntaxerror).
int feScanTokenChecked(feObject* source, feObject* out);
// A number from text: 0 with an integer or real value, 261 (notanumber) when
// the text is not a number.
int feParseNumber(const char* text, size_t length, feObject* out);

// The scanner's character reader, for readers of their own syntax (the infix
// compiler): one character from the front of the source (259 at its end),
// and one character given back. Giving back never writes into a string's
// body (a string source may be replaced by a private copy, as above).
int feScanReadChar(feObject* source, int* ch);
int feScanUnreadChar(feObject* source, int ch);

// The string reader, entered after the opening character has been read:
// bytes up to the closing ")" (nested parentheses kept) with backslash
// escapes. With feScanStringQuoted a double quote ends the string and
// parentheses are ordinary characters. Unless feScanStringRaw is given, the
// text goes through the translation table (direction 0). 260 at the end of
// the source; past 32000 bytes the alert "SString too long [^0...]" and 270.
enum {
  feScanStringQuoted = 1,
  feScanStringRaw = 2,
};
enum { feScanStringMaxLength = 32000 };
int feScanString(feObject* source, int mode, feObject* out);

// File sources. The file module installs how a file value gives and takes
// back characters and how the raw bytes of binary tokens are read (readBytes
// answers how many of the n bytes it read; fewer is a short read, 273).
// Without a reader, files go through feReadChar and feUnreadChar and have no
// binary tokens. Only file sources know binary tokens and the bytes 168 and
// 172; in strings and program objects those bytes are ordinary characters.
struct feScanFileReader {
  int (*readChar)(feObject* file, int* ch);
  int (*unreadChar)(feObject* file, int ch);
  size_t (*readBytes)(feObject* file, uint8_t* out, size_t n);
};
void feScanSetFileReader(const feScanFileReader* reader);   // null removes it

// The operator token: string -> rest token true, or false when no token
// could be read (the end of the string included). 275 for an operand of any
// other type.
int feOpToken();

#endif
