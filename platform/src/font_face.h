// Fonts with glyphs: a LOGFONTA resolved through fontconfig to an installed
// font file and rendered by FreeType at a pixel size. Faces are shared per
// (file, face index, pixel size) and kept for the run; each remembers the
// advances and coverage images of the 256 character codes it has been asked
// for, so text calls cost one table look-up per character after the first.
//
// Character codes are single bytes read as Latin-1. Advances are FreeType's
// hinted advances rounded to whole pixels; kerning is not applied, so the
// width of a string is the sum of its characters' advances.
#ifndef PLUMET_PLATFORM_FONT_FACE_H
#define PLUMET_PLATFORM_FONT_FACE_H

#include "gdi.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FT_FaceRec_;

namespace pl::gdi {

// A glyph's coverage (0 none .. 255 full), rows top to bottom; left and top
// place its top-left corner relative to the pen position on the baseline
// (top counts upwards).
struct GlyphImage {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  std::vector<uint8_t> coverage;
};

class FontFace {
 public:
  FontFace(FT_FaceRec_* face, std::string file, int index, int pixelSize);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  int advance(unsigned char code);
  const GlyphImage& glyph(unsigned char code);
  // The sum of the advances of text[0 .. count).
  long width(const char* text, int count);

  const std::string& file() const { return file_; }
  int index() const { return index_; }
  int pixelSize() const { return pixelSize_; }  // the em height in pixels
  int ascent() const { return ascent_; }
  int descent() const { return descent_; }
  int height() const { return ascent_ + descent_; }
  int externalLeading() const { return externalLeading_; }
  int maxAdvance() const { return maxAdvance_; }
  bool fixedPitch() const { return fixedPitch_; }
  // Underline: rows below the baseline where it starts, and its thickness;
  // strike-out: rows above the baseline where it starts.
  int underlineOffset() const { return underlineOffset_; }
  int lineThickness() const { return lineThickness_; }
  int strikeOffset() const { return strikeOffset_; }

 private:
  void load(unsigned char code);
  FT_FaceRec_* face_;
  std::string file_;
  int index_;
  int pixelSize_;
  int ascent_ = 0, descent_ = 0, externalLeading_ = 0, maxAdvance_ = 0;
  bool fixedPitch_ = false;
  int underlineOffset_ = 1, lineThickness_ = 1, strikeOffset_ = 1;
  std::array<int, 256> advances_{};
  std::array<bool, 256> measured_{};
  std::array<bool, 256> rendered_{};
  std::array<GlyphImage, 256> images_{};
};

// The face a font renders with (resolved once per font object and kept in
// its cache); never null: a font that resolves to nothing falls back to the
// default family.
FontFace& fontFace(const Font& font);
// The DC's font face (the system font when the DC's font is gone).
FontFace& dcFace(Dc* dc);

// The families fontconfig knows of scalable fonts, sorted, with whether each
// is fixed pitch (EnumFontFamiliesA's list until a test sets one).
std::vector<std::pair<std::string, bool>> installedFamilies();

}  // namespace pl::gdi

#endif
