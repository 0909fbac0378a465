// Device resources shared by the drawing layer and the user-interface layer:
// the font-face name table and the font cache, the installed font families
// with the text form of a font description, the text and background
// brushes, the device colour of a colour index, the device kind, and the
// global printer set-up block.
//
// Colour-table entries, the inverted-display setting and the rebuild of the
// current table for a device kind are reached through gdiColorHooks; until
// the colour tables install theirs, colour 0 is white, 1 black and every
// other index mid grey, the display is not inverted and the rebuild does
// nothing.
#ifndef PLUMET_DRAW_GDI_H
#define PLUMET_DRAW_GDI_H

#include <windows.h>

#include <cstdint>

// ---- Colour tables (hooks) -----------------------------------------------

struct gdiColorHooks {
  // The 16-bit red, green and blue of a colour-table entry; false when the
  // entry is missing.
  bool (*entry)(int index, uint16_t rgb[3]);
  // Non-zero while the display is inverted.
  int (*inverted)();
  // Rebuilds the current colour table for a monochrome (1) or colour (0)
  // device.
  void (*rebuild)(int monochrome);
};
// Installs the hooks; a null member keeps the default for it. Null restores
// all defaults.
void gdiSetColorHooks(const gdiColorHooks* hooks);
bool gdiColorEntry(int index, uint16_t rgb[3]);
int gdiColorInverted();

// The device colour of a colour index: palette-relative 0x02bbggrr from
// the high bytes of the entry's components; 0x02000000 for a missing
// entry. An index below 0 is taken as 255, one above 255 as 0.
COLORREF gdiColorRGB(HDC dc, int index);
// Rebuilds the current colour table for the kind of a device: 0 to 2
// colours is monochrome; no DC, a negative count or more colours is colour.
// Answers 1 for monochrome.
int gdiSetDeviceKind(HDC dc);

// ---- Brushes -------------------------------------------------------------

// Makes both brushes and sets the device kind to colour. Called from the
// user-interface layer's start.
void gdiInit();
// The system brush of the window-text colour, made on first use.
HBRUSH gdiTextBrush();
// White stock brush, black while the display is inverted.
HBRUSH gdiBackgroundBrush();
// Releases the brushes and the font cache (shut-down).
void gdiTerm();

// ---- Font faces and fonts ------------------------------------------------

enum { gdiFaceSystem = 0, gdiFaceApplication = 1, gdiFaceFixed = 2 };

// The index of a face name (compared by length, without case), added when
// missing; the first call adds "system", "application" and "fixed" first.
int gdiFontFaceAdd(const char* name, int length);
// The face name, "???" beyond the table.
const char* gdiFontFaceName(int index);
uint32_t gdiFontFaceCount();

// The cached font of a face index, size in points and style bits (bit 0
// bold), made on first use; 0 when none can be made.
HFONT gdiFontGet(int face, int size, int style);
// Deletes every owned font of the cache and empties it.
void gdiFontCacheFree();
uint32_t gdiFontCacheCount();

struct gxFontSpec {
  uint16_t face;     // index in the face-name table
  uint16_t size;     // points
  uint8_t style;     // bit 0 bold
};
enum { gxFontBold = 1 };

// Stores the current font description in previous (when given); makes spec
// current (when given) and selects its font into the current DC.
void gxSetFont(const gxFontSpec* spec, gxFontSpec* previous);
// Parses "Family.12.b" style text: digits set the size, "b" bold, "n" no
// style, "i" ignored, anything else a family name of the installed families
// (its face index is stored). 0, or -1 for an unknown family (the parts
// before it applied).
int gxFontSpecParse(const char* text, int length, gxFontSpec* spec);
// Writes the face name ("???" when unknown) and ".size" when the size is
// not 0, truncated to the buffer; answers the length written.
int gxFontSpecName(const gxFontSpec* spec, char* buffer, int size);
// Index of an installed family (the list is filled on first use), -1 when
// unknown; gdiFontFamilyReset forgets the list so it is read again.
int gdiFontFamilyFind(const char* name, int length);
void gdiFontFamilyReset();

// ---- Printer set-up block ------------------------------------------------

// Replaces the global block by a copy of length bytes.
void printSetupSet(const void* block, uint32_t length);
// Resizes *block (uAlloc, through its address) to the global length and
// copies the global block into it.
void printSetupGet(void** block, uint32_t* length);

#endif
