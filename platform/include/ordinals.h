/* Exports by ordinal. A shared library of ours, and the program itself, keep
   the functions they offer by number in one table exported under an agreed
   dynamic symbol: the entries are indexed by ordinal (entry 0 and gaps are
   null). GetProcAddress reads a library's table for MAKEINTRESOURCEA
   ordinals, and a plug-in, which links nothing of the program, finds the
   program's table with plProgramOrdinals.

   This header is C-compatible: plug-ins and test libraries include it. */
#ifndef PLUMET_PLATFORM_ORDINALS_H
#define PLUMET_PLATFORM_ORDINALS_H

#include "windows.h"

#include <dlfcn.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* "ORDS" as a little-endian word; the layout below is version 1. */
#define PL_ORDINALS_MAGIC 0x5344524FU
#define PL_ORDINALS_VERSION 1U

/* The symbol under which a library keeps its own ordinals (entry 1 is a
   plug-in's initialisation), and the one of the program's export table. */
#define PL_LIBRARY_ORDINALS "plumet_ordinals"
#define PL_PROGRAM_ORDINALS "plumet_exports"

typedef struct plOrdinalTable {
  uint32_t magic;          /* PL_ORDINALS_MAGIC */
  uint32_t version;        /* PL_ORDINALS_VERSION */
  uint32_t count;          /* entries holds count slots: ordinals 0 .. count - 1 */
  const FARPROC* entries;  /* by ordinal; null where nothing is exported */
} plOrdinalTable;

/* The entry of an ordinal in a table, or null: a null or damaged table
   (wrong magic or version) and an ordinal outside the table give null. */
static inline FARPROC plOrdinalEntry(const plOrdinalTable* table, uint32_t ordinal) {
  if (!table || table->magic != PL_ORDINALS_MAGIC || table->version != PL_ORDINALS_VERSION) return 0;
  if (ordinal >= table->count || !table->entries) return 0;
  return table->entries[ordinal];
}

/* The program's export table as the running process offers it, or null when
   the program exports none. Plug-ins call this; they link nothing of the
   program, so the table is found by its dynamic symbol. */
static inline const plOrdinalTable* plProgramOrdinals(void) {
  return (const plOrdinalTable*)dlsym(RTLD_DEFAULT, PL_PROGRAM_ORDINALS);
}

#ifdef __cplusplus
}

/* Converts between FARPROC and a function's own pointer type. An entry is
   called only through the type of the function stored in it; the detour
   through void (*)(void), the generic function pointer, says so to the
   compiler. */
template <class To, class From>
inline To plFunctionCast(From function) {
  return reinterpret_cast<To>(reinterpret_cast<void (*)(void)>(function));
}
#endif

#endif
