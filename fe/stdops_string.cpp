// The string operators string, anchorsearch and search, the generic length,
// maxlength, getinterval and putinterval, and flush and echo, which do
// nothing.
#include "fe/stdops_groups.h"
#include "fe/strings.h"

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

}  // namespace

Group stringOps() { return group(kOps); }

}  // namespace festd
