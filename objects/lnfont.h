// Line fonts and dash patterns. Objects carry a line-font number in bits 0-4
// of their style byte; the numbers are records of a numbered name table
// (objects/numtbl.h) of at most 32 fonts. Fonts 0-3 are built in ("Solid",
// "Dotted" and two hidden reserved ones) and draw through the drawing
// layer's pen styles; fonts from 4 on are defined by scripts as dash
// patterns, drawn in world units by the dash walker, which stands behind
// vwMoveToW and vwLineToW while a pattern is current and issues plain moves
// and draws along each segment. The script-defined fonts are kept in the
// compiled script image as the block "linefont", so that they survive
// between runs.
#ifndef PLUMET_OBJECTS_LNFONT_H
#define PLUMET_OBJECTS_LNFONT_H

#include <cstdint>

struct numTbl;

enum : uint32_t {
  lnfontMax = 32,        // records in the table
  lnfontFirstUser = 4,   // the first font a script defines
  lnfontMaxDashes = 16,  // dash entries aDefLineFont takes
};

// A dash pattern, one allocator block: the entries alternate drawn and
// skipped, starting with a drawn one, and their count is even. The lengths
// are world units at scale 1; the scaled copy is remade whenever the dash
// scale differs from the one it was made for.
struct lnfontRec {
  uint32_t ndash;
  float* dashes;          // in the block
  float length;           // the sum of the dashes (1.0 until summed)
  float scale;            // scale of the scaled copy; negative: none yet
  float scaledLength;
  float* scaled;          // in the block
};

// The table, made with its four built-in records on first use.
numTbl* lnfontTable();
// Frees the table and its patterns (the program's end; tests). The dash
// walker is taken away.
void lnfontTerm();

// Start-up: the table, the fonts of the image's "linefont" block, then the
// operators (the eight of this module and the line-font twins of the
// numbered-table operators).
void lnfontInit();

// A new pattern for n entries rounded up to even (all 0); null when n is 0.
lnfontRec* lnfontNew(uint32_t n);
void lnfontFree(lnfontRec** slot);
// Sums the dash lengths into length.
void lnfontCalcLength(lnfontRec* pattern);
// The pattern of font n, or null (none, or n out of range); answers 0, or
// -4112 for a number out of range.
int lnfontPattern(int32_t n, lnfontRec** out);

// Defines font n. For n of 4 or more the record's name is changed (records
// up to n are added as free slots when the table is shorter, so numbers
// survive), -4124 when another record has the name; below 4 the name is
// found or created and its number used. A count above 0 gives the record a
// new pattern of those lengths; a count of 0 only names it. The number goes
// to *outNumber when given. -4110 for n beyond the table.
int lnfontDefine(int32_t n, const char* name, uint32_t nameLength, uint32_t count, const double* lengths,
                 int32_t* outNumber = nullptr);
// Rewrites the image block "linefont" from the fonts 4 and up.
void lnfontSave();

// ---- Drawing (lnfont_walk.cpp) ----

// Makes font n's pattern current (lnfontSet) and sets pen style n on the
// drawing layer (1-3 are the dotted styles; 4 and up draw solid, the walker
// making the dashes).
void lnfontSelect(int32_t n);
// Makes a pattern current (null: none, plain lines): the phase starts at
// the first dash and the dash scale is 1. A pattern whose length is not
// positive draws solid. An odd count panics "lnfontSet: ndash must be even"
// and draws solid.
void lnfontSet(lnfontRec* pattern);
lnfontRec* lnfontCurrent();
// Sets the dash scale to length (world units being 1) and gives the old
// one in *old; answers 0.
int lnfontScale(double length, double* old);
void lnfontSetScale(double value);
double lnfontGetScale();
// Sets the position in the pattern to distance modulo the scaled pattern
// length.
void lnfontSetPhase(double distance);
// Starts at dash (code >> 4) modulo the count, (code & 15) sixteenths into it.
void lnfontResetPhase(int32_t code);
// The current dash's index and the distance used of it.
void lnfontGetPhase(int32_t* dash, double* used);
// Moves to a world point (nothing drawn); draws the broken segment from the
// current point to a world point.
void lnfontMoveTo(const double point[3]);
void lnfontLineTo(const double point[3]);
// The scale that fits a whole number (1..99) of patterns of font n along a
// world length between the phase codes start and end (as lnfontResetPhase
// reads them); 1.0 for fonts 0-3, patterns of fewer than 2 entries, and
// lengths not above half the pattern. Answers 0.
int lnfontFitScale(int32_t n, double length, int32_t start, int32_t end, double* scale);

#endif
