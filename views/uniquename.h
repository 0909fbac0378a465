// Unique default titles for new documents, sheets, models, work planes and
// views: the first "Sheet 1", "Sheet 2" ... that is not yet taken.
#ifndef PLUMET_VIEWS_UNIQUENAME_H
#define PLUMET_VIEWS_UNIQUENAME_H

#include <cstdint>

// Answers nonzero when name (length bytes, terminated) is already taken.
typedef int (*vwNameTaken)(void* context, const char* name, uint32_t length);

// Translates tmpl (its translation is used only when it holds "^0") and,
// for n = 1, 2, 3 ..., replaces "^0" by n; the first name that taken
// answers 0 for is stored in *title (an allocator block, the old one
// freed). A template without "^0" gives one name, the template itself.
// Answers 0, or -1 (title untouched) when that name is taken or no memory
// was given.
int uniqueName(char** title, const char* tmpl, vwNameTaken taken, void* context);

#endif
