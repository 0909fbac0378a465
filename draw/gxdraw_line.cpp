// Lines: integer pen moves and lines kept within the coordinate limits,
// dotted pens, segments in doubles with their 32-bit clipping, and the
// polygon collector.
#include "draw/gxdraw.h"
#include "draw/gxdraw_internal.h"

#include "core/alloc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>

namespace {

int noEndPixel = 0;

// The polygon collector.
bool collecting = false;
POINT* polyPoints = nullptr;
uint32_t polyCount = 0;

// The double pen position and the out-of-range history (bit 0 the latest
// point, bit 1 the one before).
double segPos[2] = {0, 0};
uint32_t segHistory = 0;

// The pattern byte of each dotted style (style AND 3).
const int kDotPattern[4] = {0, 2, 1, 3};

bool inRange(int32_t x, int32_t y) {
  const int32_t l2 = gx.limit2;
  return -l2 < x && x < l2 && -l2 < y && y < l2;
}

void polyAppend(int32_t x, int32_t y) {
  uAlloc(&polyPoints, &polyCount, polyCount + 1, sizeof(POINT));
  polyPoints[polyCount - 1] = POINT{x, y};
}

struct DotWalk {
  int mask;
  int value;
  bool steep;
  COLORREF rgb;
};

void CALLBACK dotPixel(int x, int y, LPARAM data) {
  const DotWalk& walk = *reinterpret_cast<const DotWalk*>(data);
  if (((walk.steep ? y : x) & walk.mask) == walk.value) gxdPutPixel(x, y, walk.rgb);
}

// Draws from the device pen position (the pen position, in range) to a
// point in range.
void lineDirect(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  if (collecting) {
    polyAppend(x1, y1);
    return;
  }
  if (!gx.dc) return;
  const int style = gx.penStyle;
  if (style >= 1 && style <= 3) {
    const int e = gx.scaleExp;
    DotWalk walk;
    walk.mask = (4 << e) - 1;
    walk.value = kDotPattern[style & 3] << e;
    walk.steep = std::abs(int64_t(y1) - y0) > std::abs(int64_t(x1) - x0);
    walk.rgb = gxDrawRGB(gx.color);
    LineDDA(x0, y0, x1, y1, dotPixel, reinterpret_cast<LPARAM>(&walk));
    MoveToEx(gx.dc, x1, y1, nullptr);
    return;
  }
  LineTo(gx.dc, x1, y1);
  if (!noEndPixel) gxdPutPixel(x1, y1, gx.rgb);
}

void deviceMove(int32_t x, int32_t y) {
  if (collecting) {
    polyAppend(x, y);
    return;
  }
  if (gx.dc) MoveToEx(gx.dc, x, y, nullptr);
}

// The range rule: draw directly when both ends are in range; otherwise
// split at the integer midpoint while the segment's box meets the L1
// square; otherwise only move.
void lineLimited(int32_t x0, int32_t y0, bool in0, int32_t x1, int32_t y1, int depth) {
  const bool in1 = inRange(x1, y1);
  const int32_t l1 = gx.limit1;
  const bool overlaps = std::min(x0, x1) <= l1 && std::max(x0, x1) >= -l1 && std::min(y0, y1) <= l1 &&
                        std::max(y0, y1) >= -l1;
  const int32_t mx = int32_t((int64_t(x0) + x1) >> 1), my = int32_t((int64_t(y0) + y1) >> 1);
  const bool splits = !(mx == x0 && my == y0) && !(mx == x1 && my == y1);
  if (in0 && in1) {
    lineDirect(x0, y0, x1, y1);
  } else if (overlaps && splits && depth < 64) {
    lineLimited(x0, y0, in0, mx, my, depth + 1);
    lineLimited(mx, my, inRange(mx, my), x1, y1, depth + 1);
  } else if (in1) {
    deviceMove(x1, y1);
  }
  gx.penX = x1;
  gx.penY = y1;
  gx.penInRange = in1;
}

// Cohen-Sutherland outcode against +-16777216.
const double kSegLimit = 16777216.0;
int outcode(const double* p) {
  int code = 0;
  if (p[0] < -kSegLimit) code |= 4;
  if (p[0] > kSegLimit) code |= 8;
  if (p[1] < -kSegLimit) code |= 1;
  if (p[1] > kSegLimit) code |= 2;
  return code;
}

// Moves an end with an outcode onto the boundary its code names (x codes
// first), interpolating the other coordinate along the segment a-b.
void clipEnd(double* end, int code, const double* a, const double* b) {
  int axis;
  double bound;
  if (code & 12) {
    axis = 0;
    bound = code & 4 ? -kSegLimit : kSegLimit;
  } else {
    axis = 1;
    bound = code & 1 ? -kSegLimit : kSegLimit;
  }
  const double den = b[axis] - a[axis];
  if (den == 0) return;
  const double t = (bound - a[axis]) / den;
  end[axis] = bound;
  end[1 - axis] = (1 - t) * a[1 - axis] + t * b[1 - axis];
}

// Clips a to b against the square; false when nothing is left.
bool clipSegment(double* a, double* b) {
  const double a0[2] = {a[0], a[1]}, b0[2] = {b[0], b[1]};
  for (int round = 0; round < 8; ++round) {
    const int ca = outcode(a), cb = outcode(b);
    if (!ca && !cb) return true;
    if (ca & cb) return false;
    if (ca) clipEnd(a, ca, a0, b0);
    if (cb) clipEnd(b, cb, a0, b0);
  }
  return !outcode(a) && !outcode(b);
}

bool fitsInt32(double v) { return v >= -2147483648.0 && v <= 2147483647.0; }

int32_t roundInt(double v) {
  const double r = std::floor(v + 0.5);
  if (!(r >= -2147483648.0)) return INT32_MIN;
  if (r > 2147483647.0) return INT32_MAX;
  return int32_t(r);
}

}  // namespace

void gxdPutPixel(int x, int y, COLORREF rgb) {
  if (!gx.dc) return;
  rgb &= 0x00FFFFFF;
  if (gx.drawMode == gxModeXor) {
    const COLORREF now = GetPixel(gx.dc, x, y);
    if (now == CLR_INVALID) return;
    SetPixelV(gx.dc, x, y, (now ^ rgb) & 0x00FFFFFF);
  } else {
    SetPixelV(gx.dc, x, y, rgb);
  }
}

void gxMoveTo(int32_t x, int32_t y) {
  gx.penX = x;
  gx.penY = y;
  gx.penInRange = inRange(x, y);
  if (gx.penInRange) deviceMove(x, y);
}

void gxLineTo(int32_t x, int32_t y) { lineLimited(gx.penX, gx.penY, gx.penInRange, x, y, 0); }

int gxSetNoEndPixel(int flag) {
  const int old = noEndPixel;
  noEndPixel = flag;
  return old;
}

int gxNoEndPixel() { return noEndPixel; }

void gxSegment(int draw, const double point[2]) {
  if (const intptr_t hook = gxGetSlot(gxSlotSegment)) {
    // The hook takes the segment, but curves still start from this point.
    reinterpret_cast<gxSegmentHook>(hook)(draw, point);
    segPos[0] = point[0];
    segPos[1] = point[1];
    return;
  }
  segHistory = (segHistory << 1) & 3;
  if (!fitsInt32(point[0]) || !fitsInt32(point[1])) segHistory |= 1;
  if (!segHistory) {
    if (draw)
      gxLineTo(roundInt(point[0]), roundInt(point[1]));
    else
      gxMoveTo(roundInt(point[0]), roundInt(point[1]));
  } else {
    segHistory &= 1;
    if (!draw) {
      gxMoveTo(roundInt(point[0]), roundInt(point[1]));
    } else {
      double a[2] = {segPos[0], segPos[1]}, b[2] = {point[0], point[1]};
      if (clipSegment(a, b)) {
        gxMoveTo(roundInt(a[0]), roundInt(a[1]));
        gxLineTo(roundInt(b[0]), roundInt(b[1]));
      } else {
        gxMoveTo(roundInt(point[0]), roundInt(point[1]));
      }
    }
  }
  segPos[0] = point[0];
  segPos[1] = point[1];
}

void gxSegmentPos(double out[2]) {
  out[0] = segPos[0];
  out[1] = segPos[1];
}

void gxPolyEnd(int flag) {
  if (!flag) {
    uAlloc(&polyPoints, &polyCount, 0, sizeof(POINT));
    collecting = true;
    return;
  }
  collecting = false;
  if (gx.dc && polyCount >= 2) {
    HBRUSH brush = CreateSolidBrush(gxDrawRGB(gx.color) & 0x00FFFFFF);
    HGDIOBJ old = SelectObject(gx.dc, brush);
    Polygon(gx.dc, polyPoints, int(polyCount));
    SelectObject(gx.dc, old);
    DeleteObject(brush);
  }
  uAlloc(&polyPoints, &polyCount, 0, sizeof(POINT));
}

bool gxPolyCollecting() { return collecting; }
