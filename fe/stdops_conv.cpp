// The conversion operators: cvx, cvlit, cvp, xcheck, cvi, cvr and cvrs.
#include "fe/scanner.h"
#include "fe/operator.h"
#include "fe/stdops_groups.h"
#include "fe/strings.h"

#include <cmath>
#include <cstring>

namespace festd {
namespace {

// A copy of the operand with its flags changed.
int retag(feArgs* a, uint16_t set, uint16_t clear) {
  feObject* out = outValue(a, 0);
  feCopyValue(out, inValue(a, 0));
  out->flags = uint16_t((out->flags & ~clear) | set);
  return feOk;
}
int opCvx(feArgs* a) { return retag(a, feFlagExec, 0); }
int opCvlit(feArgs* a) { return retag(a, 0, feFlagExec); }
// cvp: arrays only; the copy runs with a local dictionary.
int opCvp(feArgs* a) {
  if (feType(inValue(a, 0)) != feTArray) return feErrTypeCheck;
  return retag(a, feFlagLocal, 0);
}
int opXcheck(feArgs* a) {
  *outInt(a, 0) = feIsExec(inValue(a, 0)) ? 1 : 0;
  return feOk;
}

// The first token of a string. The scanner reads from (and may replace) a
// copy that holds its own reference, never the operand itself. 0 with a
// token (released by the caller), or the scanner's code (259 at the end).
int firstToken(const feObject* string, feObject* token) {
  feObject source;
  feCopyValue(&source, string);
  const int rc = feScanTokenChecked(&source, token);
  feFree(&source);
  return rc;
}

// The number behind a value for cvi and cvr: an integer or a real as it is,
// a string through its first token. 0 with *number set; 269 for any other
// type or a token that is not a number; the scanner's code when the string
// holds no token (259) or a malformed one.
int numberBehind(const feObject* v, double* number) {
  if (isNumber(v)) {
    *number = numberOf(v);
    return feOk;
  }
  if (feType(v) != feTString) return feErrTypeCheck;
  feObject token;
  if (const int rc = firstToken(v, &token)) return rc;
  const bool found = isNumber(&token);
  if (found) *number = numberOf(&token);
  feFree(&token);
  return found ? feOk : feErrTypeCheck;
}

// cvi ("O#I") as a routine: the value as a 32-bit integer, reals truncated
// toward zero; 267 outside the range (NaN included).
int toInt(const feObject* v, int32_t* out) {
  double d = 0;
  if (const int rc = numberBehind(v, &d)) return rc;
  d = std::trunc(d);
  if (!(d >= -2147483648.0 && d <= 2147483647.0)) return feErrRangeCheck;
  *out = int32_t(d);
  return feOk;
}

int opCvi(feArgs* a) { return toInt(inValue(a, 0), outInt(a, 0)); }

// cvr ("O#R"): a string whose first token is not a number, or that holds no
// token at all, gives 0.0; the scanner's errors are answered.
int opCvr(feArgs* a) {
  const feObject* v = inValue(a, 0);
  double d = 0;
  const int rc = numberBehind(v, &d);
  if (rc == feErrEof || (rc == feErrTypeCheck && feType(v) == feTString)) d = 0;
  else if (rc != feOk) return rc;
  return realResult(d, outReal(a, 0));
}

// cvrs ("OIO#O"): number radix string. The number (as by cvi) is written as
// an unsigned 32-bit number in the radix (2 to 36) with the digits 0-9 and
// A-Z into the front of the string; the filled part is answered.
int opCvrs(feArgs* a) {
  const int32_t radix = a->in[1].i;
  const feObject* destination = inValue(a, 2);
  if (radix < 2 || radix > 36) return feErrRangeCheck;
  if (feType(destination) != feTString) return feErrTypeCheck;
  int32_t n = 0;
  if (const int rc = toInt(inValue(a, 0), &n)) return rc;
  char digits[32];
  int count = 0;
  uint32_t u = uint32_t(n);
  do {
    const uint32_t d = u % uint32_t(radix);
    digits[count++] = char(d < 10 ? '0' + d : 'A' + (d - 10));
    u /= uint32_t(radix);
  } while (u != 0);
  char text[32];
  for (int k = 0; k < count; ++k) text[k] = digits[count - 1 - k];
  feObject source;
  if (const int rc = feMakeString(&source, text, size_t(count))) return rc;
  const int rc = feStringCopy(&source, destination, outValue(a, 0));
  feFree(&source);
  return rc;
}

const feOpSpec kOps[] = {
    {"cvx", opCvx, "O#O"},
    {"cvlit", opCvlit, "O#O"},
    {"cvp", opCvp, "O#O"},
    {"xcheck", opXcheck, "O#B"},
    {"cvi", opCvi, "O#I"},
    {"cvr", opCvr, "O#R"},
    {"cvrs", opCvrs, "OIO#O"},
};

// The shortcuts for cvi and cvr on a number at the top of the operand
// stack: the result replaces it in place, as toInt() and opCvr make it.
// Strings, other types and an integer part outside the 32-bit range are
// declined before the stack is touched.
int directCvi() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 0) return feOpDeclined;
  feObject* x = &stack->slots[stack->top];
  if (!isNumber(x)) return feOpDeclined;
  const double d = std::trunc(numberOf(x));
  if (!(d >= -2147483648.0 && d <= 2147483647.0)) return feOpDeclined;
  feMakeInt(x, int32_t(d));
  return feOk;
}

int directCvr() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 0) return feOpDeclined;
  feObject* x = &stack->slots[stack->top];
  if (!isNumber(x)) return feOpDeclined;
  const double d = numberOf(x);
  if (!std::isfinite(d)) return feOpDeclined;
  feMakeReal(x, d);
  return feOk;
}

}  // namespace

Group convOps() { return group(kOps); }

int (*convDirect(feOpHandler handler, const char* signature))() {
  if (!handler || !signature) return nullptr;
  if (handler == opCvi && std::strcmp(signature, "O#I") == 0) return directCvi;
  if (handler == opCvr && std::strcmp(signature, "O#R") == 0) return directCvr;
  return nullptr;
}

}  // namespace festd
