// Name/value tables (keywords that dialogs and controls accept, with the
// number each stands for) and the bounded copy of a counted text into a
// 256-byte buffer.
#ifndef PLUMET_UI_UINAMES_H
#define PLUMET_UI_UINAMES_H

#include <cstdint>

// One entry of a table; the table ends with an entry whose name is null.
struct uiNameEntry {
  const char* name;
  int32_t value;
};

// The length of the first name that equals the length bytes of text exactly
// (case counts; a name that is only a prefix of the text, or the text only a
// prefix of the name, does not match), its value stored in *value; 0 when
// no name matches (*value untouched).
int32_t uiNameLookup(const uiNameEntry* table, const char* text, int32_t length, int32_t* value);

// The length of the first name in table order that is a prefix of the
// length bytes of text, its value stored in *value; 0 when none is (*value
// untouched). An empty name never matches.
int32_t uiNamePrefix(const uiNameEntry* table, const char* text, int32_t length, int32_t* value);

// The first name whose value is value: 1 with its text and length stored,
// 0 when the table has none (outputs untouched).
int uiValueName(const uiNameEntry* table, int32_t value, const char** text, int32_t* length);

enum { uiBoundedMax = 255 };

// Copies the length bytes of text and a NUL into buffer (room for
// uiBoundedMax + 1 bytes) and answers 0; a text longer than uiBoundedMax
// (or a negative length) answers 1 and leaves buffer alone.
int uiBoundedCopy(const char* text, int32_t length, char* buffer);

#endif
