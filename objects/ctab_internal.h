// Shared by the colour-table files: the module state, the default colour
// list and the pieces the class, the operators and the defaults call.
#ifndef PLUMET_OBJECTS_CTAB_INTERNAL_H
#define PLUMET_OBJECTS_CTAB_INTERNAL_H

#include "objects/ctab.h"

#include "fe/opcall.h"

#include <cstdint>

enum : uint32_t {
  cTabDefaultNameMax = 31,   // characters of a default record's (localised) name
  cTabMoreMax = 15,
  cTabTongueMax = 63,
};

// One record of the default colour list.
struct cTabDefault {
  int32_t number;            // 1..64; entry number n is colour id n - 1
  char name[cTabDefaultNameMax + 1];
  double rgb[3];             // 0.0..1.0
  int32_t key;               // sort key while localising
};

struct cTabModule {
  cTab* current = nullptr;
  cTab* general = nullptr;
  // The table the last aColorTableMake made, with the reference it was made
  // with: the table stays while it may be current, even when the script
  // lets go of it, and goes when the next one is made.
  cTab* made = nullptr;
  int invert = 0;
  int monochrome = 0;
  int cube = 1;
  int32_t cubeBase = 0;
  int32_t cubeSize = 0;
  int32_t menuSize = 7;
  char more[cTabMoreMax + 1] = "More...";
  char tongue[cTabTongueMax + 1] = "";
  int32_t liveTables = 0;
  int32_t localiseCounter = 0;
  int localising = 0;
  cTabDefault defaults[cTabDefaultCount];
};
cTabModule& cTabState();

// The default list in its first order.
void cTabDefaultsReset();
// Brings the localisation of the default names up to date (runs the
// scripts "aLocalizeTongueReq" and "aLocalizeColorName").
void cTabLocalize();
// Lays the palette block of a table (map built first).
void cTabLayPalette(cTab* table);
// The palette handle of a table, made from its block when missing.
HPALETTE cTabPaletteOf(cTab* table);
// Frees a table whatever its count (message 100).
void cTabFree(cTab* table);
// Makes sure the table has a cTabIPointer bound to it; answers it.
void* cTabIteratorFor(cTab* table);

// Registers the three classes and the attribute check list.
void cTabClassesRegister();

// Operators of the defaults file.
int cTabOpRenameColor(feArgs* args);    // "!SS"
int cTabOpCurrentTongue(feArgs* args);  // "!S"

// Copies at most max characters of a counted text into a buffer of max + 1
// bytes, terminated.
void cTabCopyName(char* to, uint32_t max, const char* text, uint32_t length);

#endif
