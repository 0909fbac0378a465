// Shared between the files of the document settings module: the saved-
// variable list's entries, the registry's look-ups and the record
// lifecycle helpers.
#ifndef PLUMET_OBJECTS_DOCVAR_INTERNAL_H
#define PLUMET_OBJECTS_DOCVAR_INTERNAL_H

#include "fe/value.h"
#include "objects/docstate.h"

#include <cstdint>

enum : uint32_t { varSaveNameMax = 255 };

struct varSaveEntry {
  uint8_t global;     // 0: one value per document; 1: the global file only
  uint32_t length;
  char* text;         // owned, NUL-terminated
  feObject name;      // the interned name
};

const varSaveEntry* varSaveEntryAt(uint32_t i);
// The index of a name in the list, or -1.
int varSaveFind(const char* name, uint32_t length);
// The index of a registered variable, or -1.
int docVarIndex(const char* name, uint32_t length);
// Frees a record's saved values.
void docVarFreeValues(dbDocRec* doc);
// Registers the settings variables this module stores.
void docVarSettingsRegister();
// The byte-order repair of a "$DEFAULTLIGHT" block read from a file.
void docLightRepair(uint8_t* block);
// Empties the list (tests).
void varSaveReset();
// Empties the variable registry (tests).
void docVarReset();

#endif
