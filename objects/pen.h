// Pens: every drawing object carries a pen index 0..7 in bits 5-7 of its
// style byte, and the pen table gives each index a line width in inches.
// This module keeps the table (built-in widths, the copy kept in the
// compiled script image as the block "penwidth", the document's weights),
// maps objects' pen indexes to and from widths, lists the widths as menu
// text, and turns them into device pen widths when an object is drawn.
//
// Device widths are signed sixteenths of a device pixel, as gxSetPenWidth16
// takes them. On the screen they are negative (a width that does not follow
// the view's scale) unless the variable-width flag ("/Defaults/VarWidths"
// greater than "OFF" in natural order) asks for widths scaled by the view;
// while printing or plotting they are rounded from the device resolution.
#ifndef PLUMET_OBJECTS_PEN_H
#define PLUMET_OBJECTS_PEN_H

#include "fe/opcall.h"

#include <cstdint>

struct gobjRec;

enum { penCount = 8 };

// Start-up: the variable-width flag from the configuration, the built-in
// widths, then the image's "penwidth" block over them; the table is handed
// back as that block for the next image, and the largest width is set.
void penLoadDefaults();

// Makes the device widths current when the output mode, the device
// resolution or (with variable widths) the view scale changed since they
// were made, then sets the pen width of index (style >> 5) & 7. Answers 0.
int penSelect(int style);

// The table width of the object's pen index; answers 0.
int penGetWidth(const gobjRec* object, double* width);
// Stores in the object's pen bits the index of the nearest table width (the
// first of equally near ones); bits 0-4 are kept.
void penSetWidth(gobjRec* object, double width);
// The table width of index 0..7; 0.0 for any other index.
double penWidthAt(int index);
// The largest width (kept by the start-up and aDefPenSizes).
double penLargestWidth();

// The whole table (8 widths in inches) in and out. Setting it is how a
// document's pen weights are applied: the device widths are remade on the
// next selection.
void penGetTable(double widths[penCount]);
void penSetTable(const double widths[penCount]);

// The cached pen list: the widths separated by ";". Built in inches on the
// first request; aListPenSizes rebuilds it in its own units.
const char* penGetList();

// The device width (1/16 pixel) of an index as last computed; recomputed
// first when the cache is stale. 0 for an index out of range.
int16_t penDeviceWidth(int index);
// The variable-width flag (set from the configuration by penLoadDefaults).
bool penVarWidths();
void penSetVarWidths(bool on);

// The view layer's output mode (0 screen; printing and plotting non-zero),
// read through a hook that the printing module installs; null: always 0.
typedef int (*penOutputModeSource)();
void penSetOutputModeSource(penOutputModeSource source);

// The operators, registered in their places of the general object table.
int aListPenSizes(feArgs* args);  // "!B": pushes 8 strings, mm when true
int aDefPenSizes(feArgs* args);   // "O": up to 8 numbers replace the table

#endif
