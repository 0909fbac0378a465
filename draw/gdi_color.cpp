// Device colours of colour indices, the device kind, the cached text and
// background brushes, and the resources' start and release.
#include "draw/gdi.h"
#include "draw/gdi_internal.h"

namespace {

bool defaultEntry(int index, uint16_t rgb[3]) {
  const uint16_t v = index == 0 ? 0xFFFF : index == 1 ? 0 : 0x8000;
  rgb[0] = rgb[1] = rgb[2] = v;
  return true;
}
int defaultInverted() { return 0; }
void defaultRebuild(int) {}

gdiColorHooks hooks = {defaultEntry, defaultInverted, defaultRebuild};

HBRUSH textBrush = nullptr;
HBRUSH backgroundBrush = nullptr;
int backgroundInverted = 0;

}  // namespace

void gdiSetColorHooks(const gdiColorHooks* h) {
  hooks.entry = h && h->entry ? h->entry : defaultEntry;
  hooks.inverted = h && h->inverted ? h->inverted : defaultInverted;
  hooks.rebuild = h && h->rebuild ? h->rebuild : defaultRebuild;
}

bool gdiColorEntry(int index, uint16_t rgb[3]) { return hooks.entry(index, rgb); }

int gdiColorInverted() { return hooks.inverted(); }

// Tables hold entries 0..255: the upper bound is 255, so that 256 never
// reaches past the end of a table.
COLORREF gdiColorRGB(HDC, int index) {
  if (index < 0) index = 255;
  if (index > 255) index = 0;
  uint16_t rgb[3];
  if (!hooks.entry(index, rgb)) return 0x02000000;
  return 0x02000000 | static_cast<COLORREF>(rgb[2] >> 8) << 16 | static_cast<COLORREF>(rgb[1] >> 8) << 8 |
         static_cast<COLORREF>(rgb[0] >> 8);
}

int gdiSetDeviceKind(HDC dc) {
  const int colors = dc ? GetDeviceCaps(dc, NUMCOLORS) : -1;
  const int monochrome = colors >= 0 && colors <= 2 ? 1 : 0;
  hooks.rebuild(monochrome);
  return monochrome;
}

HBRUSH gdiTextBrush() {
  if (!textBrush) textBrush = GetSysColorBrush(COLOR_WINDOWTEXT);
  return textBrush;
}

HBRUSH gdiBackgroundBrush() {
  const int inverted = gdiColorInverted() ? 1 : 0;
  if (!backgroundBrush || inverted != backgroundInverted) {
    backgroundInverted = inverted;
    backgroundBrush = static_cast<HBRUSH>(GetStockObject(inverted ? BLACK_BRUSH : WHITE_BRUSH));
  }
  return backgroundBrush;
}

void gdiInit() {
  gdiTextBrush();
  gdiBackgroundBrush();
  gdiSetDeviceKind(nullptr);
}

void gdiTerm() {
  gdiFontCacheFree();
  gdiFontTerm();
  printSetupSet(nullptr, 0);
  textBrush = nullptr;  // system and stock brushes are never deleted
  backgroundBrush = nullptr;
  backgroundInverted = 0;
}
