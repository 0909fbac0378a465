// Logical palettes: CreatePalette keeps the entries as given, and a DC
// selects and realises a palette. The headless screen is true colour, so a
// palette never changes how colours draw: realising maps nothing.
#include "gdi.h"

#include <platform_test.h>

#include <cstddef>
#include <cstring>

using namespace pl::gdi;

namespace {

enum : WORD { kPaletteVersion = 0x300, kMaxEntries = 1024 };

Palette* findPalette(HGDIOBJ h) { return find<Palette>(h, Kind::Palette); }

}  // namespace

extern "C" HPALETTE WINAPI CreatePalette(const LOGPALETTE* plpal) {
  if (!plpal || plpal->palVersion != kPaletteVersion || plpal->palNumEntries > kMaxEntries) return nullptr;
  auto palette = std::make_unique<Palette>();
  palette->entries.resize(plpal->palNumEntries);
  // The entries follow the header as the caller laid them out (the declared
  // array has one element only), so they are copied as bytes.
  const auto* bytes = reinterpret_cast<const unsigned char*>(plpal) + offsetof(LOGPALETTE, palPalEntry);
  if (!palette->entries.empty())
    std::memcpy(palette->entries.data(), bytes, palette->entries.size() * sizeof(PALETTEENTRY));
  return static_cast<HPALETTE>(addObject(std::move(palette)));
}

extern "C" UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries) {
  Palette* palette = findPalette(hpal);
  if (!palette) return 0;
  const UINT total = static_cast<UINT>(palette->entries.size());
  if (!pPalEntries) return total;
  if (iStart >= total) return 0;
  const UINT n = cEntries < total - iStart ? cEntries : total - iStart;
  std::memcpy(pPalEntries, palette->entries.data() + iStart, n * sizeof(PALETTEENTRY));
  return n;
}

extern "C" HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL) {
  Dc* dc = findDc(hdc);
  if (!dc || !findPalette(hPal)) return nullptr;
  HPALETTE previous = dc->palette;
  dc->palette = hPal;
  logCall("SelectPalette", {});
  return previous;
}

extern "C" UINT WINAPI RealizePalette(HDC hdc) {
  if (!findDc(hdc)) return GDI_ERROR;
  logCall("RealizePalette", {});
  return 0;
}

std::vector<PALETTEENTRY> plTestPaletteEntries(HPALETTE palette) {
  Palette* p = findPalette(palette);
  return p ? p->entries : std::vector<PALETTEENTRY>{};
}
