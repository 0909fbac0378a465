// The relational and logical operators: eq, ne, lt, le, gt, ge, and, or,
// xor, not and bitshift.
#include "fe/operator.h"
#include "fe/stdops_groups.h"
#include "fe/strings.h"

#include <cstring>

namespace festd {
namespace {

// eq and ne ("OO#B"): the generic equality; its errors are answered.
int equality(feArgs* a, bool wantEqual) {
  const int rc = feEq(inValue(a, 0), inValue(a, 1));
  if (rc != feOk && rc != feNotEqual) return rc;
  *outInt(a, 0) = (rc == feOk) == wantEqual ? 1 : 0;
  return feOk;
}
int opEq(feArgs* a) { return equality(a, true); }
int opNe(feArgs* a) { return equality(a, false); }

enum Order { kLt = 1, kLe = 2, kGt = 3, kGe = 4 };

// lt, le, gt, ge ("I<k>OO#B"). Two strings compare byte by byte (unsigned)
// over the length of the shorter one, so a string and a longer one that
// begins with it count as equal; two numbers compare as doubles.
int opCompare(feArgs* a) {
  const feObject* x = inValue(a, 1);
  const feObject* y = inValue(a, 2);
  int sign = 0;
  if (feType(x) == feTString && feType(y) == feTString) {
    uint8_t *p = nullptr, *q = nullptr;
    uint16_t m = 0, n = 0;
    feStringData(x, &p, &m);
    feStringData(y, &q, &n);
    const uint16_t common = m < n ? m : n;
    const int c = common ? std::memcmp(p, q, common) : 0;
    sign = c < 0 ? -1 : (c > 0 ? 1 : 0);
  } else if (isNumber(x) && isNumber(y)) {
    const double u = numberOf(x), v = numberOf(y);
    sign = u < v ? -1 : (u > v ? 1 : 0);
  } else {
    return feErrTypeCheck;
  }
  bool answer = false;
  switch (a->in[0].i) {
    case kLt: answer = sign < 0; break;
    case kLe: answer = sign <= 0; break;
    case kGt: answer = sign > 0; break;
    case kGe: answer = sign >= 0; break;
    default: return feErrUnimplemented;
  }
  *outInt(a, 0) = answer ? 1 : 0;
  return feOk;
}

enum Logic { kAnd = 1, kOr = 2, kXor = 3 };

// and, or, xor ("I<k>OO#O"): bitwise on two integers, logical on two
// booleans.
int opLogic(feArgs* a) {
  const feObject* x = inValue(a, 1);
  const feObject* y = inValue(a, 2);
  const int type = feType(x);
  if (type != feType(y) || (type != feTInt && type != feTBool)) return feErrTypeCheck;
  const uint32_t u = uint32_t(x->w0.i), v = uint32_t(y->w0.i);
  uint32_t r = 0;
  switch (a->in[0].i) {
    case kAnd: r = u & v; break;
    case kOr: r = u | v; break;
    case kXor: r = u ^ v; break;
    default: return feErrUnimplemented;
  }
  if (type == feTBool) return feMakeBool(outValue(a, 0), r ? 1 : 0);
  return feMakeInt(outValue(a, 0), int32_t(r));
}

// not ("O#O"): the bitwise complement of an integer, the negation of a
// boolean.
int opNot(feArgs* a) {
  const feObject* x = inValue(a, 0);
  if (feType(x) == feTInt) return feMakeInt(outValue(a, 0), int32_t(~uint32_t(x->w0.i)));
  if (feType(x) == feTBool) return feMakeBool(outValue(a, 0), feGetBool(x) ? 0 : 1);
  return feErrTypeCheck;
}

// bitshift ("II#I"): a positive count shifts left, a negative one right
// filling with zeros; the count is taken modulo 32 (so 1 32 bitshift is 1).
int opBitshift(feArgs* a) {
  const uint32_t value = uint32_t(a->in[0].i);
  const int32_t count = a->in[1].i % 32;
  *outInt(a, 0) = int32_t(count >= 0 ? value << count : value >> -count);
  return feOk;
}

const feOpSpec kOps[] = {
    {"eq", opEq, "OO#B"},
    {"ne", opNe, "OO#B"},
    {"lt", opCompare, "I<1>OO#B"},
    {"le", opCompare, "I<2>OO#B"},
    {"gt", opCompare, "I<3>OO#B"},
    {"ge", opCompare, "I<4>OO#B"},
    {"and", opLogic, "I<1>OO#O"},
    {"or", opLogic, "I<2>OO#O"},
    {"xor", opLogic, "I<3>OO#O"},
    {"not", opNot, "O#O"},
    {"bitshift", opBitshift, "II#I"},
};

// The shortcuts for two numbers on top of the operand stack: the boolean
// replaces them in place, as opCompare and equality() answer it. Anything
// else is declined before the stack is touched.
template <int Order>
int directCompare() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 1) return feOpDeclined;
  feObject* y = &stack->slots[stack->top];
  feObject* x = y - 1;
  if (!isNumber(x) || !isNumber(y)) return feOpDeclined;
  const double u = numberOf(x), v = numberOf(y);
  const int sign = u < v ? -1 : (u > v ? 1 : 0);
  const bool answer = Order == kLt ? sign < 0 : Order == kLe ? sign <= 0 : Order == kGt ? sign > 0 : sign >= 0;
  feMakeBool(x, answer ? 1 : 0);
  --stack->top;
  return feOk;
}

template <bool WantEqual>
int directEquality() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 1) return feOpDeclined;
  feObject* y = &stack->slots[stack->top];
  feObject* x = y - 1;
  if (!isNumber(x) || !isNumber(y)) return feOpDeclined;
  const bool equal = isInt(x) && isInt(y) ? x->w0.i == y->w0.i : numberOf(x) == numberOf(y);
  feMakeBool(x, equal == WantEqual ? 1 : 0);
  --stack->top;
  return feOk;
}

}  // namespace

Group relOps() { return group(kOps); }

int (*relDirect(feOpHandler handler, const char* signature))() {
  struct Shortcut {
    feOpHandler handler;
    const char* signature;
    feOpDirect direct;
  };
  static const Shortcut kShortcuts[] = {
      {opEq, "OO#B", directEquality<true>},      {opNe, "OO#B", directEquality<false>},
      {opCompare, "I<1>OO#B", directCompare<kLt>}, {opCompare, "I<2>OO#B", directCompare<kLe>},
      {opCompare, "I<3>OO#B", directCompare<kGt>}, {opCompare, "I<4>OO#B", directCompare<kGe>},
  };
  if (!handler || !signature) return nullptr;
  for (const Shortcut& s : kShortcuts)
    if (s.handler == handler && std::strcmp(signature, s.signature) == 0) return s.direct;
  return nullptr;
}

}  // namespace festd
