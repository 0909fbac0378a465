// Painting a run of text with the DC's font, shared by TextOutA, ExtTextOutA
// (gdi_text.cpp) and DrawTextA (gdi_drawtext.cpp). Not part of the public
// interface.
#ifndef PLUMET_PLATFORM_TEXT_PAINT_H
#define PLUMET_PLATFORM_TEXT_PAINT_H

#include "font_face.h"
#include "gdi.h"

namespace pl::gdi {

struct TextRun {
  const char* text = nullptr;
  int count = 0;
  const INT* dx = nullptr;  // per-character advances, or null for the font's
  int underlined = -1;      // a character drawn underlined (DrawTextA's prefix), or -1
};

// The advance of a run in logical units.
long runWidth(FontFace& face, const TextRun& run);

// Paints run with its cell's top-left corner at logical (left, top): the
// cell background in OPAQUE mode, then the glyphs blended by coverage in the
// text colour, then the font's underline and strike-out. Drawing stays in the
// DC's clip region and, when given, in the logical rectangle clipTo. ROP2
// does not apply. False when the DC has no surface.
bool paintRun(Dc* dc, FontFace& face, const Font* font, LONG left, LONG top, const TextRun& run,
              const RECT* clipTo);

}  // namespace pl::gdi

#endif
