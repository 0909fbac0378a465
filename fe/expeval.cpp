// The expression evaluator's machine: tokens read left to right onto a value
// stack and an operator stack, reduced by precedence.
#include "fe/expeval.h"
#include "fe/expeval_internal.h"

#include <cstdint>

namespace {

enum Op : uint8_t {
  opOpen,   // an opening bracket
  opNeg,    // unary minus
  opMul, opDiv, opAdd, opSub, opRatio,
  opLt, opGt, opLe, opGe, opEq, opNe,
  opAnd, opOr,
};

int precedence(Op op) {
  switch (op) {
    case opOpen: return 0;
    case opNeg: return 15;
    case opMul: case opDiv: return 14;
    case opAdd: case opSub: return 13;
    case opRatio: return 12;
    case opAnd: return 4;
    case opOr: return 3;
    default: return 5;   // comparisons
  }
}

enum { kValueMax = 32, kOpMax = 31 };
// Function calls evaluate their arguments by nested evaluations (and a
// called procedure may evaluate again); beyond this depth the text is
// refused rather than the native stack spent.
enum { kNestingMax = 32 };

expTagConverter gConverter = nullptr;
int gNesting = 0;

struct Value {
  double v;
  int16_t tag;
};

// Brings the operand with the lower tag to the higher one.
void matchTags(Value& a, Value& b) {
  if (a.tag == b.tag) return;
  Value& low = a.tag < b.tag ? a : b;
  const int16_t high = a.tag < b.tag ? b.tag : a.tag;
  if (gConverter) low.v = gConverter(low.v, low.tag, high);
  low.tag = high;
}

struct Machine {
  Value values[kValueMax];
  int32_t valueCount = 0;
  Op ops[kOpMax];
  int32_t opCount = 0;

  int pushValue(double v, int16_t tag) {
    if (valueCount == kValueMax) return expErrOverflow;
    values[valueCount++] = Value{v, tag};
    return 0;
  }
  int pushOp(Op op) {
    if (opCount == kOpMax) return expErrOverflow;
    ops[opCount++] = op;
    return 0;
  }

  // Applies the operator on top of the operator stack to the top values.
  int applyTop() {
    const Op op = ops[--opCount];
    if (op == opNeg) {
      if (valueCount < 1) return expErrSyntax;
      values[valueCount - 1].v = -values[valueCount - 1].v;
      return 0;
    }
    if (valueCount < 2) return expErrSyntax;
    Value b = values[--valueCount];
    Value& a = values[valueCount - 1];
    const int16_t leftTag = a.tag;
    switch (op) {
      case opMul: a.v *= b.v; a.tag = int16_t(a.tag + b.tag); break;
      case opDiv:
      case opRatio: a.v /= b.v; a.tag = int16_t(a.tag - b.tag); break;
      case opAdd: matchTags(a, b); a.v += b.v; break;
      case opSub: matchTags(a, b); a.v -= b.v; break;
      case opAnd: a.v = (a.v != 0.0 && b.v != 0.0) ? 1.0 : 0.0; break;
      case opOr: a.v = (a.v != 0.0 || b.v != 0.0) ? 1.0 : 0.0; break;
      default: {
        matchTags(a, b);
        bool r = false;
        switch (op) {
          case opLt: r = a.v < b.v; break;
          case opGt: r = a.v > b.v; break;
          case opLe: r = a.v <= b.v; break;
          case opGe: r = a.v >= b.v; break;
          case opEq: r = a.v == b.v; break;
          default: r = a.v != b.v; break;
        }
        a.v = r ? 1.0 : 0.0;
        a.tag = leftTag;
        break;
      }
    }
    return 0;
  }

  // A binary operator: first every stacked operator that binds at least as
  // tightly (down to an opening bracket) is applied.
  int pushBinary(Op op) {
    const int rank = precedence(op);
    while (opCount > 0 && ops[opCount - 1] != opOpen && precedence(ops[opCount - 1]) >= rank) {
      const int rc = applyTop();
      if (rc != 0) return rc;
    }
    return pushOp(op);
  }

  int closeBracket() {
    while (opCount > 0 && ops[opCount - 1] != opOpen) {
      const int rc = applyTop();
      if (rc != 0) return rc;
    }
    if (opCount == 0) return expErrOverflow;   // no opening bracket
    --opCount;
    return 0;
  }

  int finish(double* value, int16_t* tag) {
    while (opCount > 0) {
      if (ops[opCount - 1] == opOpen) return expErrOverflow;   // never closed
      const int rc = applyTop();
      if (rc != 0) return rc;
    }
    if (valueCount != 1) return expErrSyntax;
    *value = values[0].v;
    if (tag) *tag = values[0].tag;
    return 0;
  }
};

// The two-character operators, then the one-character ones that stand
// alone; 0 when the text at p starts with neither.
int readOperator(const char* p, const char* end, Op* op) {
  if (end - p >= 2) {
    static const struct {
      char a, b;
      Op op;
    } kPairs[] = {{'!', '=', opNe}, {'<', '=', opLe}, {'=', '=', opEq},
                  {'>', '=', opGe}, {'&', '&', opAnd}, {'|', '|', opOr}};
    for (const auto& pair : kPairs)
      if (p[0] == pair.a && p[1] == pair.b) {
        *op = pair.op;
        return 2;
      }
  }
  switch (*p) {
    case '*': *op = opMul; return 1;
    case '/': *op = opDiv; return 1;
    case ':': *op = opRatio; return 1;
    case '<': *op = opLt; return 1;
    case '>': *op = opGt; return 1;
    default: return 0;
  }
}

}  // namespace

void expSetTagConverter(expTagConverter converter) { gConverter = converter; }

int expEval(const char* text, int32_t length, expTermReader reader, expTermReader resolver, double* value,
            int16_t* tag) {
  if (gNesting >= kNestingMax) return expErrOverflow;
  struct NestingGuard {
    NestingGuard() { ++gNesting; }
    ~NestingGuard() { --gNesting; }
  } guard;

  Machine m;
  const char* p = text;
  const char* const end = text + (text && length > 0 ? length : 0);
  bool afterOperand = false;
  int rc = 0;
  while (p < end) {
    const char c = *p;
    if (expIsBlank(c)) {
      ++p;
      continue;
    }
    Op op;
    if (const int n = readOperator(p, end, &op)) {
      if (!afterOperand) return expErrSyntax;
      p += n;
      if ((rc = m.pushBinary(op)) != 0) return rc;
      afterOperand = false;
    } else if (c == '+' || c == '-') {
      ++p;
      if (afterOperand) {
        if ((rc = m.pushBinary(c == '+' ? opAdd : opSub)) != 0) return rc;
        afterOperand = false;
      } else if (c == '-') {
        // Prefix minus reduces nothing: "--2" negates twice.
        if ((rc = m.pushOp(opNeg)) != 0) return rc;
      }
    } else if (c == '(' || c == '{') {
      if (afterOperand) return expErrSyntax;
      ++p;
      if ((rc = m.pushOp(opOpen)) != 0) return rc;
    } else if (c == ')' || c == '}') {
      if (!afterOperand) return expErrMissingLeft;
      ++p;
      if ((rc = m.closeBracket()) != 0) return rc;
    } else if ((c >= '0' && c <= '9') || expIsSeparator(c)) {
      if (afterOperand) return expErrSyntax;
      if (!reader) return expErrNoReader;
      const char* start = p;
      double v = 0.0;
      int16_t t = 0;
      if ((rc = reader(&p, int32_t(end - p), &v, &t)) != 0) return rc;
      if (p <= start || p > end) return expErrSyntax;   // a reader that read nothing
      if ((rc = m.pushValue(v, t)) != 0) return rc;
      afterOperand = true;
    } else if (expIsIdentStart(c)) {
      const char* nameEnd = p;
      while (nameEnd < end && expIsIdentChar(*nameEnd)) ++nameEnd;
      const char* q = nameEnd;
      while (q < end && expIsBlank(*q)) ++q;
      double v = 0.0;
      int16_t t = 0;
      if (q < end && *q == '(') {
        if (afterOperand) return expErrTwoOperands;
        const char* after = nullptr;
        rc = expCallFunction(p, int32_t(nameEnd - p), q + 1, end, reader, resolver, &v, &after);
        if (rc != 0) return rc;
        p = after;
      } else {
        if (!resolver) return expErrSyntax;
        if (afterOperand) return expErrTwoOperands;
        const char* start = p;
        if ((rc = resolver(&p, int32_t(end - p), &v, &t)) != 0) return rc;
        if (p <= start || p > end) return expErrSyntax;
      }
      if ((rc = m.pushValue(v, t)) != 0) return rc;
      afterOperand = true;
    } else {
      return expErrSyntax;
    }
  }
  return m.finish(value, tag);
}
