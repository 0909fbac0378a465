// Macros recorded from header files ("#define NAME value" lines): the
// scanner replaces a word that begins with "#" by the value of the macro
// named by the rest of the word.
#ifndef PLUMET_FE_MACRO_H
#define PLUMET_FE_MACRO_H

#include <cstddef>

// The value of the newest macro of that name: true with *text and
// *textLength set (the text stays valid while the macro table lives), false
// when no macro of that name is defined.
bool feMacroFind(const char* name, size_t length, const char** text, size_t* textLength);

#endif
