// Array values (procedures when executable): reference-counted bodies of
// values shared by sub-arrays, the array rows of the generic operations and
// the array operators on the operand stack.
#include "fe/arrays.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/attnpoll.h"
#include "fe/generic.h"
#include "fe/output.h"
#include "fe/release.h"
#include "fe/stack.h"

#include <cstdint>
#include <cstring>

namespace {

bool isArray(const feObject* v) { return v && feType(v) == feTArray; }
bool isInt(const feObject* v) { return v && feType(v) == feTInt; }

feObject* elemsOf(const feObject* v) { return feArrayElems(v->w0.arr) + v->offset; }

// A new value sharing v's body over [offset + start, offset + start + count),
// holding its own reference.
void shareRange(const feObject* v, uint32_t start, uint32_t count, feObject* out) {
  feObject r = *v;
  r.offset = uint16_t(v->offset + start);
  r.length = uint16_t(count);
  feArrayAddRef(&r);
  *out = r;
}

// Stores copies of n source elements over n target elements, releasing the
// targets' old values. Source and target may share a body and overlap, so
// the copy runs backwards when the target lies after the source.
void copyElements(feObject* target, const feObject* source, uint32_t n) {
  auto one = [](feObject* to, const feObject* from) {
    feObject copy;
    feCopyValue(&copy, from);
    feObject old = *to;
    *to = copy;
    feFree(&old);
  };
  if (reinterpret_cast<uintptr_t>(target) > reinterpret_cast<uintptr_t>(source)) {
    for (uint32_t k = n; k-- > 0;) one(target + k, source + k);
  } else {
    for (uint32_t k = 0; k < n; ++k) one(target + k, source + k);
  }
}

// The bodies of the arrays being printed, outermost first: an array that
// holds itself, directly or deeper down, is printed once and its inner
// occurrence as "[...]" (or "{...}"), instead of recursing without end. The
// same form stands for arrays nested deeper than kMax, which keeps the
// native stack bounded.
struct PrintPath {
  static constexpr int kMax = 1024;
  const feArrayBody* bodies[kMax];
  int depth = 0;
  bool contains(const feArrayBody* b) const {
    for (int i = 0; i < depth; ++i)
      if (bodies[i] == b) return true;
    return false;
  }
};
PrintPath printPath;

}  // namespace

int feMakeArray(feObject* slot, feObject* elements, uint32_t n) {
  if (n > 65535) return feErrLimitCheck;
  const uint32_t room = n < 1 ? 1 : n;
  const uint32_t bytes = uint32_t(sizeof(feArrayBody)) + room * uint32_t(sizeof(feObject));
  auto* body = static_cast<feArrayBody*>(uAlloc(nullptr, nullptr, 1, bytes));
  body->refs = 1;
  body->length = uint16_t(n);
  body->serial = feSerialNext();
  feNoteArrayBodyMade(body);
  feObject* elems = feArrayElems(body);
  if (elements && n > 0) {
    std::memcpy(static_cast<void*>(elems), elements, size_t(n) * sizeof(feObject));
  } else {
    for (uint32_t k = 0; k < room; ++k) feMakeNull(&elems[k]);
  }
  feObject v;
  std::memset(&v, 0, sizeof v);
  v.w0.arr = body;
  v.offset = 0;
  v.length = uint16_t(n);
  v.flags = feTArray;
  *slot = v;
  return feOk;
}

void feArrayRelease(feObject* value) {
  feArrayBody* body = value->w0.arr;
  if (!body) return;
  if (body->refs > 1) {
    --body->refs;
    return;
  }
  body->refs = 0;
  // The elements are released and the body freed without recursing.
  feReleaseArrayBody(body);
}

void feArrayAddRef(const feObject* value) {
  feArrayBody* body = value->w0.arr;
  // A count that reached the top stays there: the body is then kept for good
  // rather than freed while still referenced.
  if (body && body->refs != UINT32_MAX) ++body->refs;
}

void feArrayPut(feObject* array, int32_t i, feObject* value) {
  feObject* slot = elemsOf(array) + i;
  feObject old = *slot;
  *slot = *value;
  feFree(&old);
}

feObject* feArrayElem(const feObject* array, int32_t i) {
  if (i < 0 || i >= int32_t(array->length)) return nullptr;
  return elemsOf(array) + i;
}

int32_t feArrayLength(const feObject* array) { return array->length; }

feObject* feArrayNext(feObject* array) {
  if (array->length == 0) return nullptr;
  feObject* first = elemsOf(array);
  ++array->offset;
  --array->length;
  return first;
}

int feArrayGet(const feObject* array, const feObject* index, feObject* out) {
  if (!isInt(index)) return feErrTypeCheck;
  const int32_t i = index->w0.i;
  if (i < 0 || i >= int32_t(array->length)) return feErrRangeCheck;
  feCopyValue(out, elemsOf(array) + i);
  return feOk;
}

int feArraySet(feObject* array, const feObject* index, const feObject* value) {
  if (!isInt(index)) return feErrTypeCheck;
  const int32_t i = index->w0.i;
  if (i < 0 || i >= int32_t(array->length)) return feErrRangeCheck;
  copyElements(elemsOf(array) + i, value, 1);
  return feOk;
}

int feArrayGetInterval(const feObject* array, const feObject* start, const feObject* count, feObject* out) {
  if (!isInt(start) || !isInt(count)) return feErrTypeCheck;
  const int64_t s = start->w0.i;
  const int64_t n = count->w0.i;
  if (s < 0 || n < 0 || s + n > array->length) return feErrRangeCheck;
  shareRange(array, uint32_t(s), uint32_t(n), out);
  return feOk;
}

int feArrayPutInterval(feObject* array, const feObject* start, const feObject* source) {
  if (!isArray(source) || !isInt(start)) return feErrTypeCheck;
  const int64_t s = start->w0.i;
  if (s < 0 || s + source->length > array->length) return feErrRangeCheck;
  copyElements(elemsOf(array) + s, elemsOf(source), source->length);
  return feOk;
}

int feArrayCopy(const feObject* source, const feObject* destination, feObject* out) {
  if (!isArray(source) || !isArray(destination)) return feErrTypeCheck;
  if (source->length > destination->length) return feErrRangeCheck;
  copyElements(elemsOf(destination), elemsOf(source), source->length);
  shareRange(destination, 0, source->length, out);
  return feOk;
}

int feArrayEq(const feObject* array, const feObject* other) {
  if (!isArray(other)) return feNotEqual;
  return array->w0.arr == other->w0.arr ? feOk : feNotEqual;
}

uint32_t feArrayHash(const feObject* array) {
  return array->w0.arr ? array->w0.arr->serial : 0;
}

int feArrayPrint(const feObject* array, int mode) {
  if (mode == 0) {
    feOutWrite("--nostringvalue--", 17);
    return feOk;
  }
  if (mode != 1) return feOk;
  const bool exec = feIsExec(array);
  const feArrayBody* body = array->w0.arr;
  if (printPath.contains(body) || printPath.depth == PrintPath::kMax) {
    feOutWrite(exec ? "{...}" : "[...]", 5);
    return feOk;
  }
  printPath.bodies[printPath.depth++] = body;
  feOutWrite(exec ? "{" : "[", 1);
  int result = feOk;
  const feObject* elems = elemsOf(array);
  for (uint32_t k = 0; k < array->length; ++k) {
    if (feAttnPoll() || fePrint(&elems[k], 1) == feErrInterrupt) {
      result = feErrInterrupt;
      break;
    }
    feOutWrite(" ", 1);
  }
  feOutWrite(exec ? "}" : "]", 1);
  --printPath.depth;
  return result;
}

int feArrayFromStackCopy(feStack* stack, const feObject* array, feObject* out) {
  if (!isArray(array)) return feErrTypeCheck;
  const int32_t count = feStackCount(stack);
  if (count > int32_t(array->length)) return feErrRangeCheck;
  feObject* elems = elemsOf(array);
  for (int32_t k = 0; k < count; ++k) copyElements(&elems[k], feStackIndex(stack, count - 1 - k), 1);
  shareRange(array, 0, uint32_t(count), out);
  return feOk;
}

int feOpAload() {
  feStack** stack = feOperandStack();
  if (feStackCount(*stack) < 1) return feErrStackUnderflow;
  if (!isArray(feStackIndex(*stack, 0))) return feErrTypeCheck;
  feObject array;
  fePop(*stack, &array);
  const feObject* elems = elemsOf(&array);
  int result = feOk;
  uint32_t pushed = 0;
  for (; pushed < array.length; ++pushed) {
    result = fePushDup(stack, &elems[pushed]);
    if (result != feOk) break;
  }
  if (result == feOk) result = fePush(stack, &array);
  if (result != feOk) {
    // The stack is full: take the copies back and leave the array where it was.
    feStackPopN(*stack, int32_t(pushed));
    fePush(stack, &array);
  }
  return result;
}

int feOpAstore() {
  feStack** stack = feOperandStack();
  const int32_t count = feStackCount(*stack);
  if (count < 1) return feErrStackUnderflow;
  if (!isArray(feStackIndex(*stack, 0))) return feErrTypeCheck;
  const int32_t n = feStackIndex(*stack, 0)->length;
  if (count - 1 < n) return feErrStackUnderflow;
  feObject array;
  fePop(*stack, &array);
  for (int32_t k = n; k-- > 0;) {
    feObject value;
    fePop(*stack, &value);
    feArrayPut(&array, k, &value);
  }
  return fePush(stack, &array);
}

int feOpArray() {
  feStack** stack = feOperandStack();
  if (feStackCount(*stack) < 1) return feErrStackUnderflow;
  feObject* top = feStackIndex(*stack, 0);
  if (!isInt(top)) return feErrTypeCheck;
  if (top->w0.i < 0 || top->w0.i > feArrayMaxMake) return feErrRangeCheck;
  // The integer is simple: the new array replaces it in its slot.
  return feMakeArray(top, nullptr, uint32_t(top->w0.i));
}

int feOpArrayEnd() {
  feStack** stack = feOperandStack();
  int32_t n = 0;
  const int found = feCountToMark(*stack, feTMark, &n);
  if (found != feOk) return found;
  feObject array;
  const int made = feMakeArray(&array, nullptr, uint32_t(n));
  if (made != feOk) return made;
  // Move the values above the mark in, bottom first; the nulls they replace
  // hold nothing, so no release is needed.
  feObject* elems = feArrayElems(array.w0.arr);
  for (int32_t k = 0; k < n; ++k) elems[k] = *feStackIndex(*stack, n - 1 - k);
  for (int32_t k = 0; k <= n; ++k) {
    feObject moved;
    fePop(*stack, &moved);
  }
  return fePush(stack, &array);
}
