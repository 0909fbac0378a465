// The script face of the expression evaluator: the "?" and aExpEval
// operators, the identifier resolver of the drawing's variables and the
// module set-up.
#include "fe/control.h"
#include "fe/expeval.h"
#include "fe/expeval_internal.h"
#include "fe/opcall.h"
#include "fe/resolvevar.h"

#include <cstring>

namespace {

// "S#R": text -> its value.
int opExpEval(feArgs* args) {
  double value = 0.0;
  const int rc = expEvalFactor(args->in[0].text.text, args->in[0].text.length, &value);
  if (rc != 0) return rc;
  *static_cast<double*>(args->out[0]) = value;
  return 0;
}

const feOpSpec kOps[] = {
    {"?", opExpEval, "S#R"},
    {"aExpEval", opExpEval, "S#R"},
};

// A regional separator that would read as part of an expression or of a
// value with units (the soft hyphen, the degree, minute and second marks) is
// not taken.
bool usableSeparator(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u <= ' ' || u == 0x7F || u == 0xAD || u == 0xB0 || u == 0xDF) return false;
  if (expIsIdentChar(c)) return false;
  return std::strchr("+-*/:<>=!&|(){}[];#%\"'", c) == nullptr;
}

}  // namespace

int expParseIdent(const char** cursor, int32_t length, double* value, int16_t* tag) {
  const char* p = *cursor;
  const char* const end = p + (length > 0 ? length : 0);
  if (p == end || !expIsIdentStart(*p)) return expErrSyntax;
  while (p < end && expIsIdentChar(*p)) ++p;
  double v = 0.0;
  int16_t t = 0;
  const int rc = resolveFindVar(*cursor, int32_t(p - *cursor), &v, &t);
  if (rc != 0) return rc;
  *cursor = p;
  *value = v;
  if (tag) *tag = t;
  return 0;
}

int expEvalFactor(const char* text, int32_t length, double* out) {
  return expEval(text, length, expReadPlainNumber, expParseIdent, out, nullptr);
}

void expEvalInit(char systemSeparator) {
  if (expDecimalSeparator() != ',' && usableSeparator(systemSeparator)) expSetDecimalSeparator(systemSeparator);
  feOpSpecRegisterAll(kOps);
}
