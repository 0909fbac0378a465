// The access operators built on the generic operations: get, put, aget, aput,
// aXGet, aXPut, type, cvs and the member operators LOAD and DUPLOAD. Each
// checks its operands first and leaves every stack as it was on an error; on
// success it removes (and releases) its operands and pushes its result.
#include "fe/generic.h"

#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/exec.h"
#include "fe/generic_msg.h"
#include "fe/stack.h"

namespace {

int32_t depth() { return feStackCount(*feOperandStack()); }

// The operand at depth d (0 = top), as a plain copy: the stack keeps its
// reference.
feObject operand(int32_t d) { return *feStackIndex(*feOperandStack(), d); }

// Removes and releases the top n operands, then pushes result (moved in).
// The push cannot fail: it reuses a slot just freed.
void replaceOperands(int32_t n, const feObject* result) {
  feStackPopN(*feOperandStack(), n);
  fePush(feOperandStack(), result);
}

// Element i of an array value, as a plain copy.
feObject element(const feObject* array, int32_t i) { return *feArrayElem(array, i); }

// A copy of start walked by get with the path's elements first .. last - 1;
// the intermediate values are released. On success *out holds a reference.
int walk(const feObject* start, const feObject* path, int32_t first, int32_t last, feObject* out) {
  feObject current;
  feCopyValue(&current, start);
  for (int32_t i = first; i < last; ++i) {
    const feObject key = element(path, i);
    feObject next;
    const int result = feGet(&current, &key, &next);
    feFree(&current);
    if (result != feOk) return result;
    current = next;
  }
  *out = current;
  return feOk;
}

// The path of aget and aput for anything but a program object: a non-empty
// array.
int checkPath(const feObject* path) {
  if (feType(path) != feTArray) return feErrTypeCheck;
  if (feArrayLength(path) == 0) return feErrLengthCheck;
  return feOk;
}

// The member operators: get object's member key; an executable result
// replaces the operator on the execution stack so that it runs next, any
// other result is pushed. keepObject leaves the object on the operand stack
// below the result.
int memberLoad(bool keepObject) {
  if (depth() < 2) return feErrStackUnderflow;
  const feObject object = operand(1), key = operand(0);
  feObject value;
  int result = feGet(&object, &key, &value);
  if (result != feOk) return result;
  if (feIsExec(&value)) {
    feObject* top = feExecTop();
    if (top && feType(top) == feTOperator) {
      feFree(top);
      *top = value;
      // The entry is no longer the operator: the loop must leave it to run.
      feClearCurrent();
    } else if ((result = fePush(feExecStack(), &value)) != feOk) {
      feFree(&value);
      return result;
    }
    feStackPopN(*feOperandStack(), keepObject ? 1 : 2);
    return feOk;
  }
  replaceOperands(keepObject ? 1 : 2, &value);
  return feOk;
}

}  // namespace

int feOpGet() {
  // An array and an index inside it, the common case, answered in place: the
  // element's copy takes the array's slot before the array is released, as
  // the general path below does it.
  if (feStack* stack = *feOperandStack(); stack && stack->top >= 1) {
    feObject* v = &stack->slots[stack->top - 1];
    if (feType(&v[0]) == feTArray && feType(&v[1]) == feTInt && v[1].w0.i >= 0 &&
        v[1].w0.i < int32_t(v[0].length)) {
      feObject array = v[0];
      feCopyValue(&v[0], feArrayElem(&array, v[1].w0.i));
      --stack->top;
      feFree(&array);
      return feOk;
    }
  }
  if (depth() < 2) return feErrStackUnderflow;
  const feObject object = operand(1), key = operand(0);
  feObject value;
  const int result = feGet(&object, &key, &value);
  if (result != feOk) return result;
  replaceOperands(2, &value);
  return feOk;
}

int feOpPut() {
  if (depth() < 3) return feErrStackUnderflow;
  const feObject object = operand(2), key = operand(1), value = operand(0);
  const int result = fePut(&object, &key, &value);
  if (result != feOk) return result;
  feStackPopN(*feOperandStack(), 3);
  return feOk;
}

namespace {

// The path's checks and the walk of aget and aput: holder is (a copy of)
// what the path's last element indexes, last that element.
int walkToLast(const feObject* object, const feObject* path, feObject* holder, feObject* last) {
  if (const int rc = checkPath(path)) return rc;
  const int32_t n = feArrayLength(path);
  if (const int rc = walk(object, path, 0, n - 1, holder)) return rc;
  *last = element(path, n - 1);
  return feOk;
}

// aget on a program object: the whole path as the key of 109. A class that
// does not handle 109 has keyed attributes at most (107), whose keys are
// single names or strings: a path that is not an array is such a key; an
// array's first element is the object's attribute and the rest of the path
// is walked from its value with get.
int objectAget(const feObject* object, const feObject* path, feObject* out) {
  feMakeNull(out);
  const intptr_t o = reinterpret_cast<intptr_t>(out);
  const int answer = feObjSendIndexed(object, feMsgGet, path, o);
  if (!feObjIndexedNotHandled(answer)) return answer;
  if (feType(path) != feTArray) return feObjSendAttr(object, feMsgGetAttr, path, o, answer);
  const int32_t n = feArrayLength(path);
  if (n == 0) return feErrLengthCheck;
  const feObject first = element(path, 0);
  feObject attribute;
  feMakeNull(&attribute);
  if (const int rc = feObjSendAttr(object, feMsgGetAttr, &first, reinterpret_cast<intptr_t>(&attribute), answer))
    return rc;
  const int result = walk(&attribute, path, 1, n, out);
  feFree(&attribute);
  return result;
}

// aput on a program object, the counterpart of objectAget: 110 with the whole
// path, else 108 with a key that is not an array or with a path of one
// element; a longer path puts into the value walked to from the first
// element's attribute.
int objectAput(const feObject* object, const feObject* path, const feObject* value) {
  const intptr_t v = reinterpret_cast<intptr_t>(value);
  const int answer = feObjSendIndexed(object, feMsgPut, path, v);
  if (!feObjIndexedNotHandled(answer)) return answer;
  if (feType(path) != feTArray) return feObjSendAttr(object, feMsgPutAttr, path, v, answer);
  const int32_t n = feArrayLength(path);
  if (n == 0) return feErrLengthCheck;
  const feObject first = element(path, 0);
  if (n == 1) return feObjSendAttr(object, feMsgPutAttr, &first, v, answer);
  feObject attribute;
  feMakeNull(&attribute);
  if (const int rc = feObjSendAttr(object, feMsgGetAttr, &first, reinterpret_cast<intptr_t>(&attribute), answer))
    return rc;
  feObject holder;
  int result = walk(&attribute, path, 1, n - 1, &holder);
  feFree(&attribute);
  if (result != feOk) return result;
  const feObject last = element(path, n - 1);
  result = fePut(&holder, &last, value);
  feFree(&holder);
  return result;
}

}  // namespace

int feOpAget() {
  if (depth() < 2) return feErrStackUnderflow;
  const feObject object = operand(1), path = operand(0);
  feObject value;
  int result;
  if (feType(&object) == feTObject) {
    result = objectAget(&object, &path, &value);
  } else {
    feObject holder, last;
    if ((result = walkToLast(&object, &path, &holder, &last)) != feOk) return result;
    result = feGet(&holder, &last, &value);
    feFree(&holder);
  }
  if (result != feOk) return result;
  replaceOperands(2, &value);
  return feOk;
}

int feOpAput() {
  if (depth() < 3) return feErrStackUnderflow;
  const feObject object = operand(2), path = operand(1), value = operand(0);
  int result;
  if (feType(&object) == feTObject) {
    result = objectAput(&object, &path, &value);
  } else {
    feObject holder, last;
    if ((result = walkToLast(&object, &path, &holder, &last)) != feOk) return result;
    result = fePut(&holder, &last, &value);
    feFree(&holder);
  }
  if (result != feOk) return result;
  feStackPopN(*feOperandStack(), 3);
  return feOk;
}

int feOpAXGet() {
  if (depth() < 1) return feErrStackUnderflow;
  const feObject path = operand(0);
  feObject value;
  int result;
  if (feType(&path) == feTName) {
    result = feLoad(&path, &value);
  } else if (feType(&path) == feTArray) {
    const int32_t n = feArrayLength(&path);
    if (n == 0) return feErrLengthCheck;
    const feObject first = element(&path, 0);
    feObject root;
    if ((result = feLoad(&first, &root)) != feOk) return result;
    result = walk(&root, &path, 1, n, &value);
    feFree(&root);
  } else {
    return feErrTypeCheck;
  }
  if (result != feOk) return result;
  replaceOperands(1, &value);
  return feOk;
}

int feOpAXPut() {
  if (depth() < 2) return feErrStackUnderflow;
  const feObject value = operand(1), path = operand(0);
  int result;
  if (feType(&path) == feTName) {
    result = feDictDef(&path, &value);
  } else if (feType(&path) == feTArray) {
    const int32_t n = feArrayLength(&path);
    if (n == 0) return feErrLengthCheck;
    const feObject first = element(&path, 0);
    if (n == 1) {
      result = feDictDef(&first, &value);
    } else {
      feObject root;
      if ((result = feLoad(&first, &root)) != feOk) return result;
      feObject holder;
      result = walk(&root, &path, 1, n - 1, &holder);
      feFree(&root);
      if (result != feOk) return result;
      const feObject last = element(&path, n - 1);
      result = fePut(&holder, &last, &value);
      feFree(&holder);
    }
  } else {
    return feErrTypeCheck;
  }
  if (result != feOk) return result;
  feStackPopN(*feOperandStack(), 2);
  return feOk;
}

int feOpType() {
  if (depth() < 1) return feErrStackUnderflow;
  const feObject value = operand(0);
  feObject name;
  const int result = feTypeName(&value, &name);
  if (result != feOk) return result;
  replaceOperands(1, &name);
  return feOk;
}

int feOpCvs() {
  if (depth() < 2) return feErrStackUnderflow;
  const feObject value = operand(1), destination = operand(0);
  feObject text;
  const int result = feCvs(&value, &destination, &text);
  if (result != feOk) return result;
  replaceOperands(2, &text);
  return feOk;
}

int feOpLOAD() { return memberLoad(false); }

int feOpDUPLOAD() { return memberLoad(true); }
