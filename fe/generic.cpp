// The per-type dispatch of the operations every value supports: release,
// copy, hash, equality, element access, lengths, intervals and character
// reading. Strings, arrays, dictionaries and files are served by their
// modules, program objects by messages to their class; the simple types are
// handled here. A type outside an operation's list is a panic (release,
// copy, hash, equality) or answers 275 (unimplemented); so is a file value
// without a body.
#include "fe/generic.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/dict.h"
#include "fe/file.h"
#include "fe/generic_msg.h"
#include "fe/names.h"
#include "fe/strings.h"

#include <cmath>
#include <cstring>

int feObjSend(const feObject* value, int message, intptr_t a, intptr_t b) {
  feObjRecord* record = feObjRecordOf(value);
  if (!record) return feErrUnimplemented;
  const int answer = objMeth(record->classId, message, record, a, b);
  return answer == objNotHandled ? int(feErrUnimplemented) : answer;
}

int feObjSendIndexed(const feObject* value, int message, const feObject* key, intptr_t b) {
  feObjRecord* record = feObjRecordOf(value);
  if (!record) return objNotHandled;
  return objMeth(record->classId, message, record, reinterpret_cast<intptr_t>(key), b);
}

bool feObjIndexedNotHandled(int answer) { return answer == objNotHandled || answer == -1; }

int feObjSendAttr(const feObject* value, int message, const feObject* key, intptr_t b, int indexedAnswer) {
  feObjRecord* record = feObjRecordOf(value);
  const int answer =
      record ? objMeth(record->classId, message, record, reinterpret_cast<intptr_t>(key), b) : int(objNotHandled);
  if (answer != objNotHandled) return answer;
  return indexedAnswer == objNotHandled ? int(feErrUnimplemented) : indexedAnswer;
}

namespace {

// A real's hash: its value truncated toward zero. NaN hashes to 0 and values
// beyond the 32-bit range saturate, so the conversion is always defined.
uint32_t realHash(double d) {
  if (std::isnan(d)) return 0;
  if (!(d < 2147483648.0)) return 0x7FFFFFFFu;
  if (!(d > -2147483649.0)) return 0x80000000u;
  return static_cast<uint32_t>(static_cast<int32_t>(d));
}

int answerEq(bool equal) { return equal ? int(feOk) : int(feNotEqual); }

// A name against a string: the same characters.
int nameEqString(const feObject* name, const feObject* string) {
  const char* text = nullptr;
  size_t length = 0;
  feNameText(name, &text, &length);
  uint8_t* data = nullptr;
  uint16_t dataLength = 0;
  feStringData(string, &data, &dataLength);
  if (length != dataLength) return feNotEqual;
  return answerEq(length == 0 || std::memcmp(text, data, length) == 0);
}

// Numeric equality between integers and reals.
int numberEq(const feObject* a, const feObject* b) {
  const int ta = feType(a), tb = feType(b);
  if (tb != feTInt && tb != feTReal) return feNotEqual;
  if (ta == feTInt && tb == feTInt) return answerEq(a->w0.i == b->w0.i);
  const double x = ta == feTInt ? double(a->w0.i) : a->w0.d;
  const double y = tb == feTInt ? double(b->w0.i) : b->w0.d;
  return answerEq(x == y);
}

}  // namespace

void feFree(feObject* value) {
  switch (feType(value)) {
    case feTNull:
    case feTBool:
    case feTMark:
    case feTName:
    case feTInt:
    case feTReal:
    case feTOperator:
      return;
    case feTString:
      feStringRelease(value);
      return;
    case feTArray:
      feArrayRelease(value);
      return;
    case feTDict:
      feDictRelease(value);
      return;
    case feTObject:
      feObjRefRelease(value->w0.obj);
      return;
    case feTFile:
      // A file value without a body is malformed: reported like an illegal type.
      if (value->w0.file) {
        feFileRelease(value);
        return;
      }
      [[fallthrough]];
    default:
      dbgPanic("feFree not legal for FE object type %d\n", int32_t(feType(value)));
      return;
  }
}

void feDup(const feObject* value) {
  switch (feType(value)) {
    case feTEmpty:
    case feTNull:
    case feTBool:
    case feTMark:
    case feTName:
    case feTInt:
    case feTReal:
    case feTOperator:
      return;
    case feTString:
      feStringAddRef(value);
      return;
    case feTArray:
      feArrayAddRef(value);
      return;
    case feTDict:
      feDictAddRef(value);
      return;
    case feTObject:
      feObjRefRetain(value->w0.obj);
      return;
    case feTFile:
      if (value->w0.file) {
        feFileAddRef(value);
        return;
      }
      [[fallthrough]];
    default:
      dbgPanic("feDup not legal for FE object type %d", int32_t(feType(value)));
      return;
  }
}

void feCopyValue(feObject* out, const feObject* value) {
  *out = *value;
  feDup(out);
}

uint32_t feHash(const feObject* value) {
  switch (feType(value)) {
    case feTNull:
      return 0;
    case feTBool:
    case feTOperator:
      return value->w0.u & 0xFFFFu;
    case feTMark:
      return 124;
    case feTString:
      return feStringHash(value);
    case feTName:
      return feNameIndex(value);
    case feTObject: {
      uint32_t hash = 0;
      if (feObjSend(value, feMsgHash, reinterpret_cast<intptr_t>(&hash)) != 0) return 0;
      return hash;
    }
    case feTInt:
      return static_cast<uint32_t>(value->w0.i);
    case feTReal:
      return realHash(value->w0.d);
    case feTDict:
      return feDictHash(value);
    case feTArray:
      return feArrayHash(value);
    case feTFile:
      if (value->w0.file) return feFileHash(value);
      [[fallthrough]];
    default:
      dbgPanic("feHash not legal for FE object type %d\n", int32_t(feType(value)));
      return 0;
  }
}

int feEq(const feObject* a, const feObject* b) {
  const int tb = feType(b);
  switch (feType(a)) {
    case feTNull:
      return answerEq(tb == feTNull);
    case feTMark:
      return answerEq(tb == feTMark);
    case feTBool:
      return answerEq(tb == feTBool && a->w0.i == b->w0.i);
    case feTString:
      return feStringEq(a, b);
    case feTName:
      if (tb == feTName) return answerEq(feNameIndex(a) == feNameIndex(b));
      if (tb == feTString) return nameEqString(a, b);
      return feNotEqual;
    case feTObject:
      return answerEq(tb == feTObject && a->w0.obj == b->w0.obj);
    case feTInt:
    case feTReal:
      return numberEq(a, b);
    case feTDict:
      return feDictEq(a, b);
    case feTArray:
      return feArrayEq(a, b);
    case feTOperator:
      return answerEq(tb == feTOperator && (a->w0.u & 0xFFFFu) == (b->w0.u & 0xFFFFu));
    case feTFile:
      if (a->w0.file) return feFileEq(a, b);
      [[fallthrough]];
    default:
      dbgPanic("feEq not legal for FE object type %d\n", int32_t(feType(a)));
      return feOk;
  }
}

int feGet(const feObject* object, const feObject* key, feObject* out) {
  switch (feType(object)) {
    case feTString:
      return feStringGet(object, key, out);
    case feTArray:
      return feArrayGet(object, key, out);
    case feTDict:
      return feDictGet(object, key, out);
    case feTObject: {
      // A class that answers success without storing leaves a null.
      feMakeNull(out);
      const int answer = feObjSendIndexed(object, feMsgGet, key, reinterpret_cast<intptr_t>(out));
      if (!feObjIndexedNotHandled(answer)) return answer;
      return feObjSendAttr(object, feMsgGetAttr, key, reinterpret_cast<intptr_t>(out), answer);
    }
    default:
      return feErrUnimplemented;
  }
}

int fePut(const feObject* object, const feObject* key, const feObject* value) {
  // A put changes the body, never the value itself.
  feObject target = *object;
  switch (feType(object)) {
    case feTString:
      return feStringPut(&target, key, value);
    case feTArray:
      return feArraySet(&target, key, value);
    case feTDict:
      return feDictPut(object, key, value);
    case feTObject: {
      const int answer = feObjSendIndexed(object, feMsgPut, key, reinterpret_cast<intptr_t>(value));
      if (!feObjIndexedNotHandled(answer)) return answer;
      return feObjSendAttr(object, feMsgPutAttr, key, reinterpret_cast<intptr_t>(value), answer);
    }
    default:
      return feErrUnimplemented;
  }
}

int feLength(const feObject* value, int32_t* out) {
  switch (feType(value)) {
    case feTString:
      *out = value->length;
      return feOk;
    case feTArray:
      *out = feArrayLength(value);
      return feOk;
    case feTDict:
      *out = feDictLength(value);
      return feOk;
    case feTObject: {
      int32_t n = 0;
      const int result = feObjSend(value, feMsgLength, reinterpret_cast<intptr_t>(&n));
      if (result == feOk) *out = n;
      return result;
    }
    default:
      return feErrUnimplemented;
  }
}

int feMaxLength(const feObject* value, int32_t* out) {
  switch (feType(value)) {
    case feTDict:
      return feDictMaxLength(value, out);
    case feTObject: {
      int32_t n = 0;
      const int result = feObjSend(value, feMsgMaxLength, reinterpret_cast<intptr_t>(&n));
      if (result == feOk) *out = n;
      return result;
    }
    default:
      return feErrUnimplemented;
  }
}

int feGetInterval(const feObject* value, const feObject* start, const feObject* count, feObject* out) {
  switch (feType(value)) {
    case feTString:
      return feStringGetInterval(value, start, count, out);
    case feTArray:
      return feArrayGetInterval(value, start, count, out);
    default:
      return feErrUnimplemented;
  }
}

int fePutInterval(const feObject* value, const feObject* start, const feObject* source) {
  feObject target = *value;
  switch (feType(value)) {
    case feTString:
      return feStringPutInterval(&target, start, source);
    case feTArray:
      return feArrayPutInterval(&target, start, source);
    default:
      return feErrUnimplemented;
  }
}

int feCopyInto(const feObject* source, const feObject* destination, feObject* out) {
  switch (feType(source)) {
    case feTString:
      return feStringCopy(source, destination, out);
    case feTArray:
      return feArrayCopy(source, destination, out);
    case feTDict:
      return feDictCopy(source, destination, out);
    default:
      return feErrUnimplemented;
  }
}

int feReadChar(feObject* value, int* ch) {
  switch (feType(value)) {
    case feTString:
      return feStringReadChar(value, ch);
    case feTObject: {
      int c = 0;
      const int result = feObjSend(value, feMsgReadChar, reinterpret_cast<intptr_t>(&c));
      if (result == feOk) *ch = c;
      return result;
    }
    case feTFile:
      return value->w0.file ? feFileReadChar(value, ch) : int(feErrUnimplemented);
    default:
      return feErrUnimplemented;
  }
}

int feUnreadChar(feObject* value, int ch) {
  switch (feType(value)) {
    case feTString:
      return feStringUnreadChar(value, ch);
    case feTObject:
      return feObjSend(value, feMsgUnreadChar, ch);
    case feTFile:
      return value->w0.file ? feFileUnreadChar(value, ch) : int(feErrUnimplemented);
    default:
      return feErrUnimplemented;
  }
}
