// String values: reference-counted bodies of bytes, shared by every value
// made from them with getinterval or copy, and the string rows of the generic
// operations (element access, intervals, equality, hash, printed forms).
#include "fe/strings.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/attnpoll.h"
#include "fe/names.h"
#include "fe/output.h"

#include <cstdint>
#include <cstring>

namespace {

// Room for the bytes: the length rounded up to even, at least 2.
uint32_t stringRoom(uint32_t length) {
  const uint32_t room = length + (length & 1u);
  return room < 2 ? 2 : room;
}

feStringBody* newStringBody(uint16_t length) {
  const uint32_t bytes = uint32_t(sizeof(feStringBody)) + stringRoom(length);
  // uAlloc zero-fills the block, so the bytes start as zeros.
  auto* body = static_cast<feStringBody*>(uAlloc(nullptr, nullptr, 1, bytes));
  body->refs = 1;
  body->length = length;
  body->serial = feSerialNext();
  return body;
}

bool isString(const feObject* v) { return v && feType(v) == feTString; }
bool isInt(const feObject* v) { return v && feType(v) == feTInt; }

uint8_t* bytesOf(const feObject* v) {
  return v->w0.str ? feStringBytes(v->w0.str) + v->offset : nullptr;
}

// A new value sharing v's body over [offset + start, offset + start + count),
// holding its own reference.
void shareRange(const feObject* v, uint32_t start, uint32_t count, feObject* out) {
  feObject r = *v;
  r.offset = uint16_t(v->offset + start);
  r.length = uint16_t(count);
  feStringAddRef(&r);
  *out = r;
}

// Writes a byte that has no printable form: its escape letter, or a backslash
// and its octal value without leading zeros.
void writeEscaped(uint8_t byte) {
  char text[5];
  size_t n = 0;
  text[n++] = '\\';
  switch (byte) {
    case 8: text[n++] = 'b'; break;
    case 9: text[n++] = 't'; break;
    case 10: text[n++] = 'n'; break;
    case 12: text[n++] = 'f'; break;
    case 13: text[n++] = 'r'; break;
    default: {
      char digits[3];
      size_t d = 0;
      uint32_t value = byte;
      do {
        digits[d++] = char('0' + (value & 7u));
        value >>= 3;
      } while (value != 0);
      while (d > 0) text[n++] = digits[--d];
      break;
    }
  }
  feOutWrite(text, n);
}

}  // namespace

int feMakeString(feObject* slot, const char* text, size_t length) {
  if (length > feStringMaxLength) return feErrLimitCheck;
  feStringBody* body = newStringBody(uint16_t(length));
  if (text && length > 0) std::memcpy(feStringBytes(body), text, length);
  feObject v;
  std::memset(&v, 0, sizeof v);
  v.w0.str = body;
  v.offset = 0;
  v.length = uint16_t(length);
  v.flags = feTString;
  *slot = v;
  return feOk;
}

void feStringData(const feObject* value, uint8_t** data, uint16_t* length) {
  if (data) *data = bytesOf(value);
  if (length) *length = value->w0.str ? value->length : 0;
}

void feStringRelease(feObject* value) {
  feStringBody* body = value->w0.str;
  if (!body) return;
  if (body->refs > 1) {
    --body->refs;
    return;
  }
  void* block = body;
  uFree(&block);
}

void feStringAddRef(const feObject* value) {
  feStringBody* body = value->w0.str;
  // A count that reached the top stays there: the body is then kept for good
  // rather than freed while still referenced.
  if (body && body->refs != UINT32_MAX) ++body->refs;
}

int feStringReadChar(feObject* value, int* ch) {
  if (value->length == 0) return feErrEof;
  *ch = *bytesOf(value);
  ++value->offset;
  --value->length;
  return feOk;
}

int feStringUnreadChar(feObject* value, int ch) {
  if (value->offset == 0) return feErrEof;
  --value->offset;
  ++value->length;
  *bytesOf(value) = uint8_t(ch);
  return feOk;
}

int feStringGet(const feObject* string, const feObject* index, feObject* out) {
  if (!isInt(index)) return feErrTypeCheck;
  const int32_t i = index->w0.i;
  if (i < 0 || i >= int32_t(string->length)) return feErrRangeCheck;
  return feMakeInt(out, bytesOf(string)[i]);
}

int feStringPut(feObject* string, const feObject* index, const feObject* value) {
  if (!isInt(index) || !isInt(value)) return feErrTypeCheck;
  const int32_t i = index->w0.i;
  if (i < 0 || i >= int32_t(string->length)) return feErrRangeCheck;
  bytesOf(string)[i] = uint8_t(uint32_t(value->w0.i) & 0xFFu);
  return feOk;
}

int feStringGetInterval(const feObject* string, const feObject* start, const feObject* count, feObject* out) {
  if (!isInt(start) || !isInt(count)) return feErrTypeCheck;
  const int64_t s = start->w0.i;
  const int64_t n = count->w0.i;
  if (s < 0 || n < 0 || s + n > string->length) return feErrRangeCheck;
  shareRange(string, uint32_t(s), uint32_t(n), out);
  return feOk;
}

int feStringPutInterval(feObject* string, const feObject* start, const feObject* source) {
  if (!isString(source) || !isInt(start)) return feErrTypeCheck;
  const int64_t s = start->w0.i;
  if (s < 0 || s + source->length > string->length) return feErrRangeCheck;
  // The two values may share a body and overlap.
  if (source->length > 0) std::memmove(bytesOf(string) + s, bytesOf(source), source->length);
  return feOk;
}

int feStringCopy(const feObject* source, const feObject* destination, feObject* out) {
  if (!isString(source) || !isString(destination)) return feErrTypeCheck;
  if (destination->length < source->length) return feErrRangeCheck;
  if (source->length > 0) std::memmove(bytesOf(destination), bytesOf(source), source->length);
  shareRange(destination, 0, source->length, out);
  return feOk;
}

int feStringEq(const feObject* string, const feObject* other) {
  const uint8_t* a = bytesOf(string);
  const size_t aLength = string->length;
  const uint8_t* b = nullptr;
  size_t bLength = 0;
  if (isString(other)) {
    b = bytesOf(other);
    bLength = other->length;
  } else if (other && feType(other) == feTName) {
    const char* text = nullptr;
    feNameText(other, &text, &bLength);
    b = reinterpret_cast<const uint8_t*>(text);
  } else {
    return feNotEqual;
  }
  if (aLength != bLength) return feNotEqual;
  if (aLength == 0 || a == b) return feOk;
  return std::memcmp(a, b, aLength) == 0 ? feOk : feNotEqual;
}

uint32_t feStringHash(const feObject* string) {
  return string->w0.str ? string->w0.str->serial : 0;
}

int feStringPrint(const feObject* string, int mode) {
  const char* data = reinterpret_cast<const char*>(bytesOf(string));
  const size_t length = string->length;
  if (mode == 0) {
    feOutWrite(data, length);
    return feOk;
  }
  if (mode != 1) return feOk;
  feOutWrite("(", 1);
  size_t run = 0;  // start of the pending run of bytes printed as they are
  for (size_t i = 0; i < length; ++i) {
    const uint8_t byte = uint8_t(data[i]);
    if (byte >= 32 && byte < 127) continue;
    feOutWrite(data + run, i - run);
    run = i + 1;
    if (feAttnPoll()) return feErrInterrupt;
    writeEscaped(byte);
  }
  feOutWrite(data + run, length - run);
  feOutWrite(")", 1);
  return feOk;
}
