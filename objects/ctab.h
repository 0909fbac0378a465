// Colour tables: the colours drawing objects refer to by colour id.
//
// A table (class "colorTable") holds 256 entries of flags, id, 16-bit red,
// green and blue and a name of up to 15 characters, the id-to-index map and
// a logical palette block with its palette handle. One table is current; a
// document owns one (its colour state, made at the document's creation and
// made current with it). A second "general" table, a 6 x 6 x 6 colour cube,
// is built on the first request for its palette.
//
// The drawing layer's colour index is a colour id: colorGetEntryData turns
// it into components, black and white (ids 0 and 7) swapping while the
// background is inverted.
//
// The module keeps the 64 default colours, which the scripts may rename
// into the user's language ("aLocalizeTongueReq", "aLocalizeColorName"),
// the setting "$INVERTBKGRND" and the 25 colour-table operators; cTabInit
// also sets up the colour names and slots (objects/colortbl.h).
#ifndef PLUMET_OBJECTS_CTAB_H
#define PLUMET_OBJECTS_CTAB_H

#include <windows.h>

#include <cstdint>

struct dbDocRec;
struct ioCtx;

enum : uint32_t {
  cTabSize = 256,          // entries of every table this program makes
  cTabNameMax = 15,        // characters of an entry name
  cTabPaletteMax = 276,    // entries of the palette block
  cTabDefaultCount = 64,   // the default colours
  cTabEntryInUse = 0x1,    // entry flag
};

// Fixed colour ids.
enum : int32_t { colorIdBlack = 0, colorIdRed = 1, colorIdWhite = 7 };

struct cTabEntry {
  uint32_t flags;          // bit 0: in use
  int32_t id;              // the colour id objects store
  uint16_t rgb[3];         // red, green, blue, 0..65535
  char name[cTabNameMax + 1];
};

// The logical palette block (the layout CreatePalette takes).
struct cTabPaletteBlock {
  WORD version;            // 0x300
  WORD count;              // entries laid
  PALETTEENTRY entries[cTabPaletteMax];
};

struct cTab;
// A translation callback replaces the map when set: (id, table, 0) -> index.
typedef int32_t (*cTabTranslateFn)(int32_t id, cTab* table, intptr_t spare);

struct cTab {
  uint16_t classId;
  uint8_t refCount;        // 1 when made; message 345 drops one
  uint8_t flags;
  int32_t count;           // entries in use by the table (at most entryCap)
  cTabEntry* entries;
  uint32_t entryCap;       // entries allocated
  int32_t* map;            // id -> index, count + 1 slots (-1: none)
  uint32_t mapCount;
  cTabTranslateFn translate;  // null in every table this program makes
  void* iterator;          // the table's cTabIPointer, or null
  cTabPaletteBlock* palette;  // null when it could not be allocated
  HPALETTE paletteHandle;
};

// The components and name that draw an id.
struct colorEntryData {
  uint16_t rgb[3];
  char name[16];
};

// ---- Tables ----

// A new empty table of 256 entries (message 300 of the class): count 1,
// nothing in use. Null only when the class is not registered.
cTab* cTabNew();
// Fills a table with the default contents: every entry i gets id i, grey
// and the name "User <i+1>", entries 0..63 in use; the (localised) default
// colours are laid over the first entries; the table is rebuilt.
void cTabSetDefaults(cTab* table);
// A new table with the default contents (not made current).
cTab* cTabMakeDefault();
// Drops one reference (message 345); the table is freed at 0.
void cTabRelease(cTab* table);
// Copies the first entries of from into to, as far as to's count reaches,
// and rebuilds to (message 313 with a target).
void cTabCopyEntries(const cTab* from, cTab* to);
// Reads or writes a table in the direction of the context (message 312):
// the count "l", then that many records "ll3s16c"; records past the table's
// 256 entries are read and dropped. Answers 0 or -1.
int cTabIO(ioCtx* ctx, cTab* table);
// Rebuilds the map and lays the palette entries.
void cTabRebuild(cTab* table);

// The current table (no reference held), or null. Freeing it clears it.
cTab* cTabCurrent();
void cTabSetCurrent(cTab* table);
// The current table's palette handle, made from its block when missing;
// null without a table or a block.
HPALETTE cTabGetPalette();
// The same for the general table, built on the first request.
HPALETTE cTabGetPalette2();
// The general table (built on the first request).
cTab* cTabGeneral();
// Rebuilds the current table's map with the monochrome flag set to the
// argument for the duration (1: every id but white maps to black's index).
void cTabRebuildCurrent(int monochrome);

// ---- Translations (a null table: the current one) ----

// id -> index: -2 and -1 answer themselves, other negative ids -3; no
// table, or an id not below the count, -1.
int32_t cTabIdToIndex(const cTab* table, int32_t id);
// index -> id; -1 outside the table or for an entry not in use.
int32_t cTabIndexToId(const cTab* table, int32_t index);
// id -> position among the in-use entries; -1 when it has none.
int32_t cTabIdToAIndex(const cTab* table, int32_t id);
// position among the in-use entries -> id; -1 when there are fewer.
int32_t cTabAIndexToId(const cTab* table, int32_t n);
// The entry at an index, or null; the in-use test.
const cTabEntry* cTabEntryAt(const cTab* table, int32_t index);
bool cTabIndexInUse(const cTab* table, int32_t index);
// The name of an id's entry, of an index's entry and of the n-th in-use
// entry: "???" when there is none, it is not in use or it has no name.
const char* cTabIdName(const cTab* table, int32_t id);
const char* cTabIndexName(const cTab* table, int32_t index);
const char* cTabAIndexName(const cTab* table, int32_t n);
// The number of in-use entries.
int32_t cTabAvailCount(const cTab* table);

// ---- Drawing ----

// The components that draw an id: 0 black (white while inverted), 7 and -7
// white (black while inverted); otherwise through the current table: no
// table black, a negative index the selection colour, an entry not in use
// the not-in-use colour, else the entry. false for an index beyond the
// table.
bool colorGetEntryData(int32_t id, colorEntryData* out);
// 1 and the components when the id's entry is in use; else 0 and the
// not-in-use colour.
int colorGetRGB(int32_t id, uint16_t* red, uint16_t* green, uint16_t* blue);
int colorGetInvert();
void colorSetInvert(int on);

// ---- Documents ----

// The colour state of the document events: a new default table (event 1),
// made current (4, 11), released (2).
void colorStateCreate(dbDocRec* rec);
void colorStateActivate(dbDocRec* rec);
void colorStateRelease(dbDocRec* rec);
// A copied document gets the source's colours (when both have a table).
void colorStateCopy(const dbDocRec* from, dbDocRec* to);

// ---- Set-up ----

// Registers the classes, the operators, "$INVERTBKGRND", the drawing
// layer's colour hooks and the document file's colour-table block, then
// sets up the colour names and slots (colortblInit).
void cTabInit();
// cTabInit without the operators and the colour names: the classes, the
// start state, "$INVERTBKGRND" (once), the colour hooks and the file block.
void cTabSetUp();
// Block 9 of the drawing file: the colour table of a document's settings
// record (read into a scratch table when the record has none, so that the
// stream stays in step). Only once cTabSetUp has run does the drawing file
// carry the block (cTabFileBlockOn).
int cTabDocFileIO(ioCtx* ctx, dbDocRec* settings, int write);
bool cTabFileBlockOn();

// The class ids (registered by cTabInit).
uint16_t cTabClassId();
uint16_t cTabIteratorClassId();
uint16_t cTabIPointerClassId();
// Back to the start state: no current or general table, flags and texts as
// at start, the default list in its first order (tests).
void cTabReset();
// The number of live tables (the general table included).
int32_t cTabLiveCount();

#endif
