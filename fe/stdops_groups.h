// Private to the standard operators: each group file's registration table and
// the small helpers the groups share.
#ifndef PLUMET_FE_STDOPS_GROUPS_H
#define PLUMET_FE_STDOPS_GROUPS_H

#include "core/errors.h"
#include "fe/control.h"
#include "fe/generic.h"
#include "fe/opcall.h"
#include "fe/stack.h"
#include "fe/value.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace festd {

struct Group {
  const feOpSpec* ops;
  size_t count;
};

template <size_t N>
constexpr Group group(const feOpSpec (&ops)[N]) {
  return {ops, N};
}

Group stackOps();    // stdops_stack.cpp
Group arithOps();    // stdops_arith.cpp
Group mathOps();     // stdops_math.cpp
Group relOps();      // stdops_rel.cpp
Group convOps();     // stdops_conv.cpp
Group stringOps();   // stdops_string.cpp

// The direct shortcut (see feOpDirect in fe/operator.h) of an arithmetic
// operator made from handler with exactly this signature text; null for
// others.
int (*arithDirect(feOpHandler handler, const char* signature))();  // stdops_arith.cpp
// The same for the relational (stdops_rel.cpp), mathematical
// (stdops_math.cpp), conversion (stdops_conv.cpp) and operand-stack
// (stdops_stack.cpp) and string (stdops_string.cpp) operators that have one.
int (*relDirect(feOpHandler handler, const char* signature))();
int (*mathDirect(feOpHandler handler, const char* signature))();
int (*convDirect(feOpHandler handler, const char* signature))();
int (*stackDirect(feOpHandler handler, const char* signature))();
int (*stringDirect(feOpHandler handler, const char* signature))();

// The typed arguments of a handler.
inline const feObject* inValue(feArgs* a, int k) { return a->in[k].value; }
inline feObject* outValue(feArgs* a, int k) { return static_cast<feObject*>(a->out[k]); }
inline int32_t* outInt(feArgs* a, int k) { return static_cast<int32_t*>(a->out[k]); }
inline double* outReal(feArgs* a, int k) { return static_cast<double*>(a->out[k]); }

inline bool isInt(const feObject* v) { return feType(v) == feTInt; }
inline bool isReal(const feObject* v) { return feType(v) == feTReal; }
inline bool isNumber(const feObject* v) { return isInt(v) || isReal(v); }
inline double numberOf(const feObject* v) { return isInt(v) ? double(v->w0.i) : v->w0.d; }

// A real result: 274 (undefinedresult) when it is infinite or NaN, so that no
// such value ever reaches a script.
inline int realResult(double d, double* out) {
  if (!std::isfinite(d)) return feErrUndefinedResult;
  *out = d;
  return feOk;
}
inline int realValue(double d, feObject* out) {
  double r = 0;
  if (const int rc = realResult(d, &r)) return rc;
  return feMakeReal(out, r);
}

// True when d is an integral value within the 32-bit range.
inline bool fitsInt(double d) { return d >= -2147483648.0 && d <= 2147483647.0 && d == std::trunc(d); }

// Pushes n values onto the operand stack, moved in. When a push fails the
// ones already pushed are taken back, every value is released and the error
// is answered: the stack is then as it was.
inline int pushAll(feObject* values, int32_t n) {
  feStack** stack = feOperandStack();
  int32_t pushed = 0;
  int rc = feOk;
  while (pushed < n && (rc = fePush(stack, &values[pushed])) == feOk) ++pushed;
  if (rc == feOk) return feOk;
  feStackPopN(*stack, pushed);
  for (int32_t k = pushed; k < n; ++k) feFree(&values[k]);
  return rc;
}

}  // namespace festd

#endif
