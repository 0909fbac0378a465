// What the line-font sources share: the table's record and access to it.
#ifndef PLUMET_OBJECTS_LNFONT_INTERNAL_H
#define PLUMET_OBJECTS_LNFONT_INTERNAL_H

#include "objects/lnfont.h"

#include <cstdint>

// A record of the line-font table: the name (owned by the table) first.
struct lnfontEntry {
  char* name;
  lnfontRec* pattern;   // null: none
};

// The record of font n, or null (out of range).
lnfontEntry* lnfontEntryOf(int32_t n);
// The table as the numbered-table operators ask for it (tblSource).
numTbl* lnfontTableSource();
// The fonts of the image's "linefont" block (lnfont_block.cpp), defined in
// order; a block that does not hold together is left unused.
void lnfontLoadBlock();

#endif
