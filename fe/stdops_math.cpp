// The mathematical operators: exp, ln, log, idiv, mod, fmod, sqrt, atan,
// sin, cos, abs, neg, ceiling, floor, round, truncate, and the random
// generator rand, rrand and srand. Angles are in degrees.
#include "fe/stdops.h"

#include "fe/operator.h"
#include "fe/stdops_groups.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace festd {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLn2 = 0.69314718055994530942;
constexpr double kLog10Of2 = 0.30102999566398119521;

// The generator's state: one 32-bit seed, 1 at start.
uint32_t seed = 1;

uint32_t advance(uint32_t s) { return s * 1103515245u + 12345u; }

double real(feArgs* a, int k) { return a->in[k].d; }

// exp ("RR#R"): base raised to the power.
int opExp(feArgs* a) { return realResult(std::pow(real(a, 0), real(a, 1)), outReal(a, 0)); }

// ln and log ("R#R"): from the binary logarithm; defined above 0 only.
int opLn(feArgs* a) {
  if (!(real(a, 0) > 0)) return feErrRangeCheck;
  return realResult(std::log2(real(a, 0)) * kLn2, outReal(a, 0));
}
int opLog(feArgs* a) {
  if (!(real(a, 0) > 0)) return feErrRangeCheck;
  return realResult(std::log2(real(a, 0)) * kLog10Of2, outReal(a, 0));
}

// idiv and mod ("II#I"): truncated toward zero; the remainder takes the sign
// of the dividend. The most negative integer divided by -1 has no 32-bit
// result.
int opIdiv(feArgs* a) {
  const int32_t x = a->in[0].i, y = a->in[1].i;
  if (y == 0 || (x == INT32_MIN && y == -1)) return feErrRangeCheck;
  *outInt(a, 0) = x / y;
  return feOk;
}
int opMod(feArgs* a) {
  const int32_t x = a->in[0].i, y = a->in[1].i;
  if (y == 0) return feErrUndefinedResult;
  if (x == INT32_MIN && y == -1) return feErrRangeCheck;
  *outInt(a, 0) = x % y;
  return feOk;
}

// fmod ("RR#R"): a divisor below 1e-8, zero and every negative one included,
// is undefined.
int opFmod(feArgs* a) {
  if (!(real(a, 1) >= 1e-8)) return feErrUndefined;
  return realResult(std::fmod(real(a, 0), real(a, 1)), outReal(a, 0));
}

int opSqrt(feArgs* a) {
  if (real(a, 0) < 0) return feErrRangeCheck;
  return realResult(std::sqrt(real(a, 0)), outReal(a, 0));
}

// atan ("RR#R"): num den atan is the angle of the point (den, num), from 0
// up to but not including 360.
int opAtan(feArgs* a) {
  double degrees = std::atan2(real(a, 0), real(a, 1)) * (180.0 / kPi);
  if (degrees < 0) degrees += 360.0;
  // A tiny negative angle rounds up to 360 itself, which is 0; adding 0.0
  // also turns -0.0 into 0.0.
  if (degrees >= 360.0) degrees = 0.0;
  return realResult(degrees + 0.0, outReal(a, 0));
}

double radians(double degrees) { return degrees * kPi * (1.0 / 180.0); }
int opSin(feArgs* a) { return realResult(std::sin(radians(real(a, 0))), outReal(a, 0)); }
int opCos(feArgs* a) { return realResult(std::cos(radians(real(a, 0))), outReal(a, 0)); }

// abs and neg ("O#O"): integers stay integers except where the result does
// not fit (the most negative integer gives the real 2147483648.0).
int opAbsNeg(feArgs* a, bool negate) {
  const feObject* v = inValue(a, 0);
  if (isInt(v)) {
    const int32_t i = v->w0.i;
    if (i == INT32_MIN) return feMakeReal(outValue(a, 0), 2147483648.0);
    return feMakeInt(outValue(a, 0), negate ? -i : (i < 0 ? -i : i));
  }
  if (isReal(v)) return realValue(negate ? -v->w0.d : std::fabs(v->w0.d), outValue(a, 0));
  return feErrTypeCheck;
}
int opAbs(feArgs* a) { return opAbsNeg(a, false); }
int opNeg(feArgs* a) { return opAbsNeg(a, true); }

// ceiling, floor, round and truncate ("O#O"): an integer is answered
// unchanged, a real gives a real.
template <double (*fn)(double)>
int opRounding(feArgs* a) {
  const feObject* v = inValue(a, 0);
  if (isInt(v)) {
    feCopyValue(outValue(a, 0), v);
    return feOk;
  }
  if (isReal(v)) return realValue(fn(v->w0.d), outValue(a, 0));
  return feErrTypeCheck;
}
double ceilingOf(double d) { return std::ceil(d); }
double floorOf(double d) { return std::floor(d); }
double roundOf(double d) { return std::floor(d + 0.5); }
double truncateOf(double d) { return std::trunc(d); }

// rand ("#I"): two steps of the generator; the high 16 bits of the first new
// seed give bits 0-15, bits 16-30 of the second give bits 16-30.
int opRand(feArgs* a) {
  const uint32_t first = advance(seed);
  const uint32_t second = advance(first);
  seed = second;
  *outInt(a, 0) = int32_t((first >> 16) | (second & 0x7FFF0000u));
  return feOk;
}
int opRrand(feArgs* a) {
  *outInt(a, 0) = int32_t(seed);
  return feOk;
}
int opSrand(feArgs* a) {
  seed = uint32_t(a->in[0].i);
  return feOk;
}

const feOpSpec kOps[] = {
    {"exp", opExp, "RR#R"},
    {"ln", opLn, "R#R"},
    {"log", opLog, "R#R"},
    {"idiv", opIdiv, "II#I"},
    {"mod", opMod, "II#I"},
    {"fmod", opFmod, "RR#R"},
    {"sqrt", opSqrt, "R#R"},
    {"atan", opAtan, "RR#R"},
    {"sin", opSin, "R#R"},
    {"cos", opCos, "R#R"},
    {"abs", opAbs, "O#O"},
    {"neg", opNeg, "O#O"},
    {"ceiling", opRounding<ceilingOf>, "O#O"},
    {"floor", opRounding<floorOf>, "O#O"},
    {"round", opRounding<roundOf>, "O#O"},
    {"truncate", opRounding<truncateOf>, "O#O"},
    {"rand", opRand, "#I"},
    {"rrand", opRrand, "#I"},
    {"srand", opSrand, "I"},
};

// The shortcuts for mod on two integers, sqrt on a number and the rounding
// operators on a number at the top of the operand stack: the result
// replaces the operands in place, as the handlers make it. Anything else,
// and every case the handlers refuse, is declined before the stack is
// touched.
int directMod() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 1) return feOpDeclined;
  feObject* y = &stack->slots[stack->top];
  feObject* x = y - 1;
  if (!isInt(x) || !isInt(y)) return feOpDeclined;
  const int32_t u = x->w0.i, v = y->w0.i;
  if (v == 0 || (u == INT32_MIN && v == -1)) return feOpDeclined;
  feMakeInt(x, u % v);
  --stack->top;
  return feOk;
}

int directSqrt() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 0) return feOpDeclined;
  feObject* x = &stack->slots[stack->top];
  if (!isNumber(x)) return feOpDeclined;
  const double d = numberOf(x);
  if (!(d >= 0)) return feOpDeclined;
  const double r = std::sqrt(d);
  if (!std::isfinite(r)) return feOpDeclined;
  feMakeReal(x, r);
  return feOk;
}

template <double (*fn)(double)>
int directRounding() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 0) return feOpDeclined;
  feObject* x = &stack->slots[stack->top];
  if (isInt(x)) return feOk;   // answered unchanged
  if (!isReal(x)) return feOpDeclined;
  const double r = fn(x->w0.d);
  if (!std::isfinite(r)) return feOpDeclined;
  feMakeReal(x, r);
  return feOk;
}

}  // namespace

Group mathOps() { return group(kOps); }

int (*mathDirect(feOpHandler handler, const char* signature))() {
  struct Shortcut {
    feOpHandler handler;
    const char* signature;
    feOpDirect direct;
  };
  static const Shortcut kShortcuts[] = {
      {opMod, "II#I", directMod},
      {opSqrt, "R#R", directSqrt},
      {opRounding<ceilingOf>, "O#O", directRounding<ceilingOf>},
      {opRounding<floorOf>, "O#O", directRounding<floorOf>},
      {opRounding<roundOf>, "O#O", directRounding<roundOf>},
      {opRounding<truncateOf>, "O#O", directRounding<truncateOf>},
  };
  if (!handler || !signature) return nullptr;
  for (const Shortcut& s : kShortcuts)
    if (s.handler == handler && std::strcmp(signature, s.signature) == 0) return s.direct;
  return nullptr;
}

}  // namespace festd

uint32_t feRandSeed() { return festd::seed; }
void feSetRandSeed(uint32_t s) { festd::seed = s; }
