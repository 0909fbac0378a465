// The point calculator's script operators: the last-point registers as
// script values, points to and from text, and the point arithmetic.
//
// Points of the calculator (A{DDD}) are taken and given as they are; the
// registers read through AP/AV convert between world and work plane.
#include "geometry/lastpt.h"

#include "core/alloc.h"
#include "core/units.h"
#include "core/vec.h"
#include "fe/operator.h"
#include "fe/units_ops.h"
#include "geometry/lastpt_internal.h"
#include "views/wplane.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

double* point(feArgs* args, int index) { return static_cast<double*>(args->in[index].block); }
double* pointOut(feArgs* args, int slot) { return static_cast<double*>(args->out[slot]); }

// The count of a point-variable operator, kept within one point: the
// argument blocks hold three doubles.
uint32_t components(feArgs* args) { return uint32_t(std::clamp(args->in[0].i, 0, 3)); }

// The generic point variable, bound by the parameter word to the address of
// three doubles. "!i<3>P#AP{3D}" (and AV) reads it into the result;
// "!i<3> AP{3D} P#" stores the given point.
int pointVariableOp(feArgs* args) {
  const uint32_t n = components(args);
  if (args->outCount > 0)
    vecCopyN(n, reinterpret_cast<const double*>(args->in[1].word), pointOut(args, 0));
  else
    vecCopyN(n, point(args, 1), reinterpret_cast<double*>(args->in[2].word));
  return 0;
}

// "!I<0>#R" the last length, "!I<1>#R" the last angle.
int lastScalarOp(feArgs* args) {
  *static_cast<double*>(args->out[0]) = args->in[0].i == 0 ? lastpt::length : lastpt::angle;
  return 0;
}

// "!A{DDD}#S": x and y as lengths in the current units, joined by "; ".
int pointToStringOp(feArgs* args) {
  const double* p = point(args, 0);
  // Each coordinate takes at most 64 characters.
  char x[65], y[65];
  unitFormatDefault(p[0], sizeof x, x, unitPrecCurrent);
  unitFormatDefault(p[1], sizeof y, y, unitPrecCurrent);
  const std::string text = std::string(x) + "; " + y;
  const uint32_t n = uint32_t(text.size());
  char* block = static_cast<char*>(uAlloc(nullptr, nullptr, n + 1, 1));
  std::memcpy(block, text.c_str(), n + 1);
  auto* out = static_cast<feArgText*>(args->out[0]);
  out->text = block;
  out->length = int32_t(n);
  return 0;
}

// "!S#A{DDD}": fields separated by ";" read as lengths into x, y and z in
// turn. A missing field, or one that does not read as a length, stays 0; an
// empty field after a final ";" is not read; fields past the third are
// ignored (a point has three coordinates).
int stringToPointOp(feArgs* args) {
  const feArgText& in = args->in[0].text;
  double* out = pointOut(args, 0);
  const char* text = in.text;
  const char* end = in.text ? in.text + in.length : nullptr;
  for (int axis = 0; axis < 3 && text && text < end; ++axis) {
    const char* stop = std::find(text, end, ';');
    // Each field goes to the reader terminated, as a copy.
    const std::string field(text, stop);
    double value = 0.0;
    if (unitParseLength(field.c_str(), int32_t(field.size()), &value) == 0) out[axis] = value;
    if (stop == end) break;
    text = stop + 1;
  }
  return 0;
}

// "A{DDD}A{DDD}I<mode>#R": 0 |p2 - p1|; 1 the angle in turns (0 to 1) of p1
// seen from p2, in world x and y. -1 for another mode.
int calcScalarOp(feArgs* args) {
  const double* p1 = point(args, 0);
  const double* p2 = point(args, 1);
  double* out = static_cast<double*>(args->out[0]);
  switch (args->in[2].i) {
    case 0: *out = vecDist3(p1, p2); return 0;
    case 1: {
      double turns = std::atan2(p1[1] - p2[1], p1[0] - p2[0]) / kTwoPi;
      if (turns < 0.0) turns += 1.0;
      *out = turns;
      return 0;
    }
    default: return -1;
  }
}

// "A{DDD}A{DDD}R I<mode>#A{DDD}": 0 the point at distance r from p2 towards
// p1 (p2 when they are equal); 1 p2 plus the work plane's x axis, scaled to
// |p1 - p2| and turned by r turns about the world z axis; 2 p1 - p2; 3 p1 +
// p2 (r unused for 2 and 3). -1 for another mode.
int calcPointOp(feArgs* args) {
  const double* p1 = point(args, 0);
  const double* p2 = point(args, 1);
  const double r = args->in[2].d;
  double* out = pointOut(args, 0);
  switch (args->in[3].i) {
    case 0: {
      const double distance = vecDist3(p1, p2);
      if (distance == 0.0) {
        vecCopy3(p2, out);
        return 0;
      }
      double d[3];
      vecSub3(p1, p2, d);
      vecAxpy3(r / distance, p2, d, out);
      return 0;
    }
    case 1: {
      double axis[3], v[3];
      wpGetAxis(0, axis);
      vecSetLen3(vecDist3(p1, p2), axis, v);
      double c = 1.0, s = 0.0;
      angSinCos(r, &c, &s);
      const double turned[3] = {v[0] * c - v[1] * s, v[0] * s + v[1] * c, v[2]};
      vecAdd3(p2, turned, out);
      return 0;
    }
    case 2: vecSub3(p1, p2, out); return 0;
    case 3: vecAdd3(p1, p2, out); return 0;
    default: return -1;
  }
}

struct OpSpec {
  const char* name;
  feOpHandler handler;
  const char* signature;
  const void* variable;  // the parameter word: the register a point variable is bound to
};

const OpSpec kOps[] = {
    {"aLastPt", pointVariableOp, "!i<3>P#AP{3D}", lastpt::point},
    {"aLastDelta", pointVariableOp, "!i<3>P#AV{3D}", lastpt::delta},
    {"aLastLen", lastScalarOp, "!I<0>#R", nullptr},
    {"aLastAng", lastScalarOp, "!I<1>#R", nullptr},
    {"aPointToString", pointToStringOp, "!A{DDD}#S", nullptr},
    {"aStringToPoint", stringToPointOp, "!S#A{DDD}", nullptr},
    {"aLastPoint", pointVariableOp, "!i<3>P#AP{3D}", lastpt::general},
    {"aSetLastPoint", pointVariableOp, "!i<3> AP{3D} P#", lastpt::general},
    {"aCalcDistance", calcScalarOp, "A{DDD}A{DDD}I<0>#R", nullptr},
    {"aCalcAngle", calcScalarOp, "A{DDD}A{DDD}I<1>#R", nullptr},
    {"aCalcPtDistance", calcPointOp, "A{DDD}A{DDD}RI<0>#A{DDD}", nullptr},
    {"aCalcPtAngle", calcPointOp, " A{DDD}A{DDD}RI<1>#A{DDD}", nullptr},
    {"aCalcPtDelta", calcPointOp, "A{DDD}A{DDD}R<1.0>I<2>#A{DDD}", nullptr},
    {"aCalcPtSum", calcPointOp, "A{DDD}A{DDD}R<1.0>I<3>#A{DDD}", nullptr},
};

}  // namespace

int calcInit() {
  const uintptr_t instance = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  int first = 0;
  for (const OpSpec& op : kOps) {
    const int rc = feRegisterOp(op.name, op.handler, op.signature, reinterpret_cast<uintptr_t>(op.variable), instance);
    if (rc && !first) first = rc;
  }
  return first;
}
