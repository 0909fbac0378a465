// The dictionary operators on the operand stack: def, load, store, where,
// currentdict, countdictstack, dictstack, begin, end, dict, adict and ">>".
// Each checks its operands first; on an error every stack is left as it was.
#include "fe/dict.h"

#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/stack.h"

namespace {

enum { kDictOperandMax = 32767 };

feStack** operands() { return feOperandStack(); }
int32_t operandCount() { return feStackCount(*operands()); }
feObject* operand(int32_t depth) { return feStackIndex(*operands(), depth); }

// Replaces the top operand by result (moved in), releasing the old one.
void replaceTop(feObject* result) {
  feObject* top = operand(0);
  feObject old = *top;
  *top = *result;
  feFree(&old);
}

// The dictionary the current definitions go to: the local dictionary, else
// the top of the dictionary stack; null when neither exists.
const feObject* currentDict(feObject* frame) {
  if (feCurrentFrame(frame) == feOk && feType(frame) == feTDict) return frame;
  return feDictAtLevel(feStackCount(*feDictStack()));
}

bool hasLocalDict() {
  feObject frame;
  return feCurrentFrame(&frame) == feOk && feType(&frame) == feTDict;
}

// A new dictionary holding the n values given by at(0) .. at(n - 1) as pairs;
// n must be even.
template <class At>
int dictFromPairs(int32_t n, At at, feObject* out) {
  feMakeDict(out, n / 2);
  for (int32_t i = 0; i + 1 < n; i += 2) {
    const feObject* key = at(i);
    if (feType(key) == feTNull) continue;
    const int rc = feDictPut(out, key, at(i + 1));
    if (rc != feOk) {
      feFree(out);
      return rc;
    }
  }
  return feOk;
}

}  // namespace

int feOpDef() {
  if (operandCount() < 2) return feErrStackUnderflow;
  const int rc = feDictDef(operand(1), operand(0));
  if (rc != feOk) return rc;
  feStackPopN(*operands(), 2);
  return feOk;
}

int feOpLoad() {
  if (operandCount() < 1) return feErrStackUnderflow;
  feObject value;
  const int rc = feLoad(operand(0), &value);
  if (rc != feOk) return rc;
  replaceTop(&value);
  return feOk;
}

int feOpStore() {
  if (operandCount() < 2) return feErrStackUnderflow;
  const int rc = feStore(operand(1), operand(0));
  if (rc != feOk) return rc;
  feStackPopN(*operands(), 2);
  return feOk;
}

int feOpWhere() {
  if (operandCount() < 1) return feErrStackUnderflow;
  feObject dict;
  const int rc = feWhereDict(operand(0), &dict);
  if (rc == feErrUndefined) {
    feObject no = *feFalse();
    replaceTop(&no);
    return feOk;
  }
  if (rc != feOk) return rc;
  // true is pushed first: when the stack is at its limit nothing has changed.
  const int pushed = fePushDup(operands(), feTrue());
  if (pushed != feOk) {
    feFree(&dict);
    return pushed;
  }
  feObject* key = operand(1);
  feObject old = *key;
  *key = dict;
  feFree(&old);
  return feOk;
}

int feOpCurrentDict() {
  feObject frame;
  const feObject* dict = currentDict(&frame);
  if (!dict) return feErrDictStackUnderflow;
  return fePushDup(operands(), dict);
}

int feOpCountDictStack() {
  feObject count;
  feMakeInt(&count, feStackCount(*feDictStack()) + (hasLocalDict() ? 1 : 0));
  return fePush(operands(), &count);
}

int feOpDictStack() {
  if (operandCount() < 1) return feErrStackUnderflow;
  feObject* array = operand(0);
  if (feType(array) != feTArray) return feErrTypeCheck;
  feObject frame;
  const bool local = feCurrentFrame(&frame) == feOk && feType(&frame) == feTDict;
  const int32_t levels = feStackCount(*feDictStack());
  const int32_t n = levels + (local ? 1 : 0);
  if (n > feArrayLength(array)) return feErrRangeCheck;
  for (int32_t level = 1; level <= levels; ++level) {
    feObject copy;
    feCopyValue(&copy, feDictAtLevel(level));
    feArrayPut(array, level - 1, &copy);
  }
  if (local) {
    feObject copy;
    feCopyValue(&copy, &frame);
    feArrayPut(array, n - 1, &copy);
  }
  // The answer is the array's prefix that was filled: the same body and
  // reference, a shorter length.
  array->length = uint16_t(n);
  return feOk;
}

int feOpBegin() {
  if (operandCount() < 1) return feErrStackUnderflow;
  const int rc = feDictBegin(operand(0));
  if (rc != feOk) return rc;
  feStackPopN(*operands(), 1);
  return feOk;
}

int feOpEnd() { return feDictEnd(); }

int feOpDict() {
  if (operandCount() < 1) return feErrStackUnderflow;
  const feObject* size = operand(0);
  if (feType(size) != feTInt) return feErrTypeCheck;
  const int32_t n = feGetInt(size);
  if (n < 0 || n > kDictOperandMax) return feErrRangeCheck;
  feObject dict;
  feMakeDict(&dict, n);
  replaceTop(&dict);
  return feOk;
}

int feOpAdict() {
  if (operandCount() < 1) return feErrStackUnderflow;
  const feObject* array = operand(0);
  if (feType(array) != feTArray) return feErrTypeCheck;
  const int32_t n = feArrayLength(array);
  if (n % 2 != 0) return feErrLengthCheck;
  feObject dict;
  const int rc = dictFromPairs(n, [array](int32_t i) { return feArrayElem(array, i); }, &dict);
  if (rc != feOk) return rc;
  replaceTop(&dict);
  return feOk;
}

int feOpDictEnd() {
  int32_t n = 0;
  const int counted = feCountToMark(*operands(), feTMark, &n);
  if (counted != feOk) return counted;
  if (n % 2 != 0) return feErrLengthCheck;
  // The pairs in the order they were pushed: the deepest value first.
  feObject dict;
  const int rc = dictFromPairs(n, [n](int32_t i) { return operand(n - 1 - i); }, &dict);
  if (rc != feOk) return rc;
  feStackPopN(*operands(), n + 1);
  return fePush(operands(), &dict);
}
