// The palettes of the colour tables: the block laid from a table (ten
// system colours, the not-in-use and selection colours, one entry per
// in-use colour, then the largest colour cube that fits), its palette
// handle, and the general table, a 6 x 6 x 6 cube.
#include "objects/ctab.h"
#include "objects/ctab_internal.h"

#include <cstdio>
#include <cstring>

namespace {

enum : BYTE { kSystemEntries = 10, kExplicit = PC_EXPLICIT, kNoCollapse = PC_NOCOLLAPSE };
enum : int32_t { kGeneralSide = 6, kGeneralCube = kGeneralSide * kGeneralSide * kGeneralSide };

BYTE high(uint32_t component) { return BYTE(component >> 8); }

void put(cTabPaletteBlock* block, uint32_t* n, BYTE red, BYTE green, BYTE blue, BYTE flags) {
  if (*n >= cTabPaletteMax) return;
  block->entries[(*n)++] = PALETTEENTRY{red, green, blue, flags};
}

// The largest n with n * n * n <= room.
int32_t cubeSide(int32_t room) {
  int32_t n = 0;
  while ((n + 1) * (n + 1) * (n + 1) <= room) ++n;
  return n;
}

}  // namespace

void cTabLayPalette(cTab* table) {
  cTabModule& m = cTabState();
  cTabPaletteBlock* block = table ? table->palette : nullptr;
  if (!block) return;
  uint32_t n = 0;
  for (BYTE i = 0; i < kSystemEntries; ++i) put(block, &n, i, 0, 0, kExplicit);
  put(block, &n, 0xFF, 0x7F, 0x7F, kNoCollapse);  // not in use: 65535, 32767, 32767
  put(block, &n, 0xFF, 0x00, 0x00, kNoCollapse);  // selection: 65535, 0, 0
  for (int32_t i = 0; i < table->count && table->entries; ++i) {
    const cTabEntry& e = table->entries[i];
    if (e.flags & cTabEntryInUse) put(block, &n, high(e.rgb[0]), high(e.rgb[1]), high(e.rgb[2]), kNoCollapse);
  }
  block->count = WORD(n);
  if (!m.cube) {
    m.cubeBase = m.cubeSize = 0;
    return;
  }
  const int32_t base = int32_t(n);
  // A side of 1 would divide by zero in the components: it lays no cube.
  int32_t side = cubeSide(int32_t(cTabPaletteMax) - base);
  if (side < 2) side = 0;
  m.cubeBase = base;
  m.cubeSize = side;
  for (int32_t r = 0; r < side; ++r)
    for (int32_t g = 0; g < side; ++g)
      for (int32_t b = 0; b < side; ++b) {
        const auto level = [side](int32_t k) { return high(uint32_t(65535 * k / (side - 1))); };
        put(block, &n, level(r), level(g), level(b), kNoCollapse);
      }
  block->count = WORD(n);
}

HPALETTE cTabPaletteOf(cTab* table) {
  if (!table || !table->palette) return nullptr;
  if (!table->paletteHandle)
    table->paletteHandle = CreatePalette(reinterpret_cast<const LOGPALETTE*>(table->palette));
  return table->paletteHandle;
}

HPALETTE cTabGetPalette() { return cTabPaletteOf(cTabState().current); }

cTab* cTabGeneral() {
  cTabModule& m = cTabState();
  if (m.general) return m.general;
  cTab* table = cTabNew();
  if (!table) return nullptr;
  char name[32];
  for (int32_t k = 0; k < table->count; ++k) {
    cTabEntry& e = table->entries[k];
    e.id = k;
    std::snprintf(name, sizeof name, "General <%d>", int(k + 1));
    cTabCopyName(e.name, cTabNameMax, name, uint32_t(std::strlen(name)));
    if (k >= kGeneralCube) continue;
    const int32_t component[3] = {k / (kGeneralSide * kGeneralSide), k / kGeneralSide % kGeneralSide,
                                  k % kGeneralSide};
    for (int c = 0; c < 3; ++c) e.rgb[c] = uint16_t(65535 * component[c] / (kGeneralSide - 1));
    e.flags |= cTabEntryInUse;
  }
  cTabRebuild(table);
  m.general = table;
  return table;
}

HPALETTE cTabGetPalette2() { return cTabPaletteOf(cTabGeneral()); }
