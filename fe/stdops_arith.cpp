// add, sub, mul and div: one handler, the operation selected by the
// constant of the signature. Two numbers give a number; two arrays of one
// length give a new array of the element-wise results, nested arrays
// recursing.
#include "fe/arrays.h"
#include "fe/attnpoll.h"
#include "fe/operator.h"
#include "fe/stdops_groups.h"

#include <cmath>
#include <cstring>

namespace festd {
namespace {

enum Operation { kAdd = 1, kSub = 2, kMul = 3, kDiv = 4 };

int numbers(int32_t op, const feObject* a, const feObject* b, feObject* out) {
  const double x = numberOf(a);
  const double y = numberOf(b);
  double r = 0;
  switch (op) {
    case kAdd: r = x + y; break;
    case kSub: r = x - y; break;
    case kMul: r = x * y; break;
    case kDiv:
      if (y == 0) return feErrUndefinedResult;
      r = x / y;
      break;
    default:
      return feErrUnimplemented;
  }
  // Two integers give an integer when the exact result fits in 32 bits
  // (div always answers a real). Products of two 32-bit integers can lose
  // bits in a double only far outside that range, so the test is exact.
  if (op != kDiv && isInt(a) && isInt(b) && fitsInt(r)) return feMakeInt(out, int32_t(r));
  return realValue(r, out);
}

// The pairs of arrays being combined, outermost first. An array that holds
// itself would make the recursion endless: meeting a pair again on the way
// down, or nesting deeper than kMaxDepth, answers 270 (limitcheck), and the
// native stack stays bounded.
struct Path {
  static constexpr int kMaxDepth = 256;
  struct Pair {
    const feObject* a;
    const feObject* b;
  };
  Pair pairs[kMaxDepth];
  int depth = 0;

  static bool same(const feObject* x, const feObject* y) {
    return x->w0.arr == y->w0.arr && x->offset == y->offset && x->length == y->length;
  }
  bool holds(const feObject* a, const feObject* b) const {
    for (int k = 0; k < depth; ++k)
      if (same(pairs[k].a, a) && same(pairs[k].b, b)) return true;
    return false;
  }
};

int combine(int32_t op, const feObject* a, const feObject* b, feObject* out, Path* path);

int arrays(int32_t op, const feObject* a, const feObject* b, feObject* out, Path* path) {
  const int32_t n = feArrayLength(a);
  if (n != feArrayLength(b)) return feErrLengthCheck;
  if (path->depth == Path::kMaxDepth || path->holds(a, b)) return feErrLimitCheck;
  if (feAttnPoll()) return feErrInterrupt;
  feObject result;
  if (const int rc = feMakeArray(&result, nullptr, uint32_t(n))) return rc;
  path->pairs[path->depth++] = {a, b};
  int rc = feOk;
  for (int32_t k = 0; k < n && rc == feOk; ++k) {
    feObject element;
    rc = combine(op, feArrayElem(a, k), feArrayElem(b, k), &element, path);
    if (rc == feOk) feArrayPut(&result, k, &element);
  }
  --path->depth;
  if (rc != feOk) {
    feFree(&result);
    return rc;
  }
  *out = result;
  return feOk;
}

int combine(int32_t op, const feObject* a, const feObject* b, feObject* out, Path* path) {
  if (isNumber(a) && isNumber(b)) return numbers(op, a, b, out);
  if (feType(a) == feTArray && feType(b) == feTArray) return arrays(op, a, b, out, path);
  return feErrTypeCheck;
}

// "I<k>OO#O": the operation, the two operands, the result.
int opArith(feArgs* args) {
  Path path;
  return combine(args->in[0].i, inValue(args, 1), inValue(args, 2), outValue(args, 0), &path);
}

const feOpSpec kOps[] = {
    {"add", opArith, "I<1>OO#O"},
    {"sub", opArith, "I<2>OO#O"},
    {"mul", opArith, "I<3>OO#O"},
    {"div", opArith, "I<4>OO#O"},
};

// The shortcut for two numbers on top of the operand stack: the result
// replaces them in place, as numbers() makes it. Anything else, and a
// result numbers() would refuse (division by zero, an infinite or undefined
// real), is declined before the stack is touched, so that the ordinary call
// reports it.
template <int Op>
int direct() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 1) return feOpDeclined;
  feObject* b = &stack->slots[stack->top];
  feObject* a = b - 1;
  if (isInt(a) && isInt(b) && Op != kDiv) {
    // Exact in 64 bits; an integer when it fits, as numbers() decides it.
    const int64_t x = a->w0.i, y = b->w0.i;
    const int64_t r = Op == kAdd ? x + y : Op == kSub ? x - y : x * y;
    if (r >= INT32_MIN && r <= INT32_MAX) {
      feMakeInt(a, int32_t(r));
    } else {
      const double u = double(x), v = double(y);
      feMakeReal(a, Op == kAdd ? u + v : Op == kSub ? u - v : u * v);
    }
  } else {
    if (!isNumber(a) || !isNumber(b)) return feOpDeclined;
    const double x = numberOf(a), y = numberOf(b);
    if (Op == kDiv && y == 0) return feOpDeclined;
    const double r = Op == kAdd ? x + y : Op == kSub ? x - y : Op == kMul ? x * y : x / y;
    if (!std::isfinite(r)) return feOpDeclined;
    feMakeReal(a, r);
  }
  --stack->top;
  return feOk;
}

}  // namespace

Group arithOps() { return group(kOps); }

int (*arithDirect(feOpHandler handler, const char* signature))() {
  static const feOpDirect kDirect[] = {direct<kAdd>, direct<kSub>, direct<kMul>, direct<kDiv>};
  static_assert(sizeof kDirect / sizeof kDirect[0] == sizeof kOps / sizeof kOps[0], "one shortcut per operator");
  if (handler != opArith || !signature) return nullptr;
  for (size_t k = 0; k < sizeof kOps / sizeof kOps[0]; ++k)
    if (std::strcmp(signature, kOps[k].signature) == 0) return kDirect[k];
  return nullptr;
}

}  // namespace festd
