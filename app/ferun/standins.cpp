#include "app/ferun/standins.h"

#include "core/bbox.h"
#include "core/classes.h"
#include "core/errors.h"
#include "core/matrix.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/output.h"
#include "fe/value.h"
#include "views/xforms.h"
#include "objects/gobject.h"
#include "objects/ioformat.h"
#include "objects/nearcurve.h"
#include "objects/objinfo.h"
#include "objects/objmsg.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

struct tsegRec {
  gobjRec head;
  double pt[2][3];
};

uint16_t tsegClass;

// Message 316 sets a curve's length from its start.
enum { kSetLength = msgPointAtLength };

double dot3(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
void sub3(const double* a, const double* b, double* out) {
  for (int i = 0; i < 3; ++i) out[i] = a[i] - b[i];
}
void at(const tsegRec* seg, double t, double* out) {
  for (int i = 0; i < 3; ++i) out[i] = seg->pt[0][i] + t * (seg->pt[1][i] - seg->pt[0][i]);
}

int pointIndex(const feObject* key) {
  if (feType(key) != feTName) return -1;
  const char* text;
  size_t length;
  feNameText(key, &text, &length);
  if (length != 3 || text[0] != 'p' || text[1] != 't' || (text[2] != '0' && text[2] != '1')) return -1;
  return text[2] - '0';
}

// After the points changed. The box of an object in a document is where
// the sieve files it: it is only marked changed here, and message 320 moves
// the object to its new place (removing it by its old box).
void updateBox(tsegRec* seg) {
  if (seg->head.flags & gobjInSieve) seg->head.flags |= gobjChanged;
  else bboxFromCorners(seg->pt[0], seg->pt[1], seg->head.box);
}

int getPoint(const tsegRec* seg, int which, feObject* out) {
  feObject xyz[3];
  for (int i = 0; i < 3; ++i) feMakeReal(&xyz[i], seg->pt[which][i]);
  feFree(out);
  return feMakeArray(out, xyz, 3);
}

int setPoint(tsegRec* seg, int which, const feObject* value) {
  if (feType(value) != feTArray || feArrayLength(value) != 3) return feErrTypeCheck;
  double p[3];
  for (int i = 0; i < 3; ++i) {
    const feObject* v = feArrayElem(value, i);
    if (feType(v) != feTInt && feType(v) != feTReal) return feErrTypeCheck;
    p[i] = feGetNumber(v, nullptr);
  }
  std::memcpy(seg->pt[which], p, sizeof p);
  updateBox(seg);
  return 0;
}

// Makes a tseg from alternating keys and values; every key goes through
// message 108, so "locked" may stand anywhere in the list.
int create(const feObject* list, gobjRec** slot) {
  if (feType(list) != feTArray) return feErrTypeCheck;
  gobjRec* object = objNew(tsegClass);
  if (!object) return -1;
  const int32_t n = feArrayLength(list);
  for (int32_t i = 0; i + 1 < n; i += 2) {
    const feObject* key = feArrayElem(list, i);
    if (feNameIs(key, "type")) continue;
    int answer = objMeth(tsegClass, msgSetAttr, object, reinterpret_cast<intptr_t>(key),
                         reinterpret_cast<intptr_t>(feArrayElem(list, i + 1)));
    if (answer != 0) {
      objFree(object);
      return answer;
    }
  }
  *slot = object;
  return 0;
}

// 304: the box of the points at t0 and t1.
int boxRange(const tsegRec* seg, double t0, double t1, double* box) {
  double a[3], b[3];
  at(seg, t0, a);
  at(seg, t1, b);
  for (int i = 0; i < 3; ++i) {
    box[i] = std::min(a[i], b[i]);
    box[3 + i] = std::max(a[i], b[i]);
  }
  return 0;
}

// 316: p1 moves along the segment so that its length becomes the given one;
// a zero-length segment first points along x.
int setLength(tsegRec* seg, double length) {
  double d[3];
  sub3(seg->pt[1], seg->pt[0], d);
  double old = std::sqrt(dot3(d, d));
  if (old < 1e-30) {
    d[0] = 1, d[1] = 0, d[2] = 0;
    old = 1;
  }
  for (int i = 0; i < 3; ++i) seg->pt[1][i] = seg->pt[0][i] + length / old * d[i];
  updateBox(seg);
  return 0;
}

// 318: both ends to the screen; the squared distance in x and y to the
// segment there, clamped to its ends, and the parameter of the nearest point.
int nearest(const tsegRec* seg, const crvNearRec* rec) {
  double a[3], b[3];
  vwWorldToScreen(seg->pt[0], a);
  vwWorldToScreen(seg->pt[1], b);
  const double dx = b[0] - a[0], dy = b[1] - a[1];
  const double qx = rec->point[0] - a[0], qy = rec->point[1] - a[1];
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? (qx * dx + qy * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = qx - t * dx, ey = qy - t * dy;
  if (rec->outSquared) *rec->outSquared = ex * ex + ey * ey;
  if (rec->outParam) *rec->outParam = t;
  return 0;
}

// 349, packed (cursor point, point, out t, out foot, flags): the foot of the
// point on the segment's line (clamped to the ends unless flag bit 0);
// 1 when the unclamped foot lies on the segment.
int hitTest(const tsegRec* seg, const intptr_t* block) {
  const auto* point = reinterpret_cast<const double*>(block[1]);
  if (!point) return 0;
  double d[3], q[3];
  sub3(seg->pt[1], seg->pt[0], d);
  sub3(point, seg->pt[0], q);
  const double len2 = dot3(d, d);
  const double raw = len2 > 0 ? dot3(q, d) / len2 : 0;
  const double t = (block[4] & 1) ? raw : std::clamp(raw, 0.0, 1.0);
  if (auto* outT = reinterpret_cast<double*>(block[2])) *outT = t;
  if (auto* foot = reinterpret_cast<double*>(block[3])) at(seg, t, foot);
  return raw >= 0 && raw <= 1 ? 1 : 0;
}

// 411: the clean-up key: the direction scaled to 1024 and the foot of the
// origin on the carrier line, in 32-bit wrap-around arithmetic.
int cleanUpKey(const tsegRec* seg, int32_t* out) {
  double d[3];
  sub3(seg->pt[1], seg->pt[0], d);
  const double len = std::sqrt(dot3(d, d));
  uint32_t h = 0;
  for (double v : d) h = h * 1023u + uint32_t(int64_t(len > 0 ? std::fabs(v) * 1024 / len : 0));
  const double t = len > 0 ? -dot3(seg->pt[0], d) / (len * len) : 0;
  double f[3];
  at(seg, t, f);
  const double fl = std::sqrt(dot3(f, f));
  *out = int32_t(h - 999u * uint32_t(int64_t(-1000 * fl)));
  return 0;
}

// 410: merges the other segment into this one when both lie on one line and
// overlap or touch: 0, this segment covering both; -10 for another colour or
// style, -1 when not collinear, -3 when apart.
int merge(tsegRec* seg, const gobjRec* otherHead, gobjRec** slot) {
  if (!otherHead || otherHead->classId != tsegClass) return feErrTypeCheck;
  const auto* other = reinterpret_cast<const tsegRec*>(otherHead);
  if (other->head.color != seg->head.color || other->head.style != seg->head.style) return -10;
  double a[3], b[3], q[3];
  sub3(seg->pt[1], seg->pt[0], a);
  sub3(other->pt[1], other->pt[0], b);
  const double cross[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  const double la = std::sqrt(dot3(a, a)), lb = std::sqrt(dot3(b, b));
  if (std::sqrt(dot3(cross, cross)) > 1e-12 * la * lb || la == 0) return -1;
  sub3(other->pt[0], seg->pt[0], q);
  const double s = dot3(q, a) / (la * la);
  double off[3];
  for (int i = 0; i < 3; ++i) off[i] = q[i] - s * a[i];
  if (std::sqrt(dot3(off, off)) > 1e-12) return -1;
  sub3(other->pt[1], seg->pt[0], q);
  const double s1raw = dot3(q, a) / (la * la);
  const double s0 = std::min(s, s1raw), s1 = std::max(s, s1raw);
  if (s1 < 0 || s0 > 1) return -3;
  double p0[3], p1[3];
  at(seg, std::min(s0, 0.0), p0);
  at(seg, std::max(s1, 1.0), p1);
  std::memcpy(seg->pt[0], p0, sizeof p0);
  std::memcpy(seg->pt[1], p1, sizeof p1);
  updateBox(seg);
  if (slot) *slot = &seg->head;
  return 0;
}

// 703: 0 when the other segment has the same ends, in either order, over
// the first n coordinates; else -1.
int sameAs(const tsegRec* seg, const gobjRec* otherHead, intptr_t n) {
  if (!otherHead || otherHead->classId != tsegClass) return -1;
  const auto* other = reinterpret_cast<const tsegRec*>(otherHead);
  const int count = int(std::clamp<intptr_t>(n, 0, 3));
  auto equal = [count](const double* p, const double* q) {
    for (int i = 0; i < count; ++i)
      if (p[i] != q[i]) return false;
    return true;
  };
  if (equal(seg->pt[0], other->pt[0]) && equal(seg->pt[1], other->pt[1])) return 0;
  if (equal(seg->pt[0], other->pt[1]) && equal(seg->pt[1], other->pt[0])) return 0;
  return -1;
}

int tsegHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* seg = static_cast<tsegRec*>(object);
  const uint16_t super = objSuperClass(tsegClass);
  switch (message) {
    case msgNew:
      return gobjNewAs(tsegClass, sizeof(tsegRec), a);
    case msgGetAttr: {
      int which = pointIndex(reinterpret_cast<const feObject*>(a));
      if (which < 0) break;
      return getPoint(seg, which, reinterpret_cast<feObject*>(b));
    }
    case msgSetAttr: {
      int which = pointIndex(reinterpret_cast<const feObject*>(a));
      if (which < 0) break;
      return setPoint(seg, which, reinterpret_cast<const feObject*>(b));
    }
    case msgDraw: {
      // The object's colour and pen first, then the segment in world
      // coordinates.
      const int answer = objMeth(super, message, object, a, b, c);
      vwMoveToW(seg->pt[0]);
      vwLineToW(seg->pt[1]);
      return answer;
    }
    case msgExtents: {
      auto* corners = reinterpret_cast<double*>(a);
      for (int i = 0; i < 3; ++i) {
        corners[i] = std::min(seg->pt[0][i], seg->pt[1][i]);
        corners[3 + i] = std::max(seg->pt[0][i], seg->pt[1][i]);
      }
      return 0;
    }
    case msgIO: {
      int answer = objMeth(super, message, object, a, b, c);
      if (answer < 0) return answer;
      auto* ctx = reinterpret_cast<ioCtx*>(a);
      if (ioFormat(ctx, "6d", &seg->pt[0][0]) < 0) return -1;
      if (ctx->mode == 'r') updateBox(seg);
      return 0;
    }
    case msgCopy: {
      int answer = objMeth(super, message, object, a, b, c);
      auto** out = reinterpret_cast<gobjRec**>(a);
      if (answer == 0 && *out) std::memcpy(reinterpret_cast<tsegRec*>(*out)->pt, seg->pt, sizeof seg->pt);
      return answer;
    }
    case msgXform: {
      const double* m = reinterpret_cast<const double*>(a);
      for (auto& p : seg->pt) aPtTransform(3, p, m, p);
      updateBox(seg);
      if (b) *reinterpret_cast<gobjRec**>(b) = &seg->head;
      return 0;
    }
    case msgEnumVertices: {
      auto callback = reinterpret_cast<int (*)(double*, void*, int)>(a);
      int number = int(c);
      for (auto& p : seg->pt) callback(p, reinterpret_cast<void*>(b), number++);
      return number;
    }
    case msgEnumKeys: {
      int answer = objMeth(super, message, object, a, b, c);
      auto callback = reinterpret_cast<objKeyCallback>(a);
      for (const char* name : {"pt0", "pt1"}) {
        if (answer != 0) break;
        feObject key;
        feMakeName(&key, name, 3);
        answer = callback(&key, reinterpret_cast<void*>(b));
      }
      return answer;
    }
    case msgBoxRange:
      return boxRange(seg, *reinterpret_cast<const double*>(a), *reinterpret_cast<const double*>(b),
                      reinterpret_cast<double*>(c));
    case kSetLength: {
      const int answer = setLength(seg, *reinterpret_cast<const double*>(a));
      if (b) *reinterpret_cast<gobjRec**>(b) = &seg->head;
      return answer;
    }
    case msgNearest:
      return nearest(seg, reinterpret_cast<const crvNearRec*>(a));
    case msgHitTest:
      return hitTest(seg, reinterpret_cast<const intptr_t*>(a));
    case msgCleanUpKey:
      return cleanUpKey(seg, reinterpret_cast<int32_t*>(a));
    case msgCleanUpMerge:
      return merge(seg, reinterpret_cast<const gobjRec*>(a), reinterpret_cast<gobjRec**>(b));
    case msgSameAs:
      return sameAs(seg, reinterpret_cast<const gobjRec*>(a), b);
    case msgCreate:
      return create(reinterpret_cast<const feObject*>(a), reinterpret_cast<gobjRec**>(b));
    case msgPropPanel: {
      // The drawing attributes, then the two points.
      const int answer = objMeth(super, message, object, a, b, c);
      infoAddPoint(reinterpret_cast<void*>(a), "pt0", seg->pt[0], 1);
      infoAddPoint(reinterpret_cast<void*>(a), "pt1", seg->pt[1], 1);
      return answer;
    }
    default:
      break;
  }
  return objMeth(super, message, object, a, b, c);
}

// The recording edit-object tool: one line of interpreter output per message.
struct toolRec {
  uint16_t classId;
  uint8_t refCount;
  uint8_t spare;
};
uint16_t getinfoClass;

void say(const std::string& text) {
  const std::string line = "[getinfo] " + text + "\n";
  feOutWrite(line.data(), line.size());
}

int getinfoHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t) {
  switch (message) {
    case msgInfo600: {
      auto* tool = new toolRec{getinfoClass, gobjPermanent, 0};
      *reinterpret_cast<void**>(a) = tool;
      say("open");
      return 0;
    }
    case msgInfo604: return 1;
    case msgInfo606:
      delete static_cast<toolRec*>(object);
      say("closed");
      return 0;
    case msgInfo601: say("begin"); return 0;
    case msgInfo602: say("end"); return 0;
    case msgInfo603: say("title " + std::string(reinterpret_cast<const char*>(a), size_t(b))); return 0;
    case msgInfo605: {
      const auto* field = reinterpret_cast<const infoFieldMsg*>(a);
      const char* kinds[] = {"?", "text", "choice", "more"};
      const int kind = field->kind >= 1 && field->kind <= 3 ? field->kind : 0;
      say(std::string(kinds[kind]) + (field->editable ? " " : " read-only ") + field->name + "=" + field->value);
      return 0;
    }
    default: return objMeth(objSuperClass(getinfoClass), message, object, a, b);
  }
}

}  // namespace

void standinsInit() {
  if (tsegClass) return;
  // A pass-through "curve" (its null handler inherits gobject's) while the
  // curve classes do not exist.
  uint16_t curve = objClassByName("curve");
  if (!curve) curve = objClassRegister("curve", gobjClassId(), nullptr);
  tsegClass = objClassRegister("tseg", curve, tsegHandler);
  if (!objClassByName(infoToolClassName)) getinfoClass = objClassRegister(infoToolClassName, 0, getinfoHandler);
  standinsLoadLibInit();
}

uint16_t tsegClassId() { return tsegClass; }
