// The arrow slots: definitions, the built-in outlines, sizes and the
// placement of an outline at a tip.
#include "objects/arrow.h"

#include "core/alloc.h"
#include "core/vec.h"

#include <cmath>

namespace {

arrowSlot* slots[arrowSlotCount];

arrowSlot* slotOf(int32_t type) { return slots[type & 7]; }

// The built-in outlines: integer points times the point scale, size factor
// 4 for all.
struct BuiltIn {
  int32_t type;
  bool filled;
  double pointScale;
  int32_t n;
  int32_t pairs[2 * 13];
};

#define ARROW_CIRCLE 4, 1, 3, 3, 1, 4, -1, 4, -3, 3, -4, 1, -4, -1, -3, -3, -1, -4, 1, -4, 3, -3, 4, -1, 4, 1
const BuiltIn kBuiltIns[] = {
    {0, true, 0.3, 4, {0, 0, 5, 1, 4, 0, 5, -1}},               // notched filled head
    {1, true, 0.25, 3, {0, 0, 4, 1, 4, -1}},                    // filled triangle
    {2, false, 0.25, 5, {0, 0, 5, 1, 4, 0, 5, -1, 0, 0}},       // open head
    {4, true, 0.0625, 4, {4, 5, 5, 4, -4, -5, -5, -4}},         // oblique tick
    {5, true, 0.0625, 4, {-4, 5, -5, 4, 4, -5, 5, -4}},         // the other tick
    {6, true, 0.05, 13, {ARROW_CIRCLE}},                        // dot
    {7, false, 0.05, 13, {ARROW_CIRCLE}},                       // open circle
};
#undef ARROW_CIRCLE
constexpr double kBuiltInSizeFactor = 4.0;

// The placement: outline point (x, y) to p + x u + y w.
int32_t place(const arrowSlot* slot, const double p[3], const double u[3], const double w[3], double* out) {
  const double* pts = arrowSlotPoints(slot);
  for (int32_t i = 0; i < slot->count; ++i) {
    const double x = pts[3 * i], y = pts[3 * i + 1];
    for (int k = 0; k < 3; ++k) out[3 * i + k] = p[k] + x * u[k] + y * w[k];
  }
  return slot->count;
}

// u = q - p at length along (a zero vector stays zero); w = v at length
// across when v is given, else u turned a quarter in the xy plane, at
// length across. With along 0 the side still follows q - p, so that an
// outline flat along the shaft keeps its width.
void axes(const double p[3], const double q[3], double along, double across, const double* v, double u[3],
          double w[3]) {
  double d[3];
  vecSub3(q, p, d);
  vecSetLen3(along, d, u);
  if (v) {
    vecSetLen3(across, v, w);
  } else {
    const double* from = along != 0.0 ? u : d;
    const double turned[3] = {-from[1], from[0], 0.0};
    vecSetLen3(across, turned, w);
  }
}

double ratio(double length, double extent) { return extent == 0.0 ? 0.0 : length / extent; }

}  // namespace

const arrowSlot* arrowGetSlot(int32_t type) { return slotOf(type); }

void arrowDefine(int32_t type, bool filled, double pointScale, double sizeFactor, const int32_t* pairs,
                 int32_t n) {
  arrowSlot*& slot = slots[type & 7];
  uFreeIfSet(&slot);
  if (n < 0) n = 0;
  if (n > arrowMaxPairs) n = arrowMaxPairs;
  // A filled outline is closed by a copy of its first point, when it has one.
  const int32_t count = filled && n >= 1 ? n + 1 : n;
  slot = static_cast<arrowSlot*>(
      uAlloc(nullptr, nullptr, 1, uint32_t(sizeof(arrowSlot) + sizeof(double) * 3 * uint32_t(count))));
  slot->count = count;
  slot->filled = filled ? 1 : 0;
  double* pts = arrowSlotPoints(slot);
  double maxX = 0.0, maxY = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    const double x = pairs[2 * i] * pointScale, y = pairs[2 * i + 1] * pointScale;
    pts[3 * i] = x;
    pts[3 * i + 1] = y;
    pts[3 * i + 2] = 0.0;
    maxX = std::fmax(maxX, std::fabs(x));
    maxY = std::fmax(maxY, std::fabs(y));
  }
  if (count > n)
    for (int k = 0; k < 3; ++k) pts[3 * n + k] = pts[k];
  slot->maxX = maxX;
  slot->maxY = maxY;
  slot->sizedMaxY = maxY;
  slot->nominalSize = pointScale * sizeFactor;
}

void arrowLoadDefaults() {
  arrowTerm();
  for (const BuiltIn& b : kBuiltIns) arrowDefine(b.type, b.filled, b.pointScale, kBuiltInSizeFactor, b.pairs, b.n);
}

void arrowTerm() {
  for (arrowSlot*& slot : slots) uFreeIfSet(&slot);
}

extern "C" double* arrowGetSize(int32_t type, double scale, double out[2]) {
  if (const arrowSlot* slot = slotOf(type)) {
    out[0] = scale * slot->nominalSize;
    out[1] = 2.0 * scale * slot->maxY;
  } else {
    out[0] = scale;
    out[1] = 0.4 * scale;
  }
  return out;
}

extern "C" double* arrowBaseSize(int32_t type, double out[2]) {
  const arrowSlot* slot = slotOf(type);
  out[0] = slot ? slot->maxX : 0.0;
  out[1] = slot ? 2.0 * slot->maxY : 0.0;
  return out;
}

extern "C" void arrowSizeD(double size, int32_t type, double* length, double* height, double* dot) {
  double base[2];
  arrowBaseSize(type, base);
  if (length) *length = size * base[0];
  if (height) *height = size * base[1];
  if (dot) *dot = size * base[1];
}

extern "C" void arrowSizeF(float size, int32_t type, float* length, float* height, float* dot) {
  double l, h, d;
  arrowSizeD(size, type, &l, &h, &d);
  if (length) *length = float(l);
  if (height) *height = float(h);
  if (dot) *dot = float(d);
}

extern "C" int32_t arrowIsFilled(int32_t type) {
  const arrowSlot* slot = slotOf(type);
  return slot ? int32_t(slot->filled) : 0;
}

extern "C" int32_t arrowPoints(int32_t type, const double p[3], const double q[3], double s, const double* v,
                               double* out) {
  const arrowSlot* slot = slotOf(type);
  if (!slot) return 0;
  double u[3], w[3];
  axes(p, q, s, s, v, u, w);
  return place(slot, p, u, w, out);
}

extern "C" int32_t arrowPointsSized(int32_t type, const double p[3], const double q[3], double L, double W,
                                    double S, const double* v, double* out) {
  const arrowSlot* slot = slotOf(type);
  if (!slot) return 0;
  double along, across;
  if ((type & 7) < 4) {
    along = ratio(L, slot->maxX);
    across = ratio(W, 2.0 * slot->sizedMaxY);
  } else {
    along = ratio(S, 2.0 * slot->maxX);
    across = ratio(S, 2.0 * slot->sizedMaxY);
  }
  double u[3], w[3];
  axes(p, q, along, across, v, u, w);
  return place(slot, p, u, w, out);
}
