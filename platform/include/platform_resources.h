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

#ifdef __cplusplus
}
#endif

#endif
