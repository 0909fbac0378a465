// The string operators string, anchorsearch and search, the generic length,
// maxlength, getinterval and putinterval, and flush and echo, which do
// nothing.
#include "fe/operator.h"
#include "fe/stdops_groups.h"
#include "fe/strings.h"

#include <cstring>
#include <string_view>

namespace festd {
namespace {

// string ("I#O"): a new string of n zero bytes, n from 0 to 32767.
int opString(feArgs* a) {
  const int32_t n = a->in[0].i;
  if (n < 0 || n > 32767) return feErrRangeCheck;
  return feMakeString(outValue(a, 0), nullptr, size_t(n));
}

std::string_view textOf(const feObject* s) {
  uint8_t* data = nullptr;
  uint16_t length = 0;
  feStringData(s, &data, &length);
  return {reinterpret_cast<const char*>(data), length};
}

// The part [start, start + count) of a string, sharing its body and holding
// its own reference.
feObject part(const feObject* s, size_t start, size_t count) {
  feObject r = *s;
  r.offset = uint16_t(s->offset + start);
  r.length = uint16_t(count);
  feDup(&r);
  return r;
}

// string seek anchorsearch ("OO"): post match true when the string begins
// with seek, else string false. An empty seek always matches.
int opAnchorsearch(feArgs* a) {
  const feObject* string = inValue(a, 0);
  const feObject* seek = inValue(a, 1);
  if (feType(string) != feTString || feType(seek) != feTString) return feErrTypeCheck;
  const std::string_view text = textOf(string), wanted = textOf(seek);
  if (text.substr(0, wanted.size()) == wanted) {
    feObject results[] = {part(string, wanted.size(), text.size() - wanted.size()),
                          part(string, 0, wanted.size()), *feTrue()};
    return pushAll(results, 3);
  }
  feObject results[] = {part(string, 0, text.size()), *feFalse()};
  return pushAll(results, 2);
}

// string seek search ("OO"): post match pre true at the first occurrence from
// the left, else string false.
int opSearch(feArgs* a) {
  const feObject* string = inValue(a, 0);
  const feObject* seek = inValue(a, 1);
  if (feType(string) != feTString || feType(seek) != feTString) return feErrTypeCheck;
  const std::string_view text = textOf(string), wanted = textOf(seek);
  const size_t at = text.find(wanted);
  if (at != std::string_view::npos) {
    const size_t after = at + wanted.size();
    feObject results[] = {part(string, after, text.size() - after), part(string, at, wanted.size()),
                          part(string, 0, at), *feTrue()};
    return pushAll(results, 4);
  }
  feObject results[] = {part(string, 0, text.size()), *feFalse()};
  return pushAll(results, 2);
}

// length and maxlength ("O#I"), getinterval ("OOO#O"), putinterval ("OOO"):
// the generic operations.
int opLength(feArgs* a) { return feLength(inValue(a, 0), outInt(a, 0)); }
int opMaxLength(feArgs* a) { return feMaxLength(inValue(a, 0), outInt(a, 0)); }
int opGetInterval(feArgs* a) { return feGetInterval(inValue(a, 0), inValue(a, 1), inValue(a, 2), outValue(a, 0)); }
int opPutInterval(feArgs* a) { return fePutInterval(inValue(a, 0), inValue(a, 1), inValue(a, 2)); }

int opNothing(feArgs*) { return feOk; }

const feOpSpec kOps[] = {
    {"string", opString, "I#O"},
    {"anchorsearch", opAnchorsearch, "OO"},
    {"search", opSearch, "OO"},
    {"length", opLength, "O#I"},
    {"maxlength", opMaxLength, "O#I"},
    {"getinterval", opGetInterval, "OOO#O"},
    {"putinterval", opPutInterval, "OOO"},
    {"flush", opNothing, ""},
    {"echo", opNothing, "B"},
};

// The shortcuts for strings at the top of the operand stack. Each checks
// its case before touching the stack (any other case, and every error, is
// declined so that the ordinary call reports it), then leaves the stack as
// the ordinary call does: the results in place of the operands, which are
// released afterwards, the deepest first.

// Takes the top n operands off (kept in taken, the deepest first) so that
// they are released after the results are in place.
void releaseTaken(feObject* taken, int n) {
  for (int k = 0; k < n; ++k) feFree(&taken[k]);
}

// string index source putinterval.
int directPutInterval() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 2) return feOpDeclined;
  feObject* v = &stack->slots[stack->top - 2];
  if (feType(v) != feTString) return feOpDeclined;
  feObject target = *v;
  if (feStringPutInterval(&target, v + 1, v + 2) != feOk) return feOpDeclined;
  feObject taken[3] = {v[0], v[1], v[2]};
  stack->top -= 3;
  releaseTaken(taken, 3);
  return feOk;
}

// string index count getinterval.
int directGetInterval() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 2) return feOpDeclined;
  feObject* v = &stack->slots[stack->top - 2];
  if (feType(v) != feTString) return feOpDeclined;
  feObject result;
  if (feStringGetInterval(v, v + 1, v + 2, &result) != feOk) return feOpDeclined;
  feObject taken[3] = {v[0], v[1], v[2]};
  v[0] = result;
  stack->top -= 2;
  releaseTaken(taken, 3);
  return feOk;
}

// string seek search, when the stack has room for the results without
// growing.
int directSearch() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 1 || stack->top + 2 > stack->capacity) return feOpDeclined;
  feObject* v = &stack->slots[stack->top - 1];
  const feObject* string = &v[0];
  const feObject* seek = &v[1];
  if (feType(string) != feTString || feType(seek) != feTString) return feOpDeclined;
  const std::string_view text = textOf(string), wanted = textOf(seek);
  const size_t at = text.find(wanted);
  feObject taken[2] = {v[0], v[1]};
  if (at != std::string_view::npos) {
    const size_t after = at + wanted.size();
    const feObject results[] = {part(string, after, text.size() - after), part(string, at, wanted.size()),
                                part(string, 0, at), *feTrue()};
    for (int k = 0; k < 4; ++k) v[k] = results[k];
    stack->top += 2;
  } else {
    const feObject results[] = {part(string, 0, text.size()), *feFalse()};
    for (int k = 0; k < 2; ++k) v[k] = results[k];
  }
  releaseTaken(taken, 2);
  return feOk;
}

// string length, array length.
int directLength() {
  feStack* stack = *feOperandStack();
  if (!stack || stack->top < 0) return feOpDeclined;
  feObject* v = &stack->slots[stack->top];
  if (feType(v) != feTString && feType(v) != feTArray) return feOpDeclined;
  int32_t n = 0;
  if (feLength(v, &n) != feOk) return feOpDeclined;
  feObject taken = *v;
  feMakeInt(v, n);
  releaseTaken(&taken, 1);
  return feOk;
}

}  // namespace

Group stringOps() { return group(kOps); }

int (*stringDirect(feOpHandler handler, const char* signature))() {
  if (!handler || !signature) return nullptr;
  if (handler == opPutInterval && std::strcmp(signature, "OOO") == 0) return directPutInterval;
  if (handler == opGetInterval && std::strcmp(signature, "OOO#O") == 0) return directGetInterval;
  if (handler == opSearch && std::strcmp(signature, "OO") == 0) return directSearch;
  if (handler == opLength && std::strcmp(signature, "O#I") == 0) return directLength;
  return nullptr;
}

}  // namespace festd
