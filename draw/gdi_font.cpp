// Font faces and fonts: the face-name table, the font cache with its
// template, the installed font families and the text form of a font
// description (family, size and style).
#include "core/alloc.h"
#include "draw/gdi.h"
#include "draw/gdi_internal.h"
#include "draw/gx.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

namespace {

struct faceName {
  char* text;  // uAlloc'ed, NUL-terminated
  uint32_t length;
};

faceName* faces = nullptr;
uint32_t faceCount = 0;
uint32_t faceCapacity = 0;

struct fontEntry {
  uint16_t face;
  int16_t size;
  uint16_t style;
  uint16_t owned;  // made here and deleted by gdiFontCacheFree
  HFONT font;
};

fontEntry* fonts = nullptr;
uint32_t fontCount = 0;

LOGFONTA fontTemplate;

enum { familyMax = 512 };
faceName* families = nullptr;
uint32_t familyCount = 0;
uint32_t familyCapacity = 0;
bool familiesRead = false;

gxFontSpec currentSpec = {0, 0, 0};

bool sameName(const faceName& f, const char* name, uint32_t length, bool anyCase) {
  if (f.length != length) return false;
  for (uint32_t i = 0; i < length; i++) {
    const unsigned char a = static_cast<unsigned char>(f.text[i]), b = static_cast<unsigned char>(name[i]);
    if (anyCase ? std::tolower(a) != std::tolower(b) : a != b) return false;
  }
  return true;
}

void appendName(faceName** table, uint32_t* count, uint32_t* capacity, const char* name, uint32_t length) {
  if (*count == *capacity) uAlloc(table, capacity, *capacity + 8, sizeof(faceName));
  faceName& f = (*table)[(*count)++];
  f.text = uAlloc<char>(nullptr, nullptr, length + 1, 1);
  std::memcpy(f.text, name, length);
  f.length = length;
}

void freeNames(faceName** table, uint32_t* count, uint32_t* capacity) {
  for (uint32_t i = 0; i < *count; i++) uFreeIfSet(&(*table)[i].text);
  uFreeIfSet(table);
  *count = *capacity = 0;
}

int CALLBACK familyProc(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM) {
  if (familyCount >= familyMax) return 1;  // further names are refused
  const uint32_t length = static_cast<uint32_t>(strnlen(lf->lfFaceName, LF_FACESIZE));
  appendName(&families, &familyCount, &familyCapacity, lf->lfFaceName, length);
  return 1;
}

void readFamilies() {
  if (familiesRead) return;
  familiesRead = true;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesA(screen, nullptr, familyProc, 0);
  ReleaseDC(nullptr, screen);
}

int screenDpiY() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// Faces 0-2 are the stock fonts; bold makes a copy of weight 700.
HFONT stockFont(int face, int style, uint16_t* owned) {
  static const int stock[3] = {SYSTEM_FONT, ANSI_VAR_FONT, ANSI_FIXED_FONT};
  HFONT font = static_cast<HFONT>(GetStockObject(stock[face]));
  *owned = 0;
  if (!font || !(style & gxFontBold)) return font;
  LOGFONTA lf;
  if (!GetObjectA(font, sizeof(lf), &lf)) return nullptr;
  lf.lfWeight = FW_BOLD;
  *owned = 1;
  return CreateFontIndirectA(&lf);
}

}  // namespace

int gdiFontFaceAdd(const char* name, int length) {
  if (!faceCount) {
    for (const char* builtIn : {"system", "application", "fixed"})
      appendName(&faces, &faceCount, &faceCapacity, builtIn, static_cast<uint32_t>(std::strlen(builtIn)));
  }
  const uint32_t n = name && length > 0 ? static_cast<uint32_t>(length) : 0;
  for (uint32_t i = 0; i < faceCount; i++)
    if (sameName(faces[i], name, n, true)) return static_cast<int>(i);
  appendName(&faces, &faceCount, &faceCapacity, name ? name : "", n);
  return static_cast<int>(faceCount - 1);
}

const char* gdiFontFaceName(int index) {
  if (index < 0 || static_cast<uint32_t>(index) >= faceCount) return "???";
  return faces[index].text;
}

uint32_t gdiFontFaceCount() { return faceCount; }

HFONT gdiFontGet(int face, int size, int style) {
  for (uint32_t i = 0; i < fontCount; i++)
    if (fonts[i].face == face && fonts[i].size == size && fonts[i].style == style && fonts[i].font)
      return fonts[i].font;
  HFONT font = nullptr;
  uint16_t owned = 0;
  if (face >= 0 && face <= 2) font = stockFont(face, style, &owned);
  if (!font) {
    fontTemplate.lfHeight = (screenDpiY() * size + 36) / 72 + 1;
    fontTemplate.lfWeight = style & gxFontBold ? FW_BOLD : FW_NORMAL;
    const char* name = gdiFontFaceName(face);
    std::memset(fontTemplate.lfFaceName, 0, sizeof(fontTemplate.lfFaceName));
    std::memcpy(fontTemplate.lfFaceName, name, std::min(std::strlen(name), sizeof(fontTemplate.lfFaceName) - 1));
    fontTemplate.lfCharSet |= 0x80;
    font = CreateFontIndirectA(&fontTemplate);
    owned = 1;
  }
  if (!font) return nullptr;
  uAlloc(&fonts, &fontCount, fontCount + 1, sizeof(fontEntry));
  fonts[fontCount - 1] = fontEntry{static_cast<uint16_t>(face), static_cast<int16_t>(size),
                                   static_cast<uint16_t>(style), owned, font};
  return font;
}

void gdiFontCacheFree() {
  if (gx.dc) SelectObject(gx.dc, GetStockObject(SYSTEM_FONT));
  for (uint32_t i = 0; i < fontCount; i++)
    if (fonts[i].owned) DeleteObject(fonts[i].font);
  uFreeIfSet(&fonts);
  fontCount = 0;
}

uint32_t gdiFontCacheCount() { return fontCount; }

void gxSetFont(const gxFontSpec* spec, gxFontSpec* previous) {
  if (previous) *previous = currentSpec;
  if (!spec) return;
  currentSpec = *spec;
  if (!gx.dc) return;
  if (HFONT font = gdiFontGet(spec->face, spec->size, spec->style & gxFontBold)) SelectObject(gx.dc, font);
}

int gdiFontFamilyFind(const char* name, int length) {
  readFamilies();
  const uint32_t n = name && length > 0 ? static_cast<uint32_t>(length) : 0;
  for (uint32_t i = 0; i < familyCount; i++)
    if (sameName(families[i], name, n, false)) return static_cast<int>(i);
  return -1;
}

void gdiFontFamilyReset() {
  freeNames(&families, &familyCount, &familyCapacity);
  familiesRead = false;
}

int gxFontSpecParse(const char* text, int length, gxFontSpec* spec) {
  if (!text || !spec) return 0;
  const char* p = text;
  const char* end = text + std::max(length, 0);
  while (p < end) {
    const char* stop = static_cast<const char*>(std::memchr(p, '.', static_cast<size_t>(end - p)));
    if (!stop) stop = end;
    const int n = static_cast<int>(stop - p);
    if (n > 0) {
      if (std::all_of(p, stop, [](char c) { return c >= '0' && c <= '9'; })) {
        uint32_t size = 0;
        for (const char* d = p; d < stop; d++) size = std::min<uint32_t>(size * 10 + static_cast<uint32_t>(*d - '0'), 0xFFFF);
        spec->size = static_cast<uint16_t>(size);
      } else if (n == 1 && *p == 'b') {
        spec->style |= gxFontBold;
      } else if (n == 1 && *p == 'n') {
        spec->style = 0;
      } else if (n == 1 && *p == 'i') {
        // italic is not offered; accepted so that older texts still parse
      } else {
        if (gdiFontFamilyFind(p, n) < 0) return -1;
        spec->face = static_cast<uint16_t>(gdiFontFaceAdd(p, n));
      }
    }
    p = stop + 1;
  }
  return 0;
}

int gxFontSpecName(const gxFontSpec* spec, char* buffer, int size) {
  if (!spec || !buffer || size <= 0) return 0;
  const size_t room = static_cast<size_t>(size - 1);
  const char* name = gdiFontFaceName(spec->face);
  size_t n = std::min(std::strlen(name), room);
  std::memcpy(buffer, name, n);
  if (spec->size) {
    char suffix[8] = ".";
    const size_t length = static_cast<size_t>(std::to_chars(suffix + 1, suffix + sizeof(suffix), spec->size).ptr - suffix);
    const size_t take = std::min(length, room - n);
    std::memcpy(buffer + n, suffix, take);
    n += take;
  }
  buffer[n] = 0;
  return static_cast<int>(n);
}

void gdiFontTerm() {
  freeNames(&faces, &faceCount, &faceCapacity);
  gdiFontFamilyReset();
  std::memset(&fontTemplate, 0, sizeof(fontTemplate));
  currentSpec = gxFontSpec{0, 0, 0};
}
