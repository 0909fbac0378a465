// Natural-order comparison of names and the sorting operator built on it.
#include "views/natcompare.h"

#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/strings.h"

#include <algorithm>
#include <vector>

namespace {

inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
inline int fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Compares two digit runs as numbers without converting them: leading
// zeros dropped, the longer run is the greater, equal lengths go by digits.
int compareRuns(const char* a, uint32_t aLength, const char* b, uint32_t bLength) {
  while (aLength > 0 && *a == '0') ++a, --aLength;
  while (bLength > 0 && *b == '0') ++b, --bLength;
  if (aLength != bLength) return aLength < bLength ? -1 : 1;
  for (uint32_t i = 0; i < aLength; ++i)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return 0;
}

uint32_t runEnd(const char* s, uint32_t start, uint32_t length) {
  while (start < length && isDigit(static_cast<unsigned char>(s[start]))) ++start;
  return start;
}

}  // namespace

int vwNatCompare(const char* a, uint32_t aLength, const char* b, uint32_t bLength) {
  const uint32_t n = std::min(aLength, bLength);
  for (uint32_t i = 0; i < n; ++i) {
    const unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca == 0 || cb == 0) return ca - cb;
    const int fa = fold(ca), fb = fold(cb);
    if (fa == fb) continue;
    if (!isDigit(ca) || !isDigit(cb)) return fa - fb;
    // The characters before i are equal, so the runs start together.
    uint32_t start = i;
    while (start > 0 && isDigit(static_cast<unsigned char>(a[start - 1]))) --start;
    const uint32_t aEnd = runEnd(a, i, aLength), bEnd = runEnd(b, i, bLength);
    const int byNumber = compareRuns(a + start, aEnd - start, b + start, bEnd - start);
    if (byNumber) return byNumber;
    const int rest = vwNatCompare(a + aEnd, aLength - aEnd, b + bEnd, bLength - bEnd);
    if (rest) return rest;
    return static_cast<int>(aEnd) - static_cast<int>(bEnd);
  }
  return static_cast<int>(aLength) - static_cast<int>(bLength);
}

int vwSortNames(const feObject* array, feObject* out) {
  if (feType(array) != feTArray) return 269;
  struct Name {
    const feObject* value;
    const char* text;
    uint32_t length;
  };
  const int32_t count = feArrayLength(array);
  std::vector<Name> names;
  names.reserve(count);
  for (int32_t i = 0; i < count; ++i) {
    const feObject* value = feArrayElem(array, i);
    if (feType(value) != feTString) return 269;
    uint8_t* data;
    uint16_t length;
    feStringData(value, &data, &length);
    names.push_back({value, reinterpret_cast<const char*>(data), length});
  }
  std::stable_sort(names.begin(), names.end(), [](const Name& x, const Name& y) {
    return vwNatCompare(x.text, x.length, y.text, y.length) < 0;
  });
  std::vector<feObject> sorted(names.size());
  for (size_t i = 0; i < names.size(); ++i) feCopyValue(&sorted[i], names[i].value);
  const int err = feMakeArray(out, sorted.data(), static_cast<uint32_t>(sorted.size()));
  if (err)
    for (feObject& value : sorted) feFree(&value);
  return err;
}

int vwOpSortNames(feArgs* args) {
  return vwSortNames(args->in[0].value, static_cast<feObject*>(args->out[0]));
}
