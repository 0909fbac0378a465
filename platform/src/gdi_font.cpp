// Fonts: CreateFontIndirectA keeps the LOGFONTA it is given and GetObjectA
// answers it back; what a font draws with is resolved on first use through
// fontconfig and FreeType (font_face.cpp). GetTextMetricsA reports that
// face at its pixel size. EnumFontFamiliesA reports the installed families,
// or the list a test sets.
#include "font_face.h"
#include "gdi.h"
#include "layer.h"

#include <platform_test.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace pl::gdi {
namespace {

constexpr LONG kDefaultHeight = 16;

// The families a test set; without them, the installed ones.
bool familiesSet = false;
std::vector<PlFontFamily> families;

std::vector<PlFontFamily> currentFamilies() {
  if (familiesSet) return families;
  std::vector<PlFontFamily> list;
  for (const auto& [face, fixed] : installedFamilies()) list.push_back({face, fixed, ANSI_CHARSET});
  return list;
}

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
  FontFace& face = fontFace(font);
  TEXTMETRICA tm{};
  tm.tmAscent = face.ascent();
  tm.tmDescent = face.descent();
  tm.tmHeight = face.height();
  tm.tmInternalLeading = std::max(0, face.height() - face.pixelSize());
  tm.tmExternalLeading = face.externalLeading();
  tm.tmAveCharWidth = std::max(1, face.advance('x'));
  tm.tmMaxCharWidth = std::max<LONG>(tm.tmAveCharWidth, face.maxAdvance());
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
  const bool fixed = face.fixedPitch();
  tm.tmPitchAndFamily = static_cast<BYTE>((font.pitchAndFamily & 0xF0) | (fixed ? 0 : TMPF_FIXED_PITCH));
  if (!face.file().empty()) tm.tmPitchAndFamily |= TMPF_VECTOR | TMPF_TRUETYPE;
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

void resetFonts() {
  familiesSet = false;
  families.clear();
}

}  // namespace pl::gdi

using namespace pl::gdi;

void plTestSetFontFamilies(const std::vector<PlFontFamily>& list) {
  families = list;
  familiesSet = true;
}

bool plTestFontFile(HFONT font, std::string* file, int* faceIndex, int* pixelSize) {
  const Font* f = findFont(font);
  if (!f) return false;
  FontFace& face = fontFace(*f);
  if (face.file().empty()) return false;
  if (file) *file = face.file();
  if (faceIndex) *faceIndex = face.index();
  if (pixelSize) *pixelSize = face.pixelSize();
  return true;
}

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
  const std::vector<PlFontFamily> list = currentFamilies();  // the procedure may change it
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
    ntm.ntmSizeEM = static_cast<UINT>(tm.tmHeight - tm.tmInternalLeading);
    ntm.ntmCellHeight = static_cast<UINT>(tm.tmHeight);
    ntm.ntmAvgWidth = static_cast<UINT>(tm.tmAveCharWidth);

    answer = lpProc(&elf.elfLogFont, reinterpret_cast<const TEXTMETRICA*>(&ntm), TRUETYPE_FONTTYPE, lParam);
    if (answer == 0) break;
  }
  return answer;
}
