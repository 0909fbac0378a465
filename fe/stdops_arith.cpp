// add, sub, mul and div: one handler, the operation selected by the
// constant of the signature. Two numbers give a number; two arrays of one
// length give a new array of the element-wise results, nested arrays
// recursing.
#include "fe/arrays.h"
#include "fe/attnpoll.h"
#include "fe/stdops_groups.h"

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

}  // namespace

Group arithOps() { return group(kOps); }

}  // namespace festd
