// Running script text from native code, taking values apart and pushing
// values on the operand stack.
#include "fe/script.h"

#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/stack.h"
#include "fe/strings.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Pushes a value that holds its own reference; when the push is refused the
// reference is released, so nothing leaks.
int pushMade(feObject* value) {
  const int rc = fePush(feOperandStack(), value);
  if (rc) feFree(value);
  return rc;
}

bool isNumber(const feObject* v) { return feType(v) == feTInt || feType(v) == feTReal; }

// An array of exactly n numbers into out; out is written only on success.
int getNumbers(const feObject* value, int32_t n, double* out) {
  if (!value || feType(value) != feTArray || feArrayLength(value) != n) return feErrTypeCheck;
  double numbers[9];
  for (int32_t i = 0; i < n; ++i) {
    const feObject* e = feArrayElem(value, i);
    if (!isNumber(e)) return feErrTypeCheck;
    numbers[i] = feGetNumber(e, nullptr);
  }
  std::memcpy(out, numbers, sizeof(double) * size_t(n));
  return feOk;
}

}  // namespace

// ---- Running script text ----

int feExecText(const char* text, size_t length) {
  if (!text) length = 0;
  if (length > feStringMaxLength) return feErrLimitCheck;
  if (length && std::memchr(text, 0, length)) return feErrSyntax;
  // feRunString reads a terminated text.
  const std::string source(text ? text : "", length);
  return feRunString(source.c_str());
}

int feExecfArgs(const char* format, const uFmtArg* args, size_t count) {
  const std::string text = uFormatArgs(format ? format : "", args, count);
  return feExecText(text.data(), text.size());
}

extern "C" int feVExecf(const char* format, va_list args) {
  if (!format) format = "";
  // The engine is bounded: format into a buffer that grows until the text
  // fits, up to one byte more than the longest string, so that a text that
  // is too long is recognised as such rather than cut.
  constexpr size_t kLargest = size_t(feStringMaxLength) + 2;
  std::vector<char> buffer(256);
  for (;;) {
    va_list copy;
    va_copy(copy, args);
    const int written = uVSprintf(buffer.data(), buffer.size(), format, copy);
    va_end(copy);
    const size_t n = written > 0 ? size_t(written) : 0;
    if (n + 1 < buffer.size() || buffer.size() >= kLargest) return feExecText(buffer.data(), n);
    buffer.resize(std::min(buffer.size() * 4, kLargest));
  }
}

extern "C" int feExecfC(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int rc = feVExecf(format, args);
  va_end(args);
  return rc;
}

// ---- Calling a script procedure ----

int32_t feOperandDepth() { return feStackCount(*feOperandStack()); }

void feOperandRestore(int32_t depth) {
  if (depth < 0) depth = 0;
  const int32_t extra = feOperandDepth() - depth;
  if (extra > 0) feStackPopN(*feOperandStack(), extra);
}

int feCallScript(const char* source, size_t length, bool withMark, const feObject* args, int32_t count,
                 feObject* result) {
  if (result) feMakeNull(result);
  const int32_t depth = feOperandDepth();
  int rc = withMark ? fePushMark() : feOk;
  for (int32_t i = 0; rc == feOk && i < count; ++i) rc = fePushDup(feOperandStack(), &args[i]);
  if (rc == feOk) rc = feExecText(source, length);
  if (rc == feOk && result) {
    if (feOperandDepth() > depth) fePop(*feOperandStack(), result);
    else rc = feErrStackUnderflow;
  }
  feOperandRestore(depth);
  return rc;
}

// ---- Taking values apart ----

int feGetString(const feObject* value, const char** text, int32_t* length) {
  if (!value) {
    *text = nullptr;
    *length = 0;
    return feErrTypeCheck;
  }
  if (feType(value) == feTString) {
    uint8_t* data;
    uint16_t n;
    feStringData(value, &data, &n);
    *text = reinterpret_cast<const char*>(data);
    *length = n;
    return feOk;
  }
  if (feType(value) == feTName) {
    size_t n;
    feNameText(value, text, &n);
    *length = int32_t(n);
    return feOk;
  }
  return feErrTypeCheck;
}

int feGetRealArg(const feObject* value, double* out) {
  if (!value || !isNumber(value)) return feErrTypeCheck;
  *out = feGetNumber(value, nullptr);
  return feOk;
}

int feGetIntArg(const feObject* value, int32_t* out) {
  if (!value || feType(value) != feTInt) return feErrTypeCheck;
  *out = feGetInt(value);
  return feOk;
}

int feGetVec3(const feObject* value, double out[3]) { return getNumbers(value, 3, out); }

int feGetMat3(const feObject* value, double out[9]) { return getNumbers(value, 9, out); }

int feGetRealArray(const feObject* value, int32_t* count, double* out) {
  const int32_t room = *count > 0 ? *count : 0;
  *count = 0;
  if (!value || feType(value) != feTArray) return feErrTypeCheck;
  const int32_t length = feArrayLength(value);
  const int32_t n = length < room ? length : room;
  for (int32_t i = 0; i < n; ++i) {
    const feObject* e = feArrayElem(value, i);
    if (!isNumber(e)) return feErrTypeCheck;
    out[i] = feGetNumber(e, nullptr);
    *count = i + 1;
  }
  return length != n ? -1 : feOk;
}

int fePopBool() {
  feStack* stack = *feOperandStack();
  if (feStackCount(stack) < 1) return 0;
  feObject top;
  fePop(stack, &top);
  const int answer = feType(&top) == feTBool && feGetBool(&top) ? 1 : 0;
  feFree(&top);
  return answer;
}

// ---- Pushing values ----

int fePushString(const char* text, size_t length) {
  feObject v;
  if (const int rc = feMakeString(&v, text, length)) return rc;
  return pushMade(&v);
}

int fePushReal(double value) {
  feObject v;
  feMakeReal(&v, value);
  return pushMade(&v);
}

int fePushInt(int32_t value) {
  feObject v;
  feMakeInt(&v, value);
  return pushMade(&v);
}

int fePushMark() {
  feObject v;
  feMakeMark(&v);
  return pushMade(&v);
}

int fePushValue(void* record) {
  feObject v;
  feMakeObjRef(&v, record);
  return pushMade(&v);
}

int feMakeRealArray(feObject* out, const double* values, uint32_t n) {
  // The longest array; checked before the elements are made.
  constexpr uint32_t kLongest = 65535;
  if (n > kLongest) return feErrLimitCheck;
  std::vector<feObject> elements(n);
  for (uint32_t i = 0; i < n; ++i) feMakeReal(&elements[i], values[i]);
  return feMakeArray(out, elements.data(), n);
}
