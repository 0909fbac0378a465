// Script values as the interface layer needs them: the text of a string or
// name, a fresh NUL-terminated copy of it, and a rectangle as an array value.
#ifndef PLUMET_UI_UIVALUE_H
#define PLUMET_UI_UIVALUE_H

#include "fe/value.h"

#include <windows.h>

#include <cstdint>

// The characters (not terminated; valid while the value lives) and length of
// a string's or a name's text. 269 (typecheck) for any other value, the
// outputs then untouched; a null value stores a null text and length 0.
int uiValueText(const feObject* value, const char** text, int32_t* length);

// A new allocator block (free it with uFree) holding a string's or a name's
// text and a NUL; *length is the text's length. 269 for any other value,
// the outputs then untouched.
int uiStrDupValue(const feObject* value, char** text, int32_t* length);

// A new array of the four integers left, top, right, bottom in slot (which
// then holds its reference). Answers 0.
int uiRectValue(feObject* slot, const RECT* rect);

#endif
