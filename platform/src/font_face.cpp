// Font resolution (fontconfig) and glyph rendering (FreeType) for the GDI's
// text calls; see font_face.h.
#include "font_face.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>

namespace pl::gdi {
namespace {

constexpr LONG kDefaultCell = 16;   // lfHeight 0: cells of 16 pixels
constexpr int kLargestSize = 1000;  // pixel sizes beyond this are clamped

FT_Library library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return lib;
}

bool fontconfigReady() {
  // fontconfig's configuration is released at exit, so that leak checks
  // see only the program's own allocations.
  static const bool ready = [] {
    if (FcInit() != FcTrue) return false;
    std::atexit(FcFini);
    return true;
  }();
  return ready;
}

// What a font asks fontconfig for.
struct Request {
  std::string family;
  bool bold = false;
  bool italic = false;
  bool operator<(const Request& o) const {
    return std::tie(family, bold, italic) < std::tie(o.family, o.bold, o.italic);
  }
};

struct Location {
  std::string file;
  int index = 0;
  bool operator<(const Location& o) const { return std::tie(file, index) < std::tie(o.file, o.index); }
};

// Stock fonts and fonts without a face name name a fixed family, so that
// what they draw does not depend on which other fonts are installed.
Request requestFor(const Font& font) {
  Request r;
  const bool fixed = (font.pitchAndFamily & 3) == FIXED_PITCH;
  if (font.stockId >= 0 || font.faceName.empty()) {
    if (fixed || (font.pitchAndFamily & 0xF0) == FF_MODERN) r.family = "DejaVu Sans Mono";
    else if (font.stockId < 0 && (font.pitchAndFamily & 0xF0) == FF_ROMAN) r.family = "DejaVu Serif";
    else r.family = "DejaVu Sans";
  } else {
    r.family = font.faceName;
  }
  r.bold = font.weight >= 600;
  r.italic = font.italic != 0;
  return r;
}

// The file fontconfig chooses for a request, or an empty file.
Location locate(const Request& request) {
  static std::map<Request, Location> known;
  auto it = known.find(request);
  if (it != known.end()) return it->second;
  Location where;
  if (fontconfigReady()) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match) {
      FcChar8* file = nullptr;
      int index = 0;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        where.file = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) where.index = index;
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  known.emplace(request, where);
  return where;
}

FT_Face openFace(const Location& where) {
  FT_Face face = nullptr;
  if (!library() || where.file.empty()) return nullptr;
  if (FT_New_Face(library(), where.file.c_str(), where.index, &face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face)) {
    FT_Done_Face(face);
    return nullptr;
  }
  return face;
}

// Faces by (file, index, pixel size); a face without a file is the
// fallback of fixed cells used when no font can be opened.
std::map<std::tuple<std::string, int, int>, std::unique_ptr<FontFace>>& faces() {
  static std::map<std::tuple<std::string, int, int>, std::unique_ptr<FontFace>> all;
  return all;
}

FontFace& faceAt(const Location& where, int size) {
  auto key = std::make_tuple(where.file, where.index, size);
  auto& all = faces();
  auto it = all.find(key);
  if (it != all.end()) return *it->second;
  FT_Face face = openFace(where);
  if (face && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) {
    FT_Done_Face(face);
    face = nullptr;
  }
  auto made = std::make_unique<FontFace>(face, face ? where.file : std::string(), where.index, size);
  FontFace& result = *made;
  all.emplace(key, std::move(made));
  return result;
}

// The em size in pixels for a LOGFONTA height: a negative height is the em
// height; a positive one the cell (ascent + descent), so the largest em
// whose cell fits in it (at least 1).
int emSize(const Location& where, LONG height) {
  if (height == 0) height = kDefaultCell;
  if (height < 0) return static_cast<int>(std::clamp<long long>(-static_cast<long long>(height), 1, kLargestSize));
  const int cell = static_cast<int>(std::min<LONG>(height, kLargestSize));
  static std::map<std::pair<Location, int>, int> known;
  auto it = known.find({where, cell});
  if (it != known.end()) return it->second;
  int em = cell;
  if (FT_Face face = openFace(where)) {
    const long span = face->ascender - face->descender;
    if (span > 0) em = std::max(1, static_cast<int>(std::lround(double(cell) * face->units_per_EM / span)));
    FT_Done_Face(face);
  }
  // Rounding in the scaled metrics can make the cell a pixel taller.
  while (em > 1 && faceAt(where, em).height() > cell) --em;
  known.emplace(std::make_pair(where, cell), em);
  return em;
}

int roundPixels(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }

}  // namespace

FontFace::FontFace(FT_FaceRec_* face, std::string file, int index, int pixelSize)
    : face_(face), file_(std::move(file)), index_(index), pixelSize_(pixelSize) {
  if (!face_) {
    // Without a font: cells with an ascent of 4/5 and half as wide as high.
    ascent_ = pixelSize * 4 / 5;
    descent_ = pixelSize - ascent_;
    maxAdvance_ = std::max(1, pixelSize / 2);
    fixedPitch_ = true;
    return;
  }
  const FT_Size_Metrics& m = face_->size->metrics;
  ascent_ = static_cast<int>(m.ascender >> 6);  // FreeType rounds these to whole pixels
  descent_ = static_cast<int>(-m.descender >> 6);
  externalLeading_ = std::max(0, roundPixels(m.height) - (ascent_ + descent_));
  maxAdvance_ = roundPixels(m.max_advance);
  fixedPitch_ = FT_IS_FIXED_WIDTH(face_);
  const double scale = double(pixelSize) / face_->units_per_EM;
  lineThickness_ = std::max(1, static_cast<int>(std::lround(face_->underline_thickness * scale)));
  underlineOffset_ = std::clamp(static_cast<int>(std::lround(-face_->underline_position * scale)), 1,
                                std::max(1, descent_ - lineThickness_ + 1));
  strikeOffset_ = std::max(1, ascent_ / 3);
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2)))
    if (os2->yStrikeoutPosition > 0) strikeOffset_ = std::max(1, static_cast<int>(std::lround(os2->yStrikeoutPosition * scale)));
}

FontFace::~FontFace() {
  if (face_) FT_Done_Face(face_);
}

void FontFace::load(unsigned char code) {
  measured_[code] = true;
  if (!face_) {
    advances_[code] = maxAdvance_;
    return;
  }
  advances_[code] = FT_Load_Char(face_, code, FT_LOAD_DEFAULT) == 0 ? roundPixels(face_->glyph->advance.x) : 0;
}

int FontFace::advance(unsigned char code) {
  if (!measured_[code]) load(code);
  return advances_[code];
}

long FontFace::width(const char* text, int count) {
  long sum = 0;
  for (int i = 0; i < count; ++i) sum += advance(static_cast<unsigned char>(text[i]));
  return sum;
}

const GlyphImage& FontFace::glyph(unsigned char code) {
  GlyphImage& image = images_[code];
  if (rendered_[code]) return image;
  rendered_[code] = true;
  if (!face_ || FT_Load_Char(face_, code, FT_LOAD_RENDER) != 0) return image;
  const FT_Bitmap& b = face_->glyph->bitmap;
  if (b.pixel_mode != FT_PIXEL_MODE_GRAY && b.pixel_mode != FT_PIXEL_MODE_MONO) return image;
  image.left = face_->glyph->bitmap_left;
  image.top = face_->glyph->bitmap_top;
  image.width = static_cast<int>(b.width);
  image.rows = static_cast<int>(b.rows);
  image.coverage.resize(static_cast<size_t>(image.width) * image.rows);
  for (int y = 0; y < image.rows; ++y) {
    const unsigned char* src = b.buffer + static_cast<ptrdiff_t>(y) * b.pitch;
    uint8_t* dst = image.coverage.data() + static_cast<size_t>(y) * image.width;
    for (int x = 0; x < image.width; ++x) {
      if (b.pixel_mode == FT_PIXEL_MODE_GRAY) dst[x] = b.num_grays == 256 ? src[x] : static_cast<uint8_t>(src[x] * 255 / std::max(1, int(b.num_grays) - 1));
      else dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
    }
  }
  return image;
}

FontFace& fontFace(const Font& font) {
  const Location where = locate(requestFor(font));
  return faceAt(where, emSize(where, font.height));
}

FontFace& dcFace(Dc* dc) {
  const Font* font = findFont(dc->font);
  if (!font) font = findFont(stockObject(SYSTEM_FONT));
  return fontFace(*font);
}

std::vector<std::pair<std::string, bool>> installedFamilies() {
  static const std::vector<std::pair<std::string, bool>> list = [] {
    std::map<std::string, bool> byName;
    if (fontconfigReady()) {
      FcPattern* pattern = FcPatternCreate();
      FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
      FcObjectSet* fields = FcObjectSetBuild(FC_FAMILY, FC_SPACING, nullptr);
      if (FcFontSet* set = FcFontList(nullptr, pattern, fields)) {
        for (int i = 0; i < set->nfont; ++i) {
          FcChar8* family = nullptr;
          if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch || !family) continue;
          int spacing = FC_PROPORTIONAL;
          FcPatternGetInteger(set->fonts[i], FC_SPACING, 0, &spacing);
          auto [it, added] = byName.emplace(reinterpret_cast<const char*>(family), spacing >= FC_MONO);
          if (!added) it->second = it->second && spacing >= FC_MONO;
        }
        FcFontSetDestroy(set);
      }
      FcObjectSetDestroy(fields);
      FcPatternDestroy(pattern);
    }
    return std::vector<std::pair<std::string, bool>>(byName.begin(), byName.end());
  }();
  return list;
}

}  // namespace pl::gdi
