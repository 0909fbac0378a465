// aQuery and aQueryOrigin: the user gives one or two points through the
// tools' point input, and a value named by a key is pushed.
#include "core/arcangle.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/arrays.h"
#include "fe/signature.h"
#include "fe/stack.h"
#include "fe/value.h"
#include "objects/scriptsvc.h"
#include "objects/uphooks.h"

#include <cmath>
#include <cstring>

namespace {

struct Key {
  const char* name;
  int most;
  int least;
};
const Key kKeys[] = {
    {"point", 1, 1}, {"angle", 2, 2},  {"length", 2, 2},  {"delta", 2, 2},  {"delta0", 2, 1},
    {"origin", 1, 1}, {"ptdir", 2, 1}, {"originv", 2, 1}, {"offset", 2, 2},
};

const Key* keyOf(const char* key, size_t length) {
  for (const Key& k : kKeys)
    if (std::strlen(k.name) == length && std::memcmp(k.name, key, length) == 0) return &k;
  return nullptr;
}

bool is(const char* key, size_t length, const char* name) {
  return std::strlen(name) == length && std::memcmp(key, name, length) == 0;
}

// The program-wide origin of "delta0", set by "origin", "originv" and
// aQueryOrigin (world coordinates).
double queryOrigin[3];

// World to work-plane coordinates (flag 257 a point, 258 a direction).
void toPlane(double v[3], int flag) {
  if (fePointConverter convert = feGetPointConverter()) convert(v, flag);
}

void difference(const double a[3], const double b[3], double out[3]) {
  for (int i = 0; i < 3; ++i) out[i] = b[i] - a[i];
}
double length3(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
// The unit direction from a to b; a zero vector when they coincide.
void direction(const double a[3], const double b[3], double out[3]) {
  difference(a, b, out);
  const double n = length3(out);
  if (n > 0)
    for (int i = 0; i < 3; ++i) out[i] /= n;
}

queryValue real(double d) {
  queryValue v{};
  v.kind = 1;
  v.v[0] = d;
  v.n = 1;
  return v;
}
queryValue triple(int kind, const double p[3]) {
  queryValue v{};
  v.kind = kind;
  std::memcpy(v.v, p, sizeof(double) * 3);
  v.n = 3;
  return v;
}

// Pushes a value: points and vectors as arrays of three plane coordinates,
// reals as reals.
void push(const queryValue& value) {
  feStack** stack = feOperandStack();
  feObject slot;
  if (value.kind == 1) {
    feMakeReal(&slot, value.v[0]);
    fePush(stack, &slot);
    return;
  }
  double v[6];
  std::memcpy(v, value.v, sizeof v);
  if (value.kind == 3) toPlane(v, 257);
  if (value.kind == 4) toPlane(v, 258);
  feObject elements[6];
  for (int i = 0; i < value.n; ++i) feMakeReal(&elements[i], v[i]);
  feMakeArray(&slot, elements, uint32_t(value.n));
  fePush(stack, &slot);
}

// The rubber band from the first point: XOR lines, each drawn again to
// take it down.
struct Band {
  bool shown = false;
  double from[3]{}, to[3]{};
  void toggle() const {
    if (!shown) return;
    vwMoveToW(from);
    vwLineToW(to);
  }
};

void bandStep(const double (*points)[3], int count, const double*, void* user) {
  auto* band = static_cast<Band*>(user);
  if (count < 2) return;
  gxSetDrawMode(2);
  band->toggle();
  std::memcpy(band->from, points[0], sizeof band->from);
  std::memcpy(band->to, points[count - 1], sizeof band->to);
  band->shown = true;
  band->toggle();
}

}  // namespace

int queryPointsWanted(const char* key, size_t length, int* least) {
  const Key* k = keyOf(key, length);
  if (least) *least = k ? k->least : 0;
  return k ? k->most : 0;
}

bool queryCompute(const char* key, size_t length, const double (*points)[3], int count, double origin[3],
                  queryValue out[2], int* outCount) {
  *outCount = 0;
  int least = 0;
  if (!queryPointsWanted(key, length, &least) || count < least) return false;
  const double* a = points[0];
  const double* b = count > 1 ? points[1] : nullptr;
  double v[3] = {0, 0, 0};
  if (is(key, length, "point")) {
    out[(*outCount)++] = triple(3, a);
  } else if (is(key, length, "angle")) {
    double pa[3], pb[3];
    std::memcpy(pa, a, sizeof pa);
    std::memcpy(pb, b, sizeof pb);
    toPlane(pa, 257);
    toPlane(pb, 257);
    out[(*outCount)++] = real(arcAngleOf(pb, pa, 0));
  } else if (is(key, length, "length")) {
    difference(a, b, v);
    out[(*outCount)++] = real(length3(v));
  } else if (is(key, length, "delta")) {
    difference(a, b, v);
    out[(*outCount)++] = triple(4, v);
  } else if (is(key, length, "delta0")) {
    if (b)
      difference(a, b, v);
    else
      difference(origin, a, v);
    out[(*outCount)++] = triple(4, v);
  } else if (is(key, length, "origin")) {
    std::memcpy(origin, a, sizeof(double) * 3);
    out[(*outCount)++] = triple(3, a);
  } else if (is(key, length, "ptdir")) {
    out[(*outCount)++] = triple(3, a);
    if (b) direction(a, b, v);
    out[(*outCount)++] = triple(4, v);
  } else if (is(key, length, "originv")) {
    std::memcpy(origin, a, sizeof(double) * 3);
    queryValue coords{};
    coords.kind = 6;
    std::memcpy(coords.v, a, sizeof(double) * 3);
    toPlane(coords.v, 257);
    coords.n = 3;
    if (b) {
      direction(a, b, v);
      toPlane(v, 258);
      std::memcpy(coords.v + 3, v, sizeof v);
      coords.n = 6;
    }
    out[(*outCount)++] = coords;
  } else if (is(key, length, "offset")) {
    double mid[3];
    for (int i = 0; i < 3; ++i) mid[i] = (a[i] + b[i]) / 2;
    difference(a, b, v);
    out[(*outCount)++] = triple(3, mid);
    out[(*outCount)++] = real(length3(v));
  }
  return true;
}

// "!AP{3D}".
int aQueryOriginOp(feArgs* args) {
  std::memcpy(queryOrigin, args->in[0].block, sizeof queryOrigin);
  return 0;
}

// "!A{II}S#B": screen point and key; the value is pushed below the boolean.
int aQueryOp(feArgs* args) {
  const auto* at = static_cast<const int32_t*>(args->in[0].block);
  const char* key = args->in[1].text.text;
  const size_t length = size_t(args->in[1].text.length);
  auto* answer = static_cast<int32_t*>(args->out[0]);
  *answer = 0;
  int least = 0;
  const int most = queryPointsWanted(key, length, &least);
  if (!most) return 0;

  double buffer[objPointsMax][3];
  const int before = objToolPoints(buffer);
  Band band;
  gxStatePush();
  gxSetDrawMode(2);
  objTrackPoints(at[0], at[1], bandStep, &band, 0, nullptr);
  band.toggle();
  gxStatePop();

  const int after = objToolPoints(buffer);
  const int given = after - before;
  double points[2][3] = {};
  const int used = given < most ? given : most;
  for (int i = 0; i < used; ++i) std::memcpy(points[i], buffer[before + i], sizeof points[i]);
  // The query's points leave the tool buffer as it was.
  if (given > 0) {
    if (before == 0)
      objClearToolPoints();
    else
      objDropToolPoints(given);
  }

  queryValue values[2];
  int count = 0;
  if (used < least || !queryCompute(key, length, points, used, queryOrigin, values, &count)) return 0;
  for (int i = 0; i < count; ++i) push(values[i]);
  *answer = 1;
  return 0;
}
