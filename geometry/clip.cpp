// The clip test: outcodes, the clipped move and draw, and the polygon test.
#include "geometry/clip.h"

#include "core/vec.h"
#include "draw/csys.h"

namespace {

struct ClipState {
  int32_t rect[4] = {0, 0, 0, 0};  // left, top, right, bottom
  uint32_t hit = 0;
  int32_t x = 0, y = 0;            // the current point in pixels
  uint16_t code = 0;               // and its outcode
};

ClipState clip;

// A point through the current transform to whole pixels, divided by its
// weight when that is neither 0 nor 1, as the drawing maps it.
void toPixels(const double* point, int32_t* out) {
  const double* m = csysTransform();
  double r[4];
  for (int k = 0; k < 4; ++k) r[k] = m[4 * k] * point[0] + m[4 * k + 1] * point[1] + m[4 * k + 2] * point[2] + m[4 * k + 3];
  if (r[3] != 0 && r[3] != 1) {
    r[0] /= r[3];
    r[1] /= r[3];
  }
  vecRoundN(2, r, out);
}

}  // namespace

void clipRectSet(const int32_t* rect) {
  for (int i = 0; i < 4; ++i) clip.rect[i] = rect[i];
}

void clipRectGet(int32_t* rect) {
  for (int i = 0; i < 4; ++i) rect[i] = clip.rect[i];
}

uint32_t clipHitTake() {
  const uint32_t hit = clip.hit;
  clip.hit = 0;
  return hit;
}

uint16_t clipOutcode(int32_t x, int32_t y) {
  uint16_t code = 0;
  if (x < clip.rect[0]) code |= clipLeft;
  if (y < clip.rect[1]) code |= clipTop;
  if (x > clip.rect[2]) code |= clipRight;
  if (y > clip.rect[3]) code |= clipBottom;
  return code;
}

int clipMoveTo(const double* point) {
  int32_t p[2];
  toPixels(point, p);
  clip.x = p[0];
  clip.y = p[1];
  clip.code = clipOutcode(p[0], p[1]);
  if (clip.code == 0) {
    clip.hit = 1;
    return -1;
  }
  return 0;
}

int clipLineTo(const double* point) {
  int32_t p[2];
  toPixels(point, p);
  // The segment runs from the old current point to the new one, which is
  // current from here on whatever the answer.
  int64_t x0 = clip.x, y0 = clip.y, x1 = p[0], y1 = p[1];
  uint16_t a = clip.code, b = clipOutcode(p[0], p[1]);
  clip.x = p[0];
  clip.y = p[1];
  clip.code = b;

  if (a == 0 || b == 0) {
    clip.hit = 1;
    return -1;
  }
  if (a & b) return 0;
  for (int halving = 0; halving < 16; ++halving) {
    // Floor of the midpoint in 64 bits: no overflow at the ends of the range.
    const int64_t mx = (x0 + x1) >> 1, my = (y0 + y1) >> 1;
    const uint16_t m = clipOutcode(int32_t(mx), int32_t(my));
    if (m == 0) {
      clip.hit = 1;
      return -1;
    }
    if (m & a) {
      if (m & b) return 0;
      x0 = mx;
      y0 = my;
      a = m;
    } else {
      x1 = mx;
      y1 = my;
      b = m;
    }
  }
  clip.hit = 1;
  return 1;
}

int clipPolyTest(int n, const double* points) {
  if (n < 1 || !points) return 0;

  // The corner inside a convex polygon: the same strict side of every edge
  // (edges of no length say nothing and are passed over).
  if (n >= 3) {
    const double cx = clip.rect[0], cy = clip.rect[1];
    int sign = 0;
    bool inside = true;
    for (int i = 0; i < n && inside; ++i) {
      const double* p = points + 3 * i;
      const double* q = points + 3 * (i == 0 ? n - 1 : i - 1);
      const double ex = p[0] - q[0], ey = p[1] - q[1];
      if (ex == 0 && ey == 0) continue;
      const double cross = ex * (cy - q[1]) - ey * (cx - q[0]);
      const int s = cross > 0 ? 1 : cross < 0 ? -1 : 0;
      if (s == 0 || (sign != 0 && s != sign)) inside = false;
      sign = s;
    }
    if (inside && sign != 0) return 1;
  }

  csysPush();
  csysReset();
  clip.hit = 0;
  clipMoveTo(points + 3 * (n - 1));
  for (int i = 0; i < n; ++i) clipLineTo(points + 3 * i);
  csysPop();
  return int(clip.hit);
}
