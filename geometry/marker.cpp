// Point markers: the bitmap table and the drawing through the drawing
// layer's marker table.
#include "geometry/marker.h"

#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "objects/objrecord.h"
#include "views/wplane.h"

namespace {

const markBitmap kMarkers[markStyleCount] = {
    {5, 2, {0x1f, 0x11, 0x11, 0x11, 0x1f, 0x00, 0x00, 0x00}},  // hollow square
    {5, 2, {0x1f, 0x1f, 0x1f, 0x1f, 0x1f, 0x00, 0x00, 0x00}},  // filled square
    {4, 4, {0x00, 0x08, 0x08, 0x08, 0x7f, 0x08, 0x08, 0x08}},  // plus
    {4, 4, {0x08, 0x08, 0x14, 0x14, 0x22, 0x22, 0x41, 0x7f}},  // hollow triangle up
    {4, 3, {0x7f, 0x41, 0x22, 0x22, 0x14, 0x14, 0x08, 0x00}},  // hollow triangle down
    {3, 3, {0x82, 0x44, 0x28, 0x10, 0x28, 0x44, 0x82, 0x00}},  // diagonal cross
    {3, 3, {0x38, 0x44, 0x82, 0x82, 0x82, 0x44, 0x38, 0x00}},  // hollow circle
    {3, 3, {0x38, 0x7c, 0xfe, 0xfe, 0xfe, 0x7c, 0x38, 0x00}},  // filled circle
    {3, 3, {0x10, 0x28, 0x44, 0x82, 0x44, 0x28, 0x10, 0x00}},  // hollow diamond
    {3, 3, {0x10, 0x38, 0x7c, 0xfe, 0x7c, 0x38, 0x10, 0x00}},  // filled diamond
    {2, 2, {0x20, 0x70, 0xf8, 0x70, 0x20, 0x00, 0x00, 0x00}},  // small filled diamond
    {4, 3, {0x7f, 0x7f, 0x3e, 0x3e, 0x1c, 0x1c, 0x08, 0x00}},  // filled triangle down
    {0, 4, {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}},  // vertical bar
    {4, 1, {0x08, 0x08, 0x1c, 0x1c, 0x3e, 0x3e, 0x7f, 0x7f}},  // filled triangle up
};

// The table entry of each style, once the bitmaps are in the table.
int entries[markStyleCount];
bool built = false;

// Whether the drawing layer's table still holds the markers where they
// were put: it is emptied when the layer is started over.
bool tableHoldsMarkers() {
  if (!built) return false;
  for (int s = 0; s < markStyleCount; ++s) {
    const int e = entries[s];
    if (e < 0 || uint32_t(e) >= gx.patternCount) return false;
    const gxPatternEntry& p = gx.patterns[e];
    if (p.hotX != kMarkers[s].hotX || p.hotY != kMarkers[s].hotY || p.width != 8 || p.height != 8) return false;
  }
  return true;
}

void buildTable() {
  for (int s = 0; s < markStyleCount; ++s)
    entries[s] = gxMakePatternBrush(kMarkers[s].hotX, kMarkers[s].hotY, 8, 8, kMarkers[s].rows);
  built = true;
}

}  // namespace

const markBitmap* markBitmapOf(int style) {
  if (style < 0 || style >= markStyleCount) return nullptr;
  return &kMarkers[style];
}

int markDraw(const double* point, int style, int mode) {
  if (style < 0 || style >= markStyleCount || !point) return -1;
  if (!tableHoldsMarkers()) buildTable();
  int32_t pixel[2];
  vwWorldToPixel(point, pixel);
  const POINT at{pixel[0], pixel[1]};
  gxDrawMarkerBitmap(&at, entries[style], mode);
  if (mode == 1) objDamageRect(point, point);
  return 0;
}

int markDrawCur(const double* point, int style) {
  markDraw(point, style, -1);
  return 0;
}
