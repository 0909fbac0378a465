// Macros recorded from header files ("#define NAME value" lines): the
// scanner replaces a word that begins with "#" by the value of the macro
// named by the rest of the word.
//
// The table is a list of records, newest first, that lives as long as the
// process: records are never removed, and a later definition of a name
// hides an earlier one because look-ups start at the newest.
//
// A "#" word whose name no macro defines stays the word it is (a name, such
// as "#WIDTH", that is looked up like any other when it runs): the scan does
// not fail, so a missing definition is reported as `undefined` with the
// word itself as the offending command, and only when that word is run.
#ifndef PLUMET_FE_MACRO_H
#define PLUMET_FE_MACRO_H

#include <cstddef>

// Names and values are each at most this many characters long.
enum { feMacroMaxLength = 255 };

// Records a macro at the head of the table: 0; 270 (limitcheck) when the
// name or the value is longer than feMacroMaxLength, 260 (syntaxerror) for
// an empty name. Nothing is recorded on an error. The value may be empty.
int feMacroDefine(const char* name, size_t nameLength, const char* value, size_t valueLength);

// The value of the newest macro of that name (compared by length and
// characters, case counts): true with *text and *textLength set (the text
// stays valid for the life of the process), false when no macro of that name
// is defined.
bool feMacroFind(const char* name, size_t length, const char** text, size_t* textLength);

#endif
