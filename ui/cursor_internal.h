// Shared between the cursor table (ui/cursor.cpp) and the class "cursor"
// (ui/cursor_class.cpp).
#ifndef PLUMET_UI_CURSOR_INTERNAL_H
#define PLUMET_UI_CURSOR_INTERNAL_H

#include "ui/cursor.h"

// Registers the class and builds its check list (once); answers the id.
uint16_t cursorRegisterClass();

// Clears the object from every entry holding it, destroying the native
// cursors made from it (those entries then show entry 0).
void cursorForget(const cursorRec* object);

// Makes every entry holding the object take a native cursor made anew.
void cursorRemake(cursorRec* object);

#endif
