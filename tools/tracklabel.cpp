// Text of the tracking feedback: the snap label beside the snapped point
// and the coordinate readout, both in the feedback font.
#include "tools/track.h"

#include "core/units.h"
#include "draw/gdi.h"
#include "draw/gx.h"
#include "draw/gxdraw.h"
#include "views/wplane.h"

#include <windows.h>

namespace {

constexpr int kLabelOffset = 5;
constexpr int kReadoutInset = 2;
constexpr int kReadoutRoom = 32;

gxFontSpec font{1, 9, 0};
RECT coordRect{0, 0, 0, 0};

}  // namespace

void trackSetFont(int face, int size, int style) {
  font.face = uint16_t(face);
  font.size = uint16_t(size);
  font.style = uint8_t(style);
}

void trackGetFont(int* face, int* size, int* style) {
  if (face) *face = font.face;
  if (size) *size = font.size;
  if (style) *style = font.style;
}

void trackSetCoordRect(int left, int top, int right, int bottom) { coordRect = RECT{left, top, right, bottom}; }

void trackDrawLabel(int x, int y, const char* text, int length, int bold) {
  if (!text || length <= 0) return;
  gxFontSpec spec = font;
  if (bold) spec.style = uint8_t(spec.style | gxFontBold);
  const POINT at{x + kLabelOffset, y - kLabelOffset};
  gxTextToBitmap(&at, &spec, text, length);
}

void trackCoordReadout(const double* point) {
  if (coordRect.right <= coordRect.left || coordRect.bottom <= coordRect.top) return;
  double onPlane[3];
  wpConvert(2, point, 0, onPlane);
  const int width = coordRect.right - coordRect.left;
  int edges[4];
  for (int i = 0; i < 4; ++i) edges[i] = coordRect.left + i * width / 3;
  for (int i = 0; i < 3; ++i) {
    const RECT column{edges[i], coordRect.top, edges[i + 1], coordRect.bottom};
    gxRect(gxRectFill, &column);
    gxRect(gxRectInvert, &column);
    char text[kReadoutRoom + 1] = {};
    const int length = int(unitFormatDefault(onPlane[i], kReadoutRoom, text, -1));
    if (length > 0) {
      gxSetColor(1);  // black
      const POINT at{column.left + kReadoutInset, column.bottom - kReadoutInset};
      gxTextToBitmap(&at, &font, text, length);
    }
  }
  for (int i = 1; i < 3; ++i) {
    gxMoveTo(edges[i], coordRect.top);
    gxLineTo(edges[i], coordRect.bottom - 1);
  }
}
