// Function calls inside expressions: name(a; b; ...) runs the FE procedure
// name on the arguments and takes the number it leaves.
#include "core/errors.h"
#include "fe/expeval.h"
#include "fe/expeval_internal.h"
#include "fe/generic.h"
#include "fe/script.h"
#include "fe/value.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace {

// Names that are called as another procedure.
struct Alias {
  std::string_view name;
  std::string_view procedure;
};
constexpr Alias kAliases[] = {{"if", "IF"}, {"ifelse", "IF"}};

bool onlyBlanks(const char* p, const char* end) {
  for (; p < end; ++p)
    if (!expIsBlank(*p)) return false;
  return true;
}

// Splits the argument list at ";" outside nested brackets and evaluates each
// argument; *close receives the position of the closing parenthesis.
int evalArguments(const char* p, const char* end, expTermReader reader, expTermReader resolver,
                  std::vector<double>* values, const char** close) {
  const char* start = p;
  int32_t depth = 0;
  for (; p < end; ++p) {
    const char c = *p;
    if (c == '(' || c == '[' || c == '{') {
      ++depth;
    } else if (c == ')' || c == ']' || c == '}') {
      if (depth > 0) {
        --depth;
        continue;
      }
      if (c != ')') return expErrSyntax;
      break;
    } else if (c == ';' && depth == 0) {
      double v = 0.0;
      const int rc = expEval(start, int32_t(p - start), reader, resolver, &v, nullptr);
      if (rc != 0) return rc;
      values->push_back(v);
      start = p + 1;
    }
  }
  if (p == end) return expErrOverflow;   // the call's parenthesis is never closed
  // The last argument; an empty pair of parentheses passes none.
  if (!values->empty() || !onlyBlanks(start, p)) {
    double v = 0.0;
    const int rc = expEval(start, int32_t(p - start), reader, resolver, &v, nullptr);
    if (rc != 0) return rc;
    values->push_back(v);
  }
  *close = p;
  return 0;
}

}  // namespace

int expCallFunction(const char* name, int32_t nameLength, const char* args, const char* end, expTermReader reader,
                    expTermReader resolver, double* value, const char** after) {
  std::vector<double> numbers;
  const char* close = nullptr;
  int rc = evalArguments(args, end, reader, resolver, &numbers, &close);
  if (rc != 0) return rc;

  std::string_view procedure(name, size_t(nameLength));
  for (const Alias& alias : kAliases)
    if (procedure == alias.name) procedure = alias.procedure;

  std::vector<feObject> operands(numbers.size());
  for (size_t i = 0; i < numbers.size(); ++i) feMakeReal(&operands[i], numbers[i]);

  // feCallScript puts the operand stack back to its depth before the call,
  // so a procedure that takes the mark itself, or leaves one, never makes
  // the clean-up reach into the caller's values.
  feObject result{};
  rc = feCallScript(procedure.data(), procedure.size(), true, operands.data(), int32_t(operands.size()), &result);
  if (rc == feErrStackUnderflow) return expErrNoResult;   // nothing left above the arguments' mark
  if (rc != 0) return rc;

  switch (feType(&result)) {
    case feTInt:
    case feTReal: *value = feGetNumber(&result, nullptr); break;
    case feTBool: *value = feGetBool(&result) ? 1.0 : 0.0; break;
    default:
      feFree(&result);
      return expErrBadResult;
  }
  feFree(&result);
  *after = close + 1;
  return 0;
}
