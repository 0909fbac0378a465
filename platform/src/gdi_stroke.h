// Pen strokes shared by the line and shape calls: a stroke is first gathered
// into a mask of device pixels (each pixel once, so XOR strokes never undo
// themselves where segments meet), then painted with the pen's colour and
// the DC's ROP2. Dotted one-pixel pens alternate one pixel on, one off; in
// OPAQUE mode the gaps take the background colour.
#ifndef PLUMET_PLATFORM_GDI_STROKE_H
#define PLUMET_PLATFORM_GDI_STROKE_H

#include "gdi.h"

#include <vector>

namespace pl::gdi {

// Device pixels of a stroke or shape within a box (the rest is dropped).
struct PixelMask {
  enum : uint8_t { kNone = 0, kPen = 1, kGap = 2 };
  RECT box{};
  std::vector<uint8_t> cells;

  explicit PixelMask(const RECT& bounds);
  uint8_t get(int x, int y) const;
  void mark(int x, int y, uint8_t value);  // kPen wins over kGap
};

// The pen a DC draws with (its selected pen, else the black pen).
const Pen& penOf(Dc* dc);
inline bool isNullPen(const Pen& pen) { return pen.style == PS_NULL; }
inline bool isWide(const Pen& pen) { return pen.width > 1; }
inline bool isDotted(const Pen& pen) { return !isWide(pen) && pen.style != PS_SOLID && pen.style != PS_INSIDEFRAME; }

// Marks one pen position: a pixel, or a disc as wide as a wide pen.
void markPen(PixelMask& mask, const Pen& pen, int x, int y, uint8_t value);

// Calls visit(x, y) for the Bresenham points from a up to but not including b.
template <class Visit>
void walkLine(POINT a, POINT b, Visit visit) {
  const long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
  const int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
  // Step along the major axis; the minor axis follows the error term.
  const bool steep = (dy < 0 ? -dy : dy) > (dx < 0 ? -dx : dx);
  const long long major = steep ? dy * sy : dx * sx, minor = steep ? dx * sx : dy * sy;
  long long x = a.x, y = a.y, err = major / 2;
  for (long long i = 0; i < major; ++i) {
    visit(static_cast<int>(x), static_cast<int>(y));
    (steep ? y : x) += steep ? sy : sx;
    err -= minor;
    if (err < 0) {
      (steep ? x : y) += steep ? sx : sy;
      err += major;
    }
  }
}

// Marks a polyline of device points. Each segment stops before its end; a
// wide pen also marks the last point (round caps). phase carries the dot
// pattern from call to call.
void markPolyline(PixelMask& mask, const Pen& pen, const std::vector<POINT>& points, int& phase);

// Paints the marked pixels with the pen (and the background colour in the
// gaps when the DC is OPAQUE), through the clip region and the DC's ROP2.
void paintMask(Dc* dc, const PixelMask& mask, const Pen& pen);

// The box of a list of device points grown by a pen's reach, cut to the
// surface.
RECT strokeBox(const std::vector<POINT>& points, const Pen& pen, const Surface& surface);

}  // namespace pl::gdi

#endif
