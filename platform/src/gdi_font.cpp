// Fonts without glyphs: CreateFontIndirectA keeps the LOGFONTA it is given,
// GetObjectA answers it back, EnumFontFamiliesA reports a fixed list of
// families (set by tests), and every font has a simple cell:
//   height  = |lfHeight|, or 16 when lfHeight is 0;
//   ascent  = 4/5 of the height (rounded down), descent = the rest;
//   width   = lfWidth when positive, else half the height, for every character.
// The stock fonts have lfHeight 16, so 16 x 8 cells with ascent 12.
#include "gdi.h"
#include "layer.h"

#include <platform_test.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace pl::gdi {
namespace {

constexpr LONG kDefaultHeight = 16;

std::vector<PlFontFamily> defaultFamilies() {
  return {{"Arial", false, ANSI_CHARSET}, {"Courier New", true, ANSI_CHARSET}, {"Times New Roman", false, ANSI_CHARSET}};
}

std::vector<PlFontFamily> families = defaultFamilies();

// Copies the LOGFONTA fields between a font and a LOGFONTA, either way.
template <class FontT, class LogFontT, class Copy>
void eachField(FontT& f, LogFontT& lf, Copy copy) {
  copy(f.height, lf.lfHeight);
  copy(f.width, lf.lfWidth);
  copy(f.escapement, lf.lfEscapement);
  copy(f.orientation, lf.lfOrientation);
  copy(f.weight, lf.lfWeight);
  copy(f.italic, lf.lfItalic);
  copy(f.underline, lf.lfUnderline);
  copy(f.strikeOut, lf.lfStrikeOut);
  copy(f.charSet, lf.lfCharSet);
  copy(f.outPrecision, lf.lfOutPrecision);
  copy(f.clipPrecision, lf.lfClipPrecision);
  copy(f.quality, lf.lfQuality);
  copy(f.pitchAndFamily, lf.lfPitchAndFamily);
}

LOGFONTA toLogFont(const Font& font) {
  LOGFONTA lf{};
  eachField(font, lf, [](const auto& from, auto& to) { to = from; });
  copyTruncated(font.faceName, lf.lfFaceName, LF_FACESIZE);
  return lf;
}

}  // namespace

TEXTMETRICA fontMetrics(const Font& font) {
  TEXTMETRICA tm{};
  tm.tmHeight = font.height == 0 ? kDefaultHeight : std::abs(font.height);
  tm.tmAscent = tm.tmHeight * 4 / 5;
  tm.tmDescent = tm.tmHeight - tm.tmAscent;
  tm.tmAveCharWidth = font.width > 0 ? font.width : std::max<LONG>(1, tm.tmHeight / 2);
  tm.tmMaxCharWidth = tm.tmAveCharWidth;
  tm.tmWeight = font.weight == 0 ? FW_NORMAL : font.weight;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = '?';
  tm.tmBreakChar = ' ';
  tm.tmItalic = font.italic;
  tm.tmUnderlined = font.underline;
  tm.tmStruckOut = font.strikeOut;
  // The bit named TMPF_FIXED_PITCH is set for variable-pitch fonts.
  const bool fixed = (font.pitchAndFamily & 3) == FIXED_PITCH;
  tm.tmPitchAndFamily = static_cast<BYTE>((font.pitchAndFamily & 0xF0) | (fixed ? 0 : TMPF_FIXED_PITCH));
  tm.tmCharSet = font.charSet;
  return tm;
}

TEXTMETRICA dcFontMetrics(Dc* dc) {
  const Font* font = findFont(dc->font);
  if (!font) font = findFont(stockObject(SYSTEM_FONT));
  return fontMetrics(*font);
}

int getFontObject(const Font& font, int size, void* out) {
  const int need = static_cast<int>(sizeof(LOGFONTA));
  if (!out) return need;
  if (size < need) return 0;
  const LOGFONTA lf = toLogFont(font);
  std::memcpy(out, &lf, sizeof lf);
  return need;
}

void resetFonts() { families = defaultFamilies(); }

}  // namespace pl::gdi

using namespace pl::gdi;

void plTestSetFontFamilies(const std::vector<PlFontFamily>& list) { families = list; }

extern "C" HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
  if (!lplf) return nullptr;
  auto f = std::make_unique<Font>();
  eachField(*f, *lplf, [](auto& to, const auto& from) { to = from; });
  f->faceName.assign(lplf->lfFaceName, strnlen(lplf->lfFaceName, LF_FACESIZE));
  return static_cast<HFONT>(addObject(std::move(f)));
}

// One call per family (with lpLogfont, only the family of that name), each
// with the family's regular style at the default cell height as a TrueType
// font. Answers what the procedure answered last, or 1 when it was not called.
extern "C" int WINAPI EnumFontFamiliesA(HDC hdc, LPCSTR lpLogfont, FONTENUMPROCA lpProc, LPARAM lParam) {
  if (!findDc(hdc) || !lpProc) return 0;
  const std::vector<PlFontFamily> list = families;  // the procedure may change it
  int answer = 1;
  for (const PlFontFamily& family : list) {
    if (lpLogfont && !pl::equalNoCase(family.face, lpLogfont)) continue;
    Font font;
    font.height = kDefaultHeight;
    font.weight = FW_NORMAL;
    font.charSet = family.charSet;
    font.outPrecision = OUT_STROKE_PRECIS;
    font.clipPrecision = CLIP_STROKE_PRECIS;
    font.quality = DRAFT_QUALITY;
    font.pitchAndFamily = family.fixedPitch ? FIXED_PITCH : VARIABLE_PITCH;
    font.faceName = family.face;

    ENUMLOGFONTA elf{};
    elf.elfLogFont = toLogFont(font);
    pl::copyTruncated(family.face, reinterpret_cast<char*>(elf.elfFullName), LF_FULLFACESIZE);
    pl::copyTruncated("Regular", reinterpret_cast<char*>(elf.elfStyle), LF_FACESIZE);

    const TEXTMETRICA tm = fontMetrics(font);
    NEWTEXTMETRICA ntm{};
    std::memcpy(&ntm, &tm, sizeof tm);  // NEWTEXTMETRICA begins with the TEXTMETRICA fields
    ntm.tmPitchAndFamily |= TMPF_VECTOR | TMPF_TRUETYPE;
    ntm.ntmFlags = NTM_REGULAR;
    ntm.ntmSizeEM = static_cast<UINT>(tm.tmHeight);
    ntm.ntmCellHeight = static_cast<UINT>(tm.tmHeight);
    ntm.ntmAvgWidth = static_cast<UINT>(tm.tmAveCharWidth);

    answer = lpProc(&elf.elfLogFont, reinterpret_cast<const TEXTMETRICA*>(&ntm), TRUETYPE_FONTTYPE, lParam);
    if (answer == 0) break;
  }
  return answer;
}
