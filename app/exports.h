// The program's export table: the functions plug-ins reach by ordinal, all
// in one table (app/exports.def lists them) exported under the one dynamic
// symbol "plumet_exports" (<ordinals.h> gives its layout). The program's
// link exports that symbol and no other.
//
// A plug-in includes this header, links nothing of the program, and binds
// its imports once in its initialisation:
//
//   plumetImports imp;
//   if (!plumetBindImports(plProgramOrdinals(), &imp)) return -1;
//   imp.feRegisterOp("name", handler, "I#I", 0, 0);
//
// so that no call site writes an ordinal.
#ifndef PLUMET_APP_EXPORTS_H
#define PLUMET_APP_EXPORTS_H

#include "fe/opcall.h"

#include <ordinals.h>

#include <cstdint>

struct gobjRec;
struct glist;
struct planeRec;
struct styleRec;
struct wplaneRec;

extern "C" const plOrdinalTable plumet_exports;

// Each ordinal, and each name, once: a repeated ordinal or name repeats an
// enumerator and does not compile.
enum plumetExportOrdinal : uint32_t {
#define PLUMET_EXPORT(ordinal, name, result, parameters, function) \
  plumetOrdinal_##ordinal = ordinal, plumetExport_##name = ordinal,
#include "app/exports.def"
#undef PLUMET_EXPORT
};

// The number of slots of the table: the highest ordinal and one.
constexpr uint32_t plumetExportSlots() {
  constexpr uint32_t ordinals[] = {
#define PLUMET_EXPORT(ordinal, name, result, parameters, function) uint32_t(ordinal),
#include "app/exports.def"
#undef PLUMET_EXPORT
  };
  uint32_t highest = 0;
  for (uint32_t ordinal : ordinals)
    if (ordinal > highest) highest = ordinal;
  return highest + 1;
}

// One typed function pointer per line of the list, named as the line names it.
struct plumetImports {
#define PLUMET_EXPORT(ordinal, name, result, parameters, function) result(*name) parameters = nullptr;
#include "app/exports.def"
#undef PLUMET_EXPORT
};

// Fills every import from the table. False when the table is missing or
// damaged (magic, version) or lacks an entry of the list (a program older
// than the list); the imports are then all null, so that a plug-in that
// goes on regardless fails at once rather than calling a stray entry.
inline bool plumetBindImports(const plOrdinalTable* table, plumetImports* out) {
  bool complete = true;
#define PLUMET_EXPORT(ordinal, name, result, parameters, function)                          \
  out->name = plFunctionCast<result(*) parameters>(plOrdinalEntry(table, ordinal));        \
  if (!out->name) complete = false;
#include "app/exports.def"
#undef PLUMET_EXPORT
  if (!complete) *out = plumetImports{};
  return complete;
}

#endif
