// Line styles: the program-wide table of arrowhead styles that lines and
// arcs refer to by index from their 16-bit style words, and the operators
// that set arrowheads (aLineArrow) and read a line's direction
// (aGetLineNormal).
//
// A style entry is an arrow kind, a width (kept as a 32-bit float) and the
// unit normal of the plane the arrow lies in. Entry 0 is never used, so an
// index of 0 means "none" or failure; the table holds at most 2048 entries.
//
// A style word keeps the style index in bits 0-10 and the arrowhead ends in
// bits 14 (start) and 15 (end). The line and arc classes own their words;
// they hand aLineArrow the address of an object's word through the source
// installed with lnstyleSetWordSource.
#ifndef PLUMET_OBJECTS_LNSTYLE_H
#define PLUMET_OBJECTS_LNSTYLE_H

#include "objects/gobject.h"

#include <cstdint>

struct feArgs;

enum : uint32_t { lnstyleMax = 2048 };
enum : uint16_t {
  lnstyleIndexMask = 0x07FF,
  lnstyleArrowStart = 0x4000,
  lnstyleArrowEnd = 0x8000,
};

// The index of the entry (kind, width, normal), appended when missing. The
// width is compared as its float bits, the normal as its 24 bytes, exactly;
// a null normal stands for (0, 0, 1). With the table full the debug line
// "[lnstyleFind] No more room in lnstyleTbl." is logged and 0 answered.
uint16_t lnstyleFind(int kind, double width, const double* normal);
// 1 and the entry's fields (each out may be null) for an index below the
// count; else 0.
int lnstyleGet(uint32_t index, int* kind, double* width, double* normal);
// Entries in use, entry 0 included (1 for an empty table).
uint32_t lnstyleCount();
// Empties the table (tests).
void lnstyleReset();

// The style word after an arrow change: the other bits kept, the ends'
// bits (lnstyleArrowStart, lnstyleArrowEnd) set when on and cleared
// otherwise, the index in bits 0-10.
uint16_t lnstyleApply(uint16_t word, uint16_t endBits, bool on, uint16_t index);

// Where an object keeps its style word: the line and arc classes answer the
// address of the word, null for any other object.
typedef uint16_t* (*lnstyleWordSource)(gobjRec* object);
// Installs the source (null: none) and answers the previous one.
lnstyleWordSource lnstyleSetWordSource(lnstyleWordSource source);

// aLineArrow "QiRiB" (group or single object, kind, width, ends, on): the
// current document's arrow ends (bits of ends) cleared and, when on, set,
// and the selection display marked for refresh; the style of (kind, width,
// the current work plane's normal) found or added (-1 when the table is
// full); then every member that is not locked and that keeps a style word
// is damaged and takes the ends and the index. A line or arc while no class
// gives its word answers 275 (unimplemented).
int aLineArrowOp(feArgs* args);
// aGetLineNormal "Q[group]# AP{3D} AV{3D} AP{3D}": for the members of
// class "line" ("pt0", "pt1"): start point, unit direction and end point
// of the last line of the group; -1 when the group has no line.
int aGetLineNormalOp(feArgs* args);

#endif
