// How a module of ours hands its string table to the platform layer, which
// answers LoadStringA from it (on Windows the table is a compiled resource).
#ifndef PLUMET_PLATFORM_RESOURCES_H
#define PLUMET_PLATFORM_RESOURCES_H

#include "windows.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PlStringResource {
  UINT id;
  const char* text;
} PlStringResource;

// Installs the string table of a module (null: the program itself). The table
// is not copied and must outlive the module; a later call replaces it.
void plSetStringTable(HINSTANCE module, const PlStringResource* table, size_t count);

// A dialog template: what CreateDialogParamA builds. Rectangles are client
// pixels of the dialog (not dialog units). class is "BUTTON" or "STATIC";
// style adds to WS_CHILD | WS_VISIBLE (BS_DEFPUSHBUTTON marks the button
// Enter presses).
typedef struct PlDialogControl {
  const char* className;
  int id;
  const char* text;
  RECT rect;
  DWORD style;
} PlDialogControl;

typedef struct PlDialogResource {
  const char* name;  // the template's name, matched without case
  UINT id;           // or its number (MAKEINTRESOURCEA), 0 for none
  const char* caption;
  int width;
  int height;
  DWORD style;  // adds to WS_POPUP
  const PlDialogControl* controls;
  size_t controlCount;
} PlDialogResource;

// Installs the dialog templates of a module (null: the program itself),
// like the string table: not copied, replaced by a later call.
void plSetDialogTable(HINSTANCE module, const PlDialogResource* table, size_t count);

#ifdef __cplusplus
}
#endif

#endif
